// Control ids of the stub's dialog, shared by its Qt and its Win32 window
// (the Win32 dialog template, robot.rc, uses the same numbers).
#pragma once

namespace tolvane::robot {

// Control ids of the dialog.
enum ControlId {
    kIdQuit = 2,
    kIdStart = 3,
    kIdTotalBar = 1000,
    kIdDiskBar = 1001,
    kIdStatus = 1002,
    kIdTotalLabel = 1010,
    kIdDiskLabel = 1011,
    kIdLogo = 1014,
    kIdInfoLabel = 1015,
    kIdBannerTop = 1016,
    kIdBannerBottom = 1017,
};

}  // namespace tolvane::robot

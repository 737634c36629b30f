// How the archiver's drive letters, help document and disk formatter are
// found on a Linux desktop. Pure functions over what the caller read from the
// system, so that tests can give them any system they like.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/framework/services.h"

namespace tolvane::ui {

// The drive buttons: "A:" and "B:" are the first and second removable medium
// mounted below /media or /run/media, in mount order (mountsText is the text
// of /proc/mounts); without one they stand for the user's media folder
// (/media/<user>). The hard disk is the home folder.
DriveRoots MapDriveRoots(const std::string& mountsText, const std::string& home,
                         const std::string& user);

// The drive a formatting command means: 0 for a path that starts with "a" or
// "A", 1 for "b" or "B", nothing for any other.
std::optional<int> DriveNumberOfPath(const std::string& drive);

struct ProgramCall {
    std::string program;
    std::vector<std::string> args;
};

// The desktop's disk formatter for drive 0 (A) or 1 (B): GNOME Disks with
// its format dialog for the drive's device (or on its own when no medium is
// mounted there), else KDE Partition Manager; nothing when neither is
// installed. findProgram returns a program's full path or "".
std::optional<ProgramCall> FormatterCall(
    int driveNumber, const DriveRoots& roots,
    const std::function<std::string(const std::string&)>& findProgram);

inline constexpr const char* kHelpDocument = "hilfe.htm";

// The help document is looked for in the current folder, then beside the
// program, then in the installed data folder; "" when none has it.
std::string FindHelpDocument(const std::string& currentDir, const std::string& programDir,
                             const std::string& dataDir,
                             const std::function<bool(const std::string&)>& exists);

// The robot image "Robot.dat": beside the program, or in the installed data
// folder when only that has it.
std::string RobotImagePath(const std::string& programDir, const std::string& dataDir,
                           const std::function<bool(const std::string&)>& exists);

}  // namespace tolvane::ui

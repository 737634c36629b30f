// Numbers that identify the archiver's pages, controls and menu commands.
// They are part of the program's contract with its tests and with the help
// document, so they never change.
#pragma once

namespace tolvane::ui {

// The wizard pages by type. The About and information pages have no type.
enum PageType : int {
    kStartPage = 0,
    kSplitPage1 = 1,
    kSplitPage2 = 2,
    kRestorePage1 = 3,
    kRestoreProgressPage = 4,
    kRepairPage1 = 5,
    kRepairPage2 = 6,
    kRepairPage3 = 7,
    kRepairProgressPage = 8,
    kContinuePage1 = 9,
    kContinueProgressPage = 10,
    kCompletionPage = 11,
    // The repair road without originals: volumes rebuilt from recovery data.
    kRecoveryRepairPage = 12,
};
inline constexpr int kFirstPageType = kStartPage;
inline constexpr int kLastPageType = kRecoveryRepairPage;
// pageType of a page that has none (About, information page).
inline constexpr int kUntypedPage = -1;

// Menu commands.
enum MenuId : int {
    kMenuCreate = 40001,       // "&Archiv erstellen"
    kMenuExtract = 40002,      // "A&rchiv entpacken"
    kMenuExit = 40003,         // "&Beenden"
    kMenuFormatA = 40004,      // "Diskette &A formatieren"
    kMenuFormatB = 40005,      // "Diskette &B formatieren"
    kMenuExplorer = 40006,     // "Windows &Explorer"
    kMenuAbout = 40009,        // "&Info"
    kMenuContinue = 40012,     // "&Entpacken fortsetzen"
    kMenuInformation = 40013,  // "&Information über Archiv"
    kMenuRepair = 40016,       // "Archiv &reparieren"
    kMenuNew = 40017,          // "&Neu"
    kMenuHelp = 40018,         // "&Hilfe [html]"
};

// Control ids. The same number means the same thing on every page that has
// it; a few numbers serve two pages with different roles, and carry one name
// per role.
namespace id {
enum : int {
    // Buttons of a modal dialog.
    kDialogOk = 1,
    kDialogCancel = 2,

    kBack = 1000,  // Back arrow; the OK button of completion, information and About
    kOk = 1000,
    kNext = 1001,  // Next arrow, or GO! on a progress page
    kStart = 1001,

    // Split page 1: drive buttons, source files, media sizes.
    kTargetDriveA = 1002,
    kTargetDriveB = 1003,
    kTargetHardDisk = 1004,
    kSourceFiles = 1005,
    kSize288MB = 1008,
    kSize12MB = 1010,
    kSize144MB = 1011,
    kSizeZip100 = 1014,
    kSizeCustom = 1016,

    // Start page.
    kCreateButton = 1016,
    kExtractButton = 1017,

    // Values shown on many pages.
    kSourcePathText = 1018,
    kTargetPathText = 1019,
    kTotalSizeText = 1021,
    kVolumeCountText = 1022,
    kFileCountText = 1023,
    kNumberText = 1024,
    kFileList = 1027,
    kStatusText = 1028,
    kOverallBar = 1032,
    kVolumeBar = 1033,

    // Source drive buttons (restore, continue, repair, information page).
    kSourceDriveB = 1035,
    kSourceDriveA = 1036,
    kSourceHardDisk = 1037,
    kTargetFolder = 1038,

    kOriginalsFolder = 1066,  // repair page 2
    kPlus = 1075,
    kMinus = 1076,

    // Labels.
    kLabelSource = 1079,
    kLabelTarget = 1080,
    kLabelDiskFormat = 1081,
    kLabelSummarySource = 1082,
    kLabelSummaryTarget = 1083,
    kLabelVolumeCount = 1084,
    kLabelFileCount = 1085,
    kLabelTotalSize = 1086,
    kLabelOverall = 1087,
    kLabelVolume = 1088,
    kLabelTotalSizeRestore = 1089,
    kLabelArchiveNumber = 1094,
    kLabelRepairStep1 = 1095,
    kLabelRepairPath = 1096,
    kLabelStartNumber = 1097,  // continue page 1
    kLabelRepairStep2 = 1097,  // repair page 1
    kLabelRepairStep3 = 1098,
    kLabelRepairPath2 = 1099,
    kLabelRepairStep4 = 1108,

    kSelfExtracting = 1105,  // check box of split page 1
    kCompletionNote = 1105,  // note of the completion page
    kHeadline = 1106,

    // Custom size dialog.
    kCustomValue = 1114,
    kCustomPrompt = 1116,
    kStepMinus10K = 1117,
    kStepMinus100K = 1118,
    kStepMinus1M = 1120,
    kStepPlus10K = 1121,
    kStepPlus100K = 1122,
    kStepPlus1M = 1123,
    kStepMinus10M = 1124,
    kStepPlus10M = 1125,
    kStepMinus100M = 1126,
    kStepPlus100M = 1127,
    kStepMinus1K = 1128,
    kStepPlus1K = 1129,

    // Recovery data with the split: the choice on split page 1, the size on
    // split page 2 and the completion page, the line of the information page.
    kRecoveryData = 1160,
    kRecoveryFewer = 1161,
    kRecoveryMore = 1162,
    kRecoverySizeText = 1163,
    kRecoveryBesideText = 1164,

    // The repair road from recovery data: its button on repair page 1, the
    // line under the list of volumes on its own page.
    kRecoveryRoad = 1170,
    kRecoverySummary = 1171,
    kLabelRecoveryStep = 1172,
};
}  // namespace id

}  // namespace tolvane::ui

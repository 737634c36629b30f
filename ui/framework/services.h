// What the archiver asks of the desktop, behind interfaces a test can answer:
// file and folder choosers, the custom size dialog, message boxes, and the
// shell (open a document or folder, start a program, quit).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/display.h"
#include "ui/framework/backend.h"

namespace tolvane::ui {

// Which of the shared choosers is asked; the request carries what that
// chooser shows (see file_dialogs.h for the values of each).
enum class ChooserOperation {
    BrowseForFolder,
    OpenSourceFiles,
    OpenFirstVolume,
    OpenPackage,
    OpenInfoPackage,  // the information page's "Package auswählen"
    SaveArchiveAs,
};

enum class ChooserKind { Folder, OpenFile, OpenFiles, SaveFile };

struct ChooserRequest {
    ChooserOperation operation = ChooserOperation::BrowseForFolder;
    ChooserKind kind = ChooserKind::Folder;
    NativeWindow owner = nullptr;
    std::string title;
    std::string filterText;     // e.g. "Archive  (*.001)"; empty for folders
    std::string filterPattern;  // e.g. "*.001"; "*.*" means every file
    std::string initialFolder;  // may be empty
    std::string initialName;    // SaveFile: the name the chooser starts with
    std::string defaultSuffix;  // appended to a typed name without one
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Full paths of what the user chose, without a trailing "/" for folders
    // (except "/" itself); empty when the user cancelled. Open choosers only
    // return existing files; OpenFiles returns them in the chooser's order.
    virtual std::vector<std::string> Choose(const ChooserRequest& request) = 0;
    // The custom size dialog over owner, starting at volumeSize: the chosen
    // size after OK, nothing after Cancel.
    virtual std::optional<int64_t> ChooseCustomSize(NativeWindow owner, int64_t volumeSize) = 0;
};

enum class MessageButtons { Ok, RetryCancel, YesNo };
enum class MessageResult { Ok, Retry, Cancel, Yes, No };

struct MessageRequest {
    NativeWindow owner = nullptr;
    std::string text;  // "\n" breaks the line
    std::string caption;
    Icon icon = Icon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // A modal message box; returns the button pressed (closing the box
    // answers Cancel or No, or Ok for a box with only OK).
    virtual MessageResult Show(const MessageRequest& request) = 0;
};

// The mount points that stand for the drive buttons.
struct DriveRoots {
    std::string a;         // first removable medium ("A:")
    std::string b;         // second removable medium ("B:")
    std::string hardDisk;  // the user's home folder ("C:")
    std::string aDevice;   // block device mounted at a, empty when none
    std::string bDevice;
};

class Shell {
  public:
    virtual ~Shell() = default;
    // Hands a local file or folder to the desktop to open; false on failure.
    virtual bool OpenPath(const std::string& path) = 0;
    // Starts a program without waiting for it; false when it cannot start.
    virtual bool StartDetached(const std::string& program,
                               const std::vector<std::string>& args) = 0;
    // Full path of an installed program found on PATH, empty when none.
    virtual std::string FindProgram(const std::string& name) = 0;
    // The drive buttons' folders as the system stands now.
    virtual DriveRoots CurrentDriveRoots() = 0;
    // Ends the message loop with exitCode.
    virtual void Quit(int exitCode) = 0;
    // Shows the system's own dialog to format floppy drive 0 (A:) or 1 (B:)
    // over owner; false when the system has none, and the window starts a
    // formatter program instead.
    virtual bool FormatFloppy(int /*driveNumber*/, NativeWindow /*owner*/) { return false; }
};

// The folder of the drive button controlId (A, B or hard disk, among the
// source or the target buttons), asked of the shell only for such a button;
// nothing for any other control.
std::optional<std::string> DriveRootOf(Shell& shell, int controlId);

}  // namespace tolvane::ui

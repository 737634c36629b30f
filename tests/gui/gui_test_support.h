// Helpers for the GUI tests: dialogs, message boxes and a shell that record
// what the archiver asked and answer from a script, and a fixture that builds
// the main window over them.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/gui/probe.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/framework/services.h"

namespace tolvane::ui::test {

// Answers the choosers in order; a chooser without a scripted answer (or
// with an empty one) is cancelled.
class ScriptedDialogs : public Dialogs {
  public:
    std::vector<std::string> Choose(const ChooserRequest& request) override;
    std::optional<int64_t> ChooseCustomSize(NativeWindow owner, int64_t volumeSize) override;

    std::vector<ChooserRequest> requests;
    std::deque<std::vector<std::string>> answers;
    std::vector<int64_t> customSizeRequests;
    std::deque<std::optional<int64_t>> customSizeAnswers;  // then Cancel
};

// Records every box; answers from the script, then with OK, Cancel or No.
// onShow runs before a box is answered (a test changes the medium there).
class RecordingMessageBoxes : public MessageBoxes {
  public:
    MessageResult Show(const MessageRequest& request) override;

    std::vector<MessageRequest> shown;
    std::deque<MessageResult> answers;
    std::function<void(const MessageRequest&)> onShow;
};

class RecordingShell : public Shell {
  public:
    bool OpenPath(const std::string& path) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    std::string FindProgram(const std::string& name) override;
    DriveRoots CurrentDriveRoots() override { return roots; }
    void Quit(int exitCode) override { quitCodes.push_back(exitCode); }

    std::vector<std::string> opened;
    struct Started {
        std::string program;
        std::vector<std::string> args;
    };
    std::vector<Started> started;
    std::map<std::string, std::string> programs;  // installed programs by name
    DriveRoots roots{"/media/test/FLOPPY", "/media/test", "/home/test", "/dev/sdz1", "/dev/sdy1"};
    std::vector<int> quitCodes;
};

// The main window over recording services, started on the start page; its
// files go through fileSystem (the real one when none is given).
struct GuiFixture {
    // Every chunk's progress is shown (progressInterval 0), so that a test
    // sees each frame; a measurement passes the program's own interval.
    explicit GuiFixture(WindowOptions options = {}, platform::FileSystem* fileSystem = nullptr,
                        std::chrono::milliseconds progressInterval = {});
    ~GuiFixture();

    MainWindow& w() { return *window; }
    Page& page();
    // Presses the control with that id on the current page; a press that
    // starts the engine job returns when the job is over.
    void Press(int controlId);
    // Presses it and returns while the job it started still runs.
    void PressAndLeaveRunning(int controlId);
    // Lets the job run to its end, answering what it asks.
    void WaitForJob();
    // The whole text the current page gave a control (a path shown
    // shortened is whole here).
    std::string Text(int controlId);
    bool MenuEnabled(int menuId);
    // Deletes the pages that were destroyed (as the event loop would).
    void Flush();
    // The window's native controls.
    WindowProbe& ui() { return *probe; }

    ScriptedDialogs dialogs;
    RecordingMessageBoxes messages;
    RecordingShell shell;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<WindowProbe> probe;
};

}  // namespace tolvane::ui::test

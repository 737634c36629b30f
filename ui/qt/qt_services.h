// The real desktop behind the archiver's service interfaces: Qt's file
// dialogs and message boxes, the custom size dialog, and the desktop shell.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "ui/framework/services.h"
#include "ui/pages/custom_size_dialog.h"
#include "ui/qt/qt_backend.h"

namespace tolvane::ui {

class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(int logPixelsX) : logPixelsX_(logPixelsX) {}
    std::vector<std::string> Choose(const ChooserRequest& request) override;
    std::optional<int64_t> ChooseCustomSize(NativeWindow owner, int64_t volumeSize) override;

  private:
    int logPixelsX_;
};

// The custom size dialog as a modal Qt dialog with the pages' font.
class QtCustomSizeDialog : public QDialog {
  public:
    QtCustomSizeDialog(QWidget* owner, int64_t volumeSize, int logPixelsX, const QFont& font);

    int64_t workingValue() const { return model_->workingValue(); }
    QtControlHost& host() { return host_; }

  private:
    QtControlHost host_;
    std::unique_ptr<CustomSizeDialog> model_;
};

class QtMessageBoxes : public MessageBoxes {
  public:
    MessageResult Show(const MessageRequest& request) override;
};

class DesktopShell : public Shell {
  public:
    bool OpenPath(const std::string& path) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    std::string FindProgram(const std::string& name) override;
    DriveRoots CurrentDriveRoots() override;
    void Quit(int exitCode) override;
};

// The folder a chooser starts in: the one it was used in last when that is
// still a folder and lies in the chosen drive's folder (any, when no drive
// was chosen), else the drive's folder, else home.
std::string StartFolder(const std::string& lastUsed, const std::string& driveFolder,
                        const std::string& home,
                        const std::function<bool(const std::string&)>& isDir);

// The name filter a Qt file dialog understands for a request's filter: the
// display text as it is, followed by the real pattern in parentheses ("*.*",
// every file on the platform the texts come from, becomes "*"); shown with
// HideNameFilterDetails, the dialog names it with the display text alone.
std::string QtNameFilter(const std::string& filterText, const std::string& filterPattern);

}  // namespace tolvane::ui

#include "ui/qt/qt_services.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

#include "ui/framework/desktop_paths.h"
#include "ui/framework/ids.h"
#include "ui/qt/qt_text.h"

namespace tolvane::ui {

std::string QtNameFilter(const std::string& filterText, const std::string& filterPattern) {
    const std::string pattern = filterPattern == "*.*" ? "*" : filterPattern;
    return filterText + " (" + pattern + ")";
}

std::string StartFolder(const std::string& lastUsed, const std::string& driveFolder,
                        const std::string& home,
                        const std::function<bool(const std::string&)>& isDir) {
    auto inside = [](const std::string& path, const std::string& folder) {
        if (folder.empty() || path == folder) return true;
        const std::string prefix = folder.back() == '/' ? folder : folder + "/";
        return path.compare(0, prefix.size(), prefix) == 0;
    };
    if (!lastUsed.empty() && inside(lastUsed, driveFolder) && isDir(lastUsed)) return lastUsed;
    if (!driveFolder.empty()) return driveFolder;
    return home;
}

std::vector<std::string> QtDialogs::Choose(const ChooserRequest& request) {
    QFileDialog dialog(static_cast<QWidget*>(request.owner), ToQ(request.title));
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    // Each chooser remembers, across runs, the folder it was last used in.
    QSettings remembered;
    const QString key = QStringLiteral("folders/%1").arg(static_cast<int>(request.operation));
    const std::string folder =
        StartFolder(PathFromQ(remembered.value(key).toString()), request.initialFolder,
                    PathFromQ(QDir::homePath()),
                    [](const std::string& path) { return QFileInfo(PathToQ(path)).isDir(); });
    dialog.setDirectory(PathToQ(folder));
    switch (request.kind) {
        case ChooserKind::Folder:
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
            break;
        case ChooserKind::OpenFile:
            dialog.setFileMode(QFileDialog::ExistingFile);
            break;
        case ChooserKind::OpenFiles:
            dialog.setFileMode(QFileDialog::ExistingFiles);
            break;
        case ChooserKind::SaveFile:
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            break;
    }
    if (request.kind != ChooserKind::Folder) {
        // The filter shows as the page words it; the pattern behind it is
        // the one Qt applies.
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilter(ToQ(QtNameFilter(request.filterText, request.filterPattern)));
        dialog.setDefaultSuffix(ToQ(request.defaultSuffix));
    }
    if (!request.initialName.empty()) dialog.selectFile(PathToQ(request.initialName));
    if (dialog.exec() != QDialog::Accepted) return {};
    std::vector<std::string> chosen;
    for (const QString& path : dialog.selectedFiles()) chosen.push_back(PathFromQ(path));
    if (!chosen.empty()) {
        const QString first = PathToQ(chosen.front());
        remembered.setValue(
            key, request.kind == ChooserKind::Folder ? first : QFileInfo(first).absolutePath());
    }
    return chosen;
}

QtCustomSizeDialog::QtCustomSizeDialog(QWidget* owner, int64_t volumeSize, int logPixelsX,
                                       const QFont& font)
    : QDialog(owner), host_(this, nullptr, false) {
    setWindowTitle(CustomSizeDialog::kTitle);
    setFont(font);
    setModal(true);
    const Size size = CustomSizeDialog::DialogSize(logPixelsX);
    setFixedSize(size.width, size.height);
    model_ = std::make_unique<CustomSizeDialog>(host_, volumeSize, logPixelsX);
    model_->ended = [this](CustomSizeDialog::End end) {
        if (end == CustomSizeDialog::End::Accepted) {
            accept();
        } else {
            reject();
        }
    };
    // Enter on a step button is OK, not another step.
    for (const SizeStep& step : SizeSteps()) {
        if (auto* button = qobject_cast<QPushButton*>(FindControl(this, step.controlId))) {
            button->setAutoDefault(false);
        }
    }
    if (auto* ok = qobject_cast<QPushButton*>(FindControl(this, id::kDialogOk))) {
        ok->setDefault(true);
    }
}

std::optional<int64_t> QtDialogs::ChooseCustomSize(NativeWindow ownerWindow, int64_t volumeSize) {
    auto* owner = static_cast<QWidget*>(ownerWindow);
    const QFont font = owner != nullptr ? owner->font() : QFont();
    QtCustomSizeDialog dialog(owner, volumeSize, logPixelsX_, font);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.workingValue();
}

MessageResult QtMessageBoxes::Show(const MessageRequest& request) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.icon) {
        case Icon::Error:
            icon = QMessageBox::Critical;
            break;
        case Icon::Warning:
            icon = QMessageBox::Warning;
            break;
        case Icon::Question:
            icon = QMessageBox::Question;
            break;
        case Icon::Information:
            icon = QMessageBox::Information;
            break;
        case Icon::None:
            break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.buttons == MessageButtons::RetryCancel)
        buttons = QMessageBox::Retry | QMessageBox::Cancel;
    if (request.buttons == MessageButtons::YesNo) buttons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(icon, ToQ(request.caption), ToQ(request.text), buttons,
                    static_cast<QWidget*>(request.owner));
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
        case QMessageBox::Retry:
            return MessageResult::Retry;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        case QMessageBox::Cancel:
            return MessageResult::Cancel;
        default:
            if (request.buttons == MessageButtons::RetryCancel) return MessageResult::Cancel;
            if (request.buttons == MessageButtons::YesNo) return MessageResult::No;
            return MessageResult::Ok;
    }
}

bool DesktopShell::OpenPath(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQ(path)));
}

bool DesktopShell::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << PathToQ(a);
    return QProcess::startDetached(PathToQ(program), list);
}

std::string DesktopShell::FindProgram(const std::string& name) {
    return PathFromQ(QStandardPaths::findExecutable(ToQ(name)));
}

DriveRoots DesktopShell::CurrentDriveRoots() {
    QFile mounts("/proc/mounts");
    std::string text;
    if (mounts.open(QIODevice::ReadOnly)) text = mounts.readAll().toStdString();
    std::string user;
    if (const passwd* entry = getpwuid(getuid())) user = entry->pw_name;
    return MapDriveRoots(text, PathFromQ(QDir::homePath()), user);
}

void DesktopShell::Quit(int exitCode) {
    QCoreApplication::exit(exitCode);
}

}  // namespace tolvane::ui

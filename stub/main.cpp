// robot: the self-extracting stub. Started as package.exe, it unpacks the
// archive that follows its image in its own file.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <string>
#include <vector>

#include "stub/robot_console.h"
#include "stub/robot_dialog.h"

namespace {

// The running program file, which is volume 1 of the archive.
std::string OwnPath(const char* argv0) {
    const std::string path = tolvane::platform::OwnExecutablePath();
    return path.empty() ? argv0 : path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string own = OwnPath(argv[0]);
    const int code = tolvane::robot::RunCommandLine(
        argv[0], own, std::vector<std::string>(argv + 1, argv + argc));
    if (code != tolvane::robot::kNoArguments) return code;
    QApplication app(argc, argv);
    // The folder question and the message boxes answer in German, as the
    // stub's own texts do (when the translations are installed).
    QTranslator german;
    if (german.load(QStringLiteral("qtbase_de"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&german);
    }
    tolvane::robot::RobotDialog dialog;
    dialog.robot().StartUp(own);
    dialog.show();
    return app.exec();
}

// robot: the self-extracting stub. Started as package.exe, it unpacks the
// archive that follows its image in its own file.
#include <limits.h>
#include <unistd.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <string>

#include "stub/robot_console.h"
#include "stub/robot_dialog.h"

namespace {

const char kUsage[] =
    "Aufruf: %s [--target VERZEICHNIS [--overwrite]]\n"
    "\n"
    "Ohne Argumente öffnet sich das Fenster des selbstentpackenden Archivs:\n"
    "\"Start\" fragt nach dem Zielverzeichnis und entpackt alle Datenträger.\n"
    "\n"
    "  --target VERZEICHNIS  entpackt ohne Fenster und ohne Rückfragen alle\n"
    "                        Datenträger in VERZEICHNIS (wird angelegt, wenn es\n"
    "                        fehlt). Alle Datenträger müssen neben dieser Datei\n"
    "                        liegen; ein fehlender bricht ab.\n"
    "  --overwrite           überschreibt Dateien, die im Zielverzeichnis schon\n"
    "                        vorhanden sind (ohne: Abbruch, bevor etwas\n"
    "                        geschrieben wird)\n"
    "  --help                zeigt diese Hilfe\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf.\n";

// The running program file, which is volume 1 of the archive.
std::string OwnPath(const char* argv0) {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return argv0;
    path[n] = 0;
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string own = OwnPath(argv[0]);
    if (argc > 1) {
        const char* name = argv[0];
        if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
            std::printf(kUsage, name);
            return tolvane::robot::kExitOk;
        }
        const bool overwrite = argc == 4 && !std::strcmp(argv[3], "--overwrite");
        if ((argc == 3 || overwrite) && !std::strcmp(argv[1], "--target") && argv[2][0] != 0) {
            return tolvane::robot::RunUnattended(own, argv[2], overwrite);
        }
        std::fprintf(stderr, kUsage, name);
        return tolvane::robot::kExitUsage;
    }
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

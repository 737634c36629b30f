// tolvane: the archiver's desktop program. Started with a file (a volume
// double-clicked in a file manager), it opens that file; --help and
// --version answer on the terminal without opening a window.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QScreen>
#include <QTranslator>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "engine/platform/file_system.h"
#include "tolvane/install_paths.h"
#include "tolvane/version.h"
#include "ui/framework/main_window.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/qt_text.h"

#ifndef TOLVANE_DATADIR
#define TOLVANE_DATADIR ""
#define TOLVANE_DATADIR_FROM_BIN ""
#endif

namespace {

const char kUsageLine[] = "Aufruf: tolvane [DATEI]\n";

const char kHelp[] =
    "Aufruf: tolvane [DATEI]\n"
    "\n"
    "Tolvane teilt Dateien auf Datenträger (Packages) fester Größe auf und setzt\n"
    "sie wieder zusammen. Ohne DATEI zeigt es die Startseite.\n"
    "\n"
    "  DATEI              ein Datenträger eines Archivs (package.001, ...): öffnet\n"
    "                     „Archiv entpacken“ mit diesem Archiv und zeigt, was es\n"
    "                     enthält; für den ersten Datenträger eines selbstentpackenden\n"
    "                     Archivs (package.exe) und für jede andere Datei zeigt es die\n"
    "                     Information über die Datei\n"
    "  -h, --help         zeigt diese Hilfe\n"
    "  -V, --version      zeigt die Version\n"
    "\n"
    "Für Skripte: tolvane-cli --help.\n";

// The installed folder name beside a moved installation's program first,
// else the configured absolute one.
std::string InstalledFolder(const char* fromProgram, const char* absolute) {
    const QString moved =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" + fromProgram);
    return QFileInfo::exists(moved) ? tolvane::ui::PathFromQ(moved) : std::string(absolute);
}

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "tolvane: %s\n%smehr mit: tolvane --help\n", problem.c_str(), kUsageLine);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Before Qt, which would need a display to start.
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
            std::printf("tolvane %s\n", TOLVANE_VERSION);
            return 0;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Tolvane");
    QApplication::setApplicationVersion(TOLVANE_VERSION);
    QApplication::setDesktopFileName("tolvane");
    QApplication::setOrganizationName("Tolvane");
    // The file and folder choosers, the buttons and questions of Qt's own
    // dialogs speak German like the pages, whatever the locale says.
    QTranslator german;
    if (german.load(QStringLiteral("qtbase_de"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&german);
    }

    // Qt has taken its own options (-platform, -style, ...) out of the list.
    std::string file;
    bool optionsEnded = false;
    const QStringList arguments = QCoreApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && a.startsWith('-') && a != "-") {
            return UsageError("unbekannte Option: " + tolvane::ui::PathFromQ(a));
        } else if (file.empty()) {
            file = tolvane::ui::PathFromQ(QFileInfo(a).absoluteFilePath());
        } else {
            return UsageError("nur eine Datei kann geöffnet werden");
        }
    }

    using namespace tolvane::ui;
    WindowOptions options;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        options.logPixelsX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
        options.screenDepth = screen->depth();
        options.devicePixelRatio = screen->devicePixelRatio();
    }
    options.programDir = PathFromQ(QCoreApplication::applicationDirPath());
    options.dataDir = InstalledFolder(TOLVANE_DATADIR_FROM_BIN, TOLVANE_DATADIR);
    options.stubDir = InstalledFolder(TOLVANE_STUB_DIR_FROM_BIN, TOLVANE_STUB_DIR);
    options.currentDir = PathFromQ(QDir::currentPath());

    QtDialogs dialogs(options.logPixelsX);
    QtMessageBoxes messages;
    DesktopShell shell;
    Services services{&dialogs, &messages, &shell, &tolvane::platform::NativeFileSystem()};

    const std::unique_ptr<MainWindow> window = CreateQtMainWindow(services, options);
    window->Start();
    if (!file.empty()) window->OpenGivenFile(file);
    return app.exec();
}

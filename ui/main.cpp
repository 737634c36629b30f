// tolvane: the archiver's desktop program. It takes no arguments.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <cmath>

#include "engine/platform/file_system.h"
#include "ui/main_window.h"
#include "ui/qt_services.h"
#include "ui/qt_text.h"

#ifndef TOLVANE_DATADIR
#define TOLVANE_DATADIR ""
#define TOLVANE_DATADIR_FROM_BIN ""
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tolvane");
    QApplication::setDesktopFileName("tolvane");

    using namespace tolvane::ui;
    WindowOptions options;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        options.logPixelsX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
        options.screenDepth = screen->depth();
        options.devicePixelRatio = screen->devicePixelRatio();
    }
    options.programDir = PathFromQ(QCoreApplication::applicationDirPath());
    // The installed data folder; beside a moved installation's program first.
    const QString moved =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + "/" + TOLVANE_DATADIR_FROM_BIN);
    options.dataDir = QFileInfo::exists(moved) ? PathFromQ(moved) : std::string(TOLVANE_DATADIR);
    options.currentDir = PathFromQ(QDir::currentPath());

    QtDialogs dialogs(options.logPixelsX);
    QtMessageBoxes messages;
    DesktopShell shell;
    Services services{&dialogs, &messages, &shell, &tolvane::platform::NativeFileSystem()};

    MainWindow window(services, options);
    window.Start();
    return app.exec();
}

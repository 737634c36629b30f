// Takes pictures of the stub's dialog from the screen, in its Ready and Done
// states, for the documentation. Run under an X server (scripts/screenshots.sh).
#include <QApplication>
#include <QScreen>
#include <QThread>
#include <cstdio>

#include "stub/robot_dialog.h"
#include "tests/robot/robot_support.h"

namespace {

using namespace tolvane::robot;

class ShotDialog : public RobotDialog {
  public:
    explicit ShotDialog(std::string folder) : folder_(std::move(folder)) {}
    bool AskTargetFolder(std::string* folder) override {
        *folder = folder_;
        return true;
    }

  private:
    std::string folder_;
};

bool Shoot(QWidget& window, const QString& file) {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(25);
    }
    const QPixmap picture =
        window.screen()->grabWindow(0, window.x(), window.y(), window.width(), window.height());
    const bool saved = picture.save(file);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", qPrintable(file));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: %s ZIELVERZEICHNIS\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    test::TempDir src, dir, out;
    test::WriteSelfExtractingSet(src.path(), test::MixedFiles(), 126560, dir / "package.exe",
                                 test::FakeRobotImage(src.path()));
    ShotDialog dialog(out.path());
    dialog.robot().StartUp(dir / "package.exe");
    dialog.show();
    bool ok = Shoot(dialog, folder + "/robot-ready.png");
    dialog.robot().StartPressed();
    ok = Shoot(dialog, folder + "/robot-done.png") && ok;
    return ok ? 0 : 1;
}

// The stub's dialog driven headless: its layout, its states and texts, the
// way it ends.
#include "stub/robot_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "tests/robot/robot_support.h"

namespace tolvane::robot::test {
namespace {

// The dialog with its questions answered by the test, and a note of what the
// window showed while a volume was copied.
class TestDialog : public RobotDialog {
  public:
    bool AskTargetFolder(std::string* folder) override {
        ++folderQuestions;
        if (folderAnswer.empty()) return false;
        *folder = folderAnswer;
        return true;
    }
    bool AskRetry(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ": " + text);
        return false;
    }
    void Message(const std::string& text, const std::string& caption, Icon, Owner) override {
        boxes.push_back(caption + ": " + text);
    }
    void Repaint() override {
        RobotDialog::Repaint();
        auto* start = static_cast<QPushButton*>(Control(kIdStart));
        if (start->text() == "Working ..." && !start->isEnabled()) ++repaintsWhileWorking;
        maxDisk = std::max(maxDisk, Bar(kIdDiskBar));
    }
    int Bar(int id) const { return static_cast<QProgressBar*>(Control(id))->value(); }
    QPushButton* Button(int id) const { return static_cast<QPushButton*>(Control(id)); }

    std::string folderAnswer;
    int folderQuestions = 0;
    std::vector<std::string> questions;
    std::vector<std::string> boxes;
    int repaintsWhileWorking = 0;
    int maxDisk = 0;
};

struct DialogTest : ::testing::Test {
    std::vector<std::string> Write(int64_t volumeSize) {
        files = MixedFiles();
        return WriteSelfExtractingSet(src.path(), files, volumeSize, dir / "package.exe",
                                      FakeRobotImage(src.path()));
    }
    void Start() {
        dialog.folderAnswer = out.path();
        dialog.robot().StartUp(dir / "package.exe");
        dialog.show();
    }
    void Press() { dialog.Button(kIdStart)->click(); }

    TempDir src, dir, out;
    std::vector<SourceFile> files;
    TestDialog dialog;
};

TEST_F(DialogTest, LayoutInDialogUnits) {
    EXPECT_EQ(dialog.windowTitle(), "Tolvane v2 - selfextracting archive");
    EXPECT_EQ(dialog.size(), QSize(408, 172));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const struct {
        int id;
        QRect rect;
    } expected[] = {
        {kIdQuit, {300, 114, 98, 23}},     {kIdStart, {300, 73, 98, 24}},
        {kIdTotalBar, {8, 65, 278, 16}},   {kIdDiskBar, {8, 98, 278, 16}},
        {kIdStatus, {8, 130, 278, 16}},    {kIdLogo, {8, 8, 100, 32}},
        {kIdDiskLabel, {8, 81, 32, 14}},   {kIdTotalLabel, {8, 49, 34, 14}},
        {kIdInfoLabel, {8, 114, 29, 15}},  {kIdBannerBottom, {308, 154, 92, 16}},
        {kIdBannerTop, {203, 8, 197, 31}},
    };
    for (const auto& e : expected) {
        QWidget* control = dialog.Control(e.id);
        ASSERT_NE(control, nullptr) << e.id;
        EXPECT_EQ(control->geometry(), e.rect) << e.id;
    }
    EXPECT_EQ(dialog.Button(kIdQuit)->text(), "Quit");
    EXPECT_EQ(dialog.Button(kIdStart)->text(), "Start");
    EXPECT_EQ(dialog.statusText(), "Status");
    EXPECT_EQ(static_cast<QLabel*>(dialog.Control(kIdStatus))->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(static_cast<QLabel*>(dialog.Control(kIdLogo))->pixmap().isNull());
    EXPECT_FALSE(dialog.windowIcon().isNull());
    // Worked with the mouse only.
    EXPECT_EQ(dialog.Button(kIdStart)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog.Button(kIdQuit)->focusPolicy(), Qt::NoFocus);
    // The background is black.
    const QImage image = dialog.grab().toImage();
    EXPECT_EQ(image.pixelColor(404, 60), QColor(Qt::black));
}

TEST_F(DialogTest, ReadyAndInvalid) {
    Write(2000000);
    Start();
    EXPECT_EQ(dialog.statusText(), "Files:6, FileSize:370017, Disks:1");
    EXPECT_TRUE(dialog.Button(kIdStart)->isEnabled());
    EXPECT_EQ(dialog.Bar(kIdTotalBar), 0);
    EXPECT_EQ(dialog.Bar(kIdDiskBar), 0);

    TestDialog invalid;
    invalid.robot().StartUp(FakeRobotImage(dir.path()));
    EXPECT_EQ(invalid.statusText(), "Ungültiges Archivformat!");
    EXPECT_FALSE(invalid.Button(kIdStart)->isEnabled());
    EXPECT_TRUE(invalid.Button(kIdQuit)->isEnabled());
}

TEST_F(DialogTest, CopyingThenDone) {
    Write(126560);
    Start();
    Press();
    EXPECT_GT(dialog.repaintsWhileWorking, 0);
    EXPECT_GT(dialog.maxDisk, 50);
    EXPECT_EQ(dialog.statusText(), "Archiv erfolgreich entpackt!");
    EXPECT_FALSE(dialog.Button(kIdStart)->isEnabled());
    EXPECT_EQ(dialog.Button(kIdStart)->text(), "Working ...");
    EXPECT_EQ(dialog.Bar(kIdTotalBar), 100);
    EXPECT_EQ(dialog.folderQuestions, 1);
    ExpectExtracted(out.path(), files);
}

TEST_F(DialogTest, WaitingForTheNextDiskThenDone) {
    const auto volumes = Write(126560);
    ASSERT_EQ(std::rename(volumes[1].c_str(), (src / "weg").c_str()), 0);
    Start();
    Press();
    EXPECT_EQ(dialog.statusText(), "Bitte einlegen: Datenträger#  2");
    EXPECT_EQ(dialog.Button(kIdStart)->text(), "Next disk");
    EXPECT_TRUE(dialog.Button(kIdStart)->isEnabled());
    EXPECT_EQ(dialog.Bar(kIdDiskBar), 0);
    EXPECT_GT(dialog.Bar(kIdTotalBar), 0);

    ASSERT_EQ(std::rename((src / "weg").c_str(), volumes[1].c_str()), 0);
    Press();
    EXPECT_EQ(dialog.folderQuestions, 1);
    EXPECT_EQ(dialog.statusText(), "Archiv erfolgreich entpackt!");
    EXPECT_FALSE(dialog.Button(kIdStart)->isEnabled());
    ExpectExtracted(out.path(), files);
}

TEST_F(DialogTest, StoppedAfterCancelInTheRetryQuestion) {
    const auto volumes = Write(126560);
    std::string foreign = ReadFile(volumes[1]);
    foreign[7] = '9';  // claims to be volume 0092
    WriteFile(volumes[1], foreign);
    Start();
    Press();
    ASSERT_EQ(dialog.questions.size(), 1u);
    EXPECT_EQ(dialog.questions[0],
              "Tolvane Robot: Fehler auf Datenträger#: 2\nLetztes Archiv wiederholen");
    EXPECT_FALSE(dialog.Button(kIdStart)->isEnabled());
    EXPECT_TRUE(dialog.Button(kIdQuit)->isEnabled());
    EXPECT_NE(dialog.statusText(), "Archiv erfolgreich entpackt!");
    EXPECT_TRUE(dialog.boxes.empty());
}

TEST_F(DialogTest, CancelledFolderQuestionAndKeysChangeNothing) {
    Write(2000000);
    Start();
    dialog.folderAnswer.clear();
    Press();
    EXPECT_EQ(dialog.folderQuestions, 1);
    EXPECT_EQ(dialog.statusText(), "Files:6, FileSize:370017, Disks:1");
    EXPECT_TRUE(dialog.Button(kIdStart)->isEnabled());
    for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab, Qt::Key_Space}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &press);
        QApplication::sendEvent(&dialog, &release);
    }
    QApplication::processEvents();
    EXPECT_EQ(dialog.folderQuestions, 1);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(DialogTest, QuitAndTheCloseBoxEndWithZero) {
    Start();
    QTimer::singleShot(0, [&] { dialog.Button(kIdQuit)->click(); });
    EXPECT_EQ(QApplication::exec(), 0);

    TestDialog other;
    other.robot().StartUp(FakeRobotImage(dir.path()));
    other.show();
    dialog.hide();
    QTimer::singleShot(0, [&] { other.close(); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(other.isVisible());
}

}  // namespace
}  // namespace tolvane::robot::test

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

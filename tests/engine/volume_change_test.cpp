#include <gtest/gtest.h>

#include "engine/archive_set.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Three files; the position stands inside the second one.
struct PositionedSet : Fixture {
    PositionedSet() {
        WriteFile(dir / "a", std::string(100, 'a'));
        WriteFile(dir / "b", std::string(200, 'b'));
        WriteFile(dir / "c", std::string(300, 'c'));
        for (const char* name : {"a", "b", "c"}) set.AddFileAtEnd(dir / name);
        set.head->done = 100;
        set.current = set.head->next;
        set.current->done = 50;
        set.currentIndex = 1;
        set.bytesDone = 150;
        settings.currentVolume = 3;
    }
    TempDir dir;
};

TEST(RetryVolume, RetryRollsBackToTheVolumeStart) {
    PositionedSet f;
    f.set.TakeVolumeSnapshot();
    // The failed volume got into the third file.
    f.set.current->done = 200;
    f.set.current = f.set.current->next;
    f.set.current->done = 120;
    f.set.currentIndex = 2;
    f.set.bytesDone = 420;
    f.display.retryAnswers = {true};

    EXPECT_EQ(f.set.RetryVolume(), 1);
    EXPECT_EQ(f.set.current, f.set.head->next);
    EXPECT_EQ(f.set.current->done, 50);
    EXPECT_EQ(f.set.current->next->done, 0);
    EXPECT_EQ(f.set.head->done, 100);
    EXPECT_EQ(f.set.currentIndex, 1);
    EXPECT_EQ(f.set.bytesDone, 150);  // the bar never counts a volume twice
    ASSERT_EQ(f.display.questions.size(), 1u);
    EXPECT_EQ(f.display.questions[0].text,
              "Fehler bei Datenträger#: 3\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.display.questions[0].caption, "Tolvane");
}

TEST(RetryVolume, CancelLeavesThePositionAlone) {
    PositionedSet f;
    f.set.TakeVolumeSnapshot();
    f.set.current->done = 70;
    EXPECT_EQ(f.set.RetryVolume(), 0);
    EXPECT_EQ(f.set.current->done, 70);
}

TEST(Prompts, InsertPromptHasTwoBlanksBeforeTheNumber) {
    EXPECT_EQ(InsertPromptText(12), "Bitte einlegen: Datenträger#  12");
    Fixture f;
    f.settings.currentVolume = 2;
    ShowInsertPrompt(f.set);
    EXPECT_EQ(f.display.status, "Bitte einlegen: Datenträger#  2");
    ShowNoSpace(f.display);
    ASSERT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.display.messages[0].text,
              "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!");
    EXPECT_EQ(f.display.messages[0].caption, "Tolvane");
    EXPECT_EQ(f.display.messages[0].icon, Icon::Warning);
}

// Writes the headers of a set of two files in a 100-byte-volume archive of
// volumeCount volumes and reads the set back from volume 1.
struct CheckedSet : Fixture {
    explicit CheckedSet(int selfExtracting = 0) {
        WriteFile(dir / "a", std::string(50, 'a'));
        WriteFile(dir / "b", std::string(20, 'b'));
        WriteFile(dir / "Robot.dat", test::RobotImage(200, 1));
        Fixture w;
        w.set.AddFileAtEnd(dir / "a");
        w.set.AddFileAtEnd(dir / "b");
        w.settings.volumeSize = 100;
        w.settings.volumeCount = 2;
        w.settings.selfExtracting = selfExtracting;
        w.settings.robotPath = dir / "Robot.dat";
        const std::string first = selfExtracting ? "package.exe" : "package.001";
        EXPECT_EQ(w.set.makeHeader(dir / first, 1), 1);
        EXPECT_EQ(w.set.makeHeader(dir / "package.002", 2), 1);
        settings.packagePath = dir / first;
        EXPECT_EQ(set.readHeader(), 1);
        set.CalcHeaderSize();
    }
    TempDir dir;
};

TEST(CheckDisk, AcceptsTheExpectedVolumeEvenWhenItIsShort) {
    CheckedSet f;
    // The 61-byte header-only volumes are shorter than 100 bytes.
    ASSERT_LT(ReadFile(f.dir / "package.002").size(), 100u);
    f.settings.packagePath = f.dir / "package.001";
    f.settings.currentVolume = 1;
    EXPECT_EQ(f.set.CheckDisk(), 1);
    f.settings.packagePath = f.dir / "package.002";
    f.settings.currentVolume = 2;
    EXPECT_EQ(f.set.CheckDisk(), 1);
    EXPECT_TRUE(f.display.messages.empty());
}

TEST(CheckDisk, AcceptsTheWorkedExamplesFiftyFiveByteVolume) {
    TempDir dir;
    WriteFile(dir / "a.txt", "hello");
    Fixture w;
    w.set.AddFileAtEnd(dir / "a.txt");
    w.settings.volumeCount = 1;
    ASSERT_EQ(w.set.makeHeader(dir / "package.001", 1), 1);
    WriteFile(dir / "package.001", ReadFile(dir / "package.001") + "hello");
    Fixture f;
    f.settings.packagePath = dir / "package.001";
    ASSERT_EQ(f.set.readHeader(), 1);
    EXPECT_EQ(ReadFile(dir / "package.001").size(), 55u);
    EXPECT_EQ(f.set.CheckDisk(), 1);
}

TEST(CheckDisk, RefusesWrongAndForeignVolumesWithoutAMessage) {
    CheckedSet f;
    // Volume 2 inserted where 1 is expected.
    f.settings.packagePath = f.dir / "package.002";
    f.settings.currentVolume = 1;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    // Same number, another archive (different total size).
    f.settings.currentVolume = 2;
    f.set.totalSize += 1;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    f.set.totalSize -= 1;
    f.settings.volumeSize = 101;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    f.settings.volumeSize = 100;
    f.settings.volumeCount = 3;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    f.settings.volumeCount = 2;
    // A volume whose slot 3 names another file count.
    std::string otherCount = ReadFile(f.dir / "package.002");
    otherCount.replace(15, 4, "0001");
    WriteFile(f.dir / "count.002", otherCount);
    f.settings.packagePath = f.dir / "count.002";
    EXPECT_EQ(f.set.CheckDisk(), 0);
    // A cut volume: the totals are incomplete.
    WriteFile(f.dir / "cut.002", ReadFile(f.dir / "package.002").substr(0, 24));
    f.settings.packagePath = f.dir / "cut.002";
    EXPECT_EQ(f.set.CheckDisk(), 0);
    WriteFile(f.dir / "text.002", "PACKED and some more text, no header at all");
    f.settings.packagePath = f.dir / "text.002";
    EXPECT_EQ(f.set.CheckDisk(), 0);
    EXPECT_TRUE(f.display.messages.empty());
}

TEST(CheckDisk, ReportsAMissingVolume) {
    CheckedSet f;
    f.settings.packagePath = f.dir / "package.009";
    EXPECT_EQ(f.set.CheckDisk(), 0);
    ASSERT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.display.messages[0].text, texts::kFileNotFound);
    EXPECT_EQ(f.display.messages[0].caption, "QuellDateien::CheckDisk");
    EXPECT_EQ(f.display.messages[0].owner, Owner::MainWindow);
}

TEST(CheckDisk, SelfExtractingVolumesOnlyWhenAskedFor) {
    CheckedSet f(1);
    ASSERT_EQ(f.settings.selfExtracting, 1);
    f.settings.packagePath = f.dir / "package.002";
    f.settings.currentVolume = 2;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    EXPECT_EQ(f.set.CheckDisk(true), 1);
    f.settings.packagePath = f.dir / "package.exe";
    f.settings.currentVolume = 1;
    EXPECT_EQ(f.set.CheckDisk(), 0);
    EXPECT_EQ(f.set.CheckDisk(true), 1);
}

}  // namespace
}  // namespace tolvane

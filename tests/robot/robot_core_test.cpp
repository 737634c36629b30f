// The stub's start-up and extraction, driven through a recording view.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "engine/volume_header.h"
#include "tests/robot/robot_support.h"
#include "tests/support/faulty_file_system.h"

namespace tolvane::robot::test {
namespace {

constexpr const char* kInvalid = "Ungültiges Archivformat!";
constexpr const char* kDone = "Archiv erfolgreich entpackt!";

struct StubTest : ::testing::Test {
    // A set of the mixed files in volumes of volumeSize, first volume name.
    std::vector<std::string> Write(int64_t volumeSize, const std::string& name = "package.exe",
                                   std::vector<SourceFile> list = MixedFiles()) {
        files = std::move(list);
        return WriteSelfExtractingSet(src.path(), files, volumeSize, dir / name,
                                      FakeRobotImage(src.path()));
    }
    // Starts the stub on the first volume and answers the folder question.
    int Start(const std::string& name = "package.exe") {
        view.folderAnswer = out.path();
        return robot.StartUp(dir / name);
    }

    TempDir src, dir, out;
    std::vector<SourceFile> files;
    RecordingView view;
    Robot robot{view};
};

// --- start-up ---

TEST_F(StubTest, ReadyShowsTheSummaryWithTheWholeSize) {
    Write(67300, "package.exe",
          {{"a.txt", std::string(300, 'a')},
           {"b.txt", std::string(500, 'b')},
           {"c.txt", std::string(200, 'c')}});
    EXPECT_EQ(Start(), 1);
    EXPECT_EQ(view.status, "Files:3, FileSize:1000, Disks:2");
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_EQ(view.buttonCaption, "Start");
    EXPECT_EQ(robot.set.headerSize, robot.set.CalcHeaderSize());

    // Sizes above 2^32 are shown in full.
    std::string exe(kStubAreaSize, '\0');
    exe += BuildHeader('E', 1, 3, 5000000000LL, 2000000000LL,
                       {{"gross.iso", 5000000000LL, SystemTime{2001, 2, 3, 4, 5, 6, 7, 8}}});
    WriteFile(dir / "big.exe", exe);
    EXPECT_EQ(robot.StartUp(dir / "big.exe"), 1);
    EXPECT_EQ(view.status, "Files:1, FileSize:5000000000, Disks:3");
}

TEST_F(StubTest, DataStartsBehindTheHeaderAsStored) {
    // A Windows-1252 name whose bytes are valid UTF-8 ("Ã¤" is C3 A4) is
    // unpacked as "ä.txt"; the data still starts behind the stored bytes.
    std::string exe(kStubAreaSize, '\0');
    exe += BuildHeader('E', 1, 1, 3, 1441792,
                       {{"", 3, SystemTime{2004, 5, 1, 3, 4, 5, 6, 7}, "\xC3\xA4.txt"}});
    WriteFile(dir / "package.exe", exe + "abc");
    ASSERT_EQ(Start(), 1);
    robot.StartPressed();
    EXPECT_EQ(view.status, kDone);
    EXPECT_EQ(ReadFile(out / "ä.txt"), "abc");
}

TEST_F(StubTest, InvalidWhenNothingLiesBehindTheStubArea) {
    // The bare image: shorter than the stub area.
    const std::string image = FakeRobotImage(dir.path());
    EXPECT_EQ(robot.StartUp(image), 0);
    EXPECT_EQ(view.status, kInvalid);
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_TRUE(robot.settings.packagePath.empty());

    // A missing own file ends the same way.
    EXPECT_EQ(robot.StartUp(dir / "fehlt.exe"), 0);
    EXPECT_EQ(view.status, kInvalid);
    EXPECT_FALSE(view.buttonEnabled);

    // A header behind the stub area that is cut off in its table, or holds a
    // name that would leave the target folder, is not an archive either.
    std::string exe(kStubAreaSize, '\0');
    const std::string header = BuildHeader('E', 1, 1, 5, 100000, {{"a.txt", 5, {}}});
    WriteFile(dir / "cut.exe", exe + header.substr(0, header.size() - 8));
    EXPECT_EQ(robot.StartUp(dir / "cut.exe"), 0);
    std::string hostile = header;
    hostile.replace(hostile.find("a.txt"), 5, "../ab");
    WriteFile(dir / "hostile.exe", exe + hostile);
    EXPECT_EQ(robot.StartUp(dir / "hostile.exe"), 0);
    EXPECT_EQ(view.status, kInvalid);
    EXPECT_EQ(robot.set.head, nullptr);
}

TEST_F(StubTest, AHeaderMarkedPackIsAcceptedAtStartUp) {
    const auto volumes = Write(2000000);
    std::string exe = ReadFile(volumes[0]);
    ASSERT_EQ(exe.substr(kStubAreaSize, 4), "PACE");
    exe[kStubAreaSize + 3] = 'K';
    WriteFile(volumes[0], exe);
    EXPECT_EQ(Start(), 1);
    robot.StartPressed();
    EXPECT_EQ(view.status, kDone);
    ExpectExtracted(out.path(), files);
}

// --- extraction ---

TEST_F(StubTest, OneVolumeInOnePassWithEmptyFilesFirstMiddleAndLast) {
    ASSERT_EQ(Write(2000000).size(), 1u);
    ASSERT_EQ(Start(), 1);
    robot.StartPressed();
    EXPECT_EQ(view.status, kDone);
    EXPECT_TRUE(robot.finished());
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_EQ(view.buttonCaption, "Working ...");
    EXPECT_EQ(view.total, 100);
    EXPECT_TRUE(view.questions.empty());
    EXPECT_GT(view.repaintsWhileWorking, 0);
    EXPECT_EQ(view.statusHistory[1], "kopiere...");
    EXPECT_NE(std::find(view.statusHistory.begin(), view.statusHistory.end(), out / "b.bin"),
              view.statusHistory.end());
    ExpectExtracted(out.path(), files);
    EXPECT_EQ(robot.set.head, nullptr);  // the list is freed when done
}

TEST_F(StubTest, AllVolumesBesideTheProgramInOnePass) {
    const auto volumes = Write(126560);
    ASSERT_GE(volumes.size(), 4u);
    ASSERT_EQ(Start(), 1);
    robot.StartPressed();
    EXPECT_EQ(view.status, kDone);
    EXPECT_EQ(view.folderQuestions, 1);
    EXPECT_TRUE(view.questions.empty());
    ExpectExtracted(out.path(), files);
}

TEST_F(StubTest, ExistingFilesAreOverwrittenAndLinksReplacedNotFollowed) {
    Write(2000000);
    WriteFile(out / "a.bin", std::string(1000000, 'x'));
    TempDir elsewhere;
    WriteFile(elsewhere / "opfer", "bleibt");
    ASSERT_EQ(::symlink((elsewhere / "opfer").c_str(), (out / "b.bin").c_str()), 0);
    ASSERT_EQ(Start(), 1);
    // Asked first; No leaves everything as it is.
    view.overwriteAnswer = false;
    robot.StartPressed();
    ASSERT_EQ(view.overwriteQuestions.size(), 1u);
    EXPECT_EQ(view.overwriteQuestions[0],
              "„a.bin“\n„b.bin“\nsind im Zielverzeichnis schon vorhanden. Überschreiben?");
    EXPECT_EQ(ReadFile(out / "a.bin"), std::string(1000000, 'x'));
    EXPECT_FALSE(robot.stopped());
    EXPECT_TRUE(view.questions.empty());
    // Yes: a.bin is replaced, and so is the link, never followed.
    view.overwriteAnswer = true;
    robot.StartPressed();
    EXPECT_EQ(view.overwriteQuestions.size(), 2u);
    EXPECT_EQ(ReadFile(out / "a.bin"), files[1].bytes);
    EXPECT_EQ(ReadFile(out / "b.bin"), files[3].bytes);
    EXPECT_EQ(ReadFile(elsewhere / "opfer"), "bleibt");
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(view.status, kDone);
}

TEST_F(StubTest, VolumeByVolumeWhenAVolumeIsNotAtHand) {
    const auto volumes = Write(126560, "setup.exe");
    ASSERT_GE(volumes.size(), 3u);
    EXPECT_EQ(volumes[1], dir / "setup.002");
    ASSERT_EQ(std::rename(volumes[1].c_str(), (src / "weg").c_str()), 0);
    ASSERT_EQ(Start("setup.exe"), 1);

    robot.StartPressed();
    EXPECT_EQ(view.status, "Bitte einlegen: Datenträger#  2");
    EXPECT_EQ(view.buttonCaption, "Next disk");
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_EQ(view.disk, 0);
    EXPECT_GT(view.total, 0);
    EXPECT_EQ(robot.settings.currentVolume, 2);

    // The disk is inserted: no folder question, on into the folder chosen.
    ASSERT_EQ(std::rename((src / "weg").c_str(), volumes[1].c_str()), 0);
    while (!robot.finished() && !robot.stopped() && robot.settings.currentVolume < 10) {
        robot.StartPressed();
    }
    EXPECT_EQ(view.status, kDone);
    EXPECT_EQ(view.folderQuestions, 1);
    // The rest was at hand and went in one pass.
    EXPECT_EQ(view.buttonCaption, "Working ...");
    EXPECT_FALSE(view.buttonEnabled);
    ExpectExtracted(out.path(), files);
}

TEST_F(StubTest, AForeignVolumeLeadsToTheRetryQuestion) {
    const auto volumes = Write(126560);
    ASSERT_GE(volumes.size(), 3u);
    // Volume 2 of another archive.
    TempDir other, otherSrc;
    auto otherFiles = MixedFiles();
    otherFiles[3].bytes[0] ^= 1;
    otherFiles.push_back({"mehr", "x"});
    const auto foreign =
        WriteSelfExtractingSet(otherSrc.path(), otherFiles, 126560, other / "package.exe",
                               FakeRobotImage(otherSrc.path()));
    const std::string good = ReadFile(volumes[1]);
    WriteFile(volumes[1], ReadFile(foreign[1]));
    ASSERT_EQ(Start(), 1);

    // Retry after the right disk has been put in: the file continued on
    // volume 2 ends with exactly its size.
    view.retryAnswers = {true};
    view.beforeRetry = [&] { WriteFile(volumes[1], good); };
    robot.StartPressed();
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0],
              "Tolvane Robot: Fehler auf Datenträger#: 2\nLetztes Archiv wiederholen");
    EXPECT_TRUE(view.boxes.empty());
    EXPECT_EQ(view.status, kDone);
    ExpectExtracted(out.path(), files);
}

TEST_F(StubTest, CancelInTheRetryQuestionStops) {
    const auto volumes = Write(126560);
    ASSERT_EQ(::truncate(volumes[1].c_str(), 50000), 0);  // a short middle volume
    ASSERT_EQ(Start(), 1);
    robot.StartPressed();
    EXPECT_NE(std::find(view.statusHistory.begin(), view.statusHistory.end(), "Fehler auf Medium!"),
              view.statusHistory.end());
    EXPECT_EQ(view.status, "Fehler auf Medium!");
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_TRUE(robot.stopped());
    EXPECT_FALSE(view.buttonEnabled);
    EXPECT_TRUE(view.boxes.empty());
}

TEST_F(StubTest, NextDiskWithoutTheDiskAsksAgain) {
    const auto volumes = Write(126560);
    ASSERT_EQ(std::remove(volumes[2].c_str()), 0);
    ASSERT_EQ(Start(), 1);
    EXPECT_FALSE(robot.AllVolumesPresent());
    EXPECT_EQ(robot.FirstMissingVolume(), volumes[2]);
    robot.StartPressed();  // volume 1, then the prompt for 2
    robot.StartPressed();  // volume 2, then the prompt for 3
    EXPECT_EQ(view.status, "Bitte einlegen: Datenträger#  3");
    robot.StartPressed();  // pressed without the disk
    EXPECT_EQ(view.status, "Datei nicht gefunden!");
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0],
              "Tolvane Robot: Fehler auf Datenträger#: 3\nLetztes Archiv wiederholen");
    EXPECT_TRUE(robot.stopped());
}

TEST_F(StubTest, CancelledFolderQuestionChangesNothing) {
    Write(2000000);
    ASSERT_EQ(Start(), 1);
    view.folderAnswer.clear();
    robot.StartPressed();
    EXPECT_EQ(view.status, "Files:6, FileSize:370017, Disks:1");
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_EQ(view.buttonCaption, "Start");
    robot.StartPressed();
    EXPECT_EQ(view.folderQuestions, 2);
}

TEST_F(StubTest, TooLittleSpaceKeepsTheButton) {
    Write(2000000);
    tolvane::test::FaultyFileSystem full;
    full.freeBytes = 10;
    Robot onFullDisk(view, full);
    view.folderAnswer = out.path();
    ASSERT_EQ(onFullDisk.StartUp(dir / "package.exe"), 1);
    onFullDisk.StartPressed();
    EXPECT_EQ(view.status, "Nicht genug freier Speicher auf Zieldatenträger!");
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_FALSE(tolvane::test::FileExists(out / "a.bin"));
}

TEST_F(StubTest, VolumesAreFoundWhateverTheProgramIsCalled) {
    // Named in capitals (as on a FAT medium): the first volume is the
    // program itself, not "PACKAGE.exe"; the others follow its stem.
    const auto volumes = Write(126560, "PACKAGE.EXE");
    ASSERT_EQ(volumes[1], dir / "PACKAGE.002");
    ASSERT_TRUE(tolvane::test::FileExists(dir / "PACKAGE.EXE"));
    ASSERT_FALSE(tolvane::test::FileExists(dir / "PACKAGE.exe"));
    ASSERT_EQ(Start("PACKAGE.EXE"), 1);
    robot.StartPressed();
    EXPECT_EQ(view.status, kDone);
    ExpectExtracted(out.path(), files);

    // A one-volume archive renamed without an extension.
    TempDir out2;
    Write(2000000, "paket.exe");
    ASSERT_EQ(std::rename((dir / "paket.exe").c_str(), (dir / "paket").c_str()), 0);
    RecordingView view2;
    Robot renamed(view2);
    view2.folderAnswer = out2.path();
    ASSERT_EQ(renamed.StartUp(dir / "paket"), 1);
    renamed.StartPressed();
    EXPECT_EQ(view2.status, kDone);
    ExpectExtracted(out2.path(), files);
}

TEST_F(StubTest, AFileThatWouldOverwriteAVolumeIsRefused) {
    // The archive holds a file named like its own second volume, and the
    // target is the folder of the volumes.
    Write(126560, "package.exe",
          {{"package.002", tolvane::test::RandomBytes(200000, 7)}, {"b", "b"}});
    const std::string volume2 = ReadFile(dir / "package.002");
    view.folderAnswer = dir.path();
    ASSERT_EQ(robot.StartUp(dir / "package.exe"), 1);
    robot.StartPressed();
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_NE(view.boxes[0].find("Tolvane Robot: Die Datei „package.002“ des Archivs"),
              std::string::npos)
        << view.boxes[0];
    EXPECT_EQ(ReadFile(dir / "package.002"), volume2);
    EXPECT_FALSE(tolvane::test::FileExists(dir / "b"));
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_FALSE(robot.finished());
}

// Every failure the file system can give, at every point of a three-volume
// extraction, is offered again; after Retry the files are exactly those of a
// clean run. A read error is the one message box.
TEST_F(StubTest, EveryFailedVolumeCanBeRepeated) {
    using tolvane::test::Fault;
    using tolvane::test::FaultyFileSystem;
    const auto volumes = Write(126560);
    ASSERT_EQ(volumes.size(), 4u);
    for (Fault fault :
         {Fault::ReadFails, Fault::ReadReturnsNothing, Fault::ShortWrite, Fault::FlushFails,
          Fault::OpenFails, Fault::StatFails, Fault::SetTimeFails}) {
        int calls = 0;
        for (int nth = 1; nth == 1 || nth <= calls; ++nth) {
            SCOPED_TRACE(testing::Message()
                         << "fault " << static_cast<int>(fault) << " at " << nth);
            TempDir target;
            FaultyFileSystem fs;
            fs.syncToMedium = false;
            RecordingView v;
            v.folderAnswer = target.path();
            v.retryAnswers = std::deque<bool>(5, true);
            Robot r(v, fs);
            ASSERT_EQ(r.StartUp(dir / "package.exe"), 1);
            fs.ResetCounts();
            if (nth > 0 && calls > 0) fs.Arm(fault, nth);
            for (int press = 0; press < 8 && !r.finished() && !r.stopped(); ++press) {
                r.StartPressed();
            }
            ASSERT_TRUE(r.finished()) << v.status;
            if (calls == 0) {
                // The clean run: count the calls, then fail each in turn.
                calls = fs.Calls(fault);
                ASSERT_GT(calls, 0);
                nth = 0;
                continue;
            }
            ASSERT_TRUE(fs.fired());
            const bool timeFailed = fault == Fault::SetTimeFails;
            for (const SourceFile& f : files) {
                EXPECT_TRUE(ReadFile(target / f.name) == f.bytes) << f.name;
                if (!timeFailed) {
                    EXPECT_EQ(MtimeOf(target / f.name), f.mtime) << f.name;
                }
            }
            // A failed read of volume data (not of a header being checked).
            ASSERT_LE(v.boxes.size(), 1u);
            if (!v.boxes.empty()) {
                EXPECT_EQ(v.boxes[0], "QuellDateien::CopyBack::read: Fehler auf Datenträger!");
                EXPECT_TRUE(fault == Fault::ReadFails || fault == Fault::ReadReturnsNothing);
            }
            if (timeFailed) {
                EXPECT_NE(
                    std::find(v.statusHistory.begin(), v.statusHistory.end(), "Interner Fehler!"),
                    v.statusHistory.end());
                EXPECT_TRUE(v.questions.empty());
            }
        }
    }
}

}  // namespace
}  // namespace tolvane::robot::test

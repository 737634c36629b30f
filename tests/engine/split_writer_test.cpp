// The split writer: Copy's volumes byte for byte, the drivers' flows, and
// everything refused or reported before or while a volume is written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/drivers.h"
#include "engine/package_info.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/support/archive_run.h"

namespace tolvane {
namespace {

using test::ArchiveRun;
using test::Fault;
using test::RandomBytes;
using test::ReadFile;
using test::SourceFile;
using test::TempDir;
using test::WriteSources;

const char kRetryQuestion1[] = "Fehler bei Datenträger#: 1\nLetztes Package/Diskette wiederholen";

std::string Concat(const std::vector<SourceFile>& files) {
    std::string all;
    for (const SourceFile& f : files) all += f.bytes;
    return all;
}

// Two files of 1000000 and 600000 bytes on 1.44 MB volumes: the first volume
// is full, the second holds the rest; both headers say two volumes and differ
// only in the volume number.
TEST(SplitWriter, TwoFilesOnFloppyVolumes) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"one.bin", RandomBytes(1000000, 1)},
                                           {"two.bin", RandomBytes(600000, 2)}};
    ArchiveRun run;
    run.PrepareSplit(WriteSources(dir.path(), files), dir / "package.001", kSize144MB);
    ASSERT_EQ(run.settings.volumeCount, 2);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    EXPECT_TRUE(run.display.messages.empty());
    EXPECT_TRUE(run.display.questions.empty());
    EXPECT_EQ(run.settings.targetPath, dir / "package.002");
    EXPECT_EQ(run.display.status, "bearbeite Dateien...");  // no insert prompt between volumes
    EXPECT_EQ(run.display.maxOverall, 100);
    EXPECT_EQ(run.set.current, nullptr);

    const int64_t hs = run.set.headerSize;
    const std::string all = Concat(files);
    const std::string v1 = ReadFile(dir / "package.001");
    const std::string v2 = ReadFile(dir / "package.002");
    ASSERT_EQ(static_cast<int64_t>(v1.size()), kSize144MB);
    EXPECT_EQ(v1.substr(hs), all.substr(0, kSize144MB - hs));
    EXPECT_EQ(v2.substr(hs), all.substr(kSize144MB - hs));
    std::string h1 = v1.substr(0, hs), h2 = v2.substr(0, hs);
    EXPECT_EQ(h1.substr(5, 4), "0001");
    EXPECT_EQ(h2.substr(5, 4), "0002");
    EXPECT_EQ(h1.substr(10, 4), "0002");
    h1.replace(5, 4, "xxxx");
    h2.replace(5, 4, "xxxx");
    EXPECT_EQ(h1, h2);
    const PackageInfo info = DiskInfoReadHeader(platform::NativeFileSystem(), dir / "package.002");
    ASSERT_EQ(info.status, PackageInfo::Status::Ok);
    EXPECT_EQ(info.totalSize, 1600000);
    ASSERT_EQ(info.rows.size(), 2u);
    EXPECT_EQ(info.rows[0].name, "one.bin");  // in the order given
}

// The first volume of a self-extracting set: the robot image, zero bytes up
// to 66560, the "PACE" header, data up to exactly volumeSize; executable.
TEST(SplitWriter, SelfExtractingFirstVolumeCarriesTheStubArea) {
    TempDir dir;
    const std::string robot = test::RobotImage(40000, 9);
    test::WriteFile(dir / "Robot.dat", robot);
    const std::vector<SourceFile> files = {{"one.bin", RandomBytes(1000000, 1)},
                                           {"two.bin", RandomBytes(600000, 2)}};
    ArchiveRun run;
    run.PrepareSplit(WriteSources(dir.path(), files), dir / "package.001", kSize144MB, true,
                     dir / "Robot.dat");
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    EXPECT_TRUE(run.display.messages.empty());
    EXPECT_EQ(run.settings.targetPath, dir / "package.002");

    const int64_t hs = run.set.headerSize;
    const std::string exe = ReadFile(dir / "package.exe");
    ASSERT_EQ(static_cast<int64_t>(exe.size()), kSize144MB);
    EXPECT_EQ(exe.substr(0, robot.size()), robot);
    EXPECT_EQ(exe.substr(robot.size(), kStubAreaSize - robot.size()),
              std::string(kStubAreaSize - robot.size(), '\0'));
    EXPECT_EQ(exe.substr(kStubAreaSize, 4), "PACE");
    const std::string all = Concat(files);
    const int64_t firstData = kSize144MB - kStubAreaSize - hs;
    EXPECT_EQ(exe.substr(kStubAreaSize + hs), all.substr(0, firstData));
    const std::string second = ReadFile(dir / "package.002");
    EXPECT_EQ(second.substr(0, 4), "PACE");
    EXPECT_EQ(second.substr(hs), all.substr(firstData));
    EXPECT_FALSE(test::FileExists(dir / "package.001"));
    struct stat st;
    ASSERT_EQ(::stat((dir / "package.exe").c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IXUSR, 0u);
}

// Data that fills the first volume exactly: a second volume holding only its
// header follows, and both headers count it. Empty files add no data.
TEST(SplitWriter, DataFillingAVolumeExactlyGivesAHeaderOnlyVolume) {
    // The header's length depends on the number of digits of the sizes only.
    TempDir probeDir;
    ArchiveRun probe;
    probe.PrepareSplit(
        WriteSources(probeDir.path(),
                     {{"empty1", ""}, {"data.bin", std::string(99999, 'x')}, {"empty2", ""}}),
        probeDir / "probe.001", 100000);
    const int64_t capacity = 100000 - probe.set.headerSize;

    TempDir dir;
    const std::vector<SourceFile> files = {
        {"empty1", ""}, {"data.bin", RandomBytes(capacity, 3)}, {"empty2", ""}};
    ArchiveRun run;
    run.PrepareSplit(WriteSources(dir.path(), files), dir / "package.001", 100000);
    ASSERT_EQ(run.set.headerSize, probe.set.headerSize);
    ASSERT_EQ(run.settings.volumeCount, 2);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    const std::string v1 = ReadFile(dir / "package.001");
    const std::string v2 = ReadFile(dir / "package.002");
    EXPECT_EQ(v1.size(), 100000u);
    EXPECT_EQ(static_cast<int64_t>(v2.size()), run.set.headerSize);
    EXPECT_EQ(v1.substr(run.set.headerSize), files[1].bytes);
    EXPECT_EQ(v1.substr(10, 4), "0002");
    EXPECT_EQ(v2.substr(5, 9), std::string("0002\0"
                                           "0002",
                                           9));
}

// A set of empty files is one volume: the header alone.
TEST(SplitWriter, EmptyFilesOnlyMakeOneHeaderOnlyVolume) {
    TempDir dir;
    ArchiveRun run;
    run.PrepareSplit(WriteSources(dir.path(), {{"a", ""}, {"b", ""}}), dir / "package.001",
                     kSize144MB);
    ASSERT_EQ(run.settings.volumeCount, 1);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    EXPECT_EQ(static_cast<int64_t>(ReadFile(dir / "package.001").size()), run.set.headerSize);
    EXPECT_FALSE(test::FileExists(dir / "package.002"));
}

// A source gone since it was chosen stops the volume with "open2" (the
// volume's first file) or "open3" (a later one) and the retry question;
// after Retry with the file back, the volumes are complete.
TEST(SplitWriter, MissingSourceFileStopsTheVolumeUntilRetry) {
    for (const bool first : {true, false}) {
        TempDir dir;
        const std::vector<SourceFile> files = {{"a.bin", RandomBytes(3000, 1)},
                                               {"b.bin", RandomBytes(4000, 2)}};
        const auto paths = WriteSources(dir.path(), files);
        ArchiveRun run;
        run.PrepareSplit(paths, dir / "package.001", 5000);
        const std::string gone = first ? paths[0] : paths[1];
        ::unlink(gone.c_str());
        run.display.retryAnswers = {true};
        run.display.onAsk = [&] { test::WriteFile(gone, first ? files[0].bytes : files[1].bytes); };
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
        ASSERT_EQ(run.display.messages.size(), 1u);
        EXPECT_EQ(run.display.messages[0].text, "Eine benötigte Datei wurde nicht gefunden!");
        EXPECT_EQ(run.display.messages[0].caption,
                  first ? "QuellDateien::copy::open2" : "QuellDateien::Copy::open3");
        EXPECT_EQ(run.display.messages[0].icon, Icon::Error);
        ASSERT_EQ(run.display.questions.size(), 1u);
        EXPECT_EQ(run.display.questions[0].text, kRetryQuestion1);
        EXPECT_EQ(run.display.questions[0].caption, "Tolvane");
        const std::string v1 = ReadFile(dir / "package.001");
        const std::string v2 = ReadFile(dir / "package.002");
        EXPECT_EQ(v1.substr(run.set.headerSize) + v2.substr(run.set.headerSize), Concat(files));
    }
}

// Cancel abandons the split: the caller shows the start page.
TEST(SplitWriter, CancelledRetryEndsTheSplit) {
    TempDir dir;
    const auto paths = WriteSources(dir.path(), {{"a.bin", RandomBytes(3000, 1)}});
    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 2000);
    run.fs.Arm(Fault::ShortWrite, 2);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Cancelled);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::Copy::write");
    EXPECT_EQ(run.display.messages[0].text,
              "Beim Schreiben auf Medium ist ein Fehler aufgetreten!");
    EXPECT_EQ(run.display.questions.size(), 1u);
}

// Retry rolls the set back to the start of the failed volume (bytesDone too)
// and writes the volume again, whole and identical.
TEST(SplitWriter, RetryRewritesTheFailedVolumeFromItsStart) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"a.bin", RandomBytes(700000, 1)},
                                           {"b.bin", RandomBytes(500000, 2)},
                                           {"c.bin", RandomBytes(900000, 3)}};
    const auto paths = WriteSources(dir.path(), files);
    TempDir clean;
    ArchiveRun reference;
    reference.PrepareSplit(paths, clean / "package.001", 600000);
    ASSERT_EQ(reference.SplitToEnd(), DriveOutcome::Finished);

    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 600000);
    ASSERT_EQ(run.set.Copy(), 1);
    ++run.settings.currentVolume;
    ASSERT_EQ(run.set.Copy(), 1);
    ++run.settings.currentVolume;
    const FileEntry* startEntry = run.set.current;
    const int64_t startDone = startEntry->done;
    const int startIndex = run.set.currentIndex;
    const int64_t startBytes = run.set.bytesDone;
    // Volume 3 fails after its first chunk reached the medium.
    run.fs.ResetCounts();
    run.fs.Arm(Fault::ShortWrite, 3);
    ASSERT_EQ(run.set.Copy(), 0);
    EXPECT_GT(run.set.bytesDone, startBytes);
    run.display.retryAnswers = {true};
    ASSERT_EQ(run.set.RetryVolume(), 1);
    EXPECT_EQ(run.set.current, startEntry);
    EXPECT_EQ(run.set.current->done, startDone);
    EXPECT_EQ(run.set.currentIndex, startIndex);
    EXPECT_EQ(run.set.bytesDone, startBytes);
    for (const FileEntry* e = startEntry->next; e != nullptr; e = e->next) EXPECT_EQ(e->done, 0);
    EXPECT_EQ(run.display.questions[0].text,
              "Fehler bei Datenträger#: 3\nLetztes Package/Diskette wiederholen");
    while (run.set.current != nullptr) {
        ASSERT_EQ(run.set.Copy(), 1);
        ++run.settings.currentVolume;
    }
    EXPECT_EQ(run.set.bytesDone, run.set.totalSize);
    EXPECT_LE(run.display.maxOverall, 100);
    EXPECT_EQ(test::ReadAll(run.SplitVolumes()), test::ReadAll(reference.SplitVolumes()));
}

// A target without room for the whole set gets one volume per press and the
// prompt for the next medium; without room for one volume nothing is written.
TEST(SplitWriter, SmallTargetGetsOneVolumePerPress) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"a.bin", RandomBytes(250000, 1)}};
    const auto paths = WriteSources(dir.path(), files);

    ArchiveRun full;
    full.PrepareSplit(paths, dir / "full.001", 100000);
    full.fs.freeBytes = 99999;
    EXPECT_EQ(StartSplit(full.set), DriveOutcome::Stopped);
    ASSERT_EQ(full.display.messages.size(), 1u);
    EXPECT_EQ(full.display.messages[0].text,
              "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!");
    EXPECT_EQ(full.display.messages[0].caption, "Tolvane");
    EXPECT_EQ(full.display.messages[0].icon, Icon::Warning);
    EXPECT_FALSE(test::FileExists(dir / "full.001"));

    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 100000);
    run.fs.freeBytes = 100000;
    ASSERT_EQ(run.settings.volumeCount, 3);
    EXPECT_EQ(StartSplit(run.set), DriveOutcome::WaitingForNextMedium);
    EXPECT_EQ(run.display.status, "Bitte einlegen: Datenträger#  2");
    EXPECT_FALSE(test::FileExists(dir / "package.002"));
    EXPECT_EQ(StartSplit(run.set), DriveOutcome::WaitingForNextMedium);
    EXPECT_EQ(run.display.status, "Bitte einlegen: Datenträger#  3");
    EXPECT_EQ(StartSplit(run.set), DriveOutcome::Finished);
    EXPECT_TRUE(run.display.messages.empty());
    const auto volumes = test::ReadAll(run.SplitVolumes());
    std::string data;
    for (const std::string& v : volumes) data += v.substr(run.set.headerSize);
    EXPECT_EQ(data, files[0].bytes);
}

// Back after two volumes (Rewind) and start again: volume 1 is written anew;
// until then the target names the last volume written.
TEST(SplitWriter, BackAfterTwoVolumesStartsAgainAtTheFirst) {
    TempDir dir;
    const auto paths = WriteSources(dir.path(), {{"a.bin", RandomBytes(350000, 1)}});
    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 100000);
    run.fs.freeBytes = 100000;
    ASSERT_EQ(StartSplit(run.set), DriveOutcome::WaitingForNextMedium);
    ASSERT_EQ(StartSplit(run.set), DriveOutcome::WaitingForNextMedium);
    EXPECT_EQ(run.settings.targetPath, dir / "package.002");
    run.set.Rewind();
    run.fs.freeBytes.reset();
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    std::string data;
    for (const std::string& v : test::ReadAll(run.SplitVolumes())) {
        data += v.substr(run.set.headerSize);
    }
    EXPECT_EQ(data, ReadFile(paths[0]));
}

// What the header cannot describe, and choices that would lose data, are
// refused with a warning before anything is written.
TEST(SplitWriter, UnsafeChoicesAreRefusedBeforeAnythingIsWritten) {
    struct Case {
        std::string what;
        std::vector<std::string> names;  // in sub folders s0, s1, ...
        int64_t volumeSize;
        std::string firstVolume;  // relative to the test folder
        std::string expectedStart;
    };
    const std::vector<Case> cases = {
        {"volume not larger than the header",
         {"a.txt"},
         40,
         "package.001",
         "Die gewählte Archivgröße ist zu klein"},
        {"two files of one name",
         {"same.txt", "same.txt"},
         100000,
         "package.001",
         "Zwei der gewählten Dateien heißen „same.txt“."},
        {"two names that differ only in case",
         {"Case.txt", "case.txt"},
         100000,
         "package.001",
         "Die Dateien „Case.txt“ und „case.txt“ unterscheiden sich nur in der Groß- und "
         "Kleinschreibung."},
        {"two names that differ only in an umlaut's case",
         {"Ärger.txt", "ärger.txt"},
         100000,
         "package.001",
         "Die Dateien „Ärger.txt“ und „ärger.txt“"},
        {"a backslash in a name",
         {"a\\b.txt"},
         100000,
         "package.001",
         "Der Dateiname „a\\b.txt“ kann in einem Archiv nicht gespeichert werden."},
        {"a name that would come back as another",
         {"Ã¤.txt"},
         100000,
         "package.001",
         "Der Dateiname „Ã¤.txt“"},
        {"a volume that is a chosen file",
         {"x", "package.002"},
         100000,
         "s1/package.001",
         "Der Datenträger"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::vector<std::string> paths;
        for (size_t i = 0; i < c.names.size(); ++i) {
            const std::string folder = dir / ("s" + std::to_string(i));
            ::mkdir(folder.c_str(), 0755);
            paths.push_back(
                WriteSources(folder, {{c.names[i], RandomBytes(150000, 4 + i)}}).front());
        }
        const std::string before = ReadFile(paths.back());
        ArchiveRun run;
        run.PrepareSplit(paths, dir / c.firstVolume, c.volumeSize);
        EXPECT_EQ(StartSplit(run.set), DriveOutcome::Stopped);
        ASSERT_EQ(run.display.messages.size(), 1u);
        EXPECT_EQ(run.display.messages[0].text.rfind(c.expectedStart, 0), 0u)
            << run.display.messages[0].text;
        EXPECT_EQ(run.display.messages[0].caption, "Tolvane");
        EXPECT_EQ(run.display.messages[0].icon, Icon::Warning);
        EXPECT_FALSE(test::FileExists(dir / c.firstVolume));
        EXPECT_EQ(ReadFile(paths.back()), before);
    }
}

TEST(SplitWriter, SplitWithoutTargetIsRefused) {
    TempDir dir;
    ArchiveRun run;
    run.PrepareSplit(WriteSources(dir.path(), {{"a", "aaa"}}), "", 100000);
    EXPECT_EQ(StartSplit(run.set), DriveOutcome::Stopped);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(
        run.display.messages[0].text,
        "Bitte wählen Sie unbedingt eine Quelle \n und ein Ziel für die Archiverstellung aus !");
}

// A symbolic link in the target folder under a volume's name is not written
// through: the volume fails with the writer's message and the link's target
// stays as it was.
TEST(SplitWriter, SymbolicLinkUnderAVolumeNameIsNotWrittenThrough) {
    TempDir dir, elsewhere;
    test::WriteFile(elsewhere / "precious", "keep me");
    const auto paths = WriteSources(dir.path(), {{"a.bin", RandomBytes(150000, 1)}});
    ASSERT_EQ(::symlink((elsewhere / "precious").c_str(), (dir / "package.002").c_str()), 0);
    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 100000);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Cancelled);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::Copy::makeHeader");
    EXPECT_EQ(run.display.questions[0].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(ReadFile(elsewhere / "precious"), "keep me");
}

// Only the recorded size of a file is archived: a file that has grown since
// it was chosen still matches the header; one that has shrunk is a read
// error, reported once, never an endless loop.
TEST(SplitWriter, SourceThatChangedSizeNeverBreaksTheArchive) {
    TempDir dir;
    const std::string original = RandomBytes(120000, 1);
    const auto paths = WriteSources(dir.path(), {{"a.bin", original}, {"b.bin", "bbb"}});
    {
        ArchiveRun run;
        run.PrepareSplit(paths, dir / "grown.001", 100000);
        test::WriteFile(paths[0], original + "more bytes");
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
        std::string data;
        for (const std::string& v : test::ReadAll(run.SplitVolumes())) {
            data += v.substr(run.set.headerSize);
        }
        EXPECT_EQ(data, original + "bbb");
    }
    {
        ArchiveRun run;
        run.PrepareSplit(paths, dir / "shrunk.001", 100000);
        test::WriteFile(paths[0], original.substr(0, 50000));
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Cancelled);
        ASSERT_EQ(run.display.messages.size(), 1u);
        EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::Copy::read");
        EXPECT_EQ(run.display.messages[0].text, "Fehler auf Datenträger!");
    }
}

// A robot image that is missing or longer than the stub area is reported
// with its own message, then the volume's, then the retry question.
TEST(SplitWriter, RobotImageProblemsFailTheFirstVolume) {
    TempDir dir;
    const auto paths = WriteSources(dir.path(), {{"a.bin", RandomBytes(1000, 1)}});
    const std::string whole = test::RobotImage(40000, 2);
    test::WriteFile(dir / "long.dat", test::RobotImage(kStubAreaSize + 1, 2));
    test::WriteFile(dir / "exact.dat", test::RobotImage(kStubAreaSize, 3));
    test::WriteFile(dir / "cut.dat", whole.substr(0, 100));
    test::WriteFile(dir / "foreign.dat", RandomBytes(40000, 4));
    std::string noMarker = whole;
    noMarker.replace(120, 5, "xxxxx");
    test::WriteFile(dir / "no-marker.dat", noMarker);
    // A missing image: makeHeader's report, then the retry question.
    {
        ArchiveRun run;
        run.PrepareSplit(paths, dir / "package.exe", 100000, true, dir / "missing.dat");
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Cancelled);
        ASSERT_EQ(run.display.messages.size(), 2u);
        EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::makeHeader (OPEN)");
        EXPECT_EQ(run.display.messages[0].text, "Die Datei robot.dat wurde nicht gefunden");
        EXPECT_EQ(run.display.messages[1].caption, "QuellDateien::Copy::makeHeader");
        EXPECT_EQ(run.display.questions.size(), 1u);
    }
    // A damaged one: refused before anything is written, an existing file
    // of the first volume's name included.
    for (const char* robot : {"long.dat", "cut.dat", "foreign.dat", "no-marker.dat"}) {
        test::WriteFile(dir / "package.exe", "vorher");
        ArchiveRun run;
        run.PrepareSplit(paths, dir / "package.exe", 100000, true, dir / robot);
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Stopped) << robot;
        ASSERT_EQ(run.display.messages.size(), 1u) << robot;
        EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::makeHeader (READ)");
        EXPECT_EQ(run.display.messages[0].text, "Die Datei robot.dat ist beschädigt");
        EXPECT_TRUE(run.display.questions.empty());
        EXPECT_EQ(ReadFile(dir / "package.exe"), "vorher") << robot;
    }
    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 100000, true, dir / "exact.dat");
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    EXPECT_EQ(ReadFile(dir / "package.exe").substr(0, kStubAreaSize), ReadFile(dir / "exact.dat"));
}

// Progress after every chunk: the row of the current file, both bars; the
// volume bar goes back to 0 after a full volume.
TEST(SplitWriter, ProgressIsShownAfterEveryChunk) {
    TempDir dir;
    const auto paths = WriteSources(
        dir.path(), {{"a.bin", RandomBytes(600000, 1)}, {"b.bin", RandomBytes(10, 2)}});
    ArchiveRun run;
    run.PrepareSplit(paths, dir / "package.001", 400000);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    // Volume 1: 262144 + the rest of the capacity; volume 2: the rest of a, b.
    EXPECT_EQ(run.display.repaints, 4);
    EXPECT_EQ(run.display.lastRow, 1);
    EXPECT_EQ(run.display.lastRowText, "10");
    EXPECT_EQ(run.display.overall, 100);
    const std::vector<int> bars = run.display.volumeBars;
    ASSERT_EQ(bars.size(), 5u);
    EXPECT_EQ(bars[1], 100);
    EXPECT_EQ(bars[2], 0);
    EXPECT_GT(bars[4], 0);  // the set is complete: the bar stays where it is
}

}  // namespace
}  // namespace tolvane

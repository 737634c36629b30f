// The extractor: CopyBack's volume-by-volume restore, the restore drivers,
// the front-end variants, and every refusal and report on the way.
#include "engine/extractor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/drivers.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/support/archive_run.h"

namespace tolvane {
namespace {

using test::ArchiveRun;
using test::Fault;
using test::MtimeNanos;
using test::RandomBytes;
using test::ReadFile;
using test::SourceFile;
using test::TempDir;
using test::WriteSources;

constexpr int64_t kSecond = 1000000000;

// Splits files into folder/package.001 ... and returns the run (for its
// header size and volume names).
std::unique_ptr<ArchiveRun> MakeArchive(const std::string& folder,
                                        const std::vector<SourceFile>& files, int64_t volumeSize,
                                        bool selfExtracting = false,
                                        const std::string& robot = "") {
    const std::string sources = folder + "/src";
    ::mkdir(sources.c_str(), 0755);
    auto run = std::make_unique<ArchiveRun>();
    run->PrepareSplit(WriteSources(sources, files),
                      folder + (selfExtracting ? "/package.exe" : "/package.001"), volumeSize,
                      selfExtracting, robot);
    EXPECT_EQ(run->SplitToEnd(), DriveOutcome::Finished);
    EXPECT_TRUE(run->display.messages.empty());
    return run;
}

// The restored files hold the original bytes and times (milliseconds kept).
void ExpectRestored(const std::string& folder, const std::vector<SourceFile>& files) {
    for (const SourceFile& f : files) {
        SCOPED_TRACE(f.name);
        ASSERT_TRUE(test::FileExists(folder + "/" + f.name));
        EXPECT_EQ(ReadFile(folder + "/" + f.name), f.bytes);
        EXPECT_EQ(MtimeNanos(folder + "/" + f.name),
                  f.mtime * kSecond + f.mtimeNanos / 1000000 * 1000000);
    }
}

// Files a (50 bytes) and b (20 bytes) on volumes of 100 bytes: a 60-byte
// header leaves 40 data bytes per volume. Call 1 restores a's first 40
// bytes; call 2 completes a, restores b, and ends with current null.
TEST(Extractor, WorkedExampleTwoCalls) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"a", RandomBytes(50, 1), 889197125, 250000000},
                                           {"b", RandomBytes(20, 2), 889197126}};
    MakeArchive(dir.path(), files, 100);
    EXPECT_EQ(ReadFile(dir / "package.001").size(), 100u);
    EXPECT_EQ(ReadFile(dir / "package.002").size(), 90u);

    TempDir out;
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    EXPECT_EQ(run.set.headerSize, 60);
    ASSERT_EQ(run.settings.volumeCount, 2);

    ASSERT_EQ(run.set.CopyBack(), 1);
    EXPECT_EQ(run.set.current, run.set.head);
    EXPECT_EQ(run.set.head->done, 40);
    EXPECT_EQ(ReadFile(out / "a"), files[0].bytes.substr(0, 40));
    EXPECT_EQ(run.display.volumeBars, (std::vector<int>{100, 0}));
    EXPECT_EQ(run.settings.packagePath, dir / "package.001");

    run.settings.currentVolume = 2;
    ASSERT_EQ(run.set.CopyBack(), 1);
    EXPECT_EQ(run.set.current, nullptr);
    EXPECT_EQ(run.set.currentIndex, 1);
    EXPECT_EQ(run.set.bytesDone, 70);
    EXPECT_EQ(run.display.volume, 100);  // the call returned at once: the bar stays full
    EXPECT_EQ(run.settings.packagePath, dir / "package.002");
    EXPECT_TRUE(run.display.messages.empty());
    ExpectRestored(out.path(), files);
}

TEST(Extractor, OutputNamesGoFlatIntoTheFolder) {
    FileEntry e;
    e.path = "/readme.txt";
    EXPECT_EQ(OutputFileName("/", e), "/readme.txt");
    EXPECT_EQ(OutputFileName("/out/", e), "/out/readme.txt");
    EXPECT_EQ(OutputFileName("/out", e), "/out/readme.txt");
}

// The volume read is named from packagePath with the number put in, and
// packagePath keeps that name.
TEST(Extractor, VolumeTwelveIsReadFromItsOwnName) {
    TempDir dir;
    ArchiveRun run;
    auto* e = new FileEntry;
    e->path = "/x";
    e->size = 1;
    run.set.AppendEntry(e);
    run.set.fileCount = 1;
    run.set.totalSize = 1;
    run.settings.volumeCount = 13;
    run.settings.packagePath = dir / "package.001";
    run.settings.targetPath = dir.path();
    run.settings.currentVolume = 12;
    EXPECT_EQ(run.set.CopyBack(), 0);
    EXPECT_EQ(run.settings.packagePath, dir / "package.012");
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CheckDisk");
    EXPECT_EQ(run.display.messages[0].owner, Owner::MainWindow);
}

// A file over three volumes is created on the first, continued without
// truncation, and gets its time only on the third; a volume that ends with a
// file leaves the next file's output created empty.
TEST(Extractor, FilesAcrossVolumesAreContinuedAndTimedWhenComplete) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"first", RandomBytes(100, 1), 1000000000},
                                           {"long", RandomBytes(2500, 2), 1100000000},
                                           {"next", RandomBytes(700, 3), 1200000000}};
    auto split = MakeArchive(dir.path(), files, 1000);
    const int64_t capacity = 1000 - split->set.headerSize;
    ASSERT_LT(100 + 2500, 3 * capacity);
    ASSERT_GT(100 + 2500, 2 * capacity);

    TempDir out;
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    for (int v = 1; v <= run.settings.volumeCount && run.set.current != nullptr; ++v) {
        run.settings.currentVolume = v;
        ASSERT_EQ(run.set.CopyBack(), 1);
        if (v < 3) {
            EXPECT_EQ(run.set.current, run.set.head->next);
            EXPECT_NE(MtimeNanos(out / "long"), 1100000000 * kSecond);
        }
        if (v == 3) {
            EXPECT_EQ(MtimeNanos(out / "long"), 1100000000 * kSecond);
        }
    }
    EXPECT_EQ(run.set.current, nullptr);
    ExpectRestored(out.path(), files);

    // A volume whose data ends exactly with a file.
    TempDir probeDir;
    ArchiveRun probe;
    probe.PrepareSplit(
        WriteSources(probeDir.path(), {{"fills", std::string(900, 'x')}, {"then", "0123456789"}}),
        probeDir / "p.001", 1000);
    TempDir dir2, out2;
    const std::vector<SourceFile> exact = {{"fills", RandomBytes(1000 - probe.set.headerSize, 4)},
                                           {"then", RandomBytes(10, 5)}};
    auto split2 = MakeArchive(dir2.path(), exact, 1000);
    ASSERT_EQ(split2->set.headerSize, probe.set.headerSize);
    ArchiveRun run2;
    ASSERT_TRUE(run2.PrepareRestore(dir2 / "package.001", out2.path()));
    ASSERT_EQ(run2.set.CopyBack(), 1);
    EXPECT_EQ(run2.set.current, run2.set.head->next);
    EXPECT_EQ(run2.set.current->done, 0);
    EXPECT_TRUE(test::FileExists(out2 / "then"));
    EXPECT_EQ(ReadFile(out2 / "then"), "");
    run2.settings.currentVolume = 2;
    ASSERT_EQ(run2.set.CopyBack(), 1);
    ExpectRestored(out2.path(), exact);
}

// Small files are written from one read of the volume, longer ones copied
// by the kernel where the buffered bytes end; every mix of the two, on the
// native layer and through the test layer (no kernel copy), restores every
// byte in its place.
TEST(Extractor, SmallAndLargeFilesInAnyOrderAreExact) {
    const std::vector<std::vector<int64_t>> mixes = {
        {10, 20, 300000, 5, 70000, 65535, 65536, 1},
        {300000, 1, 2, 3},
        {65535, 65535, 65535, 65535, 65535},
        {0, 200000, 0, 100, 0},
    };
    for (const bool native : {true, false}) {
        for (size_t m = 0; m < mixes.size(); ++m) {
            SCOPED_TRACE((native ? "native, mix " : "test layer, mix ") + std::to_string(m));
            std::vector<SourceFile> files;
            for (size_t i = 0; i < mixes[m].size(); ++i) {
                files.push_back({"f" + std::to_string(i),
                                 RandomBytes(mixes[m][i], static_cast<int>(10 * m + i + 1)),
                                 1000000000 + static_cast<int64_t>(i)});
            }
            TempDir dir, out;
            auto split = MakeArchive(dir.path(), files, 250000);
            ArchiveRun run(native);
            ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
            ASSERT_EQ(run.RestoreToEnd(), DriveOutcome::Finished);
            ExpectRestored(out.path(), files);
        }
    }
}

// Empty files at the start, in the middle and at the very end (behind the
// last data byte) are created and timed; the restore ends at the last
// volume with current null and never asks for a further one.
TEST(Extractor, EmptyFilesAnywhereAreCompleted) {
    TempDir dir, out;
    const std::vector<SourceFile> files = {
        {"e1", "", 1000000001}, {"d1", RandomBytes(1500, 1), 1000000002},
        {"e2", "", 1000000003}, {"d2", RandomBytes(100, 2), 1000000004},
        {"e3", "", 1000000005}, {"e4", "", 1000000006}};
    MakeArchive(dir.path(), files, 1000);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Finished);
    EXPECT_TRUE(run.display.messages.empty());
    EXPECT_TRUE(run.display.questions.empty());
    EXPECT_EQ(run.set.current, nullptr);
    EXPECT_EQ(run.settings.currentVolume, run.settings.volumeCount + 1);
    ExpectRestored(out.path(), files);
}

// Data that ends exactly at the end of a volume, followed by empty files:
// the header-only last volume is not needed, the empty files are completed.
TEST(Extractor, DataEndingOnAVolumeBoundaryWithTrailingEmptyFiles) {
    TempDir probeDir;
    ArchiveRun probe;
    probe.PrepareSplit(WriteSources(probeDir.path(), {{"d", std::string(999, 'x')}, {"e", ""}}),
                       probeDir / "p.001", 1000);
    const int64_t capacity = 1000 - probe.set.headerSize;
    TempDir dir, out;
    const std::vector<SourceFile> files = {{"d", RandomBytes(capacity, 1), 1500000000},
                                           {"e", "", 1500000001}};
    auto split = MakeArchive(dir.path(), files, 1000);
    ASSERT_EQ(split->settings.volumeCount, 2);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    ASSERT_EQ(run.set.CopyBack(), 1);
    EXPECT_EQ(run.set.current, nullptr);
    ExpectRestored(out.path(), files);
}

// Only the last volume may have another size, and it must hold what is left.
TEST(Extractor, VolumesOfTheWrongSizeAreRefusedBeforeWriting) {
    TempDir dir;
    const std::vector<SourceFile> files = {{"a", RandomBytes(2500, 1)}};
    MakeArchive(dir.path(), files, 1000);
    const std::string v2 = ReadFile(dir / "package.002");
    const std::string v3 = ReadFile(dir / "package.003");
    struct Case {
        std::string what;
        int volume;
        std::string bytes;
        bool accepted;
    };
    for (const Case& c :
         std::vector<Case>{{"middle one byte short", 2, v2.substr(0, v2.size() - 1), false},
                           {"middle one byte long", 2, v2 + "x", false},
                           {"last one byte short", 3, v3.substr(0, v3.size() - 1), false},
                           {"last one byte long", 3, v3 + "x", true}}) {
        SCOPED_TRACE(c.what);
        test::WriteFile(dir / "package.002", v2);
        test::WriteFile(dir / "package.003", v3);
        test::WriteFile(dir / ("package.00" + std::to_string(c.volume)), c.bytes);
        TempDir out;
        ArchiveRun run;
        ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
        ASSERT_EQ(run.set.CopyBack(), 1);
        const int64_t doneBefore = run.set.head->done;
        const std::string before = ReadFile(out / "a");
        int result = 1;
        for (int v = 2; v <= c.volume && result == 1; ++v) {
            run.settings.currentVolume = v;
            result = run.set.CopyBack();
        }
        EXPECT_EQ(result, c.accepted ? 1 : 0);
        if (c.accepted) {
            EXPECT_EQ(ReadFile(out / "a"), files[0].bytes);
            continue;
        }
        ASSERT_EQ(run.display.messages.size(), 1u);
        EXPECT_EQ(run.display.messages[0].text,
                  "Ein an den Computer angeschlossenes Gerät funktioniert nicht!");
        EXPECT_EQ(run.display.messages[0].caption, "CopyBack::FileSize");
        EXPECT_EQ(run.display.messages[0].owner, Owner::MainWindow);
        if (c.volume == 2) {
            EXPECT_EQ(run.set.head->done, doneBefore);
            EXPECT_EQ(ReadFile(out / "a"), before);
        }
    }
}

// A volume of another archive is refused without a message of its own; the
// retry question follows.
TEST(Extractor, VolumeOfAnotherArchiveIsRefusedSilently) {
    TempDir dir, other, out;
    MakeArchive(dir.path(), {{"a", RandomBytes(2500, 1)}}, 1000);
    MakeArchive(other.path(), {{"a", RandomBytes(2501, 1)}}, 1000);
    ASSERT_EQ(::rename((other / "package.002").c_str(), (dir / "package.002").c_str()), 0);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Cancelled);
    EXPECT_TRUE(run.display.messages.empty());
    ASSERT_EQ(run.display.questions.size(), 1u);
    EXPECT_EQ(run.display.questions[0].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
}

// After Retry the file that continues from the previous volume is rewritten
// from where it stood and ends with exactly its size; files of the same name
// in the target are overwritten.
TEST(Extractor, RetryInAContinuedFileLeavesItExact) {
    TempDir dir, out;
    const std::vector<SourceFile> files = {{"a", RandomBytes(2500, 1), 1234567890},
                                           {"b", RandomBytes(300, 2), 1234567891}};
    MakeArchive(dir.path(), files, 1000);
    test::WriteFile(out / "b", RandomBytes(5000, 9));  // an older, longer file of that name
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    run.fs.ResetCounts();
    run.fs.Arm(Fault::ShortWrite, 3);  // in volume 3, while a continues
    run.display.retryAnswers = {true};
    EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Finished);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CopyBack::write");
    EXPECT_EQ(run.display.questions.size(), 1u);
    EXPECT_EQ(run.set.bytesDone, run.set.totalSize);
    EXPECT_LE(run.display.maxOverall, 100);
    ExpectRestored(out.path(), files);
}

// Whatever lies in the target under a stored name counts as existing for the
// overwrite question: a link (dangling too), a folder, a pipe. Once the user
// lets them be replaced, a link is replaced by the restored file (never
// written through, for the first output of a volume or a later one); a
// folder or a pipe cannot be and is refused before the first byte.
TEST(Extractor, OddThingsAtStoredNames) {
    enum class Thing { DanglingLink, Link, Folder, Pipe };
    const std::vector<std::pair<Thing, const char*>> things = {
        {Thing::DanglingLink, "dangling link"},
        {Thing::Link, "link"},
        {Thing::Folder, "folder"},
        {Thing::Pipe, "pipe"}};
    TempDir dir;
    const std::vector<SourceFile> files = {{"a", RandomBytes(100, 1)}, {"b", RandomBytes(100, 2)}};
    MakeArchive(dir.path(), files, 100000);
    for (const auto& [thing, what] : things) {
        for (const std::string planted : {"a", "b"}) {
            SCOPED_TRACE(std::string(what) + " at " + planted);
            TempDir out, elsewhere;
            test::WriteFile(elsewhere / "precious", "keep me");
            const std::string at = out / planted;
            switch (thing) {
                case Thing::DanglingLink:
                    ASSERT_EQ(::symlink((elsewhere / "gone").c_str(), at.c_str()), 0);
                    break;
                case Thing::Link:
                    ASSERT_EQ(::symlink((elsewhere / "precious").c_str(), at.c_str()), 0);
                    break;
                case Thing::Folder:
                    ASSERT_EQ(::mkdir(at.c_str(), 0755), 0);
                    break;
                case Thing::Pipe:
                    ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0);
                    break;
            }
            ArchiveRun run;
            ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
            EXPECT_EQ(ExistingOutputFiles(run.set), std::vector<std::string>{planted});

            const bool replaceable = thing == Thing::DanglingLink || thing == Thing::Link;
            EXPECT_EQ(run.RestoreToEnd(),
                      replaceable ? DriveOutcome::Finished : DriveOutcome::Stopped);
            EXPECT_EQ(ReadFile(elsewhere / "precious"), "keep me");
            EXPECT_FALSE(test::FileExists(elsewhere / "gone"));
            if (replaceable) {
                EXPECT_TRUE(run.display.messages.empty());
                ExpectRestored(out.path(), files);
                struct stat st;
                ASSERT_EQ(::lstat(at.c_str(), &st), 0);
                EXPECT_TRUE(S_ISREG(st.st_mode));
            } else {
                ASSERT_EQ(run.display.messages.size(), 1u);
                EXPECT_EQ(run.display.messages[0].text,
                          texts::WithName(texts::kStoredNameBlocked, planted));
                EXPECT_FALSE(test::FileExists(out / (planted == "a" ? "b" : "a")));
            }
        }
    }
}

// A volume that yields no bytes before its recorded end (it shrank after
// its size was taken) is a read error, reported once; the call returns.
TEST(Extractor, VolumeThatEndsEarlyIsAReadErrorNotALoop) {
    TempDir dir, out;
    MakeArchive(dir.path(), {{"a", RandomBytes(600000, 1)}}, 1000000);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    run.fs.ResetCounts();
    run.fs.Arm(Fault::ReadReturnsNothing, 3);  // the header check, then the second data chunk
    EXPECT_EQ(run.set.CopyBack(), 0);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CopyBack::read");
    EXPECT_EQ(run.display.messages[0].text, "Fehler auf Datenträger!");
}

// The restore page refuses self-extracting sets (it looks for a volume 1
// named "001"); the command line's variant restores them from any of their
// volumes, "PACKAGE.EXE" too.
TEST(Extractor, SelfExtractingSetsWithTheVariantThatAcceptsThem) {
    TempDir dir;
    test::WriteFile(dir / "Robot.dat", test::RobotImage(30000, 7));
    const std::vector<SourceFile> files = {{"a", RandomBytes(150000, 1)},
                                           {"b", RandomBytes(20000, 2)}};
    MakeArchive(dir.path(), files, 100000, true, dir / "Robot.dat");
    ASSERT_TRUE(test::FileExists(dir / "package.003"));
    {
        TempDir out;
        ArchiveRun run;
        ASSERT_TRUE(run.PrepareRestore(dir / "package.exe", out.path()));
        EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Cancelled);
        ASSERT_EQ(run.display.messages.size(), 1u);
        EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CheckDisk");
        EXPECT_EQ(run.settings.packagePath, dir / "package.001");
        EXPECT_EQ(run.display.questions.size(), 1u);
    }
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    for (const std::string start : {"package.exe", "package.002", "package.003"}) {
        TempDir out;
        ArchiveRun run;
        ASSERT_TRUE(run.PrepareRestore(dir / start, out.path()));
        EXPECT_EQ(run.RestoreToEnd(variant), DriveOutcome::Finished);
        EXPECT_TRUE(run.display.messages.empty());
        ExpectRestored(out.path(), files);
    }
    TempDir upper, out;
    for (const std::string v : {"exe", "002", "003"}) {
        ASSERT_EQ(::link((dir / ("package." + v)).c_str(),
                         (upper / ("PACKAGE." + std::string(v == "exe" ? "EXE" : v))).c_str()),
                  0);
    }
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(upper / "PACKAGE.EXE", out.path()));
    EXPECT_EQ(run.RestoreToEnd(variant), DriveOutcome::Finished);
    ExpectRestored(out.path(), files);
}

// A front end with its own reports (the stub): failures, the file being
// written, the working status and the retry question all go through the
// variant; the first volume's header is not checked again.
TEST(Extractor, FrontEndVariantReceivesEveryReport) {
    class Recorder : public RestoreVariant {
      public:
        void ReportFailure(QuellDateien&, RestoreFailure f) const override {
            failures.push_back(f);
        }
        void ShowOutputFile(QuellDateien&, const std::string& path) const override {
            outputs.push_back(path);
        }
        void ShowWorking(QuellDateien& set) const override {
            set.display().SetStatusText("kopiere...");
        }
        int AskRetry(QuellDateien& set) const override {
            return set.RetryVolume(
                "Fehler auf Datenträger#: " + std::to_string(set.settings().currentVolume) +
                    "\nLetztes Archiv wiederholen",
                "Tolvane Robot");
        }
        mutable std::vector<RestoreFailure> failures;
        mutable std::vector<std::string> outputs;
    };
    TempDir dir, out;
    test::WriteFile(dir / "Robot.dat", test::RobotImage(30000, 7));
    const std::vector<SourceFile> files = {{"a", RandomBytes(150000, 1)},
                                           {"b", RandomBytes(20000, 2)}};
    MakeArchive(dir.path(), files, 100000, true, dir / "Robot.dat");
    // Volume 1 with another number in slot 1: only a check would notice.
    std::string exe = ReadFile(dir / "package.exe");
    exe.replace(kStubAreaSize + 5, 4, "0009");
    test::WriteFile(dir / "package.exe", exe);
    ::unlink((dir / "package.003").c_str());

    Recorder variant;
    variant.acceptSelfExtracting = true;
    variant.firstVolumeVerified = true;
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.exe", out.path()));
    EXPECT_EQ(run.RestoreToEnd(variant), DriveOutcome::Cancelled);
    EXPECT_EQ(run.display.status, "kopiere...");
    EXPECT_EQ(variant.failures, std::vector<RestoreFailure>{RestoreFailure::VolumeMissing});
    ASSERT_EQ(run.display.questions.size(), 1u);
    EXPECT_EQ(run.display.questions[0].caption, "Tolvane Robot");
    EXPECT_EQ(run.display.questions[0].text,
              "Fehler auf Datenträger#: 3\nLetztes Archiv wiederholen");
    EXPECT_EQ(variant.outputs, (std::vector<std::string>{out / "a", out / "a"}));
    EXPECT_TRUE(run.display.messages.empty());
}

// Restored files never overwrite the archive's own volumes.
TEST(Extractor, OutputThatWouldOverwriteAVolumeIsRefused) {
    TempDir dir, src;
    const auto paths = WriteSources(src.path(), {{"package.002", RandomBytes(3000, 1)}});
    ArchiveRun split;
    split.PrepareSplit(paths, dir / "package.001", 1000);
    ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
    const std::string volume2 = ReadFile(dir / "package.002");
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", dir.path()));
    EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Stopped);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "Tolvane");
    EXPECT_EQ(run.display.messages[0].text.rfind("Die Datei „package.002“ des Archivs", 0), 0u);
    EXPECT_EQ(ReadFile(dir / "package.002"), volume2);
}

// Free space is asked for what is still to be restored; volumes not at hand
// are restored one per press with the insert prompt.
TEST(Extractor, OneVolumePerPressAndRoomForWhatIsLeft) {
    TempDir dir, drive, out;
    const std::vector<SourceFile> files = {{"a", RandomBytes(2500, 1)}};
    MakeArchive(dir.path(), files, 1000);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    run.settings.packagePath = drive / "package.001";
    run.fs.freeBytes = 2499;
    EXPECT_EQ(RestoreStep(run.set), DriveOutcome::Stopped);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].text, "Nicht genug freier Speicher auf Zieldatenträger!");
    EXPECT_EQ(run.display.messages[0].caption, "Tolvane");
    EXPECT_FALSE(test::FileExists(out / "a"));

    run.fs.freeBytes = 2500;
    for (int v = 1; v <= 3; ++v) {
        for (int w = 1; w <= 3; ++w) ::unlink((drive / ("package.00" + std::to_string(w))).c_str());
        const std::string name = "package.00" + std::to_string(v);
        ASSERT_EQ(::link((dir / name).c_str(), (drive / name).c_str()), 0);
        const DriveOutcome outcome = RestoreStep(run.set);
        if (v < 3) {
            EXPECT_EQ(outcome, DriveOutcome::WaitingForNextMedium);
            EXPECT_EQ(run.display.status, InsertPromptText(v + 1));
            // Less room than the whole archive, enough for the rest.
            run.fs.freeBytes = run.set.RemainingBytes();
        } else {
            EXPECT_EQ(outcome, DriveOutcome::Finished);
        }
    }
    EXPECT_EQ(run.display.messages.size(), 1u);
    ExpectRestored(out.path(), files);
}

// Times that cannot be converted or set are reported; the restore goes on.
TEST(Extractor, TimeProblemsAreReportedAndTheRestoreGoesOn) {
    TempDir dir, src;
    const auto paths = WriteSources(src.path(), {{"a", "aaa"}, {"b", "bbb"}});
    ArchiveRun split;
    split.PrepareSplit(paths, dir / "package.001", 100000);
    split.set.head->lastWrite.month = 13;  // not a time
    ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);

    TempDir out;
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.001", out.path()));
    run.fs.ResetCounts();
    run.fs.Arm(Fault::SetTimeFails, 1);  // b's time
    EXPECT_EQ(run.RestoreToEnd(), DriveOutcome::Finished);
    ASSERT_EQ(run.display.messages.size(), 2u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CopyBack::SystemTimeToFileTime");
    EXPECT_EQ(run.display.messages[1].caption, "QuellDateien::CopyBack::SetFileTime");
    for (const auto& m : run.display.messages) {
        EXPECT_EQ(m.text, "Ein interner Fehler im Programmablauf wurde festgestellt!");
        EXPECT_EQ(m.owner, Owner::MainWindow);
    }
    EXPECT_EQ(ReadFile(out / "a"), "aaa");
    EXPECT_EQ(ReadFile(out / "b"), "bbb");
}

// 64-bit positions: the last volume of a set whose first file is a sparse
// file above 4 GiB is written and restored at its true offsets, without
// moving the gigabytes before it.
TEST(Extractor, PositionsAboveFourGibibytes) {
    TempDir dir, out;
    const int64_t bigSize = 5LL * 1024 * 1024 * 1024 + 777;
    const std::string tailBytes = RandomBytes(877, 1);
    {
        const int fd = ::open((dir / "big").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, bigSize), 0);
        ASSERT_EQ(::pwrite(fd, tailBytes.data(), tailBytes.size(), bigSize - 877), 877);
        ::close(fd);
        test::SetMtime(dir / "big", 1600000000, 123000000);
    }
    const auto small = WriteSources(dir.path(), {{"small", RandomBytes(500, 2), 1600000001}});
    ArchiveRun split;
    split.PrepareSplit({dir / "big", small[0]}, dir / "package.001", 1LL << 30);
    ASSERT_EQ(split.settings.volumeCount, 6);
    const int64_t capacity = (1LL << 30) - split.set.headerSize;
    // Position at volume 6 as if volumes 1 to 5 had been written.
    split.set.head->done = 5 * capacity;
    split.set.bytesDone = 5 * capacity;
    split.settings.currentVolume = 6;
    ASSERT_EQ(split.set.Copy(), 1);
    EXPECT_EQ(split.set.current, nullptr);
    const std::string v6 = ReadFile(dir / "package.006");
    const int64_t bigRest = bigSize - 5 * capacity;
    ASSERT_EQ(static_cast<int64_t>(v6.size()), split.set.headerSize + bigRest + 500);
    EXPECT_EQ(v6.substr(split.set.headerSize + bigRest - 877, 877), tailBytes);
    EXPECT_EQ(v6.substr(split.set.headerSize, bigRest - 877), std::string(bigRest - 877, '\0'));
    EXPECT_EQ(v6.substr(v6.size() - 500), ReadFile(small[0]));

    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(dir / "package.006", out.path()));
    EXPECT_EQ(run.set.totalSize, bigSize + 500);
    EXPECT_EQ(run.set.head->size, bigSize);
    // The output as it stands after volume 5: sparse, 5 * capacity bytes.
    {
        const int fd = ::open((out / "big").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 5 * capacity), 0);
        ::close(fd);
    }
    run.set.head->done = 5 * capacity;
    run.settings.currentVolume = 6;
    ASSERT_EQ(run.set.CopyBack(), 1);
    EXPECT_EQ(run.set.current, nullptr);
    EXPECT_TRUE(run.display.messages.empty());
    struct stat st;
    ASSERT_EQ(::stat((out / "big").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, bigSize);
    std::string end(877, '\0');
    const int fd = ::open((out / "big").c_str(), O_RDONLY);
    ASSERT_EQ(::pread(fd, end.data(), 877, bigSize - 877), 877);
    ::close(fd);
    EXPECT_EQ(end, tailBytes);
    EXPECT_EQ(MtimeNanos(out / "big"), 1600000000 * kSecond + 123000000);
    EXPECT_EQ(ReadFile(out / "small"), ReadFile(small[0]));
}

}  // namespace
}  // namespace tolvane

// What is on the medium when (docs/durability.md): everything written is on
// the medium before the user is asked or told anything and before success is
// reported; between volumes copied in one go nothing waits for the device; a
// stop at a question leaves every earlier file complete.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>

#include "engine/drivers.h"
#include "tests/support/archive_run.h"

namespace tolvane {
namespace {

using test::ArchiveRun;
using test::Fault;
using test::RandomBytes;
using test::SourceFile;
using test::TempDir;

// Twelve files of different sizes (one empty) over several volumes of 4000
// bytes, so that files end inside volumes, on their ends and run across them.
std::vector<SourceFile> Files() {
    std::vector<SourceFile> files;
    for (int i = 0; i < 12; ++i) {
        files.push_back({"f" + std::to_string(i), RandomBytes(i == 5 ? 0 : 700 * i + 37, i + 1),
                         946684800 + i});
    }
    return files;
}

constexpr int64_t kVolumeSize = 4000;

// Records, at every question, message and prompt, what was not yet on the
// medium and whether every file before the current one was complete.
struct Watch {
    Watch(ArchiveRun& run, const std::vector<SourceFile>& files, std::string folder)
        : run_(run), files_(files), folder_(std::move(folder)) {
        run.display.onAsk = [this] { Look("question"); };
    }
    void Look(const std::string& when) {
        ++looks;
        for (const std::string& path : run_.fs.unsynced()) {
            unsynced.push_back(when + ": " + path);
        }
        // Every file before the current one is whole (restore only).
        if (folder_.empty()) return;
        for (int i = 0; i < run_.set.currentIndex && i < static_cast<int>(files_.size()); ++i) {
            if (test::ReadFile(folder_ + "/" + files_[i].name) != files_[i].bytes) {
                incomplete.push_back(when + ": " + files_[i].name);
            }
        }
    }
    ArchiveRun& run_;
    const std::vector<SourceFile>& files_;
    std::string folder_;
    int looks = 0;
    std::vector<std::string> unsynced;
    std::vector<std::string> incomplete;
};

std::vector<std::string> SplitInto(const TempDir& dir, const std::vector<SourceFile>& files) {
    ::mkdir((dir / "src").c_str(), 0755);
    ArchiveRun run;
    run.PrepareSplit(test::WriteSources(dir / "src", files), dir / "package.001", kVolumeSize);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    return run.SplitVolumes();
}

// A clean run in one go: the volumes (or restored files) reach the medium
// with one sync at the end, not one flush per volume or file; success is
// reported with nothing left off the medium. A layer that syncs by opening
// each file again (the Windows one, which also lets one writer hold a file
// only) flushes each file once, and finds every one of them closed.
TEST(Durability, OneGoSyncsOnceAtTheEnd) {
    const std::vector<SourceFile> files = Files();
    for (const bool windowsLike : {false, true}) {
        SCOPED_TRACE(windowsLike ? "a layer that opens each file to flush it" : "syncfs");
        TempDir dir, out;
        ::mkdir((dir / "src").c_str(), 0755);
        ArchiveRun split;
        split.fs.windowsLike = windowsLike;
        split.PrepareSplit(test::WriteSources(dir / "src", files), dir / "package.001",
                           kVolumeSize);
        split.fs.ResetCounts();
        ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
        ASSERT_GE(split.settings.volumeCount, 5);
        EXPECT_EQ(split.fs.Calls(Fault::FlushFails), windowsLike ? split.settings.volumeCount : 1);
        EXPECT_TRUE(split.display.messages.empty());
        EXPECT_TRUE(split.fs.unsynced().empty());

        ArchiveRun restore;
        restore.fs.windowsLike = windowsLike;
        ASSERT_TRUE(restore.PrepareRestore(dir / "package.001", out.path()));
        restore.fs.ResetCounts();
        ASSERT_EQ(restore.RestoreToEnd(), DriveOutcome::Finished);
        EXPECT_EQ(restore.fs.Calls(Fault::FlushFails),
                  windowsLike ? static_cast<int>(files.size()) : 1);
        EXPECT_TRUE(restore.display.messages.empty());
        EXPECT_TRUE(restore.fs.unsynced().empty());
        for (const SourceFile& f : files) {
            EXPECT_EQ(test::ReadFile(out / f.name), f.bytes) << f.name;
        }
    }
}

// One volume per press (the next medium is asked for in between): each
// volume, and each file restored from it, is on the medium when the press
// returns, before the prompt.
TEST(Durability, EveryPressEndsOnTheMedium) {
    const std::vector<SourceFile> files = Files();
    TempDir dir, out;
    ::mkdir((dir / "src").c_str(), 0755);
    ArchiveRun split;
    split.PrepareSplit(test::WriteSources(dir / "src", files), dir / "package.001", kVolumeSize);
    split.fs.freeBytes = kVolumeSize + 10;  // room for one volume at a time
    int presses = 0;
    for (DriveOutcome o = DriveOutcome::WaitingForNextMedium;
         o == DriveOutcome::WaitingForNextMedium; ++presses) {
        o = StartSplit(split.set);
        EXPECT_TRUE(split.fs.unsynced().empty()) << "after press " << presses + 1;
        ASSERT_NE(o, DriveOutcome::Stopped);
    }
    EXPECT_EQ(presses, split.settings.volumeCount);

    ArchiveRun restore;
    ASSERT_TRUE(restore.PrepareRestore(dir / "package.001", out.path()));
    for (int volume = 1; restore.set.current != nullptr; ++volume) {
        ASSERT_EQ(restore.set.CopyBack(), 1);
        EXPECT_TRUE(restore.fs.unsynced().empty()) << "after volume " << volume;
        for (int i = 0; i < restore.set.currentIndex; ++i) {
            EXPECT_EQ(test::ReadFile(out / files[i].name), files[i].bytes) << files[i].name;
        }
        ++restore.settings.currentVolume;
    }
}

// A failure at any step, in one go: when the retry question is asked,
// everything written is on the medium and every file before the current one
// is complete, so that the user may stop there and continue later.
TEST(Durability, EveryQuestionFindsTheWrittenFilesOnTheMedium) {
    const std::vector<SourceFile> files = Files();
    TempDir dir;
    const std::vector<std::string> volumes = SplitInto(dir, files);
    ASSERT_GE(volumes.size(), 5u);

    for (const Fault fault : {Fault::OpenFails, Fault::ReadFails, Fault::ShortWrite}) {
        TempDir cleanOut;
        ArchiveRun clean;
        ASSERT_TRUE(clean.PrepareRestore(volumes[0], cleanOut.path()));
        clean.fs.ResetCounts();
        ASSERT_EQ(clean.RestoreToEnd(), DriveOutcome::Finished);
        for (int n = 1; n <= clean.fs.Calls(fault); ++n) {
            SCOPED_TRACE("fault " + std::to_string(static_cast<int>(fault)) + " at call " +
                         std::to_string(n));
            TempDir out;
            ArchiveRun run;
            ASSERT_TRUE(run.PrepareRestore(volumes[0], out.path()));
            Watch watch(run, files, out.path());
            run.fs.ResetCounts();
            run.fs.Arm(fault, n);
            run.display.retryAnswers = {false};  // stop at the question
            const DriveOutcome outcome = run.RestoreToEnd();
            if (outcome == DriveOutcome::Finished) {
                // The fault hit a step that needs no question (the presence
                // test); the end is on the medium all the same.
                EXPECT_TRUE(run.fs.unsynced().empty());
                continue;
            }
            EXPECT_EQ(outcome, DriveOutcome::Cancelled);
            EXPECT_EQ(watch.looks, 1);
            EXPECT_EQ(watch.unsynced, std::vector<std::string>());
            EXPECT_EQ(watch.incomplete, std::vector<std::string>());
            if (HasFailure()) return;
        }
    }
}

// The same for a split: at the question, every volume written before is
// whole on the medium.
TEST(Durability, SplitQuestionsFindTheVolumesOnTheMedium) {
    const std::vector<SourceFile> files = Files();
    TempDir src;
    const std::vector<std::string> paths = test::WriteSources(src.path(), files);
    for (const Fault fault : {Fault::OpenFails, Fault::ShortWrite}) {
        TempDir cleanDir;
        ArchiveRun clean;
        clean.PrepareSplit(paths, cleanDir / "package.001", kVolumeSize);
        clean.fs.ResetCounts();
        ASSERT_EQ(clean.SplitToEnd(), DriveOutcome::Finished);
        const std::vector<std::string> golden = test::ReadAll(clean.SplitVolumes());
        for (int n = 1; n <= clean.fs.Calls(fault); ++n) {
            SCOPED_TRACE("fault " + std::to_string(static_cast<int>(fault)) + " at call " +
                         std::to_string(n));
            TempDir target;
            ArchiveRun run;
            run.PrepareSplit(paths, target / "package.001", kVolumeSize);
            Watch watch(run, files, "");
            int wholeAtQuestion = -1;
            run.display.onAsk = [&] {
                watch.Look("question");
                // Volumes before the failed one are the clean run's.
                wholeAtQuestion = run.settings.currentVolume - 1;
                for (int v = 0; v < wholeAtQuestion; ++v) {
                    EXPECT_EQ(test::ReadFile(run.SplitVolumes()[v]), golden[v]) << v + 1;
                }
            };
            run.fs.ResetCounts();
            run.fs.Arm(fault, n);
            const DriveOutcome outcome = run.SplitToEnd();
            if (outcome == DriveOutcome::Finished) continue;  // a look-up before any volume
            EXPECT_EQ(outcome, DriveOutcome::Cancelled);
            EXPECT_EQ(watch.looks, 1);
            EXPECT_EQ(watch.unsynced, std::vector<std::string>());
            if (HasFailure()) return;
        }
    }
}

// Stopped by the user in the middle of a run in one go, at every chunk: the
// outcome says so, what stays is on the medium (a split's partial volume
// goes), and a restore leaves every file before the current one complete.
TEST(Durability, AStopLeavesWhatStaysOnTheMedium) {
    const std::vector<SourceFile> files = Files();
    TempDir dir;
    const std::vector<std::string> volumes = SplitInto(dir, files);
    for (const bool restore : {false, true}) {
        for (int stopAt = 1;; ++stopAt) {
            SCOPED_TRACE(std::string(restore ? "restore" : "split") + ", stopped at chunk " +
                         std::to_string(stopAt));
            TempDir target;
            ArchiveRun run;
            if (restore) {
                ASSERT_TRUE(run.PrepareRestore(volumes[0], target.path()));
            } else {
                ::mkdir((target / "src").c_str(), 0755);
                run.PrepareSplit(test::WriteSources(target / "src", files), target / "package.001",
                                 kVolumeSize);
            }
            std::atomic<bool> stop{false};
            run.set.SetStopFlag(&stop);
            int chunks = 0;
            run.display.onRepaint = [&] { stop = ++chunks >= stopAt; };
            const DriveOutcome outcome = restore ? run.RestoreToEnd() : run.SplitToEnd();
            if (outcome == DriveOutcome::Finished) {
                EXPECT_GT(stopAt, 1);
                break;  // stopped after the last chunk: nothing was left to do
            }
            ASSERT_EQ(outcome, DriveOutcome::Interrupted);
            for (const std::string& path : run.fs.unsynced()) {
                EXPECT_FALSE(test::FileExists(path)) << path << " is not on the medium";
            }
            if (restore) {
                for (int i = 0; i < run.set.currentIndex; ++i) {
                    EXPECT_EQ(test::ReadFile(target / files[i].name), files[i].bytes)
                        << files[i].name;
                }
            }
            if (HasFailure()) return;
        }
    }
}

// A failing sync at the end of the run is a failed write: the retry
// question, never a success that is not on the medium.
TEST(Durability, AFailedSyncIsAWriteErrorNotASuccess) {
    const std::vector<SourceFile> files = Files();
    TempDir dir, out;
    const std::vector<std::string> volumes = SplitInto(dir, files);
    ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(volumes[0], out.path()));
    run.fs.ResetCounts();
    run.fs.Arm(Fault::FlushFails, 1);
    run.display.retryAnswers = {true};
    ASSERT_EQ(run.RestoreToEnd(), DriveOutcome::Finished);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CopyBack::write");
    EXPECT_EQ(run.display.questions.size(), 1u);
    EXPECT_TRUE(run.fs.unsynced().empty());
    for (const SourceFile& f : files) EXPECT_EQ(test::ReadFile(out / f.name), f.bytes) << f.name;
}

}  // namespace
}  // namespace tolvane

#include "engine/continue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "engine/position.h"
#include "engine/texts.h"
#include "tests/support/archive_run.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(CheckContinuedFile, TheBegunFileMustFitTheStartVolume) {
    TempDir dir;
    Fixture f;
    for (auto [name, size] : {std::pair{"a", 1000}, std::pair{"b", 4500}}) {
        auto* e = new FileEntry;
        e->path = std::string("/") + name;
        e->size = size;
        f.set.AppendEntry(e);
    }
    f.settings.targetPath = dir.path() + "/";  // one trailing "/" is dropped
    WalkToStreamOffset(f.set, 2000);           // b is begun with 1000 bytes
    ASSERT_EQ(f.set.current->done, 1000);

    // Missing: left to the extractor, which reports it when it opens it.
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
    for (size_t size : {1000u, 3000u, 4500u}) {
        WriteFile(dir / "b", std::string(size, 'b'));
        EXPECT_EQ(CheckContinuedFile(f.set), 1) << size;
    }
    EXPECT_TRUE(f.display.messages.empty());

    // Shorter than what counts as done would leave a hole; longer than the
    // stored size is not the file the earlier run began.
    for (size_t size : {999u, 4501u}) {
        WriteFile(dir / "b", std::string(size, 'b'));
        EXPECT_EQ(CheckContinuedFile(f.set), 0) << size;
    }
    ASSERT_EQ(f.display.messages.size(), 2u);
    EXPECT_EQ(f.display.messages[0].text,
              "Die begonnene Datei „b“ im Zielverzeichnis passt nicht zum gewählten "
              "Datenträger.\nBitte beginnen Sie bei einem früheren Datenträger!");
    EXPECT_EQ(f.display.messages[0].caption, texts::kAppCaption);

    // Nothing begun: nothing to check.
    WalkToStreamOffset(f.set, 1000);
    EXPECT_EQ(f.set.current->done, 1000);  // a, complete: it must be whole
    WriteFile(dir / "a", std::string(1000, 'a'));
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
    WalkToStreamOffset(f.set, 0);
    EXPECT_EQ(CheckContinuedFile(f.set), 1);
}

// --- with the split writer and the extractor ---

struct Archive {
    Archive(const std::vector<test::SourceFile>& files, int64_t volumeSize, bool sfx)
        : sources(files) {
        WriteFile(robotDir / "Robot.dat", test::RobotImage(4000, 3));
        test::ArchiveRun split;
        split.PrepareSplit(test::WriteSources(src.path(), files),
                           arc / (sfx ? "package.exe" : "package.001"), volumeSize, sfx,
                           robotDir / "Robot.dat");
        EXPECT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
        volumes = split.SplitVolumes();
    }
    int count() const { return static_cast<int>(volumes.size()); }

    std::vector<test::SourceFile> sources;
    TempDir src, arc, robotDir;
    std::vector<std::string> volumes;
};

RestoreVariant CommandLineVariant() {
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    return variant;
}

// What an extraction that stopped after volume last leaves in out: it ran
// CopyBack for volumes 1 to last, then the program ended.
void InterruptedExtraction(const Archive& a, const std::string& out, int last) {
    test::ArchiveRun run;
    ASSERT_TRUE(run.PrepareRestore(a.volumes[0], out));
    for (int n = 1; n <= last; ++n) {
        ASSERT_EQ(run.set.CopyBack(CommandLineVariant()), 1);
        ++run.settings.currentVolume;
    }
}

// The continue wizard from its first page: any volume read, the start number
// chosen, the progress page shown (PositionAtVolume).
void PrepareContinue(test::ArchiveRun& run, const std::string& volume, const std::string& out,
                     int start) {
    run.settings.packagePath = volume;
    ASSERT_EQ(run.set.readHeader(), 1);
    run.set.CalcHeaderSize();
    run.settings.targetPath = out;
    run.settings.currentVolume = start;
    run.set.currentIndex = 0;
    ASSERT_EQ(PositionAtVolume(run.set), 1);
}

DriveOutcome ContinueToEnd(test::ArchiveRun& run, int* presses = nullptr) {
    DriveOutcome outcome;
    int n = 0;
    do {
        outcome = ContinueStep(run.set, CommandLineVariant());
        ++n;
    } while (outcome == DriveOutcome::WaitingForNextMedium && n < 1000);
    if (presses != nullptr) *presses = n;
    return outcome;
}

void ExpectRestored(const Archive& a, const std::string& out) {
    for (const test::SourceFile& f : a.sources) {
        EXPECT_TRUE(ReadFile(out + "/" + f.name) == f.bytes) << f.name;
        EXPECT_EQ(test::MtimeNanos(out + "/" + f.name), f.mtime * 1000000000) << f.name;
    }
}

TEST(ContinueStep, FromEveryVolumeOfRandomSetsTheFilesAreTheOriginals) {
    std::mt19937 rng(99);
    int continued = 0;
    for (int round = 0; round < 10; ++round) {
        const bool sfx = round % 2 == 1;
        const int64_t volumeSize = (sfx ? kStubAreaSize : 0) + 500 + rng() % 4000;
        std::vector<test::SourceFile> files;
        const int count = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < count; ++i) {
            const size_t size = rng() % 3 == 0 ? 0 : rng() % (3 * (volumeSize % 5000 + 500));
            files.push_back({"teil" + std::to_string(i) + (i == 1 ? "_ö" : ""),
                             test::RandomBytes(size, rng()), 1200000000 + 3600 * i});
        }
        Archive a(files, volumeSize, sfx);
        SCOPED_TRACE("round " + std::to_string(round));
        for (int start = 1; start <= a.count(); ++start) {
            SCOPED_TRACE("start at volume " + std::to_string(start));
            TempDir out;
            InterruptedExtraction(a, out.path(), start - 1);
            test::ArchiveRun run;
            // Any volume of the set serves to read the header.
            PrepareContinue(run, a.volumes[(start + round) % a.count()], out.path(), start);
            ASSERT_EQ(ContinueToEnd(run), DriveOutcome::Finished);
            ExpectRestored(a, out.path());
            EXPECT_TRUE(run.display.messages.empty());
            ++continued;
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(continued, 25);
}

TEST(ContinueStep, FilesBeforeTheStartVolumeAreNotTouched) {
    Archive a({{"a", test::RandomBytes(5000, 1), 1300000000},
               {"b", test::RandomBytes(9000, 2), 1300000100}},
              3000, false);
    ASSERT_GE(a.count(), 5);
    TempDir out;
    InterruptedExtraction(a, out.path(), 3);
    WriteFile(out / "a", "von Hand geändert");
    test::ArchiveRun run;
    PrepareContinue(run, a.volumes[0], out.path(), 4);
    EXPECT_EQ(run.set.head->done, 5000);
    EXPECT_EQ(run.set.current, run.set.tail);
    ASSERT_EQ(ContinueToEnd(run), DriveOutcome::Finished);
    EXPECT_EQ(ReadFile(out / "a"), "von Hand geändert");
    EXPECT_TRUE(ReadFile(out / "b") == a.sources[1].bytes);
}

TEST(ContinueStep, OneVolumePerPressWhenTheTargetHoldsOnlyOneVolume) {
    Archive a({{"a", test::RandomBytes(20000, 4), 1300000000}}, 4000, false);
    ASSERT_GE(a.count(), 6);
    TempDir out;
    InterruptedExtraction(a, out.path(), 2);
    test::ArchiveRun run;
    PrepareContinue(run, a.volumes[0], out.path(), 3);
    run.fs.freeBytes = 4000;  // one volume, not the archive
    int presses = 0;
    ASSERT_EQ(ContinueToEnd(run, &presses), DriveOutcome::Finished);
    EXPECT_EQ(presses, a.count() - 2);
    ExpectRestored(a, out.path());

    // Not even one volume: the continue page's own warning, nothing restored.
    TempDir none;
    InterruptedExtraction(a, none.path(), 2);
    test::ArchiveRun full;
    PrepareContinue(full, a.volumes[0], none.path(), 3);
    full.fs.freeBytes = 3999;
    EXPECT_EQ(ContinueStep(full.set, CommandLineVariant()), DriveOutcome::Stopped);
    ASSERT_EQ(full.display.messages.size(), 1u);
    EXPECT_EQ(full.display.messages[0].text, texts::kNoSpace);
    EXPECT_EQ(full.display.messages[0].caption, "Tolvane");
    EXPECT_EQ(full.set.current->done, 2 * (4000 - full.set.headerSize));
}

TEST(ContinueStep, BegunFileMissingOrWrongThenRetry) {
    Archive a({{"a", test::RandomBytes(3000, 5), 1300000000},
               {"b", test::RandomBytes(9000, 6), 1300000000}},
              4000, false);
    TempDir out;
    InterruptedExtraction(a, out.path(), 2);  // b is begun
    const std::string begun = ReadFile(out / "b");
    ASSERT_GT(begun.size(), 0u);

    // Missing: the extractor says so; the user puts it back and retries.
    std::filesystem::rename(out / "b", out / "b.saved");
    test::ArchiveRun run;
    PrepareContinue(run, a.volumes[0], out.path(), 3);
    run.display.onAsk = [&] { std::filesystem::rename(out / "b.saved", out / "b"); };
    run.display.retryAnswers = {true};
    ASSERT_EQ(ContinueToEnd(run), DriveOutcome::Finished);
    EXPECT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].caption, "QuellDateien::CopyBack::open");
    ExpectRestored(a, out.path());

    // Longer than it can be: refused before anything is written.
    WriteFile(out / "b", begun + std::string(9000, 'x'));
    test::ArchiveRun wrong;
    PrepareContinue(wrong, a.volumes[0], out.path(), 3);
    EXPECT_EQ(ContinueStep(wrong.set, CommandLineVariant()), DriveOutcome::Stopped);
    EXPECT_EQ(wrong.display.messages.size(), 1u);
    EXPECT_TRUE(wrong.display.questions.empty());
    EXPECT_EQ(ReadFile(out / "b").size(), begun.size() + 9000);
}

}  // namespace
}  // namespace tolvane

// Recovery data of a whole set: the layout chosen for a volume size, the
// files written from the sources (not the volumes), the check that names
// every bad volume, and the rebuild that brings them back byte for byte.
#include "engine/recovery.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>

#include "engine/volume_header.h"
#include "tests/support/archive_run.h"
#include "tests/support/par2_craft.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

uint64_t NoCritical(uint64_t) {
    return 0;
}

TEST(PlanRecovery, OneSlicePerVolumeUnlessPiecesMustFitAVolume) {
    struct Case {
        int count;
        int64_t volumeSize;
        int lost;
        bool pieces;
        uint64_t sliceSize;
        std::vector<std::string> files;
    };
    const std::vector<Case> cases = {
        {209, 1441792, 1, false, 1441792, {"d/package.vol0+1.par2"}},
        {11, 99614720, 2, false, 99614720, {"d/package.vol0+1.par2", "d/package.vol1+1.par2"}},
        // A size that is no multiple of 4 is rounded up: the slice still holds a volume.
        {3, 70001, 1, false, 70004, {"d/package.vol0+1.par2"}},
        {12, 100000, 10, false, 100000, {}},
    };
    for (const Case& c : cases) {
        RecoveryLayout layout;
        ASSERT_TRUE(PlanRecovery(c.count, c.volumeSize, c.volumeSize, c.lost, c.pieces, "d/package",
                                 NoCritical, &layout));
        EXPECT_EQ(layout.sliceSize, c.sliceSize);
        EXPECT_EQ(layout.slicesPerVolume, 1);
        EXPECT_EQ(layout.indexPath, "d/package.par2");
        EXPECT_EQ(layout.files.size(), static_cast<size_t>(c.lost));
        for (size_t i = 0; i < c.files.size(); ++i) EXPECT_EQ(layout.files[i].path, c.files[i]);
    }
    RecoveryLayout wide;
    ASSERT_TRUE(PlanRecovery(12, 100000, 100000, 10, false, "p", NoCritical, &wide));
    EXPECT_EQ(wide.files[0].path, "p.vol00+1.par2");
    EXPECT_EQ(wide.files[9].path, "p.vol09+1.par2");
    // One volume shorter than the volume size: slices no larger than it.
    RecoveryLayout small;
    ASSERT_TRUE(PlanRecovery(1, 1441792, 61, 1, false, "p", NoCritical, &small));
    EXPECT_EQ(small.sliceSize, 64u);
    RecoveryLayout none;
    EXPECT_FALSE(PlanRecovery(3, 100000, 100000, 4, false, "p", NoCritical, &none));
    EXPECT_FALSE(PlanRecovery(3, 100000, 100000, 0, false, "p", NoCritical, &none));
}

TEST(PlanRecovery, PiecesFitAVolumeAndStillCoverEveryLostVolume) {
    for (int64_t volumeSize : {int64_t(70000), int64_t(1441792), int64_t(99614720)}) {
        for (int lost : {1, 3, 7}) {
            const auto critical = [&](uint64_t S) { return 5000 + 20 * (volumeSize / S + 1) * 40; };
            RecoveryLayout layout;
            ASSERT_TRUE(
                PlanRecovery(40, volumeSize, volumeSize, lost, true, "p", critical, &layout));
            uint64_t blocks = 0;
            for (const par2::RecoveryFile& f : layout.files) {
                EXPECT_LE(critical(layout.sliceSize) + f.count * (layout.sliceSize + 68),
                          static_cast<uint64_t>(volumeSize))
                    << volumeSize;
                EXPECT_EQ(f.firstExponent, blocks);
                blocks += f.count;
            }
            // Every volume takes at most slicesPerVolume slices.
            EXPECT_GE(layout.sliceSize * layout.slicesPerVolume, static_cast<uint64_t>(volumeSize));
            EXPECT_EQ(blocks, static_cast<uint64_t>(lost * layout.slicesPerVolume));
            EXPECT_LE(layout.files.size(), static_cast<size_t>(lost + 2))
                << volumeSize << " " << lost;
        }
    }
    // Many lost volumes: never more slices than a rebuild solves for at once.
    for (int lost : {100, 500, 999}) {
        RecoveryLayout layout;
        ASSERT_TRUE(PlanRecovery(999, 70000, 70000, lost, true, "p", NoCritical, &layout));
        EXPECT_LE(uint64_t(lost) * layout.slicesPerVolume, par2::MaxUnknowns(kRecoveryMemoryBudget))
            << lost;
    }
}

// A split of four sources into 70000-byte volumes with recovery data.
struct RecoveredSplit {
    explicit RecoveredSplit(int lost, bool selfExtracting = false, bool pieces = false)
        : run(true) {
        std::filesystem::create_directory(dir / "src");
        std::filesystem::create_directory(dir / "arc");
        sources = test::WriteSources(dir / "src", {{"a.bin", test::RandomBytes(150000, 1)},
                                                   {"leer", ""},
                                                   {"b.bin", test::RandomBytes(777, 2)},
                                                   {"c.bin", test::RandomBytes(90000, 3)}});
        WriteFile(dir / "Robot.dat", test::RobotImage(3000, 4));
        first = dir / (selfExtracting ? "arc/package.exe" : "arc/package.001");
        run.PrepareSplit(sources, first, 70000, selfExtracting, dir / "Robot.dat");
        EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
        volumes = run.SplitVolumes();
        RecoveryJob job;
        EXPECT_EQ(PrepareRecovery(run.set, lost, pieces, &job), "");
        EXPECT_EQ(WriteRecovery(run.set, job, 0, job.layout.files.size()), "");
        layout = job.layout;
        for (const std::string& v : volumes) originals.push_back(ReadFile(v));
    }
    std::vector<VolumeState> States(const std::string& volume) {
        const SetReport report = CheckSet(platform::NativeFileSystem(), volume);
        std::vector<VolumeState> states;
        for (const VolumeReport& v : report.volumes) states.push_back(v.state);
        return states;
    }
    TempDir dir;
    test::ArchiveRun run;
    std::vector<std::string> sources;
    std::string first;
    std::vector<std::string> volumes;
    std::vector<std::string> originals;
    RecoveryLayout layout;
};

constexpr VolumeState kOk = VolumeState::Ok;
constexpr VolumeState kMissing = VolumeState::Missing;
constexpr VolumeState kDamaged = VolumeState::Damaged;
constexpr VolumeState kForeign = VolumeState::Foreign;

TEST(CheckSet, NamesEveryBadVolumeAndWhetherTheSetCanBeRebuilt) {
    RecoveredSplit s(2);
    ASSERT_EQ(s.volumes.size(), 4u);
    EXPECT_EQ(s.States(s.volumes[2]), (std::vector<VolumeState>{kOk, kOk, kOk, kOk}));

    // One byte inside volume 2, volume 4 cut short: both damaged, 2 slices needed.
    std::string v2 = s.originals[1];
    v2[40000] ^= 0x20;
    WriteFile(s.volumes[1], v2);
    WriteFile(s.volumes[3], s.originals[3].substr(0, 1000));
    SetReport report = CheckSet(platform::NativeFileSystem(), s.volumes[0]);
    EXPECT_EQ(s.States(s.volumes[0]), (std::vector<VolumeState>{kOk, kDamaged, kOk, kDamaged}));
    EXPECT_TRUE(report.Rebuildable());
    EXPECT_EQ(report.slicesNeeded, 2u);
    EXPECT_EQ(report.slicesAvailable, 2u);

    // A third bad volume (lost) is one too many; the volume given may be a lost one.
    std::filesystem::remove(s.volumes[0]);
    report = CheckSet(platform::NativeFileSystem(), s.volumes[0]);
    EXPECT_EQ(s.States(s.volumes[0]),
              (std::vector<VolumeState>{kMissing, kDamaged, kOk, kDamaged}));
    EXPECT_FALSE(report.Rebuildable());
    std::vector<std::string> rebuilt;
    EXPECT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt),
              "Zu wenig Wiederherstellungsdaten: benötigt werden 3 Blöcke, vorhanden sind 2.\n"
              "Es fehlen noch 1 Block (Wiederherstellungsdaten für 1 weiteren Datenträger). Es "
              "wurde nichts geschrieben.");
    EXPECT_TRUE(rebuilt.empty());
    EXPECT_EQ(ReadFile(s.volumes[1]), v2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(s.dir / "arc"),
                            std::filesystem::directory_iterator()),
              3 + 3);  // three volumes, the index and two recovery files
}

TEST(CheckSet, AVolumeOfAnotherSetIsNamedAsSuch) {
    RecoveredSplit s(1);
    // The other set was made of the same files under the same names; only
    // its volume size differs, by one digit.
    TempDir dir;
    std::filesystem::create_directory(dir / "arc");
    test::ArchiveRun run(true);
    run.PrepareSplit(s.sources, dir / "arc/package.001", 80000);
    ASSERT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    std::filesystem::copy_file(dir / "arc/package.002", s.volumes[1],
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(s.States(s.volumes[0]), (std::vector<VolumeState>{kOk, kForeign, kOk, kOk}));
}

TEST(RebuildSet, LostAndDamagedVolumesComeBackInPlaceAndElsewhere) {
    for (bool selfExtracting : {false, true}) {
        RecoveredSplit s(2, selfExtracting);
        std::filesystem::remove(s.volumes[0]);
        std::string v3 = s.originals[2];
        v3[5] ^= 1;  // inside the header
        WriteFile(s.volumes[2], v3);

        // Into another folder: the set itself stays as it is.
        const SetReport report = CheckSet(platform::NativeFileSystem(), s.volumes[1]);
        ASSERT_TRUE(report.Rebuildable());
        std::filesystem::create_directory(s.dir / "neu");
        std::vector<std::string> rebuilt;
        EXPECT_EQ(RebuildSet(platform::NativeFileSystem(), report, s.dir / "neu", &rebuilt), "");
        ASSERT_EQ(rebuilt.size(), 2u);
        EXPECT_EQ(ReadFile(rebuilt[0]), s.originals[0]);
        EXPECT_EQ(ReadFile(rebuilt[1]), s.originals[2]);
        EXPECT_EQ(ReadFile(s.volumes[2]), v3);

        rebuilt.clear();
        EXPECT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "");
        for (size_t i = 0; i < s.volumes.size(); ++i)
            EXPECT_EQ(ReadFile(s.volumes[i]), s.originals[i]);
        EXPECT_TRUE(CheckSet(platform::NativeFileSystem(), s.volumes[3]).AllOk());
        EXPECT_FALSE(test::FileExists(s.volumes[0] + ".tolvane-neu"));
    }
}

TEST(RebuildSet, PiecesNoLargerThanAVolumeRebuildAsWell) {
    RecoveredSplit s(2, false, true);
    for (const par2::RecoveryFile& f : s.layout.files) {
        EXPECT_LE(ReadFile(f.path).size(), 70000u) << f.path;
    }
    std::filesystem::remove(s.volumes[1]);
    std::filesystem::remove(s.volumes[3]);
    const SetReport report = CheckSet(platform::NativeFileSystem(), s.volumes[0]);
    std::vector<std::string> rebuilt;
    ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "");
    for (size_t i = 0; i < s.volumes.size(); ++i) EXPECT_EQ(ReadFile(s.volumes[i]), s.originals[i]);
}

TEST(CheckSet, WithoutRecoveryDataOnlyTheHeaderAndTheLengthAreChecked) {
    RecoveredSplit s(1);
    std::filesystem::remove(s.layout.indexPath);
    for (const par2::RecoveryFile& f : s.layout.files) std::filesystem::remove(f.path);
    std::string v2 = s.originals[1];
    v2[40000] ^= 1;  // not seen
    WriteFile(s.volumes[1], v2);
    WriteFile(s.volumes[2], s.originals[2] + "x");
    const SetReport report = CheckSet(platform::NativeFileSystem(), s.volumes[0]);
    EXPECT_FALSE(report.recoveryFound);
    EXPECT_EQ(s.States(s.volumes[0]), (std::vector<VolumeState>{kOk, kOk, kDamaged, kOk}));
    EXPECT_FALSE(report.Rebuildable());
}

TEST(PlanSetRecovery, GivesTheBytesThatAreWrittenWithoutReadingTheSources) {
    for (bool selfExtracting : {false, true}) {
        for (bool pieces : {false, true}) {
            RecoveredSplit s(2, selfExtracting, pieces);
            RecoveryLayout plan;
            ASSERT_TRUE(PlanSetRecovery(s.run.set, 2, pieces, &plan));
            uint64_t written = std::filesystem::file_size(s.layout.indexPath);
            for (const par2::RecoveryFile& f : s.layout.files) {
                written += std::filesystem::file_size(f.path);
            }
            EXPECT_EQ(plan.bytes, written) << selfExtracting << pieces;
            EXPECT_EQ(plan.files.size(), s.layout.files.size());
        }
    }
}

TEST(WriteRecovery, AStopLeavesNoRecoveryFileNotEvenTheIndex) {
    RecoveredSplit s(1);
    for (const par2::RecoveryFile& f : s.layout.files) std::filesystem::remove(f.path);
    std::filesystem::remove(s.layout.indexPath);
    std::atomic<bool> stop{false};
    s.run.set.SetStopFlag(&stop);
    RecoveryJob job;
    ASSERT_EQ(PrepareRecovery(s.run.set, 2, false, &job), "");
    stop = true;
    const std::string stopped =
        "Das Erstellen der Wiederherstellungsdaten wurde abgebrochen; die begonnenen "
        "Wiederherstellungsdaten wurden wieder entfernt.";
    EXPECT_EQ(WriteRecovery(s.run.set, job, 0, job.layout.files.size()), stopped);
    EXPECT_FALSE(test::FileExists(job.layout.indexPath));
    for (const par2::RecoveryFile& f : job.layout.files) EXPECT_FALSE(test::FileExists(f.path));
    RecoveryJob again;
    EXPECT_EQ(PrepareRecovery(s.run.set, 2, false, &again), stopped);
    s.run.set.SetStopFlag(nullptr);
}

TEST(PrepareRecovery, ASourceChangedSinceTheSplitIsRefused) {
    test::ArchiveRun run(true);
    TempDir dir;
    const auto sources = test::WriteSources(dir.path(), {{"a.bin", test::RandomBytes(100000, 1)}});
    run.PrepareSplit(sources, dir / "package.001", 70000);
    ASSERT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    WriteFile(sources[0], "kürzer");
    RecoveryJob job;
    EXPECT_EQ(PrepareRecovery(run.set, 1, false, &job),
              "Die Datei „a.bin“ hat sich seit dem Aufteilen verändert; "
              "Wiederherstellungsdaten wurden nicht erstellt.");
    EXPECT_EQ(PrepareRecovery(run.set, 3, false, &job),
              "Für 3 Datenträger können keine Wiederherstellungsdaten erstellt werden: das Archiv "
              "hat 2 Datenträger.");
}

namespace fs = std::filesystem;

// Every entry of a folder with its kind and, for a file, its bytes.
std::map<std::string, std::string> FolderState(const fs::path& folder) {
    std::map<std::string, std::string> state;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (e.is_symlink()) {
            state[name] = "link:" + fs::read_symlink(e.path()).string();
        } else if (e.is_directory()) {
            state[name] = "dir";
        } else if (e.is_fifo()) {
            state[name] = "fifo";
        } else {
            state[name] = ReadFile(e.path().string());
        }
    }
    return state;
}

// A second split into the folder of a first one, of the same files with
// one of them changed (or only its time, when content stays).
void SplitAgain(RecoveredSplit& s, int recovery, bool sameContent = false) {
    if (sameContent) {
        fs::last_write_time(s.sources[0],
                            fs::last_write_time(s.sources[0]) - std::chrono::hours(48));
    } else {
        WriteFile(s.sources[0], test::RandomBytes(150000, 99));
    }
    test::ArchiveRun run(true);
    run.PrepareSplit(s.sources, s.first, 70000);
    ASSERT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    if (recovery > 0) {
        RecoveryJob job;
        ASSERT_EQ(PrepareRecovery(run.set, recovery, false, &job), "");
        ASSERT_EQ(WriteRecovery(run.set, job, 0, job.layout.files.size()), "");
    }
}

TEST(StaleRecovery, ASplitLeavesNoRecoveryDataOfAnOlderSetAndVerifyPicksTheMatchingOne) {
    struct Case {
        int first;   // recovery volumes of the older set
        int second;  // of the new one; 0: none
    };
    for (const Case c : {Case{2, 0}, Case{3, 1}}) {
        RecoveredSplit s(c.first);
        const std::string oldSlices = ReadFile(s.layout.files.back().path);
        SplitAgain(s, c.second);
        for (const std::string& path : StaleRecoveryFiles(s.first)) {
            EXPECT_NE(ReadFile(path), oldSlices) << path;
        }
        EXPECT_EQ(StaleRecoveryFiles(s.first).size(), c.second == 0 ? 0u : 2u);
        SetReport report = CheckSet(platform::NativeFileSystem(), s.first);
        EXPECT_TRUE(report.AllOk()) << c.first;
        EXPECT_EQ(report.recoveryFound, c.second > 0);

        // Old recovery slices put back beside the new ones: not used, named.
        if (c.second == 0) continue;
        WriteFile(s.dir / "arc/package.vol7+1.par2", oldSlices);
        report = CheckSet(platform::NativeFileSystem(), s.first);
        EXPECT_TRUE(report.AllOk());
        EXPECT_EQ(report.otherRecoveryFiles, std::vector<std::string>{"package.vol7+1.par2"});
        const std::string fresh = ReadFile(s.volumes[1]);
        fs::remove(s.volumes[1]);
        report = CheckSet(platform::NativeFileSystem(), s.first);
        std::vector<std::string> rebuilt;
        ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "");
        EXPECT_EQ(ReadFile(s.volumes[1]), fresh);
    }
}

// Recovery data of an older set whose volumes had the same lengths (only a
// file's time changed) would make the old volumes: refused, nothing replaced.
TEST(StaleRecovery, RecoveryDataThatWouldMakeAnotherSetsVolumesIsRefused) {
    RecoveredSplit s(2, false, true);
    std::map<std::string, std::string> old;
    for (const std::string& path : StaleRecoveryFiles(s.first)) old[path] = ReadFile(path);
    SplitAgain(s, 0, true);
    for (const auto& [path, bytes] : old) WriteFile(path, bytes);
    const auto before = FolderState(s.dir / "arc");
    const SetReport report = CheckSet(platform::NativeFileSystem(), s.first);
    ASSERT_TRUE(report.Rebuildable());  // each volume lost only its header slice
    std::vector<std::string> rebuilt;
    const std::string refusal = RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt);
    EXPECT_NE(refusal.find("gehören zu einem anderen Archiv"), std::string::npos) << refusal;
    EXPECT_TRUE(rebuilt.empty());
    EXPECT_EQ(FolderState(s.dir / "arc"), before);
}

TEST(RebuildSet, FilesTheRecoveryDataListsBesideTheVolumesAreLeftAlone) {
    struct Case {
        std::string listed;   // as the recovery data names it
        std::string planted;  // what lies at the bare name in the folder ("" nothing)
    };
    const std::vector<Case> cases = {
        {"notes.txt", "the user's own notes"},
        {"package.par2", ""},  // the index itself
        {"link.txt", "symlink"},
        {"../outside.txt", ""},
        {"ABSOLUTE", ""},
        {"sub\\back.txt", ""},
        {"nodir/notes.txt", "the user's own notes"},
    };
    for (const Case& c : cases) {
        RecoveredSplit s(1);
        for (const std::string& path : StaleRecoveryFiles(s.first)) fs::remove(path);
        const std::string outside = s.dir / "outside.txt";
        WriteFile(outside, "outside");
        const std::string listed = c.listed == "ABSOLUTE" ? outside : c.listed;
        test::NamedBytes files;
        for (size_t i = 0; i < s.volumes.size(); ++i)
            files.push_back({fs::path(s.volumes[i]).filename().string(), s.originals[i]});
        files.push_back({listed, "what the recovery data would make of it"});
        WriteFile(s.dir / "arc/package.par2", test::MakeRecoveryFile(files, 70000, 2));
        const std::string bare = fs::path(c.listed).filename().string();
        if (c.planted == "symlink") {
            fs::create_symlink("../outside.txt", fs::path(s.dir / "arc") / bare);
        } else if (!c.planted.empty()) {
            WriteFile((fs::path(s.dir / "arc") / bare).string(), c.planted);
        }
        fs::remove(s.volumes[2]);
        auto expected = FolderState(s.dir / "arc");
        expected["package.003"] = s.originals[2];

        const SetReport report = CheckSet(platform::NativeFileSystem(), s.first);
        const auto entry = std::find_if(report.volumes.begin(), report.volumes.end(),
                                        [](const VolumeReport& v) { return v.listedOnly; });
        ASSERT_NE(entry, report.volumes.end()) << c.listed;
        EXPECT_NE(entry->path.find(listed), std::string::npos);
        std::vector<std::string> rebuilt;
        ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "") << c.listed;
        EXPECT_EQ(rebuilt, std::vector<std::string>{s.volumes[2]});
        EXPECT_EQ(FolderState(s.dir / "arc"), expected) << c.listed;
        EXPECT_EQ(ReadFile(outside), "outside");
        EXPECT_FALSE(fs::exists(s.dir / "arc/nodir"));
    }
}

TEST(RebuildSet, WhateverLiesUnderTheTemporaryNameStaysAsItIs) {
    for (const std::string kind : {"file", "fifo", "dir", "symlink"}) {
        RecoveredSplit s(1);
        const std::string planted = s.volumes[1] + ".tolvane-neu";
        if (kind == "file") WriteFile(planted, "planted");
        if (kind == "fifo") {
            ASSERT_EQ(mkfifo(planted.c_str(), 0600), 0);
        }
        if (kind == "dir") fs::create_directory(planted);
        if (kind == "symlink") fs::create_symlink(s.sources[0], planted);
        const std::string source = ReadFile(s.sources[0]);
        fs::remove(s.volumes[1]);
        auto expected = FolderState(s.dir / "arc");
        expected["package.002"] = s.originals[1];

        const SetReport report = CheckSet(platform::NativeFileSystem(), s.first);
        std::vector<std::string> rebuilt;
        ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "") << kind;
        EXPECT_EQ(FolderState(s.dir / "arc"), expected) << kind;
        EXPECT_EQ(ReadFile(s.sources[0]), source);
    }
}

// A recovery slice in two copies whose checksums both hold but whose bytes
// differ (one crafted), the crafted one read first: the rebuild tries the
// other before it gives up.
TEST(RebuildSet, ASliceWhoseFirstCopyIsBadIsTakenFromAnother) {
    for (bool wrongSize : {false, true}) {
        RecoveredSplit s(1);
        const par2::Md5Digest setId =
            CheckSet(platform::NativeFileSystem(), s.first).recovery.setId;
        const std::string bad(wrongSize ? 4000 : s.layout.sliceSize, 'b');
        WriteFile(s.dir / "arc/package.0first.par2", test::RecoveryPacket(setId, 0, bad));
        fs::remove(s.volumes[1]);
        const SetReport report = CheckSet(platform::NativeFileSystem(), s.first);
        EXPECT_EQ(report.slicesAvailable, 1u);
        std::vector<std::string> rebuilt;
        ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "") << wrongSize;
        EXPECT_EQ(ReadFile(s.volumes[1]), s.originals[1]);
    }
}

TEST(CheckSet, AVolumeOfThisSetUnderAnotherNumberIsDamagedNotForeign) {
    RecoveredSplit s(1);
    WriteFile(s.volumes[1], s.originals[2]);
    EXPECT_EQ(s.States(s.volumes[0]), (std::vector<VolumeState>{kOk, kDamaged, kOk, kOk}));
    const SetReport report = CheckSet(platform::NativeFileSystem(), s.volumes[0]);
    std::vector<std::string> rebuilt;
    ASSERT_EQ(RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt), "");
    EXPECT_EQ(ReadFile(s.volumes[1]), s.originals[1]);
    EXPECT_FALSE(test::FileExists(s.volumes[1] + ".fremd"));
}

TEST(RebuildSet, TooLittleRecoveryDataNamesTheVolumesStillNeededRoundedUp) {
    struct Case {
        uint64_t needed, available, perVolume;
        std::string tail;
    };
    const std::vector<Case> cases = {
        {5, 4, 3, "Es fehlen noch 1 Block (Wiederherstellungsdaten für 1 weiteren Datenträger)."},
        {10, 3, 3, "Es fehlen noch 7 Blöcke (Wiederherstellungsdaten für 3 weitere Datenträger)."},
        {7, 1, 3, "Es fehlen noch 6 Blöcke (Wiederherstellungsdaten für 2 weitere Datenträger)."},
        {2, 0, 64, "Es fehlen noch 2 Blöcke (Wiederherstellungsdaten für 1 weiteren Datenträger)."},
    };
    for (const Case& c : cases) {
        SetReport report;
        report.recoveryFound = true;
        VolumeReport v;
        v.covered = true;
        v.state = kDamaged;
        report.volumes.push_back(v);
        report.slicesNeeded = c.needed;
        report.slicesAvailable = c.available;
        report.slicesPerVolume = c.perVolume;
        std::vector<std::string> rebuilt;
        const std::string text = RebuildSet(platform::NativeFileSystem(), report, "", &rebuilt);
        EXPECT_NE(text.find(c.tail), std::string::npos) << text;
        EXPECT_EQ(text.find(" 0 weitere"), std::string::npos);
    }
}

// A crafted recovery file of thousands of tiny slices of a lost volume: too
// many for the memory budget is refused at once; fewer are solved, and a
// stop during the solve ends it with nothing left behind.
TEST(RebuildSet, ALongSolveIsRefusedUpFrontOrStopsWhenAsked) {
    struct Case {
        uint32_t slices;
        std::string message;
    };
    const std::vector<Case> cases = {
        {8000, "auf einmal lassen sich höchstens"},
        {400, "Das Wiederherstellen wurde abgebrochen; es wurde nichts ersetzt."},
    };
    for (const Case& c : cases) {
        TempDir dir;
        WriteFile(dir / "package.par2", test::ManyTinySlices("package.001", c.slices));
        const auto before = FolderState(dir.path());
        const SetReport report = CheckSet(platform::NativeFileSystem(), dir / "package.001");
        ASSERT_TRUE(report.refusal.empty());
        ASSERT_EQ(report.slicesNeeded, c.slices);
        std::atomic<bool> stop{false};
        int calls = 0;
        std::vector<std::string> rebuilt;
        const std::string text = RebuildSet(
            platform::NativeFileSystem(), report, "", &rebuilt,
            [&](uint64_t, uint64_t) { stop = ++calls == 10; }, &stop);
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_EQ(calls, c.slices == 8000 ? 0 : 10);
        EXPECT_EQ(FolderState(dir.path()), before);
    }
}

TEST(ShownName, ControlCharactersAndStrayBytesAreEscaped) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"package.001", "package.001"},
        {"Grüße.txt", "Grüße.txt"},
        {"a\033[2Jb", "a\\x1B[2Jb"},
        {"bell\a", "bell\\x07"},
        {"zwei\nZeilen\r", "zwei\\x0AZeilen\\x0D"},
        {"csi\xC2\x9B"
         "2J",
         "csi\\xC2\\x9B2J"},
        {"stray\xFF", "stray\\xFF"},
        {"cut\xE2\x82", "cut\\xE2\\x82"},
        {"dir\\name", "dir\\\\name"},
        {"del\x7F", "del\\x7F"},
    };
    for (const auto& [name, shown] : cases) EXPECT_EQ(ShownName(name), shown);
}

}  // namespace
}  // namespace tolvane

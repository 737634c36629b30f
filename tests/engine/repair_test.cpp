#include "engine/repair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <random>
#include <set>

#include "engine/position.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/support/archive_run.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct Original {
    std::string name;
    std::string bytes;
};

// An archive laid out the way the split writer lays it out, written by hand:
// each volume is makeHeader's output (with the stub area in front of the
// first volume of a self-extracting set) followed by its share of the
// concatenated originals. The originals stay in src/.
struct HandWrittenArchive {
    HandWrittenArchive(const std::vector<Original>& files, int64_t capacity, int sfx)
        : selfExtracting(sfx) {
        std::filesystem::create_directory(src());
        std::filesystem::create_directory(arc());
        std::filesystem::create_directory(out());
        WriteFile(dir / "Robot.dat", test::RobotImage(5000, 99));
        Fixture w;
        std::string stream;
        for (const Original& o : files) {
            WriteFile(src() + "/" + o.name, o.bytes);
            EXPECT_GT(w.set.AddFileAtEnd(src() + "/" + o.name), 0);
            stream += o.bytes;
        }
        w.settings.selfExtracting = sfx;
        w.settings.robotPath = dir / "Robot.dat";
        int64_t previous = -1;
        while (w.settings.volumeSize != previous) {
            previous = w.settings.volumeSize;
            w.settings.volumeSize = capacity + w.set.CalcHeaderSize();
        }
        volumeSize = w.settings.volumeSize;
        volumeCount = UpdateVolumeCount(w.set).volumeCount;

        // Stream offsets: volume 1 of a self-extracting set holds the stub
        // area in place of 66560 stream bytes; every other volume holds a
        // full capacity.
        int64_t start = 0;
        for (int n = 1; n <= volumeCount; ++n) {
            const int64_t share = sfx == 1 && n == 1 ? capacity - kStubAreaSize : capacity;
            const int64_t length = std::min<int64_t>(share, stream.size() - start);
            EXPECT_EQ(w.set.makeHeader(VolumePath(n), n), 1);
            WriteFile(VolumePath(n), ReadFile(VolumePath(n)) + stream.substr(start, length));
            volumes.push_back(ReadFile(VolumePath(n)));
            if (n < volumeCount) {
                EXPECT_EQ(static_cast<int64_t>(volumes.back().size()), volumeSize);
            }
            start += length;
        }
        EXPECT_EQ(start, static_cast<int64_t>(stream.size()));
    }

    std::string src() const { return dir / "src"; }
    std::string arc() const { return dir / "arc"; }
    std::string out() const { return dir / "out"; }
    std::string VolumePath(int n) const {
        return VolumeName(arc() + "/package.001", n, selfExtracting == 1);
    }

    TempDir dir;
    int selfExtracting;
    int64_t volumeSize = 0;
    int volumeCount = 0;
    std::vector<std::string> volumes;  // the writer's bytes, volume 1 first
};

// SeekToVolume on the intact volume, then CopyRep of volume n into out/.
struct Repairer : Fixture {
    Repairer(const HandWrittenArchive& a, int intact, int n, std::string sources = {}) {
        settings.packagePath = a.VolumePath(intact);
        settings.currentVolume = n;
        settings.robotPath = a.dir / "Robot.dat";
        rows = SeekToVolume(set);
        set.sourceDir = sources.empty() ? a.src() : sources;
        settings.targetPath =
            RepairTargetPath(a.out(), settings.packagePath, n, settings.selfExtracting);
    }
    std::string Written() const { return ReadFile(settings.targetPath); }

    std::optional<std::vector<SliceRow>> rows;
};

std::vector<Original> RandomOriginals(std::mt19937& rng, int64_t capacity) {
    std::vector<Original> files;
    const int count = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < count; ++i) {
        int64_t size = 0;
        switch (rng() % 4) {
            case 0:
                size = 0;
                break;
            case 1:
                size = rng() % 100;
                break;
            case 2:
                size = rng() % capacity;
                break;
            default:
                size = rng() % (3 * capacity);
                break;
        }
        files.push_back({"f" + std::to_string(i) + (i % 2 ? "_ä.bin" : ".dat"),
                         test::RandomBytes(static_cast<size_t>(size), rng())});
    }
    return files;
}

void ExpectEveryVolumeRepairs(const HandWrittenArchive& a) {
    for (int n = 1; n <= a.volumeCount; ++n) {
        // Any intact volume serves; take a different one each time.
        const int intact = a.volumeCount == 1 ? 1 : (n % a.volumeCount) + 1;
        Repairer r(a, intact, n);
        ASSERT_TRUE(r.rows.has_value()) << "volume " << n;
        ASSERT_EQ(r.set.CopyRep(), 1) << "volume " << n;
        EXPECT_TRUE(r.Written() == a.volumes[n - 1]) << "volume " << n << " of " << a.volumeCount;
        EXPECT_TRUE(r.display.messages.empty());
        int64_t sliced = 0;
        for (const SliceRow& row : *r.rows) sliced += row.slice;
        const int64_t stubAndHeader =
            (a.selfExtracting == 1 && n == 1 ? kStubAreaSize : 0) + r.set.headerSize;
        EXPECT_EQ(sliced + stubAndHeader, static_cast<int64_t>(a.volumes[n - 1].size()));
    }
}

TEST(Repair, EveryVolumeOfRandomPlainSetsIsTheWritersVolume) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 12; ++round) {
        const int64_t capacity = 200 + rng() % 3000;
        HandWrittenArchive a(RandomOriginals(rng, capacity), capacity, 0);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectEveryVolumeRepairs(a);
    }
}

TEST(Repair, EveryVolumeOfRandomSelfExtractingSetsIsTheWritersVolume) {
    std::mt19937 rng(815);
    for (int round = 0; round < 6; ++round) {
        const int64_t capacity = kStubAreaSize + 100 + rng() % 4000;
        HandWrittenArchive a(RandomOriginals(rng, capacity), capacity, 1);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectEveryVolumeRepairs(a);
        EXPECT_EQ(VolumeName("x.001", 1, true), "x.exe");
    }
}

TEST(Repair, VolumesLargerThanOneTransferBuffer) {
    for (int sfx : {0, 1}) {
        HandWrittenArchive a({{"big", test::RandomBytes(900000, 1)},
                              {"small", test::RandomBytes(1000, 2)},
                              {"mid", test::RandomBytes(400000, 3)}},
                             300000, sfx);
        ExpectEveryVolumeRepairs(a);
    }
}

TEST(Repair, StoppedByTheUserTheBegunVolumeIsDeleted) {
    HandWrittenArchive a(
        {{"big", test::RandomBytes(900000, 1)}, {"mid", test::RandomBytes(400000, 3)}}, 600000, 0);
    Repairer r(a, 1, 2);
    ASSERT_TRUE(r.rows.has_value());
    // A stop is asked for after the first chunk of the volume.
    struct StopDisplay : test::RecordingDisplay {
        std::atomic<bool> stop{false};
        void Repaint() override { stop = true; }
    } display;
    r.set.SetDisplay(display);
    r.set.SetStopFlag(&display.stop);
    EXPECT_EQ(RunRepair(r.set), DriveOutcome::Interrupted);
    EXPECT_FALSE(test::FileExists(r.settings.targetPath));
    EXPECT_TRUE(display.questions.empty());
    ASSERT_EQ(display.messages.size(), 1u);
    EXPECT_EQ(display.messages[0].text,
              "Die Reparatur wurde abgebrochen.\nDer begonnene Datenträger „" +
                  r.settings.targetPath + "“ wurde gelöscht.");
}

TEST(Repair, FileBoundaryOnTheVolumeStartAndAHeaderOnlyLastVolume) {
    // a ends exactly where volume 2 begins; b ends exactly where volume 3
    // begins, which therefore holds only its header.
    HandWrittenArchive a({{"a", test::RandomBytes(1000, 5)}, {"b", test::RandomBytes(1000, 6)}},
                         1000, 0);
    ASSERT_EQ(a.volumeCount, 3);
    ExpectEveryVolumeRepairs(a);

    Repairer second(a, 1, 2);
    ASSERT_TRUE(second.rows.has_value());
    ASSERT_EQ(second.rows->size(), 2u);
    EXPECT_EQ((*second.rows)[0].name, "a");
    EXPECT_EQ((*second.rows)[0].slice, 0);
    EXPECT_EQ((*second.rows)[1].slice, 1000);
    EXPECT_EQ(second.set.current->done, 1000);

    Repairer last(a, 1, 3);
    ASSERT_TRUE(last.rows.has_value());
    ASSERT_EQ(last.rows->size(), 1u);
    EXPECT_EQ((*last.rows)[0].name, "b");
    EXPECT_EQ((*last.rows)[0].slice, 0);
    ASSERT_EQ(last.set.CopyRep(), 1);
    EXPECT_EQ(static_cast<int64_t>(last.Written().size()), last.set.headerSize);
}

TEST(Repair, SlicesListWhatTheVolumeHolds) {
    HandWrittenArchive a({{"a", std::string(1000, 'a')}, {"b", std::string(4500, 'b')}}, 2000, 0);
    ASSERT_EQ(a.volumeCount, 3);
    const std::vector<std::vector<int64_t>> slices = {{1000, 1000}, {2000}, {1500}};
    for (int n = 1; n <= 3; ++n) {
        Repairer r(a, 2, n);
        ASSERT_TRUE(r.rows.has_value());
        std::vector<int64_t> got;
        for (const SliceRow& row : *r.rows) got.push_back(row.slice);
        EXPECT_EQ(got, slices[n - 1]) << "volume " << n;
        EXPECT_EQ(r.rows->back().name, "b");
        EXPECT_EQ(r.rows->back().size, 4500);
        // The position itself, as the progress page's list shows it.
        EXPECT_EQ(r.set.bytesDone, 2000 * (n - 1));
    }

    // The first volume of a self-extracting set holds 66560 bytes less.
    HandWrittenArchive s({{"a", std::string(1000, 'a')}, {"b", std::string(4500, 'b')}},
                         kStubAreaSize + 2000, 1);
    Repairer first(s, 2, 1);
    ASSERT_TRUE(first.rows.has_value());
    ASSERT_EQ(first.rows->size(), 2u);
    EXPECT_EQ((*first.rows)[1].slice, 1000);
    EXPECT_TRUE(first.settings.targetPath.ends_with("/out/package.exe"));
}

TEST(Repair, SourceFolderWithAndWithoutTrailingSlash) {
    EXPECT_EQ(PathInFolder("/data/orig/", "/a.txt"), "/data/orig/a.txt");
    EXPECT_EQ(PathInFolder("/data/orig", "/a.txt"), "/data/orig/a.txt");
    EXPECT_EQ(PathInFolder("/", "/a.txt"), "/a.txt");
    EXPECT_EQ(RepairTargetPath("/mnt/disk", "/backup/package.002", 3, 0), "/mnt/disk/package.003");
    EXPECT_EQ(RepairTargetPath("/mnt/disk/", "/backup/package.002", 1, 1), "/mnt/disk/package.exe");
    EXPECT_EQ(RepairTargetPath("/e/disks", "/c/Archiv.exe", 12, 1), "/e/disks/Archiv.012");

    HandWrittenArchive a({{"a", test::RandomBytes(3000, 7)}, {"b", test::RandomBytes(500, 8)}},
                         1000, 0);
    for (const std::string& sources : {a.src(), a.src() + "/"}) {
        Repairer r(a, 1, 3, sources);
        ASSERT_EQ(r.set.CopyRep(), 1);
        EXPECT_TRUE(r.Written() == a.volumes[2]);
    }
}

TEST(Repair, UnreadableIntactVolumeLeavesNoPosition) {
    HandWrittenArchive a({{"a", test::RandomBytes(3000, 9)}}, 1000, 0);
    Fixture f;
    f.settings.packagePath = a.arc() + "/gone.001";
    f.settings.currentVolume = 2;
    f.set.sourceDir = a.src();
    EXPECT_FALSE(SeekToVolume(f.set).has_value());
    ASSERT_EQ(f.display.messages.size(), 1u);
    EXPECT_EQ(f.display.messages[0].caption, texts::kCapReadHeaderOpen);
    EXPECT_FALSE(HasRepairPosition(f.set));

    f.settings.targetPath = a.out() + "/package.002";
    EXPECT_EQ(f.set.CopyRep(), 0);
    ASSERT_EQ(f.display.messages.size(), 2u);
    EXPECT_EQ(f.display.messages[1].caption, "QuellDateien::CopyRep");
    EXPECT_FALSE(test::FileExists(a.out() + "/package.002"));
    EXPECT_EQ(RunRepair(f.set), DriveOutcome::Stopped);
    EXPECT_TRUE(f.display.questions.empty());
    EXPECT_EQ(f.display.messages.back().caption, "QuellDateien::CopyRep");

    // A set filled by a split, never positioned, is no position either.
    Fixture g;
    g.set.AddFileAtEnd(a.src() + "/a");
    g.settings.targetPath = a.out() + "/package.001";
    EXPECT_EQ(g.set.CopyRep(), 0);
    EXPECT_FALSE(test::FileExists(a.out() + "/package.001"));
}

TEST(Repair, VolumeNumbersOutsideTheArchiveHaveNoPosition) {
    HandWrittenArchive a({{"a", test::RandomBytes(3000, 10)}}, 1000, 0);
    ASSERT_EQ(a.volumeCount, 4);
    for (int n : {0, 5, 9999}) {
        Repairer r(a, 1, n);
        EXPECT_FALSE(r.rows.has_value()) << n;
        EXPECT_TRUE(r.display.messages.empty());
        EXPECT_EQ(r.set.fileCount, 1);  // the header was read
        EXPECT_EQ(r.set.CopyRep(), 0);
    }
}

TEST(Repair, OneCopyRepPerPosition) {
    HandWrittenArchive a({{"a", test::RandomBytes(3000, 11)}}, 1000, 0);
    Repairer r(a, 1, 2);
    ASSERT_EQ(r.set.CopyRep(), 1);
    // The set now stands behind volume 2: writing again would give other bytes.
    EXPECT_EQ(r.set.CopyRep(), 0);
    EXPECT_EQ(r.display.messages.back().caption, "QuellDateien::CopyRep");
    EXPECT_TRUE(r.Written() == a.volumes[1]);
    // Another number needs its own SeekToVolume.
    Repairer other(a, 1, 2);
    other.settings.currentVolume = 3;
    EXPECT_EQ(other.set.CopyRep(), 0);
}

TEST(Repair, MissingAndChangedOriginals) {
    HandWrittenArchive a({{"a", test::RandomBytes(1500, 12)},
                          {"b", test::RandomBytes(1000, 13)},
                          {"c", test::RandomBytes(2000, 14)}},
                         1000, 0);
    ASSERT_EQ(a.volumeCount, 5);
    std::filesystem::rename(a.src() + "/b", a.dir / "b.saved");

    // Volume 2 begins in a and goes on with b; volume 4 needs only c.
    Repairer second(a, 1, 2);
    OriginalsCheck check = CheckOriginals(second.set, *second.rows);
    EXPECT_EQ(check.status, OriginalsCheck::Status::Missing);
    EXPECT_EQ(check.name, "b");
    EXPECT_EQ(second.set.CopyRep(), 0);
    EXPECT_EQ(second.display.messages.back().caption, "QuellDateien::CopyRep::open3");
    EXPECT_EQ(second.display.messages.back().text, texts::kFileNotFound);

    Repairer third(a, 1, 3);  // begins in b
    EXPECT_EQ(third.set.CopyRep(), 0);
    EXPECT_EQ(third.display.messages.back().caption, "QuellDateien::CopyRep::open2");

    Repairer fourth(a, 1, 4);
    EXPECT_EQ(CheckOriginals(fourth.set, *fourth.rows).status, OriginalsCheck::Status::Ok);
    ASSERT_EQ(fourth.set.CopyRep(), 1);
    EXPECT_TRUE(fourth.Written() == a.volumes[3]);

    // An original of another size: found by the check; one that has grown
    // still gives the writer's bytes, one that has shrunk fails the volume.
    std::filesystem::rename(a.dir / "b.saved", a.src() + "/b");
    WriteFile(a.src() + "/a", ReadFile(a.src() + "/a") + "appended later");
    Repairer grown(a, 1, 2);
    check = CheckOriginals(grown.set, *grown.rows);
    EXPECT_EQ(check.status, OriginalsCheck::Status::OtherSize);
    EXPECT_EQ(check.name, "a");
    ASSERT_EQ(grown.set.CopyRep(), 1);
    EXPECT_TRUE(grown.Written() == a.volumes[1]);

    WriteFile(a.src() + "/a", ReadFile(a.src() + "/a").substr(0, 1200));
    Repairer shrunk(a, 1, 2);
    EXPECT_EQ(shrunk.set.CopyRep(), 0);
    EXPECT_EQ(shrunk.display.messages.back().caption, "QuellDateien::CopyRep::read");
    EXPECT_EQ(shrunk.display.messages.back().text, texts::kReadError);
}

// Answers the retry question through a callback, so a test can mend the
// cause between the failure and the retry.
struct MendingDisplay : test::RecordingDisplay {
    bool AskRetry(const std::string& text, const std::string& caption) override {
        RecordingDisplay::AskRetry(text, caption);
        return mend ? mend() : false;
    }
    std::function<bool()> mend;
};

TEST(Repair, RunRepairRetriesUntilTheVolumeIsWhole) {
    HandWrittenArchive a({{"a", test::RandomBytes(1500, 15)},
                          {"b", test::RandomBytes(1000, 16)},
                          {"c", test::RandomBytes(2000, 17)}},
                         1000, 0);
    std::filesystem::rename(a.src() + "/b", a.dir / "b.saved");
    Repairer r(a, 5, 2);
    MendingDisplay display;
    r.set.SetDisplay(display);
    int asked = 0;
    display.mend = [&] {
        if (++asked == 2) std::filesystem::rename(a.dir / "b.saved", a.src() + "/b");
        return asked < 5;  // a repair that keeps failing ends the test
    };
    EXPECT_EQ(RunRepair(r.set), DriveOutcome::Finished);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(display.status, texts::kWorking);
    ASSERT_EQ(display.questions.size(), 2u);
    EXPECT_EQ(display.questions[0].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_TRUE(r.Written() == a.volumes[1]);

    // Cancel abandons the repair.
    std::filesystem::remove(a.src() + "/c");
    Repairer c(a, 1, 4);
    EXPECT_EQ(RunRepair(c.set), DriveOutcome::Cancelled);
    EXPECT_EQ(c.display.questions.size(), 1u);
}

TEST(Repair, ProgressShowsTheVolumeOnly) {
    HandWrittenArchive a({{"a", test::RandomBytes(700000, 18)}}, 600000, 0);
    Repairer r(a, 2, 1);
    ASSERT_EQ(r.set.CopyRep(), 1);
    // One per copy call: the first 256 KiB, then the rest in one call or two
    // (the step doubles after a quick call).
    EXPECT_GE(r.display.repaints, 2);
    EXPECT_LE(r.display.repaints, 3);
    EXPECT_EQ(r.display.lastRow, 0);
    EXPECT_EQ(r.display.lastRowText, "600.000");
    EXPECT_EQ(r.display.maxOverall, 0);
    EXPECT_EQ(r.display.volume, 0);  // full volume: the bar is cleared
}

TEST(Repair, NoRoomForOneVolume) {
    HandWrittenArchive a({{"a", test::RandomBytes(3000, 19)}}, 1000, 0);
    test::ArchiveRun run;
    run.settings.packagePath = a.VolumePath(1);
    run.settings.currentVolume = 2;
    ASSERT_TRUE(SeekToVolume(run.set).has_value());
    run.set.sourceDir = a.src();
    run.settings.targetPath = a.out() + "/package.002";
    // Room for the volume's share, not for a full volume.
    run.fs.freeBytes = a.volumeSize - 1;
    EXPECT_EQ(RunRepair(run.set), DriveOutcome::Stopped);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].text, texts::kNoSpace);
    EXPECT_EQ(run.display.messages[0].caption, "Tolvane");
    EXPECT_FALSE(test::FileExists(run.settings.targetPath));
    run.fs.freeBytes = a.volumeSize;
    EXPECT_EQ(RunRepair(run.set), DriveOutcome::Finished);
    EXPECT_TRUE(ReadFile(run.settings.targetPath) == a.volumes[1]);
}

TEST(Repair, NameBytesOfAnotherWriterAreWrittenAgainAsTheyWere) {
    // A header whose name bytes C3 A4 were meant as Windows-1252 ("Ã¤") but
    // read as UTF-8 ("ä"): encoded afresh they would become one byte, the
    // header one byte shorter and every data byte of the volume shifted.
    TempDir dir;
    const std::string data = test::RandomBytes(3000, 21);
    WriteFile(dir / "ä", data);
    const int64_t volumeSize = 2000;
    // "Ã¤" in Windows-1252 is C3 A4.
    std::vector<RecordSource> records = {{"Ã¤", 3000, {}}};
    records[0].lastWrite.year = 2001, records[0].lastWrite.month = 2, records[0].lastWrite.day = 3;
    std::string volumes[2];
    int64_t start = 0;
    for (int n = 1; n <= 2; ++n) {
        const std::string header = BuildHeader('K', n, 2, 3000, volumeSize, records);
        const int64_t capacity = volumeSize - static_cast<int64_t>(header.size());
        volumes[n - 1] = header + data.substr(start, capacity);
        start += capacity;
        WriteFile(dir / ("alt.00" + std::to_string(n)), volumes[n - 1]);
    }
    ASSERT_GE(start, 3000);
    ASSERT_NE(volumes[0].find("\xC3\xA4"), std::string::npos);
    for (int n = 1; n <= 2; ++n) {
        TempDir out;
        Fixture f;
        f.settings.packagePath = dir / ("alt.00" + std::to_string(3 - n));
        f.settings.currentVolume = n;
        ASSERT_TRUE(SeekToVolume(f.set).has_value());
        f.set.sourceDir = dir.path();
        f.settings.targetPath = RepairTargetPath(out.path(), f.settings.packagePath, n, 0);
        ASSERT_EQ(RunRepair(f.set), DriveOutcome::Finished);
        EXPECT_TRUE(ReadFile(f.settings.targetPath) == volumes[n - 1]) << n;
    }
}

// --- with the split writer ---

// An archive written by QuellDateien::Copy through the split driver, with its
// originals in src and the robot image beside them.
struct WrittenArchive {
    WrittenArchive(const std::vector<test::SourceFile>& files, int64_t volumeSize, bool sfx) {
        robot = robotDir / "Robot.dat";
        WriteFile(robot, test::RobotImage(6000, 77));
        test::ArchiveRun split;
        split.PrepareSplit(test::WriteSources(src.path(), files),
                           arc / (sfx ? "package.exe" : "package.001"), volumeSize, sfx, robot);
        EXPECT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
        volumes = split.SplitVolumes();
        golden = test::ReadAll(volumes);
    }
    int count() const { return static_cast<int>(volumes.size()); }

    TempDir src, arc, robotDir;
    std::string robot;
    std::vector<std::string> volumes;
    std::vector<std::string> golden;
};

// SeekToVolume on volume intact, then the repair page's "Starten" for volume
// n into folder out.
DriveOutcome RepairVolume(test::ArchiveRun& run, const WrittenArchive& a, int intact, int n,
                          const std::string& out) {
    run.settings.packagePath = a.volumes[intact - 1];
    run.settings.currentVolume = n;
    run.settings.robotPath = a.robot;
    if (!SeekToVolume(run.set)) return DriveOutcome::Stopped;
    run.set.sourceDir = a.src.path();
    run.settings.targetPath =
        RepairTargetPath(out, run.settings.packagePath, n, run.settings.selfExtracting);
    return RunRepair(run.set);
}

std::vector<test::SourceFile> RandomSources(std::mt19937& rng, int64_t scale) {
    std::vector<test::SourceFile> files;
    const int count = 1 + static_cast<int>(rng() % 7);
    for (int i = 0; i < count; ++i) {
        const int64_t sizes[] = {0, static_cast<int64_t>(rng() % 50),
                                 static_cast<int64_t>(rng() % scale),
                                 static_cast<int64_t>(rng() % (3 * scale))};
        files.push_back({"datei" + std::to_string(i) + (i % 3 == 1 ? "_ü" : ""),
                         test::RandomBytes(static_cast<size_t>(sizes[rng() % 4]), rng()),
                         1000000000 + i * 1000});
    }
    return files;
}

TEST(RepairWithTheWriter, EveryVolumeOfRandomSetsIsByteIdentical) {
    std::mt19937 rng(2024);
    int volumesRepaired = 0;
    for (int round = 0; round < 16; ++round) {
        const bool sfx = round % 2 == 1;
        const int64_t capacity = (sfx ? kStubAreaSize : 0) + 300 + rng() % 5000;
        WrittenArchive a(RandomSources(rng, capacity), capacity + 400, sfx);
        SCOPED_TRACE("round " + std::to_string(round));
        for (int n = 1; n <= a.count(); ++n) {
            TempDir out;
            test::ArchiveRun run;
            ASSERT_EQ(RepairVolume(run, a, a.count() + 1 - n, n, out.path()),
                      DriveOutcome::Finished)
                << "volume " << n;
            ASSERT_EQ(run.settings.targetPath,
                      out / std::filesystem::path(a.volumes[n - 1]).filename().string());
            EXPECT_TRUE(ReadFile(run.settings.targetPath) == a.golden[n - 1]) << "volume " << n;
            ++volumesRepaired;
        }
    }
    EXPECT_GT(volumesRepaired, 40);
}

TEST(RepairWithTheWriter, BoundaryOnTheVolumeStartAndTheHeaderOnlyVolume) {
    // Probe the header size, then make the data fill two volumes exactly, with
    // the file boundary on the start of volume 2. Sizes and total of the same
    // digit counts give the same header size.
    const int64_t volumeSize = 5000;
    TempDir probeDir;
    test::ArchiveRun probe;
    WriteFile(probeDir / "a", std::string(4000, 'a'));
    WriteFile(probeDir / "b", std::string(4000, 'b'));
    probe.PrepareSplit({probeDir / "a", probeDir / "b"}, probeDir / "x.001", volumeSize);
    const int64_t headerSize = probe.set.CalcHeaderSize();
    const int64_t capacity = volumeSize - headerSize;
    WrittenArchive a({{"a", test::RandomBytes(capacity, 1)}, {"b", test::RandomBytes(capacity, 2)}},
                     volumeSize, false);
    ASSERT_EQ(a.count(), 3);
    ASSERT_EQ(static_cast<int64_t>(a.golden[2].size()), headerSize);  // the header alone
    for (int n = 1; n <= 3; ++n) {
        TempDir out;
        test::ArchiveRun run;
        ASSERT_EQ(RepairVolume(run, a, 1 + n % 3, n, out.path()), DriveOutcome::Finished);
        EXPECT_TRUE(ReadFile(run.settings.targetPath) == a.golden[n - 1]) << n;
    }
    // The walk stops on a, complete; volume 2 lists it with nothing in it.
    test::ArchiveRun second;
    second.settings.packagePath = a.volumes[0];
    second.settings.currentVolume = 2;
    const auto rows = SeekToVolume(second.set);
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 2u);
    EXPECT_EQ((*rows)[0].slice, 0);
    EXPECT_EQ((*rows)[1].slice, capacity);
}

TEST(RepairWithTheWriter, TheTargetIsNeverAnInput) {
    WrittenArchive a({{"a", test::RandomBytes(9000, 3)}}, 4000, false);
    const std::string intact = ReadFile(a.volumes[1]);
    test::ArchiveRun run;
    // Volume 2 "repaired" over itself, read from itself.
    EXPECT_EQ(RepairVolume(run, a, 2, 2, a.arc.path()), DriveOutcome::Stopped);
    ASSERT_EQ(run.display.messages.size(), 1u);
    EXPECT_EQ(run.display.messages[0].text,
              "Der Datenträger „" + a.volumes[1] +
                  "“ würde den gewählten Datenträger oder eine der Originaldateien "
                  "überschreiben.\nBitte wählen Sie ein anderes Ziel!");
    EXPECT_EQ(ReadFile(a.volumes[1]), intact);
    // Writing over the damaged volume beside the intact one is the point.
    test::ArchiveRun beside;
    test::WriteFile(a.volumes[2], "beschädigt");
    EXPECT_EQ(RepairVolume(beside, a, 2, 3, a.arc.path()), DriveOutcome::Finished);
    EXPECT_TRUE(ReadFile(a.volumes[2]) == a.golden[2]);
}

// Every single failure of the medium during CopyRep, at every step of every
// volume, leads to the retry question; after Retry the volume is the writer's.
class RepairFaultCampaign : public ::testing::TestWithParam<bool> {};

TEST_P(RepairFaultCampaign, EveryFaultThenRetryGivesTheSameBytes) {
    const bool sfx = GetParam();
    WrittenArchive a({{"leer", ""},
                      {"ä-daten", test::RandomBytes(70000, 1)},
                      {"mitte", ""},
                      {"groß", test::RandomBytes(400000, 2)}},
                     (sfx ? kStubAreaSize : 0) + 120000, sfx);
    ASSERT_GE(a.count(), 3);
    const std::set<std::string> captions = {
        "QuellDateien::CopyRep::makeHeader", "QuellDateien::CopyRep::open",
        "QuellDateien::CopyRep::open2",      "QuellDateien::CopyRep::open3",
        "QuellDateien::CopyRep::read",       "QuellDateien::CopyRep::write"};
    const test::Fault faults[] = {test::Fault::OpenFails,          test::Fault::ReadFails,
                                  test::Fault::ReadReturnsNothing, test::Fault::ShortWrite,
                                  test::Fault::FlushFails,         test::Fault::StatFails};
    int runs = 0;
    for (int n = 1; n <= a.count(); ++n) {
        // The calls a clean repair of volume n makes after its SeekToVolume.
        TempDir cleanOut;
        test::ArchiveRun clean;
        clean.settings.packagePath = a.volumes[0];
        clean.settings.currentVolume = n;
        clean.settings.robotPath = a.robot;
        ASSERT_TRUE(SeekToVolume(clean.set));
        clean.set.sourceDir = a.src.path();
        clean.settings.targetPath = RepairTargetPath(cleanOut.path(), a.volumes[0], n, sfx);
        clean.fs.ResetCounts();
        ASSERT_EQ(RunRepair(clean.set), DriveOutcome::Finished);

        for (const test::Fault fault : faults) {
            for (int call = 1; call <= clean.fs.Calls(fault); ++call) {
                SCOPED_TRACE("volume " + std::to_string(n) + ", fault " +
                             std::to_string(static_cast<int>(fault)) + " at call " +
                             std::to_string(call));
                TempDir out;
                test::ArchiveRun run;
                run.settings.packagePath = a.volumes[0];
                run.settings.currentVolume = n;
                run.settings.robotPath = a.robot;
                ASSERT_TRUE(SeekToVolume(run.set));
                run.set.sourceDir = a.src.path();
                run.settings.targetPath = RepairTargetPath(out.path(), a.volumes[0], n, sfx);
                run.fs.ResetCounts();
                run.fs.Arm(fault, call);
                run.display.retryAnswers = {true};
                ASSERT_EQ(RunRepair(run.set), DriveOutcome::Finished);
                ASSERT_TRUE(run.fs.fired());
                ++runs;
                if (fault == test::Fault::StatFails) {
                    // Only the check that the target is no input asks; a
                    // target it cannot see does not exist yet.
                    EXPECT_TRUE(run.display.questions.empty());
                } else {
                    ASSERT_EQ(run.display.questions.size(), 1u);
                    EXPECT_EQ(run.display.questions[0].text,
                              "Fehler bei Datenträger#: " + std::to_string(n) +
                                  "\nLetztes Package/Diskette wiederholen");
                    ASSERT_FALSE(run.display.messages.empty());
                    EXPECT_EQ(captions.count(run.display.messages.back().caption), 1u)
                        << run.display.messages.back().caption;
                }
                EXPECT_TRUE(ReadFile(run.settings.targetPath) == a.golden[n - 1]);
                if (HasFailure()) return;
            }
        }
    }
    EXPECT_GT(runs, 30);
}

INSTANTIATE_TEST_SUITE_P(PlainAndSelfExtracting, RepairFaultCampaign, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "SelfExtracting" : "Plain"; });

}  // namespace
}  // namespace tolvane

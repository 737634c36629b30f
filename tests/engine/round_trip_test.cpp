// Round trips: files split into volumes and restored come back byte for byte
// with their times, whatever the set looks like and however the volumes
// travel (one folder, or one medium at a time).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>

#include "engine/drivers.h"
#include "engine/sizing.h"
#include "engine/volume_header.h"
#include "tests/support/archive_run.h"

namespace tolvane {
namespace {

using test::ArchiveRun;
using test::RandomBytes;
using test::SourceFile;
using test::TempDir;

struct Trip {
    std::vector<SourceFile> files;
    int64_t volumeSize = 0;
    bool selfExtracting = false;
    bool splitPerVolume = false;    // a target with room for one volume at a time
    bool restorePerVolume = false;  // one volume at hand at a time
};

std::string Describe(const Trip& t) {
    std::string s = "volumeSize " + std::to_string(t.volumeSize) +
                    (t.selfExtracting ? " sfx" : "") + (t.splitPerVolume ? " split/press" : "") +
                    (t.restorePerVolume ? " restore/press" : "") + ":";
    for (const SourceFile& f : t.files) s += " " + f.name + "=" + std::to_string(f.bytes.size());
    return s;
}

void RoundTrip(const Trip& t) {
    SCOPED_TRACE(Describe(t));
    TempDir src, volumes, drive, out;
    test::WriteFile(src / "Robot.dat", test::RobotImage(12345, 99));
    ArchiveRun split;
    split.PrepareSplit(test::WriteSources(src.path(), t.files),
                       volumes / (t.selfExtracting ? "package.exe" : "package.001"), t.volumeSize,
                       t.selfExtracting, src / "Robot.dat");
    if (t.splitPerVolume) split.fs.freeBytes = t.volumeSize;
    int presses = 0;
    ASSERT_EQ(split.SplitToEnd(&presses), DriveOutcome::Finished);
    ASSERT_TRUE(split.display.messages.empty()) << split.display.messages[0].text;
    const std::vector<std::string> names = split.SplitVolumes();
    for (const std::string& v : names) ASSERT_TRUE(test::FileExists(v)) << v;
    EXPECT_FALSE(test::FileExists(VolumeName(names.back(), split.settings.volumeCount + 1, false)));
    if (t.splitPerVolume && split.settings.volumeCount > 1) {
        EXPECT_EQ(presses, split.settings.volumeCount);
    }

    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    ArchiveRun run(true);
    ASSERT_TRUE(run.PrepareRestore(names.back(), out.path()));
    if (!t.restorePerVolume) {
        ASSERT_EQ(run.RestoreToEnd(variant), DriveOutcome::Finished);
    } else {
        // Volumes arrive one at a time in the "drive".
        run.settings.packagePath = drive / std::filesystem::path(names[0]).filename().string();
        DriveOutcome outcome = DriveOutcome::WaitingForNextMedium;
        for (size_t v = 0; v < names.size() && outcome == DriveOutcome::WaitingForNextMedium; ++v) {
            for (const std::string& n : names) {
                ::unlink((drive / std::filesystem::path(n).filename().string()).c_str());
            }
            const std::string name = std::filesystem::path(names[v]).filename().string();
            ASSERT_EQ(::link(names[v].c_str(), (drive / name).c_str()), 0);
            outcome = RestoreStep(run.set, variant);
        }
        ASSERT_EQ(outcome, DriveOutcome::Finished);
    }
    EXPECT_TRUE(run.display.messages.empty());
    EXPECT_TRUE(run.display.questions.empty());
    EXPECT_EQ(run.set.current, nullptr);
    EXPECT_LE(run.settings.currentVolume, run.settings.volumeCount + 1);
    EXPECT_EQ(run.set.bytesDone, run.set.totalSize);
    for (const SourceFile& f : t.files) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(test::ReadFile(out / f.name), f.bytes);
        EXPECT_EQ(test::MtimeNanos(out / f.name),
                  f.mtime * 1000000000 + f.mtimeNanos / 1000000 * 1000000);
    }
}

// The header length of a set depends on the digits of its sizes only; this
// gives the data capacity of a volume for a set shaped like files.
int64_t Capacity(std::vector<SourceFile> files, int64_t volumeSize) {
    TempDir dir;
    ArchiveRun probe;
    probe.PrepareSplit(test::WriteSources(dir.path(), files), dir / "p.001", volumeSize);
    return volumeSize - probe.set.headerSize;
}

TEST(RoundTrip, EmptyFilesFirstMiddleAndLast) {
    for (const bool perVolume : {false, true}) {
        RoundTrip({{{"erste leer", ""},
                    {"daten1", RandomBytes(5000, 1)},
                    {"mitte leer", ""},
                    {"daten2", RandomBytes(3000, 2)},
                    {"letzte leer", ""},
                    {"ganz am Ende", ""}},
                   2048,
                   false,
                   perVolume,
                   perVolume});
    }
}

TEST(RoundTrip, FileAcrossThreeVolumes) {
    RoundTrip({{{"a", RandomBytes(100, 1)}, {"über drei", RandomBytes(7000, 2)}, {"z", "z"}},
               3000,
               false,
               false,
               true});
}

TEST(RoundTrip, DataEndingExactlyOnAVolumeBoundary) {
    const std::vector<SourceFile> shape = {{"a", std::string(1000, 'x')},
                                           {"b", std::string(1000, 'x')}};
    const int64_t capacity = Capacity(shape, 2000);
    for (const bool trailingEmpty : {false, true}) {
        std::vector<SourceFile> files = {{"a", RandomBytes(1000, 1)},
                                         {"b", RandomBytes(2 * capacity - 1000, 2)}};
        if (trailingEmpty) files.push_back({"leer", ""});
        for (const bool perVolume : {false, true}) {
            RoundTrip({files, 2000, false, perVolume, perVolume});
        }
    }
}

TEST(RoundTrip, NamesWithUmlautsAndOtherScripts) {
    RoundTrip({{{"Übersicht ä ö ü ß.txt", RandomBytes(700, 1)},
                {"Preis 5 €.txt", RandomBytes(10, 2)},
                {"日本語.txt", RandomBytes(1500, 3)},
                {"naïve café", ""}},
               1024});
}

TEST(RoundTrip, SelfExtractingSets) {
    RoundTrip({{{"a", RandomBytes(150000, 1)}, {"leer", ""}, {"b", RandomBytes(45000, 2)}},
               70000,
               true,
               false,
               false});
    RoundTrip({{{"a", RandomBytes(150000, 1)}, {"b", RandomBytes(45000, 2)}, {"leer", ""}},
               70000,
               true,
               true,
               true});
    RoundTrip({{{"klein", "x"}}, 100000, true});
}

TEST(RoundTrip, RandomSets) {
    const std::vector<std::string> pool = {"a.txt",   "Bericht.doc", "größe.bin", "Ärger",
                                           "data",    "x y z",       "Ölfass",    "€uro",
                                           "日記.md", "README",      "n",         "ß"};
    std::mt19937 rng(20240611);
    for (int round = 0; round < 40; ++round) {
        Trip t;
        t.selfExtracting = round % 5 == 4;
        t.volumeSize = t.selfExtracting ? 68000 + rng() % 40000 : 1500 + rng() % 6000;
        std::set<std::string> used;
        const int count = 1 + static_cast<int>(rng() % 7);
        for (int i = 0; i < count; ++i) {
            std::string name;
            do name = pool[rng() % pool.size()];
            while (!used.insert(name).second);
            const int kind = static_cast<int>(rng() % 4);
            const size_t size = kind == 0   ? 0
                                : kind == 1 ? rng() % 300
                                            : rng() % static_cast<size_t>(3 * t.volumeSize);
            t.files.push_back({name, RandomBytes(size, rng()),
                               static_cast<int64_t>(300000000 + rng() % 1000000000),
                               static_cast<int64_t>(rng() % 1000000000)});
        }
        t.splitPerVolume = rng() % 2 == 0;
        t.restorePerVolume = rng() % 2 == 0;
        RoundTrip(t);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace tolvane

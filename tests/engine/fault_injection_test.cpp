// Nothing is lost: every single failure of the medium, at every step of a
// split or a restore, leads to the retry question (or to a flow that needs
// none), and after Retry the result is exactly that of a clean run. Also a
// real full medium, freed while the retry question is open.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <set>

#include "engine/drivers.h"
#include "tests/support/archive_run.h"

namespace tolvane {
namespace {

using test::ArchiveRun;
using test::Fault;
using test::RandomBytes;
using test::SourceFile;
using test::TempDir;

const std::vector<Fault> kFaults = {Fault::OpenFails,  Fault::ReadFails,  Fault::ReadReturnsNothing,
                                    Fault::ShortWrite, Fault::FlushFails, Fault::StatFails};

const char* FaultName(Fault f) {
    switch (f) {
        case Fault::OpenFails:
            return "open fails";
        case Fault::ReadFails:
            return "read fails";
        case Fault::ReadReturnsNothing:
            return "read returns nothing";
        case Fault::ShortWrite:
            return "short write";
        case Fault::FlushFails:
            return "flush fails";
        case Fault::StatFails:
            return "size query fails";
        case Fault::SetTimeFails:
            return "time cannot be set";
    }
    return "";
}

const std::set<std::string> kSplitCaptions = {
    "QuellDateien::Copy::makeHeader", "QuellDateien::Copy::open", "QuellDateien::copy::open2",
    "QuellDateien::Copy::open3",      "QuellDateien::Copy::read", "QuellDateien::Copy::write"};

const std::set<std::string> kRestoreCaptions = {
    "QuellDateien::CheckDisk",       "CopyBack::FileSize",
    "QuellDateien::CopyBack::open",  "QuellDateien::CopyBack::open2",
    "QuellDateien::CopyBack::open3", "QuellDateien::CopyBack::read",
    "QuellDateien::CopyBack::write", "QuellDateien::CopyBack::CreateFile"};

const std::vector<SourceFile> kFiles = {{"leer am Anfang", "", 1000000000, 1000000},
                                        {"ä-daten", RandomBytes(70000, 1), 1100000000, 2000000},
                                        {"mitte", "", 1200000000},
                                        {"groß", RandomBytes(200000, 2), 1300000000, 999000000},
                                        {"ende", "", 1400000000}};

class FaultCampaign : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        selfExtracting_ = GetParam();
        test::WriteFile(src_ / "Robot.dat", test::RobotImage(20000, 5));
        paths_ = test::WriteSources(src_.path(), kFiles);
    }
    void PrepareSplit(ArchiveRun& run, const TempDir& target) {
        run.PrepareSplit(paths_, target / (selfExtracting_ ? "package.exe" : "package.001"), 100000,
                         selfExtracting_, src_ / "Robot.dat");
    }
    bool selfExtracting_ = false;
    TempDir src_;
    std::vector<std::string> paths_;
};

TEST_P(FaultCampaign, SplitSurvivesEveryFault) {
    TempDir cleanDir;
    ArchiveRun clean;
    PrepareSplit(clean, cleanDir);
    clean.fs.ResetCounts();
    ASSERT_EQ(clean.SplitToEnd(), DriveOutcome::Finished);
    const std::vector<std::string> golden = test::ReadAll(clean.SplitVolumes());
    ASSERT_GE(golden.size(), 3u);

    int runs = 0;
    for (const Fault fault : kFaults) {
        const int calls = clean.fs.Calls(fault);
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE(std::string(FaultName(fault)) + " at call " + std::to_string(n));
            TempDir target;
            ArchiveRun run;
            PrepareSplit(run, target);
            run.fs.ResetCounts();
            run.fs.Arm(fault, n);
            run.display.retryAnswers = {true};
            DriveOutcome outcome = run.SplitToEnd();
            const bool robotCheckStopped = outcome == DriveOutcome::Stopped;
            ASSERT_TRUE(run.fs.fired());
            ++runs;
            if (robotCheckStopped) {
                // The robot image is read and checked before anything is
                // written: a failure there stops the press with its message,
                // and the next press writes the set.
                ASSERT_TRUE(GetParam());
                ASSERT_EQ(run.display.messages.size(), 1u);
                EXPECT_EQ(run.display.messages[0].caption.rfind("QuellDateien::makeHeader (", 0),
                          0u);
                EXPECT_FALSE(test::FileExists(target / "package.exe"));
                outcome = run.SplitToEnd();
                run.display.messages.clear();
            }
            ASSERT_EQ(outcome, DriveOutcome::Finished);
            if (run.display.questions.empty()) {
                // Only the check for volumes that would overwrite a chosen
                // file asks for sizes before the first volume; it cannot
                // refuse what it cannot see.
                // Nor can the check of the robot image that makeHeader
                // reads again.
                EXPECT_TRUE(robotCheckStopped || fault == Fault::StatFails ||
                            (GetParam() && fault == Fault::OpenFails && n == 1))
                    << FaultName(fault);
                EXPECT_TRUE(run.display.messages.empty());
            } else {
                ASSERT_EQ(run.display.questions.size(), 1u);
                EXPECT_EQ(run.display.questions[0].caption, "Tolvane");
                EXPECT_EQ(run.display.questions[0].text.rfind("Fehler bei Datenträger#: ", 0), 0u);
                ASSERT_FALSE(run.display.messages.empty());
                EXPECT_EQ(kSplitCaptions.count(run.display.messages.back().caption), 1u)
                    << run.display.messages.back().caption;
            }
            EXPECT_EQ(test::ReadAll(run.SplitVolumes()), golden);
            EXPECT_EQ(run.set.bytesDone, run.set.totalSize);
            EXPECT_LE(run.display.maxOverall, 100);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(runs, 30);
}

TEST_P(FaultCampaign, RestoreSurvivesEveryFault) {
    TempDir volumes;
    ArchiveRun split;
    PrepareSplit(split, volumes);
    ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
    const std::string first = split.SplitVolumes().front();
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;

    TempDir cleanOut;
    ArchiveRun clean;
    ASSERT_TRUE(clean.PrepareRestore(first, cleanOut.path()));
    clean.fs.ResetCounts();
    ASSERT_EQ(clean.RestoreToEnd(variant), DriveOutcome::Finished);

    int runs = 0;
    for (const Fault fault : kFaults) {
        const int calls = clean.fs.Calls(fault);
        for (int n = 1; n <= calls; ++n) {
            SCOPED_TRACE(std::string(FaultName(fault)) + " at call " + std::to_string(n));
            TempDir out;
            ArchiveRun run;
            ASSERT_TRUE(run.PrepareRestore(first, out.path()));
            run.fs.ResetCounts();
            run.fs.Arm(fault, n);
            run.display.retryAnswers = {true};
            int presses = 0;
            ASSERT_EQ(run.RestoreToEnd(variant, &presses), DriveOutcome::Finished);
            ASSERT_TRUE(run.fs.fired());
            ++runs;
            if (run.display.questions.empty()) {
                // The presence test saw a volume as missing (the restore then
                // went on volume by volume), or the check for outputs that
                // would overwrite a volume could not see a file.
                EXPECT_TRUE(fault == Fault::OpenFails || fault == Fault::StatFails);
                if (fault == Fault::OpenFails) {
                    EXPECT_GT(presses, 1);
                }
                EXPECT_TRUE(run.display.messages.empty());
            } else {
                ASSERT_EQ(run.display.questions.size(), 1u);
                EXPECT_EQ(run.display.questions[0].caption, "Tolvane");
                // A volume whose header cannot be read is a wrong volume: the
                // question alone.
                if (!run.display.messages.empty()) {
                    EXPECT_EQ(kRestoreCaptions.count(run.display.messages.back().caption), 1u)
                        << run.display.messages.back().caption;
                }
            }
            for (const SourceFile& f : kFiles) {
                EXPECT_EQ(test::ReadFile(out / f.name), f.bytes) << f.name;
                EXPECT_EQ(test::MtimeNanos(out / f.name),
                          f.mtime * 1000000000 + f.mtimeNanos / 1000000 * 1000000)
                    << f.name;
            }
            EXPECT_EQ(run.set.bytesDone, run.set.totalSize);
            EXPECT_LE(run.display.maxOverall, 100);
            if (HasFailure()) return;
        }
    }
    EXPECT_GT(runs, 30);
}

INSTANTIATE_TEST_SUITE_P(PlainAndSelfExtracting, FaultCampaign, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "SelfExtracting" : "Plain"; });

// --- a real full medium ---

// Lowers the file size limit of the process (as "ulimit -f" does); writes
// beyond it fail as on a full medium. Restored when the guard ends.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        Set(bytes);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, oldHandler_);
    }
    void Lift() { Set(saved_.rlim_max); }

  private:
    void Set(rlim_t bytes) {
        rlimit r = saved_;
        r.rlim_cur = std::min(bytes, saved_.rlim_max);
        ::setrlimit(RLIMIT_FSIZE, &r);
    }
    rlimit saved_{};
    sighandler_t oldHandler_ = SIG_DFL;
};

TEST(FullMedium, FileSizeLimitThenRetryAfterItIsLifted) {
    TempDir src, clean, target, out;
    const std::vector<SourceFile> files = {{"a", RandomBytes(300000, 1)},
                                           {"b", RandomBytes(150000, 2)}};
    const auto paths = test::WriteSources(src.path(), files);
    ArchiveRun reference;
    reference.PrepareSplit(paths, clean / "package.001", 200000);
    ASSERT_EQ(reference.SplitToEnd(), DriveOutcome::Finished);

    ArchiveRun split(true);
    split.PrepareSplit(paths, target / "package.001", 200000);
    {
        FileSizeLimit limit(150000);
        split.display.retryAnswers = {true};
        split.display.onAsk = [&] { limit.Lift(); };
        ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
    }
    ASSERT_EQ(split.display.messages.size(), 1u);
    EXPECT_EQ(split.display.messages[0].caption, "QuellDateien::Copy::write");
    EXPECT_EQ(split.display.questions.size(), 1u);
    EXPECT_EQ(test::ReadAll(split.SplitVolumes()), test::ReadAll(reference.SplitVolumes()));

    ArchiveRun restore(true);  // the kernel's copy runs into the limit
    ASSERT_TRUE(restore.PrepareRestore(target / "package.001", out.path()));
    {
        FileSizeLimit limit(100000);
        restore.display.retryAnswers = {true};
        restore.display.onAsk = [&] { limit.Lift(); };
        ASSERT_EQ(restore.RestoreToEnd(), DriveOutcome::Finished);
    }
    ASSERT_EQ(restore.display.messages.size(), 1u);
    EXPECT_EQ(restore.display.messages[0].caption, "QuellDateien::CopyBack::write");
    EXPECT_EQ(test::ReadFile(out / "a"), files[0].bytes);
    EXPECT_EQ(test::ReadFile(out / "b"), files[1].bytes);
}

// A small file system of its own (tmpfs in a private mount namespace; needs
// root). It fills up while a volume is written; the retry question frees it.
class SmallFileSystem {
  public:
    explicit SmallFileSystem(const std::string& at) : at_(at) {
        if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) return;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    // Takes every free byte with a filler file.
    void Fill() {
        std::ofstream filler(at_ + "/filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size())) filler.flush();
    }
    void Free() { ::unlink((at_ + "/filler").c_str()); }

  private:
    std::string at_;
    bool mounted_ = false;
};

TEST(FullMedium, SmallFileSystemFillsUpThenRetryAfterSpaceIsFreed) {
    TempDir src, clean, mountPoint;
    SmallFileSystem small(mountPoint.path());
    if (!small.mounted()) GTEST_SKIP() << "no private tmpfs (needs root)";
    const std::vector<SourceFile> files = {{"a", RandomBytes(400000, 1)},
                                           {"b", RandomBytes(200000, 2)}};
    const auto paths = test::WriteSources(src.path(), files);
    ArchiveRun reference;
    reference.PrepareSplit(paths, clean / "package.001", 300000);
    ASSERT_EQ(reference.SplitToEnd(), DriveOutcome::Finished);

    ArchiveRun split(true);
    split.PrepareSplit(paths, mountPoint / "package.001", 300000);
    bool filled = false;
    split.display.onRepaint = [&] {
        if (!filled) small.Fill(), filled = true;
    };
    split.display.onAsk = [&] { small.Free(); };
    split.display.retryAnswers = {true};
    ASSERT_EQ(split.SplitToEnd(), DriveOutcome::Finished);
    ASSERT_EQ(split.display.messages.size(), 1u);
    EXPECT_EQ(split.display.messages[0].caption, "QuellDateien::Copy::write");
    EXPECT_EQ(test::ReadAll(split.SplitVolumes()), test::ReadAll(reference.SplitVolumes()));
    for (const std::string& v : split.SplitVolumes()) ::unlink(v.c_str());

    ArchiveRun restore(true);
    ASSERT_TRUE(restore.PrepareRestore(clean / "package.001", mountPoint.path()));
    filled = false;
    restore.display.onRepaint = [&] {
        if (!filled) small.Fill(), filled = true;
    };
    restore.display.onAsk = [&] { small.Free(); };
    restore.display.retryAnswers = {true};
    ASSERT_EQ(restore.RestoreToEnd(), DriveOutcome::Finished);
    ASSERT_EQ(restore.display.messages.size(), 1u);
    EXPECT_EQ(restore.display.messages[0].caption, "QuellDateien::CopyBack::write");
    EXPECT_EQ(test::ReadFile(mountPoint / "a"), files[0].bytes);
    EXPECT_EQ(test::ReadFile(mountPoint / "b"), files[1].bytes);
}

}  // namespace
}  // namespace tolvane

// Not a test: the archiver's wizards against tolvane-cli on the same data,
// offscreen, in interleaved rounds (the order alternates), each side followed
// by a sync of the file system it wrote. The window shows progress as often
// as the program does for a user, not after every chunk as in the tests. Prints the median times
// and the median ratio GUI / CLI. Run by hand: build/bin/gui_bench.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "tests/gui/wizard_test_support.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"

namespace tolvane::ui {
namespace {

using test::Source;
using test::TempDir;
using test::WizardFixture;
using Clock = std::chrono::steady_clock;

constexpr int kRounds = 5;

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    ::syncfs(fd);
    ::close(fd);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times of the GUI and the CLI side in each round; prints the summary.
void Report(const char* what, const std::vector<double>& gui, const std::vector<double>& cli) {
    std::vector<double> ratios;
    for (size_t i = 0; i < gui.size(); ++i) ratios.push_back(gui[i] / cli[i]);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    std::printf("| %s | %.2f s | %.2f s | **%.3f** (%.3f–%.3f) |\n", what, Median(gui), Median(cli),
                Median(ratios), *lo, *hi);
}

std::vector<Source> SmallFiles() {
    std::vector<Source> files;
    for (int i = 1; i <= 9999; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "f%05d.txt", i);
        files.push_back({name, tolvane::test::RandomBytes(100 + i % 50, i), 1600000000});
    }
    return files;
}

std::vector<Source> LargeFiles() {
    return {{"a.bin", tolvane::test::RandomBytes(96 << 20, 1), 1600000000},
            {"b.bin", std::string(32 << 20, '\0'), 1600000000},
            {"c.txt", "tiny", 1600000000}};
}

// Interleaved rounds of one operation: reach(fixture, out) leads the window
// to the page where Start does it into out, cli(out) gives the command line's
// arguments for the same. Each side is timed to the end of a sync of out.
void Rounds(const char* what, const std::string& dir,
            const std::function<void(WizardFixture&, const std::string&)>& reach,
            const std::function<std::vector<std::string>(const std::string&)>& cli) {
    std::vector<double> guiTimes, cliTimes;
    for (int r = 0; r < kRounds; ++r) {
        for (int side = 0; side < 2; ++side) {
            const bool isGui = (side + r) % 2 == 0;
            const std::string out = dir + "/" + (isGui ? "g" : "c") + std::to_string(r);
            std::filesystem::create_directories(out);
            ::sync();
            if (isGui) {
                WizardFixture f(WindowOptions{}.progressInterval);
                // The file layer of the tests passes everything to the
                // real one, as the program's own would.
                f.fs.passCopiesThrough = true;
                f.fs.syncToMedium = true;
                reach(f, out);
                const auto start = Clock::now();
                f.Press(id::kStart);
                SyncFolder(out);
                guiTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
                ASSERT_EQ(f.w().pageType(), kCompletionPage);
            } else {
                const std::vector<std::string> args = cli(out);
                const auto start = Clock::now();
                ASSERT_EQ(test::RunCli(args), 0);
                SyncFolder(out);
                cliTimes.push_back(std::chrono::duration<double>(Clock::now() - start).count());
            }
        }
    }
    Report(what, guiTimes, cliTimes);
}

void Restore(const char* what, const std::vector<Source>& files) {
    TempDir dir;
    std::filesystem::create_directories(dir / "src");
    const std::string first = dir / "arch/package.001";
    std::filesystem::create_directories(dir / "arch");
    ASSERT_FALSE(test::CliSplit(test::WriteSources(dir / "src", files), first, "1.44M").empty());
    Rounds(
        what, dir.path(),
        [&](WizardFixture& f, const std::string& out) {
            f.Press(id::kExtractButton);
            f.ChoosePackage(first, id::kSourceHardDisk);
            f.ChooseRestoreFolder(out);
            f.Press(id::kNext);
        },
        [&](const std::string& out) {
            return std::vector<std::string>{"extract", first, "-d", out};
        });
}

void Split(const char* what, const std::vector<Source>& files) {
    TempDir dir;
    std::filesystem::create_directories(dir / "src");
    const std::vector<std::string> paths = test::WriteSources(dir / "src", files);
    const std::vector<std::string> reversed(paths.rbegin(), paths.rend());
    Rounds(
        what, dir.path(),
        [&](WizardFixture& f, const std::string& out) {
            f.w().Command(kMenuCreate);
            f.ChooseSources(paths);
            f.ChooseTarget(out + "/package.001", id::kTargetHardDisk);
            f.Press(id::kNext);
        },
        [&](const std::string& out) {
            std::vector<std::string> args = {"split", "--size", "1.44M", "-o",
                                             out + "/package.001"};
            args.insert(args.end(), reversed.begin(), reversed.end());
            return args;
        });
}

// The repair road's rebuild against tolvane-cli rebuild: each side gets its
// own copy of a set with recovery data for three volumes, three of them gone.
void Rebuild(const char* what, const std::vector<Source>& files) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir / "src");
    fs::create_directories(dir / "arch");
    const std::vector<std::string> paths = test::WriteSources(dir / "src", files);
    std::vector<std::string> args = {
        "split", "--size", "1.44M", "--recovery", "3", "-o", dir / "arch/package.001"};
    args.insert(args.end(), paths.begin(), paths.end());
    ASSERT_EQ(test::RunCli(args), 0);
    auto spoiled = [&](const std::string& out) {
        fs::copy(dir / "arch", out, fs::copy_options::recursive);
        for (const char* lost : {"package.002", "package.030", "package.071"}) {
            fs::remove(out + "/" + lost);
        }
    };
    Rounds(
        what, dir.path(),
        [&](WizardFixture& f, const std::string& out) {
            spoiled(out);
            f.w().Command(kMenuRepair);
            f.Press(id::kRecoveryRoad);
            f.ChoosePackage(out + "/package.par2", id::kSourceHardDisk);
        },
        [&](const std::string& out) {
            spoiled(out);
            return std::vector<std::string>{"rebuild", out + "/package.001"};
        });
}

TEST(GuiBench, RebuildAgainstTheCommandLine) {
    std::printf("| Operation (1.44 MB volumes) | GUI | CLI | GUI / CLI: median (spread) |\n");
    std::printf("|---|---|---|---|\n");
    Rebuild("rebuild of 3 of 94 volumes, 128 MiB in 3 files", LargeFiles());
}

TEST(GuiBench, AgainstTheCommandLine) {
    std::printf("| Operation (1.44 MB volumes) | GUI | CLI | GUI / CLI: median (spread) |\n");
    std::printf("|---|---|---|---|\n");
    Split("split, 128 MiB in 3 files", LargeFiles());
    Restore("restore, 128 MiB in 3 files", LargeFiles());
    Split("split, 9,999 files of 100–149 bytes", SmallFiles());
    Restore("restore, 9,999 files of 100–149 bytes", SmallFiles());
}

}  // namespace
}  // namespace tolvane::ui

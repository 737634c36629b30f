#include "engine/sizing.h"

#include <gtest/gtest.h>

#include "engine/texts.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::TempDir;
using test::WriteFile;

TEST(VolumeCount, FollowsTheFormulaAtItsEdges) {
    // One file of exactly one volume's size needs a second volume.
    EXPECT_EQ(ComputeVolumeCount(1441792, 1, 60, 1441792, 0).volumeCount, 2);
    // Data of exactly twice the capacity: a third, header-only volume.
    EXPECT_EQ(ComputeVolumeCount(2 * (1441792 - 60), 1, 60, 1441792, 0).volumeCount, 3);
    EXPECT_EQ(ComputeVolumeCount(2 * (1441792 - 60) - 1, 1, 60, 1441792, 0).volumeCount, 2);
    // The worked extraction example: 70 bytes, header 60, volume 100.
    EXPECT_EQ(ComputeVolumeCount(70, 2, 60, 100, 0).volumeCount, 2);
    // Self-extracting adds the stub area to the data and to the size shown.
    const auto plain = ComputeVolumeCount(1441792 - 60 - 1000, 1, 60, 1441792, 0);
    const auto sfx = ComputeVolumeCount(1441792 - 60 - 1000, 1, 60, 1441792, 1);
    EXPECT_EQ(plain.volumeCount, 1);
    EXPECT_EQ(sfx.volumeCount, 2);
    EXPECT_EQ(sfx.shownSize, plain.shownSize + 66560);
    // An empty list shows 0; a list of empty files is one volume.
    EXPECT_EQ(ComputeVolumeCount(0, 0, 21, 1441792, 0).volumeCount, 0);
    EXPECT_EQ(ComputeVolumeCount(0, 3, 80, 1441792, 0).volumeCount, 1);
    // No room behind the header: no count (and no division by zero).
    EXPECT_EQ(ComputeVolumeCount(100, 1, 200, 200, 0).volumeCount, 0);
    EXPECT_EQ(ComputeVolumeCount(100, 1, 200, 150, 0).volumeCount, 0);
}

TEST(VolumeCount, UpdateVolumeCountRecomputesTheHeaderFirst) {
    TempDir dir;
    WriteFile(dir / "a", std::string(1000, 'a'));
    Fixture f;
    f.set.sourceDir = dir.path();
    f.set.AddFile("a");
    f.settings.volumeSize = 1441792;
    auto r = UpdateVolumeCount(f.set);
    const int64_t bigHeader = f.set.headerSize;
    EXPECT_EQ(r.volumeCount, 1);
    EXPECT_EQ(f.settings.volumeCount, 1);
    f.settings.volumeSize = 100000;  // one digit shorter
    r = UpdateVolumeCount(f.set);
    EXPECT_EQ(f.set.headerSize, bigHeader - 1);
}

TEST(SplitLimits, RefusesWhatTheHeaderOrTheNamesCannotHold) {
    TempDir dir;
    WriteFile(dir / "a", std::string(1000000, 'a'));
    Fixture f;
    EXPECT_EQ(CheckSplitLimits(f.set), texts::kEmptyList);
    f.set.sourceDir = dir.path();
    f.set.AddFile("a");
    f.settings.volumeSize = 1441792;
    EXPECT_EQ(CheckSplitLimits(f.set), "");
    // With a four-digit volume size the header is 55 bytes long.
    f.settings.volumeSize = 1000;
    f.set.CalcHeaderSize();
    ASSERT_EQ(f.set.headerSize, 55);
    f.settings.volumeSize = 1056;  // capacity 1001: 1000 volumes
    EXPECT_EQ(CheckSplitLimits(f.set), texts::kTooManyVolumes);
    f.settings.volumeSize = 1057;  // capacity 1002: 999 volumes
    EXPECT_EQ(CheckSplitLimits(f.set), "");
    f.settings.volumeSize = 53;  // header of 53 bytes fills the volume
    EXPECT_EQ(CheckSplitLimits(f.set), texts::kVolumeTooSmall);
    // Self-extracting: the first volume must hold the stub area and the
    // 56-byte header with room to spare.
    f.settings.selfExtracting = 1;
    f.settings.volumeSize = 66616;
    EXPECT_EQ(CheckSplitLimits(f.set), texts::kVolumeTooSmall);
    f.settings.volumeSize = 66617;
    EXPECT_EQ(CheckSplitLimits(f.set), "");
}

TEST(SplitLimits, RefusesMoreThan9999Files) {
    TempDir dir;
    WriteFile(dir / "x", "");
    Fixture f;
    f.set.sourceDir = dir.path();
    for (int i = 0; i < 10000; ++i) f.set.AddFile("x");
    EXPECT_EQ(CheckSplitLimits(f.set), texts::kTooManyFiles);
}

TEST(CustomSize, StepsAreTakenOnlyAboveTheStubArea) {
    int64_t v = 100000;
    v = ApplySizeStep(v, -10240);
    EXPECT_EQ(v, 89760);
    v = ApplySizeStep(v, -10240);
    EXPECT_EQ(v, 79520);
    v = ApplySizeStep(v, -10240);
    EXPECT_EQ(v, 69280);
    v = ApplySizeStep(v, -10240);
    EXPECT_EQ(v, 69280);
    EXPECT_EQ(ApplySizeStep(67584, -1024), 67584);
    EXPECT_EQ(ApplySizeStep(67585, -1024), 66561);
    EXPECT_EQ(ApplySizeStep(1441792, 104857600), 106299392);
}

TEST(FormatThousandsTest, GroupsOfThreeDigits) {
    EXPECT_EQ(FormatThousands(0), "0");
    EXPECT_EQ(FormatThousands(123), "123");
    EXPECT_EQ(FormatThousands(1000), "1.000");
    EXPECT_EQ(FormatThousands(1200000), "1.200.000");
    EXPECT_EQ(FormatThousands(99614720), "99.614.720");
    EXPECT_EQ(FormatThousands(INT64_MAX), "9.223.372.036.854.775.807");
    EXPECT_EQ(FormatThousands(-1234), "-1.234");
}

TEST(RootOfPathTest, DriveAndNetworkPathsByText) {
    EXPECT_EQ(RootOfPathText("A:\\package.001"), "A:\\");
    EXPECT_EQ(RootOfPathText("C:\\dir\\file"), "C:\\");
    EXPECT_EQ(RootOfPathText("\\\\server\\share\\dir\\file"), "\\\\server\\share\\");
    EXPECT_EQ(RootOfPathText("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(RootOfPathText("C:"), "C:");
    EXPECT_EQ(RootOfPathText("relative\\x"), "relative\\x");
}

TEST(RootOfPathTest, PosixPathsYieldTheirMountPoint) {
    auto& fs = platform::NativeFileSystem();
    EXPECT_EQ(RootOfPath(fs, "/"), "/");
    // /proc is a file system of its own on every Linux machine.
    EXPECT_EQ(RootOfPath(fs, "/proc/self/status"), "/proc");
    // A file that does not exist yet is asked about through its folder.
    TempDir dir;
    const std::string root = RootOfPath(fs, dir / "not-yet/package.001");
    EXPECT_EQ(root, fs.MountPointOf(dir.path()));
    EXPECT_EQ(RootOfPath(fs, "C:\\x\\y"), "C:\\");
}

TEST(FreeSpace, AskTheFileSystemOfTheTarget) {
    auto& fs = platform::NativeFileSystem();
    TempDir dir;
    EXPECT_EQ(HasFreeSpace(fs, dir.path(), 1), 1);
    EXPECT_EQ(HasFreeSpace(fs, dir.path(), INT64_MAX), 0);
    Fixture f;
    f.settings.targetPath = dir / "package.001";
    WriteFile(dir / "a", std::string(10, 'a'));
    f.set.sourceDir = dir.path();
    f.set.AddFile("a");
    f.settings.volumeCount = 1;
    EXPECT_EQ(SetFits(f.set), 1);
    EXPECT_EQ(VolumeFits(f.set), 1);
    EXPECT_EQ(AllVolumesFit(f.set), 1);
    f.settings.volumeSize = INT64_MAX;
    EXPECT_EQ(VolumeFits(f.set), 0);
}

}  // namespace
}  // namespace tolvane

#include "engine/package_info.h"

#include <gtest/gtest.h>

#include "engine/archive_set.h"
#include "engine/texts.h"
#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

TEST(PackageInfo, ShowsAnyVolumeWithTheWholeTable) {
    TempDir dir;
    WriteFile(dir / "eins.txt", std::string(1200000, '1'));
    WriteFile(dir / "zwei.txt", "22");
    WriteFile(dir / "Robot.dat", test::RobotImage(200, 1));
    Fixture w;
    w.set.AddFileAtEnd(dir / "eins.txt");
    w.set.AddFileAtEnd(dir / "zwei.txt");
    w.settings.volumeCount = 5;
    w.settings.selfExtracting = 1;
    w.settings.robotPath = dir / "Robot.dat";
    ASSERT_EQ(w.set.makeHeader(dir / "package.exe", 1), 1);
    ASSERT_EQ(w.set.makeHeader(dir / "package.003", 3), 1);
    // The same volume under a name in capitals is read behind the stub area too.
    WriteFile(dir / "PACKAGE.EXE", ReadFile(dir / "package.exe"));
    Fixture untouched;
    untouched.settings.packagePath = "/keep/package.001";
    untouched.settings.volumeCount = 7;

    for (const char* name : {"package.003", "package.exe", "PACKAGE.EXE"}) {
        const PackageInfo info = DiskInfoReadHeader(platform::NativeFileSystem(), dir / name);
        ASSERT_EQ(info.status, PackageInfo::Status::Ok) << name;
        EXPECT_EQ(info.volumeNumber, std::string(name) == "package.003" ? 3 : 1);
        EXPECT_EQ(info.volumeCount, 5);
        EXPECT_EQ(info.fileCount, 2);
        EXPECT_EQ(info.totalSize, 1200002);
        ASSERT_EQ(info.rows.size(), 2u);
        EXPECT_EQ(info.rows[0].number, 1);
        EXPECT_EQ(info.rows[0].name, "eins.txt");
        EXPECT_EQ(info.rows[0].size, 1200000);
        EXPECT_EQ(info.rows[1].name, "zwei.txt");
    }
    EXPECT_EQ(untouched.settings.packagePath, "/keep/package.001");
    EXPECT_EQ(untouched.settings.volumeCount, 7);
}

TEST(PackageInfo, RefusesWhatIsNoVolume) {
    TempDir dir;
    WriteFile(dir / "short", std::string(19, 'P'));
    WriteFile(dir / "packed", "PACKED" + std::string(40, '\0'));
    for (const char* name : {"short", "packed"}) {
        const PackageInfo info = DiskInfoReadHeader(platform::NativeFileSystem(), dir / name);
        EXPECT_EQ(info.status, PackageInfo::Status::NotAPackage);
        EXPECT_EQ(info.messageText, texts::kNotAPackage);
        EXPECT_EQ(info.messageCaption, "DiskInfoReadHeader::IsPackage");
        EXPECT_EQ(info.messageIcon, Icon::Warning);
        EXPECT_EQ(info.volumeCount, 0);
        EXPECT_TRUE(info.rows.empty());
    }
    const PackageInfo missing = DiskInfoReadHeader(platform::NativeFileSystem(), dir / "nothing");
    EXPECT_EQ(missing.status, PackageInfo::Status::OpenFailed);
    EXPECT_EQ(missing.messageCaption, "DiskInfoReadHeader::open");
    EXPECT_EQ(missing.messageIcon, Icon::Error);
}

}  // namespace
}  // namespace tolvane

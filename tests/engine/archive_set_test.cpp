#include "engine/archive_set.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/test_support.h"

namespace tolvane {
namespace {

using test::Fixture;
using test::TempDir;
using test::WriteFile;

TEST(ArchiveSet, AddFileBuildsTheListInReverseOrder) {
    TempDir dir;
    WriteFile(dir / "a", "1");
    WriteFile(dir / "b", "22");
    WriteFile(dir / "c", "333");
    Fixture f;
    f.set.sourceDir = dir.path() + "/";  // a trailing "/" gets no second one
    EXPECT_EQ(f.set.AddFile("a"), 1);
    EXPECT_EQ(f.set.AddFile("b"), 2);
    EXPECT_EQ(f.set.AddFile("c"), 3);
    EXPECT_EQ(f.set.totalSize, 6);
    ASSERT_NE(f.set.head, nullptr);
    EXPECT_EQ(f.set.head->path, dir / "c");
    EXPECT_EQ(f.set.head->next->path, dir / "b");
    EXPECT_EQ(f.set.head->next->next->path, dir / "a");
    EXPECT_EQ(f.set.current, f.set.head);

    const auto rows = f.set.FileListRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].number, "1");
    EXPECT_EQ(rows[0].name, "c");
    EXPECT_EQ(rows[0].size, "3");
    EXPECT_EQ(rows[0].done, "0");
}

TEST(ArchiveSet, AddFileRecordsSizesAbove32BitsAndTheUtcTime) {
    TempDir dir;
    const std::string big = dir / "big.bin";
    WriteFile(big, "");
    ASSERT_EQ(::truncate(big.c_str(), 5000000000LL), 0);  // sparse
    test::SetMtime(big, 889197125, 987654321);
    Fixture f;
    f.set.sourceDir = dir.path();
    f.set.AddFile("big.bin");
    EXPECT_EQ(f.set.head->size, 5000000000LL);
    const platform::SystemTime expected{1998, 3, 5, 6, 15, 12, 5, 987};
    EXPECT_EQ(f.set.head->lastWrite, expected);
    EXPECT_EQ(f.set.FileListRows()[0].size, "5.000.000.000");
}

TEST(ArchiveSet, AddFileAtEndKeepsTheGivenOrderAndRefusesWhatIsNoFile) {
    TempDir dir;
    WriteFile(dir / "a", "1");
    WriteFile(dir / "b", "22");
    Fixture f;
    EXPECT_EQ(f.set.AddFileAtEnd(dir / "a"), 1);
    EXPECT_EQ(f.set.AddFileAtEnd(dir / "b"), 2);
    EXPECT_EQ(f.set.AddFileAtEnd(dir / "missing"), 0);
    EXPECT_EQ(f.set.AddFileAtEnd(dir.path()), 0);
    EXPECT_EQ(f.set.head->Name(), "a");
    EXPECT_EQ(f.set.tail->Name(), "b");
    EXPECT_EQ(f.set.fileCount, 2);
    EXPECT_EQ(f.set.totalSize, 3);
}

TEST(ArchiveSet, RewindAndReset) {
    TempDir dir;
    WriteFile(dir / "a", "1");
    WriteFile(dir / "b", "22");
    Fixture f;
    f.set.sourceDir = dir.path();
    f.set.AddFile("a");
    f.set.AddFile("b");
    f.set.CalcHeaderSize();
    const int64_t headerSize = f.set.headerSize;
    f.set.head->done = 2;
    f.set.head->next->done = 1;
    f.set.current = f.set.head->next;
    f.set.currentIndex = 1;
    f.set.bytesDone = 3;
    f.settings.currentVolume = 4;

    f.set.Rewind();
    EXPECT_EQ(f.set.head->done, 0);
    EXPECT_EQ(f.set.head->next->done, 0);
    EXPECT_EQ(f.set.current, f.set.head);
    EXPECT_EQ(f.set.currentIndex, 0);
    EXPECT_EQ(f.set.bytesDone, 0);
    EXPECT_EQ(f.settings.currentVolume, 1);
    EXPECT_EQ(f.set.fileCount, 2);
    EXPECT_EQ(f.set.totalSize, 3);
    EXPECT_EQ(f.set.headerSize, headerSize);

    f.set.TakeVolumeSnapshot();
    f.set.Reset();
    EXPECT_EQ(f.set.head, nullptr);
    EXPECT_EQ(f.set.tail, nullptr);
    EXPECT_EQ(f.set.current, nullptr);
    EXPECT_EQ(f.set.volumeStartEntry, nullptr);
    EXPECT_EQ(f.set.fileCount, 0);
    EXPECT_EQ(f.set.totalSize, 0);
    EXPECT_EQ(f.set.headerSize, 0);
    EXPECT_EQ(f.set.sourceDir, dir.path());
    EXPECT_TRUE(f.set.FileListRows().empty());
}

TEST(ArchiveSet, ClearingForTheStartPageKeepsTheVolumeSize) {
    ArchiveSettings s;
    EXPECT_EQ(s.volumeSize, 1441792);
    s.volumeSize = 2883584;
    s.volumeCount = 5;
    s.currentVolume = 3;
    s.targetPath = "/t/package.003";
    s.packagePath = "/p/package.001";
    s.targetRoot = "/media/a";
    s.ClearForStartPage();
    EXPECT_EQ(s.volumeSize, 2883584);
    EXPECT_EQ(s.volumeCount, 0);
    EXPECT_EQ(s.currentVolume, 1);
    EXPECT_TRUE(s.targetPath.empty());
    EXPECT_TRUE(s.packagePath.empty());
    EXPECT_TRUE(s.targetRoot.empty());
}

TEST(SystemTimes, ConversionsAgreeAndRefuseImpossibleDates) {
    const platform::SystemTime t = platform::SystemTimeFromUnix(0, 0);
    EXPECT_EQ(t, (platform::SystemTime{1970, 1, 4, 1, 0, 0, 0, 0}));
    const platform::SystemTime leap = platform::SystemTimeFromUnix(951782400, 5000000);
    EXPECT_EQ(leap, (platform::SystemTime{2000, 2, 2, 29, 0, 0, 0, 5}));
    int64_t s = 0, ns = 0;
    ASSERT_TRUE(platform::UnixFromSystemTime(leap, &s, &ns));
    EXPECT_EQ(s, 951782400);
    EXPECT_EQ(ns, 5000000);
    for (const platform::SystemTime bad : {platform::SystemTime{2001, 2, 0, 29, 0, 0, 0, 0},
                                           platform::SystemTime{2001, 13, 0, 1, 0, 0, 0, 0},
                                           platform::SystemTime{2001, 1, 0, 1, 24, 0, 0, 0},
                                           platform::SystemTime{0, 1, 0, 1, 0, 0, 0, 0},
                                           platform::SystemTime{2001, 1, 0, 1, 0, 0, 0, 1000}}) {
        EXPECT_FALSE(platform::UnixFromSystemTime(bad, &s, &ns));
    }
}

}  // namespace
}  // namespace tolvane

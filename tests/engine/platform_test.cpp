// The platform layer's arithmetic and path syntax (POSIX), and the folder
// and console questions asked of it.
#include <gtest/gtest.h>

#include <climits>

#include "engine/platform/file_system.h"
#include "engine/platform/wide_math.h"
#include "tests/support/test_support.h"

namespace tolvane::platform {
namespace {

TEST(MulDiv, ExactWhereTheProductExceeds64Bits) {
    struct Case {
        int64_t a, b, c;
        bool ok;
        int64_t result;
    };
    const Case cases[] = {
        {0, 100, 7, true, 0},
        {7, 100, 7, true, 100},
        {1, 100, 3, true, 33},
        {INT64_MAX - 1, 100, INT64_MAX, true, 99},  // a percentage of nearly 2^63
        {INT64_MAX, 100, INT64_MAX, true, 100},
        {INT64_MAX / 2, 2, 1, true, INT64_MAX - 1},
        {INT64_MAX, 2, 1, false, 0},              // 2^64 - 2 does not fit
        {99614720, 999, 1, true, 99515105280LL},  // the start of volume 1000
        {3037000500LL, 3037000500LL, 3037000499LL, true, 3037000501LL},
        {-1, 1, 1, false, 0},
        {1, 1, 0, false, 0},
    };
    for (const Case& c : cases) {
        int64_t result = 0;
        EXPECT_EQ(MulDiv(c.a, c.b, c.c, &result), c.ok) << c.a << " * " << c.b << " / " << c.c;
        if (c.ok) {
            EXPECT_EQ(result, c.result) << c.a << " * " << c.b << " / " << c.c;
        }
    }
}

TEST(Paths, BaseNameFolderAndJoin) {
    struct Case {
        const char* path;
        const char* base;
        const char* folder;
    };
    const Case cases[] = {
        {"/tmp/a/package.001", "package.001", "/tmp/a"},
        {"package.001", "package.001", "."},
        {"/package.001", "package.001", "/"},
        {"src/", "", "src"},
        {"a\\b", "a\\b", "."},  // "\" is a character of a name here
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BaseName(c.path), c.base) << c.path;
        EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    }
    EXPECT_EQ(JoinPath("/tmp", "x"), "/tmp/x");
    EXPECT_EQ(JoinPath("/tmp/", "x"), "/tmp/x");
    EXPECT_EQ(JoinPath("", "x"), "x");
    EXPECT_TRUE(FileNameProblem("CON").empty());  // Linux holds every stored name
}

TEST(Folders, MadeWithTheirParents) {
    test::TempDir dir;
    const std::string deep = dir / "eins/zwei/drei";
    EXPECT_FALSE(IsFolder(deep));
    EXPECT_TRUE(MakeFolders(deep));
    EXPECT_TRUE(IsFolder(deep));
    EXPECT_TRUE(MakeFolders(deep + "/"));  // an existing folder is fine
    test::WriteFile(dir / "datei", "x");
    EXPECT_FALSE(MakeFolders(dir / "datei"));
    EXPECT_FALSE(MakeFolders(dir / "datei/unter"));
}

TEST(Process, OwnPathIsThisProgram) {
    const std::string own = OwnExecutablePath();
    EXPECT_EQ(BaseName(own), "engine_tests");
    EXPECT_TRUE(IsFolder(FolderOf(own)));
}

}  // namespace
}  // namespace tolvane::platform

namespace tolvane::platform {
namespace {

// The native file keeps its position and size itself instead of asking the
// system each time; what it answers must still be the file's.
TEST(NativeFile, PositionAndSizeFollowReadsWritesAndCopies) {
    test::TempDir dir;
    FileSystem& fs = NativeFileSystem();
    test::WriteFile(dir / "in", "0123456789abcdef");
    auto in = fs.Open(dir / "in", OpenMode::Read);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(in->Size(), 16);
    char head[4];
    ASSERT_EQ(in->Read(head, 4), 4);
    ASSERT_TRUE(in->Seek(4));  // where the read left it
    auto out = fs.Open(dir / "out", OpenMode::CreateTruncate);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->Size(), 0);
    ASSERT_EQ(out->Write("xy", 2), 2);
    EXPECT_EQ(out->Size(), 2);
    char buffer[3];
    bool readFailed = false;
    // The kernel copies all five at once, past the small buffer.
    EXPECT_EQ(out->CopyFrom(*in, 5, buffer, sizeof buffer, &readFailed), 5);
    EXPECT_EQ(out->Size(), 7);
    ASSERT_TRUE(in->Seek(2));
    ASSERT_TRUE(out->Seek(1));
    ASSERT_EQ(out->Write("Z", 1), 1);
    ASSERT_EQ(in->Read(head, 2), 2);
    EXPECT_EQ(std::string(head, 2), "23");
    out.reset();
    EXPECT_EQ(test::ReadFile(dir / "out"), "xZ45678");
    // Opened again: the size it has, then the size a write made.
    auto again = fs.Open(dir / "out", OpenMode::ReadWriteExisting);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Size(), 7);
    ASSERT_TRUE(again->Seek(7));
    ASSERT_EQ(again->Write("!", 1), 1);
    EXPECT_EQ(again->Size(), 8);
}

}  // namespace
}  // namespace tolvane::platform

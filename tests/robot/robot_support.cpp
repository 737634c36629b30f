#include "tests/robot/robot_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tolvane::robot::test {

std::vector<SourceFile> MixedFiles() {
    return {
        {"leer-vorn.txt", "", 915148800},                            // 1999-01-01
        {"a.bin", tolvane::test::RandomBytes(70000, 1), 946684799},  // 1999-12-31 23:59:59
        {"leer-mitte", "", 1000000000},
        {"b.bin", tolvane::test::RandomBytes(300000, 2), 1234567890},
        {"Größe.txt", "Umlaute im Namen\n", 1600000000},
        {"leer-hinten", "", 1700000000},
    };
}

std::vector<std::string> WriteSelfExtractingSet(const std::string& sourceDir,
                                                const std::vector<SourceFile>& files,
                                                int64_t volumeSize, const std::string& firstVolume,
                                                const std::string& robotImage) {
    tolvane::test::ArchiveRun run(true);
    run.PrepareSplit(tolvane::test::WriteSources(sourceDir, files), firstVolume, volumeSize, true,
                     robotImage);
    EXPECT_EQ(run.SplitToEnd(), DriveOutcome::Finished);
    EXPECT_TRUE(run.display.messages.empty());
    return run.SplitVolumes();
}

std::string FakeRobotImage(const std::string& dir) {
    const std::string path = dir + "/Robot.dat";
    WriteFile(path, tolvane::test::RobotImage(4096, 8));
    return path;
}

int64_t MtimeOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    return st.st_mtim.tv_sec;
}

void ExpectExtracted(const std::string& folder, const std::vector<SourceFile>& files) {
    for (const SourceFile& file : files) {
        const std::string path = folder + "/" + file.name;
        ASSERT_TRUE(tolvane::test::FileExists(path)) << path;
        EXPECT_TRUE(ReadFile(path) == file.bytes) << path;
        EXPECT_EQ(MtimeOf(path), file.mtime) << path;
    }
}

}  // namespace tolvane::robot::test

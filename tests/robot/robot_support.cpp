#include "tests/robot/robot_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "engine/sizing.h"
#include "engine/volume_header.h"

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
    tolvane::test::Fixture f;
    std::string data;
    for (const SourceFile& file : files) {
        const std::string path = sourceDir + "/" + file.name;
        WriteFile(path, file.data);
        tolvane::test::SetMtime(path, file.mtime);
        EXPECT_GT(f.set.AddFileAtEnd(path), 0);
        data += file.data;
    }
    f.settings.volumeSize = volumeSize;
    f.settings.selfExtracting = 1;
    f.settings.robotPath = robotImage;
    UpdateVolumeCount(f.set);
    std::vector<std::string> volumes;
    size_t at = 0;
    for (int v = 1; v <= f.settings.volumeCount; ++v) {
        const std::string name = VolumeName(firstVolume, v, true);
        f.settings.currentVolume = v;
        EXPECT_EQ(f.set.makeHeader(name, v), 1) << name;
        const int64_t capacity = volumeSize - f.set.headerSize - (v == 1 ? kStubAreaSize : 0);
        const size_t n = std::min(data.size() - at, static_cast<size_t>(capacity));
        std::ofstream(name, std::ios::binary | std::ios::app).write(data.data() + at, n);
        at += n;
        volumes.push_back(name);
    }
    EXPECT_EQ(at, data.size());
    return volumes;
}

std::string FakeRobotImage(const std::string& dir) {
    const std::string path = dir + "/Robot.dat";
    WriteFile(path, std::string(4096, 'R'));
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
        EXPECT_TRUE(ReadFile(path) == file.data) << path;
        EXPECT_EQ(MtimeOf(path), file.mtime) << path;
    }
}

}  // namespace tolvane::robot::test

// The built stub image, run as a self-extracting archive would be.
#include "engine/robot_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/robot/robot_support.h"

namespace tolvane::robot::test {
namespace {

const std::string kImage = ROBOT_DAT;
const std::string kCli = TOLVANE_CLI;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a command with no display at all, capturing its output.
Outcome RunWithoutDisplay(const std::string& command) {
    TempDir capture;
    const std::string line = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + command +
                             " >" + (capture / "out") + " 2>" + (capture / "err") + " </dev/null";
    const int status = std::system(line.c_str());
    Outcome r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadFile(capture / "out");
    r.err = ReadFile(capture / "err");
    return r;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

struct ImageTest : ::testing::Test {
    // A set of files written with the real image as its stub.
    std::vector<std::string> Write(int64_t volumeSize, const std::string& name = "package.exe") {
        files = MixedFiles();
        return WriteSelfExtractingSet(src.path(), files, volumeSize, dir / name, kImage);
    }
    Outcome Unpack(const std::string& name = "package.exe", const std::string& extra = "") {
        return RunWithoutDisplay("'" + (dir / name) + "' --target '" + (out / "ziel") + "'" +
                                 extra);
    }
    TempDir src, dir, out;
    std::vector<SourceFile> files;
};

// The archiver takes the built image whole and refuses it cut.
TEST(RobotImage, IsRecognisedWholeAndRefusedCut) {
    const std::string image = ReadFile(kImage);
    EXPECT_TRUE(IsRobotImage(std::vector<char>(image.begin(), image.end())));
    for (size_t cut : {size_t{1000}, image.size() / 2, image.size() - 1}) {
        EXPECT_FALSE(IsRobotImage(std::vector<char>(image.begin(), image.begin() + cut))) << cut;
    }
}

TEST(RobotImage, FitsTheStubArea) {
    struct stat st;
    ASSERT_EQ(::stat(kImage.c_str(), &st), 0) << kImage;
    EXPECT_LE(st.st_size, 66560);
    EXPECT_GT(st.st_size, 0);
    std::printf("robot image: %lld bytes\n", static_cast<long long>(st.st_size));
}

TEST(RobotImage, HelpAndWrongArguments) {
    Outcome r = RunWithoutDisplay(kImage + " --help");
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(Contains(r.out, "--target VERZEICHNIS")) << r.out;
    r = RunWithoutDisplay(kImage + " --ziel x");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(Contains(r.err, "--target")) << r.err;
    // The bare image holds no archive.
    TempDir out;
    r = RunWithoutDisplay(kImage + " --target " + out.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Ungültiges Archivformat!")) << r.err;
}

TEST_F(ImageTest, OneVolumeUnattended) {
    const auto volumes = Write(2000000);
    ASSERT_EQ(volumes.size(), 1u);
    struct stat st;
    ASSERT_EQ(::stat(volumes[0].c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    const Outcome r = Unpack();
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Files:6, FileSize:370017, Disks:1")) << r.out;
    EXPECT_TRUE(Contains(r.out, "Archiv erfolgreich entpackt!")) << r.out;
    ExpectExtracted(out / "ziel", files);
}

// A target that is a file, or cannot be made: a German refusal, exit 1.
TEST_F(ImageTest, ATargetThatIsNoFolderIsRefused) {
    Write(2000000);
    WriteFile(out / "ziel", "eine Datei");
    Outcome r = Unpack();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "Das Ziel „" + (out / "ziel") +
                  "“ ist eine Datei und kein Verzeichnis.\nBitte wählen Sie ein Verzeichnis!\n");
    EXPECT_EQ(ReadFile(out / "ziel"), "eine Datei");
    r = RunWithoutDisplay("'" + (dir / "package.exe") + "' --target '" + (out / "ziel/unter") +
                          "'");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "ist eine Datei und kein Verzeichnis")) << r.err;
}

TEST_F(ImageTest, SeveralVolumesUnattendedUnderAnotherName) {
    const auto volumes = Write(126560, "setup.exe");
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[3], dir / "setup.004");
    const Outcome r = Unpack("setup.exe");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ExpectExtracted(out / "ziel", files);
}

TEST_F(ImageTest, AMissingMiddleVolumeFailsBeforeAnythingIsWritten) {
    const auto volumes = Write(126560);
    ASSERT_EQ(std::remove(volumes[2].c_str()), 0);
    const Outcome r = Unpack();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Datei nicht gefunden!")) << r.err;
    EXPECT_TRUE(Contains(r.err, volumes[2])) << r.err;
    EXPECT_FALSE(tolvane::test::FileExists(out / "ziel/a.bin"));
}

TEST_F(ImageTest, AForeignOrShortVolumeFails) {
    const auto volumes = Write(126560);
    const std::string good = ReadFile(volumes[1]);
    // Volume 2 of another archive of the same layout and a different size.
    std::string foreign = good;
    ASSERT_EQ(foreign.substr(20, 7), std::string("370017\0", 7));
    foreign[25] = '8';
    WriteFile(volumes[1], foreign);
    Outcome r = Unpack();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        Contains(r.err, "Tolvane Robot: Fehler auf Datenträger#: 2\nLetztes Archiv wiederholen"))
        << r.err;

    // The first run left files in the folder: refused by name unless they
    // may be overwritten.
    WriteFile(volumes[1], good.substr(0, good.size() - 1));
    const std::string before = ReadFile(out / ("ziel/" + files[0].name));
    r = Unpack();
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "„" + files[0].name + "“\n")) << r.err;
    EXPECT_TRUE(Contains(r.err,
                         "sind im Zielverzeichnis schon vorhanden; mit --overwrite "
                         "werden sie überschrieben.\n"))
        << r.err;
    EXPECT_EQ(ReadFile(out / ("ziel/" + files[0].name)), before);
    r = Unpack("package.exe", " --overwrite");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Contains(r.err, "Fehler auf Medium!")) << r.err;
}

TEST_F(ImageTest, WrittenByTheCommandLineWithTheLinuxStubAndUnpackedByItself) {
    // Robot.dat beside tolvane-cli is the Windows stub; --robot chooses this one.
    files = MixedFiles();
    std::string sources;
    for (const std::string& path : tolvane::test::WriteSources(src.path(), files)) {
        sources += " '" + path + "'";
    }
    Outcome r = RunWithoutDisplay(kCli + " split --sfx --robot '" + kImage +
                                  "' --size 150000 -o '" + (dir / "setup.exe") + "'" + sources);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_TRUE(tolvane::test::FileExists(dir / "setup.003"));
    EXPECT_EQ(ReadFile(dir / "setup.exe").substr(0, ReadFile(kImage).size()), ReadFile(kImage));
    r = Unpack("setup.exe");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(Contains(r.out, "Archiv erfolgreich entpackt!")) << r.out;
    ExpectExtracted(out / "ziel", files);
}

}  // namespace
}  // namespace tolvane::robot::test

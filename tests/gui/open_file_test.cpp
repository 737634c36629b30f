// The program started with a file, as a file manager starts it for a
// double-clicked volume: which page opens, what it shows, which message.
#include <gtest/gtest.h>

#include "engine/sizing.h"
#include "engine/volume_header.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/test_support.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;
using tolvane::test::TempDir;
using tolvane::test::WriteFile;

const std::vector<RecordSource> kRecords = {
    {"brief.txt", 1200000, {}}, {"bild.png", 5000, {}}, {"leer.dat", 0, {}}};

// Volume number of a three-volume archive with the three files above; the
// first volume of a self-extracting one lies behind the stub area.
std::string Volume(char magic, int number) {
    std::string bytes = BuildHeader(magic, number, 3, 1205000, 1441792, kRecords);
    if (magic == 'E' && number == 1) bytes = std::string(kStubAreaSize, 'R') + bytes;
    return bytes + "data";
}

const int64_t kHeaderSize =
    static_cast<int64_t>(BuildHeader('K', 1, 3, 1205000, 1441792, kRecords).size());

struct Opened {
    const char* name;
    std::string contents;  // none: the file does not exist
    bool exists;
    bool restorePage;            // else the information page
    const char* messageCaption;  // "" when no message is shown
};

TEST(OpenGivenFile, OpensTheRestoreWizardForAPlainVolumeAndTheInformationPageOtherwise) {
    const Opened cases[] = {
        {"package.001", Volume('K', 1), true, true, ""},
        {"package.003", Volume('K', 3), true, true, ""},
        {"package.exe", Volume('E', 1), true, false, ""},
        {"PACKAGE.EXE", Volume('E', 1), true, false, ""},
        {"package.002", Volume('E', 2), true, false, ""},
        {"notiz.txt", "Nur ein Text, kein Datenträger.", true, false,
         "DiskInfoReadHeader::IsPackage"},
        {"kurz.001", "PACK", true, false, "DiskInfoReadHeader::IsPackage"},
        {"fehlt.001", "", false, false, "DiskInfoReadHeader::open"},
    };
    for (const Opened& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir / c.name;
        if (c.exists) WriteFile(path, c.contents);
        GuiFixture f;
        f.w().OpenGivenFile(path);

        EXPECT_EQ(f.Text(id::kSourcePathText), path);
        if (std::string(c.messageCaption).empty()) {
            EXPECT_TRUE(f.messages.shown.empty());
        } else {
            ASSERT_EQ(f.messages.shown.size(), 1u);
            EXPECT_EQ(f.messages.shown[0].caption, c.messageCaption);
        }
        if (c.restorePage) {
            EXPECT_EQ(f.w().pageType(), kRestorePage1);
            EXPECT_EQ(f.page().pageType(), kRestorePage1);
            EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
            EXPECT_EQ(f.Text(id::kFileCountText), "3");
            EXPECT_EQ(f.Text(id::kTotalSizeText), FormatThousands(1205000 + kHeaderSize));
            EXPECT_EQ(f.Text(id::kTargetPathText), "");
            EXPECT_EQ(f.w().settings().packagePath, path);
            EXPECT_EQ(f.w().settings().currentVolume, 1);
            EXPECT_EQ(f.w().settings().selfExtracting, 0);
            EXPECT_EQ(f.w().set().fileCount, 3);
            continue;
        }
        EXPECT_EQ(f.page().pageType(), kUntypedPage);
        EXPECT_EQ(f.w().pageType(), kStartPage);  // OK leads to the start page
        ASSERT_TRUE(f.ui().Exists(id::kFileList));
        if (c.messageCaption == std::string("DiskInfoReadHeader::open") ||
            c.messageCaption == std::string("DiskInfoReadHeader::IsPackage")) {
            EXPECT_EQ(f.Text(id::kFileCountText), "0");
            EXPECT_EQ(f.ui().ListRowCount(id::kFileList), 0);
        } else {
            EXPECT_EQ(f.Text(id::kFileCountText), "3");
            EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
            EXPECT_EQ(f.Text(id::kTotalSizeText), "1.205.000");
            ASSERT_EQ(f.ui().ListRowCount(id::kFileList), 3);
            EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 1), "brief.txt");
        }
    }
}

TEST(OpenGivenFile, IsPackageMessageIsTheReadersOwn) {
    TempDir dir;
    WriteFile(dir / "notiz.txt", "Nur ein Text.");
    GuiFixture f;
    f.w().OpenGivenFile(dir / "notiz.txt");
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei.\n"
              "Bitte wählen sie eine andere Datei aus!");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    f.Press(id::kOk);
    f.Flush();
    EXPECT_EQ(f.page().pageType(), kStartPage);
}

TEST(OpenGivenFile, ChosenPlainVolumeRestoresLikeOneChosenOnThePage) {
    TempDir dir;
    WriteFile(dir / "package.001", Volume('K', 1));
    GuiFixture f;
    f.w().OpenGivenFile(dir / "package.001");
    f.dialogs.answers.push_back({dir / "ziel"});
    f.Press(id::kTargetFolder);
    f.Press(id::kNext);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.w().pageType(), kRestoreProgressPage);
}

}  // namespace
}  // namespace tolvane::ui

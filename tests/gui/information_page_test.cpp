// The package information page over real volume files.
#include <gtest/gtest.h>

#include "engine/volume_header.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/test_support.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;
using tolvane::test::TempDir;
using tolvane::test::WriteFile;

// Volume n of a three-volume plain archive with three files, or the
// self-extracting first volume behind its stub area.
std::string MakeVolume(const TempDir& dir, const std::string& name, int number, char magic = 'K') {
    const std::vector<RecordSource> records = {
        {"brief.txt", 1200000, {}}, {"bild.png", 5000, {}}, {"leer.dat", 0, {}}};
    std::string bytes = BuildHeader(magic, number, 3, 1205000, 1441792, records);
    if (magic == 'E' && number == 1) bytes = std::string(66560, 'R') + bytes;
    WriteFile(dir / name, bytes + "data");
    return dir / name;
}

void ExpectZeros(GuiFixture& f) {
    for (int id : {id::kNumberText, id::kVolumeCountText, id::kFileCountText, id::kTotalSizeText}) {
        EXPECT_EQ(f.Text(id), "0") << id;
    }
    EXPECT_EQ(f.ui().ListRowCount(id::kFileList), 0);
}

struct InfoFixture : GuiFixture {
    InfoFixture() { w().Command(kMenuInformation); }
};

TEST(InformationPage, OpensEmptyWithItsLabelsAndColumns) {
    InfoFixture f;
    EXPECT_EQ(f.page().pageType(), kUntypedPage);
    EXPECT_EQ(f.Text(id::kSourcePathText), "");
    ExpectZeros(f);
    EXPECT_EQ(f.Text(id::kLabelSource), "Quelle:");
    EXPECT_EQ(f.Text(id::kLabelSummarySource), "Quelle:");
    EXPECT_EQ(f.Text(id::kLabelVolumeCount), "Diskanzahl:");
    EXPECT_EQ(f.Text(id::kLabelArchiveNumber), "Archivnummer:");
    EXPECT_EQ(f.Text(id::kLabelFileCount), "Dateianzahl:");
    EXPECT_EQ(f.Text(id::kLabelTotalSize), "Gesamtgröße:");
    ASSERT_EQ(f.ui().ListColumnCount(id::kFileList), 3);
    EXPECT_EQ(f.ui().ListHeading(id::kFileList, 0), "Nr.");
    EXPECT_EQ(f.ui().ListHeading(id::kFileList, 1), "Dateiname");
    EXPECT_EQ(f.ui().ListHeading(id::kFileList, 2), "Dateigröße");
    EXPECT_EQ(f.ui().ListColumnWidth(id::kFileList, 0), 30);
    EXPECT_EQ(f.ui().ListColumnWidth(id::kFileList, 1), 255);
    EXPECT_EQ(f.ui().ListColumnWidth(id::kFileList, 2), 85);
    EXPECT_EQ(f.ui().Bounds(id::kFileList), DluToRect({10, 65, 260, 85}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kOk), DluToRect({11, 160, 35, 29}, 96));
}

TEST(InformationPage, ShowsAVolumeOfTheArchiveWithTheWholeTable) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "package.002", 2);
    InfoFixture f;
    f.dialogs.answers.push_back({volume});
    f.Press(id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kSourcePathText), volume);
    EXPECT_EQ(f.Text(id::kNumberText), "2");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.Text(id::kFileCountText), "3");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "1.205.000");
    ASSERT_EQ(f.ui().ListRowCount(id::kFileList), 3);
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 0), "1");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 1), "brief.txt");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 2), "1.200.000");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 2, 0), "3");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 2, 2), "0");
    EXPECT_TRUE(f.messages.shown.empty());

    const ChooserRequest& r = f.dialogs.requests.at(0);
    EXPECT_EQ(r.operation, ChooserOperation::OpenInfoPackage);
    EXPECT_EQ(r.title, "Package auswählen");
    EXPECT_EQ(r.filterText, "Packages (*.*)");
    EXPECT_EQ(r.filterPattern, "*.*");
    EXPECT_EQ(r.defaultSuffix, "001");
    EXPECT_EQ(r.initialFolder, "/home/test");
    EXPECT_EQ(r.owner, f.w().currentPage()->native());
}

TEST(InformationPage, DriveButtonsStartTheChooserInTheirFolders) {
    InfoFixture f;
    f.Press(id::kSourceDriveA);
    EXPECT_EQ(f.w().settings().targetRoot, "/media/test/FLOPPY");
    f.Press(id::kSourceDriveB);
    EXPECT_EQ(f.w().settings().targetRoot, "/media/test");
    ASSERT_EQ(f.dialogs.requests.size(), 2u);
    EXPECT_EQ(f.dialogs.requests[0].initialFolder, "/media/test/FLOPPY");
    EXPECT_EQ(f.dialogs.requests[1].initialFolder, "/media/test");
}

TEST(InformationPage, ReadsTheSelfExtractingFirstVolumeBehindItsStub) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "PACKAGE.EXE", 1, 'E');
    InfoFixture f;
    f.dialogs.answers.push_back({volume});
    f.Press(id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.ui().ListRowCount(id::kFileList), 3);
}

TEST(InformationPage, RefusesATextFileWithZerosAndKeepsItsPath) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "package.001", 1);
    WriteFile(dir / "notiz.txt", "Dies ist keine Archivdatei, sondern eine Notiz.\n");
    InfoFixture f;
    f.dialogs.answers.push_back({volume});
    f.dialogs.answers.push_back({dir / "notiz.txt"});
    f.Press(id::kSourceHardDisk);
    f.Press(id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kSourcePathText), dir / "notiz.txt");
    ExpectZeros(f);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const MessageRequest& m = f.messages.shown[0];
    EXPECT_EQ(m.text,
              "Die von Ihnen ausgewählte Datei ist keine mit Tolvane erzeugte Datei.\n"
              "Bitte wählen sie eine andere Datei aus!");
    EXPECT_EQ(m.caption, "DiskInfoReadHeader::IsPackage");
    EXPECT_EQ(m.icon, Icon::Warning);
    EXPECT_EQ(m.owner, f.w().currentPage()->native());
}

TEST(InformationPage, MissingFileKeepsTheNumbersAndList) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "package.003", 3);
    InfoFixture f;
    f.dialogs.answers.push_back({volume});
    f.dialogs.answers.push_back({dir / "weg.001"});
    f.Press(id::kSourceHardDisk);
    f.Press(id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kSourcePathText), dir / "weg.001");
    EXPECT_EQ(f.Text(id::kNumberText), "3");
    EXPECT_EQ(f.ui().ListRowCount(id::kFileList), 3);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Eine benötigte Datei wurde nicht gefunden!");
    EXPECT_EQ(f.messages.shown[0].caption, "DiskInfoReadHeader::open");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Error);
}

TEST(InformationPage, CancelledChooserLeavesThePageAsItWas) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "package.001", 1);
    InfoFixture f;
    f.dialogs.answers.push_back({volume});
    f.Press(id::kSourceHardDisk);
    f.Press(id::kSourceDriveA);  // cancelled
    EXPECT_EQ(f.Text(id::kSourcePathText), volume);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    EXPECT_EQ(f.ui().ListRowCount(id::kFileList), 3);
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(InformationPage, LeavesTheArchiveSetAndSettingsAloneAndReturns) {
    TempDir dir;
    const std::string volume = MakeVolume(dir, "package.002", 2);
    GuiFixture f;
    f.w().GoTo(kRestorePage1);
    ArchiveSettings& s = f.w().settings();
    s.packagePath = "/archiv/package.001";
    s.targetPath = "/ziel";
    s.volumeCount = 5;
    s.currentVolume = 1;
    auto* e = new FileEntry;
    e->path = "/a.txt";
    e->size = 7;
    f.w().set().AppendEntry(e);
    f.w().set().fileCount = 1;
    f.w().set().totalSize = 7;

    f.w().Command(kMenuInformation);
    f.dialogs.answers.push_back({volume});
    f.Press(id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    f.Press(id::kOk);

    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.page().pageType(), kRestorePage1);
    EXPECT_EQ(s.packagePath, "/archiv/package.001");
    EXPECT_EQ(s.targetPath, "/ziel");
    EXPECT_EQ(s.volumeCount, 5);
    EXPECT_EQ(s.currentVolume, 1);
    EXPECT_EQ(s.targetRoot, "/home/test");  // the chooser's folder is all it sets
    EXPECT_EQ(f.w().set().fileCount, 1);
    EXPECT_EQ(f.w().set().head, e);
}

TEST(InformationPage, FromTheStartPageOkShowsTheStartPage) {
    InfoFixture f;
    f.Press(id::kOk);
    EXPECT_EQ(f.page().pageType(), kStartPage);
    EXPECT_TRUE(f.ui().Exists(id::kCreateButton));
}

}  // namespace
}  // namespace tolvane::ui

// The repair wizard's four pages, driven as a user would on archives that
// tolvane-cli wrote: a volume is lost, the wizard writes it again from an
// intact volume and the originals, and the result must be the very bytes
// the writer produced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/gui/wizard_test_support.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::CliSplit;
using test::Fault;
using test::GuiFixture;
using test::Source;
using test::TempDir;
using test::WizardFixture;
using tolvane::test::FileExists;
using tolvane::test::FsPath;
using tolvane::test::NativePath;
using tolvane::test::ReadFile;
using tolvane::test::WriteFile;

namespace fs = std::filesystem;

constexpr const char* kNoIntactVolume =
    "Bitte wählen Sie unbedingt eine Quelle und \n die Nummer des zu erzeugenden Packages aus!";
constexpr const char* kNoOriginals =
    "Bitte wählen Sie das Verzeichnis mit den Originaldateien aus!";
constexpr const char* kNoTarget = "Bitte wählen Sie den Zieldatenträger aus!";
constexpr const char* kOriginalsMissing =
    "Die benötigten Originaldateien sind im gewählten Verzeichnis nicht vorhanden.\n"
    "Bitte wählen sie ein anderes Verzeichnis aus!";

// The sample files (three volumes of 1,44 MB) split by tolvane-cli into
// dir/arch, the originals in dir/src and an empty folder dir/neu for the
// repaired volume. With a robot image the set is self-extracting.
struct Archive {
    explicit Archive(const std::string& robotPath = "") : sources(test::SampleSources()) {
        for (const char* folder : {"src", "arch", "neu"}) fs::create_directories(dir / folder);
        volumes = CliSplit(test::WriteSources(dir / "src", sources),
                           robotPath.empty() ? dir / "arch/package.001" : dir / "arch/package.exe",
                           "1.44M", robotPath);
    }
    std::string Originals() const { return dir / "src"; }
    std::string NewFolder() const { return dir / "neu"; }

    TempDir dir;
    std::vector<Source> sources;
    std::vector<std::string> volumes;
};

std::vector<std::vector<std::string>> ListRows(WizardFixture& f) {
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < f.ui().ListRowCount(id::kFileList); ++row) {
        std::vector<std::string> cells;
        for (int c = 0; c < f.ui().ListColumnCount(id::kFileList); ++c) {
            cells.push_back(f.ui().ListCell(id::kFileList, row, c));
        }
        rows.push_back(cells);
    }
    return rows;
}

// The value of a progress bar at each of its paints.
struct BarRecorder {
    BarRecorder(WizardFixture& f, int bar) {
        f.ui().OnPaint(bar, [this, &f, bar] { values.push_back(f.ui().BarValue(bar)); });
    }
    std::vector<int> values;
};

// Page 1 with the intact volume read and the number counted up to number.
void ChooseVolume(WizardFixture& f, const std::string& intact, int number) {
    f.w().Command(kMenuRepair);
    ASSERT_EQ(f.w().pageType(), kRepairPage1);
    f.ChoosePackage(intact, id::kSourceHardDisk);
    for (int n = 1; n < number; ++n) f.Press(id::kPlus);
    ASSERT_EQ(f.Text(id::kNumberText), std::to_string(number));
}

void ChooseOriginals(WizardFixture& f, const std::string& folder) {
    f.dialogs.answers.push_back({folder});
    f.Press(id::kOriginalsFolder);
}

void ChooseTargetFolder(WizardFixture& f, const std::string& folder) {
    f.dialogs.answers.push_back({folder});
    f.Press(id::kTargetHardDisk);
}

// Through pages 1 to 3 onto the progress page.
void ReachProgressPage(WizardFixture& f, const Archive& a, const std::string& intact, int number) {
    ChooseVolume(f, intact, number);
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairPage2);
    ChooseOriginals(f, a.Originals());
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairPage3);
    ChooseTargetFolder(f, a.NewFolder());
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairProgressPage);
}

TEST(RepairPages, GreyTheMenuAsTheirTypesSay) {
    GuiFixture f;
    f.w().Command(kMenuRepair);
    for (int type : {kRepairPage1, kRepairPage2, kRepairPage3, kRepairProgressPage}) {
        f.w().GoTo(type);
        EXPECT_EQ(f.w().pageType(), type);
        EXPECT_FALSE(f.MenuEnabled(kMenuRepair)) << type;
        EXPECT_EQ(f.MenuEnabled(kMenuInformation), type != kRepairProgressPage) << type;
    }
    // The progress page has only the volume bar; page 2 lists three columns.
    EXPECT_FALSE(f.ui().Exists(id::kOverallBar));
    EXPECT_TRUE(f.ui().Exists(id::kVolumeBar));
    f.w().GoTo(kRepairPage2);
    EXPECT_EQ(f.ui().ListColumnCount(id::kFileList), 3);
    // Nothing chosen: nothing is read, nothing is said.
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(RepairPage1, ReadsAnIntactVolumeAndCountsWithinTheArchive) {
    Archive a;
    ASSERT_EQ(a.volumes.size(), 3u);
    WizardFixture f;
    f.w().Command(kMenuRepair);
    f.Press(id::kPlus);  // nothing read: no volume 2
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    f.Press(id::kNext);
    f.ChoosePackage(a.volumes[1], id::kSourceDriveB);
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    EXPECT_EQ(f.dialogs.requests[0].operation, ChooserOperation::OpenPackage);
    EXPECT_EQ(f.dialogs.requests[0].title, "Archiv selektieren");
    EXPECT_EQ(f.dialogs.requests[0].initialFolder, f.shell.roots.b);
    EXPECT_EQ(f.Text(id::kSourcePathText), a.volumes[1]);
    for (int i = 0; i < 5; ++i) f.Press(id::kPlus);
    EXPECT_EQ(f.Text(id::kNumberText), "3");
    for (int i = 0; i < 5; ++i) f.Press(id::kMinus);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    f.Press(id::kPlus);
    // Another intact volume starts again at 1.
    f.ChoosePackage(a.volumes[2], id::kSourceHardDisk);
    EXPECT_EQ(f.dialogs.requests[1].initialFolder, f.shell.roots.hardDisk);
    EXPECT_EQ(f.Text(id::kNumberText), "1");

    // A file that is no volume: the reader says so, nothing is chosen.
    WriteFile(a.dir / "brief.002", "Liebe Anna, ...");
    f.ChoosePackage(a.dir / "brief.002", id::kSourceHardDisk);
    EXPECT_EQ(f.w().settings().packagePath, "");
    EXPECT_EQ(f.Text(id::kSourcePathText), "");
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[0].text, kNoIntactVolume);
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    EXPECT_EQ(f.messages.shown[1].text, texts::kNotAPackage);
    EXPECT_EQ(f.messages.shown[2].text, kNoIntactVolume);
    EXPECT_EQ(f.w().pageType(), kRepairPage1);
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kStartPage);
}

TEST(RepairPage2, ListsOnlyTheFilesOfTheChosenVolumeWithTheirShare) {
    Archive a;
    WizardFixture f;
    ChooseVolume(f, a.volumes[0], 2);
    f.Press(id::kNext);
    const QuellDateien& q = f.w().set();
    const int64_t capacity = f.w().settings().volumeSize - q.headerSize;
    // Volume 2 holds the rest of Größe.bin and the start of zuletzt.log.
    const int64_t rest = 2700000 - capacity;
    EXPECT_EQ(ListRows(f), (std::vector<std::vector<std::string>>{
                               {"Größe.bin", "1.700.000", FormatThousands(rest)},
                               {"zuletzt.log", "600.000", FormatThousands(capacity - rest)}}));
    EXPECT_EQ(q.currentIndex, 2);

    // The last volume: only the end of zuletzt.log.
    f.Press(id::kBack);
    f.Press(id::kPlus);
    f.Press(id::kNext);
    EXPECT_EQ(ListRows(f),
              (std::vector<std::vector<std::string>>{
                  {"zuletzt.log", "600.000", FormatThousands(3300000 - 2 * capacity)}}));
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(RepairPage2, ChecksOnlyTheOriginalsOfTheChosenVolume) {
    Archive a;
    // A folder without bericht.dat, which lies wholly in volume 1.
    const std::string partial = a.dir / "teilweise";
    fs::create_directories(partial);
    for (const char* name : {"leer.txt", "Größe.bin", "zuletzt.log"}) {
        fs::copy_file(FsPath(a.Originals() + "/" + name), FsPath(partial + "/" + name));
    }
    WizardFixture f;
    ChooseVolume(f, a.volumes[2], 2);
    f.Press(id::kNext);
    f.Press(id::kNext);  // no folder yet
    ChooseOriginals(f, partial);
    ASSERT_EQ(f.dialogs.requests.back().title, "Verzeichnis mit Orginaldatei(en) auswählen");
    EXPECT_EQ(f.w().set().sourceDir, partial);
    EXPECT_EQ(f.Text(id::kTargetPathText), partial);

    // Volume 1 needs bericht.dat: the folder chosen for volume 2 is checked
    // again when page 2 shows volume 1, and refused; chosen anew, too.
    const std::string refusal = std::string(kOriginalsMissing) +
                                "\nDie Originaldatei „bericht.dat“ fehlt im gewählten Verzeichnis.";
    f.Press(id::kBack);
    f.Press(id::kMinus);
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[1].text, refusal);
    EXPECT_EQ(f.messages.shown[1].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[1].icon, Icon::Warning);
    EXPECT_EQ(f.w().set().sourceDir, "");
    EXPECT_EQ(f.Text(id::kTargetPathText), "");
    ChooseOriginals(f, partial);
    EXPECT_EQ(f.w().set().sourceDir, "");
    EXPECT_EQ(f.Text(id::kTargetPathText), "");
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 4u);
    EXPECT_EQ(f.messages.shown[0].text, kNoOriginals);
    EXPECT_EQ(f.messages.shown[2].text, refusal);
    EXPECT_EQ(f.messages.shown[3].text, kNoOriginals);
    EXPECT_EQ(f.w().pageType(), kRepairPage2);

    // An original of another size would give other bytes: refused too.
    WriteFile(partial + "/bericht.dat", "zu kurz");
    ChooseOriginals(f, partial);
    ASSERT_EQ(f.messages.shown.size(), 5u);
    EXPECT_NE(f.messages.shown[4].text.find("bericht.dat"), std::string::npos);
    EXPECT_EQ(f.w().set().sourceDir, "");

    // Cancelling the chooser keeps the folder chosen before.
    ChooseOriginals(f, a.Originals());
    f.Press(id::kOriginalsFolder);
    EXPECT_EQ(f.w().set().sourceDir, a.Originals());
    f.Press(id::kNext);
    EXPECT_EQ(f.w().pageType(), kRepairPage3);
}

TEST(RepairPage2, AnIntactVolumeNoLongerReadableLeavesNoPosition) {
    Archive a;
    WizardFixture f;
    ChooseVolume(f, a.volumes[1], 3);
    // The medium of the intact volume is taken out before page 2 reads it.
    fs::rename(a.volumes[1], a.dir / "weg");
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairPage2);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, texts::kFileNotFound);
    EXPECT_EQ(f.messages.shown[0].caption, texts::kCapReadHeaderOpen);
    EXPECT_TRUE(ListRows(f).empty());
    ChooseOriginals(f, a.Originals());  // an empty list passes the check
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[1].text,
              "Das nicht beschädigte Archiv kann nicht mehr gelesen werden.\n"
              "Bitte legen Sie es wieder ein und wählen Sie es auf der vorigen Seite erneut aus!");
    EXPECT_EQ(f.messages.shown[1].caption, "Tolvane");
    EXPECT_EQ(f.w().pageType(), kRepairPage2);
    // A repair never starts without a position, even reached directly.
    f.w().GoTo(kRepairProgressPage);
    f.w().settings().targetPath = a.NewFolder() + "/package.003";
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kRepairProgressPage);
    EXPECT_FALSE(FileExists(a.NewFolder() + "/package.003"));
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[2].icon, Icon::Error);

    // Back to page 1, which wants the volume chosen again.
    f.w().GoTo(kRepairPage2);
    f.Press(id::kBack);
    ASSERT_EQ(f.w().pageType(), kRepairPage1);
    f.Press(id::kNext);
    EXPECT_EQ(f.messages.shown.back().text, kNoIntactVolume);
    EXPECT_EQ(f.w().pageType(), kRepairPage1);
    fs::rename(a.dir / "weg", a.volumes[1]);
    f.ChoosePackage(a.volumes[1], id::kSourceHardDisk);
    f.Press(id::kPlus);
    f.Press(id::kPlus);
    f.Press(id::kNext);
    EXPECT_EQ(ListRows(f).size(), 1u);
}

TEST(RepairPage2, AnotherArchiveInPlaceOfTheIntactVolumeLeavesNoPosition) {
    Archive a;
    WizardFixture f;
    ChooseVolume(f, a.volumes[1], 3);
    // The medium now holds a one-volume archive under the same name.
    WriteFile(a.volumes[1], BuildHeader('K', 1, 1, 5, 1441792, {{"kurz.txt", 5, {}}}) + "Hallo");
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairPage2);
    EXPECT_TRUE(ListRows(f).empty());
    ChooseOriginals(f, a.Originals());
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Das Archiv hat 1 Datenträger; einen Datenträger Nummer 3 gibt es nicht.");
    EXPECT_EQ(f.w().pageType(), kRepairPage2);
}

TEST(RepairPage3, ComposesTheTargetAndKeepsItThroughAboutAndInformation) {
    Archive a;
    WizardFixture f;
    ChooseVolume(f, a.volumes[1], 3);
    f.Press(id::kNext);
    ChooseOriginals(f, a.Originals());
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairPage3);
    EXPECT_EQ(f.Text(id::kNumberText), "3");
    EXPECT_EQ(f.Text(id::kTargetPathText), "");
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, kNoTarget);

    TempDir driveA, driveB;
    f.shell.roots.a = driveA.path();
    f.shell.roots.b = driveB.path();
    f.Press(id::kTargetDriveA);
    EXPECT_EQ(f.Text(id::kTargetPathText), NativePath(f.shell.roots.a + "/package.003"));
    f.Press(id::kTargetDriveB);
    EXPECT_EQ(f.w().settings().targetPath, NativePath(f.shell.roots.b + "/package.003"));
    ChooseTargetFolder(f, a.NewFolder());
    EXPECT_EQ(f.dialogs.requests.back().title, "Verzeichnis wähler");
    EXPECT_EQ(f.Text(id::kTargetPathText), NativePath(a.NewFolder() + "/package.003"));
    f.Press(id::kTargetHardDisk);  // cancelled: the target stays
    EXPECT_EQ(f.w().settings().targetPath, NativePath(a.NewFolder() + "/package.003"));

    for (int menu : {kMenuAbout, kMenuInformation}) {
        f.w().Command(menu);
        EXPECT_EQ(f.w().currentPage()->pageType(), kUntypedPage) << menu;
        f.Press(id::kOk);
        ASSERT_EQ(f.w().pageType(), kRepairPage3) << menu;
        EXPECT_EQ(f.Text(id::kTargetPathText), NativePath(a.NewFolder() + "/package.003")) << menu;
        EXPECT_EQ(f.Text(id::kNumberText), "3") << menu;
    }

    // A new number on page 1 renames the target on page 3.
    f.Press(id::kBack);
    f.Press(id::kBack);
    f.Press(id::kMinus);
    f.Press(id::kNext);
    f.Press(id::kNext);
    EXPECT_EQ(f.Text(id::kTargetPathText), NativePath(a.NewFolder() + "/package.002"));
    EXPECT_EQ(f.messages.shown.size(), 1u);

    // On to the progress page and back: the target stays.
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRepairProgressPage);
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kRepairPage3);
    EXPECT_EQ(f.Text(id::kTargetPathText), NativePath(a.NewFolder() + "/package.002"));
}

// Repairs volume number of the set from another intact volume into an empty
// folder and compares it with the writer's.
void RepairAndCompare(bool selfExtracting, int number) {
    WizardFixture f;
    Archive a(selfExtracting ? f.robotPath : "");
    ASSERT_EQ(a.volumes.size(), 3u);
    const int intact = number == 1 ? 3 : 1;
    ReachProgressPage(f, a, a.volumes[intact - 1], number);
    const std::string expectedName = NativePath(
        a.NewFolder() +
        (selfExtracting && number == 1 ? "/package.exe" : "/package.00" + std::to_string(number)));
    EXPECT_EQ(f.w().settings().targetPath, expectedName);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  " + std::to_string(number));
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty()) << f.messages.shown[0].text;
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich repariert");
    EXPECT_EQ(f.Text(id::kCompletionNote), "");
    EXPECT_EQ(f.Text(id::kSourcePathText), a.Originals());
    EXPECT_EQ(f.Text(id::kTargetPathText), expectedName);
    ASSERT_TRUE(FileExists(expectedName));
    EXPECT_TRUE(ReadFile(expectedName) == ReadFile(a.volumes[number - 1]))
        << "volume " << number << (selfExtracting ? " (self-extracting)" : "");
}

TEST(RepairRoad, RecreatesEachVolumeOfAPlainSet) {
    for (int n = 1; n <= 3; ++n) RepairAndCompare(false, n);
}

TEST(RepairRoad, RecreatesEachVolumeOfASelfExtractingSet) {
    for (int n = 1; n <= 3; ++n) RepairAndCompare(true, n);
}

TEST(RepairRoad, TheProgressPageShowsTheArchiveAndTheVolumeBarMoves) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a, a.volumes[0], 2);
    const int64_t capacity = f.w().settings().volumeSize - f.w().set().headerSize;
    auto rows = ListRows(f);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][3], "1.000.000");
    EXPECT_EQ(rows[2][3], FormatThousands(capacity - 1000000));
    EXPECT_EQ(rows[3][3], "0");
    BarRecorder bars(f, id::kVolumeBar);
    f.Press(id::kStart);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    // It rises chunk by chunk to the full volume and is emptied at the end.
    std::vector<int>& v = bars.values;
    ASSERT_GE(v.size(), 5u);
    if (v.back() == 0) v.pop_back();
    EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
    EXPECT_GT(v.back(), 90);
}

TEST(RepairRoad, AFailedWriteIsRepeatedOnRetryWithTheSameBytes) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a, a.volumes[2], 2);
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ShortWrite, 4);
    f.messages.answers = {MessageResult::Ok, MessageResult::Retry};
    f.Press(id::kStart);
    EXPECT_TRUE(f.fs.fired());
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Beim Schreiben auf Medium ist ein Fehler aufgetreten!");
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::CopyRep::write");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Error);
    EXPECT_EQ(f.messages.shown[1].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_TRUE(ReadFile(a.NewFolder() + "/package.002") == ReadFile(a.volumes[1]));
}

TEST(RepairRoad, CancelOnTheRetryQuestionLeadsToTheStartPage) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a, a.volumes[0], 3);
    fs::rename(a.Originals() + "/zuletzt.log", a.dir / "weg");
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, texts::kFileNotFound);
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::CopyRep::open2");
    EXPECT_EQ(f.messages.shown[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
}

TEST(RepairRoad, TooLittleRoomOrATargetThatIsAnInputKeepsThePage) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a, a.volumes[0], 3);
    // The full volume size is needed, even for the shorter last volume.
    f.fs.freeBytes = 1441791;
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!");
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.w().pageType(), kRepairProgressPage);
    EXPECT_FALSE(FileExists(a.NewFolder() + "/package.003"));
    f.fs.freeBytes.reset();

    // The volume to write is the intact volume itself: refused, untouched.
    const std::string intact = ReadFile(a.volumes[0]);
    f.Press(id::kBack);
    f.Press(id::kBack);
    f.Press(id::kBack);
    f.Press(id::kMinus);
    f.Press(id::kMinus);
    f.Press(id::kNext);
    f.Press(id::kNext);
    ChooseTargetFolder(f, a.dir / "arch");
    EXPECT_EQ(f.w().settings().targetPath, a.volumes[0]);
    f.Press(id::kNext);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_NE(f.messages.shown[1].text.find("würde den gewählten Datenträger"), std::string::npos);
    EXPECT_EQ(f.w().pageType(), kRepairProgressPage);
    EXPECT_TRUE(ReadFile(a.volumes[0]) == intact);
}

}  // namespace
}  // namespace tolvane::ui

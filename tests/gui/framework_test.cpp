// The page framework and the main window: scaling, placement, the menu and
// its greying, ShowPage round trips, tooltips, the shared choosers and the
// engine's display on the window.
#include <gtest/gtest.h>

#include "engine/sizing.h"
#include "engine/texts.h"
#include "tests/gui/gui_test_support.h"
#include "tests/support/test_support.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;

TEST(ScaleToDpi, KeepsEveryValueAt96Dpi) {
    for (int v : {0, 1, 8, 15, 99, 100, 300, 325, 385, 420, 534, 1000, 4095}) {
        EXPECT_EQ(ScaleToDpi(v, 96), v) << v;
    }
}

TEST(ScaleToDpi, FollowsTheTableAt120Dpi) {
    const std::pair<int, int> table[] = {{534, 702}, {420, 560}, {385, 481}, {325, 406},
                                         {300, 375}, {100, 125}, {15, 18},   {8, 10}};
    for (auto [in, out] : table) EXPECT_EQ(ScaleToDpi(in, 120), out) << in;
    // The extra 35 pixels are for exactly 534 and 420 at exactly 120 dpi.
    EXPECT_EQ(ScaleToDpi(421, 120), 526);
    EXPECT_EQ(ScaleToDpi(420, 144), 630);
}

TEST(Geometry, DialogUnitsUseTheTemplateFontsBaseUnits) {
    // 6 x 13 pixels per base cell: x * 6 / 4, y * 13 / 8, rounded.
    EXPECT_EQ(DluToRect({10, 65, 260, 85}, 96), (Rect{15, 106, 390, 138}));
    EXPECT_EQ(DluToRect({11, 160, 35, 29}, 96), (Rect{17, 260, 53, 47}));
    EXPECT_EQ(DluToRect({10, 65, 260, 85}, 120), (Rect{18, 132, 487, 172}));
}

TEST(Geometry, WindowOpensCentredByFixedOffsets) {
    EXPECT_EQ(InitialWindowPosition(Rect{0, 0, 1024, 740}), (Point{245, 178}));
    EXPECT_EQ(InitialWindowPosition(Rect{0, 30, 1920, 1050}), (Point{693, 363}));
}

TEST(MainWindow, HasItsSizeAndPagePlaceAt96And120Dpi) {
    {
        GuiFixture f;
        EXPECT_EQ(f.ui().Title(), "Tolvane");
        EXPECT_EQ(f.ui().WindowSize(), (Size{534, 385}));
        EXPECT_EQ(f.ui().PageBounds(), (Rect{100, 8, 420, 325}));
    }
    WindowOptions options;
    options.logPixelsX = 120;
    GuiFixture f(options);
    EXPECT_EQ(f.ui().WindowSize(), (Size{702, 481}));
    EXPECT_EQ(f.ui().PageBounds(), (Rect{125, 10, 560, 406}));
    // Controls scale with the page.
    EXPECT_EQ(f.ui().Bounds(id::kCreateButton), DluToRect({105, 10, 145, 90}, 120));
}

TEST(MainWindow, MenuBarHasTheGermanMenusWithTheirIds) {
    GuiFixture f;
    EXPECT_EQ(f.ui().MenuLabels(),
              (std::vector<std::string>{"&Datei", "D&atenträger", "&Reparatur", "&?"}));
    const std::pair<int, const char*> items[] = {
        {kMenuNew, "&Neu"},
        {kMenuCreate, "&Archiv erstellen"},
        {kMenuExtract, "A&rchiv entpacken"},
        {kMenuInformation, "&Information über Archiv"},
        {kMenuExit, "&Beenden"},
        {kMenuFormatA, "Diskette &A formatieren"},
        {kMenuFormatB, "Diskette &B formatieren"},
        {kMenuExplorer, "Windows &Explorer"},
        {kMenuRepair, "Archiv &reparieren"},
        {kMenuContinue, "&Entpacken fortsetzen"},
        {kMenuAbout, "&Info"},
        {kMenuHelp, "&Hilfe [html]"},
    };
    for (auto [id, text] : items) {
        EXPECT_EQ(f.ui().MenuText(id), text) << id;
    }
}

// The menu state each typed page sets: the four wizard commands only on the
// start page, the information command everywhere but on the pages that run an
// operation.
TEST(Framework, GreysTheMenuPerPageType) {
    GuiFixture f;
    for (int type = kFirstPageType; type <= kLastPageType; ++type) {
        f.w().GoTo(type);
        ASSERT_NE(f.w().currentPage(), nullptr) << type;
        EXPECT_EQ(f.w().pageType(), type);
        const bool start = type == kStartPage;
        for (int id : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair}) {
            EXPECT_EQ(f.MenuEnabled(id), start) << "type " << type << " menu " << id;
        }
        const bool progress = type == 2 || type == 4 || type == 8 || type == 10 || type == 12;
        EXPECT_EQ(f.MenuEnabled(kMenuInformation), !progress) << "type " << type;
        for (int id : {kMenuNew, kMenuExit, kMenuFormatA, kMenuFormatB, kMenuExplorer, kMenuAbout,
                       kMenuHelp}) {
            EXPECT_TRUE(f.MenuEnabled(id)) << "type " << type << " menu " << id;
        }
    }
}

TEST(Framework, AboutAndInformationLeaveTypeAndMenuAlone) {
    GuiFixture f;
    f.w().GoTo(kRestorePage1);
    f.w().Command(kMenuAbout);
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.w().currentPage()->pageType(), kUntypedPage);
    EXPECT_FALSE(f.MenuEnabled(kMenuCreate));
    EXPECT_TRUE(f.MenuEnabled(kMenuInformation));
    f.w().Command(kMenuInformation);
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.w().currentPage()->pageType(), kUntypedPage);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().currentPage()->pageType(), kRestorePage1);
}

TEST(Framework, AGreyedCommandDoesNothing) {
    GuiFixture f;
    f.w().GoTo(kSplitPage2);
    Page* before = f.w().currentPage();
    f.w().Command(kMenuInformation);
    f.w().Command(kMenuCreate);
    EXPECT_EQ(f.w().currentPage(), before);
}

TEST(Framework, ShowPageOutsideTheTypesDoesNothing) {
    GuiFixture f;
    Page* start = f.w().currentPage();
    f.w().ShowPage(-1);
    f.w().ShowPage(kLastPageType + 1);
    EXPECT_EQ(f.w().currentPage(), start);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    f.w().DestroyPage();
    f.w().ShowPage(99);
    EXPECT_EQ(f.w().currentPage(), nullptr);
}

TEST(Framework, AboutPageReturnsToThePageBefore) {
    GuiFixture f;
    f.w().Command(kMenuAbout);
    EXPECT_EQ(f.page().pageType(), kUntypedPage);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    f.Press(id::kOk);
    EXPECT_EQ(f.page().pageType(), kStartPage);
    EXPECT_TRUE(f.ui().Exists(id::kCreateButton));
}

TEST(Framework, AboutPageShowsNameAndVersionAndNoTooltips) {
    GuiFixture f;
    f.w().Command(kMenuAbout);
    bool found = false;
    for (const PageControl& c : f.page().controls()) {
        if (c.kind == ControlKind::Label && c.text.find("Tolvane") != std::string::npos &&
            c.text.find("2.0.0.60") != std::string::npos) {
            found = true;
        }
        EXPECT_EQ(f.ui().Tooltip(c.id), "");
    }
    EXPECT_TRUE(found);
}

TEST(Framework, RebuiltPageShowsTheSharedState) {
    GuiFixture f;
    f.w().SetPageType(kSplitPage2);
    f.w().settings().targetPath = "/tmp/x/package.003";
    f.w().set().sourceDir = "/tmp/src";
    f.w().GoTo(kCompletionPage);
    f.w().Command(kMenuInformation);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kTargetPathText), "/tmp/x/package.003");
    EXPECT_EQ(f.Text(id::kSourcePathText), "/tmp/src");
    EXPECT_EQ(f.Text(id::kHeadline), "Operation abgeschlossen");
}

TEST(Framework, EveryNonStaticControlIsATool) {
    GuiFixture f;
    f.w().Command(kMenuInformation);
    int tools = 0;
    for (const PageControl& c : f.page().controls()) {
        if (IsStatic(c.kind)) {
            EXPECT_EQ(f.ui().Tooltip(c.id), "") << c.id;
        } else {
            ++tools;
            EXPECT_EQ(f.ui().Tooltip(c.id), f.page().TooltipText(c.id)) << c.id;
        }
    }
    EXPECT_EQ(tools, 5);  // three drive buttons, the list, OK
    // The list is a tool without a text.
    EXPECT_TRUE(f.ui().Tooltip(id::kFileList).empty());
    EXPECT_EQ(f.ui().Tooltip(id::kSourceDriveA), "Informationen zu Package in Laufwerk A");
    EXPECT_EQ(f.ui().Tooltip(id::kOk), "Zurück");
}

TEST(StartPage, ShowsTwoPictureButtonsWithTooltipsAndNoBackOrNext) {
    GuiFixture f;
    test::WindowProbe& p = f.ui();
    EXPECT_EQ(p.Tooltip(id::kCreateButton), "Archiv erstellen");
    EXPECT_EQ(p.Tooltip(id::kExtractButton), "Archiv entpacken");
    EXPECT_EQ(p.Bounds(id::kCreateButton), DluToRect({105, 10, 145, 90}, 96));
    EXPECT_EQ(p.Bounds(id::kExtractButton), DluToRect({105, 105, 145, 90}, 96));
    EXPECT_TRUE(p.HasPicture(id::kCreateButton));
    EXPECT_FALSE(p.Exists(id::kBack));
    EXPECT_FALSE(p.Exists(id::kNext));
}

TEST(StartPage, ClearsTheStateOfTheLastOperation) {
    GuiFixture f;
    ArchiveSettings& s = f.w().settings();
    s.targetPath = "/t/package.001";
    s.packagePath = "/p/package.001";
    s.targetRoot = "/t";
    s.volumeCount = 4;
    s.currentVolume = 3;
    s.volumeSize = 2000000;
    s.selfExtracting = 1;
    f.w().set().sourceDir = "/src";
    f.w().set().fileCount = 0;
    f.w().GoTo(kSplitPage2);
    f.w().Command(kMenuNew);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(s.targetPath, "");
    EXPECT_EQ(s.packagePath, "");
    EXPECT_EQ(s.targetRoot, "");
    EXPECT_EQ(f.w().set().sourceDir, "");
    EXPECT_EQ(s.volumeCount, 0);
    EXPECT_EQ(s.currentVolume, 1);
    EXPECT_EQ(s.volumeSize, 2000000);  // kept for the whole run
    EXPECT_EQ(s.selfExtracting, 1);    // only the wizard commands reset it
    EXPECT_TRUE(f.MenuEnabled(kMenuCreate));
}

TEST(StartPage, ButtonsBeginSplitAndRestoreWithoutSelfExtracting) {
    GuiFixture f;
    f.w().settings().selfExtracting = 1;
    f.Press(id::kCreateButton);
    EXPECT_EQ(f.w().pageType(), kSplitPage1);
    EXPECT_EQ(f.w().settings().selfExtracting, 0);
    f.w().Command(kMenuNew);
    f.w().settings().selfExtracting = 1;
    f.Press(id::kExtractButton);
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.w().settings().selfExtracting, 0);
}

TEST(MenuCommands, WizardCommandsBeginFromClearedSettings) {
    const std::pair<int, int> commands[] = {{kMenuCreate, kSplitPage1},
                                            {kMenuExtract, kRestorePage1},
                                            {kMenuRepair, kRepairPage1},
                                            {kMenuContinue, kContinuePage1}};
    for (auto [menu, type] : commands) {
        GuiFixture f;
        ArchiveSettings& s = f.w().settings();
        s.targetPath = "/t/package.001";
        s.packagePath = "/p/package.002";
        s.targetRoot = "/t";
        s.volumeCount = 3;
        s.currentVolume = 2;
        s.selfExtracting = 1;
        f.w().set().sourceDir = "/src/";
        f.w().Command(menu);
        EXPECT_EQ(f.w().pageType(), type);
        EXPECT_EQ(s.targetPath, "");
        EXPECT_EQ(s.packagePath, "");
        EXPECT_EQ(s.targetRoot, "");
        EXPECT_EQ(s.volumeCount, 0);
        EXPECT_EQ(s.currentVolume, 1);
        EXPECT_EQ(f.w().set().sourceDir, "");
        EXPECT_EQ(f.w().set().fileCount, 0);
        // Split and restore start plain; repair and continue take it from a header.
        const bool resets = menu == kMenuCreate || menu == kMenuExtract;
        EXPECT_EQ(s.selfExtracting, resets ? 0 : 1) << menu;
    }
}

TEST(MenuCommands, ExitQuitsWithCodeZeroWithoutQuestionAndKeepsThePage) {
    GuiFixture f;
    f.w().GoTo(kRepairPage3);
    f.w().Command(kMenuExit);
    EXPECT_EQ(f.shell.quitCodes, std::vector<int>{0});
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.w().pageType(), kRepairPage3);
}

TEST(MenuCommands, ClosingTheWindowQuits) {
    GuiFixture f;
    EXPECT_TRUE(f.ui().Close());
    EXPECT_EQ(f.shell.quitCodes, std::vector<int>{0});
}

// Only an existing folder counts as a target; a file or a missing folder is
// said, with the page as the box's owner.
TEST(Framework, CheckWritableTakesOnlyAnExistingFolder) {
    tolvane::test::TempDir dir;
    tolvane::test::WriteFile(dir / "datei.txt", "x");
    GuiFixture f;
    EXPECT_TRUE(CheckWritable(f.page(), dir.path()));
    EXPECT_TRUE(f.messages.shown.empty());
    for (const std::string& bad : {dir / "datei.txt", dir / "fehlt"}) {
        EXPECT_FALSE(CheckWritable(f.page(), bad)) << bad;
        ASSERT_FALSE(f.messages.shown.empty());
        EXPECT_NE(f.messages.shown.back().text.find(bad), std::string::npos);
        EXPECT_EQ(f.messages.shown.back().owner, f.page().native());
    }
}

// --- The shared choosers: what each asks for, and what it gives back.

TEST(FileDialogs, OpenSourceFilesGivesFolderAndNames) {
    GuiFixture f;
    using tolvane::test::NativePath;
    f.dialogs.answers.push_back({NativePath("/data/a.txt")});
    f.dialogs.answers.push_back({NativePath("/data/a.txt"), NativePath("/data/b.txt")});
    SourceFiles files;
    ASSERT_EQ(OpenSourceFiles(f.page(), &files, "Datei(en) auswählen"), 1);
    EXPECT_EQ(files.folder, NativePath("/data/"));
    EXPECT_EQ(files.names, std::vector<std::string>{"a.txt"});
    ASSERT_EQ(OpenSourceFiles(f.page(), &files, "Datei(en) auswählen"), 1);
    EXPECT_EQ(files.folder, NativePath("/data"));
    EXPECT_EQ(files.names, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(OpenSourceFiles(f.page(), &files, "x"), 0);  // cancelled
    EXPECT_EQ(files.folder, NativePath("/data"));

    const ChooserRequest& r = f.dialogs.requests.front();
    EXPECT_EQ(r.operation, ChooserOperation::OpenSourceFiles);
    EXPECT_EQ(r.kind, ChooserKind::OpenFiles);
    EXPECT_EQ(r.title, "Datei(en) auswählen");
    EXPECT_EQ(r.filterText, "Alle Dateien (*.*)");
    EXPECT_EQ(r.filterPattern, "*.*");
    EXPECT_EQ(r.initialFolder, "");
    EXPECT_EQ(r.owner, f.page().native());
}

TEST(FileDialogs, VolumeChoosersStartInTargetRoot) {
    GuiFixture f;
    f.w().settings().targetRoot = "/media/test/FLOPPY";
    std::string path = "keep", name = "keep";
    EXPECT_EQ(OpenFirstVolume(f.page(), &path, &name, "Datei(en) auswählen"), 0);
    EXPECT_EQ(path, "keep");
    f.dialogs.answers.push_back({"/media/test/FLOPPY/backup.002"});
    ASSERT_EQ(OpenPackage(f.page(), &path, &name, "Archiv selektieren"), 1);
    EXPECT_EQ(path, "/media/test/FLOPPY/backup.002");
    EXPECT_EQ(name, "backup.002");

    const ChooserRequest& first = f.dialogs.requests[0];
    EXPECT_EQ(first.operation, ChooserOperation::OpenFirstVolume);
    EXPECT_EQ(first.filterText, "Archive  (*.001)");
    EXPECT_EQ(first.filterPattern, "*.001");
    EXPECT_EQ(first.defaultSuffix, "001");
    EXPECT_EQ(first.initialFolder, "/media/test/FLOPPY");
    const ChooserRequest& any = f.dialogs.requests[1];
    EXPECT_EQ(any.operation, ChooserOperation::OpenPackage);
    EXPECT_EQ(any.filterText, "Archive (*.001,*.002,...)");
    EXPECT_EQ(any.filterPattern, "*.*");
    EXPECT_EQ(any.title, "Archiv selektieren");
}

TEST(FileDialogs, BrowseForFolderDropsTheTrailingSlash) {
    GuiFixture f;
    std::string path = "before";
    EXPECT_EQ(BrowseForFolder(f.page(), &path, "Verzeichnis wähler"), 0);
    EXPECT_EQ(path, "before");
    f.dialogs.answers.push_back({"/home/test/ziel/"});
    f.dialogs.answers.push_back({"/"});
    ASSERT_EQ(BrowseForFolder(f.page(), &path, "Verzeichnis wähler"), 1);
    EXPECT_EQ(path, "/home/test/ziel");
    ASSERT_EQ(BrowseForFolder(f.page(), &path, "Verzeichnis wähler"), 1);
    EXPECT_EQ(path, "/");
    EXPECT_EQ(f.dialogs.requests[0].kind, ChooserKind::Folder);
    EXPECT_EQ(f.dialogs.requests[0].title, "Verzeichnis wähler");
}

TEST(FileDialogs, SaveArchiveAsStartsWithTheNameForTheArchiveKind) {
    GuiFixture f;
    ArchiveSettings& s = f.w().settings();
    s.targetRoot = "/home/test";
    EXPECT_EQ(SaveArchiveAs(f.page()), 0);
    EXPECT_EQ(s.targetPath, "");
    s.selfExtracting = 1;
    f.dialogs.answers.push_back({"/home/test/sicherung.exe"});
    ASSERT_EQ(SaveArchiveAs(f.page()), 1);
    EXPECT_EQ(s.targetPath, "/home/test/sicherung.exe");
    EXPECT_EQ(SaveArchiveAs(f.page()), 0);
    EXPECT_EQ(s.targetPath, "/home/test/sicherung.exe");

    const auto& r = f.dialogs.requests;
    EXPECT_EQ(r[0].initialName, "package.001");
    EXPECT_EQ(r[0].filterText, "Archive  (*.001)");
    EXPECT_EQ(r[0].defaultSuffix, "001");
    EXPECT_EQ(r[0].title, "Archiv speichern");
    EXPECT_EQ(r[0].kind, ChooserKind::SaveFile);
    EXPECT_EQ(r[0].initialFolder, "/home/test");
    EXPECT_EQ(r[1].initialName, "package.exe");
    EXPECT_EQ(r[1].filterText, "Archive  (*.exe)");
    EXPECT_EQ(r[1].filterPattern, "*.exe");
    EXPECT_EQ(r[1].defaultSuffix, "exe");
    EXPECT_EQ(r[2].initialName, "/home/test/sicherung.exe");
}

// --- The engine's display on the window.

TEST(PageDisplay, RoutesMessagesWithTheirOwner) {
    GuiFixture f;
    Display& d = f.w().display();
    d.Message("Seite", "Cap1", Icon::Warning, Owner::Page);
    d.Message("Fenster", "Cap2", Icon::Error, Owner::MainWindow);
    d.Message("Niemand", "Cap3", Icon::None, Owner::None);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[0].owner, f.w().currentPage()->native());
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    EXPECT_EQ(f.messages.shown[0].caption, "Cap1");
    EXPECT_EQ(f.messages.shown[1].owner, f.w().native());
    EXPECT_EQ(f.messages.shown[2].owner, nullptr);
    // Between two pages a page's message belongs to the window.
    f.w().DestroyPage();
    d.Message("x", "y", Icon::Warning, Owner::Page);
    EXPECT_EQ(f.messages.shown[3].owner, f.w().native());
}

TEST(PageDisplay, RetryQuestionIsRetryCancelWithQuestionIcon) {
    GuiFixture f;
    f.messages.answers = {MessageResult::Retry};
    f.w().settings().currentVolume = 3;
    EXPECT_EQ(f.w().set().RetryVolume(), 1);
    EXPECT_EQ(f.w().set().RetryVolume(), 0);  // then Cancel
    ASSERT_EQ(f.messages.shown.size(), 2u);
    const MessageRequest& q = f.messages.shown[0];
    EXPECT_EQ(q.text, "Fehler bei Datenträger#: 3\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(q.caption, "Tolvane");
    EXPECT_EQ(q.icon, Icon::Question);
    EXPECT_EQ(q.buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(q.owner, f.w().native());
}

// A page with the progress controls, as the progress pages have them.
class ProgressTestPage : public Page {
  public:
    explicit ProgressTestPage(MainWindow& w) : Page(w, kRestoreProgressPage) {}
    void Initialise() override {
        AddListView(id::kFileList, {10, 10, 260, 85});
        AddProgressBar(id::kOverallBar, {36, 115, 210, 10});
        AddProgressBar(id::kVolumeBar, {36, 140, 210, 10});
        AddLabel(id::kStatusText, {75, 165, 130, 15}, "", TextAlign::TopCenter);
    }
    void Fill() override { FillFileList(*this, set()); }
};

TEST(PageDisplay, WritesProgressIntoTheCurrentPage) {
    GuiFixture f;
    QuellDateien& q = f.w().set();
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        auto* e = new FileEntry;
        e->path = std::string("/") + name;
        e->size = 1000;
        q.AppendEntry(e);
        q.totalSize += 1000;
        ++q.fileCount;
    }
    f.w().RegisterPage(kRestoreProgressPage,
                       [](MainWindow& w) { return std::make_unique<ProgressTestPage>(w); });
    f.w().GoTo(kRestoreProgressPage);
    ASSERT_EQ(f.ui().ListRowCount(id::kFileList), 3);
    EXPECT_EQ(f.ui().ListHeading(id::kFileList, 3), "bearbeitet");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 1), "a.txt");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 2), "1.000");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 3), "0");

    q.current = q.head->next;
    q.currentIndex = 1;
    q.current->done = 500;
    q.bytesDone = 1500;
    q.ShowProgress(750, 1000);
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 1, 3), "500");
    EXPECT_EQ(f.ui().BarValue(id::kOverallBar), 50);
    EXPECT_EQ(f.ui().BarValue(id::kVolumeBar), 75);
    ShowInsertPrompt(q);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    // Bars never leave 0 to 100; rows that do not exist are ignored.
    f.w().display().SetVolumeBar(250);
    f.w().display().SetRowDone(7, "x");
    EXPECT_EQ(f.ui().BarValue(id::kVolumeBar), 100);
    // A page without those controls ignores progress.
    f.w().GoTo(kStartPage);
    f.w().display().SetOverallBar(10);
    f.w().display().SetStatusText("x");
    f.w().display().Repaint();
}

TEST(PageDisplay, NoSpaceWarningIsOwnedByThePage) {
    GuiFixture f;
    ShowNoSpace(f.w().display());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, texts::kNoSpace);
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[0].owner, f.w().currentPage()->native());
}

}  // namespace
}  // namespace tolvane::ui

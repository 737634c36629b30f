// The split wizard's two pages, driven as a user would: controls and texts,
// the choices of page 1, and whole splits on real files compared with what
// tolvane-cli writes for the same choices.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "engine/texts.h"
#include "tests/gui/wizard_test_support.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::CliSplit;
using test::ExpectSameVolumes;
using test::Fault;
using test::GuiFixture;
using test::Source;
using test::TempDir;
using test::VolumesOf;
using test::WizardFixture;
using tolvane::test::FileExists;
using tolvane::test::NativePath;

constexpr const char* kMissing =
    "Bitte wählen Sie unbedingt eine Quelle \n und ein Ziel für die Archiverstellung aus !";

bool Checked(GuiFixture& f, int controlId) {
    return f.ui().IsChecked(controlId);
}

int CheckedSizeButton(GuiFixture& f) {
    int found = 0;
    for (int id :
         {id::kSize12MB, id::kSize144MB, id::kSize288MB, id::kSizeZip100, id::kSizeCustom}) {
        if (Checked(f, id)) {
            EXPECT_EQ(found, 0) << "two media selected";
            found = id;
        }
    }
    return found;
}

int Bar(GuiFixture& f, int controlId) {
    return f.ui().BarValue(controlId);
}

std::vector<std::string> Reversed(std::vector<std::string> v) {
    std::reverse(v.begin(), v.end());
    return v;
}

// A split prepared on page 1: sources written to dir/src, chosen in that
// order, the target dir/out/package.001 on the hard disk.
struct SplitRoad {
    explicit SplitRoad(WizardFixture& f, std::vector<Source> files = test::SampleSources())
        : sources(std::move(files)) {
        std::filesystem::create_directories(dir / "src");
        std::filesystem::create_directories(dir / "out");
        std::filesystem::create_directories(dir / "cli");
        paths = test::WriteSources(dir / "src", sources);
        f.w().Command(kMenuCreate);
        f.ChooseSources(paths);
        f.ChooseTarget(First(), id::kTargetHardDisk);
    }
    std::string First() const { return dir / "out/package.001"; }
    std::string CliFirst() const { return dir / "cli/package.001"; }

    TempDir dir;
    std::vector<Source> sources;
    std::vector<std::string> paths;
};

TEST(SplitPage1, ShowsItsControlsTextsAndTooltips) {
    GuiFixture f;
    f.w().Command(kMenuCreate);
    EXPECT_EQ(f.w().pageType(), kSplitPage1);
    const std::pair<int, const char*> labels[] = {
        {id::kLabelSource, "Quelle:"},
        {id::kLabelTarget, "Ziel:"},
        {id::kLabelDiskFormat, "Diskformat:"},
        {id::kLabelSummarySource, "Quelle:"},
        {id::kLabelSummaryTarget, "Ziel:"},
        {id::kLabelVolumeCount, "Diskanzahl:"},
        {id::kLabelFileCount, "Dateianzahl:"},
        {id::kLabelTotalSize, "Gesamtgröße:"},
        {id::kSize288MB, "2,88 MB"},
        {id::kSize144MB, "1,44 MB"},
        {id::kSize12MB, "1,2 MB"},
        {id::kSizeZip100, "ZIP100"},
        {id::kSizeCustom, "Benutzerdefiniert"},
        {id::kSelfExtracting, "Selbstentpackendes Archiv!"},
    };
    for (auto [control, text] : labels) EXPECT_EQ(f.Text(control), text) << control;
    const std::pair<int, const char*> tooltips[] = {
        {id::kBack, "Zurück"},
        {id::kNext, "Weiter"},
        {id::kTargetDriveA, "Archiv wird auf Laufwerk A erstellt"},
        {id::kTargetDriveB, "Archiv wird auf Laufwerk B erstellt"},
        {id::kTargetHardDisk, "Archiv wird auf Festplatte erstellt"},
        {id::kSourceFiles, "Quelldateien auswählen"},
        {id::kSize288MB, "Diskettenformat 3,5 2,88MB"},
        {id::kSize12MB, "Diskettenformat 5,25 1,2 MB"},
        {id::kSize144MB, "Diskettenformat 3,5 1,44MB"},
        {id::kSizeZip100, "Zieldatenträger: Iomega ZIP 100"},
        {id::kSizeCustom, "Benutzerdefinierte Archivgröße"},
        {id::kSelfExtracting, "Erzeugung eines selbstentpackenden Archivs!"},
    };
    for (auto [control, text] : tooltips) {
        EXPECT_EQ(f.ui().Tooltip(control), text) << control;
    }
    // Places of the table (a label may grow to the right, never move).
    EXPECT_EQ(f.ui().Bounds(id::kSourceFiles), DluToRect({45, 10, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kTargetHardDisk), DluToRect({230, 10, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kSourcePathText), DluToRect({50, 105, 220, 10}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kNext), DluToRect({235, 160, 35, 29}, 96));
    const Rect custom = DluToRect({180, 75, 85, 15}, 96);
    EXPECT_EQ(f.ui().Bounds(id::kSizeCustom).x, custom.x);
    EXPECT_EQ(f.ui().Bounds(id::kSizeCustom).y, custom.y);
    // Empty state after the menu command.
    EXPECT_EQ(f.Text(id::kSourcePathText), "");
    EXPECT_EQ(f.Text(id::kTargetPathText), "");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "0");
    EXPECT_EQ(f.Text(id::kFileCountText), "0");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "0");
    EXPECT_EQ(CheckedSizeButton(f), id::kSize144MB);
    EXPECT_FALSE(Checked(f, id::kSelfExtracting));
    EXPECT_FALSE(f.MenuEnabled(kMenuCreate));
    EXPECT_FALSE(f.MenuEnabled(kMenuRepair));
    EXPECT_TRUE(f.MenuEnabled(kMenuInformation));
}

TEST(SplitPage1, SelectsTheMediumOfTheVolumeSizeAndTheSelfExtractingMark) {
    const std::pair<int64_t, int> cases[] = {{1179648, id::kSize12MB},
                                             {1441792, id::kSize144MB},
                                             {2883584, id::kSize288MB},
                                             {99614720, id::kSizeZip100},
                                             {2000000, id::kSizeCustom}};
    for (auto [size, button] : cases) {
        GuiFixture f;
        f.w().settings().volumeSize = size;
        f.w().settings().selfExtracting = 1;
        f.w().GoTo(kSplitPage1);
        EXPECT_EQ(CheckedSizeButton(f), button) << size;
        EXPECT_TRUE(Checked(f, id::kSelfExtracting));
    }
}

TEST(SplitPage1, SourceFilesOneOrSeveralReplaceTheListAndCancelKeepsIt) {
    TempDir dir;
    const auto paths = test::WriteSources(
        dir.path(), {{"a.txt", "aaaa", 1000}, {"b.txt", "bb", 2000}, {"c.txt", "c", 3000}});
    WizardFixture f;
    f.w().Command(kMenuCreate);
    f.ChooseSources({paths[0]});
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    const ChooserRequest& r = f.dialogs.requests[0];
    EXPECT_EQ(r.operation, ChooserOperation::OpenSourceFiles);
    EXPECT_EQ(r.kind, ChooserKind::OpenFiles);
    EXPECT_EQ(r.title, "Datei(en) auswählen");
    EXPECT_EQ(r.filterText, "Alle Dateien (*.*)");
    QuellDateien& q = f.w().set();
    // One file: with its trailing separator.
    EXPECT_EQ(q.sourceDir, NativePath(dir.path() + "/"));
    EXPECT_EQ(f.Text(id::kSourcePathText), NativePath(dir.path() + "/"));
    EXPECT_EQ(f.Text(id::kFileCountText), "1");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "4");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "1");
    ASSERT_NE(q.head, nullptr);
    EXPECT_EQ(q.head->path, paths[0]);

    f.ChooseSources({paths[0], paths[1], paths[2]});
    EXPECT_EQ(q.sourceDir, dir.path());  // several: the folder alone
    EXPECT_EQ(q.fileCount, 3);
    EXPECT_EQ(q.totalSize, 7);
    std::vector<std::string> names;
    for (const FileEntry* e = q.head; e != nullptr; e = e->next) names.push_back(e->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"c.txt", "b.txt", "a.txt"}));
    EXPECT_EQ(f.Text(id::kFileCountText), "3");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "7");

    f.Press(id::kSourceFiles);  // cancelled
    EXPECT_EQ(q.fileCount, 3);
    EXPECT_EQ(q.sourceDir, dir.path());
    EXPECT_EQ(f.Text(id::kFileCountText), "3");
}

TEST(SplitPage1, MediaCustomSizeAndSelfExtractingUpdateTheCount) {
    TempDir dir;
    const auto paths = test::WriteSources(dir.path(), test::SampleSources());
    WizardFixture f;
    f.w().Command(kMenuCreate);
    f.ChooseSources(paths);
    ArchiveSettings& s = f.w().settings();
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");  // 3.300.000 bytes on 1,44 MB
    EXPECT_EQ(f.Text(id::kTotalSizeText), "3.300.000");

    f.Press(id::kSize288MB);
    EXPECT_EQ(s.volumeSize, 2883584);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "2");
    f.Press(id::kSizeZip100);
    EXPECT_EQ(s.volumeSize, 99614720);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "1");
    f.Press(id::kSize12MB);
    EXPECT_EQ(s.volumeSize, 1179648);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");

    f.dialogs.customSizeAnswers.push_back(1000000);
    f.Press(id::kSizeCustom);
    EXPECT_EQ(f.dialogs.customSizeRequests, std::vector<int64_t>{1179648});
    EXPECT_EQ(s.volumeSize, 1000000);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "4");
    EXPECT_EQ(CheckedSizeButton(f), id::kSizeCustom);

    // Cancel changes nothing, and the selection goes back to the size in force.
    f.Press(id::kSize144MB);
    f.Press(id::kSizeCustom);
    EXPECT_EQ(s.volumeSize, 1441792);
    EXPECT_EQ(CheckedSizeButton(f), id::kSize144MB);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");

    // Self-extracting adds the stub area to the size shown; twice is as before.
    f.Press(id::kSelfExtracting);
    EXPECT_EQ(s.selfExtracting, 1);
    EXPECT_EQ(f.Text(id::kTotalSizeText), "3.366.560");
    f.Press(id::kSelfExtracting);
    EXPECT_EQ(s.selfExtracting, 0);
    EXPECT_FALSE(Checked(f, id::kSelfExtracting));
    EXPECT_EQ(f.Text(id::kTotalSizeText), "3.300.000");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
}

TEST(SplitPage1, TargetStepUsesTheDriveAndKeepsTheOldTargetOnCancel) {
    WizardFixture f;
    f.w().Command(kMenuCreate);
    f.ChooseTarget("/media/test/FLOPPY/archiv.001", id::kTargetDriveA);
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    ChooserRequest r = f.dialogs.requests[0];
    EXPECT_EQ(r.operation, ChooserOperation::SaveArchiveAs);
    EXPECT_EQ(r.title, "Archiv speichern");
    EXPECT_EQ(r.initialFolder, f.shell.roots.a);
    EXPECT_EQ(r.initialName, "package.001");
    EXPECT_EQ(r.filterPattern, "*.001");
    EXPECT_EQ(f.Text(id::kTargetPathText), "/media/test/FLOPPY/archiv.001");
    EXPECT_EQ(f.w().settings().targetRoot, f.shell.roots.a);

    f.Press(id::kTargetDriveB);  // cancelled
    r = f.dialogs.requests[1];
    EXPECT_EQ(r.initialFolder, f.shell.roots.b);
    EXPECT_EQ(r.initialName, "/media/test/FLOPPY/archiv.001");
    EXPECT_EQ(f.w().settings().targetPath, "/media/test/FLOPPY/archiv.001");

    f.Press(id::kSelfExtracting);
    f.w().settings().targetPath.clear();
    f.w().settings().currentVolume = 3;
    f.w().set().bytesDone = 77;
    f.ChooseTarget("/home/test/x", id::kTargetHardDisk);
    r = f.dialogs.requests[2];
    EXPECT_EQ(r.initialFolder, f.shell.roots.hardDisk);
    EXPECT_EQ(r.initialName, "package.exe");
    EXPECT_EQ(r.filterText, "Archive  (*.exe)");
    EXPECT_EQ(r.defaultSuffix, "exe");
    // A name too short for the volume number gets the extension, so that no
    // volume can be written outside the chosen folder.
    EXPECT_EQ(f.w().settings().targetPath, "/home/test/x.exe");
    EXPECT_EQ(f.w().settings().currentVolume, 1);
    EXPECT_EQ(f.w().set().bytesDone, 0);
}

TEST(SplitPage1, NextWarnsWithoutSourceOrTargetAndRefusesSizesWithoutRoom) {
    TempDir dir;
    const auto paths = test::WriteSources(dir.path(), test::SampleSources());
    WizardFixture f;
    f.w().Command(kMenuCreate);
    f.Press(id::kNext);
    f.ChooseSources(paths);
    f.Press(id::kNext);
    f.w().set().Reset();
    f.ChooseTarget(dir / "package.001", id::kTargetHardDisk);
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    for (const MessageRequest& m : f.messages.shown) {
        EXPECT_EQ(m.text, kMissing);
        EXPECT_EQ(m.caption, "Tolvane");
        EXPECT_EQ(m.icon, Icon::Warning);
        EXPECT_EQ(m.owner, f.w().currentPage()->native());
    }
    EXPECT_EQ(f.w().pageType(), kSplitPage1);

    // Self-extracting on volumes that leave no room behind the stub area.
    f.ChooseSources(paths);
    f.Press(id::kSelfExtracting);
    f.dialogs.customSizeAnswers.push_back(66600);
    f.Press(id::kSizeCustom);
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 4u);
    EXPECT_EQ(f.messages.shown[3].text, texts::kVolumeTooSmall);
    EXPECT_EQ(f.messages.shown[3].caption, "Tolvane");
    EXPECT_EQ(f.w().pageType(), kSplitPage1);
    EXPECT_FALSE(FileExists(dir / "package.exe"));

    f.Press(id::kSelfExtracting);
    f.Press(id::kNext);
    EXPECT_EQ(f.w().pageType(), kSplitPage2);
    f.Press(id::kBack);
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
    EXPECT_EQ(f.w().settings().targetPath, "");
}

TEST(SplitPage2, ShowsTheFileListBarsAndTheInsertPrompt) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(f.Text(id::kLabelOverall), "Gesamtstatus:");
    EXPECT_EQ(f.Text(id::kLabelVolume), "Diskstatus:");
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    EXPECT_EQ(f.ui().Tooltip(id::kBack), "Zurück");
    EXPECT_EQ(f.ui().Tooltip(id::kStart), "Starten");
    EXPECT_EQ(f.ui().Bounds(id::kFileList), DluToRect({10, 10, 260, 85}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kStatusText), DluToRect({75, 165, 130, 15}, 96));
    ASSERT_EQ(f.ui().ListColumnCount(id::kFileList), 4);
    EXPECT_EQ(f.ui().ListHeading(id::kFileList, 3), "bearbeitet");
    ASSERT_EQ(f.ui().ListRowCount(id::kFileList), 4);
    // The list holds the files in the reverse of the chooser's order.
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 1), "zuletzt.log");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 2), "600.000");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 3, 1), "bericht.dat");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 3, 3), "0");
    EXPECT_EQ(Bar(f, id::kOverallBar), 0);
    for (int menu : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair, kMenuInformation}) {
        EXPECT_FALSE(f.MenuEnabled(menu)) << menu;
    }
}

// Counts the paints of a control.
struct PaintCounter {
    PaintCounter(GuiFixture& f, int controlId) {
        f.ui().OnPaint(controlId, [this] { ++paints; });
    }
    int paints = 0;
};

TEST(SplitPage2, TheEngineRepaintPutsListAndStatusOnTheScreenAtOnce) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    PaintCounter list(f, id::kFileList);
    PaintCounter status(f, id::kStatusText);
    // No bar moves (a bar repaints itself when it does): a chunk of a big file.
    for (int i = 1; i <= 3; ++i) {
        f.w().display().SetRowDone(0, std::to_string(i));
        f.w().display().SetStatusText("Status " + std::to_string(i));
        f.w().display().Repaint();
        EXPECT_EQ(list.paints, i);
        // Wine's label draws a new text at once, outside any paint event.
        if (test::WineVersion().empty()) {
            EXPECT_EQ(status.paints, i);
        }
    }
}

TEST(SplitRoadTest, APresetSizeInOnePressWritesWhatTheCommandLineWrites) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    test::ProgressRecorder recorder(f);
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich erstellt");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.Text(id::kTargetPathText), road.dir / "out/package.003");

    const auto expected = CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M");
    ExpectSameVolumes(VolumesOf(road.First()), expected);
    EXPECT_EQ(expected.size(), 3u);

    // The page was painted while the engine wrote: the bars moved up to 100,
    // the status said so, and no insert prompt came between the volumes.
    ASSERT_GE(recorder.frames.size(), 12u);  // a paint per chunk of 256 KiB
    int overall = 0;
    for (const auto& frame : recorder.frames) {
        EXPECT_GE(frame.overall, overall);
        overall = frame.overall;
        EXPECT_EQ(frame.status, "bearbeite Dateien...");
    }
    EXPECT_EQ(overall, 100);
    EXPECT_TRUE(std::any_of(recorder.frames.begin(), recorder.frames.end(),
                            [](const auto& fr) { return fr.volume > 0 && fr.volume < 100; }));
    EXPECT_EQ(recorder.frames.back().done[0], "600.000");
}

TEST(SplitRoadTest, ACustomSizeSelfExtractingWritesWhatTheCommandLineWrites) {
    WizardFixture f;
    SplitRoad road(f);
    f.dialogs.customSizeAnswers.push_back(500000);
    f.Press(id::kSizeCustom);
    f.Press(id::kSelfExtracting);
    EXPECT_EQ(f.w().settings().robotPath, f.robotPath);
    f.Press(id::kNext);
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kCompletionNote),
              "Es wurde ein selbstentpackendes Archiv erzeugt;\n"
              "Tolvane wird zur Wiederherstellung nicht benötigt.");

    const std::string exe = road.dir / "out/package.exe";
    const auto expected =
        CliSplit(Reversed(road.paths), road.dir / "cli/package.exe", "500000", f.robotPath);
    ExpectSameVolumes(VolumesOf(exe), expected);
    EXPECT_EQ(expected.size(), static_cast<size_t>(f.w().settings().volumeCount));
    EXPECT_GE(expected.size(), 7u);
    EXPECT_FALSE(FileExists(road.First()));
    struct stat st;
    ASSERT_EQ(::stat(exe.c_str(), &st), 0);
    EXPECT_NE(st.st_mode & S_IXUSR, 0u);
}

TEST(SplitRoadTest, OneVolumePerPressPromptsForTheNextMedium) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.freeBytes = 1441792;  // a floppy: room for one volume
    test::ProgressRecorder recorder(f);
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");
    EXPECT_EQ(f.w().settings().currentVolume, 2);
    EXPECT_TRUE(FileExists(road.First()));
    EXPECT_FALSE(FileExists(road.dir / "out/package.002"));
    ASSERT_FALSE(recorder.frames.empty());
    EXPECT_EQ(recorder.frames.front().status, "bearbeite Dateien...");
    EXPECT_TRUE(std::any_of(recorder.frames.begin(), recorder.frames.end(),
                            [](const auto& fr) { return fr.volume == 100; }));
    EXPECT_EQ(Bar(f, id::kVolumeBar), 0);
    const int overall = Bar(f, id::kOverallBar);
    EXPECT_GT(overall, 30);
    EXPECT_LT(overall, 50);
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 3), "600.000");
    EXPECT_TRUE(f.ui().IsEnabled(id::kStart));

    f.Press(id::kStart);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_TRUE(f.messages.shown.empty());
    ExpectSameVolumes(VolumesOf(road.First()),
                      CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M"));
}

TEST(SplitRoadTest, APageRebuiltAfterTheAboutPageGoesOnWhereItStood) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.freeBytes = 1441792;
    f.Press(id::kStart);
    const int row = f.w().set().currentIndex;
    EXPECT_EQ(row, 1);  // Größe.bin continues on volume 2
    f.w().Command(kMenuAbout);
    f.Press(id::kOk);
    ASSERT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(f.w().set().currentIndex, row);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 3), "600.000");
    test::ProgressRecorder recorder(f);
    f.Press(id::kStart);
    ASSERT_FALSE(recorder.frames.empty());
    EXPECT_NE(recorder.frames.front().done[1], "0");  // progress goes on in its own row
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectSameVolumes(VolumesOf(road.First()),
                      CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M"));
}

// Clicks "Starten" while the engine still writes, as an impatient user
// would: the greyed button drops the click, and the volume written is the
// only one of the press.
TEST(SplitRoadTest, AClickDuringAVolumeDoesNotStartTheNextOne) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.freeBytes = 1441792;
    ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 3));
    f.ui().PostClick(id::kStart);
    f.ui().Pump();
    f.gate.Release();
    f.WaitForJob();
    f.ui().Pump();
    EXPECT_EQ(f.w().settings().currentVolume, 2);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");
    EXPECT_FALSE(FileExists(road.dir / "out/package.002"));
}

TEST(SplitRoadTest, BackAfterTwoOfFourVolumesStartsAgainFromVolumeOne) {
    WizardFixture f;
    SplitRoad road(f);
    f.dialogs.customSizeAnswers.push_back(1000000);
    f.Press(id::kSizeCustom);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "4");
    f.Press(id::kNext);
    f.fs.freeBytes = 1000000;
    f.Press(id::kStart);
    f.Press(id::kStart);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");

    f.Press(id::kBack);
    ASSERT_EQ(f.w().pageType(), kSplitPage1);
    // The writer named each volume in targetPath: page 1 shows the last one.
    EXPECT_EQ(f.Text(id::kTargetPathText), road.dir / "out/package.002");
    EXPECT_EQ(f.Text(id::kFileCountText), "4");
    EXPECT_EQ(CheckedSizeButton(f), id::kSizeCustom);
    EXPECT_EQ(f.w().settings().currentVolume, 1);
    EXPECT_EQ(f.w().set().bytesDone, 0);

    f.Press(id::kNext);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 0, 3), "0");
    f.fs.freeBytes.reset();
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_TRUE(f.messages.shown.empty());
    const auto expected = CliSplit(Reversed(road.paths), road.CliFirst(), "1000000");
    EXPECT_EQ(expected.size(), 4u);
    ExpectSameVolumes(VolumesOf(road.First()), expected);
}

TEST(SplitRoadTest, AFailedVolumeIsWrittenAgainOnRetry) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ShortWrite, 10);  // in the middle of volume 2
    f.messages.answers = {MessageResult::Ok, MessageResult::Retry};
    f.Press(id::kStart);
    EXPECT_TRUE(f.fs.fired());
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Beim Schreiben auf Medium ist ein Fehler aufgetreten!");
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::Copy::write");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Error);
    EXPECT_EQ(f.messages.shown[1].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.messages.shown[1].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[1].icon, Icon::Question);
    EXPECT_EQ(f.messages.shown[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.messages.shown[1].owner, f.w().native());
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectSameVolumes(VolumesOf(road.First()),
                      CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M"));
}

TEST(SplitRoadTest, CancelOnTheRetryQuestionLeadsToAnEmptyStartPage) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ShortWrite, 10);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::Copy::write");
    EXPECT_EQ(f.messages.shown[1].buttons, MessageButtons::RetryCancel);  // answered Cancel
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
    EXPECT_EQ(f.w().set().head, nullptr);
    EXPECT_EQ(f.w().settings().targetPath, "");
    EXPECT_TRUE(f.MenuEnabled(kMenuCreate));
}

TEST(SplitRoadTest, NoRoomOnTheTargetKeepsThePageAndWritesNothing) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    f.fs.freeBytes = 100000;
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!");
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    EXPECT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    EXPECT_FALSE(FileExists(road.First()));
    f.fs.freeBytes.reset();  // room made: the same page goes on
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
}

TEST(SplitRoadTest, AVolumeThatWouldOverwriteAChosenFileIsRefused) {
    TempDir dir;
    const auto paths = test::WriteSources(dir.path(), {{"daten.001", "wichtig", 1000}});
    WizardFixture f;
    f.w().Command(kMenuCreate);
    f.ChooseSources(paths);
    f.ChooseTarget(paths[0], id::kTargetHardDisk);
    f.Press(id::kNext);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_NE(f.messages.shown[0].text.find("daten.001"), std::string::npos);
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(tolvane::test::ReadFile(paths[0]), "wichtig");
}

TEST(SplitRoadTest, AMissingRobotImageIsReportedAndCancelEndsTheSplit) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kSelfExtracting);
    f.Press(id::kNext);
    std::filesystem::remove(f.robotPath);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[0].text, "Die Datei robot.dat wurde nicht gefunden");
    EXPECT_EQ(f.messages.shown[1].caption, "QuellDateien::Copy::makeHeader");
    EXPECT_EQ(f.messages.shown[2].text,
              "Fehler bei Datenträger#: 1\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.w().pageType(), kStartPage);
}

// --- stopping a run ---

// The ways a user stops a running split: Back ("Abbrechen"), Escape, the
// close box. Each asks first; Ja stops at the next chunk.
enum class StopBy { Back, Escape, CloseBox };

void AskToStop(WizardFixture& f, StopBy by) {
    switch (by) {
        case StopBy::Back:
            f.Press(id::kBack);
            break;
        case StopBy::Escape:
            f.ui().Escape();
            break;
        case StopBy::CloseBox:
            f.ui().Close();
            break;
    }
}

TEST(SplitStop, EveryWayAsksAndJaLeavesOnlyCompleteVolumesAndThePageAsItWas) {
    for (StopBy by : {StopBy::Back, StopBy::Escape, StopBy::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(by));
        WizardFixture f;
        SplitRoad road(f);
        f.Press(id::kNext);
        const ArchiveSettings before = f.w().settings();
        f.messages.answers = {MessageResult::Yes};
        // Held in volume 2: the stop comes while the job still runs.
        ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 8));
        ASSERT_TRUE(f.w().JobRunning());
        // While it runs: GO greyed, Back is "Abbrechen", the wizard
        // commands greyed, help and "Beenden" not.
        EXPECT_FALSE(f.ui().IsEnabled(id::kStart));
        EXPECT_TRUE(f.ui().IsEnabled(id::kBack));
        EXPECT_EQ(f.ui().Tooltip(id::kBack), "Abbrechen");
        EXPECT_FALSE(f.MenuEnabled(kMenuNew));
        EXPECT_FALSE(f.MenuEnabled(kMenuAbout));
        EXPECT_TRUE(f.MenuEnabled(kMenuHelp));
        EXPECT_TRUE(f.MenuEnabled(kMenuExit));
        AskToStop(f, by);
        f.gate.Release();
        f.WaitForJob();

        ASSERT_GE(f.messages.shown.size(), 2u);
        EXPECT_EQ(f.messages.shown[0].text, "Soll der Vorgang abgebrochen werden?");
        EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
        EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesNo);
        // Only complete volumes stay, numbered from 1; the message counts them.
        const std::vector<std::string> kept = VolumesOf(road.First());
        EXPECT_EQ(kept.size(), 1u);
        for (const std::string& v : kept) EXPECT_EQ(std::filesystem::file_size(v), 1441792u) << v;
        EXPECT_EQ(f.messages.shown[1].text,
                  "Das Erstellen des Archivs wurde abgebrochen.\n"
                  "Vollständig geschrieben sind " +
                      std::to_string(kept.size()) +
                      " von 3 Datenträgern; der begonnene wurde gelöscht.");
        EXPECT_EQ(f.messages.shown.size(), 2u);

        if (by == StopBy::CloseBox) {
            // Closing after Ja quits once the run has cleaned up.
            EXPECT_EQ(f.shell.quitCodes, std::vector<int>{0});
            continue;
        }
        EXPECT_TRUE(f.shell.quitCodes.empty());
        // The page where GO was pressed, with the choices as they were.
        ASSERT_EQ(f.w().pageType(), kSplitPage2);
        EXPECT_TRUE(f.ui().IsEnabled(id::kStart));
        EXPECT_EQ(f.ui().Tooltip(id::kBack), "Zurück");
        EXPECT_TRUE(f.MenuEnabled(kMenuNew));
        EXPECT_EQ(f.w().settings().targetPath, before.targetPath);
        EXPECT_EQ(f.w().settings().currentVolume, 1);
        EXPECT_EQ(f.w().set().bytesDone, 0);
        // GO again writes the whole archive.
        f.Press(id::kStart);
        EXPECT_EQ(f.w().pageType(), kCompletionPage);
        ExpectSameVolumes(VolumesOf(road.First()),
                          CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M"));
    }
}

TEST(SplitStop, NeinLetsTheRunGoOn) {
    for (StopBy by : {StopBy::Back, StopBy::Escape, StopBy::CloseBox}) {
        SCOPED_TRACE(static_cast<int>(by));
        WizardFixture f;
        SplitRoad road(f);
        f.Press(id::kNext);
        f.messages.answers = {MessageResult::No};
        ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 8));
        AskToStop(f, by);
        f.gate.Release();
        f.WaitForJob();
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text, "Soll der Vorgang abgebrochen werden?");
        // The window stays open and the run writes every volume.
        EXPECT_TRUE(f.shell.quitCodes.empty());
        EXPECT_EQ(f.w().pageType(), kCompletionPage);
        ExpectSameVolumes(VolumesOf(road.First()),
                          CliSplit(Reversed(road.paths), road.CliFirst(), "1.44M"));
    }
}

// The window going away during a run (the program ends) stops the job at
// its next chunk and waits for its clean-up; the run's end leads nowhere.
TEST(SplitStop, AWindowDestroyedDuringARunStopsItAndKeepsOnlyCompleteVolumes) {
    WizardFixture f;
    SplitRoad road(f);
    f.Press(id::kNext);
    ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 8));
    // The held write goes on only once the window's end has asked the job
    // to stop, so the run cannot finish a further volume first.
    const QuellDateien* set = &f.w().set();
    f.gate.ReleaseWhen([set] { return set->StopRequested(); });
    f.window.reset();
    const std::vector<std::string> kept = VolumesOf(road.First());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(kept[0]), 1441792u);
    EXPECT_TRUE(f.shell.quitCodes.empty());
}

TEST(SplitPage1, SelfExtractingShowsTheNameThatWillBeWritten) {
    WizardFixture f;
    SplitRoad road(f);
    EXPECT_EQ(f.Text(id::kTargetPathText), road.First());
    f.Press(id::kSelfExtracting);
    EXPECT_EQ(f.Text(id::kTargetPathText), road.dir / "out/package.exe");
    EXPECT_EQ(f.w().settings().targetPath, road.dir / "out/package.exe");
    f.Press(id::kSelfExtracting);
    EXPECT_EQ(f.Text(id::kTargetPathText), road.First());
    // A press that reaches the page while the box stays as it is (a second
    // notice of one click) changes nothing: the box is read, not flipped.
    f.page().Command(id::kSelfExtracting);
    EXPECT_FALSE(f.ui().IsChecked(id::kSelfExtracting));
    EXPECT_EQ(f.w().settings().selfExtracting, 0);
    EXPECT_EQ(f.Text(id::kTargetPathText), road.First());
}

TEST(SplitPage1, ATargetFolderThatCannotBeWrittenIsSaidBeforeGo) {
    WizardFixture f;
    SplitRoad road(f);
    std::filesystem::permissions(
        road.dir / "out", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool writable = ::access((road.dir / "out").c_str(), W_OK) == 0;  // root writes anyway
    f.Press(id::kNext);
    std::filesystem::permissions(road.dir / "out", std::filesystem::perms::owner_all);
    if (writable) GTEST_SKIP() << "running as a user who may write anywhere";
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "In das Verzeichnis „" + road.dir / "out" +
                                            "“ kann nicht geschrieben werden.\n"
                                            "Bitte wählen Sie ein anderes Ziel oder einen "
                                            "beschreibbaren Datenträger!");
    EXPECT_EQ(f.w().pageType(), kSplitPage1);
}

}  // namespace
}  // namespace tolvane::ui

// The restore wizard's two pages, driven as a user would, on archives that
// tolvane-cli wrote: the package and folder choosers, the summary, and whole
// restores (in one press, or one volume per press with the prompts) compared
// with the original files and their times.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/sizing.h"
#include "engine/texts.h"
#include "tests/gui/wizard_test_support.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::CliSplit;
using test::ExpectRestored;
using test::Fault;
using test::GuiFixture;
using test::Source;
using test::TempDir;
using test::WizardFixture;
using tolvane::test::FileExists;
using tolvane::test::NativePath;
using tolvane::test::WriteFile;

namespace fs = std::filesystem;

constexpr const char* kMissing =
    "Bitte wählen Sie unbedingt eine Quelle \nund ein Ziel für den Kopiervorgang aus !";
constexpr const char* kTitle = "Bitte Zielverzeichnis für Wiederherstellungsvorgang auswählen";

// An archive of the sample files in dir/arch (written by tolvane-cli), and
// the folder dir/ziel to restore into.
struct Archive {
    explicit Archive(std::vector<Source> files = test::SampleSources(),
                     const std::string& size = "1.44M")
        : sources(std::move(files)) {
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "arch");
        fs::create_directories(dir / "ziel");
        volumes = CliSplit(test::WriteSources(dir / "src", sources), First(), size);
    }
    std::string First() const { return dir / "arch/package.001"; }
    std::string Target() const { return dir / "ziel"; }

    TempDir dir;
    std::vector<Source> sources;
    std::vector<std::string> volumes;
};

// The restore wizard with package and target chosen, on the progress page.
void ReachProgressPage(WizardFixture& f, const std::string& package, const std::string& target) {
    f.Press(id::kExtractButton);
    f.ChoosePackage(package, id::kSourceHardDisk);
    f.ChooseRestoreFolder(target);
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRestoreProgressPage);
}

TEST(RestorePage1, ShowsItsControlsTextsAndTooltips) {
    GuiFixture f;
    f.w().Command(kMenuExtract);
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    const std::pair<int, const char*> labels[] = {
        {id::kLabelSource, "Quelle:"},
        {id::kLabelTarget, "Ziel:"},
        {id::kLabelSummarySource, "Quelle:"},
        {id::kLabelSummaryTarget, "Ziel:"},
        {id::kLabelVolumeCount, "Diskanzahl:"},
        {id::kLabelFileCount, "Dateianzahl:"},
        {id::kLabelTotalSizeRestore, "Gesamtgröße:"},
    };
    for (auto [control, text] : labels) EXPECT_EQ(f.Text(control), text) << control;
    const std::pair<int, const char*> tooltips[] = {
        {id::kSourceDriveA, "Laufwerk A auswählen"},
        {id::kSourceDriveB, "Laufwerk B auswählen"},
        {id::kSourceHardDisk, "Festplatte auswählen"},
        {id::kTargetFolder, "Bitte Zielverzeichnis auswählen"},
        {id::kBack, "Zurück"},
        {id::kNext, "Weiter"},
    };
    for (auto [control, text] : tooltips) {
        EXPECT_EQ(f.ui().Tooltip(control), text) << control;
    }
    EXPECT_EQ(f.ui().Bounds(id::kSourceDriveB), DluToRect({100, 15, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kTargetFolder), DluToRect({50, 55, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kBack), DluToRect({11, 160, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kNext), DluToRect({230, 160, 35, 29}, 96));
    EXPECT_EQ(f.ui().Bounds(id::kTotalSizeText), DluToRect({215, 135, 55, 10}, 96));
    for (int id : {id::kSourcePathText, id::kTargetPathText}) EXPECT_EQ(f.Text(id), "");
    for (int id : {id::kVolumeCountText, id::kFileCountText, id::kTotalSizeText}) {
        EXPECT_EQ(f.Text(id), "0");
    }
    EXPECT_FALSE(f.MenuEnabled(kMenuExtract));
    EXPECT_FALSE(f.MenuEnabled(kMenuContinue));
    EXPECT_TRUE(f.MenuEnabled(kMenuInformation));
}

TEST(RestorePage1, ChoosesThePackageAndTheFolderAndKeepsThemOnCancel) {
    Archive a;
    ASSERT_EQ(a.volumes.size(), 3u);
    WizardFixture f;
    f.w().Command(kMenuExtract);
    f.ChoosePackage(a.First(), id::kSourceDriveB);
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    const ChooserRequest& r = f.dialogs.requests[0];
    EXPECT_EQ(r.operation, ChooserOperation::OpenFirstVolume);
    EXPECT_EQ(r.title, "Datei(en) auswählen");
    EXPECT_EQ(r.filterText, "Archive  (*.001)");
    EXPECT_EQ(r.filterPattern, "*.001");
    EXPECT_EQ(r.initialFolder, f.shell.roots.b);
    EXPECT_EQ(f.Text(id::kSourcePathText), a.First());
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.Text(id::kFileCountText), "4");
    const QuellDateien& q = f.w().set();
    EXPECT_EQ(f.Text(id::kTotalSizeText), FormatThousands(3300000 + q.headerSize));
    EXPECT_GT(q.headerSize, 0);

    f.Press(id::kSourceDriveA);  // cancelled: the package stays
    EXPECT_EQ(f.dialogs.requests[1].initialFolder, f.shell.roots.a);
    EXPECT_EQ(f.w().settings().packagePath, a.First());
    EXPECT_EQ(f.Text(id::kFileCountText), "4");

    f.ChooseRestoreFolder(a.Target());
    EXPECT_EQ(f.dialogs.requests[2].operation, ChooserOperation::BrowseForFolder);
    EXPECT_EQ(f.dialogs.requests[2].title, kTitle);
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    f.Press(id::kTargetFolder);  // cancelled
    EXPECT_EQ(f.w().settings().targetPath, a.Target());

    // The information page comes back to this page with everything chosen.
    f.w().Command(kMenuInformation);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.Text(id::kSourcePathText), a.First());
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(RestorePage1, AFileThatIsNoVolumeEmptiesTheSummaryAndWeiterWarns) {
    Archive a;
    WriteFile(a.dir / "fremd.001", "Dies ist kein Archiv, sondern ein Brief.");
    WizardFixture f;
    f.w().Command(kMenuExtract);
    f.Press(id::kNext);  // nothing chosen
    f.ChoosePackage(a.First(), id::kSourceHardDisk);
    f.Press(id::kNext);  // no folder
    f.ChooseRestoreFolder(a.Target());
    f.ChoosePackage(a.dir / "fremd.001", id::kSourceHardDisk);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[2].text, texts::kNotAPackage);
    EXPECT_EQ(f.messages.shown[2].caption, "QuellDateien::readHeader::IsPackage");
    EXPECT_EQ(f.Text(id::kSourcePathText), "");
    EXPECT_EQ(f.Text(id::kFileCountText), "0");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "0");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "0");
    f.Press(id::kNext);  // a folder, but no files
    ASSERT_EQ(f.messages.shown.size(), 4u);
    for (size_t i : {0u, 1u, 3u}) {
        EXPECT_EQ(f.messages.shown[i].text, kMissing);
        EXPECT_EQ(f.messages.shown[i].caption, "Tolvane");
        EXPECT_EQ(f.messages.shown[i].icon, Icon::Warning);
        EXPECT_EQ(f.messages.shown[i].owner, f.w().currentPage()->native());
    }
    EXPECT_EQ(f.w().pageType(), kRestorePage1);
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().settings().targetPath, "");
}

TEST(RestoreProgressPage, ShowsTheFileListAndThePromptForVolumeOne) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    EXPECT_EQ(f.Text(id::kLabelOverall), "Gesamtstatus:");
    EXPECT_EQ(f.Text(id::kLabelVolume), "Diskstatus:");
    EXPECT_EQ(f.ui().Tooltip(id::kStart), "Starten");
    ASSERT_EQ(f.ui().ListRowCount(id::kFileList), 4);
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 2, 1), "Größe.bin");
    EXPECT_EQ(f.ui().ListCell(id::kFileList, 2, 2), "1.700.000");
    for (int menu : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair, kMenuInformation}) {
        EXPECT_FALSE(f.MenuEnabled(menu)) << menu;
    }
}

TEST(RestoreRoad, AllVolumesAtHandAreRestoredInOnePress) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    test::ProgressRecorder recorder(f);
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich entpackt");
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    ExpectRestored(a.Target(), a.sources);
    // No insert prompt between the volumes; the bars moved up to 100.
    ASSERT_GE(recorder.frames.size(), 12u);
    for (const auto& frame : recorder.frames) EXPECT_EQ(frame.status, "bearbeite Dateien...");
    EXPECT_EQ(recorder.frames.back().overall, 100);
    EXPECT_EQ(recorder.frames.back().done[2], "1.700.000");
}

// Hundreds of small files finish between two frames of the program's
// progress interval; each row still ends with its file's whole size, and the
// list stands at the last one.
TEST(RestoreRoad, EveryRowShowsItsFileDoneAlsoBetweenFrames) {
    std::vector<Source> files;
    for (int i = 0; i < 300; ++i) {
        files.push_back({"f" + std::to_string(1000 + i), std::string(100 + i, 'x'), 1600000000});
    }
    Archive a(files);
    WizardFixture f(std::chrono::hours(1));
    ReachProgressPage(f, a.First(), a.Target());
    test::ProgressRecorder recorder(f);
    f.Press(id::kStart);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
    ASSERT_FALSE(recorder.frames.empty());
    const std::vector<std::string>& done = recorder.frames.back().done;
    ASSERT_EQ(done.size(), files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(done[i], FormatThousands(static_cast<int64_t>(files[i].bytes.size()))) << i;
    }
}

TEST(RestoreRoad, OneVolumePerPressWithTheInsertPrompt) {
    Archive a;
    // The "drive" holds one volume at a time.
    const std::string drive = a.dir / "drive";
    fs::create_directories(drive);
    auto insert = [&](int n) {
        for (const auto& e : fs::directory_iterator(drive)) fs::remove(e.path());
        fs::copy_file(a.volumes[n - 1], drive + "/package.00" + std::to_string(n));
    };
    insert(1);
    WizardFixture f;
    ReachProgressPage(f, NativePath(drive + "/package.001"), a.Target());
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kRestoreProgressPage);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");
    insert(2);
    f.Press(id::kStart);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");
    insert(3);
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, AWrongMediumBringsTheRetryQuestionForTheExpectedVolume) {
    Archive a;
    const std::string drive = a.dir / "drive";
    fs::create_directories(drive);
    fs::copy_file(a.volumes[0], drive + "/package.001");
    WizardFixture f;
    ReachProgressPage(f, NativePath(drive + "/package.001"), a.Target());
    f.Press(id::kStart);
    // Volume 3 under the name of volume 2: refused without a message of its
    // own; the user puts the right one in and answers Retry.
    fs::remove(drive + "/package.001");
    fs::copy_file(a.volumes[2], drive + "/package.002");
    f.messages.answers = {MessageResult::Retry};
    f.messages.onShow = [&](const MessageRequest&) {
        fs::remove(drive + "/package.002");
        fs::copy_file(a.volumes[1], drive + "/package.002");
    };
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");
    f.messages.onShow = nullptr;
    fs::remove(drive + "/package.002");
    fs::copy_file(a.volumes[2], drive + "/package.003");
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, BackAfterTwoVolumesRewindsAndAStartBeginsWithVolumeOne) {
    Archive a({{"eins.bin", tolvane::test::RandomBytes(900000, 5), 1111111111},
               {"zwei.bin", tolvane::test::RandomBytes(800000, 6), 1222222222},
               {"drei.bin", tolvane::test::RandomBytes(700000, 7), 1333333333}},
              "500000");
    ASSERT_EQ(a.volumes.size(), 5u);
    const std::string drive = a.dir / "drive";
    fs::create_directories(drive);
    fs::copy_file(a.volumes[0], drive + "/package.001");
    WizardFixture f;
    ReachProgressPage(f, NativePath(drive + "/package.001"), a.Target());
    f.Press(id::kStart);
    fs::rename(drive + "/package.001", drive + "/weg");
    fs::copy_file(a.volumes[1], drive + "/package.002");
    f.Press(id::kStart);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");

    f.Press(id::kBack);
    ASSERT_EQ(f.w().pageType(), kRestorePage1);
    EXPECT_EQ(f.Text(id::kSourcePathText), NativePath(drive + "/package.002"));
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    EXPECT_EQ(f.w().settings().currentVolume, 1);
    EXPECT_EQ(f.w().set().bytesDone, 0);
    EXPECT_EQ(f.w().set().current, f.w().set().head);

    // Every volume at hand now: one press from volume 1 to the end.
    fs::rename(drive + "/weg", drive + "/package.001");
    for (int n = 3; n <= 5; ++n) {
        fs::copy_file(a.volumes[n - 1], drive + "/package.00" + std::to_string(n));
    }
    f.Press(id::kNext);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    // What the first run wrote is asked about once before it is replaced.
    f.messages.answers.push_back(MessageResult::Yes);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "„eins.bin“\n„zwei.bin“\nsind im Zielverzeichnis schon vorhanden. Überschreiben?");
    EXPECT_EQ(f.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, TooLittleRoomKeepsThePage) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    f.fs.freeBytes = 1000;
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text, "Nicht genug freier Speicher auf Zieldatenträger!");
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    EXPECT_EQ(f.messages.shown[0].owner, f.w().currentPage()->native());
    EXPECT_EQ(f.w().pageType(), kRestoreProgressPage);
    EXPECT_FALSE(FileExists(a.Target() + "/bericht.dat"));
    f.fs.freeBytes.reset();
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, AFailedVolumeIsRestoredAgainOnRetry) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ShortWrite, 9);  // a file that began on volume 1
    f.messages.answers = {MessageResult::Ok, MessageResult::Retry};
    f.Press(id::kStart);
    EXPECT_TRUE(f.fs.fired());
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Beim Schreiben auf Medium ist ein Fehler aufgetreten!");
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::CopyBack::write");
    EXPECT_EQ(f.messages.shown[1].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, CancelOnTheRetryQuestionLeadsToTheStartPage) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ReadFails, 3);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::CopyBack::read");
    EXPECT_EQ(f.messages.shown[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
    EXPECT_EQ(f.w().settings().packagePath, "");
    // What was restored before stays in the folder.
    EXPECT_TRUE(FileExists(a.Target() + "/bericht.dat"));
}

TEST(RestoreRoad, ASetOfEmptyFilesIsRestored) {
    Archive a({{"leer1", "", 1000000000}, {"leer2", "", 1000000001}});
    ASSERT_EQ(a.volumes.size(), 1u);
    WizardFixture f;
    f.Press(id::kExtractButton);
    f.ChoosePackage(a.First(), id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "1");
    f.ChooseRestoreFolder(a.Target());
    f.Press(id::kNext);
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, AShortMiddleVolumeIsRefusedBeforeAnythingOfItIsWritten) {
    Archive a;
    const std::string bytes = tolvane::test::ReadFile(a.volumes[1]);
    WriteFile(a.volumes[1], bytes.substr(0, bytes.size() - 1));
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    // Retry after the whole volume is back.
    f.messages.answers = {MessageResult::Ok, MessageResult::Retry};
    f.messages.onShow = [&](const MessageRequest& m) {
        if (m.buttons == MessageButtons::RetryCancel) WriteFile(a.volumes[1], bytes);
    };
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Ein an den Computer angeschlossenes Gerät funktioniert nicht!");
    EXPECT_EQ(f.messages.shown[0].caption, "CopyBack::FileSize");
    EXPECT_EQ(f.messages.shown[0].owner, f.w().native());
    EXPECT_EQ(f.messages.shown[1].text,
              "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

// --- self-extracting sets, overwriting, stopping ---

TEST(RestoreRoad, ASelfExtractingSetRestoresLikeAPlainOneAlsoRenamed) {
    for (const char* firstName : {"package.exe", "paket.bin"}) {
        SCOPED_TRACE(firstName);
        WizardFixture f;
        TempDir dir;
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "arch");
        fs::create_directories(dir / "ziel");
        const auto sources = test::SampleSources();
        const auto volumes = CliSplit(test::WriteSources(dir / "src", sources),
                                      dir / "arch/package.exe", "1.44M", f.robotPath);
        ASSERT_EQ(volumes.size(), 3u);
        // Renamed, the later volumes follow the first one's stem (as the
        // stub looks for them).
        const std::string first = dir / ("arch/" + std::string(firstName));
        if (first != volumes[0]) {
            fs::rename(volumes[0], first);
            fs::rename(volumes[1], dir / "arch/paket.002");
            fs::rename(volumes[2], dir / "arch/paket.003");
        }
        ReachProgressPage(f, first, dir / "ziel");
        f.Press(id::kStart);
        for (const auto& m : f.messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
        EXPECT_EQ(f.w().pageType(), kCompletionPage);
        ExpectRestored(dir / "ziel", sources);
    }
}

// What the window splits, the window restores: every file with its bytes and
// time, from a plain and from a self-extracting set.
TEST(RestoreRoad, ASetSplitThroughTheWindowIsRestoredThroughIt) {
    for (const bool selfExtracting : {false, true}) {
        SCOPED_TRACE(selfExtracting ? "self-extracting" : "plain");
        TempDir dir;
        for (const char* folder : {"src", "arch", "ziel"}) fs::create_directories(dir / folder);
        const auto sources = test::SampleSources();
        {
            WizardFixture f;
            f.w().Command(kMenuCreate);
            f.ChooseSources(test::WriteSources(dir / "src", sources));
            f.ChooseTarget(dir / "arch/package.001", id::kTargetHardDisk);
            if (selfExtracting) f.Press(id::kSelfExtracting);
            f.Press(id::kNext);
            f.Press(id::kStart);
            ASSERT_EQ(f.w().pageType(), kCompletionPage);
        }
        const auto volumes =
            test::VolumesOf(dir / (selfExtracting ? "arch/package.exe" : "arch/package.001"));
        ASSERT_GE(volumes.size(), 2u);
        WizardFixture f;
        ReachProgressPage(f, volumes[0], dir / "ziel");
        f.Press(id::kStart);
        for (const auto& m : f.messages.shown) ADD_FAILURE() << m.caption << ": " << m.text;
        EXPECT_EQ(f.w().pageType(), kCompletionPage);
        ExpectRestored(dir / "ziel", sources);
    }
}

TEST(RestoreRoad, FilesInTheTargetAreAskedAboutOnceAndNeinChangesNothing) {
    Archive a;
    WriteFile(a.Target() + "/bericht.dat", "meine Daten");
    WriteFile(a.Target() + "/leer.txt", "auch meins");
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    f.messages.answers = {MessageResult::No};
    f.Press(id::kStart);
    EXPECT_FALSE(f.w().JobRunning());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const MessageRequest& question = f.messages.shown[0];
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.caption, "Tolvane");
    EXPECT_EQ(question.icon, Icon::Question);
    std::string names;
    for (const Source& s : a.sources) {
        if (s.name == "bericht.dat" || s.name == "leer.txt") names += "„" + s.name + "“\n";
    }
    EXPECT_EQ(question.text, names + "sind im Zielverzeichnis schon vorhanden. Überschreiben?");
    // Nein: nothing written, the page as it was.
    EXPECT_EQ(tolvane::test::ReadFile(a.Target() + "/bericht.dat"), "meine Daten");
    EXPECT_EQ(f.w().pageType(), kRestoreProgressPage);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");
    for (const Source& s : a.sources) {
        if (s.name != "bericht.dat" && s.name != "leer.txt") {
            EXPECT_FALSE(FileExists(a.Target() + "/" + s.name)) << s.name;
        }
    }
    // Ja: restored over them.
    f.messages.answers = {MessageResult::Yes};
    f.Press(id::kStart);
    EXPECT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestoreRoad, StoppedItKeepsTheBegunFileAndNamesTheVolumeToGoOnFrom) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.First(), a.Target());
    f.messages.answers = {MessageResult::Yes};
    // Held inside the first file: the stop comes while it is being written.
    ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 2));
    f.Press(id::kBack);
    f.gate.Release();
    f.WaitForJob();
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Soll der Vorgang abgebrochen werden?");
    const std::string& said = f.messages.shown[1].text;
    EXPECT_EQ(said.rfind("Das Entpacken wurde abgebrochen.\nDie Datei „", 0), 0u) << said;
    const size_t open = said.find("„") + std::string("„").size();
    const std::string begun = said.substr(open, said.find("“") - open);
    EXPECT_EQ(begun, "bericht.dat");
    const auto volumeAt = said.find("ab Datenträger Nummer ");
    ASSERT_NE(volumeAt, std::string::npos) << said;
    const int volume = std::stoi(said.substr(volumeAt + 22));
    EXPECT_GE(volume, 1);
    EXPECT_LE(volume, 3);
    // The begun file holds the start of its bytes.
    const auto it = std::find_if(a.sources.begin(), a.sources.end(),
                                 [&](const Source& s) { return s.name == begun; });
    ASSERT_NE(it, a.sources.end()) << begun;
    const std::string written = tolvane::test::ReadFile(a.Target() + "/" + begun);
    EXPECT_EQ(written, it->bytes.substr(0, written.size()));
    // The page where GO was pressed, as it was.
    ASSERT_EQ(f.w().pageType(), kRestoreProgressPage);
    EXPECT_EQ(f.w().settings().currentVolume, 1);
    EXPECT_EQ(f.w().settings().packagePath, a.First());
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  1");

    // "Entpacken fortsetzen" from the volume named finishes the files.
    f.w().Command(kMenuNew);
    f.w().Command(kMenuContinue);
    f.ChoosePackage(a.volumes[volume - 1], id::kSourceHardDisk);
    for (int n = 1; n < volume; ++n) f.Press(id::kPlus);
    f.ChooseRestoreFolder(a.Target());
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kContinueProgressPage);
    f.messages.answers = {MessageResult::Yes};  // files after the begun one
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(RestorePage1, ADriveWithoutAMediumIsSaidAndNoChooserOpens) {
    WizardFixture f;
    f.shell.roots.bDevice.clear();
    f.Press(id::kExtractButton);
    f.Press(id::kSourceDriveB);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "In Laufwerk B ist kein Datenträger eingelegt.\nBitte legen Sie einen Datenträger "
              "ein!");
    EXPECT_TRUE(f.dialogs.requests.empty());
    EXPECT_EQ(f.w().settings().targetRoot, "");
}

}  // namespace
}  // namespace tolvane::ui

// The continue-extraction wizard, driven as a user would on archives that
// tolvane-cli wrote: a restore is interrupted part-way through a volume, and
// the wizard goes on from a chosen volume; the files must come out identical
// to the originals, with their times.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tests/gui/wizard_test_support.h"
#include "tests/support/archive_run.h"
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
using tolvane::test::FsPath;
using tolvane::test::WriteFile;

namespace fs = std::filesystem;

constexpr const char* kMissing =
    "Bitte wählen Sie unbedingt eine Quelle \nund ein Ziel für den Kopiervorgang aus !";

// The sample files (three volumes of 1,44 MB) split by tolvane-cli into
// dir/arch, and the folder dir/ziel to restore into. With a robot image the
// set is self-extracting (package.exe, package.002, ...).
struct Archive {
    explicit Archive(const std::string& robotPath = "") : sources(test::SampleSources()) {
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "arch");
        fs::create_directories(dir / "ziel");
        volumes = CliSplit(test::WriteSources(dir / "src", sources),
                           robotPath.empty() ? dir / "arch/package.001" : dir / "arch/package.exe",
                           "1.44M", robotPath);
    }
    std::string Target() const { return dir / "ziel"; }

    TempDir dir;
    std::vector<Source> sources;
    std::vector<std::string> volumes;
};

// A restore of the archive into its target that stopped in the middle of
// volume stopAt: the volumes before it are restored, then a write of that
// volume fails and the retry question is answered Cancel. The file the
// volume cuts is left longer than the part the earlier volumes gave it.
void InterruptRestore(const Archive& a, int stopAt) {
    tolvane::test::ArchiveRun run;
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    ASSERT_TRUE(run.PrepareRestore(a.volumes[0], a.Target()));
    for (int n = 1; n < stopAt; ++n) {
        ASSERT_EQ(run.set.CopyBack(variant), 1) << n;
        ++run.settings.currentVolume;
    }
    run.fs.ResetCounts();
    run.fs.Arm(Fault::ShortWrite, 2);
    ASSERT_EQ(run.set.CopyBack(variant), 0);
    ASSERT_TRUE(run.fs.fired());
    ASSERT_EQ(run.set.RetryVolume(), 0);  // Cancel
}

// The continue wizard with the package, the target and the start number
// chosen, on the progress page.
void ReachProgressPage(WizardFixture& f, const std::string& package, const std::string& target,
                       int startAt) {
    f.w().Command(kMenuContinue);
    ASSERT_EQ(f.w().pageType(), kContinuePage1);
    f.ChoosePackage(package, id::kSourceHardDisk);
    f.ChooseRestoreFolder(target);
    for (int n = 1; n < startAt; ++n) f.Press(id::kPlus);
    ASSERT_EQ(f.Text(id::kNumberText), std::to_string(startAt));
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kContinueProgressPage);
}

std::vector<std::string> DoneColumn(WizardFixture& f) {
    std::vector<std::string> done;
    for (int row = 0; row < f.ui().ListRowCount(id::kFileList); ++row) {
        done.push_back(f.ui().ListCell(id::kFileList, row, 3));
    }
    return done;
}

TEST(ContinuePage1, AnyVolumeServesAndTheNumberStaysWithinTheArchive) {
    Archive a;
    ASSERT_EQ(a.volumes.size(), 3u);
    WizardFixture f;
    f.w().Command(kMenuContinue);
    // Before an archive is read there is no volume to count up to.
    f.Press(id::kPlus);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    f.Press(id::kMinus);
    EXPECT_EQ(f.Text(id::kNumberText), "1");

    f.ChoosePackage(a.volumes[1], id::kSourceDriveA);
    ASSERT_EQ(f.dialogs.requests.size(), 1u);
    const ChooserRequest& r = f.dialogs.requests[0];
    EXPECT_EQ(r.operation, ChooserOperation::OpenPackage);
    EXPECT_EQ(r.title, "Datei(en) auswählen");
    EXPECT_EQ(r.filterText, "Archive (*.001,*.002,...)");
    EXPECT_EQ(r.filterPattern, "*.*");
    EXPECT_EQ(r.initialFolder, f.shell.roots.a);
    EXPECT_EQ(f.Text(id::kSourcePathText), a.volumes[1]);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.Text(id::kFileCountText), "4");
    EXPECT_EQ(f.Text(id::kTotalSizeText), FormatThousands(3300000 + f.w().set().headerSize));

    for (int i = 0; i < 4; ++i) f.Press(id::kPlus);
    EXPECT_EQ(f.Text(id::kNumberText), "3");
    EXPECT_EQ(f.w().settings().currentVolume, 3);
    f.Press(id::kMinus);
    EXPECT_EQ(f.Text(id::kNumberText), "2");
    for (int i = 0; i < 3; ++i) f.Press(id::kMinus);
    EXPECT_EQ(f.Text(id::kNumberText), "1");

    // A new package starts at volume 1 again.
    f.Press(id::kPlus);
    f.Press(id::kPlus);
    f.ChoosePackage(a.volumes[2], id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    EXPECT_EQ(f.w().settings().currentVolume, 1);

    // The information page brings the page back with everything chosen.
    f.ChooseRestoreFolder(a.Target());
    f.Press(id::kPlus);
    f.w().Command(kMenuInformation);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().pageType(), kContinuePage1);
    EXPECT_EQ(f.Text(id::kSourcePathText), a.volumes[2]);
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    EXPECT_EQ(f.Text(id::kNumberText), "2");
    EXPECT_TRUE(f.messages.shown.empty());
}

TEST(ContinuePage1, WeiterNeedsAnArchiveAndAFolder) {
    Archive a;
    WriteFile(a.dir / "fremd.002", "Kein Archiv.");
    WizardFixture f;
    f.w().Command(kMenuContinue);
    f.Press(id::kNext);
    f.ChooseRestoreFolder(a.Target());
    f.Press(id::kNext);
    f.ChoosePackage(a.volumes[0], id::kSourceHardDisk);
    f.Press(id::kPlus);
    f.ChoosePackage(a.dir / "fremd.002", id::kSourceHardDisk);
    EXPECT_EQ(f.Text(id::kSourcePathText), "");
    EXPECT_EQ(f.Text(id::kFileCountText), "0");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "0");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "0");  // no header to count either
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    f.Press(id::kPlus);  // no archive: no volume 2
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 4u);
    EXPECT_EQ(f.messages.shown[2].text, texts::kNotAPackage);
    for (size_t i : {0u, 1u, 3u}) {
        EXPECT_EQ(f.messages.shown[i].text, kMissing);
        EXPECT_EQ(f.messages.shown[i].caption, "Tolvane");
        EXPECT_EQ(f.messages.shown[i].icon, Icon::Warning);
    }
    EXPECT_EQ(f.w().pageType(), kContinuePage1);
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kStartPage);
}

TEST(ContinuePage1, AVolumeTheHeaderPromisesButTheDataDoNotFillIsRefused) {
    // A header that claims five volumes for 100 bytes of data: volumes 2 to 5
    // hold nothing of it, and starting there would put bytes in wrong places.
    TempDir dir;
    const std::vector<RecordSource> records = {{"a.bin", 100, {}}};
    WriteFile(dir / "package.001",
              BuildHeader('K', 1, 5, 100, 100000, records) + std::string(100, 'a'));
    fs::create_directories(dir / "ziel");
    WizardFixture f;
    f.w().Command(kMenuContinue);
    f.ChoosePackage(dir / "package.001", id::kSourceHardDisk);
    f.ChooseRestoreFolder(dir / "ziel");
    f.Press(id::kPlus);
    f.Press(id::kPlus);
    f.Press(id::kNext);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Das Archiv hat 5 Datenträger; einen Datenträger Nummer 3 gibt es nicht.");
    EXPECT_EQ(f.w().pageType(), kContinuePage1);
}

TEST(ContinueProgressPage, ShowsThePositionOfTheStartVolume) {
    Archive a;
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 2);
    const QuellDateien& q = f.w().set();
    const int64_t capacity = f.w().settings().volumeSize - q.headerSize;
    // bericht.dat and leer.txt lie wholly in volume 1; Größe.bin is cut.
    EXPECT_EQ(DoneColumn(f), (std::vector<std::string>{"1.000.000", "0",
                                                       FormatThousands(capacity - 1000000), "0"}));
    EXPECT_EQ(q.currentIndex, 2);
    EXPECT_EQ(q.bytesDone, capacity);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");
    EXPECT_EQ(f.Text(id::kLabelOverall), "Gesamtstatus:");
    EXPECT_EQ(f.Text(id::kLabelVolume), "Diskstatus:");
    EXPECT_EQ(f.ui().Tooltip(id::kStart), "Starten");
    for (int menu : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair, kMenuInformation}) {
        EXPECT_FALSE(f.MenuEnabled(menu)) << menu;
    }

    // Back rewinds everything; page 9 shows volume 1 again.
    f.Press(id::kBack);
    ASSERT_EQ(f.w().pageType(), kContinuePage1);
    EXPECT_EQ(f.Text(id::kNumberText), "1");
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    EXPECT_EQ(q.bytesDone, 0);
    EXPECT_EQ(q.current, q.head);
    for (const FileEntry* e = q.head; e != nullptr; e = e->next) EXPECT_EQ(e->done, 0);
}

// The restore stopped inside volume n; the wizard goes on from n (chosen
// through another volume of the set than the first) in one press.
void ContinueAfterInterruption(int n, bool selfExtracting) {
    WizardFixture f;
    Archive a(selfExtracting ? f.robotPath : "");
    ASSERT_EQ(a.volumes.size(), 3u);
    InterruptRestore(a, n);
    ReachProgressPage(f, a.volumes[n == 3 ? 1 : 2], a.Target(), n);
    test::ProgressRecorder recorder(f);
    // The files the earlier run wrote after the begun one may be replaced.
    f.messages.answers.push_back(MessageResult::Yes);
    f.Press(id::kStart);
    for (const MessageRequest& m : f.messages.shown) {
        EXPECT_EQ(m.buttons, MessageButtons::YesNo) << m.text;
    }
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich entpackt");
    EXPECT_EQ(f.Text(id::kTargetPathText), a.Target());
    ExpectRestored(a.Target(), a.sources);
    // Once the overall bar moves, it starts at the share of the skipped
    // volumes (a slow run may first paint the page's empty bar).
    ASSERT_FALSE(recorder.frames.empty());
    if (n > 1) {
        for (const auto& frame : recorder.frames) {
            if (frame.overall == 0) continue;
            EXPECT_GE(frame.overall, 40 * (n - 1));
            break;
        }
    }
    EXPECT_EQ(recorder.frames.back().overall, 100);
}

TEST(ContinueRoad, GoesOnFromTheFirstVolume) {
    ContinueAfterInterruption(1, false);
}
TEST(ContinueRoad, GoesOnFromAMiddleVolume) {
    ContinueAfterInterruption(2, false);
}
TEST(ContinueRoad, GoesOnFromTheLastVolume) {
    ContinueAfterInterruption(3, false);
}
TEST(ContinueRoad, GoesOnInASelfExtractingSet) {
    ContinueAfterInterruption(2, true);
    ContinueAfterInterruption(3, true);
}

TEST(ContinueRoad, FilesBeforeTheStartVolumeAreNotTouched) {
    Archive a;
    InterruptRestore(a, 3);
    // A file wholly in the skipped volumes counts as restored as it is.
    WriteFile(a.Target() + "/bericht.dat", "vom Benutzer geändert");
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 3);
    f.Press(id::kStart);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(tolvane::test::ReadFile(a.Target() + "/bericht.dat"), "vom Benutzer geändert");
    std::vector<Source> rest(a.sources.begin() + 2, a.sources.end());
    ExpectRestored(a.Target(), rest);
}

// Before the first byte the page asks about the files after the continued
// one that the target holds already; Nein writes nothing, Ja goes on.
TEST(ContinueRoad, FilesAfterTheContinuedOneAreAskedAboutAndNeinChangesNothing) {
    Archive a;
    InterruptRestore(a, 2);
    const std::string begun = a.Target() + "/Größe.bin";
    const auto begunSize = fs::file_size(FsPath(begun));
    WriteFile(a.Target() + "/zuletzt.log", "meine Daten");
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 2);
    f.messages.answers = {MessageResult::No};
    f.Press(id::kStart);
    EXPECT_FALSE(f.w().JobRunning());
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const MessageRequest& question = f.messages.shown[0];
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.icon, Icon::Question);
    EXPECT_EQ(question.owner, f.page().native());
    // Neither the files before the start volume nor the continued one.
    EXPECT_EQ(question.text,
              "„zuletzt.log“\nsind im Zielverzeichnis schon vorhanden. Überschreiben?");
    EXPECT_EQ(tolvane::test::ReadFile(a.Target() + "/zuletzt.log"), "meine Daten");
    EXPECT_EQ(fs::file_size(FsPath(begun)), begunSize);
    EXPECT_EQ(f.w().pageType(), kContinueProgressPage);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  2");

    f.messages.answers = {MessageResult::Yes};
    f.Press(id::kStart);
    EXPECT_EQ(f.messages.shown.size(), 2u);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(ContinueRoad, WithRoomForOneVolumeOnlyOneVolumePerPress) {
    Archive a;
    InterruptRestore(a, 2);
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 2);
    // Room for one full volume, not for the whole archive.
    f.fs.freeBytes = 2000000;
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kContinueProgressPage);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  3");
    f.Press(id::kStart);
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(ContinueRoad, TooLittleRoomForOneVolumeKeepsThePage) {
    Archive a;
    InterruptRestore(a, 2);
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 2);
    f.fs.freeBytes = 1000000;
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Nicht genug freier Speicher auf Zieldatenträger oder Diskette nicht formatiert!");
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
    EXPECT_EQ(f.messages.shown[0].icon, Icon::Warning);
    EXPECT_EQ(f.messages.shown[0].owner, f.w().currentPage()->native());
    EXPECT_EQ(f.w().pageType(), kContinueProgressPage);
    EXPECT_FALSE(FileExists(a.Target() + "/zuletzt.log"));
    f.fs.freeBytes.reset();
    f.Press(id::kStart);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ExpectRestored(a.Target(), a.sources);
}

TEST(ContinueRoad, AFailedVolumeIsDoneAgainOnRetryAndCancelLeadsToTheStartPage) {
    Archive a;
    InterruptRestore(a, 2);
    {
        WizardFixture f;
        ReachProgressPage(f, a.volumes[0], a.Target(), 2);
        f.fs.ResetCounts();
        f.fs.Arm(Fault::ShortWrite, 3);
        f.messages.answers = {MessageResult::Ok, MessageResult::Retry};
        f.Press(id::kStart);
        EXPECT_TRUE(f.fs.fired());
        ASSERT_EQ(f.messages.shown.size(), 2u);
        EXPECT_EQ(f.messages.shown[0].caption, "QuellDateien::CopyBack::write");
        EXPECT_EQ(f.messages.shown[1].text,
                  "Fehler bei Datenträger#: 2\nLetztes Package/Diskette wiederholen");
        ASSERT_EQ(f.w().pageType(), kCompletionPage);
        ExpectRestored(a.Target(), a.sources);
    }
    InterruptRestore(a, 3);
    WizardFixture f;
    ReachProgressPage(f, a.volumes[0], a.Target(), 3);
    f.fs.ResetCounts();
    f.fs.Arm(Fault::ReadFails, 2);  // the first data read; the first is the header's
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[1].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
}

}  // namespace
}  // namespace tolvane::ui

// Recovery data in the window: the restore's question when a volume is
// missing, damaged or another set's (Ja rebuilds it and the restore goes on,
// Nein leaves the restore as it always was), and the repair road that rebuilds
// from the recovery data alone. The sets come from tolvane-cli split
// --recovery; where par2 is installed it must accept what the window rebuilt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>

#include "engine/texts.h"
#include "tests/gui/wizard_test_support.h"
#include "ui/framework/ids.h"

extern char** environ;

namespace tolvane::ui {
namespace {

using test::ExpectRestored;
using test::RunCli;
using test::Source;
using test::TempDir;
using test::WizardFixture;
using tolvane::test::FileExists;
using tolvane::test::ReadFile;
using tolvane::test::WriteFile;

namespace fs = std::filesystem;

// The sample files split onto three volumes of 1,44 MB with recovery data
// for `lost` volumes beside them (dir/arch), a copy of the volumes as they
// were written (dir/orig) and an empty folder to restore into (dir/ziel).
struct RecoverableSet {
    explicit RecoverableSet(int lost, std::vector<Source> files = test::SampleSources())
        : sources(std::move(files)) {
        for (const char* sub : {"src", "arch", "orig", "ziel"}) fs::create_directories(dir / sub);
        std::vector<std::string> args = {
            "split", "--size", "1.44M", "--recovery", std::to_string(lost), "-o", Volume(1)};
        for (const std::string& p : test::WriteSources(dir / "src", sources)) args.push_back(p);
        EXPECT_EQ(RunCli(args), 0);
        for (int n = 1; n <= 3; ++n) fs::copy_file(Volume(n), Original(n));
    }
    std::string Volume(int n) const { return dir / ("arch/package.00" + std::to_string(n)); }
    std::string Original(int n) const { return dir / ("orig/package.00" + std::to_string(n)); }
    std::string Target() const { return dir / "ziel"; }
    // Every volume as the split wrote it, and nothing half-made beside them.
    void ExpectWhole() const {
        for (int n = 1; n <= 3; ++n) {
            EXPECT_TRUE(ReadFile(Volume(n)) == ReadFile(Original(n))) << Volume(n);
        }
        ExpectNoTemporaries();
    }
    void ExpectNoTemporaries() const {
        for (const auto& e : fs::directory_iterator(dir / "arch")) {
            EXPECT_EQ(e.path().string().find(".tolvane-neu"), std::string::npos) << e.path();
        }
    }

    TempDir dir;
    std::vector<Source> sources;
};

// Another set of the same shape (a file of it a second younger): its volume 2
// is "foreign" to the first.
std::string ForeignVolume2(const TempDir& dir) {
    std::vector<Source> other = test::SampleSources();
    other[0].bytes[0] ^= 1;
    other[0].mtime += 1;
    fs::create_directories(dir / "other");
    const std::vector<std::string> paths = test::WriteSources(dir / "other", other);
    std::vector<std::string> args = {"split", "--size", "1.44M", "-o", dir / "other/x.001"};
    args.insert(args.end(), paths.begin(), paths.end());
    EXPECT_EQ(RunCli(args), 0);
    return dir / "other/x.002";
}

// par2's verdict on the set (0: all files correct), or -1 when it is not
// installed.
int Par2Verify(const std::string& indexFile) {
    const char* argv[] = {"par2", "verify", "-q", indexFile.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started =
        posix_spawnp(&pid, "par2", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 127 ? -1 : WEXITSTATUS(status);
}

void ExpectPar2Accepts(const RecoverableSet& s) {
    const int verdict = Par2Verify(s.dir / "arch/package.par2");
    if (verdict == -1) return;  // par2 not installed
    EXPECT_EQ(verdict, 0);
}

void ReachRestoreProgress(WizardFixture& f, const std::string& package, const std::string& target) {
    f.Press(id::kExtractButton);
    f.ChoosePackage(package, id::kSourceHardDisk);
    f.ChooseRestoreFolder(target);
    f.Press(id::kNext);
    ASSERT_EQ(f.w().pageType(), kRestoreProgressPage);
}

// --- the restore's question ---

struct BadVolumeCase {
    const char* what;
    std::function<void(const RecoverableSet&)> spoil;
    const char* question;
};

class RestoreWithRecovery : public testing::TestWithParam<BadVolumeCase> {};

TEST_P(RestoreWithRecovery, JaRebuildsTheVolumeAndRestoresEveryFileWithoutAnotherPrompt) {
    const BadVolumeCase& c = GetParam();
    RecoverableSet s(1);
    c.spoil(s);
    const std::string before = FileExists(s.Volume(2)) ? ReadFile(s.Volume(2)) : "";
    WizardFixture f;
    ReachRestoreProgress(f, s.Volume(1), s.Target());
    f.messages.answers = {MessageResult::Yes};
    f.Press(id::kStart);

    ASSERT_EQ(f.messages.shown.size(), 1u);
    const MessageRequest& asked = f.messages.shown[0];
    EXPECT_EQ(asked.text, c.question);
    EXPECT_EQ(asked.caption, "Tolvane");
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.icon, Icon::Question);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kCompletionNote),
              "Aus den Wiederherstellungsdaten neu erstellt:\npackage.002");
    ExpectRestored(s.Target(), s.sources);
    s.ExpectWhole();
    ExpectPar2Accepts(s);
    // A volume of another set keeps its bytes beside the rebuilt one.
    if (std::string(c.what) == "foreign") {
        EXPECT_TRUE(ReadFile(s.Volume(2) + ".fremd") == before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Volume2, RestoreWithRecovery,
    testing::Values(
        BadVolumeCase{"missing", [](const RecoverableSet& s) { fs::remove(s.Volume(2)); },
                      "Datenträger 2 fehlt. Soll er aus den Wiederherstellungsdaten neu erstellt "
                      "werden?"},
        BadVolumeCase{"short",
                      [](const RecoverableSet& s) { fs::resize_file(s.Volume(2), 1000000); },
                      "Datenträger 2 ist beschädigt. Soll er aus den Wiederherstellungsdaten neu "
                      "erstellt werden?"},
        BadVolumeCase{"foreign",
                      [](const RecoverableSet& s) {
                          fs::remove(s.Volume(2));
                          fs::copy_file(ForeignVolume2(s.dir), s.Volume(2));
                      },
                      "Datenträger 2 gehört zu einem anderen Archiv. Soll er aus den "
                      "Wiederherstellungsdaten neu erstellt werden?\n(Die vorhandene Datei bleibt "
                      "mit der Endung „.fremd“ erhalten.)"}),
    [](const testing::TestParamInfo<BadVolumeCase>& info) { return info.param.what; });

TEST(RestoreWithRecovery, NeinLeavesTheMissingVolumeToTheRetryQuestionAsBefore) {
    RecoverableSet s(1);
    fs::remove(s.Volume(2));
    WizardFixture f;
    ReachRestoreProgress(f, s.Volume(1), s.Target());
    f.messages.answers = {MessageResult::No};  // then Cancel
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 3u);
    EXPECT_EQ(f.messages.shown[1].text, texts::kFileNotFound);
    EXPECT_EQ(f.messages.shown[1].caption, texts::kCapCheckDisk);
    EXPECT_EQ(f.messages.shown[2].buttons, MessageButtons::RetryCancel);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_FALSE(FileExists(s.Volume(2)));
    s.ExpectNoTemporaries();
}

TEST(RestoreWithRecovery, TooLittleRecoveryDataIsSaidAndNothingIsWritten) {
    RecoverableSet s(1);
    fs::remove(s.Volume(1));
    fs::remove(s.Volume(2));
    WizardFixture f;
    ReachRestoreProgress(f, s.Volume(3), s.Target());
    f.messages.answers = {MessageResult::Yes};  // then OK, then Cancel
    f.Press(id::kStart);
    ASSERT_GE(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Datenträger 1 fehlt. Soll er aus den Wiederherstellungsdaten neu erstellt werden?");
    EXPECT_EQ(f.messages.shown[1].text,
              "Zu wenig Wiederherstellungsdaten: benötigt werden 2 Blöcke, vorhanden sind 1.\n"
              "Es fehlen noch 1 Block (Wiederherstellungsdaten für 1 weiteren Datenträger). Es "
              "wurde nichts geschrieben.");
    EXPECT_EQ(f.messages.shown[1].caption, "Tolvane");
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_FALSE(FileExists(s.Volume(1)));
    EXPECT_FALSE(FileExists(s.Volume(2)));
    s.ExpectNoTemporaries();
}

// --- the repair road ---

void ReachRecoveryRoad(WizardFixture& f, const std::string& chosen) {
    f.w().Command(kMenuRepair);
    f.Press(id::kRecoveryRoad);
    ASSERT_EQ(f.w().pageType(), kRecoveryRepairPage);
    f.ChoosePackage(chosen, id::kSourceHardDisk);
}

std::vector<std::string> States(WizardFixture& f) {
    std::vector<std::string> states;
    for (int row = 0; row < f.ui().ListRowCount(id::kFileList); ++row) {
        states.push_back(f.ui().ListCell(id::kFileList, row, 1) + ": " +
                         f.ui().ListCell(id::kFileList, row, 2));
    }
    return states;
}

struct RoadCase {
    const char* what;
    int lost;
    std::function<void(const RecoverableSet&)> spoil;
    std::vector<std::string> states;
    const char* summary;
    const char* note;  // on the completion page; nullptr: GO refuses
};

class RecoveryRoad : public testing::TestWithParam<RoadCase> {};

TEST_P(RecoveryRoad, ListsEveryVolumeAndRebuildsWhatTheRecoveryDataCovers) {
    const RoadCase& c = GetParam();
    RecoverableSet s(c.lost);
    c.spoil(s);
    WizardFixture f;
    // Any recovery file leads to its set.
    ReachRecoveryRoad(f, s.dir / "arch/package.par2");
    EXPECT_EQ(States(f), c.states);
    EXPECT_EQ(f.Text(id::kRecoverySummary), c.summary);

    f.Press(id::kStart);
    if (c.note == nullptr) {
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].text, c.summary);
        EXPECT_EQ(f.w().pageType(), kRecoveryRepairPage);
        s.ExpectNoTemporaries();
        return;
    }
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich repariert");
    EXPECT_EQ(f.Text(id::kCompletionNote), c.note);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "3");
    EXPECT_EQ(f.Text(id::kFileCountText), "4");
    s.ExpectWhole();
    ExpectPar2Accepts(s);
}

void FlipAByte(const std::string& path, int64_t at) {
    std::string bytes = ReadFile(path);
    bytes[at] ^= 0x40;
    WriteFile(path, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, RecoveryRoad,
    testing::Values(
        RoadCase{"MissingAndDamaged",
                 2,
                 [](const RecoverableSet& s) {
                     fs::remove(s.Volume(2));
                     FlipAByte(s.Volume(3), 300000);
                 },
                 {"package.001: in Ordnung", "package.002: fehlt", "package.003: beschädigt"},
                 "Aus den Wiederherstellungsdaten kann neu erstellt werden: package.002, "
                 "package.003",
                 "Aus den Wiederherstellungsdaten neu erstellt:\npackage.002, package.003"},
        RoadCase{"Foreign",
                 1,
                 [](const RecoverableSet& s) {
                     fs::remove(s.Volume(1));
                     fs::copy_file(ForeignVolume2(s.dir), s.Volume(1));
                 },
                 {"package.001: fremd", "package.002: in Ordnung", "package.003: in Ordnung"},
                 "Aus den Wiederherstellungsdaten kann neu erstellt werden: package.001",
                 "Aus den Wiederherstellungsdaten neu erstellt:\npackage.001"},
        RoadCase{"TooLittle",
                 1,
                 [](const RecoverableSet& s) {
                     fs::remove(s.Volume(1));
                     fs::remove(s.Volume(3));
                 },
                 {"package.001: fehlt", "package.002: in Ordnung", "package.003: fehlt"},
                 "Zu wenig Wiederherstellungsdaten: benötigt werden 2 Blöcke, vorhanden sind 1.\n"
                 "Es fehlen noch 1 Block (Wiederherstellungsdaten für 1 weiteren Datenträger). "
                 "Es wurde nichts geschrieben.",
                 nullptr}),
    [](const testing::TestParamInfo<RoadCase>& info) { return info.param.what; });

TEST(RecoveryRoad, AStopDuringTheRebuildLeavesNoVolumeUnderItsName) {
    RecoverableSet s(1);
    fs::remove(s.Volume(2));
    WizardFixture f;
    ReachRecoveryRoad(f, s.Volume(3));
    f.messages.answers = {MessageResult::Yes};  // stop the job
    // Held at the rebuilt volume's first write.
    ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 1));
    f.Press(id::kBack);
    f.gate.Release();
    f.WaitForJob();
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Soll der Vorgang abgebrochen werden?");
    EXPECT_EQ(f.messages.shown[1].text,
              "Das Wiederherstellen wurde abgebrochen; es wurde nichts ersetzt.");
    EXPECT_FALSE(FileExists(s.Volume(2)));
    s.ExpectNoTemporaries();
    // The page as before GO, and GO again finishes it.
    ASSERT_EQ(f.w().pageType(), kRecoveryRepairPage);
    EXPECT_EQ(States(f), (std::vector<std::string>{"package.001: in Ordnung", "package.002: fehlt",
                                                   "package.003: in Ordnung"}));
    f.Press(id::kStart);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    s.ExpectWhole();
}

TEST(RecoveryRoad, GoWithoutAChoiceAsksForOne) {
    WizardFixture f;
    f.w().Command(kMenuRepair);
    EXPECT_EQ(f.ui().Tooltip(id::kRecoveryRoad),
              "Ohne Originaldateien aus Wiederherstellungsdaten reparieren");
    f.Press(id::kRecoveryRoad);
    f.Press(id::kStart);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Bitte wählen Sie einen Datenträger oder eine .par2-Datei des Archivs aus!");
    f.Press(id::kBack);
    EXPECT_EQ(f.w().pageType(), kRepairPage1);
}

}  // namespace
}  // namespace tolvane::ui

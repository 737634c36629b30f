// Recovery data in the window: the choice on split page 1, the split that
// writes it beside the volumes or on further media (read back by par2 and
// compared with what tolvane-cli writes), its size on page 2 and the
// completion page, a stop while it is written, and the information page's
// line about the recovery data beside a volume.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "engine/sizing.h"
#include "tests/gui/wizard_test_support.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;
using test::RunCli;
using test::Source;
using test::TempDir;
using test::VolumesOf;
using test::WizardFixture;
using tolvane::test::ReadFile;

namespace fs = std::filesystem;

// The recovery files in folder, by name.
std::vector<std::string> Par2Files(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        if (e.path().extension() == ".par2") names.push_back(e.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
}

int64_t BytesOf(const std::string& folder, const std::vector<std::string>& names) {
    int64_t bytes = 0;
    for (const std::string& n : names)
        bytes += static_cast<int64_t>(fs::file_size(fs::path(folder) / n));
    return bytes;
}

std::string SizeLine(int64_t bytes) {
    return "Wiederherstellungsdaten: " + FormatThousands(bytes) + " Bytes";
}

bool HavePar2() {
    return std::system("command -v par2 >/dev/null 2>&1") == 0;
}

// par2's own verdict on the set in folder.
int Par2Verify(const std::string& folder) {
    return std::system(
        ("cd '" + folder + "' && par2 verify -q package.par2 >/dev/null 2>&1").c_str());
}

// Expects the same recovery files with the same bytes in both folders.
void ExpectSamePar2(const std::string& actual, const std::string& expected) {
    const std::vector<std::string> names = Par2Files(expected);
    ASSERT_FALSE(names.empty());
    ASSERT_EQ(Par2Files(actual), names);
    for (const std::string& n : names) {
        EXPECT_TRUE(ReadFile(fs::path(actual) / n) == ReadFile(fs::path(expected) / n)) << n;
    }
}

// The sample files chosen on page 1 (in the chooser's order), the target
// dir/out/package.001 on the hard disk.
struct RecoveryRoad {
    explicit RecoveryRoad(WizardFixture& f) {
        fs::create_directories(dir / "src");
        fs::create_directories(dir / "out");
        fs::create_directories(dir / "cli");
        paths = test::WriteSources(dir / "src", test::SampleSources());
        f.w().Command(kMenuCreate);
        f.ChooseSources(paths);
        f.ChooseTarget(Out() + "/package.001", id::kTargetHardDisk);
    }
    std::string Out() const { return dir / "out"; }
    std::string Cli() const { return dir / "cli"; }
    // tolvane-cli split of the same files with the given recovery options.
    bool CliSplit(const std::vector<std::string>& recovery, const std::string& robot = "") const {
        std::vector<std::string> args = {"split", "--size", "1.44M"};
        args.insert(args.end(), recovery.begin(), recovery.end());
        if (!robot.empty()) args.insert(args.end(), {"--sfx", "--robot", robot});
        args.push_back("-o");
        args.push_back(Cli() + (robot.empty() ? "/package.001" : "/package.exe"));
        args.insert(args.end(), paths.rbegin(), paths.rend());
        return RunCli(args) == 0;
    }

    TempDir dir;
    std::vector<std::string> paths;
};

// Ticks the box and sets the number with "+".
void ChooseRecovery(WizardFixture& f, int volumes) {
    f.Press(id::kRecoveryData);
    for (int n = 1; n < volumes; ++n) f.Press(id::kRecoveryMore);
}

TEST(SplitPage1Recovery, CheckBoxNumberAndTooltipsLiveInTheSettings) {
    GuiFixture f;
    f.w().Command(kMenuCreate);
    EXPECT_EQ(f.Text(id::kRecoveryData), "Wiederherstellungsdaten für 1 Datenträger");
    EXPECT_FALSE(f.ui().IsChecked(id::kRecoveryData));
    const std::pair<int, const char*> tooltips[] = {
        {id::kRecoveryData, "Wiederherstellungsdaten (PAR2) neben dem Archiv erzeugen"},
        {id::kRecoveryFewer, "Wiederherstellungsdaten für einen Datenträger weniger"},
        {id::kRecoveryMore, "Wiederherstellungsdaten für einen Datenträger mehr"},
    };
    for (auto [control, text] : tooltips) EXPECT_EQ(f.ui().Tooltip(control), text) << control;

    // The number stays within 1 to 99.
    const struct {
        int control;
        int presses;
        const char* text;
    } steps[] = {
        {id::kRecoveryFewer, 1, "Wiederherstellungsdaten für 1 Datenträger"},
        {id::kRecoveryMore, 2, "Wiederherstellungsdaten für 3 Datenträger"},
        {id::kRecoveryMore, 120, "Wiederherstellungsdaten für 99 Datenträger"},
        {id::kRecoveryFewer, 97, "Wiederherstellungsdaten für 2 Datenträger"},
    };
    for (const auto& step : steps) {
        for (int i = 0; i < step.presses; ++i) f.Press(step.control);
        EXPECT_EQ(f.Text(id::kRecoveryData), step.text);
    }
    f.Press(id::kRecoveryData);
    EXPECT_EQ(f.w().settings().recoveryData, 1);
    EXPECT_EQ(f.w().settings().recoveryVolumes, 2);

    // A page rebuilt after the About page shows the choice; the start page
    // clears it.
    f.w().Command(kMenuAbout);
    f.Press(id::kOk);
    ASSERT_EQ(f.w().pageType(), kSplitPage1);
    EXPECT_TRUE(f.ui().IsChecked(id::kRecoveryData));
    EXPECT_EQ(f.Text(id::kRecoveryData), "Wiederherstellungsdaten für 2 Datenträger");
    f.Press(id::kRecoveryData);
    EXPECT_EQ(f.w().settings().recoveryData, 0);
    f.Press(id::kBack);
    f.w().Command(kMenuCreate);
    EXPECT_FALSE(f.ui().IsChecked(id::kRecoveryData));
    EXPECT_EQ(f.Text(id::kRecoveryData), "Wiederherstellungsdaten für 1 Datenträger");
}

TEST(SplitPage1Recovery, NoControlOfTheTableMovesAndTheNewOnesLieInFreeRoom) {
    GuiFixture f;
    f.w().Command(kMenuCreate);
    const std::pair<int, Dlu> table[] = {
        {id::kLabelSource, {15, 10, 25, 8}},       {id::kSourceFiles, {45, 10, 35, 29}},
        {id::kLabelTarget, {95, 10, 30, 8}},       {id::kTargetDriveA, {130, 10, 35, 29}},
        {id::kTargetDriveB, {180, 10, 35, 29}},    {id::kTargetHardDisk, {230, 10, 35, 29}},
        {id::kLabelDiskFormat, {15, 55, 95, 10}},  {id::kSize288MB, {130, 55, 35, 15}},
        {id::kSize144MB, {180, 55, 35, 15}},       {id::kSize12MB, {230, 55, 35, 15}},
        {id::kSelfExtracting, {15, 75, 100, 15}},  {id::kSizeZip100, {130, 75, 35, 15}},
        {id::kSizeCustom, {180, 75, 85, 15}},      {id::kLabelSummarySource, {10, 105, 40, 10}},
        {id::kSourcePathText, {50, 105, 220, 10}}, {id::kLabelSummaryTarget, {10, 120, 40, 8}},
        {id::kTargetPathText, {50, 120, 220, 10}}, {id::kLabelVolumeCount, {10, 135, 55, 10}},
        {id::kVolumeCountText, {70, 135, 15, 10}}, {id::kLabelFileCount, {90, 135, 55, 10}},
        {id::kFileCountText, {145, 135, 15, 10}},  {id::kLabelTotalSize, {165, 135, 50, 10}},
        {id::kTotalSizeText, {220, 135, 45, 10}},  {id::kBack, {10, 160, 35, 29}},
        {id::kNext, {235, 160, 35, 29}},
    };
    std::vector<Rect> taken = {DluToRect({5, 0, 270, 45}, 96), DluToRect({5, 45, 270, 50}, 96),
                               DluToRect({5, 95, 270, 55}, 96)};
    for (const auto& [control, dlu] : table) {
        // A label may grow to the right for its font, never move.
        const Rect want = DluToRect(dlu, 96);
        const Rect got = f.ui().Bounds(control);
        EXPECT_EQ(got.x, want.x) << control;
        EXPECT_EQ(got.y, want.y) << control;
        EXPECT_EQ(got.height, want.height) << control;
        EXPECT_GE(got.width, want.width) << control;
        EXPECT_LE(got.width - want.width, 10) << control;
        taken.push_back(got);
    }
    auto overlap = [](const Rect& a, const Rect& b) {
        return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height &&
               b.y < a.y + a.height;
    };
    for (int control : {id::kRecoveryData, id::kRecoveryFewer, id::kRecoveryMore}) {
        const Rect r = f.ui().Bounds(control);
        EXPECT_GT(r.width, 0) << control;
        for (const Rect& t : taken) {
            EXPECT_FALSE(overlap(r, t)) << control << " overlaps " << t.x << "," << t.y;
        }
    }
}

TEST(SplitPage1Recovery, NextRefusesMoreVolumesThanTheSetHas) {
    WizardFixture f;
    RecoveryRoad road(f);
    ChooseRecovery(f, 4);
    f.Press(id::kNext);
    EXPECT_EQ(f.w().pageType(), kSplitPage1);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_EQ(f.messages.shown[0].text,
              "Für 4 Datenträger können keine Wiederherstellungsdaten erstellt werden: das Archiv "
              "hat 3 Datenträger.");
    EXPECT_EQ(f.messages.shown[0].caption, "Tolvane");
}

TEST(SplitRecovery, BesideTheVolumesAsTheCommandLineWritesItAndPar2AcceptsIt) {
    for (bool selfExtracting : {false, true}) {
        SCOPED_TRACE(selfExtracting);
        WizardFixture f;
        RecoveryRoad road(f);
        if (selfExtracting) f.Press(id::kSelfExtracting);
        ChooseRecovery(f, 2);
        f.Press(id::kNext);
        ASSERT_EQ(f.w().pageType(), kSplitPage2);
        const std::string planned = f.Text(id::kRecoverySizeText);
        f.Press(id::kStart);
        EXPECT_TRUE(f.messages.shown.empty());
        ASSERT_EQ(f.w().pageType(), kCompletionPage);

        ASSERT_TRUE(road.CliSplit({"--recovery", "2"}, selfExtracting ? f.robotPath : ""));
        ExpectSamePar2(road.Out(), road.Cli());
        EXPECT_EQ(Par2Files(road.Out()),
                  (std::vector<std::string>{"package.par2", "package.vol0+1.par2",
                                            "package.vol1+1.par2"}));
        const int64_t bytes = BytesOf(road.Out(), Par2Files(road.Out()));
        EXPECT_EQ(planned, SizeLine(bytes));
        EXPECT_EQ(f.Text(id::kRecoverySizeText), SizeLine(bytes));
        if (HavePar2()) {
            EXPECT_EQ(Par2Verify(road.Out()), 0);
        }
    }
    if (!HavePar2()) GTEST_SKIP() << "par2 is not installed";
}

TEST(SplitRecovery, WithoutTheChoiceNothingIsWrittenOrShown) {
    WizardFixture f;
    RecoveryRoad road(f);
    f.Press(id::kRecoveryMore);  // a number alone chooses nothing
    f.Press(id::kNext);
    EXPECT_EQ(f.Text(id::kRecoverySizeText), "");
    f.Press(id::kStart);
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kRecoverySizeText), "");
    EXPECT_TRUE(Par2Files(road.Out()).empty());
}

TEST(SplitRecovery, OnFloppiesEachRecoveryFileAsksForAFurtherDisk) {
    WizardFixture f;
    RecoveryRoad road(f);
    ChooseRecovery(f, 1);
    f.fs.freeBytes = 1457664;  // a 1,44 MB floppy: room for one volume
    f.Press(id::kNext);
    const std::string planned = f.Text(id::kRecoverySizeText);
    std::vector<std::string> prompts;
    for (int press = 0; press < 10 && f.w().pageType() == kSplitPage2; ++press) {
        f.Press(id::kStart);
        if (f.w().pageType() == kSplitPage2) prompts.push_back(f.Text(id::kStatusText));
    }
    EXPECT_TRUE(f.messages.shown.empty());
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ASSERT_TRUE(road.CliSplit({"--recovery", "1", "--recovery-pieces"}));
    ExpectSamePar2(road.Out(), road.Cli());
    const std::vector<std::string> files = Par2Files(road.Out());
    // The volumes' prompts, then one disk per recovery file (the index goes
    // with the first).
    std::vector<std::string> expected;
    for (size_t n = 2; n <= 3 + files.size() - 1; ++n) {
        expected.push_back("Bitte einlegen: Datenträger#  " + std::to_string(n));
    }
    EXPECT_EQ(prompts, expected);
    for (const std::string& name : files) {
        EXPECT_LE(fs::file_size(fs::path(road.Out()) / name), 1441792u) << name;
    }
    const int64_t bytes = BytesOf(road.Out(), files);
    EXPECT_EQ(planned, SizeLine(bytes));
    EXPECT_EQ(f.Text(id::kRecoverySizeText), SizeLine(bytes));
    if (!HavePar2()) GTEST_SKIP() << "par2 is not installed";
    EXPECT_EQ(Par2Verify(road.Out()), 0);
}

TEST(SplitRecovery, AStopWhileItIsWrittenLeavesNoneOfItAndGoesOnAgain) {
    WizardFixture f;
    RecoveryRoad road(f);
    ChooseRecovery(f, 1);
    f.fs.freeBytes = 1457664;
    f.Press(id::kNext);
    for (int n = 0; n < 3; ++n) f.Press(id::kStart);
    ASSERT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  4");
    ASSERT_TRUE(Par2Files(road.Out()).empty());

    f.messages.answers = {MessageResult::Yes};
    ASSERT_TRUE(f.PressAndHoldAtWrite(id::kStart, 2));
    f.Press(id::kBack);
    f.gate.Release();
    f.WaitForJob();
    ASSERT_EQ(f.messages.shown.size(), 2u);
    EXPECT_EQ(f.messages.shown[0].text, "Soll der Vorgang abgebrochen werden?");
    EXPECT_EQ(f.messages.shown[1].text,
              "Das Erstellen der Wiederherstellungsdaten wurde abgebrochen; die begonnenen "
              "Wiederherstellungsdaten wurden wieder entfernt.");
    EXPECT_TRUE(Par2Files(road.Out()).empty());
    ASSERT_EQ(f.w().pageType(), kSplitPage2);
    EXPECT_EQ(f.Text(id::kStatusText), "Bitte einlegen: Datenträger#  4");

    for (int press = 0; press < 10 && f.w().pageType() == kSplitPage2; ++press) {
        f.Press(id::kStart);
    }
    ASSERT_EQ(f.w().pageType(), kCompletionPage);
    ASSERT_TRUE(road.CliSplit({"--recovery", "1", "--recovery-pieces"}));
    ExpectSamePar2(road.Out(), road.Cli());
}

// The information page on volume 2 of a set tolvane-cli made.
struct InfoCase {
    const char* name;
    std::vector<std::string> recovery;  // options of the split
    std::vector<std::string> keepOnly;  // recovery files left (empty: all)
    bool otherSet;                      // the recovery files of another set instead
    const char* line;
};

TEST(InformationPageRecovery, SaysWhetherAndForHowManyVolumes) {
    const InfoCase cases[] = {
        {"with",
         {"--recovery", "2"},
         {},
         false,
         "Wiederherstellungsdaten daneben: reichen für 2 Datenträger."},
        {"pieces",
         {"--recovery", "1", "--recovery-pieces"},
         {},
         false,
         "Wiederherstellungsdaten daneben: reichen für 1 Datenträger."},
        {"without", {}, {}, false, "Keine Wiederherstellungsdaten neben dem Datenträger."},
        {"too little",
         {"--recovery", "1"},
         {"package.par2"},
         false,
         "Wiederherstellungsdaten daneben: zu wenig für einen ganzen Datenträger."},
        {"other set",
         {"--recovery", "1"},
         {},
         true,
         "Wiederherstellungsdaten daneben gehören zu einem anderen Archiv."},
    };
    for (const InfoCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::vector<std::string> paths = test::WriteSources(
            dir.path(),
            {{"a.bin", std::string(2000000, 'a'), 0}, {"b.bin", std::string(1500000, 'b'), 0}});
        const fs::path set = dir / "set";
        fs::create_directories(set);
        fs::create_directories(dir / "other");
        std::vector<std::string> args = {"split", "--size", "1.44M"};
        args.insert(args.end(), c.recovery.begin(), c.recovery.end());
        args.push_back("-o");
        args.push_back(dir / "set/package.001");
        args.insert(args.end(), paths.begin(), paths.end());
        ASSERT_EQ(RunCli(args), 0);
        if (c.otherSet) {
            // Recovery data of a set of other files under the same name.
            for (const std::string& n : Par2Files(dir / "set")) fs::remove(set / n);
            ASSERT_EQ(RunCli({"split", "--size", "1.44M", "--recovery", "1", "-o",
                              dir / "other/package.001", paths[1]}),
                      0);
            for (const std::string& n : Par2Files(dir / "other")) {
                fs::copy_file(fs::path(dir / "other") / n, set / n);
            }
        }
        if (!c.keepOnly.empty()) {
            for (const std::string& n : Par2Files(dir / "set")) {
                if (std::find(c.keepOnly.begin(), c.keepOnly.end(), n) == c.keepOnly.end()) {
                    fs::remove(set / n);
                }
            }
        }
        GuiFixture f;
        f.w().Command(kMenuInformation);
        EXPECT_EQ(f.Text(id::kRecoveryBesideText), "");
        f.dialogs.answers.push_back({dir / "set/package.002"});
        f.Press(id::kSourceHardDisk);
        EXPECT_EQ(f.Text(id::kNumberText), "2");
        EXPECT_EQ(f.Text(id::kRecoveryBesideText), c.line);
    }
}

}  // namespace
}  // namespace tolvane::ui

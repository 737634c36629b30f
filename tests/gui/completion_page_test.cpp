// The completion page: headline and note per finished operation, the summary
// and its volume count, and the way back to the start page.
#include <gtest/gtest.h>

#include "tests/gui/gui_test_support.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {
namespace {

using test::GuiFixture;

// Files of the given sizes in the archive set.
void AddFiles(QuellDateien& q, std::initializer_list<int64_t> sizes) {
    int n = 0;
    for (int64_t size : sizes) {
        auto* e = new FileEntry;
        e->path = "/f" + std::to_string(++n);
        e->size = size;
        q.AppendEntry(e);
        q.totalSize += size;
        ++q.fileCount;
    }
}

// Shows the completion page as the progress page of finishedType does.
void Finish(GuiFixture& f, int finishedType) {
    f.w().GoTo(finishedType);
    f.w().GoTo(kCompletionPage);
}

TEST(CompletionPage, HeadlineAndNoteNameTheFinishedOperation) {
    struct Case {
        int finished;
        int selfExtracting;
        const char* headline;
        const char* note;
    } cases[] = {
        {kSplitPage2, 1, "Archiv wurde erfolgreich erstellt",
         "Es wurde ein selbstentpackendes Archiv erzeugt;\n"
         "Tolvane wird zur Wiederherstellung nicht benötigt."},
        {kSplitPage2, 0, "Archiv wurde erfolgreich erstellt",
         "Es wurde kein selbstentpackendes Archiv erzeugt;\n"
         "zur Wiederherstellung wird Tolvane benötigt."},
        {kRestoreProgressPage, 0, "Archiv wurde erfolgreich entpackt", ""},
        {kContinueProgressPage, 0, "Archiv wurde erfolgreich entpackt", ""},
        {kRepairProgressPage, 1, "Archiv wurde erfolgreich repariert", ""},
        {kStartPage, 0, "Operation abgeschlossen", ""},
    };
    for (const Case& c : cases) {
        GuiFixture f;
        f.w().settings().selfExtracting = c.selfExtracting;
        Finish(f, c.finished);
        EXPECT_EQ(f.w().pageType(), kCompletionPage);
        EXPECT_EQ(f.Text(id::kHeadline), c.headline) << c.finished;
        EXPECT_EQ(f.Text(id::kCompletionNote), c.note) << c.finished;
    }
}

TEST(CompletionPage, ShowsTheLabelsAndTheSummary) {
    GuiFixture f;
    AddFiles(f.w().set(), {1000, 2000, 3000});
    f.w().set().sourceDir = "/home/test/daten/";
    f.w().settings().targetPath = "/media/test/FLOPPY/package.001";
    f.w().set().headerSize = 100;
    Finish(f, kSplitPage2);
    EXPECT_EQ(f.Text(id::kLabelSummarySource), "Quelle:");
    EXPECT_EQ(f.Text(id::kLabelSummaryTarget), "Ziel:");
    EXPECT_EQ(f.Text(id::kLabelVolumeCount), "Diskanzahl:");
    EXPECT_EQ(f.Text(id::kLabelFileCount), "Dateianzahl:");
    EXPECT_EQ(f.Text(id::kLabelTotalSize), "Gesamtgröße:");
    EXPECT_EQ(f.Text(id::kSourcePathText), "/home/test/daten/");
    EXPECT_EQ(f.Text(id::kTargetPathText), "/media/test/FLOPPY/package.001");
    EXPECT_EQ(f.Text(id::kVolumeCountText), "1");
    EXPECT_EQ(f.Text(id::kFileCountText), "3");
    EXPECT_EQ(f.Text(id::kTotalSizeText), "6.000");
    EXPECT_EQ(f.ui().Tooltip(id::kOk), "Zurück");
}

TEST(CompletionPage, CountsVolumesWithTheHeaderSizeOfTheArchive) {
    struct Case {
        std::initializer_list<int64_t> sizes;
        int selfExtracting;
        int64_t headerSize;
        int volumes;
        const char* size;
    } cases[] = {
        // Three files of 1.000.000 bytes in a self-extracting archive: the
        // stub area counts.
        {{400000, 300000, 300000}, 1, 120, 1, "1.066.560"},
        // Exactly one volume's capacity: the quotient plus one.
        {{1441792 - 50}, 0, 50, 2, "1.441.742"},
        {{1441792 - 51}, 0, 50, 1, "1.441.741"},
        // Twice the capacity: a third, header-only volume.
        {{2 * (1441792 - 80)}, 0, 80, 3, "2.883.424"},
        // Only empty files: the one volume that holds the header.
        {{0, 0}, 0, 60, 1, "0"},
        // Nothing at all.
        {{}, 0, 0, 0, "0"},
    };
    for (const Case& c : cases) {
        GuiFixture f;
        AddFiles(f.w().set(), c.sizes);
        f.w().set().headerSize = c.headerSize;
        f.w().settings().selfExtracting = c.selfExtracting;
        f.w().settings().volumeCount = 77;
        Finish(f, kSplitPage2);
        EXPECT_EQ(f.Text(id::kVolumeCountText), std::to_string(c.volumes)) << c.size;
        EXPECT_EQ(f.Text(id::kTotalSizeText), c.size);
        EXPECT_EQ(f.w().settings().volumeCount, c.volumes);
        // The header size of the finished archive is not recomputed.
        EXPECT_EQ(f.w().set().headerSize, c.headerSize);
    }
}

TEST(CompletionPage, AVolumeSizeWithoutRoomCountsNoVolumes) {
    GuiFixture f;
    AddFiles(f.w().set(), {5000});
    f.w().set().headerSize = 200;
    f.w().settings().volumeSize = 200;
    Finish(f, kRepairProgressPage);
    EXPECT_EQ(f.Text(id::kVolumeCountText), "0");
}

TEST(CompletionPage, RebuiltAfterAboutShowsTheNeutralHeadline) {
    GuiFixture f;
    AddFiles(f.w().set(), {10});
    f.w().settings().targetPath = "/ziel";
    Finish(f, kRestoreProgressPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Archiv wurde erfolgreich entpackt");
    EXPECT_EQ(f.Text(id::kSourcePathText), "");  // a restore has no source folder
    f.w().Command(kMenuAbout);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().pageType(), kCompletionPage);
    EXPECT_EQ(f.Text(id::kHeadline), "Operation abgeschlossen");
    EXPECT_EQ(f.Text(id::kCompletionNote), "");
    EXPECT_EQ(f.Text(id::kTargetPathText), "/ziel");
    EXPECT_EQ(f.Text(id::kFileCountText), "1");
}

TEST(CompletionPage, MenuLetsOnlyInformationAndTheShellCommandsThrough) {
    GuiFixture f;
    Finish(f, kSplitPage2);
    EXPECT_FALSE(f.MenuEnabled(kMenuCreate));
    EXPECT_FALSE(f.MenuEnabled(kMenuExtract));
    EXPECT_FALSE(f.MenuEnabled(kMenuContinue));
    EXPECT_FALSE(f.MenuEnabled(kMenuRepair));
    EXPECT_TRUE(f.MenuEnabled(kMenuInformation));
}

TEST(CompletionPage, OkLeadsToAClearedStartPage) {
    GuiFixture f;
    AddFiles(f.w().set(), {10, 20});
    f.w().set().sourceDir = "/quelle/";
    f.w().settings().targetPath = "/ziel/package.002";
    f.w().settings().packagePath = "/ziel/package.001";
    f.w().settings().currentVolume = 3;
    Finish(f, kSplitPage2);
    f.Press(id::kOk);
    EXPECT_EQ(f.w().pageType(), kStartPage);
    EXPECT_EQ(f.page().pageType(), kStartPage);
    EXPECT_EQ(f.w().set().fileCount, 0);
    EXPECT_EQ(f.w().set().head, nullptr);
    EXPECT_EQ(f.w().set().sourceDir, "");
    EXPECT_EQ(f.w().settings().targetPath, "");
    EXPECT_EQ(f.w().settings().packagePath, "");
    EXPECT_EQ(f.w().settings().currentVolume, 1);
    EXPECT_EQ(f.w().settings().volumeCount, 0);
    for (int id : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair, kMenuInformation}) {
        EXPECT_TRUE(f.MenuEnabled(id)) << id;
    }
}

}  // namespace
}  // namespace tolvane::ui

// The Qt backend's pictures and desktop services: the drawings for each
// screen, where the choosers start and the name filters they show.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <set>

#include "tests/support/test_support.h"
#include "ui/qt/pictures.h"
#include "ui/qt/qt_services.h"

namespace tolvane::ui {
namespace {

TEST(Pictures, ShallowScreensGetTheSixteenColourDrawings) {
    for (int depth : {4, 8}) {
        EXPECT_EQ(PictureResource(PictureRole::kCreate, depth), ":/pictures/create_16.svg");
        EXPECT_EQ(PictureSize(PictureRole::kCreate, depth), QSize(240, 165));
        EXPECT_EQ(PictureSize(PictureRole::kExtract, depth), QSize(224, 165));
        EXPECT_EQ(PictureResource(PictureRole::kGo, depth), ":/pictures/go_16.svg");
        // The banner, the logo and the About picture exist once.
        EXPECT_EQ(PictureResource(PictureRole::kBanner, depth), ":/pictures/banner.svg");
        EXPECT_EQ(PictureResource(PictureRole::kAbout, depth), ":/pictures/about.svg");
    }
    for (int depth : {16, 24, 32}) {
        EXPECT_EQ(PictureResource(PictureRole::kCreate, depth), ":/pictures/create.svg");
        EXPECT_EQ(PictureSize(PictureRole::kCreate, depth), QSize(209, 158));
        EXPECT_EQ(PictureResource(PictureRole::kDriveB, depth), ":/pictures/drive_b.svg");
    }
    EXPECT_EQ(PictureSize(PictureRole::kBanner, 24), QSize(62, 193));
    EXPECT_EQ(PictureSize(PictureRole::kLogo, 24), QSize(69, 35));
    EXPECT_EQ(PictureSize(PictureRole::kAbout, 24), QSize(314, 98));
    EXPECT_EQ(PictureSize(PictureRole::kOk, 24), QSize(60, 60));
}

TEST(Pictures, EveryRoleHasAPictureOfItsSize) {
    for (int depth : {8, 24}) {
        const Pictures pictures(depth, 2.0);
        for (int i = 0; i < kPictureRoleCount; ++i) {
            const auto role = static_cast<PictureRole>(i);
            const QPixmap& p = pictures.Get(role);
            EXPECT_EQ(p.deviceIndependentSize().toSize(), PictureSize(role, depth)) << i;
            EXPECT_EQ(p.size(), PictureSize(role, depth) * 2) << i;
            EXPECT_TRUE(pictures.Loaded(role)) << i;
        }
    }
}

TEST(Pictures, AMissingDrawingBecomesAPlaceholderOfItsSize) {
    bool loaded = true;
    const QPixmap p = RenderPicture(":/pictures/fehlt.svg", QSize(60, 60), 1.0, &loaded);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(p.size(), QSize(60, 60));
    const QImage image = p.toImage();
    EXPECT_EQ(image.pixelColor(30, 30), image.pixelColor(10, 40));  // plain
}

TEST(QtServices, ChoosersStartWhereTheyWereLastUsedWithinTheChosenDrive) {
    const auto isDir = [](const std::string& path) { return path != "/home/anna/gone"; };
    const struct {
        const char* last;
        const char* drive;
        const char* start;
    } cases[] = {
        {"", "", "/home/anna"},
        {"", "/media/anna/FLOPPY", "/media/anna/FLOPPY"},
        {"/home/anna/fotos", "", "/home/anna/fotos"},
        {"/home/anna/fotos", "/home/anna", "/home/anna/fotos"},
        {"/home/anna/fotos", "/media/anna/FLOPPY", "/media/anna/FLOPPY"},
        {"/media/anna/FLOPPY/alt", "/media/anna/FLOPPY", "/media/anna/FLOPPY/alt"},
        {"/media/anna/FLOPPY2", "/media/anna/FLOPPY", "/media/anna/FLOPPY"},
        {"/home/anna/gone", "", "/home/anna"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartFolder(c.last, c.drive, "/home/anna", isDir), c.start) << c.last;
    }
}

TEST(QtServices, NameFiltersShowThePagesWordsAndMatchEveryFileWhereTheySayAllFiles) {
    const struct {
        const char* text;
        const char* pattern;
        const char* filter;
    } cases[] = {
        {"Alle Dateien (*.*)", "*.*", "Alle Dateien (*.*) (*)"},
        {"Archive  (*.001)", "*.001", "Archive  (*.001) (*.001)"},
        {"Archive (*.001,*.002,...)", "*.*", "Archive (*.001,*.002,...) (*)"},
        {"Packages (*.*)", "*.*", "Packages (*.*) (*)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QtNameFilter(c.text, c.pattern), c.filter);
        // The chooser names the filter with the page's words alone.
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilter(QString::fromUtf8(c.filter));
        auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->currentText(), QString::fromUtf8(c.text).simplified());
    }
}

}  // namespace
}  // namespace tolvane::ui

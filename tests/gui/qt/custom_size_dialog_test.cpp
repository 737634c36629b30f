// The custom size dialog as the Qt backend shows it: its grid, its refusals
// and what OK and Cancel give.
#include <gtest/gtest.h>

#include "tests/gui/probe.h"
#include "tests/gui/qt/qt_probe.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"
#include "ui/qt/qt_services.h"

namespace tolvane::ui {
namespace {

// The dialog with a probe of its controls.
struct Dialog {
    explicit Dialog(int64_t volumeSize)
        : d(nullptr, volumeSize, 96, QFont()),
          probe([this] { return static_cast<QWidget*>(&d); }) {}
    QtCustomSizeDialog d;
    test::QtControlProbe probe;
};

TEST(CustomSizeDialog, HasItsTitlePromptAndGrid) {
    Dialog dialog(1441792);
    QtCustomSizeDialog& d = dialog.d;
    test::ControlProbe& p = dialog.probe;
    EXPECT_EQ(d.windowTitle(), "Benutzerdefiniert");
    EXPECT_EQ(d.size(), QSize(371, 141));
    EXPECT_EQ(p.Text(id::kCustomPrompt), "Bitte wählen Sie die gewünschte Medien/Archivgröße aus");
    EXPECT_EQ(p.Text(id::kCustomValue), "1.441.792");
    EXPECT_EQ(p.Bounds(id::kCustomValue), DluToRect({10, 20, 125, 30}, 96));
    const std::pair<int, const char*> grid[4][3] = {
        {{id::kStepPlus1K, "+1K"}, {id::kStepPlus10K, "+10K"}, {id::kStepPlus100K, "+100K"}},
        {{id::kStepPlus1M, "+1M"}, {id::kStepPlus10M, "+10M"}, {id::kStepPlus100M, "+100M"}},
        {{id::kStepMinus1K, "-1K"}, {id::kStepMinus10K, "-10K"}, {id::kStepMinus100K, "-100K"}},
        {{id::kStepMinus1M, "-1M"}, {id::kStepMinus10M, "-10M"}, {id::kStepMinus100M, "-100M"}},
    };
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int id = grid[row][col].first;
            ASSERT_TRUE(p.Exists(id));
            EXPECT_EQ(p.Text(id), grid[row][col].second);
            EXPECT_EQ(p.Bounds(id), DluToRect({150 + 30 * col, 20 + 15 * row, 30, 15}, 96));
        }
    }
    EXPECT_EQ(p.Text(id::kDialogCancel), "Cancel");
    EXPECT_EQ(p.Text(id::kDialogOk), "OK");
    EXPECT_EQ(p.Bounds(id::kDialogCancel), DluToRect({10, 65, 50, 14}, 96));
    EXPECT_EQ(p.Bounds(id::kDialogOk), DluToRect({85, 65, 50, 14}, 96));
}

TEST(CustomSizeDialog, StepsAreTakenOnlyAboveTheStubArea) {
    Dialog dialog(100000);
    QtCustomSizeDialog& d = dialog.d;
    dialog.probe.Press(id::kStepMinus10K);
    EXPECT_EQ(d.workingValue(), 89760);
    dialog.probe.Press(id::kStepMinus10K);
    EXPECT_EQ(d.workingValue(), 79520);
    dialog.probe.Press(id::kStepMinus10K);
    EXPECT_EQ(d.workingValue(), 69280);
    dialog.probe.Press(id::kStepMinus10K);  // 59040 is refused
    EXPECT_EQ(d.workingValue(), 69280);
    EXPECT_EQ(dialog.probe.Text(id::kCustomValue), "69.280");
    dialog.probe.Press(id::kStepMinus100M);
    EXPECT_EQ(d.workingValue(), 69280);

    Dialog edgeDialog(67584);
    QtCustomSizeDialog& edge = edgeDialog.d;
    edgeDialog.probe.Press(id::kStepMinus1K);  // exactly 66560 is refused too
    EXPECT_EQ(edge.workingValue(), 67584);
    edgeDialog.probe.Press(id::kStepPlus100M);
    edgeDialog.probe.Press(id::kStepPlus10M);
    edgeDialog.probe.Press(id::kStepPlus1M);
    edgeDialog.probe.Press(id::kStepPlus100K);
    edgeDialog.probe.Press(id::kStepPlus10K);
    edgeDialog.probe.Press(id::kStepPlus1K);
    EXPECT_EQ(edge.workingValue(), 67584 + 104857600 + 10485760 + 1048576 + 102400 + 10240 + 1024);
    edgeDialog.probe.Press(id::kStepMinus1M);
    edgeDialog.probe.Press(id::kStepMinus100K);
    EXPECT_EQ(edge.workingValue(), 67584 + 104857600 + 10485760 + 10240 + 1024);
}

TEST(CustomSizeDialog, OkAcceptsAndCancelRejects) {
    Dialog okDialog(1441792);
    QtCustomSizeDialog& ok = okDialog.d;
    okDialog.probe.Press(id::kStepPlus1K);
    okDialog.probe.Press(id::kDialogOk);
    EXPECT_EQ(ok.result(), QDialog::Accepted);
    EXPECT_EQ(ok.workingValue(), 1442816);

    Dialog cancelDialog(1441792);
    QtCustomSizeDialog& cancel = cancelDialog.d;
    cancelDialog.probe.Press(id::kStepPlus1K);
    cancelDialog.probe.Press(id::kDialogCancel);
    EXPECT_EQ(cancel.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace tolvane::ui

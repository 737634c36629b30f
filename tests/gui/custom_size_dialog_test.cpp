// The custom size dialog: its grid, its refusals and what OK and Cancel give.
#include "ui/custom_size_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "ui/geometry.h"
#include "ui/ids.h"
#include "ui/page.h"

namespace tolvane::ui {
namespace {

QPushButton* Button(CustomSizeDialog& d, int controlId) {
    return qobject_cast<QPushButton*>(FindControl(&d, controlId));
}

std::string Shown(CustomSizeDialog& d) {
    return qobject_cast<QLabel*>(FindControl(&d, id::kCustomValue))->text().toStdString();
}

TEST(CustomSizeDialog, HasItsTitlePromptAndGrid) {
    CustomSizeDialog d(nullptr, 1441792, 96, QFont());
    EXPECT_EQ(d.windowTitle(), "Benutzerdefiniert");
    EXPECT_EQ(d.size(), QSize(371, 141));
    EXPECT_EQ(qobject_cast<QLabel*>(FindControl(&d, id::kCustomPrompt))->text(),
              "Bitte wählen Sie die gewünschte Medien/Archivgröße aus");
    EXPECT_EQ(Shown(d), "1.441.792");
    EXPECT_EQ(FindControl(&d, id::kCustomValue)->geometry(), DluToRect({10, 20, 125, 30}, 96));
    const std::pair<int, const char*> grid[4][3] = {
        {{id::kStepPlus1K, "+1K"}, {id::kStepPlus10K, "+10K"}, {id::kStepPlus100K, "+100K"}},
        {{id::kStepPlus1M, "+1M"}, {id::kStepPlus10M, "+10M"}, {id::kStepPlus100M, "+100M"}},
        {{id::kStepMinus1K, "-1K"}, {id::kStepMinus10K, "-10K"}, {id::kStepMinus100K, "-100K"}},
        {{id::kStepMinus1M, "-1M"}, {id::kStepMinus10M, "-10M"}, {id::kStepMinus100M, "-100M"}},
    };
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            QPushButton* b = Button(d, grid[row][col].first);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->text(), grid[row][col].second);
            EXPECT_EQ(b->geometry(), DluToRect({150 + 30 * col, 20 + 15 * row, 30, 15}, 96));
        }
    }
    EXPECT_EQ(Button(d, id::kDialogCancel)->text(), "Cancel");
    EXPECT_EQ(Button(d, id::kDialogOk)->text(), "OK");
    EXPECT_EQ(Button(d, id::kDialogCancel)->geometry(), DluToRect({10, 65, 50, 14}, 96));
    EXPECT_EQ(Button(d, id::kDialogOk)->geometry(), DluToRect({85, 65, 50, 14}, 96));
}

TEST(CustomSizeDialog, StepsAreTakenOnlyAboveTheStubArea) {
    CustomSizeDialog d(nullptr, 100000, 96, QFont());
    Button(d, id::kStepMinus10K)->click();
    EXPECT_EQ(d.workingValue(), 89760);
    Button(d, id::kStepMinus10K)->click();
    EXPECT_EQ(d.workingValue(), 79520);
    Button(d, id::kStepMinus10K)->click();
    EXPECT_EQ(d.workingValue(), 69280);
    Button(d, id::kStepMinus10K)->click();  // 59040 is refused
    EXPECT_EQ(d.workingValue(), 69280);
    EXPECT_EQ(Shown(d), "69.280");
    Button(d, id::kStepMinus100M)->click();
    EXPECT_EQ(d.workingValue(), 69280);

    CustomSizeDialog edge(nullptr, 67584, 96, QFont());
    Button(edge, id::kStepMinus1K)->click();  // exactly 66560 is refused too
    EXPECT_EQ(edge.workingValue(), 67584);
    Button(edge, id::kStepPlus100M)->click();
    Button(edge, id::kStepPlus10M)->click();
    Button(edge, id::kStepPlus1M)->click();
    Button(edge, id::kStepPlus100K)->click();
    Button(edge, id::kStepPlus10K)->click();
    Button(edge, id::kStepPlus1K)->click();
    EXPECT_EQ(edge.workingValue(), 67584 + 104857600 + 10485760 + 1048576 + 102400 + 10240 + 1024);
    Button(edge, id::kStepMinus1M)->click();
    Button(edge, id::kStepMinus100K)->click();
    EXPECT_EQ(edge.workingValue(), 67584 + 104857600 + 10485760 + 10240 + 1024);
}

TEST(CustomSizeDialog, OkAcceptsAndCancelRejects) {
    CustomSizeDialog ok(nullptr, 1441792, 96, QFont());
    Button(ok, id::kStepPlus1K)->click();
    Button(ok, id::kDialogOk)->click();
    EXPECT_EQ(ok.result(), QDialog::Accepted);
    EXPECT_EQ(ok.workingValue(), 1442816);

    CustomSizeDialog cancel(nullptr, 1441792, 96, QFont());
    Button(cancel, id::kStepPlus1K)->click();
    Button(cancel, id::kDialogCancel)->click();
    EXPECT_EQ(cancel.result(), QDialog::Rejected);
}

}  // namespace
}  // namespace tolvane::ui

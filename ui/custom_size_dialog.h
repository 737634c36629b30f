// The custom size dialog: a working copy of the volume size, changed by a
// grid of step buttons; a new value is taken only above the 66560-byte stub
// area. OK hands the value back, Cancel changes nothing.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;

namespace tolvane::ui {

struct SizeStep {
    int controlId;
    const char* label;
    int64_t change;
};
// The twelve steps in grid order: four rows of three, left to right.
const SizeStep (&SizeSteps())[12];

class CustomSizeDialog : public QDialog {
    Q_OBJECT

  public:
    // logPixelsX scales the dialog-unit layout; the font is the pages' font.
    CustomSizeDialog(QWidget* owner, int64_t volumeSize, int logPixelsX, const QFont& font);

    int64_t workingValue() const { return working_; }
    // Applies the step of a step button's id (what pressing it does).
    void Step(int controlId);

  private:
    void ShowValue();

    int64_t working_;
    QLabel* value_ = nullptr;
    QLabel* prompt_ = nullptr;
};

}  // namespace tolvane::ui

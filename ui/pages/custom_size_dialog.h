// The custom size dialog: a working copy of the volume size, changed by a
// grid of step buttons; a new value is taken only above the 66560-byte stub
// area. OK hands the value back, Cancel changes nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "ui/framework/backend.h"
#include "ui/framework/geometry.h"

namespace tolvane::ui {

struct SizeStep {
    int controlId;
    const char* label;
    int64_t change;
};
// The twelve steps in grid order: four rows of three, left to right.
const SizeStep (&SizeSteps())[12];

// The dialog's controls and what pressing them does; the backend gives the
// host (a modal window of DialogSize with the title kTitle) and closes it
// when ended says so.
class CustomSizeDialog : public ControlEvents {
  public:
    static constexpr const char* kTitle = "Benutzerdefiniert";
    static Size DialogSize(int logPixelsX);

    enum class End { Open, Accepted, Rejected };

    // Makes the controls in host, laid out for logPixelsX.
    CustomSizeDialog(ControlHost& host, int64_t volumeSize, int logPixelsX);

    int64_t workingValue() const { return working_; }
    End end() const { return end_; }
    // Runs when OK or Cancel ended the dialog.
    std::function<void(End)> ended;

    // Applies the step of a step button's id (what pressing it does).
    void Step(int controlId);
    void Clicked(int controlId) override;

  private:
    void ShowValue();

    ControlHost* host_;
    int64_t working_;
    End end_ = End::Open;
    ControlHost::Handle value_ = 0;
    ControlHost::Handle prompt_ = 0;
};

}  // namespace tolvane::ui

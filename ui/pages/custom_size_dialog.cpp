#include "ui/pages/custom_size_dialog.h"

#include <string>

#include "engine/sizing.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"

namespace tolvane::ui {

namespace {
constexpr const char* kPrompt = "Bitte wählen Sie die gewünschte Medien/Archivgröße aus";
constexpr int64_t K = 1024;
constexpr int64_t M = 1048576;
}  // namespace

const SizeStep (&SizeSteps())[12] {
    static const SizeStep kSteps[12] = {
        {id::kStepPlus1K, "+1K", K},
        {id::kStepPlus10K, "+10K", 10 * K},
        {id::kStepPlus100K, "+100K", 100 * K},
        {id::kStepPlus1M, "+1M", M},
        {id::kStepPlus10M, "+10M", 10 * M},
        {id::kStepPlus100M, "+100M", 100 * M},
        {id::kStepMinus1K, "-1K", -K},
        {id::kStepMinus10K, "-10K", -10 * K},
        {id::kStepMinus100K, "-100K", -100 * K},
        {id::kStepMinus1M, "-1M", -M},
        {id::kStepMinus10M, "-10M", -10 * M},
        {id::kStepMinus100M, "-100M", -100 * M},
    };
    return kSteps;
}

Size CustomSizeDialog::DialogSize(int logPixelsX) {
    return {ScaleToDpi(DluToPixelsX(247), logPixelsX), ScaleToDpi(DluToPixelsY(87), logPixelsX)};
}

CustomSizeDialog::CustomSizeDialog(ControlHost& host, int64_t volumeSize, int logPixelsX)
    : host_(&host), working_(volumeSize) {
    auto add = [&](ControlKind kind, int id, Dlu place, const std::string& text = {}) {
        ControlDescription description;
        description.kind = kind;
        description.id = id;
        description.bounds = DluToRect(place, logPixelsX);
        description.text = text;
        description.align =
            kind == ControlKind::ValueBox ? TextAlign::Center : TextAlign::MiddleLeft;
        return host.Create(description);
    };
    prompt_ = add(ControlKind::Label, id::kCustomPrompt, {10, 5, 230, 10}, kPrompt);
    value_ = add(ControlKind::ValueBox, id::kCustomValue, {10, 20, 125, 30});
    for (int i = 0; i < 12; ++i) {
        const SizeStep& step = SizeSteps()[i];
        add(ControlKind::TextButton, step.controlId,
            {150 + 30 * (i % 3), 20 + 15 * (i / 3), 30, 15}, step.label);
    }
    add(ControlKind::TextButton, id::kDialogCancel, {10, 65, 50, 14}, "Cancel");
    add(ControlKind::TextButton, id::kDialogOk, {85, 65, 50, 14}, "OK");
    host.SetEvents(this);
    ShowValue();
}

void CustomSizeDialog::Clicked(int controlId) {
    if (controlId == id::kDialogOk || controlId == id::kDialogCancel) {
        end_ = controlId == id::kDialogOk ? End::Accepted : End::Rejected;
        if (ended) ended(end_);
        return;
    }
    Step(controlId);
}

void CustomSizeDialog::Step(int controlId) {
    for (const SizeStep& step : SizeSteps()) {
        if (step.controlId != controlId) continue;
        const int64_t next = ApplySizeStep(working_, step.change);
        // A step refused at the bottom says where the bottom is.
        host_->SetText(prompt_, next == working_ && step.change < 0
                                    ? "Die kleinste mögliche Größe ist " +
                                          FormatThousands(kStubAreaSize + 1) + " Bytes."
                                    : std::string(kPrompt));
        working_ = next;
    }
    ShowValue();
}

void CustomSizeDialog::ShowValue() {
    host_->SetText(value_, FormatThousands(working_));
}

}  // namespace tolvane::ui

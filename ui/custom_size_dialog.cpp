#include "ui/custom_size_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "engine/sizing.h"
#include "ui/geometry.h"
#include "ui/ids.h"
#include "ui/page.h"
#include "ui/qt_text.h"

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

CustomSizeDialog::CustomSizeDialog(QWidget* owner, int64_t volumeSize, int logPixelsX,
                                   const QFont& font)
    : QDialog(owner), working_(volumeSize) {
    setWindowTitle("Benutzerdefiniert");
    setFont(font);
    setModal(true);
    setFixedSize(ScaleToDpi(DluToPixelsX(247), logPixelsX),
                 ScaleToDpi(DluToPixelsY(87), logPixelsX));
    auto place = [logPixelsX](QWidget* w, int id, Dlu dlu) {
        if (id != 0) {
            w->setProperty(kControlIdProperty, id);
            w->setObjectName(QString("id%1").arg(id));
        }
        w->setGeometry(DluToRect(dlu, logPixelsX));
    };

    prompt_ = new QLabel(kPrompt, this);
    place(prompt_, id::kCustomPrompt, {10, 5, 230, 10});

    value_ = new QLabel(this);
    value_->setAlignment(Qt::AlignCenter);
    value_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont big = font;
    big.setPixelSize(font.pixelSize() > 0 ? font.pixelSize() * 3 / 2 : 16);
    big.setBold(true);
    value_->setFont(big);
    place(value_, id::kCustomValue, {10, 20, 125, 30});

    for (int i = 0; i < 12; ++i) {
        const SizeStep& step = SizeSteps()[i];
        auto* button = new QPushButton(step.label, this);
        button->setAutoDefault(false);
        place(button, step.controlId, {150 + 30 * (i % 3), 20 + 15 * (i / 3), 30, 15});
        const int stepId = step.controlId;
        connect(button, &QPushButton::clicked, this, [this, stepId] { Step(stepId); });
    }

    auto* cancel = new QPushButton("Cancel", this);
    place(cancel, id::kDialogCancel, {10, 65, 50, 14});
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* ok = new QPushButton("OK", this);
    place(ok, id::kDialogOk, {85, 65, 50, 14});
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    ShowValue();
}

void CustomSizeDialog::Step(int controlId) {
    for (const SizeStep& step : SizeSteps()) {
        if (step.controlId != controlId) continue;
        const int64_t next = ApplySizeStep(working_, step.change);
        // A step refused at the bottom says where the bottom is.
        prompt_->setText(next == working_ && step.change < 0
                             ? ToQ("Die kleinste mögliche Größe ist " +
                                   FormatThousands(kStubAreaSize + 1) + " Bytes.")
                             : QString(kPrompt));
        working_ = next;
    }
    ShowValue();
}

void CustomSizeDialog::ShowValue() {
    value_->setText(ToQ(FormatThousands(working_)));
}

}  // namespace tolvane::ui

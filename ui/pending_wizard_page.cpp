// Stands in for a wizard page whose class is not part of this build: it
// keeps the page's type (so the menu is greyed as for the real page), names
// the task and leads back to the start page.
#include <QLabel>

#include "ui/ids.h"
#include "ui/main_window.h"
#include "ui/page.h"
#include "ui/pages.h"

namespace tolvane::ui {

namespace {

const char* TaskName(int type) {
    if (type <= kSplitPage2) return "Archiv erstellen";
    if (type <= kRestoreProgressPage) return "Archiv entpacken";
    if (type <= kRepairProgressPage) return "Archiv reparieren";
    return "Entpacken fortsetzen";
}

class PendingWizardPage : public Page {
  public:
    PendingWizardPage(MainWindow& window, int type) : Page(window, type) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 150});
        QLabel* task =
            AddLabel(0, {15, 40, 250, 12}, TaskName(pageType()), Qt::AlignHCenter | Qt::AlignTop);
        QFont bold = task->font();
        bold.setBold(true);
        task->setFont(bold);
        AddLabel(0, {15, 60, 250, 20},
                 "Dieser Assistent ist in dieser Version\nnoch nicht verfügbar.",
                 Qt::AlignHCenter | Qt::AlignTop);
        AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
    }

    std::string TooltipText(int controlId) const override {
        return controlId == id::kBack ? "Zurück" : "";
    }

    void Command(int controlId) override {
        if (controlId == id::kBack) window().GoTo(kStartPage);
    }
};

}  // namespace

std::unique_ptr<Page> MakePendingWizardPage(MainWindow& window, int type) {
    return std::make_unique<PendingWizardPage>(window, type);
}

}  // namespace tolvane::ui

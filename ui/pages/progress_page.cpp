#include "ui/pages/progress_page.h"

#include <memory>
#include <vector>

#include "engine/recovery_restore.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"

namespace tolvane::ui {

namespace {

// The state of the set when "Starten" was pressed: a run the user stopped
// returns there, so that the page shows the choices as they were.
struct StartState {
    explicit StartState(QuellDateien& set)
        : settings(set.settings()),
          current(set.current),
          currentIndex(set.currentIndex),
          bytesDone(set.bytesDone) {
        for (const FileEntry* e = set.head; e != nullptr; e = e->next) done.push_back(e->done);
    }
    void Restore(QuellDateien& set) const {
        set.settings() = settings;
        set.current = current;
        set.currentIndex = currentIndex;
        set.bytesDone = bytesDone;
        size_t i = 0;
        for (FileEntry* e = set.head; e != nullptr && i < done.size(); e = e->next) {
            e->done = done[i++];
        }
    }

    ArchiveSettings settings;
    FileEntry* current;
    int currentIndex;
    int64_t bytesDone;
    std::vector<int64_t> done;
};

}  // namespace

bool ConfirmOverwrite(Page& page) {
    const std::vector<std::string> names = ExistingOutputFiles(page.set());
    if (names.empty()) return true;
    return page.window().messages().Show({page.native(), OverwriteQuestion(names),
                                          texts::kAppCaption, Icon::Question,
                                          MessageButtons::YesNo}) == MessageResult::Yes;
}

RestoreVariant PageRestoreVariant(const QuellDateien& set) {
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    variant.firstVolumePath = set.stubVolumePath;
    // A bad volume with recovery data beside the set is offered for rebuild.
    variant.rebuilder = RecoveryRebuilder();
    return variant;
}

int IndexOfCurrent(const QuellDateien& set) {
    int index = 0;
    for (const FileEntry* e = set.head; e != nullptr; e = e->next, ++index) {
        if (e == set.current) return index;
    }
    return 0;
}

ProgressPage::ProgressPage(MainWindow& window, int pageType, int previousType)
    : Page(window, pageType), previousType_(previousType) {}

void ProgressPage::Initialise() {
    AddListView(id::kFileList, {10, 10, 260, 85});
    AddLabel(id::kLabelOverall, {35, 105, 115, 10}, "Gesamtstatus:");
    AddProgressBar(id::kOverallBar, {36, 115, 210, 10});
    AddLabel(id::kLabelVolume, {35, 130, 115, 10}, "Diskstatus:");
    AddProgressBar(id::kVolumeBar, {36, 140, 210, 10});
    AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
    AddLabel(id::kStatusText, {75, 165, 130, 15}, "", TextAlign::TopCenter);
    AddPictureButton(id::kStart, {235, 160, 35, 29}, PictureRole::kGo);
}

void ProgressPage::Fill() {
    FillFileList(*this, set());
    set().currentIndex = IndexOfCurrent(set());
    ShowInsertPrompt(set());
}

std::string ProgressPage::TooltipText(int controlId) const {
    switch (controlId) {
        case id::kBack:
            return "Zurück";
        case id::kStart:
            return "Starten";
        default:
            return {};
    }
}

void ProgressPage::Command(int controlId) {
    if (controlId == id::kBack) {
        // During a run Back is "Abbrechen".
        if (window().JobRunning()) {
            window().AskToStopJob();
        } else {
            Back();
        }
    } else if (controlId == id::kStart) {
        if (window().JobRunning() || !MayStart()) return;
        RunDriver(*this, [this] { return Start(); });
    }
}

bool ProgressPage::MayStart() {
    return true;
}

void ProgressPage::Back() {
    MainWindow& w = window();
    w.DestroyPage();
    set().Rewind();
    w.ShowPage(previousType_);
}

void RunDriver(Page& page, const std::function<DriveOutcome()>& driver) {
    MainWindow& window = page.window();
    const int type = page.pageType();
    auto startState = std::make_shared<StartState>(page.set());
    // "Starten" is greyed while the driver runs; Back stays and stops it.
    page.SetEnabled(id::kStart, false);
    page.SetTooltip(id::kBack, "Abbrechen");
    window.RunJob(driver, [&window, type, startState](DriveOutcome outcome) {
        if (outcome == DriveOutcome::Interrupted) {
            startState->Restore(window.set());
            window.GoTo(type);
            return;
        }
        if (Page* current = window.currentPage()) {
            current->SetEnabled(id::kStart, true);
            if (current->HasControl(id::kBack)) {
                current->SetTooltip(id::kBack, current->TooltipText(id::kBack));
            }
        }
        FollowOutcome(window, outcome);
    });
}

void FollowOutcome(MainWindow& window, DriveOutcome outcome) {
    switch (outcome) {
        case DriveOutcome::Finished:
            window.GoTo(kCompletionPage);
            break;
        case DriveOutcome::Cancelled:
            window.GoTo(kStartPage);
            break;
        case DriveOutcome::WaitingForNextMedium:
        case DriveOutcome::Stopped:
        case DriveOutcome::Interrupted:
            break;
    }
}

}  // namespace tolvane::ui

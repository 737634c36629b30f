#include "ui/progress_page.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>

#include "engine/sizing.h"
#include "ui/ids.h"
#include "ui/main_window.h"

namespace tolvane::ui {

namespace {

// Drops the mouse and key input that queued up while the engine held the GUI
// thread: a click made during a long volume must not press a button of the
// page that follows, nor press "Starten" again for a medium not yet changed.
class QueuedInputDropper : public QObject {
  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Wheel:
            case QEvent::ShortcutOverride:
                return true;
            default:
                return false;
        }
    }
};

void DropQueuedInput() {
    QueuedInputDropper dropper;
    QCoreApplication::instance()->installEventFilter(&dropper);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&dropper);
}

}  // namespace

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
    AddLabel(id::kStatusText, {75, 165, 130, 15}, "", Qt::AlignHCenter | Qt::AlignTop);
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
        Back();
        return;
    }
    if (controlId != id::kStart) return;
    // The buttons show greyed while the engine runs; it repaints them with
    // the list and the bars after every chunk.
    QWidget* back = Control(id::kBack);
    QWidget* start = Control(id::kStart);
    back->setEnabled(false);
    start->setEnabled(false);
    const DriveOutcome outcome = Start();
    DropQueuedInput();
    back->setEnabled(true);
    start->setEnabled(true);
    FollowOutcome(outcome);
}

void ProgressPage::Back() {
    MainWindow& w = window();
    w.DestroyPage();
    set().Rewind();
    w.ShowPage(previousType_);
}

void ProgressPage::FollowOutcome(DriveOutcome outcome) {
    switch (outcome) {
        case DriveOutcome::Finished:
            window().GoTo(kCompletionPage);
            break;
        case DriveOutcome::Cancelled:
            window().GoTo(kStartPage);
            break;
        case DriveOutcome::WaitingForNextMedium:
        case DriveOutcome::Stopped:
            break;
    }
}

}  // namespace tolvane::ui

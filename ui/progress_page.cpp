#include "ui/progress_page.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <vector>

#include "engine/sizing.h"
#include "ui/ids.h"
#include "ui/main_window.h"

namespace tolvane::ui {

namespace {

// Drops the mouse and key input that queued up while the engine held the GUI
// thread.
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
    } else if (controlId == id::kStart) {
        RunDriver(*this, [this] { return Start(); });
    }
}

void ProgressPage::Back() {
    MainWindow& w = window();
    w.DestroyPage();
    set().Rewind();
    w.ShowPage(previousType_);
}

void RunDriver(Page& page, const std::function<DriveOutcome()>& driver) {
    // The buttons show greyed while the engine runs; it repaints the page
    // after every chunk.
    std::vector<QWidget*> buttons;
    for (int id : {id::kBack, id::kStart}) {
        if (QWidget* button = page.Control(id)) buttons.push_back(button);
    }
    for (QWidget* button : buttons) button->setEnabled(false);
    const DriveOutcome outcome = driver();
    DropQueuedInput();
    for (QWidget* button : buttons) button->setEnabled(true);
    FollowOutcome(page.window(), outcome);
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
            break;
    }
}

}  // namespace tolvane::ui

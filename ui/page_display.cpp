#include "ui/page_display.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>
#include <algorithm>

#include "ui/ids.h"
#include "ui/main_window.h"
#include "ui/page.h"
#include "ui/qt_text.h"

namespace tolvane::ui {

namespace {

QTreeWidget* FileList(MainWindow* window) {
    Page* page = window->currentPage();
    if (page == nullptr) return nullptr;
    auto* list = qobject_cast<QTreeWidget*>(page->Control(id::kFileList));
    return list != nullptr && list->columnCount() != 0 ? list : nullptr;
}

void SetBar(Page* page, int controlId, int percent) {
    if (page == nullptr) return;
    if (auto* bar = qobject_cast<QProgressBar*>(page->Control(controlId))) {
        bar->setValue(std::clamp(percent, 0, 100));
    }
}

// Paints every region of the window that Qt holds as changed, now. Every
// control the engine writes to (list row and scroll position, bars, status
// text) has asked for its update; the window's update request is delivered
// here instead of by the event loop, which does not run during a copy.
void PaintPendingUpdates(QWidget* window) {
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
}

// Marks the whole window changed: a message box that was shown during a copy
// leaves its area unpainted otherwise until the copy ends.
void InvalidateAll(QWidget* window) {
    window->update();
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) child->update();
}

}  // namespace

void PageDisplay::Message(const std::string& text, const std::string& caption, Icon icon,
                          Owner owner) {
    QWidget* ownerWidget = nullptr;
    if (owner == Owner::Page) ownerWidget = window_->currentPage();
    if (owner == Owner::MainWindow || (owner == Owner::Page && ownerWidget == nullptr)) {
        ownerWidget = window_;
    }
    window_->messages().Show({ownerWidget, text, caption, icon, MessageButtons::Ok});
    AfterModalBox();
}

bool PageDisplay::AskRetry(const std::string& text, const std::string& caption) {
    const bool retry =
        window_->messages().Show({window_, text, caption, Icon::Question,
                                  MessageButtons::RetryCancel}) == MessageResult::Retry;
    AfterModalBox();
    return retry;
}

void PageDisplay::AfterModalBox() {
    ScrollToPendingRow();
    if (!window_->isVisible()) return;
    InvalidateAll(window_);
    PaintPendingUpdates(window_);
}

void PageDisplay::SetRowDone(int row, const std::string& doneText) {
    QTreeWidget* list = FileList(window_);
    if (list == nullptr) return;
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item == nullptr) return;
    item->setText(list->columnCount() - 1, ToQ(doneText));
    // Scrolled when the screen is painted next, not for every file.
    pendingRow_ = row;
}

void PageDisplay::ScrollToPendingRow() {
    if (pendingRow_ < 0) return;
    QTreeWidget* list = FileList(window_);
    if (list != nullptr) {
        if (QTreeWidgetItem* item = list->topLevelItem(pendingRow_)) list->scrollToItem(item);
    }
    pendingRow_ = -1;
}

void PageDisplay::SetOverallBar(int percent) {
    SetBar(window_->currentPage(), id::kOverallBar, percent);
}

void PageDisplay::SetVolumeBar(int percent) {
    SetBar(window_->currentPage(), id::kVolumeBar, percent);
}

void PageDisplay::SetStatusText(const std::string& text) {
    // A prompt between volumes: the list shows where the copy stands.
    ScrollToPendingRow();
    if (Page* page = window_->currentPage()) page->SetText(id::kStatusText, text);
}

void PageDisplay::Repaint() {
    // The page's list, bars and status text as the engine left them, on the
    // screen now: the engine runs on the GUI thread and dispatches no events
    // meanwhile. (A repaint of the window alone would not reach the page,
    // which paints its own background.)
    // The engine reports after every chunk, and a chunk may be a file of a
    // few bytes: thousands of reports a second. The screen is painted at
    // most once per interval; every report still lands in its control.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPainted_ < paintInterval_) return;
    lastPainted_ = now;
    ScrollToPendingRow();
    if (window_->isVisible()) PaintPendingUpdates(window_);
}

}  // namespace tolvane::ui

#include "ui/page_display.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

#include "ui/ids.h"
#include "ui/main_window.h"
#include "ui/page.h"
#include "ui/qt_text.h"

namespace tolvane::ui {

namespace {
void SetBar(Page* page, int controlId, int percent) {
    if (page == nullptr) return;
    if (auto* bar = qobject_cast<QProgressBar*>(page->Control(controlId))) {
        bar->setValue(std::clamp(percent, 0, 100));
    }
}

// Paints every region of the window that Qt holds as changed, now. Every
// control the engine writes to (list row and scroll position, bars, status
// text) has asked for its update; each chunk's state is painted as it comes,
// not only the last of those that queued up while the worker was faster.
void PaintPendingUpdates(QWidget* window) {
    QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
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
}

bool PageDisplay::AskRetry(const std::string& text, const std::string& caption) {
    return window_->messages().Show({window_, text, caption, Icon::Question,
                                     MessageButtons::RetryCancel}) == MessageResult::Retry;
}

void PageDisplay::SetRowDone(int row, const std::string& doneText) {
    Page* page = window_->currentPage();
    if (page == nullptr) return;
    auto* list = qobject_cast<QTreeWidget*>(page->Control(id::kFileList));
    if (list == nullptr || list->columnCount() == 0) return;
    QTreeWidgetItem* item = list->topLevelItem(row);
    if (item == nullptr) return;
    item->setText(list->columnCount() - 1, ToQ(doneText));
    // Scrolled there when the screen is painted next, not once per file.
    pendingRow_ = row;
}

void PageDisplay::ScrollToPendingRow() {
    if (pendingRow_ < 0) return;
    const int row = std::exchange(pendingRow_, -1);
    Page* page = window_->currentPage();
    if (page == nullptr) return;
    auto* list = qobject_cast<QTreeWidget*>(page->Control(id::kFileList));
    if (list == nullptr) return;
    if (QTreeWidgetItem* item = list->topLevelItem(row)) list->scrollToItem(item);
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
    // The page's list, bars and status text as the engine left them after
    // this chunk, on the screen now.
    ScrollToPendingRow();
    if (window_->isVisible()) PaintPendingUpdates(window_);
}

}  // namespace tolvane::ui

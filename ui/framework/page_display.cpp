#include "ui/framework/page_display.h"

#include <utility>

#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"

namespace tolvane::ui {

void PageDisplay::Message(const std::string& text, const std::string& caption, Icon icon,
                          Owner owner) {
    NativeWindow ownerWidget = nullptr;
    if (owner == Owner::Page && window_->currentPage() != nullptr) {
        ownerWidget = window_->currentPage()->native();
    }
    if (owner == Owner::MainWindow || (owner == Owner::Page && ownerWidget == nullptr)) {
        ownerWidget = window_->native();
    }
    window_->messages().Show({ownerWidget, text, caption, icon, MessageButtons::Ok});
}

bool PageDisplay::AskRetry(const std::string& text, const std::string& caption) {
    return window_->messages().Show({window_->native(), text, caption, Icon::Question,
                                     MessageButtons::RetryCancel}) == MessageResult::Retry;
}

bool PageDisplay::AskYesNo(const std::string& text, const std::string& caption) {
    // Asked about the page's operation: the page owns the box.
    Page* page = window_->currentPage();
    NativeWindow owner = page != nullptr ? page->native() : window_->native();
    return window_->messages().Show(
               {owner, text, caption, Icon::Question, MessageButtons::YesNo}) == MessageResult::Yes;
}

void PageDisplay::SetRowDone(int row, const std::string& doneText) {
    Page* page = window_->currentPage();
    if (page == nullptr) return;
    const int columns = page->ListColumnCount(id::kFileList);
    if (columns == 0 || row < 0 || row >= page->ListRowCount(id::kFileList)) return;
    page->SetListCell(id::kFileList, row, columns - 1, doneText);
    // Scrolled there when the screen is painted next, not once per file.
    pendingRow_ = row;
}

void PageDisplay::ScrollToPendingRow() {
    if (pendingRow_ < 0) return;
    const int row = std::exchange(pendingRow_, -1);
    Page* page = window_->currentPage();
    if (page == nullptr) return;
    page->ScrollListTo(id::kFileList, row);
}

void PageDisplay::SetOverallBar(int percent) {
    if (Page* page = window_->currentPage()) page->SetBar(id::kOverallBar, percent);
}

void PageDisplay::SetVolumeBar(int percent) {
    if (Page* page = window_->currentPage()) page->SetBar(id::kVolumeBar, percent);
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
    window_->backend().RepaintNow();
}

}  // namespace tolvane::ui

// The tests' window on the Win32 backend and its probe: the main window's
// native parts (title, client area, menu bar) and the current page host's
// controls.
#include <windows.h>

#include "engine/platform/win32_text.h"
#include "tests/gui/win32/win32_probe.h"
#include "ui/framework/page.h"
#include "ui/win32/win32_backend.h"

namespace tolvane::ui::test {

namespace {

using platform::Narrow;

std::string MenuString(HMENU menu, UINT item, UINT flags) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, item, text, 256, flags);
    std::wstring s = text;
    // The shortcut key, shown right of a tab, is no part of the command's name.
    if (const size_t tab = s.find(L'\t'); tab != std::wstring::npos) s.resize(tab);
    return Narrow(s);
}

// Runs the messages waiting for this thread as the program's loop does;
// with waitForMore, waits for one first (a tenth of a second at most, so
// that a caller's loop looks at its condition again).
void PumpMessages(bool waitForMore) {
    if (waitForMore) MsgWaitForMultipleObjectsEx(0, nullptr, 100, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (win32::TranslateWindowMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class Win32WindowProbe : public WindowProbe {
  public:
    explicit Win32WindowProbe(MainWindow& window)
        : window_(&window),
          hwnd_(win32::MainWindowHandle(window)),
          page_([this] { return PageHost(); }, {win32::TooltipWindowOf, win32::ShowsPicture}) {}

    bool Exists(int id) override { return page_.Exists(id); }
    std::string Text(int id) override { return page_.Text(id); }
    bool IsChecked(int id) override { return page_.IsChecked(id); }
    bool IsEnabled(int id) override { return page_.IsEnabled(id); }
    std::string Tooltip(int id) override { return page_.Tooltip(id); }
    Rect Bounds(int id) override { return page_.Bounds(id); }
    bool HasPicture(int id) override { return page_.HasPicture(id); }
    int BarValue(int id) override { return page_.BarValue(id); }
    int ListRowCount(int id) override { return page_.ListRowCount(id); }
    int ListColumnCount(int id) override { return page_.ListColumnCount(id); }
    std::string ListHeading(int id, int column) override { return page_.ListHeading(id, column); }
    int ListColumnWidth(int id, int column) override { return page_.ListColumnWidth(id, column); }
    std::string ListCell(int id, int row, int column) override {
        return page_.ListCell(id, row, column);
    }
    bool Press(int id) override { return page_.Press(id); }
    void PostClick(int id) override { page_.PostClick(id); }
    void OnPaint(int id, std::function<void()> painted) override {
        page_.OnPaint(id, std::move(painted));
    }

    std::string Title() override {
        wchar_t title[256] = {};
        GetWindowTextW(hwnd_, title, 256);
        return Narrow(title);
    }
    // The client area: the menu bar and the frame are the system's.
    Size WindowSize() override {
        RECT r;
        GetClientRect(hwnd_, &r);
        return {r.right, r.bottom};
    }
    Rect PageBounds() override {
        HWND host = PageHost();
        if (host == nullptr) return {};
        RECT r;
        GetWindowRect(host, &r);
        MapWindowPoints(HWND_DESKTOP, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        return {r.left, r.top, r.right - r.left, r.bottom - r.top};
    }
    std::vector<std::string> MenuLabels() override {
        std::vector<std::string> labels;
        HMENU bar = GetMenu(hwnd_);
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            labels.push_back(MenuString(bar, i, MF_BYPOSITION));
        }
        return labels;
    }
    std::string MenuText(int menuId) override {
        return MenuString(GetMenu(hwnd_), menuId, MF_BYCOMMAND);
    }
    bool MenuEnabled(int menuId) override {
        const UINT state = GetMenuState(GetMenu(hwnd_), menuId, MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    // The system sends no command for a greyed item.
    void Command(int menuId) override {
        if (MenuEnabled(menuId)) SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(menuId, 0), 0);
    }
    bool Close() override {
        SendMessageW(hwnd_, WM_CLOSE, 0, 0);
        return !IsWindowVisible(hwnd_);
    }
    // The key as the message loop gets it, at the control with the focus.
    void Escape() override {
        HWND focus = GetFocus();
        MSG key{focus != nullptr ? focus : hwnd_, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
        if (!win32::TranslateWindowMessage(key)) DispatchMessageW(&key);
    }
    void Pump(bool waitForMore) override { PumpMessages(waitForMore); }
    void Flush() override { PumpMessages(false); }
    void WaitUntilShown() override {
        for (int i = 0; i < 100 && !IsWindowVisible(hwnd_); ++i) PumpMessages(true);
        PumpMessages(false);
    }

  private:
    HWND PageHost() {
        Page* page = window_->currentPage();
        return page == nullptr ? nullptr : static_cast<HWND>(page->native());
    }

    MainWindow* window_;
    HWND hwnd_;
    Win32ControlProbe page_;
};

}  // namespace

std::unique_ptr<MainWindow> CreateTestWindow(const Services& services,
                                             const WindowOptions& options) {
    return win32::CreateWin32MainWindow(services, options);
}

std::unique_ptr<WindowProbe> CreateWindowProbe(MainWindow& window) {
    return std::make_unique<Win32WindowProbe>(window);
}

}  // namespace tolvane::ui::test

#include "tests/gui/win32/win32_probe.h"

#include <commctrl.h>

#include <vector>

#include "engine/platform/win32_text.h"

namespace tolvane::ui::test {

using platform::Narrow;

namespace {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
    return Narrow(text);
}

bool IsClass(HWND window, const wchar_t* name) {
    return window != nullptr && lstrcmpiW(ClassOf(window).c_str(), name) == 0;
}

bool IsList(HWND window) {
    return IsClass(window, WC_LISTVIEWW);
}

// The text a list view hands out through a buffer that grows until it fits.
template <typename Ask>
std::string GrowingText(Ask ask) {
    std::wstring buffer(256, L'\0');
    for (;;) {
        const int got = ask(buffer.data(), static_cast<int>(buffer.size()));
        if (got < static_cast<int>(buffer.size()) - 1) {
            buffer.resize(static_cast<size_t>(got));
            return Narrow(buffer);
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
}

struct PaintHook {
    std::function<void()> painted;
};

LRESULT CALLBACK PaintWatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR data) {
    auto* hook = reinterpret_cast<PaintHook*>(data);
    if (message == WM_PAINT) {
        hook->painted();
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, PaintWatcher, id);
        delete hook;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string WineVersion() {
    using Version = const char*(__cdecl*)();
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto version = ntdll == nullptr ? nullptr
                                          : reinterpret_cast<Version>(reinterpret_cast<void (*)()>(
                                                GetProcAddress(ntdll, "wine_get_version")));
    return version == nullptr ? std::string() : std::string(version());
}

HWND Win32ControlProbe::Control(int controlId) {
    HWND container = container_();
    if (container == nullptr || controlId == 0) return nullptr;
    return GetDlgItem(container, controlId);
}

bool Win32ControlProbe::Exists(int controlId) {
    return Control(controlId) != nullptr;
}

std::string Win32ControlProbe::Text(int controlId) {
    HWND control = Control(controlId);
    if (control == nullptr || IsList(control) || IsClass(control, PROGRESS_CLASSW)) return {};
    return WindowText(control);
}

bool Win32ControlProbe::IsChecked(int controlId) {
    HWND control = Control(controlId);
    return IsClass(control, WC_BUTTONW) && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Win32ControlProbe::IsEnabled(int controlId) {
    HWND control = Control(controlId);
    return control != nullptr && IsWindowEnabled(control);
}

std::string Win32ControlProbe::Tooltip(int controlId) {
    HWND control = Control(controlId);
    HWND tips = control == nullptr || !natives_.tooltipOf ? nullptr
                                                          : natives_.tooltipOf(GetParent(control));
    if (tips == nullptr) return {};
    std::wstring text(1024, L'\0');
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    SendMessageW(tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    if (tool.lpszText == nullptr) return {};
    text.resize(wcslen(text.c_str()));
    return Narrow(text);
}

Rect Win32ControlProbe::Bounds(int controlId) {
    HWND control = Control(controlId);
    if (control == nullptr) return {};
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

bool Win32ControlProbe::HasPicture(int controlId) {
    HWND control = Control(controlId);
    return control != nullptr && natives_.showsPicture && natives_.showsPicture(control);
}

int Win32ControlProbe::BarValue(int controlId) {
    HWND control = Control(controlId);
    if (!IsClass(control, PROGRESS_CLASSW)) return 0;
    return static_cast<int>(SendMessageW(control, PBM_GETPOS, 0, 0));
}

int Win32ControlProbe::ListRowCount(int controlId) {
    HWND list = Control(controlId);
    return IsList(list) ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int Win32ControlProbe::ListColumnCount(int controlId) {
    HWND list = Control(controlId);
    if (!IsList(list)) return 0;
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    return header == nullptr ? 0 : static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string Win32ControlProbe::ListHeading(int controlId, int column) {
    HWND list = Control(controlId);
    if (!IsList(list) || column < 0 || column >= ListColumnCount(controlId)) return {};
    return GrowingText([&](wchar_t* buffer, int size) {
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT;
        c.pszText = buffer;
        c.cchTextMax = size;
        if (!SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c))) return 0;
        return static_cast<int>(wcslen(buffer));
    });
}

int Win32ControlProbe::ListColumnWidth(int controlId, int column) {
    HWND list = Control(controlId);
    if (!IsList(list) || column < 0 || column >= ListColumnCount(controlId)) return 0;
    return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string Win32ControlProbe::ListCell(int controlId, int row, int column) {
    HWND list = Control(controlId);
    if (row < 0 || row >= ListRowCount(controlId) || column < 0 ||
        column >= ListColumnCount(controlId)) {
        return {};
    }
    return GrowingText([&](wchar_t* buffer, int size) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = size;
        return static_cast<int>(
            SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
    });
}

bool Win32ControlProbe::Press(int controlId) {
    HWND button = Control(controlId);
    if (!IsClass(button, WC_BUTTONW)) return false;
    // A greyed button takes no click, as for the user.
    if (IsWindowEnabled(button)) SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

void Win32ControlProbe::PostClick(int controlId) {
    HWND button = Control(controlId);
    if (IsClass(button, WC_BUTTONW) && IsWindowEnabled(button)) {
        PostMessageW(button, BM_CLICK, 0, 0);
    }
}

void Win32ControlProbe::OnPaint(int controlId, std::function<void()> painted) {
    HWND control = Control(controlId);
    if (control == nullptr) return;
    auto* hook = new PaintHook{std::move(painted)};
    if (!SetWindowSubclass(control, PaintWatcher, reinterpret_cast<UINT_PTR>(hook),
                           reinterpret_cast<DWORD_PTR>(hook))) {
        delete hook;
    }
}

}  // namespace tolvane::ui::test

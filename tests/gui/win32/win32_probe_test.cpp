// The probe reads what the native controls hold, set here by their own
// messages: so a failing page test on Win32 points at the backend, not at
// the probe.
#include "tests/gui/win32/win32_probe.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace tolvane::ui::test {
namespace {

struct Host {
    Host() {
        window = CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 20,
                                 400, 300, nullptr, nullptr, nullptr, nullptr);
        tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, window, nullptr,
                               nullptr, nullptr);
    }
    ~Host() { DestroyWindow(window); }
    HWND Add(const wchar_t* type, const wchar_t* text, DWORD style, int id, RECT r) {
        return CreateWindowExW(0, type, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right,
                               r.bottom, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               nullptr, nullptr);
    }
    ControlProbe& probe() { return probe_; }

    HWND window;
    HWND tips;
    int clicks = 0;
    Win32ControlProbe probe_{[this] { return window; },
                             {[this](HWND) { return tips; }, [](HWND) { return false; }}};
};

TEST(Win32Probe, ReadsTextStateAndPlaceOfLabelsAndButtons) {
    Host h;
    h.Add(L"STATIC", L"Größe: 1,44 MB", SS_NOPREFIX, 10, {5, 6, 120, 13});
    HWND check = h.Add(L"BUTTON", L"&Selbstentpackend", BS_AUTOCHECKBOX, 11, {5, 30, 120, 13});
    HWND next = h.Add(L"BUTTON", L"&Weiter >", BS_PUSHBUTTON, 12, {200, 250, 75, 23});
    EnableWindow(next, FALSE);
    ControlProbe& p = h.probe();

    EXPECT_EQ(p.Text(10), "Größe: 1,44 MB");
    EXPECT_EQ(p.Text(11), "&Selbstentpackend");
    EXPECT_EQ(p.Bounds(12), (Rect{200, 250, 75, 23}));
    EXPECT_TRUE(p.IsEnabled(11));
    EXPECT_FALSE(p.IsEnabled(12));
    EXPECT_FALSE(p.Exists(99));
    EXPECT_EQ(p.Text(99), "");

    // A click goes through the control: the check box flips itself; a
    // greyed button takes none.
    EXPECT_FALSE(p.IsChecked(11));
    EXPECT_TRUE(p.Press(11));
    EXPECT_TRUE(p.IsChecked(11));
    SendMessageW(check, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(p.IsChecked(11));
    EXPECT_TRUE(p.Press(12));
    EXPECT_FALSE(p.Press(10));  // a label is no button
    EXPECT_FALSE(p.Press(99));
}

TEST(Win32Probe, ReadsListsBarsAndTooltips) {
    Host h;
    HWND list = h.Add(WC_LISTVIEWW, L"", LVS_REPORT, 20, {5, 5, 300, 100});
    const wchar_t* headings[] = {L"Datei", L"bearbeitet"};
    for (int c = 0; c < 2; ++c) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(headings[c]);
        column.cx = 80 + 20 * c;
        SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Größe.bin");
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(L"100 %");
    SendMessageW(list, LVM_SETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    HWND bar = h.Add(PROGRESS_CLASSW, L"", 0, 21, {5, 120, 300, 15});
    SendMessageW(bar, PBM_SETRANGE32, 0, 100);
    SendMessageW(bar, PBM_SETPOS, 42, 0);
    HWND button = h.Add(L"BUTTON", L"", BS_PUSHBUTTON, 22, {5, 150, 50, 50});
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = h.window;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = const_cast<wchar_t*>(L"Archiv erstellen");
    SendMessageW(h.tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ControlProbe& p = h.probe();

    EXPECT_EQ(p.ListColumnCount(20), 2);
    EXPECT_EQ(p.ListHeading(20, 1), "bearbeitet");
    EXPECT_EQ(p.ListColumnWidth(20, 1), 100);
    EXPECT_EQ(p.ListRowCount(20), 1);
    EXPECT_EQ(p.ListCell(20, 0, 0), "Größe.bin");
    EXPECT_EQ(p.ListCell(20, 0, 1), "100 %");
    EXPECT_EQ(p.ListCell(20, 1, 0), "");  // no such row
    EXPECT_EQ(p.BarValue(21), 42);
    EXPECT_EQ(p.Tooltip(22), "Archiv erstellen");
    EXPECT_EQ(p.Tooltip(21), "");
}

TEST(Win32Probe, SeesTheListPainted) {
    Host h;
    h.Add(WC_LISTVIEWW, L"", LVS_REPORT, 20, {5, 5, 300, 100});
    int painted = 0;
    h.probe().OnPaint(20, [&painted] { ++painted; });
    RedrawWindow(h.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_GT(painted, 0);
}

// ctest runs this under wine, in a German prefix: the answer gates the
// checks wine fails, and the system's own buttons are German as on a German
// Windows.
TEST(Win32Probe, KnowsWhetherItRunsUnderWineInGerman) {
    if (GetEnvironmentVariableW(L"WINEPREFIX", nullptr, 0) == 0) GTEST_SKIP();
    EXPECT_FALSE(WineVersion().empty());
    EXPECT_EQ(PRIMARYLANGID(GetUserDefaultUILanguage()), LANG_GERMAN);
}

}  // namespace
}  // namespace tolvane::ui::test

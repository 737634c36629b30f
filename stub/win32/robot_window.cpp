#include "stub/win32/robot_window.h"

#include <commctrl.h>
#include <shlobj.h>

#include "engine/platform/win32_text.h"
#include "stub/robot_ids.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {
namespace {

using platform::Narrow;
using platform::Widen;

constexpr COLORREF kLight = RGB(0xE8, 0xE8, 0xE8);
constexpr COLORREF kWarm = RGB(0xF0, 0xA0, 0x30);
constexpr COLORREF kGrey = RGB(0x90, 0x90, 0x90);
constexpr COLORREF kBlue = RGB(0x30, 0x90, 0xFF);
constexpr int kTemplate = 101;

// The first of these faces the system has: wine comes without Arial, and a
// face the system lacks is replaced by whatever the font mapper picks.
constexpr const wchar_t* kFaces[] = {L"Arial", L"Liberation Sans", L"Tahoma", L"MS Shell Dlg"};

HFONT MakeFont(HDC dc, int pixels, bool bold, bool italic) {
    HFONT font = nullptr;
    for (const wchar_t* face : kFaces) {
        font = ::CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, italic, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
        HGDIOBJ old = ::SelectObject(dc, font);
        wchar_t chosen[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, chosen);
        ::SelectObject(dc, old);
        if (::lstrcmpiW(chosen, face) == 0 || face == kFaces[3]) break;
        ::DeleteObject(font);
    }
    return font;
}

// How far the first and the last letter reach beyond the advance width (an
// italic letter leans out of its cell).
void Overhangs(HDC dc, const wchar_t* text, int length, int* left, int* right) {
    ABC first = {}, last = {};
    *left = *right = 0;
    if (::GetCharABCWidthsW(dc, text[0], text[0], &first) &&
        ::GetCharABCWidthsW(dc, text[length - 1], text[length - 1], &last)) {
        *left = first.abcA < 0 ? -first.abcA : 0;
        *right = last.abcC < 0 ? -last.abcC : 0;
    } else {
        TEXTMETRICW metrics;
        if (::GetTextMetricsW(dc, &metrics)) *right = metrics.tmOverhang;
    }
}

// Draws one line into r, at `pixels` high or smaller when it would not fit:
// the text is never cut, whichever font the system has.
void Text(HDC dc, RECT r, int pixels, bool bold, bool italic, COLORREF color, const wchar_t* text,
          UINT align = DT_LEFT) {
    const int length = ::lstrlenW(text);
    HFONT font = nullptr;
    HGDIOBJ old = nullptr;
    int left = 0, right = 0;
    for (int size = pixels;; --size) {
        font = MakeFont(dc, size, bold, italic);
        old = ::SelectObject(dc, font);
        SIZE extent = {};
        ::GetTextExtentPoint32W(dc, text, length, &extent);
        Overhangs(dc, text, length, &left, &right);
        if (size <= 6 ||
            (extent.cx + left + right <= r.right - r.left && extent.cy <= r.bottom - r.top)) {
            break;
        }
        ::SelectObject(dc, old);
        ::DeleteObject(font);
    }
    r.left += left;
    r.right -= right;
    ::SetTextColor(dc, color);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text, length, &r, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    ::SelectObject(dc, old);
    ::DeleteObject(font);
}

}  // namespace

RobotWindow::RobotWindow() : robot_(*this), black_(::CreateSolidBrush(RGB(0, 0, 0))) {}

RobotWindow::~RobotWindow() {
    if (window_ != nullptr) ::DestroyWindow(window_);
    ::DeleteObject(black_);
}

bool RobotWindow::Create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    window_ = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(kTemplate), nullptr, Procedure,
                                   reinterpret_cast<LPARAM>(this));
    return window_ != nullptr;
}

INT_PTR CALLBACK RobotWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<RobotWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
        case WM_INITDIALOG:
            ::SetWindowLongPtrW(window, DWLP_USER, lParam);
            return TRUE;
        case WM_CTLCOLORDLG:
            return self != nullptr ? reinterpret_cast<INT_PTR>(self->black_) : FALSE;
        case WM_DRAWITEM:
            if (self == nullptr) return FALSE;
            self->DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            // The close box arrives as the command of Quit (id 2, IDCANCEL).
            if (LOWORD(wParam) == kIdQuit) {
                ::PostQuitMessage(0);
                return TRUE;
            }
            if (LOWORD(wParam) == kIdStart && self != nullptr) {
                self->robot_.StartPressed();
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return FALSE;
        default:
            return FALSE;
    }
}

// The pictures: light text, and a little ornament, on black.
void RobotWindow::DrawPicture(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    ::FillRect(dc, &r, black_);
    switch (item.CtlID) {
        case kIdLogo: {
            // A floppy disk and the product's name.
            const int s = r.bottom - r.top - 4;
            RECT disk = {r.left + 1, r.top + 2, r.left + 1 + s, r.top + 2 + s};
            HBRUSH blue = ::CreateSolidBrush(RGB(0x30, 0x60, 0xC0));
            ::FillRect(dc, &disk, blue);
            ::DeleteObject(blue);
            HBRUSH light = ::CreateSolidBrush(kLight);
            RECT shutter = {disk.left + s / 4, disk.top, disk.right - s / 4, disk.top + s / 3};
            ::FillRect(dc, &shutter, light);
            ::DeleteObject(light);
            RECT name = r;
            name.left += s + 5;
            Text(dc, name, (r.bottom - r.top) * 3 / 4, true, true, kWarm, L"Tolvane");
            break;
        }
        case kIdBannerTop: {
            RECT line = {r.left, r.bottom - 3, r.right, r.bottom - 1};
            HBRUSH blue = ::CreateSolidBrush(kBlue);
            ::FillRect(dc, &line, blue);
            ::DeleteObject(blue);
            r.bottom -= 4;
            Text(dc, r, (r.bottom - r.top) * 2 / 3, true, false, kLight, L"selfextracting archive",
                 DT_RIGHT);
            break;
        }
        case kIdBannerBottom:
            Text(dc, r, r.bottom - r.top - 3, false, true, kGrey, L"Tolvane Robot v2", DT_RIGHT);
            break;
        case kIdTotalLabel:
            Text(dc, r, r.bottom - r.top - 2, true, false, kLight, L"Total:");
            break;
        case kIdDiskLabel:
            Text(dc, r, r.bottom - r.top - 2, true, false, kLight, L"Disk:");
            break;
        default:
            Text(dc, r, r.bottom - r.top - 2, true, false, kLight, L"Info:");
            break;
    }
}

void RobotWindow::Message(const std::string& text, const std::string& caption, Icon icon, Owner) {
    ::MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(),
                  MB_OK | (icon == Icon::Error ? MB_ICONERROR : MB_ICONWARNING));
}

bool RobotWindow::AskRetry(const std::string& text, const std::string& caption) {
    return ::MessageBoxW(window_, Widen(text).c_str(), Widen(caption).c_str(),
                         MB_RETRYCANCEL | MB_ICONQUESTION) == IDRETRY;
}

bool RobotWindow::AskTargetFolder(std::string* folder) {
    const std::wstring title = Widen(texts::kChooseFolder);
    wchar_t name[MAX_PATH];
    BROWSEINFOW info = {};
    info.hwndOwner = window_;
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (chosen == nullptr) return false;
    wchar_t path[MAX_PATH];
    const bool ok = ::SHGetPathFromIDListW(chosen, path) != 0;
    ::CoTaskMemFree(chosen);
    if (!ok) return false;
    *folder = Narrow(path);
    return true;
}

void RobotWindow::SetOverallBar(int percent) {
    ::SendDlgItemMessageW(window_, kIdTotalBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void RobotWindow::SetVolumeBar(int percent) {
    ::SendDlgItemMessageW(window_, kIdDiskBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

void RobotWindow::SetStatusText(const std::string& text) {
    ::SetDlgItemTextW(window_, kIdStatus, Widen(text).c_str());
}

void RobotWindow::Repaint() {
    // No message is dispatched while a volume is copied: what changed is
    // painted now, at most every 40 ms (a set of thousands of small files
    // reports after each of them). What is left is painted when the copy
    // returns to the message loop.
    const ULONGLONG now = ::GetTickCount64();
    if (painted_ && now - lastPaint_ < 40) return;
    painted_ = true;
    lastPaint_ = now;
    ::RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void RobotWindow::SetStartButton(const std::string& caption, bool enabled) {
    if (!caption.empty()) ::SetDlgItemTextW(window_, kIdStart, Widen(caption).c_str());
    ::EnableWindow(::GetDlgItem(window_, kIdStart), enabled);
}

}  // namespace tolvane::robot

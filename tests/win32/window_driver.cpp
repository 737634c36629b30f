// Works tolvane.exe's window from another process, as a user's tools would
// see it: starts the program, then carries out each step in turn and prints
// what it found.
//
//   window_driver TOLVANE_EXE [FILE] -- STEP...
//
//   window     the title and the client area's size
//   menu       each menu's title, then each command as "id text" with
//              " (grau)" when it is greyed
//   page       the current page's (or open custom size dialog's) controls
//              in their order as "id class x,y,w,h text" (pictures: "[Bild]")
//   press:ID   clicks the button ID there
//   command:ID chooses the menu command ID (another process cannot read
//              wine's menus, but it can send their commands)
//   shot:FILE  a picture of the window, or of the custom size dialog open
//              over it, as PNG (window_shot.exe beside this program; needs a
//              display)
//   choose:PATH types PATH into the chooser open over the window and
//              presses Enter
//   wait:ID    waits until the current page has a control ID (a job's end)
//   box        the message box open over the window: "Box: caption | text |
//              buttons"; then presses its first button
//   close      the close box; then waits for the program's end and prints
//              its exit code
//
// Exit 0 when every step found what it needed.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"
#include "ui/win32/services.h"
#include "ui/win32/win32_backend.h"

namespace {

using tolvane::platform::Narrow;
using tolvane::ui::win32::kMainWindowClass;
using tolvane::ui::win32::kPageHostClass;

template <typename Find>
HWND WaitFor(Find found) {
    for (int i = 0; i < 400; ++i) {
        if (HWND w = found()) return w;
        ::Sleep(25);
    }
    return nullptr;
}

// WM_GETTEXT itself: GetWindowText does not ask a window of another process.
std::string TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return Narrow(name);
}

HWND VisiblePageHost(HWND main) {
    for (HWND w = ::FindWindowExW(main, nullptr, kPageHostClass, nullptr); w != nullptr;
         w = ::FindWindowExW(main, w, kPageHostClass, nullptr)) {
        if (::IsWindowVisible(w)) return w;
    }
    return nullptr;
}

// Lets the program handle what was posted to it: its thread answers a sent
// message only from a message loop, and the pause lets it take up the
// posted ones first (a new page is made in one go).
void Settle(HWND main) {
    for (int i = 0; i < 2; ++i) {
        ::Sleep(100);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    }
}

// The custom size dialog open over this window (other programs may show one
// too), or null.
HWND OpenModal(HWND main) {
    const wchar_t* modalClass = tolvane::ui::win32::kModalClass;
    HWND modal = ::FindWindowExW(nullptr, nullptr, modalClass, nullptr);
    while (modal != nullptr && ::GetWindow(modal, GW_OWNER) != main) {
        modal = ::FindWindowExW(nullptr, modal, modalClass, nullptr);
    }
    return modal != nullptr && ::IsWindowVisible(modal) ? modal : nullptr;
}

// The host of the custom size dialog while it is open, else of the page.
HWND CurrentHost(HWND main) {
    if (HWND modal = OpenModal(main)) {
        return ::FindWindowExW(modal, nullptr, kPageHostClass, nullptr);
    }
    return WaitFor([main] { return VisiblePageHost(main); });
}

void PrintWindow(HWND main) {
    RECT client;
    ::GetClientRect(main, &client);
    std::printf("Fenster: %s %ldx%ld\n", TextOf(main).c_str(), client.right, client.bottom);
}

void PrintMenu(HWND main) {
    HMENU bar = ::GetMenu(main);
    const int menus = ::GetMenuItemCount(bar);
    for (int m = 0; m < menus; ++m) {
        wchar_t title[128] = {};
        ::GetMenuStringW(bar, static_cast<UINT>(m), title, 128, MF_BYPOSITION);
        std::printf("Menü %s\n", Narrow(title).c_str());
        HMENU popup = ::GetSubMenu(bar, m);
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            const UINT id = ::GetMenuItemID(popup, i);
            if (id == 0) continue;  // separator
            wchar_t text[128] = {};
            ::GetMenuStringW(popup, id, text, 128, MF_BYCOMMAND);
            const UINT state = ::GetMenuState(popup, id, MF_BYCOMMAND);
            std::printf("  %u %s%s\n", id, Narrow(text).c_str(),
                        (state & (MF_GRAYED | MF_DISABLED)) != 0 ? " (grau)" : "");
        }
    }
}

bool PrintPage(HWND main) {
    HWND host = CurrentHost(main);
    if (host == nullptr) {
        std::printf("keine Seite\n");
        return false;
    }
    for (HWND c = ::GetWindow(host, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        ::GetWindowRect(c, &r);
        ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&r), 2);
        const bool picture = tolvane::ui::win32::ShowsPicture(c);
        std::printf("%d %s %ld,%ld,%ld,%ld %s\n", ::GetDlgCtrlID(c), ClassOf(c).c_str(), r.left,
                    r.top, r.right - r.left, r.bottom - r.top,
                    picture ? "[Bild]" : TextOf(c).c_str());
    }
    return true;
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window) &&
        ClassOf(window) == "#32770") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool AnswerBox(HWND main) {
    HWND box = WaitFor([main] {
        BoxSearch search{main, nullptr};
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
    if (box == nullptr) {
        std::printf("keine Box\n");
        return false;
    }
    std::string text;
    std::string buttons;
    int first = 0;
    for (HWND c = ::GetWindow(box, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        const std::string shown = TextOf(c);
        if (ClassOf(c) == "Static" && !shown.empty()) text += shown;
        if (ClassOf(c) == "Button" && ::IsWindowVisible(c)) {
            buttons += (buttons.empty() ? "" : " ") + shown;
            if (first == 0) first = ::GetDlgCtrlID(c);
        }
    }
    std::printf("Box: %s | %s | %s\n", TextOf(box).c_str(), text.c_str(), buttons.c_str());
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(first, BN_CLICKED), 0);
    return true;
}

BOOL CALLBACK FindEdit(HWND window, LPARAM data) {
    if (ClassOf(window) == "Edit" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }
    return TRUE;
}

// Types path into the chooser open over the window and presses Enter.
bool Choose(HWND main, const std::wstring& path) {
    HWND chooser = WaitFor([main] {
        BoxSearch search{main, nullptr};
        ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
    HWND edit = nullptr;
    if (chooser != nullptr) ::EnumChildWindows(chooser, FindEdit, reinterpret_cast<LPARAM>(&edit));
    if (edit == nullptr) {
        std::printf("kein Auswahlfeld\n");
        return false;
    }
    ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageW(edit, WM_KEYUP, VK_RETURN, 0);
    std::printf("Auswahl: %s\n", TextOf(chooser).c_str());
    return true;
}

bool Press(HWND main, int controlId) {
    HWND host = CurrentHost(main);
    HWND button = host == nullptr ? nullptr : ::GetDlgItem(host, controlId);
    if (button == nullptr) {
        std::printf("kein Knopf %d\n", controlId);
        return false;
    }
    // Posted: the press may open a modal dialog, which waits for us.
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

// The custom size dialog while it is open, else the window.
bool Shot(HWND main, const std::wstring& file) {
    wchar_t own[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    const std::wstring shot =
        tolvane::platform::Widen(tolvane::platform::FolderOf(Narrow(own))) + L"\\window_shot.exe";
    // The pointer out of the way: a tooltip under it would cover the page.
    ::SetCursorPos(0, 0);
    HWND modal = OpenModal(main);
    wchar_t title[128] = L"Tolvane";
    if (modal != nullptr) ::SendMessageW(modal, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(title));
    std::wstring commandLine = tolvane::ui::win32::QuoteArgument(shot) + L" " +
                               tolvane::ui::win32::QuoteArgument(title) + L" " +
                               tolvane::ui::win32::QuoteArgument(file) + L" 1000";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(shot.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        std::printf("kein window_shot.exe\n");
        return false;
    }
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return code == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Aufruf: window_driver TOLVANE_EXE [DATEI] -- SCHRITT...\n");
        return 2;
    }
    std::wstring commandLine = tolvane::ui::win32::QuoteArgument(argv[1]);
    int step = 2;
    for (; step < argc && std::wstring(argv[step]) != L"--"; ++step) {
        commandLine += L" " + tolvane::ui::win32::QuoteArgument(argv[step]);
    }
    ++step;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        std::printf("startet nicht: %lu\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(process.hThread);
    // The window of this process: other programs in the prefix (the GUI
    // tests beside this one) may show a Tolvane window too.
    HWND main = WaitFor([&process] {
        for (HWND w = ::FindWindowExW(nullptr, nullptr, kMainWindowClass, L"Tolvane"); w != nullptr;
             w = ::FindWindowExW(nullptr, w, kMainWindowClass, L"Tolvane")) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            if (owner == process.dwProcessId && ::IsWindowVisible(w)) return w;
        }
        return HWND{};
    });
    ::WaitForInputIdle(process.hProcess, 10000);
    bool ok = main != nullptr;
    if (!ok) std::printf("kein Fenster\n");
    for (; ok && step < argc; ++step) {
        Settle(main);
        const std::string what = Narrow(argv[step]);
        if (what == "window") {
            PrintWindow(main);
        } else if (what == "menu") {
            PrintMenu(main);
        } else if (what == "page") {
            ok = PrintPage(main);
        } else if (what.rfind("press:", 0) == 0) {
            ok = Press(main, std::atoi(what.c_str() + 6));
        } else if (what.rfind("command:", 0) == 0) {
            ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(std::atoi(what.c_str() + 8), 0), 0);
        } else if (what.rfind("shot:", 0) == 0) {
            ok = Shot(main, std::wstring(argv[step]).substr(5));
        } else if (what.rfind("choose:", 0) == 0) {
            ok = Choose(main, std::wstring(argv[step]).substr(7));
        } else if (what.rfind("wait:", 0) == 0) {
            const int controlId = std::atoi(what.c_str() + 5);
            ok = WaitFor([main, controlId] {
                     HWND host = VisiblePageHost(main);
                     return host == nullptr ? nullptr : ::GetDlgItem(host, controlId);
                 }) != nullptr;
            if (!ok) std::printf("kein %d\n", controlId);
        } else if (what == "box") {
            ok = AnswerBox(main);
        } else if (what == "close") {
            ::PostMessageW(main, WM_CLOSE, 0, 0);
            DWORD code = 1;
            if (::WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
                ::GetExitCodeProcess(process.hProcess, &code);
                std::printf("Rückgabewert: %lu\n", code);
            } else {
                std::printf("läuft weiter\n");
                ok = false;
            }
        } else {
            std::printf("unbekannter Schritt: %s\n", what.c_str());
            ok = false;
        }
        std::fflush(stdout);
    }
    if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process.hProcess, 1);
    }
    ::CloseHandle(process.hProcess);
    return ok ? 0 : 1;
}

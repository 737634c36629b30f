// Works the stub's dialog as a user would, from another process: starts
// package.exe, reads its status line, presses Start, answers the folder
// question with a folder, waits for the end and presses Quit.
//
//   robot_dialog_driver PACKAGE_EXE TARGET_FOLDER
//
// Prints each step; exit 0 when the dialog said "Archiv erfolgreich
// entpackt!" and the stub ended with exit code 0.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"

namespace {

constexpr int kIdQuit = 2;
constexpr int kIdStart = 3;
constexpr int kIdStatus = 1002;
const wchar_t kCaption[] = L"Tolvane v2 - selfextracting archive";

std::string Status(HWND dialog) {
    // WM_GETTEXT itself: GetWindowText does not ask a control of another
    // process for its text.
    wchar_t text[512] = {};
    ::SendDlgItemMessageW(dialog, kIdStatus, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return tolvane::platform::Narrow(text);
}

// Waits up to ten seconds for found() to give a window.
template <typename Find>
HWND WaitFor(Find found) {
    for (int i = 0; i < 400; ++i) {
        if (HWND w = found()) return w;
        ::Sleep(25);
    }
    return nullptr;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwned(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    if (::GetWindow(window, GW_OWNER) == search->owner && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

int Fail(const char* what) {
    std::printf("FEHLER: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    tolvane::platform::PrepareConsole();
    if (argc != 3) return Fail("Aufruf: robot_dialog_driver PACKAGE_EXE ZIELORDNER");
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return Fail("package.exe startet nicht");
    }
    const HWND dialog = WaitFor([] { return ::FindWindowW(L"#32770", kCaption); });
    if (dialog == nullptr) return Fail("kein Fenster");
    // The template says "Status" until the stub has read its archive.
    for (int i = 0; i < 400 && (Status(dialog).empty() || Status(dialog) == "Status"); ++i) {
        ::Sleep(25);
    }
    std::printf("Status: %s\n", Status(dialog).c_str());
    std::printf("Start: %s\n", ::IsWindowEnabled(::GetDlgItem(dialog, kIdStart)) ? "an" : "aus");

    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdStart, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, kIdStart)));
    const HWND browser = WaitFor([dialog] {
        OwnedSearch search = {dialog, nullptr};
        ::EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
    if (browser == nullptr) return Fail("keine Ordnerfrage");
    wchar_t title[256] = {};
    ::GetWindowTextW(browser, title, 256);
    std::printf("Ordnerfrage: %s\n", tolvane::platform::Narrow(title).c_str());

    // The folder browser takes a path to select; the path must live in the
    // stub's own memory.
    const std::wstring folder = argv[2];
    const SIZE_T bytes = (folder.size() + 1) * sizeof(wchar_t);
    void* remote = ::VirtualAllocEx(process.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr ||
        !::WriteProcessMemory(process.hProcess, remote, folder.c_str(), bytes, nullptr)) {
        return Fail("Pfad nicht übergeben");
    }
    ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote));
    ::PostMessageW(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(browser, IDOK)));

    std::string last;
    for (int i = 0; i < 1200 && last != "Archiv erfolgreich entpackt!"; ++i) {
        ::Sleep(25);
        last = Status(dialog);
    }
    std::printf("Status: %s\n", last.c_str());
    std::printf("Start: %s\n", ::IsWindowEnabled(::GetDlgItem(dialog, kIdStart)) ? "an" : "aus");

    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kIdQuit, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, kIdQuit)));
    if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 3);
        return Fail("Quit beendet das Programm nicht");
    }
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    std::printf("Rückgabewert: %lu\n", static_cast<unsigned long>(code));
    return last == "Archiv erfolgreich entpackt!" && code == 0 ? 0 : 1;
}

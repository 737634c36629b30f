// tolvane.exe: the archiver's window on Windows. Started with a file (a
// volume double-clicked in the Explorer), it opens that file; --help and
// --version answer on the console it was started from without opening a
// window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"
#include "tolvane/version.h"
#include "ui/framework/main_window.h"
#include "ui/win32/services.h"
#include "ui/win32/win32_backend.h"

namespace {

using tolvane::platform::Narrow;
using tolvane::platform::Widen;

const char kUsageLine[] = "Aufruf: tolvane [DATEI]\n";

const char kHelp[] =
    "Aufruf: tolvane [DATEI]\n"
    "\n"
    "Tolvane teilt Dateien auf Datenträger (Packages) fester Größe auf und setzt\n"
    "sie wieder zusammen. Ohne DATEI zeigt es die Startseite.\n"
    "\n"
    "  DATEI              ein Datenträger eines Archivs (package.001, ...): öffnet\n"
    "                     „Archiv entpacken“ mit diesem Archiv und zeigt, was es\n"
    "                     enthält; für den ersten Datenträger eines selbstentpackenden\n"
    "                     Archivs (package.exe) und für jede andere Datei zeigt es die\n"
    "                     Information über die Datei\n"
    "  -h, --help         zeigt diese Hilfe\n"
    "  -V, --version      zeigt die Version\n"
    "\n"
    "Für Skripte: tolvane-cli --help.\n";

// A GUI program has no console of its own. Streams the caller redirected
// are kept; the others are joined to the console of the parent, if any.
void UseParentConsole() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    const bool outGiven = out != nullptr && out != INVALID_HANDLE_VALUE;
    const bool errGiven = err != nullptr && err != INVALID_HANDLE_VALUE;
    if (outGiven && errGiven) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!outGiven) std::freopen("CONOUT$", "w", stdout);
    if (!errGiven) std::freopen("CONOUT$", "w", stderr);
}

// Answers on the console; the exit code.
int Answer(const std::string& text, bool error) {
    UseParentConsole();
    tolvane::platform::PrepareConsole();
    std::fputs(text.c_str(), error ? stderr : stdout);
    std::fflush(stdout);
    std::fflush(stderr);
    return error ? 2 : 0;
}

int UsageError(const std::string& problem) {
    return Answer("tolvane: " + problem + "\n" + kUsageLine + "mehr mit: tolvane --help\n", true);
}

std::wstring FullPath(const std::wstring& path) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    full.resize(length);
    return full;
}

std::string CurrentFolder() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(::GetCurrentDirectoryW(size, folder.data()));
    return Narrow(folder);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::wstring> args;
    for (int i = 1; argv != nullptr && i < argc; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);

    std::wstring file;
    bool optionsEnded = false;
    for (const std::wstring& a : args) {
        if (!optionsEnded && a == L"--") {
            optionsEnded = true;
        } else if (!optionsEnded && (a == L"--help" || a == L"-h" || a == L"/?")) {
            return Answer(kHelp, false);
        } else if (!optionsEnded && (a == L"--version" || a == L"-V")) {
            return Answer(std::string("tolvane ") + TOLVANE_VERSION + "\n", false);
        } else if (!optionsEnded && a.size() > 1 && a[0] == L'-') {
            return UsageError("unbekannte Option: " + Narrow(a));
        } else if (file.empty()) {
            file = FullPath(a);
        } else {
            return UsageError("nur eine Datei kann geöffnet werden");
        }
    }

    // The choosers and the picture decoder are shell and COM objects.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    using namespace tolvane::ui;
    WindowOptions options;
    win32::ReadScreen(options);
    // Robot.dat and hilfe.htm lie beside the program, installed or not.
    options.programDir = tolvane::platform::FolderOf(tolvane::platform::OwnExecutablePath());
    options.dataDir = options.programDir;
    options.stubDir = options.programDir;
    options.currentDir = CurrentFolder();

    // Boxes and choosers belong to the main window, whichever control asks.
    const win32::OwnerWindow topLevel = [](win32::RequestOwner owner) -> HWND {
        HWND window = static_cast<HWND>(owner);
        return window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr;
    };
    win32::Win32Dialogs dialogs(topLevel, win32::kRegistryKey);
    const int dpi = options.logPixelsX;
    dialogs.customSize = [dpi](HWND owner, int64_t volumeSize) {
        return win32::RunCustomSizeDialog(owner, volumeSize, dpi);
    };
    win32::Win32MessageBoxes messages(topLevel);
    win32::Win32Shell shell;
    Services services{&dialogs, &messages, &shell, &tolvane::platform::NativeFileSystem()};

    int exitCode = 0;
    {
        const std::unique_ptr<MainWindow> window = win32::CreateWin32MainWindow(services, options);
        window->Start();
        if (!file.empty()) window->OpenGivenFile(Narrow(file));
        MSG message;
        BOOL got;
        while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
            if (got == -1) break;
            if (win32::TranslateWindowMessage(message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (got == 0) exitCode = static_cast<int>(message.wParam);
    }
    ::CoUninitialize();
    return exitCode;
}

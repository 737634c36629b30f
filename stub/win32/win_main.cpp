// robot on Windows: the self-extracting stub as a GUI program. Started as
// package.exe without arguments it shows its dialog; with arguments
// (--target DIR, --help) it works on the console it was started from and
// never creates a window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"
#include "stub/robot_console.h"
#include "stub/win32/robot_window.h"

namespace {

// A GUI program has no console of its own. Streams the caller redirected
// are kept; the others are joined to the console of the parent, if any.
void UseParentConsole() {
    const bool outGiven = ::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr &&
                          ::GetStdHandle(STD_OUTPUT_HANDLE) != INVALID_HANDLE_VALUE;
    const bool errGiven = ::GetStdHandle(STD_ERROR_HANDLE) != nullptr &&
                          ::GetStdHandle(STD_ERROR_HANDLE) != INVALID_HANDLE_VALUE;
    if (outGiven && errGiven) return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!outGiven) std::freopen("CONOUT$", "w", stdout);
    if (!errGiven) std::freopen("CONOUT$", "w", stderr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace tolvane;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 1; argv != nullptr && i < argc; ++i) args.push_back(platform::Narrow(argv[i]));
    const std::string name =
        argv != nullptr && argc > 0 ? platform::Narrow(argv[0]) : "package.exe";
    ::LocalFree(argv);
    const std::string own = platform::OwnExecutablePath();

    if (!args.empty()) {
        UseParentConsole();
        platform::PrepareConsole();
        const int code = robot::RunCommandLine(name, own, args);
        std::fflush(stdout);
        std::fflush(stderr);
        return code;
    }

    // The folder browser is a shell object.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    robot::RobotWindow window;
    if (!window.Create(instance)) return robot::kExitFailed;
    window.robot().StartUp(own);
    ::ShowWindow(window.window(), SW_SHOWNORMAL);
    ::UpdateWindow(window.window());
    // Worked with the mouse: no dialog keyboard handling (Tab, Enter, Escape).
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}

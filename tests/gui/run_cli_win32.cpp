// tolvane-cli.exe for the wizards' tests, on Windows: the one beside the
// test program, as the cross build places them.
#include <windows.h>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"
#include "tests/gui/wizard_test_support.h"

namespace tolvane::ui::test {

namespace {

// One argument as the C runtime's command line parser reads it back.
std::wstring Quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    int backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, the quote escaped.
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, L'\\');
    out.push_back(L'"');
    return out;
}

}  // namespace

int RunCli(const std::vector<std::string>& args) {
    const std::wstring program = platform::Widen(
        platform::JoinPath(platform::FolderOf(platform::OwnExecutablePath()), "tolvane-cli.exe"));
    std::wstring line = Quoted(program);
    for (const std::string& a : args) line += L" " + Quoted(platform::Widen(a));
    // Its report is not needed; its errors go where the test's go.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = nul;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) return -1;
    CloseHandle(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    const bool ended = WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    return ended ? static_cast<int>(code) : -1;
}

}  // namespace tolvane::ui::test

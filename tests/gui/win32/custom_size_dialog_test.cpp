// The custom size dialog as the Win32 backend shows it: a modal window with
// its own loop, acted on from inside that loop as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>

#include "tests/gui/win32/win32_probe.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"
#include "ui/win32/win32_backend.h"

namespace tolvane::ui::test {
namespace {

using Act = std::function<void(HWND dialog, ControlProbe& probe)>;
const Act* pendingAct = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (ClassOf(window) != win32::kModalClass || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

void CALLBACK ActOnDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;  // not shown yet
    KillTimer(nullptr, timer);
    HWND host = FindWindowExW(dialog, nullptr, win32::kPageHostClass, nullptr);
    Win32ControlProbe probe([host] { return host; }, {win32::TooltipWindowOf, win32::ShowsPicture});
    (*pendingAct)(dialog, probe);
    // A test that left it open would wait for ever.
    if (IsWindowVisible(dialog)) PostMessageW(dialog, WM_CLOSE, 0, 0);
}

// Runs the dialog; act runs in its loop once it is on the screen.
std::optional<int64_t> RunDialog(int64_t volumeSize, const Act& act) {
    pendingAct = &act;
    SetTimer(nullptr, 0, 10, ActOnDialog);
    const std::optional<int64_t> chosen = win32::RunCustomSizeDialog(nullptr, volumeSize, 96);
    pendingAct = nullptr;
    return chosen;
}

TEST(Win32CustomSizeDialog, HasItsTitlePromptAndGrid) {
    bool acted = false;
    const auto chosen = RunDialog(1441792, [&acted](HWND dialog, ControlProbe& p) {
        acted = true;
        wchar_t title[64] = {};
        GetWindowTextW(dialog, title, 64);
        EXPECT_STREQ(title, L"Benutzerdefiniert");
        RECT client;
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, 371);
        EXPECT_EQ(client.bottom, 141);
        EXPECT_EQ(p.Text(id::kCustomPrompt),
                  "Bitte wählen Sie die gewünschte Medien/Archivgröße aus");
        EXPECT_EQ(p.Text(id::kCustomValue), "1.441.792");
        EXPECT_EQ(p.Bounds(id::kCustomValue), DluToRect({10, 20, 125, 30}, 96));
        const int steps[4][3] = {
            {id::kStepPlus1K, id::kStepPlus10K, id::kStepPlus100K},
            {id::kStepPlus1M, id::kStepPlus10M, id::kStepPlus100M},
            {id::kStepMinus1K, id::kStepMinus10K, id::kStepMinus100K},
            {id::kStepMinus1M, id::kStepMinus10M, id::kStepMinus100M},
        };
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 3; ++col) {
                EXPECT_EQ(p.Bounds(steps[row][col]),
                          DluToRect({150 + 30 * col, 20 + 15 * row, 30, 15}, 96));
            }
        }
        EXPECT_EQ(p.Text(id::kStepMinus100K), "-100K");
        EXPECT_EQ(p.Bounds(id::kDialogCancel), DluToRect({10, 65, 50, 14}, 96));
        EXPECT_EQ(p.Bounds(id::kDialogOk), DluToRect({85, 65, 50, 14}, 96));
        EXPECT_TRUE(p.Press(id::kDialogCancel));
    });
    EXPECT_TRUE(acted);
    EXPECT_EQ(chosen, std::nullopt);
}

// OK gives the value the steps reached; Cancel and the close box give none.
TEST(Win32CustomSizeDialog, OkGivesTheSteppedValueCancelAndCloseBoxNone) {
    const auto stepped = RunDialog(100000, [](HWND, ControlProbe& p) {
        for (int i = 0; i < 4; ++i) p.Press(id::kStepMinus10K);  // the fourth is refused
        EXPECT_EQ(p.Text(id::kCustomValue), "69.280");
        p.Press(id::kDialogOk);
    });
    EXPECT_EQ(stepped, 69280);
    const auto cancelled = RunDialog(100000, [](HWND, ControlProbe& p) {
        p.Press(id::kStepPlus1K);
        p.Press(id::kDialogCancel);
    });
    EXPECT_EQ(cancelled, std::nullopt);
    const auto closed = RunDialog(100000, [](HWND dialog, ControlProbe& p) {
        p.Press(id::kStepPlus1K);
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(closed, std::nullopt);
}

}  // namespace
}  // namespace tolvane::ui::test

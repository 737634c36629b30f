// The window backend on plain Win32: the main window "Tolvane" (black
// backdrop, banner, logo, menu bar), page hosts of native controls, the
// modal custom size dialog, the GUI thread's dispatcher and worker threads.
//
// What tools and tests may rely on when they read the native windows:
//   - a page host is a child window of the main window (WS_EX_CONTROLPARENT);
//     a page's native() is its host's HWND;
//   - every control made with an id is a child window of its host whose
//     control id (GetDlgCtrlID) is that id; controls without an id have 0;
//   - labels are "STATIC", buttons, check boxes, radio buttons and frames
//     "BUTTON", lists WC_LISTVIEWW (report view), bars PROGRESS_CLASSW
//     (range 0 to 100); pictures and picture buttons are owner-drawn
//     (SS_OWNERDRAW, BS_OWNERDRAW);
//   - the menu bar is GetMenu(main window); its commands carry the
//     framework's menu ids;
//   - a host's tooltips are one TOOLTIPS_CLASSW window (TooltipWindowOf),
//     each control a tool with TTF_IDISHWND (uId = the control's HWND).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "ui/framework/backend.h"
#include "ui/framework/main_window.h"

namespace tolvane::ui::win32 {

// The window class of the main window (its title is "Tolvane").
inline constexpr const wchar_t* kMainWindowClass = L"TolvaneMainWindow";
// The window class of page hosts and of the custom size dialog's client.
inline constexpr const wchar_t* kPageHostClass = L"TolvanePageHost";
// The window class of the custom size dialog (a top-level window owned by
// the main window; its title is CustomSizeDialog::kTitle).
inline constexpr const wchar_t* kModalClass = L"TolvaneModal";

// The archiver's main window on Win32, not shown yet (MainWindow::Start
// shows it). Registers the window classes on first use.
std::unique_ptr<MainWindow> CreateWin32MainWindow(const Services& services,
                                                  const WindowOptions& options);

// The HWND of a main window made by CreateWin32MainWindow.
HWND MainWindowHandle(MainWindow& window);

// The tooltip window of a page host (or of the custom size dialog's host),
// nullptr when it has none yet.
HWND TooltipWindowOf(HWND host);

// Whether control (a picture or picture button of a host) shows a picture.
bool ShowsPicture(HWND control);

// What a message loop of the window's thread does first with each message:
// Escape anywhere in the main window asks the window's events, keyboard
// navigation in a page host is the dialog manager's. True when the message
// was handled (not to be dispatched).
bool TranslateWindowMessage(MSG& message);

// Runs the custom size dialog modally over owner (disabled meanwhile): the
// chosen size after OK, nothing after Cancel or the close box.
std::optional<int64_t> RunCustomSizeDialog(HWND owner, int64_t volumeSize, int logPixelsX);

// The screen as the framework sees it (dpi, colour depth), from the desktop.
void ReadScreen(WindowOptions& options);

}  // namespace tolvane::ui::win32

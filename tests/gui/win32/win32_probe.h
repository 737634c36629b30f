// The test probe on Win32: reads the native controls of a page host or a
// dialog (child windows whose control id is the page's id) with the
// controls' own messages, as a screen reader or a test robot would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/gui/probe.h"

namespace tolvane::ui::test {

// What the probe cannot read from the controls themselves: where a host
// keeps its tooltips, and whether an owner-drawn control shows a picture.
struct Win32Natives {
    std::function<HWND(HWND host)> tooltipOf;
    std::function<bool(HWND control)> showsPicture;
};

class Win32ControlProbe : public ControlProbe {
  public:
    // container gives the window whose children are the controls (it may
    // change, e.g. with the current page).
    Win32ControlProbe(std::function<HWND()> container, Win32Natives natives)
        : container_(std::move(container)), natives_(std::move(natives)) {}

    bool Exists(int controlId) override;
    std::string Text(int controlId) override;
    bool IsChecked(int controlId) override;
    bool IsEnabled(int controlId) override;
    std::string Tooltip(int controlId) override;
    Rect Bounds(int controlId) override;
    bool HasPicture(int controlId) override;
    int BarValue(int controlId) override;
    int ListRowCount(int controlId) override;
    int ListColumnCount(int controlId) override;
    std::string ListHeading(int controlId, int column) override;
    int ListColumnWidth(int controlId, int column) override;
    std::string ListCell(int controlId, int row, int column) override;
    bool Press(int controlId) override;
    void PostClick(int controlId) override;
    void OnPaint(int controlId, std::function<void()> painted) override;

    HWND Control(int controlId);

  private:
    std::function<HWND()> container_;
    Win32Natives natives_;
};

// The window class of a control ("Button", "Static", "SysListView32" ...).
std::wstring ClassOf(HWND window);

}  // namespace tolvane::ui::test

// What a GUI test reads from and does to the window, through the native
// controls of the backend it runs on: the same test sources check every
// backend. Controls are named by id on the current page (or on the host a
// ControlProbe was made for); a control that is not there reads as "",
// false or 0.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ui/framework/geometry.h"
#include "ui/framework/main_window.h"

namespace tolvane::ui {
// Readable in a failed expectation.
inline void PrintTo(const Rect& r, std::ostream* os) {
    *os << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
}
inline void PrintTo(const Size& s, std::ostream* os) {
    *os << s.width << " x " << s.height;
}
inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}
}  // namespace tolvane::ui

namespace tolvane::ui::test {

class ControlProbe {
  public:
    virtual ~ControlProbe() = default;

    virtual bool Exists(int controlId) = 0;
    // The text as the control shows it (a path may be shortened).
    virtual std::string Text(int controlId) = 0;
    virtual bool IsChecked(int controlId) = 0;
    virtual bool IsEnabled(int controlId) = 0;
    virtual std::string Tooltip(int controlId) = 0;
    // In pixels, relative to the page or dialog.
    virtual Rect Bounds(int controlId) = 0;
    virtual bool HasPicture(int controlId) = 0;
    virtual int BarValue(int controlId) = 0;
    virtual int ListRowCount(int controlId) = 0;
    virtual int ListColumnCount(int controlId) = 0;
    virtual std::string ListHeading(int controlId, int column) = 0;
    virtual int ListColumnWidth(int controlId, int column) = 0;
    virtual std::string ListCell(int controlId, int row, int column) = 0;

    // Clicks the button, radio button or check box now, as the user would;
    // false when there is none.
    virtual bool Press(int controlId) = 0;
    // Queues a click as user input, handled when events are pumped next.
    virtual void PostClick(int controlId) = 0;
    // Calls painted each time the control is painted, while it lives.
    virtual void OnPaint(int controlId, std::function<void()> painted) = 0;
};

// The main window; its ControlProbe calls read the current page.
class WindowProbe : public ControlProbe {
  public:
    virtual std::string Title() = 0;
    virtual Size WindowSize() = 0;
    // The current page's place in the window.
    virtual Rect PageBounds() = 0;

    // The menu bar's menus, by their titles.
    virtual std::vector<std::string> MenuLabels() = 0;
    virtual std::string MenuText(int menuId) = 0;
    virtual bool MenuEnabled(int menuId) = 0;
    // Chooses a command from the menu (a greyed one does nothing).
    virtual void Command(int menuId) = 0;
    // The close box; true when the window closed.
    virtual bool Close() = 0;
    virtual void Escape() = 0;

    // Handles the events waiting now; with waitForMore, waits for one first.
    virtual void Pump(bool waitForMore = false) = 0;
    // Destroys what waits to be destroyed when control is back in the loop.
    virtual void Flush() = 0;
    // Waits until the window is on the screen (it paints only then).
    virtual void WaitUntilShown() = 0;
};

// The backend the tests run on: the window over services, and its probe.
std::unique_ptr<MainWindow> CreateTestWindow(const Services& services,
                                             const WindowOptions& options);
std::unique_ptr<WindowProbe> CreateWindowProbe(MainWindow& window);

// The wine version the tests run under ("8.0"), "" when not under wine: a
// single check wine cannot pass is gated on it, with its reason.
std::string WineVersion();

}  // namespace tolvane::ui::test

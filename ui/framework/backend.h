// What the pages and the main window need from a window system, and nothing
// more. The framework and every page are written against these interfaces;
// a backend (ui/qt/ with Qt Widgets; a native one per platform) implements
// them once:
//
//   ControlHost    the native controls of one page or dialog, by handle
//   WindowBackend  the main window: menu, page hosts, deferred destruction,
//                  repaint, the GUI thread's dispatcher, worker threads
//   Dispatcher     runs work on the GUI thread, posted or waited for
//   Worker         one background thread that runs an engine job
//
// The framework keeps the state (texts, list rows, menu greying); a backend
// shows it and reports presses. Lengths are screen pixels, already scaled.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resources/pictures.h"
#include "ui/framework/geometry.h"

namespace tolvane::ui {

using PictureRole = tolvane::Picture;
inline constexpr int kPictureRoleCount = tolvane::kPictureCount;

// The backend's own handle of a window (a QWidget*, an HWND), handed to the
// services as the owner of a message box or chooser; nullptr: no owner.
using NativeWindow = void*;

enum class ControlKind {
    Label,          // static text
    Frame,          // group box without a title, drawn behind the others
    PictureButton,  // push button showing a picture that fills its face
    TextButton,     // push button with a text
    RadioButton,    // all radio buttons of one host form one group
    CheckBox,
    ListView,     // report-style list, one row selected at a time
    ProgressBar,  // 0 to 100, no text
    Picture,      // a picture by itself, centred in its box
    ValueBox,     // a sunken, centred number in a large bold font
};

enum class TextAlign { TopLeft, MiddleLeft, Center, TopCenter };
enum class TextStyle { Normal, Bold };

// One control a page or dialog asks its host for: what kind, its number, its
// place in pixels of the host, and its text and look.
struct ControlDescription {
    ControlKind kind = ControlKind::Label;
    int id = 0;  // 0: a control without a number
    Rect bounds;
    std::string text;
    TextAlign align = TextAlign::TopLeft;
    TextStyle style = TextStyle::Normal;
    PictureRole picture = PictureRole::kCreate;  // picture buttons and pictures
};

struct ListColumn {
    std::string heading;
    int width = 0;  // pixels at 96 dpi (the host gets them scaled)
};

// Where a host reports what the user did.
class ControlEvents {
  public:
    virtual ~ControlEvents() = default;
    // A button was pressed, a radio button chosen or a check box toggled
    // (its new state is read with IsChecked).
    virtual void Clicked(int controlId) = 0;
};

// The native controls of one page or dialog. Controls are addressed by the
// handle Create returned (ids may be 0 or repeat).
class ControlHost {
  public:
    using Handle = int;
    virtual ~ControlHost() = default;

    virtual void SetEvents(ControlEvents* events) = 0;
    // Makes the described control in the host; its handle stays valid while
    // the host lives.
    virtual Handle Create(const ControlDescription& description) = 0;

    virtual void SetText(Handle control, const std::string& text) = 0;
    virtual void SetChecked(Handle control, bool checked) = 0;
    virtual bool IsChecked(Handle control) const = 0;
    virtual void SetEnabled(Handle control, bool enabled) = 0;
    // Also makes the control a tool of the host's tooltips.
    virtual void SetTooltip(Handle control, const std::string& text) = 0;
    virtual void SetBounds(Handle control, const Rect& bounds) = 0;
    // The width the control needs to show its text uncut (with its check
    // mark or radio circle); the framework widens a box that is too narrow.
    virtual int NeededWidth(Handle control) const = 0;
    // text as the control can show it in its width: unchanged when it fits,
    // else shortened in the middle with an ellipsis.
    virtual std::string ElideMiddle(Handle control, const std::string& text) const = 0;

    virtual void SetListColumns(Handle list, const std::vector<ListColumn>& columns) = 0;
    virtual void ClearList(Handle list) = 0;
    virtual void AddListRow(Handle list, const std::vector<std::string>& cells) = 0;
    virtual void SetListCell(Handle list, int row, int column, const std::string& text) = 0;
    virtual void ScrollListTo(Handle list, int row) = 0;

    virtual void SetBar(Handle bar, int percent) = 0;

    // The host itself: shown after its controls were made, hidden at once
    // when it is destroyed later.
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // The keyboard starts on the first control that takes it.
    virtual void FocusFirst() = 0;
    virtual NativeWindow native() const = 0;
};

// Runs work on the GUI thread.
class Dispatcher {
  public:
    virtual ~Dispatcher() = default;
    // Queued behind everything posted before; returns at once.
    virtual void Post(std::function<void()> work) = 0;
    // From another thread: runs work on the GUI thread and returns when it
    // has returned.
    virtual void Call(const std::function<void()>& work) = 0;
};

// One background thread.
class Worker {
  public:
    virtual ~Worker() = default;
    // Runs work on the thread; done runs on the GUI thread afterwards,
    // behind everything work posted.
    virtual void Start(std::function<void()> work, std::function<void()> done) = 0;
    // Waits for the thread to end, meanwhile serving its Dispatcher::Call
    // (but no user input). done is not run.
    virtual void JoinServing() = 0;
};

struct MenuItem {
    int id = 0;  // 0: a separator
    std::string text;
};
struct Menu {
    std::string title;
    std::vector<MenuItem> items;
};

// Where the main window reports what the user did.
class WindowEvents {
  public:
    virtual ~WindowEvents() = default;
    virtual void MenuCommand(int menuId) = 0;
    // The close box; true when the window may close now.
    virtual bool CloseRequested() = 0;
    virtual void EscapePressed() = 0;
};

// The archiver's main window: fixed size, black backdrop with banner and
// logo, the menu bar, and the page host right of the banner.
class WindowBackend {
  public:
    virtual ~WindowBackend() = default;

    virtual void SetEvents(WindowEvents* events) = 0;
    virtual void SetMenus(const std::vector<Menu>& menus) = 0;
    virtual void SetMenuEnabled(int menuId, bool enabled) = 0;
    // Places the window on the screen and shows it.
    virtual void Show() = 0;

    // An empty host for a page's controls at bounds in the client area.
    virtual std::unique_ptr<ControlHost> CreatePageHost(const Rect& bounds) = 0;
    // Keeps object until control is back in the event loop that runs now,
    // then destroys it: a page that leaves itself from its own handler.
    virtual void DestroyLater(std::shared_ptr<void> object) = 0;
    // Paints what changed, now (the engine's progress while it runs).
    virtual void RepaintNow() = 0;

    virtual Dispatcher& dispatcher() = 0;
    virtual std::unique_ptr<Worker> CreateWorker() = 0;
    virtual NativeWindow native() const = 0;
};

}  // namespace tolvane::ui

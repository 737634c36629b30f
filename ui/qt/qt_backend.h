// The window backend on Qt Widgets: the main window (QMainWindow with the
// black backdrop, banner, logo and menu bar), page hosts of native Qt
// controls, the GUI thread's dispatcher and QThread workers.
//
// Every control made with an id carries it in the Qt property "controlId"
// (kControlIdProperty), and its object name is "id<number>", so that tools
// and tests find the native control of an id (FindControl).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <vector>

#include "ui/framework/backend.h"
#include "ui/framework/main_window.h"
#include "ui/qt/pictures.h"

class QAction;
class QButtonGroup;

namespace tolvane::ui {

inline constexpr const char* kControlIdProperty = "controlId";
inline constexpr const char* kMenuIdProperty = "menuId";

// The control with that id among the descendants of container, or nullptr.
QWidget* FindControl(const QWidget* container, int controlId);

// Native Qt controls in a container widget: a page of the main window or a
// dialog.
class QtControlHost : public ControlHost {
  public:
    // pictures may be null for a host without pictures. An owned container
    // is deleted with the host (unless Qt deleted it with its parent).
    QtControlHost(QWidget* container, const Pictures* pictures, bool ownsContainer);
    ~QtControlHost() override;

    void SetEvents(ControlEvents* events) override { events_ = events; }
    Handle Create(const ControlDescription& description) override;
    void SetText(Handle control, const std::string& text) override;
    void SetChecked(Handle control, bool checked) override;
    bool IsChecked(Handle control) const override;
    void SetEnabled(Handle control, bool enabled) override;
    void SetTooltip(Handle control, const std::string& text) override;
    void SetBounds(Handle control, const Rect& bounds) override;
    int NeededWidth(Handle control) const override;
    std::string ElideMiddle(Handle control, const std::string& text) const override;
    void SetListColumns(Handle list, const std::vector<ListColumn>& columns) override;
    void ClearList(Handle list) override;
    void AddListRow(Handle list, const std::vector<std::string>& cells) override;
    void SetListCell(Handle list, int row, int column, const std::string& text) override;
    void ScrollListTo(Handle list, int row) override;
    void SetBar(Handle bar, int percent) override;
    void Show() override;
    void Hide() override;
    void FocusFirst() override;
    NativeWindow native() const override { return container_.data(); }

    QWidget* container() const { return container_.data(); }
    QWidget* widget(Handle control) const;

  private:
    void Clicked(int controlId);

    QPointer<QWidget> container_;
    const Pictures* pictures_;
    bool ownsContainer_;
    std::vector<QPointer<QWidget>> controls_;
    QButtonGroup* radioGroup_ = nullptr;
    ControlEvents* events_ = nullptr;
};

class QtDispatcher : public Dispatcher {
  public:
    // Work runs in the thread of context (the GUI thread's window).
    explicit QtDispatcher(QObject& context) : context_(&context) {}
    void Post(std::function<void()> work) override;
    void Call(const std::function<void()>& work) override;

  private:
    QObject* context_;
};

class QtWindowBackend : public QMainWindow, public WindowBackend {
  public:
    explicit QtWindowBackend(const WindowOptions& options);
    ~QtWindowBackend() override;

    void SetEvents(WindowEvents* events) override { events_ = events; }
    void SetMenus(const std::vector<Menu>& menus) override;
    void SetMenuEnabled(int menuId, bool enabled) override;
    void Show() override;
    std::unique_ptr<ControlHost> CreatePageHost(const Rect& bounds) override;
    void DestroyLater(std::shared_ptr<void> object) override;
    void RepaintNow() override;
    Dispatcher& dispatcher() override { return dispatcher_; }
    std::unique_ptr<Worker> CreateWorker() override;
    NativeWindow native() const override {
        return static_cast<QWidget*>(const_cast<QtWindowBackend*>(this));
    }

    QAction* MenuAction(int menuId) const;
    const Pictures& pictures() const { return pictures_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    WindowOptions options_;
    Pictures pictures_;
    QWidget* backdrop_ = nullptr;
    std::map<int, QAction*> actions_;
    QtDispatcher dispatcher_{*this};
    WindowEvents* events_ = nullptr;
};

// The archiver's main window on Qt.
std::unique_ptr<MainWindow> CreateQtMainWindow(const Services& services,
                                               const WindowOptions& options);

// The Qt window of a main window made by CreateQtMainWindow.
QtWindowBackend& QtWindowOf(MainWindow& window);

}  // namespace tolvane::ui

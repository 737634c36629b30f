#include "tests/gui/qt/qt_probe.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QShortcut>
#include <QTreeWidget>
#include <QWindow>

#include "ui/framework/page.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_text.h"

namespace tolvane::ui::test {

namespace {

class PaintWatcher : public QObject {
  public:
    PaintWatcher(QObject* parent, std::function<void()> painted)
        : QObject(parent), painted_(std::move(painted)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted_();
        return false;
    }

  private:
    std::function<void()> painted_;
};

QTreeWidget* List(QWidget* w) {
    return qobject_cast<QTreeWidget*>(w);
}

class QtWindowProbe : public WindowProbe {
  public:
    explicit QtWindowProbe(MainWindow& window)
        : window_(&window), qt_(&QtWindowOf(window)), page_([this]() -> QWidget* {
              Page* page = window_->currentPage();
              return page == nullptr ? nullptr : static_cast<QWidget*>(page->native());
          }) {}

    bool Exists(int id) override { return page_.Exists(id); }
    std::string Text(int id) override { return page_.Text(id); }
    bool IsChecked(int id) override { return page_.IsChecked(id); }
    bool IsEnabled(int id) override { return page_.IsEnabled(id); }
    std::string Tooltip(int id) override { return page_.Tooltip(id); }
    Rect Bounds(int id) override { return page_.Bounds(id); }
    bool HasPicture(int id) override { return page_.HasPicture(id); }
    int BarValue(int id) override { return page_.BarValue(id); }
    int ListRowCount(int id) override { return page_.ListRowCount(id); }
    int ListColumnCount(int id) override { return page_.ListColumnCount(id); }
    std::string ListHeading(int id, int column) override { return page_.ListHeading(id, column); }
    int ListColumnWidth(int id, int column) override { return page_.ListColumnWidth(id, column); }
    std::string ListCell(int id, int row, int column) override {
        return page_.ListCell(id, row, column);
    }
    bool Press(int id) override { return page_.Press(id); }
    void PostClick(int id) override { page_.PostClick(id); }
    void OnPaint(int id, std::function<void()> painted) override {
        page_.OnPaint(id, std::move(painted));
    }

    std::string Title() override { return FromQ(qt_->windowTitle()); }
    Size WindowSize() override { return {qt_->width(), qt_->height()}; }
    Rect PageBounds() override {
        Page* page = window_->currentPage();
        if (page == nullptr) return {};
        const QRect r = static_cast<QWidget*>(page->native())->geometry();
        return {r.x(), r.y(), r.width(), r.height()};
    }
    std::vector<std::string> MenuLabels() override {
        std::vector<std::string> labels;
        for (QAction* a : qt_->menuBar()->actions()) labels.push_back(FromQ(a->text()));
        return labels;
    }
    std::string MenuText(int menuId) override {
        QAction* action = qt_->MenuAction(menuId);
        return action == nullptr ? std::string() : FromQ(action->text());
    }
    bool MenuEnabled(int menuId) override {
        QAction* action = qt_->MenuAction(menuId);
        return action != nullptr && action->isEnabled();
    }
    void Command(int menuId) override {
        if (QAction* action = qt_->MenuAction(menuId)) action->trigger();
    }
    bool Close() override { return qt_->close(); }
    void Escape() override {
        for (QShortcut* s : qt_->findChildren<QShortcut*>()) {
            if (s->key() == QKeySequence(Qt::Key_Escape)) emit s->activated();
        }
    }
    void Pump(bool waitForMore) override {
        QCoreApplication::processEvents(waitForMore ? QEventLoop::WaitForMoreEvents
                                                    : QEventLoop::AllEvents);
    }
    void Flush() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void WaitUntilShown() override {
        for (int i = 0; i < 100 && !(qt_->windowHandle() && qt_->windowHandle()->isExposed());
             ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }

  private:
    MainWindow* window_;
    QtWindowBackend* qt_;
    QtControlProbe page_;
};

}  // namespace

QWidget* QtControlProbe::Control(int controlId) {
    return FindControl(container_(), controlId);
}

bool QtControlProbe::Exists(int controlId) {
    return Control(controlId) != nullptr;
}

std::string QtControlProbe::Text(int controlId) {
    QWidget* w = Control(controlId);
    if (auto* label = qobject_cast<QLabel*>(w)) return FromQ(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return FromQ(button->text());
    return {};
}

bool QtControlProbe::IsChecked(int controlId) {
    auto* button = qobject_cast<QAbstractButton*>(Control(controlId));
    return button != nullptr && button->isChecked();
}

bool QtControlProbe::IsEnabled(int controlId) {
    QWidget* w = Control(controlId);
    return w != nullptr && w->isEnabled();
}

std::string QtControlProbe::Tooltip(int controlId) {
    QWidget* w = Control(controlId);
    return w == nullptr ? std::string() : FromQ(w->toolTip());
}

Rect QtControlProbe::Bounds(int controlId) {
    QWidget* w = Control(controlId);
    if (w == nullptr) return {};
    const QRect r = w->geometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

bool QtControlProbe::HasPicture(int controlId) {
    QWidget* w = Control(controlId);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return !button->icon().isNull();
    if (auto* label = qobject_cast<QLabel*>(w)) return !label->pixmap().isNull();
    return false;
}

int QtControlProbe::BarValue(int controlId) {
    auto* bar = qobject_cast<QProgressBar*>(Control(controlId));
    return bar == nullptr ? 0 : bar->value();
}

int QtControlProbe::ListRowCount(int controlId) {
    QTreeWidget* list = List(Control(controlId));
    return list == nullptr ? 0 : list->topLevelItemCount();
}

int QtControlProbe::ListColumnCount(int controlId) {
    QTreeWidget* list = List(Control(controlId));
    return list == nullptr ? 0 : list->columnCount();
}

std::string QtControlProbe::ListHeading(int controlId, int column) {
    QTreeWidget* list = List(Control(controlId));
    return list == nullptr ? std::string() : FromQ(list->headerItem()->text(column));
}

int QtControlProbe::ListColumnWidth(int controlId, int column) {
    QTreeWidget* list = List(Control(controlId));
    return list == nullptr ? 0 : list->columnWidth(column);
}

std::string QtControlProbe::ListCell(int controlId, int row, int column) {
    QTreeWidget* list = List(Control(controlId));
    if (list == nullptr) return {};
    const QTreeWidgetItem* item = list->topLevelItem(row);
    return item == nullptr ? std::string() : FromQ(item->text(column));
}

bool QtControlProbe::Press(int controlId) {
    auto* button = qobject_cast<QAbstractButton*>(Control(controlId));
    if (button == nullptr) return false;
    button->click();
    return true;
}

void QtControlProbe::PostClick(int controlId) {
    QWidget* w = Control(controlId);
    if (w == nullptr) return;
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QCoreApplication::postEvent(w, new QMouseEvent(type, at, w->mapToGlobal(at), Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
    }
}

void QtControlProbe::OnPaint(int controlId, std::function<void()> painted) {
    QWidget* w = Control(controlId);
    if (w == nullptr) return;
    // A list paints its rows in its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) w = area->viewport();
    w->installEventFilter(new PaintWatcher(w, std::move(painted)));
}

std::unique_ptr<MainWindow> CreateTestWindow(const Services& services,
                                             const WindowOptions& options) {
    return CreateQtMainWindow(services, options);
}

std::unique_ptr<WindowProbe> CreateWindowProbe(MainWindow& window) {
    return std::make_unique<QtWindowProbe>(window);
}

std::string WineVersion() {
    return {};
}

}  // namespace tolvane::ui::test

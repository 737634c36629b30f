#include "ui/qt/qt_backend.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>

#include "ui/qt/qt_text.h"

namespace tolvane::ui {

namespace {

QRect ToQRect(const Rect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

Qt::Alignment ToQt(TextAlign align) {
    switch (align) {
        case TextAlign::MiddleLeft:
            return Qt::AlignLeft | Qt::AlignVCenter;
        case TextAlign::Center:
            return Qt::AlignCenter;
        case TextAlign::TopCenter:
            return Qt::AlignHCenter | Qt::AlignTop;
        case TextAlign::TopLeft:
            break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

// The black client area with the vertical banner and the logo; pages lie on
// top of it right of x = ScaleToDpi(100).
class Backdrop : public QWidget {
  public:
    Backdrop(const Pictures& pictures, int logPixelsX, QWidget* parent)
        : QWidget(parent), pictures_(pictures), logPixelsX_(logPixelsX) {
        setAutoFillBackground(false);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawPixmap(QPoint(10, 10), pictures_.Get(PictureRole::kBanner));
        painter.drawPixmap(QPoint(ScaleToDpi(15, logPixelsX_), ScaleToDpi(300, logPixelsX_)),
                           pictures_.Get(PictureRole::kLogo));
    }

  private:
    const Pictures& pictures_;
    int logPixelsX_;
};

// Keeps an object until Qt deletes the holder later.
class Holder : public QObject {
  public:
    explicit Holder(std::shared_ptr<void> object) : object_(std::move(object)) {}

  private:
    std::shared_ptr<void> object_;
};

class QtWorker : public Worker {
  public:
    ~QtWorker() override {
        if (thread_ == nullptr) return;
        thread_->wait();
        delete thread_;
    }

    void Start(std::function<void()> work, std::function<void()> done) override {
        thread_ = QThread::create(std::move(work));
        // Emitted on the worker; carried out on the GUI thread after what the
        // work posted before. Dropped when the worker goes first.
        QObject::connect(thread_, &QThread::finished, &context_, [this, done = std::move(done)] {
            thread_->wait();
            if (!abandoned_) done();
        });
        thread_->start();
    }

    void JoinServing() override {
        if (thread_ == nullptr) return;
        // Whoever joins has given up on the end: it is not reported.
        abandoned_ = true;
        while (!thread_->wait(10)) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }

  private:
    QObject context_;
    QThread* thread_ = nullptr;
    bool abandoned_ = false;
};

}  // namespace

QWidget* FindControl(const QWidget* container, int controlId) {
    if (container == nullptr) return nullptr;
    const QList<QWidget*> children = container->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == controlId) return child;
    }
    return nullptr;
}

// --- QtControlHost

QtControlHost::QtControlHost(QWidget* container, const Pictures* pictures, bool ownsContainer)
    : container_(container), pictures_(pictures), ownsContainer_(ownsContainer) {}

QtControlHost::~QtControlHost() {
    if (ownsContainer_ && container_) delete container_.data();
}

QWidget* QtControlHost::widget(Handle control) const {
    if (control < 0 || control >= static_cast<int>(controls_.size())) return nullptr;
    return controls_[static_cast<size_t>(control)].data();
}

void QtControlHost::Clicked(int controlId) {
    if (events_ != nullptr) events_->Clicked(controlId);
}

ControlHost::Handle QtControlHost::Create(const ControlDescription& description) {
    QWidget* parent = container_.data();
    QWidget* control = nullptr;
    const int id = description.id;
    switch (description.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(ToQ(description.text), parent);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(ToQt(description.align));
            if (description.style == TextStyle::Bold) {
                QFont bold = label->font();
                bold.setBold(true);
                label->setFont(bold);
            }
            control = label;
            break;
        }
        case ControlKind::ValueBox: {
            auto* value = new QLabel(ToQ(description.text), parent);
            value->setAlignment(Qt::AlignCenter);
            value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            QFont big = parent->font();
            big.setPixelSize(big.pixelSize() > 0 ? big.pixelSize() * 3 / 2 : 16);
            big.setBold(true);
            value->setFont(big);
            control = value;
            break;
        }
        case ControlKind::Frame: {
            auto* frame = new QGroupBox(parent);
            control = frame;
            break;
        }
        case ControlKind::PictureButton:
        case ControlKind::TextButton: {
            auto* button = new QPushButton(ToQ(description.text), parent);
            QObject::connect(button, &QPushButton::clicked, button, [this, id] { Clicked(id); });
            control = button;
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(ToQ(description.text), parent);
            if (radioGroup_ == nullptr) radioGroup_ = new QButtonGroup(parent);
            radioGroup_->addButton(radio, id);
            QObject::connect(radio, &QRadioButton::clicked, radio, [this, id] { Clicked(id); });
            control = radio;
            break;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(ToQ(description.text), parent);
            QObject::connect(box, &QCheckBox::clicked, box, [this, id] { Clicked(id); });
            control = box;
            break;
        }
        case ControlKind::ListView: {
            auto* list = new QTreeWidget(parent);
            list->setRootIsDecorated(false);
            list->setItemsExpandable(false);
            list->setUniformRowHeights(true);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setAllColumnsShowFocus(true);
            list->setEditTriggers(QAbstractItemView::NoEditTriggers);
            list->header()->setStretchLastSection(false);
            list->header()->setSectionsMovable(false);
            list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            list->setColumnCount(0);
            control = list;
            break;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setRange(0, 100);
            bar->setValue(0);
            bar->setTextVisible(false);
            control = bar;
            break;
        }
        case ControlKind::Picture: {
            auto* picture = new QLabel(parent);
            if (pictures_ != nullptr) picture->setPixmap(pictures_->Get(description.picture));
            picture->setAlignment(Qt::AlignCenter);
            control = picture;
            break;
        }
    }
    if (id != 0) {
        control->setProperty(kControlIdProperty, id);
        control->setObjectName(QString("id%1").arg(id));
    }
    control->setGeometry(ToQRect(description.bounds));
    if (description.kind == ControlKind::Frame) control->lower();
    if (description.kind == ControlKind::PictureButton && pictures_ != nullptr) {
        // The picture fills the button's face, keeping its proportions.
        auto* button = static_cast<QPushButton*>(control);
        const QPixmap& picture = pictures_->Get(description.picture);
        const QSizeF natural = picture.deviceIndependentSize();
        const QSize face = button->size() - QSize(6, 6);
        const qreal factor =
            std::min(face.width() / natural.width(), face.height() / natural.height());
        const QSize fitted = (natural * factor).toSize();
        const qreal ratio = picture.devicePixelRatio();
        QPixmap scaled =
            picture.scaledToWidth(qRound(fitted.width() * ratio), Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        button->setIcon(QIcon(scaled));
        button->setIconSize(fitted);
    }
    if (parent->isVisible()) control->show();
    controls_.emplace_back(control);
    return static_cast<Handle>(controls_.size() - 1);
}

void QtControlHost::SetText(Handle control, const std::string& text) {
    QWidget* w = widget(control);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(ToQ(text));
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(ToQ(text));
    }
}

void QtControlHost::SetChecked(Handle control, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget(control))) button->setChecked(checked);
}

bool QtControlHost::IsChecked(Handle control) const {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    return button != nullptr && button->isChecked();
}

void QtControlHost::SetEnabled(Handle control, bool enabled) {
    if (QWidget* w = widget(control)) w->setEnabled(enabled);
}

void QtControlHost::SetTooltip(Handle control, const std::string& text) {
    QWidget* w = widget(control);
    if (w == nullptr) return;
    w->setToolTip(ToQ(text));
    if (!text.empty()) w->setAccessibleName(ToQ(text));
}

void QtControlHost::SetBounds(Handle control, const Rect& bounds) {
    if (QWidget* w = widget(control)) w->setGeometry(ToQRect(bounds));
}

int QtControlHost::NeededWidth(Handle control) const {
    QWidget* w = widget(control);
    return w == nullptr ? 0 : w->sizeHint().width();
}

std::string QtControlHost::ElideMiddle(Handle control, const std::string& text) const {
    QWidget* w = widget(control);
    const QString full = ToQ(text);
    if (w == nullptr || w->fontMetrics().horizontalAdvance(full) <= w->width()) return text;
    return FromQ(w->fontMetrics().elidedText(full, Qt::ElideMiddle, w->width()));
}

void QtControlHost::SetListColumns(Handle control, const std::vector<ListColumn>& columns) {
    auto* list = qobject_cast<QTreeWidget*>(widget(control));
    if (list == nullptr) return;
    QStringList headings;
    for (const ListColumn& c : columns) headings << ToQ(c.heading);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(headings);
    for (size_t i = 0; i < columns.size(); ++i) {
        list->setColumnWidth(static_cast<int>(i), columns[i].width);
    }
}

void QtControlHost::ClearList(Handle control) {
    if (auto* list = qobject_cast<QTreeWidget*>(widget(control))) list->clear();
}

void QtControlHost::AddListRow(Handle control, const std::vector<std::string>& cells) {
    auto* list = qobject_cast<QTreeWidget*>(widget(control));
    if (list == nullptr) return;
    auto* item = new QTreeWidgetItem(list);
    for (size_t i = 0; i < cells.size(); ++i) item->setText(static_cast<int>(i), ToQ(cells[i]));
}

void QtControlHost::SetListCell(Handle control, int row, int column, const std::string& text) {
    auto* list = qobject_cast<QTreeWidget*>(widget(control));
    if (list == nullptr) return;
    if (QTreeWidgetItem* item = list->topLevelItem(row)) item->setText(column, ToQ(text));
}

void QtControlHost::ScrollListTo(Handle control, int row) {
    auto* list = qobject_cast<QTreeWidget*>(widget(control));
    if (list == nullptr) return;
    if (QTreeWidgetItem* item = list->topLevelItem(row)) list->scrollToItem(item);
}

void QtControlHost::SetBar(Handle control, int percent) {
    if (auto* bar = qobject_cast<QProgressBar*>(widget(control))) bar->setValue(percent);
}

void QtControlHost::Show() {
    if (container_) container_->show();
}

void QtControlHost::Hide() {
    if (container_) container_->hide();
}

void QtControlHost::FocusFirst() {
    for (const QPointer<QWidget>& control : controls_) {
        if (control && (control->focusPolicy() & Qt::TabFocus) != 0 && control->isEnabled()) {
            control->setFocus();
            break;
        }
    }
}

// --- QtDispatcher

void QtDispatcher::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

void QtDispatcher::Call(const std::function<void()>& work) {
    QMetaObject::invokeMethod(context_, work, Qt::BlockingQueuedConnection);
}

// --- QtWindowBackend

QtWindowBackend::QtWindowBackend(const WindowOptions& options)
    : options_(options), pictures_(options.screenDepth, options.devicePixelRatio) {
    setWindowTitle("Tolvane");
    setObjectName("Tolvane");
    if (QFile::exists(":/icons/tolvane.svg")) setWindowIcon(QIcon(":/icons/tolvane.svg"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    const int dpi = options_.logPixelsX;
    setFixedSize(ScaleToDpi(kWindowWidth, dpi), ScaleToDpi(kWindowHeight, dpi));

    backdrop_ = new Backdrop(pictures_, dpi, this);
    // The pages' font: a sans serif with the widths of the 8-point template
    // font the dialog units are measured in (Arial's metrics), so that the
    // labels fit their boxes.
    QFont font;
    font.setFamilies({"Liberation Sans", "Arimo", "Arial", "Nimbus Sans", "Helvetica",
                      "DejaVu Sans Condensed", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(ScaleToDpi(10, dpi));
    backdrop_->setFont(font);
    setCentralWidget(backdrop_);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (events_ != nullptr) events_->EscapePressed();
    });
}

QtWindowBackend::~QtWindowBackend() = default;

void QtWindowBackend::SetMenus(const std::vector<Menu>& menus) {
    QMenuBar* bar = menuBar();
    bar->clear();
    actions_.clear();
    for (const Menu& menu : menus) {
        QMenu* qmenu = bar->addMenu(ToQ(menu.title));
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                qmenu->addSeparator();
                continue;
            }
            QAction* action = qmenu->addAction(ToQ(item.text));
            const int id = item.id;
            action->setProperty(kMenuIdProperty, id);
            action->setMenuRole(QAction::NoRole);
            connect(action, &QAction::triggered, this, [this, id] {
                if (events_ != nullptr) events_->MenuCommand(id);
            });
            actions_[id] = action;
        }
    }
}

void QtWindowBackend::SetMenuEnabled(int menuId, bool enabled) {
    if (QAction* action = MenuAction(menuId)) action->setEnabled(enabled);
}

QAction* QtWindowBackend::MenuAction(int menuId) const {
    const auto it = actions_.find(menuId);
    return it == actions_.end() ? nullptr : it->second;
}

void QtWindowBackend::Show() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const Point at = InitialWindowPosition({area.x(), area.y(), area.width(), area.height()});
        move(at.x, at.y);
    }
    show();
}

std::unique_ptr<ControlHost> QtWindowBackend::CreatePageHost(const Rect& bounds) {
    auto* page = new QWidget(backdrop_);
    page->setAutoFillBackground(true);
    page->setBackgroundRole(QPalette::Window);
    page->setGeometry(ToQRect(bounds));
    page->hide();
    return std::make_unique<QtControlHost>(page, &pictures_, true);
}

void QtWindowBackend::DestroyLater(std::shared_ptr<void> object) {
    (new Holder(std::move(object)))->deleteLater();
}

void QtWindowBackend::RepaintNow() {
    // Paints every region of the window that Qt holds as changed, now. Every
    // control the engine writes to (list row and scroll position, bars,
    // status text) has asked for its update; each chunk's state is painted
    // as it comes, not only the last of those that queued up while the
    // worker was faster.
    if (isVisible()) QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
}

std::unique_ptr<Worker> QtWindowBackend::CreateWorker() {
    return std::make_unique<QtWorker>();
}

void QtWindowBackend::closeEvent(QCloseEvent* event) {
    if (events_ == nullptr || events_->CloseRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

std::unique_ptr<MainWindow> CreateQtMainWindow(const Services& services,
                                               const WindowOptions& options) {
    return std::make_unique<MainWindow>(std::make_unique<QtWindowBackend>(options), services,
                                        options);
}

QtWindowBackend& QtWindowOf(MainWindow& window) {
    return static_cast<QtWindowBackend&>(window.backend());
}

}  // namespace tolvane::ui

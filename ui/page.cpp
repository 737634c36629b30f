#include "ui/page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <algorithm>

#include "engine/texts.h"
#include "ui/ids.h"
#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace tolvane::ui {

namespace {
// "%s" is the drive letter.
constexpr const char* kNoMedium =
    "In Laufwerk %s ist kein Datenträger eingelegt.\nBitte legen Sie einen Datenträger ein!";
constexpr const char* kNotWritable =
    "In das Verzeichnis „%s“ kann nicht geschrieben werden.\n"
    "Bitte wählen Sie ein anderes Ziel oder einen beschreibbaren Datenträger!";
}  // namespace

QWidget* FindControl(const QWidget* page, int controlId) {
    if (page == nullptr) return nullptr;
    const QList<QWidget*> children = page->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QVariant id = child->property(kControlIdProperty);
        if (id.isValid() && id.toInt() == controlId) return child;
    }
    return nullptr;
}

Page::Page(MainWindow& window, int pageType) : window_(&window), pageType_(pageType) {
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

Page::~Page() = default;

std::string Page::TooltipText(int) const {
    return {};
}

void Page::Command(int) {}

ArchiveSettings& Page::settings() const {
    return window_->settings();
}

QuellDateien& Page::set() const {
    return window_->set();
}

void Page::Warn(const std::string& text) {
    window_->messages().Show({this, text, texts::kAppCaption, Icon::Warning, MessageButtons::Ok});
}

std::optional<std::string> Page::DriveFolder(int controlId) {
    std::optional<std::string> folder = DriveRootOf(window_->shell(), controlId);
    if (!folder) return folder;
    const bool a = controlId == id::kSourceDriveA || controlId == id::kTargetDriveA;
    const bool b = controlId == id::kSourceDriveB || controlId == id::kTargetDriveB;
    if (a || b) {
        const DriveRoots roots = window_->driveRoots();
        if ((a ? roots.aDevice : roots.bDevice).empty()) {
            Warn(texts::WithName(kNoMedium, a ? "A" : "B"));
            return std::string();
        }
    }
    return folder;
}

void Page::Register(QWidget* control, int controlId, Dlu place) {
    if (controlId != 0) {
        control->setProperty(kControlIdProperty, controlId);
        control->setObjectName(QString("id%1").arg(controlId));
    }
    control->setGeometry(window_->DluRect(place));
    controls_.push_back(control);
}

void Page::SetText(int controlId, const std::string& text) {
    QWidget* control = Control(controlId);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        // A path too long for its box keeps its beginning and its file name;
        // the whole path is the tooltip.
        const bool path = controlId == id::kSourcePathText || controlId == id::kTargetPathText;
        const QString full = ToQ(text);
        label->setProperty(kFullTextProperty, full);
        if (path && label->fontMetrics().horizontalAdvance(full) > label->width()) {
            label->setText(label->fontMetrics().elidedText(full, Qt::ElideMiddle, label->width()));
            label->setToolTip(full);
        } else {
            label->setText(full);
            if (path) label->setToolTip(QString());
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(ToQ(text));
    }
}

void Page::SetNumber(int controlId, int64_t value) {
    SetText(controlId, std::to_string(value));
}

std::string Page::Text(int controlId) const {
    QWidget* control = Control(controlId);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        const QVariant full = label->property(kFullTextProperty);
        return FromQ(full.isValid() ? full.toString() : label->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) return FromQ(button->text());
    return {};
}

void Page::FitText(QWidget* control) {
    const int needed = control->sizeHint().width();
    if (needed > control->width()) control->resize(needed, control->height());
}

QLabel* Page::AddLabel(int controlId, Dlu place, const std::string& text, Qt::Alignment alignment) {
    auto* label = new QLabel(ToQ(text), this);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    Register(label, controlId, place);
    if (!text.empty() && (alignment & Qt::AlignLeft)) FitText(label);
    return label;
}

QGroupBox* Page::AddGroupFrame(Dlu place) {
    auto* frame = new QGroupBox(this);
    Register(frame, 0, place);
    frame->lower();
    return frame;
}

QPushButton* Page::AddPictureButton(int controlId, Dlu place, PictureRole role) {
    auto* button = new QPushButton(this);
    Register(button, controlId, place);
    // The picture fills the button's face, keeping its proportions.
    const QPixmap& picture = window_->pictures().Get(role);
    const QSizeF natural = picture.deviceIndependentSize();
    const QSize face = button->size() - QSize(6, 6);
    const qreal factor = std::min(face.width() / natural.width(), face.height() / natural.height());
    const QSize fitted = (natural * factor).toSize();
    const qreal ratio = picture.devicePixelRatio();
    QPixmap scaled =
        picture.scaledToWidth(qRound(fitted.width() * ratio), Qt::SmoothTransformation);
    scaled.setDevicePixelRatio(ratio);
    button->setIcon(QIcon(scaled));
    button->setIconSize(fitted);
    connect(button, &QPushButton::clicked, this, [this, controlId] { Command(controlId); });
    return button;
}

QPushButton* Page::AddTextButton(int controlId, Dlu place, const std::string& text) {
    auto* button = new QPushButton(ToQ(text), this);
    Register(button, controlId, place);
    connect(button, &QPushButton::clicked, this, [this, controlId] { Command(controlId); });
    return button;
}

QRadioButton* Page::AddRadioButton(int controlId, Dlu place, const std::string& text) {
    auto* radio = new QRadioButton(ToQ(text), this);
    Register(radio, controlId, place);
    if (radioGroup_ == nullptr) radioGroup_ = new QButtonGroup(this);
    radioGroup_->addButton(radio, controlId);
    FitText(radio);
    connect(radio, &QRadioButton::clicked, this, [this, controlId] { Command(controlId); });
    return radio;
}

QCheckBox* Page::AddCheckBox(int controlId, Dlu place, const std::string& text) {
    auto* box = new QCheckBox(ToQ(text), this);
    Register(box, controlId, place);
    FitText(box);
    connect(box, &QCheckBox::clicked, this, [this, controlId] { Command(controlId); });
    return box;
}

QTreeWidget* Page::AddListView(int controlId, Dlu place, const std::vector<ListColumn>& columns) {
    auto* list = new QTreeWidget(this);
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
    Register(list, controlId, place);
    if (!columns.empty()) SetListColumns(controlId, columns);
    return list;
}

QProgressBar* Page::AddProgressBar(int controlId, Dlu place) {
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    Register(bar, controlId, place);
    return bar;
}

QLabel* Page::AddPicture(QRect pixels96, PictureRole role) {
    auto* label = new QLabel(this);
    label->setPixmap(window_->pictures().Get(role));
    label->setAlignment(Qt::AlignCenter);
    const int dpi = window_->logPixelsX();
    label->setGeometry(ScaleToDpi(pixels96.x(), dpi), ScaleToDpi(pixels96.y(), dpi),
                       ScaleToDpi(pixels96.width(), dpi), ScaleToDpi(pixels96.height(), dpi));
    controls_.push_back(label);
    return label;
}

void Page::SetListColumns(int controlId, const std::vector<ListColumn>& columns) {
    auto* list = qobject_cast<QTreeWidget*>(Control(controlId));
    if (list == nullptr) return;
    QStringList headings;
    for (const ListColumn& c : columns) headings << ToQ(c.heading);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(headings);
    for (size_t i = 0; i < columns.size(); ++i) {
        list->setColumnWidth(static_cast<int>(i), window_->Scale(columns[i].width));
    }
}

void Page::ClearList(int controlId) {
    if (auto* list = qobject_cast<QTreeWidget*>(Control(controlId))) list->clear();
}

void Page::AddListRow(int controlId, const std::vector<std::string>& cells) {
    auto* list = qobject_cast<QTreeWidget*>(Control(controlId));
    if (list == nullptr) return;
    auto* item = new QTreeWidgetItem(list);
    for (size_t i = 0; i < cells.size(); ++i) item->setText(static_cast<int>(i), ToQ(cells[i]));
}

namespace {
bool IsStatic(const QWidget* control) {
    return qobject_cast<const QLabel*>(control) != nullptr ||
           qobject_cast<const QGroupBox*>(control) != nullptr;
}
}  // namespace

bool CheckWritable(Page& page, const std::string& folder) {
    const QFileInfo info(PathToQ(folder));
    if (info.isDir() && info.isWritable()) return true;
    page.Warn(texts::WithName(kNotWritable, folder));
    return false;
}

int InstallTooltips(Page& page) {
    for (QWidget* control : page.controls()) {
        if (IsStatic(control)) continue;
        control->setProperty(kToolProperty, true);
        const QVariant id = control->property(kControlIdProperty);
        const std::string text = id.isValid() ? page.TooltipText(id.toInt()) : std::string();
        control->setToolTip(ToQ(text));
        if (!text.empty()) control->setAccessibleName(ToQ(text));
    }
    return 1;
}

std::vector<ListColumn> FileListColumns() {
    return {{"Nr.", 30}, {"Dateiname", 170}, {"Dateigröße", 85}, {"bearbeitet", 85}};
}

void FillFileList(Page& page, const QuellDateien& set) {
    page.SetListColumns(id::kFileList, FileListColumns());
    page.ClearList(id::kFileList);
    for (const FileListRow& row : set.FileListRows()) {
        page.AddListRow(id::kFileList, {row.number, row.name, row.size, row.done});
    }
}

}  // namespace tolvane::ui

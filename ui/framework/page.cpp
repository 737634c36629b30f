#include "ui/framework/page.h"

#include <algorithm>

#include "engine/platform/writable_folder.h"
#include "engine/texts.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"

namespace tolvane::ui {

namespace {
// "%s" is the drive letter.
constexpr const char* kNoMedium =
    "In Laufwerk %s ist kein Datenträger eingelegt.\nBitte legen Sie einen Datenträger ein!";
constexpr const char* kNotWritable =
    "In das Verzeichnis „%s“ kann nicht geschrieben werden.\n"
    "Bitte wählen Sie ein anderes Ziel oder einen beschreibbaren Datenträger!";
}  // namespace

namespace {
ControlDescription Describe(ControlKind kind, int controlId, const Rect& bounds,
                            const std::string& text = {}) {
    ControlDescription description;
    description.kind = kind;
    description.id = controlId;
    description.bounds = bounds;
    description.text = text;
    return description;
}
}  // namespace

bool IsStatic(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Frame ||
           kind == ControlKind::Picture || kind == ControlKind::ValueBox;
}

Page::Page(MainWindow& window, int pageType) : window_(&window), pageType_(pageType) {}

Page::~Page() = default;

void Page::AttachHost(std::unique_ptr<ControlHost> host) {
    host_ = std::move(host);
    host_->SetEvents(this);
}

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
    window_->messages().Show(
        {native(), text, texts::kAppCaption, Icon::Warning, MessageButtons::Ok});
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

PageControl* Page::Find(int controlId) {
    for (PageControl& c : controls_) {
        if (c.id == controlId) return &c;
    }
    return nullptr;
}

const PageControl* Page::Find(int controlId) const {
    for (const PageControl& c : controls_) {
        if (c.id == controlId) return &c;
    }
    return nullptr;
}

PageControl& Page::Add(ControlDescription description, bool fitText) {
    PageControl control;
    control.kind = description.kind;
    control.id = description.id;
    control.text = description.text;
    const Rect bounds = description.bounds;
    control.handle = host_->Create(description);
    // A box a little too narrow for this desktop's font grows to the right,
    // so that the text given here is never cut.
    if (fitText && !description.text.empty()) {
        const int needed = host_->NeededWidth(control.handle);
        if (needed > bounds.width) {
            host_->SetBounds(control.handle, {bounds.x, bounds.y, needed, bounds.height});
        }
    }
    controls_.push_back(std::move(control));
    return controls_.back();
}

void Page::SetText(int controlId, const std::string& text) {
    PageControl* c = Find(controlId);
    if (c == nullptr) return;
    switch (c->kind) {
        case ControlKind::Label: {
            c->text = text;
            // A path too long for its box keeps its beginning and its file
            // name; the whole path is the tooltip.
            const bool path = controlId == id::kSourcePathText || controlId == id::kTargetPathText;
            if (!path) {
                host_->SetText(c->handle, text);
                break;
            }
            const std::string shown = host_->ElideMiddle(c->handle, text);
            host_->SetText(c->handle, shown);
            c->tooltip = shown == text ? std::string() : text;
            host_->SetTooltip(c->handle, c->tooltip);
            break;
        }
        case ControlKind::PictureButton:
        case ControlKind::TextButton:
        case ControlKind::RadioButton:
        case ControlKind::CheckBox:
        case ControlKind::ValueBox:
            c->text = text;
            host_->SetText(c->handle, text);
            break;
        default:
            break;
    }
}

void Page::SetNumber(int controlId, int64_t value) {
    SetText(controlId, std::to_string(value));
}

std::string Page::Text(int controlId) const {
    const PageControl* c = Find(controlId);
    return c == nullptr ? std::string() : c->text;
}

void Page::SetChecked(int controlId, bool checked) {
    if (const PageControl* c = Find(controlId)) host_->SetChecked(c->handle, checked);
}

bool Page::IsChecked(int controlId) const {
    const PageControl* c = Find(controlId);
    return c != nullptr && host_->IsChecked(c->handle);
}

void Page::SetEnabled(int controlId, bool enabled) {
    if (PageControl* c = Find(controlId)) {
        c->enabled = enabled;
        host_->SetEnabled(c->handle, enabled);
    }
}

bool Page::IsEnabled(int controlId) const {
    const PageControl* c = Find(controlId);
    return c != nullptr && c->enabled;
}

void Page::SetTooltip(int controlId, const std::string& text) {
    if (PageControl* c = Find(controlId)) {
        c->tooltip = text;
        host_->SetTooltip(c->handle, text);
    }
}

std::string Page::Tooltip(int controlId) const {
    const PageControl* c = Find(controlId);
    return c == nullptr ? std::string() : c->tooltip;
}

void Page::SetBar(int controlId, int percent) {
    PageControl* c = Find(controlId);
    if (c == nullptr || c->kind != ControlKind::ProgressBar) return;
    c->bar = std::clamp(percent, 0, 100);
    host_->SetBar(c->handle, c->bar);
}

int Page::Bar(int controlId) const {
    const PageControl* c = Find(controlId);
    return c == nullptr ? 0 : c->bar;
}

void Page::AddLabel(int controlId, Dlu place, const std::string& text, TextAlign align,
                    TextStyle style) {
    ControlDescription description =
        Describe(ControlKind::Label, controlId, window_->DluRect(place), text);
    description.align = align;
    description.style = style;
    Add(description, align == TextAlign::TopLeft || align == TextAlign::MiddleLeft);
}

void Page::AddGroupFrame(Dlu place) {
    Add(Describe(ControlKind::Frame, 0, window_->DluRect(place)), false);
}

void Page::AddPictureButton(int controlId, Dlu place, PictureRole role) {
    ControlDescription description =
        Describe(ControlKind::PictureButton, controlId, window_->DluRect(place));
    description.picture = role;
    Add(description, false);
}

void Page::AddTextButton(int controlId, Dlu place, const std::string& text) {
    Add(Describe(ControlKind::TextButton, controlId, window_->DluRect(place), text), false);
}

void Page::AddRadioButton(int controlId, Dlu place, const std::string& text) {
    Add(Describe(ControlKind::RadioButton, controlId, window_->DluRect(place), text), true);
}

void Page::AddCheckBox(int controlId, Dlu place, const std::string& text) {
    Add(Describe(ControlKind::CheckBox, controlId, window_->DluRect(place), text), true);
}

void Page::AddListView(int controlId, Dlu place, const std::vector<ListColumn>& columns) {
    Add(Describe(ControlKind::ListView, controlId, window_->DluRect(place)), false);
    if (!columns.empty()) SetListColumns(controlId, columns);
}

void Page::AddProgressBar(int controlId, Dlu place) {
    Add(Describe(ControlKind::ProgressBar, controlId, window_->DluRect(place)), false);
}

void Page::AddPicture(Rect pixels96, PictureRole role) {
    const int dpi = window_->logPixelsX();
    ControlDescription description =
        Describe(ControlKind::Picture, 0,
                 {ScaleToDpi(pixels96.x, dpi), ScaleToDpi(pixels96.y, dpi),
                  ScaleToDpi(pixels96.width, dpi), ScaleToDpi(pixels96.height, dpi)});
    description.picture = role;
    Add(description, false);
}

void Page::SetListColumns(int controlId, const std::vector<ListColumn>& columns) {
    PageControl* c = Find(controlId);
    if (c == nullptr || c->kind != ControlKind::ListView) return;
    c->columns = static_cast<int>(columns.size());
    std::vector<ListColumn> scaled = columns;
    for (ListColumn& column : scaled) column.width = window_->Scale(column.width);
    host_->SetListColumns(c->handle, scaled);
}

void Page::ClearList(int controlId) {
    PageControl* c = Find(controlId);
    if (c == nullptr || c->kind != ControlKind::ListView) return;
    c->rows.clear();
    host_->ClearList(c->handle);
}

void Page::AddListRow(int controlId, const std::vector<std::string>& cells) {
    PageControl* c = Find(controlId);
    if (c == nullptr || c->kind != ControlKind::ListView) return;
    c->rows.push_back(cells);
    host_->AddListRow(c->handle, cells);
}

int Page::ListRowCount(int controlId) const {
    const PageControl* c = Find(controlId);
    return c == nullptr ? 0 : static_cast<int>(c->rows.size());
}

int Page::ListColumnCount(int controlId) const {
    const PageControl* c = Find(controlId);
    return c == nullptr ? 0 : c->columns;
}

std::string Page::ListCell(int controlId, int row, int column) const {
    const PageControl* c = Find(controlId);
    if (c == nullptr || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0) return {};
    const std::vector<std::string>& cells = c->rows[static_cast<size_t>(row)];
    return column < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(column)]
                                                   : std::string();
}

void Page::SetListCell(int controlId, int row, int column, const std::string& text) {
    PageControl* c = Find(controlId);
    if (c == nullptr || row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0 ||
        column >= c->columns) {
        return;
    }
    std::vector<std::string>& cells = c->rows[static_cast<size_t>(row)];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = text;
    host_->SetListCell(c->handle, row, column, text);
}

void Page::ScrollListTo(int controlId, int row) {
    const PageControl* c = Find(controlId);
    if (c == nullptr || row < 0 || row >= static_cast<int>(c->rows.size())) return;
    host_->ScrollListTo(c->handle, row);
}

bool CheckWritable(Page& page, const std::string& folder) {
    if (platform::IsWritableFolder(folder)) return true;
    page.Warn(texts::WithName(kNotWritable, folder));
    return false;
}

int InstallTooltips(Page& page) {
    for (const PageControl& control : page.controls()) {
        if (IsStatic(control.kind) || control.id == 0) continue;
        page.SetTooltip(control.id, page.TooltipText(control.id));
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

// The page framework: everything the archiver shows below its menu is a Page,
// a child of the main window at one fixed place and size. A wizard is a chain
// of pages; leaving a page destroys it and the next one is built afresh from
// the shared state (ArchiveSettings and QuellDateien, owned by MainWindow), so
// a page keeps nothing of its own and any typed page can be rebuilt at any
// time with MainWindow::ShowPage(pageType).
//
// A page's controls live in a ControlHost of the window backend. The page
// keeps what it put into them (texts, list rows, states) and answers from
// that; what the user changes (check boxes, radio buttons) is read from the
// host, never kept.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "ui/framework/backend.h"
#include "ui/framework/geometry.h"

namespace tolvane::ui {

class MainWindow;

// One control as the page made it, and what it shows now.
struct PageControl {
    ControlKind kind = ControlKind::Label;
    int id = 0;
    ControlHost::Handle handle = 0;
    std::string text;  // the whole text, also where the host shows it shortened
    bool enabled = true;
    std::string tooltip;
    int columns = 0;
    std::vector<std::vector<std::string>> rows;
    int bar = 0;
};

// Labels, frames, pictures and value boxes take no input and get no tooltip.
bool IsStatic(ControlKind kind);

class Page : public ControlEvents {
  public:
    // pageType is the page's type, or kUntypedPage for the About and the
    // information page.
    Page(MainWindow& window, int pageType);
    ~Page() override;

    int pageType() const { return pageType_; }

    // The host the page's controls are made in; MainWindow gives it before
    // Initialise.
    void AttachHost(std::unique_ptr<ControlHost> host);
    ControlHost& host() const { return *host_; }
    // The page's window for the boxes it owns.
    NativeWindow native() const { return host_ ? host_->native() : nullptr; }

    // --- What a page class provides. MainWindow calls them in this order
    // when it shows the page: Initialise (create the controls from the page's
    // table, set the label texts, put the pictures on the buttons), then it
    // places and shows the page and installs the tooltips, then Fill (show
    // the shared state).
    virtual void Initialise() = 0;
    virtual void Fill() {}
    // The page's tooltip table; "" for a control without a text.
    virtual std::string TooltipText(int controlId) const;
    // False for the About page, which installs no tooltips.
    virtual bool HasTooltips() const { return true; }
    // True for the completion page, which reads the type of the finished
    // page before it sets its own during Initialise.
    virtual bool SetsPageTypeItself() const { return false; }
    // A button, radio button or check box of the page was pressed. A handler
    // that leaves the page calls window().GoTo(...) (or another Show...) and
    // returns at once: the page is destroyed when control gets back to the
    // event loop.
    virtual void Command(int controlId);
    void Clicked(int controlId) override { Command(controlId); }

    // --- Controls by id (the first of that id); an id the page does not
    // have is ignored, and reads give "", false or 0.
    bool HasControl(int controlId) const { return Find(controlId) != nullptr; }
    void SetText(int controlId, const std::string& text);
    void SetNumber(int controlId, int64_t value);
    std::string Text(int controlId) const;
    void SetChecked(int controlId, bool checked);
    // Read from the control: the user changes it.
    bool IsChecked(int controlId) const;
    void SetEnabled(int controlId, bool enabled);
    bool IsEnabled(int controlId) const;
    void SetTooltip(int controlId, const std::string& text);
    std::string Tooltip(int controlId) const;
    void SetBar(int controlId, int percent);  // clamped to 0..100
    int Bar(int controlId) const;
    // Every control the page created, in creation order.
    const std::vector<PageControl>& controls() const { return controls_; }

    // List views.
    void SetListColumns(int controlId, const std::vector<ListColumn>& columns);
    void ClearList(int controlId);
    void AddListRow(int controlId, const std::vector<std::string>& cells);
    int ListRowCount(int controlId) const;
    int ListColumnCount(int controlId) const;
    std::string ListCell(int controlId, int row, int column) const;
    // A row or column that does not exist is ignored.
    void SetListCell(int controlId, int row, int column, const std::string& text);
    void ScrollListTo(int controlId, int row);

    MainWindow& window() const { return *window_; }
    ArchiveSettings& settings() const;
    QuellDateien& set() const;

    // A warning box with the caption "Tolvane", owned by this page.
    void Warn(const std::string& text);
    // The folder of the drive button controlId (A, B or hard disk, source or
    // target); nothing for any other control. For A or B without a medium
    // mounted it says so and gives "": nothing is to be done with it.
    std::optional<std::string> DriveFolder(int controlId);

  protected:
    // --- Builders: one control of the page's table each, at its dialog-unit
    // place. id 0 is for controls without a number. A left-aligned label,
    // radio button or check box given its text here grows to the right when
    // this desktop's font needs a few pixels more than the box, so that its
    // text is never cut; texts set later (paths, numbers) keep the box.
    void AddLabel(int controlId, Dlu place, const std::string& text,
                  TextAlign align = TextAlign::TopLeft, TextStyle style = TextStyle::Normal);
    void AddGroupFrame(Dlu place);
    void AddPictureButton(int controlId, Dlu place, PictureRole role);
    void AddTextButton(int controlId, Dlu place, const std::string& text);
    // All radio buttons of a page form one group.
    void AddRadioButton(int controlId, Dlu place, const std::string& text);
    void AddCheckBox(int controlId, Dlu place, const std::string& text);
    void AddListView(int controlId, Dlu place, const std::vector<ListColumn>& columns = {});
    void AddProgressBar(int controlId, Dlu place);
    // A picture by itself, at a place in pixels at 96 dpi.
    void AddPicture(Rect pixels96, PictureRole role);

  private:
    PageControl* Find(int controlId);
    const PageControl* Find(int controlId) const;
    PageControl& Add(ControlDescription description, bool fitText);

    MainWindow* window_;
    int pageType_;
    std::unique_ptr<ControlHost> host_;
    std::vector<PageControl> controls_;
};

// Warns (owned by page) when folder is no folder this user can write to;
// true when it is one.
bool CheckWritable(Page& page, const std::string& folder);

// Makes every control of the page that is not static (labels, texts, frames,
// pictures) a tooltip tool with the text of the page's table. Returns 1.
int InstallTooltips(Page& page);

// The columns of a progress list: "Nr.", "Dateiname", "Dateigröße",
// "bearbeitet".
std::vector<ListColumn> FileListColumns();
// Fills list view 1027 of the page with the archive set: one row per entry
// in list order, "bearbeitet" showing each entry's progress.
void FillFileList(Page& page, const QuellDateien& set);

}  // namespace tolvane::ui

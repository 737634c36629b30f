// The page framework: everything the archiver shows below its menu is a Page,
// a child of the main window at one fixed place and size. A wizard is a chain
// of pages; leaving a page destroys it and the next one is built afresh from
// the shared state (ArchiveSettings and QuellDateien, owned by MainWindow), so
// a page keeps nothing of its own and any typed page can be rebuilt at any
// time with MainWindow::ShowPage(pageType).
//
// Controls are found by their number: every control a page creates with an id
// carries it in the Qt property "controlId" (kControlIdProperty); FindControl
// looks it up. Its object name is "id<number>" as well, for debugging.
#pragma once

#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "ui/geometry.h"
#include "ui/pictures.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace tolvane::ui {

class MainWindow;

inline constexpr const char* kControlIdProperty = "controlId";
// The whole text of a label that SetText shortened to fit (Text returns it).
inline constexpr const char* kFullTextProperty = "fullText";
// Set on every control that InstallTooltips made a tool (all but the static
// ones: labels, texts, frames, pictures).
inline constexpr const char* kToolProperty = "isTool";

// The control with that id among the descendants of page, or nullptr.
QWidget* FindControl(const QWidget* page, int controlId);

struct ListColumn {
    std::string heading;
    int width = 0;  // pixels at 96 dpi
};

class Page : public QWidget {
    Q_OBJECT

  public:
    // pageType is the page's type, or kUntypedPage for the About and the
    // information page.
    Page(MainWindow& window, int pageType);
    ~Page() override;

    int pageType() const { return pageType_; }

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

    // --- Controls by id.
    QWidget* Control(int controlId) const { return FindControl(this, controlId); }
    void SetText(int controlId, const std::string& text);
    void SetNumber(int controlId, int64_t value);
    std::string Text(int controlId) const;
    // Every control the page created, in creation order.
    const std::vector<QWidget*>& controls() const { return controls_; }

    // List views (the report-style QTreeWidget of AddListView).
    void SetListColumns(int controlId, const std::vector<ListColumn>& columns);
    void ClearList(int controlId);
    void AddListRow(int controlId, const std::vector<std::string>& cells);

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
    QLabel* AddLabel(int controlId, Dlu place, const std::string& text,
                     Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop);
    QGroupBox* AddGroupFrame(Dlu place);
    QPushButton* AddPictureButton(int controlId, Dlu place, PictureRole role);
    QPushButton* AddTextButton(int controlId, Dlu place, const std::string& text);
    // All radio buttons of a page form one group.
    QRadioButton* AddRadioButton(int controlId, Dlu place, const std::string& text);
    QCheckBox* AddCheckBox(int controlId, Dlu place, const std::string& text);
    QTreeWidget* AddListView(int controlId, Dlu place, const std::vector<ListColumn>& columns = {});
    QProgressBar* AddProgressBar(int controlId, Dlu place);
    // A picture by itself, at a place in pixels at 96 dpi.
    QLabel* AddPicture(QRect pixels96, PictureRole role);

  private:
    static void FitText(QWidget* control);
    void Register(QWidget* control, int controlId, Dlu place);

    MainWindow* window_;
    int pageType_;
    std::vector<QWidget*> controls_;
    QButtonGroup* radioGroup_ = nullptr;
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

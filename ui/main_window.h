// The archiver's one main window: title "Tolvane", fixed size, black
// background with banner and logo, the German menu bar, and the page shown
// right of the banner. It owns the state of the run: the ArchiveSettings, the
// archive set (QuellDateien) and pageType; pages get them by reference.
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "engine/archive_set.h"
#include "engine/platform/file_system.h"
#include "ui/geometry.h"
#include "ui/page_display.h"
#include "ui/pictures.h"
#include "ui/services.h"

class QAction;

namespace tolvane::ui {

class Page;

// Everything the window asks of the system, injectable for tests.
struct Services {
    Dialogs* dialogs = nullptr;
    MessageBoxes* messages = nullptr;
    Shell* shell = nullptr;
    platform::FileSystem* fileSystem = nullptr;
};

struct WindowOptions {
    int logPixelsX = kDesignDpi;  // the screen's horizontal dpi
    int screenDepth = 24;         // bits per pixel; below 16 picks the 16-colour pictures
    qreal devicePixelRatio = 1.0;
    std::string programDir;  // folder of the program's own file
    std::string dataDir;     // installed data folder (help document)
    std::string stubDir;     // installed folder of the robot image
    std::string currentDir;  // where the help document is looked for first
};

// Creates the page of one type.
using PageFactory = std::function<std::unique_ptr<Page>(MainWindow&)>;

class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    // Builds the window and its menu and loads the pictures; does not show a
    // page yet (Start does).
    MainWindow(const Services& services, const WindowOptions& options);
    ~MainWindow() override;

    // Places the window, shows it and the start page.
    void Start();
    // What the program does with a file it is started with (a double-click
    // on a volume): a volume of a plain archive opens the restore wizard with
    // it chosen and its summary shown; a volume of a self-extracting archive,
    // which only its own stub unpacks, or a file that is no volume or cannot
    // be read opens the information page on it (with the reader's message).
    void OpenGivenFile(const std::string& path);

    // --- The shared state.
    ArchiveSettings& settings() { return settings_; }
    QuellDateien& set() { return *set_; }
    int pageType() const { return pageType_; }
    void SetPageType(int type) { pageType_ = type; }

    // --- Services.
    Dialogs& dialogs() { return *services_.dialogs; }
    MessageBoxes& messages() { return *services_.messages; }
    Shell& shell() { return *services_.shell; }
    platform::FileSystem& fileSystem() { return *services_.fileSystem; }
    // The Display the engine reports through (the set's display).
    Display& display() { return display_; }
    const Pictures& pictures() const { return *pictures_; }
    // The drive buttons' folders now (media may come and go during a run).
    DriveRoots driveRoots() { return services_.shell->CurrentDriveRoots(); }

    // --- Geometry.
    int logPixelsX() const { return options_.logPixelsX; }
    int Scale(int pixels96) const { return ScaleToDpi(pixels96, options_.logPixelsX); }
    QRect DluRect(const Dlu& dlu) const { return DluToRect(dlu, options_.logPixelsX); }

    // --- Pages.
    // Registers the page class of a type; a later registration replaces an
    // earlier one.
    void RegisterPage(int type, PageFactory factory);
    Page* currentPage() const { return currentPage_; }
    // Destroys the current page (it disappears now and is deleted when
    // control returns to the event loop).
    void DestroyPage();
    // Creates the page of type by its show operation; any other value does
    // nothing. Called after the current page was destroyed.
    void ShowPage(int type);
    // DestroyPage, then ShowPage(type): how a button handler moves on.
    void GoTo(int type);
    void ShowAboutPage();
    void ShowInformationPage();
    // Shows a page made by the caller (pages without a type use this).
    void Present(std::unique_ptr<Page> page);

    // --- Menu.
    QAction* MenuAction(int menuId) const;
    // Runs a menu command by id as if chosen from the menu (a greyed command
    // does nothing).
    void Command(int menuId);
    // Greys or enables the wizard commands and the information command for a
    // page of that type.
    void ApplyMenuState(int type);

    // What the wizard commands do before their first page: an empty archive
    // set, volume 1 of 0, no package, target or source.
    void ClearForNewOperation();

    // Shell commands; their results are ignored and nothing is reported.
    int FormatDrive(const std::string& drive);
    void OpenExplorer();
    void OpenHelp();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenu();

    Services services_;
    WindowOptions options_;
    ArchiveSettings settings_;
    PageDisplay display_;
    std::unique_ptr<QuellDateien> set_;
    std::unique_ptr<Pictures> pictures_;
    int pageType_ = kStartPageType;
    std::array<PageFactory, 12> factories_;
    Page* currentPage_ = nullptr;
    QWidget* backdrop_ = nullptr;
    std::map<int, QAction*> actions_;

    static constexpr int kStartPageType = 0;
};

}  // namespace tolvane::ui

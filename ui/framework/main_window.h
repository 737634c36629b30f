// The archiver's one main window: title "Tolvane", fixed size, black
// background with banner and logo, the German menu bar, and the page shown
// right of the banner. It owns the state of the run: the ArchiveSettings, the
// archive set (QuellDateien) and pageType; pages get them by reference.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "engine/platform/file_system.h"
#include "ui/framework/backend.h"
#include "ui/framework/geometry.h"
#include "ui/framework/ids.h"
#include "ui/framework/page_display.h"
#include "ui/framework/services.h"

namespace tolvane::ui {

class EngineJob;
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
    double devicePixelRatio = 1.0;
    std::string programDir;  // folder of the program's own file
    std::string dataDir;     // installed data folder (help document)
    std::string stubDir;     // installed folder of the robot image
    std::string currentDir;  // where the help document is looked for first
    // The engine job's progress reaches the page at most this often.
    std::chrono::milliseconds progressInterval{40};
};

// Creates the page of one type.
using PageFactory = std::function<std::unique_ptr<Page>(MainWindow&)>;

class MainWindow : public WindowEvents {
  public:
    // Builds the window's menu on backend; does not show a page yet (Start
    // does).
    MainWindow(std::unique_ptr<WindowBackend> backend, const Services& services,
               const WindowOptions& options);
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
    WindowBackend& backend() { return *backend_; }
    // The window for the boxes it owns.
    NativeWindow native() const { return backend_->native(); }
    // The drive buttons' folders now (media may come and go during a run).
    DriveRoots driveRoots() { return services_.shell->CurrentDriveRoots(); }

    // --- Geometry.
    int logPixelsX() const { return options_.logPixelsX; }
    int Scale(int pixels96) const { return ScaleToDpi(pixels96, options_.logPixelsX); }
    Rect DluRect(const Dlu& dlu) const { return DluToRect(dlu, options_.logPixelsX); }

    // --- Pages.
    // Registers the page class of a type; a later registration replaces an
    // earlier one.
    void RegisterPage(int type, PageFactory factory);
    Page* currentPage() const { return currentPage_.get(); }
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
    bool MenuEnabled(int menuId) const;
    // Runs a menu command by id as if chosen from the menu (a greyed command
    // does nothing).
    void Command(int menuId);
    // Greys or enables the wizard commands and the information command for a
    // page of that type.
    void ApplyMenuState(int type);

    // What the wizard commands do before their first page: an empty archive
    // set, volume 1 of 0, no package, target or source.
    void ClearForNewOperation();

    // --- The engine job (split, restore, continue, repair).
    // Runs driver on a worker thread; done(outcome) runs here when it is
    // over. Meanwhile the commands that would touch the archive set are
    // greyed; the close box, "&Beenden" and Escape ask to stop the job.
    void RunJob(std::function<DriveOutcome()> driver, std::function<void(DriveOutcome)> done);
    bool JobRunning() const;
    // "Soll der Vorgang abgebrochen werden?" (Ja/Nein): Ja stops the job at
    // its next chunk. True for Ja.
    bool AskToStopJob();

    // Shell commands; their results are ignored and nothing is reported.
    int FormatDrive(const std::string& drive);
    void OpenExplorer();
    void OpenHelp();

    // --- What the backend reports.
    void MenuCommand(int menuId) override { Command(menuId); }
    // The close box: while a job runs, asks to stop it and stays until it
    // has cleaned up; else quits.
    bool CloseRequested() override;
    // Escape asks to stop a running job.
    void EscapePressed() override;

  private:
    void BuildMenu();
    void SetMenuEnabled(int menuId, bool enabled);
    // Stops the job after the question; the program quits when it is over.
    void QuitAfterJob();

    // First in, last out: pages and the job hold controls and threads of it.
    std::unique_ptr<WindowBackend> backend_;
    Services services_;
    WindowOptions options_;
    ArchiveSettings settings_;
    PageDisplay display_;
    std::unique_ptr<QuellDateien> set_;
    int pageType_ = kStartPageType;
    std::array<PageFactory, kLastPageType + 1> factories_;
    std::unique_ptr<Page> currentPage_;
    std::map<int, bool> menuEnabled_;
    std::unique_ptr<EngineJob> job_;
    bool quitAfterJob_ = false;

    static constexpr int kStartPageType = 0;
};

}  // namespace tolvane::ui

#include "ui/framework/main_window.h"

#include "engine/package_info.h"
#include "engine/volume_header.h"
#include "ui/framework/desktop_paths.h"
#include "ui/framework/engine_job.h"
#include "ui/framework/ids.h"
#include "ui/framework/page.h"
#include "ui/pages/archive_choice_page.h"
#include "ui/pages/pages.h"

namespace tolvane::ui {

namespace {

// Whether "&Information über Archiv" is greyed on a page of that type: on the
// progress pages, where an operation runs.
bool InformationGreyed(int type) {
    return type == kSplitPage2 || type == kRestoreProgressPage || type == kRepairProgressPage ||
           type == kContinueProgressPage || type == kRecoveryRepairPage;
}

bool Exists(const std::string& path) {
    platform::FileFacts facts;
    return platform::NativeFileSystem().Stat(path, &facts);
}

}  // namespace

MainWindow::MainWindow(std::unique_ptr<WindowBackend> backend, const Services& services,
                       const WindowOptions& options)
    : backend_(std::move(backend)), services_(services), options_(options), display_(*this) {
    set_ = std::make_unique<QuellDateien>(settings_, *services_.fileSystem, display_);
    settings_.robotPath = RobotImagePath(options_.programDir, options_.stubDir, Exists);
    backend_->SetEvents(this);
    BuildMenu();
    RegisterStandardPages(*this);
}

MainWindow::~MainWindow() {
    // A job still running is stopped first; pages refer to the window's
    // state: let them go next.
    job_.reset();
    currentPage_.reset();
    backend_->SetEvents(nullptr);
}

void MainWindow::Start() {
    backend_->Show();
    ShowPage(kStartPage);
}

void MainWindow::OpenGivenFile(const std::string& path) {
    const PackageInfo info = DiskInfoReadHeader(fileSystem(), path);
    const bool plainVolume = info.status == PackageInfo::Status::Ok && info.magicLetter == 'K' &&
                             !IsSelfExtractingFirstVolumeName(path);
    if (!plainVolume) {
        DestroyPage();
        Present(MakeInformationPage(*this, path));
        return;
    }
    ClearForNewOperation();
    DestroyPage();
    settings_.selfExtracting = 0;
    ShowPage(kRestorePage1);
    if (auto* page = dynamic_cast<ArchiveChoicePage*>(currentPage_.get())) {
        page->AdoptChosenPackage(path);
    }
}

void MainWindow::BuildMenu() {
    const std::vector<Menu> menus = {
        {"&Datei",
         {{kMenuNew, "&Neu"},
          {},
          {kMenuCreate, "&Archiv erstellen"},
          {kMenuExtract, "A&rchiv entpacken"},
          {kMenuInformation, "&Information über Archiv"},
          {},
          {kMenuExit, "&Beenden"}}},
        {"D&atenträger",
         {{kMenuFormatA, "Diskette &A formatieren"},
          {kMenuFormatB, "Diskette &B formatieren"},
          {},
          {kMenuExplorer, "Windows &Explorer"}}},
        {"&Reparatur",
         {{kMenuRepair, "Archiv &reparieren"}, {kMenuContinue, "&Entpacken fortsetzen"}}},
        {"&?", {{kMenuAbout, "&Info"}, {kMenuHelp, "&Hilfe [html]"}}},
    };
    for (const Menu& menu : menus) {
        for (const MenuItem& item : menu.items) {
            if (item.id != 0) menuEnabled_[item.id] = true;
        }
    }
    backend_->SetMenus(menus);
}

bool MainWindow::MenuEnabled(int menuId) const {
    const auto it = menuEnabled_.find(menuId);
    return it != menuEnabled_.end() && it->second;
}

void MainWindow::SetMenuEnabled(int menuId, bool enabled) {
    menuEnabled_[menuId] = enabled;
    backend_->SetMenuEnabled(menuId, enabled);
}

void MainWindow::ApplyMenuState(int type) {
    const bool start = type == kStartPage;
    for (int id : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair}) {
        SetMenuEnabled(id, start);
    }
    SetMenuEnabled(kMenuInformation, start || !InformationGreyed(type));
}

void MainWindow::ClearForNewOperation() {
    set_->Reset();
    set_->sourceDir.clear();
    settings_.currentVolume = 1;
    settings_.volumeCount = 0;
    settings_.packagePath.clear();
    settings_.targetPath.clear();
    settings_.targetRoot.clear();
}

void MainWindow::Command(int menuId) {
    if (!MenuEnabled(menuId)) return;
    switch (menuId) {
        case kMenuNew:
            GoTo(kStartPage);
            break;
        case kMenuCreate:
        case kMenuExtract:
            ClearForNewOperation();
            DestroyPage();
            settings_.selfExtracting = 0;
            ShowPage(menuId == kMenuCreate ? kSplitPage1 : kRestorePage1);
            break;
        case kMenuInformation:
            DestroyPage();
            ShowInformationPage();
            break;
        case kMenuExit:
            if (JobRunning()) {
                QuitAfterJob();
            } else {
                shell().Quit(0);
            }
            break;
        case kMenuFormatA:
            FormatDrive("a:\\");
            break;
        case kMenuFormatB:
            FormatDrive("b:\\");
            break;
        case kMenuExplorer:
            OpenExplorer();
            break;
        case kMenuRepair:
        case kMenuContinue:
            // selfExtracting stays: these wizards take it from a header.
            DestroyPage();
            ClearForNewOperation();
            ShowPage(menuId == kMenuRepair ? kRepairPage1 : kContinuePage1);
            break;
        case kMenuAbout:
            DestroyPage();
            ShowAboutPage();
            break;
        case kMenuHelp:
            OpenHelp();
            break;
        default:
            break;
    }
}

int MainWindow::FormatDrive(const std::string& drive) {
    const std::optional<int> number = DriveNumberOfPath(drive);
    if (!number) return 0;
    if (shell().FormatFloppy(*number, native())) return 1;
    const std::optional<ProgramCall> call =
        FormatterCall(*number, driveRoots(),
                      [this](const std::string& name) { return shell().FindProgram(name); });
    if (call) shell().StartDetached(call->program, call->args);
    return 1;
}

void MainWindow::OpenExplorer() {
    shell().OpenPath(driveRoots().hardDisk);
}

void MainWindow::OpenHelp() {
    const std::string path =
        FindHelpDocument(options_.currentDir, options_.programDir, options_.dataDir, Exists);
    if (!path.empty()) shell().OpenPath(path);
}

void MainWindow::RegisterPage(int type, PageFactory factory) {
    if (type < kFirstPageType || type > kLastPageType) return;
    factories_[static_cast<size_t>(type)] = std::move(factory);
}

void MainWindow::DestroyPage() {
    if (currentPage_ == nullptr) return;
    std::shared_ptr<Page> page = std::move(currentPage_);
    page->host().Hide();
    // The page may be running one of its own handlers.
    backend_->DestroyLater(std::move(page));
}

void MainWindow::ShowPage(int type) {
    if (type < kFirstPageType || type > kLastPageType) return;
    const PageFactory& factory = factories_[static_cast<size_t>(type)];
    if (!factory) return;
    Present(factory(*this));
}

void MainWindow::GoTo(int type) {
    DestroyPage();
    ShowPage(type);
}

void MainWindow::ShowAboutPage() {
    Present(MakeAboutPage(*this));
}

void MainWindow::ShowInformationPage() {
    Present(MakeInformationPage(*this));
}

void MainWindow::Present(std::unique_ptr<Page> page) {
    if (!page) return;
    // A page shown while another is current replaces it.
    DestroyPage();
    const int type = page->pageType();
    const bool typed = type != kUntypedPage;
    if (typed && !page->SetsPageTypeItself()) pageType_ = type;
    if (typed) ApplyMenuState(type);
    page->AttachHost(backend_->CreatePageHost(PageRect(options_.logPixelsX)));
    currentPage_ = std::move(page);
    Page& shown = *currentPage_;
    shown.Initialise();
    shown.host().Show();
    if (shown.HasTooltips()) InstallTooltips(shown);
    shown.Fill();
    // Fill may have left the page already.
    if (currentPage_.get() == &shown) shown.host().FocusFirst();
}

namespace {
// The commands that would touch the archive set or the media in use while a
// job runs; help, the file manager and "&Beenden" stay.
constexpr int kGreyedDuringJob[] = {kMenuNew,         kMenuCreate,   kMenuExtract,
                                    kMenuInformation, kMenuFormatA,  kMenuFormatB,
                                    kMenuRepair,      kMenuContinue, kMenuAbout};
}  // namespace

void MainWindow::RunJob(std::function<DriveOutcome()> driver,
                        std::function<void(DriveOutcome)> done) {
    if (JobRunning()) return;
    for (int id : kGreyedDuringJob) SetMenuEnabled(id, false);
    job_ = std::make_unique<EngineJob>(*set_, display_, backend_->dispatcher(),
                                       backend_->CreateWorker(), std::move(driver),
                                       options_.progressInterval);
    job_->Start([this, done](DriveOutcome outcome) {
        // The job goes when control is back in the event loop: this runs
        // inside it.
        backend_->DestroyLater(std::shared_ptr<EngineJob>(std::move(job_)));
        for (int id : kGreyedDuringJob) SetMenuEnabled(id, true);
        ApplyMenuState(pageType_);
        if (quitAfterJob_) {
            shell().Quit(0);
            return;
        }
        done(outcome);
    });
}

bool MainWindow::JobRunning() const {
    return job_ != nullptr && job_->running();
}

bool MainWindow::AskToStopJob() {
    // Owned by the window: the job may end while the question is open, and
    // its page go with it.
    const MessageResult answer =
        messages().Show({native(), "Soll der Vorgang abgebrochen werden?", "Tolvane",
                         Icon::Question, MessageButtons::YesNo});
    if (answer != MessageResult::Yes || !JobRunning()) return false;
    job_->RequestStop();
    return true;
}

void MainWindow::QuitAfterJob() {
    if (AskToStopJob()) quitAfterJob_ = true;
}

bool MainWindow::CloseRequested() {
    if (JobRunning()) {
        // The window stays until the job has cleaned up; then it quits.
        QuitAfterJob();
        return false;
    }
    shell().Quit(0);
    return true;
}

void MainWindow::EscapePressed() {
    if (JobRunning()) AskToStopJob();
}

}  // namespace tolvane::ui

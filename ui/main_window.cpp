#include "ui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

#include "engine/package_info.h"
#include "engine/volume_header.h"
#include "ui/archive_choice_page.h"
#include "ui/desktop_paths.h"
#include "ui/engine_job.h"
#include "ui/ids.h"
#include "ui/page.h"
#include "ui/pages.h"
#include "ui/qt_text.h"

namespace tolvane::ui {

namespace {

// The black client area with the vertical banner and the logo; pages lie on
// top of it right of x = ScaleToDpi(100).
class Backdrop : public QWidget {
  public:
    Backdrop(const MainWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
        setAutoFillBackground(false);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        painter.drawPixmap(QPoint(10, 10), window_.pictures().Get(PictureRole::kBanner));
        painter.drawPixmap(QPoint(window_.Scale(15), window_.Scale(300)),
                           window_.pictures().Get(PictureRole::kLogo));
    }

  private:
    const MainWindow& window_;
};

// Whether "&Information über Archiv" is greyed on a page of that type: on the
// progress pages, where an operation runs.
bool InformationGreyed(int type) {
    return type == kSplitPage2 || type == kRestoreProgressPage || type == kRepairProgressPage ||
           type == kContinueProgressPage;
}

bool Exists(const std::string& path) {
    return QFileInfo::exists(PathToQ(path));
}

}  // namespace

MainWindow::MainWindow(const Services& services, const WindowOptions& options)
    : services_(services), options_(options), display_(*this) {
    set_ = std::make_unique<QuellDateien>(settings_, *services_.fileSystem, display_);
    settings_.robotPath = RobotImagePath(options_.programDir, options_.stubDir, Exists);
    pictures_ = std::make_unique<Pictures>(options_.screenDepth, options_.devicePixelRatio);

    setWindowTitle("Tolvane");
    setObjectName("Tolvane");
    if (QFile::exists(":/icons/tolvane.svg")) setWindowIcon(QIcon(":/icons/tolvane.svg"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(Scale(kWindowWidth), Scale(kWindowHeight));

    backdrop_ = new Backdrop(*this, this);
    // The pages' font: a sans serif with the widths of the 8-point template
    // font the dialog units are measured in (Arial's metrics), so that the
    // labels fit their boxes.
    QFont font;
    font.setFamilies({"Liberation Sans", "Arimo", "Arial", "Nimbus Sans", "Helvetica",
                      "DejaVu Sans Condensed", "DejaVu Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(Scale(10));
    backdrop_->setFont(font);
    setCentralWidget(backdrop_);
    BuildMenu();
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (JobRunning()) AskToStopJob();
    });

    RegisterStandardPages(*this);
}

MainWindow::~MainWindow() {
    // A job still running is stopped first; pages refer to the window's
    // state: let them go next.
    job_.reset();
    delete currentPage_;
    currentPage_ = nullptr;
}

void MainWindow::Start() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(InitialWindowPosition(screen->availableGeometry()));
    }
    show();
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
    if (auto* page = dynamic_cast<ArchiveChoicePage*>(currentPage_)) {
        page->AdoptChosenPackage(path);
    }
}

void MainWindow::BuildMenu() {
    auto add = [this](QMenu* menu, int id, const char* text) {
        QAction* action = menu->addAction(QString::fromUtf8(text));
        action->setProperty("menuId", id);
        action->setMenuRole(QAction::NoRole);
        connect(action, &QAction::triggered, this, [this, id] { Command(id); });
        actions_[id] = action;
    };
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&Datei");
    add(file, kMenuNew, "&Neu");
    file->addSeparator();
    add(file, kMenuCreate, "&Archiv erstellen");
    add(file, kMenuExtract, "A&rchiv entpacken");
    add(file, kMenuInformation, "&Information über Archiv");
    file->addSeparator();
    add(file, kMenuExit, "&Beenden");
    QMenu* media = bar->addMenu("D&atenträger");
    add(media, kMenuFormatA, "Diskette &A formatieren");
    add(media, kMenuFormatB, "Diskette &B formatieren");
    media->addSeparator();
    add(media, kMenuExplorer, "Windows &Explorer");
    QMenu* repair = bar->addMenu("&Reparatur");
    add(repair, kMenuRepair, "Archiv &reparieren");
    add(repair, kMenuContinue, "&Entpacken fortsetzen");
    QMenu* help = bar->addMenu("&?");
    add(help, kMenuAbout, "&Info");
    add(help, kMenuHelp, "&Hilfe [html]");
}

QAction* MainWindow::MenuAction(int menuId) const {
    const auto it = actions_.find(menuId);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::ApplyMenuState(int type) {
    const bool start = type == kStartPage;
    for (int id : {kMenuCreate, kMenuExtract, kMenuContinue, kMenuRepair}) {
        actions_[id]->setEnabled(start);
    }
    actions_[kMenuInformation]->setEnabled(start || !InformationGreyed(type));
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
    QAction* action = MenuAction(menuId);
    if (action == nullptr || !action->isEnabled()) return;
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
    Page* page = currentPage_;
    currentPage_ = nullptr;
    page->hide();
    page->deleteLater();
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

void MainWindow::Present(std::unique_ptr<Page> owned) {
    if (!owned) return;
    // A page shown while another is current replaces it.
    DestroyPage();
    Page* page = owned.release();
    const int type = page->pageType();
    const bool typed = type != kUntypedPage;
    if (typed && !page->SetsPageTypeItself()) pageType_ = type;
    if (typed) ApplyMenuState(type);
    page->setParent(backdrop_);
    currentPage_ = page;
    page->Initialise();
    page->setGeometry(PageRect(options_.logPixelsX));
    page->show();
    if (page->HasTooltips()) InstallTooltips(*page);
    page->Fill();
    // The keyboard starts on the page's first control that takes it.
    for (QWidget* control : page->controls()) {
        if ((control->focusPolicy() & Qt::TabFocus) != 0 && control->isEnabled()) {
            control->setFocus();
            break;
        }
    }
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
    for (int id : kGreyedDuringJob) actions_[id]->setEnabled(false);
    job_ =
        std::make_unique<EngineJob>(*set_, display_, std::move(driver), options_.progressInterval);
    connect(job_.get(), &EngineJob::Finished, this, [this, done](DriveOutcome outcome) {
        // The job object goes when control is back in the event loop.
        job_.release()->deleteLater();
        for (int id : kGreyedDuringJob) actions_[id]->setEnabled(true);
        ApplyMenuState(pageType_);
        if (quitAfterJob_) {
            shell().Quit(0);
            return;
        }
        done(outcome);
    });
    job_->Start();
}

bool MainWindow::JobRunning() const {
    return job_ != nullptr && job_->running();
}

bool MainWindow::AskToStopJob() {
    // Owned by the window: the job may end while the question is open, and
    // its page go with it.
    const MessageResult answer =
        messages().Show({this, "Soll der Vorgang abgebrochen werden?", "Tolvane", Icon::Question,
                         MessageButtons::YesNo});
    if (answer != MessageResult::Yes || !JobRunning()) return false;
    job_->RequestStop();
    return true;
}

void MainWindow::QuitAfterJob() {
    if (AskToStopJob()) quitAfterJob_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (JobRunning()) {
        // The window stays until the job has cleaned up; then it quits.
        QuitAfterJob();
        event->ignore();
        return;
    }
    shell().Quit(0);
    event->accept();
}

}  // namespace tolvane::ui

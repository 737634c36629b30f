// The restore wizard: page type 3 picks the first volume of an archive (plain
// or self-extracting) and the
// folder for the restored files and shows what the archive holds; page type 4
// restores the volumes when "Starten" is pressed, every volume in one press
// when all of them are at hand, else one volume per press with the prompt for
// the next medium. Everything chosen lives in the window's shared state.
#include "engine/drivers.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/archive_choice_page.h"
#include "ui/pages/pages.h"
#include "ui/pages/progress_page.h"

namespace tolvane::ui {

namespace {

class RestorePage1 : public ArchiveChoicePage {
  public:
    explicit RestorePage1(MainWindow& window) : ArchiveChoicePage(window, kRestorePage1) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 90});
        AddLabel(id::kLabelSource, {15, 15, 25, 8}, "Quelle:");
        AddPictureButton(id::kSourceDriveA, {50, 15, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kSourceDriveB, {100, 15, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kSourceHardDisk, {150, 15, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelTarget, {15, 55, 30, 8}, "Ziel:");
        AddPictureButton(id::kTargetFolder, {50, 55, 35, 29}, PictureRole::kHardDisk);
        AddArchiveSummaryGroup();
        AddPictureButton(id::kBack, {11, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {230, 160, 35, 29}, PictureRole::kNext);
    }

    void Fill() override {
        // The volume count is the header's: a set of empty files has one
        // volume, which the restore reads like any other.
        SetText(id::kSourcePathText, settings().packagePath);
        ShowArchiveSummary();
        SetText(id::kTargetPathText, settings().targetPath);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kSourceDriveA:
                return "Laufwerk A auswählen";
            case id::kSourceDriveB:
                return "Laufwerk B auswählen";
            case id::kSourceHardDisk:
                return "Festplatte auswählen";
            case id::kTargetFolder:
                return "Bitte Zielverzeichnis auswählen";
            case id::kBack:
                return "Zurück";
            case id::kNext:
                return "Weiter";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            ChoosePackage(*root);
            return;
        }
        switch (controlId) {
            case id::kTargetFolder:
                if (BrowseForFolder(*this, &settings().targetPath,
                                    "Bitte Zielverzeichnis für Wiederherstellungsvorgang "
                                    "auswählen") != 0) {
                    SetText(id::kTargetPathText, settings().targetPath);
                }
                break;
            case id::kBack:
                w.GoTo(kStartPage);
                break;
            case id::kNext:
                if (settings().targetPath.empty() || set().fileCount == 0) {
                    Warn(texts::kNoRestoreTarget);
                    return;
                }
                w.GoTo(kRestoreProgressPage);
                break;
            default:
                break;
        }
    }

  private:
    // A volume of the archive from the drive of root; its header fills the
    // archive set (a file that is no volume leaves it empty, with the
    // reader's message).
    void ChoosePackage(const std::string& root) {
        ArchiveSettings& s = settings();
        s.targetRoot = root;
        std::string path;
        std::string name;
        if (OpenFirstVolume(*this, &path, &name, "Datei(en) auswählen") == 0) return;
        AdoptChosenPackage(path);
    }
};

class RestoreProgressPage : public ProgressPage {
  public:
    explicit RestoreProgressPage(MainWindow& window)
        : ProgressPage(window, kRestoreProgressPage, kRestorePage1) {}

    void Fill() override {
        ProgressPage::Fill();
        variant_ = PageRestoreVariant(set());
    }

  protected:
    // The first press asks before it overwrites files in the target.
    bool MayStart() override { return settings().currentVolume != 1 || ConfirmOverwrite(*this); }
    DriveOutcome Start() override { return RestoreStep(set(), variant_); }

  private:
    RestoreVariant variant_;
};

}  // namespace

std::unique_ptr<Page> MakeRestorePage1(MainWindow& window) {
    return std::make_unique<RestorePage1>(window);
}

std::unique_ptr<Page> MakeRestoreProgressPage(MainWindow& window) {
    return std::make_unique<RestoreProgressPage>(window);
}

}  // namespace tolvane::ui

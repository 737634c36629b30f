// The continue-extraction wizard: resumes a restore that stopped part-way.
// Page type 9 reads the header of any volume of the archive, takes the folder
// the restore went into and the number of the volume to start with; page
// type 10 positions the archive set at that volume (the files wholly before
// it count as restored, the file it cuts goes on where it was cut) and
// restores from there, every remaining volume in one press when the target
// has room for the whole archive, else one volume per press with the prompt
// for the next medium. Everything chosen lives in the window's shared state.
#include "engine/continue.h"
#include "engine/position.h"
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

// Whether the set has data at the start of volume currentVolume, so that
// PositionAtVolume can place it there. A header whose count promises more
// volumes than its data fill has none for the numbers beyond.
bool StartVolumeExists(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    if (s.currentVolume < 1 || s.currentVolume > s.volumeCount) return false;
    set.CalcHeaderSize();
    const VolumeExtent extent =
        VolumeDataExtent(s.volumeSize - set.headerSize, s.currentVolume, s.selfExtracting);
    return extent.start >= 0 && extent.start <= set.totalSize;
}

std::string NoSuchVolumeText(const ArchiveSettings& s) {
    std::string text = texts::WithName(texts::kNoSuchVolume, std::to_string(s.volumeCount));
    return texts::WithName(text.c_str(), std::to_string(s.currentVolume));
}

class ContinuePage1 : public ArchiveChoicePage {
  public:
    explicit ContinuePage1(MainWindow& window) : ArchiveChoicePage(window, kContinuePage1) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 90});
        AddLabel(id::kLabelSource, {15, 15, 25, 8}, "Quelle:");
        AddPictureButton(id::kSourceDriveA, {50, 15, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kSourceDriveB, {90, 15, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kSourceHardDisk, {130, 15, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelTarget, {185, 15, 29, 8}, "Ziel:");
        AddPictureButton(id::kTargetFolder, {230, 15, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelStartNumber, {15, 60, 140, 15},
                 "Starten bei Package Nummer:", TextAlign::MiddleLeft);
        AddTextButton(id::kMinus, {175, 60, 25, 15}, "-");
        AddLabel(id::kNumberText, {201, 60, 40, 15}, "", TextAlign::Center);
        AddTextButton(id::kPlus, {241, 60, 25, 15}, "+");
        AddArchiveSummaryGroup();
        AddPictureButton(id::kBack, {11, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {230, 160, 35, 29}, PictureRole::kNext);
    }

    void Fill() override {
        // The volume count is the header's: a set of empty files has one
        // volume, and the start number needs it to be chosen at all.
        SetText(id::kSourcePathText, settings().packagePath);
        ShowArchiveSummary();
        SetText(id::kTargetPathText, settings().targetPath);
        SetNumber(id::kNumberText, settings().currentVolume);
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
                return "Zielverzeichnis auswählen";
            case id::kMinus:
                return "Nummer - 1";
            case id::kPlus:
                return "Nummer + 1";
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
        ArchiveSettings& s = settings();
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            ChoosePackage(*root);
            return;
        }
        switch (controlId) {
            case id::kTargetFolder:
                if (BrowseForFolder(*this, &s.targetPath,
                                    "Bitte Zielverzeichnis für Wiederherstellungsvorgang "
                                    "auswählen") != 0) {
                    SetText(id::kTargetPathText, s.targetPath);
                }
                break;
            case id::kPlus:
                if (s.currentVolume < s.volumeCount) ++s.currentVolume;
                SetNumber(id::kNumberText, s.currentVolume);
                break;
            case id::kMinus:
                if (s.currentVolume > 1) --s.currentVolume;
                SetNumber(id::kNumberText, s.currentVolume);
                break;
            case id::kBack:
                w.GoTo(kStartPage);
                break;
            case id::kNext:
                if (s.targetPath.empty() || set().fileCount == 0) {
                    Warn(texts::kNoRestoreTarget);
                    return;
                }
                // Only a volume that holds data of this archive can be
                // started at; anything else would restore bytes into the
                // wrong place of the files.
                if (!StartVolumeExists(set())) {
                    Warn(NoSuchVolumeText(s));
                    return;
                }
                w.GoTo(kContinueProgressPage);
                break;
            default:
                break;
        }
    }

  private:
    // Any volume of the archive from the drive of root: every volume carries
    // the whole file table. A new package starts again at volume 1.
    void ChoosePackage(const std::string& root) {
        ArchiveSettings& s = settings();
        s.targetRoot = root;
        std::string path;
        std::string name;
        if (OpenPackage(*this, &path, &name, "Datei(en) auswählen") == 0) return;
        AdoptChosenPackage(path);
        SetNumber(id::kNumberText, s.currentVolume);
    }
};

class ContinueProgressPage : public ProgressPage {
  public:
    explicit ContinueProgressPage(MainWindow& window)
        : ProgressPage(window, kContinueProgressPage, kContinuePage1) {}

    void Fill() override {
        // The files before the start volume show as complete, the one it
        // cuts with the offset where it goes on, later ones with 0.
        PositionAtVolume(set());
        ProgressPage::Fill();
        startVolume_ = settings().currentVolume;
        // Any volume can be chosen on page 1 (package.exe as well), and the
        // position of every volume of such a set allows for the stub area,
        // so its volumes are read with their own layout.
        variant_ = PageRestoreVariant(set());
    }

  protected:
    bool MayStart() override {
        if (!StartVolumeExists(set())) {
            Warn(NoSuchVolumeText(settings()));
            return false;
        }
        if (settings().currentVolume != startVolume_) return true;
        // The first press: the file it goes on with must be in the target
        // (else it says which), and it asks before it overwrites later ones.
        return CheckContinuedFile(set()) != 0 && ConfirmOverwrite(*this);
    }
    DriveOutcome Start() override { return ContinueStep(set(), variant_); }

  private:
    int startVolume_ = 0;
    RestoreVariant variant_;
};

}  // namespace

std::unique_ptr<Page> MakeContinuePage1(MainWindow& window) {
    return std::make_unique<ContinuePage1>(window);
}

std::unique_ptr<Page> MakeContinueProgressPage(MainWindow& window) {
    return std::make_unique<ContinueProgressPage>(window);
}

}  // namespace tolvane::ui

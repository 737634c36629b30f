// The split wizard: page 1 (type 1) collects the source files, the target,
// the volume size and the self-extracting choice and shows what the archive
// will hold; page 2 (type 2) writes the volumes when "Starten" is pressed.
// Everything chosen lives in the window's ArchiveSettings and archive set, so
// either page can be rebuilt from them at any time.

#include <algorithm>
#include <string>

#include "engine/drivers.h"
#include "engine/platform/file_system.h"
#include "engine/sizing.h"
#include "engine/split_recovery.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"
#include "ui/pages/progress_page.h"

namespace tolvane::ui {

namespace {

// Recovery data for at most this many lost volumes can be chosen.
constexpr int kMostRecoveryVolumes = 99;

// The radio button of each offered medium and its volume size.
struct MediumButton {
    int controlId;
    int64_t volumeSize;
};
constexpr MediumButton kMediumButtons[] = {
    {id::kSize12MB, kSize12MB},
    {id::kSize144MB, kSize144MB},
    {id::kSize288MB, kSize288MB},
    {id::kSizeZip100, kSizeZip100},
};

// The radio button that stands for a volume size: the medium of exactly that
// size, "Benutzerdefiniert" for any other.
int RadioButtonFor(int64_t volumeSize) {
    for (const MediumButton& m : kMediumButtons) {
        if (m.volumeSize == volumeSize) return m.controlId;
    }
    return id::kSizeCustom;
}

class SplitPage1 : public Page {
  public:
    explicit SplitPage1(MainWindow& window) : Page(window, kSplitPage1) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 45});
        AddGroupFrame({5, 45, 270, 50});
        AddGroupFrame({5, 95, 270, 55});
        AddLabel(id::kLabelSource, {15, 10, 25, 8}, "Quelle:");
        AddPictureButton(id::kSourceFiles, {45, 10, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelTarget, {95, 10, 30, 8}, "Ziel:");
        AddPictureButton(id::kTargetDriveA, {130, 10, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kTargetDriveB, {180, 10, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kTargetHardDisk, {230, 10, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelDiskFormat, {15, 55, 95, 10}, "Diskformat:");
        AddRadioButton(id::kSize288MB, {130, 55, 35, 15}, "2,88 MB");
        AddRadioButton(id::kSize144MB, {180, 55, 35, 15}, "1,44 MB");
        AddRadioButton(id::kSize12MB, {230, 55, 35, 15}, "1,2 MB");
        AddCheckBox(id::kSelfExtracting, {15, 75, 100, 15}, "Selbstentpackendes Archiv!");
        AddRadioButton(id::kSizeZip100, {130, 75, 35, 15}, "ZIP100");
        AddRadioButton(id::kSizeCustom, {180, 75, 85, 15}, "Benutzerdefiniert");
        AddLabel(id::kLabelSummarySource, {10, 105, 40, 10}, "Quelle:");
        AddLabel(id::kSourcePathText, {50, 105, 220, 10}, "");
        AddLabel(id::kLabelSummaryTarget, {10, 120, 40, 8}, "Ziel:");
        AddLabel(id::kTargetPathText, {50, 120, 220, 10}, "");
        AddLabel(id::kLabelVolumeCount, {10, 135, 55, 10}, "Diskanzahl:");
        AddLabel(id::kVolumeCountText, {70, 135, 15, 10}, "");
        AddLabel(id::kLabelFileCount, {90, 135, 55, 10}, "Dateianzahl:");
        AddLabel(id::kFileCountText, {145, 135, 15, 10}, "");
        AddLabel(id::kLabelTotalSize, {165, 135, 50, 10}, "Gesamtgröße:");
        AddLabel(id::kTotalSizeText, {220, 135, 45, 10}, "");
        AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {235, 160, 35, 29}, PictureRole::kNext);
        // Below the summary, between the arrows: the only free room, so no
        // control of the table moves.
        AddCheckBox(id::kRecoveryData, {50, 155, 180, 12}, RecoveryChoiceText());
        AddTextButton(id::kRecoveryFewer, {62, 170, 20, 12}, "-");
        AddTextButton(id::kRecoveryMore, {86, 170, 20, 12}, "+");

        SelectSizeButton();
        SetChecked(id::kSelfExtracting, settings().selfExtracting == 1);
        SetChecked(id::kRecoveryData, settings().recoveryData == 1);
    }

    void Fill() override {
        SetText(id::kTargetPathText, settings().targetPath);
        SetText(id::kSourcePathText, set().sourceDir);
        SetText(id::kTotalSizeText, FormatThousands(set().totalSize));
        ShowVolumeCount();
        SetNumber(id::kFileCountText, set().fileCount);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kBack:
                return "Zurück";
            case id::kNext:
                return "Weiter";
            case id::kTargetDriveA:
                return "Archiv wird auf Laufwerk A erstellt";
            case id::kTargetDriveB:
                return "Archiv wird auf Laufwerk B erstellt";
            case id::kTargetHardDisk:
                return "Archiv wird auf Festplatte erstellt";
            case id::kSourceFiles:
                return "Quelldateien auswählen";
            case id::kSize288MB:
                return "Diskettenformat 3,5 2,88MB";
            case id::kSize12MB:
                return "Diskettenformat 5,25 1,2 MB";
            case id::kSize144MB:
                return "Diskettenformat 3,5 1,44MB";
            case id::kSizeZip100:
                return "Zieldatenträger: Iomega ZIP 100";
            case id::kSizeCustom:
                return "Benutzerdefinierte Archivgröße";
            case id::kSelfExtracting:
                return "Erzeugung eines selbstentpackenden Archivs!";
            case id::kRecoveryData:
                return "Wiederherstellungsdaten (PAR2) neben dem Archiv erzeugen";
            case id::kRecoveryFewer:
                return "Wiederherstellungsdaten für einen Datenträger weniger";
            case id::kRecoveryMore:
                return "Wiederherstellungsdaten für einen Datenträger mehr";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        ArchiveSettings& s = settings();
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            ChooseTarget(*root);
            return;
        }
        switch (controlId) {
            case id::kBack:
                w.GoTo(kStartPage);
                return;
            case id::kNext:
                Next();
                return;
            case id::kSourceFiles:
                ChooseSourceFiles();
                return;
            case id::kSizeCustom:
                if (const std::optional<int64_t> size =
                        w.dialogs().ChooseCustomSize(native(), s.volumeSize)) {
                    s.volumeSize = *size;
                    ShowVolumeCount();
                }
                // The selection always names the size in force, also after
                // Cancel or a custom size that is one of the media.
                SelectSizeButton();
                return;
            case id::kSelfExtracting:
                // The box as it stands, not a toggle: a press that reached
                // the page twice, or not at all, must not invert the choice.
                if (s.selfExtracting == (IsChecked(id::kSelfExtracting) ? 1 : 0)) return;
                s.selfExtracting = IsChecked(id::kSelfExtracting) ? 1 : 0;
                // The target shows the name the first volume is written
                // under: ".exe" when self-extracting, ".001" when not.
                if (!s.targetPath.empty()) {
                    s.targetPath = VolumeName(s.targetPath, 1, s.selfExtracting == 1);
                    SetText(id::kTargetPathText, s.targetPath);
                }
                ShowVolumeCount();
                return;
            case id::kRecoveryData:
                s.recoveryData = IsChecked(id::kRecoveryData) ? 1 : 0;
                return;
            case id::kRecoveryFewer:
            case id::kRecoveryMore:
                s.recoveryVolumes =
                    std::clamp(s.recoveryVolumes + (controlId == id::kRecoveryMore ? 1 : -1), 1,
                               kMostRecoveryVolumes);
                SetText(id::kRecoveryData, RecoveryChoiceText());
                return;
            default:
                break;
        }
        for (const MediumButton& m : kMediumButtons) {
            if (m.controlId == controlId) {
                s.volumeSize = m.volumeSize;
                ShowVolumeCount();
            }
        }
    }

  private:
    void SelectSizeButton() { SetChecked(RadioButtonFor(settings().volumeSize), true); }

    std::string RecoveryChoiceText() const {
        return texts::WithName(texts::kRecoveryChoice, std::to_string(settings().recoveryVolumes));
    }

    // UpdateVolumeCount, shown in 1022 with the data size (plus the stub
    // area when self-extracting) in 1021.
    void ShowVolumeCount() {
        const VolumeCountResult count = UpdateVolumeCount(set());
        SetNumber(id::kVolumeCountText, count.volumeCount);
        SetText(id::kTotalSizeText, FormatThousands(count.shownSize));
    }

    // The target step: the save chooser in root; a confirmed name starts the
    // split afresh from volume 1.
    void ChooseTarget(const std::string& root) {
        settings().targetRoot = root;
        if (SaveArchiveAs(*this) == 0) return;
        set().bytesDone = 0;
        settings().currentVolume = 1;
        SetText(id::kTargetPathText, settings().targetPath);
    }

    void ChooseSourceFiles() {
        SourceFiles chosen;
        if (OpenSourceFiles(*this, &chosen, "Datei(en) auswählen") == 0) return;
        QuellDateien& q = set();
        q.Reset();
        q.sourceDir = chosen.folder;
        // AddFile puts each file at the front: the list (and the archive)
        // holds them in the reverse of the chooser's order.
        for (const std::string& name : chosen.names) q.AddFile(name);
        SetText(id::kSourcePathText, q.sourceDir);
        q.bytesDone = 0;
        settings().currentVolume = 1;
        q.CalcHeaderSize();
        ShowVolumeCount();
        SetNumber(id::kFileCountText, q.fileCount);
    }

    void Next() {
        if (settings().targetPath.empty() || set().fileCount == 0) {
            Warn(texts::kNoSplitTarget);
            return;
        }
        // A set the archive cannot describe (too many files or volumes, a
        // size without room behind the header) is refused here, where the
        // size can still be changed.
        const std::string refusal = CheckSplitLimits(set());
        if (!refusal.empty()) {
            Warn(refusal);
            return;
        }
        // Recovery data for more volumes than the set has would be larger
        // than the set itself: said here, where the number can be changed.
        const ArchiveSettings& s = settings();
        if (s.recoveryData == 1 && s.recoveryVolumes > std::max(s.volumeCount, 1)) {
            Warn(texts::WithValues(texts::kRecoveryMoreThanSet, {std::to_string(s.recoveryVolumes),
                                                                 std::to_string(s.volumeCount)}));
            return;
        }
        // A medium that is write-protected (or a folder of another user) is
        // said here, not by a failed first volume.
        if (!CheckWritable(*this, platform::FolderOf(settings().targetPath))) return;
        window().GoTo(kSplitPage2);
    }
};

class SplitPage2 : public ProgressPage {
  public:
    explicit SplitPage2(MainWindow& window) : ProgressPage(window, kSplitPage2, kSplitPage1) {}

    void Initialise() override {
        ProgressPage::Initialise();
        // Under the volume bar, above the prompt: free room of the layout.
        AddLabel(id::kRecoverySizeText, {36, 150, 210, 10}, "", TextAlign::TopCenter);
    }

    void Fill() override {
        ProgressPage::Fill();
        const int64_t bytes = PlannedRecoveryBytes(set());
        SetText(id::kRecoverySizeText,
                bytes > 0 ? texts::WithName(texts::kRecoverySize, FormatThousands(bytes)) : "");
    }

  protected:
    DriveOutcome Start() override { return StartSplitWithRecovery(set()); }
};

}  // namespace

std::unique_ptr<Page> MakeSplitPage1(MainWindow& window) {
    return std::make_unique<SplitPage1>(window);
}

std::unique_ptr<Page> MakeSplitPage2(MainWindow& window) {
    return std::make_unique<SplitPage2>(window);
}

}  // namespace tolvane::ui

// The completion page (type 11): the last page of every operation. It names
// what was done (by the type of the progress page that finished), shows a
// summary of the archive and leads back to the start page.
#include "engine/recovery_restore.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"

namespace tolvane::ui {

namespace {

class CompletionPage : public Page {
  public:
    explicit CompletionPage(MainWindow& window) : Page(window, kCompletionPage) {}

    bool SetsPageTypeItself() const override { return true; }

    void Initialise() override {
        AddGroupFrame({5, 5, 270, 145});
        AddLabel(id::kHeadline, {10, 15, 260, 15}, "Operation abgeschlossen", TextAlign::TopCenter,
                 TextStyle::Bold);
        AddLabel(id::kLabelSummarySource, {20, 50, 35, 10}, "Quelle:");
        AddLabel(id::kSourcePathText, {60, 50, 205, 10}, "");
        AddLabel(id::kLabelSummaryTarget, {20, 60, 35, 8}, "Ziel:");
        AddLabel(id::kTargetPathText, {60, 60, 205, 8}, "");
        AddLabel(id::kLabelVolumeCount, {20, 70, 55, 8}, "Diskanzahl:");
        AddLabel(id::kVolumeCountText, {80, 70, 50, 8}, "");
        AddLabel(id::kLabelFileCount, {20, 80, 55, 8}, "Dateianzahl:");
        AddLabel(id::kFileCountText, {80, 80, 50, 8}, "");
        AddLabel(id::kLabelTotalSize, {20, 90, 60, 8}, "Gesamtgröße:");
        AddLabel(id::kTotalSizeText, {80, 90, 45, 8}, "");
        AddLabel(id::kCompletionNote, {20, 110, 240, 25}, "", TextAlign::TopCenter);
        AddLabel(id::kRecoverySizeText, {20, 100, 240, 8}, "");

        const ArchiveSettings& s = settings();
        switch (window().pageType()) {
            case kSplitPage2:
                SetText(id::kHeadline, "Archiv wurde erfolgreich erstellt");
                SetText(id::kCompletionNote,
                        s.selfExtracting == 1 ? "Es wurde ein selbstentpackendes Archiv erzeugt;\n"
                                                "Tolvane wird zur Wiederherstellung nicht benötigt."
                                              : "Es wurde kein selbstentpackendes Archiv erzeugt;\n"
                                                "zur Wiederherstellung wird Tolvane benötigt.");
                break;
            case kRestoreProgressPage:
            case kContinueProgressPage:
                SetText(id::kHeadline, "Archiv wurde erfolgreich entpackt");
                // Volumes the restore had to rebuild on the way are named.
                if (!set().rebuiltVolumes.empty()) {
                    SetText(
                        id::kCompletionNote,
                        texts::WithName(texts::kRebuiltNote, VolumeNames(set().rebuiltVolumes)));
                }
                break;
            case kRepairProgressPage:
                SetText(id::kHeadline, "Archiv wurde erfolgreich repariert");
                break;
            case kRecoveryRepairPage:
                SetText(id::kHeadline, "Archiv wurde erfolgreich repariert");
                SetText(id::kCompletionNote,
                        texts::WithName(texts::kRebuiltNote, VolumeNames(set().rebuiltVolumes)));
                break;
            default:
                break;
        }
        window().SetPageType(kCompletionPage);
        AddPictureButton(id::kOk, {10, 159, 35, 29}, PictureRole::kOk);
    }

    void Fill() override {
        ArchiveSettings& s = settings();
        QuellDateien& q = set();
        SetText(id::kTargetPathText, s.targetPath);
        SetText(id::kSourcePathText, q.sourceDir);
        // The count of the finished archive with the header size it was
        // made with: the same arithmetic that sized the split, so a set of
        // empty files counts its one header volume.
        const VolumeCountResult count = ComputeVolumeCount(q.totalSize, q.fileCount, q.headerSize,
                                                           s.volumeSize, s.selfExtracting);
        s.volumeCount = count.volumeCount;
        SetNumber(id::kVolumeCountText, count.volumeCount);
        SetText(id::kTotalSizeText, FormatThousands(count.shownSize));
        SetNumber(id::kFileCountText, q.fileCount);
        SetText(id::kRecoverySizeText,
                s.recoveryBytes > 0
                    ? texts::WithName(texts::kRecoverySize, FormatThousands(s.recoveryBytes))
                    : "");
    }

    std::string TooltipText(int controlId) const override {
        return controlId == id::kOk ? "Zurück" : "";
    }

    void Command(int controlId) override {
        if (controlId != id::kOk) return;
        MainWindow& w = window();
        w.DestroyPage();
        w.SetPageType(kStartPage);
        w.ShowPage(kStartPage);
    }
};

}  // namespace

std::unique_ptr<Page> MakeCompletionPage(MainWindow& window) {
    return std::make_unique<CompletionPage>(window);
}

}  // namespace tolvane::ui

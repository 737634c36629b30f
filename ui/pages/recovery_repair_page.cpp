// The repair road without originals (page type 12): any volume of an archive
// or one of its recovery files (.par2) is chosen, the list shows the state of
// every volume and the line below it what the recovery data can rebuild, and
// GO rebuilds the missing and damaged volumes byte for byte, checked against
// the recovery data, before the completion page names them. The page keeps
// nothing of its own: it checks the set beside packagePath whenever it is
// shown.
#include "engine/platform/file_system.h"
#include "engine/recovery_restore.h"
#include "engine/texts.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"
#include "ui/pages/progress_page.h"

namespace tolvane::ui {

namespace {

// The state column: one short word each.
const char* StateWord(VolumeState state) {
    switch (state) {
        case VolumeState::Ok:
            return "in Ordnung";
        case VolumeState::Missing:
            return "fehlt";
        case VolumeState::Damaged:
            return "beschädigt";
        case VolumeState::Foreign:
            return "fremd";
    }
    return "";
}

// What the recovery data can do for the checked set: rebuild which volumes,
// or why not (the command line's messages; nothing is written for them).
std::string Summary(platform::FileSystem& fs, const SetReport& report) {
    if (!report.refusal.empty()) return report.refusal;
    if (report.AllOk()) return texts::kSetIsWhole;
    if (!report.Rebuildable()) {
        std::vector<std::string> none;
        return RebuildSet(fs, report, "", &none);
    }
    std::vector<std::string> bad;
    for (const VolumeReport& v : report.volumes) {
        if (!v.listedOnly && v.state != VolumeState::Ok) bad.push_back(v.path);
    }
    return texts::WithName(texts::kCanRebuild, VolumeNames(bad));
}

class RecoveryRepairPage : public Page {
  public:
    explicit RecoveryRepairPage(MainWindow& window) : Page(window, kRecoveryRepairPage) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 55});
        AddLabel(id::kLabelRecoveryStep, {15, 6, 250, 10},
                 "Datenträger oder Wiederherstellungsdaten (.par2) auswählen");
        AddPictureButton(id::kSourceDriveA, {15, 18, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kSourceDriveB, {55, 18, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kSourceHardDisk, {95, 18, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kSourcePathText, {140, 28, 130, 8}, "");
        AddListView(id::kFileList, {10, 60, 260, 60});
        AddLabel(id::kRecoverySummary, {10, 123, 260, 16}, "");
        AddProgressBar(id::kVolumeBar, {35, 141, 210, 10});
        AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
        AddLabel(id::kStatusText, {75, 165, 130, 15}, "", TextAlign::TopCenter);
        AddPictureButton(id::kStart, {235, 160, 35, 29}, PictureRole::kGo);
    }

    void Fill() override {
        const std::string& chosen = settings().packagePath;
        SetText(id::kSourcePathText, chosen);
        SetListColumns(id::kFileList, {{"Nr.", 40}, {"Datenträger", 180}, {"Zustand", 150}});
        ClearList(id::kFileList);
        SetText(id::kRecoverySummary, "");
        if (chosen.empty()) return;
        platform::FileSystem& fs = window().fileSystem();
        const SetReport report = CheckSetFromIntact(fs, CheckPathOf(chosen));
        for (const VolumeReport& v : report.volumes) {
            if (v.listedOnly) continue;
            AddListRow(id::kFileList, {std::to_string(v.number),
                                       ShownName(platform::BaseName(v.path)), StateWord(v.state)});
        }
        SetText(id::kRecoverySummary, Summary(fs, report));
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kSourceDriveA:
                return "Laufwerk A auswählen";
            case id::kSourceDriveB:
                return "Laufwerk B auswählen";
            case id::kSourceHardDisk:
                return "Festplatte auswählen";
            case id::kBack:
                return "Zurück";
            case id::kStart:
                return "Starten";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        if (w.JobRunning()) {
            // During the rebuild Back is "Abbrechen".
            if (controlId == id::kBack) w.AskToStopJob();
            return;
        }
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            settings().targetRoot = *root;
            std::string path;
            std::string name;
            if (OpenPackage(*this, &path, &name, "Datenträger oder Wiederherstellungsdaten") == 0) {
                return;
            }
            settings().packagePath = path;
            Fill();
            return;
        }
        switch (controlId) {
            case id::kBack:
                // The other road starts afresh: what was chosen here may be
                // no volume at all.
                w.DestroyPage();
                w.ClearForNewOperation();
                w.ShowPage(kRepairPage1);
                break;
            case id::kStart: {
                if (settings().packagePath.empty()) {
                    Warn(texts::kNoRecoveryChosen);
                    return;
                }
                QuellDateien& q = set();
                const std::string chosen = settings().packagePath;
                RunDriver(*this, [&q, chosen] { return RebuildFromRecovery(q, chosen); });
                break;
            }
            default:
                break;
        }
    }
};

}  // namespace

std::unique_ptr<Page> MakeRecoveryRepairPage(MainWindow& window) {
    return std::make_unique<RecoveryRepairPage>(window);
}

}  // namespace tolvane::ui

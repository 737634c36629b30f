// The package information page: looks into any volume of any archive without
// touching the archive set. It has no type; OK brings back the page that was
// shown before, rebuilt from the shared state. The only shared value it
// writes is targetRoot, the chooser's initial folder.
#include "engine/package_info.h"
#include "engine/recovery_beside.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"

namespace tolvane::ui {

namespace {

class InformationPage : public Page {
  public:
    InformationPage(MainWindow& window, std::string initialPath)
        : Page(window, kUntypedPage), initialPath_(std::move(initialPath)) {}

    void Initialise() override {
        AddLabel(id::kLabelSource, {15, 15, 25, 8}, "Quelle:");
        AddPictureButton(id::kSourceDriveA, {50, 15, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kSourceDriveB, {100, 15, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kSourceHardDisk, {150, 15, 35, 29}, PictureRole::kHardDisk);
        // Between the drive buttons and the path: free room of the layout.
        AddLabel(id::kRecoveryBesideText, {10, 45, 260, 9}, "");
        AddLabel(id::kLabelSummarySource, {10, 55, 40, 10}, "Quelle:");
        AddLabel(id::kSourcePathText, {55, 55, 210, 10}, "");
        AddListView(id::kFileList, {10, 65, 260, 85},
                    {{"Nr.", 30}, {"Dateiname", 255}, {"Dateigröße", 85}});
        AddLabel(id::kLabelVolumeCount, {60, 160, 55, 10}, "Diskanzahl:");
        AddLabel(id::kVolumeCountText, {120, 160, 25, 10}, "");
        AddLabel(id::kLabelArchiveNumber, {160, 160, 50, 10}, "Archivnummer:");
        AddLabel(id::kNumberText, {210, 160, 60, 10}, "");
        AddLabel(id::kLabelFileCount, {60, 175, 60, 10}, "Dateianzahl:");
        AddLabel(id::kFileCountText, {120, 175, 25, 10}, "");
        AddLabel(id::kLabelTotalSize, {160, 175, 45, 10}, "Gesamtgröße:");
        AddLabel(id::kTotalSizeText, {210, 175, 60, 10}, "");
        AddPictureButton(id::kOk, {11, 160, 35, 29}, PictureRole::kOk);
    }

    void Fill() override {
        ShowZeros();
        SetText(id::kSourcePathText, "");
        if (!initialPath_.empty()) ShowPackage(initialPath_);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kSourceDriveA:
                return "Informationen zu Package in Laufwerk A";
            case id::kSourceDriveB:
                return "Informationen zu Package in Laufwerk B";
            case id::kSourceHardDisk:
                return "Informationen zu Package auf Festplatte";
            case id::kOk:
                return "Zurück";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            ChooseInfoPackage(*root);
            return;
        }
        switch (controlId) {
            case id::kOk:
                w.GoTo(w.pageType());
                break;
            default:
                break;
        }
    }

  private:
    void ShowZeros() {
        for (int id :
             {id::kFileCountText, id::kNumberText, id::kVolumeCountText, id::kTotalSizeText}) {
            SetNumber(id, 0);
        }
    }

    void ChooseInfoPackage(const std::string& root) {
        settings().targetRoot = root;
        std::string path;
        if (OpenInfoPackage(*this, &path) == 0) return;
        ShowPackage(path);
    }

    // The header of the file at path, or the reader's message (a file that
    // is no volume leaves zeros and an empty list).
    void ShowPackage(const std::string& path) {
        SetText(id::kSourcePathText, path);
        SetText(id::kRecoveryBesideText, "");
        const PackageInfo info = DiskInfoReadHeader(window().fileSystem(), path);
        if (info.status != PackageInfo::Status::Ok) {
            window().display().Message(info.messageText, info.messageCaption, info.messageIcon,
                                       Owner::Page);
            if (info.status == PackageInfo::Status::NotAPackage) {
                ShowZeros();
                ClearList(id::kFileList);
            }
            return;
        }
        SetNumber(id::kNumberText, info.volumeNumber);
        SetNumber(id::kVolumeCountText, info.volumeCount);
        SetNumber(id::kFileCountText, info.fileCount);
        SetText(id::kTotalSizeText, FormatThousands(info.totalSize));
        ClearList(id::kFileList);
        for (const PackageInfoRow& row : info.rows) {
            AddListRow(id::kFileList,
                       {std::to_string(row.number), row.name, FormatThousands(row.size)});
        }
        SetText(id::kRecoveryBesideText, RecoveryLine(path));
    }

    std::string RecoveryLine(const std::string& path) {
        const RecoveryBeside beside = FindRecoveryBeside(window().fileSystem(), path);
        if (beside.found) {
            return beside.volumes > 0
                       ? texts::WithName(texts::kRecoveryBesideFor, std::to_string(beside.volumes))
                       : texts::kRecoveryBesideTooLittle;
        }
        return beside.otherSet ? texts::kRecoveryBesideOtherSet : texts::kNoRecoveryBeside;
    }

    std::string initialPath_;
};

}  // namespace

std::unique_ptr<Page> MakeInformationPage(MainWindow& window) {
    return std::make_unique<InformationPage>(window, std::string());
}

std::unique_ptr<Page> MakeInformationPage(MainWindow& window, const std::string& path) {
    return std::make_unique<InformationPage>(window, path);
}

}  // namespace tolvane::ui

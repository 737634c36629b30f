// The repair wizard: writes one lost or damaged volume of an archive again,
// byte for byte, from an intact volume of the same archive and the archived
// files themselves.
//   page type 5: the intact volume and the number of the volume to create;
//   page type 6: the folder of the originals, and which files (and how much
//                of each) make up that volume;
//   page type 7: the drive or folder the volume is written to;
//   page type 8: the repair itself, with its progress.
// Page 2 positions the archive set at the volume each time it is shown; the
// repair runs only from that position. Everything chosen lives in the
// window's shared state, so each page can be rebuilt at any time.

#include "engine/platform/file_system.h"
#include "engine/repair.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "ui/framework/file_dialogs.h"
#include "ui/framework/ids.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"
#include "ui/pages/pages.h"
#include "ui/pages/progress_page.h"

namespace tolvane::ui {

namespace {

constexpr const char* kNoIntactVolume =
    "Bitte wählen Sie unbedingt eine Quelle und \n die Nummer des zu erzeugenden Packages aus!";
constexpr const char* kNoOriginalsFolder =
    "Bitte wählen Sie das Verzeichnis mit den Originaldateien aus!";
constexpr const char* kNoTarget = "Bitte wählen Sie den Zieldatenträger aus!";
// Page 2 without a position: the intact volume could not be read again (its
// medium was taken out, for instance to insert the target).
constexpr const char* kIntactVolumeUnreadable =
    "Das nicht beschädigte Archiv kann nicht mehr gelesen werden.\n"
    "Bitte legen Sie es wieder ein und wählen Sie es auf der vorigen Seite erneut aus!";

// The columns of page 2's list: the files of the volume, the size of each and
// the part of it the volume holds.
std::vector<ListColumn> SliceColumns() {
    return {{"Dateiname", 180}, {"Dateigröße", 95}, {"bearbeitet", 95}};
}

// "1.234.567" -> 1234567.
int64_t ParseThousands(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c >= '0' && c <= '9') value = value * 10 + (c - '0');
    }
    return value;
}

class RepairPage1 : public Page {
  public:
    explicit RepairPage1(MainWindow& window) : Page(window, kRepairPage1) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 90});
        AddGroupFrame({5, 95, 270, 55});
        AddLabel(id::kLabelRepairStep1, {15, 10, 250, 15},
                 "1. Nicht beschädigtes Archiv auswählen");
        AddPictureButton(id::kSourceDriveA, {15, 25, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kSourceDriveB, {61, 25, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kSourceHardDisk, {105, 25, 35, 29}, PictureRole::kHardDisk);
        // The road without originals, beside the drive buttons.
        AddTextButton(id::kRecoveryRoad, {150, 32, 118, 15}, "aus Wiederherstellungsdaten");
        AddLabel(id::kLabelRepairPath, {15, 65, 18, 8}, "Pfad:");
        AddLabel(id::kSourcePathText, {45, 65, 220, 8}, "");
        AddLabel(id::kLabelRepairStep2, {15, 105, 250, 15},
                 "2. Neu zu erstellendes Archiv selektieren");
        AddTextButton(id::kMinus, {175, 130, 25, 15}, "-");
        AddLabel(id::kNumberText, {201, 130, 40, 15}, "", TextAlign::Center);
        AddTextButton(id::kPlus, {241, 130, 25, 15}, "+");
        AddPictureButton(id::kBack, {11, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {230, 160, 35, 29}, PictureRole::kNext);
    }

    void Fill() override {
        SetText(id::kSourcePathText, settings().packagePath);
        SetNumber(id::kNumberText, settings().currentVolume);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kBack:
                return "Zurück";
            case id::kNext:
                return "Weiter";
            case id::kSourceDriveB:
                return "Laufwerk B auswählen";
            case id::kSourceDriveA:
                return "Laufwerk A auswählen";
            case id::kSourceHardDisk:
                return "Festplatte auswählen";
            case id::kPlus:
                return "Nummer + 1";
            case id::kMinus:
                return "Nummer - 1";
            case id::kRecoveryRoad:
                return "Ohne Originaldateien aus Wiederherstellungsdaten reparieren";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        ArchiveSettings& s = settings();
        if (const std::optional<std::string> root = DriveFolder(controlId)) {
            if (root->empty()) return;  // no medium: said so
            ChooseIntactVolume(*root);
            return;
        }
        switch (controlId) {
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
            case id::kRecoveryRoad:
                // A volume chosen here already is the set to look at there.
                w.GoTo(kRecoveryRepairPage);
                break;
            case id::kNext:
                if (set().fileCount == 0 || s.currentVolume == 0) {
                    Warn(kNoIntactVolume);
                    return;
                }
                w.GoTo(kRepairPage2);
                break;
            default:
                break;
        }
    }

  private:
    // Any volume of the archive: its header describes the whole archive. A
    // new volume starts the number again at 1.
    void ChooseIntactVolume(const std::string& root) {
        ArchiveSettings& s = settings();
        s.targetRoot = root;
        std::string path;
        std::string name;
        if (OpenPackage(*this, &path, &name, "Archiv selektieren") == 0) return;
        s.packagePath = path;
        if (set().readHeader() == 0) {
            // The reader has said why; no archive is chosen now, and the page
            // shows so (it would look the same rebuilt).
            s.packagePath.clear();
            s.volumeCount = 0;
            SetText(id::kSourcePathText, s.packagePath);
            return;
        }
        // A set of no files has nothing to re-create; saying so is clearer
        // than the request to choose a volume that Next would make.
        if (set().fileCount == 0) Warn(texts::kRepairNoFiles);
        set().bytesDone = 0;
        SetText(id::kSourcePathText, s.packagePath);
        set().CalcHeaderSize();
        s.currentVolume = 1;
        SetNumber(id::kNumberText, s.currentVolume);
    }
};

class RepairPage2 : public Page {
  public:
    explicit RepairPage2(MainWindow& window) : Page(window, kRepairPage2) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 65});
        AddLabel(id::kLabelRepairStep3, {15, 10, 250, 8},
                 "3. Pfad zu den im Archiv enthaltenen Quelldateien selektieren");
        AddPictureButton(id::kOriginalsFolder, {15, 25, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelRepairPath2, {65, 35, 20, 8}, "Pfad:");
        AddLabel(id::kTargetPathText, {91, 35, 160, 8}, "");
        AddListView(id::kFileList, {10, 75, 260, 75});
        AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {235, 160, 35, 29}, PictureRole::kNext);
    }

    // Reads the intact volume's header again and positions the set at the
    // volume to create; the list shows that volume's files. When the header
    // cannot be read (or the archive has no volume of that number), the
    // list stays empty and there is no position: Next refuses.
    void Fill() override {
        SetText(id::kTargetPathText, set().sourceDir);
        SetListColumns(id::kFileList, SliceColumns());
        ClearList(id::kFileList);
        // Nothing chosen (the page rebuilt without an archive): nothing to read.
        if (settings().packagePath.empty()) return;
        const std::optional<std::vector<SliceRow>> rows = SeekToVolume(set());
        if (!rows) return;
        for (const SliceRow& row : *rows) {
            AddListRow(id::kFileList,
                       {row.name, FormatThousands(row.size), FormatThousands(row.slice)});
        }
        // A folder chosen for another number (or archive) may lack files of
        // this volume: it is checked again, so the repair never begins with
        // an original missing.
        if (!set().sourceDir.empty()) CheckFolder(*rows);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kBack:
                return "Zurück";
            case id::kNext:
                return "Weiter";
            case id::kOriginalsFolder:
                return "Verzeichnis mit Orginaldateien wählen";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        switch (controlId) {
            case id::kOriginalsFolder:
                ChooseOriginalsFolder();
                break;
            case id::kBack:
                w.GoTo(kRepairPage1);
                break;
            case id::kNext:
                if (!HasRepairPosition(set())) {
                    Warn(NoPositionText());
                    return;
                }
                if (set().sourceDir.empty()) {
                    Warn(kNoOriginalsFolder);
                    return;
                }
                w.GoTo(kRepairPage3);
                break;
            default:
                break;
        }
    }

  private:
    // Why there is no position: the intact volume is unreadable now (the
    // set is empty), or its archive has no volume of the chosen number.
    std::string NoPositionText() const {
        const ArchiveSettings& s = settings();
        if (set().fileCount == 0) return kIntactVolumeUnreadable;
        std::string text = texts::WithName(texts::kNoSuchVolume, std::to_string(s.volumeCount));
        return texts::WithName(text.c_str(), std::to_string(s.currentVolume));
    }

    // The files of the volume as the list shows them: the name and the size
    // of each (the slice is not needed for the check).
    std::vector<SliceRow> ListedFiles() const {
        std::vector<SliceRow> rows;
        for (int i = 0; i < ListRowCount(id::kFileList); ++i) {
            rows.push_back({ListCell(id::kFileList, i, 0),
                            ParseThousands(ListCell(id::kFileList, i, 1)),
                            ParseThousands(ListCell(id::kFileList, i, 2))});
        }
        return rows;
    }

    // Only the files of the volume to create are needed, so only they are
    // checked: each must be there, readable and of its archived size.
    void ChooseOriginalsFolder() {
        if (BrowseForFolder(*this, &set().sourceDir,
                            "Verzeichnis mit Orginaldatei(en) auswählen") == 0) {
            return;
        }
        CheckFolder(ListedFiles());
    }

    // Keeps sourceDir when it holds every file of rows, else empties it and
    // says which file is missing or differs.
    void CheckFolder(const std::vector<SliceRow>& rows) {
        QuellDateien& q = set();
        const OriginalsCheck check = CheckOriginals(q, rows);
        if (check.status != OriginalsCheck::Status::Ok) q.sourceDir.clear();
        SetText(id::kTargetPathText, q.sourceDir);
        if (check.status != OriginalsCheck::Status::Ok) Warn(OriginalsRefusal(check));
    }
};

class RepairPage3 : public Page {
  public:
    explicit RepairPage3(MainWindow& window) : Page(window, kRepairPage3) {}

    void Initialise() override {
        AddGroupFrame({5, 0, 270, 120});
        AddLabel(id::kLabelRepairStep4, {15, 10, 250, 10},
                 "4. Zieldatenträger bzw. Verzeichnis auswählen");
        AddPictureButton(id::kTargetDriveA, {15, 30, 35, 29}, PictureRole::kDriveA);
        AddPictureButton(id::kTargetDriveB, {64, 30, 35, 29}, PictureRole::kDriveB);
        AddPictureButton(id::kTargetHardDisk, {114, 30, 35, 29}, PictureRole::kHardDisk);
        AddLabel(id::kLabelSummaryTarget, {15, 80, 55, 8}, "Ziel:");
        AddLabel(id::kTargetPathText, {70, 80, 195, 8}, "");
        AddLabel(0, {230, 105, 8, 10}, "#");
        AddLabel(id::kNumberText, {235, 105, 35, 8}, "", TextAlign::TopCenter);
        AddPictureButton(id::kBack, {11, 160, 35, 29}, PictureRole::kBack);
        AddPictureButton(id::kNext, {230, 160, 35, 29}, PictureRole::kNext);
    }

    void Fill() override {
        // A target chosen before names the volume of the archive and number
        // chosen now: both may have changed on page 1 since.
        ArchiveSettings& s = settings();
        if (!s.targetPath.empty() && !s.packagePath.empty()) {
            s.targetPath = RepairTargetPath(platform::FolderOf(s.targetPath), s.packagePath,
                                            s.currentVolume, s.selfExtracting);
        }
        SetNumber(id::kNumberText, s.currentVolume);
        SetText(id::kTargetPathText, s.targetPath);
    }

    std::string TooltipText(int controlId) const override {
        switch (controlId) {
            case id::kBack:
                return "Zurück";
            case id::kNext:
                return "Starten";
            case id::kTargetDriveA:
                return "Laufwerk A auswählen";
            case id::kTargetDriveB:
                return "Laufwerk B auswählen";
            case id::kTargetHardDisk:
                return "Festplatte auswählen";
            default:
                return {};
        }
    }

    void Command(int controlId) override {
        MainWindow& w = window();
        switch (controlId) {
            case id::kTargetDriveA:
            case id::kTargetDriveB: {
                const std::string folder = DriveFolder(controlId).value_or("");
                if (!folder.empty() && CheckWritable(*this, folder)) ComposeTarget(folder);
                break;
            }
            case id::kTargetHardDisk: {
                std::string folder;
                if (BrowseForFolder(*this, &folder, "Verzeichnis wähler") != 0) {
                    ComposeTarget(folder);
                }
                break;
            }
            case id::kBack:
                w.GoTo(kRepairPage2);
                break;
            case id::kNext:
                if (settings().targetPath.empty()) {
                    Warn(kNoTarget);
                    return;
                }
                w.GoTo(kRepairProgressPage);
                break;
            default:
                break;
        }
    }

  private:
    // The volume is named like the intact one, with its own number (or
    // "exe" for the first volume of a self-extracting archive).
    void ComposeTarget(const std::string& folder) {
        ArchiveSettings& s = settings();
        s.targetPath = RepairTargetPath(folder, s.packagePath, s.currentVolume, s.selfExtracting);
        SetText(id::kTargetPathText, s.targetPath);
    }
};

// The progress page of the repair: every file of the archive with its
// progress (the files before the volume complete), the volume bar, and GO!.
class RepairProgressPage : public ProgressPage {
  public:
    explicit RepairProgressPage(MainWindow& window)
        : ProgressPage(window, kRepairProgressPage, kRepairPage3) {}

    void Initialise() override {
        AddListView(id::kFileList, {10, 10, 260, 85});
        AddLabel(id::kLabelVolume, {37, 110, 115, 10}, "Diskstatus:");
        AddProgressBar(id::kVolumeBar, {35, 121, 210, 10});
        AddPictureButton(id::kBack, {10, 160, 35, 29}, PictureRole::kBack);
        AddLabel(id::kStatusText, {75, 165, 130, 15}, "", TextAlign::TopCenter);
        AddPictureButton(id::kStart, {235, 160, 35, 29}, PictureRole::kGo);
    }

  protected:
    DriveOutcome Start() override { return RunRepair(set()); }

    // Nothing has been written yet: the position page 2 took stays, so the
    // target can be changed and the repair started without reading the
    // intact volume again.
    void Back() override { window().GoTo(kRepairPage3); }
};

}  // namespace

std::unique_ptr<Page> MakeRepairPage1(MainWindow& window) {
    return std::make_unique<RepairPage1>(window);
}

std::unique_ptr<Page> MakeRepairPage2(MainWindow& window) {
    return std::make_unique<RepairPage2>(window);
}

std::unique_ptr<Page> MakeRepairPage3(MainWindow& window) {
    return std::make_unique<RepairPage3>(window);
}

std::unique_ptr<Page> MakeRepairProgressPage(MainWindow& window) {
    return std::make_unique<RepairProgressPage>(window);
}

}  // namespace tolvane::ui

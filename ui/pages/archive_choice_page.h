// The first page of the restore and of the continue wizard: a volume of an
// archive is chosen and the page sums up what the archive holds (source,
// target, volume count, file count, total size) in one group.
#pragma once

#include <string>

#include "engine/sizing.h"
#include "ui/framework/ids.h"
#include "ui/framework/page.h"

namespace tolvane::ui {

class ArchiveChoicePage : public Page {
  public:
    using Page::Page;

    // Reads the header of the chosen volume at path into the archive set and
    // shows it; the position starts again at volume 1. A file that is no
    // volume leaves no archive behind (the reader has said why): no count,
    // and no header to add to the size either.
    void AdoptChosenPackage(const std::string& path) {
        ArchiveSettings& s = settings();
        s.packagePath = path;
        const bool read = set().readHeader() != 0;
        if (!read) s.volumeCount = 0;
        set().bytesDone = 0;
        s.currentVolume = 1;
        SetText(id::kSourcePathText, s.packagePath);
        if (read) set().CalcHeaderSize();
        ShowArchiveSummary();
    }

  protected:
    // The summary group at the foot of the page.
    void AddArchiveSummaryGroup() {
        AddGroupFrame({5, 95, 270, 55});
        AddLabel(id::kLabelSummarySource, {10, 105, 40, 10}, "Quelle:");
        AddLabel(id::kSourcePathText, {50, 105, 220, 10}, "");
        AddLabel(id::kLabelSummaryTarget, {10, 120, 40, 8}, "Ziel:");
        AddLabel(id::kTargetPathText, {50, 120, 220, 10}, "");
        AddLabel(id::kLabelVolumeCount, {10, 135, 55, 10}, "Diskanzahl:");
        AddLabel(id::kVolumeCountText, {65, 135, 15, 10}, "");
        AddLabel(id::kLabelFileCount, {85, 135, 50, 10}, "Dateianzahl:");
        AddLabel(id::kFileCountText, {140, 135, 15, 10}, "");
        AddLabel(id::kLabelTotalSizeRestore, {160, 135, 55, 10}, "Gesamtgröße:");
        AddLabel(id::kTotalSizeText, {215, 135, 55, 10}, "");
    }

    // Size of the data plus one header, the header's volume count (a set of
    // empty files has one volume), the number of files.
    void ShowArchiveSummary() {
        const QuellDateien& q = set();
        SetText(id::kTotalSizeText, FormatThousands(q.totalSize + q.headerSize));
        SetNumber(id::kVolumeCountText, settings().volumeCount);
        SetNumber(id::kFileCountText, q.fileCount);
    }
};

}  // namespace tolvane::ui

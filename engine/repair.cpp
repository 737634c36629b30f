#include "engine/repair.h"

#include <algorithm>
#include <memory>

#include "engine/position.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

std::optional<std::vector<SliceRow>> SeekToVolume(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    const int number = s.currentVolume;
    // readHeader empties the set first and reports its own failures; an
    // empty set has no position to take.
    if (set.readHeader() == 0) return std::nullopt;
    set.CalcHeaderSize();
    const VolumeExtent extent =
        VolumeDataExtent(s.volumeSize - set.headerSize, number, s.selfExtracting);
    // Only a volume the writer can have produced for this header has a
    // position: its number within the count, its data not beyond the end of
    // the stream (the header-only last volume starts exactly there).
    if (set.head == nullptr || number < 1 || number > s.volumeCount || extent.start < 0 ||
        extent.start > set.totalSize) {
        return std::nullopt;
    }

    set.bytesDone = extent.start;
    WalkToStreamOffset(set, extent.start);
    set.repairStart = {number, set.current, set.current->done, set.currentIndex};

    // The slices: from the position on, each file's remaining bytes until the
    // volume's share of the stream is used up. A file that ends exactly at
    // the volume's end is its last row.
    std::vector<SliceRow> rows;
    int64_t pos = extent.start;
    const int64_t end =
        extent.length > INT64_MAX - extent.start ? INT64_MAX : extent.start + extent.length;
    for (const FileEntry* e = set.current; e != nullptr && pos < end; e = e->next) {
        const int64_t remaining = e->size - e->done;
        if (remaining > end - pos) {
            rows.push_back({e->Name(), e->size, end - pos});
            break;
        }
        rows.push_back({e->Name(), e->size, remaining});
        pos += remaining;
    }
    return rows;
}

bool HasRepairPosition(const QuellDateien& set) {
    const QuellDateien::RepairStart& r = set.repairStart;
    return r.volume != 0 && r.entry != nullptr && set.current == r.entry &&
           set.current->done == r.done && set.currentIndex == r.index;
}

std::string RepairTargetPath(const std::string& folder, const std::string& packagePath, int number,
                             int selfExtracting) {
    std::string path = folder;
    if (path.empty() || !platform::IsPathSeparator(path.back())) path += platform::kPathSeparator;
    path += platform::BaseName(packagePath);
    return VolumeName(path, number, selfExtracting == 1);
}

OriginalsCheck CheckOriginals(QuellDateien& set, const std::vector<SliceRow>& rows) {
    platform::FileSystem& fs = set.fs();
    for (const SliceRow& row : rows) {
        const std::string path = PathInFolder(set.sourceDir, "/" + row.name);
        platform::FileFacts facts;
        if (!fs.Stat(path, &facts) || !facts.isRegular ||
            !fs.Open(path, platform::OpenMode::Read)) {
            return {OriginalsCheck::Status::Missing, row.name};
        }
        if (facts.size != row.size) return {OriginalsCheck::Status::OtherSize, row.name};
    }
    return {};
}

std::string OriginalsRefusal(const OriginalsCheck& check) {
    // The name comes from a header: shown escaped, it cannot rewrite a line.
    const std::string name = EscapeControlCharacters(check.name);
    switch (check.status) {
        case OriginalsCheck::Status::Ok:
            return {};
        case OriginalsCheck::Status::Missing:
            return std::string(texts::kOriginalsMissing) + "\n" +
                   texts::WithName(texts::kOriginalNotFound, name);
        case OriginalsCheck::Status::OtherSize:
            return std::string(texts::kOriginalsMissing) + "\n" +
                   texts::WithName(texts::kOriginalOtherSize, name);
    }
    return {};
}

std::string CheckRepairTarget(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    platform::FileSystem& fs = set.fs();
    platform::FileId target;
    // A target that does not exist yet is no input.
    if (!platform::IdentityOf(fs, s.targetPath, &target)) return {};
    auto same = [&](const std::string& path) {
        platform::FileId id;
        return platform::IdentityOf(fs, path, &id) && id == target;
    };
    bool input = same(s.packagePath);
    for (const FileEntry* e = set.head; e != nullptr && !input; e = e->next) {
        input = same(PathInFolder(set.sourceDir, e->path));
    }
    return input ? texts::WithName(texts::kRepairTargetIsInput, s.targetPath) : std::string();
}

DriveOutcome RunRepair(QuellDateien& set) {
    if (!HasRepairPosition(set)) {
        set.CopyRep();  // reports that it cannot start
        return DriveOutcome::Stopped;
    }
    const std::string refusal = CheckRepairTarget(set);
    if (!refusal.empty()) {
        set.display().Message(refusal, texts::kAppCaption, Icon::Warning, Owner::Page);
        return DriveOutcome::Stopped;
    }
    if (!VolumeFits(set)) {
        ShowNoSpace(set.display());
        return DriveOutcome::Stopped;
    }
    set.display().SetStatusText(texts::kWorking);
    while (set.CopyRep() == 0) {
        if (set.StopRequested()) {
            // A partial volume would be taken for the damaged one again.
            set.fs().Remove(set.settings().targetPath);
            set.display().Message(
                texts::WithName(texts::kRepairInterrupted, set.settings().targetPath),
                texts::kAppCaption, Icon::Information, Owner::Page);
            return DriveOutcome::Interrupted;
        }
        if (set.RetryVolume() == 0) return DriveOutcome::Cancelled;
    }
    return DriveOutcome::Finished;
}

int QuellDateien::CopyRep() {
    ArchiveSettings& s = *settings_;
    const int number = s.currentVolume;
    // Anywhere else than at the start of the chosen volume the bytes written
    // would not be that volume's.
    if (!HasRepairPosition(*this) || repairStart.volume != number) {
        display_->Message(texts::kInternalError, texts::kCapCopyRep, Icon::Error, Owner::Page);
        return 0;
    }
    TakeVolumeSnapshot();
    s.targetPath = VolumeName(s.targetPath, number, s.selfExtracting == 1);
    CalcHeaderSize();
    static constexpr WriterCaptions kCaptions = {texts::kCapCopyRepMakeHeader,
                                                 texts::kCapCopyRepOpen2, texts::kCapCopyRepOpen3,
                                                 texts::kCapCopyRepRead, texts::kCapCopyRepWrite};
    return WriteVolume(s.targetPath, number, kCaptions, /*sourcesInFolder=*/true,
                       /*showOverall=*/false);
}

}  // namespace tolvane

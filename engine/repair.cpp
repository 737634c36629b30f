#include "engine/repair.h"

#include <algorithm>

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
    if (path.empty() || path.back() != '/') path += '/';
    const size_t slash = packagePath.find_last_of('/');
    path += slash == std::string::npos ? packagePath : packagePath.substr(slash + 1);
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

RepairOutcome RunRepair(QuellDateien& set) {
    if (!HasRepairPosition(set)) return RepairOutcome::NoPosition;
    if (!VolumeFits(set)) {
        ShowNoSpace(set.display());
        return RepairOutcome::NoSpace;
    }
    set.display().SetStatusText(texts::kWorking);
    while (set.CopyRep() == 0) {
        if (set.RetryVolume() == 0) return RepairOutcome::Cancelled;
    }
    return RepairOutcome::Repaired;
}

int QuellDateien::CopyRep() {
    ArchiveSettings& s = *settings_;
    const int number = s.currentVolume;
    std::unique_ptr<platform::File> volume;
    std::unique_ptr<platform::File> source;
    // Every failure closes what the call holds open, then reports.
    auto fail = [&](const char* text, const char* caption) {
        source.reset();
        volume.reset();
        display_->Message(text, caption, Icon::Error, Owner::Page);
        return 0;
    };
    // Anywhere else than at the start of the chosen volume the bytes written
    // would not be that volume's.
    if (!HasRepairPosition(*this) || repairStart.volume != number) {
        return fail(texts::kInternalError, texts::kCapCopyRep);
    }

    TakeVolumeSnapshot();
    s.targetPath = VolumeName(s.targetPath, number, s.selfExtracting == 1);
    // The stub area takes the front of the first volume of a self-extracting set.
    int64_t volumeFill = s.selfExtracting == 1 && number == 1 ? kStubAreaSize : 0;

    CalcHeaderSize();
    if (makeHeader(s.targetPath, number) == 0) {
        return fail(texts::kWriteError, texts::kCapCopyRepMakeHeader);
    }
    const int64_t capacity = s.volumeSize - headerSize;

    volume = fs_->Open(s.targetPath, platform::OpenMode::Append);
    if (!volume) return fail(texts::kWriteError, texts::kCapCopyRepOpen);
    source = fs_->Open(PathInFolder(sourceDir, current->path), platform::OpenMode::Read);
    if (!source) return fail(texts::kFileNotFound, texts::kCapCopyRepOpen2);
    if (!source->Seek(current->done)) return fail(texts::kReadError, texts::kCapCopyRepRead);

    std::vector<char> buffer(kChunkSize);
    while (volumeFill < capacity) {
        // Never more of a file than its stored size: an original that has
        // grown must not push foreign bytes into the volume.
        const int64_t want =
            std::min({capacity - volumeFill, kChunkSize, current->size - current->done});
        if (want <= 0) {
            // This file is complete; the volume goes on with the next one.
            source.reset();
            current = current->next;
            if (current == nullptr) {
                volume.reset();
                return 1;  // the stream ends in this, the last, volume
            }
            ++currentIndex;
            source = fs_->Open(PathInFolder(sourceDir, current->path), platform::OpenMode::Read);
            if (!source) return fail(texts::kFileNotFound, texts::kCapCopyRepOpen3);
            continue;
        }
        const int64_t n = source->Read(buffer.data(), want);
        // No bytes before the stored size: the original has shrunk, and the
        // volume cannot be the writer's.
        if (n <= 0) return fail(texts::kReadError, texts::kCapCopyRepRead);
        if (volume->Write(buffer.data(), n) != n) {
            return fail(texts::kWriteError, texts::kCapCopyRepWrite);
        }
        current->done += n;
        bytesDone += n;
        volumeFill += n;
        ShowProgress(volumeFill, capacity, /*showOverall=*/false);
        // Each chunk is on the medium before the next is read; a flush that
        // fails means it may not be.
        if (!volume->Flush()) return fail(texts::kWriteError, texts::kCapCopyRepWrite);
    }
    source.reset();
    volume.reset();
    display_->SetVolumeBar(0);
    return 1;
}

}  // namespace tolvane

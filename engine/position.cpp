#include "engine/position.h"

#include "engine/platform/wide_math.h"

namespace tolvane {

VolumeExtent VolumeDataExtent(int64_t capacity, int number, int selfExtracting) {
    VolumeExtent extent;
    if (capacity <= 0 || number < 1) return {-1, 0};
    if (selfExtracting == 1 && capacity <= kStubAreaSize) return {-1, 0};
    // 64-bit product; a header can claim a volume size no writer would use,
    // so an overflowing start is refused instead of wrapping.
    if (!platform::MulDiv(capacity, number - 1, 1, &extent.start)) return {-1, 0};
    extent.length = capacity;
    if (selfExtracting == 1) {
        if (extent.start == 0) {
            extent.length = capacity - kStubAreaSize;
        } else {
            extent.start -= kStubAreaSize;
        }
    }
    return extent;
}

std::string PathInFolder(const std::string& folder, const std::string& entryPath) {
    std::string path = folder;
    if (!path.empty() && platform::IsPathSeparator(path.back())) path.pop_back();
    return path + entryPath;
}

void WalkToStreamOffset(QuellDateien& set, int64_t offset) {
    for (FileEntry* e = set.head; e != nullptr; e = e->next) e->done = 0;
    set.currentIndex = 0;
    FileEntry* p = set.head;
    int64_t covered = 0;
    while (p != nullptr && covered < offset) {
        if (p->size >= offset - covered) {
            // The offset lies inside p, or exactly at its end.
            p->done = offset - covered;
            covered = offset;
        } else {
            p->done = p->size;
            covered += p->size;
            // Beyond the data: the last entry stays current, complete. Going
            // round again on it would count it twice (or never end when its
            // size is 0).
            if (p->next == nullptr) break;
            p = p->next;
            ++set.currentIndex;
        }
    }
    set.current = p;
}

int PositionAtVolume(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    set.CalcHeaderSize();
    VolumeExtent extent =
        VolumeDataExtent(s.volumeSize - set.headerSize, s.currentVolume, s.selfExtracting);
    const bool exists =
        s.currentVolume <= s.volumeCount && extent.start >= 0 && extent.start <= set.totalSize;
    const int64_t skip = exists ? extent.start : 0;
    set.bytesDone = skip;
    WalkToStreamOffset(set, skip);
    return exists ? 1 : 0;
}

}  // namespace tolvane

#include "engine/sizing.h"

#include <climits>

#include "engine/texts.h"

namespace tolvane {

int64_t ApplySizeStep(int64_t working, int64_t step) {
    const int64_t next = working + step;
    return next > kStubAreaSize ? next : working;
}

VolumeCountResult ComputeVolumeCount(int64_t totalSize, int fileCount, int64_t headerSize,
                                     int64_t volumeSize, int selfExtracting) {
    VolumeCountResult r;
    r.shownSize = selfExtracting == 1 ? totalSize + kStubAreaSize : totalSize;
    const int64_t capacity = volumeSize - headerSize;
    if (fileCount == 0 || capacity <= 0) return r;
    if (totalSize == 0) {
        // Empty files only: one volume that holds the header.
        r.volumeCount = 1;
        return r;
    }
    const int64_t quotient = r.shownSize / capacity;
    r.volumeCount = quotient >= INT_MAX ? INT_MAX : static_cast<int>(quotient) + 1;
    return r;
}

VolumeCountResult UpdateVolumeCount(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    set.CalcHeaderSize();
    const VolumeCountResult r = ComputeVolumeCount(set.totalSize, set.fileCount, set.headerSize,
                                                   s.volumeSize, s.selfExtracting);
    s.volumeCount = r.volumeCount;
    return r;
}

std::string CheckSplitLimits(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    if (set.fileCount == 0) return texts::kEmptyList;
    if (set.fileCount > kMaxFiles) return texts::kTooManyFiles;
    set.CalcHeaderSize();
    const int64_t reserved = set.headerSize + (s.selfExtracting == 1 ? kStubAreaSize : 0);
    if (s.volumeSize <= reserved) return texts::kVolumeTooSmall;
    const VolumeCountResult r = ComputeVolumeCount(set.totalSize, set.fileCount, set.headerSize,
                                                   s.volumeSize, s.selfExtracting);
    if (r.volumeCount > kMaxVolumes) return texts::kTooManyVolumes;
    return {};
}

std::string FormatThousands(int64_t value) {
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value)
                                            : static_cast<unsigned long long>(value);
    const std::string digits = std::to_string(magnitude);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += '.';
        out += digits[i];
    }
    if (negative) out.insert(out.begin(), '-');
    return out;
}

std::string RootOfPathText(const std::string& path) {
    if (path.size() < 3) return path;
    if (path[1] == ':' && path[2] == '\\') return path.substr(0, 3);
    if (path[0] == '\\' && path[1] == '\\') {
        int backslashes = 0;
        for (size_t i = 0; i < path.size(); ++i) {
            if (path[i] == '\\' && ++backslashes == 4) return path.substr(0, i + 1);
        }
    }
    return path;
}

std::string RootOfPath(platform::FileSystem& fs, const std::string& path) {
    const bool windowsStyle = (path.size() >= 3 && path[1] == ':' && path[2] == '\\') ||
                              (path.size() >= 2 && path[0] == '\\' && path[1] == '\\');
    if (windowsStyle) return RootOfPathText(path);
    return fs.MountPointOf(path);
}

int HasFreeSpace(platform::FileSystem& fs, const std::string& root, int64_t needed) {
    int64_t free = 0;
    if (!fs.FreeBytes(root, &free)) return 0;
    return free >= needed ? 1 : 0;
}

namespace {
int TargetHasRoom(QuellDateien& set, int64_t needed) {
    platform::FileSystem& fs = set.fs();
    return HasFreeSpace(fs, RootOfPath(fs, set.settings().targetPath), needed);
}
int64_t StubArea(const ArchiveSettings& s) {
    return s.selfExtracting == 1 ? kStubAreaSize : 0;
}
}  // namespace

int SetFits(QuellDateien& set) {
    return TargetHasRoom(set, set.totalSize + StubArea(set.settings()));
}

int VolumeFits(QuellDateien& set) {
    return TargetHasRoom(set, set.settings().volumeSize);
}

int AllVolumesFit(QuellDateien& set) {
    set.CalcHeaderSize();
    const ArchiveSettings& s = set.settings();
    return TargetHasRoom(set, set.headerSize * s.volumeCount + set.totalSize + StubArea(s));
}

}  // namespace tolvane

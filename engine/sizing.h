// Volume sizes, the volume count of a set, room on the target, and sizes as
// text with thousands separators.
#pragma once

#include <cstdint>
#include <string>

#include "engine/archive_set.h"

namespace tolvane {

// The media sizes offered for a split.
inline constexpr int64_t kSize12MB = 1179648;     // "1,2 MB"
inline constexpr int64_t kSize144MB = 1441792;    // "1,44 MB"
inline constexpr int64_t kSize288MB = 2883584;    // "2,88 MB"
inline constexpr int64_t kSizeZip100 = 99614720;  // "ZIP100"
inline constexpr int kMaxVolumes = 999;           // three-digit volume names
inline constexpr int kMaxFiles = 9999;            // four-digit header slot

// The steps of the custom size dialog take a new value only above the stub area.
int64_t ApplySizeStep(int64_t working, int64_t step);

struct VolumeCountResult {
    int volumeCount = 0;
    int64_t shownSize = 0;  // the data size shown beside the count
};

// Volume count of a set: data (plus the stub area when self-extracting)
// divided by the capacity behind the header, plus one. An empty list counts
// 0 volumes; a list of empty files is one volume. When the capacity is not
// positive the count is 0 (CheckSplitLimits refuses that size).
VolumeCountResult ComputeVolumeCount(int64_t totalSize, int fileCount, int64_t headerSize,
                                     int64_t volumeSize, int selfExtracting);

// CalcHeaderSize, then the count into settings.volumeCount.
VolumeCountResult UpdateVolumeCount(QuellDateien& set);

// Empty when the set can be split with the current settings, else the German
// message that refuses it (an empty list, too many files or volumes, a volume
// size that leaves no room behind the header).
std::string CheckSplitLimits(QuellDateien& set);

// 1234567 -> "1.234.567".
std::string FormatThousands(int64_t value);

// Root of a drive or network path by text alone: "C:\dir\f" -> "C:\",
// "\\server\share\dir\f" -> "\\server\share\"; anything else unchanged.
std::string RootOfPathText(const std::string& path);
// The root whose free space counts for path: for a POSIX path the mount point
// of the file system that holds it, else RootOfPathText.
std::string RootOfPath(platform::FileSystem& fs, const std::string& path);

// 1 when at least needed bytes are free for the caller under root.
int HasFreeSpace(platform::FileSystem& fs, const std::string& root, int64_t needed);

// Room checks on the target of settings.targetPath.
int SetFits(QuellDateien& set);        // the whole set's data (+ stub area)
int VolumeFits(QuellDateien& set);     // one full volume
int AllVolumesFit(QuellDateien& set);  // every header, the data and the stub area

// "Bitte einlegen: Datenträger#  N" into the status text.
void ShowInsertPrompt(QuellDateien& set);
std::string InsertPromptText(int volume);
// The no-space warning of split, continue and repair.
void ShowNoSpace(Display& display);

}  // namespace tolvane

// Re-creating one lost or damaged volume from an intact volume of the same
// archive (its header gives the file list and the layout) and the archived
// files themselves. The result is byte for byte the volume the split writer
// produced. QuellDateien::CopyRep (archive_set.h) writes the volume; the
// functions here position the set for it, list what the volume holds, check
// the originals and drive the write with its retry.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/archive_set.h"

namespace tolvane {

// One archived file's share of the volume to re-create.
struct SliceRow {
    std::string name;   // stored name
    int64_t size = 0;   // the whole file
    int64_t slice = 0;  // bytes of it in the volume
};

// Reads the header of settings.packagePath afresh and positions the set at
// the first data byte of volume currentVolume. Returns that volume's slices
// in list order (the first row may be a file that ends exactly where the
// volume begins, with a slice of 0). Returns no rows and leaves no position
// when readHeader fails (it has told the user why; the set is empty) or when
// the archive has no volume of that number (the set stays filled).
std::optional<std::vector<SliceRow>> SeekToVolume(QuellDateien& set);

// True while the set stands at the start of the volume SeekToVolume chose:
// CopyRep may run (again, after RetryVolume).
bool HasRepairPosition(const QuellDateien& set);

// The file a repaired volume is written to: folder, the file name of the
// intact volume with its last three characters replaced by the number (or
// "exe" for the first volume of a self-extracting archive).
std::string RepairTargetPath(const std::string& folder, const std::string& packagePath, int number,
                             int selfExtracting);

// Whether the originals of a volume's files are in set.sourceDir: each must
// be a readable regular file of its stored size (a file of another size
// would shift every later byte of the volume).
struct OriginalsCheck {
    enum class Status { Ok, Missing, OtherSize };
    Status status = Status::Ok;
    std::string name;  // the first file that failed
};
OriginalsCheck CheckOriginals(QuellDateien& set, const std::vector<SliceRow>& rows);

// The repair run of the wizard's progress page: room for one full volume on
// the target, then CopyRep with the retry question after every failure.
enum class RepairOutcome {
    NoPosition,  // SeekToVolume has not positioned the set; nothing done
    NoSpace,     // ShowNoSpace has told the user; nothing written
    Repaired,    // the volume is complete
    Cancelled,   // a failure, then Cancel on the retry question
};
RepairOutcome RunRepair(QuellDateien& set);

}  // namespace tolvane

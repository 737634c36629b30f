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
#include "engine/drivers.h"

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
// The refusal for a failed check: the general text, then which file.
std::string OriginalsRefusal(const OriginalsCheck& check);

// Empty when the volume can be written to targetPath, else the refusal: the
// target is the intact volume the set was read from, or one of the originals
// (writing would truncate what is to be read).
std::string CheckRepairTarget(QuellDateien& set);

// The repair page's "Starten": refuses without a position (CopyRep's
// report), a target that is one of the inputs, or too little room for one
// full volume (ShowNoSpace); then CopyRep with the retry question after
// every failure. Finished when the volume is complete.
DriveOutcome RunRepair(QuellDateien& set);

}  // namespace tolvane

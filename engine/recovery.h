// Recovery data for a set of volumes: PAR 2.0 files beside the volumes that
// let any chosen number of lost or damaged volumes be rebuilt byte for byte,
// the check of a set against them, and the rebuild. Any PAR 2.0 tool reads
// and repairs with the same files; files such a tool made over a set are read
// here as well.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/par2/creator.h"
#include "engine/par2/packets.h"
#include "engine/par2/repairer.h"

namespace tolvane {

// Buffers of a recovery computation stay within this, whatever the set's size.
inline constexpr uint64_t kRecoveryMemoryBudget = 40u << 20;

// "dir/package" for "dir/package.001", "dir/package.exe" or "dir/package.002".
std::string RecoveryBase(const std::string& volumePath);

// The recovery files beside a set's first volume that carry its name
// (BASE.par2, BASE.vol…par2), whatever set they were made for: a split
// under that name makes them stale, so it counts them as its own output.
std::vector<std::string> StaleRecoveryFiles(const std::string& firstVolumePath);

// How the recovery data of a set is cut.
struct RecoveryLayout {
    uint64_t sliceSize = 0;
    int slicesPerVolume = 0;  // at most; so lost volumes x this = slices needed
    int lostVolumes = 0;      // volumes that may be lost or damaged
    std::string indexPath;    // BASE.par2
    std::vector<par2::RecoveryFile> files;
    uint64_t bytes = 0;         // of all recovery files and the index together
    uint64_t archiveBytes = 0;  // of all volumes (set by PrepareRecovery)
};

// Chooses the slice size and the recovery files for volumes of at most
// largestVolume bytes. pieces: no recovery file larger than volumeSize (one
// per medium). criticalBytes(sliceSize) tells how long the packets every file
// repeats are. False when the set cannot have that much (more volumes lost
// than it has).
bool PlanRecovery(int volumeCount, int64_t volumeSize, int64_t largestVolume, int lostVolumes,
                  bool pieces, const std::string& base,
                  const std::function<uint64_t(uint64_t sliceSize)>& criticalBytes,
                  RecoveryLayout* layout);

// The recovery data of a set being written: its layout, its checksums, and
// the source of the volumes' bytes (the archived files, the header, the stub
// area; the volumes themselves are not read back).
class RecoveryJob {
  public:
    ~RecoveryJob();
    RecoveryLayout layout;
    par2::SetDescription description;
    std::unique_ptr<par2::InputSource> source;
};

// The layout PrepareRecovery would choose for the set under
// settings.targetPath, from the volumes' names and lengths alone (nothing is
// read): what the recovery data will take before it is written. False when
// the set cannot have that much.
bool PlanSetRecovery(QuellDateien& set, int lostVolumes, bool pieces, RecoveryLayout* layout);

// Plans the recovery data of the set just split (the volumes under
// settings.targetPath) and reads the sources once for the checksums. Empty
// on success, else a German message.
std::string PrepareRecovery(QuellDateien& set, int lostVolumes, bool pieces, RecoveryJob* job,
                            const par2::Progress& progress = {});

// Writes the index file and the recovery files [first, first + count) of the
// job. Empty on success, else a German message; files of a failed call are
// removed (the index too when the call wrote it). Both stop at the set's stop
// flag (SetStopFlag) with texts::kRecoveryStopped.
std::string WriteRecovery(QuellDateien& set, RecoveryJob& job, size_t first, size_t count,
                          const par2::Progress& progress = {});

// --- check and rebuild ---

enum class VolumeState { Ok, Missing, Damaged, Foreign };

struct VolumeReport {
    int number = 0;  // 0 for a file of the recovery set that is no volume
    // A file the recovery data lists that is none of the set's volumes (a
    // user's file, another .par2, a name outside the folder): reported,
    // never written. Checked only when it lies in the folder under a bare name.
    bool listedOnly = false;
    std::string path;
    VolumeState state = VolumeState::Missing;
    bool covered = false;  // the recovery data protects it
    uint64_t missingSlices = 0;
    par2::FileCheck check;
    size_t setFile = 0;  // index into recovery.files when covered
};

struct SetReport {
    // Not empty when no volume of the set could be read at all.
    std::string refusal;
    std::string folder;
    std::vector<VolumeReport> volumes;
    bool recoveryFound = false;
    par2::RecoverySet recovery;
    // The recovery data would make volumes of another set (another length
    // than the set's header gives a volume): not used.
    bool recoveryOfOtherSet = false;
    // Files beside the set with recovery data of another set that names
    // volumes of this name (bare names).
    std::vector<std::string> otherRecoveryFiles;
    // The set's header with the volume number left out; empty when no
    // volume's header could be read.
    std::string setHeader;
    uint64_t slicesNeeded = 0;
    uint64_t slicesAvailable = 0;
    uint64_t slicesPerVolume = 1;
    int damagedRecoveryPackets = 0;
    // A damaged or missing volume the recovery data does not cover.
    bool uncoveredDamage = false;

    bool AllOk() const;
    bool Rebuildable() const;
};

// Checks the whole set found beside volumePath.
SetReport CheckSet(platform::FileSystem& fs, const std::string& volumePath);

// Re-creates every missing or damaged volume of a checked set into outDir
// (empty: the volumes' own folder); no other file. Each is written to a new
// file created beside it and replaces the old one only after its checksum
// holds and its header is this set's; a volume of another set in the place
// of one is kept as NAME.fremd. Empty on success (paths of the new files in
// *rebuilt), else a German message; nothing is replaced when the recovery
// data does not suffice, is another set's, or *stop turns true.
std::string RebuildSet(platform::FileSystem& fs, const SetReport& report, const std::string& outDir,
                       std::vector<std::string>* rebuilt, const par2::Progress& progress = {},
                       const std::atomic<bool>* stop = nullptr);

// "1 Block", "3 Blöcke".
std::string BlockCount(uint64_t n);

// The line of a volume's state: "in Ordnung", "fehlt", "beschädigt",
// "gehört zu einem anderen Archiv".
const char* VolumeStateText(VolumeState state);

// A name read from recovery data as it may be shown on a terminal: control
// characters, stray bytes and backslashes written as escapes.
std::string ShownName(const std::string& name);

}  // namespace tolvane

// Volumes rebuilt from the recovery data beside a set, as the window asks for
// them: during a restore, when a volume is missing, damaged or another set's
// (the question goes through the display, the rebuild reports on the volume
// bar), and on the repair road that needs no originals.
#pragma once

#include <string>
#include <vector>

#include "engine/drivers.h"
#include "engine/extractor.h"
#include "engine/recovery.h"

namespace tolvane {

// The rebuilder a front end puts into its RestoreVariant (one for the whole
// program; it keeps no state).
const VolumeRebuilder* RecoveryRebuilder();

// The state of volume number of the set in hand from its header and length
// alone (no checksums): what the restore's question names. The set stands at
// the start of that volume.
VolumeState QuickVolumeState(QuellDateien& set, const RestoreVariant& variant, int number);

// The file a check of the set starts from when the user chose path: a volume
// as it is; for a recovery file (BASE.par2, BASE.volNN+MM.par2) the name of
// the first volume, BASE.001, whether it exists or not.
std::string CheckPathOf(const std::string& chosen);

// CheckSet from volumePath, or, when that volume is not whole itself, once
// more from a volume the recovery data finds whole: a check takes the set's
// header from the volume it starts from, and another set's volume in its
// place would make every volume of this set look foreign.
SetReport CheckSetFromIntact(platform::FileSystem& fs, const std::string& volumePath);

// Checks the set found beside volumePath and rebuilds every missing or
// damaged volume of it in place, with the status text and the volume bar
// showing how far it is. Nothing is written when the recovery data does not
// suffice. Empty on success (the new volumes' paths in *rebuilt and in
// set.rebuiltVolumes), else the message.
std::string CheckAndRebuild(QuellDateien& set, const std::string& volumePath,
                            std::vector<std::string>* rebuilt);

// The repair road's GO: rebuilds the set beside the chosen volume or recovery
// file. Finished with the set read from its first volume, targetPath naming
// what was rebuilt; Stopped after a message (nothing to do, too little
// recovery data); Interrupted when the user stopped it.
DriveOutcome RebuildFromRecovery(QuellDateien& set, const std::string& chosen);

// "package.002, package.004": the file names of paths.
std::string VolumeNames(const std::vector<std::string>& paths);

}  // namespace tolvane

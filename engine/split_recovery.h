// The split with recovery data as the window runs it: the volumes, then the
// recovery data for settings.recoveryVolumes lost or damaged volumes, written
// by the same code as `tolvane-cli split --recovery N`.
#pragma once

#include <cstdint>

#include "engine/archive_set.h"
#include "engine/drivers.h"

namespace tolvane {

// The split page's "Starten" when settings.recoveryData is 1 (else
// StartSplit). A press that writes every volume writes the recovery data
// beside them when the target has room for it. Otherwise (one volume per
// medium, or no room left) the recovery data follows on further media: the
// insert prompt names medium volumeCount + 1, and each press writes one
// recovery file no larger than a volume (the first with the index), with
// currentVolume counting on past volumeCount. recoveryBytes is set when all
// of it is written. A stop removes what the press began and leaves the
// outcome Interrupted.
DriveOutcome StartSplitWithRecovery(QuellDateien& set);

// The bytes the recovery data of the set will take, as the split will write
// it (beside the volumes when the whole set fits the target, else one file
// per medium); 0 when it is not wanted or cannot be made.
int64_t PlannedRecoveryBytes(QuellDateien& set);

}  // namespace tolvane

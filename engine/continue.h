// Continuing an extraction that stopped part-way: the set is positioned at
// the chosen volume (PositionAtVolume, position.h), the files wholly before
// it count as restored and are not touched, the file it cuts is continued
// where the earlier run left it, and the rest is restored as in any
// extraction.
#pragma once

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "engine/extractor.h"

namespace tolvane {

// Before a volume is restored into a file begun by an earlier run: that file
// must hold at least the bytes counted as done and no more than its stored
// size, or continuing it would leave a hole or foreign bytes in it. Reports
// a mismatch or a missing file (naming the file, caption "Tolvane") and
// returns 0, before anything is written.
int CheckContinuedFile(QuellDateien& set);

// The continue page's "Starten". Needs room for one full volume on the
// target; with room for the whole archive every remaining volume is restored
// in this call, else one volume followed by the prompt for the next medium.
// Too little room is reported with ShowNoSpace whatever the variant says;
// everything else (the extractor's failures, the retry question, which sets
// are accepted) as the variant does it.
DriveOutcome ContinueStep(QuellDateien& set, const RestoreVariant& variant = RestoreVariant());

}  // namespace tolvane

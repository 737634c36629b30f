// Continuing an extraction that stopped part-way: the set is positioned at
// the chosen volume (PositionAtVolume, position.h), the files wholly before
// it count as restored, the file it cuts is continued where the earlier run
// left it, and the rest is restored as in any extraction.
#pragma once

#include "engine/archive_set.h"

namespace tolvane {

// Before a volume is restored into a file begun by an earlier run: that file
// must hold at least the bytes counted as done and no more than its stored
// size, or continuing it would leave a hole or foreign bytes in it. Reports
// a mismatch (naming the file) and returns 0. A missing file is left to the
// extractor, which reports it when it opens the file.
int CheckContinuedFile(QuellDateien& set);

}  // namespace tolvane

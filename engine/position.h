// Where a volume's data lies in the archive stream (the concatenation of all
// archived files in list order), and positioning the archive set there.
// Shared by the continued extraction and the repair of one volume.
#pragma once

#include <cstdint>
#include <string>

#include "engine/archive_set.h"

namespace tolvane {

// The stream bytes one volume holds: its first stream offset and how many
// bytes follow (fewer on the last volume, where the stream ends).
struct VolumeExtent {
    int64_t start = 0;
    int64_t length = 0;  // the full share of a volume, not cut at the stream's end
};

// Extent of volume number (1-based) of a set whose volumes hold capacity
// bytes behind their headers. The first volume of a self-extracting set
// loses the stub area to the robot image, so every later volume starts that
// much earlier in the stream. A negative start means the numbers do not
// describe a set the writer can produce.
VolumeExtent VolumeDataExtent(int64_t capacity, int number, int selfExtracting);

// An archived file in a folder: the folder with one trailing "/" removed,
// then the entry's path ("/" + stored name). The originals a repair reads and
// the files an extraction writes are named this way.
std::string PathInFolder(const std::string& folder, const std::string& entryPath);

// Moves the set from its first entry to stream offset: every entry wholly
// before it is complete, the entry the offset cuts (or whose end it is
// exactly) becomes current with done = the offset inside it, later entries
// keep done 0. An offset beyond the data leaves the last entry current and
// complete. Sets currentIndex to the row of current. Works from a clean
// start whatever the set held before.
void WalkToStreamOffset(QuellDateien& set, int64_t offset);

// Positions the set for an extraction that starts at volume currentVolume
// (the earlier volumes count as restored): current, every done, currentIndex
// and bytesDone. Computes headerSize first. Returns 0, with the set at its
// start, when the set has no volume of that number.
int PositionAtVolume(QuellDateien& set);

}  // namespace tolvane

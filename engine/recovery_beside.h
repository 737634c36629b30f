// A quick look at the recovery data beside a volume, for showing it: the
// packet headers of the recovery files under the set's name are read, the
// slices themselves are skipped and nothing is checksummed, so a floppy is
// read in a moment. CheckSet is the check that counts.
#pragma once

#include <string>

#include "engine/platform/file_system.h"

namespace tolvane {

struct RecoveryBeside {
    // Recovery data that names this volume (its name and length) lies beside it.
    bool found = false;
    // Recovery files under the set's name describe another set only.
    bool otherSet = false;
    // How many lost or damaged volumes the recovery slices found rebuild.
    int volumes = 0;
};

RecoveryBeside FindRecoveryBeside(platform::FileSystem& fs, const std::string& volumePath);

}  // namespace tolvane

// Whether a folder takes new files, asked of the system rather than of a
// folder's mode bits: the answer must hold for read-only media and for
// folders of other users as well.
#pragma once

#include <string>

namespace tolvane::platform {

// True when path is an existing folder in which this process may create
// files.
bool IsWritableFolder(const std::string& path);

}  // namespace tolvane::platform

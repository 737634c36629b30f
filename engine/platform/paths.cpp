// Path helpers that depend on the system only through IsPathSeparator.
#include "engine/platform/file_system.h"

namespace tolvane::platform {

std::string BaseName(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return path.substr(i);
    }
    return path;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || IsPathSeparator(folder.back())) return folder + name;
    return folder + kPathSeparator + name;
}

}  // namespace tolvane::platform

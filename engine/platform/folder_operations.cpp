// Folder listing and renaming through the standard library: paths are UTF-8
// on every platform, so they go in and out as char8_t text.
#include <filesystem>
#include <system_error>

#include "engine/platform/file_system.h"

namespace tolvane::platform {
namespace {

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace

bool ListFolder(const std::string& folder, std::vector<std::string>* names) {
    std::error_code ec;
    std::filesystem::directory_iterator it(PathOf(folder.empty() ? "." : folder), ec);
    if (ec) return false;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (ec) return false;
        names->push_back(Utf8Of(it->path().filename()));
    }
    return true;
}

bool RenameFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::rename(PathOf(from), PathOf(to), ec);
    return !ec;
}

}  // namespace tolvane::platform

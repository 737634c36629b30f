#include "resources/help_file.h"

#include <filesystem>
#include <system_error>

#include "resources/pictures.h"

namespace tolvane {

std::string FindHelpFile(const std::string& programDir) {
    namespace fs = std::filesystem;
    if (programDir.empty()) return {};
    const fs::path dir(programDir);
    // TOLVANE_HELP_INSTALL_DIR is the install folder of the document relative to the program's
    // install folder, worked out by the build from the chosen install directories.
    for (const fs::path& candidate :
         {dir / kHelpFileName, dir / TOLVANE_HELP_INSTALL_DIR / kHelpFileName}) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate.lexically_normal().string();
    }
    return {};
}

}  // namespace tolvane

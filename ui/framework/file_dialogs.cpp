#include "ui/framework/file_dialogs.h"

#include "engine/platform/file_system.h"
#include "ui/framework/main_window.h"
#include "ui/framework/page.h"

namespace tolvane::ui {

namespace {

std::string FileNameOf(const std::string& path) {
    return platform::BaseName(path);
}

// The folder of a chosen file, with its trailing separator when keepSeparator.
std::string FolderOf(const std::string& path, bool keepSeparator) {
    const std::string folder = platform::FolderOf(path);
    return keepSeparator ? platform::JoinPath(folder, "") : folder;
}

// Without trailing separators, except for a root ("/", "C:\").
std::string WithoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && platform::IsPathSeparator(folder.back()) &&
           !(folder.size() == 3 && folder[1] == ':')) {
        folder.pop_back();
    }
    return folder;
}

std::vector<std::string> Run(Page& owner, ChooserRequest request) {
    request.owner = owner.native();
    return owner.window().dialogs().Choose(request);
}

int OpenOne(Page& owner, ChooserRequest request, std::string* path, std::string* name) {
    const std::vector<std::string> chosen = Run(owner, std::move(request));
    if (chosen.empty()) return 0;
    *path = chosen.front();
    if (name != nullptr) *name = FileNameOf(*path);
    return 1;
}

}  // namespace

int BrowseForFolder(Page& owner, std::string* path, const std::string& title) {
    ChooserRequest request;
    request.operation = ChooserOperation::BrowseForFolder;
    request.kind = ChooserKind::Folder;
    request.title = title;
    const std::vector<std::string> chosen = Run(owner, request);
    if (chosen.empty()) return 0;
    *path = WithoutTrailingSeparator(chosen.front());
    return 1;
}

int OpenSourceFiles(Page& owner, SourceFiles* files, const std::string& title) {
    ChooserRequest request;
    request.operation = ChooserOperation::OpenSourceFiles;
    request.kind = ChooserKind::OpenFiles;
    request.title = title;
    request.filterText = "Alle Dateien (*.*)";
    request.filterPattern = "*.*";
    request.defaultSuffix = "exe";
    const std::vector<std::string> chosen = Run(owner, request);
    if (chosen.empty()) return 0;
    files->folder = FolderOf(chosen.front(), chosen.size() == 1);
    files->names.clear();
    for (const std::string& path : chosen) files->names.push_back(FileNameOf(path));
    return 1;
}

int OpenFirstVolume(Page& owner, std::string* path, std::string* name, const std::string& title) {
    ChooserRequest request;
    request.operation = ChooserOperation::OpenFirstVolume;
    request.kind = ChooserKind::OpenFile;
    request.title = title;
    request.filterText = "Archive  (*.001)";
    request.filterPattern = "*.001";
    request.initialFolder = owner.settings().targetRoot;
    request.defaultSuffix = "001";
    return OpenOne(owner, request, path, name);
}

int OpenPackage(Page& owner, std::string* path, std::string* name, const std::string& title) {
    ChooserRequest request;
    request.operation = ChooserOperation::OpenPackage;
    request.kind = ChooserKind::OpenFile;
    request.title = title;
    request.filterText = "Archive (*.001,*.002,...)";
    request.filterPattern = "*.*";
    request.initialFolder = owner.settings().targetRoot;
    request.defaultSuffix = "001";
    return OpenOne(owner, request, path, name);
}

int OpenInfoPackage(Page& owner, std::string* path) {
    ChooserRequest request;
    request.operation = ChooserOperation::OpenInfoPackage;
    request.kind = ChooserKind::OpenFile;
    request.title = "Package auswählen";
    request.filterText = "Packages (*.*)";
    request.filterPattern = "*.*";
    request.initialFolder = owner.settings().targetRoot;
    request.defaultSuffix = "001";
    return OpenOne(owner, request, path, nullptr);
}

int SaveArchiveAs(Page& owner) {
    ArchiveSettings& s = owner.settings();
    const bool exe = s.selfExtracting == 1;
    ChooserRequest request;
    request.operation = ChooserOperation::SaveArchiveAs;
    request.kind = ChooserKind::SaveFile;
    request.title = "Archiv speichern";
    request.filterText = exe ? "Archive  (*.exe)" : "Archive  (*.001)";
    request.filterPattern = exe ? "*.exe" : "*.001";
    request.initialFolder = s.targetRoot;
    request.initialName = !s.targetPath.empty() ? s.targetPath
                          : exe                 ? "package.exe"
                                                : "package.001";
    request.defaultSuffix = exe ? "exe" : "001";
    const std::vector<std::string> chosen = Run(owner, request);
    if (chosen.empty()) return 0;
    s.targetPath = chosen.front();
    // The writer replaces the last three characters of the name with each
    // volume's number. A name of fewer than four characters gets the default
    // extension, so that the replacement never reaches into the folder's
    // path and every volume lands in the chosen folder.
    if (FileNameOf(s.targetPath).size() < 4) s.targetPath += "." + request.defaultSuffix;
    return 1;
}

}  // namespace tolvane::ui

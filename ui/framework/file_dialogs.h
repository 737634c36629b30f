// The shared file and folder choosers of the wizard pages. Each builds the
// request its pages need (title, filter, initial folder, default extension)
// and hands it to the window's Dialogs, which a test answers. All return 1
// when the user chose something and 0 when they cancelled (nothing changed).
#pragma once

#include <string>
#include <vector>

namespace tolvane::ui {

class Page;

// A folder chooser; path receives the folder's full path (no trailing "/"
// except for "/" itself).
int BrowseForFolder(Page& owner, std::string* path, const std::string& title);

// Source files chosen at once in one folder. One file: folder is the file's
// path up to and including its last "/", names holds the file name. Several
// files: folder is the folder without a trailing "/", names the file names
// in the order the chooser returned them.
struct SourceFiles {
    std::string folder;
    std::vector<std::string> names;
};
int OpenSourceFiles(Page& owner, SourceFiles* files, const std::string& title);

// One existing first volume ("Archive  (*.001)"), starting in targetRoot;
// path receives the full path, name the file name alone.
int OpenFirstVolume(Page& owner, std::string* path, std::string* name, const std::string& title);

// One existing volume of any number ("Archive (*.001,*.002,...)", every
// file shown), starting in targetRoot.
int OpenPackage(Page& owner, std::string* path, std::string* name, const std::string& title);

// The information page's chooser: any file ("Packages (*.*)"), title
// "Package auswählen", starting in targetRoot.
int OpenInfoPackage(Page& owner, std::string* path);

// The split target: a save chooser that asks before overwriting, starting in
// targetRoot with the name targetPath, or "package.exe" / "package.001"
// when that is empty; on OK the chosen path goes into targetPath (a file
// name shorter than four characters with ".001" or ".exe" added).
int SaveArchiveAs(Page& owner);

}  // namespace tolvane::ui

// The desktop services of the Windows window: message boxes, the common file
// and folder choosers, and the shell (open, start, find a program, the drive
// buttons' folders, formatting a floppy). Paths are UTF-8 inside and UTF-16 at
// the API, as everywhere in the Win32 parts.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The framework's services header, in the folder of the neutral framework
// once it has one.
#if __has_include("ui/framework/services.h")
#include "ui/framework/services.h"
#else
#include "ui/services.h"
#endif

namespace tolvane::ui::win32 {

// The framework's owner of a box or chooser (a request's `owner`).
using RequestOwner = decltype(MessageRequest::owner);
// The window that owns a box or chooser, for the owner a request names. Left
// empty, the owner is taken as the native window itself (nullptr: none).
using OwnerWindow = std::function<HWND(RequestOwner owner)>;
HWND NativeOwner(const OwnerWindow& ownerWindow, RequestOwner owner);

// --- Message boxes -------------------------------------------------------

// A modal MessageBoxW with German buttons on every system language (the
// buttons are renamed as the box opens). Closing a Yes/No box answers No,
// any other box answers Cancel (Ok for a box with only OK).
MessageResult ShowMessageBox(HWND owner, const MessageRequest& request);

// The button texts the boxes show, by dialog command id (IDOK ... IDNO).
const wchar_t* GermanButtonText(int commandId);

class Win32MessageBoxes : public MessageBoxes {
  public:
    explicit Win32MessageBoxes(OwnerWindow ownerWindow = {})
        : ownerWindow_(std::move(ownerWindow)) {}
    MessageResult Show(const MessageRequest& request) override;

  private:
    OwnerWindow ownerWindow_;
};

// --- Choosers ------------------------------------------------------------

// The folders last chosen in each chooser: a chooser starts where the same
// chooser last ended (see StartFolder). Without a registry key they are kept
// for this run only; with one (below HKEY_CURRENT_USER) across runs, each
// chooser's folder as the value "folder<number of its operation>".
class FolderMemory {
  public:
    explicit FolderMemory(std::wstring registryKey = {}) : registryKey_(std::move(registryKey)) {}
    std::string Recall(ChooserOperation operation) const;
    void Remember(ChooserOperation operation, const std::string& folder);

  private:
    std::wstring registryKey_;
    mutable std::map<ChooserOperation, std::string> folders_;
};

// Where the archiver keeps what it remembers across runs.
inline constexpr const wchar_t* kRegistryKey = L"Software\\Tolvane";

// The folder a chooser starts in: the one it last ended in when that is
// still a folder and lies in the folder the request names (any, when it
// names none), else the request's folder.
std::string StartFolder(const std::string& remembered, const std::string& requested,
                        const std::function<bool(const std::string&)>& isFolder);

// The result of an explorer-style multiple selection: the folder, then the
// names, each ended by NUL, the list ended by a second NUL; one file alone
// comes as its full path. Names that are already full paths are kept.
std::vector<std::wstring> SplitMultiSelection(const wchar_t* buffer, size_t size);

// A path as the pages expect it: no trailing separator except for a root ("C:\").
std::wstring WithoutTrailingSeparator(std::wstring path);

// The filter of an Open/Save chooser: "text\0pattern\0\0", or every file when
// the request names none.
std::wstring ChooserFilter(const ChooserRequest& request);

// Shows the chooser of `request` over `owner`; full UTF-8 paths, empty when
// the user cancelled. `memory` (may be null) supplies and keeps the folder.
std::vector<std::string> ShowChooser(HWND owner, const ChooserRequest& request,
                                     FolderMemory* memory);

class Win32Dialogs : public Dialogs {
  public:
    // registryKey: see FolderMemory.
    explicit Win32Dialogs(OwnerWindow ownerWindow = {}, std::wstring registryKey = {})
        : ownerWindow_(std::move(ownerWindow)), memory_(std::move(registryKey)) {}
    std::vector<std::string> Choose(const ChooserRequest& request) override;
    // The custom size dialog is a page-built modal window; until the pages
    // can be hosted natively, the caller's `customSize` hook answers it.
    std::optional<int64_t> ChooseCustomSize(RequestOwner owner, int64_t volumeSize) override;
    std::function<std::optional<int64_t>(HWND, int64_t)> customSize;

  private:
    OwnerWindow ownerWindow_;
    FolderMemory memory_;
};

// --- Shell ---------------------------------------------------------------

// One argument of a command line as the C runtime's parser reads it back:
// quoted when it holds blanks or quotes (or is empty), with backslashes
// doubled only where they precede a quote.
std::wstring QuoteArgument(const std::wstring& argument);

// The drive buttons' folders, from the drives present (bit n of `drives` is
// drive 'A' + n), whether a drive has a medium, and the documents folder.
DriveRoots MapDriveRoots(DWORD drives, const std::function<bool(wchar_t letter)>& hasMedium,
                         const std::string& documents);

// The user's documents folder; the profile folder, then "C:\" when unknown.
std::string DocumentsFolder();

// The system's format dialog for floppy drive 0 (A:) or 1 (B:) over `owner`;
// false when the drive cannot be formatted or the user cancelled.
bool FormatDrive(HWND owner, int driveNumber);

class Win32Shell : public Shell {
  public:
    bool OpenPath(const std::string& path) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    std::string FindProgram(const std::string& name) override;
    DriveRoots CurrentDriveRoots() override;
    void Quit(int exitCode) override;
    // The system's format dialog (FormatDrive), owned by owner's window.
    bool FormatFloppy(int driveNumber, NativeWindow owner) override;
};

}  // namespace tolvane::ui::win32

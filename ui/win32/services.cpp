#include "ui/win32/services.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "engine/platform/win32_text.h"

namespace tolvane::ui::win32 {

using platform::Narrow;
using platform::Widen;

// --- Message boxes -------------------------------------------------------

namespace {

// The hook that renames the box's buttons lives on the thread showing it,
// for the length of MessageBoxW; the first dialog it sees open is the box
// (later ones, such as a chooser opened by a queued call meanwhile, keep
// their buttons).
struct ButtonHook {
    HHOOK hook = nullptr;
    bool renamed = false;
};
thread_local ButtonHook* tButtonHook = nullptr;

LRESULT CALLBACK RenameButtons(int code, WPARAM wParam, LPARAM lParam) {
    ButtonHook* current = tButtonHook;
    if (code == HCBT_ACTIVATE && current != nullptr && !current->renamed) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        ::GetClassNameW(box, className, 16);
        if (lstrcmpW(className, L"#32770") == 0) {
            current->renamed = true;
            for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO}) {
                if (HWND button = ::GetDlgItem(box, id)) {
                    ::SetWindowTextW(button, GermanButtonText(id));
                }
            }
        }
    }
    return ::CallNextHookEx(current != nullptr ? current->hook : nullptr, code, wParam, lParam);
}

UINT IconStyle(Icon icon) {
    switch (icon) {
        case Icon::Error:
            return MB_ICONERROR;
        case Icon::Warning:
            return MB_ICONWARNING;
        case Icon::Question:
            return MB_ICONQUESTION;
        case Icon::Information:
            return MB_ICONINFORMATION;
        case Icon::None:
            break;
    }
    return 0;
}

}  // namespace

const wchar_t* GermanButtonText(int commandId) {
    switch (commandId) {
        case IDOK:
            return L"OK";
        case IDCANCEL:
            return L"Abbrechen";
        case IDRETRY:
            return L"&Wiederholen";
        case IDYES:
            return L"&Ja";
        case IDNO:
            return L"&Nein";
        default:
            return L"";
    }
}

MessageResult ShowMessageBox(HWND owner, const MessageRequest& request) {
    UINT style = IconStyle(request.icon) | (owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL);
    switch (request.buttons) {
        case MessageButtons::Ok:
            style |= MB_OK;
            break;
        case MessageButtons::RetryCancel:
            style |= MB_RETRYCANCEL;
            break;
        case MessageButtons::YesNo:
            style |= MB_YESNO;
            break;
    }
    ButtonHook* const outer = tButtonHook;
    ButtonHook hook;
    hook.hook = ::SetWindowsHookExW(WH_CBT, RenameButtons, nullptr, ::GetCurrentThreadId());
    tButtonHook = &hook;
    const int answer =
        ::MessageBoxW(owner, Widen(request.text).c_str(), Widen(request.caption).c_str(), style);
    if (hook.hook != nullptr) ::UnhookWindowsHookEx(hook.hook);
    tButtonHook = outer;
    switch (answer) {
        case IDRETRY:
            return MessageResult::Retry;
        case IDYES:
            return MessageResult::Yes;
        case IDNO:
            return MessageResult::No;
        case IDOK:
            return MessageResult::Ok;
        default:  // IDCANCEL, or 0 when the box could not be shown
            if (request.buttons == MessageButtons::YesNo) return MessageResult::No;
            return request.buttons == MessageButtons::Ok ? MessageResult::Ok
                                                         : MessageResult::Cancel;
    }
}

HWND NativeOwner(const OwnerWindow& ownerWindow, RequestOwner owner) {
    if (ownerWindow) return ownerWindow(owner);
    return static_cast<HWND>(static_cast<void*>(owner));
}

MessageResult Win32MessageBoxes::Show(const MessageRequest& request) {
    return ShowMessageBox(NativeOwner(ownerWindow_, request.owner), request);
}

// --- Choosers ------------------------------------------------------------

namespace {
std::wstring FolderValueName(ChooserOperation operation) {
    return L"folder" + std::to_wstring(static_cast<int>(operation));
}
}  // namespace

std::string FolderMemory::Recall(ChooserOperation operation) const {
    const auto found = folders_.find(operation);
    if (found != folders_.end()) return found->second;
    if (registryKey_.empty()) return {};
    wchar_t folder[32768] = {};
    DWORD size = sizeof folder - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, registryKey_.c_str(), FolderValueName(operation).c_str(),
                       RRF_RT_REG_SZ, nullptr, folder, &size) != ERROR_SUCCESS) {
        return {};
    }
    return folders_[operation] = Narrow(folder);
}

void FolderMemory::Remember(ChooserOperation operation, const std::string& folder) {
    if (folder.empty()) return;
    folders_[operation] = folder;
    if (registryKey_.empty()) return;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, registryKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring wide = Widen(folder);
    ::RegSetValueExW(key, FolderValueName(operation).c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(wide.c_str()),
                     static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}

std::string StartFolder(const std::string& remembered, const std::string& requested,
                        const std::function<bool(const std::string&)>& isFolder) {
    if (remembered.empty()) return requested;
    const std::wstring inner = Widen(remembered);
    std::wstring outer = Widen(requested);
    // Drive letters and names compare without case, as the file system does.
    const bool inside =
        outer.empty() ||
        (inner.size() >= outer.size() &&
         ::CompareStringOrdinal(inner.c_str(), static_cast<int>(outer.size()), outer.c_str(),
                                static_cast<int>(outer.size()), TRUE) == CSTR_EQUAL &&
         (inner.size() == outer.size() || outer.back() == L'\\' || outer.back() == L'/' ||
          inner[outer.size()] == L'\\' || inner[outer.size()] == L'/'));
    return inside && isFolder(remembered) ? remembered : requested;
}

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsFullPath(const std::wstring& path) {
    return (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) ||
           (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || IsSeparator(folder.back())) return folder + name;
    return folder + L"\\" + name;
}

std::wstring FolderOfPath(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    return WithoutTrailingSeparator(path.substr(0, slash + 1));
}

constexpr DWORD kFirstBuffer = 32 * 1024;  // characters; grown when a selection needs more

std::vector<std::string> Narrowed(const std::vector<std::wstring>& paths) {
    std::vector<std::string> out;
    for (const std::wstring& p : paths) out.push_back(Narrow(p));
    return out;
}

std::vector<std::wstring> OpenOrSave(HWND owner, const ChooserRequest& request,
                                     const std::wstring& initialFolder) {
    const bool save = request.kind == ChooserKind::SaveFile;
    const bool many = request.kind == ChooserKind::OpenFiles;
    const std::wstring filter = ChooserFilter(request);
    const std::wstring title = Widen(request.title);
    std::wstring suffix = Widen(request.defaultSuffix);
    if (!suffix.empty() && suffix[0] == L'.') suffix.erase(0, 1);
    std::wstring buffer(kFirstBuffer, L'\0');
    std::wstring initialName = Widen(request.initialName);
    for (int attempt = 0; attempt < 2; ++attempt) {
        initialName.copy(buffer.data(), std::min(initialName.size(), buffer.size() - 1));
        OPENFILENAMEW dialog = {};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner;
        dialog.lpstrFilter = filter.c_str();
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
        dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
        dialog.lpstrDefExt = suffix.empty() ? nullptr : suffix.c_str();
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                       (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST) |
                       (many ? OFN_ALLOWMULTISELECT : 0);
        const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
        if (chosen) {
            if (many) return SplitMultiSelection(buffer.data(), buffer.size());
            return {std::wstring(buffer.c_str())};
        }
        // A selection too long for the buffer leaves its needed length in
        // the first two characters: ask once more with room for it.
        if (::CommDlgExtendedError() != FNERR_BUFFERTOOSMALL) break;
        const DWORD needed = static_cast<unsigned short>(buffer[0]);
        buffer.assign(std::max<DWORD>(needed, buffer.size()) * 2 + 2, L'\0');
        initialName.clear();
    }
    return {};
}

std::wstring ItemPath(IShellItem* item) {
    wchar_t* path = nullptr;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
    std::wstring out = path;
    ::CoTaskMemFree(path);
    return out;
}

// The Vista folder chooser: a file dialog picking folders, whose name field
// takes a typed or pasted path. nullopt when the system has none.
std::optional<std::wstring> PickFolderModern(HWND owner, const std::wstring& title,
                                             const std::wstring& initialFolder) {
    IFileOpenDialog* dialog = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileOpenDialog, reinterpret_cast<void**>(&dialog)))) {
        return std::nullopt;
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                       FOS_NOCHANGEDIR);
    if (!title.empty()) dialog->SetTitle(title.c_str());
    if (!initialFolder.empty()) {
        IShellItem* start = nullptr;
        if (SUCCEEDED(::SHCreateItemFromParsingName(initialFolder.c_str(), nullptr, IID_IShellItem,
                                                    reinterpret_cast<void**>(&start)))) {
            dialog->SetFolder(start);
            start->Release();
        }
    }
    std::wstring chosen;
    if (SUCCEEDED(dialog->Show(owner))) {
        IShellItem* result = nullptr;
        if (SUCCEEDED(dialog->GetResult(&result))) {
            chosen = ItemPath(result);
            result->Release();
        }
    }
    dialog->Release();
    return chosen;
}

int CALLBACK StartIn(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

// The older folder browser, with an edit field for a typed path.
std::wstring PickFolderClassic(HWND owner, const std::wstring& title,
                               const std::wstring& initialFolder) {
    wchar_t name[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = StartIn;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.empty() ? nullptr : initialFolder.c_str());
    PIDLIST_ABSOLUTE list = ::SHBrowseForFolderW(&info);
    if (list == nullptr) return {};
    std::wstring path(32768, L'\0');
    const bool ok = ::SHGetPathFromIDListEx(list, path.data(), static_cast<DWORD>(path.size()), 0);
    ::CoTaskMemFree(list);
    return ok ? std::wstring(path.c_str()) : std::wstring();
}

// COM for the length of a chooser; the program may already have it.
struct ComScope {
    bool mine = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ~ComScope() {
        if (mine) ::CoUninitialize();
    }
};

}  // namespace

std::vector<std::wstring> SplitMultiSelection(const wchar_t* buffer, size_t size) {
    std::vector<std::wstring> parts;
    size_t at = 0;
    while (at < size && buffer[at] != L'\0') {
        size_t end = at;
        while (end < size && buffer[end] != L'\0') ++end;
        parts.emplace_back(buffer + at, end - at);
        at = end + 1;
    }
    if (parts.size() <= 1) return parts;
    const std::wstring folder = parts[0];
    std::vector<std::wstring> paths;
    for (size_t i = 1; i < parts.size(); ++i) {
        paths.push_back(IsFullPath(parts[i]) ? parts[i] : Join(folder, parts[i]));
    }
    return paths;
}

std::wstring WithoutTrailingSeparator(std::wstring path) {
    while (path.size() > 1 && IsSeparator(path.back())) {
        const bool driveRoot = path.size() == 3 && path[1] == L':';
        if (driveRoot) break;
        path.pop_back();
    }
    return path;
}

std::wstring ChooserFilter(const ChooserRequest& request) {
    std::wstring filter;
    if (request.filterPattern.empty()) {
        filter = L"Alle Dateien (*.*)";
        filter += L'\0';
        filter += L"*.*";
    } else {
        filter = Widen(request.filterText.empty() ? request.filterPattern : request.filterText);
        filter += L'\0';
        // The Linux chooser separates patterns with blanks or commas, Windows with semicolons.
        for (wchar_t c : Widen(request.filterPattern)) {
            filter += (c == L' ' || c == L',') ? L';' : c;
        }
    }
    filter += L'\0';
    filter += L'\0';  // ends the list
    return filter;
}

std::vector<std::string> ShowChooser(HWND owner, const ChooserRequest& request,
                                     FolderMemory* memory) {
    std::string initial = request.initialFolder;
    if (memory != nullptr) {
        initial =
            StartFolder(memory->Recall(request.operation), initial, [](const std::string& folder) {
                const DWORD attributes = ::GetFileAttributesW(Widen(folder).c_str());
                return attributes != INVALID_FILE_ATTRIBUTES &&
                       (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            });
    }
    const std::wstring initialFolder = Widen(initial);
    ComScope com;
    std::vector<std::wstring> chosen;
    if (request.kind == ChooserKind::Folder) {
        const std::wstring title = Widen(request.title);
        std::optional<std::wstring> folder = PickFolderModern(owner, title, initialFolder);
        if (!folder) folder = PickFolderClassic(owner, title, initialFolder);
        if (!folder->empty()) chosen.push_back(WithoutTrailingSeparator(*folder));
    } else {
        chosen = OpenOrSave(owner, request, initialFolder);
    }
    if (memory != nullptr && !chosen.empty()) {
        memory->Remember(
            request.operation,
            Narrow(request.kind == ChooserKind::Folder ? chosen[0] : FolderOfPath(chosen[0])));
    }
    return Narrowed(chosen);
}

std::vector<std::string> Win32Dialogs::Choose(const ChooserRequest& request) {
    return ShowChooser(NativeOwner(ownerWindow_, request.owner), request, &memory_);
}

std::optional<int64_t> Win32Dialogs::ChooseCustomSize(RequestOwner owner, int64_t volumeSize) {
    if (!customSize) return std::nullopt;
    return customSize(NativeOwner(ownerWindow_, owner), volumeSize);
}

// --- Shell ---------------------------------------------------------------

std::wstring QuoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');  // before the closing quote
    quoted += L'"';
    return quoted;
}

DriveRoots MapDriveRoots(DWORD drives, const std::function<bool(wchar_t letter)>& hasMedium,
                         const std::string& documents) {
    DriveRoots roots;
    roots.a = "A:\\";
    roots.b = "B:\\";
    // A drive letter that exists but holds no medium keeps its device empty,
    // so the page says that a disk should be inserted.
    if ((drives & 1u) != 0 && hasMedium(L'A')) roots.aDevice = "A:";
    if ((drives & 2u) != 0 && hasMedium(L'B')) roots.bDevice = "B:";
    roots.hardDisk = documents.empty() ? "C:\\" : documents;
    return roots;
}

std::string DocumentsFolder() {
    wchar_t* known = nullptr;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &known))) {
        const std::wstring path = known;
        ::CoTaskMemFree(known);
        if (!path.empty()) return Narrow(path);
    }
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, folder)) &&
        folder[0] != L'\0') {
        return Narrow(folder);
    }
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, folder)) &&
        folder[0] != L'\0') {
        return Narrow(folder);
    }
    return "C:\\";
}

namespace {

bool DriveHasMedium(wchar_t letter) {
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    const UINT type = ::GetDriveTypeW(root);
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) return false;
    // An empty floppy drive must not raise the system's "no disk" box.
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const BOOL present =
        ::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(oldMode);
    return present != FALSE;
}

}  // namespace

bool FormatDrive(HWND owner, int driveNumber) {
    if (driveNumber != 0 && driveNumber != 1) return false;
    const DWORD result =
        ::SHFormatDrive(owner, static_cast<UINT>(driveNumber), SHFMT_ID_DEFAULT, 0);
    return result != SHFMT_ERROR && result != SHFMT_CANCEL && result != SHFMT_NOFORMAT;
}

bool Win32Shell::OpenPath(const std::string& path) {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool Win32Shell::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    const std::wstring path = Widen(program);
    std::wstring commandLine = QuoteArgument(path);
    for (const std::string& arg : args) commandLine += L" " + QuoteArgument(Widen(arg));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                          DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

std::string Win32Shell::FindProgram(const std::string& name) {
    const std::wstring wide = Widen(name);
    wchar_t found[MAX_PATH] = {};
    const DWORD length = ::SearchPathW(nullptr, wide.c_str(), L".exe", MAX_PATH, found, nullptr);
    return (length > 0 && length < MAX_PATH) ? Narrow(found) : std::string();
}

DriveRoots Win32Shell::CurrentDriveRoots() {
    return MapDriveRoots(::GetLogicalDrives(), DriveHasMedium, DocumentsFolder());
}

bool Win32Shell::FormatFloppy(int driveNumber, NativeWindow owner) {
    HWND window = static_cast<HWND>(owner);
    FormatDrive(window != nullptr ? ::GetAncestor(window, GA_ROOT) : nullptr, driveNumber);
    return true;
}

void Win32Shell::Quit(int exitCode) {
    ::PostQuitMessage(exitCode);
}

}  // namespace tolvane::ui::win32

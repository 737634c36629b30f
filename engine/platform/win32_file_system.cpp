// The file layer on Windows. Paths arrive as UTF-8 and reach the system as
// UTF-16 through the W functions only, never through the ANSI code page.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h:
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "engine/platform/file_system.h"
#include "engine/platform/win32_text.h"

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace tolvane::platform {

std::wstring Widen(const std::string& text, bool* ok) {
    if (ok != nullptr) *ok = true;
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    DWORD flags = MB_ERR_INVALID_CHARS;
    if (n <= 0) {
        if (ok != nullptr) *ok = false;
        flags = 0;
        n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
        if (n <= 0) return {};
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, flags, text.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string narrow(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

std::string Narrow(const wchar_t* text) {
    return text == nullptr ? std::string() : Narrow(std::wstring(text));
}

namespace {

// 100-nanosecond ticks between 1601-01-01 (file times) and 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;

SystemTime FromFileTime(const FILETIME& ft) {
    const int64_t ticks =
        static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) -
        kUnixEpochTicks;
    int64_t seconds = ticks / 10000000, rest = ticks % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return SystemTimeFromUnix(seconds, rest * 100);
}

bool ToFileTime(const SystemTime& time, FILETIME* ft) {
    int64_t seconds = 0, nanoseconds = 0;
    if (!UnixFromSystemTime(time, &seconds, &nanoseconds)) return false;
    const uint64_t ticks =
        static_cast<uint64_t>(seconds * 10000000 + nanoseconds / 100 + kUnixEpochTicks);
    ft->dwLowDateTime = static_cast<DWORD>(ticks);
    ft->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return true;
}

class Win32File : public File {
  public:
    Win32File(HANDLE handle, bool append, const BY_HANDLE_FILE_INFORMATION& info)
        : handle_(handle),
          append_(append),
          id_(info.dwVolumeSerialNumber,
              (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) {}
    ~Win32File() override { ::CloseHandle(handle_); }
    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    int64_t Read(void* buffer, int64_t count) override {
        return Whole(static_cast<char*>(buffer), count, ::ReadFile);
    }

    int64_t Write(const void* buffer, int64_t count) override {
        if (append_) {
            LARGE_INTEGER zero{};
            if (!::SetFilePointerEx(handle_, zero, nullptr, FILE_END)) return -1;
        }
        return Whole(static_cast<const char*>(buffer), count, ::WriteFile);
    }

    bool Seek(int64_t position) override {
        if (position < 0) return false;
        LARGE_INTEGER to;
        to.QuadPart = position;
        return ::SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) != 0;
    }

    bool Flush() override { return ::FlushFileBuffers(handle_) != 0; }

    bool Identity(FileId* id) override {
        *id = id_;
        return true;
    }

  private:
    // Calls ReadFile or WriteFile until count bytes are moved (at most 1 GiB
    // a call), the file ends or a call fails; what was moved, else -1.
    template <typename Byte, typename Call>
    int64_t Whole(Byte* p, int64_t count, Call call) {
        int64_t total = 0;
        while (total < count) {
            const DWORD want = static_cast<DWORD>(std::min<int64_t>(count - total, 1 << 30));
            DWORD moved = 0;
            if (!call(handle_, p + total, want, &moved, nullptr)) return total > 0 ? total : -1;
            if (moved == 0) break;
            total += moved;
        }
        return total;
    }

    HANDLE handle_;
    bool append_;
    FileId id_;
};

bool IsReparsePoint(const BY_HANDLE_FILE_INFORMATION& info) {
    return (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The full name the system gives an open file or folder ("\\?\C:\..."), with
// every link on the way resolved; empty when it cannot tell.
std::wstring FinalPath(HANDLE h) {
    std::wstring name(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = ::GetFinalPathNameByHandleW(h, name.data(), static_cast<DWORD>(name.size()),
                                                    FILE_NAME_NORMALIZED);
        if (n == 0) return {};
        if (n < name.size()) {
            name.resize(n);
            return name;
        }
        name.resize(n + 1);
    }
    return {};
}

// Whether the open file h is the one named path, in its folder under that
// name, and not one a link leads to. Under wine a link of the host system is
// no reparse point: only the file's final name tells it. True when the
// system cannot tell.
bool ReachedAsNamed(HANDLE h, const std::string& path) {
    const std::wstring file = FinalPath(h);
    if (file.empty()) return true;
    const HANDLE folder = ::CreateFileW(
        Widen(FolderOf(path)).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) return true;
    std::wstring expected = FinalPath(folder);
    ::CloseHandle(folder);
    if (expected.empty()) return true;
    if (expected.back() != L'\\') expected += L'\\';
    expected += Widen(BaseName(path));
    // Letter case as the folder holds the name, which may differ from the
    // name asked for.
    return ::CompareStringOrdinal(file.c_str(), static_cast<int>(file.size()), expected.c_str(),
                                  static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

// A ':' in the last part of a path names an alternate data stream of a file
// ("notes.txt:evil") or a path relative to a drive's current folder
// ("C:evil.bin"): never a file of that name. A writer refuses such a path
// instead of handing it to the system.
bool NamesStreamOrDrive(const std::string& path) {
    return BaseName(path).find(':') != std::string::npos;
}

// The path itself when it exists, else its nearest existing ancestor.
std::string NearestExisting(std::string path) {
    if (path.empty()) path = ".";
    while (::GetFileAttributesW(Widen(path).c_str()) == INVALID_FILE_ATTRIBUTES) {
        std::string parent = path;
        while (!parent.empty() && IsPathSeparator(parent.back()) && parent.size() > 1) {
            parent.pop_back();
        }
        parent = FolderOf(parent);
        if (parent == path) break;
        path = parent;
    }
    return path;
}

class Win32Fs : public FileSystem {
  public:
    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        DWORD access = GENERIC_READ;
        DWORD disposition = OPEN_EXISTING;
        // A writer never goes through a symbolic link or junction: it opens
        // the reparse point itself and refuses it.
        DWORD flags = FILE_ATTRIBUTE_NORMAL;
        if (mode != OpenMode::Read) {
            if (NamesStreamOrDrive(path)) return nullptr;
            access |= GENERIC_WRITE;
            flags |= FILE_FLAG_OPEN_REPARSE_POINT;
            // Truncated below, once the file is known to be a regular one.
            if (mode == OpenMode::CreateTruncate) disposition = OPEN_ALWAYS;
            if (mode == OpenMode::CreateNew) disposition = CREATE_NEW;
        }
        bool valid = true;
        const std::wstring wide = Widen(path, &valid);
        if (!valid || wide.empty()) return nullptr;
        const DWORD share = mode == OpenMode::Read
                                ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                                : FILE_SHARE_READ | FILE_SHARE_DELETE;
        HANDLE h = ::CreateFileW(wide.c_str(), access, share, nullptr, disposition, flags, nullptr);
        if (h == INVALID_HANDLE_VALUE) return nullptr;
        // Only regular files: a device or pipe under an archived name would
        // block or swallow the data.
        BY_HANDLE_FILE_INFORMATION info;
        const bool regular =
            ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) &&
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            (mode == OpenMode::Read || (!IsReparsePoint(info) && ReachedAsNamed(h, path)));
        if (!regular) {
            ::CloseHandle(h);
            return nullptr;
        }
        // A file with more than one name (a hard link) is never written in
        // place: that would change the file under its other names, which
        // may lie outside the target. A file to be created anew replaces
        // this name by a new file; one to be written as it is is refused.
        if (mode != OpenMode::Read && info.nNumberOfLinks > 1) {
            ::CloseHandle(h);
            if (mode != OpenMode::CreateTruncate || !::DeleteFileW(wide.c_str())) return nullptr;
            h = ::CreateFileW(wide.c_str(), access, share, nullptr, CREATE_NEW, flags, nullptr);
            if (h == INVALID_HANDLE_VALUE) return nullptr;
            if (!::GetFileInformationByHandle(h, &info)) {
                ::CloseHandle(h);
                return nullptr;
            }
        }
        if (mode == OpenMode::CreateTruncate && !::SetEndOfFile(h)) {
            ::CloseHandle(h);
            return nullptr;
        }
        return std::make_unique<Win32File>(h, mode == OpenMode::Append, info);
    }

    bool Stat(const std::string& path, FileFacts* facts) override {
        bool valid = true;
        const std::wstring wide = Widen(path, &valid);
        if (!valid || wide.empty()) return false;
        // Access 0 asks for the facts only; backup semantics admit folders.
        HANDLE h =
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION info;
        const bool known = ::GetFileInformationByHandle(h, &info) != 0;
        const bool disk = ::GetFileType(h) == FILE_TYPE_DISK;
        ::CloseHandle(h);
        if (!known) return false;
        facts->size = static_cast<int64_t>((static_cast<uint64_t>(info.nFileSizeHigh) << 32) |
                                           info.nFileSizeLow);
        facts->lastWrite = FromFileTime(info.ftLastWriteTime);
        facts->isRegular = disk && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        facts->device = info.dwVolumeSerialNumber;
        facts->inode = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        facts->links = static_cast<int64_t>(info.nNumberOfLinks);
        return true;
    }

    NameKind KindOf(const std::string& path) override {
        bool valid = true;
        const std::wstring wide = Widen(path, &valid);
        if (!valid || wide.empty()) return NameKind::None;
        // The attributes of the name itself: a link is not followed.
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return NameKind::None;
        // A link to a folder (or a junction) goes only as a folder would.
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return NameKind::Folder;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return NameKind::Link;
        if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return NameKind::Other;
        // A link of the host system under wine looks like a plain file.
        const HANDLE h =
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) return NameKind::File;
        const bool asNamed = ReachedAsNamed(h, path);
        ::CloseHandle(h);
        return asNamed ? NameKind::File : NameKind::Link;
    }

    bool SetLastWriteTime(const std::string& path, const SystemTime& time) override {
        FILETIME ft;
        if (NamesStreamOrDrive(path) || !ToFileTime(time, &ft)) return false;
        HANDLE h = ::CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION info;
        const bool ok = ::GetFileInformationByHandle(h, &info) && !IsReparsePoint(info) &&
                        ::SetFileTime(h, nullptr, nullptr, &ft);
        ::CloseHandle(h);
        return ok;
    }

    bool Remove(const std::string& path) override {
        if (NamesStreamOrDrive(path)) return false;
        const std::wstring wide = Widen(path);
        // Under wine a link of the host system looks like the file it leads
        // to, and deleting it deletes that file: refused.
        const HANDLE h =
            ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            const bool asNamed = ReachedAsNamed(h, path);
            ::CloseHandle(h);
            if (!asNamed) return false;
        }
        if (::DeleteFileW(wide.c_str())) return true;
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }

    bool FreeBytes(const std::string& path, int64_t* bytes) override {
        ULARGE_INTEGER available;
        if (!::GetDiskFreeSpaceExW(Widen(NearestExisting(path)).c_str(), &available, nullptr,
                                   nullptr)) {
            return false;
        }
        *bytes = available.QuadPart > static_cast<ULONGLONG>(INT64_MAX)
                     ? INT64_MAX
                     : static_cast<int64_t>(available.QuadPart);
        return true;
    }

    std::string MountPointOf(const std::string& path) override {
        const std::string existing = NearestExisting(path);
        wchar_t volume[MAX_PATH + 1];
        if (!::GetVolumePathNameW(Widen(existing).c_str(), volume, MAX_PATH + 1)) return existing;
        return Narrow(volume);
    }

    // Windows starts files by their name; there are no bits to set.
    bool MakeExecutable(const std::string&) override { return true; }

    bool FoldsCase() const override { return true; }
};

bool IsDeviceName(std::string stem) {
    // "CON.txt" and "CON .txt" name the device as "CON" does.
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" ||
        stem == "CONOUT$") {
        return true;
    }
    if (stem.size() < 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) {
        return false;
    }
    const std::string number = stem.substr(3);
    // The ports 1 to 9, and 1 to 3 written as superscript digits.
    return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "\u00b9" ||
           number == "\u00b2" || number == "\u00b3";
}

}  // namespace

FileSystem& NativeFileSystem() {
    static Win32Fs instance;
    return instance;
}

bool IsPathSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string FolderOf(const std::string& path) {
    size_t slash = std::string::npos;
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) {
            slash = i - 1;
            break;
        }
    }
    const bool drive = path.size() >= 2 && path[1] == ':';
    if (slash == std::string::npos) return drive ? path.substr(0, 2) : ".";
    if (slash == 0) return path.substr(0, 1);           // "\name"
    if (drive && slash == 2) return path.substr(0, 3);  // "C:\name"
    return path.substr(0, slash);
}

std::string FileNameProblem(const std::string& name) {
    bool valid = true;
    Widen(name, &valid);
    bool bad = !valid || name.empty() || name.back() == '.' || name.back() == ' ';
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view(":*?\"<>|").find(c) != std::string_view::npos) {
            bad = true;
        }
    }
    if (!bad && IsDeviceName(name.substr(0, name.find('.')))) bad = true;
    if (!bad) return {};
    return "Der Dateiname „" + name +
           "“ ist unter Windows nicht zulässig. Es wurde nichts entpackt.";
}

std::string OwnExecutablePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) return Narrow(std::wstring(path.data(), n));
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

namespace {
HANDLE StandardHandle(StandardStream stream) {
    return ::GetStdHandle(stream == StandardStream::In    ? STD_INPUT_HANDLE
                          : stream == StandardStream::Out ? STD_OUTPUT_HANDLE
                                                          : STD_ERROR_HANDLE);
}
}  // namespace

bool IsConsole(StandardStream stream) {
    // A console answers for its mode; NUL, a file or a pipe do not.
    DWORD mode = 0;
    return ::GetConsoleMode(StandardHandle(stream), &mode) != 0;
}

void PrepareConsole() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    // UTF-8 bytes go out as they are: no "\n" turned into "\r\n".
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    for (const StandardStream s : {StandardStream::Out, StandardStream::Err}) {
        DWORD mode = 0;
        const HANDLE h = StandardHandle(s);
        if (!::GetConsoleMode(h, &mode)) continue;
        // Before Windows 10 the console refuses the whole mode for the one
        // flag it does not know: "\r" must still be processed.
        if (!::SetConsoleMode(
                h, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
            ::SetConsoleMode(h, mode | ENABLE_PROCESSED_OUTPUT);
        }
    }
}

bool HasCursorControls(StandardStream stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(StandardHandle(stream), &mode) &&
           (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int64_t MonotonicMicroseconds() {
    return static_cast<int64_t>(GetTickCount64()) * 1000;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    if (IsFolder(folder)) return true;
    std::string trimmed = folder;
    while (trimmed.size() > 1 && IsPathSeparator(trimmed.back())) trimmed.pop_back();
    const std::string parent = FolderOf(trimmed);
    if (parent != trimmed && parent != "." && !MakeFolders(parent)) return false;
    if (::CreateDirectoryW(Widen(trimmed).c_str(), nullptr)) return true;
    return ::GetLastError() == ERROR_ALREADY_EXISTS && IsFolder(trimmed);
}

}  // namespace tolvane::platform

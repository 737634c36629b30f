#include "engine/platform/writable_folder.h"

#ifdef _WIN32
#include <windows.h>

#include "engine/platform/win32_text.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvane::platform {

#ifdef _WIN32

bool IsWritableFolder(const std::string& path) {
    bool valid = true;
    std::wstring folder = Widen(path, &valid);
    if (!valid || folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    // A folder's read-only attribute says nothing about its files and the
    // access rights are too many to evaluate: a file that goes away when
    // closed is the one reliable answer.
    wchar_t probe[MAX_PATH + 1];
    if (GetTempFileNameW(folder.c_str(), L"tlv", 0, probe) == 0) return false;
    DeleteFileW(probe);
    return true;
}

#else

bool IsWritableFolder(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    // access() also sees a file system mounted read-only.
    return ::access(path.c_str(), W_OK | X_OK) == 0;
}

#endif

}  // namespace tolvane::platform

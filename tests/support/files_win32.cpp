// The test helpers that reach the file system, on Windows: UTF-8 names
// through the wide API, times as FILETIME (100 ns since 1601).
#include <windows.h>

#include <filesystem>
#include <random>
#include <stdexcept>

#include "engine/platform/win32_text.h"
#include "tests/support/archive_run.h"
#include "tests/support/test_support.h"

namespace tolvane::test {

using platform::Narrow;
using platform::Widen;

namespace {

// Seconds from 1601 (FILETIME) to 1970.
constexpr int64_t kEpochSeconds = 11644473600;

struct Handle {
    explicit Handle(HANDLE h) : h(h) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE h;
};

}  // namespace

std::string NativePath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::filesystem::path FsPath(const std::string& path) {
    return Widen(path);
}

TempDir::TempDir() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    if (length == 0 || length > MAX_PATH) throw std::runtime_error("GetTempPathW failed");
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = std::wstring(temp) + L"tolvane-test-" + std::to_wstring(random());
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            path_ = Narrow(path);
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    throw std::runtime_error("CreateDirectoryW failed");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(Widen(path_)), ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    Handle file(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.h == INVALID_HANDLE_VALUE ||
        (!bytes.empty() &&
         (!::WriteFile(file.h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
          written != bytes.size()))) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadFile(const std::string& path) {
    Handle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    if (file.h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.h, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetMtime(const std::string& path, int64_t seconds, int64_t nanoseconds) {
    const uint64_t ticks =
        static_cast<uint64_t>((seconds + kEpochSeconds) * 10000000 + nanoseconds / 100);
    FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    Handle file(CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.h == INVALID_HANDLE_VALUE || !SetFileTime(file.h, nullptr, nullptr, &time)) {
        throw std::runtime_error("SetFileTime " + path);
    }
}

int64_t MtimeNanos(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data)) return -1;
    const uint64_t ticks = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                           data.ftLastWriteTime.dwLowDateTime;
    return (static_cast<int64_t>(ticks) - kEpochSeconds * 10000000) * 100;
}

}  // namespace tolvane::test

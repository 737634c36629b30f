#ifndef _GNU_SOURCE
#define _GNU_SOURCE 1  // copy_file_range, sync_file_range, syncfs
#endif
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

#include <set>
#include <vector>

#include "engine/platform/file_system.h"

namespace tolvane::platform {
namespace {

class PosixFile : public File {
  public:
    // atOpen: what fstat said when the file was opened.
    PosixFile(int fd, bool appending, const struct stat& atOpen)
        : fd_(fd),
          appending_(appending),
          sizeAtOpen_(static_cast<int64_t>(atOpen.st_size)),
          id_(static_cast<uint64_t>(atOpen.st_dev), static_cast<uint64_t>(atOpen.st_ino)) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    int64_t Read(void* buffer, int64_t count) override {
        const int64_t n = ReadAll(buffer, count);
        if (n > 0) position_ += n;
        return n;
    }

    int64_t Write(const void* buffer, int64_t count) override {
        wrote_ = true;
        const int64_t n = WriteAll(buffer, count);
        if (n > 0) position_ += n;
        return n;
    }

    bool Seek(int64_t position) override {
        // Reading a header leaves the file where its data begin.
        if (position == position_ && position >= 0 && !appending_) return true;
        if (position < 0 || ::lseek(fd_, static_cast<off_t>(position), SEEK_SET) != position) {
            return false;
        }
        position_ = position;
        // What lies before was handed over by whoever wrote it.
        writeBackFrom_ = position;
        return true;
    }

    bool Flush() override { return ::fdatasync(fd_) == 0; }

    // The device writes while the next chunks are copied, instead of all of
    // it at the next flush (sync_file_range without waiting). Asked for in
    // steps of a few MiB: a call per small chunk costs more than it saves.
    void StartWriteBack() override {
        if (appending_ || position_ - writeBackFrom_ < kWriteBackStep) return;
        ::sync_file_range(fd_, writeBackFrom_, position_ - writeBackFrom_, SYNC_FILE_RANGE_WRITE);
        writeBackFrom_ = position_;
    }

    void WriteBackRest() override {
        if (appending_ || position_ <= writeBackFrom_) return;
        ::sync_file_range(fd_, writeBackFrom_, 0, SYNC_FILE_RANGE_WRITE);
        writeBackFrom_ = position_;
    }

    int64_t Size() override {
        // Until this descriptor writes, the size it was opened with.
        if (!wrote_) return sizeAtOpen_;
        struct stat st;
        return ::fstat(fd_, &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
    }

    bool Identity(FileId* id) override {
        *id = id_;
        return true;
    }

    // Between two files of this layer the kernel copies the bytes itself
    // (copy_file_range), which saves one pass through memory. Whatever it
    // cannot do, and every failure or end of file it reports, goes through
    // the buffer once more: that path tells a read error from a write error
    // and confirms an end of file.
    int64_t CopyFrom(File& source, int64_t count, void* buffer, int64_t bufferSize,
                     bool* readFailed) override {
        auto* posix = dynamic_cast<PosixFile*>(&source);
        if (posix != nullptr && kernelCopy_) {
            const ssize_t n =
                ::copy_file_range(posix->fd_, nullptr, fd_, nullptr, static_cast<size_t>(count), 0);
            if (n > 0) {
                wrote_ = true;
                position_ += n;
                posix->position_ += n;
                return n;
            }
            // Not offered for this pair of files (other file systems, a file
            // opened for appending, an old kernel): do not ask again.
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy_ = false;
            }
        }
        return File::CopyFrom(source, count, buffer, bufferSize, readFailed);
    }

  private:
    static constexpr int64_t kWriteBackStep = 4 << 20;

    int64_t ReadAll(void* buffer, int64_t count) {
        return Whole(static_cast<char*>(buffer), count, ::read);
    }

    int64_t WriteAll(const void* buffer, int64_t count) {
        return Whole(static_cast<const char*>(buffer), count, ::write);
    }

    // Calls read or write until count bytes are moved, the file ends or an
    // error other than an interruption comes; what was moved, else -1.
    template <typename Byte, typename Call>
    int64_t Whole(Byte* p, int64_t count, Call call) {
        int64_t total = 0;
        while (total < count) {
            const ssize_t n = call(fd_, p + total, static_cast<size_t>(count - total));
            if (n < 0) {
                if (errno == EINTR) continue;
                return total > 0 ? total : -1;
            }
            if (n == 0) break;
            total += n;
        }
        return total;
    }

    int fd_;
    // Appended data have no position of their own here; no write-back hints.
    bool appending_;
    bool kernelCopy_ = true;
    // The file position, kept here instead of asked for.
    int64_t position_ = 0;
    int64_t writeBackFrom_ = 0;
    int64_t sizeAtOpen_;
    FileId id_;
    bool wrote_ = false;
};

std::string ParentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The path itself when it exists, else its nearest existing ancestor.
std::string NearestExisting(std::string path) {
    if (path.empty()) path = ".";
    struct stat st;
    while (::stat(path.c_str(), &st) != 0) {
        const std::string parent = ParentOf(path);
        if (parent == path) break;
        path = parent;
    }
    return path;
}

class PosixFs : public FileSystem {
  public:
    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        int flags = O_CLOEXEC | O_NONBLOCK;
        switch (mode) {
            case OpenMode::Read:
                flags |= O_RDONLY;
                break;
            case OpenMode::CreateTruncate:
                // Emptied below, once it is known to be this name's alone.
                flags |= O_RDWR | O_CREAT | O_NOFOLLOW;
                break;
            case OpenMode::ReadWriteExisting:
                flags |= O_RDWR | O_NOFOLLOW;
                break;
            case OpenMode::Append:
                flags |= O_RDWR | O_APPEND | O_NOFOLLOW;
                break;
            case OpenMode::CreateNew:
                // O_EXCL fails on any name that is taken, a link too.
                flags |= O_RDWR | O_CREAT | O_EXCL;
                break;
        }
        int fd = ::open(path.c_str(), flags, 0644);
        if (fd < 0) return nullptr;
        // Only regular files: a pipe or device under an archived name would
        // block or swallow the data.
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        // A file with more than one name (a hard link) is never written in
        // place: that would change the file under its other names, which
        // may lie outside the target. A file to be created anew replaces
        // this name by a new file; one to be written as it is is refused.
        if (mode != OpenMode::Read && st.st_nlink > 1) {
            ::close(fd);
            if (mode != OpenMode::CreateTruncate || ::unlink(path.c_str()) != 0) return nullptr;
            fd = ::open(path.c_str(), flags | O_EXCL, 0644);
            if (fd < 0) return nullptr;
            if (::fstat(fd, &st) != 0) {
                ::close(fd);
                return nullptr;
            }
        }
        if (mode == OpenMode::CreateTruncate && st.st_size > 0) {
            if (::ftruncate(fd, 0) != 0) {
                ::close(fd);
                return nullptr;
            }
            st.st_size = 0;
        }
        // O_NONBLOCK stays: it means nothing for a regular file.
        return std::make_unique<PosixFile>(fd, mode == OpenMode::Append, st);
    }

    bool Stat(const std::string& path, FileFacts* facts) override {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return false;
        facts->size = st.st_size;
        facts->lastWrite = SystemTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        facts->isRegular = S_ISREG(st.st_mode);
        facts->device = static_cast<uint64_t>(st.st_dev);
        facts->inode = static_cast<uint64_t>(st.st_ino);
        facts->links = static_cast<int64_t>(st.st_nlink);
        return true;
    }

    NameKind KindOf(const std::string& path) override {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) return NameKind::None;
        if (S_ISREG(st.st_mode)) return NameKind::File;
        if (S_ISLNK(st.st_mode)) return NameKind::Link;
        if (S_ISDIR(st.st_mode)) return NameKind::Folder;
        return NameKind::Other;
    }

    bool SetLastWriteTime(const std::string& path, const SystemTime& time) override {
        int64_t seconds = 0, nanoseconds = 0;
        if (!UnixFromSystemTime(time, &seconds, &nanoseconds)) return false;
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        times[1].tv_sec = static_cast<time_t>(seconds);
        times[1].tv_nsec = static_cast<long>(nanoseconds);
        return ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0;
    }

    bool Remove(const std::string& path) override {
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    }

    bool FreeBytes(const std::string& path, int64_t* bytes) override {
        struct statvfs vfs;
        if (::statvfs(NearestExisting(path).c_str(), &vfs) != 0) return false;
        const unsigned long long avail =
            static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize;
        *bytes = avail > static_cast<unsigned long long>(INT64_MAX) ? INT64_MAX
                                                                    : static_cast<int64_t>(avail);
        return true;
    }

    std::string MountPointOf(const std::string& path) override {
        std::string existing = NearestExisting(path);
        char resolved[PATH_MAX];
        if (::realpath(existing.c_str(), resolved) == nullptr) return existing;
        std::string current = resolved;
        struct stat st;
        if (::stat(current.c_str(), &st) != 0) return current;
        while (current != "/") {
            const std::string parent = ParentOf(current);
            struct stat pst;
            if (::stat(parent.c_str(), &pst) != 0 || pst.st_dev != st.st_dev) break;
            current = parent;
        }
        return current;
    }

    // One syncfs per file system that holds one of the files: the data and
    // the names of thousands of files cost one wait for the device, where a
    // flush per file would wait for each.
    bool SyncFiles(const std::vector<std::string>& paths) override {
        std::set<std::string> folders;
        for (const std::string& path : paths) folders.insert(ParentOf(path));
        std::set<dev_t> synced;
        bool ok = true;
        for (const std::string& folder : folders) {
            const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            struct stat st;
            if (fd < 0 || ::fstat(fd, &st) != 0) {
                ok = false;
            } else if (synced.insert(st.st_dev).second && ::syncfs(fd) != 0) {
                ok = false;
            }
            if (fd >= 0) ::close(fd);
        }
        return ok;
    }

    bool MakeExecutable(const std::string& path) override {
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) return false;
        const mode_t mode = st.st_mode & 07777;
        return ::chmod(path.c_str(), mode | ((mode & 0444) >> 2)) == 0;
    }
};

}  // namespace

FileSystem& NativeFileSystem() {
    static PosixFs instance;
    return instance;
}

bool IsPathSeparator(char c) {
    return c == '/';
}

std::string FolderOf(const std::string& path) {
    return ParentOf(path);
}

std::string FileNameProblem(const std::string&) {
    // Every name the header reader accepts (no separator, not "." or "..")
    // is a valid file name here.
    return {};
}

std::string OwnExecutablePath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    path[n] = 0;
    return path;
}

bool IsConsole(StandardStream stream) {
    const int fd = stream == StandardStream::In    ? STDIN_FILENO
                   : stream == StandardStream::Out ? STDOUT_FILENO
                                                   : STDERR_FILENO;
    return ::isatty(fd) == 1;
}

void PrepareConsole() {}

bool HasCursorControls(StandardStream) {
    return true;
}

int64_t MonotonicMicroseconds() {
    struct timespec now;
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::string parent = ParentOf(folder);
    if (parent != folder && parent != "." && !MakeFolders(parent)) return false;
    if (::mkdir(folder.c_str(), 0777) == 0) return true;
    return errno == EEXIST && IsFolder(folder);
}

}  // namespace tolvane::platform

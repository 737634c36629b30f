// The engine's view of the file system: handle-based binary I/O, file facts,
// file times and free space, and the few other questions a program asks of
// its system (own path, console, folders, path syntax). Paths are UTF-8
// everywhere. posix_file_system.cpp and win32_file_system.cpp each define all
// of it; the build compiles the one for the target system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tolvane::platform {

// Calendar fields of a UTC time, in the order the volume header stores them.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;      // 1-12
    uint16_t dayOfWeek = 0;  // 0 = Sunday
    uint16_t day = 0;        // 1-31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;

    bool operator==(const SystemTime&) const = default;
};

// What tells two names of one file apart from two files: the device and the
// file number.
using FileId = std::pair<uint64_t, uint64_t>;

class File {
  public:
    virtual ~File() = default;
    // Count read, 0 at the end of the file, -1 on error.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    // Count written, -1 on error.
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Absolute position from the start; false on failure.
    virtual bool Seek(int64_t position) = 0;
    // Pushes written data to the medium.
    virtual bool Flush() = 0;
    // Starts pushing what was written since the last call to the medium and
    // returns at once; a later Flush then has little left to wait for. Only a
    // hint: Flush alone guarantees anything.
    virtual void StartWriteBack() {}
    // The same for everything written and not yet handed over, at the end
    // of a file: the device writes it while the next file is copied.
    virtual void WriteBackRest() {}
    // Size of the open file; -1 when the layer cannot tell (the caller then
    // asks by name).
    virtual int64_t Size() { return -1; }
    // Identity of the open file, where the layer knows it without asking the
    // system again; false otherwise (the caller then asks by name).
    virtual bool Identity(FileId*) { return false; }
    // Moves up to count bytes from source (at its position) to this file (at
    // its position), through buffer (bufferSize bytes) or, where the
    // platform can, without it; through the buffer at most bufferSize at a
    // time. Returns the count moved, 0 at the end of source, or -1 with
    // *readFailed telling whether reading the source or writing this file
    // failed (fewer bytes written than read is a failed write).
    virtual int64_t CopyFrom(File& source, int64_t count, void* buffer, int64_t bufferSize,
                             bool* readFailed) {
        const int64_t n = source.Read(buffer, count < bufferSize ? count : bufferSize);
        if (n <= 0) {
            *readFailed = n < 0;
            return n;
        }
        if (Write(buffer, n) != n) {
            *readFailed = false;
            return -1;
        }
        return n;
    }
};

enum class OpenMode {
    Read,               // existing file, read only
    CreateTruncate,     // create or truncate, read and write
    ReadWriteExisting,  // existing file, read and write, no truncation
    Append,             // existing file, every write at the end
    CreateNew,          // a new file, read and write; fails when the name is taken
};

// What a name itself is, a symbolic link not followed.
enum class NameKind {
    None,    // nothing of that name
    File,    // a regular file
    Link,    // a symbolic link (dangling too), a junction or other reparse point
    Folder,  // a folder
    Other,   // a pipe, a device, a socket
};

struct FileFacts {
    int64_t size = 0;
    SystemTime lastWrite;
    bool isRegular = false;
    // Identity of the file: two names with the same pair name the same file.
    uint64_t device = 0;
    uint64_t inode = 0;
    // Names the file has (hard links); 0 when the platform does not tell.
    int64_t links = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens a file; nullptr on failure. Files that write never follow a
    // symbolic link in the last path component.
    virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
    // Size and UTC last-write time of an existing file.
    virtual bool Stat(const std::string& path, FileFacts* facts) = 0;
    // What lies at path, without following a link there. This default knows
    // no links: it tells a regular file from anything else Stat finds.
    virtual NameKind KindOf(const std::string& path) {
        FileFacts facts;
        if (!Stat(path, &facts)) return NameKind::None;
        return facts.isRegular ? NameKind::File : NameKind::Other;
    }
    virtual bool SetLastWriteTime(const std::string& path, const SystemTime& time) = 0;
    // Deletes a file; a missing file is no error.
    virtual bool Remove(const std::string& path) = 0;
    // Bytes available to the caller on the file system that holds path.
    virtual bool FreeBytes(const std::string& path, int64_t* bytes) = 0;
    // Mount point of the file system that holds path (its nearest existing
    // ancestor's file system).
    virtual std::string MountPointOf(const std::string& path) = 0;
    // Makes a file startable (executable bits where the platform has them).
    virtual bool MakeExecutable(const std::string& path) = 0;
    // True where two names that differ only in letter case name one file.
    virtual bool FoldsCase() const { return false; }
    // Puts the data and names of files written and closed before on their
    // medium, all at once. This default opens each file again and flushes
    // it; a layer that can sync a whole file system at once does that.
    virtual bool SyncFiles(const std::vector<std::string>& paths) {
        bool ok = true;
        for (const std::string& path : paths) {
            auto file = Open(path, OpenMode::ReadWriteExisting);
            if (!file || !file->Flush()) ok = false;
        }
        return ok;
    }
};

// The identity of the file at path; false when it cannot be looked up.
inline bool IdentityOf(FileSystem& fs, const std::string& path, FileId* id) {
    FileFacts facts;
    if (!fs.Stat(path, &facts)) return false;
    *id = {facts.device, facts.inode};
    return true;
}

// Names (without folder) of the entries of a folder; false when it cannot be
// read. (Free functions, not members: the stub image links every member of
// the interface and has no room for them.)
bool ListFolder(const std::string& folder, std::vector<std::string>* names);
// Gives a file a new name, replacing a file of that name at once.
bool RenameFile(const std::string& from, const std::string& to);

// The process-wide file system of the system the program runs on; it holds
// no state.
FileSystem& NativeFileSystem();

// --- Paths ---

// The separator this system puts between a folder and a name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif
// Whether c separates folders in a path: "/" everywhere, "\\" as well on
// Windows.
bool IsPathSeparator(char c);
// The part of path behind its last separator (the whole path without one).
std::string BaseName(const std::string& path);
// The folder that holds path: "." for a bare name, the root for a name in it.
std::string FolderOf(const std::string& path);
// folder and name with exactly one separator between them (folder's own
// trailing separator is kept, none is added to an empty folder).
std::string JoinPath(const std::string& folder, const std::string& name);
// Empty when this system can hold name as a file name in a folder; else the
// German sentence that refuses it, naming it.
std::string FileNameProblem(const std::string& name);

// --- The process and its surroundings ---

// Full path of the running program file; empty when the system cannot say.
std::string OwnExecutablePath();

enum class StandardStream { In, Out, Err };
// Whether the stream is a console a person works at (not a file, pipe or
// null device).
bool IsConsole(StandardStream stream);
// Makes the standard streams carry UTF-8 bytes unchanged and lets a console
// understand the cursor controls of the progress line where it can.
void PrepareConsole();
// Whether the console of stream understands cursor controls ("\033[K"): a
// terminal does, a Windows console once PrepareConsole has asked for them
// (Windows 10 on; an older one would show them as text).
bool HasCursorControls(StandardStream stream);

// Microseconds on a clock that only moves forward, from an arbitrary start.
int64_t MonotonicMicroseconds();

// Whether path names an existing folder.
bool IsFolder(const std::string& path);
// Creates folder and the folders above it that are missing; true when it is
// a folder afterwards.
bool MakeFolders(const std::string& folder);

// Time conversion helpers shared by the implementations.
// Calendar fields of a POSIX time (seconds and nanoseconds since 1970, UTC).
SystemTime SystemTimeFromUnix(int64_t seconds, int64_t nanoseconds);
// False when the fields do not name a valid time.
bool UnixFromSystemTime(const SystemTime& time, int64_t* seconds, int64_t* nanoseconds);

}  // namespace tolvane::platform

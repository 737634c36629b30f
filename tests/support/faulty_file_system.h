// A file system that fails on purpose: the Nth open, read, write, flush, size
// query or time change fails once, as a full or failing medium would. It
// passes everything else to the real file system, and counts the calls, so a
// test can run an operation once cleanly and then fail it at every step.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/platform/file_system.h"

namespace tolvane::test {

enum class Fault {
    OpenFails,           // Open returns nullptr
    ReadFails,           // Read returns -1
    ReadReturnsNothing,  // Read returns 0 (the file ends early)
    ShortWrite,          // Write writes half the bytes and returns that count
    FlushFails,          // Flush returns false
    StatFails,           // Stat returns false
    SetTimeFails,        // SetLastWriteTime returns false
};

class FaultyFileSystem : public platform::FileSystem {
  public:
    explicit FaultyFileSystem(platform::FileSystem& real = platform::NativeFileSystem());

    // The nth call (from 1, counted from the last ResetCounts) of the
    // operation behind fault fails, once.
    void Arm(Fault fault, int nth);
    void Disarm() { armed_.reset(); }
    bool fired() const { return fired_; }
    std::optional<Fault> armedFault() const {
        return armed_ ? std::optional<Fault>(armed_->fault) : std::nullopt;
    }
    const std::string& firedPath() const { return firedPath_; }

    // Calls of the operation behind fault since the last ResetCounts.
    int Calls(Fault fault) const;
    void ResetCounts();

    // When false, Flush succeeds without pushing data to the medium, which
    // keeps long fault campaigns fast.
    bool syncToMedium = true;
    // When true, copies between two of its files go to the real files whole
    // (the kernel copy of the real layer) without counting reads and writes:
    // for measurements, where no fault is armed.
    bool passCopiesThrough = false;
    // When true, behaves like the Windows layer where it differs: a file
    // open for writing cannot be opened for writing once more, and
    // SyncFiles opens each file again to flush it (the portable way).
    bool windowsLike = false;
    // When set, FreeBytes answers this instead of asking the file system.
    std::optional<int64_t> freeBytes;

    std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override;
    bool Stat(const std::string& path, platform::FileFacts* facts) override;
    platform::NameKind KindOf(const std::string& path) override { return real_.KindOf(path); }
    bool SetLastWriteTime(const std::string& path, const platform::SystemTime& time) override;
    bool Remove(const std::string& path) override { return real_.Remove(path); }
    bool FreeBytes(const std::string& path, int64_t* bytes) override;
    std::string MountPointOf(const std::string& path) override { return real_.MountPointOf(path); }
    bool MakeExecutable(const std::string& path) override { return real_.MakeExecutable(path); }
    // Counts as a flush (FlushFails makes it fail).
    bool SyncFiles(const std::vector<std::string>& paths) override;

    // Files written through this layer and not flushed or synced since: what
    // a power cut would cost now.
    const std::set<std::string>& unsynced() const { return unsynced_; }
    // Called by the file wrapper.
    void Wrote(const std::string& path) { unsynced_.insert(path); }
    void Closed(const std::string& path, bool writer) {
        if (writer) openWriters_.erase(openWriters_.find(path));
    }
    void Synced(const std::string& path) { unsynced_.erase(path); }

    // Counts a call of the operation behind fault; true when it is to fail
    // with that fault (for the file wrapper).
    bool Hit(Fault fault, const std::string& path);

  private:
    enum Operation { kOpen, kRead, kWrite, kFlush, kStat, kSetTime, kOperations };
    static Operation OperationOf(Fault fault);

    platform::FileSystem& real_;
    std::multiset<std::string> openWriters_;
    std::array<int, kOperations> calls_{};
    struct Armed {
        Fault fault;
        int nth;
    };
    std::optional<Armed> armed_;
    bool fired_ = false;
    std::string firedPath_;
    std::set<std::string> unsynced_;
};

}  // namespace tolvane::test

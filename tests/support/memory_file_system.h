// A file system held in memory: files are byte strings under their full
// path, folders are implied by the paths. It records every name opened for
// writing, so a test or a fuzz target can tell exactly what an operation
// wrote and where, fast and without touching the disk.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "engine/platform/file_system.h"

namespace tolvane::test {

class MemoryFileSystem : public platform::FileSystem {
  public:
    struct Node {
        std::string data;
        platform::SystemTime lastWrite;
        uint64_t inode = 0;
    };

    // Puts a file in place (replacing one of the same name).
    void Put(const std::string& path, std::string bytes);
    // The bytes of a file; false when there is none.
    bool Get(const std::string& path, std::string* bytes) const;
    bool Exists(const std::string& path) const { return files_.count(Key(path)) != 0; }
    // The files under their names (in lower case where the layer folds).
    const std::map<std::string, std::shared_ptr<Node>>& files() const { return files_; }
    // Every name opened for writing (created, truncated, appended to,
    // written in place) or removed since the start.
    const std::set<std::string>& written() const { return written_; }

    // Names that differ only in letter case name one file, as on Windows or
    // a FAT stick (set before the first file is put in place).
    bool foldsCase = false;
    // With foldsCase: the layer does not say that it folds (FoldsCase()
    // false), as the Linux layer on such a stick cannot.
    bool hidesFolding = false;

    // Free bytes every query answers.
    int64_t freeBytes = INT64_MAX / 4;
    // A write that would make a file longer than this fails: a fuzz target
    // bounds what hostile input can make the code write.
    int64_t maxFileSize = INT64_MAX / 4;

    std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override;
    bool Stat(const std::string& path, platform::FileFacts* facts) override;
    bool SetLastWriteTime(const std::string& path, const platform::SystemTime& time) override;
    bool Remove(const std::string& path) override;
    bool FreeBytes(const std::string& path, int64_t* bytes) override;
    std::string MountPointOf(const std::string&) override { return "/"; }
    bool MakeExecutable(const std::string& path) override { return Exists(path); }
    bool FoldsCase() const override { return foldsCase && !hidesFolding; }

  private:
    std::string Key(const std::string& path) const;

    std::map<std::string, std::shared_ptr<Node>> files_;
    std::set<std::string> written_;
    uint64_t nextInode_ = 1;
};

}  // namespace tolvane::test

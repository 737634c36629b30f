#include "tests/support/memory_file_system.h"

#include <algorithm>
#include <cstring>

#include "engine/volume_header.h"

namespace tolvane::test {
namespace {

class MemoryFile : public platform::File {
  public:
    MemoryFile(std::shared_ptr<MemoryFileSystem::Node> node, bool writable, bool append,
               int64_t maxSize)
        : node_(std::move(node)), writable_(writable), append_(append), maxSize_(maxSize) {}

    int64_t Read(void* buffer, int64_t count) override {
        if (count < 0) return -1;
        const std::string& data = node_->data;
        if (position_ >= data.size()) return 0;
        const size_t n = std::min<size_t>(static_cast<size_t>(count), data.size() - position_);
        std::memcpy(buffer, data.data() + position_, n);
        position_ += n;
        return static_cast<int64_t>(n);
    }

    int64_t Write(const void* buffer, int64_t count) override {
        if (!writable_ || count < 0) return -1;
        std::string& data = node_->data;
        if (append_) position_ = data.size();
        const size_t n = static_cast<size_t>(count);
        if (position_ + n > static_cast<uint64_t>(maxSize_)) return -1;
        if (data.size() < position_ + n) data.resize(position_ + n, '\0');
        std::memcpy(data.data() + position_, buffer, n);
        position_ += n;
        return count;
    }

    bool Seek(int64_t position) override {
        if (position < 0) return false;
        position_ = static_cast<size_t>(position);
        return true;
    }

    bool Flush() override { return true; }

    bool Identity(platform::FileId* id) override {
        *id = {1, node_->inode};
        return true;
    }

  private:
    std::shared_ptr<MemoryFileSystem::Node> node_;
    bool writable_;
    bool append_;
    int64_t maxSize_;
    size_t position_ = 0;
};

}  // namespace

std::string MemoryFileSystem::Key(const std::string& path) const {
    return foldsCase ? FoldCase(path) : path;
}

void MemoryFileSystem::Put(const std::string& path, std::string bytes) {
    auto node = std::make_shared<Node>();
    node->data = std::move(bytes);
    node->inode = nextInode_++;
    files_[Key(path)] = std::move(node);
}

bool MemoryFileSystem::Get(const std::string& path, std::string* bytes) const {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return false;
    *bytes = it->second->data;
    return true;
}

std::unique_ptr<platform::File> MemoryFileSystem::Open(const std::string& path,
                                                       platform::OpenMode mode) {
    auto it = files_.find(Key(path));
    switch (mode) {
        case platform::OpenMode::Read:
            if (it == files_.end()) return nullptr;
            return std::make_unique<MemoryFile>(it->second, false, false, maxFileSize);
        case platform::OpenMode::CreateNew:
            if (it != files_.end()) return nullptr;
            [[fallthrough]];
        case platform::OpenMode::CreateTruncate:
            written_.insert(path);
            if (it == files_.end()) {
                Put(path, {});
                it = files_.find(Key(path));
            }
            it->second->data.clear();
            return std::make_unique<MemoryFile>(it->second, true, false, maxFileSize);
        case platform::OpenMode::ReadWriteExisting:
        case platform::OpenMode::Append:
            if (it == files_.end()) return nullptr;
            written_.insert(path);
            return std::make_unique<MemoryFile>(it->second, true,
                                                mode == platform::OpenMode::Append, maxFileSize);
    }
    return nullptr;
}

bool MemoryFileSystem::Stat(const std::string& path, platform::FileFacts* facts) {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return false;
    facts->size = static_cast<int64_t>(it->second->data.size());
    facts->lastWrite = it->second->lastWrite;
    facts->isRegular = true;
    facts->device = 1;
    facts->inode = it->second->inode;
    return true;
}

bool MemoryFileSystem::SetLastWriteTime(const std::string& path, const platform::SystemTime& time) {
    const auto it = files_.find(Key(path));
    if (it == files_.end()) return false;
    int64_t seconds = 0, nanoseconds = 0;
    if (!platform::UnixFromSystemTime(time, &seconds, &nanoseconds)) return false;
    it->second->lastWrite = time;
    return true;
}

bool MemoryFileSystem::Remove(const std::string& path) {
    written_.insert(path);
    files_.erase(Key(path));
    return true;
}

bool MemoryFileSystem::FreeBytes(const std::string&, int64_t* bytes) {
    *bytes = freeBytes;
    return true;
}

}  // namespace tolvane::test

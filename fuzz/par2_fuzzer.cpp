// Fuzz target: one recovery file (PAR 2.0) of any content, read beside two
// small volumes held in memory; every set found is checked against them and,
// where its recovery slices suffice, the damaged one is rebuilt. Nothing may
// crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "engine/par2/packets.h"
#include "engine/par2/repairer.h"
#include "engine/platform/file_system.h"

namespace {

using tolvane::platform::File;
using tolvane::platform::FileFacts;
using tolvane::platform::FileSystem;
using tolvane::platform::OpenMode;
using tolvane::platform::SystemTime;

// Files as strings in a map; enough of a file system for the recovery code.
class MemoryFileSystem : public FileSystem {
  public:
    std::map<std::string, std::string> files;

    std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
        auto it = files.find(path);
        if (mode == OpenMode::CreateTruncate) {
            it = files.insert_or_assign(path, std::string()).first;
        } else if (it == files.end()) {
            return nullptr;
        }
        return std::make_unique<MemoryFile>(it->second);
    }
    bool Stat(const std::string& path, FileFacts* facts) override {
        const auto it = files.find(path);
        if (it == files.end()) return false;
        facts->size = static_cast<int64_t>(it->second.size());
        facts->isRegular = true;
        return true;
    }
    bool SetLastWriteTime(const std::string&, const SystemTime&) override { return true; }
    bool Remove(const std::string& path) override {
        files.erase(path);
        return true;
    }
    bool FreeBytes(const std::string&, int64_t* bytes) override {
        *bytes = 1 << 30;
        return true;
    }
    std::string MountPointOf(const std::string&) override { return "/"; }
    bool MakeExecutable(const std::string&) override { return true; }

  private:
    class MemoryFile : public File {
      public:
        explicit MemoryFile(std::string& bytes) : bytes_(bytes) {}
        int64_t Read(void* buffer, int64_t count) override {
            if (position_ >= bytes_.size()) return 0;
            const size_t n =
                std::min<size_t>(static_cast<size_t>(count), bytes_.size() - position_);
            std::memcpy(buffer, bytes_.data() + position_, n);
            position_ += n;
            return static_cast<int64_t>(n);
        }
        int64_t Write(const void* buffer, int64_t count) override {
            // Outputs are bounded: a hostile set must not make them grow without end.
            if (position_ + static_cast<size_t>(count) > (4u << 20)) return -1;
            if (bytes_.size() < position_ + count) bytes_.resize(position_ + count);
            std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
            position_ += static_cast<size_t>(count);
            return count;
        }
        bool Seek(int64_t position) override {
            if (position < 0) return false;
            position_ = static_cast<size_t>(position);
            return true;
        }
        bool Flush() override { return true; }

      private:
        std::string& bytes_;
        size_t position_ = 0;
    };
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tolvane::par2;
    MemoryFileSystem fs;
    fs.files["package.par2"] = std::string(reinterpret_cast<const char*>(data), size);
    fs.files["package.001"] = std::string(203, 'x');
    fs.files["package.002"] = "hello tolvane recovery";
    RecoveryReader reader(fs);
    reader.ReadFile("package.par2");
    for (const RecoverySet& set : reader.Sets()) {
        if (!set.Complete()) continue;
        std::vector<std::string> paths;
        std::vector<RebuildFile> targets;
        uint64_t missing = 0;
        for (size_t f = 0; f < set.files.size(); ++f) {
            const FileDescription& d = set.descriptions.at(set.files[f]);
            const std::string path = d.name;
            paths.push_back(path);
            const FileCheck check =
                CheckFile(fs, path, d, set.checksums.at(set.files[f]), set.sliceSize);
            if (check.state != FileCheck::State::Intact) {
                targets.push_back({f, check.state == FileCheck::State::Damaged ? path : "",
                                   check.goodSlices, "out." + std::to_string(f)});
                missing += check.MissingSlices();
            }
        }
        // The rebuild's work grows with slices times missing slices; small
        // sets keep every input quick.
        uint64_t slices = 0;
        set.FirstSlices(&slices);
        if (!targets.empty() && missing <= 16 && slices <= 4096) {
            Rebuild(fs, set, paths, targets, 1 << 20);
        }
    }
    return 0;
}

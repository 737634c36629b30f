#include "tests/support/faulty_file_system.h"

namespace tolvane::test {
namespace {

class FaultyFile : public platform::File {
  public:
    FaultyFile(std::unique_ptr<platform::File> real, FaultyFileSystem& fs, std::string path,
               bool writer)
        : real_(std::move(real)), fs_(fs), path_(std::move(path)), writer_(writer) {}
    ~FaultyFile() override { fs_.Closed(path_, writer_); }

    int64_t Read(void* buffer, int64_t count) override {
        // Both read faults count the same calls; the armed one decides.
        if (fs_.Hit(Fault::ReadFails, path_)) {
            return fs_.armedFault() == Fault::ReadReturnsNothing ? 0 : -1;
        }
        return real_->Read(buffer, count);
    }
    int64_t Write(const void* buffer, int64_t count) override {
        if (count > 0) fs_.Wrote(path_);
        if (fs_.Hit(Fault::ShortWrite, path_)) {
            const int64_t half = count / 2;
            return half > 0 ? real_->Write(buffer, half) : 0;
        }
        return real_->Write(buffer, count);
    }
    bool Seek(int64_t position) override { return real_->Seek(position); }
    void StartWriteBack() override {
        if (fs_.syncToMedium) real_->StartWriteBack();
    }
    void WriteBackRest() override {
        if (fs_.syncToMedium) real_->WriteBackRest();
    }
    bool Flush() override {
        if (fs_.Hit(Fault::FlushFails, path_)) return false;
        if (fs_.syncToMedium && !real_->Flush()) return false;
        fs_.Synced(path_);
        return true;
    }
    int64_t Size() override { return real_->Size(); }
    bool Identity(platform::FileId* id) override { return real_->Identity(id); }
    int64_t CopyFrom(platform::File& source, int64_t count, void* buffer, int64_t bufferSize,
                     bool* readFailed) override {
        auto* faulty = dynamic_cast<FaultyFile*>(&source);
        if (!fs_.passCopiesThrough || faulty == nullptr) {
            return File::CopyFrom(source, count, buffer, bufferSize, readFailed);
        }
        fs_.Wrote(path_);
        return real_->CopyFrom(*faulty->real_, count, buffer, bufferSize, readFailed);
    }

  private:
    std::unique_ptr<platform::File> real_;
    FaultyFileSystem& fs_;
    std::string path_;
    bool writer_;
};

}  // namespace

FaultyFileSystem::FaultyFileSystem(platform::FileSystem& real) : real_(real) {}

FaultyFileSystem::Operation FaultyFileSystem::OperationOf(Fault fault) {
    switch (fault) {
        case Fault::OpenFails:
            return kOpen;
        case Fault::ReadFails:
        case Fault::ReadReturnsNothing:
            return kRead;
        case Fault::ShortWrite:
            return kWrite;
        case Fault::FlushFails:
            return kFlush;
        case Fault::StatFails:
            return kStat;
        case Fault::SetTimeFails:
            return kSetTime;
    }
    return kOpen;
}

void FaultyFileSystem::Arm(Fault fault, int nth) {
    armed_ = Armed{fault, nth};
    fired_ = false;
    firedPath_.clear();
}

int FaultyFileSystem::Calls(Fault fault) const {
    return calls_[OperationOf(fault)];
}

void FaultyFileSystem::ResetCounts() {
    calls_.fill(0);
}

bool FaultyFileSystem::Hit(Fault fault, const std::string& path) {
    const Operation op = OperationOf(fault);
    const int n = ++calls_[op];
    if (!armed_ || fired_ || OperationOf(armed_->fault) != op || armed_->nth != n) return false;
    fired_ = true;
    firedPath_ = path;
    return true;
}

std::unique_ptr<platform::File> FaultyFileSystem::Open(const std::string& path,
                                                       platform::OpenMode mode) {
    if (Hit(Fault::OpenFails, path)) return nullptr;
    const bool writer = mode != platform::OpenMode::Read;
    if (windowsLike && writer && openWriters_.count(path) != 0) return nullptr;  // sharing
    auto real = real_.Open(path, mode);
    if (!real) return nullptr;
    if (writer) openWriters_.insert(path);
    return std::make_unique<FaultyFile>(std::move(real), *this, path, writer);
}

bool FaultyFileSystem::Stat(const std::string& path, platform::FileFacts* facts) {
    if (Hit(Fault::StatFails, path)) return false;
    return real_.Stat(path, facts);
}

bool FaultyFileSystem::SetLastWriteTime(const std::string& path, const platform::SystemTime& time) {
    if (Hit(Fault::SetTimeFails, path)) return false;
    return real_.SetLastWriteTime(path, time);
}

bool FaultyFileSystem::SyncFiles(const std::vector<std::string>& paths) {
    if (windowsLike) return FileSystem::SyncFiles(paths);  // a flush per file, counted there
    if (Hit(Fault::FlushFails, paths.empty() ? std::string() : paths.front())) return false;
    if (syncToMedium && !real_.SyncFiles(paths)) return false;
    for (const std::string& path : paths) Synced(path);
    return true;
}

bool FaultyFileSystem::FreeBytes(const std::string& path, int64_t* bytes) {
    if (freeBytes) {
        *bytes = *freeBytes;
        return true;
    }
    return real_.FreeBytes(path, bytes);
}

}  // namespace tolvane::test

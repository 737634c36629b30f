#include "stub/robot.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {

void StubDisplay::Message(const std::string& text, const std::string& caption, Icon icon,
                          Owner owner) {
    const char* status = nullptr;
    if (text == tolvane::texts::kFileNotFound) {
        status = texts::kFileNotFound;
    } else if (text == tolvane::texts::kDeviceError) {
        status = texts::kMediumError;
    } else if (text == tolvane::texts::kInternalError) {
        status = texts::kInternalError;
    } else if (text == tolvane::texts::kWriteError) {
        status = "";
    }
    if (status == nullptr) {
        // The read error, and anything the stub has no short text for, is a
        // message box of its own.
        view_->Message(text, caption, icon, owner);
    } else {
        view_->ShowFailure(status, text, caption);
    }
}

Robot::Robot(RobotView& view, platform::FileSystem& fs)
    : display(view), set(settings, fs, display), view_(&view), fs_(&fs) {
    // Volumes 2 and later must be volumes of a self-extracting set.
    settings.selfExtracting = 1;
}

std::string Robot::Summary() const {
    char text[96];
    std::snprintf(text, sizeof text, "Files:%d, FileSize:%lld, Disks:%d", set.fileCount,
                  static_cast<long long>(set.totalSize), settings.volumeCount);
    return text;
}

int Robot::StartUp(const std::string& ownPath) {
    ownPath_ = ownPath;
    settings.packagePath = ownPath;
    settings.targetPath.clear();
    settings.volumeCount = 0;
    settings.currentVolume = 1;
    const int found = readHeader();
    if (found) {
        set.CalcHeaderSize();
        view_->SetStatusText(Summary());
        view_->SetStartButton(texts::kStart, true);
    } else {
        view_->ShowFailure(texts::kInvalidArchive);
        view_->SetStartButton(texts::kStart, false);
    }
    return found;
}

int Robot::readHeader() {
    set.Reset();
    auto file = fs_->Open(settings.packagePath, platform::OpenMode::Read);
    if (!file) {
        view_->SetStatusText(texts::kFileNotFound);
        return 0;
    }
    uint8_t fixed[kFixedHeadSize];
    FixedHead head;
    if (!file->Seek(kStubAreaSize) || file->Read(fixed, kFixedHeadSize) != kFixedHeadSize ||
        !ParseFixedHead(fixed, kFixedHeadSize, &head)) {
        view_->SetStatusText(texts::kInvalidArchive);
        settings.packagePath.clear();
        return 0;
    }
    std::vector<uint8_t> text(static_cast<size_t>(TextPartReadLimit(head.fileCount)));
    const int64_t n = file->Read(text.data(), static_cast<int64_t>(text.size()));
    file.reset();
    TextPart parsed;
    // An incomplete or damaged table, a hostile name, or a set whose volumes
    // cannot be named with three digits is no archive to unpack.
    if (n < 0 || !ParseTextPart(text.data(), static_cast<size_t>(n), head.fileCount, &parsed) ||
        head.volumeCount > kMaxVolumes) {
        view_->SetStatusText(texts::kInvalidArchive);
        settings.packagePath.clear();
        return 0;
    }
    settings.volumeCount = head.volumeCount;
    settings.volumeSize = parsed.volumeSize;
    set.fileCount = head.fileCount;
    set.totalSize = parsed.totalSize;
    for (HeaderRecord& r : parsed.records) {
        auto* entry = new FileEntry;
        entry->path = "/" + r.name;
        entry->size = r.size;
        entry->lastWrite = r.lastWrite;
        set.AppendEntry(entry);
    }
    return 1;
}

std::string Robot::VolumeFileName(int n) const {
    // Volume 1 is the running file whatever it is called (PACKAGE.EXE,
    // setup.exe, a name without extension); the others follow its stem.
    if (n == 1) return ownPath_;
    return VolumeName(ownPath_, n, true);
}

void Robot::Stop() {
    stopped_ = true;
    view_->SetStartButton("", false);
}

void Robot::StartPressed() {
    if (settings.currentVolume == 1) {
        std::string folder = settings.targetPath;
        if (!view_->AskTargetFolder(&folder)) return;
        settings.targetPath = folder;
    }
    platform::FileSystem& fs = *fs_;
    if (AllVolumesPresent()) {
        if (!ExtractAllVolumes()) return;
    } else {
        if (!HasFreeSpace(fs, RootOfPath(fs, settings.targetPath), set.totalSize)) {
            view_->ShowFailure(texts::kNoSpace);
            return;
        }
        view_->SetStatusText(texts::kCopying);
        while (!CopyBack()) {
            if (!RetryVolume()) return;
        }
        ++settings.currentVolume;
        ShowNextDiskPrompt();
    }
    if (set.current == nullptr) {
        set.Reset();
        finished_ = true;
        view_->SetStatusText(texts::kDone);
        view_->SetStartButton("", false);
    }
}

std::string Robot::FirstMissingVolume() {
    for (int n = 2; n <= settings.volumeCount; ++n) {
        const std::string name = VolumeFileName(n);
        if (!fs_->Open(name, platform::OpenMode::Read)) return name;
    }
    return {};
}

bool Robot::AllVolumesPresent() {
    return FirstMissingVolume().empty();
}

int Robot::ExtractAllVolumes() {
    platform::FileSystem& fs = *fs_;
    if (!HasFreeSpace(fs, RootOfPath(fs, settings.targetPath), set.totalSize)) {
        view_->ShowFailure(texts::kNoSpace);
        return 0;
    }
    view_->SetStatusText(texts::kCopying);
    while (set.current != nullptr) {
        while (!CopyBack()) {
            if (!RetryVolume()) return 0;
        }
        ++settings.currentVolume;
    }
    return 1;
}

void Robot::ShowNextDiskPrompt() {
    view_->SetStartButton(texts::kNextDisk, true);
    view_->SetStatusText(std::string(texts::kInsertPrompt) + " " +
                         std::to_string(settings.currentVolume));
}

int Robot::CheckDisk() {
    if (settings.currentVolume == 1) return 1;
    settings.packagePath = VolumeFileName(settings.currentVolume);
    return set.CheckDisk(true);
}

int Robot::RetryVolume() {
    const std::string question = std::string(texts::kRetryPrefix) + ": " +
                                 std::to_string(settings.currentVolume) + "\n" +
                                 texts::kRetryRequest;
    if (!view_->AskRetry(question, texts::kRetryCaption)) {
        Stop();
        return 0;
    }
    set.current = set.volumeStartEntry;
    if (set.current != nullptr) {
        set.current->done = set.volumeStartDone;
        for (FileEntry* e = set.current->next; e != nullptr; e = e->next) e->done = 0;
    }
    set.currentIndex = set.volumeStartIndex;
    set.bytesDone = set.volumeStartBytesDone;
    return 1;
}

// Provisional extraction of one volume, until the engine's extractor is shared.
int Robot::CopyBack() {
    using platform::OpenMode;
    set.TakeVolumeSnapshot();
    const int v = settings.currentVolume;
    settings.packagePath = VolumeFileName(v);
    if (!CheckDisk()) return 0;
    platform::FileFacts facts;
    if (!fs_->Stat(settings.packagePath, &facts)) {
        view_->ShowFailure(texts::kFileNotFound);
        return 0;
    }
    int64_t volumeDone = v == 1 ? kStubAreaSize : 0;
    const int64_t volumeDataSize = facts.size - set.headerSize;
    if (facts.size != settings.volumeSize && v != 1 && v != settings.volumeCount) {
        view_->ShowFailure(texts::kMediumError);
        return 0;
    }
    if (set.current == nullptr) return 1;
    auto outName = [&] {
        std::string t = settings.targetPath;
        if (!t.empty() && t.back() == '/') t.pop_back();
        return t + set.current->path;
    };
    view_->SetStartButton(texts::kWorking, false);
    view_->SetStatusText(outName());
    auto out = fs_->Open(
        outName(), set.current->done ? OpenMode::ReadWriteExisting : OpenMode::CreateTruncate);
    if (!out || !out->Seek(set.current->done)) {
        view_->ShowFailure("");
        return 0;
    }
    auto volume = fs_->Open(settings.packagePath, OpenMode::Read);
    if (!volume) {
        view_->ShowFailure(texts::kFileNotFound);
        return 0;
    }
    volume->Seek(set.headerSize + (v == 1 ? kStubAreaSize : 0));
    std::vector<char> buffer(kChunkSize);
    auto complete = [&]() -> int {
        while (set.current->done == set.current->size) {
            out.reset();
            view_->SetStatusText(outName());
            if (!fs_->SetLastWriteTime(outName(), set.current->lastWrite)) {
                view_->ShowFailure(texts::kInternalError);
            }
            set.current = set.current->next;
            if (set.current == nullptr) return 1;
            ++set.currentIndex;
            out = fs_->Open(outName(), OpenMode::CreateTruncate);
            if (!out) {
                view_->ShowFailure(texts::kFileNotFound);
                return 0;
            }
        }
        return 2;
    };
    int r = complete();
    if (r != 2) return r;
    while (volumeDone < volumeDataSize) {
        const int64_t want = std::min<int64_t>(kChunkSize, set.current->size - set.current->done);
        const int64_t n = volume->Read(buffer.data(), want);
        if (n <= 0) {
            display.Message(tolvane::texts::kReadError, "QuellDateien::CopyBack::read", Icon::Error,
                            Owner::Page);
            return 0;
        }
        if (out->Write(buffer.data(), n) != n) {
            view_->ShowFailure("");
            return 0;
        }
        set.current->done += n;
        set.bytesDone += n;
        volumeDone += n;
        view_->SetOverallBar(set.totalSize ? static_cast<int>(set.bytesDone * 100 / set.totalSize)
                                           : 0);
        view_->SetVolumeBar(volumeDataSize ? static_cast<int>(volumeDone * 100 / volumeDataSize)
                                           : 0);
        view_->Repaint();
        out->Flush();
        r = complete();
        if (r != 2) return r;
    }
    view_->SetVolumeBar(0);
    return 1;
}

}  // namespace tolvane::robot

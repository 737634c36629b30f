#include "engine/archive_set.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "engine/platform/wide_math.h"
#include "engine/robot_image.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {
namespace {

std::vector<RecordSource> RecordsOf(const FileEntry* head) {
    std::vector<RecordSource> records;
    for (const FileEntry* e = head; e != nullptr; e = e->next) {
        records.push_back({e->Name(), e->size, e->lastWrite, e->headerName});
    }
    return records;
}

int Percent(int64_t part, int64_t whole) {
    if (whole <= 0 || part <= 0) return 0;
    int64_t p = 100;
    if (part < whole && !platform::MulDiv(part, 100, whole, &p)) p = 100;
    return p > 100 ? 100 : static_cast<int>(p);
}

}  // namespace

void ArchiveSettings::ClearForStartPage() {
    targetPath.clear();
    packagePath.clear();
    targetRoot.clear();
    volumeCount = 0;
    currentVolume = 1;
    recoveryData = 0;
    recoveryVolumes = 1;
    recoveryBytes = 0;
}

std::string FileEntry::Name() const {
    return platform::BaseName(path);
}

QuellDateien::QuellDateien(ArchiveSettings& settings, platform::FileSystem& fs, Display& display)
    : settings_(&settings), fs_(&fs), display_(&display) {}

QuellDateien::~QuellDateien() {
    FreeEntries();
}

void QuellDateien::FreeEntries() {
    FileEntry* e = head;
    while (e != nullptr) {
        FileEntry* next = e->next;
        delete e;
        e = next;
    }
    head = nullptr;
}

void QuellDateien::Reset() {
    FreeEntries();
    totalSize = 0;
    bytesDone = 0;
    headerSize = 0;
    fileCount = 0;
    currentIndex = 0;
    current = nullptr;
    // The entries are gone: pointers into them must not survive either.
    tail = nullptr;
    volumeStartEntry = nullptr;
    repairStart = {};
    stubVolumePath.clear();
    rebuiltVolumes.clear();
    restoreRefused = false;
}

int QuellDateien::AddFile(const std::string& name) {
    auto* entry = new FileEntry;
    entry->path = sourceDir;
    if (entry->path.empty() || !platform::IsPathSeparator(entry->path.back())) {
        entry->path += platform::kPathSeparator;
    }
    entry->path += name;
    platform::FileFacts facts;
    if (fs_->Stat(entry->path, &facts)) {
        entry->size = facts.size;
        entry->lastWrite = facts.lastWrite;
    } else {
        // Gone since it was chosen: an empty entry with the present time; the
        // split reports the missing file when it gets there.
        entry->size = 0;
        entry->lastWrite = platform::SystemTimeFromUnix(std::time(nullptr), 0);
    }
    entry->done = 0;
    entry->next = head;
    if (head == nullptr) tail = entry;
    head = entry;
    current = entry;
    totalSize += entry->size;
    return ++fileCount;
}

int QuellDateien::AddFileAtEnd(const std::string& fullPath) {
    platform::FileFacts facts;
    if (!fs_->Stat(fullPath, &facts) || !facts.isRegular) return 0;
    auto* entry = new FileEntry;
    entry->path = fullPath;
    entry->size = facts.size;
    entry->lastWrite = facts.lastWrite;
    AppendEntry(entry);
    totalSize += entry->size;
    return ++fileCount;
}

void QuellDateien::Rewind() {
    for (FileEntry* e = head; e != nullptr; e = e->next) e->done = 0;
    settings_->currentVolume = 1;
    bytesDone = 0;
    currentIndex = 0;
    current = head;
}

void QuellDateien::AppendEntry(FileEntry* entry) {
    entry->next = nullptr;
    if (head == nullptr) {
        head = tail = current = entry;
    } else {
        tail->next = entry;
        tail = entry;
    }
}

std::vector<FileListRow> QuellDateien::FileListRows() const {
    std::vector<FileListRow> rows;
    int number = 1;
    for (const FileEntry* e = head; e != nullptr; e = e->next, ++number) {
        rows.push_back({std::to_string(number), e->Name(), FormatThousands(e->size),
                        FormatThousands(e->done)});
    }
    return rows;
}

int64_t QuellDateien::CalcHeaderSize() {
    headerSize = HeaderLength(totalSize, settings_->volumeSize, RecordsOf(head));
    return headerSize;
}

std::string QuellDateien::SetHeader(int volumeNumber) const {
    const ArchiveSettings& s = *settings_;
    return BuildHeader(s.selfExtracting ? 'E' : 'K', volumeNumber, s.volumeCount, totalSize,
                       s.volumeSize, RecordsOf(head));
}

int QuellDateien::makeHeader(const std::string& path, int volumeNumber) {
    return CreateVolume(path, volumeNumber) != nullptr ? 1 : 0;
}

std::unique_ptr<platform::File> QuellDateien::CreateVolume(const std::string& path,
                                                           int volumeNumber, bool* created) {
    const ArchiveSettings& s = *settings_;
    const std::string header = SetHeader(volumeNumber);
    const bool stubArea = volumeNumber == 1 && s.selfExtracting == 1;
    // The robot image is read and checked whole before the volume is
    // created: a missing, cut or foreign image leaves nothing behind.
    std::vector<char> stub;
    if (stubArea) {
        switch (ReadRobotImage(*fs_, s.robotPath, &stub)) {
            case RobotImageStatus::Ok:
                break;
            case RobotImageStatus::Missing:
                display_->Message(texts::kRobotMissing, texts::kCapMakeHeaderOpen, Icon::Error,
                                  Owner::Page);
                return 0;
            case RobotImageStatus::Damaged:
                display_->Message(texts::kRobotDamaged, texts::kCapMakeHeaderRead, Icon::Error,
                                  Owner::Page);
                return 0;
        }
        // The whole image, then zero bytes up to the end of the stub area.
        stub.resize(kStubAreaSize, 0);
    }
    auto volume = fs_->Open(path, platform::OpenMode::CreateTruncate);
    if (created != nullptr) *created = volume != nullptr;
    if (!volume) return nullptr;
    if (stubArea) {
        if (volume->Write(stub.data(), kStubAreaSize) != kStubAreaSize) {
            display_->Message(texts::kRobotDamaged, texts::kCapMakeHeaderWrite, Icon::Error,
                              Owner::Page);
            return nullptr;
        }
        fs_->MakeExecutable(path);
    }
    if (volume->Write(header.data(), static_cast<int64_t>(header.size())) !=
        static_cast<int64_t>(header.size())) {
        return nullptr;
    }
    return volume;
}

int QuellDateien::readHeader() {
    Reset();
    ArchiveSettings& s = *settings_;
    auto file = fs_->Open(s.packagePath, platform::OpenMode::Read);
    if (!file) {
        display_->Message(texts::kFileNotFound, texts::kCapReadHeaderOpen, Icon::Error,
                          Owner::MainWindow);
        return 0;
    }
    auto notAPackage = [&] {
        file.reset();
        s.selfExtracting = 0;
        display_->Message(texts::kNotAPackage, texts::kCapReadHeaderIsPackage, Icon::Warning,
                          Owner::Page);
        s.packagePath.clear();
        return 0;
    };
    const bool exeName = IsSelfExtractingFirstVolumeName(s.packagePath);
    FixedHead head;
    TextPart parsed;
    bool behindStub = exeName;
    bool read = ReadVolumeHeader(*file, exeName ? kStubAreaSize : 0, &head, &parsed);
    // A first volume of a self-extracting set renamed to another extension:
    // its header lies behind the stub area all the same.
    if (!read && !exeName) {
        behindStub = read = ReadVolumeHeader(*file, kStubAreaSize, &head, &parsed) &&
                            head.magicLetter == 'E' && head.volumeNumber == 1;
    }
    if (!read) return notAPackage();
    file.reset();
    if (behindStub) stubVolumePath = s.packagePath;

    s.selfExtracting = head.magicLetter == 'E' ? 1 : 0;
    AdoptHeader(head, parsed);
    return 1;
}

void QuellDateien::AdoptHeader(const FixedHead& head, TextPart& parsed) {
    settings_->volumeCount = head.volumeCount;
    settings_->volumeSize = parsed.volumeSize;
    fileCount = head.fileCount;
    totalSize = parsed.totalSize;
    for (HeaderRecord& r : parsed.records) {
        auto* entry = new FileEntry;
        entry->path = "/" + r.name;
        entry->headerName = std::move(r.headerName);
        entry->size = r.size;
        entry->lastWrite = r.lastWrite;
        AppendEntry(entry);
    }
}

char* QuellDateien::CopyBuffer() {
    if (!buffer_) buffer_.reset(new char[kChunkSize]);
    return buffer_.get();
}

int64_t QuellDateien::CopyChunk(platform::File& to, platform::File& from, int64_t limit,
                                bool* readFailed) {
    char* buffer = CopyBuffer();
    const int64_t asked = std::min(limit, pace_.Step());
    const int64_t start = platform::MonotonicMicroseconds();
    const int64_t n = to.CopyFrom(from, asked, buffer, kChunkSize, readFailed);
    pace_.Took(asked, n, std::chrono::microseconds(platform::MonotonicMicroseconds() - start));
    return n;
}

void QuellDateien::ShowProgress(int64_t volumeUsed, int64_t volumeCapacity, bool showOverall) {
    if (current != nullptr) display_->SetRowDone(currentIndex, FormatThousands(current->done));
    if (showOverall) display_->SetOverallBar(Percent(bytesDone, totalSize));
    display_->SetVolumeBar(Percent(volumeUsed, volumeCapacity));
    display_->Repaint();
}

}  // namespace tolvane

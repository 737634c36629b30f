#include <algorithm>

#include "engine/archive_set.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

void QuellDateien::TakeVolumeSnapshot() {
    volumeStartEntry = current;
    volumeStartDone = current != nullptr ? current->done : 0;
    volumeStartIndex = currentIndex;
    volumeStartBytesDone = bytesDone;
}

int QuellDateien::RetryVolume() {
    const std::string question = std::string(texts::kRetryPrefix) + ": " +
                                 std::to_string(settings_->currentVolume) + "\n" +
                                 texts::kRetryRequest;
    return RetryVolume(question, texts::kAppCaption);
}

int QuellDateien::RetryVolume(const std::string& question, const std::string& caption) {
    // Whatever was written before the failure is on the medium while the
    // question is open: the user may take the medium out or stop here.
    SyncWritten();
    if (!display_->AskRetry(question, caption)) return 0;
    RollBackToVolumeStart();
    return 1;
}

void QuellDateien::RollBackToVolumeStart() {
    current = volumeStartEntry;
    if (current != nullptr) {
        current->done = volumeStartDone;
        for (FileEntry* e = current->next; e != nullptr; e = e->next) e->done = 0;
    }
    currentIndex = volumeStartIndex;
    bytesDone = volumeStartBytesDone;
}

int QuellDateien::CheckDisk(bool acceptSelfExtracting) {
    switch (CheckVolume(acceptSelfExtracting)) {
        case VolumeCheck::Expected:
            return 1;
        case VolumeCheck::OpenFailed:
            display_->Message(texts::kFileNotFound, texts::kCapCheckDisk, Icon::Error,
                              Owner::MainWindow);
            return 0;
        case VolumeCheck::Unexpected:
            break;
    }
    return 0;
}

QuellDateien::VolumeCheck QuellDateien::CheckVolume(bool acceptSelfExtracting) {
    auto file = fs_->Open(settings_->packagePath, platform::OpenMode::Read);
    if (!file) return VolumeCheck::OpenFailed;
    return CheckVolume(*file, acceptSelfExtracting);
}

QuellDateien::VolumeCheck QuellDateien::CheckVolume(platform::File& file,
                                                    bool acceptSelfExtracting) {
    const ArchiveSettings& s = *settings_;
    const bool selfExtracting = acceptSelfExtracting && s.selfExtracting == 1;
    // The first volume of the self-extracting layout has the stub area in
    // front, whatever it is called.
    if (selfExtracting && s.currentVolume == 1 && !file.Seek(kStubAreaSize)) {
        return VolumeCheck::Unexpected;
    }
    // A volume belongs to this set only when its header is the set's header
    // byte for byte, its number aside: every name, size, time, count and
    // total. Two sets of the same files and sizes (two nightly backups)
    // differ in their times or contents, and a volume of the other would
    // mix foreign bytes into the files.
    const std::string expected = SetHeader(s.currentVolume);
    std::string actual(expected.size(), '\0');
    const int64_t n = file.Read(actual.data(), static_cast<int64_t>(actual.size()));
    if (n != static_cast<int64_t>(expected.size())) return VolumeCheck::Unexpected;
    if (!selfExtracting && actual.compare(0, 4, "PACK") != 0) return VolumeCheck::Unexpected;
    return actual == expected ? VolumeCheck::Expected : VolumeCheck::Unexpected;
}

void QuellDateien::NoteWritten(const std::string& path) {
    // A file that goes on over several volumes is noted once.
    if (unsynced_.empty() || unsynced_.back() != path) unsynced_.push_back(path);
}

bool QuellDateien::SyncWritten() {
    if (unsynced_.empty()) return true;
    if (!fs_->SyncFiles(unsynced_)) return false;
    unsynced_.clear();
    return true;
}

bool QuellDateien::EndOfVolume(std::unique_ptr<platform::File>& file, const std::string& path) {
    if (batchVolumes && current != nullptr) {
        file.reset();
        NoteWritten(path);
        return true;
    }
    // A lone file is flushed by itself; together with others, all at once,
    // once it is closed: the portable way opens each of them again.
    if (unsynced_.empty()) {
        const bool flushed = file->Flush();
        file.reset();
        return flushed;
    }
    file.reset();
    NoteWritten(path);
    return SyncWritten();
}

std::string InsertPromptText(int volume) {
    return std::string(texts::kInsertPrompt) + " " + std::to_string(volume);
}

void ShowInsertPrompt(QuellDateien& set) {
    set.display().SetStatusText(InsertPromptText(set.settings().currentVolume));
}

void ShowNoSpace(Display& display) {
    display.Message(texts::kNoSpace, texts::kAppCaption, Icon::Warning, Owner::Page);
}

}  // namespace tolvane

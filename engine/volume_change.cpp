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
    if (!display_->AskRetry(question, caption)) return 0;
    current = volumeStartEntry;
    if (current != nullptr) {
        current->done = volumeStartDone;
        for (FileEntry* e = current->next; e != nullptr; e = e->next) e->done = 0;
    }
    currentIndex = volumeStartIndex;
    bytesDone = volumeStartBytesDone;
    return 1;
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
    const ArchiveSettings& s = *settings_;
    auto file = fs_->Open(s.packagePath, platform::OpenMode::Read);
    if (!file) return VolumeCheck::OpenFailed;
    const bool selfExtracting = acceptSelfExtracting && s.selfExtracting == 1;
    if (selfExtracting && IsSelfExtractingFirstVolumeName(s.packagePath) &&
        !file->Seek(kStubAreaSize)) {
        return VolumeCheck::Unexpected;
    }
    // A volume belongs to this set only when its header is the set's header
    // byte for byte, its number aside: every name, size, time, count and
    // total. Two sets of the same files and sizes (two nightly backups)
    // differ in their times or contents, and a volume of the other would
    // mix foreign bytes into the files.
    const std::string expected = SetHeader(s.currentVolume);
    std::string actual(expected.size(), '\0');
    const int64_t n = file->Read(actual.data(), static_cast<int64_t>(actual.size()));
    file.reset();
    if (n != static_cast<int64_t>(expected.size())) return VolumeCheck::Unexpected;
    if (!selfExtracting && actual.compare(0, 4, "PACK") != 0) return VolumeCheck::Unexpected;
    return actual == expected ? VolumeCheck::Expected : VolumeCheck::Unexpected;
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

// The split writer: QuellDateien::Copy writes one volume per call, StartSplit
// and WriteAllVolumes drive it.
#include <algorithm>
#include <memory>
#include <set>
#include <utility>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "engine/robot_image.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

int QuellDateien::Copy() {
    ArchiveSettings& s = *settings_;
    TakeVolumeSnapshot();
    auto fail = [this](const char* text, const char* caption) {
        display_->Message(text, caption, Icon::Error, Owner::Page);
        return 0;
    };

    const bool stubArea = s.selfExtracting == 1 && s.currentVolume == 1;
    s.targetPath = VolumeName(s.targetPath, s.currentVolume, s.selfExtracting == 1);
    // Bytes of the volume behind the header that are taken; on the first
    // volume of a self-extracting set the stub area counts against it.
    int64_t used = stubArea ? kStubAreaSize : 0;

    if (!makeHeader(s.targetPath, s.currentVolume)) {
        return fail(texts::kWriteError, texts::kCapCopyMakeHeader);
    }
    const int64_t capacity = s.volumeSize - headerSize;
    auto volume = fs_->Open(s.targetPath, platform::OpenMode::Append);
    if (!volume) return fail(texts::kWriteError, texts::kCapCopyOpen);

    if (current != nullptr) {
        auto source = fs_->Open(current->path, platform::OpenMode::Read);
        if (!source) return fail(texts::kFileNotFound, texts::kCapCopyOpen2);
        if (!source->Seek(current->done)) return fail(texts::kReadError, texts::kCapCopyRead);

        const auto buffer = std::make_unique<char[]>(kChunkSize);
        while (used < capacity) {
            if (current->done >= current->size) {
                // The file is in the volumes whole: go on with the next one.
                // Only the recorded size is taken, so the data always matches
                // the header even when a file has grown since it was chosen.
                source.reset();
                current = current->next;
                if (current == nullptr) break;
                ++currentIndex;
                source = fs_->Open(current->path, platform::OpenMode::Read);
                if (!source) return fail(texts::kFileNotFound, texts::kCapCopyOpen3);
                continue;
            }
            const int64_t chunk =
                std::min({capacity - used, kChunkSize, current->size - current->done});
            bool readFailed = false;
            const int64_t n = volume->CopyFrom(*source, chunk, buffer.get(), &readFailed);
            if (n < 0 && !readFailed) return fail(texts::kWriteError, texts::kCapCopyWrite);
            // A file that ends before its recorded size has shrunk since it
            // was chosen: a read error, never an endless loop or a volume
            // that disagrees with its header.
            if (n <= 0) return fail(texts::kReadError, texts::kCapCopyRead);
            volume->StartWriteBack();
            current->done += n;
            bytesDone += n;
            used += n;
            ShowProgress(used, capacity);
        }
    }

    // The volume is complete on the medium before the call reports success,
    // so the user may take the medium out. Each chunk was handed to the
    // device as it was written; one flush per volume waits for all of it.
    // (A flush per chunk gives no more and costs up to twice the time; see
    // docs/performance.md.)
    if (!volume->Flush()) return fail(texts::kWriteError, texts::kCapCopyWrite);
    volume.reset();
    if (current != nullptr) display_->SetVolumeBar(0);
    return 1;
}

namespace {

void Refuse(QuellDateien& set, const std::string& text) {
    set.display().Message(text, texts::kAppCaption, Icon::Warning, Owner::Page);
}

// Writes volume currentVolume, asking the retry question after every
// failure. Finished when it is written (currentVolume then names the next).
DriveOutcome WriteOneVolume(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    // The header promised volumeCount volumes; a further one would make a
    // broken archive. It cannot happen while the set is unchanged.
    if (s.currentVolume > s.volumeCount) {
        set.display().Message(texts::kInternalError, texts::kAppCaption, Icon::Error, Owner::Page);
        return DriveOutcome::Stopped;
    }
    while (!set.Copy()) {
        if (!set.RetryVolume()) return DriveOutcome::Cancelled;
    }
    ++s.currentVolume;
    return DriveOutcome::Finished;
}

}  // namespace

std::string CheckSplitSources(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    if (s.targetPath.empty()) return texts::kNoSplitTarget;
    platform::FileSystem& fs = set.fs();
    std::set<std::string> names;
    std::set<platform::FileId> sources;
    for (const FileEntry* e = set.head; e != nullptr; e = e->next) {
        const std::string name = e->Name();
        // The reader refuses empty names, "." and "..", and names with "\";
        // a name must also come back from the header as itself.
        const bool storable = !name.empty() && name != "." && name != ".." &&
                              name.find('\\') == std::string::npos &&
                              name.find('\0') == std::string::npos && !HasControlCharacter(name) &&
                              DecodeHeaderName(EncodeHeaderName(name)) == name;
        if (!storable) {
            return texts::WithName(texts::kNameNotStorable, EscapeControlCharacters(name));
        }
        if (!names.insert(fs.FoldsCase() ? FoldCase(name) : name).second) {
            return texts::WithName(texts::kDuplicateName, name);
        }
        platform::FileId id;
        if (platform::IdentityOf(fs, e->path, &id)) sources.insert(id);
    }
    std::vector<std::string> volumes = {s.targetPath};
    for (int n = 1; n <= std::max(s.volumeCount, 1); ++n) {
        volumes.push_back(VolumeName(s.targetPath, n, s.selfExtracting == 1));
    }
    for (const std::string& volume : volumes) {
        platform::FileId id;
        if (platform::IdentityOf(fs, volume, &id) && sources.count(id) != 0) {
            return texts::WithName(texts::kVolumeIsSource, volume);
        }
    }
    return {};
}

DriveOutcome StartSplit(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    // Nothing is written for a set the header cannot describe.
    std::string refusal = CheckSplitLimits(set);
    if (refusal.empty()) {
        if (s.currentVolume == 1) UpdateVolumeCount(set);
        refusal = CheckSplitSources(set);
    }
    if (!refusal.empty()) {
        Refuse(set, refusal);
        return DriveOutcome::Stopped;
    }
    if (set.current == nullptr) return DriveOutcome::Finished;
    // A cut or foreign robot image is refused before any file is touched
    // (a missing one leads makeHeader to its report and the retry question,
    // which lets the user put it back).
    if (s.currentVolume == 1 && s.selfExtracting == 1) {
        std::vector<char> image;
        if (ReadRobotImage(set.fs(), s.robotPath, &image) == RobotImageStatus::Damaged) {
            set.display().Message(texts::kRobotDamaged, texts::kCapMakeHeaderRead, Icon::Error,
                                  Owner::Page);
            return DriveOutcome::Stopped;
        }
    }

    // A file of the first volume's name (or the last volume written before
    // the user went back) would count against the free space.
    if (s.currentVolume == 1) set.fs().Remove(s.targetPath);

    if (SetFits(set)) return WriteAllVolumes(set);

    if (!VolumeFits(set)) {
        ShowNoSpace(set.display());
        return DriveOutcome::Stopped;
    }
    set.display().SetStatusText(texts::kWorking);
    const DriveOutcome written = WriteOneVolume(set);
    if (written != DriveOutcome::Finished) return written;
    ShowInsertPrompt(set);
    return set.current == nullptr ? DriveOutcome::Finished : DriveOutcome::WaitingForNextMedium;
}

DriveOutcome WriteAllVolumes(QuellDateien& set) {
    if (!AllVolumesFit(set)) {
        ShowNoSpace(set.display());
        return DriveOutcome::Stopped;
    }
    set.display().SetStatusText(texts::kWorking);
    while (set.current != nullptr) {
        const DriveOutcome written = WriteOneVolume(set);
        if (written != DriveOutcome::Finished) return written;
    }
    return DriveOutcome::Finished;
}

}  // namespace tolvane

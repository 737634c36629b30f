// The split writer: QuellDateien::Copy writes one volume per call, StartSplit
// and WriteAllVolumes drive it.
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "engine/position.h"
#include "engine/recovery.h"
#include "engine/robot_image.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

int QuellDateien::WriteVolume(const std::string& path, int number, const WriterCaptions& captions,
                              bool sourcesInFolder, bool showOverall) {
    std::unique_ptr<platform::File> volume;
    std::unique_ptr<platform::File> source;
    bool created = false;
    // A stop closes what the call holds open and puts what was finished
    // before on the medium; the partial volume is left to the caller, which
    // removes it.
    auto stop = [&] {
        source.reset();
        volume.reset();
        SyncWritten();
        return 0;
    };
    // A failure does the same with the partial volume on the medium too,
    // then reports.
    auto fail = [&](const char* text, const char* caption) {
        if (created) NoteWritten(path);
        stop();
        display_->Message(text, caption, Icon::Error, Owner::Page);
        return 0;
    };
    auto sourcePath = [&](const FileEntry& e) {
        return sourcesInFolder ? PathInFolder(sourceDir, e.path) : e.path;
    };

    // Bytes of the volume behind the header that are taken; on the first
    // volume of a self-extracting set the stub area counts against it.
    int64_t used = settings_->selfExtracting == 1 && number == 1 ? kStubAreaSize : 0;
    if (StopRequested()) return stop();
    // One descriptor for the header and the data.
    volume = CreateVolume(path, number, &created);
    if (!volume) return fail(texts::kWriteError, captions.makeHeader);
    const int64_t capacity = settings_->volumeSize - headerSize;

    if (current != nullptr) {
        source = fs_->Open(sourcePath(*current), platform::OpenMode::Read);
        if (!source) return fail(texts::kFileNotFound, captions.open2);
        if (!source->Seek(current->done)) return fail(texts::kReadError, captions.read);

        while (used < capacity) {
            if (StopRequested()) return stop();
            if (current->done >= current->size) {
                // The file is in the volumes whole: go on with the next one.
                // Only the recorded size is taken, so the data always match
                // the header even when a file has grown since it was chosen.
                source.reset();
                current = current->next;
                if (current == nullptr) break;  // the stream ends in this, the last, volume
                ++currentIndex;
                source = fs_->Open(sourcePath(*current), platform::OpenMode::Read);
                if (!source) return fail(texts::kFileNotFound, captions.open3);
                continue;
            }
            bool readFailed = false;
            const int64_t n =
                CopyChunk(*volume, *source,
                          std::min(capacity - used, current->size - current->done), &readFailed);
            if (n < 0 && !readFailed) return fail(texts::kWriteError, captions.write);
            // A file that ends before its recorded size has shrunk since it
            // was chosen: a read error, never an endless loop or a volume
            // that disagrees with its header.
            if (n <= 0) return fail(texts::kReadError, captions.read);
            volume->StartWriteBack();
            current->done += n;
            bytesDone += n;
            used += n;
            ShowProgress(used, capacity, showOverall);
        }
        source.reset();
    }

    // The volume is complete on the medium before anybody is told or asked
    // anything; within a batch it is only noted (batchVolumes). The device
    // was asked to write it while it was copied, and the rest of it now,
    // while the next volume is copied: the wait at the end is short.
    if (batchVolumes) volume->WriteBackRest();
    if (!EndOfVolume(volume, path)) return fail(texts::kWriteError, captions.write);
    if (current != nullptr) display_->SetVolumeBar(0);
    return 1;
}

int QuellDateien::Copy() {
    ArchiveSettings& s = *settings_;
    TakeVolumeSnapshot();
    s.targetPath = VolumeName(s.targetPath, s.currentVolume, s.selfExtracting == 1);
    static constexpr WriterCaptions kCaptions = {texts::kCapCopyMakeHeader, texts::kCapCopyOpen2,
                                                 texts::kCapCopyOpen3, texts::kCapCopyRead,
                                                 texts::kCapCopyWrite};
    return WriteVolume(s.targetPath, s.currentVolume, kCaptions, /*sourcesInFolder=*/false,
                       /*showOverall=*/true);
}

namespace {

void Refuse(QuellDateien& set, const std::string& text) {
    set.display().Message(text, texts::kAppCaption, Icon::Warning, Owner::Page);
}

// A split the user stopped: the volume being written goes (a partial
// volume would be taken for a damaged one), the finished ones stay.
DriveOutcome SplitInterrupted(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    set.fs().Remove(s.targetPath);
    set.display().Message(
        texts::WithNames(texts::kSplitInterrupted, std::to_string(s.currentVolume - 1),
                         std::to_string(s.volumeCount)),
        texts::kAppCaption, Icon::Information, Owner::Page);
    return DriveOutcome::Interrupted;
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
        if (set.StopRequested()) return SplitInterrupted(set);
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
    // Names by the key Windows tells them apart by: a set with two names
    // that differ only in letter case could not be restored there.
    std::map<std::string, std::string> names;
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
        const auto [first, isNew] = names.emplace(FoldCase(name), name);
        if (!isNew) {
            if (first->second == name) return texts::WithName(texts::kDuplicateName, name);
            return texts::WithNames(texts::kNamesDifferInCase, first->second, name);
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
    // Recovery data under the set's name describes the volumes being
    // replaced: left there, a rebuild would turn the new volumes back into
    // the old ones.
    if (s.currentVolume == 1) {
        for (const std::string& path : StaleRecoveryFiles(s.targetPath)) set.fs().Remove(path);
    }

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
    // Nobody is asked between the volumes: they reach the medium together,
    // after the last one (or before a question).
    const VolumeBatch batch(set);
    while (set.current != nullptr) {
        const DriveOutcome written = WriteOneVolume(set);
        if (written != DriveOutcome::Finished) return written;
    }
    return DriveOutcome::Finished;
}

}  // namespace tolvane

// The extractor: QuellDateien::CopyBack restores one volume per call,
// AllPackagesPresent, RestoreAllVolumes and RestoreStep drive it.
#include "engine/extractor.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

#include "engine/drivers.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

// --- the archiver's reports ---

void RestoreVariant::ReportFailure(QuellDateien& set, RestoreFailure failure) const {
    const char* text = nullptr;
    const char* caption = nullptr;
    Owner owner = Owner::Page;
    switch (failure) {
        case RestoreFailure::VolumeMissing:
            text = texts::kFileNotFound, caption = texts::kCapCheckDisk, owner = Owner::MainWindow;
            break;
        case RestoreFailure::FileSize:
            text = texts::kDeviceError, caption = texts::kCapCopyBackFileSize,
            owner = Owner::MainWindow;
            break;
        case RestoreFailure::OpenOutput:
            text = texts::kWriteError, caption = texts::kCapCopyBackOpen;
            break;
        case RestoreFailure::OpenVolume:
            text = texts::kFileNotFound, caption = texts::kCapCopyBackOpen2;
            break;
        case RestoreFailure::Read:
            text = texts::kReadError, caption = texts::kCapCopyBackRead;
            break;
        case RestoreFailure::Write:
            text = texts::kWriteError, caption = texts::kCapCopyBackWrite;
            break;
        case RestoreFailure::ReopenForTime:
            text = texts::kFileNotFound, caption = texts::kCapCopyBackCreateFile;
            break;
        case RestoreFailure::ConvertTime:
            text = texts::kInternalError, caption = texts::kCapCopyBackTimeConvert,
            owner = Owner::MainWindow;
            break;
        case RestoreFailure::SetTime:
            text = texts::kInternalError, caption = texts::kCapCopyBackSetTime,
            owner = Owner::MainWindow;
            break;
        case RestoreFailure::CreateNext:
            text = texts::kFileNotFound, caption = texts::kCapCopyBackOpen3;
            break;
    }
    set.display().Message(text, caption, Icon::Error, owner);
}

std::string RestoreVariant::VolumeFileName(const ArchiveSettings& settings, int number) const {
    if (number == 1 && !firstVolumePath.empty() && SelfExtractingLayout(settings)) {
        return firstVolumePath;
    }
    return VolumeName(settings.packagePath, number, SelfExtractingLayout(settings));
}

void RestoreVariant::ShowOutputFile(QuellDateien&, const std::string&) const {}

void RestoreVariant::ShowWorking(QuellDateien& set) const {
    set.display().SetStatusText(texts::kWorking);
}

void RestoreVariant::ReportNoSpace(QuellDateien& set) const {
    set.display().Message(texts::kNoSpaceRestore, texts::kAppCaption, Icon::Warning, Owner::Page);
}

void RestoreVariant::ReportRefusal(QuellDateien& set, const std::string& text) const {
    set.display().Message(text, texts::kAppCaption, Icon::Warning, Owner::Page);
}

int RestoreVariant::AskRetry(QuellDateien& set) const {
    return set.RetryVolume();
}

std::string OutputFileName(const std::string& targetFolder, const FileEntry& entry) {
    std::string folder = targetFolder;
    if (!folder.empty() && platform::IsPathSeparator(folder.back())) folder.pop_back();
    return folder + platform::kPathSeparator + entry.Name();
}

// --- one volume ---

int64_t QuellDateien::RemainingBytes() const {
    int64_t remaining = 0;
    for (const FileEntry* e = current; e != nullptr; e = e->next) remaining += e->size - e->done;
    return remaining;
}

int QuellDateien::CopyBack() {
    return CopyBack(RestoreVariant());
}

int QuellDateien::CopyBack(const RestoreVariant& variant) {
    ArchiveSettings& s = *settings_;
    TakeVolumeSnapshot();
    std::unique_ptr<platform::File> volume;
    std::unique_ptr<platform::File> output;
    std::string outputName;
    // Every stop closes what the call holds open and puts what was restored
    // on the medium before anything is reported or asked.
    auto stop = [&] {
        volume.reset();
        if (output) NoteWritten(outputName);
        output.reset();
        SyncWritten();
        return 0;
    };
    auto fail = [&](RestoreFailure failure) {
        stop();
        variant.ReportFailure(*this, failure);
        return 0;
    };
    // A refusal no retry can mend: the position goes back to the start of
    // the volume, so that the set stays consistent for whatever follows.
    auto refuse = [&](const std::string& text) {
        stop();
        RollBackToVolumeStart();
        restoreRefused = true;
        variant.ReportRefusal(*this, text);
        return 0;
    };
    std::string collision;

    const bool selfExtracting = variant.SelfExtractingLayout(s);
    const int number = s.currentVolume;
    s.packagePath = variant.VolumeFileName(s, number);
    if (current == nullptr) return 1;
    if (StopRequested()) return stop();
    // Every file is complete once the last volume is done; a volume beyond
    // the set is never asked for.
    if (number < 1 || number > s.volumeCount) return fail(RestoreFailure::FileSize);

    // One descriptor for the check of the header, the size and the data.
    const bool verified = variant.firstVolumeVerified && number == 1;
    volume = fs_->Open(s.packagePath, platform::OpenMode::Read);
    if (!volume) return fail(verified ? RestoreFailure::OpenVolume : RestoreFailure::VolumeMissing);
    // A wrong volume: the retry question says it.
    if (!verified && CheckVolume(*volume, selfExtracting) == VolumeCheck::Unexpected) {
        return stop();
    }

    // The size of an open file, by name where the layer cannot tell; -1
    // when neither can.
    platform::FileFacts facts;
    auto sizeOf = [&](platform::File& file, const std::string& path) {
        const int64_t n = file.Size();
        if (n >= 0) return n;
        return fs_->Stat(path, &facts) ? facts.size : int64_t{-1};
    };
    const int64_t size = sizeOf(*volume, s.packagePath);
    if (size < 0) return fail(RestoreFailure::OpenVolume);
    const int64_t stubArea = selfExtracting && number == 1 ? kStubAreaSize : 0;
    const int64_t volumeDataSize = size - headerSize;
    int64_t volumeDone = stubArea;
    const bool last = number == s.volumeCount;
    // Every volume but the last is exactly volumeSize long (a short one
    // would shift every later file), and the last one holds at least what
    // is left; otherwise nothing is written.
    if (!last && size != s.volumeSize) return fail(RestoreFailure::FileSize);
    if (last && volumeDataSize - volumeDone < RemainingBytes()) {
        return fail(RestoreFailure::FileSize);
    }

    outputName = OutputFileName(s.targetPath, *current);
    variant.ShowOutputFile(*this, outputName);
    if (current->done == 0) {
        output = CreateRestoredFile(outputName, *current, &collision);
        if (!collision.empty()) return refuse(collision);
    } else {
        // The file began on an earlier volume: go on exactly where it ends.
        // If it has lost bytes since, continuing would leave a hole.
        output = fs_->Open(outputName, platform::OpenMode::ReadWriteExisting);
        if (output &&
            (sizeOf(*output, outputName) < current->done || !output->Seek(current->done))) {
            output.reset();
        }
        // The file this run goes on with is its own, like those it creates.
        if (output) output->Identity(&current->restoredAs);
    }
    if (!output) return fail(RestoreFailure::OpenOutput);
    if (!volume->Seek(headerSize + stubArea)) return fail(RestoreFailure::Read);

    // Small files are written from one read of the volume into the buffer;
    // a copy call of its own would cost a hundred-byte file more than its
    // bytes. Longer runs are copied by the kernel once the buffer is empty
    // (the volume then stands where the next byte is).
    constexpr int64_t kSmallFile = 65536;
    int64_t buffered = 0, taken = 0;  // bytes read into the buffer, of them written
    for (;;) {
        // Complete every file whose bytes are all written: also empty files,
        // and those at the very end of the list behind the last data byte.
        // A completed file reaches the medium at the next point where the
        // user is asked or told anything, with every other one.
        while (current->done >= current->size) {
            output.reset();
            NoteWritten(outputName);
            int64_t seconds = 0, nanoseconds = 0;
            if (!platform::UnixFromSystemTime(current->lastWrite, &seconds, &nanoseconds)) {
                SyncWritten();
                variant.ReportFailure(*this, RestoreFailure::ConvertTime);
            } else if (!fs_->SetLastWriteTime(outputName, current->lastWrite)) {
                // Gone since it was written: the file must be restored again.
                if (!fs_->Stat(outputName, &facts)) return fail(RestoreFailure::ReopenForTime);
                SyncWritten();
                variant.ReportFailure(*this, RestoreFailure::SetTime);
            }
            current = current->next;
            if (current == nullptr) {
                // Every file of the archive is restored, and on the medium
                // before success is reported.
                volume.reset();
                if (!SyncWritten()) return fail(RestoreFailure::Write);
                return 1;
            }
            ++currentIndex;
            outputName = OutputFileName(s.targetPath, *current);
            variant.ShowOutputFile(*this, outputName);
            output = CreateRestoredFile(outputName, *current, &collision);
            if (!collision.empty()) return refuse(collision);
            if (!output) return fail(RestoreFailure::CreateNext);
        }
        if (volumeDone >= volumeDataSize) break;
        // Stopped by the user: what is written stays, so that the run can
        // be continued from this volume, and it is on the medium.
        if (StopRequested()) return stop();

        // A chunk never crosses the end of the current file or of the volume.
        const int64_t want = std::min(current->size - current->done, volumeDataSize - volumeDone);
        int64_t n = 0;
        if (taken < buffered || want < kSmallFile) {
            if (taken == buffered) {
                buffered =
                    volume->Read(CopyBuffer(), std::min(kChunkSize, volumeDataSize - volumeDone));
                taken = 0;
                // No bytes although the volume should hold more: it has
                // shrunk since its size was taken. A read error, never an
                // endless loop.
                if (buffered <= 0) return fail(RestoreFailure::Read);
            }
            n = std::min(want, buffered - taken);
            if (output->Write(CopyBuffer() + taken, n) != n) return fail(RestoreFailure::Write);
            taken += n;
        } else {
            bool readFailed = false;
            n = CopyChunk(*output, *volume, want, &readFailed);
            if (n < 0) return fail(readFailed ? RestoreFailure::Read : RestoreFailure::Write);
            if (n == 0) return fail(RestoreFailure::Read);
        }
        output->StartWriteBack();
        current->done += n;
        bytesDone += n;
        volumeDone += n;
        ShowProgress(volumeDone, volumeDataSize);
    }

    // What this volume gave the file that continues is on the medium before
    // anybody is asked for the next volume; within a batch of volumes it is
    // only noted, as every file completed in it.
    volume.reset();
    if (batchVolumes) output->WriteBackRest();
    if (!EndOfVolume(output, outputName)) return fail(RestoreFailure::Write);
    display_->SetVolumeBar(0);
    return 1;
}

std::unique_ptr<platform::File> QuellDateien::CreateRestoredFile(const std::string& path,
                                                                 FileEntry& entry,
                                                                 std::string* collision) {
    // Created exclusively: a name that is taken is looked at before anything
    // is opened under it. The overwrite question has settled before the run
    // that what lies at the stored names may be replaced.
    auto file = fs_->Open(path, platform::OpenMode::CreateNew);
    if (!file) {
        const platform::NameKind kind = fs_->KindOf(path);
        platform::FileId id;
        if (kind == platform::NameKind::File && platform::IdentityOf(*fs_, path, &id)) {
            // Only entries before this one can have made a file in this run.
            for (const FileEntry* made = head; made != &entry; made = made->next) {
                if (made->restoredAs == id) {
                    *collision =
                        texts::WithNames(texts::kStoredNamesFold, made->Name(), entry.Name());
                    return nullptr;
                }
            }
            // A file that was there before, or this entry's own from an
            // attempt at this volume that failed.
            file = fs_->Open(path, platform::OpenMode::CreateTruncate);
        } else if (kind == platform::NameKind::Link && fs_->Remove(path)) {
            // The link is replaced, never written through.
            file = fs_->Open(path, platform::OpenMode::CreateNew);
        }
        if (!file) return nullptr;
    }
    if (!file->Identity(&entry.restoredAs)) platform::IdentityOf(*fs_, path, &entry.restoredAs);
    return file;
}

// --- drivers ---

DriveOutcome RestoreInterrupted(QuellDateien& set) {
    const std::string file = set.current != nullptr ? set.current->Name() : std::string();
    set.display().Message(texts::WithNames(texts::kRestoreInterrupted, file,
                                           std::to_string(set.settings().currentVolume)),
                          texts::kAppCaption, Icon::Information, Owner::Page);
    return DriveOutcome::Interrupted;
}

std::vector<std::string> ExistingOutputFiles(QuellDateien& set) {
    std::vector<std::string> names;
    platform::FileSystem& fs = set.fs();
    const std::string& folder = set.settings().targetPath;
    for (const FileEntry* e = set.current; e != nullptr; e = e->next) {
        if (e == set.current && e->done > 0) continue;  // the file being continued
        // A name this system cannot hold is refused, never asked about (on
        // Windows "CON" answers as if it existed).
        if (!platform::FileNameProblem(e->Name()).empty()) continue;
        // A link counts, dangling too, and so does a folder or a pipe.
        if (fs.KindOf(OutputFileName(folder, *e)) != platform::NameKind::None) {
            names.push_back(e->Name());
        }
    }
    return names;
}

std::string OverwriteQuestion(const std::vector<std::string>& names) {
    constexpr size_t kShown = 10;
    std::string text;
    for (size_t i = 0; i < names.size() && i < kShown; ++i) text += "„" + names[i] + "“\n";
    if (names.size() > kShown) {
        text += texts::WithName(texts::kMoreFiles, std::to_string(names.size() - kShown)) + "\n";
    }
    return text + texts::kFilesExist;
}

namespace {

using platform::FileId;

// Restores volume currentVolume, asking the retry question after every
// failure. Finished when it is done (currentVolume then names the next).
DriveOutcome RestoreOneVolume(QuellDateien& set, const RestoreVariant& variant) {
    // A rebuilt volume is restored at once; declined or failed, the volume
    // fails below as it always has, with the retry question.
    if (variant.rebuilder &&
        variant.rebuilder->BeforeVolume(set, variant) == RebuildOutcome::Stopped) {
        return RestoreInterrupted(set);
    }
    while (!set.CopyBack(variant)) {
        if (set.StopRequested()) return RestoreInterrupted(set);
        if (std::exchange(set.restoreRefused, false)) return DriveOutcome::Stopped;
        if (!variant.AskRetry(set)) return DriveOutcome::Cancelled;
    }
    ++set.settings().currentVolume;
    return DriveOutcome::Finished;
}

// The checks made before a press restores anything.
bool MayRestore(QuellDateien& set, const RestoreVariant& variant) {
    const std::string refusal = CheckRestoreTarget(set, variant);
    if (!refusal.empty()) {
        variant.ReportRefusal(set, refusal);
        return false;
    }
    // Room for what is still to come: files restored before are on the
    // target already.
    platform::FileSystem& fs = set.fs();
    if (!HasFreeSpace(fs, RootOfPath(fs, set.settings().targetPath), set.RemainingBytes())) {
        variant.ReportNoSpace(set);
        return false;
    }
    return true;
}

// The identities of the volumes that exist, looked up once each. mayBeInFolder
// is false when no name in folder can be one of them: none of them lies in
// that folder, and none has a second name (a hard link) anywhere. Then the
// restored files need not be looked up one by one.
struct VolumeIdentities {
    // A handful of volumes, rarely more than a few hundred: a list is enough.
    std::vector<FileId> ids;
    bool mayBeInFolder = false;
};

VolumeIdentities IdentifyVolumes(platform::FileSystem& fs, const std::string& folder,
                                 const std::vector<std::string>& volumes) {
    VolumeIdentities result;
    FileId target;
    const bool targetKnown = platform::IdentityOf(fs, folder, &target);
    result.mayBeInFolder = !targetKnown;
    // A folder is looked at once for a run of volumes in it (usually all).
    std::string lastParent;
    bool lastIsTarget = false;
    for (const std::string& volume : volumes) {
        platform::FileFacts facts;
        if (!fs.Stat(volume, &facts)) continue;  // nothing there to overwrite
        result.ids.emplace_back(facts.device, facts.inode);
        if (result.mayBeInFolder) continue;
        if (facts.links != 1) {
            result.mayBeInFolder = true;
            continue;
        }
        const std::string parent = platform::FolderOf(volume);
        if (lastParent.empty() || parent != lastParent) {
            FileId id;
            lastIsTarget = !platform::IdentityOf(fs, parent, &id) || id == target;
            lastParent = parent;
        }
        if (lastIsTarget) result.mayBeInFolder = true;
    }
    return result;
}

// The first key in keys that an earlier one equals: {earlier, later}, or
// {-1, -1}. An open-addressing table of indices: linear time like a tree
// set, at a fraction of the code, which the Windows stub has no room for.
std::pair<int, int> FirstRepeatedKey(const std::vector<std::string>& keys) {
    size_t size = 16;
    while (size < 2 * keys.size()) size *= 2;
    std::vector<int> slots(size, -1);
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
        uint32_t hash = 2166136261u;  // FNV-1a
        for (const char c : keys[i]) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        for (size_t at = hash & (size - 1);; at = (at + 1) & (size - 1)) {
            if (slots[at] < 0) {
                slots[at] = i;
                break;
            }
            if (keys[slots[at]] == keys[i]) return {slots[at], i};
        }
    }
    return {-1, -1};
}

}  // namespace

bool AllPackagesPresent(QuellDateien& set, const RestoreVariant& variant) {
    const ArchiveSettings& s = set.settings();
    // A look at each name is enough here: a volume that cannot be read
    // after all fails at its turn, with the retry question.
    platform::FileFacts facts;
    for (int n = 1; n <= s.volumeCount; ++n) {
        if (!set.fs().Stat(variant.VolumeFileName(s, n), &facts) || !facts.isRegular) return false;
    }
    return true;
}

std::string CheckRestoreTarget(QuellDateien& set, const RestoreVariant& variant) {
    const ArchiveSettings& s = set.settings();
    if (s.targetPath.empty()) return texts::kNoRestoreTarget;
    platform::FileSystem& fs = set.fs();
    // Names the archive may not restore: one with a control character, and
    // two entries of one name (the second would overwrite the first; where
    // the file system ignores letter case, names that differ only in case).
    // Whichever of the two comes first in the archive is reported.
    std::vector<const FileEntry*> entries;
    std::vector<std::string> keys;
    for (const FileEntry* e = set.head; e != nullptr; e = e->next) {
        entries.push_back(e);
        keys.push_back(fs.FoldsCase() ? FoldCase(e->Name()) : e->Name());
    }
    const auto [first, repeated] = FirstRepeatedKey(keys);
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const std::string name = entries[i]->Name();
        if (HasControlCharacter(name)) {
            return texts::WithName(texts::kStoredNameHasControl, EscapeControlCharacters(name));
        }
        if (i != repeated) continue;
        const std::string firstName = entries[first]->Name();
        if (firstName == name) return texts::WithName(texts::kStoredNameTwice, name);
        return texts::WithNames(texts::kStoredNamesFold, firstName, name);
    }
    std::vector<std::string> volumeNames = {s.packagePath};
    for (int n = 1; n <= s.volumeCount; ++n) volumeNames.push_back(variant.VolumeFileName(s, n));
    // A name this system cannot hold stops the restore before anything is
    // written, instead of failing in the middle of a volume.
    for (const FileEntry* e = set.current; e != nullptr; e = e->next) {
        const std::string problem = platform::FileNameProblem(e->Name());
        if (!problem.empty()) return problem;
    }
    // A folder or a pipe under a stored name cannot be replaced by a file:
    // refused now, not after the files before it are written.
    for (const FileEntry* e = set.current; e != nullptr; e = e->next) {
        if (e == set.current && e->done > 0) continue;  // the file being continued
        const platform::NameKind kind = fs.KindOf(OutputFileName(s.targetPath, *e));
        if (kind == platform::NameKind::Folder || kind == platform::NameKind::Other) {
            return texts::WithName(texts::kStoredNameBlocked, e->Name());
        }
    }
    const VolumeIdentities volumes = IdentifyVolumes(fs, s.targetPath, volumeNames);
    if (!volumes.mayBeInFolder) return {};
    for (const FileEntry* e = set.current; e != nullptr; e = e->next) {
        FileId id;
        if (platform::IdentityOf(fs, OutputFileName(s.targetPath, *e), &id) &&
            std::find(volumes.ids.begin(), volumes.ids.end(), id) != volumes.ids.end()) {
            return texts::WithName(texts::kOutputIsVolume, e->Name());
        }
    }
    return {};
}

bool RebuildsMissingVolumes(QuellDateien& set, const RestoreVariant& variant) {
    return variant.rebuilder && variant.rebuilder->Available(set, variant);
}

DriveOutcome RestoreAllVolumes(QuellDateien& set, const RestoreVariant& variant) {
    if (!MayRestore(set, variant)) return DriveOutcome::Stopped;
    variant.ShowWorking(set);
    // Nobody is asked between the volumes: what they restore reaches the
    // medium together, at the end (or before a question).
    const VolumeBatch batch(set);
    while (set.current != nullptr) {
        const DriveOutcome restored = RestoreOneVolume(set, variant);
        if (restored != DriveOutcome::Finished) return restored;
    }
    return DriveOutcome::Finished;
}

DriveOutcome RestoreStep(QuellDateien& set, const RestoreVariant& variant) {
    if (set.current == nullptr) return DriveOutcome::Finished;
    if (AllPackagesPresent(set, variant) || RebuildsMissingVolumes(set, variant)) {
        return RestoreAllVolumes(set, variant);
    }
    if (!MayRestore(set, variant)) return DriveOutcome::Stopped;
    variant.ShowWorking(set);
    const DriveOutcome restored = RestoreOneVolume(set, variant);
    if (restored != DriveOutcome::Finished) return restored;
    ShowInsertPrompt(set);
    return set.current == nullptr ? DriveOutcome::Finished : DriveOutcome::WaitingForNextMedium;
}

}  // namespace tolvane

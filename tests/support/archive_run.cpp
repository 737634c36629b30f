#include "tests/support/archive_run.h"

#include <stdexcept>

#include "engine/sizing.h"
#include "engine/volume_header.h"

namespace tolvane::test {

std::vector<std::string> WriteSources(const std::string& folder,
                                      const std::vector<SourceFile>& files) {
    std::vector<std::string> paths;
    for (const SourceFile& f : files) {
        const std::string path = folder + "/" + f.name;
        WriteFile(path, f.bytes);
        SetMtime(path, f.mtime, f.mtimeNanos);
        paths.push_back(path);
    }
    return paths;
}

ArchiveRun::ArchiveRun(bool posixFiles)
    : set(settings, posixFiles ? platform::NativeFileSystem() : fs, display) {
    fs.syncToMedium = false;
}

void ArchiveRun::PrepareSplit(const std::vector<std::string>& paths, const std::string& firstVolume,
                              int64_t volumeSize, bool selfExtracting,
                              const std::string& robotPath) {
    settings.volumeSize = volumeSize;
    settings.selfExtracting = selfExtracting ? 1 : 0;
    settings.robotPath = robotPath;
    settings.targetPath = firstVolume;
    for (const std::string& p : paths) {
        if (set.AddFileAtEnd(p) == 0) throw std::runtime_error("cannot add " + p);
    }
    UpdateVolumeCount(set);
}

DriveOutcome ArchiveRun::SplitToEnd(int* presses) {
    DriveOutcome outcome;
    int n = 0;
    do {
        outcome = StartSplit(set);
        ++n;
    } while (outcome == DriveOutcome::WaitingForNextMedium && n < 10000);
    if (presses != nullptr) *presses = n;
    return outcome;
}

bool ArchiveRun::PrepareRestore(const std::string& volume, const std::string& folder) {
    settings.packagePath = volume;
    if (!set.readHeader()) return false;
    set.CalcHeaderSize();
    set.bytesDone = 0;
    settings.currentVolume = 1;
    settings.targetPath = folder;
    set.currentIndex = 0;
    return true;
}

DriveOutcome ArchiveRun::RestoreToEnd(const RestoreVariant& variant, int* presses) {
    DriveOutcome outcome;
    int n = 0;
    do {
        outcome = RestoreStep(set, variant);
        ++n;
    } while (outcome == DriveOutcome::WaitingForNextMedium && n < 10000);
    if (presses != nullptr) *presses = n;
    return outcome;
}

std::vector<std::string> ArchiveRun::SplitVolumes() const {
    std::vector<std::string> names;
    for (int n = 1; n <= settings.volumeCount; ++n) {
        names.push_back(VolumeName(settings.targetPath, n, settings.selfExtracting == 1));
    }
    return names;
}

std::vector<std::string> ReadAll(const std::vector<std::string>& paths) {
    std::vector<std::string> contents;
    for (const std::string& p : paths) contents.push_back(ReadFile(p));
    return contents;
}

}  // namespace tolvane::test

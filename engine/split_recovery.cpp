#include "engine/split_recovery.h"

#include <algorithm>
#include <memory>
#include <string>

#include "engine/recovery.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {
namespace {

// The volume bar follows the recovery data's computation.
par2::Progress ShowProgress(Display& display) {
    auto shown = std::make_shared<int>(-1);
    return [&display, shown](uint64_t done, uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent == *shown) return;
        *shown = percent;
        display.SetVolumeBar(percent);
        display.Repaint();
    };
}

// A failed or stopped computation: its message, and the page stays (a stop
// returns it to where the press began).
DriveOutcome Failed(QuellDateien& set, const std::string& error) {
    const bool stopped = set.StopRequested();
    set.display().Message(error, texts::kAppCaption, stopped ? Icon::Information : Icon::Error,
                          Owner::Page);
    return stopped ? DriveOutcome::Interrupted : DriveOutcome::Stopped;
}

// One more medium for the recovery file currentVolume - volumeCount - 1.
DriveOutcome AskForMedium(QuellDateien& set) {
    set.display().SetVolumeBar(0);
    ShowInsertPrompt(set);
    return DriveOutcome::WaitingForNextMedium;
}

std::string Root(QuellDateien& set) {
    return RootOfPath(set.fs(), set.settings().targetPath);
}

// Every recovery file beside the volumes, in the press that wrote them.
DriveOutcome WriteBeside(QuellDateien& set, RecoveryJob& job) {
    ArchiveSettings& s = set.settings();
    const std::string error =
        WriteRecovery(set, job, 0, job.layout.files.size(), ShowProgress(set.display()));
    if (!error.empty()) {
        // The volumes are written: another press tries the recovery data
        // again, one file per press.
        ShowInsertPrompt(set);
        return Failed(set, error);
    }
    s.recoveryBytes = static_cast<int64_t>(job.layout.bytes);
    return DriveOutcome::Finished;
}

// The recovery file of the medium in the drive now.
DriveOutcome WriteOnMedium(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    const size_t index = static_cast<size_t>(s.currentVolume - s.volumeCount - 1);
    set.display().SetStatusText(texts::kWritingRecovery);
    RecoveryJob job;
    std::string error =
        PrepareRecovery(set, s.recoveryVolumes, /*pieces=*/true, &job, ShowProgress(set.display()));
    if (!error.empty()) return Failed(set, error);
    if (index >= job.layout.files.size()) return DriveOutcome::Finished;
    uint64_t needed = par2::RecoveryFileSize(job.description, job.layout.files[index].count);
    if (index == 0) needed += job.description.criticalPackets.size();
    if (HasFreeSpace(set.fs(), Root(set), static_cast<int64_t>(needed)) == 0) {
        ShowNoSpace(set.display());
        ShowInsertPrompt(set);
        return DriveOutcome::Stopped;
    }
    error = WriteRecovery(set, job, index, 1, ShowProgress(set.display()));
    if (!error.empty()) {
        ShowInsertPrompt(set);
        return Failed(set, error);
    }
    ++s.currentVolume;
    if (index + 1 < job.layout.files.size()) return AskForMedium(set);
    s.recoveryBytes = static_cast<int64_t>(job.layout.bytes);
    return DriveOutcome::Finished;
}

}  // namespace

DriveOutcome StartSplitWithRecovery(QuellDateien& set) {
    ArchiveSettings& s = set.settings();
    if (s.recoveryData != 1) return StartSplit(set);
    if (s.currentVolume > s.volumeCount && s.volumeCount > 0 && set.current == nullptr) {
        return WriteOnMedium(set);
    }
    const int firstVolume = s.currentVolume;
    s.recoveryBytes = 0;
    if (firstVolume == 1) {
        // Refused before any volume is written, as the command line does.
        UpdateVolumeCount(set);
        if (s.recoveryVolumes > std::max(s.volumeCount, 1)) {
            set.display().Message(
                texts::WithValues(texts::kRecoveryMoreThanSet, {std::to_string(s.recoveryVolumes),
                                                                std::to_string(s.volumeCount)}),
                texts::kAppCaption, Icon::Warning, Owner::Page);
            return DriveOutcome::Stopped;
        }
    }
    const DriveOutcome volumes = StartSplit(set);
    if (volumes != DriveOutcome::Finished) return volumes;

    // Every volume is written: beside them when this press wrote them all
    // and the rest of the target holds the recovery data too.
    if (firstVolume == 1) {
        set.display().SetStatusText(texts::kWritingRecovery);
        RecoveryJob job;
        const std::string error = PrepareRecovery(set, s.recoveryVolumes, /*pieces=*/false, &job,
                                                  ShowProgress(set.display()));
        if (!error.empty()) {
            ShowInsertPrompt(set);
            return Failed(set, error);
        }
        if (HasFreeSpace(set.fs(), Root(set), static_cast<int64_t>(job.layout.bytes)) != 0) {
            return WriteBeside(set, job);
        }
    }
    return AskForMedium(set);
}

int64_t PlannedRecoveryBytes(QuellDateien& set) {
    const ArchiveSettings& s = set.settings();
    if (s.recoveryData != 1 || s.targetPath.empty() || set.fileCount == 0) return 0;
    RecoveryLayout layout;
    if (!PlanSetRecovery(set, s.recoveryVolumes, SetFits(set) == 0, &layout)) return 0;
    return static_cast<int64_t>(layout.bytes);
}

}  // namespace tolvane

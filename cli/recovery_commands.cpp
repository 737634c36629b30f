// tolvane-cli verify and rebuild, and the recovery data a split writes with
// --recovery: PAR 2.0 files beside the volumes.
#include <cstdio>
#include <memory>

#include "cli/cli_display.h"
#include "cli/commands.h"
#include "engine/platform/file_system.h"
#include "engine/recovery.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane::cli {
namespace {

std::string NameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "12,5" for 0.125: a share in percent with one decimal and a comma.
std::string Percent(uint64_t part, uint64_t whole) {
    const uint64_t tenths = whole == 0 ? 0 : (part * 1000 + whole / 2) / whole;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

// A progress line on a terminal: "<what> 42 %".
par2::Progress ProgressLine(CliDisplay& display, const std::string& what) {
    if (!display.showsProgress()) return {};
    auto shown = std::make_shared<int>(-1);
    return [&display, what, shown](uint64_t done, uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent == *shown) return;
        *shown = percent;
        char share[16];
        std::snprintf(share, sizeof share, " %3d %%", percent);
        display.ShowLine(what + share);
    };
}

void EndProgressLine(CliDisplay& display) {
    display.ClearLine();
}

void PrintReport(const SetReport& report) {
    for (const VolumeReport& v : report.volumes) {
        if (v.listedOnly) {
            // The name as the recovery data gives it, folder parts and all.
            const par2::FileDescription& d =
                report.recovery.descriptions.at(report.recovery.files[v.setFile]);
            std::printf("%s: %s\n", ShownName(d.name).c_str(), texts::kListedNotAVolume);
            continue;
        }
        std::printf("%s: %s\n", ShownName(NameOf(v.path)).c_str(), VolumeStateText(v.state));
    }
    if (!report.otherRecoveryFiles.empty()) {
        std::string names;
        for (const std::string& name : report.otherRecoveryFiles) {
            names += (names.empty() ? "" : ", ") + ShownName(name);
        }
        std::printf("%s\n", texts::WithName(texts::kOtherRecoveryBeside, names).c_str());
    }
    if (report.recoveryOfOtherSet) {
        std::printf("%s\n", texts::kRecoveryOfOtherSet);
        return;
    }
    if (!report.recoveryFound) {
        std::printf(
            "Keine Wiederherstellungsdaten (PAR2) gefunden: Beschädigungen im Inneren eines "
            "Datenträgers können nicht erkannt werden.\n");
        if (!report.AllOk()) std::printf("Der Satz kann nicht wiederhergestellt werden.\n");
        return;
    }
    std::printf("Wiederherstellungsdaten: %s zu je %s Bytes lesbar",
                BlockCount(report.slicesAvailable).c_str(),
                FormatThousands(static_cast<int64_t>(report.recovery.sliceSize)).c_str());
    if (report.damagedRecoveryPackets > 0) {
        std::printf(", %d beschädigte Pakete übergangen", report.damagedRecoveryPackets);
    }
    std::printf(".\n");
    if (report.AllOk()) {
        if (report.volumes.size() == 1) {
            std::printf("Der Datenträger ist in Ordnung.\n");
        } else {
            std::printf("Alle %zu Datenträger sind in Ordnung.\n", report.volumes.size());
        }
    } else if (report.Rebuildable()) {
        std::printf(
            "Der Satz kann wiederhergestellt werden: benötigt werden %s, vorhanden sind %s "
            "(tolvane-cli rebuild).\n",
            BlockCount(report.slicesNeeded).c_str(),
            std::to_string(report.slicesAvailable).c_str());
    } else {
        std::vector<std::string> none;
        platform::FileSystem& fs = platform::NativeFileSystem();
        std::printf("Der Satz kann nicht wiederhergestellt werden.\n%s\n",
                    RebuildSet(fs, report, "", &none).c_str());
    }
}

// The single volume argument and an optional "-o DIR".
bool ParseVolumeArgs(const std::vector<std::string>& args, bool allowOut, std::string* volume,
                     std::string* out, std::string* problem) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (allowOut && a == "-o") {
            if (i + 1 >= args.size()) return *problem = "-o erwartet ein Verzeichnis", false;
            *out = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return *problem = "unbekannte Option: " + a, false;
        } else if (volume->empty()) {
            *volume = a;
        } else {
            return *problem = "genau ein Datenträger erwartet", false;
        }
    }
    if (volume->empty()) return *problem = "ein Datenträger wird erwartet", false;
    return true;
}

}  // namespace

int WriteRecoveryData(QuellDateien& set, CliDisplay& display, int lostVolumes, bool pieces,
                      bool oneMediumEach) {
    RecoveryJob job;
    std::string error = PrepareRecovery(set, lostVolumes, pieces || oneMediumEach, &job,
                                        ProgressLine(display, "Prüfsummen"));
    EndProgressLine(display);
    if (!error.empty()) {
        Fail(error);
        return kExitFailed;
    }
    const RecoveryLayout& layout = job.layout;
    if (!oneMediumEach) {
        error = WriteRecovery(set, job, 0, layout.files.size(),
                              ProgressLine(display, "Wiederherstellungsdaten"));
        EndProgressLine(display);
    } else {
        // One recovery file per medium, after the last volume, on the same road.
        for (size_t i = 0; i < layout.files.size() && error.empty(); ++i) {
            display.SetStatusText(texts::kInsertPrompt + std::string(" ") +
                                  std::to_string(set.settings().volumeCount + 1 + int(i)));
            const std::string note =
                "Als nächstes wird " + NameOf(layout.files[i].path) +
                (i == 0 ? " (mit " + NameOf(layout.indexPath) + ")" : std::string()) +
                " geschrieben.";
            if (!display.WaitForNextMedium(note)) return kExitFailed;
            error = WriteRecovery(set, job, i, 1, ProgressLine(display, "Wiederherstellungsdaten"));
            EndProgressLine(display);
        }
    }
    if (!error.empty()) {
        Fail(error);
        return kExitFailed;
    }
    std::printf("%s\n", layout.indexPath.c_str());
    for (const par2::RecoveryFile& f : layout.files) std::printf("%s\n", f.path.c_str());
    const uint64_t archive = layout.archiveBytes;
    std::printf(
        "Wiederherstellungsdaten: %s Bytes in %zu Dateien (%s %% des Archivs); bis zu %d "
        "fehlende oder beschädigte Datenträger lassen sich damit wiederherstellen.\n",
        FormatThousands(static_cast<int64_t>(layout.bytes)).c_str(), layout.files.size() + 1,
        Percent(layout.bytes, archive).c_str(), layout.lostVolumes);
    return kExitOk;
}

int Verify(const std::vector<std::string>& args) {
    std::string volume, out, problem;
    if (!ParseVolumeArgs(args, false, &volume, &out, &problem)) return Usage(problem.c_str());
    const SetReport report = CheckSet(platform::NativeFileSystem(), volume);
    if (!report.refusal.empty()) {
        Fail(report.refusal);
        return kExitFailed;
    }
    PrintReport(report);
    return report.AllOk() ? kExitOk : kExitFailed;
}

int Rebuild(const std::vector<std::string>& args) {
    std::string volume, out, problem;
    if (!ParseVolumeArgs(args, true, &volume, &out, &problem)) return Usage(problem.c_str());
    CliDisplay display = MakeDisplay();
    platform::FileSystem& fs = platform::NativeFileSystem();
    const SetReport report = CheckSet(fs, volume);
    if (!report.refusal.empty()) {
        Fail(report.refusal);
        return kExitFailed;
    }
    if (report.AllOk()) {
        PrintReport(report);
        return kExitOk;
    }
    if (report.Rebuildable() && !out.empty() && !MakeFolder(out)) return kExitFailed;
    std::vector<std::string> rebuilt;
    const std::string error = RebuildSet(fs, report, out, &rebuilt,
                                         ProgressLine(display, "Wiederherstellen"), &StopSignal());
    EndProgressLine(display);
    if (!error.empty()) {
        for (const VolumeReport& v : report.volumes) {
            if (v.state != VolumeState::Ok && !v.listedOnly) {
                std::printf("%s: %s\n", ShownName(NameOf(v.path)).c_str(),
                            VolumeStateText(v.state));
            }
        }
        std::fflush(stdout);
        Fail(error);
        return StopSignal() ? kExitInterrupted : kExitFailed;
    }
    for (const std::string& path : rebuilt) {
        std::printf("wiederhergestellt: %s\n", ShownName(path).c_str());
    }
    if (!out.empty()) {
        // Each new volume was checked against the recovery data before it
        // was put in place; the set itself stays as it was.
        std::printf("Die wiederhergestellten Datenträger sind in Ordnung.\n");
        return kExitOk;
    }
    const SetReport after = CheckSet(fs, volume);
    PrintReport(after);
    return after.AllOk() ? kExitOk : kExitFailed;
}

}  // namespace tolvane::cli

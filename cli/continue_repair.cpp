// tolvane-cli continue and repair: the continue and repair pages' engine runs
// from the command line.
#include <cstdio>
#include <system_error>

#include "cli/cli_display.h"
#include "cli/commands.h"
#include "engine/continue.h"
#include "engine/platform/file_system.h"
#include "engine/position.h"
#include "engine/repair.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane::cli {
namespace {

// A volume number: decimal digits only.
bool ParseNumber(const std::string& text, int* number) {
    if (text.empty() || text.size() > 4) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *number = value;
    return true;
}

void NoSuchVolume(int volumeCount, int number) {
    Fail(texts::WithName(texts::WithName(texts::kNoSuchVolume, std::to_string(volumeCount)).c_str(),
                         std::to_string(number)));
}

// The folder exists afterwards, or the refusal has been printed.
}  // namespace

int Continue(const std::vector<std::string>& args) {
    std::string volume;
    std::string target;
    std::string from;
    bool overwrite = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--overwrite") {
            overwrite = true;
        } else if (a == "-d" || a == "--from") {
            if (i + 1 >= args.size()) {
                return Usage(a == "-d" ? "-d erwartet ein Zielverzeichnis"
                                       : "--from erwartet eine Datenträgernummer");
            }
            (a == "-d" ? target : from) = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unbekannte Option: " + a).c_str());
        } else if (volume.empty()) {
            volume = a;
        } else {
            return Usage("continue erwartet genau einen Datenträger");
        }
    }
    if (volume.empty()) return Usage("continue erwartet einen Datenträger");
    if (target.empty()) return Usage("continue erwartet -d ZIELVERZEICHNIS");
    int start = 0;
    if (from.empty()) return Usage("continue erwartet --from N");
    if (!ParseNumber(from, &start)) return Usage("--from erwartet eine Datenträgernummer");

    ArchiveSettings settings;
    settings.packagePath = volume;
    CliDisplay display = MakeDisplay();
    QuellDateien set(settings, platform::NativeFileSystem(), display);
    if (!set.readHeader()) return kExitFailed;
    set.CalcHeaderSize();
    if (start < 1 || start > settings.volumeCount) {
        NoSuchVolume(settings.volumeCount, start);
        return kExitFailed;
    }
    if (!MakeFolder(target)) return kExitFailed;
    settings.targetPath = target;
    settings.currentVolume = start;
    set.currentIndex = 0;
    PositionAtVolume(set);
    // The file to go on with must be there; the later ones must not, unless
    // they may be overwritten. Both are said before anything is written.
    if (!CheckContinuedFile(set) || !MayOverwrite(set, overwrite)) return kExitFailed;
    set.SetStopFlag(&StopSignal());
    display.Attach(set, settings);

    // The command line continues self-extracting sets as well.
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    variant.firstVolumePath = set.stubVolumePath;
    return DriveToEnd(
        display, [&] { return ContinueStep(set, variant); },
        [&] { return NextVolumeToRead(settings, variant); });
}

int Repair(const std::vector<std::string>& args) {
    std::string volume;
    std::string numberText;
    std::string sources;
    std::string target;
    std::string robotPath = DefaultRobotPath();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* value = a == "--number"    ? &numberText
                             : a == "--sources" ? &sources
                             : a == "-o"        ? &target
                             : a == "--robot"   ? &robotPath
                                                : nullptr;
        if (value != nullptr) {
            if (i + 1 >= args.size()) return Usage((a + " erwartet einen Wert").c_str());
            *value = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unbekannte Option: " + a).c_str());
        } else if (volume.empty()) {
            volume = a;
        } else {
            return Usage("repair erwartet genau einen Datenträger");
        }
    }
    if (volume.empty()) return Usage("repair erwartet einen intakten Datenträger");
    if (numberText.empty()) return Usage("repair erwartet --number N");
    if (sources.empty()) return Usage("repair erwartet --sources VERZEICHNIS");
    if (target.empty()) return Usage("repair erwartet -o ZIELVERZEICHNIS");
    int number = 0;
    if (!ParseNumber(numberText, &number)) return Usage("--number erwartet eine Datenträgernummer");

    ArchiveSettings settings;
    settings.packagePath = volume;
    settings.currentVolume = number;
    settings.robotPath = robotPath;
    CliDisplay display = MakeDisplay();
    QuellDateien set(settings, platform::NativeFileSystem(), display);
    // A set of no files has no volume to write again.
    if (!set.readHeader()) return kExitFailed;
    if (set.fileCount == 0) {
        Fail(texts::kRepairNoFiles);
        return kExitFailed;
    }
    const auto rows = SeekToVolume(set);
    if (!rows) {
        // An unreadable volume has been reported by the header reader.
        if (set.fileCount != 0) NoSuchVolume(settings.volumeCount, number);
        return kExitFailed;
    }
    set.sourceDir = sources;
    const OriginalsCheck originals = CheckOriginals(set, *rows);
    if (originals.status != OriginalsCheck::Status::Ok) {
        Fail(OriginalsRefusal(originals));
        return kExitFailed;
    }
    if (!MakeFolder(target)) return kExitFailed;
    settings.targetPath =
        RepairTargetPath(target, settings.packagePath, number, settings.selfExtracting);
    display.Attach(set, settings);
    display.ShowOverall(false);
    set.SetStopFlag(&StopSignal());

    const DriveOutcome outcome = RunRepair(set);
    display.Finish();
    if (outcome == DriveOutcome::Interrupted) return kExitInterrupted;
    if (outcome != DriveOutcome::Finished) return kExitFailed;
    std::printf("%s\n", settings.targetPath.c_str());
    return kExitOk;
}

}  // namespace tolvane::cli

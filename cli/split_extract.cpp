// tolvane-cli split and extract: the split and restore pages' drivers run
// from the command line.
#include <cctype>
#include <cstdio>

#include "cli/cli_display.h"
#include "cli/commands.h"
#include "engine/drivers.h"
#include "engine/platform/file_system.h"
#include "engine/recovery.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "tolvane/install_paths.h"

namespace tolvane::cli {
namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The first volume's name must end in ".001" or ".exe": its last three
// characters are replaced by each volume's number.
bool IsFirstVolumeName(const std::string& path) {
    const std::string name = platform::BaseName(path);
    if (name.size() < 5) return false;
    const std::string tail = Lower(name.substr(name.size() - 4));
    return tail == ".001" || tail == ".exe";
}

}  // namespace

void Fail(const std::string& text) {
    std::fprintf(stderr, "Tolvane: %s\n", text.c_str());
}

std::string DefaultRobotPath() {
    const std::string self = platform::OwnExecutablePath();
    if (self.empty()) return "Robot.dat";
    const std::string folder = platform::FolderOf(self);
    const std::string beside = platform::JoinPath(folder, "Robot.dat");
    const std::string candidates[] = {
        beside,
        platform::JoinPath(platform::JoinPath(folder, TOLVANE_STUB_DIR_FROM_BIN), "Robot.dat"),
        platform::JoinPath(TOLVANE_STUB_DIR, "Robot.dat"),
    };
    for (const std::string& candidate : candidates) {
        platform::FileFacts facts;
        if (platform::NativeFileSystem().Stat(candidate, &facts) && facts.isRegular) {
            return candidate;
        }
    }
    // Missing everywhere: the message names the place beside the program.
    return beside;
}

CliDisplay MakeDisplay() {
    return CliDisplay(platform::IsConsole(platform::StandardStream::Err),
                      platform::IsConsole(platform::StandardStream::In),
                      platform::HasCursorControls(platform::StandardStream::Err));
}

bool ParseVolumeSize(const std::string& text, int64_t* bytes) {
    const std::string t = Lower(text);
    if (t == "1.2m") return *bytes = kSize12MB, true;
    if (t == "1.44m") return *bytes = kSize144MB, true;
    if (t == "2.88m") return *bytes = kSize288MB, true;
    if (t == "zip100") return *bytes = kSizeZip100, true;
    if (t.empty() || t.size() > 18) return false;
    int64_t value = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    *bytes = value;
    return true;
}

int Split(const std::vector<std::string>& args) {
    int64_t volumeSize = kDefaultVolumeSize;
    bool selfExtracting = false;
    std::string robotPath = DefaultRobotPath();
    std::string first;
    std::vector<std::string> files;
    int recovery = 0;
    bool recoveryPieces = false;
    bool overwrite = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= args.size()) return false;
            *out = args[++i];
            return true;
        };
        if (optionsEnded || a.empty() || a[0] != '-' || a == "-") {
            files.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--size") {
            std::string text;
            if (!value(&text)) return Usage("--size erwartet eine Größe");
            if (!ParseVolumeSize(text, &volumeSize)) return Usage("unbekannte Archivgröße");
            if (volumeSize <= kStubAreaSize) {
                return Usage("die Archivgröße muss größer als 66.560 Bytes sein");
            }
        } else if (a == "--recovery") {
            std::string text;
            if (!value(&text)) return Usage("--recovery erwartet eine Anzahl Datenträger");
            int64_t n = 0;
            if (!ParseVolumeSize(text, &n) || n < 1 || n > kMaxSlotValue || text[0] == '0') {
                return Usage("--recovery erwartet eine Anzahl Datenträger ab 1");
            }
            recovery = static_cast<int>(n);
        } else if (a == "--recovery-pieces") {
            recoveryPieces = true;
        } else if (a == "--overwrite") {
            overwrite = true;
        } else if (a == "--sfx") {
            selfExtracting = true;
        } else if (a == "--robot") {
            if (!value(&robotPath)) return Usage("--robot erwartet eine Datei");
        } else if (a == "-o") {
            if (!value(&first)) return Usage("-o erwartet den ersten Datenträger");
        } else {
            return Usage(("unbekannte Option: " + a).c_str());
        }
    }
    if (first.empty()) return Usage("split erwartet -o ERSTER_DATENTRÄGER");
    if (files.empty()) return Usage("split erwartet mindestens eine Datei");
    if (!IsFirstVolumeName(first)) {
        return Usage("der Name des ersten Datenträgers muss auf .001 oder .exe enden");
    }
    // The first volume is written under exactly the name given: ".exe" is
    // the first volume of a self-extracting set, ".001" of a plain one.
    const bool exeName = Lower(first.substr(first.size() - 4)) == ".exe";
    if (exeName && !selfExtracting) {
        return Usage("ohne --sfx muss der Name des ersten Datenträgers auf .001 enden");
    }
    if (!exeName && selfExtracting) {
        return Usage("mit --sfx muss der Name des ersten Datenträgers auf .exe enden");
    }
    const std::string folder = platform::FolderOf(first);
    if (!platform::IsFolder(folder)) {
        Fail("Das Zielverzeichnis „" + folder + "“ existiert nicht.");
        return kExitFailed;
    }

    // Recovery data under the set's name left by an earlier set would turn
    // the new volumes back into the old ones; the split removes it.
    const std::vector<std::string> stale = StaleRecoveryFiles(first);
    if (!stale.empty() && !overwrite) {
        std::string names;
        for (const std::string& path : stale) names += "„" + path + "“\n";
        Fail(names + texts::kStaleRecoveryData +
             "\nMit --overwrite werden sie entfernt; ohne wird nichts geschrieben.");
        return kExitFailed;
    }

    ArchiveSettings settings;
    settings.volumeSize = volumeSize;
    settings.selfExtracting = selfExtracting ? 1 : 0;
    settings.robotPath = robotPath;
    settings.targetPath = first;
    CliDisplay display = MakeDisplay();
    QuellDateien set(settings, platform::NativeFileSystem(), display);
    set.SetStopFlag(&StopSignal());
    for (const std::string& file : files) {
        if (set.AddFileAtEnd(file) == 0) {
            Fail("Die Datei „" + file + "“ wurde nicht gefunden oder ist keine gewöhnliche Datei.");
            return kExitFailed;
        }
    }
    UpdateVolumeCount(set);
    display.Attach(set, settings);
    if (recoveryPieces && recovery == 0) return Usage("--recovery-pieces gilt nur mit --recovery");
    if (recovery > std::max(settings.volumeCount, 1)) {
        Fail("Das Archiv hat " + std::to_string(settings.volumeCount) +
             " Datenträger; Wiederherstellungsdaten für " + std::to_string(recovery) +
             " Datenträger wären mehr als das Archiv selbst.");
        return kExitFailed;
    }
    // A target without room for the whole set is a removable medium: one
    // volume per medium, and the recovery files after them, each on its own.
    set.CalcHeaderSize();
    const bool oneMediumEach = recovery > 0 && !SetFits(set);

    const int code = DriveToEnd(
        display, [&] { return StartSplit(set); },
        [&] {
            return "Als nächstes wird " +
                   VolumeName(settings.targetPath, settings.currentVolume, selfExtracting) +
                   " geschrieben.";
        },
        [&] {
            for (int n = 1; n <= settings.volumeCount; ++n) {
                std::printf("%s\n", VolumeName(settings.targetPath, n, selfExtracting).c_str());
            }
        });
    if (code != kExitOk || recovery == 0) return code;
    return WriteRecoveryData(set, display, recovery, recoveryPieces, oneMediumEach);
}

bool MakeFolder(const std::string& folder) {
    if (!platform::MakeFolders(folder)) {
        Fail("Das Zielverzeichnis „" + folder + "“ kann nicht angelegt werden.");
        return false;
    }
    return true;
}

std::string NextVolumeToRead(const ArchiveSettings& settings, const RestoreVariant& variant) {
    return "Als nächstes wird " +
           VolumeName(settings.packagePath, settings.currentVolume,
                      variant.SelfExtractingLayout(settings)) +
           " gelesen.";
}

bool MayOverwrite(QuellDateien& set, bool overwrite) {
    const std::vector<std::string> names = ExistingOutputFiles(set);
    if (names.empty() || overwrite) return true;
    std::string text;
    for (const std::string& name : names) text += "„" + name + "“\n";
    Fail(text +
         "sind im Zielverzeichnis schon vorhanden; mit --overwrite werden sie "
         "überschrieben.");
    return false;
}

int Extract(const std::vector<std::string>& args) {
    std::string volume;
    std::string target;
    bool overwrite = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--overwrite") {
            overwrite = true;
        } else if (a == "-d") {
            if (i + 1 >= args.size()) return Usage("-d erwartet ein Zielverzeichnis");
            target = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            return Usage(("unbekannte Option: " + a).c_str());
        } else if (volume.empty()) {
            volume = a;
        } else {
            return Usage("extract erwartet genau einen Datenträger");
        }
    }
    if (volume.empty()) return Usage("extract erwartet einen Datenträger");
    if (target.empty()) return Usage("extract erwartet -d ZIELVERZEICHNIS");

    ArchiveSettings settings;
    settings.packagePath = volume;
    CliDisplay display = MakeDisplay();
    QuellDateien set(settings, platform::NativeFileSystem(), display);
    if (!set.readHeader()) return kExitFailed;
    set.CalcHeaderSize();
    settings.currentVolume = 1;

    if (!MakeFolder(target)) return kExitFailed;
    settings.targetPath = target;
    if (!MayOverwrite(set, overwrite)) return kExitFailed;
    set.SetStopFlag(&StopSignal());
    display.Attach(set, settings);

    // The command line unpacks self-extracting sets as well (a renamed
    // first volume too).
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    variant.firstVolumePath = set.stubVolumePath;
    return DriveToEnd(
        display, [&] { return RestoreStep(set, variant); },
        [&] { return NextVolumeToRead(settings, variant); });
}

}  // namespace tolvane::cli

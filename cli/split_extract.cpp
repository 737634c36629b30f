// tolvane-cli split and extract: the split and restore pages' drivers run
// from the command line.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_display.h"
#include "cli/commands.h"
#include "engine/drivers.h"
#include "engine/platform/file_system.h"
#include "engine/sizing.h"
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
    const std::string name = std::filesystem::path(path).filename().string();
    if (name.size() < 5) return false;
    const std::string tail = Lower(name.substr(name.size() - 4));
    return tail == ".001" || tail == ".exe";
}

}  // namespace

void Fail(const std::string& text) {
    std::fprintf(stderr, "Tolvane: %s\n", text.c_str());
}

std::string DefaultRobotPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return "Robot.dat";
    const std::filesystem::path beside = self.parent_path() / "Robot.dat";
    const std::filesystem::path candidates[] = {
        beside,
        self.parent_path() / TOLVANE_STUB_DIR_FROM_BIN / "Robot.dat",
        std::filesystem::path(TOLVANE_STUB_DIR) / "Robot.dat",
    };
    for (const std::filesystem::path& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, ec)) {
            return candidate.lexically_normal().string();
        }
    }
    // Missing everywhere: the message names the place beside the program.
    return beside.string();
}

CliDisplay MakeDisplay() {
    return CliDisplay(::isatty(STDERR_FILENO) != 0, ::isatty(STDIN_FILENO) != 0);
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
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::absolute(first, ec).parent_path();
    if (ec || !std::filesystem::is_directory(folder, ec)) {
        Fail("Das Zielverzeichnis „" + folder.string() + "“ existiert nicht.");
        return kExitFailed;
    }

    ArchiveSettings settings;
    settings.volumeSize = volumeSize;
    settings.selfExtracting = selfExtracting ? 1 : 0;
    settings.robotPath = robotPath;
    settings.targetPath = first;
    CliDisplay display = MakeDisplay();
    QuellDateien set(settings, platform::PosixFileSystem(), display);
    for (const std::string& file : files) {
        if (set.AddFileAtEnd(file) == 0) {
            Fail("Die Datei „" + file + "“ wurde nicht gefunden oder ist keine gewöhnliche Datei.");
            return kExitFailed;
        }
    }
    UpdateVolumeCount(set);
    display.Attach(set, settings);

    return DriveToEnd(
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
}

bool MakeFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec || !std::filesystem::is_directory(folder, ec)) {
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

int Extract(const std::vector<std::string>& args) {
    std::string volume;
    std::string target;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-d") {
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
    QuellDateien set(settings, platform::PosixFileSystem(), display);
    if (!set.readHeader()) return kExitFailed;
    set.CalcHeaderSize();
    settings.currentVolume = 1;

    if (!MakeFolder(target)) return kExitFailed;
    settings.targetPath = target;
    display.Attach(set, settings);

    // The command line unpacks self-extracting sets as well.
    RestoreVariant variant;
    variant.acceptSelfExtracting = true;
    return DriveToEnd(
        display, [&] { return RestoreStep(set, variant); },
        [&] { return NextVolumeToRead(settings, variant); });
}

}  // namespace tolvane::cli

// tolvane-cli: the archive engine's operations for scripts, tests and benchmarks.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/package_info.h"
#include "engine/platform/file_system.h"
#include "engine/sizing.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "Aufruf: tolvane-cli BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle:\n"
    "  info VOLUME        zeigt, was ein Datenträger (Package) des Archivs enthält\n"
    "\n"
    "  --help             zeigt diese Hilfe\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf.\n";

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "tolvane-cli: %s\n", problem);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("info erwartet genau einen Datenträger");
    const tolvane::PackageInfo info =
        tolvane::DiskInfoReadHeader(tolvane::platform::PosixFileSystem(), args[0]);
    if (info.status != tolvane::PackageInfo::Status::Ok) {
        std::fprintf(stderr, "%s: %s\n", info.messageCaption.c_str(), info.messageText.c_str());
        return kExitFailed;
    }
    std::printf("Archivnummer: %d\n", info.volumeNumber);
    std::printf("Diskanzahl: %d\n", info.volumeCount);
    std::printf("Dateianzahl: %d\n", info.fileCount);
    std::printf("Gesamtgröße: %s\n", tolvane::FormatThousands(info.totalSize).c_str());
    std::printf("Nr. Dateiname Dateigröße\n");
    for (const tolvane::PackageInfoRow& row : info.rows) {
        std::printf("%d %s %s\n", row.number, row.name.c_str(),
                    tolvane::FormatThousands(row.size).c_str());
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(nullptr);
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
    }
    if (command == "info") return Info(args);
    return Usage(("unbekannter Befehl: " + command).c_str());
}

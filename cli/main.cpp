// tolvane-cli: the archive engine's operations for scripts, tests and benchmarks.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/package_info.h"
#include "engine/platform/file_system.h"
#include "engine/sizing.h"
#include "tolvane/version.h"

namespace tolvane::cli {
namespace {

const char kUsageLine[] = "Aufruf: tolvane-cli BEFEHL [OPTIONEN]\n";

const char kUsage[] =
    "Aufruf: tolvane-cli BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle:\n"
    "  info VOLUME        zeigt, was ein Datenträger (Package) des Archivs enthält\n"
    "  split [--size GRÖSSE] [--sfx] [--robot DATEI] -o ERSTER_DATENTRÄGER DATEI...\n"
    "                     teilt die Dateien in dieser Reihenfolge auf Datenträger auf;\n"
    "                     GRÖSSE: Bytes, 1.2M, 1.44M (Vorgabe), 2.88M oder zip100;\n"
    "                     --sfx: selbstentpackendes Archiv (package.exe, package.002, ...)\n"
    "                     mit dem Robot-Programm aus --robot (Vorgabe: Robot.dat neben\n"
    "                     tolvane-cli, sonst im Robot-Ordner der Installation); der\n"
    "                     erste Datenträger endet auf .001 oder .exe\n"
    "  extract VOLUME -d VERZEICHNIS\n"
    "                     entpackt das ganze Archiv, zu dem VOLUME gehört (die anderen\n"
    "                     Datenträger liegen daneben), in VERZEICHNIS\n"
    "  continue VOLUME -d VERZEICHNIS --from N\n"
    "                     setzt ein unterbrochenes Entpacken bei Datenträger N fort: die\n"
    "                     Dateien davor gelten als entpackt, die Datei, die Datenträger N\n"
    "                     anschneidet, wird ohne Kürzen fortgesetzt, der Rest entpackt\n"
    "  repair VOLUME --number N --sources VERZEICHNIS -o VERZEICHNIS [--robot DATEI]\n"
    "                     erstellt Datenträger N des Archivs, zu dem VOLUME gehört, aus\n"
    "                     VOLUME und den Originaldateien in --sources neu, Byte für Byte;\n"
    "                     er heißt wie VOLUME mit der Nummer N (der erste eines\n"
    "                     selbstentpackenden Archivs: .exe, mit dem Robot-Programm aus\n"
    "                     --robot, Vorgabe wie bei split)\n"
    "\n"
    "  -h, --help         zeigt diese Hilfe\n"
    "  -V, --version      zeigt die Version\n"
    "\n"
    "Fortschritt und Meldungen erscheinen auf stderr. Fehlt ein Datenträger oder\n"
    "schlägt einer fehl, wird am Terminal gefragt; ohne Terminal wird abgebrochen.\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf.\n";

}  // namespace

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "tolvane-cli: %s\n", problem);
    std::fputs(kUsageLine, stderr);
    std::fputs("mehr mit: tolvane-cli --help\n", stderr);
    return kExitUsage;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("info erwartet genau einen Datenträger");
    const PackageInfo info = DiskInfoReadHeader(platform::PosixFileSystem(), args[0]);
    if (info.status != PackageInfo::Status::Ok) {
        std::fprintf(stderr, "%s: %s\n", info.messageCaption.c_str(), info.messageText.c_str());
        return kExitFailed;
    }
    std::printf("Archivnummer: %d\n", info.volumeNumber);
    std::printf("Diskanzahl: %d\n", info.volumeCount);
    std::printf("Dateianzahl: %d\n", info.fileCount);
    std::printf("Gesamtgröße: %s\n", FormatThousands(info.totalSize).c_str());
    std::printf("Nr. Dateiname Dateigröße\n");
    for (const PackageInfoRow& row : info.rows) {
        std::printf("%d %s %s\n", row.number, row.name.c_str(), FormatThousands(row.size).c_str());
    }
    return kExitOk;
}

}  // namespace tolvane::cli

int main(int argc, char** argv) {
    using namespace tolvane::cli;
    if (argc < 2) return Usage(nullptr);
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (command == "--version" || command == "-V") {
        std::printf("tolvane-cli %s\n", TOLVANE_VERSION);
        return kExitOk;
    }
    for (const std::string& a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return kExitOk;
        }
    }
    if (command == "info") return Info(args);
    if (command == "split") return Split(args);
    if (command == "extract") return Extract(args);
    if (command == "continue") return Continue(args);
    if (command == "repair") return Repair(args);
    return Usage(("unbekannter Befehl: " + command).c_str());
}

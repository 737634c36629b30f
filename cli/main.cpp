// tolvane-cli: the archive engine's operations for scripts, tests and benchmarks.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "engine/package_info.h"
#include "engine/platform/file_system.h"
#include "engine/sizing.h"
#include "engine/volume_header.h"
#include "tolvane/version.h"

#ifdef _WIN32
#include "engine/platform/win32_text.h"
#endif

namespace tolvane::cli {
namespace {

const char kUsageLine[] = "Aufruf: tolvane-cli BEFEHL [OPTIONEN]\n";

const char kUsage[] =
    "Aufruf: tolvane-cli BEFEHL [OPTIONEN]\n"
    "\n"
    "Befehle:\n"
    "  info VOLUME        zeigt, was ein Datenträger (Package) des Archivs enthält\n"
    "  split [--size GRÖSSE] [--sfx] [--robot DATEI] [--recovery N [--recovery-pieces]]\n"
    "        [--overwrite] -o ERSTER_DATENTRÄGER DATEI...\n"
    "                     teilt die Dateien in dieser Reihenfolge auf Datenträger auf;\n"
    "                     GRÖSSE: Bytes, 1.2M, 1.44M (Vorgabe), 2.88M oder zip100;\n"
    "                     --sfx: selbstentpackendes Archiv (package.exe, package.002, ...)\n"
    "                     mit dem Robot-Programm aus --robot (Vorgabe: Robot.dat neben\n"
    "                     tolvane-cli, sonst im Robot-Ordner der Installation); der\n"
    "                     erste Datenträger endet auf .001, mit --sfx auf .exe;\n"
    "                     --recovery N: dazu Wiederherstellungsdaten (PAR2: NAME.par2,\n"
    "                     NAME.volXX+YY.par2), mit denen bis zu N fehlende oder beschädigte\n"
    "                     Datenträger ersetzt werden können; --recovery-pieces: keine Datei\n"
    "                     größer als ein Datenträger (auf Wechselmedien immer)\n"
    "                     Wiederherstellungsdaten eines früheren Archivs gleichen Namens\n"
    "                     (NAME.par2, NAME.vol…par2) werden nur mit --overwrite entfernt\n"
    "  extract VOLUME -d VERZEICHNIS [--overwrite]\n"
    "                     entpackt das ganze Archiv, zu dem VOLUME gehört (die anderen\n"
    "                     Datenträger liegen daneben), in VERZEICHNIS\n"
    "  continue VOLUME -d VERZEICHNIS --from N [--overwrite]\n"
    "                     setzt ein unterbrochenes Entpacken bei Datenträger N fort: die\n"
    "                     Dateien davor gelten als entpackt, die Datei, die Datenträger N\n"
    "                     anschneidet, wird ohne Kürzen fortgesetzt, der Rest entpackt\n"
    "  --overwrite        Dateien, die im Zielverzeichnis schon vorhanden sind, werden\n"
    "                     überschrieben (ohne: Abbruch, bevor etwas geschrieben wird)\n"
    "  repair VOLUME --number N --sources VERZEICHNIS -o VERZEICHNIS [--robot DATEI]\n"
    "                     erstellt Datenträger N des Archivs, zu dem VOLUME gehört, aus\n"
    "                     VOLUME und den Originaldateien in --sources neu, Byte für Byte;\n"
    "                     er heißt wie VOLUME mit der Nummer N (der erste eines\n"
    "                     selbstentpackenden Archivs: .exe, mit dem Robot-Programm aus\n"
    "                     --robot, Vorgabe wie bei split)\n"
    "  verify VOLUME      prüft alle Datenträger des Archivs neben VOLUME (mit PAR2-\n"
    "                     Wiederherstellungsdaten auch ihren Inhalt): eine Zeile je\n"
    "                     Datenträger; Rückgabewert 0 nur, wenn alle in Ordnung sind\n"
    "  rebuild VOLUME [-o VERZEICHNIS]\n"
    "                     erstellt fehlende oder beschädigte Datenträger aus den anderen\n"
    "                     und den Wiederherstellungsdaten neu, Byte für Byte (in\n"
    "                     VERZEICHNIS, sonst an ihrem Platz), und prüft sie dann\n"
    "\n"
    "  -h, --help         zeigt diese Hilfe\n"
    "  -V, --version      zeigt die Version\n"
    "\n"
    "Fortschritt und Meldungen erscheinen auf stderr. Fehlt ein Datenträger oder\n"
    "schlägt einer fehl, wird am Terminal gefragt; ohne Terminal wird abgebrochen.\n"
    "\n"
    "Strg+C (SIGINT) oder SIGTERM hält nach dem laufenden Abschnitt an: ein begonnener\n"
    "Datenträger wird gelöscht, eine begonnene Datei bleibt so weit wie geschrieben.\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf, 130 abgebrochen.\n";

std::atomic<bool> stopSignal{false};

extern "C" void OnStopSignal(int) {
    stopSignal = true;
}

// The first SIGINT or SIGTERM asks the running copy to stop; a blocked read
// of the terminal is interrupted as well.
void InstallStopHandlers() {
#ifdef _WIN32
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
#else
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // a second one ends the program at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#endif
}

}  // namespace

std::atomic<bool>& StopSignal() {
    return stopSignal;
}

int Usage(const char* problem) {
    if (problem != nullptr) std::fprintf(stderr, "tolvane-cli: %s\n", problem);
    std::fputs(kUsageLine, stderr);
    std::fputs("mehr mit: tolvane-cli --help\n", stderr);
    return kExitUsage;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return Usage("info erwartet genau einen Datenträger");
    const PackageInfo info = DiskInfoReadHeader(platform::NativeFileSystem(), args[0]);
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
        // A stored name may hold control characters: never raw on a terminal.
        std::printf("%d %s %s\n", row.number, EscapeControlCharacters(row.name).c_str(),
                    FormatThousands(row.size).c_str());
    }
    return kExitOk;
}

}  // namespace tolvane::cli

namespace {

int Run(const std::vector<std::string>& argv) {
    using namespace tolvane::cli;
    if (argv.size() < 2) return Usage(nullptr);
    const std::string& command = argv[1];
    std::vector<std::string> args(argv.begin() + 2, argv.end());
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
    InstallStopHandlers();
    if (command == "info") return Info(args);
    if (command == "split") return Split(args);
    if (command == "extract") return Extract(args);
    if (command == "continue") return Continue(args);
    if (command == "repair") return Repair(args);
    if (command == "verify") return Verify(args);
    if (command == "rebuild") return Rebuild(args);
    return Usage(("unbekannter Befehl: " + command).c_str());
}

}  // namespace

#ifdef _WIN32
// The arguments as UTF-16 from the system, as UTF-8 inside.
int wmain(int argc, wchar_t** argv) {
    tolvane::platform::PrepareConsole();
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) args.push_back(tolvane::platform::Narrow(argv[i]));
    const int code = Run(args);
    std::fflush(stdout);
    std::fflush(stderr);
    return code;
}
#else
int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv, argv + argc));
}
#endif

#include "stub/robot_console.h"

#include <cerrno>
#include <cstring>

#include "engine/volume_header.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {
namespace {

const char kUsage[] =
    "Aufruf: %s [--target VERZEICHNIS [--overwrite]]\n"
    "\n"
    "Ohne Argumente öffnet sich das Fenster des selbstentpackenden Archivs:\n"
    "\"Start\" fragt nach dem Zielverzeichnis und entpackt alle Datenträger.\n"
    "\n"
    "  --target VERZEICHNIS  entpackt ohne Fenster und ohne Rückfragen alle\n"
    "                        Datenträger in VERZEICHNIS (wird angelegt, wenn es\n"
    "                        fehlt). Alle Datenträger müssen neben dieser Datei\n"
    "                        liegen; ein fehlender bricht ab.\n"
    "  --overwrite           überschreibt Dateien, die im Zielverzeichnis schon\n"
    "                        vorhanden sind (ohne: Abbruch, bevor etwas\n"
    "                        geschrieben wird)\n"
    "  --help                zeigt diese Hilfe\n"
    "\n"
    "Rückgabewert: 0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf.\n";

enum class FolderState { Ready, NotAFolder, NotCreated };

// Whether folder can take the files: Ready when it is a folder afterwards
// (made with the folders above it that are missing), NotAFolder when it or
// the nearest existing folder above it is something else.
FolderState MakeTargetFolder(const std::string& folder) {
    for (std::string path = folder;;) {
        platform::FileFacts facts;
        if (platform::NativeFileSystem().Stat(path, &facts)) {
            if (!platform::IsFolder(path)) return FolderState::NotAFolder;
            break;
        }
        const std::string parent = platform::FolderOf(path);
        if (parent == path || parent == ".") break;
        path = parent;
    }
    return platform::MakeFolders(folder) ? FolderState::Ready : FolderState::NotCreated;
}

std::string WithFolder(const char* text, const std::string& folder) {
    std::string out = text;
    out.replace(out.find("%s"), 2, EscapeControlCharacters(folder));
    return out;
}

}  // namespace

ConsoleView::ConsoleView(std::string folder, std::FILE* out, std::FILE* err, bool showBars)
    : folder_(std::move(folder)), out_(out), err_(err), showBars_(showBars) {}

void ConsoleView::EndBarLine() {
    if (!barShown_) return;
    std::fputc('\n', err_);
    barShown_ = false;
}

void ConsoleView::Message(const std::string& text, const std::string& caption, Icon, Owner) {
    EndBarLine();
    std::fprintf(err_, "%s: %s\n", caption.c_str(), text.c_str());
}

bool ConsoleView::AskRetry(const std::string& text, const std::string& caption) {
    EndBarLine();
    std::fprintf(err_, "%s: %s\n", caption.c_str(), text.c_str());
    return false;
}

bool ConsoleView::AskTargetFolder(std::string* folder) {
    *folder = folder_;
    return true;
}

bool ConsoleView::AskOverwrite(const std::string& question) {
    if (overwrite_) return true;
    EndBarLine();
    std::string names = question.substr(0, question.rfind('\n') + 1);
    std::fprintf(err_, "%s%s\n", names.c_str(), texts::kFilesExistRefused);
    return false;
}

void ConsoleView::SetStatusText(const std::string& text) {
    // Each status once; the file being continued and then completed is named
    // twice in a row by the extraction.
    if (text.empty() || text == last_) return;
    last_ = text;
    EndBarLine();
    std::fprintf(out_, "%s\n", text.c_str());
    std::fflush(out_);
}

void ConsoleView::ShowFailure(const std::string& statusText, const std::string& detail,
                              const std::string& caption) {
    EndBarLine();
    last_.clear();
    if (!statusText.empty()) std::fprintf(err_, "%s\n", statusText.c_str());
    if (!detail.empty()) std::fprintf(err_, "%s: %s\n", caption.c_str(), detail.c_str());
}

void ConsoleView::Repaint() {
    if (!showBars_) return;
    // A line per change of a percentage, not per chunk: thousands of small
    // files would otherwise write thousands of equal lines.
    if (barShown_ && total_ == shownTotal_ && disk_ == shownDisk_) return;
    shownTotal_ = total_;
    shownDisk_ = disk_;
    std::fprintf(err_, "\rTotal: %3d%%  Disk: %3d%%", total_, disk_);
    std::fflush(err_);
    barShown_ = true;
}

int RunUnattended(const std::string& ownPath, const std::string& folder, bool overwrite) {
    ConsoleView view(folder, stdout, stderr, platform::IsConsole(platform::StandardStream::Err));
    view.AllowOverwrite(overwrite);
    Robot robot(view);
    if (!robot.StartUp(ownPath)) return kExitFailed;
    // Every volume must be at hand: nothing is unpacked from a set that
    // cannot be completed without asking for a disk.
    const std::string missing = robot.FirstMissingVolume();
    if (!missing.empty()) {
        std::fprintf(stderr, "%s %s\n", texts::kFileNotFound, missing.c_str());
        return kExitFailed;
    }
    switch (MakeTargetFolder(folder)) {
        case FolderState::Ready:
            break;
        case FolderState::NotAFolder:
            std::fprintf(stderr, "%s\n", WithFolder(texts::kTargetIsNoFolder, folder).c_str());
            return kExitFailed;
        case FolderState::NotCreated:
            std::fprintf(stderr, "%s\n", WithFolder(texts::kTargetNotCreated, folder).c_str());
            return kExitFailed;
    }
    robot.StartPressed();
    return robot.finished() ? kExitOk : kExitFailed;
}

int RunCommandLine(const std::string& programName, const std::string& ownPath,
                   const std::vector<std::string>& args) {
    if (args.empty()) return kNoArguments;
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::printf(kUsage, programName.c_str());
        std::fflush(stdout);
        return kExitOk;
    }
    const bool overwrite = args.size() == 3 && args[2] == "--overwrite";
    if ((args.size() == 2 || overwrite) && args[0] == "--target" && !args[1].empty()) {
        return RunUnattended(ownPath, args[1], overwrite);
    }
    std::fprintf(stderr, kUsage, programName.c_str());
    std::fflush(stderr);
    return kExitUsage;
}

}  // namespace tolvane::robot

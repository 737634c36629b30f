#include "stub/robot_console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/volume_header.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {
namespace {

enum class FolderState { Ready, NotAFolder, NotCreated };

// Creates folder and the folders above it that are missing.
FolderState MakeFolders(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode) ? FolderState::Ready : FolderState::NotAFolder;
    }
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0) {
        const FolderState parent = MakeFolders(folder.substr(0, slash));
        if (parent != FolderState::Ready) return parent;
    }
    return ::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST ? FolderState::Ready
                                                                 : FolderState::NotCreated;
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
    std::fprintf(err_, "\rTotal: %3d%%  Disk: %3d%%", total_, disk_);
    std::fflush(err_);
    barShown_ = true;
}

int RunUnattended(const std::string& ownPath, const std::string& folder, bool overwrite) {
    ConsoleView view(folder, stdout, stderr, ::isatty(2) == 1);
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
    switch (MakeFolders(folder)) {
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

}  // namespace tolvane::robot

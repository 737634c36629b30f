#include "cli/cli_display.h"

#include <cstdio>

#include "cli/commands.h"
#include "engine/volume_header.h"

namespace tolvane::cli {
namespace {

// At most this often the progress line is drawn again.
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

CliDisplay::CliDisplay(bool showProgress, bool interactive, bool cursorControls)
    : showProgress_(showProgress), interactive_(interactive), line_(cursorControls) {}

void CliDisplay::Attach(const QuellDateien& set, const ArchiveSettings& settings) {
    set_ = &set;
    settings_ = &settings;
    names_.clear();
    // Names go to a terminal: control characters only escaped.
    for (const FileListRow& row : set.FileListRows()) {
        names_.push_back(EscapeControlCharacters(row.name));
    }
}

void CliDisplay::ShowLine(const std::string& text) {
    std::fputs(line_.Redraw(text).c_str(), stderr);
    std::fflush(stderr);
}

void CliDisplay::ClearLine() {
    if (!line_.shown()) return;
    std::fputs(line_.Clear().c_str(), stderr);
    std::fflush(stderr);
}

bool CliDisplay::ReadAnswer(std::string* answer) {
    answer->clear();
    int c = 0;
    while ((c = std::getchar()) != EOF && c != '\n') answer->push_back(static_cast<char>(c));
    return c != EOF || !answer->empty();
}

void CliDisplay::Message(const std::string& text, const std::string& caption, Icon, Owner) {
    ClearLine();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
}

bool CliDisplay::AskRetry(const std::string& text, const std::string& caption) {
    ClearLine();
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    if (!interactive_) {
        std::fputs("Abbrechen (keine Eingabe vom Terminal möglich)\n", stderr);
        return false;
    }
    std::fputs("[W]iederholen oder [A]bbrechen? ", stderr);
    std::fflush(stderr);
    std::string answer;
    if (!ReadAnswer(&answer)) return false;
    const char first = answer.empty() ? '\0' : answer[0];
    return first == 'w' || first == 'W' || first == 'j' || first == 'J';
}

void CliDisplay::SetRowDone(int row, const std::string& doneText) {
    row_ = row;
    rowDone_ = doneText;
}

void CliDisplay::SetOverallBar(int percent) {
    overall_ = percent;
}

void CliDisplay::SetVolumeBar(int percent) {
    volume_ = percent;
}

void CliDisplay::SetStatusText(const std::string& text) {
    status_ = text;
}

void CliDisplay::Repaint() {
    if (!showProgress_) return;
    const auto now = std::chrono::steady_clock::now();
    if (line_.shown() && now - lastDrawn_ < kRedrawInterval) return;
    lastDrawn_ = now;
    std::string name = row_ >= 0 && row_ < static_cast<int>(names_.size()) ? names_[row_] : "";
    if (name.size() > 40) name = name.substr(0, 37) + "...";
    const int volume = settings_ != nullptr ? settings_->currentVolume : 0;
    char overall[32] = "";
    if (showOverall_) std::snprintf(overall, sizeof overall, "Gesamt %3d %%  ", overall_);
    char shares[64];
    std::snprintf(shares, sizeof shares, "Datenträger %d: %3d %%  ", volume, volume_);
    ShowLine(overall + std::string(shares) + name + " " + rowDone_);
}

bool CliDisplay::WaitForNextMedium(const std::string& note) {
    ClearLine();
    if (!interactive_) {
        std::fprintf(stderr, "Tolvane: %s\n%s\nOhne Terminal kann nicht gewartet werden.\n",
                     status_.c_str(), note.c_str());
        return false;
    }
    std::fprintf(stderr, "%s\n%s\nEingabetaste: weiter, a: abbrechen ", status_.c_str(),
                 note.c_str());
    std::fflush(stderr);
    std::string answer;
    if (!ReadAnswer(&answer)) return false;
    return answer.empty() || (answer[0] != 'a' && answer[0] != 'A');
}

void CliDisplay::Finish() {
    ClearLine();
}

int DriveToEnd(CliDisplay& display, const std::function<DriveOutcome()>& step,
               const std::function<std::string()>& nextMediumNote,
               const std::function<void()>& onFinished) {
    for (;;) {
        switch (step()) {
            case DriveOutcome::Finished:
                display.Finish();
                if (onFinished) onFinished();
                return kExitOk;
            case DriveOutcome::WaitingForNextMedium:
                if (!display.WaitForNextMedium(nextMediumNote())) {
                    return StopSignal() ? kExitInterrupted : kExitFailed;
                }
                break;
            case DriveOutcome::Interrupted:
                display.Finish();
                return kExitInterrupted;
            case DriveOutcome::Stopped:
            case DriveOutcome::Cancelled:
                display.Finish();
                return StopSignal() ? kExitInterrupted : kExitFailed;
        }
    }
}

}  // namespace tolvane::cli

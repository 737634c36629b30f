// The command line's display: messages as "caption: text" on stderr, a
// progress line on stderr when it is a terminal, and the retry question asked
// on the terminal (answered Cancel when stdin is not one).
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cli/status_line.h"
#include "engine/archive_set.h"
#include "engine/display.h"
#include "engine/drivers.h"

namespace tolvane::cli {

class CliDisplay : public Display {
  public:
    // showProgress: draw the progress line; interactive: questions may be
    // asked on the terminal; cursorControls: the terminal understands them.
    CliDisplay(bool showProgress, bool interactive, bool cursorControls = true);

    // The set whose progress is shown (names of the rows, volume number).
    void Attach(const QuellDateien& set, const ArchiveSettings& settings);
    // Whether the progress line has the overall share (not when one volume
    // alone is written, as by a repair).
    void ShowOverall(bool show) { showOverall_ = show; }

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override;
    void SetRowDone(int row, const std::string& doneText) override;
    void SetOverallBar(int percent) override;
    void SetVolumeBar(int percent) override;
    void SetStatusText(const std::string& text) override;
    void Repaint() override;

    // Asks for the next medium: the status text holds the prompt, note says
    // which file is meant. False when the user cancels or nobody can be asked.
    bool WaitForNextMedium(const std::string& note);
    // Removes the progress line before the program ends.
    void Finish();
    // Draws text as the progress line, over the one shown before.
    void ShowLine(const std::string& text);
    // Removes the progress line, if one is shown.
    void ClearLine();

    const std::string& status() const { return status_; }
    bool showsProgress() const { return showProgress_; }
    bool interactive() const { return interactive_; }

  private:
    // One line read from stdin; false at its end.
    bool ReadAnswer(std::string* answer);

    bool showProgress_;
    bool interactive_;
    bool showOverall_ = true;
    StatusLine line_;
    const QuellDateien* set_ = nullptr;
    const ArchiveSettings* settings_ = nullptr;
    std::vector<std::string> names_;
    int row_ = -1;
    std::string rowDone_;
    int overall_ = 0;
    int volume_ = 0;
    std::string status_;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

// The display of this process: the progress line when stderr is a terminal
// (with cursor controls where it has them), questions when stdin is one.
CliDisplay MakeDisplay();

// Calls a driver's step until the set is done; between two volumes the user
// is asked for the next medium, described by nextMediumNote. Returns the
// program's exit code.
int DriveToEnd(CliDisplay& display, const std::function<DriveOutcome()>& step,
               const std::function<std::string()>& nextMediumNote,
               const std::function<void()>& onFinished = {});

}  // namespace tolvane::cli

// The progress line on a terminal: drawn again over itself in place, and
// taken away before anything else is written.
#pragma once

#include <cstddef>
#include <string>

namespace tolvane::cli {

class StatusLine {
  public:
    // cursorControls: the terminal understands "\033[K" (erase to the end
    // of the line). A Windows console before Windows 10 shows it as text:
    // there the rest of a longer line before is covered with spaces.
    explicit StatusLine(bool cursorControls) : cursorControls_(cursorControls) {}

    // The bytes that put line where the line shown before is.
    std::string Redraw(const std::string& line);
    // The bytes that take the shown line away; empty when none is shown.
    std::string Clear();
    bool shown() const { return shown_; }

  private:
    bool cursorControls_;
    bool shown_ = false;
    // Characters (UTF-8 code points) of the shown line.
    size_t width_ = 0;
};

}  // namespace tolvane::cli

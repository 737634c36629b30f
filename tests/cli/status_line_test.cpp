#include "cli/status_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvane::cli {
namespace {

// A terminal line as a person sees it: "\r" goes to its start, "\033[K"
// erases from the cursor on, every other character overwrites one cell.
class TerminalLine {
  public:
    void Write(const std::string& bytes) {
        for (size_t i = 0; i < bytes.size();) {
            if (bytes[i] == '\r') {
                column_ = 0, ++i;
            } else if (bytes.compare(i, 3, "\033[K") == 0) {
                cells_.resize(column_), i += 3;
            } else {
                size_t end = i + 1;
                while (end < bytes.size() &&
                       (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
                    ++end;
                if (column_ >= cells_.size()) cells_.resize(column_ + 1, " ");
                cells_[column_++] = bytes.substr(i, end - i);
                i = end;
            }
        }
    }
    // What is seen, without the blanks at its end.
    std::string Seen() const {
        std::string seen;
        for (const std::string& cell : cells_) seen += cell;
        return seen.erase(seen.find_last_not_of(' ') + 1);
    }

  private:
    std::vector<std::string> cells_;
    size_t column_ = 0;
};

// Each line drawn replaces the one before whole, longer or shorter, with or
// without cursor controls; a console without them never gets an escape.
TEST(StatusLine, EachLineReplacesTheOneBeforeWhole) {
    const std::vector<std::string> lines = {
        "Gesamt   5 %  Datenträger 1:  10 %  größere Datei.bin",
        "Gesamt  50 %  Datenträger 2:  80 %  ä",
        "Prüfsummen 100 %",
        "Wiederherstellungsdaten   7 %",
        "x",
    };
    for (const bool controls : {true, false}) {
        SCOPED_TRACE(controls ? "cursor controls" : "no cursor controls");
        StatusLine line(controls);
        TerminalLine terminal;
        EXPECT_EQ(line.Clear(), "");
        for (const std::string& text : lines) {
            const std::string bytes = line.Redraw(text);
            EXPECT_EQ(bytes.find('\033') == std::string::npos, !controls);
            terminal.Write(bytes);
            EXPECT_EQ(terminal.Seen(), text);
            EXPECT_TRUE(line.shown());
        }
        const std::string cleared = line.Clear();
        EXPECT_EQ(cleared.find('\033') == std::string::npos, !controls);
        terminal.Write(cleared);
        EXPECT_EQ(terminal.Seen(), "");
        EXPECT_FALSE(line.shown());
        // What follows starts at the line's beginning.
        terminal.Write("Fertig");
        EXPECT_EQ(terminal.Seen(), "Fertig");
    }
}

}  // namespace
}  // namespace tolvane::cli

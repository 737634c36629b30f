#include "cli/status_line.h"

namespace tolvane::cli {
namespace {

constexpr const char* kEraseToEnd = "\033[K";

// A line holds names with umlauts: its width counts characters, not bytes
// (every byte but a UTF-8 continuation byte starts one).
size_t Width(const std::string& line) {
    size_t width = 0;
    for (const char c : line) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return width;
}

}  // namespace

std::string StatusLine::Redraw(const std::string& line) {
    std::string out = "\r" + line;
    const size_t width = Width(line);
    if (cursorControls_) {
        out += kEraseToEnd;
    } else if (shown_ && width < width_) {
        out.append(width_ - width, ' ');
    }
    shown_ = true;
    width_ = width;
    return out;
}

std::string StatusLine::Clear() {
    if (!shown_) return {};
    shown_ = false;
    if (cursorControls_) return std::string("\r") + kEraseToEnd;
    return "\r" + std::string(width_, ' ') + "\r";
}

}  // namespace tolvane::cli

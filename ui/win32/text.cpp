#include "ui/win32/text.h"

namespace tolvane::ui::win32 {
namespace {

constexpr const wchar_t* kFaces[] = {L"Arial", L"Liberation Sans", L"Tahoma"};
constexpr const wchar_t* kLastResort = L"MS Shell Dlg";
constexpr wchar_t kEllipsis[] = L"\u2026";

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool Installed(HDC dc, const wchar_t* face) {
    LOGFONTW wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A screen DC with `font` selected, for measuring.
class Measure {
  public:
    explicit Measure(HFONT font) : dc_(::GetDC(nullptr)), old_(::SelectObject(dc_, font)) {}
    ~Measure() {
        ::SelectObject(dc_, old_);
        ::ReleaseDC(nullptr, dc_);
    }
    int Width(const wchar_t* text, int length) const {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc_, text, length, &size);
        return size.cx;
    }
    int AverageWidth() const {
        TEXTMETRICW metrics = {};
        ::GetTextMetricsW(dc_, &metrics);
        return metrics.tmAveCharWidth;
    }
    int Height() const {
        TEXTMETRICW metrics = {};
        ::GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

bool IsLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The text with `cut` characters taken out of its middle (a little more of
// the start kept than of the end), moved off surrogate pairs.
std::wstring WithoutMiddle(const std::wstring& text, size_t cut) {
    const size_t kept = text.size() - cut;
    size_t head = (kept + 1) / 2;
    size_t tail = text.size() - (kept - head);
    if (head > 0 && head < text.size() && IsLowSurrogate(text[head])) --head;
    if (tail < text.size() && IsLowSurrogate(text[tail])) ++tail;
    return text.substr(0, head) + kEllipsis + text.substr(tail);
}

}  // namespace

std::wstring PageFontFace() {
    static const std::wstring face = [] {
        HDC dc = ::GetDC(nullptr);
        std::wstring chosen = kLastResort;
        for (const wchar_t* f : kFaces) {
            if (Installed(dc, f)) {
                chosen = f;
                break;
            }
        }
        ::ReleaseDC(nullptr, dc);
        return chosen;
    }();
    return face;
}

HFONT CreatePageFont(int pixels, bool bold) {
    return ::CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                         DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                         VARIABLE_PITCH | FF_SWISS, PageFontFace().c_str());
}

int TextWidth(HFONT font, const std::wstring& text) {
    const Measure measure(font);
    int widest = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const int width = measure.Width(text.data() + start, static_cast<int>(end - start));
        if (width > widest) widest = width;
        start = end + 1;
    }
    return widest;
}

int NeededWidth(TextControl control, HFONT font, const std::wstring& text) {
    const int width = TextWidth(font, text);
    switch (control) {
        case TextControl::Label:
            return width;
        case TextControl::CheckBox:
            // The mark is as wide as a menu check; the gap after it is
            // about half a character, and the focus frame around the text
            // takes a few pixels more (wine's buttons cut a text that fits
            // only without them).
            return ::GetSystemMetrics(SM_CXMENUCHECK) + Measure(font).AverageWidth() + width + 2;
        case TextControl::Button:
            return width + 2 * (::GetSystemMetrics(SM_CXEDGE) + Measure(font).Height() / 2);
    }
    return width;
}

std::wstring ElideMiddle(HFONT font, const std::wstring& text, int width) {
    const Measure measure(font);
    auto fits = [&](const std::wstring& s) {
        return measure.Width(s.c_str(), static_cast<int>(s.size())) <= width;
    };
    if (fits(text)) return text;
    // The fewest characters to cut: the width shrinks as more are cut.
    size_t low = 1;
    size_t high = text.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (fits(WithoutMiddle(text, middle))) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return WithoutMiddle(text, low);
}

}  // namespace tolvane::ui::win32

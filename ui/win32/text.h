// Text in the Windows window: the pages' font and the measures the framework
// asks of a control (how wide its text needs it, its text shortened to fit),
// taken with GetTextExtentPoint32W so that no text is cut, whichever fonts
// the system has.
#pragma once

#include <windows.h>

#include <string>

namespace tolvane::ui::win32 {

// The face the pages are drawn in: the first installed of Arial, Liberation
// Sans (Arial's widths; wine has no Arial), Tahoma and MS Shell Dlg.
std::wstring PageFontFace();

// The pages' font, `pixels` high (character height, as the framework's
// scaled font size), normal or bold. The caller deletes it.
HFONT CreatePageFont(int pixels, bool bold);

// The width of `text` in `font`: of its widest line when "\n" breaks it.
int TextWidth(HFONT font, const std::wstring& text);

// What a control needs to show its text uncut: a label its text, a check box
// or radio button its mark, the gap and its text, a push button its text
// with the frame's margins.
enum class TextControl { Label, CheckBox, Button };
int NeededWidth(TextControl control, HFONT font, const std::wstring& text);

// `text` as it fits into `width` pixels: unchanged when it fits, else with
// its middle replaced by "…", keeping as much of both ends as fits (never
// splitting a character in two).
std::wstring ElideMiddle(HFONT font, const std::wstring& text, int width);

}  // namespace tolvane::ui::win32

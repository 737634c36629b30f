// UTF-8 inside the programs, UTF-16 at the Windows API: the two conversions,
// for the Win32 parts of the programs only.
#pragma once

#include <string>

namespace tolvane::platform {

// UTF-16 of UTF-8 text; *ok (when given) is false for bytes that are no
// UTF-8, which are then replaced.
std::wstring Widen(const std::string& text, bool* ok = nullptr);
// UTF-8 of UTF-16 text.
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

}  // namespace tolvane::platform

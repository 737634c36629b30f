// The Win32 window's pictures and services that need no user, under wine:
// every picture decodes at every scale to its size, the chooser and shell
// helpers, and message boxes answered from a second thread (their owner,
// German buttons and the answer each button gives).
//
// Prints each failed check; exit 0 when all hold.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <cstdio>
#include <cwctype>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/platform/win32_text.h"
#include "tolvane/version.h"
#include "ui/win32/picture_ids.h"
#include "ui/win32/pictures.h"
#include "ui/win32/services.h"
#include "ui/win32/text.h"
#include "ui/win32/threads.h"

using namespace tolvane;
using namespace tolvane::ui;
using namespace tolvane::ui::win32;
using platform::Narrow;

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++failures;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

template <typename T>
void Equal(const T& got, const T& expected, const std::string& what) {
    Check(got == expected, what);
}

std::string Quoted(const std::wstring& text) {
    return "\"" + Narrow(text) + "\"";
}

// A 32-bit canvas to draw on, white at first.
struct Canvas {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    const DWORD* pixels = nullptr;
    int width, height;
    Canvas(int w, int h) : width(w), height(h) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<const DWORD*>(bits);
        old = ::SelectObject(dc, bitmap);
        RECT all = {0, 0, w, h};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
    ~Canvas() {
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
    }
    std::vector<DWORD> Pixels() {
        ::GdiFlush();
        return std::vector<DWORD>(pixels, pixels + width * height);
    }
};

void Pictures() {
    for (int p = 0; p < kPictureCount; ++p) {
        const auto picture = static_cast<Picture>(p);
        for (const bool few : {false, true}) {
            const PictureInfo info = PictureFor(picture, few);
            for (const int percent : kPictureScales) {
                const std::string name =
                    std::string(info.path) + " at " + std::to_string(percent) + "%";
                const PictureBitmap bitmap = LoadPicture(picture, percent, few);
                Check(static_cast<bool>(bitmap), name + " loads");
                Equal(bitmap.width(), ScalePictureLength(info.width, percent), name + " width");
                Equal(bitmap.height(), ScalePictureLength(info.height, percent), name + " height");
            }
        }
    }
    Check(!LoadPicture(static_cast<Picture>(kPictureCount), 100), "an unknown picture is empty");

    // Drawn over white, the banner's transparent corners stay white and its
    // body does not: the alpha channel reached AlphaBlend premultiplied.
    const PictureBitmap banner = LoadPicture(Picture::kBanner, 100);
    Canvas canvas(banner.width(), banner.height());
    Check(DrawPicture(canvas.dc, banner, {0, 0, banner.width(), banner.height()}),
          "the banner draws");
    int changed = 0;
    for (DWORD p : canvas.Pixels()) changed += (p & 0xFFFFFF) != 0xFFFFFF;
    Check(changed > banner.width() * banner.height() / 4, "the banner covers its body");
    Check(changed < banner.width() * banner.height(), "the banner's transparent parts stay white");

    const struct {
        int dpi, percent;
    } scales[] = {{72, 100},  {96, 100},  {110, 100}, {120, 125}, {143, 125},
                  {144, 150}, {191, 150}, {192, 200}, {288, 200}};
    for (const auto& s : scales) {
        Equal(PictureScaleForDpi(s.dpi), s.percent, "scale for " + std::to_string(s.dpi) + " dpi");
    }
}

void PictureSets() {
    const struct {
        int dpi, bits;
        HMODULE module;
        bool loaded;
        int percent;
        bool few;
    } sets[] = {
        {96, 32, nullptr, true, 100, false},
        {144, 32, nullptr, true, 150, false},
        {120, 8, nullptr, true, 125, true},
        // A module without the pictures: placeholders of the same sizes.
        {96, 32, ::GetModuleHandleW(L"kernel32.dll"), false, 100, false},
    };
    for (const auto& s : sets) {
        const PictureSet set(s.dpi, s.bits, s.module);
        const std::string name = "set at " + std::to_string(s.dpi) + " dpi, " +
                                 std::to_string(s.bits) + " bits" + (s.loaded ? "" : ", empty");
        Equal(set.scalePercent(), s.percent, name + ": scale");
        for (const Picture picture : {Picture::kCreate, Picture::kDriveA, Picture::kBanner}) {
            const PictureInfo info = PictureFor(picture, s.few);
            const std::string what = name + ": " + info.path;
            Equal(set.Loaded(picture), s.loaded, what + " loaded");
            Equal(set.Get(picture).width(), ScalePictureLength(info.width, s.percent),
                  what + " width");
            Equal(set.Get(picture).height(), ScalePictureLength(info.height, s.percent),
                  what + " height");
        }
    }

    // The button face: a disabled picture is paler, a pressed one moves.
    const PictureSet set(96, 32);
    auto draw = [&](UINT state) {
        Canvas canvas(70, 60);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.hDC = canvas.dc;
        item.rcItem = {0, 0, 70, 60};
        item.itemState = state;
        DrawPictureButton(item, set.Get(Picture::kGo));
        return canvas.Pixels();
    };
    const std::vector<DWORD> normal = draw(0);
    auto darkness = [](const std::vector<DWORD>& pixels) {
        long long sum = 0;
        for (DWORD p : pixels) sum += 765 - (p & 0xFF) - ((p >> 8) & 0xFF) - ((p >> 16) & 0xFF);
        return sum;
    };
    Check(darkness(draw(ODS_DISABLED)) < darkness(normal), "a disabled picture is paler");
    Check(draw(ODS_SELECTED) != normal, "a pressed button looks pressed");
}

void ChooserHelpers() {
    const struct {
        std::wstring buffer;  // NULs written as '|'
        std::vector<std::wstring> paths;
    } selections[] = {
        {L"C:\\Daten\\eins.bin||", {L"C:\\Daten\\eins.bin"}},
        {L"C:\\Daten|eins.bin|Übersicht.txt||",
         {L"C:\\Daten\\eins.bin", L"C:\\Daten\\Übersicht.txt"}},
        {L"C:\\|a|b||", {L"C:\\a", L"C:\\b"}},
        {L"C:\\Daten|a|D:\\x\\b||", {L"C:\\Daten\\a", L"D:\\x\\b"}},
        {L"||", {}},
    };
    for (const auto& s : selections) {
        std::wstring buffer = s.buffer;
        for (wchar_t& c : buffer) c = c == L'|' ? L'\0' : c;
        Check(SplitMultiSelection(buffer.data(), buffer.size()) == s.paths,
              "multiple selection " + Quoted(s.buffer));
    }

    const struct {
        std::wstring path, expected;
    } trims[] = {{L"C:\\", L"C:\\"},
                 {L"C:\\Daten\\", L"C:\\Daten"},
                 {L"C:\\Daten", L"C:\\Daten"},
                 {L"\\\\server\\share\\", L"\\\\server\\share"},
                 {L"\\", L"\\"}};
    for (const auto& t : trims) {
        Equal(WithoutTrailingSeparator(t.path), t.expected, "trimmed " + Quoted(t.path));
    }

    ChooserRequest request;
    request.filterText = "Archive (*.001,*.002,...)";
    request.filterPattern = "*.001 *.002";
    Equal(ChooserFilter(request),
          std::wstring(L"Archive (*.001,*.002,...)\0*.001;*.002\0", 38) + L'\0',
          "filter with two patterns");
    request.filterText = request.filterPattern = "";
    Equal(ChooserFilter(request), std::wstring(L"Alle Dateien (*.*)\0*.*\0", 23) + L'\0',
          "filter of every file");

    FolderMemory memory;
    Equal(memory.Recall(ChooserOperation::OpenSourceFiles), std::string(), "nothing remembered");
    memory.Remember(ChooserOperation::OpenSourceFiles, "C:\\Quellen");
    memory.Remember(ChooserOperation::SaveArchiveAs, "D:\\Ziel");
    memory.Remember(ChooserOperation::SaveArchiveAs, "");
    Equal(memory.Recall(ChooserOperation::OpenSourceFiles), std::string("C:\\Quellen"),
          "source folder remembered");
    Equal(memory.Recall(ChooserOperation::SaveArchiveAs), std::string("D:\\Ziel"),
          "an empty folder does not replace the last one");
    Equal(memory.Recall(ChooserOperation::BrowseForFolder), std::string(),
          "each chooser remembers its own folder");

    // Kept in the registry, a folder outlives the run that chose it.
    const std::wstring key = L"Software\\Tolvane-Test";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    FolderMemory(key).Remember(ChooserOperation::SaveArchiveAs, "C:\\Ziel mit Ümlaut");
    Equal(FolderMemory(key).Recall(ChooserOperation::SaveArchiveAs),
          std::string("C:\\Ziel mit Ümlaut"), "remembered across runs");
    Equal(FolderMemory(key).Recall(ChooserOperation::OpenSourceFiles), std::string(),
          "a chooser never used starts nowhere in particular");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());

    // The last folder wins inside the folder asked for, when it still exists.
    const auto exists = [](const std::string& folder) {
        return folder.find("weg") == std::string::npos;
    };
    const struct {
        const char* remembered;
        const char* requested;
        const char* start;
    } starts[] = {
        {"", "C:\\Ziel", "C:\\Ziel"},
        {"C:\\Ziel\\Teil", "C:\\Ziel", "C:\\Ziel\\Teil"},
        {"c:\\ziel\\Teil", "C:\\Ziel", "c:\\ziel\\Teil"},
        {"C:\\Ziel", "C:\\Ziel", "C:\\Ziel"},
        {"C:\\Zielordner", "C:\\Ziel", "C:\\Ziel"},
        {"D:\\Anderes", "C:\\Ziel", "C:\\Ziel"},
        {"C:\\Daten", "C:\\", "C:\\Daten"},
        {"D:\\Anderes", "", "D:\\Anderes"},
        {"C:\\Ziel\\weg", "C:\\Ziel", "C:\\Ziel"},
    };
    for (const auto& c : starts) {
        Equal(StartFolder(c.remembered, c.requested, exists), std::string(c.start),
              std::string("start folder for ") + c.remembered + " in " + c.requested);
    }
}

void ShellHelpers() {
    // What the C runtime reads back is what was meant.
    const std::wstring arguments[] = {L"plain",          L"mit Leerzeichen", L"",
                                      L"C:\\Pfad mit\\", L"zitat\"innen",    L"a\\\\\"b",
                                      L"end\\\\",        L"tab\there"};
    for (const std::wstring& argument : arguments) {
        const std::wstring line = L"prog.exe " + QuoteArgument(argument);
        int count = 0;
        wchar_t** parsed = ::CommandLineToArgvW(line.c_str(), &count);
        Check(parsed != nullptr && count == 2 && argument == parsed[1],
              "argument " + Quoted(argument) + " as " + Quoted(line));
        ::LocalFree(parsed);
    }

    const struct {
        DWORD drives;
        bool mediumA, mediumB;
        std::string aDevice, bDevice;
    } drives[] = {{0b11100, true, true, "", ""},     // no floppy drives
                  {0b00101, false, true, "", ""},    // A: empty, no B:
                  {0b00111, true, false, "A:", ""},  // disk in A: only
                  {0b00011, true, true, "A:", "B:"}};
    for (const auto& d : drives) {
        const DriveRoots roots = MapDriveRoots(
            d.drives, [&](wchar_t letter) { return letter == L'A' ? d.mediumA : d.mediumB; },
            "C:\\Users\\x\\Documents");
        const std::string name = "drives " + std::to_string(d.drives);
        Equal(roots.a, std::string("A:\\"), name + " a");
        Equal(roots.b, std::string("B:\\"), name + " b");
        Equal(roots.aDevice, d.aDevice, name + " aDevice");
        Equal(roots.bDevice, d.bDevice, name + " bDevice");
        Equal(roots.hardDisk, std::string("C:\\Users\\x\\Documents"), name + " hard disk");
    }
    Equal(MapDriveRoots(
              0, [](wchar_t) { return false; }, "")
              .hardDisk,
          std::string("C:\\"), "hard disk without a documents folder");

    const DriveRoots here = Win32Shell().CurrentDriveRoots();
    const DWORD attributes = ::GetFileAttributesW(platform::Widen(here.hardDisk).c_str());
    Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          "the documents folder " + here.hardDisk + " is a folder");
    Check(!Win32Shell().FindProgram("cmd").empty(), "cmd is found on the path");
    Equal(Win32Shell().FindProgram("kein-solches-programm"), std::string(), "no such program");
}

// Answers the message box with `caption` from a second thread: notes its
// owner and button texts, then presses `press` (WM_CLOSE for the close box).
struct BoxAnswer {
    std::wstring caption;
    int press = 0;
    HWND owner = nullptr;
    std::vector<std::wstring> buttons;
    bool found = false;
};

DWORD WINAPI AnswerBox(void* data) {
    auto* answer = static_cast<BoxAnswer*>(data);
    for (int i = 0; i < 400 && !answer->found; ++i) {
        HWND box = ::FindWindowW(L"#32770", answer->caption.c_str());
        if (box == nullptr || !::IsWindowVisible(box)) {
            ::Sleep(25);
            continue;
        }
        answer->found = true;
        answer->owner = ::GetWindow(box, GW_OWNER);
        for (int id : {IDOK, IDCANCEL, IDRETRY, IDYES, IDNO}) {
            if (HWND button = ::GetDlgItem(box, id);
                button != nullptr && ::IsWindowVisible(button)) {
                wchar_t text[64] = {};
                ::GetWindowTextW(button, text, 64);
                answer->buttons.push_back(text);
            }
        }
        if (answer->press == 0) {
            ::PostMessageW(box, WM_CLOSE, 0, 0);
        } else {
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer->press, BN_CLICKED), 0);
        }
    }
    return 0;
}

void MessageBoxQuestions() {
    HWND owner = ::CreateWindowExW(0, L"STATIC", L"Tolvane", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, nullptr, nullptr);
    const struct {
        MessageButtons buttons;
        int press;
        std::vector<std::wstring> texts;
        MessageResult result;
    } boxes[] = {
        {MessageButtons::Ok, IDOK, {L"OK"}, MessageResult::Ok},
        {MessageButtons::Ok, 0, {L"OK"}, MessageResult::Ok},
        {MessageButtons::RetryCancel,
         IDRETRY,
         {L"Abbrechen", L"&Wiederholen"},
         MessageResult::Retry},
        {MessageButtons::RetryCancel, 0, {L"Abbrechen", L"&Wiederholen"}, MessageResult::Cancel},
        {MessageButtons::YesNo, IDYES, {L"&Ja", L"&Nein"}, MessageResult::Yes},
        {MessageButtons::YesNo, IDNO, {L"&Ja", L"&Nein"}, MessageResult::No},
    };
    int n = 0;
    for (const auto& b : boxes) {
        BoxAnswer answer;
        answer.caption = L"Prüfung " + std::to_wstring(++n);
        answer.press = b.press;
        HANDLE thread = ::CreateThread(nullptr, 0, AnswerBox, &answer, 0, nullptr);
        MessageRequest request;
        request.text = "Soll der Vorgang abgebrochen werden?";
        request.caption = Narrow(answer.caption);
        request.icon = Icon::Question;
        request.buttons = b.buttons;
        // Through the service, whose owner is the native window itself.
        request.owner = reinterpret_cast<RequestOwner>(owner);
        const MessageResult result = Win32MessageBoxes().Show(request);
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
        const std::string name = "box " + std::to_string(n);
        Check(answer.found, name + " shown");
        Check(answer.owner == owner, name + " owned by the window");
        Check(answer.buttons == b.texts, name + " has German buttons");
        Check(result == b.result, name + " answer");
    }
    ::DestroyWindow(owner);
}

// Works a chooser titled `title` from a second thread as a user would: types
// `typed` into its name field and presses OK (or Cancel when typed is empty).
struct ChooserHand {
    std::wstring title;
    std::wstring typed;
    bool found = false;
};

BOOL CALLBACK CloseBoxesOver(HWND window, LPARAM chooser) {
    if (window != reinterpret_cast<HWND>(chooser) && ::IsWindowVisible(window)) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

DWORD WINAPI WorkChooser(void* data) {
    auto* hand = static_cast<ChooserHand*>(data);
    for (int i = 0; i < 400 && !hand->found; ++i) {
        HWND dialog = ::FindWindowW(L"#32770", hand->title.c_str());
        if (dialog == nullptr || !::IsWindowVisible(dialog)) {
            ::Sleep(25);
            continue;
        }
        hand->found = true;
        ::Sleep(100);  // the dialog fills its views after it shows
        if (hand->typed.empty()) {
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            break;
        }
        // The name field: a combo box with an edit (cmb13) or an edit (edt1).
        HWND name = ::GetDlgItem(dialog, 0x47C);
        if (name == nullptr) name = ::GetDlgItem(dialog, 0x480);
        ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(hand->typed.c_str()));
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
        // A chooser that stays open (a refused name shows a box over it)
        // fails the case instead of hanging the test.
        for (int j = 0; j < 200 && ::IsWindowVisible(dialog); ++j) ::Sleep(25);
        if (::IsWindowVisible(dialog)) {
            ::EnumThreadWindows(::GetWindowThreadProcessId(dialog, nullptr), CloseBoxesOver,
                                reinterpret_cast<LPARAM>(dialog));
            ::Sleep(200);
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    return 0;
}

void Choosers() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring base =
        std::wstring(temp) + L"tolvane-chooser-" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring source = base + L"-quelle";
    const std::wstring target = base + L"-ziel";
    ::CreateDirectoryW(source.c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    const std::wstring files[] = {source + L"\\eins.bin", source + L"\\Übersicht.txt"};
    for (const std::wstring& file : files) {
        ::CloseHandle(
            ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    const std::string from = Narrow(source);
    const std::string to = Narrow(target);
    const struct {
        ChooserKind kind;
        ChooserOperation operation;
        std::string initialFolder;
        std::wstring typed;
        std::vector<std::string> chosen;
    } cases[] = {
        {ChooserKind::OpenFiles,
         ChooserOperation::OpenSourceFiles,
         from,
         L"\"eins.bin\" \"Übersicht.txt\"",
         {from + "\\eins.bin", from + "\\Übersicht.txt"}},
        {ChooserKind::OpenFiles,
         ChooserOperation::OpenSourceFiles,
         from,
         L"eins.bin",
         {from + "\\eins.bin"}},
        {ChooserKind::OpenFile, ChooserOperation::OpenSourceFiles, from, L"", {}},
        {ChooserKind::SaveFile,
         ChooserOperation::SaveArchiveAs,
         to,
         L"paket",
         {to + "\\paket.001"}},
        {ChooserKind::SaveFile,
         ChooserOperation::SaveArchiveAs,
         to,
         L"paket.exe",
         {to + "\\paket.exe"}},
        // The folder chooser takes a typed path.
        {ChooserKind::Folder, ChooserOperation::BrowseForFolder, from, target, {to}},
        {ChooserKind::Folder, ChooserOperation::BrowseForFolder, from, L"", {}},
        // No folder given: the chooser starts where the same chooser last
        // ended, not where the system's last chooser did.
        {ChooserKind::OpenFile,
         ChooserOperation::OpenSourceFiles,
         "",
         L"Übersicht.txt",
         {from + "\\Übersicht.txt"}},
    };
    FolderMemory memory;
    int n = 0;
    for (const auto& c : cases) {
        ChooserHand hand;
        hand.title = L"Auswahl " + std::to_wstring(++n);
        hand.typed = c.typed;
        HANDLE thread = ::CreateThread(nullptr, 0, WorkChooser, &hand, 0, nullptr);
        ChooserRequest request;
        request.kind = c.kind;
        request.operation = c.operation;
        request.title = Narrow(hand.title);
        request.filterText = "Alle Dateien";
        request.filterPattern = "*.*";
        request.initialFolder = c.initialFolder;
        request.defaultSuffix = ".001";
        const std::vector<std::string> chosen = ShowChooser(nullptr, request, &memory);
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
        const std::string name = "chooser " + std::to_string(n) + " " + Quoted(c.typed);
        Check(hand.found, name + " shown");
        Check(chosen == c.chosen, name + " gave " + (chosen.empty() ? "nothing" : chosen[0]));
    }
    for (const std::wstring& file : files) ::DeleteFileW(file.c_str());
    Check(::RemoveDirectoryW(target.c_str()) != FALSE, "a save chooser creates no file");
    ::RemoveDirectoryW(source.c_str());
}

bool HasLoneSurrogate(const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const bool high = text[i] >= 0xD800 && text[i] <= 0xDBFF;
        const bool low = text[i] >= 0xDC00 && text[i] <= 0xDFFF;
        if (low) return true;
        if (high) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return true;
            ++i;
        }
    }
    return false;
}

void Texts() {
    HFONT font = CreatePageFont(13, false);
    HFONT bold = CreatePageFont(13, true);
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    Equal(std::wstring(face), PageFontFace(), "the pages' font is the installed face chosen");

    const std::wstring line = L"Zieldatenträger auswählen";
    Equal(TextWidth(font, line + L"\nkurz"), TextWidth(font, line), "the widest line counts");
    Check(TextWidth(bold, line) > TextWidth(font, line), "bold text is wider");
    Check(NeededWidth(TextControl::CheckBox, font, line) > TextWidth(font, line) + 10,
          "a check box needs room for its mark");
    Check(NeededWidth(TextControl::Button, font, line) > TextWidth(font, line),
          "a button needs room for its frame");

    const std::wstring path =
        L"C:\\Dokumente und Einstellungen\\Benutzer\\Eigene Dateien\\package.001";
    std::wstring faces;
    for (int i = 0; i < 40; ++i) faces += L"\U0001F600";
    const int full = TextWidth(font, path);
    const int w = TextWidth(font, L"W");
    const struct {
        std::wstring text;
        int width;
    } elisions[] = {{path, full},  {path, full - 1}, {path, full / 2},
                    {path, 3 * w}, {path, 0},        {faces, TextWidth(font, faces) / 3}};
    for (const auto& e : elisions) {
        const std::wstring shown = ElideMiddle(font, e.text, e.width);
        const std::string name = "elided to " + std::to_string(e.width) + " of " +
                                 std::to_string(TextWidth(font, e.text));
        if (TextWidth(font, e.text) <= e.width) {
            Equal(shown, e.text, name + ": unchanged");
            continue;
        }
        Check(shown.find(L'\u2026') != std::wstring::npos, name + ": has the ellipsis");
        Check(TextWidth(font, shown) <= e.width || shown == L"\u2026", name + ": fits");
        Check(TextWidth(font, shown) > e.width - 3 * w, name + ": keeps what fits");
        Check(!HasLoneSurrogate(shown), name + ": no character split");
        if (shown.size() > 2) {
            Check(shown.front() == e.text.front() && shown.back() == e.text.back(),
                  name + ": both ends kept");
        }
    }
    ::DeleteObject(font);
    ::DeleteObject(bold);
}

// Runs the GUI thread's messages until done() or `milliseconds` have passed.
template <typename Done>
bool PumpUntil(Done done, ULONGLONG milliseconds = 5000) {
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (!done() && ::GetTickCount64() < end) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
    }
    return done();
}

void Threads() {
    const DWORD gui = ::GetCurrentThreadId();
    MessageDispatcher dispatcher;
    std::string order;
    bool onGui = true;
    auto note = [&](char c) {
        return [&order, &onGui, gui, c] {
            order += c;
            onGui = onGui && ::GetCurrentThreadId() == gui;
        };
    };

    // Posts and calls from the worker keep their order; done comes last.
    {
        ThreadWorker worker(dispatcher);
        bool callReturnedAfterRun = false;
        bool errorCameBack = false;
        worker.Start(
            [&] {
                for (char c : std::string("abc")) dispatcher.Post(note(c));
                dispatcher.Call(note('d'));
                callReturnedAfterRun = order.find('d') != std::string::npos;
                dispatcher.Post(note('e'));
                try {
                    dispatcher.Call([] { throw std::runtime_error("Frage"); });
                } catch (const std::runtime_error&) {
                    errorCameBack = true;
                }
            },
            note('z'));
        Check(PumpUntil([&] { return order.find('z') != std::string::npos; }), "done runs");
        Equal(order, std::string("abcdez"), "posts, calls and done in order");
        Check(onGui, "all of it on the GUI thread");
        Check(callReturnedAfterRun, "a call returns after it ran");
        Check(errorCameBack, "a call's exception reaches the caller");
    }

    // On the GUI thread a call runs at once.
    order.clear();
    dispatcher.Call(note('x'));
    Equal(order, std::string("x"), "a call on the GUI thread");

    // Joining serves the worker's calls but not its done.
    order.clear();
    {
        ThreadWorker worker(dispatcher);
        worker.Start(
            [&] {
                ::Sleep(100);
                dispatcher.Call(note('q'));
            },
            note('z'));
        worker.JoinServing();
        Check(!worker.running(), "joined");
        Equal(order, std::string("q"), "the call was served while joining");
        PumpUntil([] { return false; }, 300);
        Check(order.find('z') == std::string::npos, "done does not run after a join");
    }
}

// The window program's resources, linked into this test as into the program.
void ProgramResources() {
    // Version 6 lives in the side-by-side store, not in the system folder
    // (wine's copy reports 5.81 from DllGetVersion, so its path tells).
    wchar_t controls[MAX_PATH] = {};
    ::GetModuleFileNameW(::LoadLibraryW(L"comctl32.dll"), controls, MAX_PATH);
    std::wstring path = controls;
    for (wchar_t& c : path) c = static_cast<wchar_t>(::towlower(c));
    Check(path.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6.") != std::wstring::npos,
          "the manifest brings version 6 of the common controls, not " + Narrow(controls));
    Check(::IsProcessDPIAware() != FALSE, "the manifest makes the program DPI-aware");
    for (const int size : {16, 32, 48, 256}) {
        HANDLE icon = ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                   size, size, 0);
        ICONINFO info = {};
        BITMAP colour = {};
        const bool ok = icon != nullptr && ::GetIconInfo(static_cast<HICON>(icon), &info) &&
                        ::GetObjectW(info.hbmColor, sizeof colour, &colour) &&
                        colour.bmWidth == size;
        Check(ok, "the program icon at " + std::to_string(size) + " pixels");
        if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
        if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
        if (icon != nullptr) ::DestroyIcon(static_cast<HICON>(icon));
    }
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<BYTE> block(::GetFileVersionInfoSizeW(self, nullptr));
    wchar_t* text = nullptr;
    UINT length = 0;
    const bool found =
        !block.empty() &&
        ::GetFileVersionInfoW(self, 0, static_cast<DWORD>(block.size()), block.data()) &&
        ::VerQueryValueW(block.data(), L"\\StringFileInfo\\040704B0\\FileVersion",
                         reinterpret_cast<void**>(&text), &length);
    Equal(found ? Narrow(text) : std::string(), std::string(TOLVANE_VERSION), "the file version");
}

}  // namespace

int wmain() {
    ProgramResources();
    Threads();
    Texts();
    Pictures();
    PictureSets();
    ChooserHelpers();
    ShellHelpers();
    MessageBoxQuestions();
    Choosers();
    std::printf("%s\n", failures == 0 ? "all checks passed" : "checks failed");
    return failures == 0 ? 0 : 1;
}

#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "engine/platform/win32_text.h"
#include "ui/pages/custom_size_dialog.h"
#include "ui/win32/pictures.h"
#include "ui/win32/text.h"
#include "ui/win32/threads.h"

namespace tolvane::ui::win32 {

namespace {

using platform::Narrow;
using platform::Widen;

constexpr UINT kDestroyLater = WM_APP + 20;
constexpr wchar_t kTooltipsProperty[] = L"TolvaneTooltips";
constexpr wchar_t kPictureProperty[] = L"TolvanePicture";

constexpr UINT_PTR kDestroyTimer = 1;

// How deep the GUI thread is in the program's own handlers (window
// procedures, posted work). A modal loop inside a handler (a message box)
// dispatches too; what waits to be destroyed must not go there, while the
// handler that gave it up may still be running: only at depth 0, back in
// the message loop itself.
int handlerDepth = 0;

class InHandler {
  public:
    InHandler() : nested_(handlerDepth > 0) { ++handlerDepth; }
    ~InHandler() { --handlerDepth; }
    InHandler(const InHandler&) = delete;
    InHandler& operator=(const InHandler&) = delete;
    bool nested() const { return nested_; }

  private:
    bool nested_;
};

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

// The fonts of one window's controls; deleted with it.
struct Fonts {
    explicit Fonts(int logPixelsX)
        : normal(CreatePageFont(ScaleToDpi(10, logPixelsX), false)),
          bold(CreatePageFont(ScaleToDpi(10, logPixelsX), true)),
          value(CreatePageFont(ScaleToDpi(10, logPixelsX) * 3 / 2, true)) {}
    ~Fonts() {
        for (HFONT font : {normal, bold, value}) {
            if (font != nullptr) ::DeleteObject(font);
        }
    }
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    HFONT normal;
    HFONT bold;
    HFONT value;
};

// The native controls of one page or dialog, children of one host window.
class Win32ControlHost : public ControlHost {
  public:
    // pictures may be null for a host without pictures.
    Win32ControlHost(HWND parent, const Rect& bounds, const Fonts& fonts,
                     const PictureSet* pictures);
    ~Win32ControlHost() override;

    void SetEvents(ControlEvents* events) override { events_ = events; }
    Handle Create(const ControlDescription& description) override;
    void SetText(Handle control, const std::string& text) override;
    void SetChecked(Handle control, bool checked) override;
    bool IsChecked(Handle control) const override;
    void SetEnabled(Handle control, bool enabled) override;
    void SetTooltip(Handle control, const std::string& text) override;
    void SetBounds(Handle control, const Rect& bounds) override;
    int NeededWidth(Handle control) const override;
    std::string ElideMiddle(Handle control, const std::string& text) const override;
    void SetListColumns(Handle list, const std::vector<ListColumn>& columns) override;
    void ClearList(Handle list) override;
    void AddListRow(Handle list, const std::vector<std::string>& cells) override;
    void SetListCell(Handle list, int row, int column, const std::string& text) override;
    void ScrollListTo(Handle list, int row) override;
    void SetBar(Handle bar, int percent) override;
    void Show() override { ::ShowWindow(window_, SW_SHOW); }
    void Hide() override { ::ShowWindow(window_, SW_HIDE); }
    void FocusFirst() override;
    NativeWindow native() const override { return window_; }

    HWND window() const { return window_; }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    struct Control {
        HWND window;
        ControlKind kind;
        PictureRole picture;
    };
    HWND At(Handle control) const;
    const Control* Find(Handle control) const;
    HFONT FontOf(Handle control) const;
    void Command(HWND control, int code);
    void Draw(const DRAWITEMSTRUCT& item);

    HWND window_ = nullptr;
    HWND tooltips_ = nullptr;
    const Fonts& fonts_;
    const PictureSet* pictures_;
    std::vector<Control> controls_;
    std::set<HWND> tools_;
    bool hasRadio_ = false;
    ControlEvents* events_ = nullptr;
};

Win32ControlHost::Win32ControlHost(HWND parent, const Rect& bounds, const Fonts& fonts,
                                   const PictureSet* pictures)
    : fonts_(fonts), pictures_(pictures) {
    // Not clipping its children: the host's background is what shows inside
    // a frame, which draws only its edge.
    window_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageHostClass, L"",
                                WS_CHILD | WS_CLIPSIBLINGS, bounds.x, bounds.y, bounds.width,
                                bounds.height, parent, nullptr, Instance(), nullptr);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32ControlHost::~Win32ControlHost() {
    if (window_ == nullptr) return;
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    ::RemovePropW(window_, kTooltipsProperty);
    if (tooltips_ != nullptr) ::DestroyWindow(tooltips_);
    for (const Control& c : controls_) ::RemovePropW(c.window, kPictureProperty);
    ::DestroyWindow(window_);
}

HWND Win32ControlHost::At(Handle control) const {
    const Control* c = Find(control);
    return c == nullptr ? nullptr : c->window;
}

const Win32ControlHost::Control* Win32ControlHost::Find(Handle control) const {
    if (control < 0 || control >= static_cast<int>(controls_.size())) return nullptr;
    return &controls_[static_cast<size_t>(control)];
}

HFONT Win32ControlHost::FontOf(Handle control) const {
    HWND w = At(control);
    HFONT font =
        w == nullptr ? nullptr : reinterpret_cast<HFONT>(::SendMessageW(w, WM_GETFONT, 0, 0));
    return font != nullptr ? font : fonts_.normal;
}

ControlHost::Handle Win32ControlHost::Create(const ControlDescription& description) {
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    HFONT font = description.style == TextStyle::Bold ? fonts_.bold : fonts_.normal;
    const std::wstring text = Widen(description.text);
    const bool oneLine = text.find(L'\n') == std::wstring::npos;
    switch (description.kind) {
        case ControlKind::Label:
            style |= SS_NOPREFIX;
            switch (description.align) {
                case TextAlign::TopLeft:
                    style |= SS_LEFT;
                    break;
                case TextAlign::MiddleLeft:
                    // Vertical centring makes the text one line.
                    style |= SS_LEFT | (oneLine ? SS_CENTERIMAGE : 0);
                    break;
                case TextAlign::Center:
                    style |= SS_CENTER | (oneLine ? SS_CENTERIMAGE : 0);
                    break;
                case TextAlign::TopCenter:
                    style |= SS_CENTER;
                    break;
            }
            break;
        case ControlKind::ValueBox:
            style |= SS_NOPREFIX | SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN;
            font = fonts_.value;
            break;
        case ControlKind::Frame:
            windowClass = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case ControlKind::PictureButton:
            windowClass = L"BUTTON";
            style |= BS_OWNERDRAW | WS_TABSTOP;
            break;
        case ControlKind::TextButton:
            windowClass = L"BUTTON";
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::RadioButton:
            windowClass = L"BUTTON";
            style |= BS_AUTORADIOBUTTON;
            // One group per host: it starts at the first radio button and no
            // later control starts another.
            if (!hasRadio_) style |= WS_GROUP | WS_TABSTOP;
            hasRadio_ = true;
            break;
        case ControlKind::CheckBox:
            windowClass = L"BUTTON";
            style |= BS_AUTOCHECKBOX | WS_TABSTOP;
            break;
        case ControlKind::ListView:
            windowClass = WC_LISTVIEWW;
            style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_TABSTOP;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case ControlKind::ProgressBar:
            windowClass = PROGRESS_CLASSW;
            break;
        case ControlKind::Picture:
            style |= SS_OWNERDRAW;
            break;
    }
    const Rect& b = description.bounds;
    const bool showsText =
        description.kind != ControlKind::Picture && description.kind != ControlKind::Frame &&
        description.kind != ControlKind::ListView && description.kind != ControlKind::ProgressBar;
    HWND control = ::CreateWindowExW(
        exStyle, windowClass, showsText ? text.c_str() : L"", style, b.x, b.y, b.width, b.height,
        window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(description.id & 0xFFFF)), Instance(),
        nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // Frames lie behind every other control (a new control comes last in
    // the order, which is also the keyboard's; frames take no focus).
    for (const Control& c : controls_) {
        if (c.kind == ControlKind::Frame) {
            ::SetWindowPos(c.window, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    switch (description.kind) {
        case ControlKind::Frame:
            ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case ControlKind::ListView:
            ::SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                           LVS_EX_FULLROWSELECT);
            break;
        case ControlKind::ProgressBar:
            ::SendMessageW(control, PBM_SETRANGE32, 0, 100);
            ::SendMessageW(control, PBM_SETPOS, 0, 0);
            break;
        case ControlKind::Picture:
        case ControlKind::PictureButton:
            if (pictures_ != nullptr) {
                ::SetPropW(control, kPictureProperty,
                           reinterpret_cast<HANDLE>(static_cast<INT_PTR>(description.picture) + 1));
            }
            break;
        default:
            break;
    }
    controls_.push_back({control, description.kind, description.picture});
    return static_cast<Handle>(controls_.size() - 1);
}

void Win32ControlHost::SetText(Handle control, const std::string& text) {
    const Control* c = Find(control);
    if (c == nullptr || c->kind == ControlKind::Picture || c->kind == ControlKind::ListView ||
        c->kind == ControlKind::ProgressBar) {
        return;
    }
    ::SetWindowTextW(c->window, Widen(text).c_str());
}

void Win32ControlHost::SetChecked(Handle control, bool checked) {
    const Control* c = Find(control);
    if (c == nullptr) return;
    if (c->kind == ControlKind::RadioButton && checked) {
        // The other radio buttons of the group let go, as a click would.
        for (const Control& other : controls_) {
            if (other.kind == ControlKind::RadioButton && other.window != c->window) {
                ::SendMessageW(other.window, BM_SETCHECK, BST_UNCHECKED, 0);
            }
        }
    }
    ::SendMessageW(c->window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32ControlHost::IsChecked(Handle control) const {
    HWND w = At(control);
    return w != nullptr && ::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32ControlHost::SetEnabled(Handle control, bool enabled) {
    if (HWND w = At(control)) ::EnableWindow(w, enabled ? TRUE : FALSE);
}

void Win32ControlHost::SetTooltip(Handle control, const std::string& text) {
    const Control* c = Find(control);
    if (c == nullptr) return;
    std::wstring tip = Widen(text);
    if (tooltips_ == nullptr) {
        tooltips_ =
            ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                              WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, Instance(), nullptr);
        // A tip with "\n" breaks there.
        ::SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, 600);
        ::SetPropW(window_, kTooltipsProperty, tooltips_);
    }
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(c->window);
    tool.lpszText = tip.data();
    if (tools_.insert(c->window).second) {
        ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // A picture button has no text of its own: screen readers read this.
    if (c->kind == ControlKind::PictureButton) ::SetWindowTextW(c->window, tip.c_str());
}

void Win32ControlHost::SetBounds(Handle control, const Rect& bounds) {
    if (HWND w = At(control)) {
        ::SetWindowPos(w, nullptr, bounds.x, bounds.y, bounds.width, bounds.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

int Win32ControlHost::NeededWidth(Handle control) const {
    const Control* c = Find(control);
    if (c == nullptr) return 0;
    TextControl kind = TextControl::Label;
    switch (c->kind) {
        case ControlKind::Label:
        case ControlKind::ValueBox:
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            kind = TextControl::CheckBox;
            break;
        case ControlKind::TextButton:
            kind = TextControl::Button;
            break;
        default: {
            RECT r;
            ::GetWindowRect(c->window, &r);
            return r.right - r.left;
        }
    }
    const int length = ::GetWindowTextLengthW(c->window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(c->window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return win32::NeededWidth(kind, FontOf(control), text);
}

std::string Win32ControlHost::ElideMiddle(Handle control, const std::string& text) const {
    HWND w = At(control);
    if (w == nullptr) return text;
    RECT r;
    ::GetClientRect(w, &r);
    return Narrow(win32::ElideMiddle(FontOf(control), Widen(text), r.right - r.left));
}

void Win32ControlHost::SetListColumns(Handle control, const std::vector<ListColumn>& columns) {
    HWND list = At(control);
    if (list == nullptr) return;
    while (::SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        std::wstring heading = Widen(columns[i].heading);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = heading.data();
        ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

void Win32ControlHost::ClearList(Handle control) {
    if (HWND list = At(control)) ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
}

void Win32ControlHost::AddListRow(Handle control, const std::vector<std::string>& cells) {
    HWND list = At(control);
    if (list == nullptr) return;
    const auto row = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    std::wstring first = cells.empty() ? std::wstring() : Widen(cells[0]);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = first.data();
    const auto at =
        static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (size_t i = 1; at >= 0 && i < cells.size(); ++i) {
        SetListCell(control, at, static_cast<int>(i), cells[i]);
    }
}

void Win32ControlHost::SetListCell(Handle control, int row, int column, const std::string& text) {
    HWND list = At(control);
    if (list == nullptr) return;
    std::wstring wide = Widen(text);
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

void Win32ControlHost::ScrollListTo(Handle control, int row) {
    if (HWND list = At(control)) ::SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void Win32ControlHost::SetBar(Handle control, int percent) {
    if (HWND bar = At(control)) ::SendMessageW(bar, PBM_SETPOS, std::clamp(percent, 0, 100), 0);
}

void Win32ControlHost::FocusFirst() {
    for (const Control& c : controls_) {
        const LONG style = ::GetWindowLongW(c.window, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && ::IsWindowEnabled(c.window) &&
            ::IsWindowVisible(c.window)) {
            ::SetFocus(c.window);
            return;
        }
    }
}

void Win32ControlHost::Command(HWND control, int code) {
    if (events_ == nullptr || control == nullptr || ::GetParent(control) != window_) return;
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [control](const Control& c) { return c.window == control; });
    if (found == controls_.end()) return;
    switch (found->kind) {
        case ControlKind::RadioButton:
            // A radio button that is about to lose its mark may report a
            // click as the focus moves on: only the chosen one counts.
            if (::SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) return;
            [[fallthrough]];
        case ControlKind::PictureButton:
        case ControlKind::TextButton:
        case ControlKind::CheckBox:
            if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
                events_->Clicked(::GetDlgCtrlID(control));
            }
            break;
        default:
            break;
    }
}

void Win32ControlHost::Draw(const DRAWITEMSTRUCT& item) {
    const auto found = std::find_if(controls_.begin(), controls_.end(), [&item](const Control& c) {
        return c.window == item.hwndItem;
    });
    if (found == controls_.end()) return;
    static const PictureBitmap kNone;
    const PictureBitmap& picture = pictures_ != nullptr ? pictures_->Get(found->picture) : kNone;
    if (found->kind == ControlKind::PictureButton) {
        DrawPictureButton(item, picture);
        return;
    }
    // A picture by itself: centred in its box, shrunk to fit when larger.
    const RECT& box = item.rcItem;
    ::FillRect(item.hDC, &box, ::GetSysColorBrush(COLOR_BTNFACE));
    if (!picture) return;
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.bottom - box.top;
    int width = picture.width();
    int height = picture.height();
    if (width > boxWidth || height > boxHeight) {
        const double factor = std::min(static_cast<double>(boxWidth) / width,
                                       static_cast<double>(boxHeight) / height);
        width = static_cast<int>(width * factor);
        height = static_cast<int>(height * factor);
    }
    const int x = box.left + (boxWidth - width) / 2;
    const int y = box.top + (boxHeight - height) / 2;
    const RECT target = {x, y, x + width, y + height};
    DrawPicture(item.hDC, picture, target);
}

LRESULT CALLBACK Win32ControlHost::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    const InHandler handler;
    auto* host = reinterpret_cast<Win32ControlHost*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_COMMAND:
            if (host != nullptr) host->Command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM:
            if (host != nullptr) host->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Work posted to the GUI thread counts as a handler.
class CountingDispatcher : public Dispatcher {
  public:
    explicit CountingDispatcher(MessageDispatcher& inner) : inner_(inner) {}
    void Post(std::function<void()> work) override {
        inner_.Post([work = std::move(work)] {
            const InHandler handler;
            work();
        });
    }
    void Call(const std::function<void()>& work) override {
        inner_.Call([&work] {
            const InHandler handler;
            work();
        });
    }

  private:
    MessageDispatcher& inner_;
};

class CountingWorker : public Worker {
  public:
    explicit CountingWorker(MessageDispatcher& dispatcher) : worker_(dispatcher) {}
    void Start(std::function<void()> work, std::function<void()> done) override {
        worker_.Start(std::move(work), [done = std::move(done)] {
            const InHandler handler;
            if (done) done();
        });
    }
    void JoinServing() override { worker_.JoinServing(); }

  private:
    ThreadWorker worker_;
};

// --- The main window

class Win32WindowBackend : public WindowBackend {
  public:
    explicit Win32WindowBackend(const WindowOptions& options);
    ~Win32WindowBackend() override;

    void SetEvents(WindowEvents* events) override { events_ = events; }
    void SetMenus(const std::vector<Menu>& menus) override;
    void SetMenuEnabled(int menuId, bool enabled) override;
    void Show() override;
    std::unique_ptr<ControlHost> CreatePageHost(const Rect& bounds) override;
    void DestroyLater(std::shared_ptr<void> object) override;
    void RepaintNow() override;
    Dispatcher& dispatcher() override { return dispatcher_; }
    std::unique_ptr<Worker> CreateWorker() override;
    NativeWindow native() const override { return window_; }

    HWND window() const { return window_; }
    void Escape() {
        if (events_ != nullptr) events_->EscapePressed();
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void Paint();
    void FitClientArea();

    WindowOptions options_;
    Fonts fonts_;
    PictureSet pictures_;
    MessageDispatcher messages_;
    CountingDispatcher dispatcher_{messages_};
    HWND window_ = nullptr;
    std::vector<std::shared_ptr<void>> doomed_;
    WindowEvents* events_ = nullptr;
};

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

void RegisterClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                          ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    WNDCLASSEXW main = {};
    main.cbSize = sizeof main;
    main.lpfnWndProc = Win32WindowBackend::Procedure;
    main.hInstance = Instance();
    main.hIcon = ::LoadIconW(Instance(), MAKEINTRESOURCEW(1));
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    main.lpszClassName = kMainWindowClass;
    ::RegisterClassExW(&main);

    WNDCLASSEXW host = {};
    host.cbSize = sizeof host;
    host.lpfnWndProc = Win32ControlHost::Procedure;
    host.hInstance = Instance();
    host.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    host.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    host.lpszClassName = kPageHostClass;
    ::RegisterClassExW(&host);
}

Win32WindowBackend::Win32WindowBackend(const WindowOptions& options)
    : options_(options),
      fonts_(options.logPixelsX),
      pictures_(options.logPixelsX, options.screenDepth) {
    RegisterClasses();
    const int width = ScaleToDpi(kWindowWidth, options_.logPixelsX);
    const int height = ScaleToDpi(kWindowHeight, options_.logPixelsX);
    window_ = ::CreateWindowExW(0, kMainWindowClass, L"Tolvane", kMainStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, width, height, nullptr, nullptr, Instance(), this);
}

Win32WindowBackend::~Win32WindowBackend() {
    doomed_.clear();
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        HMENU menu = ::GetMenu(window_);
        ::DestroyWindow(window_);
        if (menu != nullptr) ::DestroyMenu(menu);
    }
}

void Win32WindowBackend::SetMenus(const std::vector<Menu>& menus) {
    HMENU bar = ::CreateMenu();
    for (const Menu& menu : menus) {
        HMENU popup = ::CreatePopupMenu();
        for (const MenuItem& item : menu.items) {
            if (item.id == 0) {
                ::AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
            } else {
                ::AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(item.id),
                              Widen(item.text).c_str());
            }
        }
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Widen(menu.title).c_str());
    }
    HMENU old = ::GetMenu(window_);
    ::SetMenu(window_, bar);
    if (old != nullptr) ::DestroyMenu(old);
    FitClientArea();
}

void Win32WindowBackend::SetMenuEnabled(int menuId, bool enabled) {
    if (HMENU menu = ::GetMenu(window_)) {
        ::EnableMenuItem(menu, static_cast<UINT>(menuId),
                         MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
}

// The client area gets the window's fixed size whatever the frame and the
// menu bar take (a menu bar that wraps takes more).
void Win32WindowBackend::FitClientArea() {
    const int width = ScaleToDpi(kWindowWidth, options_.logPixelsX);
    const int height = ScaleToDpi(kWindowHeight, options_.logPixelsX);
    RECT frame = {0, 0, width, height};
    ::AdjustWindowRectEx(&frame, kMainStyle, ::GetMenu(window_) != nullptr, 0);
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client;
    ::GetClientRect(window_, &client);
    const int missing = height - (client.bottom - client.top);
    if (missing != 0) {
        ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left,
                       frame.bottom - frame.top + missing,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void Win32WindowBackend::Show() {
    RECT work = {0, 0, 1024, 768};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const Point at = InitialWindowPosition(
        {work.left, work.top, work.right - work.left, work.bottom - work.top});
    ::SetWindowPos(window_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    FitClientArea();
    ::ShowWindow(window_, SW_SHOW);
    ::UpdateWindow(window_);
}

std::unique_ptr<ControlHost> Win32WindowBackend::CreatePageHost(const Rect& bounds) {
    return std::make_unique<Win32ControlHost>(window_, bounds, fonts_, &pictures_);
}

void Win32WindowBackend::DestroyLater(std::shared_ptr<void> object) {
    doomed_.push_back(std::move(object));
    ::PostMessageW(window_, kDestroyLater, 0, 0);
}

void Win32WindowBackend::RepaintNow() {
    if (::IsWindowVisible(window_)) {
        ::RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
}

std::unique_ptr<Worker> Win32WindowBackend::CreateWorker() {
    return std::make_unique<CountingWorker>(messages_);
}

void Win32WindowBackend::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client;
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    const int dpi = options_.logPixelsX;
    auto draw = [&](PictureRole role, int x, int y) {
        const PictureBitmap& picture = pictures_.Get(role);
        if (!picture) return;
        const RECT target = {x, y, x + picture.width(), y + picture.height()};
        DrawPicture(dc, picture, target);
    };
    draw(PictureRole::kBanner, 10, 10);
    draw(PictureRole::kLogo, ScaleToDpi(15, dpi), ScaleToDpi(300, dpi));
    ::EndPaint(window_, &paint);
}

LRESULT CALLBACK Win32WindowBackend::Procedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32WindowBackend*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    const InHandler handler;
    switch (message) {
        case WM_PAINT:
            self->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills it
        case WM_COMMAND:
            // From the menu (0) or an accelerator (1); the pages' controls
            // report to their host.
            if (lParam == 0 && HIWORD(wParam) <= 1 && self->events_ != nullptr) {
                self->events_->MenuCommand(LOWORD(wParam));
            }
            return 0;
        case WM_CLOSE:
            if (self->events_ == nullptr || self->events_->CloseRequested()) {
                // The program ends with its message loop; the window goes
                // with the MainWindow that owns it.
                ::ShowWindow(window, SW_HIDE);
            }
            return 0;
        case kDestroyLater:
        case WM_TIMER: {
            if (message == WM_TIMER && wParam != kDestroyTimer) break;
            if (handler.nested()) {
                // Asked again shortly, until the handler has returned.
                ::SetTimer(window, kDestroyTimer, 20, nullptr);
                return 0;
            }
            ::KillTimer(window, kDestroyTimer);
            std::vector<std::shared_ptr<void>> doomed;
            doomed.swap(self->doomed_);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                self->Escape();
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// --- The custom size dialog

constexpr DWORD kModalStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

struct ModalState {
    bool closed = false;
};

LRESULT CALLBACK ModalProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        auto* state = reinterpret_cast<ModalState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (state != nullptr) state->closed = true;
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterModalClass() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSEXW modal = {};
    modal.cbSize = sizeof modal;
    modal.lpfnWndProc = ModalProcedure;
    modal.hInstance = Instance();
    modal.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    modal.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    modal.lpszClassName = kModalClass;
    ::RegisterClassExW(&modal);
}

}  // namespace

std::unique_ptr<MainWindow> CreateWin32MainWindow(const Services& services,
                                                  const WindowOptions& options) {
    return std::make_unique<MainWindow>(std::make_unique<Win32WindowBackend>(options), services,
                                        options);
}

HWND MainWindowHandle(MainWindow& window) {
    return static_cast<HWND>(window.backend().native());
}

HWND TooltipWindowOf(HWND host) {
    return static_cast<HWND>(::GetPropW(host, kTooltipsProperty));
}

bool ShowsPicture(HWND control) {
    return ::GetPropW(control, kPictureProperty) != nullptr;
}

bool TranslateWindowMessage(MSG& message) {
    if (message.hwnd == nullptr) return false;
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    wchar_t name[64] = {};
    if (root == nullptr || ::GetClassNameW(root, name, 64) == 0 ||
        std::wstring(name) != kMainWindowClass) {
        return false;
    }
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
        auto* backend =
            reinterpret_cast<Win32WindowBackend*>(::GetWindowLongPtrW(root, GWLP_USERDATA));
        if (backend != nullptr) backend->Escape();
        return true;
    }
    // The page host under the main window that holds the target, if any.
    for (HWND w = message.hwnd; w != nullptr && w != root; w = ::GetParent(w)) {
        if (::GetParent(w) == root && ::GetClassNameW(w, name, 64) != 0 &&
            std::wstring(name) == kPageHostClass) {
            return ::IsDialogMessageW(w, &message) != FALSE;
        }
    }
    return false;
}

std::optional<int64_t> RunCustomSizeDialog(HWND owner, int64_t volumeSize, int logPixelsX) {
    RegisterClasses();
    RegisterModalClass();
    const Size size = CustomSizeDialog::DialogSize(logPixelsX);
    RECT frame = {0, 0, size.width, size.height};
    ::AdjustWindowRectEx(&frame, kModalStyle, FALSE, WS_EX_DLGMODALFRAME);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    // Centred over the owner.
    RECT over = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) ::GetWindowRect(owner, &over);
    const int x = over.left + (over.right - over.left - width) / 2;
    const int y = over.top + (over.bottom - over.top - height) / 2;

    ModalState state;
    HWND dialog =
        ::CreateWindowExW(WS_EX_DLGMODALFRAME, kModalClass, Widen(CustomSizeDialog::kTitle).c_str(),
                          kModalStyle, x, y, width, height, owner, nullptr, Instance(), nullptr);
    ::SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    std::optional<int64_t> chosen;
    {
        const Fonts fonts(logPixelsX);
        Win32ControlHost host(dialog, {0, 0, size.width, size.height}, fonts, nullptr);
        CustomSizeDialog model(host, volumeSize, logPixelsX);
        model.ended = [&](CustomSizeDialog::End end) {
            if (end == CustomSizeDialog::End::Accepted) chosen = model.workingValue();
            state.closed = true;
        };
        host.Show();
        if (owner != nullptr) ::EnableWindow(owner, FALSE);
        ::ShowWindow(dialog, SW_SHOW);
        host.FocusFirst();
        MSG message;
        while (!state.closed) {
            const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
            if (got <= 0) {
                // The program is ending: its own loop must see that too.
                if (got == 0) ::PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (::IsDialogMessageW(host.window(), &message)) continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        // The owner comes back before the dialog goes, so that it is the one
        // activated.
        if (owner != nullptr) ::EnableWindow(owner, TRUE);
        ::ShowWindow(dialog, SW_HIDE);
    }
    ::DestroyWindow(dialog);
    return chosen;
}

void ReadScreen(WindowOptions& options) {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return;
    options.logPixelsX = ::GetDeviceCaps(screen, LOGPIXELSX);
    options.screenDepth = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    ::ReleaseDC(nullptr, screen);
    if (options.logPixelsX <= 0) options.logPixelsX = kDesignDpi;
}

}  // namespace tolvane::ui::win32

// Screen geometry of the archiver: lengths at 96 dpi scaled to the screen,
// dialog units of the page templates, and the main window's place.
#pragma once

namespace tolvane::ui {

// Screen places in pixels, independent of any toolkit.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// The dpi every length of the program is designed for.
inline constexpr int kDesignDpi = 96;

// Converts a length in pixels at 96 dpi into pixels at logPixelsX. At 96 dpi
// every value maps to itself; at 120 dpi the window width 534 and the page
// width 420 get 35 pixels more than the plain ratio, so that the page's
// controls keep their room beside the banner.
int ScaleToDpi(int value, int logPixelsX);

// A rectangle in dialog units of the page templates (x, y, width, height).
struct Dlu {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Dialog units of the 8-point template font: a horizontal unit is a quarter,
// a vertical unit an eighth of its base cell of 6 x 13 pixels at 96 dpi.
inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// Pixels at 96 dpi, rounded to nearest as the platform's dialog mapping does.
int DluToPixelsX(int dlu);
int DluToPixelsY(int dlu);
// Screen pixels at logPixelsX: dialog units -> 96-dpi pixels -> ScaleToDpi.
Rect DluToRect(const Dlu& dlu, int logPixelsX);

// Size of the main window and place and size of every page, in screen pixels.
inline constexpr int kWindowWidth = 534;
inline constexpr int kWindowHeight = 385;
inline constexpr int kPageX = 100;
inline constexpr int kPageY = 8;
inline constexpr int kPageWidth = 420;
inline constexpr int kPageHeight = 325;
Rect PageRect(int logPixelsX);

// Where the main window opens: centred on the work area by fixed offsets
// (not scaled), as the program always did.
Point InitialWindowPosition(const Rect& workArea);

}  // namespace tolvane::ui

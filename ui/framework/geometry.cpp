#include "ui/framework/geometry.h"

#include <bit>
#include <cstdint>

namespace tolvane::ui {

int ScaleToDpi(int value, int logPixelsX) {
    // The single-precision value nearest to 1/96 is a little above it, so a
    // truncated product at 96 dpi never loses a pixel.
    const float inverse96 = std::bit_cast<float>(uint32_t{0x3C2AAAAB});
    double scaled = static_cast<double>(value) * static_cast<double>(inverse96) * logPixelsX;
    if ((value == kWindowWidth || value == kPageWidth) && logPixelsX == 120) scaled += 35;
    return static_cast<int>(scaled);
}

namespace {
// a * b / c rounded half away from zero, as the platform's MulDiv.
int MulDivRound(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}
}  // namespace

int DluToPixelsX(int dlu) {
    return MulDivRound(dlu, kBaseUnitX, 4);
}
int DluToPixelsY(int dlu) {
    return MulDivRound(dlu, kBaseUnitY, 8);
}

Rect DluToRect(const Dlu& dlu, int logPixelsX) {
    return {ScaleToDpi(DluToPixelsX(dlu.x), logPixelsX),
            ScaleToDpi(DluToPixelsY(dlu.y), logPixelsX),
            ScaleToDpi(DluToPixelsX(dlu.width), logPixelsX),
            ScaleToDpi(DluToPixelsY(dlu.height), logPixelsX)};
}

Rect PageRect(int logPixelsX) {
    return {ScaleToDpi(kPageX, logPixelsX), ScaleToDpi(kPageY, logPixelsX),
            ScaleToDpi(kPageWidth, logPixelsX), ScaleToDpi(kPageHeight, logPixelsX)};
}

Point InitialWindowPosition(const Rect& workArea) {
    return {workArea.x + workArea.width / 2 - 267, workArea.y + workArea.height / 2 - 192};
}

}  // namespace tolvane::ui

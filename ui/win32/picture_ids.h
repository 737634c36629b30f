// How the pictures travel from the SVG files to the Windows program: the
// Linux build renders every picture (and its 16-colour version) as PNG at a
// few scales and lists them in a resource script; the program finds each one
// by the number below. Shared by the renderer and the program, so neither
// includes Qt nor windows.h.
#pragma once

#include "resources/pictures.h"

namespace tolvane::ui::win32 {

// The scales rendered, in percent of the size a picture is drawn for at 96 dpi.
inline constexpr int kPictureScales[] = {100, 125, 150, 200};
inline constexpr int kPictureScaleCount = 4;

// The RCDATA number of `picture` at kPictureScales[scaleIndex].
constexpr int PictureResourceId(Picture picture, bool fewColours, int scaleIndex) {
    return 1000 + static_cast<int>(picture) * 8 + (fewColours ? 4 : 0) + scaleIndex;
}

// A length of the 96-dpi picture at `percent`, rounded to the nearest pixel.
constexpr int ScalePictureLength(int length, int percent) {
    return (length * percent + 50) / 100;
}

}  // namespace tolvane::ui::win32

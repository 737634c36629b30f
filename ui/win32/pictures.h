// The archiver's pictures in the Windows program: PNG resources made at build
// time from the same SVG files as on Linux (see picture_ids.h), decoded with
// WIC into 32-bit bitmaps with premultiplied alpha for AlphaBlend.
#pragma once

#include <windows.h>

#include "resources/pictures.h"

namespace tolvane::ui::win32 {

// The rendered scale (100, 125, 150 or 200) that suits `dpi` best: the
// largest not above it, so a picture is shrunk, never blurred by growing.
int PictureScaleForDpi(int dpi);

// A decoded picture; owns its bitmap.
class PictureBitmap {
  public:
    PictureBitmap() = default;
    PictureBitmap(HBITMAP bitmap, int width, int height)
        : bitmap_(bitmap), width_(width), height_(height) {}
    PictureBitmap(PictureBitmap&& other) noexcept { *this = static_cast<PictureBitmap&&>(other); }
    PictureBitmap& operator=(PictureBitmap&& other) noexcept;
    PictureBitmap(const PictureBitmap&) = delete;
    PictureBitmap& operator=(const PictureBitmap&) = delete;
    ~PictureBitmap();

    explicit operator bool() const { return bitmap_ != nullptr; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// `picture` rendered at `scalePercent` (one of kPictureScales; any other value
// takes the nearest rendered scale below, at least 100), in its 16-colour
// version when `fewColours` and there is one. Empty when the resource is
// missing from `module` (nullptr: the program) or cannot be decoded.
PictureBitmap LoadPicture(Picture picture, int scalePercent, bool fewColours = false,
                          HMODULE module = nullptr);

// Draws `bitmap` into `target` (stretched when the sizes differ), blending
// its transparent parts with what is already there; `opacity` below 255
// lets the background show through the whole picture.
bool DrawPicture(HDC dc, const PictureBitmap& bitmap, const RECT& target, BYTE opacity = 255);

// Every picture for one screen, loaded once when the window opens: at the
// scale for its dpi and, below 16 bits per pixel, the 16-colour versions. A
// picture that is missing or cannot be decoded becomes a grey placeholder of
// its size, so the window always opens.
class PictureSet {
  public:
    PictureSet(int dpi, int bitsPerPixel, HMODULE module = nullptr);
    const PictureBitmap& Get(Picture picture) const;
    // Whether the picture came from its resource (false: placeholder).
    bool Loaded(Picture picture) const;
    int scalePercent() const { return scale_; }

  private:
    int scale_;
    PictureBitmap bitmaps_[kPictureCount];
    bool loaded_[kPictureCount] = {};
};

// An owner-drawn picture button (BS_OWNERDRAW): the system's push-button
// face, pressed in while held, the picture fitted into it (faded when the
// button is disabled) and the focus frame while it has the keyboard.
void DrawPictureButton(const DRAWITEMSTRUCT& item, const PictureBitmap& picture);

}  // namespace tolvane::ui::win32

#include "ui/win32/pictures.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>

#include "ui/win32/picture_ids.h"

namespace tolvane::ui::win32 {
namespace {

// Releases a COM interface at the end of a scope.
template <typename T>
struct Ref {
    T* p = nullptr;
    ~Ref() {
        if (p != nullptr) p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

// COM for the length of a decode; the program may already have it in either model.
struct ComScope {
    bool mine = false;
    ComScope() {
        const HRESULT result = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        mine = SUCCEEDED(result);  // S_FALSE too: every successful call is balanced
    }
    ~ComScope() {
        if (mine) ::CoUninitialize();
    }
};

int ScaleIndex(int percent) {
    int index = 0;
    for (int i = 0; i < kPictureScaleCount; ++i) {
        if (kPictureScales[i] <= percent) index = i;
    }
    return index;
}

PictureBitmap Decode(const void* data, DWORD size) {
    ComScope com;
    Ref<IWICImagingFactory> factory;
    if (FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
        return {};
    }
    Ref<IWICStream> stream;
    Ref<IWICBitmapDecoder> decoder;
    Ref<IWICBitmapFrameDecode> frame;
    Ref<IWICBitmapSource> converted;
    // The resource is read-only; WIC only reads from the stream.
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(data)), size)) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(::WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.p, &converted))) {
        return {};
    }
    UINT width = 0;
    UINT height = 0;
    if (FAILED(converted->GetSize(&width, &height)) || width == 0 || height == 0 || width > 4096 ||
        height > 4096) {
        return {};
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, as WIC delivers rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return {};
    const UINT stride = width * 4;
    if (FAILED(converted->CopyPixels(nullptr, stride, stride * height, static_cast<BYTE*>(bits)))) {
        ::DeleteObject(bitmap);
        return {};
    }
    return PictureBitmap(bitmap, static_cast<int>(width), static_cast<int>(height));
}

}  // namespace

int PictureScaleForDpi(int dpi) {
    return kPictureScales[ScaleIndex(dpi * 100 / 96)];
}

PictureBitmap& PictureBitmap::operator=(PictureBitmap&& other) noexcept {
    if (this != &other) {
        if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
        bitmap_ = other.bitmap_;
        width_ = other.width_;
        height_ = other.height_;
        other.bitmap_ = nullptr;
        other.width_ = other.height_ = 0;
    }
    return *this;
}

PictureBitmap::~PictureBitmap() {
    if (bitmap_ != nullptr) ::DeleteObject(bitmap_);
}

PictureBitmap LoadPicture(Picture picture, int scalePercent, bool fewColours, HMODULE module) {
    if (static_cast<int>(picture) < 0 || static_cast<int>(picture) >= kPictureCount) return {};
    if (module == nullptr) module = ::GetModuleHandleW(nullptr);
    const bool few = fewColours && HasFewColourVersion(picture);
    const int id = PictureResourceId(picture, few, ScaleIndex(scalePercent));
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_RCDATA);
    if (found == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return Decode(data, ::SizeofResource(module, found));
}

bool DrawPicture(HDC dc, const PictureBitmap& bitmap, const RECT& target, BYTE opacity) {
    if (!bitmap) return false;
    HDC source = ::CreateCompatibleDC(dc);
    if (source == nullptr) return false;
    HGDIOBJ old = ::SelectObject(source, bitmap.bitmap());
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
    const BOOL done = ::AlphaBlend(dc, target.left, target.top, target.right - target.left,
                                   target.bottom - target.top, source, 0, 0, bitmap.width(),
                                   bitmap.height(), blend);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return done != FALSE;
}

namespace {

// A light grey field with a darker frame, premultiplied like a decoded picture.
PictureBitmap Placeholder(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return {};
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool frame = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            pixels[y * width + x] = frame ? 0xFF808080 : 0xFFC8C8C8;
        }
    }
    return PictureBitmap(bitmap, width, height);
}

}  // namespace

PictureSet::PictureSet(int dpi, int bitsPerPixel, HMODULE module)
    : scale_(PictureScaleForDpi(dpi)) {
    const bool few = bitsPerPixel < 16;
    for (int p = 0; p < kPictureCount; ++p) {
        const auto picture = static_cast<Picture>(p);
        bitmaps_[p] = LoadPicture(picture, scale_, few, module);
        loaded_[p] = static_cast<bool>(bitmaps_[p]);
        if (!loaded_[p]) {
            const PictureInfo info = PictureFor(picture, few);
            bitmaps_[p] = Placeholder(ScalePictureLength(info.width, scale_),
                                      ScalePictureLength(info.height, scale_));
        }
    }
}

const PictureBitmap& PictureSet::Get(Picture picture) const {
    const int index = static_cast<int>(picture);
    return bitmaps_[(index >= 0 && index < kPictureCount) ? index : 0];
}

bool PictureSet::Loaded(Picture picture) const {
    const int index = static_cast<int>(picture);
    return index >= 0 && index < kPictureCount && loaded_[index];
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, const PictureBitmap& picture) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (item.itemState & ODS_DISABLED) != 0;
    ::DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const int shift = pressed ? 1 : 0;
    // The picture fills the face inside the button's edge, keeping its
    // proportions (shrunk, or grown to fit as on the other desktop).
    int width = picture.width();
    int height = picture.height();
    const int roomX = face.right - face.left - 6;
    const int roomY = face.bottom - face.top - 6;
    if (width > 0 && height > 0 && roomX > 0 && roomY > 0) {
        if (static_cast<long long>(roomX) * height < static_cast<long long>(roomY) * width) {
            height = static_cast<int>(static_cast<long long>(height) * roomX / width);
            width = roomX;
        } else {
            width = static_cast<int>(static_cast<long long>(width) * roomY / height);
            height = roomY;
        }
    }
    const int left = (face.left + face.right - width) / 2 + shift;
    const int top = (face.top + face.bottom - height) / 2 + shift;
    const RECT place = {left, top, left + width, top + height};
    DrawPicture(dc, picture, place, disabled ? 96 : 255);
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

}  // namespace tolvane::ui::win32

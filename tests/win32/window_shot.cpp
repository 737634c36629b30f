// Saves a picture of a top-level window as PNG, for screenshots of the
// Windows programs under wine with a display (X11 driver, Xvfb):
//
//   window_shot TITLE OUT.png [SETTLE_MS]
//
// waits up to ten seconds for a visible window titled TITLE, then SETTLE_MS
// (default 500) for it to paint, and copies it from the screen.
#include <windows.h>
// After windows.h:
#include <wincodec.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

bool SavePng(const wchar_t* path, int width, int height, const std::vector<BYTE>& bgra) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    bool ok =
        SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromFilename(path, GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) && SUCCEEDED(frame->SetSize(width, height));
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    ok = ok && SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat32bppBGR) &&
         SUCCEEDED(frame->WritePixels(height, width * 4, static_cast<UINT>(bgra.size()),
                                      const_cast<BYTE*>(bgra.data()))) &&
         SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    for (IUnknown* object : {static_cast<IUnknown*>(frame), static_cast<IUnknown*>(encoder),
                             static_cast<IUnknown*>(stream), static_cast<IUnknown*>(factory)}) {
        if (object != nullptr) object->Release();
    }
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: window_shot TITLE OUT.png [SETTLE_MS]\n");
        return 2;
    }
    HWND window = nullptr;
    for (int i = 0; i < 400 && window == nullptr; ++i) {
        window = ::FindWindowW(nullptr, argv[1]);
        if (window != nullptr && !::IsWindowVisible(window)) window = nullptr;
        if (window == nullptr) ::Sleep(25);
    }
    if (window == nullptr) {
        std::fprintf(stderr, "window_shot: no window \"%ls\"\n", argv[1]);
        return 1;
    }
    ::SetForegroundWindow(window);
    ::Sleep(argc > 3 ? static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10)) : 500);
    // The client area with the menu bar: without a window manager (Xvfb)
    // nobody draws the frame and caption, and their place shows what lies
    // beneath.
    RECT r;
    ::GetClientRect(window, &r);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    // Wine cannot read another process's menu bar; its height is the
    // system's, and one line beneath it.
    if (::GetMenu(window) != nullptr) r.top -= ::GetSystemMetrics(SM_CYMENU) + 1;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    std::vector<BYTE> pixels(static_cast<const BYTE*>(bits),
                             static_cast<const BYTE*>(bits) + width * height * 4);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const bool saved = SavePng(argv[2], width, height, pixels);
    ::CoUninitialize();
    if (!saved) std::fprintf(stderr, "window_shot: cannot write %ls\n", argv[2]);
    return saved ? 0 : 1;
}

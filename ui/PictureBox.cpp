#include "PictureBox.h"

namespace {
constexpr wchar_t ClassName[] = L"VemoraPictureBox";
}

bool PictureBox::Register(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, ClassName, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    return RegisterClassExW(&windowClass) != 0;
}

PictureBox::~PictureBox()
{
    if (window_) {
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

bool PictureBox::Create(HWND parent, int id, int left, int top, int width, int height, DWORD style)
{
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down, like the PNG rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    image_ = ScopedBitmapDC(
        ScopedMemDC(nullptr),
        ScopedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    if (!image_) return false;
    pixels_ = static_cast<std::uint8_t*>(bits);
    width_ = width;
    height_ = height;
    id_ = id;
    Clear();

    window_ = CreateWindowExW(
        0, ClassName, L"", WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), this);
    return window_ != nullptr;
}

bool PictureBox::DrawStretched(HBITMAP source)
{
    BITMAP size{};
    if (!source || !image_ || !GetObjectW(source, sizeof size, &size) || size.bmWidth <= 0 ||
        size.bmHeight <= 0)
        return false;
    ScopedMemDC sourceDC(image_.get());
    ScopedSelectObject sourceSelection(sourceDC.get(), source);
    if (!sourceSelection) return false;
    // COLORONCOLOR drops the eliminated rows and columns instead of blending
    // them, so every module stays a block of whole pixels with sharp edges.
    const int oldMode = SetStretchBltMode(image_.get(), COLORONCOLOR);
    const BOOL drawn = StretchBlt(image_.get(), 0, 0, width_, height_, sourceDC.get(), 0, 0,
                                  size.bmWidth, size.bmHeight, SRCCOPY);
    SetStretchBltMode(image_.get(), oldMode);
    GdiFlush(); // the pixels are read directly afterwards
    if (window_) InvalidateRect(window_, nullptr, FALSE);
    return drawn != FALSE;
}

void PictureBox::Clear()
{
    if (pixels_) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            reinterpret_cast<std::uint32_t*>(pixels_)[i] = 0x00FFFFFF;
    }
    hasPicture_ = false;
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

HBITMAP PictureBox::CopyBitmap() const
{
    if (!image_) return nullptr;
    ScopedGetDC screen(nullptr);
    ScopedBitmap copy(CreateCompatibleBitmap(screen.get(), width_, height_));
    ScopedMemDC copyDC(screen.get());
    if (!copy || !copyDC) return nullptr;
    {
        ScopedSelectObject selected(copyDC.get(), copy.get());
        if (!selected || !BitBlt(copyDC.get(), 0, 0, width_, height_, image_.get(), 0, 0, SRCCOPY))
            return nullptr;
    }
    return copy.release();
}

void PictureBox::Paint(HDC dc) const
{
    if (image_) BitBlt(dc, 0, 0, width_, height_, image_.get(), 0, 0, SRCCOPY);
}

void PictureBox::OnButtonUp(LPARAM lParam)
{
    if (!pressed_) return;
    pressed_ = false;
    ReleaseCapture();
    RECT client{};
    GetClientRect(window_, &client);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PtInRect(&client, at))
        SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(id_, STN_CLICKED),
                     reinterpret_cast<LPARAM>(window_));
}

LRESULT PictureBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        ScopedPaint paint(window_);
        if (paint) Paint(paint.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint covers every pixel
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(window_);
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp(lParam);
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

#include "PictureBox.h"

#include "PictureBoxAccessible.h"
#include "WindowClass.h"

namespace {
constexpr wchar_t ClassName[] = L"VemoraPictureBox";
}

bool PictureBox::Register(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ClassName;
    return RegisterWindowClassOnce(windowClass);
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
    if (!MakeBacking(width, height)) return false;
    id_ = id;
    window_ = CreateWindowExW(
        0, ClassName, L"", WS_CHILD | WS_VISIBLE | style, left, top, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), this);
    return window_ != nullptr;
}

bool PictureBox::Place(int left, int top, int width, int height)
{
    if (!window_) return false;
    if ((width != width_ || height != height_) && !MakeBacking(width, height)) return false;
    return SetWindowPos(window_, nullptr, left, top, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool PictureBox::MakeBacking(int width, int height)
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
    ScopedBitmapDC fresh(
        ScopedMemDC(nullptr),
        ScopedBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    if (!fresh) return false;
    image_ = std::move(fresh); // the old backing goes, selection first
    pixels_ = static_cast<std::uint8_t*>(bits);
    width_ = width;
    height_ = height;
    Clear();
    return true;
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
    if (window_ && GetFocus() == window_) {
        // Two pixels in, on the symbol's light margin; the kept image, which
        // Save and Copy use, never carries it.
        RECT mark{2, 2, width_ - 2, height_ - 2};
        DrawFocusRect(dc, &mark);
    }
}

void PictureBox::SetAccessibleName(const wchar_t* name)
{
    if (!window_) return;
    SetWindowTextW(window_, name);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
}

void PictureBox::SendClick() const
{
    SendMessageW(GetParent(window_), WM_COMMAND, MAKEWPARAM(id_, STN_CLICKED),
                 reinterpret_cast<LPARAM>(window_));
}

// Enter, Space and Ctrl+C act as a click, once per press (a held key's
// repeats are ignored); Shift+F10 and the Menu key ask for the context menu.
// True when the key was used.
bool PictureBox::OnKeyDown(WPARAM key, LPARAM lParam)
{
    const bool repeat = (lParam & (1L << 30)) != 0;
    const bool control = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    if ((key == VK_RETURN || key == VK_SPACE || (key == 'C' && control && !alt)) && !shift) {
        if (!repeat) SendClick();
        return true;
    }
    if (key == VK_APPS || (key == VK_F10 && shift && !control)) {
        SendMessageW(GetParent(window_), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window_), -1);
        return true;
    }
    return false;
}

void PictureBox::OnButtonUp(LPARAM lParam)
{
    if (!pressed_) return;
    pressed_ = false;
    ReleaseCapture();
    RECT client{};
    GetClientRect(window_, &client);
    const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (PtInRect(&client, at)) SendClick();
}

// Every message the box answers itself, each in a line or two; the rest go
// to DefWindowProcW.
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
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window_, nullptr, FALSE); // the focus rectangle
        return 0;
    case WM_CONTEXTMENU:
        // A right click comes here through DefWindowProc; the parent decides.
        SendMessageW(GetParent(window_), WM_CONTEXTMENU, wParam, lParam);
        return 0;
    case WM_GETOBJECT:
        // The object id is a DWORD in lParam's low half.
        if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) break;
        if (const LRESULT answer = PictureBoxAccessible::Answer(window_, wParam)) return answer;
        break;
    }
    if (const auto answered = OnKeyMessage(message, wParam, lParam)) return *answered;
    return DefWindowProcW(window_, message, wParam, lParam);
}

std::optional<LRESULT> PictureBox::OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter would go to the window's default button: take it here. The
        // key is the dialog manager's, on this thread; sent from another
        // thread or process, lParam is no pointer of ours.
        const MSG* key = InSendMessage() ? nullptr : reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) return DLGC_WANTMESSAGE;
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnKeyDown(wParam, lParam)) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The menu keys were answered on the way down: DefWindowProc must not
        // open the menu a second time, nor F10 the window's system menu.
        if (wParam == VK_APPS || (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0)) return 0;
        break;
    }
    return std::nullopt;
}

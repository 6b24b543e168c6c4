// Small owners for Win32 GDI, USER, kernel and COM resources: the one
// vocabulary of the renderer, the skin, the window and the tests. Before
// writing another owner for a handle, look here.
//
// Every type is move-only: a copy would free the same handle twice. Each one
// frees its resource in the destructor; release() hands ownership on
// explicitly (for instance a bitmap into OleCreatePictureIndirect with fOwn
// TRUE). Declare them in the order the resources are taken: destruction runs
// backwards, so a selection is undone before its DC is deleted, and the DC
// goes before the bitmap that was selected into it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

// A memory device context from CreateCompatibleDC, freed with DeleteDC.
class ScopedMemDC {
public:
    ScopedMemDC() = default;
    // Compatible with dc; a null dc means compatible with the screen.
    explicit ScopedMemDC(HDC dc) : dc_(CreateCompatibleDC(dc)) {}
    ~ScopedMemDC() { reset(); }
    ScopedMemDC(const ScopedMemDC&) = delete;
    ScopedMemDC& operator=(const ScopedMemDC&) = delete;
    ScopedMemDC(ScopedMemDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    ScopedMemDC& operator=(ScopedMemDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    // Gives up ownership: the caller (or whoever it hands the DC to) deletes it.
    [[nodiscard]] HDC release() { return std::exchange(dc_, nullptr); }
    void reset()
    {
        if (dc_) DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
};

// A GDI object (HBITMAP, HBRUSH, HPEN, HFONT, HRGN, HPALETTE), freed with
// DeleteObject. It must not be selected into a DC any more when it is freed.
template <typename Handle>
class ScopedGdiObj {
public:
    ScopedGdiObj() = default;
    explicit ScopedGdiObj(Handle object) : object_(object) {}
    ~ScopedGdiObj() { reset(); }
    ScopedGdiObj(const ScopedGdiObj&) = delete;
    ScopedGdiObj& operator=(const ScopedGdiObj&) = delete;
    ScopedGdiObj(ScopedGdiObj&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ScopedGdiObj& operator=(ScopedGdiObj&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.object_, nullptr));
        return *this;
    }

    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Gives up ownership: the caller (or whoever it hands the handle to) frees it.
    [[nodiscard]] Handle release() { return std::exchange(object_, nullptr); }
    void reset(Handle object = nullptr)
    {
        if (object_ && object_ != object) DeleteObject(object_);
        object_ = object;
    }

private:
    Handle object_ = nullptr;
};

using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedRgn = ScopedGdiObj<HRGN>;
using ScopedPalette = ScopedGdiObj<HPALETTE>;

// Selects an object into a DC and selects the previous one back on
// destruction (or at restore()), so the object can then be freed.
class ScopedSelectObject {
public:
    ScopedSelectObject() = default;
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object))
    {
        // SelectObject answers null (or HGDI_ERROR for a region) on failure:
        // then there is nothing to undo.
        if (!previous_ || previous_ == HGDI_ERROR) dc_ = nullptr;
    }
    ~ScopedSelectObject() { restore(); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
    ScopedSelectObject(ScopedSelectObject&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(std::exchange(other.previous_, nullptr))
    {}
    ScopedSelectObject& operator=(ScopedSelectObject&& other) noexcept
    {
        if (this != &other) {
            restore();
            dc_ = std::exchange(other.dc_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }

    // True when the selection took place.
    explicit operator bool() const { return dc_ != nullptr; }
    // Selects the previous object back now; returns the object that was
    // selected (null when there was no selection to undo).
    HGDIOBJ restore()
    {
        HGDIOBJ selected = nullptr;
        if (dc_) selected = SelectObject(dc_, previous_);
        dc_ = nullptr;
        previous_ = nullptr;
        return selected;
    }

private:
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// Selects a palette into a DC (foreground, bForceBackground FALSE) and the
// previous one back on destruction, so the palette can then be deleted. A
// null palette selects nothing.
class ScopedSelectPalette {
public:
    ScopedSelectPalette(HDC dc, HPALETTE palette)
        : dc_(dc), previous_(dc && palette ? SelectPalette(dc, palette, FALSE) : nullptr)
    {}
    ~ScopedSelectPalette()
    {
        if (previous_) SelectPalette(dc_, previous_, FALSE);
    }
    ScopedSelectPalette(const ScopedSelectPalette&) = delete;
    ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;
    // Not movable: a selection belongs to the scope that made it.
    ScopedSelectPalette(ScopedSelectPalette&&) = delete;
    ScopedSelectPalette& operator=(ScopedSelectPalette&&) = delete;

private:
    HDC dc_ = nullptr;
    HPALETTE previous_ = nullptr;
};

// A memory DC together with a bitmap of its own selected into it: the
// drawing surface of scratch pictures, the skin's strips and Pic2. On
// destruction the selection is undone, then the DC and the bitmap are
// deleted (a bitmap cannot be deleted while it is selected).
class ScopedBitmapDC {
public:
    ScopedBitmapDC() = default;
    // Takes over both and selects the bitmap; empty (false) unless both exist
    // and the selection succeeds.
    ScopedBitmapDC(ScopedMemDC dc, ScopedBitmap bitmap)
        : bitmap_(std::move(bitmap)), dc_(std::move(dc)),
          selection_(dc_ && bitmap_ ? ScopedSelectObject(dc_.get(), bitmap_.get())
                                    : ScopedSelectObject())
    {
        if (!selection_) reset();
    }
    ~ScopedBitmapDC() { reset(); }
    ScopedBitmapDC(const ScopedBitmapDC&) = delete;
    ScopedBitmapDC& operator=(const ScopedBitmapDC&) = delete;
    ScopedBitmapDC(ScopedBitmapDC&&) noexcept = default;
    ScopedBitmapDC& operator=(ScopedBitmapDC&& other) noexcept
    {
        // Member-wise assignment would delete this bitmap while it is still
        // selected into this DC: everything goes first, in order.
        if (this != &other) {
            reset();
            bitmap_ = std::move(other.bitmap_);
            dc_ = std::move(other.dc_);
            selection_ = std::move(other.selection_);
        }
        return *this;
    }

    HDC get() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    explicit operator bool() const { return static_cast<bool>(dc_); }
    void reset()
    {
        selection_.restore();
        dc_.reset();
        bitmap_.reset();
    }

private:
    // Declared in the order taken: destruction undoes the selection, then
    // deletes the DC, then the bitmap.
    ScopedBitmap bitmap_;
    ScopedMemDC dc_;
    ScopedSelectObject selection_;
};

// A window's client-area DC (or, for a null window, the screen's) from GetDC,
// given back with ReleaseDC.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : ScopedGetDC(window, GetDC(window)) {}
    ~ScopedGetDC() { reset(); }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    ScopedGetDC(ScopedGetDC&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), dc_(std::exchange(other.dc_, nullptr))
    {}
    ScopedGetDC& operator=(ScopedGetDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            window_ = std::exchange(other.window_, nullptr);
            dc_ = std::exchange(other.dc_, nullptr);
        }
        return *this;
    }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void reset()
    {
        if (dc_) ReleaseDC(window_, dc_);
        window_ = nullptr;
        dc_ = nullptr;
    }

protected:
    // Takes over a DC of window that ReleaseDC gives back.
    ScopedGetDC(HWND window, HDC dc) : window_(window), dc_(dc) {}

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// The whole window's DC from GetWindowDC: origin at the window's top-left
// corner, frame included. The skin draws frames and glyphs in these window
// coordinates. A null window gives no DC (GetWindowDC would answer the
// whole screen).
class ScopedWindowDC : public ScopedGetDC {
public:
    explicit ScopedWindowDC(HWND window)
        : ScopedGetDC(window, window ? GetWindowDC(window) : nullptr)
    {}
};

// BeginPaint in the constructor, EndPaint in the destructor; for WM_PAINT only.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    ~ScopedPaint()
    {
        if (window_) EndPaint(window_, &paint_);
    }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    // Not movable either: PAINTSTRUCT belongs to this one BeginPaint call.
    ScopedPaint(ScopedPaint&&) = delete;
    ScopedPaint& operator=(ScopedPaint&&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    const PAINTSTRUCT& paint() const { return paint_; }
    const RECT& dirty() const { return paint_.rcPaint; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    PAINTSTRUCT paint_{};
};

// A COM interface pointer holding one reference, released with Release().
template <typename Interface>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    // Takes over a reference the caller already holds (no AddRef).
    explicit ScopedComPtr(Interface* pointer) : pointer_(pointer) {}
    ~ScopedComPtr() { reset(); }
    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    ScopedComPtr(ScopedComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr))
    {}
    ScopedComPtr& operator=(ScopedComPtr&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Hands the reference to the caller.
    [[nodiscard]] Interface* release() { return std::exchange(pointer_, nullptr); }
    void reset(Interface* pointer = nullptr)
    {
        if (pointer_) pointer_->Release();
        pointer_ = pointer;
    }
    // For out-parameters (QueryInterface, Create* functions): frees the
    // current reference and lets the callee store a new one.
    Interface** put()
    {
        reset();
        return &pointer_;
    }
    // The same for calls that take void** with an IID (CoCreateInstance).
    void** put_void() { return reinterpret_cast<void**>(put()); }
    // Another interface of the same object, or an empty pointer.
    template <typename Other>
    ScopedComPtr<Other> As(REFIID iid) const;

private:
    Interface* pointer_ = nullptr;
};

// Interface iid of object, holding its own reference, or an empty pointer
// for a null object or one without that interface. Every QueryInterface of
// the program goes through here, so no reference is ever left unowned.
template <typename Other>
ScopedComPtr<Other> QueryInterfaceOf(IUnknown* object, REFIID iid)
{
    ScopedComPtr<Other> other;
    if (object && FAILED(object->QueryInterface(iid, other.put_void()))) other.reset();
    return other;
}

template <typename Interface>
template <typename Other>
ScopedComPtr<Other> ScopedComPtr<Interface>::As(REFIID iid) const
{
    return QueryInterfaceOf<Other>(pointer_, iid);
}

// OpenClipboard in the constructor, CloseClipboard in the destructor when
// the clipboard was opened.
class ScopedClipboard {
public:
    explicit ScopedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~ScopedClipboard()
    {
        if (open_) CloseClipboard();
    }
    ScopedClipboard(const ScopedClipboard&) = delete;
    ScopedClipboard& operator=(const ScopedClipboard&) = delete;
    ScopedClipboard(ScopedClipboard&&) = delete;
    ScopedClipboard& operator=(ScopedClipboard&&) = delete;

    bool IsOpen() const { return open_; }

private:
    bool open_;
};

// A kernel handle (file, process, thread, event), freed with CloseHandle.
// Both null and INVALID_HANDLE_VALUE count as empty, since CreateFile answers
// the one and most other calls the other.
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
    ~ScopedHandle() { reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.handle_, nullptr));
        return *this;
    }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr)
    {
        if (*this && handle_ != handle) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_ = nullptr;
};

// A menu from CreatePopupMenu or CreateMenu that no window holds as its menu
// bar, freed with DestroyMenu (which also frees its submenus).
class ScopedMenu {
public:
    ScopedMenu() = default;
    explicit ScopedMenu(HMENU menu) : menu_(menu) {}
    ~ScopedMenu() { reset(); }
    ScopedMenu(const ScopedMenu&) = delete;
    ScopedMenu& operator=(const ScopedMenu&) = delete;
    ScopedMenu(ScopedMenu&& other) noexcept : menu_(std::exchange(other.menu_, nullptr)) {}
    ScopedMenu& operator=(ScopedMenu&& other) noexcept
    {
        if (this != &other) reset(std::exchange(other.menu_, nullptr));
        return *this;
    }

    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    void reset(HMENU menu = nullptr)
    {
        if (menu_ && menu_ != menu) DestroyMenu(menu_);
        menu_ = menu;
    }

private:
    HMENU menu_ = nullptr;
};

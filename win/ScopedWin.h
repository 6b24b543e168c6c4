// Small owners for Win32 GDI, USER, kernel and COM resources: the one
// vocabulary of the renderer, the skin, the window and the tests. Before
// writing another owner for a handle, look here.
//
// Every owner is made from UniqueHandle (UniqueHandle.h), so all share one
// API: get(), release(), reset(handle), explicit operator bool, move-only.
// release() hands ownership on explicitly (for instance a bitmap into
// OleCreatePictureIndirect with fOwn TRUE). Declare them in the order the
// resources are taken: destruction runs backwards, so a selection is undone
// before its DC is deleted, and the DC goes before the bitmap that was
// selected into it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <ole2.h>
#include <unknwn.h>

#include <utility>

#include "UniqueHandle.h"

// A memory device context from CreateCompatibleDC, freed with DeleteDC.
struct MemDCTraits {
    using Handle = HDC;
    static HDC Invalid() { return nullptr; }
    static bool IsValid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc) { DeleteDC(dc); }
};
class ScopedMemDC : public UniqueHandle<MemDCTraits> {
public:
    ScopedMemDC() = default;
    // A new DC compatible with dc; a null dc means compatible with the screen.
    explicit ScopedMemDC(HDC compatibleWith) : UniqueHandle(CreateCompatibleDC(compatibleWith)) {}
};

// A GDI object (HBITMAP, HBRUSH, HPEN, HFONT, HRGN, HPALETTE), freed with
// DeleteObject. It must not be selected into a DC any more when it is freed.
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Object Invalid() { return nullptr; }
    static bool IsValid(Object object) { return object != nullptr; }
    static void Close(Object object) { DeleteObject(object); }
};
template <typename Object>
using ScopedGdiObj = UniqueHandle<GdiObjectTraits<Object>>;

using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedRgn = ScopedGdiObj<HRGN>;
using ScopedPalette = ScopedGdiObj<HPALETTE>;

// An object selected into a DC, with what it replaced there: undoing the
// selection selects the previous object back.
template <typename Object>
struct Selection {
    HDC dc = nullptr;
    Object previous = nullptr;
    bool operator==(const Selection&) const = default;
};
struct SelectObjectTraits {
    using Handle = Selection<HGDIOBJ>;
    static Handle Invalid() { return {}; }
    static bool IsValid(const Handle& s) { return s.dc != nullptr; }
    static void Close(const Handle& s) { SelectObject(s.dc, s.previous); }
};
struct SelectPaletteTraits {
    using Handle = Selection<HPALETTE>;
    static Handle Invalid() { return {}; }
    static bool IsValid(const Handle& s) { return s.dc != nullptr; }
    static void Close(const Handle& s) { SelectPalette(s.dc, s.previous, FALSE); }
};

// Selects an object into a DC and the previous one back on destruction (or
// at reset()), so the object can then be freed. Empty (false) when the
// selection failed: there is nothing to undo then.
class ScopedSelectObject : public UniqueHandle<SelectObjectTraits> {
public:
    ScopedSelectObject() = default;
    ScopedSelectObject(HDC dc, HGDIOBJ object) : UniqueHandle(Select(dc, object)) {}

private:
    static Handle Select(HDC dc, HGDIOBJ object)
    {
        // SelectObject answers null, or HGDI_ERROR for a region, on failure.
        const HGDIOBJ previous = dc ? SelectObject(dc, object) : nullptr;
        if (!previous || previous == HGDI_ERROR) return {};
        return {dc, previous};
    }
};

// Selects a palette into a DC (foreground, bForceBackground FALSE) and the
// previous one back on destruction, so the palette can then be deleted. A
// null palette selects nothing.
class ScopedSelectPalette : public UniqueHandle<SelectPaletteTraits> {
public:
    ScopedSelectPalette(HDC dc, HPALETTE palette) : UniqueHandle(Select(dc, palette)) {}

private:
    static Handle Select(HDC dc, HPALETTE palette)
    {
        const HPALETTE previous = dc && palette ? SelectPalette(dc, palette, FALSE) : nullptr;
        if (!previous) return {};
        return {dc, previous};
    }
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
        selection_.reset();
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

// A DC from GetDC or GetWindowDC, with the window ReleaseDC needs.
struct WindowDC {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const WindowDC&) const = default;
};
struct ReleaseDCTraits {
    using Handle = WindowDC;
    static WindowDC Invalid() { return {}; }
    static bool IsValid(const WindowDC& d) { return d.dc != nullptr; }
    static void Close(const WindowDC& d) { ReleaseDC(d.window, d.dc); }
};

// A window's client-area DC (or, for a null window, the screen's) from GetDC,
// given back with ReleaseDC.
class ScopedGetDC : public UniqueHandle<ReleaseDCTraits> {
public:
    explicit ScopedGetDC(HWND window) : UniqueHandle(WindowDC{window, GetDC(window)}) {}
    HDC get() const { return UniqueHandle::get().dc; }

protected:
    // Takes over a DC of window that ReleaseDC gives back.
    ScopedGetDC(HWND window, HDC dc) : UniqueHandle(WindowDC{window, dc}) {}
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
    // Not movable either, and so not a UniqueHandle: the PAINTSTRUCT belongs
    // to this one BeginPaint call.
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
struct ComReleaseTraits {
    using Handle = Interface*;
    static Interface* Invalid() { return nullptr; }
    static bool IsValid(Interface* pointer) { return pointer != nullptr; }
    static void Close(Interface* pointer) { pointer->Release(); }
};
template <typename Interface>
class ScopedComPtr : public UniqueHandle<ComReleaseTraits<Interface>> {
    using Base = UniqueHandle<ComReleaseTraits<Interface>>;

public:
    ScopedComPtr() = default;
    // Takes over a reference the caller already holds (no AddRef).
    explicit ScopedComPtr(Interface* pointer) : Base(pointer) {}

    Interface* operator->() const { return Base::get(); }
    // For out-parameters (QueryInterface, Create* functions): frees the
    // current reference and lets the callee store a new one.
    Interface** put() { return Base::put(); }
    // The same for calls that take void** with an IID (CoCreateInstance).
    void** put_void() { return reinterpret_cast<void**>(put()); }
    // Another interface of the same object, or an empty pointer.
    template <typename Other>
    ScopedComPtr<Other> As(REFIID iid) const;
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
    return QueryInterfaceOf<Other>(this->get(), iid);
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
struct KernelHandleTraits {
    using Handle = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
using ScopedHandle = UniqueHandle<KernelHandleTraits>;

// A menu from CreatePopupMenu or CreateMenu that no window holds as its menu
// bar, freed with DestroyMenu (which also frees its submenus).
struct MenuTraits {
    using Handle = HMENU;
    static HMENU Invalid() { return nullptr; }
    static bool IsValid(HMENU menu) { return menu != nullptr; }
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
using ScopedMenu = UniqueHandle<MenuTraits>;

// One initialisation of COM (CoInitializeEx) or of OLE (OleInitialize) on
// this thread, undone on destruction when it succeeded. S_FALSE (the thread
// had it already) counts and is balanced as well; RPC_E_CHANGED_MODE (the
// thread has another apartment) is a failure, and nothing is undone.
struct CoInitTraits {
    using Handle = HRESULT;
    static HRESULT Invalid() { return CO_E_NOTINITIALIZED; }
    static bool IsValid(HRESULT result) { return SUCCEEDED(result); }
    static void Close(HRESULT) { CoUninitialize(); }
};
struct OleInitTraits {
    using Handle = HRESULT;
    static HRESULT Invalid() { return CO_E_NOTINITIALIZED; }
    static bool IsValid(HRESULT result) { return SUCCEEDED(result); }
    static void Close(HRESULT) { OleUninitialize(); }
};
class ScopedCoInit : public UniqueHandle<CoInitTraits> {
public:
    explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED)
        : UniqueHandle(CoInitializeEx(nullptr, model))
    {}
};
class ScopedOleInit : public UniqueHandle<OleInitTraits> {
public:
    ScopedOleInit() : UniqueHandle(OleInitialize(nullptr)) {}
};

// Memory the system hands out with CoTaskMemAlloc (the paths of
// SHGetKnownFolderPath and IShellItem::GetDisplayName), freed with
// CoTaskMemFree.
template <typename Pointer>
struct CoTaskMemTraits {
    using Handle = Pointer;
    static Pointer Invalid() { return nullptr; }
    static bool IsValid(Pointer pointer) { return pointer != nullptr; }
    static void Close(Pointer pointer) { CoTaskMemFree(pointer); }
};
class ScopedCoTaskString : public UniqueHandle<CoTaskMemTraits<PWSTR>> {
public:
    ScopedCoTaskString() = default;
    // For out-parameters: frees the current string and lets the callee store one.
    PWSTR* put() { return UniqueHandle::put(); }
};

// Pic2: a picture box that keeps its drawing. Everything is drawn into a
// backing bitmap of the box's size, and painting only copies that bitmap, so
// the image survives covering, repainting and WM_PRINTCLIENT alike.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "BaseWindow.h"
#include "ScopedWin.h"

class PictureBox : public BaseWindow<PictureBox> {
public:
    // The window class ("VemoraPictureBox"); registered once per process.
    static bool Register(HINSTANCE instance);

    PictureBox() = default;
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;
    ~PictureBox();

    // Creates the child window with a white backing bitmap of width x height.
    // A click (button down and up inside) sends the parent WM_COMMAND with
    // (id, STN_CLICKED), and so do Enter, Space and Ctrl+C while the box has
    // the keyboard focus, which it shows with a focus rectangle. A right
    // click, Shift+F10 and the Menu key send the parent WM_CONTEXTMENU with
    // the box's handle (and, from the keyboard, the position -1, -1).
    bool Create(HWND parent, int id, int left, int top, int width, int height, DWORD style);

    // Moves the box; a new size gives it a new, white backing bitmap (the
    // owner draws its picture again). False when nothing could be changed.
    bool Place(int left, int top, int width, int height);
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Draws a picture's bitmap over the whole box, scaled by repeating pixels
    // (nearest neighbour, sharp module edges). False, and nothing drawn, when
    // there is no bitmap.
    bool DrawStretched(HBITMAP source);
    // Paints the box white.
    void Clear();

    // Whether the box holds a symbol: set by TakePicture after a drawing,
    // cleared by Clear.
    bool HasPicture() const { return hasPicture_; }
    void TakePicture() { hasPicture_ = true; }

    // The kept image: top-down 32-bit BGRX rows of Width() * 4 bytes.
    const std::uint8_t* Pixels() const { return pixels_; }
    // A device-dependent copy of the kept image, for the clipboard (which
    // takes ownership of it), or null.
    HBITMAP CopyBitmap() const;

    // What a screen reader calls the box (its window text); the role it
    // reads is a graphic's (PictureBoxAccessible).
    void SetAccessibleName(const wchar_t* name);

    // Copies the kept image to dc at (0, 0), and the focus rectangle over it
    // while the box has the focus; WM_PAINT and WM_PRINTCLIENT use it.
    void Paint(HDC dc) const;

private:
    friend class BaseWindow<PictureBox>;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(LPARAM lParam);
    // A white top-down 32-bit backing bitmap of width x height in image_.
    bool MakeBacking(int width, int height);
    // The keyboard's messages: their answer, or nothing for DefWindowProc.
    std::optional<LRESULT> OnKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnKeyDown(WPARAM key, LPARAM lParam);
    void SendClick() const;

    int id_ = 0;
    int width_ = 0;
    int height_ = 0;
    // The DIB section, selected into its memory DC for the box's life.
    ScopedBitmapDC image_;
    std::uint8_t* pixels_ = nullptr;
    bool hasPicture_ = false;
    bool pressed_ = false;
};

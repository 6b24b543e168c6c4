// Pic2: a picture box that keeps its drawing. Everything is drawn into a
// backing bitmap of the box's size, and painting only copies that bitmap, so
// the image survives covering, repainting and WM_PRINTCLIENT alike.
#pragma once

#include <windows.h>

#include <cstdint>

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
    // (id, STN_CLICKED).
    bool Create(HWND parent, int id, int left, int top, int width, int height, DWORD style);

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

    // Copies the kept image to dc at (0, 0); WM_PAINT and WM_PRINTCLIENT use it.
    void Paint(HDC dc) const;

private:
    friend class BaseWindow<PictureBox>;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnButtonUp(LPARAM lParam);

    int id_ = 0;
    int width_ = 0;
    int height_ = 0;
    // The DIB section, selected into its memory DC for the box's life.
    ScopedBitmapDC image_;
    std::uint8_t* pixels_ = nullptr;
    bool hasPicture_ = false;
    bool pressed_ = false;
};

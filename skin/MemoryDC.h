// A memory device context together with the bitmap selected into it.
#pragma once

#include <windows.h>

#include <utility>

// Owns a memory DC and the bitmap it was given; on destruction the DC's
// original bitmap is selected back, then the DC and the bitmap are deleted
// (a bitmap cannot be deleted while it is selected). Move-only: a copy would
// delete the same handles twice.
class MemoryDC {
public:
    MemoryDC() = default;
    // Takes ownership of dc and bitmap and selects the bitmap into dc.
    MemoryDC(HDC dc, HBITMAP bitmap) : dc_(dc), bitmap_(bitmap)
    {
        if (dc_ && bitmap_) oldBitmap_ = SelectObject(dc_, bitmap_);
    }
    ~MemoryDC() { reset(); }

    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    MemoryDC(MemoryDC&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), bitmap_(std::exchange(other.bitmap_, nullptr)),
          oldBitmap_(std::exchange(other.oldBitmap_, nullptr))
    {}
    MemoryDC& operator=(MemoryDC&& other) noexcept
    {
        if (this != &other) {
            reset();
            dc_ = std::exchange(other.dc_, nullptr);
            bitmap_ = std::exchange(other.bitmap_, nullptr);
            oldBitmap_ = std::exchange(other.oldBitmap_, nullptr);
        }
        return *this;
    }

    HDC get() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void reset()
    {
        if (dc_ && oldBitmap_) SelectObject(dc_, oldBitmap_);
        if (dc_) DeleteDC(dc_);
        if (bitmap_) DeleteObject(bitmap_);
        dc_ = nullptr;
        bitmap_ = nullptr;
        oldBitmap_ = nullptr;
    }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

#include "mdlFakeBarCode.h"

#include <ocidl.h>
#include <olectl.h>

#include "ScopedWin.h"

namespace {

// An 8-bit palettised DIB description: BITMAPINFO with all 256 colours.
struct PalettisedBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

PalettisedBitmapInfo GridBitmapInfo(int width, int height)
{
    PalettisedBitmapInfo info{};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height; // negative: rows run top-down, as the grid's do
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.header.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height);
    info.header.biClrUsed = 256;
    // Index 0 is a light module, 1 a dark one; 2 is grey so that a template
    // cell drawn by mistake shows; every other index is black (all zero).
    info.colours[0] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    info.colours[2] = RGBQUAD{0x80, 0x80, 0x80, 0};
    return info;
}

bool ValidGrid(const std::uint8_t* bits, int width, int height, int left, int top, int right,
               int bottom)
{
    if (!bits || width <= 0 || height <= 0 || width % 4 != 0) return false;
    if (left < 0 || top < 0 || right < 0 || bottom < 0) return false;
    // Summed in 64 bits: the margins alone may overflow an int.
    const long long pictureWidth = static_cast<long long>(left) + width + right;
    const long long pictureHeight = static_cast<long long>(top) + height + bottom;
    return pictureWidth <= MaxPictureSide && pictureHeight <= MaxPictureSide;
}

} // namespace

ScopedComPtr<IPictureDisp> CreateSymbolPicture(const std::uint8_t* bits, int width, int height,
                                               int left, int top, int right, int bottom)
{
    // 1. The grid's description. Rows of a DIB are padded to 4 bytes; the
    //    grid's rows have no padding, hence width must be a multiple of 4.
    if (!ValidGrid(bits, width, height, left, top, right, bottom)) return {};
    const PalettisedBitmapInfo info = GridBitmapInfo(width, height);

    // 2. A memory DC compatible with the screen.
    ScopedGetDC screen(nullptr);
    if (!screen) return {};
    ScopedMemDC memory(screen.get());
    if (!memory) return {};

    // 3. The picture's bitmap in the screen's format, selected into the DC.
    const int pictureWidth = left + width + right;
    const int pictureHeight = top + height + bottom;
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.get(), pictureWidth, pictureHeight));
    if (!bitmap) return {};
    ScopedSelectObject selection(memory.get(), bitmap.get());
    if (!selection) return {};

    // 4. White all over: this is the quiet zone outside the grid.
    {
        ScopedBrush white(CreateSolidBrush(RGB(0xFF, 0xFF, 0xFF)));
        if (!white) return {};
        const RECT all{0, 0, pictureWidth, pictureHeight};
        FillRect(memory.get(), &all, white.get());
    }

    // 5. The grid, one pixel per cell.
    if (StretchDIBits(memory.get(), left, top, width, height, 0, 0, width, height, bits,
                      reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY) == 0)
        return {};

    // 6. The bitmap must leave the DC before a picture may own it.
    selection.reset();
    memory.reset();
    screen.reset();

    // 7. The picture takes the bitmap over only when it exists.
    ScopedComPtr<IPictureDisp> picture = BitmapToPicture(bitmap.get(), true);
    if (picture) (void)bitmap.release();
    return picture;
}

ScopedComPtr<IPictureDisp> CreateMatrixPicture(const ModuleMatrix& matrix)
{
    // The matrix's stride is size + 3, so its three all-light extra rows and
    // columns plus one pixel of fill make the four-module quiet zone at the
    // right and bottom; four pixels of fill make it at the left and top.
    return CreateSymbolPicture(matrix.Data(), matrix.Stride(), matrix.Stride(), 4, 4, 1, 1);
}

ScopedComPtr<IPictureDisp> BitmapToPicture(HBITMAP bitmap, bool own)
{
    if (!bitmap) return {};
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_BITMAP;
    description.bmp.hbitmap = bitmap;
    description.bmp.hpal = nullptr;
    // Asking for IPictureDisp at once rather than IUnknown and then querying:
    // either the picture exists with that interface or nothing was created,
    // so on failure the bitmap is certainly still the caller's.
    ScopedComPtr<IPictureDisp> picture;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, own ? TRUE : FALSE,
                                        picture.put_void())))
        return {};
    return picture;
}

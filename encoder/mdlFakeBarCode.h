// The symbol renderer: draws a byte grid such as ModuleMatrix into a bitmap
// with a light margin and wraps it into an OLE picture. Windows only; the
// encoder core stays portable.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <cstdint>

#include "ModuleMatrix.h"
#include "ScopedWin.h"

// Draws the width x height grid at bits (row-major, top row first, each row
// exactly width bytes, width a multiple of 4, one palette index per pixel:
// 0 white, 1 black, 2 grey #808080, 3..255 black) one pixel per cell onto a
// white bitmap of (left + width + right) x (top + height + bottom) pixels with
// the grid at (left, top), in the screen's colour format.
//
// Returns a picture that owns its bitmap, or an empty pointer: for a null grid, a size that is not positive, a width
// that is not a multiple of 4, a negative margin, a picture above
// MaxPictureSide pixels a side, or when GDI or OLE refuse (for instance when
// the process's GDI objects are exhausted). No GDI object outlives a failed call.
ScopedComPtr<IPictureDisp> CreateSymbolPicture(const std::uint8_t* bits, int width, int height,
                                               int left, int top, int right, int bottom);

// A finished matrix (0 light, 1 dark) drawn one pixel per module with the
// four-module light margin: (size + 8) pixels a side, the symbol at (4, 4).
// Empty as CreateSymbolPicture.
ScopedComPtr<IPictureDisp> CreateMatrixPicture(const ModuleMatrix& matrix);

// Wraps a GDI bitmap into an OLE picture (PICTYPE_BITMAP). With own true the
// picture deletes the bitmap when its last reference goes. A null bitmap, or a
// picture OLE does not create, gives an empty pointer; the bitmap then stays
// the caller's.
ScopedComPtr<IPictureDisp> BitmapToPicture(HBITMAP bitmap, bool own);

// Far beyond any symbol (version 40 draws 185 pixels a side); it keeps a
// wrong size from asking GDI for gigabytes.
constexpr int MaxPictureSide = 16384;

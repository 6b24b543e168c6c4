// Picture files of the symbol: the enlarged picture of the box, the print
// picture made from the module matrix, and files that never replace another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ModuleMatrix.h"

// "hh时mm分ss秒 " for the time of day (hours 00..23), without the ending.
std::wstring TimeOfDayName(const SYSTEMTIME& time);

// The n-th candidate file name for a base name and an ending such as ".png":
// n = 1 gives base + ending, n >= 2 gives base + " (n)" + ending, with one
// space: a base that ends in a space ("21时05分03秒 ") gives
// "21时05分03秒 (2).png".
std::wstring NumberedFileName(const std::wstring& base, int n, const std::wstring& ending);

// A PNG (through WIC) of a top-down 32-bit BGRX pixel array, width * height
// pixels, stride bytes per row. Empty on failure.
std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgrx, int width, int height, int stride);

// The print picture's width: at least this many pixels.
constexpr int PrintMinimumPixels = 1200;
// ... and never more than this many, whatever the module size: a size that
// no whole rate states closely at a small k must not make a picture of
// hundreds of megabytes.
constexpr int PrintMaximumPixels = 16384;
// The printed size of a module when nobody chose one, in micrometres (as the
// SVG's).
constexpr int PrintModuleMicrometres = 500;
// Pixels a module in the print picture of a symbol of size modules a side
// (its four-module margins on both sides added) printed at moduleMicrometres
// a module: the smallest whole k that makes k * (size + 8) at least
// PrintMinimumPixels and for which the whole rate of PrintPixelsPerMetre
// states the picture's width, (size + 8) modules of that size, within a
// micrometre. 0.25, 0.33, 0.5 and 1 mm come that close at the least k for
// every version; 0.75 mm a module is 4000 k / 3 pixels a metre, so a k that
// is not a multiple of 3 misses by a third of a pixel a metre, which at
// the larger versions adds up to more than a micrometre (version 40 at k = 7
// would state 138.755 mm for 138.75): there k goes up to the next multiple
// of 3 (version 40: 9). Within PrintMaximumPixels; the least k when nothing
// there comes that close.
int PrintModulePixels(int size, int moduleMicrometres = PrintModuleMicrometres);
// The resolution (PNG pHYs, whole pixels a metre) that prints modulePixels
// pixels as moduleMicrometres: the whole rate nearest to the exact one. With
// modulePixels from PrintModulePixels for the same size, the picture's
// stated width is within a micrometre of (size + 8) modules of that size.
std::uint32_t PrintPixelsPerMetre(int modulePixels, int moduleMicrometres);

// The print picture of a finished matrix (0 light, 1 dark) as a PNG: every
// module exactly PrintModulePixels(size, moduleMicrometres) pixels a side, a
// four-module light margin, black on white in one bit per pixel, and the
// resolution that makes a module moduleMicrometres (positive) on paper
// stated in the file: at 0.5 mm a module version 1 comes out 1,218 pixels
// wide, version 40 1,295, stated 14.5 mm and 92.5 mm, as wide as the SVG.
// Written through WIC; empty on failure.
std::vector<std::uint8_t> EncodePrintPng(const ModuleMatrix& matrix,
                                         int moduleMicrometres = PrintModuleMicrometres);

struct SaveResult {
    DWORD error = ERROR_SUCCESS; // the system's reason when nothing was written
    std::wstring path;           // the file written
};

// Writes bytes into the file path, made with disposition: CREATE_NEW (never
// replaces a file) or CREATE_ALWAYS (replaces one, for a name the user has
// confirmed). ERROR_SUCCESS, or the system's reason when nothing was
// written; a partly written file is removed again.
DWORD WriteFileAt(const std::wstring& path, const std::vector<std::uint8_t>& bytes,
                  DWORD disposition);

// Writes bytes into a new file folder + "\" + NumberedFileName(base, n, ending)
// for the first n from 1 up whose name is free (CREATE_NEW: an existing file is
// never replaced, not even by a race). A partly written file is removed again.
SaveResult WriteNewFile(const std::wstring& folder, const std::wstring& base,
                        const std::wstring& ending, const std::vector<std::uint8_t>& bytes);

// The system's text for an error code, without the final line break and
// without its final full stop ("。" or "."), so that a caller can end the
// sentence with one of its own.
std::wstring SystemErrorText(DWORD error);

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
// The printed size of a module when nobody chose one, in micrometres (as the
// SVG's).
constexpr int PrintModuleMicrometres = 500;
// Pixels a module in the print picture of a symbol of size modules a side
// (its four-module margins on both sides added): the smallest whole k that
// makes k * (size + 8) at least PrintMinimumPixels.
int PrintModulePixels(int size);
// The resolution (PNG pHYs, whole pixels a metre) that prints modulePixels
// pixels as moduleMicrometres: the whole rate nearest to the exact one, so
// that the picture's stated width is as close to (size + 8) modules of that
// size as a whole rate can come. 0.25, 0.33, 0.5 and 1 mm come within a
// micrometre at every version; 0.75 mm is exact where modulePixels is a
// multiple of 3 and otherwise up to 5 um off at version 40 (138.755 mm for
// 138.75).
std::uint32_t PrintPixelsPerMetre(int modulePixels, int moduleMicrometres);

// The print picture of a finished matrix (0 light, 1 dark) as a PNG: every
// module exactly PrintModulePixels(size) pixels a side, a four-module light
// margin, black on white in one bit per pixel, and the resolution that makes
// a module moduleMicrometres (positive) on paper stated in the file: version
// 1 comes out 1,218 pixels wide, version 40 1,295, at 0.5 mm a module 14.5 mm
// and 92.5 mm, as wide as the SVG. Written through WIC; empty on failure.
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

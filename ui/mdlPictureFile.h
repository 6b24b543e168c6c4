// Writes the enlarged symbol as a PNG file that never replaces another file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// "hh时mm分ss秒 " for the time of day (hours 00..23), without the ending.
std::wstring TimeOfDayName(const SYSTEMTIME& time);

// The n-th candidate file name for a base name: n = 1 gives base + ".png",
// n >= 2 gives base + " (n).png", with one space: a base that ends in a space
// ("21时05分03秒 ") gives "21时05分03秒 (2).png".
std::wstring NumberedPngName(const std::wstring& base, int n);

// A PNG (through WIC) of a top-down 32-bit BGRX pixel array, width * height
// pixels, stride bytes per row. Empty on failure.
std::vector<std::uint8_t> EncodePng(const std::uint8_t* bgrx, int width, int height, int stride);

struct SaveResult {
    DWORD error = ERROR_SUCCESS; // the system's reason when nothing was written
    std::wstring path;           // the file written
};

// Writes bytes into a new file folder + "\" + NumberedPngName(base, n) for the
// first n from 1 up whose name is free (CREATE_NEW: an existing file is never
// replaced, not even by a race). A partly written file is removed again.
SaveResult WriteNewPngFile(const std::wstring& folder, const std::wstring& base,
                           const std::vector<std::uint8_t>& bytes);

// The system's text for an error code, without the final line break and
// without its final full stop ("。" or "."), so that a caller can end the
// sentence with one of its own.
std::wstring SystemErrorText(DWORD error);

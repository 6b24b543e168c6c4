// clsQRCode: the function patterns of a symbol (ISO/IEC 18004, 6.3):
// finders with separators, timing, alignment, and the reserved format and
// version information areas.
#include <cassert>

#include "clsQRCode.h"

namespace {

// Finder patterns (6.3.3) with their separators facing the symbol: the dark
// 7 x 7 ring and 3 x 3 core (1), the light ring and separator (2).
void PlaceFinderPatterns(ModuleMatrix& matrix, int size)
{
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const bool separator = i == 7 || j == 7;
            const bool lightRing = ((i == 1 || i == 5) && j >= 1 && j <= 5) ||
                                   ((j == 1 || j == 5) && i >= 1 && i <= 5);
            const std::uint8_t value = separator || lightRing ? 2 : 1;
            matrix.At(i, j) = value;
            matrix.At(i, size - 1 - j) = value;
            matrix.At(size - 1 - i, j) = value;
        }
}

// The format information areas (7.9) reserved (2) beside the three finders,
// and the dark module (1) beside the lower-left one.
void ReserveFormatAreas(ModuleMatrix& matrix, int size)
{
    for (int i = 0; i < 8; ++i) {
        matrix.At(8, i) = 2;
        matrix.At(i, 8) = 2;
        matrix.At(8, size - 1 - i) = 2;
        matrix.At(size - 1 - i, 8) = 2;
    }
    matrix.At(8, 8) = 2;
    matrix.At(size - 8, 8) = 1;
}

// The two version information areas (7.10), reserved (2): rows size-11 ..
// size-9 by columns 0 .. 6 and their transpose (column 6 and row 6 become
// timing modules afterwards).
void ReserveVersionAreas(ModuleMatrix& matrix, int size)
{
    for (int r = size - 11; r <= size - 9; ++r)
        for (int c = 0; c <= 6; ++c) {
            matrix.At(r, c) = 2;
            matrix.At(c, r) = 2;
        }
}

// Timing patterns (6.3.5) in row and column 6, dark on even coordinates.
void PlaceTimingPatterns(ModuleMatrix& matrix, int size)
{
    for (int k = 8; k <= size - 9; ++k) {
        const std::uint8_t value = (k % 2 == 0) ? 1 : 2;
        matrix.At(6, k) = value;
        matrix.At(k, 6) = value;
    }
}

// Light (2) and dark (1) cells of an alignment pattern centred at (r, c).
void PlaceAlignmentPattern(ModuleMatrix& matrix, int r, int c)
{
    for (int dr = -2; dr <= 2; ++dr)
        for (int dc = -2; dc <= 2; ++dc) {
            const bool dark = dr == -2 || dr == 2 || dc == -2 || dc == 2 || (dr == 0 && dc == 0);
            matrix.At(r + dr, c + dc) = dark ? 1 : 2;
        }
}

// Alignment patterns (6.3.6) at every pair of centre coordinates (size - 7,
// size - 7 - spacing, ... down to 18, and 6) except the three under the finders.
void PlaceAlignmentPatterns(ModuleMatrix& matrix, int size, int spacing)
{
    for (int r = size - 7; r >= 18; r -= spacing)
        for (int c = size - 7; c >= 18; c -= spacing) PlaceAlignmentPattern(matrix, r, c);
    for (int c = size - 7 - spacing; c >= 18; c -= spacing) {
        PlaceAlignmentPattern(matrix, 6, c);
        PlaceAlignmentPattern(matrix, c, 6);
    }
}

} // namespace

void clsQRCode::BuildFunctionPatterns(ModuleMatrix& matrix, int version) const
{
    if (version < 1 || version > 40) return;
    const int size = SymbolSize(version);
    assert(matrix.Size() == size);
    // Later steps overwrite earlier ones where they meet: the dark module a
    // reserved format cell, the timing patterns the version areas' row and
    // column 6, alignment patterns on row or column 6 timing modules.
    PlaceFinderPatterns(matrix, size);
    ReserveFormatAreas(matrix, size);
    if (version >= 7) ReserveVersionAreas(matrix, size);
    PlaceTimingPatterns(matrix, size);
    if (version >= 2) PlaceAlignmentPatterns(matrix, size, AlignmentSpacing(version));
}

// clsQRCode: the function patterns of a symbol (ISO/IEC 18004, 6.3):
// finders with separators, timing, alignment, and the reserved format and
// version information areas.
#include <array>
#include <cassert>
#include <cstring>

#include "clsQRCode.h"

namespace {

// A finder pattern (6.3.3) with the separator on its right and below, the
// way the top-left one stands: the dark 7 x 7 ring and 3 x 3 core (1), the
// light ring and the separator (2).
// clang-format off
constexpr std::uint8_t kFinderRows[8][8] = {
    {1, 1, 1, 1, 1, 1, 1, 2},
    {1, 2, 2, 2, 2, 2, 1, 2},
    {1, 2, 1, 1, 1, 2, 1, 2},
    {1, 2, 1, 1, 1, 2, 1, 2},
    {1, 2, 1, 1, 1, 2, 1, 2},
    {1, 2, 2, 2, 2, 2, 1, 2},
    {1, 1, 1, 1, 1, 1, 1, 2},
    {2, 2, 2, 2, 2, 2, 2, 2},
};
// clang-format on

// The same rows mirrored, for the top-right finder: its separator is on the left.
constexpr auto kMirroredFinderRows = [] {
    std::array<std::array<std::uint8_t, 8>, 8> rows{};
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) rows[i][j] = kFinderRows[i][7 - j];
    return rows;
}();

// The three finders with their separators facing the symbol; the bottom-left
// one is the top-left one upside down.
void PlaceFinderPatterns(ModuleMatrix& matrix, int size)
{
    for (int i = 0; i < 8; ++i) {
        std::memcpy(&matrix.At(i, 0), kFinderRows[i], 8);
        std::memcpy(&matrix.At(i, size - 8), kMirroredFinderRows[i].data(), 8);
        std::memcpy(&matrix.At(size - 1 - i, 0), kFinderRows[i], 8);
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

// An alignment pattern (6.3.6): a dark 5 x 5 ring and centre (1) around a
// light ring (2).
// clang-format off
constexpr std::uint8_t kAlignmentRows[5][5] = {
    {1, 1, 1, 1, 1},
    {1, 2, 2, 2, 1},
    {1, 2, 1, 2, 1},
    {1, 2, 2, 2, 1},
    {1, 1, 1, 1, 1},
};
// clang-format on

// The alignment pattern centred at (r, c).
void PlaceAlignmentPattern(ModuleMatrix& matrix, int r, int c)
{
    for (int i = 0; i < 5; ++i) std::memcpy(&matrix.At(r - 2 + i, c - 2), kAlignmentRows[i], 5);
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

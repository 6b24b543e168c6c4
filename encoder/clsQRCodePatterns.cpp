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

// The cells of a row of one of the tables here, whose 2s stand for light
// modules, with light as the light modules' value.
template <std::size_t N>
std::array<std::uint8_t, N> WithLight(const std::uint8_t (&row)[N], std::uint8_t light)
{
    std::array<std::uint8_t, N> cells{};
    for (std::size_t i = 0; i < N; ++i) cells[i] = row[i] == 2 ? light : row[i];
    return cells;
}

// The three finders with their separators facing the symbol; the bottom-left
// one is the top-left one upside down.
void PlaceFinderPatterns(ModuleMatrix& matrix, int size, std::uint8_t light)
{
    for (int i = 0; i < 8; ++i) {
        const auto row = WithLight(kFinderRows[i], light);
        std::memcpy(&matrix.At(i, 0), row.data(), 8);
        std::memcpy(&matrix.At(size - 1 - i, 0), row.data(), 8);
        for (int j = 0; j < 8; ++j) matrix.At(i, size - 1 - j) = row[static_cast<std::size_t>(j)];
    }
}

// The format information areas (7.9) reserved (light) beside the three
// finders, and the dark module (1) beside the lower-left one.
void ReserveFormatAreas(ModuleMatrix& matrix, int size, std::uint8_t light)
{
    for (int i = 0; i < 8; ++i) {
        matrix.At(8, i) = light;
        matrix.At(i, 8) = light;
        matrix.At(8, size - 1 - i) = light;
        matrix.At(size - 1 - i, 8) = light;
    }
    matrix.At(8, 8) = light;
    matrix.At(size - 8, 8) = 1;
}

// The two version information areas (7.10), reserved (light): rows size-11
// .. size-9 by columns 0 .. 6 and their transpose (column 6 and row 6 become
// timing modules afterwards).
void ReserveVersionAreas(ModuleMatrix& matrix, int size, std::uint8_t light)
{
    for (int r = size - 11; r <= size - 9; ++r)
        for (int c = 0; c <= 6; ++c) {
            matrix.At(r, c) = light;
            matrix.At(c, r) = light;
        }
}

// Timing patterns (6.3.5) in row and column 6, dark on even coordinates.
void PlaceTimingPatterns(ModuleMatrix& matrix, int size, std::uint8_t light)
{
    for (int k = 8; k <= size - 9; ++k) {
        const std::uint8_t value = (k % 2 == 0) ? 1 : light;
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
void PlaceAlignmentPattern(ModuleMatrix& matrix, int r, int c,
                           const std::array<std::array<std::uint8_t, 5>, 5>& rows)
{
    for (int i = 0; i < 5; ++i) std::memcpy(&matrix.At(r - 2 + i, c - 2), rows[static_cast<std::size_t>(i)].data(), 5);
}

// Alignment patterns (6.3.6) at every pair of centre coordinates (size - 7,
// size - 7 - spacing, ... down to 18, and 6) except the three under the finders.
void PlaceAlignmentPatterns(ModuleMatrix& matrix, int size, int spacing, std::uint8_t light)
{
    std::array<std::array<std::uint8_t, 5>, 5> rows{};
    for (int i = 0; i < 5; ++i) rows[static_cast<std::size_t>(i)] = WithLight(kAlignmentRows[i], light);
    for (int r = size - 7; r >= 18; r -= spacing)
        for (int c = size - 7; c >= 18; c -= spacing) PlaceAlignmentPattern(matrix, r, c, rows);
    for (int c = size - 7 - spacing; c >= 18; c -= spacing) {
        PlaceAlignmentPattern(matrix, 6, c, rows);
        PlaceAlignmentPattern(matrix, c, 6, rows);
    }
}

} // namespace

void clsQRCode::BuildFunctionPatterns(ModuleMatrix& matrix, int version) const
{
    PlaceFunctionPatterns(matrix, version, 2);
}

void clsQRCode::PlaceFunctionPatterns(ModuleMatrix& matrix, int version, std::uint8_t light) const
{
    if (version < 1 || version > 40) return;
    const int size = SymbolSize(version);
    assert(matrix.Size() == size);
    // Later steps overwrite earlier ones where they meet: the dark module a
    // reserved format cell, the timing patterns the version areas' row and
    // column 6, alignment patterns on row or column 6 timing modules.
    PlaceFinderPatterns(matrix, size, light);
    ReserveFormatAreas(matrix, size, light);
    if (version >= 7) ReserveVersionAreas(matrix, size, light);
    PlaceTimingPatterns(matrix, size, light);
    if (version >= 2) PlaceAlignmentPatterns(matrix, size, AlignmentSpacing(version), light);
}

#pragma once

// The parts of ISO/IEC 18004 that the tests check the encoder against,
// written out plainly from the standard and independent of the encoder's own
// code: the data mask conditions (Table 10), the BCH codes of the format and
// version information (Annex C and D), the module placement path (7.7.3) and
// arithmetic in GF(256) for Reed-Solomon syndromes.

#include <array>
#include <cstdint>
#include <vector>

#include "ModuleMatrix.h"

namespace qrref {

// Table 10: whether mask pattern `mask` inverts the module at row i, column j.
inline bool MaskInverts(int mask, int i, int j)
{
    switch (mask) {
    case 0:
        return (i + j) % 2 == 0;
    case 1:
        return i % 2 == 0;
    case 2:
        return j % 3 == 0;
    case 3:
        return (i + j) % 3 == 0;
    case 4:
        return (i / 2 + j / 3) % 2 == 0;
    case 5:
        return (i * j) % 2 + (i * j) % 3 == 0;
    case 6:
        return ((i * j) % 2 + (i * j) % 3) % 2 == 0;
    case 7:
        return ((i + j) % 2 + (i * j) % 3) % 2 == 0;
    default:
        return false;
    }
}

// The remainder of the polynomial `value` (over GF(2)) divided by
// `generator`, by long division from the top term down.
inline int PolynomialRemainder(int value, int generator)
{
    int degree = 0;
    while ((generator >> (degree + 1)) != 0) ++degree;
    for (int bit = 30; bit >= degree; --bit)
        if ((value >> bit) & 1) value ^= generator << (bit - degree);
    return value;
}

// 7.9.1: the 15-bit format word for level 1..4 (L, M, Q, H) and mask 0..7:
// level indicator (L 01, M 00, Q 11, H 10) and mask, ten BCH(15,5) check bits
// from the generator x^10 + x^8 + x^5 + x^4 + x^2 + x + 1, then XOR 101010000010010.
inline int FormatWord(int level, int mask)
{
    constexpr int kLevelIndicator[5] = {0, 0b01, 0b00, 0b11, 0b10};
    const int data = kLevelIndicator[level] << 3 | mask;
    return ((data << 10) | PolynomialRemainder(data << 10, 0x537)) ^ 0x5412;
}

// 7.10: the 18-bit version word, six version bits and twelve BCH(18,6) check
// bits from x^12 + x^11 + x^10 + x^9 + x^8 + x^5 + x^2 + 1.
inline int VersionWord(int version)
{
    return (version << 12) | PolynomialRemainder(version << 12, 0x1F25);
}

// Figure 25: the cells of format bit 14 down to bit 0, first copy (around
// the top-left finder) and second copy (below the top-right finder's column
// and beside the bottom-left one), as (row, column); negative means size - n.
struct FormatCell {
    int row, column;
};
inline std::array<FormatCell, 15> FormatCells(int size, bool firstCopy)
{
    std::array<FormatCell, 15> cells{};
    for (int i = 0; i < 15; ++i) {
        if (firstCopy)
            cells[i] =
                i < 8 ? FormatCell{8, i < 6 ? i : i + 1} : FormatCell{i == 8 ? 7 : 14 - i, 8};
        else cells[i] = i < 7 ? FormatCell{size - 1 - i, 8} : FormatCell{8, size - 15 + i};
    }
    return cells;
}

// The format word read from one copy, bit 14 first.
inline int ReadFormatWord(const ModuleMatrix& m, bool firstCopy)
{
    int word = 0;
    for (const FormatCell& cell : FormatCells(m.Size(), firstCopy))
        word = word << 1 | (m.At(cell.row, cell.column) & 1);
    return word;
}

// 7.7.3: the encoding-region cells in placement order, given which cells are
// free (not function modules): two-module columns from the right edge,
// upwards first and alternating, the right module of a pair before the left,
// column 6 (the vertical timing pattern) skipped.
inline std::vector<std::pair<int, int>> PlacementPath(const std::vector<bool>& free, int size)
{
    std::vector<std::pair<int, int>> path;
    bool upward = true;
    for (int right = size - 1; right > 0; right -= 2, upward = !upward) {
        if (right == 6) right = 5;
        for (int step = 0; step < size; ++step) {
            const int row = upward ? size - 1 - step : step;
            for (const int column : {right, right - 1})
                if (free[static_cast<std::size_t>(row) * size + column])
                    path.emplace_back(row, column);
        }
    }
    return path;
}

// GF(256) with the QR Code polynomial x^8 + x^4 + x^3 + x^2 + 1 (7.5.2).
inline int GfMultiply(int a, int b)
{
    int product = 0;
    for (; b != 0; b >>= 1) {
        if (b & 1) product ^= a;
        a <<= 1;
        if (a & 0x100) a ^= 0x11D;
    }
    return product;
}

// The syndromes S_k = c(2^k), k = 0 .. count-1, of a block, first codeword the
// highest power; all zero exactly when the block is a codeword of the code
// whose generator has the roots 2^0 .. 2^(count-1).
inline std::vector<int> Syndromes(const std::vector<int>& block, int count)
{
    std::vector<int> syndromes;
    int root = 1;
    for (int k = 0; k < count; ++k, root = GfMultiply(root, 2)) {
        int sum = 0;
        for (const int c : block) sum = GfMultiply(sum, root) ^ c;
        syndromes.push_back(sum);
    }
    return syndromes;
}

} // namespace qrref

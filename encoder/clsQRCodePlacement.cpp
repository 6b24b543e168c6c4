// clsQRCode: data placement, masking, the merge with the function patterns,
// and format and version information (ISO/IEC 18004, 7.7 to 7.10).
#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <vector>

#include "clsQRCode.h"

namespace {

// Format information (7.9): the mask applied to the 15-bit word, the BCH
// (15, 5) generator and its top bit.
constexpr int kFormatMask = 0x5412;
constexpr int kFormatGenerator = 0x537;
constexpr int kFormatTopBit = 0x400;
// Version information (7.10): the BCH (18, 6) generator and its top bit.
constexpr int kVersionGenerator = 0x1F25;
constexpr int kVersionTopBit = 0x1000;

// The format information bit positions (7.9.1, Figure 25): bit 14 first.
// First copy around the top-left finder, (row, column).
// clang-format off
constexpr int kFormatFirstCopy[15][2] = {
    {8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4}, {8, 5}, {8, 7}, {8, 8},
    {7, 8}, {5, 8}, {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8},
};
// clang-format on

// Reads the codeword sequence most significant bit first. The sequence must
// be followed by two zero bytes: the remainder modules (7.7.3) read them.
class CodewordBitReader {
public:
    explicit CodewordBitReader(const std::uint8_t* codewords) : codewords_(codewords) {}
    int Next()
    {
        const int bit = (codewords_[position_ >> 3] >> (7 - (position_ & 7))) & 1;
        ++position_;
        return bit;
    }
    // The next 16 bits, the first one in bit 15, without taking them.
    int Peek16() const
    {
        const std::uint8_t* p = codewords_ + (position_ >> 3);
        const std::uint32_t window = (std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
        return static_cast<int>((window >> (8 - (position_ & 7))) & 0xFFFF);
    }
    void Skip(int count) { position_ += count; }

private:
    const std::uint8_t* codewords_;
    int position_ = 0;
};

std::uint32_t Load32(const std::uint8_t* p)
{
    std::uint32_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void Store32(std::uint8_t* p, std::uint32_t word) { std::memcpy(p, &word, sizeof word); }

std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

void Store64(std::uint8_t* p, std::uint64_t word) { std::memcpy(p, &word, sizeof word); }

const std::uint8_t* Cells(const ModuleMatrix& matrix, int row, int column)
{
    return matrix.Data() + static_cast<std::ptrdiff_t>(row) * matrix.Stride() + column;
}

// The two modules of one row of a column pair for two bits b1 b0 of the
// codeword sequence, in memory order: b0 (the left module, column c), then
// b1 (the right one, which placement takes first).
constexpr auto kPairCells = [] {
    std::array<std::uint16_t, 4> table{};
    for (int bits = 0; bits < 4; ++bits)
        table[bits] = std::bit_cast<std::uint16_t>(std::array<std::uint8_t, 2>{
            static_cast<std::uint8_t>(bits & 1), static_cast<std::uint8_t>(bits >> 1)});
    return table;
}();

// The same for the four rows of eight bits, the first row in bits 7 and 6.
constexpr auto kRowPairs = [] {
    std::array<std::array<std::uint16_t, 4>, 256> table{};
    for (int value = 0; value < 256; ++value)
        for (int t = 0; t < 4; ++t) table[value][t] = kPairCells[(value >> (6 - 2 * t)) & 3];
    return table;
}();

// How many of the eight rows in a word of template bytes, taken in path
// order (upwards: from the last byte in memory), have both modules free;
// word holds the OR of the two columns' bytes, one byte per row.
int FreeRowsAhead(std::uint64_t word, bool upwards)
{
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    if (word == 0) return 8;
    return (upwards ? std::countl_zero(word) : std::countr_zero(word)) / 8;
}

// The next 2 * run bits into run rows (run <= 8) whose two modules are both
// free, from cells on by gridStep; returns the cell after the last row.
std::uint8_t* PlaceFreeRows(std::uint8_t* cells, std::ptrdiff_t gridStep, int run,
                            CodewordBitReader& bits)
{
    const int value = bits.Peek16();
    bits.Skip(2 * run);
    if (run < 8) {
        for (int t = 0; t < run; ++t, cells += gridStep)
            std::memcpy(cells, &kPairCells[(value >> (14 - 2 * t)) & 3], 2);
        return cells;
    }
    for (const int byte : {value >> 8, value & 0xFF})
        for (const std::uint16_t pair : kRowPairs[byte]) {
            std::memcpy(cells, &pair, sizeof pair);
            cells += gridStep;
        }
    return cells;
}

// One column pair (columns c + 1 and c) over all rows from startRow in steps
// of step (-1 upwards, +1 downwards), 7.7.3. A row takes the right module's
// bit first, then the left's; function modules take none. Rows whose two
// modules are both free take their bits up to eight rows at once.
void PlaceColumnPair(const ModuleMatrix& matrix, std::uint8_t* grid, int c, int startRow, int step,
                     CodewordBitReader& bits)
{
    const int size = matrix.Size();
    const std::ptrdiff_t gridStep = static_cast<std::ptrdiff_t>(step) * size;
    std::uint8_t* cells = grid + static_cast<std::ptrdiff_t>(startRow) * size + c;
    for (int row = startRow, left = size; left > 0;) {
        // The function patterns are symmetric about the main diagonal (the
        // dark module's mirror cell is reserved for format information), so
        // the modules (r, c) of rows r .. r + 7 are free exactly where the
        // template's row c is 0 in columns r .. r + 7: one word per column.
        const int first = step > 0 ? row : row - 7;
        const int run = left < 8 ? 0
                                 : FreeRowsAhead(Load64(Cells(matrix, c, first)) |
                                                     Load64(Cells(matrix, c + 1, first)),
                                                 step < 0);
        if (run > 0) {
            cells = PlaceFreeRows(cells, gridStep, run, bits);
            row += run * step;
            left -= run;
            continue;
        }
        if (*Cells(matrix, row, c + 1) == 0) cells[1] = static_cast<std::uint8_t>(bits.Next());
        if (*Cells(matrix, row, c) == 0) cells[0] = static_cast<std::uint8_t>(bits.Next());
        cells += gridStep;
        row += step;
        --left;
    }
}

// XORs 1 into every cell whose condition holds. Every pattern of Table 10
// depends on the column only through j mod 6 (j mod 2, j mod 3, j div 3 mod 2,
// i * j mod 6) and on the row only through i mod 12, so the condition is
// evaluated for six columns of twelve rows, repeated to the symbol's width,
// and every row of the grid then takes its pattern row a word at a time.
template <typename Condition>
void XorPattern(std::span<std::uint8_t> grid, int size, Condition condition)
{
    constexpr int rowPeriod = 12;
    constexpr int maxWidth = 184; // the largest size, 177, rounded up to words
    if (size <= 0) return;
    assert(size <= maxWidth);
    const int patternRows = std::min(rowPeriod, size);
    std::uint8_t rows[rowPeriod][maxWidth];
    for (int i = 0; i < patternRows; ++i) {
        for (int j = 0; j < 6; ++j) rows[i][j] = condition(i, j, i * j) ? 1 : 0;
        for (int width = 6; width < size; width *= 2)
            std::memcpy(rows[i] + width, rows[i], std::min(width, maxWidth - width));
    }
    for (int i = 0; i < size; ++i) {
        std::uint8_t* cell = grid.data() + static_cast<std::ptrdiff_t>(i) * size;
        const std::uint8_t* pattern = rows[i % rowPeriod];
        int j = 0;
        for (; j + 8 <= size; j += 8) Store64(cell + j, Load64(cell + j) ^ Load64(pattern + j));
        for (; j + 4 <= size; j += 4) Store32(cell + j, Load32(cell + j) ^ Load32(pattern + j));
        for (; j < size; ++j) cell[j] ^= pattern[j];
    }
}

} // namespace

void clsQRCode::PlaceData(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                          int ecLevel, int mask) const
{
    const int size = matrix.Size();
    std::vector<std::uint8_t> grid(static_cast<std::size_t>(size) * size, 0);
    PlaceCodewords(matrix, codewords, grid);
    mask = ApplyMask(grid, size, mask);
    MergeIntoTemplate(matrix, grid);
    WriteVersionInformation(matrix, version);
    WriteFormatInformation(matrix, ecLevel, mask);
}

void clsQRCode::PlaceCodewords(const ModuleMatrix& matrix, const std::uint8_t* codewords,
                               std::span<std::uint8_t> grid) const
{
    const int size = matrix.Size();
    assert(grid.size() >= static_cast<std::size_t>(size) * size);
    CodewordBitReader bits(codewords);
    // Column pairs from the right edge leftwards, alternately upwards and
    // downwards, skipping the vertical timing pattern in column 6.
    for (int l = size; l >= 5;) {
        int c = l - 2;
        if (c < 6) --c;
        PlaceColumnPair(matrix, grid.data(), c, size - 1, -1, bits);
        l -= 4;
        c = l;
        if (c < 6) --c;
        PlaceColumnPair(matrix, grid.data(), c, 0, 1, bits);
    }
}

int clsQRCode::ApplyMask(std::span<std::uint8_t> grid, int size, int mask) const
{
    assert(grid.size() >= static_cast<std::size_t>(size) * size);
    if (mask < 0 || mask > 7) mask = 0;
    // Table 10: the data mask pattern conditions, i the row and j the column.
    switch (mask) {
    case 0:
        XorPattern(grid, size, [](int i, int j, int) { return (i + j) % 2 == 0; });
        break;
    case 1:
        XorPattern(grid, size, [](int i, int, int) { return i % 2 == 0; });
        break;
    case 2:
        XorPattern(grid, size, [](int, int j, int) { return j % 3 == 0; });
        break;
    case 3:
        XorPattern(grid, size, [](int i, int j, int) { return (i + j) % 3 == 0; });
        break;
    case 4:
        XorPattern(grid, size, [](int i, int j, int) { return (i / 2 + j / 3) % 2 == 0; });
        break;
    case 5:
        XorPattern(grid, size, [](int, int, int ij) { return ij % 2 + ij % 3 == 0; });
        break;
    case 6:
        XorPattern(grid, size, [](int, int, int ij) { return (ij % 2 + ij % 3) % 2 == 0; });
        break;
    case 7:
        XorPattern(grid, size,
                   [](int i, int j, int ij) { return ((i + j) % 2 + ij % 3) % 2 == 0; });
        break;
    }
    return mask;
}

void clsQRCode::MergeIntoTemplate(ModuleMatrix& matrix, std::span<const std::uint8_t> grid)
{
    // A cell becomes (template value if not 0, else the masked bit) AND 1,
    // eight cells a word: with template bytes t in {0, 1, 2} and grid bytes
    // in {0, 1}, bit 0 of t | t >> 1 is set exactly for a function module.
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    const int size = matrix.Size();
    for (int row = 0; row < size; ++row) {
        std::uint8_t* cells = &matrix.At(row, 0);
        const std::uint8_t* masked = grid.data() + static_cast<std::ptrdiff_t>(row) * size;
        int column = 0;
        for (; column + 8 <= size; column += 8) {
            const std::uint64_t t = Load64(cells + column);
            const std::uint64_t free = ~(t | t >> 1) & ones;
            Store64(cells + column, (t & ones) | (Load64(masked + column) & free));
        }
        for (; column + 4 <= size; column += 4) {
            const std::uint32_t t = Load32(cells + column);
            const std::uint32_t free = ~(t | t >> 1) & static_cast<std::uint32_t>(ones);
            Store32(cells + column,
                    (t & static_cast<std::uint32_t>(ones)) | (Load32(masked + column) & free));
        }
        for (; column < size; ++column) {
            const std::uint8_t t = cells[column];
            cells[column] = static_cast<std::uint8_t>(t != 0 ? t & 1 : masked[column] & 1);
        }
    }
}

void clsQRCode::WriteVersionInformation(ModuleMatrix& matrix, int version) const
{
    // 7.10, unmasked, from version 7: bit t at (size-11 + t%3, t/3) and its
    // transpose.
    if (version < 7) return;
    const int size = matrix.Size();
    const int word = BchRemainder(version, kVersionGenerator, kVersionTopBit, 12) | (version << 12);
    for (int t = 0; t < 18; ++t) {
        const std::uint8_t bit = (word & bitWeight_[t]) ? 1 : 0;
        matrix.At(size - 11 + t % 3, t / 3) = bit;
        matrix.At(t / 3, size - 11 + t % 3) = bit;
    }
}

void clsQRCode::WriteFormatInformation(ModuleMatrix& matrix, int ecLevel, int mask) const
{
    // 7.9: level bits L 01, M 00, Q 11, H 10, then the mask; bit 14 first.
    const int size = matrix.Size();
    const int formatData = ((ecLevel - 1) ^ 1) * 8 + mask;
    const int format =
        ((formatData << 10) | BchRemainder(formatData, kFormatGenerator, kFormatTopBit, 10)) ^
        kFormatMask;
    for (int i = 0; i < 15; ++i) {
        const int t = 14 - i;
        const std::uint8_t bit = (format & bitWeight_[t]) ? 1 : 0;
        matrix.At(kFormatFirstCopy[i][0], kFormatFirstCopy[i][1]) = bit;
        if (t >= 8) matrix.At(size - 1 - i, 8) = bit;
        else matrix.At(8, size - 1 - t) = bit;
    }
}

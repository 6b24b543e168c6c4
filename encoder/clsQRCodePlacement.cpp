// clsQRCode: data placement, masking, the merge with the function patterns,
// and format and version information (ISO/IEC 18004, 7.7 to 7.10).
#include <algorithm>
#include <array>
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
// be followed by three zero bytes: the remainder modules (7.7.3) read up to
// seven bits past it, and Peek16 reads a byte beyond its 16 bits.
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

// A placed codeword bit as a cell of the matrix: 4 for 0, 8 for 1. Both
// leave bits 0 and 1 clear, so the cell still reads as free wherever the
// template is read for the function modules, and bit 3 is the bit.
constexpr std::uint8_t PlacedCell(int bit) { return static_cast<std::uint8_t>(4 + 4 * bit); }

// The two cells of one row of a column pair for two bits b1 b0 of the
// codeword sequence, in memory order: b0 (the left module, column c), then
// b1 (the right one, which placement takes first).
constexpr auto kPairCells = [] {
    std::array<std::uint16_t, 4> table{};
    for (int bits = 0; bits < 4; ++bits)
        table[bits] = std::bit_cast<std::uint16_t>(
            std::array<std::uint8_t, 2>{PlacedCell(bits & 1), PlacedCell(bits >> 1)});
    return table;
}();

// Eight rows of a column pair along the path from row (step -1 upwards, +1
// downwards) as words with one byte per row, the byte of row first: bit 0
// of a byte is set where the module of column c + 1 (right) or c (left) is a
// function module. Rows past the symbol's edge read as neither. The function
// patterns are symmetric about the main diagonal (the dark module's mirror
// cell is reserved for format information), so module (r, c) is a function
// module exactly where the template's cell (c, r) is not 0: a row of the pair
// is read as a word of template row c, one of row c + 1, from the eight-row
// window inside the symbol that holds row.
struct PairRows {
    static constexpr std::uint64_t Ones = 0x0101010101010101ull;
    std::uint64_t right = 0, left = 0, inside = 0;

    PairRows(const ModuleMatrix& matrix, int c, int row, int step)
    {
        const int size = matrix.Size();
        const int first = step > 0 ? std::min(row, size - 8) : std::max(row - 7, 0);
        right = Function(Load64(Cells(matrix, c + 1, first)));
        left = Function(Load64(Cells(matrix, c, first)));
        if (step > 0) {
            right >>= 8 * (row - first);
            left >>= 8 * (row - first);
        } else {
            right = __builtin_bswap64(right) >> (8 * (first + 7 - row));
            left = __builtin_bswap64(left) >> (8 * (first + 7 - row));
        }
        const int rows = std::min(8, step > 0 ? size - row : row + 1);
        inside = rows == 8 ? Ones : Ones >> (8 * (8 - rows));
    }
    // How many rows from the first have both modules free, and both taken by
    // function modules.
    int FreeRun() const { return std::countr_zero((right | left | ~inside) & Ones) / 8; }
    int FunctionRun() const { return std::countr_zero(~(right & left & inside) & Ones) / 8; }

private:
    // Template bytes are 0 (free), 1 or 2, and placed cells 4 or 8: bit 0 of
    // t | t >> 1 marks the function modules, in the byte order of memory.
    static std::uint64_t Function(std::uint64_t word)
    {
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        return (word | word >> 1) & Ones;
    }
};

// The next 2 * run bits into run rows (run <= 8) whose two modules are both
// free, from cells on by rowStep; returns the cell after the last row.
std::uint8_t* PlaceFreeRows(std::uint8_t* cells, std::ptrdiff_t rowStep, int run,
                            CodewordBitReader& bits)
{
    const int value = bits.Peek16();
    bits.Skip(2 * run);
    for (int t = 0; t < run; ++t, cells += rowStep) {
        const std::uint16_t pair = kPairCells[(value >> (14 - 2 * t)) & 3];
        std::memcpy(cells, &pair, sizeof pair);
    }
    return cells;
}

// The placement runs of a version (7.7.3): for every column pair, in placement
// order, the runs along its path as one byte each, then kPairEnd. A run is
// kFreeRows | n (n <= 8 rows whose two modules are both free), kFunctionRows |
// n (n rows of two function modules) or kOneRow | right << 1 | left (one row
// with one free module, the free one's bit set). They depend on the version's
// function patterns only, so they are worked out once from its template.
constexpr std::uint8_t kFreeRows = 0x00;
constexpr std::uint8_t kFunctionRows = 0x10;
constexpr std::uint8_t kOneRow = 0x20;
constexpr std::uint8_t kPairEnd = 0xFF;

// The column pairs from the right edge leftwards, alternately upwards and
// downwards, skipping the vertical timing pattern in column 6: visit(c,
// startRow, step) for each.
template <typename Visit>
void ForEachColumnPair(int size, Visit visit)
{
    for (int l = size; l >= 5;) {
        int c = l - 2;
        if (c < 6) --c;
        visit(c, size - 1, -1);
        l -= 4;
        c = l;
        if (c < 6) --c;
        visit(c, 0, 1);
    }
}

// The runs of one column pair (columns c + 1 and c) from startRow in steps of
// step (-1 upwards, +1 downwards), read from the template eight rows at a time.
void RecordColumnPair(const ModuleMatrix& matrix, int c, int startRow, int step,
                      std::vector<std::uint8_t>& runs)
{
    for (int row = startRow; row >= 0 && row < matrix.Size();) {
        const PairRows rows(matrix, c, row, step);
        int run = rows.FreeRun();
        if (run > 0) {
            runs.push_back(static_cast<std::uint8_t>(kFreeRows | run));
        } else if ((run = rows.FunctionRun()) > 0) {
            runs.push_back(static_cast<std::uint8_t>(kFunctionRows | run));
        } else {
            run = 1;
            runs.push_back(static_cast<std::uint8_t>(kOneRow | ((rows.right & 1) == 0) << 1 |
                                                     ((rows.left & 1) == 0)));
        }
        row += run * step;
    }
    runs.push_back(kPairEnd);
}

// One column pair's runs from *run on, into the template's free cells as
// PlacedCell values: a row takes the right module's bit first, then the
// left's; function modules take none. Returns the run after its kPairEnd.
const std::uint8_t* PlaceColumnPair(std::uint8_t* cells, std::ptrdiff_t rowStep,
                                    const std::uint8_t* run, CodewordBitReader& bits)
{
    for (; *run != kPairEnd; ++run) {
        const int count = *run & 0x0F;
        switch (*run & 0xF0) {
        case kFreeRows:
            cells = PlaceFreeRows(cells, rowStep, count, bits);
            break;
        case kFunctionRows:
            cells += count * rowStep;
            break;
        default:
            if (count & 2) cells[1] = PlacedCell(bits.Next());
            if (count & 1) cells[0] = PlacedCell(bits.Next());
            cells += rowStep;
            break;
        }
    }
    return run + 1;
}

// Table 10: whether mask pattern mask (0..7) inverts module (i, j), i the row
// and j the column.
constexpr bool MaskCondition(int mask, int i, int j)
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
        return i * j % 2 + i * j % 3 == 0;
    case 6:
        return (i * j % 2 + i * j % 3) % 2 == 0;
    default:
        return ((i + j) % 2 + i * j % 3) % 2 == 0;
    }
}

// The mask patterns as cells of 1 (inverted) and 0, row i of a symbol taking
// row i mod 12: every condition of Table 10 depends on the row only through
// i mod 12 (i mod 2, i mod 3, i div 2 mod 2, i * j mod 6). A row is as wide
// as the widest symbol, 177 modules, rounded up to whole 8-byte words.
constexpr int kMaskRows = 12;
constexpr int kMaskColumns = 184;
constexpr auto kMaskPatterns = [] {
    std::array<std::array<std::array<std::uint8_t, kMaskColumns>, kMaskRows>, 8> patterns{};
    for (int mask = 0; mask < 8; ++mask)
        for (int i = 0; i < kMaskRows; ++i)
            for (int j = 0; j < kMaskColumns; ++j)
                patterns[mask][i][j] = MaskCondition(mask, i, j) ? 1 : 0;
    return patterns;
}();

// The cells of mask pattern mask (0..7) in row i.
const std::uint8_t* MaskRow(int mask, int i) { return kMaskPatterns[mask][i % kMaskRows].data(); }

} // namespace

void clsQRCode::PlaceData(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                          int ecLevel, int mask)
{
    if (mask < 0 || mask > 7) mask = 0;
    PlaceCodewords(matrix, codewords, version);
    MergeIntoTemplate(matrix, mask);
    WriteVersionInformation(matrix, version);
    WriteFormatInformation(matrix, ecLevel, mask);
}

void clsQRCode::PlaceCodewords(ModuleMatrix& matrix, const std::uint8_t* codewords, int version)
{
    const int size = matrix.Size();
    std::vector<std::uint8_t>& runs = placementRuns_[static_cast<std::size_t>(version)];
    if (runs.empty())
        ForEachColumnPair(size, [&](int c, int startRow, int step) {
            RecordColumnPair(matrix, c, startRow, step, runs);
        });
    CodewordBitReader bits(codewords);
    const std::uint8_t* run = runs.data();
    ForEachColumnPair(size, [&](int c, int startRow, int step) {
        run = PlaceColumnPair(&matrix.At(startRow, c),
                              static_cast<std::ptrdiff_t>(step) * matrix.Stride(), run, bits);
    });
}

int clsQRCode::ApplyMask(std::span<std::uint8_t> grid, int size, int mask) const
{
    assert(grid.size() >= static_cast<std::size_t>(size) * size);
    if (mask < 0 || mask > 7) mask = 0;
    for (int i = 0; i < size; ++i) {
        std::uint8_t* cells = grid.data() + static_cast<std::ptrdiff_t>(i) * size;
        const std::uint8_t* pattern = MaskRow(mask, i);
        int j = 0;
        for (; j + 8 <= size; j += 8) Store64(cells + j, Load64(cells + j) ^ Load64(pattern + j));
        for (; j + 4 <= size; j += 4) Store32(cells + j, Load32(cells + j) ^ Load32(pattern + j));
        for (; j < size; ++j) cells[j] ^= pattern[j];
    }
    return mask;
}

void clsQRCode::MergeIntoTemplate(ModuleMatrix& matrix, int mask)
{
    // A cell becomes (function module ? its value : placed bit XOR mask) AND
    // 1, eight cells a word: with function cells 1 or 2 and placed cells 4 or
    // 8 (PlacedCell), bit 0 of t | t >> 1 marks the function modules and bit
    // 3 is the placed bit. A row's stride is a multiple of 4, so its words
    // end with it; the three cells past the symbol's edge are cleared again
    // afterwards.
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    constexpr std::uint32_t ones32 = 0x01010101u;
    const int size = matrix.Size();
    const int stride = matrix.Stride();
    for (int row = 0; row < size; ++row) {
        std::uint8_t* cells = &matrix.At(row, 0);
        const std::uint8_t* pattern = MaskRow(mask, row);
        int column = 0;
        for (; column + 8 <= stride; column += 8) {
            const std::uint64_t t = Load64(cells + column);
            const std::uint64_t free = ~(t | t >> 1) & ones;
            const std::uint64_t masked = (t >> 3) ^ Load64(pattern + column);
            Store64(cells + column, (t & ones) | (masked & free));
        }
        if (column < stride) {
            const std::uint32_t t = Load32(cells + column);
            const std::uint32_t free = ~(t | t >> 1) & ones32;
            const std::uint32_t masked = (t >> 3) ^ Load32(pattern + column);
            Store32(cells + column, (t & ones32) | (masked & free));
        }
        std::memset(cells + size, 0, static_cast<std::size_t>(stride - size));
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

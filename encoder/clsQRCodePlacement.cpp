// clsQRCode: data placement, masking, the merge with the function patterns,
// and format and version information (ISO/IEC 18004, 7.7 to 7.10).
#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <vector>

#include "BitKernels.h"
#include "CellKernels.h"
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
// be followed by sixteen zero bytes: the remainder modules (7.7.3) read up to
// seven bits past it, and Peek reads nine bytes.
class CodewordBitReader {
public:
    explicit CodewordBitReader(const std::uint8_t* codewords) : codewords_(codewords) {}
    // The next 64 bits, the first one in bit 63, without taking them.
    std::uint64_t Peek() const
    {
        const std::uint8_t* p = codewords_ + (position_ >> 3);
        std::uint64_t window;
        std::memcpy(&window, p, sizeof window);
        if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap64(window);
        const int shift = position_ & 7;
        return shift ? window << shift | std::uint64_t{p[8]} >> (8 - shift) : window;
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

// The placement path (7.7.3) is read in windows of 32 rows of a column pair,
// rows 32j .. 32j + 31: 64 modules, and four whole bytes of each column's
// bits, so a window writes them without reading them. A down pair takes its
// windows from the top, an up pair from the bottom, and rows past the
// symbol's edge are not free. A window's modules are the bits of a 64-bit
// word, the path's t-th row from the window's first being row 32j + t going
// down and 32j + 31 - t going up. Going up, that row's right module is bit
// 63 - 2t and its left one 62 - 2t: the first module highest, as the
// codeword bits come. Going down, they are bits 2t and 2t + 1: the first
// lowest. Either way the right modules are the bits of one parity and the
// left ones of the other, row 32j + i in the i-th of them.
constexpr int kWindowRows = 32;
constexpr std::uint64_t kWindowModules = ~std::uint64_t{0};
constexpr std::uint64_t kEvenBits = 0x5555555555555555ull;

int WindowsPerPair(int size) { return (size + kWindowRows - 1) / kWindowRows; }

// The placement's modules as bits by column (CellKernels' column layout).
using ColumnBytes = std::array<std::uint8_t, CellKernels::ColumnByteRows * CellKernels::ColumnStride>;

// Rows 32j .. 32j + 31 of column c, one per bit of rows from bit 0.
void StoreWindowRows(ColumnBytes& columns, int c, int j, std::uint64_t rows)
{
    std::uint8_t* bytes = columns.data() + 4 * j * CellKernels::ColumnStride + c;
    for (int i = 0; i < 4; ++i, rows >>= 8)
        bytes[i * CellKernels::ColumnStride] = static_cast<std::uint8_t>(rows);
}

// The bits of x in the opposite order.
std::uint64_t Reversed(std::uint64_t x)
{
    x = __builtin_bswap64(x);
    x = (x >> 4 & 0x0F0F0F0F0F0F0F0Full) | (x & 0x0F0F0F0F0F0F0F0Full) << 4;
    x = (x >> 2 & 0x3333333333333333ull) | (x & 0x3333333333333333ull) << 2;
    return (x >> 1 & kEvenBits) | (x & kEvenBits) << 1;
}

// The two ways of scattering a window's codeword bits over its free modules
// and gathering the right and the left modules apart (BitKernels).
struct PlainBits {
    static constexpr bool kDepositIsCheap = false; // skipped for windows without function modules
    static std::uint64_t Deposit(std::uint64_t source, std::uint64_t mask)
    {
        return BitKernels::DepositPlain(source, mask);
    }
    static std::uint64_t Even(std::uint64_t x) { return BitKernels::ExtractEvenPlain(x); }
};
#if defined(VEMORA_HAS_BMI2_KERNEL)
struct Bmi2Bits {
    static constexpr bool kDepositIsCheap = true; // one instruction: cheaper than a branch
    static std::uint64_t Deposit(std::uint64_t source, std::uint64_t mask)
    {
        return BitKernels::DepositBmi2(source, mask);
    }
    static std::uint64_t Even(std::uint64_t x) { return BitKernels::ExtractBmi2(x, kEvenBits); }
};
#endif

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

// The windows of one column pair (columns c + 1 and c) in the order of its
// path (step -1 up, +1 down), read from the template (a module is free where
// its cell is 0): two words each, the free modules and how many they are.
void RecordColumnPair(const ModuleMatrix& matrix, int c, int step,
                      std::vector<std::uint64_t>& windows)
{
    const int size = matrix.Size();
    const int count = WindowsPerPair(size);
    for (int w = 0; w < count; ++w) {
        const int j = step < 0 ? count - 1 - w : w;
        std::uint64_t free = 0;
        for (int t = 0; t < kWindowRows; ++t) {
            const int row = step < 0 ? kWindowRows * j + kWindowRows - 1 - t : kWindowRows * j + t;
            if (row >= size) continue;
            const int right = step < 0 ? 63 - 2 * t : 2 * t;
            const int left = step < 0 ? right - 1 : right + 1;
            if (matrix.At(row, c + 1) == 0) free |= std::uint64_t{1} << right;
            if (matrix.At(row, c) == 0) free |= std::uint64_t{1} << left;
        }
        windows.push_back(free);
        windows.push_back(static_cast<std::uint64_t>(std::popcount(free)));
    }
}

// One column pair's windows into the bits of its columns c + 1 (right) and
// c (left); Up is the direction of the path.
template <typename Bits, bool Up>
const std::uint64_t* PlaceColumnPair(ColumnBytes& columns, int c, int size,
                                     const std::uint64_t* windows, CodewordBitReader& bits)
{
    const int count = WindowsPerPair(size);
    for (int w = 0; w < count; ++w, windows += 2) {
        const std::uint64_t free = windows[0];
        const int taken = static_cast<int>(windows[1]);
        const std::uint64_t next = bits.Peek();
        bits.Skip(taken);
        // The window's codeword bits, the first highest going up and lowest
        // going down, then spread over its free modules.
        std::uint64_t modules = Up ? (taken ? next >> (64 - taken) : 0)
                                   : Reversed(next) & (taken ? ~std::uint64_t{0} >> (64 - taken) : 0);
        if (Bits::kDepositIsCheap || free != kWindowModules) modules = Bits::Deposit(modules, free);
        // Going up the right modules are the odd bits, going down the even ones.
        const int j = Up ? count - 1 - w : w;
        StoreWindowRows(columns, c + 1, j, Bits::Even(Up ? modules >> 1 : modules));
        StoreWindowRows(columns, c, j, Bits::Even(Up ? modules : modules >> 1));
    }
    return windows;
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

// The mask patterns in the column layout (CellKernels): byte row k of column
// j, for k mod 3, as the patterns repeat every 12 rows, 24 = 3 bytes.
constexpr auto kMaskColumnBytes = [] {
    std::array<std::array<std::array<std::uint8_t, CellKernels::ColumnStride>, 3>, 8> patterns{};
    for (int mask = 0; mask < 8; ++mask)
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < CellKernels::ColumnStride; ++j)
                for (int t = 0; t < 8; ++t)
                    if (MaskCondition(mask, 8 * k + t, j))
                        patterns[mask][k][j] = static_cast<std::uint8_t>(patterns[mask][k][j] | 1 << t);
    return patterns;
}();

// Every column pair's windows into the bits by column, masked and merged
// with the function patterns a word of bytes at a time (the columns past the
// symbol as the windows leave them), then written out as the rows of cells.
// A row's cells may reach up to 31 cells past the symbol's edge
// (CellKernels::ExpandColumns): into the next row, written afterwards, or the
// rows below the symbol.
template <typename Bits>
void PlaceAllPairs(ModuleMatrix& matrix, const std::uint64_t* windows,
                   const std::uint8_t* functionColumns, const std::uint8_t* darkColumns,
                   const std::uint8_t* codewords, int mask)
{
    const int size = matrix.Size();
    // The column bytes that windows reach, cleared: the windows write those
    // of every column but the vertical timing pattern's, and the rows are
    // read from all the columns of their words.
    ColumnBytes columns;
    std::fill_n(columns.data(), 4 * WindowsPerPair(size) * CellKernels::ColumnStride, 0);
    CodewordBitReader bits(codewords);
    ForEachColumnPair(size, [&](int c, int, int step) {
        windows = step < 0 ? PlaceColumnPair<Bits, true>(columns, c, size, windows, bits)
                           : PlaceColumnPair<Bits, false>(columns, c, size, windows, bits);
    });
    for (int k = 0; 8 * k < size; ++k) {
        std::uint8_t* row = columns.data() + k * CellKernels::ColumnStride;
        const std::uint8_t* pattern = kMaskColumnBytes[static_cast<std::size_t>(mask)][static_cast<std::size_t>(k % 3)].data();
        const std::uint8_t* function = functionColumns + k * CellKernels::ColumnStride;
        const std::uint8_t* dark = darkColumns + k * CellKernels::ColumnStride;
        for (int c = 0; c < size; c += 8)
            Store64(row + c, ((Load64(row + c) ^ Load64(pattern + c)) & ~Load64(function + c)) |
                                 Load64(dark + c));
    }
    CellKernels::ExpandColumns(CellKernels::Active(), columns.data(), size, matrix.Data(),
                               matrix.Stride());
}

} // namespace

void clsQRCode::PlaceData(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                          int ecLevel, int mask)
{
    if (mask < 0 || mask > 7) mask = 0;
    // 1. The codewords down and up the column pairs, masked, with the
    //    function patterns, and the cells past the symbol cleared.
    PlaceCodewords(matrix, codewords, version, mask);
    const int size = matrix.Size();
    const int stride = matrix.Stride();
    for (int row = 0; row < size; ++row)
        std::memset(&matrix.At(row, size), 0, static_cast<std::size_t>(stride - size));
    std::memset(&matrix.At(size, 0), 0, static_cast<std::size_t>(stride - size) * stride);
    // 2. Version and format information.
    WriteVersionInformation(matrix, version);
    WriteFormatInformation(matrix, ecLevel, mask);
}

const clsQRCode::PlacementTables& clsQRCode::TablesOf(ModuleMatrix& matrix, int version)
{
    PlacementTables& tables = placementTables_[static_cast<std::size_t>(version)];
    if (!tables.windows.empty()) return tables;
    // Read once from the version's template, made in the matrix itself.
    const int size = matrix.Size();
    std::fill_n(matrix.Data(), static_cast<std::size_t>(matrix.Stride()) * matrix.Stride(), 0);
    BuildFunctionPatterns(matrix, version);
    ForEachColumnPair(size, [&](int c, int, int step) {
        RecordColumnPair(matrix, c, step, tables.windows);
    });
    tables.functionColumns.assign(static_cast<std::size_t>(CellKernels::ColumnByteRows) *
                                      CellKernels::ColumnStride, 0);
    tables.darkColumns.assign(tables.functionColumns.size(), 0);
    for (int r = 0; r < size; ++r)
        for (int c = 0; c < size; ++c) {
            const auto at = static_cast<std::size_t>((r / 8) * CellKernels::ColumnStride + c);
            const auto bit = static_cast<std::uint8_t>(1 << (r % 8));
            if (matrix.At(r, c) != 0) tables.functionColumns[at] |= bit;
            if (matrix.At(r, c) == 1) tables.darkColumns[at] |= bit;
        }
    return tables;
}

void clsQRCode::PlaceCodewords(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                               int mask)
{
    const PlacementTables& tables = TablesOf(matrix, version);
#if defined(VEMORA_HAS_BMI2_KERNEL)
    if (BitKernels::Active() == BitKernels::Kernel::Bmi2) {
        PlaceAllPairs<Bmi2Bits>(matrix, tables.windows.data(), tables.functionColumns.data(),
                                tables.darkColumns.data(), codewords, mask);
        return;
    }
#endif
    PlaceAllPairs<PlainBits>(matrix, tables.windows.data(), tables.functionColumns.data(),
                             tables.darkColumns.data(), codewords, mask);
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

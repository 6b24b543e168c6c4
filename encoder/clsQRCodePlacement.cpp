// clsQRCode: data placement, masking, the merge with the function patterns,
// and format and version information (ISO/IEC 18004, 7.7 to 7.10).
#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstring>
#include <vector>

#include "CellTranspose.h"
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
// be followed by four zero bytes: the remainder modules (7.7.3) read up to
// seven bits past it, and Peek16 reads a whole 32-bit word.
class CodewordBitReader {
public:
    explicit CodewordBitReader(const std::uint8_t* codewords) : codewords_(codewords) {}
    // The next 16 bits, the first one in bit 15, without taking them.
    int Peek16() const
    {
        std::uint32_t window;
        std::memcpy(&window, codewords_ + (position_ >> 3), sizeof window);
        if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap32(window);
        return static_cast<int>((window << (position_ & 7)) >> 16);
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

// The placement path (7.7.3) is cut into chunks of eight rows of a column
// pair; a chunk's 16 modules in path order are the right module of its first
// row, the left one, the right one of the next row, and so on. A chunk's
// free modules are a 16-bit mask, bit 15 for the first module, and its
// codeword bits the same 16 bits with the function modules' bits left out.

// The two modules of one row (bit 1 right, bit 0 left) that are free, for
// each of the 256 ways eight bits can be spread over the free ones of a
// row pattern: kDepositStart[m] is where pattern m's entries begin, entry x
// the bits x (as many as m has) spread over m's bits, the first in the
// highest. The 3^4 ... tables of four rows, for the chunks that hold function
// modules: a byte of four rows' free bits (m) takes popcount(m) bits.
constexpr int kPopcount8(int m)
{
    int count = 0;
    for (; m; m &= m - 1) ++count;
    return count;
}

// For each 8-bit mask m, the table of its deposits: entry x (x below 2 to
// the popcount(m)) is x spread over the set bits of m, the lowest bit of x
// into the lowest set bit. Sum over m of 2^popcount(m) = 3^8 entries.
constexpr auto kDepositStart = [] {
    std::array<std::uint16_t, 257> start{};
    for (int m = 0; m < 256; ++m) start[m + 1] = static_cast<std::uint16_t>(start[m] + (1 << kPopcount8(m)));
    return start;
}();
constexpr auto kDeposit = [] {
    std::array<std::uint8_t, 6561> table{};
    for (int m = 0; m < 256; ++m)
        for (int x = 0; x < (1 << kPopcount8(m)); ++x) {
            int spread = 0, source = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (m >> bit & 1) spread |= ((x >> source++) & 1) << bit;
            table[kDepositStart[m] + x] = static_cast<std::uint8_t>(spread);
        }
    return table;
}();

// The low bits of source spread over the set bits of the 16-bit mask, lowest
// to lowest (what BMI2's PDEP does), by two lookups; lowCount is the number
// of set bits in the mask's low byte.
int Deposit16(int source, int mask, int lowCount)
{
    const int low = mask & 0xFF, high = mask >> 8;
    const int lowPart = kDeposit[kDepositStart[low] + (source & ((1 << lowCount) - 1))];
    const int highPart = kDeposit[kDepositStart[high] + (source >> lowCount)];
    return highPart << 8 | lowPart;
}

// A byte of a chunk's modules, four rows of right and left modules (the
// first row's right one in bit 7), as the four rows' cells (0 or 1) of the
// right column in the word's first four bytes and of the left column in its
// last four, each in memory order: for a chunk going down the first row's
// cell first, for one going up the first row's cell last.
template <bool Up>
constexpr auto kRowCells = [] {
    std::array<std::uint64_t, 256> table{};
    for (int bits = 0; bits < 256; ++bits) {
        std::array<std::uint8_t, 8> cells{};
        for (int t = 0; t < 4; ++t) {
            const int at = Up ? 3 - t : t;
            cells[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>((bits >> (7 - 2 * t)) & 1);
            cells[static_cast<std::size_t>(4 + at)] = static_cast<std::uint8_t>((bits >> (6 - 2 * t)) & 1);
        }
        table[static_cast<std::size_t>(bits)] = std::bit_cast<std::uint64_t>(cells);
    }
    return table;
}();

// The eight cells of the right column (first) and the left column of two
// kRowCells words, lower holding the four rows at the lower addresses.
struct ChunkCells {
    std::uint64_t right, left;
};
ChunkCells Columns(std::uint64_t lower, std::uint64_t upper)
{
    constexpr std::uint64_t firstHalf =
        std::endian::native == std::endian::little ? 0x00000000FFFFFFFFull : 0xFFFFFFFF00000000ull;
    if constexpr (std::endian::native == std::endian::little)
        return {(lower & firstHalf) | upper << 32, lower >> 32 | (upper & ~firstHalf)};
    else
        return {(lower & firstHalf) | upper >> 32, lower << 32 | (upper & ~firstHalf)};
}

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

// Chunks of a column pair: the last one holds the rows left over.
int ChunksPerPair(int size) { return (size + 7) / 8; }

// A chunk of the path: its free-module mask in bits 0..15, how many modules
// are free in bits 16..23, and how many of them in the mask's low byte above.
std::uint32_t ChunkEntry(int mask)
{
    const int lowCount = kPopcount8(mask & 0xFF);
    const int taken = kPopcount8(mask >> 8) + lowCount;
    return static_cast<std::uint32_t>(mask | taken << 16 | lowCount << 24);
}

// The chunks of one column pair (columns c + 1 and c) from startRow in steps
// of step, read from the template: a module is free where its cell is 0.
void RecordColumnPair(const ModuleMatrix& matrix, int c, int startRow, int step,
                      std::vector<std::uint32_t>& chunks)
{
    const int size = matrix.Size();
    for (int chunk = 0; chunk < ChunksPerPair(size); ++chunk) {
        int mask = 0;
        for (int t = 0; t < 8; ++t) {
            const int row = startRow + step * (8 * chunk + t);
            if (row < 0 || row >= size) continue;
            if (matrix.At(row, c + 1) == 0) mask |= 1 << (15 - 2 * t);
            if (matrix.At(row, c) == 0) mask |= 1 << (14 - 2 * t);
        }
        chunks.push_back(ChunkEntry(mask));
    }
}

// One column pair's chunks into the transposed grid: right and left are the
// grid's rows that hold the pair's columns c + 1 and c, rightMask and
// leftMask the mask pattern's cells along those columns, Up the direction
// of the path. Every chunk writes all its cells, a word per column: the
// function modules' cells take leftover bits, which the function patterns
// overwrite later. The last chunk of a pair reaches past the end of the
// column, so its cells are written one by one.
template <bool Up>
void PlaceColumnPair(std::uint8_t* right, std::uint8_t* left, const std::uint8_t* rightMask,
                     const std::uint8_t* leftMask, int size, const std::uint32_t* chunks,
                     CodewordBitReader& bits)
{
    constexpr int step = Up ? -1 : 1;
    const int count = ChunksPerPair(size);
    for (int chunk = 0; chunk < count; ++chunk) {
        const int mask = static_cast<int>(chunks[chunk] & 0xFFFF);
        const int taken = static_cast<int>(chunks[chunk] >> 16 & 0xFF);
        const int value = bits.Peek16();
        bits.Skip(taken);
        const int modules = mask == 0xFFFF ? value : Deposit16(value >> (16 - taken), mask, static_cast<int>(chunks[chunk] >> 24));
        const std::uint64_t first4 = kRowCells<Up>[static_cast<std::size_t>(modules >> 8)];
        const std::uint64_t next4 = kRowCells<Up>[static_cast<std::size_t>(modules & 0xFF)];
        const ChunkCells cells = Up ? Columns(next4, first4) : Columns(first4, next4);
        const int row = Up ? size - 1 - 8 * chunk : 8 * chunk;
        if (chunk + 1 < count) {
            const int first = Up ? row - 7 : row;
            Store64(right + first, cells.right ^ Load64(rightMask + first));
            Store64(left + first, cells.left ^ Load64(leftMask + first));
        } else {
            // The cells in memory order, the rows past the column's end
            // left out.
            const auto rightCells = std::bit_cast<std::array<std::uint8_t, 8>>(cells.right);
            const auto leftCells = std::bit_cast<std::array<std::uint8_t, 8>>(cells.left);
            for (int t = 0; t < size - 8 * chunk; ++t) {
                const int r = row + step * t;
                const std::size_t at = static_cast<std::size_t>(Up ? 7 - t : t);
                right[r] = static_cast<std::uint8_t>(rightCells[at] ^ rightMask[r]);
                left[r] = static_cast<std::uint8_t>(leftCells[at] ^ leftMask[r]);
            }
        }
    }
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

// The same patterns turned over the diagonal, for the transposed grid of
// the placement: row j of the table holds column j (mod 12) of the pattern.
constexpr auto kTransposedMaskPatterns = [] {
    std::array<std::array<std::array<std::uint8_t, kMaskColumns>, kMaskRows>, 8> patterns{};
    for (int mask = 0; mask < 8; ++mask)
        for (int j = 0; j < kMaskRows; ++j)
            for (int i = 0; i < kMaskColumns; ++i)
                patterns[mask][j][i] = MaskCondition(mask, i, j) ? 1 : 0;
    return patterns;
}();

// The cells of mask pattern mask (0..7) down column j.
const std::uint8_t* MaskColumn(int mask, int j)
{
    return kTransposedMaskPatterns[mask][j % kMaskRows].data();
}

} // namespace

void clsQRCode::PlaceData(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                          int ecLevel, int mask)
{
    if (mask < 0 || mask > 7) mask = 0;
    // 1. The masked codewords down and up the column pairs into the grid
    //    turned over its diagonal, then the grid turned back: every module
    //    outside the function patterns is final.
    PlaceCodewords(matrix, codewords, version, mask);
    const int size = matrix.Size();
    const int stride = matrix.Stride();
    CellTranspose::Transpose(CellTranspose::Fastest(), matrix.Data(), size, stride);
    // 2. The function patterns over the leftovers in their cells, and the
    //    cells past the symbol cleared.
    PlaceFunctionPatterns(matrix, version, 0);
    for (int row = 0; row < size; ++row)
        std::memset(&matrix.At(row, size), 0, static_cast<std::size_t>(stride - size));
    std::memset(&matrix.At(size, 0), 0, static_cast<std::size_t>(stride - size) * stride);
    // 3. Version and format information.
    WriteVersionInformation(matrix, version);
    WriteFormatInformation(matrix, ecLevel, mask);
}

const std::vector<std::uint32_t>& clsQRCode::PlacementRuns(ModuleMatrix& matrix, int version)
{
    std::vector<std::uint32_t>& chunks = placementRuns_[static_cast<std::size_t>(version)];
    if (chunks.empty()) {
        // Read once from the version's template, made in the matrix itself.
        std::fill_n(matrix.Data(), static_cast<std::size_t>(matrix.Stride()) * matrix.Stride(), 0);
        BuildFunctionPatterns(matrix, version);
        ForEachColumnPair(matrix.Size(), [&](int c, int startRow, int step) {
            RecordColumnPair(matrix, c, startRow, step, chunks);
        });
    }
    return chunks;
}

void clsQRCode::PlaceCodewords(ModuleMatrix& matrix, const std::uint8_t* codewords, int version,
                               int mask)
{
    const std::uint32_t* chunks = PlacementRuns(matrix, version).data();
    CodewordBitReader bits(codewords);
    const int size = matrix.Size();
    const int stride = matrix.Stride();
    ForEachColumnPair(size, [&](int c, int, int step) {
        // Column c of the symbol is row c of the transposed grid.
        std::uint8_t* left = matrix.Data() + static_cast<std::ptrdiff_t>(c) * stride;
        std::uint8_t* right = left + stride;
        const std::uint8_t* rightMask = MaskColumn(mask, c + 1);
        const std::uint8_t* leftMask = MaskColumn(mask, c);
        if (step < 0) PlaceColumnPair<true>(right, left, rightMask, leftMask, size, chunks, bits);
        else PlaceColumnPair<false>(right, left, rightMask, leftMask, size, chunks, bits);
        chunks += ChunksPerPair(size);
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

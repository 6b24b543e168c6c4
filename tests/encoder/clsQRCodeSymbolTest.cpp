#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ZxingReader.h"

namespace {

int CountCells(const ModuleMatrix& m, std::uint8_t value)
{
    int count = 0;
    for (int r = 0; r < m.Size(); ++r)
        for (int c = 0; c < m.Size(); ++c) count += m.At(r, c) == value;
    return count;
}

ModuleMatrix Template(const clsQRCode& qr, int version)
{
    ModuleMatrix m(qr.SymbolSize(version));
    qr.BuildFunctionPatterns(m, version);
    return m;
}

// Reads the codewords back out of a finished symbol the way a reader does:
// undo the mask on the encoding region and walk the placement path (7.7.3).
std::vector<int> ReadCodewords(const clsQRCode& qr, const ModuleMatrix& symbol, int version,
                               int mask)
{
    const ModuleMatrix tmpl = Template(qr, version);
    const int size = symbol.Size();
    std::vector<std::uint8_t> grid(static_cast<std::size_t>(size) * size, 0);
    qr.ApplyMask(grid, size, mask); // the mask pattern itself
    std::vector<int> bits;
    for (int right = size - 1, upward = 1; right >= 1; right -= 2, upward ^= 1) {
        if (right == 6) right = 5;
        for (int step = 0; step < size; ++step) {
            const int row = upward ? size - 1 - step : step;
            for (int c : {right, right - 1})
                if (tmpl.At(row, c) == 0)
                    bits.push_back(symbol.At(row, c) ^
                                   grid[static_cast<std::size_t>(row) * size + c]);
        }
    }
    std::vector<int> codewords;
    for (std::size_t i = 0; i + 8 <= bits.size() &&
                            codewords.size() < static_cast<std::size_t>(qr.TotalCodewords(version));
         i += 8) {
        int value = 0;
        for (int b = 0; b < 8; ++b) value = value * 2 + bits[i + b];
        codewords.push_back(value);
    }
    return codewords;
}

int ReadFormatWord(const ModuleMatrix& m)
{
    static const int firstCopy[15][2] = {{8, 0}, {8, 1}, {8, 2}, {8, 3}, {8, 4},
                                         {8, 5}, {8, 7}, {8, 8}, {7, 8}, {5, 8},
                                         {4, 8}, {3, 8}, {2, 8}, {1, 8}, {0, 8}};
    const int size = m.Size();
    int word = 0, second = 0;
    for (int i = 0; i < 15; ++i) {
        word = word * 2 + m.At(firstCopy[i][0], firstCopy[i][1]);
        second = second * 2 + (i < 7 ? m.At(size - 1 - i, 8) : m.At(8, size - 15 + i));
    }
    EXPECT_EQ(word, second) << "both copies carry the same word";
    return word;
}

TEST(clsQRCodeSymbolTest, FunctionPatternsLeaveExactlyTheDataModules)
{
    const clsQRCode qr;
    for (int v = 1; v <= 40; ++v) {
        const ModuleMatrix m = Template(qr, v);
        EXPECT_EQ(CountCells(m, 0), qr.RawDataModules(v)) << v;
        // The padding rows and columns stay 0.
        for (int k = m.Size(); k < m.Stride(); ++k)
            for (int j = 0; j < m.Stride(); ++j)
                ASSERT_TRUE(m.At(k, j) == 0 && m.At(j, k) == 0) << v;
    }
    for (int v : {0, 41, -1}) {
        ModuleMatrix m(21);
        qr.BuildFunctionPatterns(m, v);
        EXPECT_EQ(CountCells(m, 0), 21 * 21) << v;
    }
}

TEST(clsQRCodeSymbolTest, FinishedSymbolsAreLightAndDarkWithClearPadding)
{
    // The matrix is drawn as a bitmap of its whole stride: every cell of the
    // symbol 0 or 1, and the three padding rows and columns 0 under every
    // mask, which the merge works over a word at a time.
    clsQRCode qr;
    for (int v = 1; v <= 40; ++v)
        for (int mask = 0; mask < 8; ++mask) {
            const std::vector<std::uint8_t> message(
                static_cast<std::size_t>(qr.DataCodewords(v, 1) - 3), 0xA7);
            const auto m =
                qr.EncodeMatrix(message.data(), static_cast<int>(message.size()), v, 1, mask);
            ASSERT_TRUE(m) << v;
            EXPECT_EQ(CountCells(*m, 0) + CountCells(*m, 1), m->Size() * m->Size()) << v;
            for (int k = m->Size(); k < m->Stride(); ++k)
                for (int j = 0; j < m->Stride(); ++j)
                    ASSERT_TRUE(m->At(k, j) == 0 && m->At(j, k) == 0)
                        << "version " << v << ", mask " << mask << ", padding " << k << ", " << j;
        }
}

TEST(clsQRCodeSymbolTest, FunctionPatternDetails)
{
    const clsQRCode qr;
    const ModuleMatrix v1 = Template(qr, 1);
    for (int k = 8; k <= 12; ++k) {
        EXPECT_EQ(v1.At(6, k), k % 2 == 0 ? 1 : 2);
        EXPECT_EQ(v1.At(k, 6), k % 2 == 0 ? 1 : 2);
    }
    EXPECT_EQ(v1.At(13, 8), 1) << "dark module";
    EXPECT_EQ(v1.At(8, 8), 2);
    EXPECT_EQ(v1.At(3, 3), 1);
    EXPECT_EQ(v1.At(2, 2), 1) << "finder core";
    EXPECT_EQ(v1.At(1, 3), 2) << "finder light ring";
    EXPECT_EQ(v1.At(7, 13), 2) << "separator of the top-right finder";

    const ModuleMatrix v2 = Template(qr, 2);
    EXPECT_EQ(v2.At(18, 18), 1);
    EXPECT_EQ(v2.At(17, 18), 2);
    EXPECT_EQ(v2.At(16, 18), 1);

    const ModuleMatrix v7 = Template(qr, 7);
    for (auto [r, c] : {std::pair{6, 22}, {22, 6}, {22, 22}, {22, 38}, {38, 22}, {38, 38}}) {
        EXPECT_EQ(v7.At(r, c), 1) << r << "," << c;
        EXPECT_EQ(v7.At(r + 1, c), 2) << r << "," << c;
        EXPECT_EQ(v7.At(r + 2, c), 1) << r << "," << c;
    }
    EXPECT_EQ(v7.At(6, 8), 1);
    EXPECT_EQ(v7.At(8, 6), 1);
    for (int r = 34; r <= 36; ++r)
        for (int c = 0; c <= 5; ++c)
            EXPECT_TRUE(v7.At(r, c) == 2 && v7.At(c, r) == 2) << r << "," << c;
}

TEST(clsQRCodeSymbolTest, StandardExample01234567At1M)
{
    clsQRCode qr;
    const std::vector<std::uint8_t> data = Bytes("01234567");
    for (int mask = 0; mask < 8; ++mask) {
        const auto symbol = qr.EncodeMatrix(data.data(), 8, 1, 2, mask);
        ASSERT_TRUE(symbol);
        const std::vector<int> expected = {0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC,
                                           0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xA5, 0x24,
                                           0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55};
        EXPECT_EQ(ReadCodewords(qr, *symbol, 1, mask), expected) << mask;
    }
}

TEST(clsQRCodeSymbolTest, FirstCodewordBitsLandBottomRight)
{
    clsQRCode qr;
    const std::vector<std::uint8_t> data = Bytes("01234567");
    const auto symbol =
        qr.EncodeMatrix(data.data(), 8, 1, 2, 1); // mask 1: rows with even i inverted
    ASSERT_TRUE(symbol);
    const int cells[8][2] = {{20, 20}, {20, 19}, {19, 20}, {19, 19},
                             {18, 20}, {18, 19}, {17, 20}, {17, 19}};
    int first = 0;
    for (auto& cell : cells)
        first = first * 2 + (symbol->At(cell[0], cell[1]) ^ (cell[0] % 2 == 0 ? 1 : 0));
    EXPECT_EQ(first, 0x10);
}

TEST(clsQRCodeSymbolTest, Version5QBlockSplitAndInterleaving)
{
    // K = 62 in 4 blocks of 18 error correction codewords: blocks 0-1 carry 15
    // data codewords, blocks 2-3 carry 16.
    clsQRCode qr;
    std::vector<std::uint8_t> data(60);
    for (int i = 0; i < 60; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const auto symbol = qr.EncodeMatrix(data.data(), 60, 5, 3, 3);
    ASSERT_TRUE(symbol);
    const std::vector<int> codewords = ReadCodewords(qr, *symbol, 5, 3);
    ASSERT_EQ(codewords.size(), 134u);

    // The data codewords in stream order: 0100, the count 60 in 8 bits, the
    // bytes and the terminator make 496 bits, exactly K = 62 codewords.
    std::vector<int> bits;
    auto put = [&](int value, int width) {
        for (int w = width - 1; w >= 0; --w) bits.push_back((value >> w) & 1);
    };
    put(0b0100, 4);
    put(60, 8);
    for (int d : data) put(d, 8);
    put(0, 4);
    ASSERT_EQ(bits.size(), 62u * 8);
    std::vector<int> stream;
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        int value = 0;
        for (int k = 0; k < 8; ++k) value = value * 2 + bits[i + k];
        stream.push_back(value);
    }

    const int S = 2, B = 4, N = 16;
    int source = 0;
    for (int b = 0; b < B; ++b) {
        const int length = b < S ? N - 1 : N;
        for (int i = 0; i < length; ++i, ++source) {
            const int index = (i == N - 1) ? (N - 1) * B + (b - S) : i * B + b;
            ASSERT_EQ(codewords[index], stream[source]) << "block " << b << " codeword " << i;
        }
    }
    EXPECT_EQ((N - 1) * B + (2 - S), 60);
    EXPECT_EQ((N - 1) * B + (3 - S), 61);

    // Each block with its error correction codewords (from index 62) is a
    // codeword of the generator: its syndromes vanish.
    clsFiniteField f;
    f.InitField(256, 285, 2);
    for (int b = 0; b < B; ++b) {
        std::vector<int> block;
        const int length = b < S ? N - 1 : N;
        for (int i = 0; i < length; ++i)
            block.push_back(codewords[i == N - 1 ? (N - 1) * B + (b - S) : i * B + b]);
        for (int e = 0; e < 18; ++e) block.push_back(codewords[62 + e * B + b]);
        for (int root = 0; root < 18; ++root) {
            int sum = 0;
            for (int c : block) sum = f.Add(f.Multiply(sum, f.Exp(root)), c);
            EXPECT_EQ(sum, 0) << "block " << b << " root " << root;
        }
    }
}

TEST(clsQRCodeSymbolTest, FormatInformationWords)
{
    clsQRCode qr;
    struct Case {
        int level, mask, word;
    };
    for (const Case c : {Case{2, 0, 0x5412}, Case{2, 5, 0x40CE}, Case{1, 0, 0x77C4},
                         Case{3, 0, 0x355F}, Case{4, 0, 0x1689}, Case{2, -1, 0x5412},
                         Case{2, 8, 0x5412}, Case{0, 0, 0x5412}, Case{5, 0, 0x5412}}) {
        const auto symbol = qr.EncodeMatrix(nullptr, 0, 1, c.level, c.mask);
        ASSERT_TRUE(symbol);
        EXPECT_EQ(ReadFormatWord(*symbol), c.word) << c.level << "/" << c.mask;
        EXPECT_EQ(symbol->At(13, 8), 1) << "the dark module stays dark";
    }
}

TEST(clsQRCodeSymbolTest, VersionInformationWords)
{
    clsQRCode qr;
    for (auto [version, word] : {std::pair{7, 0x07C94}, {40, 0x28C69}}) {
        const auto symbol = qr.EncodeMatrix(nullptr, 0, version, 1, 0);
        ASSERT_TRUE(symbol);
        const int size = symbol->Size();
        for (int t = 0; t < 18; ++t) {
            const int bit = (word >> t) & 1;
            EXPECT_EQ(symbol->At(size - 11 + t % 3, t / 3), bit) << version << " bit " << t;
            EXPECT_EQ(symbol->At(t / 3, size - 11 + t % 3), bit) << version << " bit " << t;
        }
    }
    const auto v7 = qr.EncodeMatrix(nullptr, 0, 7, 1, 0);
    EXPECT_EQ(v7->At(36, 0), 1);
    EXPECT_EQ(v7->At(34, 0), 0);
    EXPECT_EQ(v7->At(0, 35), 0);
}

TEST(clsQRCodeSymbolTest, EmptyMessageIsVersion1WithPadding)
{
    clsQRCode qr;
    for (int level = 1; level <= 4; ++level) {
        const auto symbol = qr.EncodeMatrix(nullptr, 0, 0, level, 0);
        ASSERT_TRUE(symbol);
        ASSERT_EQ(symbol->Size(), 21);
        const std::vector<int> codewords = ReadCodewords(qr, *symbol, 1, 0);
        EXPECT_EQ(codewords[0], 0x00);
        for (int i = 1; i < qr.DataCodewords(1, level); ++i)
            EXPECT_EQ(codewords[i], i % 2 ? 0xEC : 0x11) << i;
        const auto decoded = ReadSymbol(*symbol);
        ASSERT_TRUE(decoded);
        EXPECT_TRUE(decoded->bytes.empty());
    }
}

TEST(clsQRCodeSymbolTest, BadArgumentsGiveTheDocumentedResult)
{
    clsQRCode qr;
    const std::vector<std::uint8_t> text = Bytes("VEMORA");
    EXPECT_FALSE(qr.EncodeMatrix(text.data(), 6, -1, 2, 0));
    EXPECT_FALSE(qr.EncodeMatrix(text.data(), 6, -4, 2, 0));
    for (int version : {0, 41, 1000}) {
        const auto symbol = qr.EncodeMatrix(text.data(), 6, version, 2, 0);
        ASSERT_TRUE(symbol) << version;
        EXPECT_EQ(symbol->Size(), 21) << "automatic choice";
    }
    // A negative length encodes the empty message.
    const auto negative = qr.EncodeMatrix(text.data(), -3, 0, 2, 0);
    const auto empty = qr.EncodeMatrix(nullptr, 0, 0, 2, 0);
    ASSERT_TRUE(negative && empty);
    EXPECT_EQ(*negative, *empty);
    // Null data with a positive length are a fault, not the empty message.
    for (int version : {0, 1, 40}) {
        EXPECT_FALSE(qr.EncodeMatrix(nullptr, 6, version, 2, 0)) << version;
        EXPECT_FALSE(qr.EncodeMatrix(nullptr, 1, version, 1, 7)) << version;
    }
    EXPECT_TRUE(qr.EncodeMatrix(nullptr, -1, 0, 2, 0));
    // Same input, same symbol.
    EXPECT_EQ(*qr.EncodeMatrix(text.data(), 6, 3, 4, 6), *qr.EncodeMatrix(text.data(), 6, 3, 4, 6));
}

TEST(clsQRCodeSymbolTest, CapacityLimits)
{
    clsQRCode qr;
    // Byte capacity of version 40 per level (Table 7): the limit fits, one more does not.
    const int capacity[] = {2953, 2331, 1663, 1273};
    std::vector<std::uint8_t> data(3000, 'a');
    for (int level = 1; level <= 4; ++level) {
        const int n = capacity[level - 1];
        EXPECT_TRUE(qr.EncodeMatrix(data.data(), n, 0, level, 0)) << level;
        EXPECT_TRUE(qr.EncodeMatrix(data.data(), n, 40, level, 0)) << level;
        EXPECT_FALSE(qr.EncodeMatrix(data.data(), n + 1, 0, level, 0)) << level;
        EXPECT_FALSE(qr.EncodeMatrix(data.data(), n + 1, 40, level, 0)) << level;
    }
    // A given version is never enlarged.
    EXPECT_FALSE(qr.EncodeMatrix(data.data(), 18, 1, 1, 0));
    EXPECT_TRUE(qr.EncodeMatrix(data.data(), 17, 1, 1, 0));
    // 7089 digits fill version 40-L; 7090 fit nowhere.
    const std::vector<std::uint8_t> digits(7090, '7');
    EXPECT_TRUE(qr.EncodeMatrix(digits.data(), 7089, 0, 1, 0));
    EXPECT_FALSE(qr.EncodeMatrix(digits.data(), 7090, 0, 1, 0));
    // A stream far longer than the bit array, at a given and an automatic version.
    std::vector<std::uint8_t> big(100000, 0xA7);
    EXPECT_FALSE(qr.EncodeMatrix(big.data(), 100000, 40, 1, 0));
    EXPECT_FALSE(qr.EncodeMatrix(big.data(), 100000, 0, 1, 0));
    EXPECT_FALSE(qr.EncodeMatrix(big.data(), 5000, 40, 1, 0)) << "40,000 stream bits, only counted";
}

TEST(clsQRCodeSymbolTest, DroppedTerminatorStillChoosesTheSmallerVersion)
{
    // 25 alphanumeric characters at 1-L take 4 + 9 + 12 * 11 + 6 = 151 of the
    // 152 data bits: the terminator is cut to one bit, and version 1 still holds it.
    clsQRCode qr;
    const std::vector<std::uint8_t> text = Bytes("ABCDEFGHIJKLMNOPQRSTUVWXY");
    const auto symbol = qr.EncodeMatrix(text.data(), 25, 0, 1, 2);
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->Size(), 21);
    const auto decoded = ReadSymbol(*symbol);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bytes, text);
}

} // namespace

// Masking and the format and version information (ISO/IEC 18004, 7.8 to
// 7.10), checked against the standard's formulas and codes as written out in
// QrReference.h, not against the encoder's own tables.

#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "QrReference.h"
#include "ZxingReader.h"

namespace {

TEST(clsQRCodeMaskTest, EveryPatternInvertsTheCellsOfTable10AtEverySize)
{
    const clsQRCode qr;
    std::mt19937 random(10);
    for (int size = 21; size <= 177; ++size) {
        std::vector<std::uint8_t> before(static_cast<std::size_t>(size) * size);
        for (auto& cell : before) cell = static_cast<std::uint8_t>(random() & 1);
        for (int mask = 0; mask < 8; ++mask) {
            std::vector<std::uint8_t> grid = before;
            ASSERT_EQ(qr.ApplyMask(grid, size, mask), mask) << "size " << size;
            for (int i = 0; i < size; ++i)
                for (int j = 0; j < size; ++j) {
                    const std::size_t k = static_cast<std::size_t>(i) * size + j;
                    ASSERT_EQ(grid[k], before[k] ^ (qrref::MaskInverts(mask, i, j) ? 1 : 0))
                        << "mask " << mask << ", size " << size << ", row " << i << ", column "
                        << j;
                }
        }
    }
}

TEST(clsQRCodeMaskTest, MasksOutsideTheRangeApplyPattern0)
{
    const clsQRCode qr;
    for (int mask : {-1, 8, 1000}) {
        std::vector<std::uint8_t> grid(25 * 25, 0);
        EXPECT_EQ(qr.ApplyMask(grid, 25, mask), 0) << mask;
        for (int i = 0; i < 25; ++i)
            for (int j = 0; j < 25; ++j)
                ASSERT_EQ(grid[i * 25 + j], qrref::MaskInverts(0, i, j) ? 1 : 0) << mask;
    }
}

TEST(clsQRCodeMaskTest, FormatWordsOfAllLevelsAndMasksInRealSymbols)
{
    // The reference code against the standard's worked example (Annex C: M,
    // mask 5) before it judges the encoder.
    ASSERT_EQ(qrref::FormatWord(2, 5), 0b100000011001110);
    clsQRCode qr;
    const std::vector<std::uint8_t> message = Bytes("FORMAT 7.9");
    std::vector<int> words;
    for (int level = 1; level <= 4; ++level)
        for (int mask = 0; mask < 8; ++mask) {
            const int expected = qrref::FormatWord(level, mask);
            words.push_back(expected);
            for (int version : {1, 7, 40}) {
                const auto symbol = qr.EncodeMatrix(
                    message.data(), static_cast<int>(message.size()), version, level, mask);
                ASSERT_TRUE(symbol);
                EXPECT_EQ(qrref::ReadFormatWord(*symbol, true), expected)
                    << "level " << level << ", mask " << mask << ", version " << version;
                EXPECT_EQ(qrref::ReadFormatWord(*symbol, false), expected)
                    << "second copy, level " << level << ", mask " << mask << ", version "
                    << version;
                EXPECT_EQ(symbol->At(symbol->Size() - 8, 8), 1) << "the dark module";
            }
        }
    // The 32 words are a BCH code of minimum distance 7: no reader confuses them.
    for (std::size_t a = 0; a < words.size(); ++a)
        for (std::size_t b = a + 1; b < words.size(); ++b)
            EXPECT_GE(std::popcount(static_cast<unsigned>(words[a] ^ words[b])), 7);
}

TEST(clsQRCodeMaskTest, VersionWordsOf7To40InRealSymbols)
{
    // Annex D's example, version 7.
    ASSERT_EQ(qrref::VersionWord(7), 0b000111110010010100);
    clsQRCode qr;
    const std::vector<std::uint8_t> message = Bytes("version information 7.10");
    for (int version = 7; version <= 40; ++version) {
        const int level = 1 + version % 4;
        const auto symbol = qr.EncodeMatrix(message.data(), static_cast<int>(message.size()),
                                            version, level, version % 8);
        ASSERT_TRUE(symbol);
        const int size = symbol->Size();
        // Bit t at (size - 11 + t mod 3, t div 3) below the top-right finder's
        // neighbour and transposed beside the bottom-left one, unmasked.
        int lowerLeft = 0, upperRight = 0;
        for (int t = 17; t >= 0; --t) {
            lowerLeft = lowerLeft << 1 | symbol->At(size - 11 + t % 3, t / 3);
            upperRight = upperRight << 1 | symbol->At(t / 3, size - 11 + t % 3);
        }
        EXPECT_EQ(lowerLeft, qrref::VersionWord(version)) << version;
        EXPECT_EQ(upperRight, qrref::VersionWord(version)) << version;
    }
}

} // namespace

#include "clsQRCode.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The alignment centre coordinates by the rule: 6 and every size - 7 - k * spacing >= 18.
std::vector<int> AlignmentCoordinates(const clsQRCode& qr, int version)
{
    std::vector<int> coords;
    for (int c = qr.SymbolSize(version) - 7; c >= 18; c -= qr.AlignmentSpacing(version))
        coords.insert(coords.begin(), c);
    coords.insert(coords.begin(), 6);
    return coords;
}

TEST(clsQRCodeGeometryTest, SymbolSizes)
{
    const clsQRCode qr;
    EXPECT_EQ(qr.SymbolSize(0), 0);
    EXPECT_EQ(qr.SymbolSize(41), 0);
    EXPECT_EQ(qr.SymbolSize(-5), 0);
    EXPECT_EQ(qr.SymbolSize(-1), 11);
    EXPECT_EQ(qr.SymbolSize(-4), 17);
    EXPECT_EQ(qr.SymbolSize(1), 21);
    EXPECT_EQ(qr.SymbolSize(40), 177);
}

TEST(clsQRCodeGeometryTest, DataModulesAndCodewordsOfTable1)
{
    const clsQRCode qr;
    EXPECT_EQ(qr.RawDataModules(1), 208);
    EXPECT_EQ(qr.RawDataModules(2), 359);
    EXPECT_EQ(qr.RawDataModules(6), 1383);
    EXPECT_EQ(qr.RawDataModules(7), 1568);
    EXPECT_EQ(qr.RawDataModules(40), 29648);
    EXPECT_EQ(qr.RawDataModules(-4), 192);
    EXPECT_EQ(qr.RawDataModules(0), 0);
    EXPECT_EQ(qr.RawDataModules(41), 0);
    EXPECT_EQ(qr.TotalCodewords(-1), 5);
    EXPECT_EQ(qr.TotalCodewords(-3), 17);
    EXPECT_EQ(qr.TotalCodewords(14), 581);
    EXPECT_EQ(qr.TotalCodewords(40), 3706);
    const int table1[] = {26,   44,   70,   100,  134,  172,  196,  242,  292,  346,
                          404,  466,  532,  581,  655,  733,  815,  901,  991,  1085,
                          1156, 1258, 1364, 1474, 1588, 1706, 1828, 1921, 2051, 2185,
                          2323, 2465, 2611, 2761, 2876, 3034, 3196, 3362, 3532, 3706};
    for (int v = 1; v <= 40; ++v) EXPECT_EQ(qr.TotalCodewords(v), table1[v - 1]) << v;
}

TEST(clsQRCodeGeometryTest, DataCapacitiesOfTable7)
{
    // Data codewords per version and level: Table 9's totals less the error
    // correction codewords; spot values and every level of versions 1, 10 and 40.
    const clsQRCode qr;
    const int v1[] = {19, 16, 13, 9}, v10[] = {274, 216, 154, 122},
              v40[] = {2956, 2334, 1666, 1276};
    for (int l = 1; l <= 4; ++l) {
        EXPECT_EQ(qr.DataCodewords(1, l), v1[l - 1]);
        EXPECT_EQ(qr.DataCodewords(10, l), v10[l - 1]);
        EXPECT_EQ(qr.DataCodewords(40, l), v40[l - 1]);
    }
    EXPECT_EQ(qr.DataCodewords(5, 3), 62);
    EXPECT_EQ(qr.BlockCount(5, 1), 1);
    EXPECT_EQ(qr.BlockCount(5, 2), 2);
    EXPECT_EQ(qr.BlockCount(15, 4), 18);
    EXPECT_EQ(qr.BlockCount(40, 2), 49);
    EXPECT_EQ(qr.EcCodewordsPerBlock(6, 1), 18);
    EXPECT_EQ(qr.EcCodewordsPerBlock(40, 2), 28);
    // Every block fits the 256-entry block buffer, and no data codeword count is
    // negative or above the total.
    for (int v = 1; v <= 40; ++v)
        for (int l = 1; l <= 4; ++l) {
            const int k = qr.DataCodewords(v, l), b = qr.BlockCount(v, l);
            ASSERT_GT(k, 0);
            ASSERT_LE((k + b - 1) / b + qr.EcCodewordsPerBlock(v, l), 153) << v << "-" << l;
        }
}

TEST(clsQRCodeGeometryTest, AlignmentPatternsOfAnnexE)
{
    const clsQRCode qr;
    EXPECT_EQ(qr.AlignmentCoordCount(-2), 1);
    EXPECT_EQ(qr.AlignmentCoordCount(1), 1);
    EXPECT_EQ(qr.AlignmentCoordCount(41), 7);
    EXPECT_EQ(qr.AlignmentPatternCount(1), 0);
    EXPECT_EQ(qr.AlignmentPatternCount(7), 6);
    EXPECT_EQ(qr.AlignmentPatternCount(40), 46);
    EXPECT_EQ(AlignmentCoordinates(qr, 2), (std::vector<int>{6, 18}));
    EXPECT_EQ(AlignmentCoordinates(qr, 7), (std::vector<int>{6, 22, 38}));
    EXPECT_EQ(AlignmentCoordinates(qr, 15), (std::vector<int>{6, 26, 48, 70}));
    EXPECT_EQ(AlignmentCoordinates(qr, 32), (std::vector<int>{6, 34, 60, 86, 112, 138}));
    EXPECT_EQ(AlignmentCoordinates(qr, 36), (std::vector<int>{6, 24, 50, 76, 102, 128, 154}));
    EXPECT_EQ(AlignmentCoordinates(qr, 40), (std::vector<int>{6, 30, 58, 86, 114, 142, 170}));
    for (int v = 2; v <= 40; ++v)
        EXPECT_EQ(static_cast<int>(AlignmentCoordinates(qr, v).size()), qr.AlignmentCoordCount(v))
            << v;
}

TEST(clsQRCodeGeometryTest, BchRemaindersOfFormatAndVersionInformation)
{
    const clsQRCode qr;
    EXPECT_EQ(qr.BchRemainder(7, 0x1F25, 0x1000, 12) | (7 << 12), 0x07C94);
    EXPECT_EQ(qr.BchRemainder(40, 0x1F25, 0x1000, 12) | (40 << 12), 0x28C69);
    EXPECT_EQ(qr.BchRemainder(5, 0x537, 0x400, 10), 0xDC);
    EXPECT_EQ(qr.BchRemainder(0, 0x537, 0x400, 10), 0);
    EXPECT_EQ(qr.BchRemainder(5, 0x537, 0x400, 0), 5);
}

} // namespace

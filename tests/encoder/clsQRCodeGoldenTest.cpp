// Golden matrices in the manner of ZXing-cpp's writer tests: finished
// symbols written out cell by cell ('#' dark, '.' light), so that any change
// to placement, masking, format or version information shows as a picture.
// Each art is checked on its own as well: ZXing-cpp must read it back to the
// exact message, so the art is a readable symbol and not merely what the
// encoder made once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ZxingReader.h"
#include "clsQRCode.h"

namespace {

struct GoldenSymbol {
    const char* name;
    std::string_view message;
    int version;
    int level; // 1 = L .. 4 = H
    int mask;
    bool kanji; // Shift JIS kanji segments allowed
    std::string_view art;
};

const GoldenSymbol GoldenSymbols[] = {
    // ISO/IEC 18004 Annex I: "01234567" as 1-M with mask pattern 010, cell
    // for cell the symbol the standard prints.
    {"annex I, 1-M", "01234567", 1, 2, 2, false, R"(
#######..#.##.#######
#.....#..####.#.....#
#.###.#.#.....#.###.#
#.###.#.##....#.###.#
#.###.#.#.###.#.###.#
#.....#.#...#.#.....#
#######.#.#.#.#######
........#..##........
#.#####..#..#.#####..
...#.#.##.#.#..#.##..
..#...##.#.#.#..#####
....#....#.....####..
...######..#.#..#....
........#.#####..##..
#######..##.#.##.....
#.....#.#.#####...#.#
#.###.#.#...#..#.##..
#.###.#.##..#..#.....
#.###.#.#.##.#..#.#..
#.....#........##.##.
#######.####.#..#.#..)"},
    // Version 7, the first with version information: the two 6 x 3 blocks
    // beside the upper-right and lower-left finder patterns.
    {"version 7-M", "Version 7 carries its version information in two 6 x 3 blocks", 7, 2, 6, false,
     R"(
#######.##.###.#.#..###..##.#.##.#..#.#######
#.....#.#.#.##..##.....##.#....###.#..#.....#
#.###.#.#.#.##.##..#..###.##..##.#.#..#.###.#
#.###.#..##.##.###.....##...#.##...##.#.###.#
#.###.#.#..#.#..##########.##.#..####.#.###.#
#.....#..#.#####.##.#...#..##..###....#.....#
#######.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#.#######
............##...##.#...#.####..##..#........
#..######.###.##..#.######..#..#....##..#.###
..#.....####.##..###.#..######.##.##.#####...
.##...#.#.##...##...###..#.####.####...###.##
#..###.#####...###.###.#...####.##...####.#.#
##.#.######.#.#.####.##..####.###..#..####..#
###..#...#.###.#.......##.##..##.#.##.##..#.#
..#.#.#.#.#..##.......#.#.#####.##.#########.
#..#...#.####...##..#.####..#..#..#...#.#.###
#####.#.#..#####..###..##...#.###....##.#.#.#
...##.....#.#.###.....##.##...#.#.###........
##.#.###..##..#..###.#.####..#.##.###.#..#...
#.####..######.####.##.#.######.###.#...##.#.
...######.#..#.#..#.#####..##.##.#..#####.#.#
.#.##...#..#.##..####...#.#.######..#...###..
#####.#.#..#..#....##.#.####....##..#.#.#.###
##.##...#.###....#.##...#....##...#.#...#.##.
.#..#######.##..#..######...#.#..########..#.
###.##....##....#.#..##.###...##.#.#.#.#.##.#
###...#...#.#...#######..######.##.#..##.....
##.#.#....#...#..##.#..##...##...#..#.#.#####
...##.#.###..#..#..#...#..#.##.#####.#.###.#.
#.####.#.###.##...#.....#......#..#######....
##.#..#.#..#.##..#.#.##.##...###.#.##.#..#...
..##.#...#.###....####..####.##..###.#...#.#.
#....##..#.#..##..##.####..####..#..##.##.#.#
.......##.#.#####.#..##.#.########...###..#.#
....#.#.......#....##.######....##.######.#.#
.####..#.###.#..#.###....##...#...#.####.####
#..##.#......#......######.##.....#######.###
........#.#.#.....###...#..#####....#...#.##.
#######.######..#.#.#.#.##......#.###.#.#....
#.....#.#.##.###..###...#.#..#.##.###...###.#
#.###.#.###...##.#..#####.##.#..#.#.#####...#
#.###.#.#....#.#.....#.#.#.#...#.##.#####..##
#.###.#....##.#...#..##....#######.###.##..##
#.....#....#.#.#...#...#.###..##...##..#.####
#######.#.##.######.....##.####..##.##.###...)"},
    // Two kanji, the standard's own examples (7.4.6), in Shift JIS: one
    // kanji segment of 13 bits a character.
    {"kanji 1-H", "\x93\x5F\xE4\xAA", 1, 4, 3, true, R"(
#######..####.#######
#.....#...#...#.....#
#.###.#..#.##.#.###.#
#.###.#..####.#.###.#
#.###.#.###...#.###.#
#.....#..#.#..#.....#
#######.#.#.#.#######
........#............
..##..###....##.#....
##..#..##.#.#..#.#.##
.##.#.####..########.
..####.#.#...#....##.
...######.....#.#..##
........###.####.##..
#######.##..##..#.#..
#.....#..#..#.#.....#
#.###.#..##..#...#..#
#.###.#.####.#..#..#.
#.###.#.#...###.#.#..
#.....#..#..###.##..#
#######..#.##.##...##)"},
};

// The size x size symbol as rows of '#' and '.', each row after a line break.
std::string ArtOf(const ModuleMatrix& matrix)
{
    std::string art;
    for (int row = 0; row < matrix.Size(); ++row) {
        art += '\n';
        for (int column = 0; column < matrix.Size(); ++column)
            art += matrix.IsDark(row, column) ? '#' : '.';
    }
    return art;
}

// The art as a finished matrix (square, '#' dark), read by nothing of ours.
ModuleMatrix MatrixOf(std::string_view art)
{
    std::vector<std::string_view> rows;
    for (std::size_t start = 1; start < art.size();) {
        const std::size_t end = std::min(art.find('\n', start), art.size());
        rows.push_back(art.substr(start, end - start));
        start = end + 1;
    }
    ModuleMatrix matrix(static_cast<int>(rows.size()));
    for (int row = 0; row < matrix.Size(); ++row) {
        EXPECT_EQ(rows[row].size(), rows.size()) << "row " << row << " of a square art";
        for (int column = 0; column < matrix.Size() && column < int(rows[row].size()); ++column)
            matrix.At(row, column) = rows[row][column] == '#' ? 1 : 0;
    }
    return matrix;
}

TEST(clsQRCodeGoldenTest, SymbolsMatchTheirArtCellByCell)
{
    clsQRCode qr;
    for (const GoldenSymbol& golden : GoldenSymbols) {
        SCOPED_TRACE(golden.name);
        qr.SetKanjiAllowed(golden.kanji);
        const auto symbol = qr.EncodeMatrix(
            reinterpret_cast<const std::uint8_t*>(golden.message.data()),
            static_cast<int>(golden.message.size()), golden.version, golden.level, golden.mask);
        ASSERT_TRUE(symbol);
        EXPECT_EQ(ArtOf(*symbol), golden.art);
    }
}

TEST(clsQRCodeGoldenTest, EveryArtReadsBackToItsMessage)
{
    for (const GoldenSymbol& golden : GoldenSymbols) {
        SCOPED_TRACE(golden.name);
        const ModuleMatrix matrix = MatrixOf(golden.art);
        EXPECT_EQ(matrix.Size(), 17 + 4 * golden.version);
        const auto decoded = ReadSymbol(matrix, 3, 4, golden.kanji ? "Shift_JIS" : "");
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->bytes, Bytes(std::string(golden.message)));
        EXPECT_EQ(decoded->ecLevel, std::string(1, "LMQH"[golden.level - 1]));
    }
}

} // namespace

// The five strips read back pixel by pixel: sizes, key colour where the
// layout leaves a strip transparent, and the colour values of the look.
#include "SkinBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

#include "SkinTestSupport.h"

namespace {

using skintest::Hex;
using skintest::RgbAt;

constexpr std::uint32_t Key = 0xFF00FF;

std::vector<std::uint32_t> Parse(const char* hexList)
{
    std::vector<std::uint32_t> values;
    std::istringstream in(hexList);
    std::string word;
    while (in >> word) values.push_back(static_cast<std::uint32_t>(std::stoul(word, nullptr, 16)));
    return values;
}

std::vector<std::uint32_t> Row(HDC dc, int y, int x0, int count)
{
    std::vector<std::uint32_t> row;
    for (int x = x0; x < x0 + count; ++x) row.push_back(RgbAt(dc, x, y));
    return row;
}

std::vector<std::uint32_t> Column(HDC dc, int x, int y0, int count)
{
    std::vector<std::uint32_t> column;
    for (int y = y0; y < y0 + count; ++y) column.push_back(RgbAt(dc, x, y));
    return column;
}

// Sum of the channels: the darkest pixel of a region has the smallest.
int Brightness(std::uint32_t c) { return (c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF); }

std::uint32_t DarkestIn(HDC dc, int x0, int y0, int width, int height)
{
    std::uint32_t darkest = 0xFFFFFF;
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x) {
            const std::uint32_t c = RgbAt(dc, x, y);
            if (c != Key && Brightness(c) < Brightness(darkest)) darkest = c;
        }
    return darkest;
}

bool Contains(HDC dc, int x0, int y0, int width, int height, std::uint32_t colour)
{
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x)
            if (RgbAt(dc, x, y) == colour) return true;
    return false;
}

class SkinBitmaps : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(PaintSkinBitmaps()); }
    void TearDown() override { ReleaseSkinBitmaps(); }
};

TEST_F(SkinBitmaps, StripsHaveTheirSizes)
{
    struct Expected {
        HDC dc;
        LONG width, height;
    };
    const Expected strips[] = {{ButtonFaceStrip(), 7, 84},
                               {ComboButtonStrip(), 15, 18},
                               {GlyphStrip(), 18, 24},
                               {OptionCircleStrip(), 13, 52},
                               {HeaderFaceStrip(), 9, 20}};
    for (const Expected& e : strips) {
        ASSERT_NE(e.dc, nullptr);
        const SIZE size = skintest::SelectedBitmapSize(e.dc);
        EXPECT_EQ(size.cx, e.width);
        EXPECT_EQ(size.cy, e.height);
    }
}

TEST_F(SkinBitmaps, ReleaseDeletesStripsAndTheirBitmaps)
{
    HDC dc = ButtonFaceStrip();
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    ReleaseSkinBitmaps();
    EXPECT_EQ(ButtonFaceStrip(), nullptr);
    EXPECT_FALSE(SkinBitmapsPainted());
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    ReleaseSkinBitmaps(); // twice is harmless
}

TEST_F(SkinBitmaps, ButtonFacesCornerRowsAndCentreColumns)
{
    HDC dc = ButtonFaceStrip();
    EXPECT_EQ(Row(dc, 0, 0, 7), Parse("BFE1F9 6BB3E3 2C97D8 1B8FD5 2C97D8 6BB3E3 BFE1F9"));
    EXPECT_EQ(Row(dc, 20, 0, 7), Parse("CAE7FB 60AEE1 2A96D8 1B8FD5 2A96D8 60AEE1 CAE7FB"));
    const char* centre[4] = {
        "1B8FD5 FFFFFF FFFFFF F1F8FC EEF6FB EAF4FB E6F2FB E2F0FA DEEEFA DAECF9 D7EAF9 CCE2F5 "
        "C8DFF3 C3DCF1 BED8EF B8D5ED B4D2EB B1D0EA B0CFE9 CCE0F1 1B8FD5",
        "1B8FD5 4CC3FB C6EDFF D2EEFC DFF2FC E4F2FC E2F2FC E0F1FB DDF0FB DBEEFB D9EDFB CBE4F7 "
        "C7E1F5 C2DEF3 BCDBF2 B7D7F1 AFD5EF A7D4F2 99D2F3 3FBBF8 1B8FD5",
        "1B8FD5 39BCFB 86CCF3 9FD4F3 ABD7F3 B3D9F3 B7DBF3 BCDDF5 BFE1F6 C3E2F8 C5E4F9 CFEBFB "
        "D1ECFB D4EDFC D6EEFC D6EFFC D1EEFC C3EAFD AEE4FD 40C1FD 1B8FD5",
        "87C3E8 F8FBFD F8FBFD F2F7FB F0F7FB EEF6FB ECF5FB EAF4FB E8F3FB E6F2FA E5F1FA DFEDF8 "
        "DDEBF7 DBEAF6 D8E7F5 D5E6F4 D3E4F3 D2E3F3 D1E3F2 DFEBF6 87C3E8"};
    const std::uint32_t border[4] = {0x1B8FD5, 0x1B8FD5, 0x1B8FD5, 0x87C3E8};
    for (int face = 0; face < 4; ++face) {
        SCOPED_TRACE(face);
        EXPECT_EQ(Column(dc, 3, 21 * face, 21), Parse(centre[face]));
        // One-pixel border down both sides between the softened corners.
        for (int y = 3; y <= 17; ++y) {
            EXPECT_EQ(RgbAt(dc, 0, 21 * face + y), border[face]);
            EXPECT_EQ(RgbAt(dc, 6, 21 * face + y), border[face]);
        }
        // Corners of the same shape: lighter than the border, symmetric.
        for (int y : {0, 20}) {
            const std::uint32_t corner = RgbAt(dc, 0, 21 * face + y);
            EXPECT_GT(Brightness(corner), Brightness(border[face]));
            EXPECT_EQ(RgbAt(dc, 6, 21 * face + y), corner);
        }
    }
    // The hot face's bright inner edge in columns 1 and 5.
    for (int x : {1, 5}) {
        EXPECT_TRUE(Contains(dc, x, 21, 1, 21, 0x33B6F6)) << x;
        EXPECT_TRUE(Contains(dc, x, 21, 1, 21, 0x4CC3FB)) << x;
    }
}

TEST_F(SkinBitmaps, ComboButtonBackgroundsAndArrows)
{
    HDC dc = ComboButtonStrip();
    for (int y = 0; y < 18; ++y) {
        EXPECT_EQ(RgbAt(dc, 0, y), 0x4EA0D1u) << y;
        EXPECT_EQ(RgbAt(dc, 4, y), 0x4EA0D1u) << y;
    }
    EXPECT_EQ(RgbAt(dc, 2, 0), 0xE8F9FFu);
    EXPECT_EQ(RgbAt(dc, 2, 1), 0xC1EEFDu);
    EXPECT_EQ(RgbAt(dc, 2, 16), 0x65B8E3u);
    EXPECT_EQ(RgbAt(dc, 2, 17), 0xC0E1F3u);
    EXPECT_EQ(RgbAt(dc, 6, 0), 0xBEE1F3u);
    EXPECT_EQ(RgbAt(dc, 6, 1), 0x61B5E2u);
    EXPECT_EQ(RgbAt(dc, 6, 16), 0xBCEBFCu);
    EXPECT_EQ(RgbAt(dc, 6, 17), 0xE6F8FEu);
    // Downward triangles 7, 5, 3, 1 wide, centred; magenta around them.
    const int widths[4] = {7, 5, 3, 1};
    for (int arrow = 0; arrow < 2; ++arrow) {
        const std::uint32_t ink = arrow == 0 ? 0x19555F : 0x84A5AC;
        for (int row = 0; row < 4; ++row) {
            const int first = 8 + (7 - widths[row]) / 2;
            for (int x = 8; x < 15; ++x) {
                const bool inside = x >= first && x < first + widths[row];
                EXPECT_EQ(RgbAt(dc, x, 4 * arrow + row), inside ? ink : Key)
                    << "arrow " << arrow << " x " << x << " row " << row;
            }
        }
    }
    for (int y = 8; y < 18; ++y)
        for (int x = 8; x < 15; ++x) EXPECT_EQ(RgbAt(dc, x, y), Key) << x << "," << y;
}

TEST_F(SkinBitmaps, GlyphsAndTheirTransparentSurroundings)
{
    HDC dc = GlyphStrip();
    // Check marks: the tick's top tip and bottom point, pale when disabled.
    EXPECT_TRUE(Contains(dc, 0, 0, 9, 1, 0x54B71D));
    EXPECT_TRUE(Contains(dc, 0, 7, 9, 1, 0x359102));
    EXPECT_TRUE(Contains(dc, 9, 0, 9, 8, 0xA8DA8C));
    EXPECT_TRUE(Contains(dc, 9, 0, 9, 8, 0x98C77E));
    EXPECT_EQ(RgbAt(dc, 0, 0), Key); // a tick, not a block
    // Indeterminate square: solid 7 x 7 from #51B41B to #399606.
    for (int x = 1; x < 8; ++x) {
        EXPECT_EQ(RgbAt(dc, x, 9), 0x51B41Bu);
        EXPECT_EQ(RgbAt(dc, x, 15), 0x399606u);
        for (int y = 9; y < 16; ++y) {
            EXPECT_NE(RgbAt(dc, x, y), Key);
            EXPECT_NE(RgbAt(dc, x + 9, y), Key);
        }
    }
    // Option dot: round, centre #47A812, rim next to the corners #87CC60.
    EXPECT_EQ(RgbAt(dc, 4, 20), 0x47A812u);
    const POINT rim[] = {{1, 0}, {3, 0}, {0, 1}, {4, 1}, {0, 3}, {4, 3}, {1, 4}, {3, 4}};
    for (POINT p : rim) EXPECT_EQ(RgbAt(dc, 2 + p.x, 18 + p.y), 0x87CC60u) << p.x << "," << p.y;
    for (int dot = 0; dot < 2; ++dot) {
        const int x0 = dot == 0 ? 2 : 11;
        for (POINT corner : {POINT{0, 0}, POINT{4, 0}, POINT{0, 4}, POINT{4, 4}})
            EXPECT_EQ(RgbAt(dc, x0 + corner.x, 18 + corner.y), Key);
        EXPECT_NE(RgbAt(dc, x0 + 2, 20), Key);
    }
    // Everything outside the six glyph boxes is magenta.
    const RECT boxes[] = {{0, 0, 9, 8},    {9, 0, 18, 8},  {1, 9, 8, 16},
                          {10, 9, 17, 16}, {2, 18, 7, 23}, {11, 18, 16, 23}};
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 18; ++x) {
            const POINT p{x, y};
            const bool inBox = std::any_of(std::begin(boxes), std::end(boxes),
                                           [&](const RECT& r) { return PtInRect(&r, p); });
            if (!inBox) {
                EXPECT_EQ(RgbAt(dc, x, y), Key) << x << "," << y;
            }
        }
}

TEST_F(SkinBitmaps, OptionCirclesRingsAndInsides)
{
    HDC dc = OptionCircleStrip();
    EXPECT_EQ(Row(dc, 6, 0, 13), Parse("83A6D2 F3F7FA FDFEFE FFFFFF FFFFFF FFFFFF FFFFFF FFFFFF "
                                       "FFFFFF FFFFFF FDFEFE F3F7FA 83A6D2"));
    const std::uint32_t darkest[4] = {0x83A6D2, 0x83A6D2, 0x6489C1, 0xC1D2E8};
    for (int circle = 0; circle < 4; ++circle) {
        SCOPED_TRACE(circle);
        const int y0 = 13 * circle;
        EXPECT_EQ(Hex(DarkestIn(dc, 0, y0, 13, 13)), Hex(darkest[circle]));
        for (POINT corner : {POINT{0, 0}, POINT{12, 0}, POINT{0, 12}, POINT{12, 12}})
            EXPECT_EQ(RgbAt(dc, corner.x, y0 + corner.y), Key);
        // Round: the ring touches the middle of every side.
        for (POINT side : {POINT{6, 0}, POINT{0, 6}, POINT{12, 6}, POINT{6, 12}})
            EXPECT_NE(RgbAt(dc, side.x, y0 + side.y), Key);
    }
    EXPECT_EQ(RgbAt(dc, 6, 6), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(dc, 6, 39 + 6), 0xFFFFFFu);
    EXPECT_TRUE(Contains(dc, 1, 13, 11, 13, 0xC3EAF8));
    EXPECT_TRUE(Contains(dc, 1, 13, 11, 13, 0xE1F5FD));
    EXPECT_TRUE(Contains(dc, 1, 26, 11, 13, 0xADE1F5));
    EXPECT_TRUE(Contains(dc, 1, 26, 11, 13, 0xD5F1FD));
    // The check-box fills taken from the hot and pressed circles hold no key.
    for (int y0 : {17, 30})
        for (int y = y0; y < y0 + 5; ++y)
            for (int x = 1; x <= 11; ++x) EXPECT_NE(RgbAt(dc, x, y), Key) << x << "," << y;
}

TEST_F(SkinBitmaps, HeaderFaces)
{
    HDC dc = HeaderFaceStrip();
    for (int x = 0; x < 9; ++x) EXPECT_EQ(RgbAt(dc, x, 19), 0xC0DAF2u) << x;
    // Normal: light gradient, separator darkest in the middle.
    EXPECT_EQ(RgbAt(dc, 0, 0), 0xEAF5FEu);
    EXPECT_EQ(RgbAt(dc, 0, 18), 0xD3E5F6u);
    EXPECT_EQ(Hex(DarkestIn(dc, 2, 0, 1, 19)), "7AB0D9");
    EXPECT_LT(Brightness(RgbAt(dc, 2, 9)), Brightness(RgbAt(dc, 2, 0)));
    EXPECT_LT(Brightness(RgbAt(dc, 2, 9)), Brightness(RgbAt(dc, 2, 18)));
    // Hot.
    EXPECT_EQ(RgbAt(dc, 4, 0), 0xD3EEFEu);
    EXPECT_EQ(RgbAt(dc, 4, 18), 0xA8DDFCu);
    EXPECT_EQ(RgbAt(dc, 3, 9), 0x5EC2FAu);
    EXPECT_EQ(Hex(DarkestIn(dc, 5, 0, 1, 19)), "4BA2DB");
    // Pressed.
    EXPECT_EQ(RgbAt(dc, 7, 0), 0x97D7FBu);
    EXPECT_EQ(RgbAt(dc, 7, 1), 0x9FDCFFu);
    EXPECT_EQ(RgbAt(dc, 7, 18), 0xC8F2FFu);
    EXPECT_EQ(RgbAt(dc, 6, 9), 0x5EC2FAu);
    EXPECT_LT(Brightness(RgbAt(dc, 8, 9)), Brightness(RgbAt(dc, 7, 9)));
}

} // namespace

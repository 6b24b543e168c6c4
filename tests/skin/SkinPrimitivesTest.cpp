// Drawing primitives and window utilities, checked on memory DCs and real
// windows under Wine.
#include "SkinPrimitives.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SkinProps.h"
#include "SkinTestSupport.h"
#include "SkinTypes.h"

namespace {

using skintest::RgbAt;

constexpr COLORREF Magenta = RGB(255, 0, 255);

void Fill(HDC dc, int x, int y, int width, int height, COLORREF colour)
{
    FillRectColor(dc, x, y, width, height, colour);
}

// A 9 x 9 source: a distinct colour per pixel, magenta in every corner
// pixel and in the middle, so corners, edges and centre are all keyed.
ScopedBitmapDC KeyedSource()
{
    ScopedBitmapDC source = CreateMemoryDC(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) SetPixel(source.get(), x, y, RGB(20 * x, 20 * y, 100));
    for (POINT p : {POINT{0, 0}, POINT{8, 0}, POINT{0, 8}, POINT{8, 8}, POINT{1, 1}, POINT{4, 4},
                    POINT{4, 0}, POINT{0, 4}})
        SetPixel(source.get(), p.x, p.y, Magenta);
    return source;
}

TEST(CreateMemoryDC, HoldsABitmapOfTheAskedSize)
{
    ScopedBitmapDC dc = CreateMemoryDC(37, 11);
    ASSERT_TRUE(dc);
    const SIZE size = skintest::SelectedBitmapSize(dc.get());
    EXPECT_EQ(size.cx, 37);
    EXPECT_EQ(size.cy, 11);
    HDC handle = dc.get();
    HBITMAP bitmap = dc.bitmap();
    dc.reset();
    EXPECT_EQ(GetObjectType(handle), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(StretchNineGrid, CornersKeepTheirSizeEdgesAndCentreStretch)
{
    ScopedBitmapDC source = CreateMemoryDC(9, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) SetPixel(source.get(), x, y, RGB(20 * x, 20 * y, 100));
    ScopedBitmapDC dest = CreateMemoryDC(40, 30);
    NineGridCopy copy{dest.get(), 0, 0, 40, 30, source.get(), 0, 0, 9, 9, 2, 2, 2, 2, {}};
    ASSERT_NE(StretchNineGrid(copy), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            EXPECT_EQ(RgbAt(dest.get(), x, y), RgbAt(source.get(), x, y));
            EXPECT_EQ(RgbAt(dest.get(), 38 + x, y), RgbAt(source.get(), 7 + x, y));
            EXPECT_EQ(RgbAt(dest.get(), x, 28 + y), RgbAt(source.get(), x, 7 + y));
            EXPECT_EQ(RgbAt(dest.get(), 38 + x, 28 + y), RgbAt(source.get(), 7 + x, 7 + y));
        }
    // Edges: the left border keeps its columns and stretches down; the top
    // border keeps its rows and stretches across.
    for (int y = 2; y < 28; ++y) {
        EXPECT_EQ(RgbAt(dest.get(), 0, y) >> 16, 0u);
        EXPECT_EQ(RgbAt(dest.get(), 39, y) >> 16, 160u);
    }
    for (int x = 2; x < 38; ++x) {
        EXPECT_EQ((RgbAt(dest.get(), x, 0) >> 8) & 0xFF, 0u);
        EXPECT_EQ((RgbAt(dest.get(), x, 29) >> 8) & 0xFF, 160u);
    }
    // Centre: its first and last pixels come from the source centre's.
    EXPECT_EQ(RgbAt(dest.get(), 2, 2), RgbAt(source.get(), 2, 2));
    EXPECT_EQ(RgbAt(dest.get(), 37, 27), RgbAt(source.get(), 6, 6));
}

TEST(StretchNineGrid, KeyShowsTheDestinationEverywhereCornersIncluded)
{
    ScopedBitmapDC source = KeyedSource();
    ScopedBitmapDC dest = CreateMemoryDC(9, 9);
    Fill(dest.get(), 0, 0, 9, 9, RGB(1, 2, 3));
    // Same size, so every source pixel lands on its own place.
    NineGridCopy copy{dest.get(), 0, 0, 9, 9, source.get(), 0, 0, 9, 9, 3, 3, 3, 3, KeyColor};
    ASSERT_NE(StretchNineGrid(copy), 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const std::uint32_t src = RgbAt(source.get(), x, y);
            const std::uint32_t expected = src == 0xFF00FF ? 0x010203 : src;
            EXPECT_EQ(RgbAt(dest.get(), x, y), expected) << x << "," << y;
        }
}

TEST(StretchNineGrid, KeyedStretchLeavesCornerKeysTransparent)
{
    ScopedBitmapDC source = KeyedSource();
    ScopedBitmapDC dest = CreateMemoryDC(50, 50);
    Fill(dest.get(), 0, 0, 50, 50, RGB(7, 8, 9));
    NineGridCopy copy{dest.get(), 5, 5, 30, 20, source.get(), 0, 0, 9, 9, 3, 3, 3, 3, KeyColor};
    ASSERT_NE(StretchNineGrid(copy), 0);
    // Corner key pixels (0,0), (1,1) and the opposite corners, unscaled.
    for (POINT p :
         {POINT{5, 5}, POINT{6, 6}, POINT{5 + 29, 5}, POINT{5, 5 + 19}, POINT{5 + 29, 5 + 19}})
        EXPECT_EQ(RgbAt(dest.get(), p.x, p.y), 0x070809u) << p.x << "," << p.y;
    EXPECT_EQ(RgbAt(dest.get(), 5 + 1, 5), RgbAt(source.get(), 1, 0));
    // Outside the destination rectangle nothing changed.
    EXPECT_EQ(RgbAt(dest.get(), 4, 4), 0x070809u);
    EXPECT_EQ(RgbAt(dest.get(), 35, 25), 0x070809u);
}

TEST(StretchNineGrid, ZeroSizesDrawNothing)
{
    ScopedBitmapDC source = KeyedSource();
    ScopedBitmapDC dest = CreateMemoryDC(10, 10);
    Fill(dest.get(), 0, 0, 10, 10, RGB(9, 9, 9));
    NineGridCopy copy{dest.get(), 0, 0, 0, 10, source.get(), 0, 0, 9, 9, 1, 1, 1, 1, {}};
    EXPECT_EQ(StretchNineGrid(copy), 0);
    copy.width = 10;
    copy.sourceHeight = 0;
    EXPECT_EQ(StretchNineGrid(copy), 0);
    EXPECT_EQ(RgbAt(dest.get(), 5, 5), 0x090909u);
}

TEST(StretchNineGrid, NoBordersStretchesTheWholeSource)
{
    ScopedBitmapDC source = CreateMemoryDC(2, 2);
    SetPixel(source.get(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.get(), 1, 0, RGB(0, 255, 0));
    SetPixel(source.get(), 0, 1, RGB(0, 0, 255));
    SetPixel(source.get(), 1, 1, RGB(255, 255, 255));
    ScopedBitmapDC dest = CreateMemoryDC(8, 8);
    NineGridCopy copy{dest.get(), 0, 0, 8, 8, source.get(), 0, 0, 2, 2, 0, 0, 0, 0, {}};
    ASSERT_NE(StretchNineGrid(copy), 0);
    EXPECT_EQ(RgbAt(dest.get(), 1, 1), 0xFF0000u);
    EXPECT_EQ(RgbAt(dest.get(), 6, 1), 0x00FF00u);
    EXPECT_EQ(RgbAt(dest.get(), 1, 6), 0x0000FFu);
    EXPECT_EQ(RgbAt(dest.get(), 6, 6), 0xFFFFFFu);
}

TEST(TransparentBlit, CopiesAllButKeyPixelsAndLeavesNoObjectsSelected)
{
    ScopedBitmapDC source = KeyedSource();
    ScopedBitmapDC dest = CreateMemoryDC(20, 20);
    Fill(dest.get(), 0, 0, 20, 20, RGB(50, 60, 70));
    ASSERT_TRUE(TransparentBlit(dest.get(), 3, 4, 9, 9, source.get(), 0, 0, KeyColor));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const std::uint32_t src = RgbAt(source.get(), x, y);
            EXPECT_EQ(RgbAt(dest.get(), 3 + x, 4 + y), src == 0xFF00FF ? 0x323C46 : src);
        }
    EXPECT_EQ(RgbAt(dest.get(), 2, 4), 0x323C46u);
    EXPECT_EQ(RgbAt(dest.get(), 12, 13), 0x323C46u);
    // A source rectangle not at the origin, and a key that is not magenta.
    Fill(dest.get(), 0, 0, 20, 20, RGB(50, 60, 70));
    const COLORREF key = GetPixel(source.get(), 5, 5);
    ASSERT_TRUE(TransparentBlit(dest.get(), 0, 0, 4, 4, source.get(), 5, 5, key));
    EXPECT_EQ(RgbAt(dest.get(), 0, 0), 0x323C46u);
    EXPECT_EQ(RgbAt(dest.get(), 1, 0), RgbAt(source.get(), 6, 5));
}

TEST(FillAndFrame, FillCoversTheRectangleFrameOnlyItsEdge)
{
    ScopedBitmapDC dc = CreateMemoryDC(12, 12);
    Fill(dc.get(), 0, 0, 12, 12, RGB(255, 255, 255));
    EXPECT_NE(FrameRectColor(dc.get(), 2, 2, 8, 6, FrameColor), 0);
    EXPECT_EQ(RgbAt(dc.get(), 2, 2), 0x54A5D5u);
    EXPECT_EQ(RgbAt(dc.get(), 9, 7), 0x54A5D5u);
    EXPECT_EQ(RgbAt(dc.get(), 5, 4), 0xFFFFFFu);
    EXPECT_EQ(RgbAt(dc.get(), 10, 8), 0xFFFFFFu);
    EXPECT_NE(FillRectColor(dc.get(), 3, 3, 6, 4, ProgressColor), 0);
    EXPECT_EQ(RgbAt(dc.get(), 3, 3), 0x4CD6F6u);
    EXPECT_EQ(RgbAt(dc.get(), 8, 6), 0x4CD6F6u);
    EXPECT_EQ(RgbAt(dc.get(), 9, 7), 0x54A5D5u);
}

TEST(DrawTextInRect, DrawsWideTextCentredAndReturnsItsHeight)
{
    ScopedBitmapDC dc = CreateMemoryDC(120, 40);
    Fill(dc.get(), 0, 0, 120, 40, RGB(255, 255, 255));
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), RGB(0, 0, 0));
    const int height = DrawTextInRect(dc.get(), L"\u521B\u5EFA OK", 0, 0, 120, 40, CaptionFormat);
    EXPECT_GT(height, 0);
    int inkLeft = 120, inkRight = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (RgbAt(dc.get(), x, y) != 0xFFFFFF) {
                inkLeft = std::min(inkLeft, x);
                inkRight = std::max(inkRight, x);
            }
    ASSERT_GE(inkRight, 0) << "nothing drawn";
    // Centred: the margins left and right differ by a few pixels at most.
    EXPECT_LE(std::abs(inkLeft - (119 - inkRight)), 3);
}

TEST(MouseWords, SignExtendedHalves)
{
    EXPECT_EQ(LoWordSigned(0xFFFF), -1);
    EXPECT_EQ(HiWordSigned(static_cast<LPARAM>(0xFFFF0000u)), -1);
    EXPECT_EQ(LoWordSigned(MAKELPARAM(-20, 7)), -20);
    EXPECT_EQ(HiWordSigned(MAKELPARAM(-20, 7)), 7);
    EXPECT_EQ(LoWordSigned(MAKELPARAM(32767, -32768)), 32767);
    EXPECT_EQ(HiWordSigned(MAKELPARAM(32767, -32768)), -32768);
}

TEST(ApiExists, FindsExportsAndReleasesWhatItLoaded)
{
    EXPECT_TRUE(ApiExists("TrackMouseEvent", "User32"));
    EXPECT_FALSE(ApiExists("NoSuchEntryPoint", "User32"));
    EXPECT_FALSE(ApiExists("TrackMouseEvent", "no-such-library-here"));
    ASSERT_EQ(GetModuleHandleA("cabinet.dll"), nullptr);
    EXPECT_TRUE(ApiExists("FCICreate", "cabinet.dll"));
    EXPECT_EQ(GetModuleHandleA("cabinet.dll"), nullptr);
}

// A top-level window, top_, to create children in and set properties on.
class WindowUtilities : public skintest::TopWindowTest {};

// Every class the skin knows by name, written as the programs that make them
// write them, and the kind each must get: a row dropped or mistyped in the
// skin's table turns its windows into plain ones.
struct KnownClass {
    const char* name;
    SkinKind kind;
};
constexpr KnownClass KnownClasses[] = {
    {"#32770", SkinKind::Container},
    {"ThunderFormDC", SkinKind::Container},
    {"ThunderRT6FormDC", SkinKind::Container},
    {"Form", SkinKind::Container},
    {"ThunderCommandButton", SkinKind::PushButton},
    {"ThunderRT6CommandButton", SkinKind::PushButton},
    {"Button", SkinKind::PushButton},
    {"ThunderComboBox", SkinKind::ComboBox},
    {"ThunderRT6ComboBox", SkinKind::ComboBox},
    {"Combo", SkinKind::ComboBox},
    {"ComboBox", SkinKind::ComboBox},
    {"ThunderDriveListBox", SkinKind::DriveList},
    {"ThunderRT6DriveListBox", SkinKind::DriveList},
    {"ThunderCheckBox", SkinKind::CheckBox},
    {"ThunderRT6CheckBox", SkinKind::CheckBox},
    {"ThunderOptionButton", SkinKind::OptionButton},
    {"ThunderRT6OptionButton", SkinKind::OptionButton},
    {"ProgressBar20WndClass", SkinKind::ProgressBar},
    {"ProgressBarWndClass", SkinKind::ProgressBar},
    {"MSVB_Lib_Header", SkinKind::Header},
    {"SysHeader32", SkinKind::Header},
    {"DataListWndClass", SkinKind::List},
    {"DBListWndClass", SkinKind::List},
    {"ComboLBox", SkinKind::List},
    {"ApexGridOleDB32", SkinKind::Grid},
};

TEST_F(WindowUtilities, EveryKnownClassNameHasItsKindInAnyCase)
{
    LoadLibraryW(L"comctl32.dll"); // registers SysHeader32 and the other common controls
    for (const KnownClass& known : KnownClasses) {
        SCOPED_TRACE(known.name);
        std::string lower = known.name;
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        EXPECT_EQ(KindOfClassName(lower.c_str()), known.kind);
        // A window of the class, spelt as its program spells it. The system
        // classes exist already; the others are registered here.
        WNDCLASSEXA info{};
        info.cbSize = sizeof info;
        if (!GetClassInfoExA(nullptr, known.name, &info))
            skintest::EnsureClass(std::wstring(known.name, known.name + lower.size()).c_str());
        HWND window = CreateWindowExA(0, known.name, "", WS_CHILD, 0, 0, 10, 10, top_, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(ClassKind(window), known.kind);
        DestroyWindow(window);
    }
}

TEST_F(WindowUtilities, CaptionIsWide)
{
    HWND button =
        skintest::CreateChild(top_, L"Button", L"\u521B\u5EFA \u00E9\u20AC", 0, 0, 0, 60, 20);
    EXPECT_EQ(WindowCaption(button), L"\u521B\u5EFA \u00E9\u20AC");
    SetWindowTextW(button, L"");
    EXPECT_EQ(WindowCaption(button), L"");
    EXPECT_EQ(WindowCaption(nullptr), L"");
}

TEST_F(WindowUtilities, BoundsAndBorderThickness)
{
    HWND plain = skintest::CreateChild(top_, L"Static", L"", 0, 10, 20, 50, 30);
    HWND edged = skintest::CreateChild(top_, L"Static", L"", 0, 10, 60, 50, 30, WS_EX_CLIENTEDGE);
    WindowBounds b;
    ASSERT_TRUE(GetWindowBounds(edged, b));
    EXPECT_EQ(b.Width, 50);
    EXPECT_EQ(b.Height, 30);
    EXPECT_EQ(b.Right - b.Left, b.Width);
    EXPECT_EQ(b.Bottom - b.Top, b.Height);
    int x = -1, y = -1;
    EXPECT_EQ(BorderThickness(plain, x, y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    BorderThickness(edged, x, y);
    EXPECT_EQ(x, GetSystemMetrics(SM_CXEDGE));
    EXPECT_EQ(y, GetSystemMetrics(SM_CYEDGE));
}

TEST_F(WindowUtilities, FadeTimerStartsOnceAndStops)
{
    HWND button = skintest::CreateChild(top_, L"Button", L"x", 0, 0, 0, 60, 20);
    EXPECT_EQ(StartFadeTimer(button), FadeTimerId);
    EXPECT_EQ(GetSkinProp(button, SkinProp::TimerId), 1);
    EXPECT_EQ(StartFadeTimer(button), 0u); // the running timer is kept
    EXPECT_EQ(GetSkinProp(button, SkinProp::TimerId), 1);
    StopFadeTimer(button);
    EXPECT_EQ(GetSkinProp(button, SkinProp::TimerId), 0);
    EXPECT_FALSE(KillTimer(button, FadeTimerId)) << "timer still running";
    StopFadeTimer(button); // nothing to stop
    EXPECT_EQ(StartFadeTimer(button), FadeTimerId);
    StopFadeTimer(button);
}

} // namespace

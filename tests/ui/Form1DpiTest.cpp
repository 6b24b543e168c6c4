// The main window at the display scale of its Wine prefix. CTest runs these
// tests once per scale (LogPixels 96, 120, 144 and 192, each in a prefix of
// its own): every design value at 96 DPI scaled by DPI / 96, the fonts at the
// scaled height, the symbol sharp and read back by ZXing-cpp from the screen
// and from the saved file, and a screenshot per scale (Form1-dpi<N>.png). And
// WM_DPICHANGED, which Wine never sends by itself, re-lays the window out.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "FormDriver.h"
#include "PrefixDpi.h"

namespace {

// The window after its first showing at 96 DPI: the design places, with
// Text1 as Form_Resize lays it out and the lists' closed fields.
struct DesignPlace {
    int id;
    int left;
    int top;
    int width;
    int height;
};
constexpr std::array<DesignPlace, 11> DesignPlaces{{
    {Form1::Command1Id, 8, 8, 73, 25},
    {Form1::Cmb1Id + 0, 88, 8, 73, 21},
    {Form1::Cmb1Id + 1, 168, 8, 73, 21},
    {Form1::Cmb1Id + 2, 88, 40, 73, 21},
    {Form1::Text1Id, 248, 8, 250, 54},
    {Form1::Cmb1Id + 3, 168, 40, 73, 21},
    {Form1::Command2Id, 8, 36, 73, 25},
    {Form1::Pic2Id, 96, 88, 329, 329},
    {Form1::Label1Id, 0, 448, 505, 33},
    {Form1::Label2Id, 0, 480, 505, 17},
    {Form1::Image1Id, 136, 560, 113, 97},
}};

// A design length at dpi, rounded to the nearest pixel.
int Scaled(int designValue, UINT dpi)
{
    return static_cast<int>(designValue * static_cast<double>(dpi) / 96.0 + 0.5);
}

// A point size as the (negative) character height of a font at dpi.
int FontHeightAt(double points, UINT dpi) { return -static_cast<int>(points * dpi / 72.0 + 0.5); }

int FontHeightOf(HWND control)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    if (!handle || !GetObjectW(handle, sizeof font, &font)) return 0;
    return font.lfHeight;
}

RECT ClientPlace(HWND form, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Every pixel pure black or pure white: a nearest-neighbour enlargement keeps
// module edges sharp, any smoothing would leave greys.
int GreyPixels(const std::vector<DWORD>& pixels)
{
    int grey = 0;
    for (const DWORD pixel : pixels)
        if ((pixel & 0xFFFFFF) != 0 && (pixel & 0xFFFFFF) != 0xFFFFFF) ++grey;
    return grey;
}

class Form1Dpi : public FormTest {
protected:
    std::string StartText() const { return Narrow(L"Olvane软件：" + Form1::WebSite + L"\r\n"); }

    // Every control at its design place scaled to dpi, Text1 by the resize
    // rule (256 design pixels narrower than the client area), and the fonts.
    void ExpectLaidOutAt(UINT dpi)
    {
        RECT client{};
        GetClientRect(Form(), &client);
        for (const DesignPlace& place : DesignPlaces) {
            const RECT rect = ClientPlace(Form(), Item(place.id));
            const int width = place.id == Form1::Text1Id ? client.right - Scaled(256, dpi)
                                                         : Scaled(place.width, dpi);
            EXPECT_EQ(rect.left, Scaled(place.left, dpi)) << "control " << place.id;
            EXPECT_EQ(rect.top, Scaled(place.top, dpi)) << "control " << place.id;
            // Image1 takes the size of the picture it holds.
            if (place.id == Form1::Image1Id) continue;
            EXPECT_EQ(rect.right - rect.left, width) << "control " << place.id;
            EXPECT_EQ(rect.bottom - rect.top, Scaled(place.height, dpi)) << "control " << place.id;
        }
        for (const int id : {int(Form1::Command1Id), int(Form1::Command2Id), int(Form1::Text1Id),
                             int(Form1::Cmb1Id), int(Form1::Cmb1Id + 3)})
            EXPECT_EQ(FontHeightOf(Item(id)), FontHeightAt(8.25, dpi)) << "control " << id;
        EXPECT_EQ(FontHeightOf(Item(Form1::Label1Id)), FontHeightAt(18, dpi));
        EXPECT_EQ(FontHeightOf(Item(Form1::Label2Id)), FontHeightAt(9.75, dpi));
    }

    // Pic2's image as the screen shows it.
    ScopedBitmap Pic2OnScreen(std::vector<DWORD>* pixels)
    {
        RedrawWindow(Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump();
        RECT area{};
        GetWindowRect(Item(Form1::Pic2Id), &area);
        const int width = area.right - area.left, height = area.bottom - area.top;
        void* bits = nullptr;
        ScopedBitmap image = NewTopDownDib(width, height, &bits);
        if (!image) return image;
        {
            ScopedGetDC screen(nullptr);
            ScopedMemDC dc(screen.get());
            ScopedSelectObject selected(dc.get(), image.get());
            BitBlt(dc.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
            GdiFlush();
        }
        const auto* first = static_cast<const DWORD*>(bits);
        pixels->assign(first, first + static_cast<std::size_t>(width) * height);
        return image;
    }
};

TEST_F(Form1Dpi, WindowControlsAndFontsAreTheDesignScaledToTheDpi)
{
    const UINT dpi = PrefixDpi();
    ASSERT_EQ(GetDpiForSystem(), dpi) << "the Wine prefix is not at the scale of this run";
    EXPECT_EQ(form_->Dpi(), dpi);
    RECT client{};
    GetClientRect(Form(), &client);
    EXPECT_EQ(client.right, Scaled(Form1::ClientWidth, dpi));
    EXPECT_EQ(client.bottom, Scaled(Form1::ClientHeight, dpi));
    ExpectLaidOutAt(dpi);
}

TEST_F(Form1Dpi, SymbolIsSharpAndReadsBackFromTheScreenAndTheSavedFile)
{
    const UINT dpi = PrefixDpi();
    // Wholly on the screen, in front, for the screen to be read.
    SetWindowPos(Form(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    SetForegroundWindow(Form());
    ASSERT_TRUE(Create());

    std::vector<DWORD> shown;
    ScopedBitmap onScreen = Pic2OnScreen(&shown);
    ASSERT_TRUE(onScreen);
    EXPECT_EQ(shown.size(), static_cast<std::size_t>(Scaled(329, dpi)) * Scaled(329, dpi));
    EXPECT_EQ(GreyPixels(shown), 0);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(onScreen.get(), StartText(), &decoded)) << decoded;

    RECT window{};
    GetWindowRect(Form(), &window);
    EXPECT_FALSE(SaveScreen(window, std::string(VEMORA_UI_SCREENSHOT_DIR) + "/Form1-dpi" +
                                        std::to_string(dpi) + ".png")
                     .empty());

    const SeenBox box = ExpectBox([&] { SendMessageW(Item(Form1::Command2Id), BM_CLICK, 0, 0); });
    EXPECT_EQ(box.icon, SeenBox::Icon::Information) << Narrow(box.text);
    const std::vector<std::wstring> files = SavedFiles();
    ASSERT_EQ(files.size(), 1u);
    ScopedBitmap saved = LoadPng(SaveFolder() + L"\\" + files[0]);
    ASSERT_TRUE(saved);
    int width = 0, height = 0;
    EXPECT_EQ(GreyPixels(BitmapPixels(saved.get(), &width, &height)), 0);
    EXPECT_EQ(width, Scaled(329, dpi));
    EXPECT_EQ(height, Scaled(329, dpi));
    EXPECT_TRUE(DecodesTo(saved.get(), StartText(), &decoded)) << decoded;
}

TEST_F(Form1Dpi, DpiChangedLaysTheWindowOutAgainAndRedrawsTheSymbolSharp)
{
    ASSERT_TRUE(Create());
    // To a scale this run is not at; the suggestion keeps the top left corner.
    const UINT newDpi = PrefixDpi() == 144 ? 96 : 144;
    RECT suggested{0, 0, Scaled(Form1::ClientWidth, newDpi), Scaled(Form1::ClientHeight, newDpi)};
    ASSERT_TRUE(AdjustWindowRectExForDpi(&suggested, GetWindowLongW(Form(), GWL_STYLE), FALSE,
                                         GetWindowLongW(Form(), GWL_EXSTYLE), newDpi));
    RECT before{};
    GetWindowRect(Form(), &before);
    OffsetRect(&suggested, before.left - suggested.left, before.top - suggested.top);
    monitorDpi_ = newDpi;
    SendMessageW(Form(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                 reinterpret_cast<LPARAM>(&suggested));
    Pump();

    EXPECT_EQ(form_->Dpi(), newDpi);
    RECT after{};
    GetWindowRect(Form(), &after);
    EXPECT_TRUE(EqualRect(&after, &suggested))
        << "window (" << after.left << ", " << after.top << ")-(" << after.right << ", "
        << after.bottom << "), suggested (" << suggested.left << ", " << suggested.top << ")-("
        << suggested.right << ", " << suggested.bottom << ")";
    ExpectLaidOutAt(newDpi);

    ScopedBitmap symbol = Pic2Image();
    int width = 0, height = 0;
    EXPECT_EQ(GreyPixels(BitmapPixels(symbol.get(), &width, &height)), 0);
    EXPECT_EQ(width, Scaled(329, newDpi));
    std::string decoded;
    EXPECT_TRUE(DecodesTo(symbol.get(), StartText(), &decoded)) << decoded;
}

// The box around the pixels of a list's closed field that differ from the
// field's background (the text, light or dark, focused or not), within the
// field less its focus mark, in client coordinates.
RECT TextInk(HWND list)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(list, &info);
    RECT field = info.rcItem, ink{field.right, field.bottom, -1, -1};
    InflateRect(&field, -2, -2);
    const ScopedGetDC dc(list);
    const COLORREF ground = GetPixel(dc.get(), field.left, field.top);
    for (int y = field.top; y < field.bottom; ++y)
        for (int x = field.left; x < field.right; ++x)
            if (GetPixel(dc.get(), x, y) != ground)
                ink = RECT{std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                           std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
    return ink;
}

void ExpectTextCentred(HWND list)
{
    RECT client{};
    GetClientRect(list, &client);
    const RECT ink = TextInk(list);
    ASSERT_LT(ink.top, ink.bottom) << "no text in the list";
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, client.bottom / 2.0, 1.5);
}

TEST_F(Form1Dpi, ListsShowTheirTextCentredAndTheArrowAtScale)
{
    const double scale = PrefixDpi() / 96.0;
    SetWindowPos(Form(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    RedrawWindow(Form(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    for (int index = 0; index < 4; ++index) {
        const HWND list = Item(Form1::Cmb1Id + index);
        ExpectTextCentred(list);
        // The arrow: the dark teal pixels right of the field.
        RECT client{};
        GetClientRect(list, &client);
        RECT arrow{client.right, client.bottom, -1, -1};
        const int button = client.right - GetSystemMetricsForDpi(SM_CXVSCROLL, PrefixDpi()) - 1;
        const ScopedGetDC dc(list);
        for (int y = 2; y < client.bottom - 2; ++y) {
            for (int x = button; x < client.right - 2; ++x) {
                const COLORREF c = GetPixel(dc.get(), x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) >= 3 * 0x80) continue;
                arrow = RECT{std::min<LONG>(arrow.left, x), std::min<LONG>(arrow.top, y),
                             std::max<LONG>(arrow.right, x + 1), std::max<LONG>(arrow.bottom, y + 1)};
            }
        }
        EXPECT_NEAR(arrow.right - arrow.left, 7 * scale, 1.0) << "list " << index;
        EXPECT_NEAR(arrow.bottom - arrow.top, 4 * scale, 1.0) << "list " << index;
    }
    // A choice made with the keyboard: the control draws the new text at
    // once, highlighted, not through WM_PAINT, and the skin centres it again
    // before the key's message returns.
    const HWND versions = Item(Form1::Cmb1Id);
    SetForegroundWindow(Form());
    SetFocus(versions);
    Pump();
    SendMessageW(versions, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(SendMessageW(versions, CB_GETCURSEL, 0, 0), 1);
    ExpectTextCentred(versions);
}

} // namespace

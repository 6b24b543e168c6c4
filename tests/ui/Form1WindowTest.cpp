// The window as the user meets it: title, size, controls where they belong,
// the lists, the keyboard, the text box's focus and double-click, the link's
// looks, the tool tips and the icon.
#include "FormDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "SkinEngine.h"

namespace {

RECT ChildRect(HWND form, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ListItem(HWND list, int index)
{
    const auto length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring ToolTipOf(HWND form, HWND control)
{
    // The tool tip window belongs to the form's thread and is owned by it.
    struct Search {
        HWND form;
        HWND tip = nullptr;
    } search{form};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            wchar_t name[64] = L"";
            GetClassNameW(window, name, 64);
            if (_wcsicmp(name, TOOLTIPS_CLASSW) == 0 && GetWindow(window, GW_OWNER) == s->form)
                s->tip = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.tip) return L"<no tool tip window>";
    wchar_t text[256] = L"";
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(search.tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    return text;
}

LOGFONTW FontOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font;
}

// How many pixels of exactly this colour the label draws (WM_PRINTCLIENT
// runs the label's own painting, with the colours its parent hands out).
int PixelsOfColour(HWND label, COLORREF colour)
{
    RECT client{};
    GetClientRect(label, &client);
    void* bits = nullptr;
    ScopedBitmap image = NewTopDownDib(client.right, client.bottom, &bits);
    ScopedMemDC dc(nullptr);
    {
        ScopedSelectObject selected(dc.get(), image.get());
        SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()),
                     PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
    }
    const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    int count = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < client.right * client.bottom; ++i)
        count += (pixels[i] & 0xFFFFFF) == wanted;
    return count;
}

// Moves the real pointer (SendInput, absolute) to a screen point in one jump,
// so that only the window under the destination sees a move.
void PointerTo(POINT screen)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

POINT ScreenPoint(HWND window, POINT client)
{
    ClientToScreen(window, &client);
    return client;
}

// Every pixel of the client rectangle (left, top, width, height) of window as
// the screen shows it, as 0x00RRGGBB.
std::vector<DWORD> ScreenPixels(HWND window, int left, int top, int width, int height)
{
    const POINT origin = ScreenPoint(window, {left, top});
    void* bits = nullptr;
    ScopedBitmap shot = NewTopDownDib(width, height, &bits);
    {
        ScopedGetDC screen(nullptr);
        ScopedMemDC dc(screen.get());
        ScopedSelectObject selected(dc.get(), shot.get());
        BitBlt(dc.get(), 0, 0, width, height, screen.get(), origin.x, origin.y, SRCCOPY);
        GdiFlush();
    }
    std::vector<DWORD> out(static_cast<std::size_t>(width) * height);
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = pixels[i] & 0x00FFFFFF;
    return out;
}

} // namespace

class Form1Window : public FormTest {
protected:
    // Pumps until done() holds, for at most about two seconds; the pointer's
    // messages come through the system's input queue.
    bool PumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 100; ++i) {
            Pump();
            if (done()) return true;
            Sleep(20);
        }
        return done();
    }
    // The real pointer onto a client point of window; true once the system
    // has it there and the window's messages are handled.
    bool PointerOnto(HWND window, POINT client)
    {
        const POINT target = ScreenPoint(window, client);
        PointerTo(target);
        const bool there = PumpUntil([&] {
            POINT now{};
            return GetCursorPos(&now) && now.x == target.x && now.y == target.y;
        });
        for (int i = 0; i < 5; ++i) { // the move message follows the position
            Sleep(20);
            Pump();
        }
        return there;
    }
    void BringToFront()
    {
        SetForegroundWindow(Form());
        SetWindowPos(Form(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RedrawWindow(Form(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump();
    }
};

TEST_F(Form1Window, TitleClientSizeAndEveryControlAtItsDesignPlace)
{
    wchar_t title[64] = L"";
    GetWindowTextW(Form(), title, 64);
    EXPECT_STREQ(title, L"Vemora");
    RECT client{};
    GetClientRect(Form(), &client);
    EXPECT_EQ(client.right, 506);
    EXPECT_EQ(client.bottom, 503);

    struct Place {
        int id, left, top, width, height;
    };
    // Text1 as Form_Resize lays it out at the design size: 250 x 54.
    const Place places[] = {
        {Form1::Command1Id, 8, 8, 73, 25},   {Form1::Cmb1Id + 0, 88, 8, 73, 21},
        {Form1::Cmb1Id + 1, 168, 8, 73, 21}, {Form1::Cmb1Id + 2, 88, 40, 73, 21},
        {Form1::Text1Id, 248, 8, 250, 54},   {Form1::Cmb1Id + 3, 168, 40, 73, 21},
        {Form1::Command2Id, 8, 36, 73, 25},  {Form1::Pic2Id, 96, 88, 329, 329},
        {Form1::Label1Id, 0, 448, 505, 33},  {Form1::Label2Id, 0, 480, 505, 17},
    };
    for (const Place& place : places) {
        HWND control = Item(place.id);
        ASSERT_NE(control, nullptr) << "control " << place.id;
        const RECT rect = ChildRect(Form(), control);
        EXPECT_EQ(rect.left, place.left) << "control " << place.id;
        EXPECT_EQ(rect.top, place.top) << "control " << place.id;
        EXPECT_EQ(rect.right - rect.left, place.width) << "control " << place.id;
        EXPECT_EQ(rect.bottom - rect.top, place.height) << "control " << place.id;
    }
    // Pic2's own drawing area is its whole size.
    GetClientRect(Item(Form1::Pic2Id), &client);
    EXPECT_EQ(client.right, 329);
    EXPECT_EQ(client.bottom, 329);
    // Image1 lies below the visible client area.
    EXPECT_GE(ChildRect(Form(), Item(Form1::Image1Id)).top, 503);

    // The window class is one the skin takes for a container: it reached the
    // controls through it.
    wchar_t className[64] = L"";
    GetClassNameW(Form(), className, 64);
    EXPECT_STREQ(className, Form1::ClassName);
    EXPECT_NE(GetPropA(Form(), "PROCADDR"), nullptr);
    EXPECT_NE(GetPropA(Item(Form1::Command1Id), "PROCADDR"), nullptr);
    EXPECT_NE(GetPropA(List(3), "PROCADDR"), nullptr);
}

TEST_F(Form1Window, TextsAndFonts)
{
    wchar_t text[128] = L"";
    GetWindowTextW(Item(Form1::Command1Id), text, 128);
    EXPECT_STREQ(text, L"创建");
    GetWindowTextW(Item(Form1::Command2Id), text, 128);
    EXPECT_STREQ(text, L"保存");
    GetWindowTextW(Item(Form1::Label1Id), text, 128);
    EXPECT_STREQ(text, L"Olvane");
    GetWindowTextW(Item(Form1::Label2Id), text, 128);
    EXPECT_STREQ(text, L"http://www.olvane.example");
    EXPECT_EQ(Text(), L"Olvane软件：http://www.olvane.example\r\n");

    const LOGFONTW body = FontOf(Item(Form1::Command1Id));
    EXPECT_STREQ(body.lfFaceName, L"Tahoma");
    EXPECT_EQ(body.lfHeight, -11); // 8.25 pt at 96 dpi
    EXPECT_EQ(body.lfWeight, FW_NORMAL);
    const LOGFONTW brand = FontOf(Item(Form1::Label1Id));
    EXPECT_STREQ(brand.lfFaceName, L"Tahoma");
    EXPECT_EQ(brand.lfHeight, -24); // 18 pt
    EXPECT_EQ(brand.lfWeight, FW_BOLD);
    const LOGFONTW link = FontOf(Item(Form1::Label2Id));
    EXPECT_EQ(link.lfHeight, -13); // 9.75 pt
    EXPECT_EQ(link.lfWeight, FW_BOLD);
    EXPECT_TRUE(link.lfUnderline);
    // The brand is drawn dark green.
    EXPECT_GT(PixelsOfColour(Item(Form1::Label1Id), RGB(0, 64, 0)), 50);
}

TEST_F(Form1Window, ListsHoldTheirItemsWithThePresetSelections)
{
    std::vector<std::wstring> versions{L"自动"};
    for (int v = 1; v <= 40; ++v) versions.push_back(std::to_wstring(v));
    std::vector<std::wstring> masks{L"自动"};
    for (int m = 0; m <= 7; ++m) masks.push_back(std::to_wstring(m));
    const std::vector<std::vector<std::wstring>> items{
        versions, {L"L - 7%", L"M - 15%", L"Q - 25%", L"H - 30%"}, masks, {L"ANSI", L"UTF-8"}};
    const int presets[] = {0, 1, 0, 1};
    for (int list = 0; list < 4; ++list) {
        ASSERT_EQ(SendMessageW(List(list), CB_GETCOUNT, 0, 0),
                  static_cast<LRESULT>(items[list].size()))
            << "list " << list;
        for (std::size_t i = 0; i < items[list].size(); ++i)
            EXPECT_EQ(ListItem(List(list), static_cast<int>(i)), items[list][i]) << "list " << list;
        EXPECT_EQ(SendMessageW(List(list), CB_GETCURSEL, 0, 0), presets[list]) << "list " << list;
        // A list of items to pick, no typed text.
        EXPECT_EQ(GetWindowLongW(List(list), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    }
}

TEST_F(Form1Window, ToolTips)
{
    EXPECT_EQ(ToolTipOf(Form(), List(0)), L"Version");
    EXPECT_EQ(ToolTipOf(Form(), List(1)), L"Error correction level");
    EXPECT_EQ(ToolTipOf(Form(), List(2)), L"Mask type");
    EXPECT_EQ(ToolTipOf(Form(), List(3)), L"Text encoding");
    EXPECT_EQ(ToolTipOf(Form(), Item(Form1::Text1Id)),
              L"请双击后输入要创建二维条码的内容，然后点击“创建”按钮。");
}

TEST_F(Form1Window, FocusStartsOnCreateAndTabWalksTheTabOrder)
{
    EXPECT_EQ(GetFocus(), Item(Form1::Command1Id));
    const int order[] = {Form1::Cmb1Id + 0, Form1::Cmb1Id + 1, Form1::Cmb1Id + 2,
                         Form1::Text1Id,    Form1::Cmb1Id + 3, Form1::Command2Id,
                         Form1::Pic2Id,     Form1::Command1Id};
    for (const int id : order) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
    }
}

TEST_F(Form1Window, TabIntoTheTextSelectsItAllSoTypingReplacesIt)
{
    SetFocus(List(2));
    Pump();
    PressKey(VK_TAB);
    HWND text = Item(Form1::Text1Id);
    ASSERT_EQ(GetFocus(), text);
    DWORD start = 1, end = 0;
    SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(Text().size()));
    PressKey('X');
    EXPECT_EQ(Text(), L"x");
    // Enter makes a line break in the text, not a click somewhere.
    PressKey(VK_RETURN);
    EXPECT_EQ(Text(), L"x\r\n");
}

TEST_F(Form1Window, DoubleClickEmptiesTheTextAndUndoBringsItBack)
{
    DoubleClick(Item(Form1::Text1Id));
    EXPECT_EQ(Text(), L"");

    // Byte for byte, through Ctrl+Z and through the box's own Undo.
    const std::wstring typed = L"第一行 line\r\n😀 two\r\n";
    SetText(typed);
    DoubleClick(Item(Form1::Text1Id));
    ASSERT_EQ(Text(), L"");
    SetFocus(Item(Form1::Text1Id));
    PressKeyWith(VK_CONTROL, 'Z');
    EXPECT_EQ(Text(), typed);
    DoubleClick(Item(Form1::Text1Id));
    EXPECT_TRUE(SendMessageW(Item(Form1::Text1Id), EM_CANUNDO, 0, 0));
    SendMessageW(Item(Form1::Text1Id), WM_UNDO, 0, 0);
    EXPECT_EQ(Text(), typed);
}

TEST_F(Form1Window, ResizeKeepsTextWidthToTheRightEdgeButNeverBelowZero)
{
    HWND text = Item(Form1::Text1Id);
    auto resizeClient = [&](int width, int height) {
        RECT frame{0, 0, width, height};
        AdjustWindowRectEx(&frame, GetWindowLongW(Form(), GWL_STYLE), FALSE,
                           GetWindowLongW(Form(), GWL_EXSTYLE));
        SetWindowPos(Form(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        RECT client{};
        GetClientRect(Form(), &client);
        return client.right;
    };
    ASSERT_EQ(resizeClient(600, 503), 600);
    RECT rect = ChildRect(Form(), text);
    EXPECT_EQ(rect.left, 248);
    EXPECT_EQ(rect.right - rect.left, 344);
    EXPECT_EQ(rect.bottom - rect.top, 54);
    // Other controls stay.
    EXPECT_EQ(ChildRect(Form(), Item(Form1::Pic2Id)).left, 96);

    const int narrow = resizeClient(200, 503);
    ASSERT_LT(narrow, 256);
    rect = ChildRect(Form(), text);
    EXPECT_EQ(rect.left, 248);
    EXPECT_EQ(rect.right - rect.left, 344) << "a client width under 256 leaves Text1 as it was";
}

TEST_F(Form1Window, TheLinkHasThreeLooks)
{
    HWND link = Item(Form1::Label2Id);
    const COLORREF normal = GetSysColor(COLOR_BTNTEXT);
    ASSERT_NE(normal, RGB(0, 0, 255));
    // At start: underlined, default colour.
    EXPECT_TRUE(FontOf(link).lfUnderline);
    EXPECT_EQ(PixelsOfColour(link, RGB(0, 0, 255)), 0);
    EXPECT_GT(PixelsOfColour(link, normal), 20);

    // Pointer over it: no underline, blue.
    MouseMove(link);
    EXPECT_FALSE(FontOf(link).lfUnderline);
    EXPECT_GT(PixelsOfColour(link, RGB(0, 0, 255)), 20);

    // Straight onto another control: stays as it is.
    MouseMove(Item(Form1::Pic2Id));
    MouseMove(Item(Form1::Label1Id));
    EXPECT_FALSE(FontOf(link).lfUnderline);

    // Over the window's bare surface: underlined again, still blue.
    MouseMove(Form(), {470, 200});
    EXPECT_TRUE(FontOf(link).lfUnderline);
    EXPECT_GT(PixelsOfColour(link, RGB(0, 0, 255)), 20);
    EXPECT_EQ(PixelsOfColour(link, normal), 0);
}

TEST_F(Form1Window, TheLinksLooksFollowTheRealPointer)
{
    BringToFront();
    HWND link = Item(Form1::Label2Id);
    RECT client{};
    GetClientRect(link, &client);
    const POINT linkMiddle{client.right / 2, client.bottom / 2};
    // Start on the bare surface: the start look stays.
    ASSERT_TRUE(PointerOnto(Form(), {470, 200}));
    ASSERT_EQ(WindowFromPoint(ScreenPoint(Form(), {470, 200})), Form());
    EXPECT_TRUE(form_->LinkUnderlined());
    EXPECT_NE(form_->LinkColor(), RGB(0, 0, 255));

    // Onto the link: no underline, blue.
    ASSERT_TRUE(PointerOnto(link, linkMiddle));
    ASSERT_EQ(WindowFromPoint(ScreenPoint(link, linkMiddle)), link);
    EXPECT_TRUE(PumpUntil([&] { return !FontOf(link).lfUnderline; }));
    EXPECT_FALSE(form_->LinkUnderlined());
    EXPECT_EQ(form_->LinkColor(), RGB(0, 0, 255));
    EXPECT_GT(PixelsOfColour(link, RGB(0, 0, 255)), 20);

    // Straight from the link onto Label1, and then off the window: the
    // surface is never crossed, so the link stays as it is.
    HWND label1 = Item(Form1::Label1Id);
    GetClientRect(label1, &client);
    ASSERT_TRUE(PointerOnto(label1, {client.right / 2, client.bottom / 2}));
    ASSERT_EQ(WindowFromPoint(ScreenPoint(label1, {client.right / 2, client.bottom / 2})), label1);
    EXPECT_FALSE(FontOf(link).lfUnderline);
    ASSERT_TRUE(PointerOnto(Form(), {-300, -300}));
    EXPECT_FALSE(FontOf(link).lfUnderline);
    EXPECT_FALSE(form_->LinkUnderlined());

    // Back onto the bare surface: underlined again, and blue for good.
    ASSERT_TRUE(PointerOnto(Form(), {470, 200}));
    EXPECT_TRUE(PumpUntil([&] { return FontOf(link).lfUnderline != 0; }));
    EXPECT_TRUE(form_->LinkUnderlined());
    EXPECT_EQ(form_->LinkColor(), RGB(0, 0, 255));
    EXPECT_GT(PixelsOfColour(link, RGB(0, 0, 255)), 20);
    EXPECT_EQ(PixelsOfColour(link, GetSysColor(COLOR_BTNTEXT)), 0);
}

TEST_F(Form1Window, Image1IsNeverSeenNotEvenInAMaximisedWindow)
{
    ShowWindow(Form(), SW_MAXIMIZE);
    Pump();
    RECT client{};
    GetClientRect(Form(), &client);
    const RECT image1 = ChildRect(Form(), Item(Form1::Image1Id));
    ASSERT_GE(client.bottom, image1.bottom) << "the maximised window uncovers Image1's place";
    ASSERT_GE(client.right, image1.right);
    EXPECT_FALSE(IsWindowVisible(Item(Form1::Image1Id)));
    const DWORD face = GetSysColor(COLOR_BTNFACE);
    const DWORD faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    auto seen = [&] {
        BringToFront();
        int other = 0;
        for (const DWORD pixel :
             ScreenPixels(Form(), image1.left, image1.top, image1.right - image1.left,
                          image1.bottom - image1.top))
            other += pixel != faceRgb;
        return other;
    };
    EXPECT_EQ(seen(), 0) << "pixels of Image1's place that are not the window's face, empty";
    ASSERT_TRUE(Create());
    ASSERT_NE(Image1Bitmap(), nullptr) << "Image1 still holds the symbol";
    EXPECT_EQ(seen(), 0) << "pixels of Image1's place that are not the window's face, after Create";
    ShowWindow(Form(), SW_RESTORE);
    Pump();
}

TEST_F(Form1Window, IconHasSixUncompressedImages)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(Form1::IconResourceId), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
        GroupEntry entries[1];
    };
#pragma pack(pop)
    const auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(module, group)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 6);
    struct Expected {
        int size, bitCount;
    };
    const Expected expected[] = {{32, 8}, {256, 32}, {48, 32}, {32, 32}, {24, 32}, {24, 24}};
    DWORD total = 6 + 16 * 6; // the .ico file's directory
    for (int i = 0; i < 6; ++i) {
        const GroupEntry& entry = header->entries[i];
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(entry.id), RT_ICON);
        ASSERT_NE(image, nullptr);
        const auto* dib =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
        ASSERT_EQ(dib->biSize, 40u) << "image " << i << " is a DIB, not PNG";
        EXPECT_EQ(dib->biWidth, expected[i].size);
        EXPECT_EQ(dib->biHeight, 2 * expected[i].size);
        EXPECT_EQ(dib->biBitCount, expected[i].bitCount);
        EXPECT_EQ(dib->biCompression, static_cast<DWORD>(BI_RGB));
        EXPECT_EQ(SizeofResource(module, image), entry.bytes);
        total += entry.bytes;
    }
    EXPECT_EQ(total, 290902u);

    // The window shows it.
    const HICON shown = reinterpret_cast<HICON>(GetClassLongPtrW(Form(), GCLP_HICON));
    ASSERT_NE(shown, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(shown, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(Form1Window, TheIconsLargeImageIsASymbolThatReads)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(Form1::IconResourceId), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const int id =
        LookupIconIdFromDirectoryEx(static_cast<BYTE*>(LockResource(LoadResource(module, group))),
                                    TRUE, 256, 256, LR_DEFAULTCOLOR);
    HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_NE(image, nullptr);
    const auto* dib =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
    ASSERT_EQ(dib->biWidth, 256);
    // Composite over white, as a reader would see it on a page.
    const auto* bgra = reinterpret_cast<const BYTE*>(dib + 1);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 256;
    info.bmiHeader.biHeight = 256; // bottom-up like the icon's rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    auto* out = static_cast<BYTE*>(bits);
    for (int i = 0; i < 256 * 256; ++i)
        for (int c = 0; c < 3; ++c)
            out[4 * i + c] = static_cast<BYTE>(
                (bgra[4 * i + c] * bgra[4 * i + 3] + 255 * (255 - bgra[4 * i + 3])) / 255);
    std::string decoded;
    EXPECT_TRUE(DecodesTo(bitmap.get(), "Vemora", &decoded)) << decoded;
}

TEST_F(Form1Window, VersionResource)
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
    wchar_t* product = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&product), &length));
    EXPECT_STREQ(product, L"Vemora");
}

TEST_F(Form1Window, TheSkinStartsWithTheWindowAndStopsWithIt)
{
    EXPECT_TRUE(SkinInitialised());
    EXPECT_GT(SkinAttachCount(), 10) << "the window and every control";
    HWND window = Form();
    form_.reset();
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(SkinAttachCount(), 0);
    EXPECT_FALSE(SkinInitialised()) << "the last detach releases the strips";
}

// The symbol beyond the picture box: its context menu (right click, Shift+F10,
// the Menu key), the print PNG and the SVG written from the symbol on show,
// and the keyboard (the focus mark on Pic2, Enter, Space and Ctrl+C copying,
// Ctrl+A in Text1). Files are read back by ZXing-cpp and zbar to the exact
// bytes; the SVG after rsvg-convert has rasterised it as a print would.
// The copies go through the real clipboard (RESOURCE_LOCK clipboard).
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FormDriver.h"

namespace {

const std::string StartBytes =
    "Olvane\xE8\xBD\xAF\xE4\xBB\xB6\xEF\xBC\x9Ahttp://www.olvane.example\r\n";
constexpr wchar_t Saved[] = L"你已成功保存二维码图片！";
constexpr wchar_t Copied[] = L"你已成功复制到剪贴板!";

std::vector<std::wstring> Added(const std::vector<std::wstring>& before,
                                const std::vector<std::wstring>& after)
{
    std::vector<std::wstring> added;
    for (const std::wstring& name : after)
        if (std::find(before.begin(), before.end(), name) == before.end()) added.push_back(name);
    return added;
}

bool EndsWith(const std::wstring& text, const std::wstring& ending)
{
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// A copy of the clipboard's bitmap, or null.
ScopedBitmap ClipboardBitmap()
{
    if (!OpenClipboard(nullptr)) return ScopedBitmap();
    HBITMAP copied = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    ScopedBitmap own(
        copied ? static_cast<HBITMAP>(CopyImage(copied, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
               : nullptr);
    CloseClipboard();
    return own;
}

void EmptyTheClipboard()
{
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

} // namespace

class Form1Output : public FormTest {
protected:
    // A menu command as the menu delivers it: WM_COMMAND with code 0.
    SeenBox Command(int id)
    {
        return ExpectBox([&] { SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(id, 0), 0); });
    }
    void RightClickPic2()
    {
        HWND pic2 = Item(Form1::Pic2Id);
        SendMessageW(pic2, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 50));
        SendMessageW(pic2, WM_RBUTTONUP, 0, MAKELPARAM(40, 50));
    }

    // Checks a print PNG against Image1 (one pixel a module, margin
    // included): every module exactly k x k pixels, k the least that reaches
    // 1,200 pixels, half a millimetre a module on paper (as wide as the
    // SVG); returns the picture for the readers.
    GreyImage CheckPrintPng(const std::wstring& path)
    {
        int sideModules = 0, ignored = 0, width = 0, height = 0;
        const std::vector<DWORD> modules = BitmapPixels(Image1Bitmap(), &sideModules, &ignored);
        ScopedBitmap picture = LoadPng(path);
        const std::vector<DWORD> pixels = BitmapPixels(picture.get(), &width, &height);
        EXPECT_FALSE(modules.empty());
        EXPECT_FALSE(pixels.empty()) << Narrow(path);
        if (modules.empty() || pixels.empty()) return {};
        EXPECT_EQ(width, height);
        EXPECT_EQ(width % sideModules, 0);
        const int k = width / sideModules;
        EXPECT_GE(width, 1200);
        EXPECT_LT(width - sideModules, 1200) << "k is the least that reaches 1,200 pixels";
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                wrong += pixels[static_cast<std::size_t>(y) * width + x] !=
                         modules[static_cast<std::size_t>(y / k) * sideModules + x / k];
        EXPECT_EQ(wrong, 0) << "pixels off their module";
        const auto dpi = PngDotsPerInch(path);
        EXPECT_TRUE(dpi);
        if (dpi) {
            EXPECT_NEAR(width / dpi->first * 25.4, sideModules * 0.5, 0.001) << "mm wide";
            EXPECT_NEAR(dpi->first, dpi->second, 1e-9);
        }
        return BitmapToGrey(picture.get()).value_or(GreyImage{});
    }
};

TEST_F(Form1Output, Pic2ShowsAFocusMarkOnlyWhileFocused)
{
    ASSERT_TRUE(Create());
    ScopedBitmap plain = Pic2Image();
    // Tab from Save reaches the box.
    SetFocus(Item(Form1::Command2Id));
    PressKey(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(Form1::Pic2Id));
    ScopedBitmap focused = Pic2Image();
    int width = 0, height = 0;
    const std::vector<DWORD> before = BitmapPixels(plain.get(), &width, &height);
    const std::vector<DWORD> after = BitmapPixels(focused.get(), &width, &height);
    ASSERT_EQ(before.size(), after.size());
    int marked = 0, elsewhere = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            const bool border = x == 2 || y == 2 || x == width - 3 || y == height - 3;
            (border ? marked : elsewhere) += before[i] != after[i];
        }
    EXPECT_GT(marked, width) << "a dotted rectangle two pixels in";
    EXPECT_EQ(elsewhere, 0) << "the symbol itself is untouched";
    std::string decoded;
    EXPECT_TRUE(DecodesTo(focused.get(), StartBytes, &decoded)) << decoded;

    // Tab onwards: the mark goes.
    PressKey(VK_TAB);
    ASSERT_NE(GetFocus(), Item(Form1::Pic2Id));
    ScopedBitmap left = Pic2Image();
    EXPECT_EQ(BitmapPixels(left.get(), &width, &height), before);
}

TEST_F(Form1Output, TheFocusMarkNeverReachesTheCopiedOrSavedPicture)
{
    ASSERT_TRUE(Create());
    // Image1's symbol enlarged to the box, nearest neighbour, as GDI stretches it.
    HWND pic2 = Item(Form1::Pic2Id);
    RECT box{};
    GetClientRect(pic2, &box);
    BITMAP symbol{};
    ASSERT_TRUE(GetObjectW(Image1Bitmap(), sizeof symbol, &symbol));
    void* bits = nullptr;
    ScopedBitmap enlarged = NewTopDownDib(box.right, box.bottom, &bits);
    {
        ScopedMemDC target(nullptr), source(nullptr);
        ScopedSelectObject into(target.get(), enlarged.get()), from(source.get(), Image1Bitmap());
        SetStretchBltMode(target.get(), COLORONCOLOR);
        ASSERT_TRUE(StretchBlt(target.get(), 0, 0, box.right, box.bottom, source.get(), 0, 0,
                               symbol.bmWidth, symbol.bmHeight, SRCCOPY));
    }
    int width = 0, height = 0;
    const std::vector<DWORD> expected = BitmapPixels(enlarged.get(), &width, &height);

    // Focused and painted again and again: the mark is XORed on each time.
    SetFocus(pic2);
    for (int repaint = 0; repaint < 7; ++repaint) {
        InvalidateRect(pic2, nullptr, FALSE);
        UpdateWindow(pic2);
    }
    Pump();
    ScopedBitmap shown = Pic2Image();
    ASSERT_NE(BitmapPixels(shown.get(), &width, &height), expected) << "the mark is shown";

    EmptyTheClipboard();
    EXPECT_EQ(ExpectBox([&] { PressKey(VK_SPACE); }).text, Copied);
    ScopedBitmap copied = ClipboardBitmap();
    EXPECT_EQ(BitmapPixels(copied.get(), &width, &height), expected);
    ASSERT_EQ(GetFocus(), pic2);
    const SeenBox saved = ExpectBox([&] {
        SendMessageW(Form(), WM_COMMAND, MAKEWPARAM(Form1::Command2Id, BN_CLICKED), 0);
    });
    EXPECT_EQ(saved.text, Saved);
    const std::vector<std::wstring> files = SavedFiles();
    ASSERT_EQ(files.size(), 1u);
    ScopedBitmap file = LoadPng(SaveFolder() + L"\\" + files[0]);
    EXPECT_EQ(BitmapPixels(file.get(), &width, &height), expected);
}

TEST_F(Form1Output, EnterSpaceAndCtrlCOnPic2CopyAsAClickDoes)
{
    SetFocus(Item(Form1::Pic2Id));
    Pump();
    EXPECT_EQ(ExpectBox([&] { PressKey(VK_RETURN); }).text,
              L"你还没有“创建”二维码图片，请先创建后再进行复制！");
    ASSERT_TRUE(Create());
    const std::vector<std::pair<UINT, UINT>> keys = {
        {0, VK_RETURN}, {0, VK_SPACE}, {VK_CONTROL, 'C'}};
    for (const auto& [modifier, key] : keys) {
        EmptyTheClipboard();
        SetFocus(Item(Form1::Pic2Id));
        Pump();
        const SeenBox box = ExpectBox([&] {
            if (modifier) PressKeyWith(modifier, key);
            else PressKey(key);
        });
        EXPECT_EQ(box.text, Copied) << "key " << key;
        ScopedBitmap copied = ClipboardBitmap();
        std::string decoded;
        EXPECT_TRUE(DecodesTo(copied.get(), StartBytes, &decoded)) << "key " << key << decoded;
    }
    // C without Ctrl copies nothing.
    SetFocus(Item(Form1::Pic2Id));
    Pump();
    ExpectNoBox([&] { PressKey('C'); });
}

TEST_F(Form1Output, CtrlASelectsAllOfText1)
{
    SetText(L"第一行\r\nsecond line");
    HWND text = Item(Form1::Text1Id);
    SetFocus(text);
    Pump();
    SendMessageW(text, EM_SETSEL, 3, 3);
    PressKeyWith(VK_CONTROL, 'A');
    DWORD start = 0, end = 0;
    SendMessageW(text, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthW(text)));
    EXPECT_EQ(Text(), L"第一行\r\nsecond line") << "nothing typed";
}

TEST_F(Form1Output, TheMenuOpensOnRightClickShiftF10AndTheMenuKey)
{
    // No symbol: the saves are grey; Esc closes the menu.
    SeenMenu menu = ExpectMenu([&] { RightClickPic2(); }, 0);
    ASSERT_TRUE(menu.seen) << "no #32768 menu window";
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_EQ(menu.items[0].text, L"复制");
    EXPECT_EQ(menu.items[1].text, L"保存高清 PNG");
    EXPECT_EQ(menu.items[2].text, L"保存 SVG 矢量图");
    EXPECT_FALSE(menu.items[0].grey);
    EXPECT_TRUE(menu.items[1].grey);
    EXPECT_TRUE(menu.items[2].grey);

    ASSERT_TRUE(Create());
    SetFocus(Item(Form1::Pic2Id));
    Pump();
    for (const UINT key : {UINT(VK_F10), UINT(VK_APPS)}) {
        menu = ExpectMenu(
            [&] {
                if (key == VK_F10) PressKeyWith(VK_SHIFT, VK_F10);
                else PressKey(VK_APPS);
            },
            0);
        ASSERT_TRUE(menu.seen) << "key " << key;
        ASSERT_EQ(menu.items.size(), 5u);
        EXPECT_FALSE(menu.items[1].grey);
        EXPECT_FALSE(menu.items[2].grey);
    }
    // A symbol that no longer fits forgets the old one: grey again.
    SetText(std::wstring(3000, L'好'));
    SeenBox warning;
    EXPECT_FALSE(Create(&warning));
    menu = ExpectMenu([&] { RightClickPic2(); }, 0);
    ASSERT_EQ(menu.items.size(), 5u);
    EXPECT_TRUE(menu.items[1].grey);
    EXPECT_EQ(Command(Form1::mnuSavePrintPngId).text,
              L"你还没有“创建”二维码图片，请先创建后再按保存！");
    EXPECT_TRUE(SavedFiles().empty());
}

TEST_F(Form1Output, BothSavesWriteNewFilesThatReadBackToTheExactBytes)
{
    ASSERT_TRUE(Create());
    // A file of that name already there is never replaced.
    const std::wstring taken = SaveFolder() + L"\\21时05分03秒 .png";
    HANDLE file = CreateFileW(taken.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "keep", 4, &written, nullptr);
    CloseHandle(file);

    // Through the menu itself: right click, then the item by the keyboard.
    std::vector<std::wstring> before = SavedFiles();
    SeenMenu menu = ExpectMenu([&] { RightClickPic2(); }, Form1::mnuSavePrintPngId);
    EXPECT_EQ(menu.box.text, Saved);
    EXPECT_EQ(menu.box.title, L"Olvane提示");
    EXPECT_EQ(menu.box.icon, SeenBox::Icon::Information);
    const std::vector<std::wstring> png = Added(before, SavedFiles());
    ASSERT_EQ(png.size(), 1u);
    EXPECT_TRUE(EndsWith(png[0], L".png") && png[0].rfind(L"21时05分03秒 ", 0) == 0)
        << Narrow(png[0]);
    EXPECT_EQ(FileStart(taken, 8), "keep");

    before = SavedFiles();
    menu = ExpectMenu([&] { RightClickPic2(); }, Form1::mnuSaveSvgId);
    EXPECT_EQ(menu.box.text, Saved);
    const std::vector<std::wstring> svg = Added(before, SavedFiles());
    ASSERT_EQ(svg.size(), 1u);
    EXPECT_EQ(svg[0], L"21时05分03秒 .svg");
    EXPECT_EQ(FileStart(SaveFolder() + L"\\" + svg[0], 5), "<?xml");

    // The copy item copies.
    EmptyTheClipboard();
    menu = ExpectMenu([&] { RightClickPic2(); }, Form1::mnuCopyId);
    EXPECT_EQ(menu.box.text, Copied);

    const GreyImage printed = CheckPrintPng(SaveFolder() + L"\\" + png[0]);
    const QrReading fromPng = ReadBackAll({printed})[0];
    EXPECT_EQ(fromPng.zxing.value_or("(none)"), StartBytes);
    EXPECT_EQ(fromPng.zbar.value_or("(none)"), StartBytes);
    const QrReading fromSvg = ReadBackSvgFiles({SaveFolder() + L"\\" + svg[0]})[0];
    EXPECT_EQ(fromSvg.error, "");
    EXPECT_EQ(fromSvg.zxing.value_or("(none)"), StartBytes);
    EXPECT_EQ(fromSvg.zbar.value_or("(none)"), StartBytes);
}

TEST_F(Form1Output, Version40PrintPngReadsWithZxing)
{
    // Nearly full at 40-L: the box shows it at 329 / 185, under two pixels
    // a module; the print picture has seven.
    std::wstring text;
    for (int i = 0; text.size() < 2900; ++i) text += L"Vemora " + std::to_wstring(i) + L" ";
    SetText(text);
    Select(0, 40);
    Select(1, 0);
    ASSERT_TRUE(Create());
    const std::string bytes = Narrow(text);
    EXPECT_EQ(Command(Form1::mnuSavePrintPngId).text, Saved);
    EXPECT_EQ(Command(Form1::mnuSaveSvgId).text, Saved);
    std::wstring png, svg;
    for (const std::wstring& name : SavedFiles())
        (EndsWith(name, L".png") ? png : svg) = SaveFolder() + L"\\" + name;
    const GreyImage printed = CheckPrintPng(png);
    EXPECT_EQ(printed.width, 1295);
    const QrReading reading = ReadBackAll({printed})[0];
    EXPECT_TRUE(reading.zxing && *reading.zxing == bytes) << "ZXing-cpp reads version 40";
    const QrReading fromSvg = ReadBackSvgFiles({svg})[0];
    EXPECT_TRUE(fromSvg.zxing && *fromSvg.zxing == bytes) << "and its SVG";
}

TEST_F(Form1Output, FailuresGiveSavesWarnings)
{
    ASSERT_TRUE(Create());
    ASSERT_TRUE(RemoveDirectoryW(SaveFolder().c_str()));
    const std::wstring start = L"无法保存二维码图片到文件夹“" + SaveFolder() + L"”：";
    for (const int id : {int(Form1::mnuSavePrintPngId), int(Form1::mnuSaveSvgId)}) {
        const SeenBox box = Command(id);
        EXPECT_EQ(box.title, L"系统提示");
        EXPECT_EQ(box.icon, SeenBox::Icon::Warning);
        EXPECT_EQ(box.text.substr(0, start.size()), start) << Narrow(box.text);
        EXPECT_GT(box.text.size(), start.size() + 2) << "the system's reason follows";
    }
    EXPECT_EQ(GetFileAttributesW(SaveFolder().c_str()), INVALID_FILE_ATTRIBUTES)
        << "no save makes the folder";
}

TEST_F(Form1Output, EveryVersionSavedBothWaysInOneBurstLosesNoFile)
{
    // Forty Creates, each followed by both saves, all queued at once: the
    // boxes of the saves nest while the queue drains. Eighty files, none
    // replaced, and each reads back as the symbol on show when it was saved.
    HWND versions = List(0);
    SetText(L"burst");
    for (int version = 1; version <= 40; ++version) {
        PostMessageW(versions, CB_SETCURSEL, static_cast<WPARAM>(version), 0);
        PostMessageW(Item(Form1::Command1Id), BM_CLICK, 0, 0);
        PostMessageW(Form(), WM_COMMAND, MAKEWPARAM(Form1::mnuSavePrintPngId, 0), 0);
        PostMessageW(Form(), WM_COMMAND, MAKEWPARAM(Form1::mnuSaveSvgId, 0), 0);
    }
    const std::vector<SeenBox> boxes = ExpectBoxes([&] { Pump(); });
    EXPECT_EQ(boxes.size(), 80u);
    for (const SeenBox& box : boxes) EXPECT_EQ(box.text, Saved) << Narrow(box.text);

    std::vector<std::wstring> files = SavedFiles();
    ASSERT_EQ(files.size(), 80u);
    EXPECT_EQ(std::set<std::wstring>(files.begin(), files.end()).size(), 80u);
    std::vector<std::wstring> svgs;
    std::vector<GreyImage> pngs;
    std::set<int> sizes;
    for (const std::wstring& name : files) {
        const std::wstring path = SaveFolder() + L"\\" + name;
        if (EndsWith(name, L".svg")) {
            svgs.push_back(path);
            continue;
        }
        ScopedBitmap picture = LoadPng(path);
        ASSERT_TRUE(picture) << Narrow(name);
        pngs.push_back(BitmapToGrey(picture.get()).value_or(GreyImage{}));
        // The finder's corner lies four modules in on the diagonal: that
        // gives the module's pixels, and so the symbol's modules a side.
        const GreyImage& grey = pngs.back();
        int corner = 0;
        while (corner < grey.width &&
               grey.pixels[static_cast<std::size_t>(corner) * grey.width + corner] != 0)
            ++corner;
        sizes.insert(corner >= 4 ? grey.width / (corner / 4) : 0);
    }
    ASSERT_EQ(svgs.size(), 40u);
    // Every version once, in both kinds of file.
    EXPECT_EQ(sizes.size(), 40u);
    std::set<std::string> viewBoxes;
    for (const std::wstring& path : svgs) {
        const std::string start = FileStart(path, 400);
        const std::size_t at = start.find("viewBox=\"");
        viewBoxes.insert(at == std::string::npos ? "" : start.substr(at, 20));
    }
    EXPECT_EQ(viewBoxes.size(), 40u);
    for (const QrReading& reading : ReadBackAll(pngs))
        EXPECT_EQ(reading.zxing.value_or("(none)"), "burst");
    for (const QrReading& reading : ReadBackSvgFiles(svgs))
        EXPECT_EQ(reading.zxing.value_or("(none)"), "burst");
}

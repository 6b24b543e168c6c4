#include "FormDriver.h"

#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "DpiMetrics.h"
#include "clsQRCode.h"
#include "mdlPictureFile.h"
#include "mdlFakeBarCode.h"

namespace {

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

struct BoxSearch {
    HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lParam)
{
    if (ClassOf(window) == L"#32770" && IsWindowVisible(window)) {
        reinterpret_cast<BoxSearch*>(lParam)->box = window;
        return FALSE;
    }
    return TRUE;
}

struct BoxParts {
    HWND ok = nullptr;
    HWND icon = nullptr;
    int buttons = 0;
    std::wstring text;
};

BOOL CALLBACK CollectParts(HWND child, LPARAM lParam)
{
    auto* parts = reinterpret_cast<BoxParts*>(lParam);
    const std::wstring kind = ClassOf(child);
    if (_wcsicmp(kind.c_str(), L"Button") == 0) {
        ++parts->buttons;
        if (GetDlgCtrlID(child) == IDOK) parts->ok = child;
    } else if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            parts->icon = child;
        } else {
            wchar_t text[1024] = L"";
            GetWindowTextW(child, text, 1024);
            if (text[0]) parts->text = text; // the box's one text
        }
    }
    return TRUE;
}

SeenBox::Icon IconKind(HWND iconControl)
{
    if (!iconControl) return SeenBox::Icon::None;
    const HICON shown = reinterpret_cast<HICON>(SendMessageW(iconControl, STM_GETICON, 0, 0));
    if (!shown) return SeenBox::Icon::None;
    if (shown == LoadIconW(nullptr, IDI_WARNING)) return SeenBox::Icon::Warning;
    if (shown == LoadIconW(nullptr, IDI_INFORMATION)) return SeenBox::Icon::Information;
    return SeenBox::Icon::Other;
}

// Reads a box and presses its OK button. With waitForSkin it first gives the
// skin a moment to attach the box, which it does when the box's owner sees
// WM_ACTIVATE or WM_ENTERIDLE for it. With post the press is posted rather
// than sent: a sent message is handled inside the box loop's PeekMessage, and
// Wine's dialog loop drops the message that PeekMessage then returns when the
// box has ended meanwhile, which matters when other messages are queued.
SeenBox ReadAndPress(HWND box, bool waitForSkin, bool post)
{
    SeenBox seen;
    for (int i = 0; waitForSkin && i < 250 && !GetPropA(box, "PROCADDR"); ++i) Sleep(20);
    seen.skinned = GetPropA(box, "PROCADDR") != nullptr;
    seen.seen = true;
    seen.owner = GetWindow(box, GW_OWNER);
    wchar_t title[256] = L"";
    GetWindowTextW(box, title, 256);
    seen.title = title;
    BoxParts parts;
    EnumChildWindows(box, CollectParts, reinterpret_cast<LPARAM>(&parts));
    seen.text = parts.text;
    seen.buttons = parts.buttons;
    seen.icon = IconKind(parts.icon);
    if (parts.ok && post) PostMessageW(parts.ok, BM_CLICK, 0, 0);
    else if (parts.ok) SendMessageW(parts.ok, BM_CLICK, 0, 0);
    else PostMessageW(box, WM_COMMAND, IDOK, 0); // still end the modal loop
    return seen;
}

// Runs on the watcher thread: waits for a box of uiThread, reads it and
// presses OK. Gives up once `done` is set (the action returned without a box).
SeenBox WatchForBox(DWORD uiThread, const std::atomic<bool>& done)
{
    BoxSearch search;
    while (!search.box) {
        if (done) return SeenBox{};
        EnumThreadWindows(uiThread, FindBox, reinterpret_cast<LPARAM>(&search));
        if (!search.box) Sleep(20);
    }
    return ReadAndPress(search.box, true, false);
}

BOOL CALLBACK FindMenu(HWND window, LPARAM lParam)
{
    if (ClassOf(window) == L"#32768" && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(lParam) = window;
        return FALSE;
    }
    return TRUE;
}

void ReadMenuItems(HMENU menu, SeenMenu& seen)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = L"";
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        seen.items.push_back({static_cast<int>(item.wID), text, (item.fState & MFS_GRAYED) != 0});
    }
}

// Moves the menu's highlight with the down arrow until it rests on the item
// choose, then presses Enter. False when no item of that id lights up.
bool ChooseMenuItem(HWND window, HMENU menu, int choose)
{
    const int count = GetMenuItemCount(menu);
    for (int step = 0; step <= count + 1; ++step) {
        if (GetMenuState(menu, static_cast<UINT>(choose), MF_BYCOMMAND) & MF_HILITE) {
            PostMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
            return true;
        }
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
        for (int i = 0;
             i < 50 && !(GetMenuState(menu, static_cast<UINT>(choose), MF_BYCOMMAND) & MF_HILITE);
             ++i)
            Sleep(10);
    }
    return false;
}

} // namespace

std::string Narrow(const std::wstring& text)
{
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

void FormTest::SetUp()
{
    ownFolder_.emplace(L"ui");
    programFolder_ = ownFolder_->Path();
    CreateDirectoryW(SaveFolder().c_str(), nullptr);
    now_.wHour = 21;
    now_.wMinute = 5;
    now_.wSecond = 3;
    OpenForm();
}

void FormTest::OpenForm()
{
    if (form_) return;
    FormServices services;
    services.startProgram = [this](const std::wstring& commandLine) {
        startedPrograms_.push_back(commandLine);
        return startAnswer_;
    };
    services.openFolder = [this](const std::wstring& folder) {
        openedFolders_.push_back(folder);
        return startAnswer_;
    };
    services.programFolder = [this] { return programFolder_; };
    services.localTime = [this] { return now_; };
    services.makePicture = [this](const ModuleMatrix& matrix) {
        return pictureFails_ ? ScopedComPtr<IPictureDisp>() : CreateMatrixPicture(matrix);
    };
    services.windowDpi = [this](HWND window) { return monitorDpi_.value_or(WindowDpi(window)); };
    form_ = std::make_unique<Form1>(std::move(services));
    ASSERT_TRUE(form_->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
    // Away from the top left corner, where the windows of other test
    // programs running at the same time (and their pointer moves) appear.
    SetWindowPos(form_->Window(), nullptr, 740, 460, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
}

void FormTest::TearDown()
{
    form_.reset();
    Pump();
    ownFolder_.reset();
}

void FormTest::Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (form_ && form_->PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void FormTest::PressKey(UINT virtualKey)
{
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    // The loop's TranslateMessage (inside IsDialogMessage) makes the WM_CHAR.
    PostMessageW(focus, WM_KEYDOWN, virtualKey, 1 | scan);
    Pump();
    PostMessageW(GetFocus(), WM_KEYUP, virtualKey, 1 | scan | (1u << 30) | (1u << 31));
    Pump();
}

void FormTest::PressKeyWith(UINT modifier, UINT virtualKey)
{
    BYTE keys[256]{};
    ASSERT_TRUE(GetKeyboardState(keys));
    BYTE held[256];
    std::copy(std::begin(keys), std::end(keys), held);
    held[modifier] |= 0x80;
    SetKeyboardState(held);
    PressKey(virtualKey);
    held[modifier] = keys[modifier];
    SetKeyboardState(held);
}

void FormTest::Click(HWND control, std::optional<POINT> at)
{
    RECT client{};
    GetClientRect(control, &client);
    const POINT point = at.value_or(POINT{client.right / 2, client.bottom / 2});
    const LPARAM where = MAKELPARAM(point.x, point.y);
    SendMessageW(control, WM_MOUSEMOVE, 0, where);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(control, WM_LBUTTONUP, 0, where);
    Pump();
}

void FormTest::DoubleClick(HWND control)
{
    const LPARAM where = MAKELPARAM(5, 5);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(control, WM_LBUTTONUP, 0, where);
    SendMessageW(control, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    SendMessageW(control, WM_LBUTTONUP, 0, where);
    Pump();
}

void FormTest::MouseMove(HWND control, POINT at)
{
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    Pump();
}

void FormTest::SetText(const std::wstring& text)
{
    SetWindowTextW(Item(Form1::Text1Id), text.c_str());
    Pump();
}

std::wstring FormTest::Text() const
{
    HWND text = Item(Form1::Text1Id);
    std::wstring content(static_cast<std::size_t>(GetWindowTextLengthW(text)) + 1, L'\0');
    content.resize(static_cast<std::size_t>(
        GetWindowTextW(text, content.data(), static_cast<int>(content.size()))));
    return content;
}

void FormTest::Select(int list, int index)
{
    SendMessageW(List(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Pump();
}

SeenBox FormTest::ExpectBox(const std::function<void()>& action)
{
    std::atomic<bool> done{false};
    SeenBox seen;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread watcher([&] { seen = WatchForBox(uiThread, done); });
    action(); // a box runs its modal loop in here until the watcher presses OK
    done = true;
    watcher.join();
    Pump();
    return seen;
}

std::vector<SeenBox> FormTest::ExpectBoxes(const std::function<void()>& action)
{
    std::atomic<bool> done{false};
    std::vector<SeenBox> seen;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread watcher([&] {
        for (;;) {
            BoxSearch search;
            EnumThreadWindows(uiThread, FindBox, reinterpret_cast<LPARAM>(&search));
            if (search.box) {
                seen.push_back(ReadAndPress(search.box, false, true));
                // Pressed once: wait until it has gone before looking again.
                for (int i = 0; i < 500 && IsWindow(search.box) && IsWindowVisible(search.box); ++i)
                    Sleep(5);
            } else if (done) {
                return;
            } else {
                Sleep(10);
            }
        }
    });
    action();
    Pump();
    done = true;
    watcher.join();
    Pump();
    return seen;
}

SeenMenu FormTest::ExpectMenu(const std::function<void()>& action, int choose)
{
    std::atomic<bool> done{false};
    SeenMenu seen;
    const DWORD uiThread = GetCurrentThreadId();
    std::thread watcher([&] {
        HWND window = nullptr;
        while (!window && !done) {
            EnumThreadWindows(uiThread, FindMenu, reinterpret_cast<LPARAM>(&window));
            if (!window) Sleep(20);
        }
        if (!window) return;
        seen.seen = true;
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
        ReadMenuItems(menu, seen);
        if (choose == 0 || !ChooseMenuItem(window, menu, choose)) {
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
            return;
        }
        seen.box = WatchForBox(uiThread, done);
    });
    action(); // the menu's own loop runs in here until the watcher ends it
    Pump();   // the chosen item's WM_COMMAND, and the box it opens
    done = true;
    watcher.join();
    Pump();
    return seen;
}

void FormTest::ExpectNoBox(const std::function<void()>& action)
{
    const SeenBox seen = ExpectBox(action);
    EXPECT_FALSE(seen.seen) << "unexpected box \"" << Narrow(seen.title)
                            << "\": " << Narrow(seen.text);
}

bool FormTest::Create(SeenBox* box)
{
    const SeenBox seen = ExpectBox([&] { SendMessageW(Item(Form1::Command1Id), BM_CLICK, 0, 0); });
    if (box) *box = seen;
    return !seen.seen;
}

ScopedBitmap FormTest::Pic2Image() const
{
    HWND pic2 = Item(Form1::Pic2Id);
    RECT client{};
    GetClientRect(pic2, &client);
    void* bits = nullptr;
    ScopedBitmap image = NewTopDownDib(client.right, client.bottom, &bits);
    ScopedMemDC dc(nullptr);
    {
        ScopedSelectObject selected(dc.get(), image.get());
        SendMessageW(pic2, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        GdiFlush();
    }
    return image;
}

HBITMAP FormTest::Image1Bitmap() const
{
    return reinterpret_cast<HBITMAP>(
        SendMessageW(Item(Form1::Image1Id), STM_GETIMAGE, IMAGE_BITMAP, 0));
}

std::vector<std::wstring> FormTest::SavedFiles() const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((SaveFolder() + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

bool PutOnClipboard(HWND owner, const std::wstring& text)
{
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    const SIZE_T size = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    bool ok = false;
    if (memory) {
        auto* chars = static_cast<wchar_t*>(GlobalLock(memory));
        std::copy(text.begin(), text.end(), chars);
        chars[text.size()] = L'\0';
        GlobalUnlock(memory);
        ok = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!ok) GlobalFree(memory);
    }
    CloseClipboard();
    return ok;
}

namespace {

// The first frame of a PNG file as WIC decodes it, with the factory that did;
// false when WIC cannot read the file as a PNG. COM must be initialised.
bool OpenPngFrame(const std::wstring& path, ScopedComPtr<IWICImagingFactory>& factory,
                  ScopedComPtr<IWICBitmapFrameDecode>& frame)
{
    ScopedComPtr<IWICBitmapDecoder> decoder;
    GUID container{};
    return SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory,
                                      reinterpret_cast<void**>(factory.put()))) &&
           SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnDemand,
                                                        decoder.put())) &&
           SUCCEEDED(decoder->GetContainerFormat(&container)) &&
           container == GUID_ContainerFormatPng && SUCCEEDED(decoder->GetFrame(0, frame.put()));
}

} // namespace

ScopedBitmap LoadPng(const std::wstring& path)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ScopedBitmap result;
    {
        ScopedComPtr<IWICImagingFactory> factory;
        ScopedComPtr<IWICBitmapFrameDecode> frame;
        ScopedComPtr<IWICFormatConverter> converter;
        UINT width = 0, height = 0;
        if (OpenPngFrame(path, factory, frame) && SUCCEEDED(frame->GetSize(&width, &height)) &&
            SUCCEEDED(factory->CreateFormatConverter(converter.put())) &&
            SUCCEEDED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppBGR,
                                            WICBitmapDitherTypeNone, nullptr, 0,
                                            WICBitmapPaletteTypeCustom))) {
            void* bits = nullptr;
            ScopedBitmap bitmap =
                NewTopDownDib(static_cast<int>(width), static_cast<int>(height), &bits);
            if (bitmap && SUCCEEDED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                                          static_cast<BYTE*>(bits))))
                result = std::move(bitmap);
        }
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

std::optional<std::pair<double, double>> PngDotsPerInch(const std::wstring& path)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<std::pair<double, double>> result;
    {
        ScopedComPtr<IWICImagingFactory> factory;
        ScopedComPtr<IWICBitmapFrameDecode> frame;
        double x = 0, y = 0;
        if (OpenPngFrame(path, factory, frame) && SUCCEEDED(frame->GetResolution(&x, &y)))
            result = std::make_pair(x, y);
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return result;
}

std::string FileStart(const std::wstring& path, std::size_t count)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::optional<FormatInfo> ReadFormatInfo(HBITMAP symbol)
{
    int width = 0, height = 0;
    const std::vector<DWORD> pixels = BitmapPixels(symbol, &width, &height);
    if (pixels.empty() || width != height || width < 29) return std::nullopt;
    const int size = width - 8;
    auto dark = [&](int x, int y) {
        return pixels[static_cast<std::size_t>(y + 4) * width + x + 4] == 0;
    };

    // ISO/IEC 18004, 7.9.1: bit i of the format word beside the top-left
    // finder, and its second copy split between the other two finders.
    int first = 0, second = 0;
    for (int i = 0; i <= 5; ++i) first |= dark(8, i) << i;
    first |= dark(8, 7) << 6 | dark(8, 8) << 7 | dark(7, 8) << 8;
    for (int i = 9; i < 15; ++i) first |= dark(14 - i, 8) << i;
    for (int i = 0; i < 8; ++i) second |= dark(size - 1 - i, 8) << i;
    for (int i = 8; i < 15; ++i) second |= dark(8, size - 15 + i) << i;
    if (first != second) return std::nullopt;

    const int word = first ^ 0x5412;
    const int data = word >> 10;
    int remainder = data;
    for (int i = 0; i < 10; ++i) remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537);
    if ((data << 10 | (remainder & 0x3FF)) != word) return std::nullopt;
    // Table 12: level indicators L 01, M 00, Q 11, H 10.
    constexpr int LevelOfBits[] = {2, 1, 4, 3};
    return FormatInfo{LevelOfBits[data >> 3], data & 7};
}

std::vector<DWORD> SaveScreen(const RECT& area, const std::string& unixPngPath)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    void* bits = nullptr;
    ScopedBitmap shot = NewTopDownDib(width, height, &bits);
    if (!shot) return {};
    {
        ScopedGetDC screen(nullptr);
        ScopedMemDC dc(screen.get());
        ScopedSelectObject selected(dc.get(), shot.get());
        BitBlt(dc.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
        GdiFlush();
    }
    const auto* pixels = static_cast<const DWORD*>(bits);
    const std::vector<std::uint8_t> png =
        EncodePng(static_cast<const std::uint8_t*>(bits), width, height, width * 4);
    std::wstring path;
    for (const char c : unixPngPath) path += c == '/' ? L'\\' : wchar_t(c);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
        CloseHandle(file);
    }
    return std::vector<DWORD>(pixels, pixels + static_cast<std::size_t>(width) * height);
}

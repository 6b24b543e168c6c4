// Push-button skin: faces, region, states and the cross-fade, driven by
// sending the messages directly (WM_TIMER included), so nothing waits.
#include "ButtonSkin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "SkinBitmaps.h"
#include "SkinEngine.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::CreateChild;
using skintest::Hex;
using skintest::PropHandle;
using skintest::PropValue;
using skintest::RgbAt;
using skintest::WindowRgbAt;

constexpr int W = 64, H = 30;

HDC Face(HWND button, int state)
{
    const char name[] = {static_cast<char>('0' + state), 'H', 'D', 'C', '\0'};
    return PropHandle<HDC>(button, name);
}

std::uint32_t StripPixel(int state, int x, int y)
{
    return RgbAt(ButtonFaceStrip(), x, ButtonFaceHeight * state + y);
}

bool Near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// One blend of face over before at level/255, channel by channel.
std::uint32_t Mixed(std::uint32_t before, std::uint32_t face, int level)
{
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const int b = (before >> shift) & 0xFF, f = (face >> shift) & 0xFF;
        out |= static_cast<std::uint32_t>(b + (f - b) * level / 255) << shift;
    }
    return out;
}

int Level(HWND b) { return static_cast<int>(PropValue(b, "ALPHALEVEL")); }
int State(HWND b) { return static_cast<int>(PropValue(b, "OLDSTATE")); }
int TimerId(HWND b) { return static_cast<int>(PropValue(b, "TIMERID")); }
bool TimerRuns(HWND b)
{
    // KillTimer fails when no timer 1 exists; restart it if it did.
    if (!KillTimer(b, 1)) return false;
    SetTimer(b, 1, 15, nullptr);
    return true;
}

// The slot of this program's import address table through which every call of
// dll!function goes (the skin is linked in statically), or null.
void** ImportSlot(const char* dll, const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name; ++module) {
        if (_stricmp(reinterpret_cast<const char*>(base + module->Name), dll) != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

// Every SetTimer call of this program, recorded and passed on, while it lives.
class SetTimerRecorder {
public:
    struct Call {
        HWND hwnd;
        UINT_PTR id;
        UINT period;
    };
    SetTimerRecorder() : slot_(ImportSlot("user32.dll", "SetTimer"))
    {
        if (slot_) {
            real_ = reinterpret_cast<Function>(*slot_);
            Patch(reinterpret_cast<void*>(&Record));
        }
    }
    ~SetTimerRecorder()
    {
        if (slot_) Patch(reinterpret_cast<void*>(real_));
    }
    SetTimerRecorder(const SetTimerRecorder&) = delete;
    SetTimerRecorder& operator=(const SetTimerRecorder&) = delete;
    bool Hooked() const { return slot_ != nullptr; }
    static std::vector<Call>& Calls()
    {
        static std::vector<Call> calls;
        return calls;
    }

private:
    using Function = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC);
    static inline Function real_ = nullptr;
    static UINT_PTR WINAPI Record(HWND hwnd, UINT_PTR id, UINT period, TIMERPROC procedure)
    {
        Calls().push_back({hwnd, id, period});
        return real_(hwnd, id, period, procedure);
    }
    void Patch(void* target)
    {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &old);
        *slot_ = target;
        VirtualProtect(slot_, sizeof *slot_, old, &old);
    }
    void** slot_;
};

void Send(HWND b, UINT msg, WPARAM wParam = 0, LPARAM lParam = 0)
{
    SendMessageW(b, msg, wParam, lParam);
}

// Runs the fade to its end by sending WM_TIMER, checking that every tick is
// exactly one blend of the face at the level it started with. Returns the
// levels blended.
std::vector<int> RunFade(HWND b)
{
    std::vector<int> levels;
    const int state = State(b);
    const std::uint32_t face = RgbAt(Face(b, state), W / 2, H / 2);
    for (int tick = 0; tick < 300 && TimerId(b) != 0; ++tick) {
        const int level = Level(b);
        const std::uint32_t before = WindowRgbAt(b, W / 2, H / 2);
        Send(b, WM_TIMER, 1);
        const std::uint32_t after = WindowRgbAt(b, W / 2, H / 2);
        EXPECT_TRUE(Near(after, Mixed(before, face, level), 2))
            << "level " << level << ": " << Hex(before) << " -> " << Hex(after) << ", face "
            << Hex(face);
        levels.push_back(level);
    }
    return levels;
}

std::vector<int> Levels(int from)
{
    std::vector<int> levels;
    for (int a = from; a <= 255; a += 3) levels.push_back(a);
    if (levels.back() != 255) levels.push_back(255);
    return levels;
}

class ButtonSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        form_ = skintest::CreateTopWindow(L"form");
        button_ = CreateChild(form_, L"Button", L"", BS_PUSHBUTTON, 20, 20, W, H);
        ASSERT_EQ(SkinStart(form_), 1);
        ASSERT_NE(Face(button_, 0), nullptr);
    }
    void TearDown() override { SkinStop(form_); }
    HWND form_ = nullptr;
    HWND button_ = nullptr;
};

TEST_F(ButtonSkin, AttachSetsUpPropertiesAndOwnerDraw)
{
    EXPECT_EQ(GetWindowLongPtrW(button_, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(PropValue(button_, "OLDSTYLE") & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(PropValue(button_, "OLDSTYLE") & WS_CHILD, WS_CHILD);
    EXPECT_EQ(PropValue(button_, "MOUSEFLAG"), 0);
    EXPECT_EQ(TimerId(button_), 0);
    EXPECT_EQ(State(button_), 0);
    EXPECT_EQ(Level(button_), 0);
    for (int n = 0; n < 4; ++n) {
        const char bmp[] = {static_cast<char>('0' + n), 'B', 'M', 'P', '\0'};
        HBITMAP bitmap = PropHandle<HBITMAP>(button_, bmp);
        EXPECT_EQ(GetCurrentObject(Face(button_, n), OBJ_BITMAP), bitmap) << n;
        const SIZE size = skintest::SelectedBitmapSize(Face(button_, n));
        EXPECT_EQ(size.cx, W);
        EXPECT_EQ(size.cy, H);
    }
}

TEST_F(ButtonSkin, FacesAreTheStripStatesStretchedByTheNineGrid)
{
    for (int n = 0; n < 4; ++n) {
        SCOPED_TRACE(n);
        HDC face = Face(button_, n);
        // Corners unscaled.
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(RgbAt(face, x, y), StripPixel(n, x, y));
                EXPECT_EQ(RgbAt(face, W - 3 + x, y), StripPixel(n, 4 + x, y));
                EXPECT_EQ(RgbAt(face, x, H - 3 + y), StripPixel(n, x, 18 + y));
                EXPECT_EQ(RgbAt(face, W - 3 + x, H - 3 + y), StripPixel(n, 4 + x, 18 + y));
            }
        // The centre column stretched across: every row is one colour between
        // the borders, and top and bottom rows are the strip's x = 3.
        for (int y = 0; y < H; ++y) {
            const std::uint32_t middle = RgbAt(face, W / 2, y);
            for (int x = 3; x < W - 3; ++x) ASSERT_EQ(RgbAt(face, x, y), middle) << x << "," << y;
        }
        EXPECT_EQ(RgbAt(face, W / 2, 0), StripPixel(n, 3, 0));
        EXPECT_EQ(RgbAt(face, W / 2, H - 1), StripPixel(n, 3, 20));
        // Rows 3..17 stretched down, in order, first and last included.
        int previous = 3;
        for (int y = 3; y < H - 3; ++y) {
            const std::uint32_t c = RgbAt(face, W / 2, y);
            int row = previous;
            while (row <= 17 && StripPixel(n, 3, row) != c) ++row;
            ASSERT_LE(row, 17) << "row " << y << " colour " << Hex(c) << " not from rows "
                               << previous << "..17";
            previous = row;
            // Left and right borders follow the same rows.
            EXPECT_EQ(RgbAt(face, 0, y), StripPixel(n, 0, row));
            EXPECT_EQ(RgbAt(face, W - 1, y), StripPixel(n, 6, row));
        }
        EXPECT_EQ(RgbAt(face, W / 2, 3), StripPixel(n, 3, 3));
        EXPECT_EQ(previous, 17);
    }
}

TEST_F(ButtonSkin, RegionHasRoundedCorners)
{
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(button_, region), COMPLEXREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, W);
    EXPECT_EQ(box.bottom, H);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    for (POINT p :
         {POINT{W / 2, 0}, POINT{0, H / 2}, POINT{W - 1, H / 2}, POINT{W / 2, H - 1}, POINT{1, 1}})
        EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
    DeleteObject(region);
}

TEST_F(ButtonSkin, DisabledButtonStartsDisabledAndEnablingRestoresNormal)
{
    HWND off = CreateChild(form_, L"Button", L"", BS_PUSHBUTTON | WS_DISABLED, 100, 20, W, H);
    ASSERT_EQ(SkinAttach(off), 1);
    EXPECT_EQ(State(off), 3);
    EnableWindow(off, TRUE); // WM_ENABLE, wParam 1
    EXPECT_EQ(State(off), 0);
    EnableWindow(off, FALSE);
    EXPECT_EQ(State(off), 3);
    // The blend shows the disabled face.
    Send(off, WM_MOUSEMOVE); // would be Hot, but a disabled button blends Disabled
    SetPropA(off, "ALPHALEVEL", reinterpret_cast<HANDLE>(255));
    BlendButtonFace(off, nullptr);
    EXPECT_EQ(State(off), 3);
    EXPECT_EQ(WindowRgbAt(off, W / 2, H / 2), RgbAt(Face(off, 3), W / 2, H / 2));
}

TEST_F(ButtonSkin, HoverFadesTheHotFaceInFromZero)
{
    skintest::FillWindow(button_, RGB(0, 0, 0));
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(PropValue(button_, "MOUSEFLAG"), 1);
    EXPECT_EQ(State(button_), 1);
    EXPECT_EQ(TimerId(button_), 1);
    EXPECT_TRUE(TimerRuns(button_));
    EXPECT_EQ(RunFade(button_), Levels(0)); // 0, 3, ..., 252, 255: 86 ticks
    EXPECT_EQ(Levels(0).size(), 86u);
    EXPECT_EQ(Level(button_), 0);
    EXPECT_EQ(TimerId(button_), 0);
    EXPECT_FALSE(TimerRuns(button_));
    EXPECT_EQ(WindowRgbAt(button_, W / 2, H / 2), RgbAt(Face(button_, 1), W / 2, H / 2));
}

TEST_F(ButtonSkin, TheFadeTicksEvery15Milliseconds)
{
    SetTimerRecorder recorder;
    ASSERT_TRUE(recorder.Hooked()) << "SetTimer is not imported by name";
    SetTimerRecorder::Calls().clear();
    // Hover and click each start a fade.
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    RunFade(button_);
    Send(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Send(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    const std::vector<SetTimerRecorder::Call> calls = SetTimerRecorder::Calls();
    RunFade(button_);
    ASSERT_GE(calls.size(), 2u);
    for (const SetTimerRecorder::Call& call : calls) {
        EXPECT_EQ(call.hwnd, button_);
        EXPECT_EQ(call.id, 1u);
        EXPECT_EQ(call.period, 15u);
    }
}

TEST_F(ButtonSkin, LeaveShowsHotAt140ThenFadesNormalFromZero)
{
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    skintest::FillWindow(button_, RGB(0, 0, 0));
    Send(button_, WM_MOUSELEAVE);
    const std::uint32_t hot = RgbAt(Face(button_, 1), W / 2, H / 2);
    EXPECT_TRUE(Near(WindowRgbAt(button_, W / 2, H / 2), Mixed(0, hot, 140), 2));
    EXPECT_EQ(PropValue(button_, "MOUSEFLAG"), 0);
    EXPECT_EQ(State(button_), 0);
    EXPECT_EQ(RunFade(button_), Levels(0));
    EXPECT_FALSE(TimerRuns(button_));
}

TEST_F(ButtonSkin, ClickPressesAtOnceThenFadesNormalFromSixty)
{
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(TimerRuns(button_));
    skintest::FillWindow(button_, RGB(0, 0, 0));
    Send(button_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(State(button_), 2);
    EXPECT_EQ(Level(button_), 0);
    EXPECT_EQ(TimerId(button_), 0);
    EXPECT_FALSE(TimerRuns(button_));
    EXPECT_EQ(WindowRgbAt(button_, W / 2, H / 2), RgbAt(Face(button_, 2), W / 2, H / 2));

    Send(button_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(State(button_), 0);
    EXPECT_EQ(Level(button_), 60);
    EXPECT_EQ(PropValue(button_, "MOUSEFLAG"), 0);
    EXPECT_TRUE(TimerRuns(button_));
    EXPECT_EQ(RunFade(button_), Levels(60)); // 60, 63, ..., 255: 66 ticks
    EXPECT_FALSE(TimerRuns(button_));
    // The next move inside goes to Hot.
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));
    EXPECT_EQ(State(button_), 1);
    EXPECT_EQ(Level(button_), 0);
    EXPECT_TRUE(TimerRuns(button_));
}

TEST_F(ButtonSkin, DoubleClickPressesAtOnce)
{
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Send(button_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(State(button_), 2);
    EXPECT_FALSE(TimerRuns(button_));
}

TEST_F(ButtonSkin, SpaceBarPressesAndReleasesOtherKeysChangeNothing)
{
    SetFocus(button_);
    ASSERT_EQ(GetFocus(), button_);
    EXPECT_TRUE(TimerRuns(button_)); // the focus change fades the face in
    skintest::FillWindow(button_, RGB(0, 0, 0));
    Send(button_, WM_KEYDOWN, VK_SPACE, 1);
    EXPECT_EQ(State(button_), 2);
    EXPECT_FALSE(TimerRuns(button_));
    EXPECT_EQ(WindowRgbAt(button_, W / 2, H / 2), RgbAt(Face(button_, 2), W / 2, H / 2));
    Send(button_, WM_KEYUP, VK_SPACE, 1);
    EXPECT_EQ(State(button_), 0);
    EXPECT_EQ(Level(button_), 0);
    EXPECT_EQ(PropValue(button_, "MOUSEFLAG"), 0);
    EXPECT_TRUE(TimerRuns(button_));
    EXPECT_EQ(RunFade(button_), Levels(0));

    Send(button_, WM_KEYDOWN, 'A', 1);
    Send(button_, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(State(button_), 0);
    EXPECT_EQ(Level(button_), 0);
    EXPECT_FALSE(TimerRuns(button_));
    Send(button_, WM_KEYUP, 'A', 1);
    EXPECT_FALSE(TimerRuns(button_));
}

TEST_F(ButtonSkin, FocusDrawsTheFocusRectangleOnEveryFace)
{
    const std::uint32_t plain = RgbAt(Face(button_, 0), 2, H / 2);
    SetFocus(button_);
    for (int n = 0; n < 4; ++n)
        EXPECT_NE(RgbAt(Face(button_, n), 2, H / 2), StripPixel(n, 2, 10)) << n;
    EXPECT_EQ(Level(button_), 0);
    SetFocus(form_);
    EXPECT_EQ(RgbAt(Face(button_, 0), 2, H / 2), plain);
}

TEST_F(ButtonSkin, PaintShowsTheFaceAtFullStrengthAndStopsTheFade)
{
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(TimerRuns(button_));
    skintest::FillWindow(button_, RGB(0, 0, 0));
    InvalidateRect(button_, nullptr, FALSE);
    UpdateWindow(button_);
    EXPECT_FALSE(TimerRuns(button_));
    EXPECT_EQ(TimerId(button_), 0);
    EXPECT_EQ(Level(button_), 255);
    EXPECT_EQ(WindowRgbAt(button_, W / 2, H / 2), RgbAt(Face(button_, 1), W / 2, H / 2));
}

TEST_F(ButtonSkin, ResizeRendersFacesAndRegionForTheNewSize)
{
    HBITMAP old = PropHandle<HBITMAP>(button_, "0BMP");
    SetWindowPos(button_, nullptr, 0, 0, 90, 41, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HBITMAP now = PropHandle<HBITMAP>(button_, "0BMP");
    EXPECT_NE(now, old);
    EXPECT_EQ(GetObjectType(old), 0u);
    for (int n = 0; n < 4; ++n) {
        HDC face = Face(button_, n);
        const SIZE size = skintest::SelectedBitmapSize(face);
        EXPECT_EQ(size.cx, 90);
        EXPECT_EQ(size.cy, 41);
        EXPECT_EQ(RgbAt(face, 89, 40), StripPixel(n, 6, 20));
        EXPECT_EQ(RgbAt(face, 87, 0), StripPixel(n, 4, 0));
        EXPECT_EQ(RgbAt(face, 45, 40), StripPixel(n, 3, 20));
    }
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(button_, region), COMPLEXREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.right, 90);
    EXPECT_EQ(box.bottom, 41);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 89, 20));
    DeleteObject(region);
}

TEST_F(ButtonSkin, DetachRestoresStyleAndReleasesFacesAndRegion)
{
    SetWindowPos(button_, nullptr, 0, 0, 70, 28, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Send(button_, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(TimerRuns(button_));
    std::vector<HGDIOBJ> handles;
    for (int n = 0; n < 4; ++n) {
        const char bmp[] = {static_cast<char>('0' + n), 'B', 'M', 'P', '\0'};
        handles.push_back(Face(button_, n));
        handles.push_back(PropHandle<HBITMAP>(button_, bmp));
    }
    const LONG_PTR style = PropValue(button_, "OLDSTYLE");
    ASSERT_EQ(SkinDetach(button_), 1);
    EXPECT_EQ(GetWindowLongPtrW(button_, GWL_STYLE), style);
    EXPECT_FALSE(TimerRuns(button_));
    for (HGDIOBJ handle : handles) EXPECT_EQ(GetObjectType(handle), 0u);
    for (const char* name : {"OLDSTYLE", "MOUSEFLAG", "TIMERID", "OLDSTATE", "ALPHALEVEL", "0HDC",
                             "3HDC", "0BMP", "3BMP", "PROCADDR"})
        EXPECT_EQ(GetPropA(button_, name), nullptr) << name;
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(button_, region), ERROR);
    DeleteObject(region);
}

TEST_F(ButtonSkin, CheckBoxStyledButtonsKeepTheirOwnPainting)
{
    HWND check = CreateChild(form_, L"Button", L"check", BS_AUTOCHECKBOX, 20, 80, 90, 24);
    HWND radio = CreateChild(form_, L"Button", L"radio", BS_AUTORADIOBUTTON, 20, 110, 90, 24);
    ASSERT_EQ(SkinAttach(check), 1);
    ASSERT_EQ(SkinAttach(radio), 1);
    EXPECT_EQ(GetWindowLongPtrW(check, GWL_STYLE) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_EQ(GetWindowLongPtrW(radio, GWL_STYLE) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(check, region), COMPLEXREGION);
    DeleteObject(region);
    // No face is blended over it, and its own paint draws it.
    skintest::FillWindow(check, RGB(0, 0, 0));
    SetPropA(check, "ALPHALEVEL", reinterpret_cast<HANDLE>(255));
    BlendButtonFace(check, nullptr);
    Send(check, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    Send(check, WM_TIMER, 1);
    auto blackPixels = [&] {
        int count = 0;
        for (int y = 2; y < 22; y += 2)
            for (int x = 2; x < 88; x += 2) count += WindowRgbAt(check, x, y) == 0;
        return count;
    };
    EXPECT_EQ(blackPixels(), 10 * 43);
    InvalidateRect(check, nullptr, TRUE);
    UpdateWindow(check);
    EXPECT_LT(blackPixels(), 10 * 43 / 2);
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(radio, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(ButtonSkin, CaptionIsDrawnBlackOrGreyAndChangesShowAfterRerendering)
{
    HWND labelled = CreateChild(form_, L"Button", L"WWWW", BS_PUSHBUTTON, 100, 60, 90, 30);
    ASSERT_EQ(SkinAttach(labelled), 1);
    auto inked = [&](int n, std::uint32_t ink) {
        int count = 0;
        for (int y = 3; y < 27; ++y)
            for (int x = 3; x < 87; ++x) count += Near(RgbAt(Face(labelled, n), x, y), ink, 40);
        return count;
    };
    const int black = inked(0, 0x000000);
    EXPECT_GT(black, 10);
    // Normal, hot and pressed faces in black, the disabled one in grey only.
    for (const int n : {1, 2}) EXPECT_GT(inked(n, 0x000000), 10) << "face " << n;
    EXPECT_GT(inked(3, 0x798A96), 10);
    EXPECT_EQ(inked(3, 0x000000), 0);
    SetWindowTextW(labelled, L"");
    EXPECT_EQ(inked(0, 0x000000), black); // not rendered again yet
    SetWindowPos(labelled, nullptr, 0, 0, 90, 31, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Without a caption no face has black ink: what was counted was the text.
    for (const int n : {0, 1, 2, 3}) EXPECT_EQ(inked(n, 0x000000), 0) << "face " << n;
}

} // namespace

// Leaks found by exhaustion. Wine answers GetGuiResources with 0, but a
// process can hold only about 65,000 GDI objects. Each test first takes all
// of them but Headroom with brushes of its own, so a loop that leaks one
// object in every (cycles / Headroom) repetitions runs out before it ends,
// and the closing checks (the skin still draws) fail. Against the full
// table the same power takes 65,000 x (cycles / Headroom) repetitions:
// 6,000 cycles here find what 70,000 cycles with all slots free would not
// even find (a leak per 15 cycles), in a twelfth of the time (a cycle costs
// about 3 ms under Wine). The budget is checked to be real first.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ButtonSkin.h"
#include "SkinBitmaps.h"
#include "SkinEngine.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"
#include "SkinTestSupport.h"

namespace {

using skintest::CreateChild;
using skintest::PropHandle;
using skintest::RgbAt;

// Free GDI slots left for the engine: a cycle holds about 20 at once (five
// strips, four faces with their bitmaps, a region, scratch DCs).
constexpr int Headroom = 400;
constexpr int StartStopCycles = 6000;
constexpr int AttachCycles = 6000;
constexpr int Fades = 1500; // 129,000 ticks

// A container inside an unskinned host window, with an edit, a label and a
// push button. Not shown: leaks do not need pixels on the screen, and
// invisible windows cost less per message.
struct Form {
    HWND host, container, edit, label, button;
};

Form MakeForm()
{
    Form f{};
    skintest::EnsureClass(L"SkinLeakHost");
    skintest::EnsureClass(L"form");
    f.host = CreateWindowExW(0, L"SkinLeakHost", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
    f.container = CreateChild(f.host, L"form", L"", 0, 0, 0, 280, 180);
    f.edit = CreateChild(f.container, L"Edit", L"", WS_BORDER, 10, 40, 100, 22, WS_EX_CLIENTEDGE);
    f.label = CreateChild(f.container, L"Static", L"label", 0, 10, 70, 60, 20);
    f.button = CreateChild(f.host, L"Button", L"", BS_PUSHBUTTON, 10, 10, 40, 24);
    return f;
}

// The normal face is the strip's, stretched, and it still blends onto a DC.
void ExpectDrawableButton(HWND button)
{
    HDC face = PropHandle<HDC>(button, "0HDC");
    ASSERT_NE(face, nullptr);
    ASSERT_NE(ButtonFaceStrip(), nullptr);
    EXPECT_EQ(RgbAt(face, 0, 0), 0xBFE1F9u);
    EXPECT_EQ(RgbAt(face, 20, 3), 0xF1F8FCu);
    ScopedBitmapDC target = CreateMemoryDC(40, 24);
    ASSERT_TRUE(target);
    SetPropA(button, "ALPHALEVEL", reinterpret_cast<HANDLE>(255));
    SetPropA(button, "OLDSTATE", reinterpret_cast<HANDLE>(0));
    BlendButtonFace(button, target.get());
    EXPECT_EQ(RgbAt(target.get(), 20, 3), 0xF1F8FCu);
}

class SkinLeaks : public ::testing::Test {
protected:
    void SetUp() override
    {
        f_ = MakeForm();
        ASSERT_NE(f_.button, nullptr);
    }
    void TearDown() override
    {
        SkinStop(f_.button);
        SkinStop(f_.container);
    }
    Form f_{};
};

TEST_F(SkinLeaks, BudgetIsRealAndALeakingLoopRunsOut)
{
    // What the other tests rely on: with the budget taken, a loop leaking one
    // object per cycle fails within Headroom cycles.
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted());
    int leaked = 0;
    std::vector<HBRUSH> leaks;
    while (leaked < 2 * Headroom) {
        HBRUSH brush = CreateSolidBrush(0);
        if (!brush) break;
        leaks.push_back(brush);
        ++leaked;
    }
    EXPECT_LE(leaked, Headroom);
    for (HBRUSH brush : leaks) DeleteObject(brush);
}

TEST_F(SkinLeaks, StartStopCyclesOfAWindowWithChildren)
{
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted());
    for (int i = 0; i < StartStopCycles; ++i) {
        ASSERT_EQ(SkinStart(f_.container), 1) << "cycle " << i;
        ASSERT_TRUE(SkinBitmapsPainted()) << "cycle " << i;
        ASSERT_EQ(SkinStop(f_.container), 1) << "cycle " << i;
    }
    ASSERT_EQ(SkinStart(f_.container), 1);
    ASSERT_TRUE(SkinBitmapsPainted());
    EXPECT_EQ(RgbAt(ButtonFaceStrip(), 3, 0), 0x1B8FD5u);
    EXPECT_EQ(RgbAt(OptionCircleStrip(), 0, 6), 0x83A6D2u);
    EXPECT_EQ(RgbAt(HeaderFaceStrip(), 8, 19), 0xC0DAF2u);
    ASSERT_EQ(SkinAttach(f_.button), 1);
    ExpectDrawableButton(f_.button);
}

TEST_F(SkinLeaks, AttachDetachCyclesOfAPushButton)
{
    ASSERT_EQ(SkinStart(f_.container), 1); // keeps the strips alive
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted());
    for (int i = 0; i < AttachCycles; ++i) {
        ASSERT_EQ(SkinAttach(f_.button), 1) << "cycle " << i;
        ASSERT_NE(PropHandle<HDC>(f_.button, "3HDC"), nullptr) << "cycle " << i;
        ASSERT_EQ(SkinDetach(f_.button), 1) << "cycle " << i;
    }
    ASSERT_EQ(SkinAttach(f_.button), 1);
    ExpectDrawableButton(f_.button);
}

TEST_F(SkinLeaks, CompleteFadesDrivenByTimerMessages)
{
    ASSERT_EQ(SkinStart(f_.container), 1);
    ASSERT_EQ(SkinAttach(f_.button), 1);
    skintest::GdiBudget budget(Headroom);
    ASSERT_TRUE(budget.exhausted());
    for (int i = 0; i < Fades; ++i) {
        // Enter (hot from 0) and leave (hot at 140, normal from 0) in turn,
        // each fade run to its end.
        SendMessageW(f_.button, i % 2 ? WM_MOUSELEAVE : WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        int ticks = 0;
        while (GetPropA(f_.button, "TIMERID") && ticks < 100) {
            SendMessageW(f_.button, WM_TIMER, 1, 0);
            ++ticks;
        }
        ASSERT_EQ(ticks, 86) << "fade " << i;
    }
    ExpectDrawableButton(f_.button);
}

} // namespace

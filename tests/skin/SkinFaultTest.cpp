// The skin and the heap: this program replaces operator new with one that
// counts and fails on request. Routing a message must not allocate, and when
// memory runs out the skin must neither let std::bad_alloc unwind through
// Windows nor leave a window half attached.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "ControlTestSupport.h"
#include "SkinEngine.h"
#include "SkinTestSupport.h"

namespace {

// Every allocation of the program is counted.
std::atomic<long> allocations{0};
// The allocation that fails: the n-th from FailAllocation(n) on, once.
std::atomic<int> allocationsLeft{0};
std::atomic<bool> failedOne{false};

void FailAllocation(int n)
{
    failedOne = false;
    allocationsLeft = n;
}

// Stops failing; true when an allocation failed since FailAllocation.
bool StopFailing()
{
    allocationsLeft = 0;
    return failedOne;
}

} // namespace

void* operator new(std::size_t size)
{
    ++allocations;
    if (allocationsLeft > 0 && --allocationsLeft == 0) {
        failedOne = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

using skintest::WindowRgbAt;

constexpr int MaxAllocations = 64;

TEST(SkinFault, APaintThatRunsOutOfMemoryLeavesTheHeaderUnpaintedAndRunning)
{
    HWND form = controltest::CreateForm();
    HWND header =
        skintest::CreateChild(form, WC_HEADERW, L"", HDS_HORZ | HDS_BUTTONS, 10, 10, 300, 24);
    for (int i = 0; i < 2; ++i) {
        // Long enough for the item's text to need the heap, several times.
        wchar_t text[] = L"a column header whose text outgrows every small buffer";
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.cxy = 150;
        item.pszText = text;
        SendMessageW(header, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    controltest::Skin(form);
    const std::uint32_t skinned = WindowRgbAt(header, 75, 0);

    int failures = 0;
    for (int n = 1; n <= MaxAllocations; ++n) {
        skintest::FillWindow(header, RGB(0xFF, 0x00, 0xFF));
        FailAllocation(n);
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const bool failed = StopFailing();
        if (failed) {
            EXPECT_EQ(WindowRgbAt(header, 75, 0), 0xFF00FFu) << "half a paint at " << n;
        }
        // Still answering, and the next paint draws the skin again.
        ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2) << n;
        RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_EQ(WindowRgbAt(header, 75, 0), skinned) << "no paint after failing at " << n;
        if (!failed) break;
        ++failures;
    }
    EXPECT_GT(failures, 0) << "the paint made no allocation that could fail";
    EXPECT_LT(failures, MaxAllocations);
}

WNDPROC ProcOf(HWND hwnd)
{
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
}

TEST(SkinFault, AnAttachThatRunsOutOfMemoryLeavesTheButtonAsItWas)
{
    HWND form = controltest::CreateForm();
    HWND button = skintest::CreateChild(form, L"Button", L"a caption that outgrows small buffers",
                                        BS_PUSHBUTTON, 10, 10, 200, 30);
    const WNDPROC own = ProcOf(button);
    const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
    // Windows of earlier tests in this process may still be attached.
    const int attachedBefore = SkinAttachCount();
    int failures = 0;
    for (int n = 1; n <= MaxAllocations; ++n) {
        FailAllocation(n);
        int attached = 0;
        try {
            attached = SkinStart(button);
        } catch (const std::bad_alloc&) {
        }
        const bool failed = StopFailing();
        if (attached) {
            // Only a repaint after the attach failed: the button is skinned.
            EXPECT_NE(GetPropA(button, "0HDC"), nullptr) << n;
            ASSERT_EQ(SkinStop(button), 1) << n;
        } else {
            EXPECT_TRUE(failed) << "refused without a failure at " << n;
            EXPECT_EQ(SkinAttachCount(), attachedBefore) << n;
        }
        EXPECT_EQ(ProcOf(button), own) << n;
        EXPECT_EQ(GetWindowLongPtrW(button, GWL_STYLE), style) << n;
        for (const char* name : {"PROCADDR", "OLDSTYLE", "0HDC", "3BMP"})
            EXPECT_EQ(GetPropA(button, name), nullptr) << name << " left at " << n;
        if (!failed) break;
        ++failures;
    }
    EXPECT_GT(failures, 0) << "the attach made no allocation that could fail";
    EXPECT_LT(failures, MaxAllocations);
}

TEST(SkinFault, RoutingMessagesAllocatesNothing)
{
    // A class name longer than any small-string buffer, the kind looked up
    // on every message.
    controltest::RegisterSuperclass(L"ThunderRT6CommandButton", L"Button");
    HWND form = controltest::CreateForm();
    HWND button = skintest::CreateChild(form, L"ThunderRT6CommandButton", L"OK", BS_PUSHBUTTON, 10,
                                        60, 80, 24);
    controltest::Skin(form);
    const long before = allocations;
    for (int i = 0; i < 50; ++i) {
        for (UINT msg : {WM_MOUSEMOVE, WM_TIMER, WM_NCPAINT, WM_GETTEXTLENGTH})
            SendMessageW(button, msg, 0, MAKELPARAM(5, 5));
        RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(allocations - before, 0);
}

} // namespace

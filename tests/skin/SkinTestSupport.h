// Windows, pixels and message pumping shared by the skin engine's tests.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skintest {

// A top-level window of the given class (registered on first use with
// DefWindowProcW), shown at (40, 40), 340 x 280. Tests leave it to the end
// of the process: hiding or destroying a visible top-level window waits about
// 2 s for the X server under Wine without a window manager. It must be
// visible, or reading its pixels back fails.
HWND CreateTopWindow(const wchar_t* className, const wchar_t* title = L"skin test");
// A fixture with one top-level window, top_ (CreateTopWindow).
class TopWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        top_ = CreateTopWindow(L"SkinTestTop");
        ASSERT_NE(top_, nullptr);
    }
    HWND top_ = nullptr;
};

// A child control of a system class ("Button", "Edit", ...) or of a class
// made by CreateTopWindow's registration.
HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int x,
                 int y, int width, int height, DWORD exStyle = 0);
// Registers className (DefWindowProcW) if it is not registered yet.
void EnsureClass(const wchar_t* className);

// Runs every message waiting now and returns (never waits).
void PumpPending();

// #RRGGBB of a pixel, for readable expectations.
std::uint32_t RgbAt(HDC dc, int x, int y);
// #RRGGBB of a pixel of the window's window DC.
std::uint32_t WindowRgbAt(HWND hwnd, int x, int y);
// Fills the whole window through its window DC.
void FillWindow(HWND hwnd, COLORREF colour);
// Width and height of the bitmap selected into dc (0 x 0 when none).
SIZE SelectedBitmapSize(HDC dc);

// The handle stored in a window property, as the engine stores it.
template <typename Handle>
Handle PropHandle(HWND hwnd, const char* name)
{
    return reinterpret_cast<Handle>(GetPropA(hwnd, name));
}
inline std::intptr_t PropValue(HWND hwnd, const char* name)
{
    return reinterpret_cast<std::intptr_t>(GetPropA(hwnd, name));
}

// Brushes holding all GDI slots of the process but headroom, released on
// destruction: a loop that leaks one object in every (cycles / headroom)
// repetitions then runs out before it ends. Bounded: Wine's table has 65,536
// entries; a system without a limit shows up as not exhausted.
class GdiBudget {
public:
    explicit GdiBudget(int headroom)
    {
        for (int i = 0; i < 200000; ++i) {
            HBRUSH brush = CreateSolidBrush(RGB(i & 0xFF, 0, 0));
            if (!brush) {
                exhausted_ = true;
                break;
            }
            brushes_.push_back(brush);
        }
        for (int i = 0; i < headroom && !brushes_.empty(); ++i) {
            DeleteObject(brushes_.back());
            brushes_.pop_back();
        }
    }
    ~GdiBudget()
    {
        for (HBRUSH brush : brushes_) DeleteObject(brush);
    }
    GdiBudget(const GdiBudget&) = delete;
    GdiBudget& operator=(const GdiBudget&) = delete;
    bool exhausted() const { return exhausted_; }
    size_t held() const { return brushes_.size(); }

private:
    std::vector<HBRUSH> brushes_;
    bool exhausted_ = false;
};

// Formats #RRGGBB for failure messages.
std::string Hex(std::uint32_t rrggbb);

} // namespace skintest

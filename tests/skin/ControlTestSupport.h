// Helpers for the control-painter tests: test-only window classes under the
// names the skin recognises, a skinned form, and pixel comparisons against
// the strips.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace controltest {

// Registers className as a superclass of the system class base ("Button",
// "ComboBox", "ListBox", "msctls_progress32"): the base class's window
// procedure, extra bytes and styles under a new name, so the real control
// runs under the skin exactly as in a program that uses such classes.
void RegisterSuperclass(const wchar_t* className, const wchar_t* base);

// A visible top-level form of class "ThunderRT6FormDC" (a container for
// the skin), with the common controls initialised.
HWND CreateForm();

// Attaches the skin to the form and all its children (also those created
// since the last call), and lets every pending paint run.
void Skin(HWND form);

// Moves the cursor to client point (x, y) of hwnd.
void PutCursor(HWND hwnd, int x, int y);
// Moves the cursor to a point of the screen that no test window covers.
void PutCursorAway();

// Sends a mouse message to hwnd at client point (x, y) with key state keys.
LRESULT Mouse(HWND hwnd, UINT msg, int x, int y, WPARAM keys = 0);

// Counts the pixels of the width x height rectangle at (x, y) of dc that
// differ from the strip rectangle at (sx, sy). A strip pixel of the key
// colour must not show as magenta, whatever the DC has there.
int StripMismatches(HDC dc, int x, int y, HDC strip, int sx, int sy, int width, int height,
                    std::string* firstMismatch = nullptr);

// Real "ListBox" controls under the class names of the framed lists and
// grids ("DataListWndClass", "DBListWndClass", "ApexGridOleDB32"): 150 x 50
// with two rows each, stacked down one form and skinned as they come.
struct ListBoxes {
    HWND form = nullptr;
    int nextY = 10;

    HWND Make(const wchar_t* cls, DWORD style, DWORD exStyle = 0, bool enabled = true);
};

// The colour of the ring inset pixels in from the edge of a 150 x 50 list
// box window; every pixel of the ring is expected to have it.
std::uint32_t ListBoxRing(HWND hwnd, int inset = 0);

} // namespace controltest

// The main window's layout as data and arithmetic: where every control lies
// in pixels at 96 DPI (the design resolution), those places scaled to the DPI
// of the window's monitor, and the rule by which Text1 follows the window's
// width. Portable: built and tested natively as well as for the window.
#pragma once

#include <optional>
#include <span>

// The window's controls by the id GetDlgItem knows them by. cmb1 is a
// control array: Cmb1Id + index 0..3 (Cmb1).
enum FormControlId : int {
    Command1Id = 101,
    Command2Id = 102,
    Cmb1Id = 110,
    Text1Id = 120,
    Pic2Id = 130,
    Label1Id = 140,
    Label2Id = 141,
    Image1Id = 150,
};

// A control's rectangle in the window's client area, in pixels.
struct ControlRect {
    int left;
    int top;
    int width;
    int height;
    bool operator==(const ControlRect&) const = default;
};

namespace FormLayout {

// The client area at 96 DPI.
inline constexpr int ClientWidth = 506;
inline constexpr int ClientHeight = 503;
// A drop-down list's design height is that of its open list; its closed
// field is this high.
inline constexpr int ListFieldHeight = 21;
inline constexpr int ListCount = 4;
// The fonts, in points: the window's and every control's without one of its
// own, Label1's (bold) and the link's (bold, underlined but while hovered).
inline constexpr double FormFontPoints = 8.25;
inline constexpr double Label1FontPoints = 18;
inline constexpr double LinkFontPoints = 9.75;

// cmb1[index], index 0..ListCount - 1.
FormControlId Cmb1(int index);

// Every control of the window, in tab order (the order of creation).
std::span<const FormControlId> Controls();

// A design length at dpi, rounded to the nearest pixel, halves away from
// zero (as MulDiv rounds): 329 at 120 DPI is 411.
int Scaled(int designValue, int dpi);

// The control's place at 96 DPI, and scaled to dpi. Every control of
// Controls() has one; asking for any other id is a fault (an assert).
ControlRect DesignPlace(FormControlId id);
ControlRect PlaceAt(FormControlId id, int dpi);

// Form_Resize's rule at dpi: Text1 keeps the left and top of its place, ends
// 8 design pixels before the client area's right edge and is 54 design pixels
// high. Nothing when the client area is too narrow for any width (Text1 then
// stays as it is).
std::optional<ControlRect> Text1Resized(int clientWidth, int dpi);

} // namespace FormLayout

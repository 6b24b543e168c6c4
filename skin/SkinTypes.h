// Types and fixed colours shared by every part of the skin engine.
#pragma once

#include <windows.h>

#include <cstdint>

// The drawn state of a skinned control. Stored in the "OLDSTATE" window
// property as its integer value; the push-button faces 0HDC..3HDC and the
// strip rows are indexed by it as well.
enum class SkinState : int { Normal = 0, Hot = 1, Pressed = 2, Disabled = 3 };

// A window rectangle in screen coordinates, frame included (GetWindowRect),
// with its size: Width = Right - Left, Height = Bottom - Top.
struct WindowBounds {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width = 0;
    int Height = 0;
};

// The GDI colour value of an #RRGGBB colour: 0x00BBGGRR. Lets the colour
// tables be written in the usual web notation.
constexpr COLORREF Rgb(std::uint32_t rrggbb)
{
    return static_cast<COLORREF>(((rrggbb & 0xFF) << 16) | (rrggbb & 0xFF00) |
                                 ((rrggbb >> 16) & 0xFF));
}

// One-pixel frame of enabled combo boxes, drive lists, list boxes, grids,
// check boxes, progress bars and windows with a sunken client edge.
constexpr COLORREF FrameColor = Rgb(0x54A5D5);
// The same frame while the control is disabled.
constexpr COLORREF FrameColorDisabled = Rgb(0xA4CFE9);
// Filled part of a progress bar.
constexpr COLORREF ProgressColor = Rgb(0x4CD6F6);
// Transparent key of the strips: never copied by TransparentBlit.
constexpr COLORREF KeyColor = Rgb(0xFF00FF);
// Frame of an enabled check box while it is pressed.
constexpr COLORREF PressedCheckFrameColor = Rgb(0x3986C4);
// Caption of a disabled push button; enabled captions are black.
constexpr COLORREF DisabledButtonTextColor = Rgb(0x798A96);
constexpr COLORREF ButtonTextColor = Rgb(0x000000);

// What the engine does with a window, decided by its class name alone.
// The kind is never stored: every handler looks it up again.
enum class SkinKind {
    Container,    // "#32770", "thunderformdc", "thunderrt6formdc", "form"
    PushButton,   // "thundercommandbutton", "thunderrt6commandbutton", "button"
    ComboBox,     // "thundercombobox", "thunderrt6combobox", "combo", "combobox"
    DriveList,    // "thunderdrivelistbox", "thunderrt6drivelistbox"
    CheckBox,     // "thundercheckbox", "thunderrt6checkbox"
    OptionButton, // "thunderoptionbutton", "thunderrt6optionbutton"
    ProgressBar,  // "progressbar20wndclass", "progressbarwndclass"
    Header,       // "msvb_lib_header", "sysheader32"
    List,         // "datalistwndclass", "dblistwndclass", "combolbox"
    Grid,         // any class starting with "apexgrid"
    Other,        // everything else
};

// The kind of a lower-case class name (exact match, "apexgrid" by prefix).
SkinKind KindOfClassName(const char* lowerCaseName);

// The kind of a window: its class name (GetClassNameA) lower-cased and
// looked up in the table above. Other for a null or invalid handle.
SkinKind ClassKind(HWND hwnd);

#include "SkinPalette.h"

#include "SkinTypes.h"

namespace {

std::optional<bool> overridden; // UI thread only

struct RoleColours {
    SkinRole role;
    COLORREF own;
    int system; // GetSysColor index
};

// The skin's own colour of each role and the system colour that replaces it.
constexpr RoleColours Roles[] = {
    {SkinRole::Frame, FrameColor, COLOR_WINDOWTEXT},
    {SkinRole::FrameDisabled, FrameColorDisabled, COLOR_GRAYTEXT},
    {SkinRole::Field, Rgb(0xFFFFFF), COLOR_WINDOW},
    {SkinRole::FieldText, Rgb(0x000000), COLOR_WINDOWTEXT},
    {SkinRole::Active, ProgressColor, COLOR_HIGHLIGHT},
    {SkinRole::ActiveText, Rgb(0x000000), COLOR_HIGHLIGHTTEXT},
    {SkinRole::Face, Rgb(0xFFFFFF), COLOR_BTNFACE},
    {SkinRole::FaceText, ButtonTextColor, COLOR_BTNTEXT},
    {SkinRole::GrayText, DisabledButtonTextColor, COLOR_GRAYTEXT},
    {SkinRole::Brand, Rgb(0x004000), COLOR_BTNTEXT},
    {SkinRole::Link, Rgb(0x0000FF), COLOR_HOTLIGHT},
};

const RoleColours& ColoursOf(SkinRole role)
{
    for (const RoleColours& colours : Roles)
        if (colours.role == role) return colours;
    return Roles[0];
}

} // namespace

bool IsHighContrast()
{
    if (overridden) return *overridden;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void OverrideHighContrast(std::optional<bool> on) { overridden = on; }

COLORREF SystemColourFor(SkinRole role) { return GetSysColor(ColoursOf(role).system); }

COLORREF SkinColour(SkinRole role)
{
    return IsHighContrast() ? SystemColourFor(role) : ColoursOf(role).own;
}

#include "FormFonts.h"

#include "FormLayout.h"

HFONT MakeTahoma(double points, bool bold, bool underline, UINT dpi)
{
    // Negative: the height of the glyphs, not of the character cell.
    const int height = -static_cast<int>(points * dpi / 72.0 + 0.5);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Tahoma");
}

FormFonts MakeFormFonts(UINT dpi)
{
    FormFonts fonts;
    fonts.form.reset(MakeTahoma(FormLayout::FormFontPoints, false, false, dpi));
    fonts.label1.reset(MakeTahoma(FormLayout::Label1FontPoints, true, false, dpi));
    return fonts;
}

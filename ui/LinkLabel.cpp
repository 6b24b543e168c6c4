#include "LinkLabel.h"

#include <utility>

#include "FormFonts.h"
#include "FormLayout.h"
#include "FormTexts.h"
#include "SkinPalette.h"

void LinkLabel::SetDpi(UINT dpi)
{
    ScopedFont underlined(MakeTahoma(FormLayout::LinkFontPoints, true, true, dpi));
    ScopedFont plain(MakeTahoma(FormLayout::LinkFontPoints, true, false, dpi));
    std::swap(underlined_, underlined);
    std::swap(plain_, plain);
    if (label_) SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void LinkLabel::PointerAway()
{
    if (look_ == Look::Hovered) SetLook(Look::Visited);
}

COLORREF LinkLabel::TextColor() const
{
    if (look_ == Look::Fresh) return GetSysColor(COLOR_BTNTEXT);
    return IsHighContrast() ? SystemColourFor(SkinRole::Link) : FormColours::LinkVisited;
}

void LinkLabel::SetLook(Look look)
{
    if (look == look_) return; // no flicker on every move
    look_ = look;
    if (!label_) return;
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
    InvalidateRect(label_, nullptr, TRUE);
}

std::wstring LinkLabel::OpenCommandLine(const std::wstring& url)
{
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return L"\"" + std::wstring(folder, length) + L"\\rundll32.exe\" url.dll,FileProtocolHandler \"" +
           url + L"\"";
}

#include "FormMessages.h"

#include "FormTexts.h"

void Warn(HWND owner, const std::wstring& text) { Warn(owner, text.c_str()); }

void Inform(HWND owner, const std::wstring& text) { Inform(owner, text.c_str()); }

void Warn(HWND owner, const wchar_t* text)
{
    MessageBoxW(owner, text, FormTexts::WarningTitle, MB_OK | MB_ICONWARNING);
}

void Inform(HWND owner, const wchar_t* text)
{
    MessageBoxW(owner, text, FormTexts::InformationTitle, MB_OK | MB_ICONINFORMATION);
}

#include "FormMessages.h"

#include "FormTexts.h"

void Warn(HWND owner, const std::wstring& text)
{
    MessageBoxW(owner, text.c_str(), FormTexts::WarningTitle, MB_OK | MB_ICONWARNING);
}

void Inform(HWND owner, const std::wstring& text)
{
    MessageBoxW(owner, text.c_str(), FormTexts::InformationTitle, MB_OK | MB_ICONINFORMATION);
}

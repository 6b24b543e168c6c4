// The main window's message boxes: one OK button, modal to the window; a
// warning under "系统提示", a confirmation under "Olvane提示".
#pragma once

#include <windows.h>

#include <string>

void Warn(HWND owner, const std::wstring& text);
void Inform(HWND owner, const std::wstring& text);
// The same for the fixed texts, which need no memory of their own: a command
// that has done its work cannot fail on the way to saying so.
void Warn(HWND owner, const wchar_t* text);
void Inform(HWND owner, const wchar_t* text);

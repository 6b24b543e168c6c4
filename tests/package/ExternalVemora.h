// A Vemora.exe started as a program of its own (an installed or unpacked
// copy), driven from the test through its window: the test finds the main
// window among the process's windows and sends it the clicks of the Create
// and Save buttons as the buttons themselves would (WM_COMMAND, BN_CLICKED),
// and reads and closes the message boxes the program opens.
#pragma once

#include <windows.h>

#include <string>

#include "ScopedWin.h"

class ExternalVemora {
public:
    ExternalVemora() = default;
    ExternalVemora(const ExternalVemora&) = delete;
    ExternalVemora& operator=(const ExternalVemora&) = delete;
    // Ends the program if a test left it running.
    ~ExternalVemora();

    // Starts the program with its folder as the working folder and waits
    // until its main window is shown. False when it did not come up.
    bool Start(const std::wstring& program);
    HWND Window() const { return window_; }
    DWORD ProcessId() const { return processId_; }

    // The bytes Create encodes from the start text with the preset lists
    // (UTF-8): what a saved picture of a fresh window must read back to.
    static std::string StartTextBytes();
    // True when a picture file that Save wrote (PNG) reads back with ZXing-cpp
    // to StartTextBytes(); decoded receives what was read or what failed.
    static bool PictureHoldsStartText(const std::wstring& pngFile, std::string* decoded);

    // Create with the start text and lists; true when no message box came up.
    bool Create();
    // Save; the text of the message box it answers with (which is closed),
    // empty when none came.
    std::wstring Save();
    // Closes the window; true when the program then ended with exit code 0.
    bool Close();

private:
    HWND FindOwnWindow(const wchar_t* windowClass) const;
    HWND WaitForOwnWindow(const wchar_t* windowClass, DWORD limitMs) const;

    ScopedHandle process_;
    DWORD processId_ = 0;
    HWND window_ = nullptr;
};

// What Form1 asks of the world outside its window: starting a program, the
// folder it saves into, the time of day, the picture of a symbol. The program uses the real ones
// (DefaultFormServices); tests hand in their own to see what would happen.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "ModuleMatrix.h"
#include "ScopedWin.h"

struct FormServices {
    // Runs a command line with a normal, focused window. True when started.
    std::function<bool(const std::wstring& commandLine)> startProgram;
    // Opens a folder (its full path) in the system's file manager. True when
    // the file manager was started.
    std::function<bool(const std::wstring& folder)> openFolder;
    // The folder of the running program, without a final separator (a drive
    // root keeps its one, "C:\").
    std::function<std::wstring()> programFolder;
    // The local time of day.
    std::function<SYSTEMTIME()> localTime;
    // The picture of a finished symbol, one pixel per module with the
    // four-module margin, as CreateMatrixPicture makes it, or an empty
    // pointer when it could not be made (GDI, OLE).
    std::function<ScopedComPtr<IPictureDisp>(const ModuleMatrix& matrix)> makePicture;
    // The DPI the system reports for a window (WindowDpi): WM_DPICHANGED is
    // followed only to the DPI this answers.
    std::function<UINT(HWND window)> windowDpi;
    // Ends the message loop when the window is gone (the program's only window).
    bool quitOnDestroy = false;
};

// The real services: CreateProcessW, ShellExecuteExW, the folder of
// GetModuleFileNameW, GetLocalTime, CreateMatrixPicture, WindowDpi.
FormServices DefaultFormServices();

// The folder of the running program file, as the program-folder service
// answers it; "." when the system cannot tell.
std::wstring ProgramFolder();

// The folder part of a module path as the program-folder service answers it:
// "C:\a\b\Vemora.exe" -> "C:\a\b", "C:\Vemora.exe" -> "C:\".
std::wstring FolderOfPath(const std::wstring& modulePath);

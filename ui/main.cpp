// Vemora's entry point: the main window is the whole program; it ends with
// the window.
#include <windows.h>
#include <ole2.h>

#include "Form1.h"
#include "RunningMutex.h"
#include "mdlSystemDlls.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Before anything loads a DLL by name (OLE, the delay-loaded comctl32).
    LoadDllsFromSystemFolderOnly();
    // Held until the program ends: the installer and uninstaller look for it.
    const RunningMutex running;
    // One apartment for the whole program: OLE pictures, the clipboard, WIC.
    const HRESULT ole = OleInitialize(nullptr);
    int exitCode = 1;
    {
        FormServices services = DefaultFormServices();
        services.quitOnDestroy = true;
        Form1 form(std::move(services));
        if (form.Create(instance, showCommand)) exitCode = form.RunMessageLoop();
    } // the window and its pictures go before OLE does
    if (SUCCEEDED(ole)) OleUninitialize();
    return exitCode;
}

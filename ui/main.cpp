// Vemora's entry point: the main window is the whole program; it ends with
// the window.
#include <windows.h>

#include "Form1.h"
#include "RunningMutex.h"
#include "ScopedWin.h"
#include "mdlSystemDlls.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // Before anything loads a DLL by name (OLE, the delay-loaded comctl32).
    LoadDllsFromSystemFolderOnly();
    // Held until the program ends: the installer and uninstaller look for it.
    const RunningMutex running;
    // One apartment for the whole program: OLE pictures, the clipboard, WIC.
    // Declared before the window, so that it is undone after it: the window
    // and its pictures go before OLE does.
    const ScopedOleInit ole;
    FormServices services = DefaultFormServices();
    services.quitOnDestroy = true;
    Form1 form(std::move(services));
    return form.Create(instance, showCommand) ? form.RunMessageLoop() : 1;
}

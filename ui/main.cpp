// Vemora's entry point: the main window is the whole program; it ends with
// the window.
#include <windows.h>

#include "Form1.h"
#include "ScopedWin.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // One apartment for the whole program: OLE pictures, the clipboard, WIC.
    // Declared first, so that it is undone last: the window and its pictures
    // go before OLE does.
    const ScopedOleInit ole;
    FormServices services = DefaultFormServices();
    services.quitOnDestroy = true;
    Form1 form(std::move(services));
    return form.Create(instance, showCommand) ? form.RunMessageLoop() : 1;
}

// A second process for the skin engine's tests: it creates one window with
// the class and title given on its command line, signals the named event
// given there, and runs until the window is closed. The tests then name
// that window in messages to their own attached windows.
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) return 2;
    const wchar_t* className = argv[1];
    const wchar_t* title = argv[2];
    const wchar_t* readyEvent = argv[3];

    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (msg == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    wc.hInstance = instance;
    wc.lpszClassName = className;
    if (!RegisterClassW(&wc)) return 3;
    // Not shown: the tests only need a window handle of another process.
    HWND hwnd = CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, instance, nullptr);
    if (!hwnd) return 4;
    if (HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, readyEvent)) {
        SetEvent(ready);
        CloseHandle(ready);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    LocalFree(argv);
    return 0;
}

// A second process for the skin engine's tests. With a class, a title and a
// named event on its command line it creates one window of that class and
// title, signals the event, and runs until the window is closed: the tests
// then name that window in messages to their own attached windows.
// With "setprop <window> <name> <value>" (window and value in decimal) it
// stores value in the ANSI property name of that window, as any program on
// the desktop can, and exits with 0 when Windows took it.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

int SetForeignProp(wchar_t** argv)
{
    const auto window =
        reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(argv[2], nullptr, 10)));
    const std::wstring wideName = argv[3];
    const std::string name(wideName.begin(), wideName.end()); // ASCII names only
    const auto value =
        reinterpret_cast<HANDLE>(static_cast<INT_PTR>(std::wcstoll(argv[4], nullptr, 10)));
    return SetPropA(window, name.c_str(), value) ? 0 : 5;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) return 2;
    if (argc == 5 && std::wcscmp(argv[1], L"setprop") == 0) return SetForeignProp(argv);
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

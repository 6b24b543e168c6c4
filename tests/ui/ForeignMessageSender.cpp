// A second process for the window's tests: sends one message to a window of
// the test program and exits 0 when it was answered. Its command line is the
// window, the message, wParam and lParam as numbers (0x for hexadecimal). For
// WM_NCCREATE, lParam becomes the lpCreateParams of a CREATESTRUCTW of this
// process, which is what a creation message carries.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 5) return 2;
    auto number = [&](int index) { return std::wcstoull(argv[index], nullptr, 0); };
    const auto window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(number(1)));
    const auto message = static_cast<UINT>(number(2));
    const auto wParam = static_cast<WPARAM>(number(3));
    auto lParam = static_cast<LPARAM>(number(4));
    CREATESTRUCTW creation{};
    if (message == WM_NCCREATE) {
        creation.lpCreateParams = reinterpret_cast<void*>(lParam);
        lParam = reinterpret_cast<LPARAM>(&creation);
    }
    DWORD_PTR answer = 0;
    const LRESULT sent =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 20000, &answer);
    LocalFree(argv);
    return sent ? 0 : 1;
}

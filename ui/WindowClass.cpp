#include "WindowClass.h"

bool RegisterWindowClassOnce(WNDCLASSEXW windowClass)
{
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof registered;
    if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &registered))
        return true;
    windowClass.cbSize = sizeof windowClass;
    if (!windowClass.hCursor) windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    return RegisterClassExW(&windowClass) != 0;
}

// Registering a window class of the program once per process.
#pragma once

#include <windows.h>

// Registers windowClass (its procedure, instance and name set; cbSize and an
// arrow cursor are filled in when unset) unless a class of its name is
// registered for its instance already. False when registering failed.
bool RegisterWindowClassOnce(WNDCLASSEXW windowClass);

// The named mutex a running Vemora holds, so that its installer and
// uninstaller can tell that the copy they would replace or remove is in use.
// The name depends on the program's folder: copies in other folders (an
// unpacked portable one beside an installed one) do not stand in each
// other's way.
#pragma once

#include <windows.h>

#include <string>

#include "ScopedWin.h"

class RunningMutex {
public:
    // Creates (or opens, when another copy from the same folder runs) the
    // mutex of the folder that holds the running program. Holding no mutex
    // (the name could not be made) is not an error: the program runs.
    RunningMutex();

    bool Held() const { return static_cast<bool>(mutex_); }

    // "Local\Vemora:" and the folder (no final separator) in its long form,
    // upper case, every "\" written "/" (a "\" would name a namespace). The
    // installer builds the same name from its installation folder.
    static std::wstring NameFor(const std::wstring& folder);

private:
    ScopedHandle mutex_;
};

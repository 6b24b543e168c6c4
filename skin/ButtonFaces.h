// The four rendered faces of a push button, one per SkinState: a memory DC
// with a bitmap of the button's size each, owned here from attach to detach.
// The window properties "0HDC".."3HDC" and "0BMP".."3BMP" mirror the handles
// for whoever inspects the button; the skin itself draws only from this
// object, never from a handle read back from a property.
#pragma once

#include <windows.h>

#include <array>

#include "ScopedWin.h"
#include "SkinTypes.h"

class ButtonFaces {
public:
    // (Re)makes every face with a width x height bitmap compatible with
    // reference; the faces it replaces are deleted. A face that cannot be
    // made keeps its old DC and bitmap (or stays empty on the first call).
    void Make(HDC reference, int width, int height);
    // The face DC of a state, null when there is none.
    HDC Face(SkinState state) const;
    // Writes the handles into the face properties of hwnd.
    void Mirror(HWND hwnd) const;
    // Removes the face properties of hwnd and deletes every face.
    void Release(HWND hwnd);

private:
    std::array<ScopedBitmapDC, 4> faces_;
};

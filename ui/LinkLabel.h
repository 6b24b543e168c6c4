// Label2, the link to the author's web page, with its three looks: at start
// underlined in the system's label colour; while the pointer is over it, not
// underlined and blue; once the pointer has moved on over the window's bare
// surface, underlined and blue for good.
#pragma once

#include <windows.h>

#include <string>

#include "ScopedWin.h"

class LinkLabel {
public:
    // The label, a static child made by the window, which passes on the
    // events below.
    void Attach(HWND label) { label_ = label; }
    // Fonts at dpi, the label given the one of its look; the old fonts are
    // freed only after the label has let go of them.
    void SetDpi(UINT dpi);
    HFONT Font() const { return Underlined() ? underlined_.get() : plain_.get(); }

    // The pointer moved over the label, or over the window around it.
    void PointerOver() { SetLook(Look::Hovered); }
    void PointerAway();

    bool Underlined() const { return look_ != Look::Hovered; }
    COLORREF TextColor() const;

    // The command line that asks the system's URL handler to open url:
    // rundll32.exe of the system folder by its full path, never one of the
    // current or the program's folder. Empty when the system folder is unknown.
    static std::wstring OpenCommandLine(const std::wstring& url);

private:
    enum class Look { Fresh, Hovered, Visited };
    void SetLook(Look look);

    HWND label_ = nullptr;
    Look look_ = Look::Fresh;
    ScopedFont underlined_;
    ScopedFont plain_;
};

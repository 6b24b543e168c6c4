// Form1's keyboard interface: the dialog manager's Tab between the controls,
// Text1's own keys, and the focus given back after a message box.
#include "Form1.h"

#include <commctrl.h>

namespace {

void SelectAllText(HWND edit) { SendMessageW(edit, EM_SETSEL, 0, GetWindowTextLengthW(edit)); }

bool ControlKeyAlone() { return GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0; }

// A multi-line edit wants every key; Tab is left to the dialog manager so
// that it moves the focus as in the rest of the window. The key is the
// dialog manager's, on this thread; sent from another thread or process,
// lParam is no pointer of ours.
LRESULT WithoutTab(LRESULT code, LPARAM lParam)
{
    const MSG* key = InSendMessage() ? nullptr : reinterpret_cast<const MSG*>(lParam);
    if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && key->wParam == VK_TAB)
        code &= ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
    return code;
}

} // namespace

bool Form1::PreTranslateMessage(MSG& message)
{
    return window_ && IsWindow(window_) && IsDialogMessageW(window_, &message);
}

int Form1::RunMessageLoop()
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (PreTranslateMessage(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT Form1::Text1_Message(HWND text1, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDBLCLK: {
        const LRESULT result = DefSubclassProc(text1, message, wParam, lParam);
        Text1_DblClick();
        return result;
    }
    case WM_GETDLGCODE: return WithoutTab(DefSubclassProc(text1, message, wParam, lParam), lParam);
    case WM_KEYDOWN:
        // The multi-line edit control has no select-all key of its own.
        if (wParam != 'A' || !ControlKeyAlone()) break;
        SelectAllText(text1);
        return 0;
    case WM_CHAR:
        if (wParam == 0x01) return 0; // Ctrl+A's character
        break;
    }
    return DefSubclassProc(text1, message, wParam, lParam);
}

void Form1::Form_Activate(bool active)
{
    // A top-level window that is not a dialog box forgets its focused control
    // when a message box takes the activation; give the focus back.
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
    } else if (lastFocus_ && IsWindow(lastFocus_) && IsChild(window_, lastFocus_)) {
        SetFocus(lastFocus_);
    }
}

void Form1::Text1_GotFocus() { SelectAllText(Control(Text1Id)); }


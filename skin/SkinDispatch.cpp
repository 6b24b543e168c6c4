#include "SkinDispatch.h"

#include "ButtonSkin.h"
#include "CheckSkin.h"
#include "ClientEdgeSkin.h"
#include "ComboSkin.h"
#include "GridSkin.h"
#include "HeaderSkin.h"
#include "ListSkin.h"
#include "ProgressSkin.h"
#include "SkinEngine.h"
#include "SkinProps.h"
#include "SkinTypes.h"

namespace {

// Attaches the window a message names after the previous procedure has
// answered it (the dialog box that went idle, the list box about to be
// drawn).
LRESULT PassOnThenAttach(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (m.lParam) SkinAttach(reinterpret_cast<HWND>(m.lParam));
    return result;
}

LRESULT OnDestroy(const SkinMessage& m)
{
    // m.previous was read before detaching, so the window's own WM_DESTROY
    // handling still runs.
    SkinDetachDestroyed(m.hwnd);
    return m.CallPrevious();
}

// Sibling check boxes and option buttons show the new check state of a
// group after a click.
void RefreshSiblings(HWND hwnd)
{
    HWND parent = GetParent(hwnd);
    if (!parent) parent = hwnd;
    if (IsWindow(parent)) EnumChildWindows(parent, RefreshEnumProc, 0);
}

} // namespace

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!hwnd) return 0;
    const auto previous = reinterpret_cast<WNDPROC>(GetSkinProp(hwnd, SkinProp::ProcAddr));
    if (!previous) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const SkinMessage m{previous, hwnd, msg, wParam, lParam};
    switch (msg) {
    case WM_DESTROY:
        return OnDestroy(m);
    case WM_SIZE:
        return OnSize(m);
    case WM_ACTIVATE:
        return OnActivate(m);
    case WM_SETFOCUS:
        return OnSetFocus(m);
    case WM_KILLFOCUS:
        return OnKillFocus(m);
    case WM_ENABLE:
        return OnEnable(m);
    case WM_PAINT:
        return OnPaint(m);
    case WM_WINDOWPOSCHANGING:
        return OnWindowPosChanging(m);
    case WM_NCPAINT:
        return OnNcPaint(m);
    case WM_KEYDOWN:
        return OnKeyDown(m);
    case WM_KEYUP:
        return OnKeyUp(m);
    case WM_TIMER:
        return OnTimer(m);
    case WM_ENTERIDLE:
        return PassOnThenAttach(m);
    case WM_CTLCOLORLISTBOX:
        return PassOnThenAttach(m); // the result is the brush
    case WM_MOUSEMOVE:
        return OnMouseMove(m);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(m);
    case WM_LBUTTONUP: {
        const LRESULT result = OnLButtonUp(m);
        RefreshSiblings(hwnd);
        return result;
    }
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(m);
    case WM_MOUSELEAVE:
        return OnMouseLeave(m);
    default:
        return m.CallPrevious();
    }
}

BOOL CALLBACK RefreshEnumProc(HWND child, LPARAM)
{
    if (!HasSkinProp(child, SkinProp::ProcAddr)) return TRUE;
    switch (ClassKind(child)) {
    case SkinKind::CheckBox:
        PaintCheckBox(child, SkinState::Normal, true);
        break;
    case SkinKind::OptionButton:
        PaintOptionButton(child, SkinState::Normal, true);
        break;
    default:
        break;
    }
    return TRUE;
}

LRESULT OnActivate(const SkinMessage& m)
{
    // lParam is the window activated or deactivated in exchange: a message
    // box or dialog box this window opened is attached with its buttons.
    const auto other = reinterpret_cast<HWND>(m.lParam);
    if (other && (GetParent(other) == m.hwnd || ClassKind(other) == SkinKind::Container))
        SkinAttach(other);
    return m.CallPrevious();
}

LRESULT OnSize(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnSize(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnSetFocus(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnSetFocus(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnSetFocus(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnKillFocus(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnKillFocus(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnKillFocus(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnEnable(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnEnable(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnPaint(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnPaint(m);
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnPaint(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnPaint(m);
    case SkinKind::Header:
        return HeaderSkinOnPaint(m);
    case SkinKind::ProgressBar:
        return ProgressSkinOnPaint(m);
    case SkinKind::List:
        return ListSkinOnPaint(m);
    case SkinKind::Grid:
        return GridSkinOnPaint(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnWindowPosChanging(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnWindowPosChanging(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnNcPaint(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::ProgressBar:
        return ProgressSkinOnNcPaint(m);
    case SkinKind::List:
        return ListSkinOnNcPaint(m);
    default:
        return ClientEdgeOnNcPaint(m);
    }
}

LRESULT OnKeyDown(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnKeyDown(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnKeyDown(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnKeyUp(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnKeyUp(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnKeyUp(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnTimer(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnTimer(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnMouseMove(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnMouseMove(m);
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnMouseMove(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnMouseMove(m);
    case SkinKind::Header:
        return HeaderSkinOnMouseMove(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnLButtonDown(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnLButtonDown(m);
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnLButtonDown(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnLButtonDown(m);
    case SkinKind::Header:
        return HeaderSkinOnLButtonDown(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnLButtonUp(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnLButtonUp(m);
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnLButtonUp(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnLButtonUp(m);
    case SkinKind::Header:
        return HeaderSkinOnLButtonUp(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnLButtonDblClk(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnLButtonDblClk(m);
    case SkinKind::Header:
        return HeaderSkinOnLButtonDblClk(m);
    default:
        return m.CallPrevious();
    }
}

LRESULT OnMouseLeave(const SkinMessage& m)
{
    switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton:
        return ButtonSkinOnMouseLeave(m);
    case SkinKind::ComboBox:
    case SkinKind::DriveList:
        return ComboSkinOnMouseLeave(m);
    case SkinKind::CheckBox:
    case SkinKind::OptionButton:
        return CheckSkinOnMouseLeave(m);
    case SkinKind::Header:
        return HeaderSkinOnMouseLeave(m);
    default:
        return m.CallPrevious();
    }
}

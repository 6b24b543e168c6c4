#include "SkinDispatch.h"

#include "SkinEngine.h"
#include "SkinKindHandlers.h"
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

// The handler that the window's kind has for the message, or the previous
// procedure when it has none.
LRESULT Route(const SkinMessage& m, SkinHandler SkinKindHandlers::*handler)
{
    const SkinHandler kindHandler = KindHandlers(ClassKind(m.hwnd)).*handler;
    return kindHandler ? kindHandler(m) : m.CallPrevious();
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
    if (const auto refresh = KindHandlers(ClassKind(child)).refresh) refresh(child);
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

LRESULT OnSize(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onSize); }
LRESULT OnSetFocus(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onSetFocus); }
LRESULT OnKillFocus(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onKillFocus); }
LRESULT OnEnable(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onEnable); }
LRESULT OnPaint(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onPaint); }
LRESULT OnWindowPosChanging(const SkinMessage& m)
{
    return Route(m, &SkinKindHandlers::onWindowPosChanging);
}
LRESULT OnNcPaint(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onNcPaint); }
LRESULT OnKeyDown(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onKeyDown); }
LRESULT OnKeyUp(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onKeyUp); }
LRESULT OnTimer(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onTimer); }
LRESULT OnMouseMove(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onMouseMove); }
LRESULT OnLButtonDown(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onLButtonDown); }
LRESULT OnLButtonUp(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onLButtonUp); }
LRESULT OnLButtonDblClk(const SkinMessage& m)
{
    return Route(m, &SkinKindHandlers::onLButtonDblClk);
}
LRESULT OnMouseLeave(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onMouseLeave); }

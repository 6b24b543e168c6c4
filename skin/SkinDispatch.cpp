#include "SkinDispatch.h"

#include "CallbackBarrier.h"
#include "SkinEngine.h"
#include "SkinKindHandlers.h"
#include "SkinProps.h"
#include "SkinSettings.h"
#include "SkinTypes.h"
#include "SkinWindowTable.h"

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

LRESULT OnLButtonUpThenRefresh(const SkinMessage& m)
{
    const LRESULT result = OnLButtonUp(m);
    RefreshSiblings(m.hwnd);
    return result;
}

struct MessageRoute {
    UINT message;
    SkinHandler handler;
};

// The messages the skin acts on, each with its one handler; every other
// message goes straight to the previous procedure.
constexpr MessageRoute MessageRoutes[] = {
    {WM_DESTROY, OnDestroy},
    {WM_SIZE, OnSize},
    {WM_ACTIVATE, OnActivate},
    {WM_SETFOCUS, OnSetFocus},
    {WM_KILLFOCUS, OnKillFocus},
    {WM_ENABLE, OnEnable},
    {WM_PAINT, OnPaint},
    {WM_WINDOWPOSCHANGING, OnWindowPosChanging},
    {WM_NCPAINT, OnNcPaint},
    {WM_KEYDOWN, OnKeyDown},
    {WM_KEYUP, OnKeyUp},
    {WM_TIMER, OnTimer},
    {WM_COMMAND, OnCommand},
    {WM_ENTERIDLE, PassOnThenAttach},
    {WM_CTLCOLORLISTBOX, PassOnThenAttach}, // the previous procedure's brush goes back
    {WM_MOUSEMOVE, OnMouseMove},
    {WM_LBUTTONDOWN, OnLButtonDown},
    {WM_LBUTTONUP, OnLButtonUpThenRefresh},
    {WM_LBUTTONDBLCLK, OnLButtonDblClk},
    {WM_MOUSELEAVE, OnMouseLeave},
    {WM_DPICHANGED, OnDpiChanged},
    {WM_SETTINGCHANGE, OnSystemColoursChanged},
    {WM_SYSCOLORCHANGE, OnSystemColoursChanged},
};

// The handler that the window's kind has for the message, or the previous
// procedure when it has none.
LRESULT Route(const SkinMessage& m, SkinHandler SkinKindHandlers::*handler)
{
    const SkinHandler kindHandler = KindHandlers(ClassKind(m.hwnd)).*handler;
    return kindHandler ? kindHandler(m) : m.CallPrevious();
}

LRESULT Dispatch(const SkinMessage& m)
{
    for (const MessageRoute& route : MessageRoutes)
        if (route.message == m.msg) return route.handler(m);
    return m.CallPrevious();
}

} // namespace

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    if (!hwnd) return 0;
    const SkinWindow* window = SkinWindows().Find(hwnd);
    if (!window || !window->previous) return DefWindowProcW(hwnd, msg, wParam, lParam);
    const SkinMessage m(window->previous, hwnd, msg, wParam, lParam);
    return WindowProcBarrier(
        hwnd, msg, [&] { return Dispatch(m); }, [&] { return m.PassedOnResult(); });
}

BOOL CALLBACK RefreshEnumProc(HWND child, LPARAM) noexcept
{
    return EnumProcBarrier([&] {
        if (!SkinWindows().IsAttached(child)) return TRUE;
        if (const auto refresh = KindHandlers(ClassKind(child)).refresh) refresh(child);
        return TRUE;
    });
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
LRESULT OnCommand(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onCommand); }
LRESULT OnMouseMove(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onMouseMove); }
LRESULT OnLButtonDown(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onLButtonDown); }
LRESULT OnLButtonUp(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onLButtonUp); }
LRESULT OnLButtonDblClk(const SkinMessage& m)
{
    return Route(m, &SkinKindHandlers::onLButtonDblClk);
}
LRESULT OnMouseLeave(const SkinMessage& m) { return Route(m, &SkinKindHandlers::onMouseLeave); }

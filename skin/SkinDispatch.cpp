#include "SkinDispatch.h"

#include "ButtonSkin.h"
#include "SkinEngine.h"
#include "SkinProps.h"
#include "SkinTypes.h"

namespace {

// Attaches the window a message names after the previous procedure has
// answered it (the dialog box that went idle, the list box about to be
// drawn).
LRESULT PassOnThenAttach(const SkinMessage& m) {
  const LRESULT result = m.CallPrevious();
  if (m.lParam) SkinAttach(reinterpret_cast<HWND>(m.lParam));
  return result;
}

LRESULT OnDestroy(const SkinMessage& m) {
  // m.previous was read before detaching, so the window's own WM_DESTROY
  // handling still runs.
  SkinDetachDestroyed(m.hwnd);
  return m.CallPrevious();
}

// Sibling check boxes and option buttons show the new check state of a
// group after a click.
void RefreshSiblings(HWND hwnd) {
  HWND parent = GetParent(hwnd);
  if (!parent) parent = hwnd;
  if (IsWindow(parent)) EnumChildWindows(parent, RefreshEnumProc, 0);
}

}  // namespace

LRESULT CALLBACK SkinWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!hwnd) return 0;
  const auto previous = reinterpret_cast<WNDPROC>(GetSkinProp(hwnd, SkinProp::ProcAddr));
  if (!previous) return DefWindowProcW(hwnd, msg, wParam, lParam);
  const SkinMessage m{previous, hwnd, msg, wParam, lParam};
  switch (msg) {
    case WM_DESTROY: return OnDestroy(m);
    case WM_SIZE: return OnSize(m);
    case WM_ACTIVATE: return OnActivate(m);
    case WM_SETFOCUS: return OnSetFocus(m);
    case WM_KILLFOCUS: return OnKillFocus(m);
    case WM_ENABLE: return OnEnable(m);
    case WM_PAINT: return OnPaint(m);
    case WM_WINDOWPOSCHANGING: return OnWindowPosChanging(m);
    case WM_NCPAINT: return OnNcPaint(m);
    case WM_KEYDOWN: return OnKeyDown(m);
    case WM_KEYUP: return OnKeyUp(m);
    case WM_TIMER: return OnTimer(m);
    case WM_ENTERIDLE: return PassOnThenAttach(m);
    case WM_CTLCOLORLISTBOX: return PassOnThenAttach(m);  // the result is the brush
    case WM_MOUSEMOVE: return OnMouseMove(m);
    case WM_LBUTTONDOWN: return OnLButtonDown(m);
    case WM_LBUTTONUP: {
      const LRESULT result = OnLButtonUp(m);
      RefreshSiblings(hwnd);
      return result;
    }
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(m);
    case WM_MOUSELEAVE: return OnMouseLeave(m);
    default: return m.CallPrevious();
  }
}

BOOL CALLBACK RefreshEnumProc(HWND child, LPARAM) {
  if (!HasSkinProp(child, SkinProp::ProcAddr)) return TRUE;
  switch (ClassKind(child)) {
    // Check boxes and option buttons: PaintCheckBox / PaintOptionButton
    // (child, SkinState::Normal, forced) once their unit is wired in.
    default:
      break;
  }
  return TRUE;
}

LRESULT OnActivate(const SkinMessage& m) {
  // lParam is the window activated or deactivated in exchange: a message
  // box or dialog box this window opened is attached with its buttons.
  const auto other = reinterpret_cast<HWND>(m.lParam);
  if (other && (GetParent(other) == m.hwnd || ClassKind(other) == SkinKind::Container))
    SkinAttach(other);
  return m.CallPrevious();
}

LRESULT OnSize(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnSize(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnSetFocus(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnSetFocus(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnKillFocus(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnKillFocus(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnEnable(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnEnable(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnPaint(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnPaint(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnWindowPosChanging(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    default: return m.CallPrevious();
  }
}

LRESULT OnNcPaint(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    default: return m.CallPrevious();
  }
}

LRESULT OnKeyDown(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnKeyDown(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnKeyUp(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnKeyUp(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnTimer(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnTimer(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnMouseMove(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnMouseMove(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnLButtonDown(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnLButtonDown(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnLButtonUp(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnLButtonUp(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnLButtonDblClk(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnLButtonDblClk(m);
    default: return m.CallPrevious();
  }
}

LRESULT OnMouseLeave(const SkinMessage& m) {
  switch (ClassKind(m.hwnd)) {
    case SkinKind::PushButton: return ButtonSkinOnMouseLeave(m);
    default: return m.CallPrevious();
  }
}

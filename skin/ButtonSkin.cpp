#include "ButtonSkin.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "ControlPaint.h"
#include "ScopedWin.h"
#include "DpiMetrics.h"
#include "SkinBitmaps.h"
#include "SkinDpi.h"
#include "SkinPalette.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"
#include "SkinTypes.h"
#include "SkinWindowTable.h"

namespace {

constexpr std::array<SkinState, 4> AllStates = {SkinState::Normal, SkinState::Hot,
                                                SkinState::Pressed, SkinState::Disabled};

// Fade steps: each tick blends at the current level and raises it by 3, so
// from 0 the levels run 0, 3, ..., 252, 255 (86 ticks) and from 60 they run
// 60, 63, ..., 255 (66 ticks).
constexpr int FadeStep = 3;
constexpr int FullAlpha = 255;
constexpr int LeaveAlpha = 140;  // hot face shown at once when the mouse leaves
constexpr int ReleaseAlpha = 60; // the normal face after a click starts here
constexpr int CornerEllipse = 3; // CreateRoundRectRgn ellipse width and height

// The face of a state from the engine's record, null when there is none.
HDC FaceDC(HWND hwnd, SkinState state)
{
    const SkinWindow* window = SkinWindows().Find(hwnd);
    return window ? window->faces.Face(state) : nullptr;
}

int AlphaLevel(HWND hwnd) { return static_cast<int>(GetSkinProp(hwnd, SkinProp::AlphaLevel)); }
void SetAlphaLevel(HWND hwnd, int level) { SetSkinProp(hwnd, SkinProp::AlphaLevel, level); }

WindowBounds BoundsOf(HWND hwnd)
{
    WindowBounds b;
    GetWindowBounds(hwnd, b);
    return b;
}

void SetRoundRegion(HWND hwnd, const WindowBounds& b)
{
    ScopedRgn region(
        CreateRoundRectRgn(0, 0, b.Width + 1, b.Height + 1, ScaleToDpi(CornerEllipse, SkinDpi(hwnd)),
                           ScaleToDpi(CornerEllipse, SkinDpi(hwnd))));
    // The window owns the region once SetWindowRgn succeeds.
    if (region && SetWindowRgn(hwnd, region.get(), TRUE)) (void)region.release();
}

// Four faces the size of the window, compatible with its DC, in the
// engine's record and mirrored into the face properties; faces made before
// are deleted.
void MakeFaces(HWND hwnd, const WindowBounds& b)
{
    SkinWindow* window = SkinWindows().Find(hwnd);
    if (!window) return;
    const ScopedWindowDC windowDC(hwnd);
    window->faces.Make(windowDC.get(), b.Width, b.Height);
    window->faces.Mirror(hwnd);
}

void DeleteFaces(HWND hwnd)
{
    if (SkinWindow* window = SkinWindows().Find(hwnd)) window->faces.Release(hwnd);
}

// Still subclassed after the previous procedure ran? It may have detached
// or destroyed the window (a click that closes a dialog, SkinStop).
bool StillAttached(HWND hwnd) { return IsWindow(hwnd) && SkinWindows().IsAttached(hwnd); }

void ShowPressedAtOnce(HWND hwnd)
{
    StopFadeTimer(hwnd);
    SetSkinState(hwnd, SkinState::Pressed);
    SetAlphaLevel(hwnd, FullAlpha);
    BlendButtonFace(hwnd, nullptr);
    SetAlphaLevel(hwnd, 0);
}

void FadeInFrom(HWND hwnd, SkinState state, int level)
{
    SetSkinState(hwnd, state);
    SetAlphaLevel(hwnd, level);
    StartFadeTimer(hwnd);
}

// One face of a width x height button: the strip's nine-grid, or in high
// contrast a flat face in the system's button colours (the highlight while
// hot or pressed, grey text when disabled) inside a one-pixel frame. The
// strip's softened corners and border grow with the display scale (dpi).
// Leaves the caption's colour set on face.
void DrawFace(HDC face, int width, int height, SkinState s, UINT dpi)
{
    if (IsHighContrast()) {
        const bool active = s == SkinState::Hot || s == SkinState::Pressed;
        const bool disabled = s == SkinState::Disabled;
        FillRectColor(face, 0, 0, width, height,
                      SystemColourFor(active ? SkinRole::Active : SkinRole::Face));
        FrameRectColor(face, 0, 0, width, height,
                       SystemColourFor(disabled ? SkinRole::GrayText : SkinRole::FaceText));
        SkinRole text = active ? SkinRole::ActiveText : SkinRole::FaceText;
        if (disabled) text = SkinRole::GrayText;
        SetTextColor(face, SystemColourFor(text));
        return;
    }
    const StripPiece piece =
        StripPieceAtDpi(ButtonFaceStrip(), 0, ButtonFaceHeight * static_cast<int>(s),
                        ButtonFaceStripWidth, ButtonFaceHeight, dpi);
    StretchNineGrid(NineGridOf(face, 0, 0, width, height, piece.dc, piece.x, piece.y, piece.width,
                               piece.height, ScaleToDpi(3, dpi)));
    SetTextColor(face, s == SkinState::Disabled ? DisabledButtonTextColor : ButtonTextColor);
}

// After a change of scale or colours: faces and corners as at attach.
void RenewButton(HWND hwnd)
{
    RenderButtonFaces(hwnd);
    SetRoundRegion(hwnd, BoundsOf(hwnd));
}

void ButtonSkinAttach(HWND hwnd)
{
    // 1. Four faces the size of the window.
    const WindowBounds b = BoundsOf(hwnd);
    MakeFaces(hwnd, b);
    // 2. The style before the skin changes it decides what the skin paints;
    //    the faces are rendered, and push buttons become owner-drawn.
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    SetSkinProp(hwnd, SkinProp::OldStyle, style);
    RenderButtonFaces(hwnd);
    if (IsPushStyled(hwnd)) SendMessageW(hwnd, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
    SetSkinProp(hwnd, SkinProp::MouseFlag, 0);
    SetSkinProp(hwnd, SkinProp::TimerId, 0);
    SetSkinState(hwnd, IsWindowEnabled(hwnd) ? SkinState::Normal : SkinState::Disabled);
    SetAlphaLevel(hwnd, 0);
    // 3. Rounded corners.
    SetRoundRegion(hwnd, b);
}

void ButtonSkinDetach(HWND hwnd)
{
    DeleteFaces(hwnd);
    StopFadeTimer(hwnd);
    if (HasSkinProp(hwnd, SkinProp::OldStyle))
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetSkinProp(hwnd, SkinProp::OldStyle));
    for (const char* name : {SkinProp::OldStyle, SkinProp::MouseFlag, SkinProp::TimerId,
                             SkinProp::OldState, SkinProp::AlphaLevel})
        RemoveSkinProp(hwnd, name);
    SetWindowRgn(hwnd, nullptr, TRUE);
}

LRESULT OnPaint(const SkinMessage& m)
{
    if (!IsPushStyled(m.hwnd)) return m.CallPrevious();
    StopFadeTimer(m.hwnd);
    SetAlphaLevel(m.hwnd, FullAlpha);
    const ScopedPaint paint(m.hwnd);
    if (paint) BlendButtonFace(m.hwnd, paint.get());
    return 0;
}

LRESULT OnSize(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    const WindowBounds b = BoundsOf(m.hwnd);
    MakeFaces(m.hwnd, b);
    RenderButtonFaces(m.hwnd);
    SetRoundRegion(m.hwnd, b);
    return result;
}

// Focus changes draw or remove the focus rectangle on every face, then the
// current state's face fades in.
LRESULT OnFocusChange(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    RenderButtonFaces(m.hwnd);
    SetAlphaLevel(m.hwnd, 0);
    StartFadeTimer(m.hwnd);
    return result;
}

LRESULT OnEnable(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    SetSkinState(m.hwnd, m.wParam ? SkinState::Normal : SkinState::Disabled);
    BlendButtonFace(m.hwnd, nullptr);
    return result;
}

LRESULT OnMouseMove(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    if (GetSkinProp(m.hwnd, SkinProp::MouseFlag) == 0) {
        // First move since the mouse entered: arm leave tracking, fade to Hot.
        ArmLeaveTracking(m.hwnd);
        FadeInFrom(m.hwnd, SkinState::Hot, 0);
        return result;
    }
    if (!CursorIsOver(m.hwnd)) {
        // The mouse is captured (button held) outside the button.
        StopFadeTimer(m.hwnd);
        SetAlphaLevel(m.hwnd, FullAlpha);
        BlendButtonFace(m.hwnd, nullptr);
    }
    return result;
}

LRESULT OnMouseLeave(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    SetSkinState(m.hwnd, SkinState::Hot);
    SetAlphaLevel(m.hwnd, LeaveAlpha);
    BlendButtonFace(m.hwnd, nullptr);
    FadeInFrom(m.hwnd, SkinState::Normal, 0);
    return result;
}

// Button down and double click alike.
LRESULT OnLButtonDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (StillAttached(m.hwnd)) ShowPressedAtOnce(m.hwnd);
    return result;
}

LRESULT OnLButtonUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (!StillAttached(m.hwnd)) return result;
    // The next mouse move re-arms leave tracking and fades to Hot.
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    FadeInFrom(m.hwnd, SkinState::Normal, ReleaseAlpha);
    return result;
}

LRESULT OnKeyDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (m.wParam == VK_SPACE && StillAttached(m.hwnd)) ShowPressedAtOnce(m.hwnd);
    return result;
}

LRESULT OnKeyUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (m.wParam != VK_SPACE || !StillAttached(m.hwnd)) return result;
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    FadeInFrom(m.hwnd, SkinState::Normal, 0);
    return result;
}

LRESULT OnTimer(const SkinMessage& m)
{
    // The timer id is not examined: the fade timer is the only one the skin
    // sets, and the message goes on to the button in any case.
    const int level = AlphaLevel(m.hwnd);
    BlendButtonFace(m.hwnd, nullptr);
    if (level + FadeStep > FullAlpha) {
        StopFadeTimer(m.hwnd);
        SetAlphaLevel(m.hwnd, 0);
    } else {
        SetAlphaLevel(m.hwnd, level + FadeStep);
    }
    return m.CallPrevious();
}

} // namespace

const SkinKindHandlers ButtonSkinHandlers{
    .attach = ButtonSkinAttach,
    .detach = ButtonSkinDetach,
    .renew = RenewButton,
    .onSize = OnSize,
    .onSetFocus = OnFocusChange,
    .onKillFocus = OnFocusChange,
    .onEnable = OnEnable,
    .onPaint = OnPaint,
    .onKeyDown = OnKeyDown,
    .onKeyUp = OnKeyUp,
    .onTimer = OnTimer,
    .onMouseMove = OnMouseMove,
    .onLButtonDown = OnLButtonDown,
    .onLButtonUp = OnLButtonUp,
    .onLButtonDblClk = OnLButtonDown,
    .onMouseLeave = OnMouseLeave,
};

bool IsPushStyled(HWND hwnd)
{
    const auto type = static_cast<DWORD>(GetSkinProp(hwnd, SkinProp::OldStyle)) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void RenderButtonFaces(HWND hwnd)
{
    const WindowBounds b = BoundsOf(hwnd);
    const std::wstring caption = WindowCaption(hwnd);
    const bool focused = GetFocus() == hwnd;
    const UINT dpi = SkinDpi(hwnd);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    for (SkinState s : AllStates) {
        HDC face = FaceDC(hwnd, s);
        if (!face) continue;
        const ScopedSelectObject fontSelection(face, font);
        SetBkMode(face, TRANSPARENT);
        DrawFace(face, b.Width, b.Height, s, dpi);
        DrawTextInRect(face, caption, 2, 2, b.Width - 4, b.Height - 4, CaptionFormat);
        if (focused) DrawFocusBox(face, 2, 2, b.Width - 4, b.Height - 4);
    }
}

LRESULT BlendButtonFace(HWND hwnd, HDC target)
{
    if (!IsWindowEnabled(hwnd)) SetSkinState(hwnd, SkinState::Disabled);
    if (!IsPushStyled(hwnd)) return 0;
    HDC face = FaceDC(hwnd, GetSkinState(hwnd));
    if (!face) return 0;
    const int alpha = std::clamp(AlphaLevel(hwnd), 0, FullAlpha);
    const WindowBounds b = BoundsOf(hwnd);
    // Constant alpha only: the faces carry no per-pixel alpha. gdi32's own
    // entry point: msimg32's AlphaBlend only forwards to it, and msimg32 is
    // not a KnownDLL, so importing it would search the program's folder.
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), 0};
    DrawOnTargetOrWindow(hwnd, target, [&](HDC dc) {
        GdiAlphaBlend(dc, 0, 0, b.Width, b.Height, face, 0, 0, b.Width, b.Height, blend);
    });
    return 0;
}

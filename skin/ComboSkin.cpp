#include "ComboSkin.h"

#include <algorithm>
#include <string>

#include "ControlPaint.h"
#include "DpiMetrics.h"
#include "SkinBitmaps.h"
#include "SkinPrimitives.h"
#include "SkinDpi.h"
#include "SkinPalette.h"
#include "SkinProps.h"
#include "ScopedWin.h"

namespace {

// The combo-box type sits in the low two style bits: bit 1 set for the two
// types with a drop button (CBS_DROPDOWN, CBS_DROPDOWNLIST), bit 0 clear for
// the editable one (CBS_DROPDOWN: edit field plus button).
constexpr LONG_PTR HasDropButtonBit = 0x2;
constexpr LONG_PTR NotEditableBit = 0x1;

// Strip layout: 4 x 18 Hot and Pressed backgrounds, 7 x 4 arrows.
constexpr int BackgroundWidth = 4, BackgroundHeight = 18;
constexpr int HotBackgroundX = 0, PressedBackgroundX = 4;
constexpr int ArrowX = 8, ArrowY = 0, DisabledArrowY = 4;
constexpr int ArrowWidth = 7, ArrowHeight = 4;

LONG_PTR StyleOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWL_STYLE); }

// Only a combo box can be editable; a drive list always behaves as a list.
bool IsEditableCombo(HWND hwnd)
{
    return ClassKind(hwnd) == SkinKind::ComboBox && (StyleOf(hwnd) & NotEditableBit) == 0;
}

bool InHotZone(HWND hwnd, POINT p)
{
    SIZE size = WindowSize(hwnd);
    return InComboHotZone(size.cx, size.cy, SystemMetricForDpi(SM_CXVSCROLL, SkinDpi(hwnd)), p.x,
                          p.y);
}

void DrawButtonBackground(HDC dc, int width, int height, SkinState state, UINT dpi)
{
    const bool active = state == SkinState::Hot || state == SkinState::Pressed;
    if (!active || IsHighContrast()) {
        // Flat in high contrast: the highlight colour while hot or pressed.
        FillRectColor(dc, 0, 0, width, height,
                      SkinColour(active ? SkinRole::Active : SkinRole::Field));
        return;
    }
    const StripPiece source =
        StripPieceAtDpi(ComboButtonStrip(),
                        state == SkinState::Hot ? HotBackgroundX : PressedBackgroundX, 0,
                        BackgroundWidth, BackgroundHeight, dpi);
    NineGridCopy copy = NineGridOf(dc, 0, 0, width, height, source.dc, source.x, source.y,
                                   source.width, source.height, 0);
    // The first column is the button's dark left edge: keep two columns of it
    // unstretched so the line stays sharp; the borders grow with the art.
    copy.left = ScaleToDpi(2, dpi);
    copy.top = ScaleToDpi(1, dpi);
    copy.right = ScaleToDpi(1, dpi);
    copy.bottom = ScaleToDpi(1, dpi);
    StretchNineGrid(copy);
}

// The arrow of the strip at dpi, or its shape in the system's text colour
// (grey text when disabled, highlight text on the highlight) in high
// contrast.
void DrawArrow(HWND hwnd, HDC dc, const ComboButtonGeometry& g, SkinState state, UINT dpi)
{
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const StripPiece arrow = StripPieceAtDpi(ComboButtonStrip(), ArrowX,
                                             enabled ? ArrowY : DisabledArrowY, ArrowWidth,
                                             ArrowHeight, dpi);
    if (!IsHighContrast()) {
        TransparentBlit(dc, g.arrowX, g.arrowY, arrow.width, arrow.height, arrow.dc, arrow.x,
                        arrow.y, KeyColor);
        return;
    }
    SkinRole role = SkinRole::FieldText;
    if (!enabled) role = SkinRole::GrayText;
    else if (state == SkinState::Hot || state == SkinState::Pressed) role = SkinRole::ActiveText;
    DrawShapeInColour(dc, g.arrowX, g.arrowY, arrow, SystemColourFor(role));
}

// Repaints the button in the state it was last drawn in (the flat frame has
// just been drawn over it).
void RepaintButton(HWND hwnd, HDC dc)
{
    SkinState state = GetSkinState(hwnd);
    PaintComboButton(hwnd, dc, state, true);
}

void PaintButtonState(HWND hwnd, SkinState state) { PaintComboButton(hwnd, nullptr, state, false); }

// The closed field's text area in window coordinates: COMBOBOXINFO's item
// rectangle less one pixel all round, the space the control leaves itself;
// empty when the control does not say.
RECT FieldRect(HWND hwnd)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(hwnd, &info)) return RECT{};
    RECT window{};
    POINT origin{0, 0};
    GetWindowRect(hwnd, &window);
    ClientToScreen(hwnd, &origin);
    OffsetRect(&info.rcItem, origin.x - window.left, origin.y - window.top);
    InflateRect(&info.rcItem, -1, -1);
    return info.rcItem;
}

std::wstring SelectedText(HWND hwnd)
{
    const LRESULT index = SendMessageW(hwnd, CB_GETCURSEL, 0, 0);
    if (index < 0) return {};
    const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// The colours the control paints its field with: the highlight while it has
// the focus and is closed, else what its parent answers (WM_CTLCOLOREDIT, or
// WM_CTLCOLORSTATIC when disabled), set on dc as the control asks for them.
void UseFieldColours(HWND hwnd, HDC dc, bool focused)
{
    if (focused) {
        SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        return;
    }
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    SetTextColor(dc, GetSysColor(IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    if (HWND parent = GetParent(hwnd)) {
        SendMessageW(parent, IsWindowEnabled(hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC,
                     reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    }
}

// The text of a closed list that cannot be edited, drawn again centred in
// its field: the control itself puts it one pixel below the field's top,
// which in a field made taller for a display scale leaves it near the top
// edge. Where the field is no taller than the text and two pixels, the text
// lands where the control drew it. Owner-drawn lists draw their own.
void PaintFieldText(HWND hwnd, HDC dc)
{
    if (GetWindowLongPtrW(hwnd, GWL_STYLE) & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) return;
    const RECT field = FieldRect(hwnd);
    if (IsRectEmpty(&field)) return;
    const bool focused = GetFocus() == hwnd && !SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0);
    const std::wstring text = SelectedText(hwnd);
    const ScopedSelectObject font(dc,
                                  reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const LONG top = std::max<LONG>(1, (field.bottom - field.top - metrics.tmHeight) / 2);
    UseFieldColours(hwnd, dc, focused);
    ExtTextOutW(dc, field.left + 1, field.top + top, ETO_OPAQUE | ETO_CLIPPED, &field,
                text.c_str(), static_cast<UINT>(text.size()), nullptr);
    if (focused) DrawFocusRect(dc, &field);
}

} // namespace

ComboButtonGeometry ComboButtonLayout(int windowWidth, int windowHeight, int scrollWidth,
                                      UINT dpi)
{
    ComboButtonGeometry g;
    const int b = scrollWidth + 1;
    g.width = b;
    g.height = windowHeight - 2;
    g.x = windowWidth - b - 1;
    g.y = 1;
    // The arrow centred in the button, as the 7 x 4 arrow sits at 96 DPI:
    // (b - 7) - (b - 7) / 2 across and (H - 6) / 2 = (H - 2 - 4) / 2 down.
    g.arrowWidth = ScaleToDpi(ArrowWidth, dpi);
    g.arrowHeight = ScaleToDpi(ArrowHeight, dpi);
    g.arrowX = (b - g.arrowWidth) - RoundHalfEven((b - g.arrowWidth) / 2.0);
    g.arrowY = RoundHalfEven((g.height - g.arrowHeight) / 2.0);
    return g;
}

bool InComboHotZone(int windowWidth, int windowHeight, int scrollWidth, int x, int y)
{
    return x >= windowWidth - scrollWidth - 2 && x <= windowWidth - 2 && y >= 2 &&
           y <= windowHeight - 2;
}

void PaintComboButton(HWND hwnd, HDC target, SkinState& state, bool force)
{
    if (!IsWindow(hwnd)) return;
    // 1. A dropped list keeps the button pressed, whatever was asked for.
    if (SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0) state = SkinState::Pressed;
    if (state == GetSkinState(hwnd) && !force) return;
    if ((StyleOf(hwnd) & HasDropButtonBit) == 0) return;
    SetSkinState(hwnd, state);

    // 2. Compose the button off screen: background by state, then the arrow.
    const SIZE size = WindowSize(hwnd);
    const UINT dpi = SkinDpi(hwnd);
    const ComboButtonGeometry g =
        ComboButtonLayout(size.cx, size.cy, SystemMetricForDpi(SM_CXVSCROLL, dpi), dpi);
    if (g.width <= 0 || g.height <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(g.width, g.height);
    if (!tmp || !ComboButtonStrip()) return;
    DrawButtonBackground(tmp.get(), g.width, g.height, state, dpi);
    DrawArrow(hwnd, tmp.get(), g, state, dpi);

    // 3. One copy to the screen.
    DrawOnTargetOrWindow(hwnd, target, [&](HDC dc) {
        BitBlt(dc, g.x, g.y, g.width, g.height, tmp.get(), 0, 0, SRCCOPY);
    });
}

namespace {

LRESULT OnPaint(const SkinMessage& m)
{
    const HWND hwnd = m.hwnd;
    const SIZE size = WindowSize(hwnd);
    const COLORREF frame = FrameColorFor(hwnd);
    if (IsEditableCombo(hwnd)) {
        // The edit field is a child window that paints itself; the skin paints
        // everything around it, so the control's own sunken look never shows.
        const ScopedPaint dc(hwnd);
        FillRectColor(dc.get(), 0, 0, size.cx, size.cy, SkinColour(SkinRole::Field));
        FrameRectColor(dc.get(), 0, 0, size.cx, size.cy, frame);
        RepaintButton(hwnd, dc.get());
        return 0;
    }
    const LRESULT result = m.CallPrevious();
    const ScopedWindowDC dc(hwnd);
    PaintFieldText(hwnd, dc.get());
    PaintFrameAndRing(dc.get(), size.cx, size.cy, frame);
    RepaintButton(hwnd, dc.get());
    return result;
}

LRESULT OnMouseMove(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    ArmLeaveTracking(m.hwnd);
    SkinState state = (m.wParam & MK_LBUTTON) ? SkinState::Pressed : SkinState::Hot;
    if (IsEditableCombo(m.hwnd) && !InHotZone(m.hwnd, MessagePoint(m.lParam))) {
        state = SkinState::Normal;
    }
    PaintButtonState(m.hwnd, state);
    return result;
}

LRESULT OnMouseLeave(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    PaintButtonState(m.hwnd, SkinState::Normal);
    return result;
}

LRESULT OnLButtonDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    // Pressing in the text field of an editable combo presses no button.
    if (!IsEditableCombo(m.hwnd) || InHotZone(m.hwnd, MessagePoint(m.lParam))) {
        PaintButtonState(m.hwnd, SkinState::Pressed);
    }
    return result;
}

LRESULT OnLButtonUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    PaintButtonState(m.hwnd, CursorIsOver(m.hwnd) ? SkinState::Hot : SkinState::Normal);
    return result;
}

// The dropped list tells its combo box of a new selection (from the
// keyboard, the wheel or a click), and the control draws the field's text
// at once, not through WM_PAINT, at its own place: draw it again centred.
LRESULT OnCommand(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (IsWindow(m.hwnd) && !IsEditableCombo(m.hwnd)) {
        const ScopedWindowDC dc(m.hwnd);
        if (dc) PaintFieldText(m.hwnd, dc.get());
    }
    return result;
}

LRESULT OnWindowPosChanging(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    PaintButtonState(m.hwnd, SkinState::Normal);
    return result;
}

} // namespace

const SkinKindHandlers ComboSkinHandlers{
    .attach = AttachHoverState,
    .detach = DetachHoverState,
    .onPaint = OnPaint,
    .onWindowPosChanging = OnWindowPosChanging,
    .onCommand = OnCommand,
    .onMouseMove = OnMouseMove,
    .onLButtonDown = OnLButtonDown,
    .onLButtonUp = OnLButtonUp,
    .onMouseLeave = OnMouseLeave,
};

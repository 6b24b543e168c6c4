#include "CheckSkin.h"

#include "ControlPaint.h"
#include "DpiMetrics.h"
#include "SkinBitmaps.h"
#include "SkinDpi.h"
#include "SkinPalette.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"

namespace {

// Glyph strip layout: source corner and size of each glyph, the disabled
// shape 9 columns to the right of the enabled one.
constexpr int CheckMarkX = 0, CheckMarkY = 0, CheckMarkWidth = 9, CheckMarkHeight = 8;
constexpr int SquareX = 1, SquareY = 9, SquareSize = 7;
constexpr int DotX = 2, DotY = 18, DotSize = 5;
constexpr int DisabledOffset = 9;

// The check-box hot and pressed fills are the middle band (columns 1-11,
// five rows) of the hot and pressed circles.
constexpr int FillBandX = 1, FillBandWidth = 11, FillBandHeight = 5;
constexpr int HotFillBandY = 17, PressedFillBandY = 30;

// The circle nine-grid keeps a 5-pixel border so the anti-aliased ring
// keeps its shape when the menu-check metrics are not 13 x 13.
constexpr int CircleBorder = 5;

int Centred(int outer, int inner) { return RoundHalfEven((outer - inner) / 2.0); }

// A glyph-strip shape (already at the DPI's scale) centred in the width x
// height box at (x, y); its key pixels leave the box as it was. In high
// contrast the shape takes the window text colour, or grey text when
// disabled.
void DrawCentredGlyph(HDC dc, int x, int y, int width, int height, const StripPiece& glyph,
                      bool enabled)
{
    if (!glyph.dc) return;
    const int left = x + Centred(width, glyph.width), top = y + Centred(height, glyph.height);
    if (IsHighContrast()) {
        DrawShapeInColour(dc, left, top, glyph,
                          SystemColourFor(enabled ? SkinRole::FieldText : SkinRole::GrayText));
        return;
    }
    TransparentBlit(dc, left, top, glyph.width, glyph.height, glyph.dc, glyph.x, glyph.y,
                    KeyColor);
}

bool IsActive(SkinState state) { return state == SkinState::Hot || state == SkinState::Pressed; }

// The check box's frame: pressed darker in the skin's look; in high
// contrast the highlight colour while hot or pressed.
COLORREF CheckFrameColour(bool enabled, SkinState state)
{
    if (!enabled) return SkinColour(SkinRole::FrameDisabled);
    if (IsHighContrast()) return SystemColourFor(IsActive(state) ? SkinRole::Active : SkinRole::Frame);
    return state == SkinState::Pressed ? PressedCheckFrameColor : FrameColor;
}

// The option circle of the strip row at dpi, nine-gridded onto the box; in
// high contrast a flat circle in the window colour, ringed in the window
// text colour (highlight while hot or pressed, grey text when disabled).
void DrawOptionCircle(HDC dc, int x, int y, int width, int height, int row, UINT dpi)
{
    if (IsHighContrast()) {
        SkinRole ring = SkinRole::Frame;
        if (row == static_cast<int>(SkinState::Disabled)) ring = SkinRole::GrayText;
        else if (IsActive(static_cast<SkinState>(row))) ring = SkinRole::Active;
        const ScopedPen pen(CreatePen(PS_SOLID, ScaleToDpi(1, dpi), SystemColourFor(ring)));
        const ScopedBrush fill(CreateSolidBrush(SystemColourFor(SkinRole::Field)));
        const ScopedSelectObject penSelection(dc, pen.get()), brushSelection(dc, fill.get());
        Ellipse(dc, x, y, x + width, y + height);
        return;
    }
    const StripPiece circle = StripPieceAtDpi(OptionCircleStrip(), 0, OptionCircleSize * row,
                                              OptionCircleSize, OptionCircleSize, dpi);
    NineGridCopy copy =
        NineGridOf(dc, x, y, width, height, circle.dc, circle.x, circle.y, circle.width,
                   circle.height, ScaleToDpi(CircleBorder, dpi));
    copy.key = KeyColor;
    StretchNineGrid(copy);
}

struct GlyphBox {
    UINT dpi = DesignDpi;
    int y0 = 0;
    int width = 0;
    int height = 0;
};

// The glyph is SM_CXMENUCHECK x SM_CYMENUCHECK (at the window's DPI) at
// window x 0, centred vertically in the window.
GlyphBox GlyphBoxOf(HWND hwnd)
{
    GlyphBox box;
    const UINT dpi = SkinDpi(hwnd);
    box.dpi = dpi;
    box.width = SystemMetricForDpi(SM_CXMENUCHECK, dpi);
    box.height = SystemMetricForDpi(SM_CYMENUCHECK, dpi);
    box.y0 = Centred(WindowSize(hwnd).cy, box.height);
    return box;
}

// The common start of both painters: skip an unchanged state unless forced,
// otherwise record the state to be drawn.
bool ShouldPaint(HWND hwnd, SkinState state, bool force)
{
    if (!IsWindow(hwnd)) return false;
    if (state == GetSkinState(hwnd) && !force) return false;
    SetSkinState(hwnd, state);
    return true;
}

CheckMark CurrentMark(HWND hwnd) { return CheckMarkOf(SendMessageW(hwnd, BM_GETCHECK, 0, 0)); }

bool IsOptionButton(HWND hwnd) { return ClassKind(hwnd) == SkinKind::OptionButton; }

int PaintGlyph(HWND hwnd, SkinState state, bool force)
{
    return IsOptionButton(hwnd) ? PaintOptionButton(hwnd, state, force)
                                : PaintCheckBox(hwnd, state, force);
}

} // namespace

CheckMark CheckMarkOf(LRESULT getCheckAnswer)
{
    if (getCheckAnswer == BST_CHECKED) return CheckMark::Checked;
    if (getCheckAnswer == BST_INDETERMINATE) return CheckMark::Indeterminate;
    return CheckMark::None;
}

void DrawCheckBoxGlyph(HDC dc, int x, int y, int width, int height, bool enabled, CheckMark mark,
                       SkinState state, UINT dpi)
{
    if (width <= 0 || height <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(width, height);
    if (!tmp) return;
    FillRectColor(tmp.get(), 0, 0, width, height, SkinColour(SkinRole::Field));

    const COLORREF frame = CheckFrameColour(enabled, state);
    // The box's one-pixel frame grows with the art: two pixels at 192 DPI.
    const int line = ScaleToDpi(1, dpi);
    for (int k = 0; k < line; ++k)
        FrameRectColor(tmp.get(), k, k, width - 2 * k, height - 2 * k, frame);
    // Without the strips (before SkinStart, after the last detach) only the
    // flat box is drawn: a copy from a missing strip would leave garbage.
    if (!OptionCircleStrip() || !GlyphStrip()) {
        BitBlt(dc, x, y, width, height, tmp.get(), 0, 0, SRCCOPY);
        return;
    }
    if (enabled && IsActive(state) && !IsHighContrast()) {
        const int bandY = state == SkinState::Hot ? HotFillBandY : PressedFillBandY;
        StretchBlt(tmp.get(), line, line, width - 2 * line, height - 2 * line, OptionCircleStrip(),
                   FillBandX, bandY, FillBandWidth, FillBandHeight, SRCCOPY);
    }

    const int offset = enabled ? 0 : DisabledOffset;
    if (mark == CheckMark::Checked) {
        DrawCentredGlyph(tmp.get(), 0, 0, width, height,
                         StripPieceAtDpi(GlyphStrip(), CheckMarkX + offset, CheckMarkY,
                                         CheckMarkWidth, CheckMarkHeight, dpi),
                         enabled);
    } else if (mark == CheckMark::Indeterminate) {
        DrawCentredGlyph(tmp.get(), 0, 0, width, height,
                         StripPieceAtDpi(GlyphStrip(), SquareX + offset, SquareY, SquareSize,
                                         SquareSize, dpi),
                         enabled);
    }
    BitBlt(dc, x, y, width, height, tmp.get(), 0, 0, SRCCOPY);
}

void DrawOptionButtonGlyph(HDC dc, int x, int y, int width, int height, bool enabled, bool checked,
                           SkinState state, UINT dpi)
{
    if (!OptionCircleStrip() || !GlyphStrip()) return;
    int row = -1;
    if (!enabled) {
        row = static_cast<int>(SkinState::Disabled);
    } else if (state == SkinState::Normal || state == SkinState::Hot ||
               state == SkinState::Pressed) {
        row = static_cast<int>(state);
    }
    if (row >= 0) DrawOptionCircle(dc, x, y, width, height, row, dpi);
    if (checked) {
        DrawCentredGlyph(dc, x, y, width, height,
                         StripPieceAtDpi(GlyphStrip(), DotX + (enabled ? 0 : DisabledOffset), DotY,
                                         DotSize, DotSize, dpi),
                         enabled);
    }
}

namespace {

// Draws the glyph over the column at the window's left edge that the
// control's own glyph lies in, composed off screen and copied in one go.
// The column is first erased with the control's own background (the brush
// its parent answers WM_CTLCOLORSTATIC with, as the control asks), so that
// wherever the control put its glyph at this scale (a pixel higher, a
// pixel larger) none of it shows beside or through the skin's.
template <typename Draw>
void PaintGlyphColumn(HWND hwnd, int width, Draw draw)
{
    const int height = WindowSize(hwnd).cy;
    if (width <= 0 || height <= 0) return;
    ScopedBitmapDC column = CreateMemoryDC(width, height);
    const ScopedWindowDC dc(hwnd);
    if (!column || !dc) return;
    BitBlt(column.get(), 0, 0, width, height, dc.get(), 0, 0, SRCCOPY);
    if (HWND parent = GetParent(hwnd)) {
        const auto brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(column.get()),
                         reinterpret_cast<LPARAM>(hwnd)));
        const RECT all{0, 0, width, height};
        if (brush) FillRect(column.get(), &all, brush);
    }
    draw(column.get());
    BitBlt(dc.get(), 0, 0, width, height, column.get(), 0, 0, SRCCOPY);
}

} // namespace

int PaintCheckBox(HWND hwnd, SkinState state, bool force)
{
    if (!ShouldPaint(hwnd, state, force)) return 0;
    const GlyphBox box = GlyphBoxOf(hwnd);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const CheckMark mark = CurrentMark(hwnd);
    PaintGlyphColumn(hwnd, box.width, [&](HDC dc) {
        DrawCheckBoxGlyph(dc, 0, box.y0, box.width, box.height, enabled, mark, state, box.dpi);
    });
    return 1;
}

int PaintOptionButton(HWND hwnd, SkinState state, bool force)
{
    if (!ShouldPaint(hwnd, state, force)) return 0;
    const GlyphBox box = GlyphBoxOf(hwnd);
    const bool enabled = IsWindowEnabled(hwnd) != FALSE;
    const bool checked = CurrentMark(hwnd) == CheckMark::Checked;
    PaintGlyphColumn(hwnd, box.width, [&](HDC dc) {
        DrawOptionButtonGlyph(dc, 0, box.y0, box.width, box.height, enabled, checked, state,
                              box.dpi);
    });
    return 1;
}

namespace {

LRESULT OnPaint(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    PaintGlyph(m.hwnd, SkinState::Normal, true);
    return result;
}

LRESULT OnMouseMove(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    ArmLeaveTracking(m.hwnd);
    // Forced: the control repaints its own glyph on many mouse moves.
    PaintGlyph(m.hwnd, (m.wParam & MK_LBUTTON) ? SkinState::Pressed : SkinState::Hot, true);
    return result;
}

LRESULT OnMouseLeave(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    PaintGlyph(m.hwnd, SkinState::Normal, false);
    return result;
}

LRESULT OnLButtonDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    PaintGlyph(m.hwnd, SkinState::Pressed, false);
    return result;
}

LRESULT OnLButtonUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    // The siblings of an option group are refreshed by the dispatcher next.
    PaintGlyph(m.hwnd, SkinState::Normal, false);
    return result;
}

LRESULT OnKeyDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (m.wParam == VK_SPACE) PaintGlyph(m.hwnd, SkinState::Pressed, false);
    return result;
}

LRESULT OnKeyUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (m.wParam == VK_SPACE) PaintGlyph(m.hwnd, SkinState::Normal, false);
    return result;
}

// Focus set and focus lost alike.
LRESULT OnFocusChange(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    // Focus changes redraw option buttons only; a check box keeps its glyph.
    if (IsOptionButton(m.hwnd)) PaintOptionButton(m.hwnd, SkinState::Normal, true);
    return result;
}

// After a click on a sibling: the check state of a group may have changed.
void Refresh(HWND hwnd) { PaintGlyph(hwnd, SkinState::Normal, true); }

} // namespace

const SkinKindHandlers CheckSkinHandlers{
    .attach = AttachHoverState,
    .detach = DetachHoverState,
    .refresh = Refresh,
    .onSetFocus = OnFocusChange,
    .onKillFocus = OnFocusChange,
    .onPaint = OnPaint,
    .onKeyDown = OnKeyDown,
    .onKeyUp = OnKeyUp,
    .onMouseMove = OnMouseMove,
    .onLButtonDown = OnLButtonDown,
    .onLButtonUp = OnLButtonUp,
    .onMouseLeave = OnMouseLeave,
};

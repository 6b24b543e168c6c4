#include "CheckSkin.h"

#include "ControlPaint.h"
#include "DpiMetrics.h"
#include "SkinBitmaps.h"
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

struct GlyphBox {
    int y0 = 0;
    int width = 0;
    int height = 0;
};

// The glyph is SM_CXMENUCHECK x SM_CYMENUCHECK (at the window's DPI) at
// window x 0, centred vertically in the window.
GlyphBox GlyphBoxOf(HWND hwnd)
{
    GlyphBox box;
    const UINT dpi = WindowDpi(hwnd);
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
                       SkinState state)
{
    if (width <= 0 || height <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(width, height);
    if (!tmp) return;
    FillRectColor(tmp.get(), 0, 0, width, height, RGB(255, 255, 255));

    COLORREF frame = FrameColorDisabled;
    if (enabled) frame = state == SkinState::Pressed ? PressedCheckFrameColor : FrameColor;
    FrameRectColor(tmp.get(), 0, 0, width, height, frame);
    // Without the strips (before SkinStart, after the last detach) only the
    // flat box is drawn: a copy from a missing strip would leave garbage.
    if (!OptionCircleStrip() || !GlyphStrip()) {
        BitBlt(dc, x, y, width, height, tmp.get(), 0, 0, SRCCOPY);
        return;
    }
    if (enabled && (state == SkinState::Hot || state == SkinState::Pressed)) {
        const int bandY = state == SkinState::Hot ? HotFillBandY : PressedFillBandY;
        StretchBlt(tmp.get(), 1, 1, width - 2, height - 2, OptionCircleStrip(), FillBandX, bandY,
                   FillBandWidth, FillBandHeight, SRCCOPY);
    }

    const int offset = enabled ? 0 : DisabledOffset;
    if (mark == CheckMark::Checked) {
        TransparentBlit(tmp.get(), Centred(width, CheckMarkWidth), Centred(height, CheckMarkHeight),
                        CheckMarkWidth, CheckMarkHeight, GlyphStrip(), CheckMarkX + offset,
                        CheckMarkY, KeyColor);
    } else if (mark == CheckMark::Indeterminate) {
        TransparentBlit(tmp.get(), Centred(width, SquareSize), Centred(height, SquareSize),
                        SquareSize, SquareSize, GlyphStrip(), SquareX + offset, SquareY, KeyColor);
    }
    BitBlt(dc, x, y, width, height, tmp.get(), 0, 0, SRCCOPY);
}

void DrawOptionButtonGlyph(HDC dc, int x, int y, int width, int height, bool enabled, bool checked,
                           SkinState state)
{
    if (!OptionCircleStrip() || !GlyphStrip()) return;
    int row = -1;
    if (!enabled) {
        row = static_cast<int>(SkinState::Disabled);
    } else if (state == SkinState::Normal || state == SkinState::Hot ||
               state == SkinState::Pressed) {
        row = static_cast<int>(state);
    }
    if (row >= 0) {
        NineGridCopy copy;
        copy.dest = dc;
        copy.x = x;
        copy.y = y;
        copy.width = width;
        copy.height = height;
        copy.source = OptionCircleStrip();
        copy.sourceY = OptionCircleSize * row;
        copy.sourceWidth = OptionCircleSize;
        copy.sourceHeight = OptionCircleSize;
        copy.left = copy.top = copy.right = copy.bottom = CircleBorder;
        copy.key = KeyColor;
        StretchNineGrid(copy);
    }
    if (checked) {
        TransparentBlit(dc, x + Centred(width, DotSize), y + Centred(height, DotSize), DotSize,
                        DotSize, GlyphStrip(), DotX + (enabled ? 0 : DisabledOffset), DotY,
                        KeyColor);
    }
}

int PaintCheckBox(HWND hwnd, SkinState state, bool force)
{
    if (!ShouldPaint(hwnd, state, force)) return 0;
    const GlyphBox box = GlyphBoxOf(hwnd);
    const ScopedWindowDC dc(hwnd);
    DrawCheckBoxGlyph(dc.get(), 0, box.y0, box.width, box.height, IsWindowEnabled(hwnd) != FALSE,
                      CurrentMark(hwnd), state);
    return 1;
}

int PaintOptionButton(HWND hwnd, SkinState state, bool force)
{
    if (!ShouldPaint(hwnd, state, force)) return 0;
    const GlyphBox box = GlyphBoxOf(hwnd);
    const ScopedWindowDC dc(hwnd);
    DrawOptionButtonGlyph(dc.get(), 0, box.y0, box.width, box.height,
                          IsWindowEnabled(hwnd) != FALSE, CurrentMark(hwnd) == CheckMark::Checked,
                          state);
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

#include "HeaderSkin.h"

#include <commctrl.h>

#include <string>

#include "ControlPaint.h"
#include "ScopedWin.h"
#include "DpiMetrics.h"
#include "SkinBitmaps.h"
#include "SkinDpi.h"
#include "SkinPalette.h"
#include "SkinPrimitives.h"
#include "SkinProps.h"

namespace {

// Header strip: three 3 x 20 faces side by side, nine-grid borders 1; the
// background stretches the middle column of the Normal face.
constexpr int FaceHeight = 20;
constexpr int FaceBorder = 1;
constexpr int BackgroundColumn = 1;
constexpr int TextCapacity = 256;

int FaceOffset(SkinState state)
{
    switch (state) {
    case SkinState::Hot:
        return HeaderFaceWidth;
    case SkinState::Pressed:
        return 2 * HeaderFaceWidth;
    default:
        return 0;
    }
}

int ItemCount(HWND hwnd) { return static_cast<int>(SendMessageW(hwnd, HDM_GETITEMCOUNT, 0, 0)); }

bool ItemRect(HWND hwnd, int index, RECT& r)
{
    r = RECT{};
    return SendMessageW(hwnd, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(&r)) != 0;
}

// The item's text with every NUL taken out of the 255-character buffer, so
// a text the control stored with embedded NULs still shows.
std::wstring ItemText(HWND hwnd, int index)
{
    wchar_t buffer[TextCapacity] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = buffer;
    item.cchTextMax = TextCapacity;
    SendMessageW(hwnd, HDM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    std::wstring text;
    for (int i = 0; i < TextCapacity - 1; ++i) {
        if (buffer[i] != L'\0') text.push_back(buffer[i]);
    }
    return text;
}

// In high contrast: a flat face in the button colour (the highlight while
// hot or pressed) with a separator line at its right edge in the button
// text colour, which the item's text takes too.
void DrawFlatFace(HDC dc, int x, int width, int height, SkinState state)
{
    const bool active = state == SkinState::Hot || state == SkinState::Pressed;
    FillRectColor(dc, x, 0, width, height,
                  SystemColourFor(active ? SkinRole::Active : SkinRole::Face));
    FillRectColor(dc, x + width - 1, 0, 1, height, SystemColourFor(SkinRole::FaceText));
    SetTextColor(dc, SystemColourFor(active ? SkinRole::ActiveText : SkinRole::FaceText));
}

void DrawFace(HDC dc, int x, int width, int height, SkinState state, UINT dpi)
{
    if (IsHighContrast()) {
        DrawFlatFace(dc, x, width, height, state);
        return;
    }
    // The face's border lines grow with the display scale.
    const StripPiece piece = StripPieceAtDpi(HeaderFaceStrip(), FaceOffset(state), 0,
                                             HeaderFaceWidth, FaceHeight, dpi);
    StretchNineGrid(NineGridOf(dc, x, 0, width, height, piece.dc, piece.x, piece.y, piece.width,
                               piece.height, ScaleToDpi(FaceBorder, dpi)));
}

void DrawItemText(HDC dc, HWND hwnd, int index, int x, int width, int height)
{
    const std::wstring text = ItemText(hwnd, index);
    if (!text.empty()) DrawTextInRect(dc, text, x, 0, width, height, CaptionFormat);
}

// The face an item gets in a full paint: pressed record first, then hot.
SkinState RecordedState(HWND hwnd, int index)
{
    if (index == GetSkinProp(hwnd, SkinProp::HdIndex)) return SkinState::Pressed;
    if (index == GetSkinProp(hwnd, SkinProp::HmIndex)) return SkinState::Hot;
    return SkinState::Normal;
}

} // namespace

void PaintHeaderItem(HWND hwnd, HDC target, int index, SkinState state)
{
    RECT r;
    if (index < 0 || !IsWindow(hwnd) || !ItemRect(hwnd, index, r)) return;
    const int height = WindowSize(hwnd).cy;
    const int width = r.right - r.left;
    if (width <= 0 || height <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(width, height);
    if (!tmp || !HeaderFaceStrip()) return;
    {
        ScopedSelectObject font(tmp.get(),
                                reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SetBkMode(tmp.get(), TRANSPARENT);
        DrawFace(tmp.get(), 0, width, height, state, SkinDpi(hwnd));
        DrawItemText(tmp.get(), hwnd, index, 0, width, height);
    }
    DrawOnTargetOrWindow(hwnd, target, [&](HDC dc) {
        BitBlt(dc, r.left, 0, width, r.bottom - r.top, tmp.get(), 0, 0, SRCCOPY);
    });
}

void PaintHeader(HWND hwnd, HDC target)
{
    if (!IsWindow(hwnd)) return;
    const SIZE size = WindowSize(hwnd);
    if (size.cx <= 0 || size.cy <= 0) return;
    ScopedBitmapDC tmp = CreateMemoryDC(size.cx, size.cy);
    if (!tmp || !HeaderFaceStrip()) return;
    {
        ScopedSelectObject font(tmp.get(),
                                reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
        SetBkMode(tmp.get(), TRANSPARENT);
        if (IsHighContrast())
            FillRectColor(tmp.get(), 0, 0, size.cx, size.cy, SystemColourFor(SkinRole::Face));
        else
            StretchBlt(tmp.get(), 0, 0, size.cx, size.cy, HeaderFaceStrip(), BackgroundColumn, 0,
                       1, FaceHeight, SRCCOPY);
        const int count = ItemCount(hwnd);
        for (int i = 0; i < count; ++i) {
            RECT r;
            if (!ItemRect(hwnd, i, r) || r.right <= r.left) continue;
            DrawFace(tmp.get(), r.left, r.right - r.left, size.cy, RecordedState(hwnd, i),
                     SkinDpi(hwnd));
            DrawItemText(tmp.get(), hwnd, i, r.left, r.right - r.left, r.bottom);
        }
    }
    BitBlt(target, 0, 0, size.cx, size.cy, tmp.get(), 0, 0, SRCCOPY);
}

int HeaderItemAt(HWND hwnd, int x)
{
    const int count = ItemCount(hwnd);
    for (int i = 0; i < count; ++i) {
        RECT r;
        if (ItemRect(hwnd, i, r) && r.left <= x && x <= r.right) return i;
    }
    return -1;
}

namespace {

void Attach(HWND hwnd)
{
    SetSkinProp(hwnd, SkinProp::MouseFlag, 0);
    SetSkinProp(hwnd, SkinProp::HdIndex, -1);
    SetSkinProp(hwnd, SkinProp::HmIndex, -1);
}

void Detach(HWND hwnd)
{
    RemoveSkinProp(hwnd, SkinProp::MouseFlag);
    RemoveSkinProp(hwnd, SkinProp::HdIndex);
    RemoveSkinProp(hwnd, SkinProp::HmIndex);
}

LRESULT OnPaint(const SkinMessage& m)
{
    // The skin draws the whole header; the control's own paint never runs.
    const ScopedPaint dc(m.hwnd);
    PaintHeader(m.hwnd, dc.get());
    return 0;
}

LRESULT OnLButtonDown(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    if (ItemCount(m.hwnd) > 0) {
        const int pressed = HeaderItemAt(m.hwnd, LoWordSigned(m.lParam));
        SetSkinProp(m.hwnd, SkinProp::HdIndex, pressed);
        if (pressed >= 0) PaintHeaderItem(m.hwnd, nullptr, pressed, SkinState::Pressed);
    }
    return result;
}

LRESULT OnLButtonUp(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    const int pressed = static_cast<int>(GetSkinProp(m.hwnd, SkinProp::HdIndex));
    SetSkinProp(m.hwnd, SkinProp::HdIndex, -1);
    if (pressed >= 0) {
        PaintHeaderItem(m.hwnd, nullptr, pressed,
                        CursorIsOver(m.hwnd) ? SkinState::Normal : SkinState::Hot);
    }
    return result;
}

LRESULT OnMouseMove(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    ArmLeaveTracking(m.hwnd);
    const int hot = static_cast<int>(GetSkinProp(m.hwnd, SkinProp::HmIndex));
    const int pressed = static_cast<int>(GetSkinProp(m.hwnd, SkinProp::HdIndex));
    const int under = HeaderItemAt(m.hwnd, LoWordSigned(m.lParam));
    if (under == hot) return result;
    if (hot >= 0 && hot != pressed) PaintHeaderItem(m.hwnd, nullptr, hot, SkinState::Normal);
    if ((m.wParam & MK_LBUTTON) == 0) {
        SetSkinProp(m.hwnd, SkinProp::HmIndex, under);
        PaintHeaderItem(m.hwnd, nullptr, under, SkinState::Hot);
    } else if (under == pressed) {
        // Back over the item that was pressed, button still held.
        PaintHeaderItem(m.hwnd, nullptr, under, SkinState::Pressed);
    }
    return result;
}

LRESULT OnMouseLeave(const SkinMessage& m)
{
    const LRESULT result = m.CallPrevious();
    const int hot = static_cast<int>(GetSkinProp(m.hwnd, SkinProp::HmIndex));
    SetSkinProp(m.hwnd, SkinProp::MouseFlag, 0);
    SetSkinProp(m.hwnd, SkinProp::HdIndex, -1);
    SetSkinProp(m.hwnd, SkinProp::HmIndex, -1);
    if (hot >= 0) PaintHeaderItem(m.hwnd, nullptr, hot, SkinState::Normal);
    return result;
}

} // namespace

const SkinKindHandlers HeaderSkinHandlers{
    .attach = Attach,
    .detach = Detach,
    .onPaint = OnPaint,
    .onMouseMove = OnMouseMove,
    .onLButtonDown = OnLButtonDown,
    .onLButtonUp = OnLButtonUp,
    .onLButtonDblClk = OnLButtonDown,
    .onMouseLeave = OnMouseLeave,
};

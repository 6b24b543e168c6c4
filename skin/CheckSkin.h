// The skin of check boxes and option buttons. The control keeps painting its
// caption; the skin paints its own glyph (the square or circle at the left
// edge) over the control's after every paint and on every mouse or keyboard
// state change.
#pragma once

#include <windows.h>

#include "DpiMetrics.h"
#include "SkinKindHandlers.h"
#include "SkinTypes.h"

// The row of check boxes and option buttons; its refresh repaints the
// glyph in Normal, forced, after a click on a sibling.
extern const SkinKindHandlers CheckSkinHandlers;

// BM_GETCHECK answers: 1 checked, 2 indeterminate, anything else unchecked.
enum class CheckMark { None, Checked, Indeterminate };
CheckMark CheckMarkOf(LRESULT getCheckAnswer);

// Glyph painters on any DC: a width x height glyph (the system's menu-check
// size) with its top-left corner at (x, y). The check box is a flat square
// with a green check mark or indeterminate square; the option button a
// keyed circle from the circle strip with a green dot, so the pixels outside
// the circle stay as the DC had them. A disabled glyph uses the pale shapes
// whatever the state. The art (marks, dot, circle, the box's frame) is drawn
// at the scale of dpi, centred as at 96 DPI.
void DrawCheckBoxGlyph(HDC dc, int x, int y, int width, int height, bool enabled, CheckMark mark,
                       SkinState state, UINT dpi = DesignDpi);
void DrawOptionButtonGlyph(HDC dc, int x, int y, int width, int height, bool enabled, bool checked,
                           SkinState state, UINT dpi = DesignDpi);

// Draw the glyph of hwnd in state at window x 0, vertically centred, on the
// window DC. A state equal to "OLDSTATE" is skipped unless force is set.
// Return 0 when skipped, 1 when drawn.
int PaintCheckBox(HWND hwnd, SkinState state, bool force);
int PaintOptionButton(HWND hwnd, SkinState state, bool force);

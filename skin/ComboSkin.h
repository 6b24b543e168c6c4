// The skin of combo boxes and drive lists: a flat frame with a white ring
// and a drop button of the skin's own that shows Normal, Hot and Pressed.
// The control's own procedure still paints the text, the edit field and the
// list items.
#pragma once

#include <windows.h>

#include "DpiMetrics.h"
#include "SkinKindHandlers.h"
#include "SkinTypes.h"

// The row of combo boxes and drive lists (a drive list behaves as a combo
// box that cannot be edited).
extern const SkinKindHandlers ComboSkinHandlers;

// Where the drop button of a windowWidth x windowHeight combo box goes, with
// scrollWidth the system's SM_CXVSCROLL, at dpi: the button in window
// coordinates, the arrow (7 x 4 at 96 DPI, scaled with the art) relative to
// the button and centred in it.
struct ComboButtonGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int arrowX = 0;
    int arrowY = 0;
    int arrowWidth = 0;
    int arrowHeight = 0;
};
ComboButtonGeometry ComboButtonLayout(int windowWidth, int windowHeight, int scrollWidth,
                                      UINT dpi = DesignDpi);

// Whether client point (x, y) lies in the button zone of an editable combo
// box (CBS_DROPDOWN): x from W - scrollWidth - 2 to W - 2, y from 2 to H - 2,
// both inclusive.
bool InComboHotZone(int windowWidth, int windowHeight, int scrollWidth, int x, int y);

// Draws the drop button in state onto target (window coordinates), or onto
// the window DC when target is null. While the list is dropped the state
// becomes Pressed, and the caller's variable receives it. A state equal to
// "OLDSTATE" is not redrawn unless force is set. A CBS_SIMPLE combo has no
// button: nothing is drawn and "OLDSTATE" stays as it was.
void PaintComboButton(HWND hwnd, HDC target, SkinState& state, bool force);

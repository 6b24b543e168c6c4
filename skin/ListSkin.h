// The skin of framed lists ("datalistwndclass", "dblistwndclass" and the
// dropped-down list of a combo box, "combolbox"): the control paints its
// items, then the skin draws a one-pixel frame and a white ring over its
// border.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

// Message branches of the list kind (SkinMessage.h).
LRESULT ListSkinOnPaint(const SkinMessage& msg);
// The data-bound lists keep their own frame paint; a dropped-down combo list
// gets the flat client edge like any other window.
LRESULT ListSkinOnNcPaint(const SkinMessage& msg);

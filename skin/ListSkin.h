// The skin of framed lists ("datalistwndclass", "dblistwndclass" and the
// dropped-down list of a combo box, "combolbox"): the control paints its
// items, then the skin draws a one-pixel frame and a white ring over its
// border.
#pragma once

#include <windows.h>

#include "SkinKindHandlers.h"

// The list row. The data-bound lists keep their own frame paint; a
// dropped-down combo list gets the flat client edge like any other window.
extern const SkinKindHandlers ListSkinHandlers;

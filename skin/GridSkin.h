// The skin of grids (classes named "apexgrid..."): the grid paints itself;
// a bordered one (WS_BORDER) gets its frame redrawn flat in FrameColor.
#pragma once

#include <windows.h>

#include "SkinKindHandlers.h"

extern const SkinKindHandlers GridSkinHandlers;

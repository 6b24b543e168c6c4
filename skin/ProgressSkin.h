// The skin of progress bars: drawn entirely by the skin in flat colours, a
// one-pixel FrameColor frame around a white body whose filled part (the left
// part, or the bottom part of a PBS_VERTICAL bar) is ProgressColor.
#pragma once

#include <windows.h>

#include "SkinKindHandlers.h"

// The progress-bar row: WM_PAINT and WM_NCPAINT draw the whole bar; neither
// calls the control's own procedure.
extern const SkinKindHandlers ProgressSkinHandlers;

// The filled fraction of a bar at position: position / 30000 in single
// precision. The divisor is fixed, whatever range the control was given, so
// a bar is full from 30000 on.
float ProgressFraction(int position);

// The filled extent of a side of length: length x fraction rounded half to
// even, kept within 0 and length so a position outside 0..30000 neither
// fills backwards nor past the bar.
int ProgressExtent(int length, float fraction);

// Client part (what WM_PAINT shows): the client area composed off screen and
// copied to (0, 0) of target, a client-coordinate DC.
void PaintProgressClient(HWND hwnd, HDC target);
// Frame part (what WM_NCPAINT shows): the whole window composed off screen
// and copied to (0, 0) of target, a window-coordinate DC.
void PaintProgressFrame(HWND hwnd, HDC target);

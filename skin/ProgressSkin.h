// The skin of progress bars: drawn entirely by the skin in flat colours, a
// one-pixel FrameColor frame around a white body whose filled part (the left
// part, or the bottom part of a PBS_VERTICAL bar) is ProgressColor.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

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

// Message branches of the progress-bar kind (SkinMessage.h). Neither calls
// the control's own procedure; both return 0.
LRESULT ProgressSkinOnPaint(const SkinMessage& msg);
LRESULT ProgressSkinOnNcPaint(const SkinMessage& msg);

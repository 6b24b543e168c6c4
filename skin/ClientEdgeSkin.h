// Flattens the sunken client edge (WS_EX_CLIENTEDGE) of any attached window:
// after the window's own frame paint, a one-pixel FrameColor frame replaces
// the outer edge and rings in the client background colour cover the rest.
#pragma once

#include <windows.h>

#include "SkinMessage.h"

// Draws the flat edge onto target (window coordinates) for a window of
// windowWidth x windowHeight whose edge is edgeThickness pixels wide:
// the frame in frameColour, then rings 1 .. edgeThickness in background.
void PaintFlatClientEdge(HDC target, int windowWidth, int windowHeight, int edgeThickness,
                         COLORREF frameColour, COLORREF background);

// WM_NCPAINT of every kind whose row does not paint its frame itself (the
// default of SkinKindHandlers): the window's own frame paint, then the flat
// edge when it has a client edge. Scroll bars keep every pixel of their own
// painting.
LRESULT ClientEdgeOnNcPaint(const SkinMessage& m);

// The five strips: small bitmaps holding every bitmap element of the skin's
// look, painted pixel by pixel from built-in colour tables at the first
// SkinStart and released when the last attached window detaches.
//
//   ButtonFaceStrip    7 x 84  four 7 x 21 push-button faces stacked by
//                              SkinState (rows 0-20, 21-41, 42-62, 63-83);
//                              nine-grid with borders 3,3,3,3
//   ComboButtonStrip  15 x 18  columns 0-3 Hot drop-button background,
//                              4-7 Pressed background, (8,0) 7 x 4 arrow,
//                              (8,4) 7 x 4 disabled arrow, rest KeyColor
//   GlyphStrip        18 x 24  (0,0) 9 x 8 check mark, (9,0) disabled check;
//                              (1,9) 7 x 7 indeterminate square, (10,9)
//                              disabled; (2,18) 5 x 5 option dot, (11,18)
//                              disabled; rest KeyColor
//   OptionCircleStrip 13 x 52  four 13 x 13 circles stacked by SkinState
//                              (Normal, Hot, Pressed, Disabled), corners
//                              outside the circle KeyColor
//   HeaderFaceStrip    9 x 20  three 3 x 20 faces side by side: columns 0-2
//                              Normal, 3-5 Hot, 6-8 Pressed; nine-grid with
//                              borders 1,1,1,1
#pragma once

#include <windows.h>

constexpr int ButtonFaceStripWidth = 7, ButtonFaceStripHeight = 84;
constexpr int ButtonFaceHeight = 21;
constexpr int ComboButtonStripWidth = 15, ComboButtonStripHeight = 18;
constexpr int GlyphStripWidth = 18, GlyphStripHeight = 24;
constexpr int OptionCircleStripWidth = 13, OptionCircleStripHeight = 52;
constexpr int OptionCircleSize = 13;
constexpr int HeaderFaceStripWidth = 9, HeaderFaceStripHeight = 20;
constexpr int HeaderFaceWidth = 3;

// Creates the five strips and sets every pixel once with SetPixel. Strips
// painted before are released first. Returns false when a strip could not
// be created (the others are still usable).
bool PaintSkinBitmaps();
// Deletes the five strips (DCs and bitmaps). Safe to call when none exist.
void ReleaseSkinBitmaps();
// Whether the strips exist now.
bool SkinBitmapsPainted();

// The strip DCs; null while the strips do not exist. Only read from them:
// the strips are shared by every attached window.
HDC ButtonFaceStrip();
HDC ComboButtonStrip();
HDC GlyphStrip();
HDC OptionCircleStrip();
HDC HeaderFaceStrip();

// A rectangle of art to copy from: a strip DC, or a strip piece enlarged to
// a display scale.
struct StripPiece {
    HDC dc = nullptr;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The width x height piece of strip at (x, y), drawn for dpi: at 96 DPI the
// strip itself; at any other scale a copy of each side ScaleToDpi'd, made by
// nearest-neighbour sampling, so it holds only the art's own colours (key
// included) and edges stay sharp: a whole-number enlargement at 192 DPI,
// rows and columns repeated evenly at 120 and 144. Copies are made on first
// use and kept with the strips; dc is null while the strips do not exist.
StripPiece StripPieceAtDpi(HDC strip, int x, int y, int width, int height, UINT dpi);

// Copies the shape of piece (every pixel that is not KeyColor) to (x, y) of
// dest in one colour, the key pixels leaving dest as it was: the art drawn
// in a system colour for high contrast.
void DrawShapeInColour(HDC dest, int x, int y, const StripPiece& piece, COLORREF colour);

// Push-button skin: a rounded window region, a nine-grid face from
// ButtonFaceStrip with the caption centred on it, and cross-fades between
// the four SkinState faces driven by a 15 ms window timer.
//
// Each button keeps four pre-rendered faces (memory DCs "0HDC".."3HDC" with
// their bitmaps "0BMP".."3BMP"), rendered on attach, resize and focus
// change; every visible change is one AlphaBlend of the "OLDSTATE" face at
// constant alpha "ALPHALEVEL".
#pragma once

#include <windows.h>

#include "SkinKindHandlers.h"

// The push-button row: attach-time set-up (faces, owner-draw switch for
// push-styled buttons, properties, rounded region) and its undoing, and the
// hover, press, focus, enable, size and fade handlers.
extern const SkinKindHandlers ButtonSkinHandlers;

// Whether the button was push-styled (BS_PUSHBUTTON or BS_DEFPUSHBUTTON) at
// attach time. Only those are painted by the skin; check boxes, radio
// buttons and group boxes of class "button" keep their own painting.
bool IsPushStyled(HWND hwnd);

// Renders the four faces with the current size, caption and focus.
void RenderButtonFaces(HWND hwnd);
// Blends the "OLDSTATE" face at "ALPHALEVEL" onto target, or onto the
// button's window DC when target is null. A disabled button is switched to
// the Disabled face first. Returns 0.
LRESULT BlendButtonFace(HWND hwnd, HDC target);

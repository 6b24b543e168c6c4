// The skin of column headers: drawn entirely by the skin, each item with a
// Normal, Hot or Pressed face from the header strip and its text centred.
// "HDINDEX" records the item drawn pressed, "HMINDEX" the item drawn hot
// (-1 for none).
#pragma once

#include <windows.h>

#include "SkinKindHandlers.h"
#include "SkinTypes.h"

// The header row: "MOUSEFLAG" 0 and no item pressed or hot at attach.
extern const SkinKindHandlers HeaderSkinHandlers;

// Draws item index in state (Normal, Hot or Pressed; any other state draws
// Normal) onto target, or onto the window DC when target is null. Nothing
// for a negative index or an item the header does not have.
void PaintHeaderItem(HWND hwnd, HDC target, int index, SkinState state);

// Composes the whole header (background, every item with the face its
// "HDINDEX" / "HMINDEX" record says) and copies it to (0, 0) of target.
void PaintHeader(HWND hwnd, HDC target);

// The first item, in index order, whose rectangle holds client x with both
// edges inclusive, so a boundary belongs to the lower index; -1 for none.
int HeaderItemAt(HWND hwnd, int x);

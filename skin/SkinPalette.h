// The colours the skin paints with: its own look, or, while a high-contrast
// theme is on, the user's system colours. High contrast (an accessibility
// setting for people with low vision) asks every program to draw with the
// colours the user chose; the skin then paints flat faces in COLOR_BTNFACE
// with COLOR_BTNTEXT, fields in COLOR_WINDOW with COLOR_WINDOWTEXT frames,
// hot and pressed looks in COLOR_HIGHLIGHT and disabled ones in
// COLOR_GRAYTEXT. Nothing but the colours changes, and without high
// contrast every colour is the skin's own.
#pragma once

#include <windows.h>

#include <optional>

// Whether a high-contrast theme is on (SPI_GETHIGHCONTRAST, HCF_HIGHCONTRASTON),
// read from the system at every call. Labels outside the skin (the brand
// line, the link) ask it too, to take COLOR_BTNTEXT and COLOR_HOTLIGHT.
bool IsHighContrast();

// Makes IsHighContrast answer on (or, with nothing, the system again), for
// a system that cannot switch the theme: Wine answers SPI_SETHIGHCONTRAST
// with ERROR_INVALID_SPI_VALUE and SPI_GETHIGHCONTRAST always with off.
void OverrideHighContrast(std::optional<bool> on);

// What a colour is for; each has the skin's own value and a system colour.
enum class SkinRole {
    Frame,         // frames of fields, lists, boxes, bars: FrameColor / COLOR_WINDOWTEXT
    FrameDisabled, // the same, disabled: FrameColorDisabled / COLOR_GRAYTEXT
    Field,         // inside fields, rings, boxes, bar bodies: white / COLOR_WINDOW
    FieldText,     // marks, dots and arrows: the art's own / COLOR_WINDOWTEXT
    Active,        // hot and pressed looks and progress: the art's own / COLOR_HIGHLIGHT
    ActiveText,    // what is drawn on Active: the art's own / COLOR_HIGHLIGHTTEXT
    Face,          // push-button and header faces: the strips / COLOR_BTNFACE
    FaceText,      // their captions: black / COLOR_BTNTEXT
    GrayText,      // disabled marks and captions: the art's own / COLOR_GRAYTEXT
    Brand,         // the brand line: its own green / COLOR_BTNTEXT
    Link,          // the link label: its own blue / COLOR_HOTLIGHT
};

// The system colour of role, for painting in high contrast.
COLORREF SystemColourFor(SkinRole role);

// The colour of a role that has one fixed colour in the skin's own look:
// that colour, or the system colour in high contrast. Roles whose own look
// is art (a strip) answer with the system colour.
COLORREF SkinColour(SkinRole role);

#pragma once
// The edge between the theme's stored colours and fonts and Qt's: one conversion each way,
// for the full-screen window's label and lists and for the View page's previews and
// choosers.

#include <QColor>
#include <QFont>

#include "app/theme.h"

namespace quorvel {

// 0x00BBGGRR to an opaque QColor; the top byte is ignored.
QColor ToQColor(ColorRef color);
// The red, green and blue of `color`; its alpha is dropped.
ColorRef ToColorRef(const QColor& color);

// The font that a stored description asks for, at most `screenHeight` pixels high (0: no
// bound):
//  - height: negative, the character height in pixels (the font's pixel size); positive,
//    the cell height (ascent + descent); 0, Qt's default size;
//  - weight: 0 is normal, others as they are (both use the scale 1 to 1000; 400 normal,
//    700 bold); italic, underline and strike-out when not 0;
//  - face name: a face that is not installed falls back to a sans-serif face of the same
//    height.
// Width, escapement, orientation, character set, precisions, quality and pitch are not
// used.
QFont ToQFont(const FontDescription& description, int screenHeight);

// The description of `font` as a font chooser stores it: the character height as a
// negative height (a font given in points is converted with the screen's resolution),
// weight, italic, underline, strike-out, character set 1 (default), and the family as
// face name, cut to 31 bytes at a whole character. Everything else is 0.
FontDescription ToFontDescription(const QFont& font);

}  // namespace quorvel

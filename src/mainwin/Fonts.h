#pragma once
// The fonts the main window draws with. The layout names fonts that Linux rarely has: the markers'
// font falls back to a bold fixed-width font and the clef to a music-symbols font. The window and
// name fonts are every window's (look/Fonts.h).

#include <QFont>
#include <QString>
#include <optional>

#include "look/Fonts.h"

namespace quorvane::mainwin {

using look::NameFont;
using look::WindowFont;

// The markers' caption font: the layout's Terminal 6 pt bold, or a bold fixed-width font.
QFont MarkerFont();

// The music font with the clef glyphs "o" (treble) and "p" (bass), when it is installed.
bool HaveClefFont();
QFont ClefFont();  // 48 pt bold, in that font

// A font holding the Unicode clef signs U+1D11E and U+1D122, used when the music font is missing.
QFont ClefSymbolFont();

// An installed music font with the sharp sign U+266F, for the "#" of the staff; nullopt when there
// is none (the sign is then drawn).
std::optional<QFont> SharpSignFont();

}  // namespace quorvane::mainwin

#pragma once
// The fonts the main window draws with. The layout names fonts that Linux rarely has: the window
// font falls back to a close bold sans-serif and the clef to a music-symbols font.

#include <QFont>
#include <QString>
#include <optional>

namespace quorvane::mainwin {

// The window's text font (8.25 pt bold sans-serif), for labels, selectors and "#" signs.
QFont WindowFont();

// The chord-name label's font at `points` (18 pt by the layout).
QFont NameFont(double points = 18.0);

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

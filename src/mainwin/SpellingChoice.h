#pragma once
// The parts of the main window that carry the chosen spelling beyond the views: the Options >
// Spelling submenu with its three exclusive check items, and the chord symbol label beside the
// chord's name. Kept apart from the window so that it stays the composer of its parts.

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "theory/spelling.h"

class QAction;
class QLabel;
class QMenu;
class QRect;
class QWidget;

namespace quorvane::mainwin {

// Adds "&Spelling" to `options`: "&Sharps" (checked), "&Flats", "By &Chord". A pick calls
// `chosen`; the check marks are the caller's to set (CheckSpelling).
std::array<QAction*, 3> AddSpellingMenu(QMenu* options,
                                        const std::function<void(theory::Spelling)>& chosen);

// Checks the item of `spelling` and only it.
void CheckSpelling(const std::array<QAction*, 3>& items, theory::Spelling spelling);

// The label that shows the chord's lead-sheet symbol.
QLabel* CreateSymbolLabel(QWidget* parent);

// Shows `symbol` (ASCII) with the proper sharp and flat glyphs, read by assistive technology as
// "Chord symbol: <symbol>", beside the name label at `name` without covering it: left of the
// name where there is room within `clientWidth`, else right of it, else under it.
void ShowSymbol(QLabel* label, const std::string& symbol, const QRect& name, int clientWidth);

// Where a symbol `width` x `height` pixels stands beside the name at `name` (ShowSymbol's rule).
QRect PlaceSymbol(int width, int height, const QRect& name, int clientWidth);

// The symbol as it reads on screen: "b" and "#" after the root letters become the flat and sharp
// signs ("Eb" stays a letter and a sign; "maj7" keeps its letters).
QString SymbolOnScreen(const std::string& symbol);

}  // namespace quorvane::mainwin

#pragma once
// The window fonts. The layouts name fonts that Linux rarely has (MS Sans Serif): the window font
// falls back to the closest bold sans-serif installed. Sizes go in pixels, from points through
// the twips rule, so text keeps its proportion to the twips layout whatever the screen's DPI.

#include <QFont>
#include <QString>
#include <QStringList>

namespace quorvane::look {

// The first of `candidates` that is installed (compared without case); empty when none is.
QString FirstInstalled(const QStringList& candidates);

// Sets the font's size to `points`, in pixels through the twips rule.
void SetPoints(QFont& font, double points);

// The window's text font, 8.25 pt bold sans-serif: labels, selectors, buttons, "#" signs.
QFont WindowFont();

// The window font's family at `points`, bold (the chord-name label is 18 pt).
QFont NameFont(double points = 18.0);

}  // namespace quorvane::look

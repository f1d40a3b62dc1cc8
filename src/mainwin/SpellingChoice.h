#pragma once
// The parts of the main window that carry the chosen spelling beyond the views: the Options >
// Spelling submenu with its three exclusive check items, and the chord symbol label beside the
// chord's name. Kept apart from the window so that it stays the composer of its parts.

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "theory/spelling.h"

class QAction;
class QMenu;

namespace quorvane::mainwin {

// Adds "&Spelling" to `options`: "&Sharps" (checked), "&Flats", "By &Chord". A pick calls
// `chosen`; the check marks are the caller's to set (CheckSpelling).
std::array<QAction*, 3> AddSpellingMenu(QMenu* options,
                                        const std::function<void(theory::Spelling)>& chosen);

// Checks the item of `spelling` and only it.
void CheckSpelling(const std::array<QAction*, 3>& items, theory::Spelling spelling);

// The chord's lead-sheet symbol beside its name. It changes with every chord, so it only keeps
// its text and paints it, without the text layout a label redoes at every change.
class SymbolLabel : public QWidget {
  public:
    explicit SymbolLabel(QWidget* parent);
    // Shows `symbol` (ASCII) with the proper sharp and flat glyphs, read by assistive technology
    // as "Chord symbol: <symbol>", placed by LayOutSymbol beside the name at `name`.
    void Show(const std::string& symbol, const QRect& name, int clientWidth);
    const QString& Text() const { return text_; }  // as it reads on screen

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QFont font_;
    Qt::Alignment align_;
};

// Where the symbol (as it reads on screen) stands beside the name at `name`, in pixels of a
// client area `clientWidth` wide, without covering it or moving anything: in the name's font
// left of the name where there is room (the whole room, the symbol at its right end, so that the
// box stays put from chord to chord), else right of it; else in the window font at the left
// margin of the strip under the name, above the keyboard.
struct SymbolLayout {
    QFont font;
    QRect rect;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
};
SymbolLayout LayOutSymbol(const QString& onScreen, const QRect& name, int clientWidth);

// The symbol as it reads on screen: "b" and "#" after the root letters become the flat and sharp
// signs ("Eb" stays a letter and a sign; "maj7" keeps its letters).
QString SymbolOnScreen(const std::string& symbol);

}  // namespace quorvane::mainwin

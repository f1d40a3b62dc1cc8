#include "mainwin/SpellingChoice.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <array>
#include <cstddef>

#include "mainwin/Fonts.h"

namespace quorvane::mainwin {

namespace {

constexpr int kSymbolGap = 16;    // pixels between the name and the symbol
constexpr int kWindowMargin = 8;  // pixels the symbol keeps from the window's edges

// `font` in a family that has the flat and sharp signs where one is installed, so that they
// match the letters beside them and no fallback font is looked for at every chord.
QFont SymbolFont(QFont font) {
    static const QString family = look::FirstInstalled({"DejaVu Sans", "FreeSerif", "Symbola"});
    if (!family.isEmpty()) {
        font.setFamily(family);
    }
    return font;
}

// The advance of every ASCII character and of the flat and sharp signs in one font.
class Advances {
  public:
    explicit Advances(const QFontMetrics& metrics)
        : flat_(metrics.horizontalAdvance(QChar(0x266D))),
          sharp_(metrics.horizontalAdvance(QChar(0x266F))) {
        for (std::size_t c = 0; c < ascii_.size(); ++c) {
            ascii_[c] = metrics.horizontalAdvance(QLatin1Char(static_cast<char>(c)));
        }
    }
    int Width(const QString& text) const {
        int sum = 4;  // the label's own margin
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            sum += u < ascii_.size() ? ascii_[u] : (u == 0x266D ? flat_ : sharp_);
        }
        return sum;
    }

  private:
    std::array<int, 128> ascii_{};
    int flat_ = 0;
    int sharp_ = 0;
};

}  // namespace

std::array<QAction*, 3> AddSpellingMenu(QMenu* options,
                                        const std::function<void(theory::Spelling)>& chosen) {
    QMenu* menu = options->addMenu(QStringLiteral("&Spelling"));
    const std::array<const char*, 3> captions{"&Sharps", "&Flats", "By &Chord"};
    std::array<QAction*, 3> items{};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i] = menu->addAction(QString::fromLatin1(captions[i]));
        items[i]->setCheckable(true);
        items[i]->setChecked(i == 0);
        const auto spelling = static_cast<theory::Spelling>(i);
        QObject::connect(items[i], &QAction::triggered, menu,
                         [chosen, spelling] { chosen(spelling); });
    }
    return items;
}

void CheckSpelling(const std::array<QAction*, 3>& items, theory::Spelling spelling) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->setChecked(static_cast<theory::Spelling>(i) == spelling);
    }
}

SymbolLabel::SymbolLabel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("lblChordSymbol"));
}

void SymbolLabel::Show(const std::string& symbol, const QRect& name, int clientWidth) {
    text_ = SymbolOnScreen(symbol);
    setAccessibleName(QStringLiteral("Chord symbol: ") + QString::fromStdString(symbol));
    setVisible(!symbol.empty());
    const SymbolLayout layout = LayOutSymbol(text_, name, clientWidth);
    font_ = layout.font;
    align_ = layout.align;
    setGeometry(layout.rect);
    update();
}

void SymbolLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setFont(font_);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), align_, text_);
}

QString SymbolOnScreen(const std::string& symbol) {
    QString text;
    for (std::size_t i = 0; i < symbol.size(); ++i) {
        const char c = symbol[i];
        // A "b" is a flat only after a note letter or before a number ("Bb", "7b9"); in "sus"
        // or "add" it is never one, and no symbol writes a "b" after those.
        const bool flat = c == 'b' && i > 0 &&
                          ((symbol[i - 1] >= 'A' && symbol[i - 1] <= 'G') ||
                           (i + 1 < symbol.size() && symbol[i + 1] >= '0' && symbol[i + 1] <= '9'));
        if (flat) {
            text += QChar(0x266D);
        } else if (c == '#') {
            text += QChar(0x266F);
        } else {
            text += QLatin1Char(c);
        }
    }
    return text;
}

SymbolLayout LayOutSymbol(const QString& onScreen, const QRect& name, int clientWidth) {
    // Laid out at every chord change: the fonts, their metrics and the advances of the characters
    // a symbol is written with are made once (a symbol has no kerning worth shaping it for).
    static const QFont nameFont = SymbolFont(look::NameFont());
    static const QFont windowFont = SymbolFont(look::WindowFont());
    static const QFontMetrics big(nameFont);
    static const QFontMetrics small(windowFont);
    static const Advances bigAdvances(big);
    static const Advances smallAdvances(small);
    const int width = bigAdvances.Width(onScreen);
    const int height = std::max(name.height(), big.height());
    const int room = name.left() - kSymbolGap - kWindowMargin;
    if (width <= room) {
        return {nameFont, {kWindowMargin, name.top(), room, height}, Qt::AlignRight | Qt::AlignTop};
    }
    if (name.right() + 1 + kSymbolGap + width <= clientWidth - kWindowMargin) {
        return {nameFont, {name.right() + 1 + kSymbolGap, name.top(), width, height}};
    }
    return {windowFont,
            {kWindowMargin, name.bottom() + 1, smallAdvances.Width(onScreen), small.height()}};
}

}  // namespace quorvane::mainwin

#include "mainwin/SpellingChoice.h"

#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QRect>
#include <algorithm>

#include "mainwin/Fonts.h"

namespace quorvane::mainwin {

namespace {

constexpr int kSymbolGap = 16;    // pixels between the name and the symbol
constexpr int kWindowMargin = 8;  // pixels the symbol keeps from the window's edges

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

QLabel* CreateSymbolLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lblChordSymbol"));
    label->setFont(look::NameFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
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

void ShowSymbol(QLabel* label, const std::string& symbol, const QRect& name, int clientWidth) {
    label->setText(SymbolOnScreen(symbol));
    label->setAccessibleName(QStringLiteral("Chord symbol: ") + QString::fromStdString(symbol));
    label->setVisible(!symbol.empty());
    const SymbolLayout layout = LayOutSymbol(label->text(), name, clientWidth);
    if (label->font() != layout.font) {
        label->setFont(layout.font);
    }
    label->setGeometry(layout.rect);
}

SymbolLayout LayOutSymbol(const QString& onScreen, const QRect& name, int clientWidth) {
    // Measured at every chord change: the fonts and their metrics are made once.
    static const QFont nameFont = look::NameFont();
    static const QFont windowFont = look::WindowFont();
    static const QFontMetrics big(nameFont);
    static const QFontMetrics small(windowFont);
    const int width = big.horizontalAdvance(onScreen) + 4;
    const int height = std::max(name.height(), big.height());
    if (name.left() - kSymbolGap - width >= kWindowMargin) {
        return {nameFont, {name.left() - kSymbolGap - width, name.top(), width, height}};
    }
    if (name.right() + 1 + kSymbolGap + width <= clientWidth - kWindowMargin) {
        return {nameFont, {name.right() + 1 + kSymbolGap, name.top(), width, height}};
    }
    return {
        windowFont,
        {kWindowMargin, name.bottom() + 1, small.horizontalAdvance(onScreen) + 4, small.height()}};
}

}  // namespace quorvane::mainwin

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
    const QString ascii = QString::fromStdString(symbol);
    label->setText(SymbolOnScreen(symbol));
    label->setAccessibleName(QStringLiteral("Chord symbol: ") + ascii);
    label->setVisible(!symbol.empty());
    const QFontMetrics metrics(label->font());
    label->setGeometry(PlaceSymbol(metrics.horizontalAdvance(label->text()) + 4,
                                   std::max(name.height(), metrics.height()), name, clientWidth));
}

QRect PlaceSymbol(int width, int height, const QRect& name, int clientWidth) {
    int left = name.left() - kSymbolGap - width;
    int top = name.top();
    if (left < kWindowMargin) {
        left = name.right() + 1 + kSymbolGap;
        if (left + width > clientWidth - kWindowMargin) {
            left = std::max(kWindowMargin, name.center().x() - width / 2);
            top = name.bottom() + 1;
        }
    }
    return {left, top, width, height};
}

}  // namespace quorvane::mainwin

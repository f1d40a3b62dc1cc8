#include "mainwin/Fonts.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>

#include "views/Twips.h"

namespace quorvane::mainwin {

namespace {

constexpr const char* kClefFamily = "Chopin";

// Sizes go in pixels, from points through the twips rule, so text keeps its proportion to the
// twips layout whatever the screen's logical DPI.
void SetPoints(QFont& font, double points) {
    font.setPixelSize(static_cast<int>(views::PointsToPixels(points) + 0.5));
}

QString FirstInstalled(const QStringList& candidates) {
    const QStringList families = QFontDatabase::families();
    for (const QString& name : candidates) {
        if (families.contains(name, Qt::CaseInsensitive)) {
            return name;
        }
    }
    return {};
}

QFont SansBold(double points) {
    // MS Sans Serif is not on Linux; FreeSans (Helvetica metrics) is the closest installed
    // match and keeps every label inside its box.
    static const QString family =
        FirstInstalled({"MS Sans Serif", "FreeSans", "Liberation Sans", "Arial", "DejaVu Sans"});
    QFont font(family.isEmpty() ? QStringLiteral("Sans Serif") : family);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    SetPoints(font, points);
    return font;
}

}  // namespace

QFont WindowFont() {
    return SansBold(8.25);
}

QFont NameFont(double points) {
    return SansBold(points);
}

QFont MarkerFont() {
    static const QString family =
        FirstInstalled({"Terminal", "DejaVu Sans Mono", "FreeMono", "Liberation Mono"});
    QFont font(family.isEmpty() ? QStringLiteral("Monospace") : family);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    SetPoints(font, 6.0);
    return font;
}

bool HaveClefFont() {
    static const bool have = QFontDatabase::families().contains(kClefFamily, Qt::CaseInsensitive);
    return have;
}

QFont ClefFont() {
    QFont font(kClefFamily);
    font.setBold(true);
    SetPoints(font, 48.0);
    return font;
}

std::optional<QFont> SharpSignFont() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& name : {QStringLiteral("Bravura"), QStringLiteral("Bravura Text"),
                                    QStringLiteral("Euterpe"), QStringLiteral("Noto Music")}) {
            if (!families.contains(name, Qt::CaseInsensitive)) {
                continue;
            }
            const QFont font(name);
            if (QRawFont::fromFont(font).supportsCharacter(QChar(0x266F))) {
                return name;
            }
        }
        return QString();
    }();
    if (family.isEmpty()) {
        return std::nullopt;
    }
    QFont font(family);
    SetPoints(font, 48.0);
    return font;
}

QFont ClefSymbolFont() {
    static const QString family =
        FirstInstalled({"FreeSerif", "Euterpe", "Noto Music", "Bravura", "DejaVu Sans", "Symbola"});
    QFont font(family.isEmpty() ? QStringLiteral("Serif") : family);
    SetPoints(font, 48.0);
    return font;
}

}  // namespace quorvane::mainwin

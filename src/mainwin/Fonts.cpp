#include "mainwin/Fonts.h"

#include <QFontDatabase>
#include <QRawFont>
#include <QStringList>

#include "look/Fonts.h"
#include "views/Keyboard.h"

namespace quorvane::mainwin {

namespace {

constexpr const char* kClefFamily = "Chopin";

}  // namespace

QFont MarkerFont() {
    static const QString family = look::FirstInstalled(
        {QString::fromLatin1(views::kMarkerFontName.data(),
                             static_cast<qsizetype>(views::kMarkerFontName.size())),
         "DejaVu Sans Mono", "FreeMono", "Liberation Mono"});
    QFont font(family.isEmpty() ? QStringLiteral("Monospace") : family);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    look::SetPoints(font, views::kMarkerFontPoints);
    return font;
}

bool HaveClefFont() {
    static const bool have = QFontDatabase::families().contains(kClefFamily, Qt::CaseInsensitive);
    return have;
}

QFont ClefFont() {
    QFont font(kClefFamily);
    font.setBold(true);
    look::SetPoints(font, 48.0);
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
    look::SetPoints(font, 48.0);
    return font;
}

QFont ClefSymbolFont() {
    static const QString family = look::FirstInstalled(
        {"FreeSerif", "Euterpe", "Noto Music", "Bravura", "DejaVu Sans", "Symbola"});
    QFont font(family.isEmpty() ? QStringLiteral("Serif") : family);
    look::SetPoints(font, 48.0);
    return font;
}

}  // namespace quorvane::mainwin

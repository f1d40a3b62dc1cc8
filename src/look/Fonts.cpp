#include "look/Fonts.h"

#include <QFontDatabase>

#include "views/Twips.h"

namespace quorvane::look {

QString FirstInstalled(const QStringList& candidates) {
    const QStringList families = QFontDatabase::families();
    for (const QString& name : candidates) {
        if (families.contains(name, Qt::CaseInsensitive)) {
            return name;
        }
    }
    return {};
}

void SetPoints(QFont& font, double points) {
    font.setPixelSize(static_cast<int>(views::PointsToPixels(points) + 0.5));
}

namespace {

QFont SansBold(double points) {
    // FreeSans (Helvetica metrics) is the closest installed match to MS Sans Serif and keeps
    // every label inside its box.
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

}  // namespace quorvane::look

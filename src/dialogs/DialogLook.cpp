#include "dialogs/DialogLook.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPainter>
#include <QStringList>
#include <QWidget>

#include "views/Twips.h"

namespace quorvane::dialogs {

QFont DialogFont() {
    QString family;
    const QStringList installed = QFontDatabase::families();
    for (const char* name :
         {"MS Sans Serif", "FreeSans", "Liberation Sans", "Arial", "DejaVu Sans"}) {
        if (installed.contains(QString::fromLatin1(name), Qt::CaseInsensitive)) {
            family = QString::fromLatin1(name);
            break;
        }
    }
    QFont font(family.isEmpty() ? QStringLiteral("Sans Serif") : family);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    // Points through the twips rule, so the text keeps its proportion to the layout.
    font.setPixelSize(static_cast<int>(views::PointsToPixels(8.25) + 0.5));
    return font;
}

QPixmap DialogPicture() {
    // A yellow tile with a three-note chord on two staff lines.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(255, 255, 128));
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
    p.setPen(QPen(QColor(64, 64, 64), 1));
    for (int y : {10, 16, 22}) {
        p.drawLine(QPointF(5, y), QPointF(27, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    for (int y : {10, 16, 22}) {
        p.drawEllipse(QPointF(14, y), 3.6, 2.8);
    }
    p.setPen(QPen(QColor(0, 0, 128), 1.5));
    p.drawLine(QPointF(17.4, 22), QPointF(17.4, 4));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/quorvane-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
    const views::PixelRect r = views::TwipsToPixels(left, top, width, height);
    widget->setGeometry(r.x, r.y, r.width, r.height);
}

QLabel* MakeDialogLabel(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceTwips(label, left, top, width, height);
    return label;
}

}  // namespace quorvane::dialogs

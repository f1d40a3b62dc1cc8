#include "dialogs/DialogLook.h"

#include <QLabel>
#include <QPainter>
#include <QWidget>

namespace quorvane::dialogs {

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

QLabel* MakeDialogLabel(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Place(label, left, top, width, height);
    return label;
}

QLabel* DialogLabels::At(int number) const {
    switch (number) {
        case 1:
            return label1;
        case 2:
            return label2;
        case 5:
            return label5;
        case 6:
            return label6;
        case 8:
            return label8;
        default:
            return nullptr;
    }
}

}  // namespace quorvane::dialogs

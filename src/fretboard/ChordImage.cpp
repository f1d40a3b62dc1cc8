#include "fretboard/ChordImage.h"

#include <QBuffer>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "fretboard/FretboardPainting.h"
#include "views/Twips.h"

namespace quorvane::fretboard {

QByteArray ChordBoxSvg(const ChordBoxView& box, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    const QSize size(views::TwipsToPixels(box.width), views::TwipsToPixels(box.height));
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    svg.setDescription(QString::fromStdString(box.accessibleName));
    QPainter painter(&svg);
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    PaintChordBox(painter, box);
    painter.end();
    return bytes;
}

QString SaveFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return {};
}

}  // namespace quorvane::fretboard

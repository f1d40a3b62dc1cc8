#include "progressions/SongFile.h"

#include <QFile>
#include <QSaveFile>

namespace quorvane::progressions {

SongFileRead ReadSongFile(const QString& path) {
    SongFileRead read;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = QStringLiteral("The file cannot be read: %1.").arg(file.errorString());
        return read;
    }
    if (file.size() > static_cast<qint64>(theory::kMaxChordProBytes)) {
        read.error = QStringLiteral("The file is over 1 MB; a chord sheet is far smaller.");
        return read;
    }
    // One byte past the limit tells a file that grew since its size was taken.
    const QByteArray bytes = file.read(static_cast<qint64>(theory::kMaxChordProBytes) + 1);
    if (file.error() != QFileDevice::NoError) {
        read.error = QStringLiteral("The file cannot be read: %1.").arg(file.errorString());
        return read;
    }
    const theory::ChordProRead song = theory::ReadChordPro(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!song.error.empty()) {
        const QString why = QString::fromStdString(song.error);
        read.error = song.line > 0 ? QStringLiteral("Line %1: %2").arg(song.line).arg(why) : why;
        return read;
    }
    read.song = song.song;
    return read;
}

bool SaveTextFile(const QString& path, const std::string& text, QString* why) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *why = QStringLiteral("cannot be opened for writing: %1").arg(file.errorString());
        return false;
    }
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size) {
        *why = QStringLiteral("cannot be written: %1").arg(file.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *why = QStringLiteral("cannot be put in place: %1").arg(file.errorString());
        return false;
    }
    return true;
}

}  // namespace quorvane::progressions

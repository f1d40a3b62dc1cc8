#include "app/MidiFileTransfer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "midi/MidiFile.h"
#include "midi/MidiLog.h"

namespace quorvane::app {

QString ExportMidiFile(mainwin::Desktop& desktop, QWidget* owner, QString& exportFolder,
                       const std::string& title, const std::vector<std::uint8_t>& bytes) {
    const QString name = QString::fromStdString(midi::ChordFileName(title));
    const QString path = desktop.ChooseSaveFile(
        owner, QStringLiteral("Export MIDI"),
        QDir(exportFolder.isEmpty() ? QDir::homePath() : exportFolder).filePath(name),
        QStringLiteral("MIDI files (*.mid *.midi);;All files (*)"));
    if (path.isEmpty()) {
        return {};  // cancelled
    }
    std::string why;
    if (!midi::SaveMidiFile(QFile::encodeName(path).toStdString(), bytes, &why)) {
        qCWarning(midi::lcMidi).noquote() << QStringLiteral("The MIDI file %1 was not written: %2")
                                                 .arg(path, QString::fromStdString(why));
        desktop.ShowCriticalMessage(
            owner, QStringLiteral("Quorvane"),
            QStringLiteral("The MIDI file \"%1\" could not be written.").arg(path),
            QStringLiteral("The file %1.").arg(QString::fromStdString(why)));
        return {};
    }
    exportFolder = QFileInfo(path).absolutePath();
    return path;
}

std::unique_ptr<QMimeData> MidiDragData(mainwin::Desktop& desktop, QWidget* owner,
                                        const std::string& title,
                                        const std::vector<std::uint8_t>& bytes) {
    const QString folder = desktop.PrivateFolder();
    std::string why = "there is no private temporary folder";
    const QString path = QDir(folder).filePath(QString::fromStdString(midi::ChordFileName(title)));
    if (folder.isEmpty() ||
        !midi::SaveMidiFile(QFile::encodeName(path).toStdString(), bytes, &why)) {
        qCWarning(midi::lcMidi).noquote()
            << "A MIDI file cannot be dragged:" << QString::fromStdString(why);
        desktop.ShowCriticalMessage(
            owner, QStringLiteral("Quorvane"),
            QStringLiteral("The MIDI file \"%1\" could not be made for the drag.")
                .arg(QFileInfo(path).fileName()),
            QStringLiteral("The file %1.").arg(QString::fromStdString(why)));
        return nullptr;
    }
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(path)});
    data->setData(QStringLiteral("audio/midi"),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size())));
    return data;
}

}  // namespace quorvane::app

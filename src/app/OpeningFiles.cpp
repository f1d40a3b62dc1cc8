// The files named on the command line, opened by the program once its main window shows.
#include <QFileInfo>
#include <QLoggingCategory>
#include <utility>

#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/SequenceLink.h"

namespace quorvane::app {

namespace {
Q_LOGGING_CATEGORY(lcFiles, "quorvane.files")
}  // namespace

void Program::OpenFilesAtStart() {
    const QStringList files = std::exchange(filesAtStart_, {});
    for (const QString& path : files) {
        if (ended_) {
            return;
        }
        OpenFile(path);
    }
}

void Program::OpenFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        ShowFileMessage(QStringLiteral("The file \"%1\" does not exist.").arg(path));
        return;
    }
    if (!info.isFile() || !info.isReadable()) {
        ShowFileMessage(QStringLiteral("The file \"%1\" cannot be read.").arg(path));
        return;
    }
    switch (KindOfFile(path.toStdString())) {
        case FileKind::Chart:
            OpenChartFile(info.absoluteFilePath());
            return;
        case FileKind::Soundfont:
            // As "Open SoundFont..." does: a file that does not load says why and keeps the
            // sound in use.
            midi_.OpenSoundfont(info.absoluteFilePath().toStdString());
            return;
        case FileKind::Other:
            ShowFileMessage(QStringLiteral("Quorvane does not open files of the kind of \"%1\": it "
                                           "opens ChordPro songs and chord charts (.cho .chopro "
                                           ".chordpro .crd .pro .txt) and SoundFonts (.sf2 "
                                           ".sf3).")
                                .arg(path));
            return;
    }
}

void Program::OpenChartFile(const QString& path) {
    // As the sequence window's Open does: the window shows, unsaved changes are asked about
    // first, and a file that cannot be read says why.
    sequence_->OpenFile(path);
}

void Program::ShowFileMessage(const QString& text) {
    qCWarning(lcFiles).noquote() << text;
    desktop_->ShowCriticalMessage(MessageOwner(), QStringLiteral("Quorvane"), text);
}

}  // namespace quorvane::app

#include "app/SequenceDocument.h"

#include <QDir>
#include <QFileInfo>

#include "midi/MidiLog.h"
#include "progressions/MusicXml.h"
#include "progressions/SongFile.h"
#include "theory/chordpro.h"

namespace quorvane::app {

namespace {

const QString kTitle = QStringLiteral("Quorvane");

std::string SpellingName(theory::Spelling spelling) {
    switch (spelling) {
        case theory::Spelling::Flats:
            return "Flats";
        case theory::Spelling::ByChord:
            return "By Chord";
        default:
            return "Sharps";
    }
}

}  // namespace

SequenceDocument::SequenceDocument(progressions::SequenceModel& model, mainwin::Desktop& desktop,
                                   std::function<QWidget*()> owner,
                                   std::function<theory::Spelling()> spelling,
                                   QString& exportFolder)
    : model_(model),
      desktop_(desktop),
      owner_(std::move(owner)),
      spelling_(std::move(spelling)),
      exportFolder_(exportFolder) {}

QString SequenceDocument::Folder() const {
    if (!model_.FilePath().isEmpty()) {
        return QFileInfo(model_.FilePath()).absolutePath();
    }
    return exportFolder_.isEmpty() ? QDir::homePath() : exportFolder_;
}

void SequenceDocument::Fail(const QString& text, const QString& why) {
    qCWarning(midi::lcMidi).noquote() << text << why;
    desktop_.ShowCriticalMessage(owner_(), kTitle, text, why);
}

bool SequenceDocument::Save() {
    const QString proposed = model_.FilePath().isEmpty()
                                 ? QDir(Folder()).filePath(QStringLiteral("Sequence.cho"))
                                 : model_.FilePath();
    const QString path =
        desktop_.ChooseSaveFile(owner_(), QStringLiteral("Save Chord Sequence"), proposed,
                                QStringLiteral("ChordPro songs (*.cho);;All files (*)"));
    if (path.isEmpty()) {
        return false;
    }
    theory::ChordProSong song;
    song.title = QFileInfo(path).completeBaseName().toStdString();
    song.key = model_.Key();
    song.tempo = model_.Tempo();
    song.time = "4/4";
    song.beatsPerChord = model_.BeatsPerChord();
    song.voicing = model_.Voicing() == theory::Voicing::Smooth ? "Smooth" : "As shown";
    song.spelling = SpellingName(spelling_());
    song.cells = model_.Cells();
    QString why;
    if (!progressions::SaveTextFile(path, theory::WriteChordPro(song, spelling_()), &why)) {
        Fail(QStringLiteral("The chord sequence \"%1\" could not be saved.").arg(path),
             QStringLiteral("The file %1.").arg(why));
        return false;
    }
    model_.MarkSaved(path);
    qCInfo(midi::lcMidi).noquote() << "Saved the chord sequence to" << path;
    return true;
}

void SequenceDocument::Open() {
    if (!MayDiscard()) {
        return;
    }
    const QString path =
        desktop_.ChooseOpenFile(owner_(), QStringLiteral("Open Chord Sequence"), Folder(),
                                QString::fromLatin1(progressions::kSongFileFilter));
    if (!path.isEmpty()) {
        OpenFile(path);
    }
}

bool SequenceDocument::OpenFile(const QString& path) {
    if (!MayDiscard()) {
        return false;
    }
    const progressions::SongFileRead read = progressions::ReadSongFile(path);
    QString why = read.error;
    if (why.isEmpty() && read.song.cells.size() > theory::kMaxSequenceChords) {
        why = QStringLiteral("The song has %1 chords; the sequence holds at most %2.")
                  .arg(read.song.cells.size())
                  .arg(theory::kMaxSequenceChords);
    }
    if (!why.isEmpty()) {
        Fail(QStringLiteral("The chord sequence \"%1\" could not be opened.").arg(path), why);
        return false;
    }
    const theory::ChordProSong& song = read.song;
    const int beats = song.beatsPerChord.value_or(model_.BeatsPerChord());
    model_.SetBeatsPerChord(beats);
    model_.SetTempo(song.tempo.value_or(model_.Tempo()));
    if (!song.voicing.empty()) {
        model_.SetVoicing(song.voicing == "Smooth" ? theory::Voicing::Smooth
                                                   : theory::Voicing::AsShown);
    }
    // A key the chords show anyway stays Auto, so that the song follows its chords.
    const bool keyFound = song.key && *song.key == theory::FindKey(song.cells, beats);
    model_.SetChosenKey(keyFound ? std::nullopt : song.key);
    model_.Open(song.cells, path);
    qCInfo(midi::lcMidi).noquote() << "Opened the chord sequence" << path;
    return true;
}

void SequenceDocument::ExportMusicXml() {
    if (model_.Cells().empty()) {
        return;
    }
    const QString base = model_.FilePath().isEmpty()
                             ? QStringLiteral("Sequence")
                             : QFileInfo(model_.FilePath()).completeBaseName();
    const QString path =
        desktop_.ChooseSaveFile(owner_(), QStringLiteral("Export MusicXML"),
                                QDir(exportFolder_.isEmpty() ? QDir::homePath() : exportFolder_)
                                    .filePath(base + QStringLiteral(".musicxml")),
                                QStringLiteral("MusicXML files (*.musicxml *.xml);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    progressions::MusicXmlSong song;
    song.title = base.toStdString();
    song.tempo = model_.Tempo();
    song.beatsPerChord = model_.BeatsPerChord();
    song.cells = model_.Cells();
    song.placements = model_.Placements();
    song.spelling = spelling_();
    song.key = model_.Key();
    QString why;
    if (!progressions::SaveTextFile(path, progressions::WriteMusicXml(song), &why)) {
        Fail(QStringLiteral("The MusicXML file \"%1\" could not be written.").arg(path),
             QStringLiteral("The file %1.").arg(why));
        return;
    }
    exportFolder_ = QFileInfo(path).absolutePath();
    qCInfo(midi::lcMidi).noquote() << "Exported the chord sequence to" << path;
}

bool SequenceDocument::MayDiscard() {
    if (!model_.NeedsSaving()) {
        return true;
    }
    switch (desktop_.AskToSave(owner_(), kTitle,
                               QStringLiteral("Save changes to the chord sequence?"))) {
        case mainwin::Desktop::SaveChoice::Save:
            return Save();
        case mainwin::Desktop::SaveChoice::Discard:
            return true;
        default:
            return false;
    }
}

}  // namespace quorvane::app

#include "app/SequenceLink.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>

#include "app/MidiFileTransfer.h"
#include "midi/MidiLog.h"

namespace quorvane::app {

SequenceLink::SequenceLink(midi::modCommon& midi, mainwin::frmChordMain& main,
                           mainwin::Desktop& desktop, QString& exportFolder)
    : midi_(midi), main_(main), desktop_(desktop), exportFolder_(exportFolder), player_(midi) {
    connect(&player_, &midi::SequencePlayer::chordStarted, this, [this](int chord) {
        if (window_ != nullptr) {
            window_->ShowPlaying(chord);
        }
    });
    connect(&player_, &midi::SequencePlayer::stopped, this, [this] {
        if (window_ != nullptr) {
            window_->ShowPlaying(-1);
        }
    });
}

SequenceLink::~SequenceLink() {
    player_.Stop();
}

void SequenceLink::AddToMainWindow() {
    if (menuItem_ != nullptr) {
        return;
    }
    for (QObject* owner : main_.mnuWindowMIDI()->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner); menu != nullptr) {
            menuItem_ = menu->addAction(QStringLiteral("Chord &Sequence"));
            menuItem_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
            break;
        }
    }
    if (menuItem_ == nullptr) {
        return;
    }
    connect(menuItem_, &QAction::triggered, this, [this] {
        progressions::frmChordSequence* window = EnsureWindow();
        window->show();
        window->raise();
        window->activateWindow();
    });
    auto* insert = new QAction(&main_);
    insert->setShortcut(QKeySequence(Qt::Key_Insert));
    connect(insert, &QAction::triggered, this, &SequenceLink::AddCurrentChord);
    auto* remove = new QAction(&main_);
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(remove, &QAction::triggered, this, [this] {
        if (window_ != nullptr) {
            window_->RemoveSelected();
        }
    });
    main_.addActions({insert, remove});
}

progressions::frmChordSequence* SequenceLink::EnsureWindow() {
    if (window_ != nullptr) {
        return window_;
    }
    using progressions::frmChordSequence;
    window_ = new frmChordSequence(&main_);
    window_->setWindowIcon(main_.windowIcon());
    window_->SetSpelling(main_.Spelling());
    connect(&main_, &mainwin::frmChordMain::spellingChanged, window_,
            &frmChordSequence::SetSpelling);
    connect(window_, &frmChordSequence::addRequested, this, &SequenceLink::AddCurrentChord);
    connect(window_, &frmChordSequence::playRequested, this, &SequenceLink::Play);
    connect(window_, &frmChordSequence::stopRequested, this, &SequenceLink::Stop);
    connect(window_, &frmChordSequence::loopChanged, &player_, &midi::SequencePlayer::SetLoop);
    connect(window_, &frmChordSequence::exportRequested, this, &SequenceLink::Export);
    connect(window_, &frmChordSequence::dragRequested, this, &SequenceLink::Drag);
    connect(window_, &frmChordSequence::chordPicked, &main_,
            [this](int rootIndex, int chordTypeIndex, int inversion) {
                main_.SelectPlayedChord(rootIndex, chordTypeIndex, inversion);
            });
    return window_;
}

void SequenceLink::AddCurrentChord() {
    EnsureWindow()->AddChord({main_.RootIndex(), main_.ChordTypeIndex(), main_.Inversion()});
}

void SequenceLink::AddPlayedChord(int rootIndex, int chordTypeIndex, int inversion) {
    if (window_ != nullptr) {
        window_->AddPlayedChord({rootIndex, chordTypeIndex, inversion});
    }
}

midi::SequencePlan SequenceLink::Plan() const {
    const theory::Sequence& chords = window_->Chords();
    const std::vector<theory::PlacedChord> placements = window_->Placements();
    std::vector<std::vector<int>> notes;
    notes.reserve(chords.size());
    for (std::size_t i = 0; i < chords.size(); ++i) {
        std::vector<int> keys = theory::PlacedKeys(chords[i], placements[i]);
        for (int& key : keys) {
            // Key 0 is middle C at octave 0, as Play sounds it.
            key += 60 + 12 * midi_.Octave();
        }
        notes.push_back(std::move(keys));
    }
    return midi::PlanSequence(notes, window_->BeatsPerChord(), window_->Tempo(), midi_.PlayAs(),
                              midi_.PlaySpacing());
}

void SequenceLink::Play() {
    if (window_ == nullptr) {
        return;
    }
    player_.Play(Plan(), window_->Tempo(), window_->Loop());
}

midi::SequenceFile SequenceLink::File() const {
    midi::SequenceFile file;
    file.name = window_->Title();
    file.channel = midi_.MidiChannel();
    file.program = midi_.Instrument();
    file.velocity = midi_.Velocity();
    file.tempo = window_->Tempo();
    file.plan = Plan();
    return file;
}

void SequenceLink::Export() {
    if (window_ == nullptr || window_->Chords().empty()) {
        return;
    }
    const midi::SequenceFile file = File();
    const QString path =
        ExportMidiFile(desktop_, window_, exportFolder_, file.name, midi::WriteSequenceFile(file));
    if (!path.isEmpty()) {
        qCInfo(midi::lcMidi).noquote() << "Exported the chord sequence to" << path;
    }
}

void SequenceLink::Drag(QWidget* source, int cell) {
    const midi::SequenceFile file = File();
    std::unique_ptr<QMimeData> data =
        MidiDragData(desktop_, file.name, midi::WriteSequenceFile(file));
    if (data == nullptr) {
        return;
    }
    // Dropped back on the row, the cell moves there.
    if (cell >= 0) {
        data->setData(QLatin1String(progressions::frmChordSequence::kCellMimeType),
                      QByteArray::number(cell));
    }
    desktop_.StartDrag(source, std::move(data), source->grab());
}

void SequenceLink::Unload() {
    player_.Stop();
    delete window_.data();
}

}  // namespace quorvane::app

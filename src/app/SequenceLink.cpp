#include "app/SequenceLink.h"

#include <QAction>
#include <QMenu>
#include <QMimeData>

#include "app/MidiFileTransfer.h"
#include "midi/MidiLog.h"

namespace quorvane::app {

SequenceLink::SequenceLink(midi::modCommon& midi, mainwin::frmChordMain& main,
                           mainwin::Desktop& desktop, QString& exportFolder)
    : midi_(midi),
      main_(main),
      desktop_(desktop),
      exportFolder_(exportFolder),
      document_(
          model_, desktop,
          [this]() -> QWidget* {
              return window_ != nullptr && window_->isVisible()
                         ? static_cast<QWidget*>(window_.data())
                         : &main_;
          },
          [this] { return main_.Spelling(); }, exportFolder),
      player_(midi) {
    // The window hears of the playing chord after the player has sent that instant's notes and
    // returned to the event loop: its redraw never falls between a chord's note-ons.
    connect(
        &player_, &midi::SequencePlayer::chordStarted, this,
        [this](int chord) {
            if (window_ != nullptr) {
                window_->ShowPlaying(chord);
            }
        },
        Qt::QueuedConnection);
    connect(
        &player_, &midi::SequencePlayer::stopped, this,
        [this] {
            if (window_ != nullptr) {
                window_->ShowPlaying(-1);
            }
        },
        Qt::QueuedConnection);
    connect(&model_, &progressions::SequenceModel::loopChanged, &player_,
            &midi::SequencePlayer::SetLoop);
}

SequenceLink::~SequenceLink() {
    player_.Stop();
}

void SequenceLink::AddToMainWindow() {
    if (menuItem_ != nullptr || main_.mnuWindow() == nullptr) {
        return;
    }
    menuItem_ = main_.mnuWindow()->addAction(QStringLiteral("Chord &Sequence"));
    menuItem_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    connect(menuItem_, &QAction::triggered, this, &SequenceLink::ShowWindow);
    auto* insert = new QAction(&main_);
    insert->setShortcut(QKeySequence(Qt::Key_Insert));
    connect(insert, &QAction::triggered, this, &SequenceLink::AddCurrentChord);
    auto* remove = new QAction(&main_);
    remove->setShortcut(QKeySequence(Qt::Key_Delete));
    connect(remove, &QAction::triggered, this, [this] {
        // The sequence is changed only where the user sees it.
        if (window_ != nullptr && window_->isVisible()) {
            model_.RemoveSelected();
        }
    });
    main_.addActions({insert, remove});
}

void SequenceLink::ShowWindow() {
    progressions::frmChordSequence* window = EnsureWindow();
    window->show();
    window->raise();
    window->activateWindow();
}

progressions::frmChordSequence* SequenceLink::EnsureWindow() {
    if (window_ != nullptr) {
        return window_;
    }
    using progressions::frmChordSequence;
    window_ = new frmChordSequence(model_, &main_);
    window_->setWindowIcon(main_.windowIcon());
    window_->SetSpelling(main_.Spelling());
    connect(&main_, &mainwin::frmChordMain::spellingChanged, window_,
            &frmChordSequence::SetSpelling);
    connect(window_, &frmChordSequence::addRequested, this, &SequenceLink::AddCurrentChord);
    connect(window_, &frmChordSequence::playRequested, this, &SequenceLink::Play);
    connect(window_, &frmChordSequence::stopRequested, this, &SequenceLink::Stop);
    connect(window_, &frmChordSequence::exportRequested, this, &SequenceLink::Export);
    connect(window_, &frmChordSequence::exportMusicXmlRequested, this,
            [this] { document_.ExportMusicXml(); });
    connect(window_, &frmChordSequence::saveRequested, this, [this] { document_.Save(); });
    connect(window_, &frmChordSequence::openRequested, this, [this] { document_.Open(); });
    connect(window_, &frmChordSequence::dragRequested, this, &SequenceLink::Drag);
    connect(window_, &frmChordSequence::chordPicked, &main_,
            [this](int rootIndex, int chordTypeIndex, int inversion) {
                main_.SelectPlayedChord(rootIndex, chordTypeIndex, inversion);
            });
    return window_;
}

bool SequenceLink::OpenFile(const QString& path) {
    ShowWindow();
    return document_.OpenFile(path);
}

void SequenceLink::AddCurrentChord() {
    model_.AddChord({main_.RootIndex(), main_.ChordTypeIndex(), main_.Inversion()});
}

void SequenceLink::AddPlayedChord(int rootIndex, int chordTypeIndex, int inversion) {
    model_.AddPlayedChord({rootIndex, chordTypeIndex, inversion});
}

std::vector<progressions::SequenceCellView> SequenceLink::Views() const {
    return progressions::ComputeSequenceCells(model_.Cells(), model_.Placements(), -1, -1,
                                              main_.Spelling(), model_.Key());
}

midi::SequencePlan SequenceLink::Plan() const {
    const progressions::SequenceCells& cells = model_.Cells();
    const std::vector<theory::PlacedChord>& placements = model_.Placements();
    std::vector<std::vector<int>> notes;
    notes.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::vector<int> keys;
        if (cells[i].known) {
            keys = theory::PlacedKeys(cells[i].chord, placements[i]);
        }
        for (int& key : keys) {
            // Key 0 is middle C at octave 0, as Play sounds it.
            key += 60 + 12 * midi_.Octave();
        }
        notes.push_back(std::move(keys));
    }
    return midi::PlanSequence(notes, model_.BeatsPerChord(), model_.Tempo(), midi_.PlayAs(),
                              midi_.PlaySpacing());
}

void SequenceLink::Play() {
    player_.Play(Plan(), model_.Tempo(), model_.Loop());
}

midi::SequenceFile SequenceLink::File() const {
    const std::vector<progressions::SequenceCellView> views = Views();
    midi::SequenceFile file;
    file.name = progressions::ProgressionTitle(views);
    file.channel = midi_.MidiChannel();
    file.program = midi_.Instrument();
    file.velocity = midi_.Velocity();
    file.tempo = model_.Tempo();
    file.plan = Plan();
    for (std::size_t i = 0; i < views.size(); ++i) {
        file.markers.emplace_back(static_cast<int>(i) * model_.BeatsPerChord(), views[i].symbol);
    }
    return file;
}

void SequenceLink::Export() {
    if (model_.Cells().empty()) {
        return;
    }
    const midi::SequenceFile file = File();
    const QString path =
        ExportMidiFile(desktop_, window_, exportFolder_,
                       progressions::ProgressionFileTitle(Views()), midi::WriteSequenceFile(file));
    if (!path.isEmpty()) {
        qCInfo(midi::lcMidi).noquote() << "Exported the chord sequence to" << path;
    }
}

void SequenceLink::Drag(QWidget* source, int cell) {
    const midi::SequenceFile file = File();
    std::unique_ptr<QMimeData> data =
        MidiDragData(desktop_, window_, progressions::ProgressionFileTitle(Views()),
                     midi::WriteSequenceFile(file));
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

// The sequence window's controls: built, laid out, and each connected to the model or to the
// window's signal it stands for.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <functional>

#include "midi/SequencePlan.h"
#include "progressions/frmChordSequence.h"

namespace quorvane::progressions {

namespace {

QPushButton* Button(QWidget* parent, const char* caption) {
    return new QPushButton(QString::fromUtf8(caption), parent);
}

QSpinBox* Spin(QWidget* parent, const char* name, int lowest, int highest, int start) {
    auto* spin = new QSpinBox(parent);
    spin->setRange(lowest, highest);
    spin->setValue(start);
    spin->setAccessibleName(QString::fromLatin1(name));
    return spin;
}

QHBoxLayout* Line(std::initializer_list<QWidget*> widgets) {
    auto* line = new QHBoxLayout;
    for (QWidget* widget : widgets) {
        if (widget == nullptr) {
            line->addStretch();
        } else {
            line->addWidget(widget);
        }
    }
    return line;
}

// A shortcut of the whole window that also works while a button has the focus.
void Shortcut(QWidget* window, QKeySequence keys, const std::function<void()>& run) {
    auto* action = new QAction(window);
    action->setShortcut(keys);
    window->addAction(action);
    QObject::connect(action, &QAction::triggered, window, run);
}

}  // namespace

void frmChordSequence::BuildControls() {
    cmdOpen_ = Button(this, "&Open...");
    cmdSave_ = Button(this, "&Save...");
    cmdExport_ = Button(this, "&Export MIDI...");
    cmdExportXml_ = Button(this, "Export Music&XML...");
    cmdUndo_ = Button(this, "Undo");
    cmdRedo_ = Button(this, "Redo");
    cmdAdd_ = Button(this, "&Add");
    cmdRemove_ = Button(this, "&Remove");
    cmdClear_ = Button(this, "C&lear");
    cmdPaste_ = Button(this, "Paste");
    cmdCopy_ = Button(this, "&Copy");
    cmdCopyNumerals_ = Button(this, "Copy as &Numerals");
    cmdCopyChordPro_ = Button(this, "Copy as ChordPro");
    cmdPlay_ = Button(this, "&Play");
    cmdStop_ = Button(this, "S&top");
    cmdTransposeUp_ = Button(this, "Transpose &Up");
    cmdTransposeDown_ = Button(this, "Transpose &Down");
    cmdTransposeTo_ = Button(this, "Transpose to...");
    chkLoop_ = new QCheckBox(QStringLiteral("Loop"), this);
    chkCapture_ = new QCheckBox(QStringLiteral("Capture played chords"), this);
    spnTempo_ = Spin(this, "Tempo", midi::kSlowestTempo, midi::kFastestTempo, midi::kStartTempo);
    spnBeats_ = Spin(this, "Beats per chord", midi::kFewestBeatsPerChord, midi::kMostBeatsPerChord,
                     midi::kStartBeatsPerChord);
    cboVoicing_ = new QComboBox(this);
    cboVoicing_->addItems({QStringLiteral("As Shown"), QStringLiteral("Smooth")});
    cboVoicing_->setAccessibleName(QStringLiteral("Voicing:"));
    cboKey_ = new QComboBox(this);
    cboKey_->setAccessibleName(QStringLiteral("Key:"));
    cboKey_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cboKey_->addItem(QStringLiteral("Auto"));
    auto* keys = new QMenu(cmdTransposeTo_);
    for (const theory::Key key : theory::AllKeys()) {
        const QString name = QString::fromStdString(theory::KeyName(key));
        cboKey_->addItem(name);
        connect(keys->addAction(name), &QAction::triggered, this,
                [this, key] { model_.TransposeTo(key); });
    }
    cmdTransposeTo_->setMenu(keys);
    txtChords_ = new QLineEdit(this);
    txtChords_->setAccessibleName(QStringLiteral("Chords:"));
    txtChords_->setPlaceholderText(QStringLiteral("| C | Am | F | G7 |"));
    lblChordsMessage_ = new QLabel(this);
    lblChordsMessage_->setStyleSheet(QStringLiteral("color: #990000"));
    row_ = new SequenceRow(this);
    LayOut();
    Connect();
}

void frmChordSequence::LayOut() {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(
        Line({cmdOpen_, cmdSave_, cmdExport_, cmdExportXml_, nullptr, cmdUndo_, cmdRedo_}));
    layout->addLayout(Line({cmdAdd_, cmdRemove_, cmdClear_, cmdPaste_, chkCapture_, nullptr,
                            cmdCopy_, cmdCopyNumerals_, cmdCopyChordPro_}));
    QHBoxLayout* play = Line({cmdPlay_, cmdStop_, chkLoop_});
    const auto labelled = [&](QHBoxLayout* line, const char* caption, QWidget* buddy) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setBuddy(buddy);
        line->addWidget(label);
        line->addWidget(buddy, buddy == txtChords_ ? 1 : 0);
    };
    labelled(play, "Te&mpo:", spnTempo_);
    labelled(play, "&Beats per chord:", spnBeats_);
    labelled(play, "&Voicing:", cboVoicing_);
    play->addStretch();
    layout->addLayout(play);
    QHBoxLayout* key = Line({});
    labelled(key, "&Key:", cboKey_);
    for (QWidget* w : {cmdTransposeUp_, cmdTransposeDown_, cmdTransposeTo_}) {
        key->addWidget(w);
    }
    key->addStretch();
    layout->addLayout(key);
    QHBoxLayout* chords = Line({});
    labelled(chords, "C&hords:", txtChords_);
    layout->addLayout(chords);
    layout->addWidget(lblChordsMessage_);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(row_);
    scroll->setWidgetResizable(true);
    layout->addWidget(scroll, 1);
}

void frmChordSequence::Connect() {
    connect(cmdAdd_, &QPushButton::clicked, this, &frmChordSequence::addRequested);
    connect(cmdRemove_, &QPushButton::clicked, &model_, &SequenceModel::RemoveSelected);
    connect(cmdClear_, &QPushButton::clicked, &model_, &SequenceModel::Clear);
    connect(cmdPlay_, &QPushButton::clicked, this, &frmChordSequence::playRequested);
    connect(cmdStop_, &QPushButton::clicked, this, &frmChordSequence::stopRequested);
    connect(cmdExport_, &QPushButton::clicked, this, &frmChordSequence::exportRequested);
    connect(cmdExportXml_, &QPushButton::clicked, this, &frmChordSequence::exportMusicXmlRequested);
    connect(cmdOpen_, &QPushButton::clicked, this, &frmChordSequence::openRequested);
    connect(cmdSave_, &QPushButton::clicked, this, &frmChordSequence::saveRequested);
    connect(cmdUndo_, &QPushButton::clicked, &model_, &SequenceModel::Undo);
    connect(cmdRedo_, &QPushButton::clicked, &model_, &SequenceModel::Redo);
    connect(cmdTransposeUp_, &QPushButton::clicked, this, [this] { model_.Transpose(1); });
    connect(cmdTransposeDown_, &QPushButton::clicked, this, [this] { model_.Transpose(-1); });
    connect(cmdCopy_, &QPushButton::clicked, this, [this] { Copy(LeadSheet()); });
    connect(cmdCopyNumerals_, &QPushButton::clicked, this, [this] { Copy(Numerals()); });
    connect(cmdCopyChordPro_, &QPushButton::clicked, this, [this] { Copy(ChordProLines(cells_)); });
    connect(cmdPaste_, &QPushButton::clicked, this, &frmChordSequence::Paste);
    connect(txtChords_, &QLineEdit::returnPressed, this, [this] {
        if (AddSymbols(txtChords_->text())) {
            txtChords_->clear();
        }
    });
    connect(chkLoop_, &QCheckBox::toggled, &model_, &SequenceModel::SetLoop);
    connect(chkCapture_, &QCheckBox::toggled, &model_, &SequenceModel::SetCapture);
    connect(spnTempo_, &QSpinBox::valueChanged, &model_, &SequenceModel::SetTempo);
    connect(spnBeats_, &QSpinBox::valueChanged, &model_, &SequenceModel::SetBeatsPerChord);
    connect(cboVoicing_, &QComboBox::currentIndexChanged, this, [this](int index) {
        model_.SetVoicing(index == 1 ? theory::Voicing::Smooth : theory::Voicing::AsShown);
    });
    connect(cboKey_, &QComboBox::currentIndexChanged, this, [this](int index) {
        const std::vector<theory::Key> keys = theory::AllKeys();
        model_.SetChosenKey(index > 0 && index <= static_cast<int>(keys.size())
                                ? std::optional(keys[static_cast<std::size_t>(index - 1)])
                                : std::nullopt);
    });
    // Delete removes the selected cell here as in the main window.
    Shortcut(this, QKeySequence(Qt::Key_Delete), [this] { model_.RemoveSelected(); });
    Shortcut(this, QKeySequence::Paste, [this] { Paste(); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::Key_S), [this] { emit saveRequested(); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::Key_O), [this] { emit openRequested(); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { model_.Undo(); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { model_.Redo(); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { model_.Transpose(1); });
    Shortcut(this, QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { model_.Transpose(-1); });

    connect(row_, &SequenceRow::pressed, &model_, &SequenceModel::Select);
    connect(row_, &SequenceRow::doubleClicked, this, &frmChordSequence::PickCell);
    connect(row_, &SequenceRow::dragStarted, this, &frmChordSequence::dragRequested);
    connect(row_, &SequenceRow::cellDropped, &model_, &SequenceModel::MoveCell);
    connect(&model_, &SequenceModel::cellsChanged, this, &frmChordSequence::Refresh);
    connect(&model_, &SequenceModel::selectionChanged, this, &frmChordSequence::ShowSelection);
    connect(&model_, &SequenceModel::settingsChanged, this, &frmChordSequence::ShowSettings);
    connect(&model_, &SequenceModel::loopChanged, chkLoop_, &QCheckBox::setChecked);
    connect(&model_, &SequenceModel::documentChanged, this, &frmChordSequence::ShowDocument);
}

}  // namespace quorvane::progressions

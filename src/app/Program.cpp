#include "app/Program.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <utility>

#include "app/MidiFileTransfer.h"
#include "app/SystemMidiLoader.h"
#include "dialogs/DialogLook.h"
#include "midi/MidiLog.h"
#include "views/Twips.h"

namespace quorvane::app {

namespace {

// Builds the main window once the start-up reminder has first been painted: the reminder is on
// screen without waiting for it (nor for the memory a main window takes), and the main window is
// ready by the time the user answers.
class LoadWhileReminderWaits final : public QObject {
  public:
    LoadWhileReminderWaits(dialogs::frmMoney& reminder, std::function<void()> load)
        : reminder_(reminder), load_(std::move(load)) {
        reminder_.installEventFilter(this);
    }
    ~LoadWhileReminderWaits() override { reminder_.removeEventFilter(this); }
    LoadWhileReminderWaits(const LoadWhileReminderWaits&) = delete;
    LoadWhileReminderWaits& operator=(const LoadWhileReminderWaits&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &reminder_ && event->type() == QEvent::Paint) {
            reminder_.removeEventFilter(this);
            // Once this paint has gone to the screen.
            QTimer::singleShot(0, this, [this] { load_(); });
        }
        return false;
    }

  private:
    dialogs::frmMoney& reminder_;
    std::function<void()> load_;
};

std::unique_ptr<midi::OutputDevices> OrSystemOutputs(std::unique_ptr<midi::OutputDevices> d) {
    return d ? std::move(d) : std::make_unique<LaterSystemOutputs>();
}

std::unique_ptr<midi::InputPorts> OrSystemInputs(std::unique_ptr<midi::InputPorts> i) {
    return i ? std::move(i) : std::make_unique<LaterSystemInputs>();
}

std::unique_ptr<midi::MidiClock> OrSteadyClock(std::unique_ptr<midi::MidiClock> c,
                                               const EndSignals& ends) {
    return c ? std::move(c) : std::make_unique<EndAwareClock>(ends);
}

}  // namespace

Program::Program(std::unique_ptr<midi::OutputDevices> devices,
                 std::unique_ptr<midi::MidiClock> clock, std::unique_ptr<mainwin::Desktop> desktop,
                 std::unique_ptr<midi::InputPorts> inputs)
    : desktop_(desktop ? std::move(desktop) : std::make_unique<mainwin::Desktop>()),
      endSignals_(std::make_unique<EndSignals>([this](int) { EndOnSignal(); })),
      midi_(OrSystemOutputs(std::move(devices)), OrSteadyClock(std::move(clock), *endSignals_),
            OrSystemInputs(std::move(inputs))),
      reminder_(std::make_unique<dialogs::frmMoney>()) {
    // The program ends only through ShutDown, never because its last window closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    Wire();
    helpKeys_.Add<mainwin::frmChordMain>(dialogs::kMainWindowTopic);
    helpKeys_.Add<progressions::frmChordProgressions>(dialogs::kProgressionsTopic);
    helpKeys_.Add<midi::frmMIDI>(dialogs::kMidiSettingsTopic);
    helpKeys_.Add<progressions::frmChordSequence>(dialogs::kSequenceTopic);
    helpKeys_.Add<fretboard::frmFretboard>(dialogs::kFretboardTopic);
    QObject::connect(&helpKeys_, &dialogs::HelpKeys::topicRequested,
                     [this](const QString& topic) { HelpTopic(topic); });
}

Program::~Program() {
    // The windows go before the MIDI state they call into.
    sequence_.reset();
    delete progressions_.data();
    main_.reset();
}

bool Program::MayEnd() {
    if (!endAgreed_ && sequence_ != nullptr && !sequence_->MayClose()) {
        return false;
    }
    endAgreed_ = true;  // asked once: a second way out while the reminder shows asks nothing
    return true;
}

void Program::ShutDown() {
    if (MayEnd()) {
        midi_.ShutDown();
    }
}

void Program::EndOnSignal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (qobject_cast<QMessageBox*>(modal) != nullptr ||
        qobject_cast<QFileDialog*>(modal) != nullptr) {
        static_cast<QDialog*>(modal)->done(QDialog::Rejected);
        QTimer::singleShot(0, &midi_, [this] { EndOnSignal(); });
        return;
    }
    midi_.ShutDownOnSignal();
}

mainwin::frmChordMain& Program::Main() {
    if (main_ == nullptr) {
        main_ = std::make_unique<mainwin::frmChordMain>(*desktop_,
                                                        static_cast<SecondaryWindows*>(this));
        if (iconsGiven_) {
            main_->setWindowIcon(reminder_->windowIcon());
        }
        sequence_ = std::make_unique<SequenceLink>(midi_, *main_, *desktop_, exportFolder_);
        WireMain();
    }
    return *main_;
}

void Program::WireMain() {
    // Every request is answered at once, as a call would be (the windows live on this thread).
    using mainwin::frmChordMain;
    frmChordMain* main = main_.get();
    QObject::connect(main, &frmChordMain::initMidiRequested, [this] {
        // Listing a device creates the settings window (hidden), which shows the list.
        const std::vector<midi::modCommon::ListedDevice> devices = midi_.InitMidi();
        if (!devices.empty()) {
            EnsureMidiSettings()->FillDevices(devices);
        }
    });
    QObject::connect(main, &frmChordMain::showProgRequested,
                     [this](int rootIndex) { EnsureProgressions()->ShowProg(rootIndex); });
    QObject::connect(main, &frmChordMain::spellingChanged, [this](theory::Spelling spelling) {
        if (progressions_ != nullptr) {
            progressions_->SetSpelling(spelling);
        }
    });
    QObject::connect(main, &frmChordMain::playRequested, [this] {
        sequence_->Stop();
        midi_.PlayChord(main_->RootIndex(), main_->ChordTypeIndex(), main_->Inversion());
    });
    QObject::connect(main, &frmChordMain::exportMidiRequested, [this] { ExportMidi(); });
    QObject::connect(main, &frmChordMain::chordDragRequested,
                     [this](QWidget* source) { DragChord(source); });
    QObject::connect(main, &frmChordMain::resetMidiRequested, [this] { midi_.ResetMidi(); });
    QObject::connect(main, &frmChordMain::exitRequested, [this] { ShutDown(); });
    QObject::connect(main, &frmChordMain::helpIndexRequested, [this] { HelpIndex(); });
    QObject::connect(main, &frmChordMain::webUpdatesRequested, [this] { HelpWebUpdates(); });
    QObject::connect(main, &frmChordMain::webHomeRequested, [this] { HelpWebHome(); });
    QObject::connect(main, &frmChordMain::aboutRequested, [this] { HelpAbout(); });
    // A chord held on the MIDI input is selected as the user's picks select it.
    QObject::connect(&held_, &midi::HeldNotes::chordRecognised, main,
                     [this](int rootIndex, int chordTypeIndex, int inversion,
                            const theory::HeldChordNames& names) {
                         main_->SelectPlayedChord(rootIndex, chordTypeIndex, inversion, names);
                         sequence_->AddPlayedChord(rootIndex, chordTypeIndex, inversion);
                         qCInfo(midi::lcMidi).noquote()
                             << "Played chord:" << main_->ChordDescription();
                     });
    WireHeldNotes();
    QObject::connect(&held_, &midi::HeldNotes::unlistedChordHeld, main,
                     [this](const QString& notes) {
                         main_->ShowUnlistedChord(notes);
                         qCInfo(midi::lcMidi).noquote()
                             << "Played chord:" << frmChordMain::UnlistedChordText(notes);
                     });
}

void Program::Wire() {
    QObject::connect(reminder_.get(), &dialogs::frmMoney::exitRequested, [this] { ShutDown(); });
    QObject::connect(reminder_.get(), &dialogs::frmMoney::webSiteRequested,
                     [this] { HelpWebUpdates(); });

    // The MIDI steps that need the rest of the program; each runs before modCommon goes on.
    midi_.SetEndRequested([this] { return endSignals_->Pending(); });
    QObject::connect(
        &midi_, &midi::modCommon::yieldRequested, &midi_, [] { QCoreApplication::processEvents(); },
        Qt::DirectConnection);
    QObject::connect(
        &midi_, &midi::modCommon::errorOccurred, &midi_,
        [this](const QString& title, const QString& text, const QString& reason) {
            desktop_->ShowCriticalMessage(MessageOwner(), title, text, reason);
        },
        Qt::DirectConnection);
    QObject::connect(
        &midi_, &midi::modCommon::closingReminderRequested, &midi_,
        [this] { ShowClosingReminder(); }, Qt::DirectConnection);
    QObject::connect(
        &midi_, &midi::modCommon::secondaryWindowsUnloadRequested, &midi_,
        [this] { UnloadSecondaryWindows(); }, Qt::DirectConnection);
    QObject::connect(
        &midi_, &midi::modCommon::endProcessRequested, &midi_,
        [this] {
            ended_ = true;
            desktop_->EndProcess();
        },
        Qt::DirectConnection);
}

void Program::WireHeldNotes() {
    // Picks and computer keys are held beside the input's notes; whatever is held from any
    // source is drawn.
    using mainwin::frmChordMain;
    frmChordMain* main = main_.get();
    QObject::connect(main, &frmChordMain::keyPicked, [this](int key) { held_.PickKey(key); });
    QObject::connect(main, &frmChordMain::pickedCleared, [this] { held_.ClearPicksAndNeck(); });
    QObject::connect(main, &frmChordMain::pickNotesChanged, [this](bool on) {
        if (!on) {
            held_.ClearPicks();
            held_.ReleaseComputerKeys();
        }
    });
    QObject::connect(main, &frmChordMain::computerKeyDown, [this](quint32 scan, int character) {
        held_.ComputerKeyDown(scan, character);
    });
    QObject::connect(main, &frmChordMain::computerKeyUp,
                     [this](quint32 scan, int character) { held_.ComputerKeyUp(scan, character); });
    QObject::connect(main, &frmChordMain::computerKeysLost,
                     [this] { held_.ReleaseComputerKeys(); });
    QObject::connect(&held_, &midi::HeldNotes::heldChanged, main, [this] {
        if (main_ != nullptr && main_->picKeyboard() != nullptr) {
            main_->ShowHeldKeys(views::ComputeHeldView(held_.AllHeldNotes(), midi_.Octave()));
        }
    });
}

// ---- Start and run ------------------------------------------------------------------------

bool Program::ShowStartReminder() {
    // Start asked before the main window was made; the window's load step takes that answer.
    if (std::exchange(answeredAtStart_, false)) {
        return true;
    }
    reminder_->bClosing = false;
    const LoadWhileReminderWaits load(*reminder_, [this] {
        GiveIcons();
        Main().LoadControls();
    });
    const dialogs::frmMoney::Outcome outcome = desktop_->ShowReminderModal(*reminder_);
    GiveIcons();  // when the reminder was never painted
    return outcome != dialogs::frmMoney::Outcome::Cancel && !ended_;
}

void Program::GiveIcons() {
    // The program's icon on its windows (the ones it owns show their owner's), loaded once: the
    // reminder's.
    if (!iconsGiven_) {
        iconsGiven_ = true;
        reminder_->setWindowIcon(dialogs::ProgramIcon());
        if (main_ != nullptr) {
            main_->setWindowIcon(reminder_->windowIcon());
        }
    }
}

bool Program::Start() {
    // The reminder, which the main window's load step begins with, is on screen before the main
    // window is made.
    if (!ShowStartReminder()) {
        return false;
    }
    answeredAtStart_ = true;
    if (!Main().Form_Load() || ended_) {
        return false;
    }
    sequence_->AddToMainWindow();
    AddFretboard();
    main_->show();
    if (!filesAtStart_.isEmpty()) {
        // Once the window has been drawn: a message about a file stands in front of it.
        QTimer::singleShot(0, main_.get(), [this] { OpenFilesAtStart(); });
    }
    return true;
}

int Program::Run() {
    if (!Start()) {
        // A program without its marker control cannot do its job: that end is a failure.
        return main_ != nullptr && main_->ControlMissing() ? EXIT_FAILURE : 0;
    }
    return QApplication::exec();
}

// ---- Secondary windows --------------------------------------------------------------------

progressions::frmChordProgressions* Program::EnsureProgressions() {
    if (progressions_ == nullptr) {
        progressions_ = new progressions::frmChordProgressions();
        progressions_->setWindowIcon(reminder_->windowIcon());
        QObject::connect(progressions_, &progressions::frmChordProgressions::unloaded, [this] {
            Main().SetProgressionsShown(false);
            // The window destroys itself once the close is done; from now on it is gone.
            progressions_.clear();
        });
        QObject::connect(progressions_, &progressions::frmChordProgressions::boxPicked,
                         [this](int rootIndex, int chordTypeIndex, bool addToSequence) {
                             main_->SelectPlayedChord(rootIndex, chordTypeIndex, 0);
                             if (addToSequence) {
                                 sequence_->AddCurrentChord();
                             }
                         });
        progressions_->Form_Load(views::PixelsToTwips(desktop_->ScreenWidthPixels()),
                                 views::PixelsToTwips(Main().frameGeometry().width()));
        // A new window shows the chart of the root selected now, never a stale one.
        progressions_->SetSpelling(Main().Spelling());
        progressions_->ShowProg(Main().RootIndex());
    }
    return progressions_;
}

void Program::AddFretboard() {
    QAction* item = Main().mnuWindow()->addAction(QStringLiteral("&Fretboard"));
    item->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4));
    QObject::connect(item, &QAction::triggered, main_.get(), [this] {
        fretboard::frmFretboard* window = EnsureFretboard();
        window->show();
        FollowSelection();
        window->raise();
        window->activateWindow();
    });
}

fretboard::frmFretboard* Program::EnsureFretboard() {
    if (fretboard_ != nullptr) {
        return fretboard_;
    }
    using fretboard::frmFretboard;
    fretboard_ = new frmFretboard(&Main());
    fretboard_->setWindowIcon(main_->windowIcon());
    strum_ = std::make_unique<fretboard::StrumPlayer>(midi_);
    QObject::connect(main_.get(), &mainwin::frmChordMain::selectionChanged, fretboard_,
                     [this] { FollowSelection(); });
    QObject::connect(main_.get(), &mainwin::frmChordMain::pickNotesChanged, fretboard_,
                     &frmFretboard::SetPickNotes);
    QObject::connect(&held_, &midi::HeldNotes::neckCleared, fretboard_, &frmFretboard::ClearNeck);
    QObject::connect(fretboard_, &frmFretboard::neckNotesChanged, &held_,
                     [this](const std::vector<int>& notes) { held_.SetNeckNotes(notes); });
    QObject::connect(fretboard_, &frmFretboard::strumRequested, strum_.get(),
                     &fretboard::StrumPlayer::Play);
    fretboard_->SetPickNotes(main_->PickNotes());
    return fretboard_;
}

void Program::FollowSelection() {
    // A hidden fretboard finds no shapes: it catches up when it is shown.
    if (fretboard_ == nullptr || !fretboard_->isVisible()) {
        return;
    }
    const views::Selection& selection = main_->CurrentSelection();
    fretboard_->ShowSelection({selection.rootIndex, selection.chordTypeIndex, selection.inversion,
                               selection.scaleIndex, selection.spelling, selection.identifiers});
}

midi::frmMIDI* Program::EnsureMidiSettings() {
    if (midiSettings_.isNull()) {
        // Owned by the main window: it stays above it and goes with it.
        midiSettings_ = new midi::frmMIDI(midi_, &Main());
        QObject::connect(midiSettings_, &midi::frmMIDI::soundfontFileRequested, midiSettings_,
                         [this] { OpenSoundfont(); });
    }
    return midiSettings_.data();
}

void Program::OpenSoundfont() {
    // The dialog opens where the soundfont in use lies, where the others usually are too.
    const QString current = QString::fromStdString(midi_.Soundfont());
    const QString path =
        desktop_->ChooseOpenFile(midiSettings_, QStringLiteral("Open SoundFont"),
                                 current.isEmpty() ? QString() : QFileInfo(current).absolutePath(),
                                 QStringLiteral("SoundFont files (*.sf2 *.sf3);;All files (*)"));
    if (!path.isEmpty()) {
        midi_.OpenSoundfont(path.toStdString());
    }
}

QWidget* Program::MessageOwner() const {
    if (!midiSettings_.isNull() && midiSettings_->isVisible()) {
        return midiSettings_.data();
    }
    return main_.get();
}

dialogs::frmAbout* Program::EnsureAbout() {
    if (about_ == nullptr) {
        about_ = new dialogs::frmAbout(&Main());
    }
    return about_;
}

dialogs::HelpViewer* Program::EnsureHelp() {
    if (help_ == nullptr) {
        help_ = new dialogs::HelpViewer(&Main());
    }
    return help_;
}

// ---- The chord as a MIDI file -------------------------------------------------------------

midi::ChordFile Program::CurrentChordFile() const {
    midi::ChordFile chord;
    chord.name = main_->ChordTitle().toStdString();
    chord.channel = midi_.MidiChannel();
    chord.program = midi_.Instrument();
    chord.velocity = midi_.Velocity();
    chord.notes = midi_.ChordNotes(main_->RootIndex(), main_->ChordTypeIndex(), main_->Inversion());
    chord.plan = midi_.PlanChord(chord.notes);
    return chord;
}

void Program::ExportMidi() {
    const midi::ChordFile chord = CurrentChordFile();
    const QString path = ExportMidiFile(*desktop_, main_.get(), exportFolder_, chord.name,
                                        midi::WriteMidiFile(chord));
    if (!path.isEmpty()) {
        qCInfo(midi::lcMidi).noquote() << "Exported the chord to" << path;
    }
}

void Program::DragChord(QWidget* source) {
    const midi::ChordFile chord = CurrentChordFile();
    std::unique_ptr<QMimeData> data =
        MidiDragData(*desktop_, main_.get(), chord.name, midi::WriteMidiFile(chord));
    if (data != nullptr) {
        // The chord's name goes with the pointer.
        desktop_->StartDrag(source, std::move(data), main_->lblNoteName()->grab());
    }
}

// ---- Help menu ----------------------------------------------------------------------------

void Program::HelpIndex() {
    EnsureHelp()->ShowContents();
}

void Program::HelpTopic(const QString& topic) {
    EnsureHelp()->ShowTopic(topic);
}

void Program::HelpWebUpdates() {
    desktop_->OpenWebPage(dialogs::UpdatesPageAddress());
}

void Program::HelpWebHome() {
    desktop_->OpenWebPage(dialogs::HomePageAddress());
}

void Program::HelpAbout() {
    EnsureAbout()->ShowModal();
}

// ---- ShutDown's outside steps -------------------------------------------------------------

void Program::ShowClosingReminder() {
    reminder_->bClosing = true;
    // Cancel in the start-up reminder ends the program from inside the dialog: it is on screen
    // already and is not shown a second time.
    if (!reminder_->OnScreen()) {
        ++closingRemindersShown_;
        desktop_->ShowReminderModal(*reminder_);
    }
}

void Program::UnloadSecondaryWindows() {
    // In order: the progressions window, the sequence window, the About box, the MIDI settings
    // window, the help, the reminder.
    delete progressions_.data();
    if (sequence_ != nullptr) {
        sequence_->Unload();
    }
    if (about_ != nullptr && about_->isVisible()) {
        about_->done(0);
    }
    delete midiSettings_.data();
    delete help_.data();
    reminder_->Unload();
}

}  // namespace quorvane::app

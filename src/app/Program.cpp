#include "app/Program.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "dialogs/DialogLook.h"
#include "midi/MidiLog.h"
#include "midi/SystemInputs.h"
#include "midi/SystemOutputs.h"
#include "views/Twips.h"

namespace quorvane::app {

namespace {

std::unique_ptr<midi::OutputDevices> OrSystemOutputs(std::unique_ptr<midi::OutputDevices> d) {
    return d ? std::move(d) : std::make_unique<midi::SystemOutputs>();
}

std::unique_ptr<midi::InputPorts> OrSystemInputs(std::unique_ptr<midi::InputPorts> i) {
    return i ? std::move(i) : std::make_unique<midi::SystemInputs>();
}

std::unique_ptr<midi::MidiClock> OrSteadyClock(std::unique_ptr<midi::MidiClock> c,
                                               const EndSignals& ends) {
    return c ? std::move(c) : std::make_unique<EndAwareClock>(ends);
}

}  // namespace

Program::Program(std::unique_ptr<midi::OutputDevices> devices,
                 std::unique_ptr<midi::MidiClock> clock, std::unique_ptr<midi::InputPorts> inputs)
    : endSignals_(std::make_unique<EndSignals>([this](int) { midi_.ShutDownOnSignal(); })),
      midi_(OrSystemOutputs(std::move(devices)), OrSteadyClock(std::move(clock), *endSignals_),
            OrSystemInputs(std::move(inputs))),
      main_(std::make_unique<mainwin::frmChordMain>()),
      reminder_(std::make_unique<dialogs::frmMoney>()) {
    ScreenWidthPixels = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->geometry().width() : 0;
    };
    ReminderDraw = dialogs::ClockSeededDraw;
    WebOpener = dialogs::DesktopWebOpener();
    ShowReminderModal = [](dialogs::frmMoney& reminder) { return reminder.ShowModal(); };
    // The process ends at once: the device is closed and nothing is saved, so no window handler
    // or destructor has anything left to do.
    EndProcess = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    // The program ends only through ShutDown, never because its last window closed.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The program's icon on its windows (the ones it owns show their owner's).
    main_->setWindowIcon(dialogs::ProgramIcon());
    Wire();
}

Program::~Program() {
    // The windows go before the MIDI state they call into.
    delete progressions_.data();
    main_.reset();
}

void Program::Wire() {
    mainwin::Collaborators& c = main_->collaborators;
    main_->ScreenWidthPixels = [this] { return ScreenWidthPixels(); };
    c.ShowStartReminder = [this] { return ShowStartReminder(); };
    c.InitMidi = [this] {
        // Listing a device creates the settings window (hidden), which shows the list.
        const std::vector<midi::modCommon::ListedDevice> devices = midi_.InitMidi();
        if (!devices.empty()) {
            MidiWindow()->FillDevices(devices);
        }
    };
    c.ShowProg = [this](int rootIndex) { ProgressionsWindow()->ShowProg(rootIndex); };
    c.ProgressionsWindow = [this]() -> QWidget* { return ProgressionsWindow(); };
    c.MidiWindow = [this]() -> QWidget* { return MidiWindow(); };
    c.PlayChord = [this] {
        midi_.PlayChord(main_->RootIndex, main_->ChordTypeIndex, main_->Inversion);
    };
    c.ResetMidi = [this] { midi_.ResetMidi(); };
    c.ShutDown = [this] { ShutDown(); };
    c.HelpIndex = [this] { HelpIndex(); };
    c.HelpWebUpdates = [this] { HelpWebUpdates(); };
    c.HelpWebHome = [this] { HelpWebHome(); };
    c.HelpAbout = [this] { HelpAbout(); };

    // The MIDI steps that need the rest of the program; each runs before modCommon goes on.
    midi_.SetEndRequested([this] { return endSignals_->Pending(); });
    QObject::connect(
        &midi_, &midi::modCommon::yieldRequested, &midi_, [] { QCoreApplication::processEvents(); },
        Qt::DirectConnection);
    QObject::connect(
        &midi_, &midi::modCommon::errorOccurred, &midi_,
        [this](const QString& title, const QString& text, const QString& reason) {
            QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, MessageOwner());
            box.setInformativeText(reason);
            box.exec();
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
            if (EndProcess) {
                EndProcess();
            }
        },
        Qt::DirectConnection);
    // A chord held on the MIDI input is selected as the user's picks select it.
    QObject::connect(&midi_, &midi::modCommon::chordRecognised, main_.get(),
                     [this](int rootIndex, int chordTypeIndex, int inversion) {
                         main_->SelectPlayedChord(rootIndex, chordTypeIndex, inversion);
                         qCInfo(midi::lcMidi).noquote()
                             << "Played chord:" << main_->lblNoteName()->text();
                     });
    QObject::connect(
        &midi_, &midi::modCommon::unlistedChordHeld, main_.get(), [this](const QString& notes) {
            main_->ShowUnlistedChord(notes);
            qCInfo(midi::lcMidi).noquote() << "Played chord:" << main_->lblNoteName()->toolTip();
        });

    reminder_->Draw = [this] { return ReminderDraw ? ReminderDraw() : dialogs::ClockSeededDraw(); };
    reminder_->ShutDown = [this] { ShutDown(); };
    reminder_->OpenUpdatesPage = [this] { HelpWebUpdates(); };
}

// ---- Start and run ------------------------------------------------------------------------

bool Program::ShowStartReminder() {
    reminder_->bClosing = false;
    const dialogs::frmMoney::Outcome outcome = ShowReminderModal(*reminder_);
    return outcome != dialogs::frmMoney::Outcome::Cancel && !ended_;
}

bool Program::Start() {
    // The main window takes its fixed size now, so windows placed beside it during the
    // start-up see its real width.
    if (QLayout* layout = main_->layout(); layout != nullptr) {
        layout->activate();
    }
    if (!main_->Form_Load() || ended_) {
        return false;
    }
    main_->show();
    return true;
}

int Program::Run() {
    if (!Start()) {
        // A program without its marker control cannot do its job: that end is a failure.
        return main_->ControlMissing() ? EXIT_FAILURE : 0;
    }
    return QApplication::exec();
}

// ---- Secondary windows --------------------------------------------------------------------

progressions::frmChordProgressions* Program::ProgressionsWindow() {
    if (progressions_ == nullptr) {
        progressions_ = new progressions::frmChordProgressions();
        progressions_->setWindowIcon(dialogs::ProgramIcon());
        progressions_->Unloaded = [this] {
            main_->mnuWindowProgressions()->setChecked(false);
            // The window destroys itself once the close is done; from now on it is gone.
            progressions_.clear();
        };
        progressions_->Form_Load(views::PixelsToTwips(ScreenWidthPixels()),
                                 views::PixelsToTwips(main_->frameGeometry().width()));
        // A new window shows the chart of the root selected now, never a stale one.
        progressions_->ShowProg(main_->RootIndex);
    }
    return progressions_;
}

midi::frmMIDI* Program::MidiWindow() {
    if (midiWindow_.isNull()) {
        // Owned by the main window: it stays above it and goes with it.
        midiWindow_ = new midi::frmMIDI(midi_, main_.get());
    }
    return midiWindow_.data();
}

QWidget* Program::MessageOwner() const {
    if (!midiWindow_.isNull() && midiWindow_->isVisible()) {
        return midiWindow_.data();
    }
    return main_.get();
}

dialogs::frmAbout* Program::About() {
    if (about_ == nullptr) {
        about_ = new dialogs::frmAbout(main_.get());
    }
    return about_;
}

dialogs::HelpViewer* Program::Help() {
    if (help_ == nullptr) {
        help_ = new dialogs::HelpViewer(main_.get());
    }
    return help_;
}

// ---- Help menu ----------------------------------------------------------------------------

void Program::HelpIndex() {
    Help()->ShowContents();
}

void Program::HelpWebUpdates() {
    dialogs::OpenWebPage(dialogs::UpdatesPageAddress(), WebOpener);
}

void Program::HelpWebHome() {
    dialogs::OpenWebPage(dialogs::HomePageAddress(), WebOpener);
}

void Program::HelpAbout() {
    About()->ShowModal();
}

// ---- ShutDown's outside steps -------------------------------------------------------------

void Program::ShowClosingReminder() {
    reminder_->bClosing = true;
    // Cancel in the start-up reminder ends the program from inside the dialog: it is on screen
    // already and is not shown a second time.
    if (!reminder_->OnScreen()) {
        ++closingRemindersShown_;
        ShowReminderModal(*reminder_);
    }
}

void Program::UnloadSecondaryWindows() {
    // In order: the progressions window, the About box, the MIDI settings window, the help, the
    // reminder.
    delete progressions_.data();
    if (about_ != nullptr && about_->isVisible()) {
        about_->done(0);
    }
    delete midiWindow_.data();
    delete help_.data();
    reminder_->Unload();
}

}  // namespace quorvane::app

#include "app/Program.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "midi/SystemOutputs.h"

namespace quorvane::app {

namespace {

std::unique_ptr<midi::OutputDevices> OrSystemOutputs(std::unique_ptr<midi::OutputDevices> d) {
    return d ? std::move(d) : std::make_unique<midi::SystemOutputs>();
}

std::unique_ptr<midi::MidiClock> OrSteadyClock(std::unique_ptr<midi::MidiClock> c) {
    return c ? std::move(c) : std::make_unique<midi::SteadyMidiClock>();
}

}  // namespace

Program::Program(std::unique_ptr<midi::OutputDevices> devices,
                 std::unique_ptr<midi::MidiClock> clock)
    : midi_(OrSystemOutputs(std::move(devices)), OrSteadyClock(std::move(clock))),
      main_(std::make_unique<mainwin::frmChordMain>()) {
    Wire();
}

Program::~Program() {
    // The windows go before the MIDI state they call into.
    main_.reset();
}

void Program::Wire() {
    mainwin::Collaborators& c = main_->collaborators;
    c.InitMidi = [this] { midi_.InitMidi(); };
    c.MidiWindow = [this]() -> QWidget* { return MidiWindow(); };
    c.PlayChord = [this] {
        midi_.PlayChord(main_->RootIndex, main_->ChordTypeIndex, main_->Inversion);
    };
    c.ResetMidi = [this] { midi_.ResetMidi(); };
    c.ShutDown = [this] { midi_.ShutDown(); };

    midi_.MidiWindow = [this] { return MidiWindow(); };
    midi_.DoEvents = [] { QCoreApplication::processEvents(); };
    midi_.ShowError = [this](const std::string& title, const std::string& text) {
        QMessageBox::critical(MessageOwner(), QString::fromStdString(title),
                              QString::fromStdString(text), QMessageBox::Ok);
    };
    midi_.UnloadSecondaryWindows = [this] { UnloadSecondaryWindows(); };
    // The process ends at once: the device is closed and nothing is saved, so no window handler
    // or destructor has anything left to do.
    midi_.EndProcess = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
}

bool Program::Start() {
    if (!main_->Form_Load()) {
        return false;
    }
    main_->show();
    return true;
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

void Program::UnloadSecondaryWindows() {
    // In order: the progressions window, the About box, the MIDI settings window, the reminder.
    delete midiWindow_.data();
}

}  // namespace quorvane::app

#pragma once
// The running program put together: the MIDI state, the main window and the windows it owns,
// and the calls between them. main() makes one Program; the tests make theirs with a recording
// MIDI service and an end of process that returns.

#include <QPointer>
#include <functional>
#include <memory>

#include "mainwin/frmChordMain.h"
#include "midi/OutputDevices.h"
#include "midi/frmMIDI.h"
#include "midi/modCommon.h"

namespace quorvane::app {

class Program {
  public:
    // Without devices, the system's output devices; without a clock, the steady clock.
    explicit Program(std::unique_ptr<midi::OutputDevices> devices = nullptr,
                     std::unique_ptr<midi::MidiClock> clock = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The main window's load step, then the window is shown. False when the program must end
    // (the start-up reminder was cancelled or the screen is too narrow).
    bool Start();

    mainwin::frmChordMain& MainWindow() { return *main_; }
    midi::modCommon& Midi() { return midi_; }
    // The MIDI settings window, created hidden (and loaded) on first use; owned by the main
    // window.
    midi::frmMIDI* MidiWindow();
    // The MIDI settings window when it exists, without creating it.
    midi::frmMIDI* ExistingMidiWindow() const { return midiWindow_.data(); }

    // The last step of ShutDown. The program's own ends the process at once.
    void SetEndProcess(std::function<void()> end) { midi_.EndProcess = std::move(end); }

  private:
    void Wire();
    void UnloadSecondaryWindows();
    QWidget* MessageOwner() const;

    midi::modCommon midi_;  // outlives the windows, which call into it
    std::unique_ptr<mainwin::frmChordMain> main_;
    QPointer<midi::frmMIDI> midiWindow_;
};

}  // namespace quorvane::app

#pragma once
// Program: the running program put together. It holds the MIDI state and creates the main
// window and the windows and dialogs around it, fills in the calls between them, runs the
// start-up, and gives ShutDown (the program's single way of ending, in modCommon) its outside
// steps. main() makes one Program; tests make theirs with a recording MIDI service, injected
// screen width, random draw and web opener, and an end of process that returns.

#include <QPointer>
#include <functional>
#include <memory>

#include "app/EndSignals.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/WebLinks.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMoney.h"
#include "mainwin/frmChordMain.h"
#include "midi/InputPorts.h"
#include "midi/OutputDevices.h"
#include "midi/frmMIDI.h"
#include "midi/modCommon.h"
#include "progressions/frmChordProgressions.h"

namespace quorvane::app {

class Program {
  public:
    // Without devices, the system's output devices; without a clock, the steady clock (whose
    // wait ends early when an end signal arrives); without input ports, the system's. SIGTERM,
    // SIGINT and SIGHUP end the program through ShutDownOnSignal while it lives.
    explicit Program(std::unique_ptr<midi::OutputDevices> devices = nullptr,
                     std::unique_ptr<midi::MidiClock> clock = nullptr,
                     std::unique_ptr<midi::InputPorts> inputs = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // ---- Where the outside world comes in (tests replace these) -------------------------
    // Screen width in pixels (the start-up check and the progressions window's placement).
    std::function<int()> ScreenWidthPixels;
    // The random draw in [0, 1) that arranges the reminder's buttons.
    std::function<float()> ReminderDraw;
    // Opens web addresses (the desktop's default handler).
    dialogs::WebOpener WebOpener;
    // Shows the reminder modally and returns how the user left it (tests answer it here).
    std::function<dialogs::frmMoney::Outcome(dialogs::frmMoney&)> ShowReminderModal;
    // The last step of ShutDown: ends the process at once. Tests replace it so the test process
    // survives.
    std::function<void()> EndProcess;
    void SetEndProcess(std::function<void()> end) { EndProcess = std::move(end); }

    // The start-up sequence, then the main window is shown. False when the program ended
    // during it (reminder cancelled or screen too narrow).
    bool Start();
    // Start, show the main window, run the event loop; the process's exit code (not 0 when the
    // marker control could not be loaded).
    int Run();

    // The program's single way of ending (modCommon's): the closing reminder (once, unless it is
    // already on screen), the MIDI output closed, the secondary windows unloaded, the end.
    void ShutDown() { midi_.ShutDown(); }

    mainwin::frmChordMain& Main() const { return *main_; }
    mainwin::frmChordMain& MainWindow() const { return *main_; }
    midi::modCommon& Midi() { return midi_; }
    // The MIDI settings window, created hidden (and loaded) on first use; owned by the main
    // window.
    midi::frmMIDI* MidiWindow();
    midi::frmMIDI* ExistingMidiWindow() const { return midiWindow_.data(); }
    dialogs::frmMoney& Reminder() const { return *reminder_; }
    // The progressions window as it is now (nullptr after the user has closed it).
    progressions::frmChordProgressions* Progressions() const { return progressions_; }
    // The progressions window, created hidden when there is none.
    progressions::frmChordProgressions* ProgressionsWindow();
    // The About box, loaded at its first showing.
    dialogs::frmAbout* About();
    dialogs::frmAbout* AboutIfLoaded() const { return about_; }
    dialogs::HelpViewer* Help();
    dialogs::HelpViewer* HelpIfOpen() const { return help_; }

    // Help menu actions.
    void HelpIndex();
    void HelpWebUpdates();
    void HelpWebHome();
    void HelpAbout();

    bool Ended() const { return ended_; }
    int ClosingRemindersShown() const { return closingRemindersShown_; }

  private:
    void Wire();
    bool ShowStartReminder();
    void ShowClosingReminder();
    void UnloadSecondaryWindows();
    QWidget* MessageOwner() const;

    std::unique_ptr<EndSignals> endSignals_;  // made first: the MIDI clock waits on it
    midi::modCommon midi_;                    // outlives the windows, which call into it
    std::unique_ptr<mainwin::frmChordMain> main_;
    std::unique_ptr<dialogs::frmMoney> reminder_;
    // Top-level windows without an owner, deleted here when still alive at the end.
    QPointer<progressions::frmChordProgressions> progressions_;
    // Owned by the main window.
    QPointer<dialogs::frmAbout> about_;
    QPointer<dialogs::HelpViewer> help_;
    QPointer<midi::frmMIDI> midiWindow_;

    bool ended_ = false;
    int closingRemindersShown_ = 0;
};

}  // namespace quorvane::app

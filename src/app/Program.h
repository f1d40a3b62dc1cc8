#pragma once
// Program: the running program put together. It creates the main window and the windows and
// dialogs around it, fills the main window's collaborator hooks, runs the start-up, and holds
// the program's single way of ending (ShutDown).

#include <QPointer>
#include <functional>
#include <memory>

#include "dialogs/HelpViewer.h"
#include "dialogs/WebLinks.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMoney.h"
#include "mainwin/frmChordMain.h"
#include "progressions/frmChordProgressions.h"

namespace quorvane::app {

class Program {
  public:
    Program();
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
    // Closes the MIDI output at the end (the MIDI module's part of ShutDown).
    std::function<void()> CloseMidi;
    // Unloads the MIDI settings window at the end.
    std::function<void()> UnloadMidiWindow;
    // Ends the process: leaves the event loop. Tests replace it so the test process survives.
    std::function<void()> EndProcess;

    // The start-up sequence; false when the program ended during it (reminder cancelled or
    // screen too narrow). The main window is not shown here.
    bool Start();
    // Start, show the main window, run the event loop; the process's exit code.
    int Run();

    // The program's single way of ending: the closing reminder (once, unless it is already on
    // screen), the MIDI output closed, the secondary windows unloaded, the end of the process.
    void ShutDown();

    mainwin::frmChordMain& Main() const { return *main_; }
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
    void UnloadSecondaryWindows();

    std::unique_ptr<mainwin::frmChordMain> main_;
    std::unique_ptr<dialogs::frmMoney> reminder_;
    // Top-level windows without an owner, deleted here when still alive at the end.
    QPointer<progressions::frmChordProgressions> progressions_;
    // Owned by the main window.
    QPointer<dialogs::frmAbout> about_;
    QPointer<dialogs::HelpViewer> help_;

    bool shuttingDown_ = false;
    bool ended_ = false;
    int closingRemindersShown_ = 0;
};

}  // namespace quorvane::app

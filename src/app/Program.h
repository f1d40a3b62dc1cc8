#pragma once
// Program: the running program put together. It holds the MIDI state and creates the main
// window and the windows and dialogs around it, connects their requests, runs the start-up, and
// gives ShutDown (the program's single way of ending, in modCommon) its outside steps. main()
// makes one Program; tests make theirs with a recording MIDI service and a Desktop of their own
// (screen width, random draw, web pages, reminder answers, an end of process that returns).

#include <QPointer>
#include <QStringList>
#include <memory>

#include "app/EndSignals.h"
#include "app/SequenceLink.h"
#include "dialogs/HelpKeys.h"
#include "dialogs/HelpViewer.h"
#include "dialogs/WebLinks.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmMoney.h"
#include "fretboard/StrumPlayer.h"
#include "fretboard/frmFretboard.h"
#include "mainwin/Desktop.h"
#include "mainwin/frmChordMain.h"
#include "midi/HeldNotes.h"
#include "midi/InputPorts.h"
#include "midi/MidiFile.h"
#include "midi/OutputDevices.h"
#include "midi/frmMIDI.h"
#include "midi/modCommon.h"
#include "progressions/frmChordProgressions.h"

namespace quorvane::app {

class Program final : private mainwin::SecondaryWindows {
  public:
    // Without devices, the system's output devices; without a clock, the steady clock (whose
    // wait ends early when an end signal arrives); without a desktop, the real one; without
    // input ports, the system's. SIGTERM, SIGINT and SIGHUP end the program through
    // ShutDownOnSignal while it lives.
    explicit Program(std::unique_ptr<midi::OutputDevices> devices = nullptr,
                     std::unique_ptr<midi::MidiClock> clock = nullptr,
                     std::unique_ptr<mainwin::Desktop> desktop = nullptr,
                     std::unique_ptr<midi::InputPorts> inputs = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The start-up sequence, then the main window is shown. False when the program ended
    // during it (reminder cancelled or screen too narrow).
    bool Start();
    // Start, show the main window, run the event loop; the process's exit code (not 0 when the
    // marker control could not be loaded).
    int Run();

    // The program's single way of ending (modCommon's): the closing reminder (once, unless it is
    // already on screen), the MIDI output closed, the secondary windows unloaded, the end.
    // Unsaved changes of the chord sequence are offered to be saved first; Cancel there keeps
    // the program running, its main window shown.
    void ShutDown();

    // ---- The windows ---------------------------------------------------------------------
    // One rule: X() gives window X as it is now, nullptr when there is none; EnsureX() creates
    // it (hidden) first when there is none. The main window and the reminder live as long as the
    // program, so Main() and Reminder() give them by reference; the main window is made at its
    // first need (at start, once the reminder is on screen).
    mainwin::frmChordMain& Main();
    dialogs::frmMoney& Reminder() const { return *reminder_; }
    // The MIDI settings window, owned by the main window.
    midi::frmMIDI* MidiSettings() const { return midiSettings_.data(); }
    midi::frmMIDI* EnsureMidiSettings() override;
    // The progressions window; the user's close destroys it, and the next need creates another.
    progressions::frmChordProgressions* Progressions() const { return progressions_.data(); }
    progressions::frmChordProgressions* EnsureProgressions() override;
    // The About box, created at its first showing.
    dialogs::frmAbout* About() const { return about_.data(); }
    dialogs::frmAbout* EnsureAbout();
    // The fretboard window, owned by the main window, made at its first showing.
    fretboard::frmFretboard* Fretboard() const { return fretboard_.data(); }
    fretboard::frmFretboard* EnsureFretboard();
    // The fretboard, when shown, follows the main window's chord, scale, spelling and identifiers.
    void FollowSelection();
    dialogs::HelpViewer* Help() const { return help_.data(); }
    dialogs::HelpViewer* EnsureHelp();

    midi::modCommon& Midi() { return midi_; }
    // What the input, the picks, the computer keys and the neck hold, and its naming.
    midi::HeldNotes& Held() { return held_; }
    // The chord sequence window, its menu item and its player.
    // Made with the main window.
    SequenceLink& Sequence() {
        Main();
        return *sequence_;
    }

    // Help menu actions, and F1 in a window: the help at that window's topic.
    void HelpIndex();
    void HelpTopic(const QString& topic);
    void HelpWebUpdates();
    void HelpWebHome();
    void HelpAbout();

    // The files named on the command line, opened in order once the main window shows.
    void OpenAtStart(QStringList files) { filesAtStart_ = std::move(files); }
    // A SoundFont (.sf2, .sf3) is opened as "Open SoundFont..." opens it, a chord chart by
    // OpenChartFile; a file that is missing, unreadable or of another kind gets a message naming
    // it, and the program goes on.
    void OpenFile(const QString& path);

    bool Ended() const { return ended_; }
    int ClosingRemindersShown() const { return closingRemindersShown_; }

  private:
    void Wire();
    void WireMain();
    void WireHeldNotes();
    // Window > Fretboard in the main window's menu, and the fretboard window following its chord.
    void AddFretboard();
    // The end asked for by a signal. A message box or file dialog then open runs an event loop
    // of its own inside a window the end unloads: it is closed first, and the end follows once
    // its loop has returned.
    void EndOnSignal();
    bool ShowStartReminder() override;
    bool MayEnd() override;
    // Gives the reminder and the main window the program's icon, once.
    void GiveIcons();
    void ShowClosingReminder();
    void UnloadSecondaryWindows();
    QWidget* MessageOwner() const;
    // The settings window's request for another soundfont: the open dialog, then modCommon.
    void OpenSoundfont();
    // Where a ChordPro song or text chord chart named on the command line goes.
    void OpenChartFile(const QString& path);
    void OpenFilesAtStart();
    void ShowFileMessage(const QString& text);
    // The current chord as the MIDI file that File > Export MIDI... writes and a drag carries:
    // the instrument and the playing settings of modCommon.
    midi::ChordFile CurrentChordFile() const;
    void ExportMidi();
    void DragChord(QWidget* source);

    std::unique_ptr<mainwin::Desktop> desktop_;
    std::unique_ptr<EndSignals> endSignals_;  // made before the MIDI state: its clock waits on it
    midi::modCommon midi_;                    // outlives the windows, which call into it
    midi::HeldNotes held_{midi_};
    std::unique_ptr<mainwin::frmChordMain> main_;
    std::unique_ptr<dialogs::frmMoney> reminder_;
    // Top-level windows without an owner, deleted here when still alive at the end.
    QPointer<progressions::frmChordProgressions> progressions_;
    // Owned by the main window.
    QPointer<dialogs::frmAbout> about_;
    QPointer<dialogs::HelpViewer> help_;
    QPointer<midi::frmMIDI> midiSettings_;
    QPointer<fretboard::frmFretboard> fretboard_;
    std::unique_ptr<fretboard::StrumPlayer> strum_;
    // Where the last MIDI file was exported to; the next export proposes the same folder.
    QString exportFolder_;
    std::unique_ptr<SequenceLink> sequence_;
    // F1 in each window: its topic.
    dialogs::HelpKeys helpKeys_;
    QStringList filesAtStart_;
    bool endAgreed_ = false;  // the sequence's unsaved changes were saved or let go
    bool iconsGiven_ = false;
    // Start has shown the reminder and it was answered to go on.
    bool answeredAtStart_ = false;
    bool ended_ = false;
    int closingRemindersShown_ = 0;
};

}  // namespace quorvane::app

#pragma once
// The desktop the end-to-end tests run the real program on: an X server (Xvfb) with a window
// manager (twm), a private PulseAudio server with a null sink, a JACK server with its dummy
// back-end, and a headless Wayland compositor (weston). Each test starts the servers it needs
// and they all end with it; every name (display, sockets, JACK server) is private to the test.
// Tools that talk to the desktop (xdotool, xprop, pactl, parec) run in its environment.

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "JackServer.h"

namespace quorvane::e2e {

// Polls `condition` until it holds, for at most `ms`; whether it held. The tests wait for the
// thing itself (a window mapped, a port listed, a message received), never for a time.
bool WaitFor(const std::function<bool()>& condition, int ms = 10000);

// The build's own programs (the program itself, the probes of the test suite).
QString BuildProgram(const QString& name);

// A process started by the test, ended (SIGTERM, then SIGKILL) when the object goes.
class Child {
  public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool Start(const QString& program, const QStringList& args, const QProcessEnvironment& env,
               const QString& workingDir = {});
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    qint64 Pid() const { return process_.processId(); }
    void Signal(int sig) const;
    // Waits for the end; the exit status, or nullopt on a time-out. A death by signal N is
    // reported as 128 + N, as a shell would.
    std::optional<int> Wait(int ms);
    void Stop();
    // Everything the process wrote so far, standard output and error together.
    QByteArray Output();

  private:
    QProcess process_;
    QByteArray output_;
};

class Desktop {
  public:
    Desktop();
    ~Desktop();
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // Each Start returns an empty string on success, otherwise why it failed.
    QString StartX(bool withWindowManager = true);
    QString StartPulse();
    // A higher rate carries more MIDI a second (JACK's MIDI buffers grow with the period).
    QString StartJack(int rate = 48000, int period = 256);
    // With xwayland, the compositor also runs an X server for X clients (DISPLAY is set).
    QString StartWeston(bool xwayland = false);

    // SIGKILL kills the server at once; SIGTERM stops it properly.
    void KillJack(int sig);
    bool JackRunning() { return jack_ && jack_->Running(); }
    const QString& JackName() const { return jackName_; }
    const QString& WaylandSocket() const { return waylandSocket_; }

    // The environment of the program and the tools: private runtime folder and home, the
    // display, the audio servers.
    QProcessEnvironment Env() const { return env_; }
    QString Folder() const { return home_.path(); }

    // Runs a tool in the desktop's environment; its standard output (empty on failure).
    QByteArray Tool(const QString& program, const QStringList& args, int ms = 10000,
                    int* exitCode = nullptr) const;

    // ---- X -------------------------------------------------------------------------------
    // The visible top-level window whose name matches the pattern, waited for up to ms.
    QString WaitWindow(const QString& namePattern, int ms = 10000) const;
    // Whether no visible window has the name now.
    bool WindowGone(const QString& namePattern, int ms = 5000) const;
    QStringList Windows(const QString& namePattern) const;  // every window, mapped or not
    void Focus(const QString& window) const;
    void Keys(const QString& window, const QStringList& keys) const;
    // The window manager's state of a window: "Normal", "Iconic", or "" when it manages none.
    QString WmState(const QString& window) const;
    bool Viewable(const QString& window) const;
    // Sends the window manager's ping (_NET_WM_PING) to a window and waits up to `ms` for the
    // program's answer, which its user-interface thread gives: milliseconds, or -1 for none.
    double Ping(const QString& window, int ms = 5000) const;
    // Whether the program has handled every event sent to the window before: Qt answers a ping
    // as it reads it, before it hands the input read with it to the widgets, so a second ping's
    // answer comes after those.
    bool Handled(const QString& window) const { return Ping(window) >= 0 && Ping(window) >= 0; }

    // ---- PulseAudio ----------------------------------------------------------------------
    // Starts recording the null sink's monitor (16-bit stereo at 44.1 kHz) into a file.
    QString StartRecording();
    // The peak absolute sample of what was recorded so far.
    int RecordedPeak() const;
    // Stops it; the peak absolute sample of what was recorded.
    int StopRecording();

  private:
    QTemporaryDir home_;
    QString runtime_;
    QProcessEnvironment env_;
    std::unique_ptr<Child> x_, wm_, pulse_, weston_, recorder_;
    std::unique_ptr<testing::JackServer> jack_;
    QString jackName_, waylandSocket_, recording_;
};

// The program on the desktop.
class App {
  public:
    explicit App(const Desktop& desktop) : desktop_(desktop) {}
    bool Start(const QString& program = BuildProgram(QStringLiteral("quorvane")),
               const QString& workingDir = {},
               std::optional<QProcessEnvironment> env = std::nullopt);
    // Passes the start-up reminder with OK and waits for the main window; its id.
    QString PassReminder();
    // File > Exit, then OK in the closing reminder; the exit status.
    // `discardSequence`: the question to save the chord sequence's changes is answered Discard.
    std::optional<int> Exit(bool discardSequence = false);
    // Opens the MIDI settings window (which opens the first device), then hides it again.
    QString OpenMidiSettings();
    Child& Process() { return process_; }
    QString MainWindow() const { return main_; }

  private:
    const Desktop& desktop_;
    Child process_;
    QString main_;
};

}  // namespace quorvane::e2e

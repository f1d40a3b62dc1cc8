#pragma once
// The signals by which the system asks the program to end: SIGTERM (the desktop session ending,
// a service manager), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal gone). Instead of
// their default action, which kills the program with a chord perhaps left hanging on an external
// synthesizer, they end it through modCommon: the handler only writes the signal's number into a
// pipe, and the event loop reads it and hands it on.

#include <QObject>
#include <functional>

#include "midi/OutputDevices.h"

class QSocketNotifier;

namespace quorvane::app {

class EndSignals : public QObject {
  public:
    // Installs the handlers; `received` runs from the event loop once a signal has arrived.
    // One at a time: a newer one takes the signals over and an older one's end leaves them.
    explicit EndSignals(std::function<void(int signal)> received);
    // The default actions again (when these handlers are still the ones installed).
    ~EndSignals() override;
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    // A signal has arrived that the event loop has not yet handed on.
    bool Pending() const;
    // Sleeps until the deadline or until a signal arrives, whichever comes first.
    void SleepUntil(midi::MidiClock::time_point deadline) const;

  private:
    void Drain();

    std::function<void(int)> received_;
    int readFd_ = -1;
    int writeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

// The steady clock, whose sleep ends early when an end signal arrives, so that a held chord is
// released at once when the program is asked to end.
class EndAwareClock final : public midi::MidiClock {
  public:
    explicit EndAwareClock(const EndSignals& ends) : ends_(ends) {}
    time_point Now() override { return std::chrono::steady_clock::now(); }
    void SleepUntil(time_point deadline) override { ends_.SleepUntil(deadline); }

  private:
    const EndSignals& ends_;
};

}  // namespace quorvane::app

#pragma once
// Plays a chord progression's plan on modCommon's open output device, timed by modCommon's clock,
// from the event loop: a precise timer wakes it just before each event, so the windows keep
// answering while it plays. It releases every note it started when stopped, and stops itself when
// the device is about to be closed or silenced, or no longer takes its notes.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "midi/SequencePlan.h"
#include "midi/modCommon.h"

namespace quorvane::midi {

class SequencePlayer final : public QObject {
    Q_OBJECT
  public:
    explicit SequencePlayer(modCommon& midi, QObject* parent = nullptr);
    ~SequencePlayer() override;
    SequencePlayer(const SequencePlayer&) = delete;
    SequencePlayer& operator=(const SequencePlayer&) = delete;

    // Starts the plan now, at `tempo` beats a minute, on the channel and at the volume set now;
    // a progression already playing is stopped first.
    void Play(SequencePlan plan, int tempo, bool loop);
    // Releases every note started and not yet released; nothing more is sent.
    void Stop();
    void SetLoop(bool loop) { loop_ = loop; }
    bool Playing() const { return playing_; }
    // Sends every event whose time has come, then waits for the next. The timer calls it; tests
    // call it after moving their clock.
    void Pump();

  signals:
    // The chord of that index has begun to sound: sent after every event of its first instant.
    void chordStarted(int chord);
    // Playing has ended: stopped, run out, or the device gone.
    void stopped();

  private:
    MidiClock::time_point DueAt(std::size_t event) const;
    // False when the device refused it.
    bool SendEvent(const SequenceEvent& event);
    void ScheduleNext();

    modCommon& midi_;
    QTimer timer_;
    SequencePlan plan_;
    int tempo_ = kStartTempo;
    bool loop_ = false;
    bool playing_ = false;
    int channel_ = 0;
    int velocity_ = 0;
    MidiClock::time_point start_{};
    std::int64_t roundUs_ = 0;  // one pass through the plan
    std::int64_t round_ = 0;
    std::size_t next_ = 0;
    int announced_ = -1;         // the chord chordStarted last named in this pass
    std::vector<int> sounding_;  // note numbers started and not yet released
};

}  // namespace quorvane::midi

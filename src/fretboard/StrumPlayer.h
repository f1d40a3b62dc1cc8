#pragma once
// Plays a shape as a downstroke on modCommon's open output device from the event loop: a precise
// timer wakes it for each string's onset and for the release, so the windows keep answering while
// it sounds. It releases every note it started when stopped, when a new strum begins, and when
// the device is about to be closed or silenced.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "midi/PlayPlan.h"
#include "midi/modCommon.h"

namespace quorvane::fretboard {

class StrumPlayer final : public QObject {
    Q_OBJECT
  public:
    explicit StrumPlayer(midi::modCommon& midi, QObject* parent = nullptr);
    ~StrumPlayer() override;
    StrumPlayer(const StrumPlayer&) = delete;
    StrumPlayer& operator=(const StrumPlayer&) = delete;

    // Strums `notes` (MIDI notes, lowest string first) with the strum spacing, the note length,
    // the channel and the volume set now.
    void Play(const std::vector<int>& notes);
    void Stop();
    bool Playing() const { return !noteOns_.empty(); }
    // Sends what is due by now, then waits for the next. The timer calls it; tests call it after
    // moving their clock.
    void Pump();

  private:
    midi::modCommon& midi_;
    QTimer timer_;
    std::vector<std::uint32_t> noteOns_;
    std::vector<bool> started_;
    midi::PlayPlan plan_;
    std::size_t next_ = 0;
    midi::MidiClock::time_point start_{};
};

}  // namespace quorvane::fretboard

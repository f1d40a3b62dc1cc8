#include "midi/SequencePlayer.h"

#include <algorithm>
#include <chrono>

#include "midi/MidiLog.h"
#include "midi/MidiStatus.h"

namespace quorvane::midi {

namespace {

// The timer wakes this long before an event; the rest is slept on the clock, which keeps the
// onset to a fraction of a millisecond where a timer alone would be late by up to one.
constexpr auto kWakeEarly = std::chrono::milliseconds(2);

}  // namespace

SequencePlayer::SequencePlayer(modCommon& midi, QObject* parent) : QObject(parent), midi_(midi) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SequencePlayer::Pump);
    connect(&midi_, &modCommon::outputEnding, this, &SequencePlayer::Stop, Qt::DirectConnection);
}

SequencePlayer::~SequencePlayer() {
    Stop();
}

void SequencePlayer::Play(SequencePlan plan, int tempo, bool loop) {
    Stop();
    plan_ = std::move(plan);
    tempo_ = std::clamp(tempo, kSlowestTempo, kFastestTempo);
    loop_ = loop;
    channel_ = midi_.MidiChannel();
    velocity_ = midi_.Velocity();
    roundUs_ = static_cast<std::int64_t>(plan_.beats) * 60'000'000 / tempo_;
    round_ = 0;
    next_ = 0;
    announced_ = -1;
    if (plan_.events.empty() || roundUs_ <= 0) {
        return;
    }
    playing_ = true;
    start_ = midi_.Clock().Now();
    // What comes back of the progression on the input (an output connected to the input) is not
    // taken for the musician's playing.
    std::vector<int> keys;
    for (const SequenceEvent& event : plan_.events) {
        if (event.on && std::find(keys.begin(), keys.end(), event.note) == keys.end()) {
            keys.push_back(event.note);
        }
    }
    midi_.Input().PlayStarted(std::move(keys), start_);
    Pump();
}

MidiClock::time_point SequencePlayer::DueAt(std::size_t event) const {
    const std::int64_t us = round_ * roundUs_ + EventMicroseconds(plan_.events[event], tempo_);
    return start_ + std::chrono::microseconds(us);
}

bool SequencePlayer::SendEvent(const SequenceEvent& event) {
    const int status = ChannelStatus(event.on ? kNoteOn : kNoteOff, channel_);
    const bool sent = midi_.Send(PackShortMsg(status, event.note, velocity_));
    if (event.on) {
        if (sent) {
            sounding_.push_back(event.note);
        }
    } else if (auto it = std::find(sounding_.begin(), sounding_.end(), event.note);
               it != sounding_.end()) {
        sounding_.erase(it);
    }
    return sent || !event.on;
}

void SequencePlayer::Pump() {
    MidiClock& clock = midi_.Clock();
    while (playing_) {
        if (next_ >= plan_.events.size()) {
            if (!loop_) {
                Stop();
                return;
            }
            ++round_;
            next_ = 0;
            announced_ = -1;
        }
        const MidiClock::time_point due = DueAt(next_);
        if (due - clock.Now() > kWakeEarly) {
            ScheduleNext();
            return;
        }
        clock.SleepUntil(due);
        // Every event of this instant goes out before anyone hears of it, so that whatever the
        // announcement sets off cannot smear a chord's onsets.
        int starting = -1;
        for (; next_ < plan_.events.size() && DueAt(next_) == due; ++next_) {
            const SequenceEvent& event = plan_.events[next_];
            if (!SendEvent(event)) {
                qCWarning(lcMidi) << "The chord sequence stopped: the output device took no note";
                Stop();
                return;
            }
            if (event.on && event.chord != announced_) {
                starting = event.chord;
            }
        }
        if (starting >= 0) {
            announced_ = starting;
            emit chordStarted(starting);
        }
    }
}

void SequencePlayer::ScheduleNext() {
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
        DueAt(next_) - midi_.Clock().Now() - kWakeEarly);
    timer_.start(std::max<int>(0, static_cast<int>(wait.count())));
}

void SequencePlayer::Stop() {
    timer_.stop();
    for (int note : sounding_) {
        midi_.Send(PackShortMsg(ChannelStatus(kNoteOff, channel_), note, velocity_));
    }
    sounding_.clear();
    if (playing_) {
        playing_ = false;
        midi_.Input().PlayEnded(midi_.Clock().Now());
        emit stopped();
    }
}

}  // namespace quorvane::midi

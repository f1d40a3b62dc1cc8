#include "fretboard/StrumPlayer.h"

#include <algorithm>
#include <chrono>

#include "fretboard/FretboardView.h"
#include "midi/MidiStatus.h"

namespace quorvane::fretboard {

StrumPlayer::StrumPlayer(midi::modCommon& midi, QObject* parent) : QObject(parent), midi_(midi) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &StrumPlayer::Pump);
    connect(&midi_, &midi::modCommon::outputEnding, this, &StrumPlayer::Stop, Qt::DirectConnection);
}

StrumPlayer::~StrumPlayer() {
    Stop();
}

void StrumPlayer::Play(const std::vector<int>& notes) {
    Stop();
    if (notes.empty()) {
        return;
    }
    for (int note : notes) {
        noteOns_.push_back(midi::PackShortMsg(
            midi::ChannelStatus(midi::kNoteOn, midi_.MidiChannel()), note, midi_.Velocity()));
    }
    started_.assign(noteOns_.size(), false);
    plan_ = PlanStrum(notes.size(), midi_.SpacingOf(midi::PlayStyle::Strum), midi_.NoteLength());
    next_ = 0;
    start_ = midi_.Clock().Now();
    Pump();
}

void StrumPlayer::Stop() {
    timer_.stop();
    for (std::size_t i = 0; i < noteOns_.size(); ++i) {
        if (started_[i]) {
            midi_.Send(midi::NoteOffMessage(noteOns_[i]));
        }
    }
    noteOns_.clear();
    started_.clear();
}

void StrumPlayer::Pump() {
    if (noteOns_.empty()) {
        return;
    }
    const auto due = [this](int ms) { return start_ + std::chrono::milliseconds(ms); };
    const midi::MidiClock::time_point now = midi_.Clock().Now();
    while (next_ < plan_.onsets.size() && due(plan_.onsets[next_].atMs) <= now) {
        const std::size_t note = plan_.onsets[next_++].note;
        started_[note] = midi_.Send(noteOns_[note]);
    }
    if (next_ == plan_.onsets.size() && due(plan_.endMs) <= now) {
        Stop();
        return;
    }
    const int nextMs = next_ < plan_.onsets.size() ? plan_.onsets[next_].atMs : plan_.endMs;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due(nextMs) - now);
    timer_.start(std::max<int>(0, static_cast<int>(wait.count())));
}

}  // namespace quorvane::fretboard

#include "midi/MidiInput.h"

#include <QMetaObject>
#include <algorithm>
#include <set>
#include <span>

#include "midi/MidiLog.h"
#include "theory/recognition.h"

namespace quorvane::midi {

using Kind = InputEvent::Kind;

MidiInput::MidiInput(std::unique_ptr<InputPorts> ports, EchoTarget& echo, MidiClock& clock)
    : ports_(std::move(ports)), target_(echo), clock_(clock) {
    pedalEchoChannel_.fill(-1);
}

MidiInput::~MidiInput() {
    Close();
}

std::vector<std::string> MidiInput::List() {
    return ports_ ? ports_->List() : std::vector<std::string>{};
}

bool MidiInput::Open(const std::string& name, std::string* reason) {
    Close();
    std::string why = "there are no MIDI input ports";
    std::unique_ptr<InputPort> port = ports_ ? ports_->Open(name, &why) : nullptr;
    if (!port) {
        if (reason != nullptr) {
            *reason = why;
        }
        return false;
    }
    port_ = std::move(port);
    std::uint64_t generation = 0;
    {
        const std::lock_guard lock(queueMutex_);
        generation = generation_;
    }
    // Runs on the port's thread.
    connect(
        port_.get(), &InputPort::messageReceived, this,
        [this, generation](const QByteArray& bytes, qint64 arrivedNs) {
            Enqueue(generation, bytes, arrivedNs);
        },
        Qt::DirectConnection);
    return true;
}

void MidiInput::Close() {
    port_.reset();  // no delivery comes after this
    {
        const std::lock_guard lock(queueMutex_);
        ++generation_;
        queue_.clear();
        queuedBytes_ = 0;
    }
    ReleaseEchoed();
    ForgetHeld();
    parser_.Clear();
}

void MidiInput::SetEcho(bool echo) {
    echo_ = echo;
    if (!echo_) {
        ReleaseEchoed();
    }
}

void MidiInput::ReleaseEchoed() {
    if (OutputDevice* device = target_.EchoDevice()) {
        std::set<int> pedals;
        for (int channel : pedalEchoChannel_) {
            if (channel >= 0) {
                pedals.insert(channel);
            }
        }
        for (int channel : pedals) {
            device->ControlChange(channel, kSustainController, 0);
        }
        for (const auto& [note, count] : sounding_) {
            device->NoteOff(note.first, note.second, 0);
        }
    }
    sounding_.clear();
    pedalEchoChannel_.fill(-1);
    for (auto& [note, held] : held_) {
        held.echoChannel = -1;
    }
    sent_.clear();
}

void MidiInput::ForgetHeld() {
    held_.clear();
    pedalDown_.fill(false);
}

std::vector<int> MidiInput::HeldNotes() const {
    std::vector<int> keys;
    keys.reserve(held_.size());
    for (const auto& [note, held] : held_) {
        keys.push_back(note.second);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

void MidiInput::PlayStarted(std::vector<int> keys, MidiClock::time_point from) {
    playedKeys_ = std::move(keys);
    playedFrom_ = from;
    playedUntil_ = MidiClock::time_point::max();
}

void MidiInput::PlayEnded(MidiClock::time_point at) {
    playedUntil_ = at + kPlayEchoGrace;
}

// ---- From the port to this thread ------------------------------------------------------------

void MidiInput::Enqueue(std::uint64_t generation, const QByteArray& bytes, qint64 arrivedNs) {
    const std::lock_guard lock(queueMutex_);
    if (generation != generation_) {
        return;
    }
    if (queue_.size() >= kMaxQueuedMessages ||
        queuedBytes_ + static_cast<std::size_t>(bytes.size()) > kMaxQueuedBytes) {
        ++dropped_;
        return;
    }
    queue_.push_back({bytes, arrivedNs});
    queuedBytes_ += static_cast<std::size_t>(bytes.size());
    if (!drainPosted_) {
        drainPosted_ = true;
        QMetaObject::invokeMethod(this, &MidiInput::Drain, Qt::QueuedConnection);
    }
}

void MidiInput::Drain() {
    std::deque<Delivery> batch;
    std::size_t dropped = 0;
    {
        const std::lock_guard lock(queueMutex_);
        batch.swap(queue_);
        queuedBytes_ = 0;
        drainPosted_ = false;
        std::swap(dropped, dropped_);
    }
    if (dropped > 0) {
        qCWarning(lcMidi) << "The MIDI input came faster than it could be handled:" << dropped
                          << "deliveries were dropped";
    }
    bool added = false;
    for (const Delivery& delivery : batch) {
        added = Take(delivery.bytes,
                     MidiClock::time_point(std::chrono::nanoseconds(delivery.arrivedNs))) ||
                added;
    }
    if (added) {
        Recognise();
    }
}

// ---- Handling -----------------------------------------------------------------------------------

void MidiInput::Handle(const QByteArray& bytes, MidiClock::time_point arrived) {
    if (Take(bytes, arrived)) {
        Recognise();
    }
}

bool MidiInput::Take(const QByteArray& bytes, MidiClock::time_point arrived) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    bool added = false;
    for (const InputEvent& event : parser_.Feed(
             std::span<const std::uint8_t>(data, static_cast<std::size_t>(bytes.size())))) {
        added = TakeEvent(event, arrived) || added;
    }
    return added;
}

bool MidiInput::TakeEvent(const InputEvent& event, MidiClock::time_point arrived) {
    if (FromPlay(event, arrived) || EchoReturned(event, arrived)) {
        return false;
    }
    switch (event.kind) {
        case Kind::NoteOn:
            return NoteOn(event);
        case Kind::NoteOff:
            NoteOff(event);
            return false;
        case Kind::Pedal:
            Pedal(event);
            return false;
    }
    return false;
}

bool MidiInput::NoteOn(const InputEvent& event) {
    HeldNote& held = held_[{event.channel, event.key}];
    const bool wasDown = std::exchange(held.down, true);
    // A key already down (a repeated note-on) or a note another input channel already sounds
    // there is not started again: each echoed note-on has exactly one note-off.
    if (wasDown || !echo_ || target_.EchoDevice() == nullptr) {
        return true;
    }
    held.echoChannel = target_.EchoChannel();
    if (++sounding_[{held.echoChannel, event.key}] == 1) {
        Send({Kind::NoteOn, held.echoChannel, event.key, event.value}, event.channel);
    }
    return true;
}

void MidiInput::NoteOff(const InputEvent& event) {
    const auto it = held_.find({event.channel, event.key});
    if (it == held_.end() || !it->second.down) {
        return;  // never started here, or already released
    }
    // Released on the channel it sounds on, also after a change of channel.
    if (const int channel = it->second.echoChannel; channel >= 0) {
        const auto sounding = sounding_.find({channel, event.key});
        if (sounding != sounding_.end() && --sounding->second == 0) {
            sounding_.erase(sounding);
            Send({Kind::NoteOff, channel, event.key, event.value}, event.channel);  // not kept
        }
        it->second.echoChannel = -1;
    }
    if (pedalDown_[static_cast<std::size_t>(event.channel)]) {
        it->second.down = false;  // held by the pedal
    } else {
        held_.erase(it);
    }
}

void MidiInput::Pedal(const InputEvent& event) {
    const auto channel = static_cast<std::size_t>(event.channel);
    const bool wasDown = std::exchange(pedalDown_[channel], event.PedalDown());
    if (wasDown == pedalDown_[channel]) {
        return;  // only a change is echoed, so what comes back of it ends there
    }
    if (wasDown) {
        std::erase_if(held_, [&](const auto& entry) {
            return entry.first.first == event.channel && !entry.second.down;
        });
    }
    if (!echo_ || target_.EchoDevice() == nullptr) {
        return;
    }
    int& echoChannel = pedalEchoChannel_[channel];
    const int to = echoChannel >= 0 ? echoChannel : target_.EchoChannel();
    Send({Kind::Pedal, to, kSustainController, event.value}, event.channel);
    echoChannel = pedalDown_[channel] ? to : -1;
}

bool MidiInput::FromPlay(const InputEvent& event, MidiClock::time_point arrived) const {
    return event.kind != Kind::Pedal && arrived >= playedFrom_ && arrived <= playedUntil_ &&
           std::find(playedKeys_.begin(), playedKeys_.end(), event.key) != playedKeys_.end();
}

// ---- The echo and what comes back of it -------------------------------------------------------

namespace {

bool SameMessage(const InputEvent& sent, const InputEvent& back) {
    return sent.kind == back.kind && sent.channel == back.channel && sent.key == back.key &&
           sent.value == back.value;
}

}  // namespace

bool MidiInput::EchoReturned(const InputEvent& event, MidiClock::time_point arrived) {
    while (!sent_.empty() && sent_.front().at + kEchoReturnWindow < arrived) {
        sent_.pop_front();
    }
    const auto it = std::find_if(sent_.begin(), sent_.end(), [&](const Sent& s) {
        return s.at <= arrived && SameMessage(s.event, event) && StillAsSent(s);
    });
    if (it == sent_.end()) {
        return false;
    }
    sent_.erase(it);
    return true;
}

bool MidiInput::StillAsSent(const Sent& sent) const {
    // A note-on's echo comes back while its key is down and sounding there.
    const auto it = held_.find({sent.sourceChannel, sent.event.key});
    return it != held_.end() && it->second.down && it->second.echoChannel == sent.event.channel;
}

void MidiInput::Send(const InputEvent& event, int source) {
    OutputDevice* device = target_.EchoDevice();
    if (device == nullptr) {
        return;
    }
    switch (event.kind) {
        case Kind::NoteOn:
            device->NoteOn(event.channel, event.key, event.value);
            break;
        case Kind::NoteOff:
            device->NoteOff(event.channel, event.key, event.value);
            break;
        case Kind::Pedal:
            device->ControlChange(event.channel, event.key, event.value);
            break;
    }
    // Only note-ons are kept: a note-off coming back finds its note up and changes nothing, and
    // a pedal change coming back is echoed once more at most, as only changes are echoed. A loop
    // returns what was sent within milliseconds; a burst bigger than this is no loop.
    constexpr std::size_t kMaxRemembered = 4096;
    if (event.kind != Kind::NoteOn) {
        return;
    }
    if (sent_.size() >= kMaxRemembered) {
        sent_.pop_front();
    }
    sent_.push_back({event, source, clock_.Now()});
}

// ---- Naming -------------------------------------------------------------------------------------

void MidiInput::Recognise() {
    const std::vector<int> held = HeldNotes();
    const theory::HeldChordNames names = theory::NameHeldChord(held);
    if (names.chord) {
        emit chordRecognised(names.chord->rootIndex, names.chord->chordTypeIndex,
                             names.chord->inversion, names);
        return;
    }
    std::set<int> pitchClasses;
    for (int key : held) {
        pitchClasses.insert(key % 12);
    }
    if (pitchClasses.size() >= 3) {
        emit unlistedChordHeld(QString::fromStdString(theory::HeldNoteNames(held)));
    }
}

}  // namespace quorvane::midi

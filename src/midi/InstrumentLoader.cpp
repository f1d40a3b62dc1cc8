#include "midi/InstrumentLoader.h"

#include "midi/BuiltinSynth.h"
#include "midi/MidiLog.h"

namespace quorvane::midi {

bool Deliver(SynthSetup& setup, const SynthMessage& message) {
    switch (message.kind) {
        case SynthMessage::Kind::NoteOn:
            return setup.NoteOn(message.channel, message.data1, message.data2);
        case SynthMessage::Kind::NoteOff:
            return setup.NoteOff(message.channel, message.data1);
        case SynthMessage::Kind::ProgramChange:
            return setup.ProgramChange(message.channel, message.data1);
        case SynthMessage::Kind::ControlChange:
            return setup.ControlChange(message.channel, message.data1, message.data2);
        case SynthMessage::Kind::Reset:
            return setup.Reset();
    }
    return false;
}

InstrumentLoader::InstrumentLoader(SynthSetup& setup) : setup_(setup), worker_([this] { Run(); }) {}

InstrumentLoader::~InstrumentLoader() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

bool InstrumentLoader::Send(const SynthMessage& message) {
    const bool change = message.kind == SynthMessage::Kind::ProgramChange;
    if (change && !SynthSetup::IsProgramChange(message.channel, message.data1)) {
        return false;
    }
    std::unique_lock lock(mutex_);
    if (waiting_.empty() && !change) {
        return Deliver(setup_, message);
    }
    waiting_.push_back(message);
    lock.unlock();
    changed_.notify_all();
    return true;
}

void InstrumentLoader::WaitUntilSettled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.empty(); });
}

void InstrumentLoader::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (waiting_.empty()) {
            return;
        }
        const SynthMessage change = waiting_.front();
        lock.unlock();
        // The slow part, with the window free to go on: it waits only if it plays meanwhile.
        const int font = setup_.PinProgram(change.channel, change.data1);
        lock.lock();
        if (stopping_) {
            waiting_.clear();
        } else {
            FinishChange();
        }
        setup_.UnpinProgram(font, change.channel, change.data1);  // the channel holds it now
        changed_.notify_all();
    }
}

void InstrumentLoader::FinishChange() {
    if (!Deliver(setup_, waiting_.front())) {
        qCWarning(lcMidi) << "The built-in synthesizer did not take the program change to"
                          << waiting_.front().data1;
    }
    waiting_.pop_front();
    while (!waiting_.empty() && waiting_.front().kind != SynthMessage::Kind::ProgramChange) {
        if (!Deliver(setup_, waiting_.front())) {
            qCWarning(lcMidi) << "The built-in synthesizer did not take a message that waited"
                              << "for an instrument";
        }
        waiting_.pop_front();
    }
}

}  // namespace quorvane::midi

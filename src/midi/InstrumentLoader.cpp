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
    if (!changing_ && !change) {
        return Deliver(setup_, message);
    }
    changing_ = true;
    waiting_.push_back(message);
    lock.unlock();
    changed_.notify_all();
    return true;
}

void InstrumentLoader::WaitUntilSettled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !changing_; });
}

void InstrumentLoader::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) {
            return;
        }
        // The front is a change. Everything the synthesizer does here is unlocked, and the
        // window's messages queue behind the change until the queue is empty again; so the
        // window never waits for FluidSynth's lock while this thread holds it.
        const SynthMessage change = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        const int font = setup_.PinProgram(change.channel, change.data1);
        Played(change, "the program change");
        setup_.UnpinProgram(font, change.channel, change.data1);  // the channel holds it now
        lock.lock();
        while (!stopping_ && !waiting_.empty() &&
               waiting_.front().kind != SynthMessage::Kind::ProgramChange) {
            const SynthMessage next = waiting_.front();
            waiting_.pop_front();
            lock.unlock();
            Played(next, "a message that waited for an instrument");
            lock.lock();
        }
        changing_ = !waiting_.empty();
        changed_.notify_all();
    }
}

void InstrumentLoader::Played(const SynthMessage& message, const char* what) {
    if (!Deliver(setup_, message)) {
        qCWarning(lcMidi) << "The built-in synthesizer did not take" << what;
    }
}

}  // namespace quorvane::midi

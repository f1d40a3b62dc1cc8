#pragma once
// Instrument changes of the built-in synthesizer without holding up the window: the new
// instrument's samples are read on a thread of their own while the channel keeps the old one, and
// the channel switches once they are in memory. FluidSynth reads them under its own lock, so the
// messages that come meanwhile wait here, in order, and follow the switch; the window's thread
// never waits for the read.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace quorvane::midi {

class SynthSetup;

// One message for the synthesizer, kept until it can be played.
struct SynthMessage {
    enum class Kind { NoteOn, NoteOff, ProgramChange, ControlChange, Reset };
    Kind kind = Kind::NoteOn;
    int channel = 0;
    int data1 = 0;
    int data2 = 0;
};

class InstrumentLoader {
  public:
    // `setup` outlives the loader.
    explicit InstrumentLoader(SynthSetup& setup);
    // Lets the change under way finish and drops what waits behind it.
    ~InstrumentLoader();
    InstrumentLoader(const InstrumentLoader&) = delete;
    InstrumentLoader& operator=(const InstrumentLoader&) = delete;

    // Plays `message` now, with the synthesizer's answer; while an instrument loads it waits its
    // turn and true is answered (a refusal then is logged). A program change always returns at
    // once: false only for a channel or program out of range.
    bool Send(const SynthMessage& message);
    // Returns once no instrument is loading and nothing waits.
    void WaitUntilSettled();

  private:
    void Run();
    // Plays a message that waited, logging a refusal.
    void Played(const SynthMessage& message, const char* what);

    SynthSetup& setup_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // From a program change until everything queued behind it is played: the messages wait.
    bool changing_ = false;
    // The changes not yet begun and the messages behind them, in order.
    std::deque<SynthMessage> waiting_;
    bool stopping_ = false;
    std::thread worker_;
};

// Plays one message on the synthesizer; false when it was not taken.
bool Deliver(SynthSetup& setup, const SynthMessage& message);

}  // namespace quorvane::midi

#pragma once
// The MIDI input: what a keyboard sends, read into notes and the sustain pedal, the notes held
// (sustained ones included), echoed to the output, and what comes back of the program's own sound
// dropped. What is held is named by HeldNotes, with the notes of the other sources.
//
// A port delivers on the MIDI library's thread. Deliveries wait in a bounded queue that the
// user-interface thread empties in one go, reporting once for all the notes it found, so a flood
// of messages never outruns the window.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "midi/InputParser.h"
#include "midi/InputPorts.h"
#include "midi/OutputDevices.h"

namespace quorvane::midi {

// Where played notes are echoed: the open output device (nullptr: none) and the chosen channel.
class EchoTarget {
  public:
    virtual ~EchoTarget() = default;
    virtual OutputDevice* EchoDevice() = 0;
    virtual int EchoChannel() const = 0;
};

// How long after Play's note-offs its notes may still come back on the input.
inline constexpr std::chrono::milliseconds kPlayEchoGrace{200};
// How long an echoed message may take to come back through a connection from the output to the
// input.
inline constexpr std::chrono::milliseconds kEchoReturnWindow{100};
// At most this much waits for the user-interface thread; beyond it deliveries are dropped.
inline constexpr std::size_t kMaxQueuedMessages = 1 << 18;
inline constexpr std::size_t kMaxQueuedBytes = 16 << 20;

class MidiInput : public QObject {
    Q_OBJECT
  public:
    // Without ports none is listed. The clock times what the echo sends.
    MidiInput(std::unique_ptr<InputPorts> ports, EchoTarget& echo, MidiClock& clock);
    ~MidiInput() override;
    MidiInput(const MidiInput&) = delete;
    MidiInput& operator=(const MidiInput&) = delete;

    std::vector<std::string> List();
    // Closes the open port and opens the one of that name; false with the reason when it does
    // not open, and no port is open then.
    bool Open(const std::string& name, std::string* reason);
    // Closes the port; the notes it echoed and that still sound are released, nothing is held.
    void Close();
    bool IsOpen() const { return port_ != nullptr; }

    bool Echo() const { return echo_; }
    // Switched off, the echoed notes still sounding are released.
    void SetEcho(bool echo);
    // Releases what the echo left sounding (pedal first, then the notes), before the output
    // device closes.
    void ReleaseEchoed();

    // Handles one delivery at once, on the user-interface thread; `arrived` is when it came in.
    // Tests and benchmarks call it directly.
    void Handle(const QByteArray& bytes, MidiClock::time_point arrived);
    // The notes held now, sustained ones included (MIDI note numbers, lowest first, each once).
    std::vector<int> HeldNotes() const;
    // How many (channel, note) pairs are held or sustained.
    std::size_t HeldCount() const { return held_.size(); }

    // Play sounds `keys` from `from` on: until PlayEnded, and for kPlayEchoGrace after it, those
    // keys coming in are taken for the chord coming back, not for playing.
    void PlayStarted(std::vector<int> keys, MidiClock::time_point from);
    void PlayEnded(MidiClock::time_point at);

  signals:
    // What is held changed, once for everything handled in one go; `added` when a note went
    // down, which is when the held chord is named.
    void heldChanged(bool added);

  private:
    struct Delivery {
        QByteArray bytes;
        qint64 arrivedNs;
    };
    // A note held on the input: its key is down, or it is up and held by the pedal.
    struct HeldNote {
        bool down = false;
        int echoChannel = -1;  // the output channel its echo sounds on; -1 none
    };
    // A note-on the echo sent, for as long as it may come back, and the input channel of the
    // note it echoed.
    struct Sent {
        InputEvent event;
        int sourceChannel;
        MidiClock::time_point at;
    };

    // From the port's thread.
    void Enqueue(std::uint64_t generation, const QByteArray& bytes, qint64 arrivedNs);
    // On this thread: everything queued, then the chord named once.
    void Drain();
    // What one delivery or event did to the held notes.
    struct Taken {
        bool changed = false;
        bool added = false;
    };
    Taken Take(const QByteArray& bytes, MidiClock::time_point arrived);
    Taken TakeEvent(const InputEvent& event, MidiClock::time_point arrived);
    bool NoteOn(const InputEvent& event);
    void NoteOff(const InputEvent& event);
    void Pedal(const InputEvent& event);
    bool FromPlay(const InputEvent& event, MidiClock::time_point arrived) const;
    // Whether the event is one the echo sent coming back; it is then forgotten.
    bool EchoReturned(const InputEvent& event, MidiClock::time_point arrived);
    // Whether what came back still matches what the input holds: a note-on a musician plays that
    // only looks like an echo starts a note, an echo finds its note down and sounding.
    bool StillAsSent(const Sent& sent) const;
    // `source`: the input channel the echo is of.
    void Send(const InputEvent& event, int source);
    void ForgetHeld();

    std::unique_ptr<InputPorts> ports_;
    EchoTarget& target_;
    MidiClock& clock_;
    std::unique_ptr<InputPort> port_;
    InputParser parser_;
    bool echo_ = true;

    std::mutex queueMutex_;
    // Counts the ports opened: a delivery from a closed port is dropped. Guarded by the mutex.
    std::uint64_t generation_ = 0;
    std::deque<Delivery> queue_;
    std::size_t queuedBytes_ = 0;
    bool drainPosted_ = false;
    std::size_t dropped_ = 0;

    std::map<std::pair<int, int>, HeldNote> held_;  // (input channel, key)
    std::array<bool, 16> pedalDown_{};              // by input channel
    std::array<int, 16> pedalEchoChannel_{};        // output channel of its echo, -1 none
    // Echoes sounding, by (output channel, key): how many held input notes sound through each.
    std::map<std::pair<int, int>, int> sounding_;
    std::deque<Sent> sent_;

    std::vector<int> playedKeys_;
    MidiClock::time_point playedFrom_{};
    MidiClock::time_point playedUntil_{};
};

}  // namespace quorvane::midi

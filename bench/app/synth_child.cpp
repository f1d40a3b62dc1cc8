// The main window as the program starts it, then the built-in synthesizer opened as the MIDI
// settings window opens it and one chord played on it: prints the resident memory (kB) before
// the synthesizer opened and after the chord, whether the synthesizer reached an audio output or
// only its soundfont was loaded (the chord is then rendered offline), and how long the first
// program change, the chord's note-ons and a change to another instrument made on this thread
// took, and the longest this thread waited for any message while the same change went through
// the synthesizer's instrument loader and a note was played every 2 ms (microseconds).
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mainwin/Desktop.h"
#include "mainwin/frmChordMain.h"
#include "midi/BuiltinSynth.h"
#include "midi/InstrumentLoader.h"
#include "support/ResidentMemory.h"

namespace {

using quorvane::bench::ResidentKb;
using quorvane::midi::OutputDevice;
using quorvane::midi::SynthSetup;
using Clock = std::chrono::steady_clock;

long MicrosecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
}

// String Ensemble 1.
constexpr int kOtherProgram = 48;

// A C major chord on the piano, held one second.
template <typename Target>
void PlayChord(Target& target, long* programUs, long* notesUs, const std::function<void()>& hold) {
    const Clock::time_point start = Clock::now();
    target.ProgramChange(0, 0);
    *programUs = MicrosecondsSince(start);
    const Clock::time_point notes = Clock::now();
    for (int key : {60, 64, 67}) {
        target.NoteOn(0, key, 64);
    }
    *notesUs = MicrosecondsSince(notes);
    hold();
    for (int key : {60, 64, 67}) {
        target.NoteOff(0, key, 0);
    }
}

// SynthSetup's note-off takes no velocity.
struct OfflineTarget {
    SynthSetup& setup;
    void ProgramChange(int channel, int program) { setup.ProgramChange(channel, program); }
    void NoteOn(int channel, int key, int velocity) { setup.NoteOn(channel, key, velocity); }
    void NoteOff(int channel, int key, int /*velocity*/) { setup.NoteOff(channel, key); }
};

// The longest `send` takes while the instrument changes to kOtherProgram through it and a note
// is played on and off every 2 ms for half a second.
long LongestWaitDuringChange(const std::function<void(const quorvane::midi::SynthMessage&)>& send) {
    using Kind = quorvane::midi::SynthMessage::Kind;
    long longest = 0;
    const auto timed = [&](const quorvane::midi::SynthMessage& message) {
        const Clock::time_point start = Clock::now();
        send(message);
        longest = std::max(longest, MicrosecondsSince(start));
    };
    timed({Kind::ProgramChange, 0, kOtherProgram, 0});
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(500)) {
        timed({Kind::NoteOn, 0, 72, 64});
        timed({Kind::NoteOff, 0, 72, 0});
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::mainwin::Desktop desktop;
    quorvane::mainwin::frmChordMain window(desktop);
    if (!window.Form_Load()) {
        return 1;
    }
    window.show();
    std::unique_ptr<OutputDevice> device;
    std::unique_ptr<SynthSetup> setup;
    QTimer::singleShot(200, [&] {
        const long before = ResidentKb();
        long programUs = -1;
        long notesUs = -1;
        device = quorvane::midi::OpenBuiltinSynth();
        const char* what = "device";
        if (device) {
            PlayChord(*device, &programUs, &notesUs,
                      [] { std::this_thread::sleep_for(std::chrono::seconds(1)); });
        } else {
            // No audio output here: the synthesizer with its soundfont, as the device holds it,
            // rendered by this thread instead of an audio driver.
            what = "soundfont";
            if (const auto soundfont = quorvane::midi::FindGeneralMidiSoundfont()) {
                setup = SynthSetup::Create(*soundfont);
            }
            if (setup) {
                OfflineTarget target{*setup};
                PlayChord(target, &programUs, &notesUs, [&] {
                    std::vector<float> left(quorvane::midi::kSynthSampleRate);
                    std::vector<float> right(left.size());
                    setup->fluid().fluid_synth_write_float(setup->synth(),
                                                           static_cast<int>(left.size()),
                                                           left.data(), 0, 1, right.data(), 0, 1);
                });
            } else {
                what = "none";
            }
        }
        const long after = ResidentKb();
        // Another instrument through the loader, as the device changes it; then back to the
        // piano, which lets the other instrument's samples go, and the same change made on
        // this thread, as the device made it before.
        long waitUs = -1;
        long changeUs = -1;
        SynthSetup* synth = device ? quorvane::midi::BuiltinSynthSetup(device.get()) : setup.get();
        if (device) {
            waitUs = LongestWaitDuringChange([&](const quorvane::midi::SynthMessage& m) {
                using Kind = quorvane::midi::SynthMessage::Kind;
                if (m.kind == Kind::ProgramChange) {
                    device->ProgramChange(m.channel, m.data1);
                } else if (m.kind == Kind::NoteOn) {
                    device->NoteOn(m.channel, m.data1, m.data2);
                } else {
                    device->NoteOff(m.channel, m.data1, 0);
                }
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the change settles
        }
        if (synth != nullptr) {
            if (!device) {
                quorvane::midi::InstrumentLoader loader(*synth);
                waitUs = LongestWaitDuringChange(
                    [&](const quorvane::midi::SynthMessage& m) { loader.Send(m); });
            }
            synth->ProgramChange(0, 0);
            const Clock::time_point change = Clock::now();
            synth->ProgramChange(0, kOtherProgram);
            changeUs = MicrosecondsSince(change);
        }
        std::printf("rss_kb %ld %ld %s %ld %ld %ld %ld\n", before, after, what, programUs, notesUs,
                    changeUs, waitUs);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return QApplication::exec();
}

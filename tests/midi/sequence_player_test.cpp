// The sequence player on a recording device and a clock the test moves.
#include "midi/SequencePlayer.h"

#include <gtest/gtest.h>

#include <functional>

#include "MidiTestRig.h"

namespace quorvane::midi::testing {
namespace {

using namespace std::chrono_literals;
using Kind = RecordingOutputs::Kind;

// Two chords of a beat at 120 a minute that share E.
SequencePlan TwoChords() {
    return PlanSequence({{60, 64}, {64, 67}}, 1, 120, PlayStyle::Chord, 0);
}

struct Sent {
    Note note;
    std::chrono::milliseconds at;
    friend bool operator==(const Sent&, const Sent&) = default;
};

std::vector<Sent> SentSince(const MidiRig& rig, MidiClock::time_point start) {
    std::vector<Sent> sent;
    for (const auto& e : rig.outputs->Events()) {
        if (e.kind == Kind::Message) {
            sent.push_back({Decode({e.packed})[0],
                            std::chrono::duration_cast<std::chrono::milliseconds>(e.time - start)});
        }
    }
    return sent;
}

TEST(SequencePlayer, EachChordSoundsFromItsBeatToTheNextAndLoopsWhenAsked) {
    for (const bool loop : {false, true}) {
        MidiRig rig;
        rig.midi->SelectDevice(0);
        rig.midi->SetMidiChannel(3);
        SequencePlayer player(*rig.midi);
        std::vector<int> started;
        QObject::connect(&player, &SequencePlayer::chordStarted,
                         [&](int chord) { started.push_back(chord); });
        const MidiClock::time_point start = rig.clock->Now();
        player.Play(TwoChords(), 120, loop);
        for (int step = 0; step < 2; ++step) {
            rig.clock->now += 499ms;  // woken early: the player sleeps the rest on the clock
            player.Pump();
        }
        std::vector<Sent> expected{{{0x92, 60, 64}, 0ms},    {{0x92, 64, 64}, 0ms},
                                   {{0x82, 60, 64}, 500ms},  {{0x82, 64, 64}, 500ms},
                                   {{0x92, 64, 64}, 500ms},  {{0x92, 67, 64}, 500ms},
                                   {{0x82, 64, 64}, 1000ms}, {{0x82, 67, 64}, 1000ms}};
        if (loop) {
            expected.push_back({{0x92, 60, 64}, 1000ms});
            expected.push_back({{0x92, 64, 64}, 1000ms});
        }
        EXPECT_EQ(SentSince(rig, start), expected);
        EXPECT_EQ(started, (loop ? std::vector<int>{0, 1, 0} : std::vector<int>{0, 1}));
        EXPECT_EQ(player.Playing(), loop);
    }
}

// The window hears of a chord only once every event of its instant has gone out.
TEST(SequencePlayer, AChordIsAnnouncedAfterEveryEventOfItsInstant) {
    MidiRig rig;
    rig.midi->SelectDevice(0);
    SequencePlayer player(*rig.midi);
    std::vector<std::size_t> sentBefore;
    QObject::connect(&player, &SequencePlayer::chordStarted,
                     [&](int) { sentBefore.push_back(SentSince(rig, {}).size()); });
    player.Play(TwoChords(), 120, false);
    rig.clock->now += 499ms;
    player.Pump();
    EXPECT_EQ(sentBefore, (std::vector<std::size_t>{2, 6}));
}

// Whatever ends it, every started note is released while the device still takes it, and
// nothing follows.
TEST(SequencePlayer, StoppingReleasesEveryStartedNoteBeforeTheDeviceGoes) {
    const std::vector<std::function<void(MidiRig&, SequencePlayer&)>> ends{
        [](MidiRig&, SequencePlayer& p) { p.Stop(); },
        [](MidiRig& r, SequencePlayer&) { r.midi->ResetMidi(); },
        [](MidiRig& r, SequencePlayer&) { r.midi->SelectDevice(0); },
        [](MidiRig& r, SequencePlayer&) { r.midi->ShutDownOnSignal(); },
    };
    for (const auto& end : ends) {
        MidiRig rig;
        rig.midi->SelectDevice(0);
        SequencePlayer player(*rig.midi);
        int stops = 0;
        QObject::connect(&player, &SequencePlayer::stopped, [&] { ++stops; });
        player.Play(TwoChords(), 120, true);
        rig.outputs->Clear();
        end(rig, player);
        rig.clock->now += 2s;
        player.Pump();
        const auto& events = rig.outputs->Events();
        ASSERT_GE(events.size(), 2U);
        EXPECT_EQ(Decode({events[0].packed, events[1].packed}),
                  (std::vector<Note>{{0x80, 60, 64}, {0x80, 64, 64}}));
        for (std::size_t i = 2; i < events.size(); ++i) {
            EXPECT_NE(events[i].kind, Kind::Message);
        }
        EXPECT_FALSE(player.Playing());
        EXPECT_EQ(stops, 1);
    }
}

}  // namespace
}  // namespace quorvane::midi::testing

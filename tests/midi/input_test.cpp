// The MIDI input below the windows: reading note events out of raw bytes, and modCommon
// following the held notes, echoing them and naming what they form.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <array>

#include "MidiTestRig.h"
#include "midi/InputParser.h"
#include "support/FakeInputs.h"

namespace quorvane::midi {
namespace {

using testing::MidiRig;
using testing::Note;

struct ParseCase {
    const char* name;
    std::vector<std::vector<std::uint8_t>> deliveries;  // one Feed each
    std::vector<NoteEvent> expected;
};

TEST(InputParser, ReadsNotesAndSkipsEverythingElse) {
    const ParseCase cases[] = {
        {"note-on and note-off",
         {{0x90, 60, 100}, {0x80, 60, 40}},
         {{true, 0, 60, 100}, {false, 0, 60, 40}}},
        {"any channel", {{0x9F, 60, 1}, {0x83, 61, 2}}, {{true, 15, 60, 1}, {false, 3, 61, 2}}},
        {"velocity 0 is a note-off", {{0x90, 60, 0}}, {{false, 0, 60, 0}}},
        {"running status in one delivery",
         {{0x90, 64, 90, 67, 91, 72, 0}},
         {{true, 0, 64, 90}, {true, 0, 67, 91}, {false, 0, 72, 0}}},
        {"running status across deliveries",
         {{0x90, 64, 90}, {67, 91}, {72}, {0}},
         {{true, 0, 64, 90}, {true, 0, 67, 91}, {false, 0, 72, 0}}},
        {"real-time bytes inside a message", {{0x90, 0xF8, 60, 0xFE, 100}}, {{true, 0, 60, 100}}},
        {"other channel messages, with their own running status",
         {{0xB0, 64, 127, 7, 100}, {0xC0, 5, 6}, {0xE0, 0, 64}, {0xD0, 60}, {0xA0, 60, 10}},
         {}},
        {"a two-byte message keeps data bytes in step",
         {{0xC0, 60, 0x90, 60, 1}},
         {{true, 0, 60, 1}}},
        {"system exclusive hides note-like data and ends running status",
         {{0x90, 60, 1, 0xF0, 0x7E, 61, 1, 0xF7, 62, 1}},
         {{true, 0, 60, 1}}},
        {"a status byte ends an unfinished system exclusive",
         {{0xF0, 0x7E, 0x91, 61, 1}},
         {{true, 1, 61, 1}}},
        {"data bytes without a status", {{60, 100}}, {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        InputParser parser;
        std::vector<NoteEvent> events;
        for (const auto& bytes : c.deliveries) {
            for (const NoteEvent& e : parser.Feed(bytes)) {
                events.push_back(e);
            }
        }
        EXPECT_EQ(events, c.expected);
    }
}

// modCommon with an open recording output and an input port of the test's, opened.
struct InputRig : MidiRig {
    InputRig() : MidiRig({{"Recorder", true}}, {{"Keys", true}, {"Broken", false}}) {
        midi->SelectDevice(0);
        EXPECT_TRUE(midi->OpenInput("Keys"));
        QObject::connect(midi.get(), &modCommon::chordRecognised, [this](int r, int c, int i) {
            named.push_back({r, c, i});
        });
        QObject::connect(midi.get(), &modCommon::unlistedChordHeld,
                         [this](const QString& notes) { unlisted.push_back(notes.toStdString()); });
        outputs->Clear();
    }
    // Sends from the port's thread, then lets this thread handle what was queued.
    void Play(std::initializer_list<int> bytes) {
        ASSERT_TRUE(inputs->Send(bytes));
        QCoreApplication::processEvents();
    }
    std::vector<std::array<int, 3>> named;
    std::vector<std::string> unlisted;
};

TEST(MidiInput, HeldNotesNameTheirChordOnlyFromThreePitchClasses) {
    InputRig rig;
    rig.Play({0x90, 64, 80});
    rig.Play({0x90, 76, 80});  // E again, an octave up: still one pitch class
    rig.Play({0x90, 67, 80});
    EXPECT_TRUE(rig.named.empty() && rig.unlisted.empty());
    rig.Play({0x90, 72, 80});  // E G C: C major in first inversion
    EXPECT_EQ(rig.named, (std::vector<std::array<int, 3>>{{0, 0, 1}}));
    rig.Play({0x80, 76, 0});  // the set changes, the chord is named again
    EXPECT_EQ(rig.named.size(), 2u);
    rig.Play({0x90, 61, 80});  // a cluster of semitones next to the chord
    EXPECT_EQ(rig.unlisted, (std::vector<std::string>{"C# E G C"}));
    rig.Play({0x90, 61, 80});  // held already: nothing changes
    EXPECT_EQ(rig.named.size() + rig.unlisted.size(), 3u);
    EXPECT_EQ(rig.midi->HeldNotes(), (std::vector<int>{61, 64, 67, 72}));
}

TEST(MidiInput, EchoPlaysOnTheChosenChannelAndReleasesOnItsOwn) {
    InputRig rig;
    rig.midi->SetMidiChannel(3);
    rig.Play({0x91, 60, 99});  // played on channel 2, heard on the chosen channel 3
    rig.midi->SetMidiChannel(4);
    rig.Play({0x81, 60, 12});  // released on the channel it sounds on
    rig.Play({0x91, 62, 0});   // a note-off for a note that was not echoed is not sent
    rig.Play({0xB0, 7, 100});  // not a note: ignored
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x92, 60, 99}, {0x82, 60, 12}}));

    rig.outputs->Clear();
    rig.Play({0x90, 64, 70});
    rig.midi->SetEcho(false);  // switched off, what sounds is released
    rig.Play({0x90, 67, 70});
    rig.Play({0x80, 64, 70});
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x93, 64, 70}, {0x83, 64, 0}}));
}

TEST(MidiInput, NotesStillSoundingAreReleasedWhenTheInputClosesOrTheProgramEnds) {
    for (const bool byShutDown : {false, true}) {
        SCOPED_TRACE(byShutDown ? "ShutDown" : "input closed");
        InputRig rig;
        rig.Play({0x90, 60, 70});
        rig.Play({0x90, 64, 71});
        rig.Play({0x80, 60, 70});
        rig.outputs->Clear();
        if (byShutDown) {
            rig.midi->ShutDown();
        } else {
            rig.midi->CloseInput();
        }
        using K = RecordingOutputs::Kind;
        ASSERT_FALSE(rig.outputs->Events().empty());
        EXPECT_EQ(rig.outputs->Events()[0].kind, K::Message);
        EXPECT_EQ(testing::Decode({rig.outputs->Events()[0].packed}),
                  (std::vector<Note>{{0x80, 64, 0}}));
        EXPECT_EQ(rig.outputs->Events().size(), byShutDown ? 2u : 1u) << "then the device closes";
        EXPECT_TRUE(rig.midi->HeldNotes().empty());
    }
}

TEST(MidiInput, AMessageQueuedFromAClosedPortIsDropped) {
    InputRig rig;
    ASSERT_TRUE(rig.inputs->Send({0x90, 60, 70}));  // queued, not yet handled
    rig.midi->CloseInput();
    ASSERT_TRUE(rig.midi->OpenInput("Keys"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.midi->HeldNotes().empty());
    EXPECT_TRUE(rig.outputs->Messages().empty());
}

TEST(MidiInput, WhatPlaySoundsComingBackOnTheInputIsNotTakenForPlaying) {
    InputRig rig;
    rig.midi->PlayChord(0, 0, 0);  // C major: 60 64 67, held for the note length
    rig.outputs->Clear();
    // Within the grace after the note-offs the chord comes back through a loop of the ports.
    for (int key : {60, 64, 67}) {
        rig.Play({0x90, key, 64});
    }
    rig.Play({0x90, 71, 64});  // a key Play did not sound is the musician's
    EXPECT_EQ(rig.midi->HeldNotes(), std::vector<int>{71});
    EXPECT_TRUE(rig.named.empty() && rig.unlisted.empty());
    rig.clock->now += kPlayEchoGrace + std::chrono::milliseconds(1);
    rig.Play({0x80, 71, 64});
    for (int key : {60, 64, 67}) {
        rig.Play({0x90, key, 64});  // played by the musician after the chord
    }
    EXPECT_EQ(rig.midi->HeldNotes(), (std::vector<int>{60, 64, 67}));
    EXPECT_EQ(rig.named, (std::vector<std::array<int, 3>>{{0, 0, 0}}));
}

TEST(MidiInput, APortThatDoesNotOpenShowsAMessageAndLeavesNoInput) {
    InputRig rig;
    EXPECT_FALSE(rig.midi->OpenInput("Broken"));
    EXPECT_FALSE(rig.midi->InputOpen());
    ASSERT_EQ(rig.errors.size(), 1u);
    EXPECT_EQ(rig.errors[0], "Quorvane|The MIDI input port \"Broken\" could not be opened.");
    EXPECT_EQ(rig.midi->ListInputs(), (std::vector<std::string>{"Keys", "Broken"}));
}

}  // namespace
}  // namespace quorvane::midi

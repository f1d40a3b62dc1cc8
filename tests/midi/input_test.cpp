// The MIDI input below the windows: reading note events out of raw bytes, and modCommon
// following the held notes, echoing them and naming what they form.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <array>
#include <map>
#include <random>
#include <set>

#include "MidiTestRig.h"
#include "midi/ComputerKeys.h"
#include "midi/HeldNotes.h"
#include "midi/InputParser.h"
#include "support/FakeInputs.h"

namespace quorvane::midi {
namespace {

using testing::MidiRig;
using testing::Note;

struct ParseCase {
    const char* name;
    std::vector<std::vector<std::uint8_t>> deliveries;  // one Feed each
    std::vector<InputEvent> expected;
};

using Kind = InputEvent::Kind;
InputEvent On(int channel, int key, int velocity) {
    return {Kind::NoteOn, channel, key, velocity};
}
InputEvent Off(int channel, int key, int velocity) {
    return {Kind::NoteOff, channel, key, velocity};
}

TEST(InputParser, ReadsNotesAndSkipsEverythingElse) {
    const ParseCase cases[] = {
        {"note-on and note-off",
         {{0x90, 60, 100}, {0x80, 60, 40}},
         {On(0, 60, 100), Off(0, 60, 40)}},
        {"any channel", {{0x9F, 60, 1}, {0x83, 61, 2}}, {On(15, 60, 1), Off(3, 61, 2)}},
        {"velocity 0 is a note-off", {{0x90, 60, 0}}, {Off(0, 60, 0)}},
        {"running status in one delivery",
         {{0x90, 64, 90, 67, 91, 72, 0}},
         {On(0, 64, 90), On(0, 67, 91), Off(0, 72, 0)}},
        {"running status across deliveries",
         {{0x90, 64, 90}, {67, 91}, {72}, {0}},
         {On(0, 64, 90), On(0, 67, 91), Off(0, 72, 0)}},
        {"real-time bytes inside a message", {{0x90, 0xF8, 60, 0xFE, 100}}, {On(0, 60, 100)}},
        {"other channel messages, with their own running status",
         {{0xB0, 7, 127, 1, 100}, {0xC0, 5, 6}, {0xE0, 0, 64}, {0xD0, 60}, {0xA0, 60, 10}},
         {}},
        {"the sustain pedal, also in running status",
         {{0xB3, 64, 127, 64, 0}},
         {{Kind::Pedal, 3, 64, 127}, {Kind::Pedal, 3, 64, 0}}},
        {"system exclusive in pieces hides its data until a status byte",
         {{0x90, 60, 1, 0xF0, 1}, {61, 1}, {62, 1, 0xF7}, {63, 1}, {0x90, 64, 1}},
         {On(0, 60, 1), On(0, 64, 1)}},
        {"a two-byte message keeps data bytes in step", {{0xC0, 60, 0x90, 60, 1}}, {On(0, 60, 1)}},
        {"system exclusive hides note-like data and ends running status",
         {{0x90, 60, 1, 0xF0, 0x7E, 61, 1, 0xF7, 62, 1}},
         {On(0, 60, 1)}},
        {"a status byte ends an unfinished system exclusive",
         {{0xF0, 0x7E, 0x91, 61, 1}},
         {On(1, 61, 1)}},
        {"data bytes without a status", {{60, 100}}, {}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        InputParser parser;
        std::vector<InputEvent> events;
        for (const auto& bytes : c.deliveries) {
            for (const InputEvent& e : parser.Feed(bytes)) {
                events.push_back(e);
            }
        }
        EXPECT_EQ(events, c.expected);
    }
}

// modCommon with an open recording output and an input port of the test's, opened, and the
// notes held from every source named.
struct InputRig : MidiRig {
    InputRig() : MidiRig({{"Recorder", true}}, {{"Keys", true}, {"Broken", false}}) {
        midi->SelectDevice(0);
        EXPECT_TRUE(midi->OpenInput("Keys"));
        held = std::make_unique<HeldNotes>(*midi);
        QObject::connect(held.get(), &HeldNotes::chordRecognised,
                         [this](int r, int c, int i, const theory::HeldChordNames& names) {
                             named.push_back({r, c, i});
                             otherNames = theory::OtherNamesText(names);
                         });
        QObject::connect(held.get(), &HeldNotes::unlistedChordHeld,
                         [this](const QString& notes) { unlisted.push_back(notes.toStdString()); });
        outputs->Clear();
    }
    // Sends from the port's thread, then lets this thread handle what was queued.
    void Play(std::initializer_list<int> bytes) {
        ASSERT_TRUE(inputs->Send(bytes));
        QCoreApplication::processEvents();
    }
    std::unique_ptr<HeldNotes> held;
    std::vector<std::array<int, 3>> named;
    std::string otherNames;
    std::vector<std::string> unlisted;
};

// The name follows the hands: looked up when a note is added, from three pitch classes, and
// kept while keys are released.
TEST(MidiInput, ANoteAddedNamesWhatIsHeldAReleaseKeepsTheName) {
    InputRig rig;
    rig.Play({0x90, 64, 80});
    rig.Play({0x90, 76, 80});  // E again, an octave up: still one pitch class
    rig.Play({0x90, 67, 80});
    EXPECT_TRUE(rig.named.empty() && rig.unlisted.empty());
    rig.Play({0x90, 72, 80});  // E G C: C major in first inversion
    EXPECT_EQ(rig.named, (std::vector<std::array<int, 3>>{{0, 0, 1}}));
    rig.Play({0x80, 76, 0});
    rig.Play({0x80, 64, 0});  // releasing names nothing, down to two pitch classes
    EXPECT_EQ(rig.named.size(), 1u);
    rig.Play({0x90, 61, 80});  // C# G C: added, so looked up
    EXPECT_EQ(rig.unlisted, (std::vector<std::string>{"C# G C"}));
    rig.Play({0x80, 61, 0});
    rig.Play({0x90, 69, 80});  // G C A: A Minor 7th without its fifth
    EXPECT_EQ(rig.otherNames, "no 5th");
    rig.Play({0x90, 64, 80});  // G C A E: C Major 6th, which is also A Minor 7th
    ASSERT_EQ(rig.named.size(), 3u);
    EXPECT_EQ(rig.otherNames, "also A Minor 7th, second inversion");
    EXPECT_EQ(rig.midi->HeldNotes(), (std::vector<int>{64, 67, 69, 72}));
}

// The pedal holds what is released under it, on the input and, echoed, on the output; what it
// still holds when the input closes is released, the pedal first.
TEST(MidiInput, TheSustainPedalHoldsReleasedNotes) {
    InputRig rig;
    rig.Play({0xB0, 64, 127});
    for (int key : {60, 64}) {
        rig.Play({0x90, key, 90});
        rig.Play({0x80, key, 0});
    }
    rig.Play({0x90, 67, 90});  // C and E sustained, G down: C major
    EXPECT_EQ(rig.named, (std::vector<std::array<int, 3>>{{0, 0, 0}}));
    rig.Play({0xB0, 64, 0});  // up: only G is still held
    EXPECT_EQ(rig.midi->HeldNotes(), std::vector<int>{67});
    rig.Play({0xB0, 64, 100});
    rig.Play({0x80, 67, 0});
    EXPECT_EQ(rig.midi->HeldNotes(), std::vector<int>{67});
    rig.midi->CloseInput();
    EXPECT_TRUE(rig.midi->HeldNotes().empty());
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0xB0, 64, 127},
                                              {0x90, 60, 90},
                                              {0x80, 60, 0},
                                              {0x90, 64, 90},
                                              {0x80, 64, 0},
                                              {0x90, 67, 90},
                                              {0xB0, 64, 0},
                                              {0xB0, 64, 100},
                                              {0x80, 67, 0},
                                              {0xB0, 64, 0}}));
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
    rig.Play({0x90, 64, 80});      // held by the musician through Play
    rig.midi->PlayChord(0, 0, 0);  // C major: 60 64 67, held for the note length
    rig.Play({0x80, 64, 0});       // a note-off in the grace is the musician's release
    rig.outputs->Clear();
    // Within the grace after the note-offs the chord comes back through a loop of the ports.
    for (int key : {60, 64, 67}) {
        rig.Play({0x90, key, 64});
    }
    rig.Play({0x90, 71, 64});  // a key Play did not sound is the musician's
    EXPECT_EQ(rig.midi->HeldNotes(), std::vector<int>{71});
    EXPECT_EQ(rig.outputs->Messages().size(), 1u) << "only 71 is echoed";
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

// A million seeded messages as a keyboard and a noisy line send them (running status, real-time
// bytes, other messages, system exclusive in pieces, the pedal, channels changing) against a
// plain count of what is held; at the end every echoed note-on has had its note-off.
TEST(MidiInput, RandomMessagesKeepTheHeldSetAndTheEchoBalanced) {
    MidiRig rig({{"Recorder", true}}, {{"Keys", true}});
    rig.midi->SelectDevice(0);
    std::mt19937 random(20261209);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::set<std::pair<int, int>> down, sustained;
    std::array<bool, 16> pedal{};
    int status = 0;  // the running status the line has now
    QByteArray line;
    const auto send = [&](int newStatus, std::initializer_list<int> data) {
        if (newStatus != status || pick(4) == 0) {
            line.append(static_cast<char>(newStatus));
        }
        status = newStatus;
        for (int byte : data) {
            line.append(static_cast<char>(byte));
            if (pick(50) == 0) {
                line.append(static_cast<char>(0xF8));  // a clock tick in between
            }
        }
    };
    // The keyboard plays on channels 1..13, the echo goes out on 14..16, so nothing the echo
    // sends can look like what the keyboard plays.
    for (int i = 0; i < 1000000; ++i) {
        const int channel = pick(13), key = pick(128), kind = pick(20);
        const std::pair<int, int> note{channel, key};
        if (kind < 9) {
            send(0x90 | channel, {key, 1 + pick(127)});
            down.insert(note);
            sustained.erase(note);
        } else if (kind < 16) {
            send(pick(2) ? 0x80 | channel : 0x90 | channel, {key, 0});
            if (down.erase(note) > 0 && pedal[static_cast<std::size_t>(channel)]) {
                sustained.insert(note);
            }
        } else if (kind < 18) {
            const int value = pick(128);
            send(0xB0 | channel, {64, value});
            pedal[static_cast<std::size_t>(channel)] = value >= 64;
            if (value < 64) {
                std::erase_if(sustained, [&](const auto& n) { return n.first == channel; });
            }
        } else if (kind == 18) {
            send(0xA0 | channel, {key, pick(128)});  // aftertouch, not a note
        } else {
            line.append(static_cast<char>(0xF0));  // system exclusive, cut anywhere
            for (int n = pick(40); n > 0; --n) {
                line.append(static_cast<char>(pick(128)));
            }
            line.append(static_cast<char>(0xF7));
            status = 0;
        }
        if (pick(3) == 0) {
            rig.midi->SetMidiChannel(14 + pick(3));
        }
        // Delivered in pieces cut anywhere, and now and then up to the last message.
        const bool whole = pick(4) == 0;
        if (whole || pick(2) == 0) {
            const qsizetype cut = whole ? line.size() : pick(static_cast<int>(line.size()) + 1);
            rig.clock->now += std::chrono::milliseconds(1);
            rig.midi->HandleInput(line.left(cut), rig.clock->now);
            line.remove(0, cut);
        }
        if (whole) {
            ASSERT_EQ(rig.midi->Input().HeldCount(), down.size() + sustained.size()) << i;
        }
    }
    rig.midi->HandleInput(line, rig.clock->now);
    QByteArray allOff;
    for (int channel = 0; channel < 16; ++channel) {
        allOff.append(static_cast<char>(0xB0 | channel)).append(64).append('\0');
        for (int key = 0; key < 128; ++key) {
            allOff.append(static_cast<char>(0x80 | channel)).append(static_cast<char>(key));
            allOff.append('\0');
        }
    }
    rig.midi->HandleInput(allOff, rig.clock->now);
    EXPECT_EQ(rig.midi->Input().HeldCount(), 0u);

    std::map<std::pair<int, int>, bool> sounding;
    std::array<bool, 16> outPedal{};
    for (const std::uint32_t m : rig.outputs->Messages()) {
        const int channel = StatusOf(m) & 0x0F;
        const std::pair<int, int> note{channel, Data1Of(m)};
        switch (StatusOf(m) & 0xF0) {
            case 0x90:
                ASSERT_FALSE(sounding[note]) << "a second note-on before the note-off";
                sounding[note] = true;
                break;
            case 0x80:
                ASSERT_TRUE(sounding[note]) << "a note-off for a note not sounding";
                sounding[note] = false;
                break;
            case 0xB0:
                outPedal[static_cast<std::size_t>(channel)] = Data2Of(m) >= 64;
                break;
        }
    }
    EXPECT_TRUE(std::none_of(sounding.begin(), sounding.end(), [](auto& s) { return s.second; }));
    EXPECT_TRUE(std::none_of(outPedal.begin(), outPedal.end(), [](bool p) { return p; }));
}

// The keys' places, whatever the layout prints on them; a key held once starts once.
TEST(ComputerKeys, PlacesPlayTwoRows) {
    // X key codes: Z 52, S 39, comma 59, Q 24, I 31; a key elsewhere (Escape 9) plays none.
    const struct {
        std::uint32_t scan;
        int character;
        std::optional<int> key;
    } cases[] = {{52, 'Y', 0}, {39, 0, 1},           {59, 0, 12}, {24, 'A', 12},
                 {31, 0, 24},  {9, 0, std::nullopt}, {0, 'X', 2}, {0, 'A', std::nullopt}};
    for (const auto& c : cases) {
        EXPECT_EQ(ComputerKeys::KeyAt(c.scan, c.character), c.key) << c.scan << ' ' << c.character;
    }
    ComputerKeys keys;
    EXPECT_EQ(keys.Press(59, 0), 12);
    EXPECT_EQ(keys.Press(59, 0), std::nullopt) << "a repeat";
    EXPECT_EQ(keys.Press(24, 0), std::nullopt) << "held at its other place";
    EXPECT_EQ(keys.Release(24, 0), std::nullopt) << "only its own place releases it";
    EXPECT_EQ(keys.Press(52, 0), 0);
    EXPECT_EQ(keys.Keys(), (std::vector<int>{0, 12}));
    EXPECT_EQ(keys.ReleaseAll(), (std::vector<int>{0, 12}));
    EXPECT_TRUE(keys.Keys().empty());
}

// Picks name what is held after every change, removals too; they sound with the volume, at the
// octave, for the note length without holding up the caller.
TEST(WindowNotes, PicksAreNamedAfterEveryChangeWithTheInputsNotes) {
    InputRig rig;
    rig.midi->SetVelocity(90);
    rig.midi->SetOctave(1);
    rig.Play({0x90, 76, 80});  // E held on the MIDI keyboard
    rig.outputs->Clear();
    for (int key : {0, 7, 11}) {
        rig.held->PickKey(key);
    }
    EXPECT_EQ(rig.named.back(), (std::array<int, 3>{0, 9, 0}));  // C Major 7th
    rig.held->PickKey(11);
    EXPECT_EQ(rig.named.back(), (std::array<int, 3>{0, 0, 0}));  // C Major
    EXPECT_EQ(rig.held->AllHeldNotes(), (std::vector<int>{72, 76, 79}));
    EXPECT_EQ(rig.Notes(),
              (std::vector<Note>{{0x90, 72, 90}, {0x90, 79, 90}, {0x90, 83, 90}, {0x80, 83, 90}}));
    rig.outputs->Clear();
    QTest::qWait(rig.midi->NoteLength() + 100);
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x80, 72, 90}, {0x80, 79, 90}}));
    rig.held->ClearPicks();
    EXPECT_EQ(rig.held->AllHeldNotes(), std::vector<int>{76});
    EXPECT_EQ(rig.named.size(), 3u) << "emptying names nothing";
}

// The computer keys are held as a MIDI keyboard's are: echoed, named when one goes down, the name
// kept as they are released; losing the focus lets every one go.
TEST(WindowNotes, ComputerKeysPlayLikeAKeyboard) {
    InputRig rig;
    for (std::uint32_t scan : {52u, 54u, 56u}) {  // Z C B: C E G
        rig.held->ComputerKeyDown(scan, 0);
    }
    EXPECT_EQ(rig.named, (std::vector<std::array<int, 3>>{{0, 0, 0}}));
    rig.held->ComputerKeyUp(54, 0);
    rig.held->ComputerKeyUp(54, 0);
    EXPECT_EQ(rig.named.size(), 1u);
    rig.held->ReleaseComputerKeys();
    EXPECT_TRUE(rig.held->AllHeldNotes().empty());
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x90, 60, 64},
                                              {0x90, 64, 64},
                                              {0x90, 67, 64},
                                              {0x80, 64, 64},
                                              {0x80, 60, 64},
                                              {0x80, 67, 64}}));
}

// The neck is held beside the other sources and named with them after every change; Escape
// empties the picks and the neck, and says so once for the fretboard to unfret.
TEST(HeldNotes, TheNeckIsASourceBesideTheOthersAndEscapeEmptiesIt) {
    InputRig rig;
    int neckCleared = 0;
    QObject::connect(rig.held.get(), &HeldNotes::neckCleared, [&] { ++neckCleared; });
    rig.Play({0x90, 64, 80});                   // E on the input
    rig.held->SetNeckNotes({67, 60, 60, 200});  // G and C fretted (200 is no note)
    EXPECT_EQ(rig.held->NeckNotes(), (std::vector<int>{60, 67}));
    EXPECT_EQ(rig.named.back(), (std::array<int, 3>{0, 0, 0}));  // C Major
    rig.held->PickKey(11);                                       // B
    EXPECT_EQ(rig.named.back(), (std::array<int, 3>{0, 9, 0}));  // C Major 7th
    rig.held->SetNeckNotes({60, 67});
    EXPECT_EQ(rig.named.size(), 2u) << "the same frets change nothing";
    rig.held->ClearPicksAndNeck();
    EXPECT_EQ(rig.held->AllHeldNotes(), std::vector<int>{64});
    rig.held->ClearPicksAndNeck();
    EXPECT_EQ(neckCleared, 1);
}

}  // namespace
}  // namespace quorvane::midi

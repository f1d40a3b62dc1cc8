#include "midi/modCommon.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <functional>

#include "MidiTestRig.h"
#include "theory/catalogue.h"

namespace quorvane::midi {
namespace {

using testing::MidiRig;
using testing::Note;

constexpr int kMajor = 0;
constexpr int kMajor7th = 9;
constexpr int k13th = 27;

static_assert(theory::ChordTypes[kMajor].name == "Major");
static_assert(theory::ChordTypes[kMajor7th].name == "Major 7th");
static_assert(theory::ChordTypes[k13th].name == "13th");

TEST(PackedMessages, NoteOnNoteOffAndProgramChange) {
    // Middle C on channel 1 at velocity 64: bytes 0x90, 0x3C, 0x40 from the lowest.
    EXPECT_EQ(NoteOnMessage(0x3C90, 64, 0, 0), 4209808u);
    EXPECT_EQ(NoteOffMessage(NoteOnMessage(0x3C90, 64, 0, 0)), PackShortMsg(0x80, 60, 64));
    // Channel 16, two octaves down.
    EXPECT_EQ(NoteOnMessage(0x3C9F, 64, 0, -2), PackShortMsg(0x9F, 36, 64));
    EXPECT_EQ(NoteOffMessage(NoteOnMessage(0x3C9F, 64, 0, -2)), PackShortMsg(0x8F, 36, 64));
    // The extremes the catalogue reaches: 36 and 116, at the loudest velocity.
    EXPECT_EQ(NoteOnMessage(0x3C90, 127, 32, 2), PackShortMsg(0x90, 116, 127));
    EXPECT_EQ(ProgramChangeMessage(0, 0), 0x00C0u);
    EXPECT_EQ(ProgramChangeMessage(9, 127), 0x7FC9u);
}

TEST(ModCommon, ChannelSteppingKeepsTheNoteOnBase) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    EXPECT_EQ(m.NoteOnBase(), 0x3C90);
    m.SetMidiChannel(10);
    EXPECT_EQ(m.MidiChannel(), 9);
    EXPECT_EQ(m.NoteOnBase(), 0x3C99);
    m.SetMidiChannel(1);
    EXPECT_EQ(m.NoteOnBase(), 0x3C90);
    for (int shown = 1; shown <= 16; ++shown) {
        m.SetMidiChannel(shown);
        EXPECT_EQ(m.NoteOnBase(), 0x3C90 + shown - 1);
    }
    EXPECT_EQ(m.MidiChannel(), 15);
    EXPECT_EQ(m.NoteOnBase(), 0x3C9F);
    for (int shown = 16; shown >= 1; --shown) {
        m.SetMidiChannel(shown);
    }
    EXPECT_EQ(m.NoteOnBase(), 0x3C90);
    EXPECT_TRUE(rig.outputs->Events().empty()) << "a channel change sends nothing";
}

// Each setting refuses a value outside what the settings window can set and keeps its value.
TEST(ModCommon, ASoundfontThatDoesNotLoadIsShownWithItsReason) {
    MidiRig rig;  // its service has no built-in synthesizer: no soundfont loads
    EXPECT_FALSE(rig.midi->OpenSoundfont("/somewhere/Grand Piano.sf2"));
    EXPECT_EQ(rig.errors,
              std::vector<std::string>{"Quorvane|The SoundFont \"Grand Piano.sf2\" could "
                                       "not be loaded; the built-in synthesizer keeps "
                                       "its sound."});
}

TEST(ModCommon, SettersRefuseValuesOutOfRange) {
    struct Guard {
        const char* name;
        std::function<bool(modCommon&, int)> set;
        std::function<int(const modCommon&)> get;
        int lowest, highest;
    };
    const Guard guards[] = {
        {"NoteLength", &modCommon::SetNoteLength, &modCommon::NoteLength, 500, 2500},
        {"Velocity", &modCommon::SetVelocity, &modCommon::Velocity, 0, 127},
        {"MidiChannel (shown)", &modCommon::SetMidiChannel,
         [](const modCommon& m) { return m.MidiChannel() + 1; }, 1, 16},
        {"Octave", &modCommon::SetOctave, &modCommon::Octave, -2, 2},
        {"PlaySpacing (strum)",
         [](modCommon& m, int ms) { return m.SetPlayAs(PlayStyle::Strum) && m.SetPlaySpacing(ms); },
         &modCommon::PlaySpacing, kShortestSpacing, kLongestSpacing},
    };
    for (const Guard& g : guards) {
        SCOPED_TRACE(g.name);
        MidiRig rig;
        modCommon& m = *rig.midi;
        for (int ok : {g.lowest, g.highest}) {
            EXPECT_TRUE(g.set(m, ok));
            EXPECT_EQ(g.get(m), ok);
        }
        for (int bad : {g.lowest - 1, g.highest + 1, -1000, 100000}) {
            EXPECT_FALSE(g.set(m, bad)) << bad;
            EXPECT_EQ(g.get(m), g.highest) << bad;
        }
    }
    MidiRig rig;
    rig.midi->SetMidiChannel(17);
    EXPECT_EQ(rig.midi->NoteOnBase(), 0x3C90) << "a refused channel leaves the note-on base";
}

TEST(ModCommon, InitMidiSetsWhatTheSettingsWindowShows) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.SetNoteLength(1234);
    m.SetVelocity(1);
    m.InitMidi();
    EXPECT_EQ(m.NoteLength(), 500);
    EXPECT_EQ(m.Velocity(), 64);
    EXPECT_EQ(m.NoteOnBase(), 0x3C90);
    EXPECT_EQ(m.MidiOutHandle(), 0) << "no device is opened at start";
    EXPECT_EQ(rig.outputs->OpenCount(), 0);
}

struct PlayCase {
    const char* name;
    int root;
    int chordType;
    int inversion;
    int octave;
    int channel;  // as shown, 1..16
    std::vector<int> notes;
};

class PlayChordCases : public ::testing::TestWithParam<PlayCase> {};

TEST_P(PlayChordCases, NoteOnsThenNoteOffsInListOrder) {
    const PlayCase& c = GetParam();
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    m.SetMidiChannel(c.channel);
    m.SetOctave(c.octave);
    rig.outputs->Clear();
    const auto start = rig.clock->Now();
    m.PlayChord(c.root, c.chordType, c.inversion);

    std::vector<Note> expected;
    for (int n : c.notes) {
        expected.push_back({0x90 + c.channel - 1, n, 64});
    }
    for (int n : c.notes) {
        expected.push_back({0x80 + c.channel - 1, n, 64});
    }
    EXPECT_EQ(rig.Notes(), expected);

    // The note-ons go out at once, the note-offs when the note length has passed.
    const auto& events = rig.outputs->Events();
    for (std::size_t i = 0; i < events.size(); ++i) {
        const auto expectedTime =
            i < c.notes.size() ? start : start + std::chrono::milliseconds(m.NoteLength());
        EXPECT_EQ(events[i].time, expectedTime) << "event " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Chords, PlayChordCases,
    ::testing::Values(PlayCase{"CMajor", 0, kMajor, 0, 0, 1, {60, 64, 67}},
                      PlayCase{"CMajorFirst", 0, kMajor, 1, 0, 1, {72, 64, 67}},
                      PlayCase{"CMajorSecond", 0, kMajor, 2, 0, 1, {72, 76, 67}},
                      PlayCase{"CMajorThird", 0, kMajor, 3, 0, 1, {72, 76, 79}},
                      PlayCase{"BMajor7thThird", 11, kMajor7th, 3, 0, 1, {83, 87, 90, 82}},
                      PlayCase{"Channel16OctaveDown", 0, kMajor, 0, -2, 16, {36, 40, 43}},
                      PlayCase{"OctaveUp", 0, kMajor, 0, 2, 1, {84, 88, 91}},
                      // "13th" on B: the highest keys of the catalogue, two octaves up.
                      PlayCase{"B13thOctaveUp", 11, k13th, 0, 2, 3, {95, 99, 102, 105, 109, 116}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModCommon, VelocityIsCarriedByNoteOnsAndNoteOffs) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    for (int velocity : {0, 1, 100, 127}) {
        rig.outputs->Clear();
        m.SetVelocity(velocity);
        m.PlayChord(0, kMajor, 0);
        for (const Note& n : rig.Notes()) {
            EXPECT_EQ(n.data2, velocity);
        }
    }
}

TEST(ModCommon, ProgramChangeGoesToTheCurrentChannel) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    rig.outputs->Clear();
    m.SendProgramChange(0);
    m.SetMidiChannel(10);
    m.SendProgramChange(127);
    EXPECT_EQ(rig.outputs->Messages(), (std::vector<std::uint32_t>{0x00C0, 0x7FC9}));
}

TEST(ModCommon, NothingIsSentBeforeADeviceIsOpen) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SendProgramChange(5);
    m.PlayChord(0, kMajor, 0);
    m.ResetMidi();
    EXPECT_TRUE(rig.outputs->Events().empty());
    EXPECT_TRUE(rig.errors.empty());
    EXPECT_EQ(rig.clock->Now(), std::chrono::steady_clock::time_point(std::chrono::seconds(1000)) +
                                    std::chrono::milliseconds(500))
        << "the chord still takes its note length";
}

TEST(ModCommon, TheWaitSleepsInsteadOfPolling) {
    MidiRig rig;
    rig.midi->InitMidi();
    rig.midi->SelectDevice(0);
    rig.midi->PlayChord(0, kMajor, 0);
    EXPECT_EQ(rig.clock->sleeps, 1);
}

TEST(ModCommon, DeviceWhoseNameQueryFailsIsLeftOutAndTheChosenDeviceOpens) {
    // Device 1 cannot be queried: the list shows devices 0 and 2, and list entry 1 opens
    // device 2.
    MidiRig rig({{"Zero", true}, {std::nullopt, true}, {"Two", true}});
    // Without a settings window the names are queried but go nowhere.
    rig.midi->InitMidi();
    EXPECT_EQ(rig.outputs->OpenCount(), 0);
    rig.midi->SelectDevice(2);
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 2);
    EXPECT_NE(rig.midi->MidiOutHandle(), 0);
}

TEST(ModCommon, OpenFailureShowsTheMessageAndLeavesNoDeviceOpen) {
    MidiRig rig({{"Good", true}, {"Broken", false}});
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    ASSERT_NE(m.MidiOutHandle(), 0);
    m.SelectDevice(1);
    EXPECT_EQ(m.MidiOutHandle(), 0);
    EXPECT_EQ(m.OpenDeviceNumber(), -1);
    EXPECT_EQ(rig.outputs->OpenCount(), 0) << "the previous device was closed first";
    EXPECT_EQ(rig.errors,
              (std::vector<std::string>{"Vazevizaro Error|Failed to open MIDI Device"}));
    rig.outputs->Clear();
    m.PlayChord(0, kMajor, 0);
    EXPECT_TRUE(rig.outputs->Messages().empty());
}

TEST(ModCommon, ChoosingAnotherDeviceClosesThePreviousOne) {
    MidiRig rig({{"A", true}, {"B", true}});
    modCommon& m = *rig.midi;
    m.SelectDevice(0);
    const int first = m.MidiOutHandle();
    m.SelectDevice(1);
    EXPECT_NE(m.MidiOutHandle(), first);
    using K = RecordingOutputs::Kind;
    std::vector<std::pair<K, int>> seen;
    for (const auto& e : rig.outputs->Events()) {
        seen.emplace_back(e.kind, e.device);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<K, int>>{{K::Open, 0}, {K::Close, 0}, {K::Open, 1}}));
    EXPECT_EQ(rig.outputs->OpenCount(), 1);
}

TEST(ModCommon, ResetKeepsTheDeviceOpen) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.SelectDevice(0);
    const int handle = m.MidiOutHandle();
    m.ResetMidi();
    EXPECT_EQ(m.MidiOutHandle(), handle);
    ASSERT_EQ(rig.outputs->Events().size(), 2u);
    EXPECT_EQ(rig.outputs->Events()[1].kind, RecordingOutputs::Kind::Reset);
}

TEST(ModCommon, PlayYieldsBeforeAndAfterAndANestedPlayRunsWhole) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    rig.outputs->Clear();
    // A Play queued before the first yield (C major) and one queued before the second (C minor).
    int yields = 0;
    QObject::connect(&m, &modCommon::yieldRequested, [&] {
        ++yields;
        if (yields == 1) {
            m.PlayChord(0, 1, 0);  // C minor runs inside the first yield
        }
    });
    m.PlayChord(0, kMajor, 0);
    const std::vector<Note> expected{{0x90, 60, 64}, {0x90, 63, 64}, {0x90, 67, 64},
                                     {0x80, 60, 64}, {0x80, 63, 64}, {0x80, 67, 64},
                                     {0x90, 60, 64}, {0x90, 64, 64}, {0x90, 67, 64},
                                     {0x80, 60, 64}, {0x80, 64, 64}, {0x80, 67, 64}};
    EXPECT_EQ(rig.Notes(), expected);
    EXPECT_EQ(yields, 4);
}

TEST(ModCommon, AQueuedPlayRunsAtTheYieldOfTheEventLoop) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    m.InitMidi();
    m.SelectDevice(0);
    rig.outputs->Clear();
    QObject::connect(&m, &modCommon::yieldRequested, [] { QCoreApplication::processEvents(); });
    // The second Play press is queued while the first is being handled.
    QTimer::singleShot(0, [&] { m.PlayChord(0, 1, 0); });
    m.PlayChord(0, kMajor, 0);
    const std::vector<Note> notes = rig.Notes();
    ASSERT_EQ(notes.size(), 12u);
    // The queued minor chord ran completely at the first yield; the chords never overlap.
    EXPECT_EQ(notes[1], (Note{0x90, 63, 64}));
    EXPECT_EQ(notes[5], (Note{0x80, 67, 64}));
    EXPECT_EQ(notes[7], (Note{0x90, 64, 64}));
}

TEST(ModCommon, ARealTimePlayHoldsTheChordForTheNoteLength) {
    auto outputs = std::make_unique<RecordingOutputs>(
        std::vector<RecordingOutputs::DeviceSpec>{{"Recorder", true}});
    RecordingOutputs* rec = outputs.get();
    modCommon m(std::move(outputs));
    m.InitMidi();
    m.SelectDevice(0);
    rec->Clear();
    const auto pressed = std::chrono::steady_clock::now();
    m.PlayChord(0, kMajor, 0);
    const auto& events = rec->Events();
    ASSERT_EQ(events.size(), 6u);
    // The end time is taken after the press, so no note-off can come before the note length.
    for (std::size_t i = 3; i < 6; ++i) {
        EXPECT_GE(events[i].time - pressed, std::chrono::milliseconds(500));
    }
}

TEST(ModCommon, ShutDownRunsItsStepsOnceInOrder) {
    MidiRig rig;
    modCommon& m = *rig.midi;
    std::vector<std::string> steps;
    QObject::connect(&m, &modCommon::closingReminderRequested, [&] {
        steps.push_back(rig.outputs->OpenCount() == 1 ? "reminder (device open)" : "reminder");
        m.ShutDown();  // a second request while the reminder is up changes nothing
    });
    QObject::connect(&m, &modCommon::secondaryWindowsUnloadRequested, [&] {
        steps.push_back(rig.outputs->OpenCount() == 0 ? "unload (device closed)" : "unload");
    });
    QObject::connect(&m, &modCommon::endProcessRequested, [&] { steps.push_back("end"); });
    m.SelectDevice(0);
    m.ShutDown();
    m.ShutDown();
    EXPECT_EQ(steps, (std::vector<std::string>{"reminder (device open)", "unload (device closed)",
                                               "end"}));
    for (const auto& e : rig.outputs->Events()) {
        EXPECT_NE(e.kind, RecordingOutputs::Kind::Reset) << "the device is closed without reset";
    }
}

TEST(ModCommon, ShutDownWithoutReminderOrDevice) {
    MidiRig rig;
    bool ended = false;
    QObject::connect(rig.midi.get(), &modCommon::endProcessRequested, [&] { ended = true; });
    rig.midi->ShutDown();
    EXPECT_TRUE(ended);
}

TEST(OutputDevices, NamesAreCutTo31BytesWithoutSplittingACharacter) {
    EXPECT_EQ(FitDeviceName("Short"), "Short");
    EXPECT_EQ(FitDeviceName(std::string(40, 'x')), std::string(31, 'x'));
    // 30 ASCII bytes and then a two-byte character: it would end at byte 32, so it goes.
    EXPECT_EQ(FitDeviceName(std::string(30, 'a') + "\xC3\xA9z"), std::string(30, 'a'));
}

}  // namespace
}  // namespace quorvane::midi

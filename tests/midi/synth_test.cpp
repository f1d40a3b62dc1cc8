#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "AudioAnalysis.h"
#include "midi/BuiltinSynth.h"
#include "midi/InstrumentLoader.h"
#include "midi/SystemOutputs.h"
#include "midi/modCommon.h"
#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::midi {
namespace {

using testing::Dbfs;
using testing::NoteFrequency;
using testing::Peak;
using testing::Rms;
using testing::ToneStrength;

// The built-in synthesizer rendered offline: the same set-up as the device, pulled by the test
// instead of an audio driver. Left and right channels are mixed to one.
class OfflineSynth {
  public:
    OfflineSynth() {
        const auto soundfont = FindGeneralMidiSoundfont();
        if (soundfont) {
            setup_ = SynthSetup::Create(*soundfont);
        }
    }
    bool ok() const { return setup_ != nullptr; }
    SynthSetup& setup() { return *setup_; }

    std::vector<float> Render(double seconds) {
        const int frames = static_cast<int>(seconds * kSynthSampleRate);
        std::vector<float> left(static_cast<std::size_t>(frames));
        std::vector<float> right(static_cast<std::size_t>(frames));
        EXPECT_EQ(
            fluid_synth_write_float(setup_->synth(), frames, left.data(), 0, 1, right.data(), 0, 1),
            FLUID_OK);
        std::vector<float> mono(left.size());
        for (std::size_t i = 0; i < mono.size(); ++i) {
            mono[i] = 0.5f * (left[i] + right[i]);
        }
        peak_ = std::max({peak_, Peak(left), Peak(right)});
        return mono;
    }
    // The loudest sample of either channel so far.
    double peak() const { return peak_; }

  private:
    std::unique_ptr<SynthSetup> setup_;
    double peak_ = 0.0;
};

// The keys of a chord as the program sounds them on channel 1.
std::vector<int> ChordKeys(int root, int chordType, int inversion, int octave) {
    std::vector<int> out;
    for (const auto& note : theory::VoiceChord(theory::ChordTypes[chordType].intervals, root,
                                               inversion, theory::kTrebleClefOffset)) {
        out.push_back(Data1Of(NoteOnMessage(kMiddleCNoteOn, 64, note.soundingKey, octave)));
    }
    return out;
}

TEST(BuiltinSynth, FindsTheGeneralMidiSoundfont) {
    const auto found = FindGeneralMidiSoundfont();
    ASSERT_TRUE(found.has_value()) << "the setup installs a General MIDI soundfont";
    EXPECT_EQ(found->extension(), ".sf2");
}

TEST(BuiltinSynth, FallsBackToAnySoundfontInTheFolder) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("quorvane-sf2-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_FALSE(FindGeneralMidiSoundfont({{dir / "missing.sf2"}, dir}).has_value());
    std::ofstream(dir / "b.SF2") << "x";
    std::ofstream(dir / "a.sf2") << "x";
    std::ofstream(dir / "notes.txt") << "x";
    EXPECT_EQ(FindGeneralMidiSoundfont({{dir / "missing.sf2"}, dir}), dir / "a.sf2");
    EXPECT_EQ(FindGeneralMidiSoundfont({{dir / "missing.sf2", dir / "b.SF2"}, dir}), dir / "b.SF2");
    std::filesystem::remove_all(dir);
    EXPECT_FALSE(FindGeneralMidiSoundfont({{dir / "missing.sf2"}, dir / "gone"}).has_value());
}

TEST(BuiltinSynth, PrefersFluidR3ThenTimGM6mbThenTheFirstSoundfontInTheFolder) {
    const SoundfontPlaces places = SystemSoundfontPlaces();
    const std::filesystem::path dir = places.folder;
    const struct {
        std::vector<std::filesystem::path> present;
        std::optional<std::filesystem::path> chosen;
    } cases[] = {
        {{dir / "a.sf2", dir / "TimGM6mb.sf2", dir / "FluidR3_GM.sf2"}, dir / "FluidR3_GM.sf2"},
        {{dir / "a.sf2", dir / "TimGM6mb.sf2"}, dir / "TimGM6mb.sf2"},
        {{dir / "z.sf2", dir / "b.SF2", dir / "notes.txt", dir / "a.sf3"}, dir / "b.SF2"},
        {{"/elsewhere/a.sf2"}, std::nullopt},
        {{}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseGeneralMidiSoundfont(places, c.present), c.chosen) << c.present.size();
    }
}

TEST(BuiltinSynth, ASoundfontThatDoesNotLoadKeepsTheSoundAndSaysWhy) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    const std::filesystem::path playing = synth.setup().Soundfont();
    QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    std::ofstream(folder / "bad.sf2") << "not a soundfont";
    const struct {
        std::filesystem::path file;
        const char* reason;
    } cases[] = {{folder / "bad.sf2", "bad.sf2: "}, {folder / "missing.sf3", "does not exist"}};
    for (const auto& c : cases) {
        std::string why;
        EXPECT_FALSE(synth.setup().UseSoundfont(c.file, &why));
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_EQ(synth.setup().Soundfont(), playing);
    }
    EXPECT_TRUE(synth.setup().NoteOn(0, 60, 100));
    EXPECT_GT(Dbfs(Rms(synth.Render(0.3))), -40.0);
}

TEST(BuiltinSynth, AnotherSoundfontKeepsTheChannelsInstrument) {
    const SoundfontPlaces places = SystemSoundfontPlaces();
    ASSERT_GE(places.preferred.size(), 2u);
    std::unique_ptr<SynthSetup> setup = SynthSetup::Create(places.preferred[1]);
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(setup->ProgramChange(0, 40));
    std::string why;
    ASSERT_TRUE(setup->UseSoundfont(places.preferred[0], &why)) << why;
    EXPECT_EQ(setup->Soundfont(), places.preferred[0]);
    EXPECT_EQ(fluid_synth_sfcount(setup->synth()), 1);  // the old one is let go
    int font = 0, bank = 0, program = 0;
    fluid_synth_get_program(setup->synth(), 0, &font, &bank, &program);
    EXPECT_EQ(program, 40);
}

TEST(BuiltinSynth, NoSoundfontNoSynth) {
    EXPECT_EQ(SynthSetup::Create("/nonexistent/none.sf2"), nullptr);
}

TEST(BuiltinSynth, ShortBufferAndGainSettings) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    int period = 0;
    int periods = 0;
    double gain = 0.0;
    fluid_settings_getint(synth.setup().settings(), "audio.period-size", &period);
    fluid_settings_getint(synth.setup().settings(), "audio.periods", &periods);
    fluid_settings_getnum(synth.setup().settings(), "synth.gain", &gain);
    EXPECT_GE(period, 64);
    EXPECT_LE(period, 256);
    EXPECT_GE(periods, 2);
    EXPECT_LE(periods, 3);
    // What is queued after a note-on stays near 10 ms.
    EXPECT_LE(1000.0 * period * periods / kSynthSampleRate, 11.0);
    EXPECT_DOUBLE_EQ(gain, kSynthGain);
}

TEST(BuiltinSynth, PlaysTheNotesOfACMajorChordAndFallsSilentAfterRelease) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    EXPECT_TRUE(synth.setup().ProgramChange(0, 0));
    const auto keys = ChordKeys(0, 0, 0, 0);
    for (int key : keys) {
        EXPECT_TRUE(synth.setup().NoteOn(0, key, 64));
    }
    const std::vector<float> held = synth.Render(0.5);
    for (int key : keys) {
        EXPECT_TRUE(synth.setup().NoteOff(0, key));
    }
    const std::vector<float> release = synth.Render(4.0);

    const std::span<const float> body(held.data() + held.size() / 10, held.size() * 9 / 10);
    // Each note of the chord stands well above the semitones between them.
    double weakestChordTone = 1e9;
    for (int note : {60, 64, 67}) {
        weakestChordTone =
            std::min(weakestChordTone, ToneStrength(body, NoteFrequency(note), kSynthSampleRate));
    }
    EXPECT_NEAR(NoteFrequency(60), 261.6, 0.1);
    EXPECT_NEAR(NoteFrequency(64), 329.6, 0.1);
    EXPECT_NEAR(NoteFrequency(67), 392.0, 0.1);
    for (int note : {61, 62, 63, 65, 66, 68}) {
        EXPECT_GT(weakestChordTone,
                  10.0 * ToneStrength(body, NoteFrequency(note), kSynthSampleRate))
            << "note " << note;
    }
    // A musician hears it at a normal level.
    const double level = Dbfs(Rms(body));
    RecordProperty("CMajorVelocity64RmsDbfs", std::to_string(level));
    std::printf("C major at velocity 64: RMS %.1f dBFS, peak %.1f dBFS\n", level, Dbfs(Peak(body)));
    // FluidSynth's own default gain puts it near -50 dBFS; the program's gain brings it up by
    // more than 10 dB.
    EXPECT_GT(level, -38.0);
    EXPECT_GT(Dbfs(Peak(body)), -28.0);

    // After the release and the reverberation nothing sounds.
    const std::span<const float> tail(release.data() + release.size() * 3 / 4, release.size() / 4);
    EXPECT_LT(Dbfs(Peak(tail)), -80.0);
}

TEST(BuiltinSynth, SixNoteChordsAtFullVelocityDoNotClip) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    double loudest = 0.0;
    for (int type = 0; type < static_cast<int>(theory::ChordTypes.size()); ++type) {
        const auto voicing =
            theory::VoiceChord(theory::ChordTypes[type].intervals, 0, 0, theory::kTrebleClefOffset);
        if (voicing.size() != 6) {
            continue;
        }
        for (int root : {0, 11}) {
            for (int octave : {-2, 0, 2}) {
                const auto keys = ChordKeys(root, type, 0, octave);
                for (int key : keys) {
                    synth.setup().NoteOn(0, key, 127);
                }
                synth.Render(0.4);
                for (int key : keys) {
                    synth.setup().NoteOff(0, key);
                }
                synth.Render(0.1);
                loudest = std::max(loudest, synth.peak());
                synth.setup().Reset();
                synth.Render(0.05);
            }
        }
    }
    RecordProperty("SixNotePeakDbfs", std::to_string(Dbfs(loudest)));
    std::printf("six-note chords at velocity 127: peak %.1f dBFS\n", Dbfs(loudest));
    EXPECT_LT(loudest, 1.0);
}

TEST(BuiltinSynth, ResetSilencesEveryChannel) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    for (int channel : {0, 5, 15}) {
        synth.setup().NoteOn(channel, 60, 100);
    }
    synth.Render(0.2);
    EXPECT_TRUE(synth.setup().Reset());
    const std::vector<float> after = synth.Render(1.0);
    // Only the reverberation of the cut notes is left, and it dies away.
    const std::span<const float> tail(after.data() + after.size() * 3 / 4, after.size() / 4);
    EXPECT_LT(Dbfs(Peak(tail)), -80.0);
    EXPECT_EQ(fluid_synth_get_active_voice_count(synth.setup().synth()), 0);
}

}  // namespace
}  // namespace quorvane::midi

namespace quorvane::midi {
namespace {

// On a machine without any audio output every driver is tried and the open fails; with one, the
// device plays. Either way it returns (the suite's time limit catches a hang).
TEST(BuiltinSynth, OpensOnAnAudioOutputOrFails) {
    SystemOutputs outputs;
    ASSERT_GE(outputs.GetNumDevs(), 1);
    EXPECT_EQ(outputs.GetDevName(0), std::string(kBuiltinSynthName));
    EXPECT_LE(kBuiltinSynthName.size(), kMaxDeviceNameLength);
    std::unique_ptr<OutputDevice> device = outputs.Open(0);
    if (device) {
        EXPECT_TRUE(device->NoteOn(0, 60, 1));
        EXPECT_TRUE(device->NoteOff(0, 60, 1));
        EXPECT_TRUE(device->Reset());
        device->Close();
        EXPECT_FALSE(device->NoteOn(0, 60, 1)) << "a closed device takes nothing";
    }
    EXPECT_FALSE(outputs.GetDevName(-1).has_value());
    EXPECT_EQ(outputs.Open(outputs.GetNumDevs()), nullptr);
}

}  // namespace
}  // namespace quorvane::midi

namespace quorvane::midi {
namespace {

// An instrument change read on the loader's thread: the notes sent while it loads follow it in
// their order, and the channel ends on the new instrument.
TEST(InstrumentLoader, NotesSentDuringAChangeFollowItInOrder) {
    OfflineSynth synth;
    ASSERT_TRUE(synth.ok());
    InstrumentLoader loader(synth.setup());
    EXPECT_FALSE(loader.Send({SynthMessage::Kind::ProgramChange, 16, 0, 0}));
    EXPECT_TRUE(loader.Send({SynthMessage::Kind::ProgramChange, 0, 48, 0}));
    EXPECT_TRUE(loader.Send({SynthMessage::Kind::NoteOn, 0, 60, 100}));
    EXPECT_TRUE(loader.Send({SynthMessage::Kind::NoteOff, 0, 60, 0}));
    EXPECT_TRUE(loader.Send({SynthMessage::Kind::NoteOn, 0, 67, 100}));
    loader.WaitUntilSettled();
    int font = 0;
    int bank = 0;
    int program = 0;
    fluid_synth_get_program(synth.setup().synth(), 0, &font, &bank, &program);
    EXPECT_EQ(program, 48);
    // The strings hold a note while it is down: 60 has faded only if its note-off came after it.
    const std::vector<float> heard = synth.Render(1.5);
    const std::span<const float> body(heard.data() + heard.size() * 2 / 3, heard.size() / 3);
    EXPECT_GT(ToneStrength(body, NoteFrequency(67), kSynthSampleRate),
              5.0 * ToneStrength(body, NoteFrequency(60), kSynthSampleRate));
}

}  // namespace
}  // namespace quorvane::midi

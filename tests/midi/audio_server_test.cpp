// The program's devices against private audio servers. JACK (dummy back-end): a JACK MIDI port
// and the built-in synthesizer playing through JACK; the server is killed or stopped under them,
// idle and while a chord sounds: the process lives on, later sends, reset and close fail
// silently, and a device can be chosen again once the server is back. A test client of our own
// records what reaches the server. PulseAudio (null sink): the name the synthesizer shows.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "AudioAnalysis.h"
#include "JackProbe.h"
#include "JackServer.h"
#include "midi/BuiltinSynth.h"
#include "midi/SystemOutputs.h"
#include "midi/modCommon.h"

namespace quorvane::midi {
namespace {

using quorvane::testing::JackProbe;
using quorvane::testing::JackServer;
using Bytes = std::vector<std::uint8_t>;

// Polls `done` for up to `seconds`; its last answer.
bool WaitFor(const std::function<bool()>& done, double seconds = 5.0) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// The steady clock; the first wait of a played chord runs `whileSounding` first.
class ChordClock final : public MidiClock {
  public:
    time_point Now() override { return std::chrono::steady_clock::now(); }
    void SleepUntil(time_point deadline) override {
        if (whileSounding) {
            std::exchange(whileSounding, nullptr)();
        }
        std::this_thread::sleep_until(deadline);
    }
    std::function<void()> whileSounding;
};

class OnJack : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty()) {
            GTEST_SKIP() << "jackd is not installed";
        }
        // The program's devices first: they set the process up before any JACK client exists.
        auto outputs = std::make_unique<SystemOutputs>();
        auto clock = std::make_unique<ChordClock>();
        clock_ = clock.get();
        midi_ = std::make_unique<modCommon>(std::move(outputs), std::move(clock));
        QObject::connect(
            midi_.get(), &modCommon::errorOccurred,
            [this](const QString&, const QString& text, const QString& reason) {
                errors_.push_back((text + QStringLiteral(": ") + reason).toStdString());
            });
        midi_->SetNoteLength(500);  // the shortest the settings allow

        server_ = std::make_unique<JackServer>();
        if (!server_->Start()) {
            GTEST_SKIP() << "jackd cannot start: " << server_->Log();
        }
        server_->UseFromThisProcess();
        // No PulseAudio: the built-in synthesizer goes to JACK.
        setenv("PULSE_SERVER", "unix:/nonexistent/quorvane-test", 1);
        ConnectProbe();
    }

    void TearDown() override {
        midi_.reset();
        probe_.reset();
        server_.reset();
        unsetenv("JACK_DEFAULT_SERVER");
        unsetenv("PULSE_SERVER");
    }

    void ConnectProbe() {
        probe_ = JackProbe::Connect(server_->Name(), "recorder");
        ASSERT_NE(probe_, nullptr);
    }

    // Kills or stops the server and waits until its clients know.
    void LoseServer(bool kill) {
        kill ? server_->Kill() : server_->Terminate();
        EXPECT_TRUE(WaitFor([this] { return !probe_->ServerAlive(); }));
    }

    void BringServerBack() {
        probe_.reset();
        ASSERT_TRUE(server_->Start()) << server_->Log();
        ConnectProbe();
    }

    // The device number of the listed device of that name.
    int DeviceNamed(const std::string& name) {
        for (const modCommon::ListedDevice& d : midi_->ListDevices()) {
            if (d.name == name) {
                return d.device;
            }
        }
        return -1;
    }

    // Chooses the recorder's MIDI input and checks that a played C major chord reaches it.
    void ChooseRecorderAndPlay() {
        const std::string port = probe_->RecordMidi();
        const int device = DeviceNamed(port);
        ASSERT_GT(device, 0) << port << " is not listed";
        midi_->SelectDevice(device);
        ASSERT_NE(midi_->MidiOutHandle(), 0) << (errors_.empty() ? "" : errors_.back());
        midi_->PlayChord(0, 0, 0);
        std::vector<Bytes> got;
        WaitFor([&] {
            for (Bytes& m : probe_->TakeMidi()) {
                got.push_back(std::move(m));
            }
            return got.size() >= 6;
        });
        EXPECT_EQ(got, (std::vector<Bytes>{{0x90, 60, 64},
                                           {0x90, 64, 64},
                                           {0x90, 67, 64},
                                           {0x80, 60, 64},
                                           {0x80, 64, 64},
                                           {0x80, 67, 64}}));
    }

    // Every operation on the lost device returns, quietly.
    void UseTheLostDevice() {
        midi_->PlayChord(0, 0, 0);
        midi_->ResetMidi();
        midi_->SendProgramChange(5);
        EXPECT_TRUE(errors_.empty()) << errors_.front();
    }

    ChordClock* clock_ = nullptr;
    std::unique_ptr<modCommon> midi_;
    std::vector<std::string> errors_;
    std::unique_ptr<JackServer> server_;
    std::unique_ptr<JackProbe> probe_;
};

enum class Loss { KilledIdle, KilledWhileAChordSounds, StoppedIdle };

class JackPortLoss : public OnJack, public ::testing::WithParamInterface<Loss> {};

TEST_P(JackPortLoss, TheProgramLivesOnAndChoosesThePortAgainOnceTheServerIsBack) {
    ChooseRecorderAndPlay();
    switch (GetParam()) {
        case Loss::KilledIdle:
            LoseServer(true);
            break;
        case Loss::KilledWhileAChordSounds:
            clock_->whileSounding = [this] { LoseServer(true); };
            break;
        case Loss::StoppedIdle:
            LoseServer(false);
            break;
    }
    UseTheLostDevice();
    BringServerBack();
    ChooseRecorderAndPlay();  // closes the lost device first
    EXPECT_TRUE(errors_.empty()) << errors_.front();
}

INSTANTIATE_TEST_SUITE_P(Losses, JackPortLoss,
                         ::testing::Values(Loss::KilledIdle, Loss::KilledWhileAChordSounds,
                                           Loss::StoppedIdle),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Loss::KilledIdle:
                                     return "KilledIdle";
                                 case Loss::KilledWhileAChordSounds:
                                     return "KilledWhileAChordSounds";
                                 case Loss::StoppedIdle:
                                     break;
                             }
                             return "StoppedIdle";
                         });

// On a system where JACK is the only audio server the built-in synthesizer goes to JACK under
// the program's name, with its outputs connected to the system's playback ports, and is heard.
TEST_F(OnJack, TheBuiltinSynthesizerIsNamedConnectedAndHeard) {
    midi_->SelectDevice(0);
    ASSERT_NE(midi_->MidiOutHandle(), 0) << errors_.front();
    const std::string left = std::string(kAudioClientName) + ":left";
    const std::string right = std::string(kAudioClientName) + ":right";
    ASSERT_TRUE(probe_->WaitForPort(left, 5.0))
        << "ports: " << ::testing::PrintToString(probe_->Ports());
    EXPECT_TRUE(probe_->Ports("fluidsynth").empty());
    EXPECT_EQ(probe_->Connections(left), std::vector<std::string>{"system:playback_1"});
    EXPECT_EQ(probe_->Connections(right), std::vector<std::string>{"system:playback_2"});

    ASSERT_TRUE(probe_->RecordAudio({left, right}));
    midi_->SetNoteLength(600);
    midi_->PlayChord(0, 0, 0);
    const std::vector<float> stereo = probe_->TakeAudio();
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    }
    const int rate = probe_->SampleRate();
    std::size_t start = 0;
    while (start < mono.size() && std::fabs(mono[start]) < 1e-3f) {
        ++start;
    }
    ASSERT_LT(start + static_cast<std::size_t>(rate) / 4, mono.size()) << "nothing was heard";
    const std::span<const float> body(mono.data() + start + rate / 20,
                                      static_cast<std::size_t>(rate) / 5);
    double weakest = 1e9;
    for (int note : {60, 64, 67}) {
        weakest =
            std::min(weakest, testing::ToneStrength(body, testing::NoteFrequency(note), rate));
    }
    for (int note : {62, 65, 69}) {
        EXPECT_GT(weakest, 10.0 * testing::ToneStrength(body, testing::NoteFrequency(note), rate))
            << note;
    }
}

TEST_F(OnJack, TheBuiltinSynthesizerOutlivesItsServerAndOpensAgainWhenItIsBack) {
    const std::string left = std::string(kAudioClientName) + ":left";
    midi_->SelectDevice(0);
    ASSERT_TRUE(probe_->WaitForPort(left, 5.0));
    clock_->whileSounding = [this] { LoseServer(true); };
    UseTheLostDevice();
    // Chosen again with no server, it opens on another output or fails with the message.
    midi_->SelectDevice(0);
    EXPECT_LE(errors_.size(), 1u);
    errors_.clear();
    midi_->PlayChord(0, 0, 0);

    BringServerBack();
    midi_->SelectDevice(0);
    ASSERT_NE(midi_->MidiOutHandle(), 0) << errors_.front();
    EXPECT_TRUE(probe_->WaitForPort(left, 5.0));
    // Stopped properly this time, then closed.
    LoseServer(false);
    midi_->PlayChord(0, 0, 0);
    midi_->SelectDevice(0);
    EXPECT_LE(errors_.size(), 1u);
}

// In a PulseAudio volume mixer the synthesizer's stream belongs to the program, not FluidSynth.
TEST(OnPulseAudio, TheBuiltinSynthesizersStreamIsTheProgramsInTheMixer) {
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    const QString pactl = QStandardPaths::findExecutable(QStringLiteral("pactl"));
    QTemporaryDir dir;
    if (pulseaudio.isEmpty() || pactl.isEmpty() || !dir.isValid()) {
        GTEST_SKIP() << "pulseaudio or pactl is not installed";
    }
    const QString server = QStringLiteral("unix:") + dir.filePath(QStringLiteral("native"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("PULSE_SERVER"), server);
    QProcess daemon;
    daemon.setProcessEnvironment(env);
    daemon.setProcessChannelMode(QProcess::MergedChannels);
    daemon.start(pulseaudio,
                 {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                  QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                  QStringLiteral("-L"), QStringLiteral("module-null-sink"), QStringLiteral("-L"),
                  QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") +
                      dir.filePath(QStringLiteral("native"))});
    const auto ask = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(pactl, args);
        p.waitForFinished(5000);
        return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
    };
    if (!WaitFor([&] { return !ask({QStringLiteral("info")}).isEmpty(); })) {
        daemon.kill();
        daemon.waitForFinished(3000);
        GTEST_SKIP() << "pulseaudio cannot start: " << daemon.readAll().toStdString();
    }
    setenv("PULSE_SERVER", server.toLocal8Bit().constData(), 1);
    SystemOutputs outputs;
    std::unique_ptr<OutputDevice> synth = outputs.Open(0);
    EXPECT_NE(synth, nullptr) << outputs.LastOpenError();
    const QByteArray streams = ask({QStringLiteral("list"), QStringLiteral("sink-inputs")});
    synth.reset();
    unsetenv("PULSE_SERVER");
    daemon.terminate();
    daemon.waitForFinished(5000);
    EXPECT_TRUE(streams.contains("application.name = \"Quorvane\"")) << streams.toStdString();
    EXPECT_FALSE(streams.contains("application.name = \"FluidSynth\""));
}

}  // namespace
}  // namespace quorvane::midi

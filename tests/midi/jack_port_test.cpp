// The system-port path end to end: a JACK server with its dummy backend, the FluidSynth
// command-line synthesizer as a JACK MIDI client rendering to a file, and the program playing a
// chord to that port through its own device list.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <optional>

#include "AudioAnalysis.h"
#include "JackServer.h"
#include "midi/BuiltinSynth.h"
#include "midi/SystemOutputs.h"
#include "midi/modCommon.h"

namespace quorvane::midi {
namespace {

using quorvane::testing::JackServer;
using testing::NoteFrequency;
using testing::ToneStrength;

constexpr int kRate = 48000;

// Ends a process the test started, by its own handle.
void Stop(QProcess& process) {
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

class JackPort : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        const QString fluidsynth = QStandardPaths::findExecutable(QStringLiteral("fluidsynth"));
        soundfont_ = FindGeneralMidiSoundfont();
        if (jackd.isEmpty() || fluidsynth.isEmpty() || !soundfont_) {
            GTEST_SKIP() << "jackd, fluidsynth or the soundfont is not installed";
        }
        ASSERT_TRUE(dir_.isValid());
        server_ = std::make_unique<JackServer>(JackServer::kDefaultPrefix, kRate);
        if (!server_->Start()) {
            GTEST_SKIP() << "jackd cannot start: " << server_->Log();
        }
        // The program and the test's own clients talk to this server only and never start one.
        server_->UseFromThisProcess();

        rendered_ = dir_.filePath(QStringLiteral("out.raw"));
        synth_.setProcessChannelMode(QProcess::MergedChannels);
        synth_.start(fluidsynth,
                     {QStringLiteral("-a"), QStringLiteral("file"), QStringLiteral("-m"),
                      QStringLiteral("jack"), QStringLiteral("-r"), QString::number(kRate),
                      QStringLiteral("-T"), QStringLiteral("raw"), QStringLiteral("-O"),
                      QStringLiteral("float"), QStringLiteral("-o"),
                      QStringLiteral("audio.file.name=") + rendered_, QStringLiteral("-o"),
                      QStringLiteral("midi.jack.server=") + QString::fromStdString(server_->Name()),
                      QString::fromStdString(soundfont_->string())});
        ASSERT_TRUE(synth_.waitForStarted(5000));
    }

    void TearDown() override {
        Stop(synth_);
        server_.reset();
        unsetenv("JACK_DEFAULT_SERVER");
    }

    // Device number of the synthesizer's MIDI input in the program's list.
    std::optional<int> FindSynthPort(OutputDevices& devices) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const int count = devices.GetNumDevs();
            for (int d = 1; d < count; ++d) {
                const auto name = devices.GetDevName(d);
                if (name && name->find("fluidsynth") != std::string::npos) {
                    return d;
                }
            }
            if (synth_.state() == QProcess::NotRunning) {
                break;
            }
            QThread::msleep(100);
        }
        return std::nullopt;
    }

    std::optional<std::filesystem::path> soundfont_;
    QTemporaryDir dir_;
    std::unique_ptr<JackServer> server_;
    QString rendered_;
    QProcess synth_;
};

TEST_F(JackPort, AChordPlayedToAJackPortIsRenderedWithItsFundamentals) {
    auto owned = std::make_unique<SystemOutputs>();
    SystemOutputs* outputs = owned.get();
    const std::optional<int> port = FindSynthPort(*outputs);
    ASSERT_TRUE(port.has_value()) << "fluidsynth's port was not listed: "
                                  << synth_.readAll().toStdString();
    EXPECT_LE(outputs->GetDevName(*port)->size(), kMaxDeviceNameLength);

    modCommon midi(std::move(owned));
    QObject::connect(&midi, &modCommon::errorOccurred,
                     [](const QString& title, const QString& text, const QString& reason) {
                         ADD_FAILURE() << title.toStdString() << ": " << text.toStdString() << ": "
                                       << reason.toStdString();
                     });
    midi.InitMidi();
    midi.SelectDevice(*port);
    ASSERT_NE(midi.MidiOutHandle(), 0);
    midi.SendProgramChange(0);
    midi.SetNoteLength(1000);
    midi.PlayChord(0, 0, 0);  // C major, real time
    midi.ResetMidi();
    QThread::msleep(1500);  // the release is rendered too

    synth_.write("quit\n");
    synth_.closeWriteChannel();
    ASSERT_TRUE(synth_.waitForFinished(10000)) << "fluidsynth did not quit";

    QFile file(rendered_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    std::vector<float> stereo(static_cast<std::size_t>(bytes.size()) / sizeof(float));
    std::memcpy(stereo.data(), bytes.constData(), stereo.size() * sizeof(float));
    std::vector<float> mono(stereo.size() / 2);
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = 0.5f * (stereo[2 * i] + stereo[2 * i + 1]);
    }
    // The chord starts where the rendering first rises above silence.
    std::size_t start = 0;
    while (start < mono.size() && std::fabs(mono[start]) < 1e-3f) {
        ++start;
    }
    ASSERT_LT(start + kRate / 2, mono.size()) << "nothing was rendered";
    const std::span<const float> body(mono.data() + start + kRate / 20, kRate / 2);
    double weakest = 1e9;
    for (int note : {60, 64, 67}) {
        weakest = std::min(weakest, ToneStrength(body, NoteFrequency(note), kRate));
    }
    for (int note : {61, 62, 63, 65, 66, 68}) {
        EXPECT_GT(weakest, 10.0 * ToneStrength(body, NoteFrequency(note), kRate)) << note;
    }
}

}  // namespace
}  // namespace quorvane::midi

// The program with a JACK server: a JACK MIDI port and the built-in synthesizer playing through
// JACK, the server killed under it, devices that appear after start, the end by a signal while a
// chord sounds, and chords played into the program's MIDI input. jack_probe (of the test suite)
// plays the outside world: a MIDI port that records what reaches it, a keyboard that plays into
// a MIDI port, and a recorder of the synthesizer's audio.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <map>
#include <vector>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <chrono>

#include "Desktop.h"

namespace quorvane::e2e {
namespace {

// The mouse's left button through the XTEST extension on a display, with the moment the server
// has taken the release. The X libraries are loaded here (their headers' macros clash with the
// test framework's names).
class XTestMouse {
  public:
    explicit XTestMouse(const QString& display)
        : x11_(dlopen("libX11.so.6", RTLD_NOW)), xtst_(dlopen("libXtst.so.6", RTLD_NOW)) {
        if (x11_ == nullptr || xtst_ == nullptr) {
            return;
        }
        const auto open = reinterpret_cast<void* (*)(const char*)>(dlsym(x11_, "XOpenDisplay"));
        sync_ = reinterpret_cast<int (*)(void*, int)>(dlsym(x11_, "XSync"));
        close_ = reinterpret_cast<int (*)(void*)>(dlsym(x11_, "XCloseDisplay"));
        button_ = reinterpret_cast<ButtonFn>(dlsym(xtst_, "XTestFakeButtonEvent"));
        motion_ = reinterpret_cast<MotionFn>(dlsym(xtst_, "XTestFakeMotionEvent"));
        if (open != nullptr && sync_ != nullptr && close_ != nullptr) {
            display_ = open(display.toLocal8Bit().constData());
        }
    }
    ~XTestMouse() {
        if (display_ != nullptr) {
            close_(display_);
        }
        for (void* library : {xtst_, x11_}) {
            if (library != nullptr) {
                dlclose(library);
            }
        }
    }
    XTestMouse(const XTestMouse&) = delete;
    XTestMouse& operator=(const XTestMouse&) = delete;
    bool Usable() const { return display_ != nullptr && button_ != nullptr && motion_ != nullptr; }
    void MoveTo(int x, int y) {
        motion_(display_, -1, x, y, 0);
        sync_(display_, 0);
    }
    void Press() {
        button_(display_, 1, 1, 0);
        sync_(display_, 0);
    }
    // Released no later than the time returned.
    std::chrono::steady_clock::time_point Release() {
        button_(display_, 1, 0, 0);
        sync_(display_, 0);
        return std::chrono::steady_clock::now();
    }

  private:
    using ButtonFn = int (*)(void*, unsigned, int, unsigned long);
    using MotionFn = int (*)(void*, int, int, int, unsigned long);
    void* x11_;
    void* xtst_;
    void* display_ = nullptr;
    int (*sync_)(void*, int) = nullptr;
    int (*close_)(void*) = nullptr;
    ButtonFn button_ = nullptr;
    MotionFn motion_ = nullptr;
};

class WithJack : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const QString& why : {desktop_.StartX(), desktop_.StartJack()}) {
            if (!why.isEmpty()) {
                GTEST_SKIP() << why.toStdString();
            }
        }
    }

    // A MIDI input port "jack_probe:midi_in" that records what it receives.
    bool StartMidiPort() {
        if (!midiPort_.Start(BuildProgram(QStringLiteral("jack_probe")),
                             {QStringLiteral("midi"), QStringLiteral("120")}, desktop_.Env())) {
            return false;
        }
        for (int i = 0; i < 100; ++i) {
            if (midiPort_.Output().contains("midi_in")) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    // A recording port that notes when each message arrived ("t=MICROSECONDS 90 3c 40").
    bool StartTimedMidiPort() {
        return midiPort_.Start(BuildProgram(QStringLiteral("jack_probe")),
                               {QStringLiteral("timed-midi"), QStringLiteral("120")},
                               desktop_.Env()) &&
               WaitForPort();
    }
    bool WaitForPort() {
        for (int i = 0; i < 100; ++i) {
            if (midiPort_.Output().contains("midi_in")) {
                return true;
            }
            QThread::msleep(50);
        }
        return false;
    }
    struct Arrival {
        double ms;  // of the steady clock
        QString message;
    };
    std::vector<Arrival> Arrivals() {
        std::vector<Arrival> out;
        static const QRegularExpression line(QStringLiteral("^t=(\\d+) (.+)$"),
                                             QRegularExpression::MultilineOption);
        for (auto it = line.globalMatch(QString::fromLatin1(midiPort_.Output())); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            out.push_back({m.captured(1).toDouble() / 1000.0, m.captured(2)});
        }
        return out;
    }
    // The messages the port has received, one "90 3c 40" a line.
    QStringList Received() {
        QStringList lines = QString::fromLatin1(midiPort_.Output()).split(QLatin1Char('\n'));
        return lines.filter(QRegularExpression(QStringLiteral("^[0-9a-f]{2}( [0-9a-f]{2})+$")));
    }
    // Opens the settings window (the built-in synthesizer opens) and chooses the entry after
    // it, the JACK port.
    void ChooseMidiPort(App& app) {
        const QString settings = app.OpenMidiSettings();
        ASSERT_FALSE(settings.isEmpty());
        QThread::msleep(300);
        desktop_.Keys(settings, {QStringLiteral("Down")});
        QThread::msleep(300);
    }
    // The program started, past its reminder, playing to the JACK port.
    void StartOnMidiPort(App& app) {
        ASSERT_TRUE(app.Start());
        ASSERT_FALSE(app.PassReminder().isEmpty());
        ChooseMidiPort(app);
    }
    void Play(App& app) { desktop_.Keys(app.MainWindow(), {QStringLiteral("Return")}); }
    // jack_probe as a keyboard on "keys:midi_out", with the arguments after its name.
    bool StartKeyboard(Child& keyboard, const QStringList& args) {
        if (!keyboard.Start(BuildProgram(QStringLiteral("jack_probe")),
                            QStringList{QStringLiteral("-c"), QStringLiteral("keys")} + args,
                            desktop_.Env())) {
            return false;
        }
        for (int i = 0; i < 100 && !keyboard.Output().contains("keys:midi_out"); ++i) {
            QThread::msleep(50);
        }
        return true;
    }
    // The program started, playing to the recording port and listening to the keyboard: the
    // output entry after the synthesizer, and the input list, before the output list in the
    // backward focus order (past the echo box), at its entry after "(none)".
    void StartWithKeyboard(App& app) {
        ASSERT_TRUE(app.Start());
        ASSERT_FALSE(app.PassReminder().isEmpty());
        const QString settings = app.OpenMidiSettings();
        ASSERT_FALSE(settings.isEmpty());
        QThread::msleep(300);
        desktop_.Keys(settings, {QStringLiteral("Down"), QStringLiteral("shift+Tab"),
                                 QStringLiteral("shift+Tab"), QStringLiteral("Down")});
    }
    // What the program logged of the chords it named, in order.
    static QStringList Named(App& app) {
        return QString::fromLocal8Bit(app.Process().Output())
            .split(QLatin1Char('\n'))
            .filter(QStringLiteral("Played chord: "));
    }

    Desktop desktop_;
    Child midiPort_;
};

TEST_F(WithJack, KillingTheServerUnderAnOpenPortLeavesTheProgramRunning) {
    for (const bool midChord : {false, true}) {
        SCOPED_TRACE(midChord ? "mid-chord" : "idle");
        if (!desktop_.JackRunning()) {
            ASSERT_EQ(desktop_.StartJack(), QString());
        }
        midiPort_.Stop();
        ASSERT_TRUE(StartMidiPort());
        App app(desktop_);
        ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
        Play(app);
        QThread::msleep(600);
        ASSERT_TRUE(Received().contains(QStringLiteral("90 3c 40")))
            << midiPort_.Output().toStdString();
        if (midChord) {
            Play(app);
            QThread::msleep(80);
        }
        desktop_.KillJack(SIGKILL);
        QThread::msleep(1000);
        ASSERT_TRUE(app.Process().Running()) << app.Process().Output().toStdString();
        Play(app);  // silent now
        QThread::msleep(600);
        EXPECT_TRUE(app.Process().Running());
        EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
    }
}

TEST_F(WithJack, BuiltInSynthesizerIsHeardThroughJackAndSurvivesTheServer) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    ASSERT_FALSE(app.PassReminder().isEmpty());
    // No PulseAudio here: the synthesizer opens on JACK, under the program's name, connected
    // to the system's playback ports.
    ASSERT_FALSE(app.OpenMidiSettings().isEmpty());
    QThread::msleep(800);
    const QByteArray ports = desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                                           {QStringLiteral("ports"), QStringLiteral("Quorvane")});
    EXPECT_TRUE(ports.contains("-> system:playback_1")) << ports.toStdString();
    EXPECT_TRUE(ports.contains("-> system:playback_2")) << ports.toStdString();
    const QStringList outputs =
        QString::fromLatin1(ports).split(QLatin1Char('\n')).filter(QStringLiteral("playback_"));
    ASSERT_EQ(outputs.size(), 2) << ports.toStdString();
    QStringList recordArgs{QStringLiteral("record"), QStringLiteral("2"),
                           desktop_.Folder() + QStringLiteral("/synth.raw")};
    for (const QString& line : outputs) {
        recordArgs << line.section(QStringLiteral(" -> "), 0, 0).trimmed();
    }
    Child recorder;
    ASSERT_TRUE(
        recorder.Start(BuildProgram(QStringLiteral("jack_probe")), recordArgs, desktop_.Env()));
    QThread::msleep(300);
    Play(app);
    ASSERT_EQ(recorder.Wait(10000), 0) << recorder.Output().toStdString();
    const QRegularExpressionMatch peak = QRegularExpression(QStringLiteral("peak=([0-9.]+)"))
                                             .match(QString::fromLatin1(recorder.Output()));
    ASSERT_TRUE(peak.hasMatch()) << recorder.Output().toStdString();
    EXPECT_GT(peak.captured(1).toDouble(), 0.01);

    Play(app);
    QThread::msleep(80);
    desktop_.KillJack(SIGKILL);
    QThread::msleep(1000);
    ASSERT_TRUE(app.Process().Running()) << app.Process().Output().toStdString();
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

TEST_F(WithJack, AGracefulServerStopThenExitEndsNormally) {
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    desktop_.KillJack(SIGTERM);
    QThread::msleep(800);
    ASSERT_TRUE(app.Process().Running()) << app.Process().Output().toStdString();
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

TEST_F(WithJack, APortThatAppearsAfterStartCanBeChosen) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    ASSERT_FALSE(app.PassReminder().isEmpty());
    const QString settings = app.OpenMidiSettings();
    ASSERT_FALSE(settings.isEmpty());
    QThread::msleep(300);
    // Plugged in now; the list is read again when the settings window is activated.
    ASSERT_TRUE(StartMidiPort());
    desktop_.Focus(app.MainWindow());
    desktop_.Keys(settings, {QStringLiteral("Down")});
    QThread::msleep(300);
    Play(app);
    QThread::msleep(600);
    EXPECT_TRUE(Received().contains(QStringLiteral("90 3c 40")))
        << midiPort_.Output().toStdString();
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(WithJack, ASignalMidChordReleasesTheNotesAndEndsWithStatusZero) {
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    Play(app);
    QThread::msleep(100);
    app.Process().Signal(SIGTERM);
    EXPECT_EQ(app.Process().Wait(5000), 0) << app.Process().Output().toStdString();
    QThread::msleep(300);
    const QStringList received = Received();
    for (const char* off : {"80 3c 40", "80 40 40", "80 43 40"}) {
        EXPECT_TRUE(received.contains(QLatin1String(off)))
            << off << " missing in: " << received.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_TRUE(desktop_.WindowGone(QStringLiteral("^Velmira$"), 200));
}

// A keyboard on JACK plays C major in first inversion, then "B" "13th" (one message with running
// status), then a cluster that is no catalogue chord: the program names each, and echoes the
// notes to its output, the recording port.
TEST_F(WithJack, ChordsPlayedOnAMidiInputAreNamedAndEchoed) {
    ASSERT_TRUE(StartMidiPort());
    Child keyboard;
    const QStringList events{
        // E G C, held, then released.
        "90,40,50", "90,43,50", "90,48,50", "+500", "80,40,00", "80,43,00", "80,48,00", "+300",
        // B 13th: B D# F# A C# G#, pressed and released at once.
        "90,47,50,4b,50,4e,50,51,50,55,50,5c,50", "+500", "80,47,00,4b,00,4e,00,51,00,55,00,5c,00",
        "+300",
        // C C# D.
        "90,3c,50", "90,3d,50", "90,3e,50", "+500", "80,3c,00", "80,3d,00", "80,3e,00"};
    ASSERT_TRUE(StartKeyboard(keyboard,
                              QStringList{QStringLiteral("play"), QStringLiteral("60")} + events));
    App app(desktop_);
    StartWithKeyboard(app);
    ASSERT_EQ(keyboard.Wait(30000), 0)
        << keyboard.Output().toStdString() << app.Process().Output().toStdString();
    QThread::msleep(300);

    const QStringList named = Named(app);
    const QStringList expected{QStringLiteral("CMajor First Inversion"),
                               QStringLiteral("B13th Basic"),
                               QStringLiteral("Not in the catalogue: C C# D")};
    qsizetype from = 0;
    for (const QString& chord : expected) {
        qsizetype at = from;
        while (at < named.size() && !named[at].endsWith(chord)) {
            ++at;
        }
        ASSERT_LT(at, named.size()) << chord.toStdString() << " not named after line " << from
                                    << " of: " << named.join(QLatin1Char('|')).toStdString();
        from = at + 1;
    }
    const QStringList received = Received();
    for (const char* echo : {"90 40 50", "90 43 50", "90 48 50", "80 48 00", "90 47 50", "90 5c 50",
                             "80 5c 00", "90 3e 50", "80 3e 00"}) {
        EXPECT_TRUE(received.contains(QLatin1String(echo)))
            << echo << " not echoed: " << received.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

// The output routed straight back into the input (a loop of cables): each played note is echoed
// once, and the chord is named once, not again for its own echo coming back.
TEST_F(WithJack, TheEchoRoutedBackIntoTheInputIsNotPlayedAgain) {
    ASSERT_TRUE(StartMidiPort());
    Child keyboard;
    ASSERT_TRUE(StartKeyboard(
        keyboard,
        {QStringLiteral("play"), QStringLiteral("60"), QStringLiteral("+2000"), "91,3c,50",
         "91,40,50", "91,43,50", "+500", "81,3c,00", "81,40,00", "81,43,00", "+300"}));
    App app(desktop_);
    StartWithKeyboard(app);
    // The program's ports, as the probe's ports see them; then its output into its input.
    const auto peer = [&](const char* port) {
        const QByteArray listed = desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                                                {QStringLiteral("ports"), QLatin1String(port)});
        return QString::fromLatin1(listed).section(QStringLiteral("-> "), 1).section('\n', 0, 0);
    };
    QString output, input;
    for (int i = 0; i < 50 && (output.isEmpty() || input.isEmpty()); ++i, QThread::msleep(50)) {
        output = peer("jack_probe:midi_in");
        input = peer("keys:midi_out");
    }
    int connected = -1;
    desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                  {QStringLiteral("connect"), output, input}, 10000, &connected);
    ASSERT_EQ(connected, 0) << output.toStdString() << " -> " << input.toStdString();
    ASSERT_EQ(keyboard.Wait(30000), 0) << keyboard.Output().toStdString();
    QThread::msleep(300);

    const QStringList named = Named(app);
    EXPECT_EQ(named.size(), 1) << named.join(QLatin1Char('|')).toStdString();
    QStringList received = Received();
    received.sort();
    EXPECT_EQ(received, (QStringList{"80 3c 00", "80 40 00", "80 43 00", "90 3c 50", "90 40 50",
                                     "90 43 50"}));
    EXPECT_EQ(app.Exit(), 0);
}

// What a broken device or a loop sends, at ten thousand notes a second: the window keeps
// answering, memory stays put, and once every note is off nothing is held and nothing that was
// echoed still sounds.
TEST_F(WithJack, AFloodOfHostileInputLeavesTheWindowAnsweringAndNothingSounding) {
    ASSERT_TRUE(desktop_.StartJack(192000, 1024).isEmpty());
    ASSERT_TRUE(StartMidiPort());
    Child keyboard;
    ASSERT_TRUE(StartKeyboard(
        keyboard, {QStringLiteral("flood"), QStringLiteral("10"), QStringLiteral("10000")}));
    App app(desktop_);
    StartWithKeyboard(app);
    const auto rss = [&] {
        QFile status(QStringLiteral("/proc/%1/status").arg(app.Process().Pid()));
        status.open(QIODevice::ReadOnly);
        const QString text = QString::fromLatin1(status.readAll());
        return text.section(QStringLiteral("VmRSS:"), 1).trimmed().section(' ', 0, 0).toLong();
    };
    const long kbBefore = rss();
    std::vector<double> pings;
    QElapsedTimer flooding;
    flooding.start();
    while (keyboard.Running()) {
        ASSERT_LT(flooding.elapsed(), 60000) << "the flood did not end";
        // What the programs write is read as it comes (which also notes the keyboard's end).
        app.Process().Output();
        midiPort_.Output();
        keyboard.Output();
        pings.push_back(desktop_.Ping(app.MainWindow()));
        ASSERT_GE(pings.back(), 0) << "the window did not answer";
        QThread::msleep(50);
    }
    ASSERT_EQ(keyboard.Wait(1000), 0) << keyboard.Output().toStdString();
    std::sort(pings.begin(), pings.end());
    std::printf("flood: %s; %zu pings, median %.1f ms, worst %.1f ms; resident %ld -> %ld kB\n",
                keyboard.Output().trimmed().split('\n').last().constData(), pings.size(),
                pings[pings.size() / 2], pings.back(), kbBefore, rss());
    EXPECT_LT(rss() - kbBefore, 64 * 1024) << "kB more after the flood";
    QThread::msleep(300);

    const QStringList named = Named(app);
    ASSERT_FALSE(named.isEmpty());
    EXPECT_TRUE(named.last().endsWith(QStringLiteral("CMajor Basic"))) << "held after the flood";
    std::map<std::pair<int, int>, bool> sounding;
    for (const QString& line : Received()) {
        const QStringList bytes = line.split(QLatin1Char(' '));
        const int status = bytes[0].toInt(nullptr, 16), data2 = bytes.value(2).toInt(nullptr, 16);
        if ((status & 0xE0) == 0x80 || (status & 0xF0) == 0xB0) {
            const int key = (status & 0xF0) == 0xB0 ? 128 : bytes[1].toInt(nullptr, 16);
            sounding[{status & 0x0F, key}] =
                (status & 0xF0) == 0xB0 ? data2 >= 64 : (status & 0xF0) == 0x90 && data2 > 0;
        }
    }
    for (const auto& [note, on] : sounding) {
        EXPECT_FALSE(on) << "channel " << note.first << (note.second == 128 ? " pedal" : " note ")
                         << note.second << " left on";
    }
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().right(2000).toStdString();
}

}  // namespace
}  // namespace quorvane::e2e

namespace quorvane::e2e {
namespace {

double SteadyMs(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
}

// A JACK server with a period of 32 frames (0.67 ms), as a musician sets one up for playing
// live. Play clicked with the mouse: the first note-on reaches the port shortly after the
// button's release. Then "Arpeggio up" chosen in the settings window: the notes of C major start
// 200 ms apart, lowest first, and end together.
TEST_F(WithJack, PlayAnswersTheReleaseAtOnceAndAnArpeggioKeepsItsOnsets) {
    desktop_.KillJack(SIGTERM);
    ASSERT_EQ(desktop_.StartJack(32), QString());
    ASSERT_TRUE(StartTimedMidiPort());
    XTestMouse mouse(desktop_.Env().value(QStringLiteral("DISPLAY")));
    ASSERT_TRUE(mouse.Usable());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    // The settings window, in front of the main window, moved out of the way of Play.
    const QString settings = app.OpenMidiSettings();
    ASSERT_FALSE(settings.isEmpty());
    desktop_.Tool(QStringLiteral("xdotool"),
                  {QStringLiteral("windowmove"), QStringLiteral("--sync"), settings,
                   QStringLiteral("0"), QStringLiteral("520")});
    const QString geometry = QString::fromLatin1(
        desktop_.Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), app.MainWindow()}));
    const auto value = [&](const char* key) {
        return QRegularExpression(QLatin1String(key) + QStringLiteral(":\\s*(\\d+)"))
            .match(geometry)
            .captured(1)
            .toInt();
    };
    // The Play button's middle; the menu bar stands above the 6225-twip client area.
    const int menuBar = value("Height") - 6225 / 15;
    mouse.MoveTo(value("Absolute upper-left X") + (7740 + 306) / 15,
                 value("Absolute upper-left Y") + menuBar + (3600 + 246) / 15);
    std::vector<double> releases;
    for (int i = 0; i < 15; ++i) {
        mouse.Press();
        QThread::msleep(100);
        releases.push_back(SteadyMs(mouse.Release()));
        QThread::msleep(700);
    }
    std::vector<double> latencies;
    for (const Arrival& a : Arrivals()) {
        if (a.message == QStringLiteral("90 3c 40") && latencies.size() < releases.size()) {
            latencies.push_back(a.ms - releases[latencies.size()]);
        }
    }
    ASSERT_EQ(latencies.size(), releases.size()) << midiPort_.Output().toStdString();
    std::sort(latencies.begin(), latencies.end());
    std::printf("release to first note-on at the JACK port: median %.2f ms, worst %.2f ms\n",
                latencies[latencies.size() / 2], latencies.back());
    EXPECT_GT(latencies.front(), 0.0) << "a note-on before its release";

    // Tab from the output list: the channel box, the instrument, then "Play as:".
    desktop_.Keys(settings, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                             QStringLiteral("Down")});
    QThread::msleep(300);
    const std::size_t before = Arrivals().size();
    Play(app);
    QThread::msleep(1200);
    const std::vector<Arrival> all = Arrivals();
    ASSERT_EQ(all.size(), before + 6) << midiPort_.Output().toStdString();
    const std::vector<Arrival> chord(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    const double first = chord[0].ms;
    const std::vector<std::pair<QString, double>> planned{{"90 3c 40", 0},   {"90 40 40", 200},
                                                          {"90 43 40", 400}, {"80 3c 40", 600},
                                                          {"80 40 40", 600}, {"80 43 40", 600}};
    for (std::size_t i = 0; i < planned.size(); ++i) {
        EXPECT_EQ(chord[i].message, planned[i].first) << i;
        EXPECT_NEAR(chord[i].ms - first, planned[i].second, 1.0) << i;
    }
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

}  // namespace
}  // namespace quorvane::e2e

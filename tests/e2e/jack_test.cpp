// The program with a JACK server: a JACK MIDI port and the built-in synthesizer playing through
// JACK, the server killed under it, devices that appear after start, the end by a signal while a
// chord sounds, and chords played into the program's MIDI input. jack_probe (of the test suite)
// plays the outside world: a MIDI port that records what reaches it, a keyboard that plays into
// a MIDI port, and a recorder of the synthesizer's audio.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <map>
#include <vector>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include "Desktop.h"

namespace quorvane::e2e {
namespace {

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
        return WaitFor([&] { return midiPort_.Output().contains("midi_in"); }, 5000);
    }
    // Whether the port has received `message` at least `times` times.
    bool Receives(const QString& message, int times = 1) {
        return WaitFor([&] { return Received().count(message) >= times; });
    }
    // The port `port` of a JACK client is connected to, as jack_probe lists it; empty for none.
    QString Peer(const char* port) {
        const QByteArray listed = desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                                                {QStringLiteral("ports"), QLatin1String(port)});
        return QString::fromLatin1(listed).section(QStringLiteral("-> "), 1).section('\n', 0, 0);
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
        ASSERT_TRUE(desktop_.Handled(settings));
        desktop_.Keys(settings, {QStringLiteral("Down")});
        ASSERT_TRUE(WaitFor([&] { return !Peer("jack_probe:midi_in").isEmpty(); }));
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
        return WaitFor([&] { return keyboard.Output().contains("keys:midi_out"); }, 5000);
    }
    // The program started, playing to the recording port and listening to the keyboard: the
    // output entry after the synthesizer, and the input list, before the output list in the
    // backward focus order (past the echo box), at its entry after "(none)".
    void StartWithKeyboard(App& app) {
        ASSERT_TRUE(app.Start());
        ASSERT_FALSE(app.PassReminder().isEmpty());
        const QString settings = app.OpenMidiSettings();
        ASSERT_FALSE(settings.isEmpty());
        ASSERT_TRUE(desktop_.Handled(settings));
        desktop_.Keys(settings, {QStringLiteral("Down"), QStringLiteral("shift+Tab"),
                                 QStringLiteral("shift+Tab"), QStringLiteral("Down")});
    }
    // What the program logged of the chords it named, in order.
    static QStringList Named(App& app) {
        return QString::fromLocal8Bit(app.Process().Output())
            .split(QLatin1Char('\n'))
            .filter(QStringLiteral("Played chord: "));
    }

    // The messages at the port since `from` lines of its output, each with its milliseconds.
    std::vector<std::pair<QString, double>> Timed() {
        static const QRegularExpression timed(QStringLiteral("t=(\\d+)\n([0-9a-f ]+)\n"));
        std::vector<std::pair<QString, double>> messages;
        for (auto m = timed.globalMatch(QString::fromLatin1(midiPort_.Output())); m.hasNext();) {
            const QRegularExpressionMatch next = m.next();
            messages.emplace_back(next.captured(2), next.captured(1).toDouble() / 1000.0);
        }
        return messages;
    }
    // C Major, A Minor, F Major and G 7th picked in the main window's lists and added with
    // Insert: the root list has the focus at first, and a root picked gives it to Play, after the
    // two lists; then the sequence window is opened, set to 120 a minute and two beats a chord.
    // Its id.
    QString AddFourChords(App& app) {
        const QString main = app.MainWindow();
        for (const char* keys :
             {"Insert", "a shift+Tab shift+Tab Down Insert",
              "shift+Tab f shift+Tab shift+Tab Up Insert",
              "shift+Tab g shift+Tab shift+Tab Down Down Down Down Down Down Down Down Insert"}) {
            desktop_.Keys(main, QString::fromLatin1(keys).split(QLatin1Char(' ')));
            EXPECT_TRUE(desktop_.Handled(main));
        }
        desktop_.Keys(main, {QStringLiteral("shift+F3")});
        const QString sequence =
            desktop_.WaitWindow(QStringLiteral("^Quorvane - \\[Sequence\\]\\*?$"));
        desktop_.Keys(sequence,
                      {QStringLiteral("alt+m"), QStringLiteral("ctrl+a"), QStringLiteral("1"),
                       QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("alt+b"),
                       QStringLiteral("ctrl+a"), QStringLiteral("2"), QStringLiteral("Tab")});
        return sequence;
    }

    Desktop desktop_;
    Child midiPort_;
};

// The notes whose last message at the port was a note-on (a reset may release more).
QStringList Sounding(const std::vector<std::pair<QString, double>>& messages) {
    std::map<QString, bool> sounding;
    for (const auto& [message, at] : messages) {
        if (message.startsWith(QLatin1String("90")) || message.startsWith(QLatin1String("80"))) {
            sounding[message.mid(3, 2)] = message.startsWith(QLatin1String("90"));
        }
    }
    QStringList on;
    for (const auto& [note, down] : sounding) {
        if (down) {
            on << note;
        }
    }
    return on;
}

// How many of `messages` are note-ons.
qsizetype Onsets(const std::vector<std::pair<QString, double>>& messages, qsizetype from = 0) {
    return std::count_if(messages.begin() + std::min<qsizetype>(from, messages.size()),
                         messages.end(),
                         [](const auto& m) { return m.first.startsWith(QLatin1String("90")); });
}

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
        ASSERT_TRUE(Receives(QStringLiteral("90 3c 40"))) << midiPort_.Output().toStdString();
        if (midChord) {
            Play(app);
            ASSERT_TRUE(Receives(QStringLiteral("90 43 40"), 2));  // its last note-on
        }
        desktop_.KillJack(SIGKILL);
        ASSERT_TRUE(desktop_.Handled(app.MainWindow())) << app.Process().Output().toStdString();
        Play(app);  // silent now
        EXPECT_TRUE(desktop_.Handled(app.MainWindow()));
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
    QByteArray ports;
    WaitFor([&] {
        ports = desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                              {QStringLiteral("ports"), QStringLiteral("Quorvane")});
        return ports.count("-> system:playback_") >= 2;
    });
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
    // Recording once the recorder's inputs are connected to the synthesizer's outputs.
    ASSERT_TRUE(WaitFor([&] {
        return desktop_
                   .Tool(BuildProgram(QStringLiteral("jack_probe")),
                         {QStringLiteral("ports"), QStringLiteral("Quorvane")})
                   .count(":in_") >= 2;
    }));
    Play(app);
    ASSERT_EQ(recorder.Wait(10000), 0) << recorder.Output().toStdString();
    const QRegularExpressionMatch peak = QRegularExpression(QStringLiteral("peak=([0-9.]+)"))
                                             .match(QString::fromLatin1(recorder.Output()));
    ASSERT_TRUE(peak.hasMatch()) << recorder.Output().toStdString();
    EXPECT_GT(peak.captured(1).toDouble(), 0.01);

    Play(app);
    // Into the chord: the window's thread holds it, so no answer of the window can say when.
    QThread::msleep(80);
    desktop_.KillJack(SIGKILL);
    ASSERT_TRUE(desktop_.Handled(app.MainWindow())) << app.Process().Output().toStdString();
    ASSERT_TRUE(app.Process().Running()) << app.Process().Output().toStdString();
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

TEST_F(WithJack, AGracefulServerStopThenExitEndsNormally) {
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    desktop_.KillJack(SIGTERM);
    ASSERT_TRUE(desktop_.Handled(app.MainWindow())) << app.Process().Output().toStdString();
    ASSERT_TRUE(app.Process().Running()) << app.Process().Output().toStdString();
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

TEST_F(WithJack, APortThatAppearsAfterStartCanBeChosen) {
    App app(desktop_);
    ASSERT_TRUE(app.Start());
    ASSERT_FALSE(app.PassReminder().isEmpty());
    const QString settings = app.OpenMidiSettings();
    ASSERT_FALSE(settings.isEmpty());
    ASSERT_TRUE(desktop_.Handled(settings));
    // Plugged in now; the list is read again when the settings window is activated.
    ASSERT_TRUE(StartMidiPort());
    desktop_.Focus(app.MainWindow());
    desktop_.Keys(settings, {QStringLiteral("Down")});
    ASSERT_TRUE(WaitFor([&] { return !Peer("jack_probe:midi_in").isEmpty(); }));
    Play(app);
    EXPECT_TRUE(Receives(QStringLiteral("90 3c 40"))) << midiPort_.Output().toStdString();
    EXPECT_EQ(app.Exit(), 0);
}

TEST_F(WithJack, ASignalMidChordReleasesTheNotesAndEndsWithStatusZero) {
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    Play(app);
    ASSERT_TRUE(Receives(QStringLiteral("90 43 40")));
    app.Process().Signal(SIGTERM);
    EXPECT_EQ(app.Process().Wait(5000), 0) << app.Process().Output().toStdString();
    Receives(QStringLiteral("80 43 40"));
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
    // The last release echoed, and the last chord named.
    Receives(QStringLiteral("80 3e 00"));
    WaitFor([&] { return Named(app).join(QLatin1Char('|')).contains(QStringLiteral("C C# D")); });

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
    QString output, input;
    WaitFor([&] {
        output = Peer("jack_probe:midi_in");
        input = Peer("keys:midi_out");
        return !output.isEmpty() && !input.isEmpty();
    });
    int connected = -1;
    desktop_.Tool(BuildProgram(QStringLiteral("jack_probe")),
                  {QStringLiteral("connect"), output, input}, 10000, &connected);
    ASSERT_EQ(connected, 0) << output.toStdString() << " -> " << input.toStdString();
    ASSERT_EQ(keyboard.Wait(30000), 0) << keyboard.Output().toStdString();
    // An echo played again would come back within the window's next turn.
    Receives(QStringLiteral("80 43 00"));
    ASSERT_TRUE(desktop_.Handled(app.MainWindow()));

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
    ASSERT_TRUE(desktop_.Handled(app.MainWindow()));

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

// "Arpeggio up" on a JACK server with a period of 0.67 ms, as set up for playing live: C major's
// notes 200 ms apart, lowest first; all end one spacing after the last onset, as the onsets do not
// fit into the note length of 500 ms. The spacing is checked with a margin a loaded machine keeps
// (how close the onsets fall is measured by bench_play_desktop).
TEST_F(WithJack, AnArpeggioKeepsItsOnsetsAtTheJackPort) {
    desktop_.KillJack(SIGTERM);
    ASSERT_EQ(desktop_.StartJack(48000, 32), QString());
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    // From the output list: the channel box, the instrument, then "Play as:".
    desktop_.Keys(app.OpenMidiSettings(), {QStringLiteral("Tab"), QStringLiteral("Tab"),
                                           QStringLiteral("Tab"), QStringLiteral("Down")});
    Play(app);
    WaitFor([&] { return Timed().size() >= 6; });
    // Each message after the steady clock's microsecond of its arrival.
    static const QRegularExpression timed(QStringLiteral("t=(\\d+)\n([0-9a-f ]+)\n"));
    std::vector<std::pair<QString, double>> chord;
    for (auto m = timed.globalMatch(QString::fromLatin1(midiPort_.Output())); m.hasNext();) {
        const QRegularExpressionMatch next = m.next();
        chord.emplace_back(next.captured(2), next.captured(1).toDouble() / 1000.0);
    }
    const std::vector<std::pair<QString, double>> planned{{"90 3c 40", 0},   {"90 40 40", 200},
                                                          {"90 43 40", 400}, {"80 3c 40", 600},
                                                          {"80 40 40", 600}, {"80 43 40", 600}};
    ASSERT_EQ(chord.size(), planned.size()) << midiPort_.Output().toStdString();
    for (std::size_t i = 0; i < planned.size(); ++i) {
        EXPECT_EQ(chord[i].first, planned[i].first) << i;
        EXPECT_NEAR(chord[i].second - chord[0].second, planned[i].second, 40.0) << i;
    }
    EXPECT_EQ(app.Exit(), 0) << app.Process().Output().toStdString();
}

// Four chords added from the main window, played at 120 a minute with two beats each: each
// chord's notes start a second after the last chord's, which end then; the window answers while
// they play. Stopped in the middle, nothing is left sounding. The exported file holds the four
// chords on their beats.
TEST_F(WithJack, AChordSequencePlaysInTimeStopsCleanlyAndIsExported) {
    ASSERT_TRUE(StartMidiPort());
    App app(desktop_);
    ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
    const QString sequence = AddFourChords(app);
    ASSERT_FALSE(sequence.isEmpty());
    const qsizetype before = Timed().size();
    desktop_.Keys(sequence, {QStringLiteral("alt+p")});
    ASSERT_TRUE(WaitFor([&] { return Onsets(Timed(), before) >= 4; }));  // the second chord
    EXPECT_GE(desktop_.Ping(sequence, 2000), 0.0);
    EXPECT_GE(desktop_.Ping(app.MainWindow(), 2000), 0.0);
    WaitFor([&] {
        const auto all = Timed();
        return Onsets(all, before) >= 13 &&
               Sounding({all.begin() + std::min<qsizetype>(before, all.size()), all.end()})
                   .isEmpty();
    });
    std::vector<std::pair<QString, double>> played = Timed();
    played.erase(played.begin(), played.begin() + before);
    const std::vector<std::pair<QStringList, double>> chords{
        {{"90 3c 40", "90 40 40", "90 43 40"}, 0},
        {{"90 45 40", "90 48 40", "90 4c 40"}, 1000},
        {{"90 41 40", "90 45 40", "90 48 40"}, 2000},
        {{"90 43 40", "90 47 40", "90 4a 40", "90 4d 40"}, 3000}};
    std::vector<std::pair<QString, double>> onsets;
    for (const auto& message : played) {
        if (message.first.startsWith(QLatin1String("90"))) {
            onsets.push_back(message);
        }
    }
    ASSERT_EQ(onsets.size(), 13U) << midiPort_.Output().toStdString();
    std::size_t n = 0;
    for (const auto& [notes, at] : chords) {
        for (const QString& note : notes) {
            EXPECT_EQ(onsets[n].first, note) << n;
            EXPECT_NEAR(onsets[n].second - onsets[0].second, at, 40.0) << n;
            ++n;
        }
    }
    EXPECT_EQ(Sounding(played), QStringList());

    const qsizetype again = Timed().size();
    desktop_.Keys(sequence, {QStringLiteral("alt+p")});
    ASSERT_TRUE(WaitFor([&] { return Onsets(Timed(), again) >= 4; }));
    desktop_.Keys(sequence, {QStringLiteral("alt+t")});
    EXPECT_TRUE(WaitFor([&] { return Sounding(Timed()).isEmpty(); }))
        << Sounding(Timed()).join(QLatin1Char(' ')).toStdString();

    desktop_.Keys(sequence, {QStringLiteral("alt+e")});
    const QString dialog = desktop_.WaitWindow(QStringLiteral("^Export MIDI$"));
    ASSERT_FALSE(dialog.isEmpty());
    desktop_.Keys(dialog, {QStringLiteral("Return")});
    const QString file = desktop_.Folder() + QStringLiteral("/C - Am - F - G7.mid");
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(file); }));  // renamed into place whole
    const QString csv = QString::fromLatin1(desktop_.Tool(QStringLiteral("midicsv"), {file}));
    for (const char* line : {"1, 0, Note_on_c, 0, 60, 64", "1, 960, Note_off_c, 0, 67, 64",
                             "1, 960, Note_on_c, 0, 69, 64", "1, 1920, Note_on_c, 0, 65, 64",
                             "1, 2880, Note_on_c, 0, 77, 64", "1, 3840, Note_off_c, 0, 77, 64"}) {
        EXPECT_TRUE(csv.contains(QLatin1String(line))) << line << " not in:\n" << csv.toStdString();
    }
    EXPECT_EQ(app.Exit(true), 0) << app.Process().Output().right(2000).toStdString();
}

// While the sequence plays: the end by a signal, Reset MIDI, or the JACK server killed.
// The notes it started are released where the port is still there, and the program answers.
TEST_F(WithJack, WhateverEndsAPlayingSequenceLeavesNothingSounding) {
    for (const char* end : {"signal", "reset", "server"}) {
        SCOPED_TRACE(end);
        if (!desktop_.JackRunning()) {
            ASSERT_EQ(desktop_.StartJack(), QString());
        }
        ASSERT_TRUE(StartMidiPort());
        App app(desktop_);
        ASSERT_NO_FATAL_FAILURE(StartOnMidiPort(app));
        const QString sequence = AddFourChords(app);
        ASSERT_FALSE(sequence.isEmpty());
        const qsizetype before = Timed().size();
        desktop_.Keys(sequence, {QStringLiteral("alt+p")});
        ASSERT_TRUE(WaitFor([&] { return Onsets(Timed(), before) >= 4; }));  // the second chord
        if (QLatin1String(end) == QLatin1String("signal")) {
            app.Process().Signal(SIGTERM);
            EXPECT_EQ(app.Process().Wait(5000), 0) << app.Process().Output().toStdString();
        } else if (QLatin1String(end) == QLatin1String("reset")) {
            desktop_.Keys(app.MainWindow(), {QStringLiteral("alt+o"), QStringLiteral("r")});
        } else {
            desktop_.KillJack(SIGKILL);
        }
        QThread::msleep(1500);  // past the next chord's beat, which must not sound
        if (QLatin1String(end) != QLatin1String("server")) {
            EXPECT_EQ(Sounding(Timed()), QStringList());
        }
        if (app.Process().Running()) {
            EXPECT_GE(desktop_.Ping(sequence, 2000), 0.0);
            EXPECT_EQ(app.Exit(true), 0) << app.Process().Output().right(2000).toStdString();
        }
        midiPort_.Stop();
    }
}

}  // namespace
}  // namespace quorvane::e2e

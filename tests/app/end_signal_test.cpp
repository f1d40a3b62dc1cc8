// SIGTERM, SIGINT and SIGHUP end the program cleanly: what sounds is released, the device is
// closed, the windows are unloaded and the program ends with status 0, without the closing
// reminder (nobody is there to answer it).
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>

#include "app/Program.h"
#include "support/RecordingOutputs.h"
#include "support/TestDesktop.h"

namespace quorvane::app {
namespace {

using midi::RecordingOutputs;
using Kind = RecordingOutputs::Kind;

// A clock that moves 10 ms per sleep; the first sleep of a played chord runs `whileSounding`.
class SteppingClock final : public midi::MidiClock {
  public:
    time_point Now() override { return now; }
    void SleepUntil(time_point deadline) override {
        if (whileSounding) {
            std::exchange(whileSounding, nullptr)();
        }
        now = std::min(deadline, now + std::chrono::milliseconds(10));
    }
    time_point now{std::chrono::seconds(100)};
    std::function<void()> whileSounding;
};

// The reminder at start is answered with OK at once, after `duringReminder` has run.
struct RigDesktop : quorvane::testing::TestDesktop {
    dialogs::frmMoney::Outcome ShowReminderModal(dialogs::frmMoney& reminder) override {
        if (duringReminder) {
            std::exchange(duringReminder, nullptr)();
        }
        return TestDesktop::ShowReminderModal(reminder);
    }
    std::function<void()> duringReminder;
};

struct Rig {
    Rig() {
        auto clockOwned = std::make_unique<SteppingClock>();
        clock = clockOwned.get();
        auto owned = std::make_unique<RecordingOutputs>(
            std::vector<RecordingOutputs::DeviceSpec>{{"Synth", true}},
            [c = clock] { return c->Now(); });
        outputs = owned.get();
        auto desktopOwned = std::make_unique<RigDesktop>();
        desktop = desktopOwned.get();
        program = std::make_unique<Program>(std::move(owned), std::move(clockOwned),
                                            std::move(desktopOwned));
        EXPECT_TRUE(program->Start());
        program->EnsureMidiSettings()->Form_Activate();  // opens the device
        outputs->Clear();
    }
    // The event loop runs until the program has ended.
    bool RunUntilEnded() {
        return QTest::qWaitFor([this] { return desktop->ends > 0; }, 5000);
    }
    std::vector<Kind> Kinds() const {
        std::vector<Kind> kinds;
        for (const RecordingOutputs::Event& e : outputs->Events()) {
            kinds.push_back(e.kind);
        }
        return kinds;
    }

    SteppingClock* clock = nullptr;
    RecordingOutputs* outputs = nullptr;
    RigDesktop* desktop = nullptr;
    std::unique_ptr<Program> program;
};

TEST(EndSignals, ASignalWhileAChordSoundsReleasesItAtOnceThenEndsWithoutReminder) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        Rig rig;
        rig.program->Midi().SetNoteLength(2500);
        const auto start = rig.clock->Now();
        rig.clock->whileSounding = [signal] { std::raise(signal); };
        rig.program->Main().cmdPlayButton()->click();
        ASSERT_TRUE(rig.RunUntilEnded());
        EXPECT_LT(rig.clock->Now() - start, std::chrono::milliseconds(2500))
            << "the held chord is released when the signal arrives";
        EXPECT_EQ(rig.Kinds(),
                  (std::vector<Kind>{Kind::Message, Kind::Message, Kind::Message, Kind::Message,
                                     Kind::Message, Kind::Message, Kind::Close}));
        const std::vector<std::uint32_t> sent = rig.outputs->Messages();
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(sent[i + 3], midi::NoteOffMessage(sent[i]));
        }
        EXPECT_EQ(rig.desktop->ends, 1);
        EXPECT_EQ(rig.desktop->reminders, 1) << "the start-up reminder only";
        EXPECT_EQ(rig.program->ClosingRemindersShown(), 0);
        EXPECT_EQ(rig.program->MidiSettings(), nullptr) << "unloaded";
        EXPECT_EQ(rig.program->Progressions(), nullptr) << "unloaded";
    }
}

TEST(EndSignals, ASignalWhileIdleOrWhileTheClosingReminderIsUpEndsOnce) {
    Rig idle;
    std::raise(SIGTERM);
    ASSERT_TRUE(idle.RunUntilEnded());
    EXPECT_EQ(idle.Kinds(), std::vector<Kind>{Kind::Close});
    EXPECT_EQ(idle.program->ClosingRemindersShown(), 0);

    Rig closing;
    closing.desktop->duringReminder = [] {
        std::raise(SIGTERM);
        QTest::qWait(50);  // the event loop of the reminder on screen
    };
    closing.program->Main().mnuFileExit()->trigger();
    EXPECT_EQ(closing.desktop->ends, 1);
    EXPECT_EQ(closing.Kinds(), std::vector<Kind>{Kind::Close});
}

// A message box owned by the settings window, open when the signal comes: it closes, and the end
// (which unloads its owner) follows once it has.
TEST(EndSignals, ASignalWhileAMessageBoxIsOpenClosesItFirst) {
    Rig rig;
    {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Vazevizaro Error"),
                        QStringLiteral("Failed to open MIDI Device"), QMessageBox::Ok,
                        rig.program->MidiSettings());
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        box.exec();
        EXPECT_EQ(rig.desktop->ends, 0) << "not before the box is gone";
    }
    ASSERT_TRUE(rig.RunUntilEnded());
    EXPECT_EQ(rig.program->MidiSettings(), nullptr) << "unloaded";
}

// Whether the process has taken SIGTERM over from its default action (caught, or blocked to be
// read some other way).
bool HandlesSigterm(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return false;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if ((line.startsWith("SigCgt:") || line.startsWith("SigBlk:")) &&
            ((line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1) != 0) {
            return true;
        }
    }
    return false;
}

// The program itself, as the desktop session ends it while its start-up reminder waits.
TEST(EndSignals, TheProgramEndsWithStatusZeroOnSigterm) {
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/quorvane"), {});
    ASSERT_TRUE(program.waitForStarted(5000)) << program.errorString().toStdString();
    const bool handled = QTest::qWaitFor(
        [&] { return HandlesSigterm(program.processId()) || program.state() != QProcess::Running; },
        20000);
    ASSERT_TRUE(handled && program.state() == QProcess::Running)
        << program.readAllStandardError().toStdString();
    program.terminate();  // SIGTERM
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

}  // namespace
}  // namespace quorvane::app

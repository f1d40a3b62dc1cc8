#include "app/Program.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "mainwin/StaffSurface.h"
#include "midi/MidiFile.h"
#include "midi/SystemOutputs.h"
#include "support/RecordingOutputs.h"
#include "support/TestDesktop.h"

namespace quorvane::app {
namespace {

using midi::RecordingOutputs;

class ManualClock final : public midi::MidiClock {
  public:
    time_point Now() override { return now; }
    void SleepUntil(time_point deadline) override { now = std::max(now, deadline); }
    time_point now{};
};

struct ProgramRig {
    explicit ProgramRig(std::vector<RecordingOutputs::DeviceSpec> devices = {{"Synth", true},
                                                                             {"Port", true}}) {
        auto clock = std::make_unique<ManualClock>();
        ManualClock* c = clock.get();
        auto owned =
            std::make_unique<RecordingOutputs>(std::move(devices), [c] { return c->Now(); });
        outputs = owned.get();
        // The reminder at start and at exit is answered with OK at once.
        auto desktopOwned = std::make_unique<quorvane::testing::TestDesktop>();
        desktop = desktopOwned.get();
        program =
            std::make_unique<Program>(std::move(owned), std::move(clock), std::move(desktopOwned));
    }
    std::vector<int> NoteOnKeys() const {
        std::vector<int> keys;
        for (std::uint32_t m : outputs->Messages()) {
            if ((midi::StatusOf(m) & 0xF0) == 0x90) {
                keys.push_back(midi::Data1Of(m));
            }
        }
        return keys;
    }

    RecordingOutputs* outputs = nullptr;
    quorvane::testing::TestDesktop* desktop = nullptr;
    std::unique_ptr<Program> program;
};

TEST(Program, StartListsTheDevicesInTheOwnedSettingsWindowAndOpensNone) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    midi::frmMIDI* window = rig.program->MidiSettings();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->parentWidget(), &rig.program->Main());
    EXPECT_TRUE(window->isWindow());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->cboDevices()->count(), 2);
    EXPECT_EQ(rig.outputs->OpenCount(), 0);
    EXPECT_EQ(rig.program->Midi().NoteLength(), 500);
}

TEST(Program, PlayBeforeAnyDeviceIsSilentAndShowsNothing) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().cmdPlayButton()->click();
    EXPECT_TRUE(rig.outputs->Events().empty());
    EXPECT_TRUE(rig.desktop->messages.empty());
}

TEST(Program, TheMidiMenuShowsTheWindowAndItsActivationOpensDeviceZero) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().mnuWindowMIDI()->trigger();
    midi::frmMIDI* window = rig.program->MidiSettings();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    window->Form_Activate();  // what the window system's activation runs
    EXPECT_EQ(rig.program->Midi().OpenDeviceNumber(), 0);
}

TEST(Program, PlayButtonSoundsTheCurrentSelection) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->EnsureMidiSettings()->Form_Activate();
    mainwin::frmChordMain& w = rig.program->Main();
    w.cboRootNote()->setCurrentIndex(11);  // B
    w.cboRootNote_Click();
    w.cboChordTypes()->setCurrentIndex(9);  // Major 7th
    w.cboChordTypes_Click();
    w.mnuInversionsPopupItem_Click(3);
    ASSERT_EQ(w.RootIndex(), 11);
    ASSERT_EQ(w.ChordTypeIndex(), 9);
    ASSERT_EQ(w.Inversion(), 3);
    rig.outputs->Clear();
    w.cmdPlayButton()->click();
    EXPECT_EQ(rig.NoteOnKeys(), (std::vector<int>{83, 87, 90, 82}));
    EXPECT_EQ(rig.outputs->Messages().size(), 8u);
}

// File > Export MIDI... and a drag of the chord carry the same file: the chord on the screen, the
// instrument, channel, volume, note length and way of playing of the settings.
TEST(Program, TheChordIsExportedAndDraggedAsAMidiFile) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    mainwin::frmChordMain& main = rig.program->Main();
    midi::frmMIDI& settings = *rig.program->MidiSettings();
    settings.ChooseInstrument(24);
    rig.program->Midi().SetMidiChannel(3);
    rig.program->Midi().SetVelocity(100);
    rig.program->Midi().SetPlayAs(midi::PlayStyle::ArpeggioUp);
    main.cboRootNote()->setCurrentIndex(1);
    main.cboRootNote_Click();
    main.mnuInversionsPopupItem_Click(1);
    midi::ChordFile expected{"C#(Db) Major First Inversion", 2, 24, 100, {73, 65, 68}, {}};
    expected.plan = midi::PlanPlay(expected.notes, midi::PlayStyle::ArpeggioUp, 200, 500);
    const std::vector<std::uint8_t> bytes = midi::WriteMidiFile(expected);
    const QByteArray file(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    const auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    QTemporaryDir dir;
    rig.desktop->saveAs = dir.filePath(QStringLiteral("chosen.mid"));
    main.mnuFileExportMIDI()->trigger();
    EXPECT_EQ(rig.desktop->proposedNames,
              std::vector<QString>{QStringLiteral("C#(Db) Major First Inversion.mid")});
    EXPECT_EQ(read(rig.desktop->saveAs), file);
    rig.desktop->saveAs = dir.filePath(QStringLiteral("no-such-folder/chosen.mid"));
    main.mnuFileExportMIDI()->trigger();
    ASSERT_EQ(rig.desktop->messages.size(), 1u);
    EXPECT_TRUE(rig.desktop->messages[0].startsWith(QStringLiteral("Quorvane|The MIDI file")));

    // A press without a move, and a press on the staff away from the chord, drag nothing; the
    // right press still opens the Inversions pop-up.
    QWidget* name = main.lblNoteName();
    const QPoint far(QApplication::startDragDistance() + 1, 0);
    QTest::mousePress(name, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(name, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mousePress(main.staff(), Qt::LeftButton, {}, QPoint(40, 300));
    QTest::mouseMove(main.staff(), QPoint(40, 300) + far);
    QTest::mouseRelease(main.staff(), Qt::LeftButton, {}, QPoint(40, 300) + far);
    EXPECT_TRUE(rig.desktop->dragSources.empty());
    rig.desktop->popup = [](QMenu*) {};
    QTest::mousePress(name, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(rig.desktop->popups, 1);
    // The chord's column on the staff (note heads at 5880 twips) and the name label drag it.
    for (const auto& [source, at] :
         {std::pair<QWidget*, QPoint>{main.staff(), QPoint(400, 330)}, {name, QPoint(2, 2)}}) {
        rig.desktop->dragged.reset();
        QTest::mousePress(source, Qt::LeftButton, {}, at);
        QTest::mouseMove(source, at + far);
        QTest::mouseRelease(source, Qt::LeftButton, {}, at + far);
        ASSERT_NE(rig.desktop->dragged, nullptr);
        EXPECT_EQ(rig.desktop->dragSources.back(), source);
        EXPECT_EQ(rig.desktop->dragged->data(QStringLiteral("audio/midi")), file);
        const QList<QUrl> urls = rig.desktop->dragged->urls();
        ASSERT_EQ(urls.size(), 1);
        EXPECT_EQ(urls[0].fileName(), QStringLiteral("C#(Db) Major First Inversion.mid"));
        EXPECT_TRUE(urls[0].toLocalFile().startsWith(rig.desktop->PrivateFolder()));
        EXPECT_EQ(read(urls[0].toLocalFile()), file);
    }
}

TEST(Program, ResetMidiMenuResetsTheOpenDevice) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->EnsureMidiSettings()->Form_Activate();
    rig.program->Main().mnuOptionsResetMIDI()->trigger();
    ASSERT_FALSE(rig.outputs->Events().empty());
    EXPECT_EQ(rig.outputs->Events().back().kind, RecordingOutputs::Kind::Reset);
    EXPECT_EQ(rig.outputs->OpenCount(), 1);
}

TEST(Program, ExitClosesTheDeviceUnloadsTheSettingsWindowAndEndsOnce) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->EnsureMidiSettings()->Form_Activate();
    rig.program->Main().mnuFileExit()->trigger();
    EXPECT_EQ(rig.outputs->OpenCount(), 0);
    EXPECT_EQ(rig.program->MidiSettings(), nullptr);
    EXPECT_EQ(rig.desktop->ends, 1);
    // Closing the main window afterwards does not run the end again.
    rig.program->Main().close();
    EXPECT_EQ(rig.desktop->ends, 1);
}

TEST(Program, ClosingTheMainWindowShutsDown) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().close();
    EXPECT_EQ(rig.desktop->ends, 1);
    EXPECT_EQ(rig.program->MidiSettings(), nullptr);
}

TEST(Program, AFailedOpenShowsTheMessageOnce) {
    ProgramRig rig({{"Broken", false}});
    ASSERT_TRUE(rig.program->Start());
    rig.program->EnsureMidiSettings()->Form_Activate();
    rig.program->EnsureMidiSettings()->Form_Activate();
    EXPECT_EQ(rig.desktop->messages,
              (std::vector<QString>{"Vazevizaro Error|Failed to open MIDI Device"}));
    EXPECT_EQ(rig.program->Midi().MidiOutHandle(), 0);
}

TEST(Program, NoDevicesNoWindowUntilNeededAndNoMessage) {
    ProgramRig rig(std::vector<RecordingOutputs::DeviceSpec>{});
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().mnuWindowMIDI()->trigger();
    ASSERT_NE(rig.program->MidiSettings(), nullptr);
    rig.program->MidiSettings()->Form_Activate();
    EXPECT_EQ(rig.program->MidiSettings()->cboDevices()->count(), 0);
    EXPECT_TRUE(rig.desktop->messages.empty());
}

}  // namespace
}  // namespace quorvane::app

namespace quorvane::app {
namespace {

TEST(Program, TheSettingsWindowMinimisesAndRestoresWithTheMainWindow) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().mnuWindowMIDI()->trigger();
    midi::frmMIDI* window = rig.program->MidiSettings();
    ASSERT_NE(window, nullptr);
    rig.program->Main().setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(window->windowState() & Qt::WindowMinimized);
    rig.program->Main().setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(window->windowState() & Qt::WindowMinimized);
}

TEST(Program, TheUsersCloseHidesTheSettingsWindowAndTheMenuBringsItBack) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Main().mnuWindowMIDI()->trigger();
    midi::frmMIDI* window = rig.program->MidiSettings();
    ASSERT_NE(window, nullptr);
    window->updMIDIChannel()->StepUp();
    window->Form_QueryUnload(true);
    EXPECT_FALSE(window->isVisible());
    rig.program->Main().mnuWindowMIDI()->trigger();
    EXPECT_EQ(rig.program->MidiSettings(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->txtMIDIChannel()->text(), "2");
    EXPECT_EQ(rig.program->Midi().MidiChannel(), 1);
}

}  // namespace
}  // namespace quorvane::app

namespace quorvane::app {
namespace {

QStringList* gLog = nullptr;

void KeepMessage(QtMsgType, const QMessageLogContext& context, const QString& message) {
    gLog->append(QString::fromLatin1(context.category) + QStringLiteral(": ") + message);
}

// The box keeps its fixed text; the reason is written to the log and shown below the text.
TEST(Program, TheBuiltinSynthesizersReasonIsLoggedAndShownBelowTheFixedText) {
    QTemporaryDir empty;
    const std::filesystem::path folder = empty.path().toStdString();
    auto desktop = std::make_unique<quorvane::testing::TestDesktop>();
    desktop->showMessages = true;  // the real box, read below
    Program program(
        std::make_unique<midi::SystemOutputs>(midi::SoundfontPlaces{folder / "GM.sf2", folder}),
        nullptr, std::move(desktop));
    ASSERT_TRUE(program.Start());

    QStringList log;
    gLog = &log;
    const QtMessageHandler previous = qInstallMessageHandler(&KeepMessage);
    QStringList box;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* b = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box << b->windowTitle() << b->text() << b->informativeText();
            b->button(QMessageBox::Ok)->click();
        }
    });
    poll.start(5);
    program.Midi().SelectDevice(0);
    poll.stop();
    qInstallMessageHandler(previous);

    const QString reason = QStringLiteral("No General MIDI soundfont was found in ") + empty.path();
    ASSERT_EQ(box.size(), 3);
    EXPECT_EQ(box[0], "Vazevizaro Error");
    EXPECT_EQ(box[1], "Failed to open MIDI Device");
    EXPECT_TRUE(box[2].startsWith(reason)) << box[2].toStdString();
    EXPECT_EQ(log.filter(QStringLiteral("quorvane.midi: ")).filter(reason).size(), 1)
        << log.join('\n').toStdString();
}

}  // namespace
}  // namespace quorvane::app

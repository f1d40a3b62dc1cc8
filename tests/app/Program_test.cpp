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
#include <string_view>
#include <utility>

#include "mainwin/StaffSurface.h"
#include "midi/MidiFile.h"
#include "midi/SystemOutputs.h"
#include "support/RecordingOutputs.h"
#include "support/TestDesktop.h"
#include "theory/fretted.h"

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

// File > Export MIDI... and a left drag from the chord's name or its column on the staff carry
// the same file: the chord shown, with the settings' instrument, channel and way of playing.
TEST(Program, TheChordIsExportedAndDraggedAsAMidiFile) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    mainwin::frmChordMain& main = rig.program->Main();
    rig.program->MidiSettings()->ChooseInstrument(24);
    rig.program->Midi().SetMidiChannel(3);
    rig.program->Midi().SetPlayAs(midi::PlayStyle::ArpeggioUp);
    main.mnuInversionsPopupItem_Click(1);
    midi::ChordFile expected{"C Major First Inversion", 2, 24, 64, {72, 64, 67}, {}};
    expected.plan = midi::PlanPlay(expected.notes, midi::PlayStyle::ArpeggioUp, 200, 500);
    const std::vector<std::uint8_t> bytes = midi::WriteMidiFile(expected);
    const QByteArray file(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    const auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QTemporaryDir dir;
    for (const char* name : {"a.mid", "none/a.mid"}) {
        rig.desktop->saveAs = dir.filePath(QLatin1String(name));
        main.mnuFileExportMIDI()->trigger();
    }
    EXPECT_EQ(rig.desktop->proposedName, dir.filePath("C Major First Inversion.mid"));
    EXPECT_EQ(read(dir.filePath(QStringLiteral("a.mid"))), file);
    EXPECT_EQ(rig.desktop->messages.size(), 1u) << "the failed write says so";

    QTest::mouseClick(main.lblNoteName(), Qt::LeftButton);
    EXPECT_EQ(rig.desktop->dragSource, nullptr) << "a press without a move drags nothing";
    for (QWidget* source : std::initializer_list<QWidget*>{main.staff(), main.lblNoteName()}) {
        const QPoint at = source == main.staff() ? QPoint(400, 330) : QPoint(2, 2);
        QTest::mousePress(source, Qt::LeftButton, {}, at);
        QTest::mouseMove(source, at + QPoint(QApplication::startDragDistance(), 0));
        ASSERT_EQ(rig.desktop->dragSource, source);
        const QString path = rig.desktop->dragged->urls().value(0).toLocalFile();
        EXPECT_EQ(path, rig.desktop->PrivateFolder() + "/C Major First Inversion.mid");
        EXPECT_EQ(read(path), file);
        EXPECT_EQ(rig.desktop->dragged->data(QStringLiteral("audio/midi")), file);
        QTest::mouseRelease(source, Qt::LeftButton, {}, at);
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

// An empty new sequence ends with the program unasked (above); unsaved chords are offered to be
// saved, and Cancel keeps the program and its main window.
TEST(Program, ClosingWithUnsavedChordsAsksFirst) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->Sequence().Model().AddChord({0, 0, 0});
    rig.program->Main().close();
    QApplication::processEvents();
    EXPECT_EQ(rig.desktop->ends, 0);
    EXPECT_TRUE(rig.program->Main().isVisible());
    rig.desktop->saveChoice = mainwin::Desktop::SaveChoice::Discard;
    rig.program->Main().mnuFileExit()->trigger();
    EXPECT_EQ(rig.desktop->ends, 1);
    EXPECT_EQ(rig.desktop->questions,
              std::vector<QString>(2, QStringLiteral("Save changes to the chord sequence?")));
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
        std::make_unique<midi::SystemOutputs>(midi::SoundfontPlaces{{folder / "GM.sf2"}, folder}),
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

TEST(Program, FilesNamedAtStartOpenOnceTheWindowShowsAndAFailureNamesTheFile) {
    ProgramRig rig;
    QTemporaryDir dir;
    for (const char* name : {"song.cho", "broken.sf2", "notes.mid"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(name == std::string_view("song.cho") ? "[C]Let it [Am]be"
                                                        : "not a file of its kind");
    }
    rig.program->OpenAtStart({dir.filePath("gone.cho"), dir.filePath("song.cho"),
                              dir.filePath("broken.sf2"), dir.filePath("notes.mid")});
    ASSERT_TRUE(rig.program->Start());
    EXPECT_TRUE(rig.desktop->messages.empty());
    QTest::qWait(0);
    const std::vector<QString> said{"gone.cho\" does not exist",
                                    "SoundFont \"broken.sf2\" could not be loaded", "notes.mid"};
    ASSERT_EQ(rig.desktop->messages.size(), said.size());
    for (std::size_t i = 0; i < said.size(); ++i) {
        EXPECT_TRUE(rig.desktop->messages[i].contains(said[i])) << i;
    }
    EXPECT_EQ(rig.program->Sequence().Model().Cells().size(), 2u) << "the song opened";
    EXPECT_TRUE(rig.program->Main().isVisible()) << "the program goes on";
}

}  // namespace
}  // namespace quorvane::app

namespace quorvane::app {
namespace {

TEST(Program, TheFretboardFollowsTheMainWindowStrumsAndCloses) {
    ProgramRig rig;
    ASSERT_TRUE(rig.program->Start());
    rig.program->EnsureMidiSettings()->Form_Activate();
    mainwin::frmChordMain& w = rig.program->Main();
    QAction* item = nullptr;
    for (QAction* action : w.findChildren<QAction*>()) {
        item = action->text() == "&Fretboard" ? action : item;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F4));
    item->trigger();
    fretboard::frmFretboard* board = rig.program->Fretboard();
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(board->isVisible());
    EXPECT_EQ(board->windowTitle(), "Quorvane - [Fretboard]");
    w.cboRootNote()->setCurrentIndex(9);
    w.cboRootNote_Click();
    w.cboChordTypes()->setCurrentIndex(1);
    w.cboChordTypes_Click();
    w.cboScales()->setCurrentIndex(5);
    w.cboScales_Click();
    EXPECT_EQ(board->Selection(), (fretboard::FretboardSelection{9, 1, 0, 5}));
    ASSERT_FALSE(board->Shapes().empty());
    rig.outputs->Clear();
    board->cmdPlay()->click();
    // The lowest string at once, the others later from the event loop.
    EXPECT_EQ(rig.NoteOnKeys(), std::vector<int>{board->Shapes().front().notes.front()});
    // Frets typed on the neck are held notes like any other: named in the main window, and let
    // go by Escape there while Pick Notes is on.
    board->txtFrets()->setText(QStringLiteral("x32010"));
    QTest::keyClick(board->txtFrets(), Qt::Key_Return);
    EXPECT_EQ(std::pair(w.RootIndex(), w.ChordTypeIndex()), std::pair(0, 0));
    EXPECT_EQ(rig.program->Held().NeckNotes(), (std::vector<int>{48, 52, 55, 60, 64}));
    w.mnuOptionsPickNotes()->trigger();
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_TRUE(rig.program->Held().NeckNotes().empty());
    EXPECT_EQ(board->NeckFrets(), std::vector<int>(6, theory::kMuted));
    board->close();
    EXPECT_FALSE(board->isVisible());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(rig.program->Ended());
}

}  // namespace
}  // namespace quorvane::app

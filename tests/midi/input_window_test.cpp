// A chord held on a MIDI input, through the program's windows: the settings window's input list
// and echo box, and the main window selecting what the notes name.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cstdlib>

#include "MidiTestRig.h"
#include "app/Program.h"
#include "support/TestDesktop.h"
#include "theory/catalogue.h"
#include "theory/theory.h"

namespace quorvane::midi {
namespace {

using testing::FakeClock;
using testing::Note;

struct WindowRig {
    WindowRig() {
        auto ownedClock = std::make_unique<FakeClock>();
        clock = ownedClock.get();
        auto ownedOutputs = std::make_unique<RecordingOutputs>(
            std::vector<RecordingOutputs::DeviceSpec>{{"Synth", true}},
            [c = clock] { return c->Now(); });
        outputs = ownedOutputs.get();
        auto ownedInputs = std::make_unique<FakeInputs>(
            std::vector<FakeInputs::PortSpec>{{"Keys", true}, {"Broken", false}},
            [c = clock] { return c->Now(); });
        inputs = ownedInputs.get();
        auto ownedDesktop = std::make_unique<quorvane::testing::TestDesktop>();
        desktop = ownedDesktop.get();
        program = std::make_unique<app::Program>(std::move(ownedOutputs), std::move(ownedClock),
                                                 std::move(ownedDesktop), std::move(ownedInputs));
        EXPECT_TRUE(program->Start());
        settings = program->EnsureMidiSettings();
        settings->show();  // opens the synthesizer and lists the input ports
        outputs->Clear();
    }
    // Sends from the port's thread, then lets the user-interface thread handle it.
    void Send(std::initializer_list<int> bytes) {
        ASSERT_TRUE(inputs->Send(bytes));
        QCoreApplication::processEvents();
    }
    void Hold(const std::vector<int>& keys) {
        for (int key : keys) {
            Send({0x90, key, 80});
        }
    }
    void Release(const std::vector<int>& keys) {
        for (int key : keys) {
            Send({0x80, key, 0});
        }
    }
    std::vector<Note> Notes() const { return testing::Decode(outputs->Messages()); }
    std::string Name() const { return program->Main().lblNoteName()->text().toStdString(); }
    QLabel* NameLabel() const { return program->Main().lblNoteName(); }

    FakeClock* clock = nullptr;
    RecordingOutputs* outputs = nullptr;
    FakeInputs* inputs = nullptr;
    std::unique_ptr<app::Program> program;
    frmMIDI* settings = nullptr;
    quorvane::testing::TestDesktop* desktop = nullptr;  // message boxes are noted there
};

// The MIDI note numbers of a catalogue chord as the program voices it.
std::vector<int> ChordKeys(int root, int chordType, int inversion) {
    std::vector<int> keys;
    for (const theory::ChordNote& n : theory::VoiceChord(
             theory::ChordTypes[chordType].intervals, root, inversion, theory::kTrebleClefOffset)) {
        keys.push_back(60 + n.soundingKey);
    }
    return keys;
}

TEST(MidiInputWindow, TheInputListStartsAtNoneAndNothingIsFollowedThere) {
    WindowRig rig;
    QComboBox* list = rig.settings->cboInputs();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "(none)");
    EXPECT_EQ(list->itemText(1), "Keys");
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(rig.settings->chkEcho()->isChecked());
    EXPECT_FALSE(rig.inputs->Send({0x90, 60, 80})) << "no port is open";
}

TEST(MidiInputWindow, HeldChordsAreSelectedWithTheirInversionAndEchoed) {
    WindowRig rig;
    rig.settings->ChooseInput(1);
    ASSERT_EQ(rig.inputs->OpenPort(), "Keys");

    // C major in first inversion: E G C.
    rig.Hold({64, 67, 72});
    EXPECT_EQ(rig.Name(), "CMajor First Inversion");
    EXPECT_EQ(rig.program->Main().cboRootNote()->currentIndex(), 0);
    EXPECT_EQ(rig.program->Main().cboChordTypes()->currentIndex(), 0);
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x90, 64, 80}, {0x90, 67, 80}, {0x90, 72, 80}}));
    rig.Release({64, 67, 72});

    // "B" "13th", sent with running status, the last note-on as velocity 0 releasing nothing.
    const std::vector<int> b13 = ChordKeys(11, 27, 0);
    ASSERT_EQ(b13.size(), 6u);
    rig.Send({0x93, b13[0], 70, b13[1], 70, b13[2], 70, b13[3], 70, b13[4], 70, b13[5], 70});
    EXPECT_EQ(rig.Name(), "B13th Basic");
    EXPECT_EQ(rig.program->Main().cboRootNote()->currentIndex(), 11);
    EXPECT_EQ(rig.program->Main().cboChordTypes()->currentText().toStdString(), "13th");
    EXPECT_TRUE(rig.NameLabel()->toolTip().isEmpty());
    if (const char* dir = std::getenv("QUORVANE_SCREENSHOT_DIR")) {
        rig.program->Main().grab().save(QString::fromLocal8Bit(dir) +
                                        QStringLiteral("/played_chord.png"));
        rig.settings->grab().save(QString::fromLocal8Bit(dir) +
                                  QStringLiteral("/frmMIDI_input.png"));
    }
    // Released all at once: no part of the chord is named on the way.
    rig.Send({0x83, b13[0], 0, b13[1], 0, b13[2], 0, b13[3], 0, b13[4], 0, b13[5], 0});

    // A cluster of semitones: the display stays, the label says what was held.
    rig.outputs->Clear();
    rig.Hold({60, 61, 62});
    EXPECT_EQ(rig.Name(), "B13th Basic");
    EXPECT_EQ(rig.NameLabel()->toolTip().toStdString(), "Not in the catalogue: C C# D");
    EXPECT_EQ(rig.NameLabel()->accessibleDescription().toStdString(),
              "Not in the catalogue: C C# D");
    // Messages other than notes change nothing and are not echoed.
    rig.Send({0xB0, 7, 127, 0xE0, 0, 64, 0xC5, 3});
    EXPECT_EQ(rig.outputs->Messages().size(), 3u);
    rig.Release({60, 61, 62});

    // Then a chord of the catalogue again: the tooltip goes.
    rig.Hold({60, 64, 67});
    EXPECT_EQ(rig.Name(), "CMajor Basic");
    EXPECT_TRUE(rig.NameLabel()->toolTip().isEmpty());

    // With A added the notes are two chords: the other is named under the name, and read out.
    QLabel* other = rig.program->Main().lblOtherNames();
    EXPECT_FALSE(other->isVisibleTo(&rig.program->Main()));
    rig.Hold({69});
    EXPECT_EQ(rig.Name(), "CMajor 6th Basic");
    EXPECT_EQ(other->text().toStdString(), "also Am7/C");
    EXPECT_TRUE(other->isVisibleTo(&rig.program->Main()));
    EXPECT_EQ(rig.NameLabel()->accessibleDescription().toStdString(),
              "CMajor 6th Basic; also A Minor 7th, first inversion (also Am7/C)");
    // A chord the user picks is not the one held: the other names go.
    rig.program->Main().mnuInversionsPopupItem_Click(1);
    EXPECT_FALSE(other->isVisibleTo(&rig.program->Main()));
}

TEST(MidiInputWindow, EchoOffHearsNothingAndNoneClosesTheInput) {
    WindowRig rig;
    rig.settings->ChooseInput(1);
    rig.settings->chkEcho()->click();
    EXPECT_FALSE(rig.program->Midi().Echo());
    rig.Hold({60, 64, 67});
    EXPECT_EQ(rig.Name(), "CMajor Basic");
    EXPECT_TRUE(rig.outputs->Messages().empty());

    rig.settings->chkEcho()->click();
    rig.Hold({70});
    rig.settings->ChooseInput(0);  // the echoed note still sounding is released
    EXPECT_EQ(rig.Notes(), (std::vector<Note>{{0x90, 70, 80}, {0x80, 70, 0}}));
    EXPECT_FALSE(rig.program->Midi().InputOpen());
}

TEST(MidiInputWindow, APortThatFailsToOpenShowsTheMessageAndGoesBackToNone) {
    WindowRig rig;
    rig.settings->ChooseInput(1);
    rig.settings->ChooseInput(2);
    EXPECT_EQ(rig.desktop->messages,
              (std::vector<QString>{"Quorvane|The MIDI input port \"Broken\" could not be "
                                    "opened."}));
    EXPECT_EQ(rig.settings->cboInputs()->currentIndex(), 0);
    EXPECT_FALSE(rig.program->Midi().InputOpen()) << "the previous port was closed";
}

TEST(MidiInputWindow, TheChordPlaySoundsIsNotNamedWhenItComesBack) {
    WindowRig rig;
    rig.settings->ChooseInput(1);
    rig.program->Main().cboChordTypes()->setCurrentIndex(1);
    rig.program->Main().cboChordTypes_Click();  // C minor
    rig.program->Main().cmdPlayButton()->click();
    rig.Hold({60, 63, 67});  // the same keys, looped back from the output
    EXPECT_EQ(rig.Name(), "CMinor Basic");
    EXPECT_TRUE(rig.program->Midi().HeldNotes().empty());
}

TEST(MidiInputWindow, RefreshKeepsTheOpenPortByNameAndClosesAVanishedOne) {
    WindowRig rig;
    rig.settings->ChooseInput(1);
    rig.inputs->SetPorts({{"New", true}, {"Keys", true}});
    rig.settings->hide();
    rig.settings->show();
    EXPECT_EQ(rig.settings->cboInputs()->currentText(), "Keys");
    EXPECT_TRUE(rig.program->Midi().InputOpen());
    rig.inputs->SetPorts({{"New", true}});
    rig.settings->hide();
    rig.settings->show();
    EXPECT_EQ(rig.settings->cboInputs()->currentIndex(), 0);
    EXPECT_FALSE(rig.program->Midi().InputOpen());
}

}  // namespace
}  // namespace quorvane::midi

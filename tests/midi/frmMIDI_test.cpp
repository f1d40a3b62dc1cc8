#include "midi/frmMIDI.h"

#include <QAccessible>

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "MidiTestRig.h"
#include "views/Twips.h"

namespace quorvane::midi {
namespace {

using testing::MidiRig;
using testing::Note;

// A settings window as the program makes it: created by InitMidi's first device name.
struct WindowRig : MidiRig {
    explicit WindowRig(std::vector<RecordingOutputs::DeviceSpec> devices = {{"Synth", true},
                                                                            {"Port", true}})
        : MidiRig(std::move(devices)) {
        const std::vector<modCommon::ListedDevice> listed = midi->InitMidi();
        window = std::make_unique<frmMIDI>(*midi, nullptr);
        window->FillDevices(listed);
    }
    std::unique_ptr<frmMIDI> window;
};

TEST(frmMIDI, LayoutInTwips) {
    WindowRig rig;
    frmMIDI& w = *rig.window;
    EXPECT_EQ(w.windowTitle(), "Quorvane - [MIDI]");
    // The input and play rows below the output settings make the window taller.
    EXPECT_EQ(w.size(), QSize(views::TwipsToPixels(5715), views::TwipsToPixels(5100)));
    struct Box {
        QWidget* widget;
        int left, top, width, height;
    };
    const Box boxes[] = {
        {w.Label(5), 120, 180, 645, 195},          {w.cboDevices(), 120, 420, 3255, 315},
        {w.Label(1), 1500, 960, 1230, 195},        {w.txtMIDIChannel(), 2760, 900, 375, 315},
        {w.updMIDIChannel(), 3135, 900, 240, 315}, {w.Label(3), 2040, 1500, 690, 195},
        {w.lblMIDIOctave(), 2760, 1440, 375, 300}, {w.updOctave(), 3135, 1440, 240, 300},
        {w.Label(2), 120, 1920, 2385, 195},        {w.cboGMInstrument(), 120, 2160, 3255, 315},
        {w.Label(4), 3615, 180, 1095, 195},        {w.sldNoteLength(), 3840, 480, 630, 1635},
        {w.txtNoteLength(), 3840, 2160, 570, 315}, {w.Label(6), 4920, 180, 630, 195},
        {w.sldVolume(), 4920, 480, 630, 1635},     {w.txtVolume(), 4920, 2160, 570, 315},
        {w.Label(7), 120, 2640, 645, 195},         {w.cboInputs(), 120, 2880, 3255, 315},
        {w.chkEcho(), 3615, 2880, 1980, 315},      {w.lblSoundfont(), 120, 4320, 1095, 195},
        {w.txtSoundfont(), 120, 4560, 3255, 315},  {w.cmdSoundfont(), 3615, 4560, 1980, 315},
    };
    for (const Box& b : boxes) {
        ASSERT_NE(b.widget, nullptr);
        const views::PixelRect r = views::TwipsToPixels(b.left, b.top, b.width, b.height);
        EXPECT_EQ(b.widget->geometry(), QRect(r.x, r.y, r.width, r.height))
            << b.left << "," << b.top;
    }
    EXPECT_EQ(w.Label(5)->text(), "Output:");
    EXPECT_EQ(w.Label(1)->text(), "MIDI Channel:");
    EXPECT_EQ(w.Label(3)->text(), "Octave:");
    EXPECT_EQ(w.Label(2)->text(), "Program Number/GM Name:");
    EXPECT_EQ(w.Label(4)->text(), "Note Length");
    EXPECT_EQ(w.Label(6)->text(), "Volume");
    EXPECT_EQ(w.Label(7)->text(), "Input:");
}

TEST(frmMIDI, OpenSoundFontAsksForAFileAndTheBoxShowsTheSoundfontInUse) {
    WindowRig rig;
    frmMIDI& w = *rig.window;
    w.show();
    EXPECT_EQ(w.txtSoundfont()->text(), "(none)");  // the recording service has no synthesizer
    int asked = 0;
    QObject::connect(&w, &frmMIDI::soundfontFileRequested, [&] { ++asked; });
    QTest::mouseClick(w.cmdSoundfont(), Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    emit rig.midi->soundfontChanged(QStringLiteral("/somewhere/Grand Piano.sf3"));
    EXPECT_EQ(w.txtSoundfont()->text(), "Grand Piano.sf3");
}

TEST(frmMIDI, StartValuesShownAreTheValuesUsed) {
    WindowRig rig;
    frmMIDI& w = *rig.window;
    EXPECT_EQ(w.txtMIDIChannel()->text(), "1");
    EXPECT_EQ(w.lblMIDIOctave()->text(), "0");
    EXPECT_EQ(w.sldNoteLength()->value(), 2500);
    EXPECT_EQ(w.txtNoteLength()->text(), "500");
    EXPECT_EQ(rig.midi->NoteLength(), 500);
    EXPECT_EQ(3000 - w.sldNoteLength()->value(), rig.midi->NoteLength());
    EXPECT_EQ(w.txtVolume()->text(), "64");
    EXPECT_EQ(rig.midi->Velocity(), 64);
    EXPECT_EQ(127 - w.sldVolume()->value(), rig.midi->Velocity());
    // The text boxes only show values.
    for (QLineEdit* box : {w.txtMIDIChannel(), w.txtNoteLength(), w.txtVolume()}) {
        EXPECT_TRUE(box->isReadOnly());
    }
    // Minimum at the top.
    EXPECT_TRUE(w.sldNoteLength()->invertedAppearance());
    EXPECT_TRUE(w.sldVolume()->invertedAppearance());
}

TEST(frmMIDI, GeneralMidiInstrumentList) {
    WindowRig rig;
    QComboBox* list = rig.window->cboGMInstrument();
    ASSERT_EQ(list->count(), 128);
    const std::pair<int, const char*> spotChecks[] = {
        {0, "000 - Acoustic Grand Piano"},
        {1, "001 - Bright Acoustic Piano"},
        {31, "031 - Guitar harmonics"},
        {50, "050 - SynthStrings 1"},
        {62, "062 - SynthBrass 1"},
        {109, "109 - Bag pipe"},
        {111, "111 - Shanai"},
        {126, "126 - Applause"},
        {127, "127 - Gunshot"},
    };
    for (const auto& [row, text] : spotChecks) {
        EXPECT_EQ(list->itemText(row), QString::fromLatin1(text));
    }
    for (int row = 0; row < 128; ++row) {
        EXPECT_EQ(list->itemText(row).left(6), QString::asprintf("%03d - ", row));
    }
    EXPECT_EQ(list->currentIndex(), 0) << "the load chooses the first instrument";
}

TEST(frmMIDI, LoadSendsAProgramChangeToNoDeviceAndOpensNothing) {
    WindowRig rig;
    EXPECT_EQ(rig.window->cboDevices()->count(), 2);
    EXPECT_EQ(rig.window->cboDevices()->currentIndex(), -1);
    EXPECT_EQ(rig.outputs->OpenCount(), 0);
    EXPECT_TRUE(rig.outputs->Events().empty());
}

TEST(frmMIDI, FirstActivationOpensDeviceZeroOnce) {
    WindowRig rig;
    rig.window->Form_Activate();
    EXPECT_EQ(rig.window->cboDevices()->currentIndex(), 0);
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 0);
    rig.window->Form_Activate();
    EXPECT_EQ(rig.outputs->Events().size(), 1u) << "a later activation opens nothing";
}

TEST(frmMIDI, ShowingTheWindowActivatesIt) {
    WindowRig rig;
    rig.window->show();
    rig.window->activateWindow();
    if (!QTest::qWaitForWindowActive(rig.window.get())) {
        GTEST_SKIP() << "this platform does not activate windows";
    }
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 0);
}

TEST(frmMIDI, ShowingTheWindowOpensDeviceZeroWithoutWaitingForActivation) {
    // Wayland compositors decide whether a shown window becomes active, and may never do so.
    WindowRig rig;
    rig.window->show();
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 0);
    rig.window->hide();
    rig.window->show();
    EXPECT_EQ(rig.outputs->OpenCount(), 1) << "a later showing opens nothing";
}

TEST(frmMIDI, NoDevicesMeansNothingChosenAndNoMessage) {
    WindowRig rig(std::vector<RecordingOutputs::DeviceSpec>{});
    rig.window->Form_Activate();
    EXPECT_EQ(rig.window->cboDevices()->count(), 0);
    EXPECT_EQ(rig.midi->MidiOutHandle(), 0);
    EXPECT_TRUE(rig.errors.empty());
}

TEST(frmMIDI, ChoosingAnEntryOpensTheDeviceBehindIt) {
    // Device 1 cannot be queried, so the second entry stands for device 2.
    WindowRig rig({{"Zero", true}, {std::nullopt, true}, {"Two", true}});
    QComboBox* list = rig.window->cboDevices();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(1), "Two");
    rig.window->ChooseDevice(1);
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 2);
}

TEST(frmMIDI, FailedOpenKeepsTheEntryChosenAndShowsTheMessage) {
    WindowRig rig({{"Broken", false}});
    rig.window->Form_Activate();
    EXPECT_EQ(rig.window->cboDevices()->currentIndex(), 0);
    EXPECT_EQ(rig.midi->MidiOutHandle(), 0);
    EXPECT_EQ(rig.errors.size(), 1u);
}

TEST(frmMIDI, InstrumentChoiceSendsTheProgramChange) {
    WindowRig rig;
    rig.window->Form_Activate();
    rig.window->updMIDIChannel()->StepUp();  // channel 2
    rig.window->ChooseInstrument(127);
    EXPECT_EQ(rig.outputs->Messages(), (std::vector<std::uint32_t>{0x7FC1}));
}

TEST(frmMIDI, NoteLengthSliderEnds) {
    WindowRig rig;
    QSlider* slider = rig.window->sldNoteLength();
    slider->setValue(slider->minimum());  // the top
    EXPECT_EQ(rig.midi->NoteLength(), 2500);
    EXPECT_EQ(rig.window->txtNoteLength()->text(), "2500");
    slider->setValue(slider->maximum());  // the bottom
    EXPECT_EQ(rig.midi->NoteLength(), 500);
    EXPECT_EQ(rig.window->txtNoteLength()->text(), "500");
    slider->setValue(1750);
    EXPECT_EQ(rig.midi->NoteLength(), 1250);
}

TEST(frmMIDI, VolumeSliderEndsAndSilentNoteOns) {
    WindowRig rig;
    QSlider* slider = rig.window->sldVolume();
    slider->setValue(slider->minimum());
    EXPECT_EQ(rig.midi->Velocity(), 127);
    EXPECT_EQ(rig.window->txtVolume()->text(), "127");
    slider->setValue(slider->maximum());
    EXPECT_EQ(rig.midi->Velocity(), 0);
    EXPECT_EQ(rig.window->txtVolume()->text(), "0");
    rig.window->Form_Activate();
    rig.midi->PlayChord(0, 0, 0);
    for (const Note& n : rig.Notes()) {
        EXPECT_EQ(n.data2, 0);
    }
}

TEST(frmMIDI, SliderKeysMoveTheHandleTheWayTheyPoint) {
    WindowRig rig;
    QSlider* slider = rig.window->sldVolume();
    const int before = slider->value();
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Up);
    EXPECT_EQ(slider->value(), before - 1) << "up moves toward the top, the louder end";
    EXPECT_EQ(rig.midi->Velocity(), 127 - slider->value());
}

TEST(frmMIDI, ChannelUpDownStaysWithin1To16) {
    WindowRig rig;
    UpDown* upDown = rig.window->updMIDIChannel();
    for (int i = 0; i < 20; ++i) {
        QTest::mouseClick(upDown->upButton(), Qt::LeftButton);
    }
    EXPECT_EQ(rig.window->txtMIDIChannel()->text(), "16");
    EXPECT_EQ(rig.midi->MidiChannel(), 15);
    EXPECT_EQ(rig.midi->NoteOnBase(), 0x3C9F);
    for (int i = 0; i < 20; ++i) {
        upDown->StepDown();
    }
    EXPECT_EQ(rig.window->txtMIDIChannel()->text(), "1");
    EXPECT_EQ(rig.midi->MidiChannel(), 0);
    EXPECT_EQ(rig.midi->NoteOnBase(), 0x3C90);
}

TEST(frmMIDI, OctaveUpDownStaysWithinTwoOctaves) {
    WindowRig rig;
    UpDown* upDown = rig.window->updOctave();
    for (int i = 0; i < 5; ++i) {
        upDown->StepDown();
    }
    EXPECT_EQ(rig.midi->Octave(), -2);
    EXPECT_EQ(rig.window->lblMIDIOctave()->text(), "-2");
    EXPECT_EQ(rig.window->lblMIDIOctave()->accessibleName(), "Octave -2");
    for (int i = 0; i < 5; ++i) {
        upDown->StepUp();
    }
    EXPECT_EQ(rig.midi->Octave(), 2);
    EXPECT_EQ(rig.window->lblMIDIOctave()->text(), "2");
    rig.window->Form_Activate();
    rig.midi->PlayChord(0, 0, 0);
    const std::vector<Note> notes = rig.Notes();
    ASSERT_EQ(notes.size(), 6u);
    EXPECT_EQ(notes[0].data1, 84);
    EXPECT_EQ(notes[1].data1, 88);
    EXPECT_EQ(notes[2].data1, 91);
}

// Each style shows and keeps its own spacing; a block chord has none.
TEST(frmMIDI, PlayAsShowsEachStylesOwnSpacing) {
    WindowRig rig;
    EXPECT_FALSE(rig.window->updSpacing()->isEnabled());
    for (const auto& [row, shown] : {std::pair{3, 25}, {1, 200}, {3, 30}}) {
        rig.window->cboPlayAs()->setCurrentIndex(row);
        rig.window->cboPlayAs_Click();
        EXPECT_EQ(rig.window->updSpacing()->value(), shown);
        rig.window->updSpacing()->setValue(30);
    }
    EXPECT_EQ(rig.midi->PlaySpacing(), 30);
}

TEST(frmMIDI, UserCloseHidesAndKeepsTheSettings) {
    WindowRig rig;
    rig.window->show();
    rig.window->updOctave()->StepUp();
    EXPECT_TRUE(rig.window->Form_QueryUnload(true));
    EXPECT_FALSE(rig.window->isVisible());
    rig.window->show();
    EXPECT_EQ(rig.window->lblMIDIOctave()->text(), "1");
    EXPECT_EQ(rig.midi->Octave(), 1);
    // The program's own close goes through.
    EXPECT_TRUE(rig.window->close());
}

std::vector<QString> Entries(const QComboBox& list) {
    std::vector<QString> out;
    for (int row = 0; row < list.count(); ++row) {
        out.push_back(list.itemText(row));
    }
    return out;
}

// Devices plugged in and removed while the program runs show up when the window is shown again;
// the chosen entry stays chosen by name and still opens the device it names, and a refresh never
// opens, closes or sends anything.
TEST(frmMIDI, ShowingListsTheDevicesAfreshAndKeepsTheChoiceByName) {
    WindowRig rig({{"Builtin", true}, {"Port A", true}, {"Port B", true}});
    QComboBox* list = rig.window->cboDevices();
    rig.window->ChooseDevice(2);
    ASSERT_EQ(rig.midi->OpenDeviceNumber(), 2);
    rig.outputs->Clear();

    rig.outputs->SetDevices({{"Builtin", true},
                             {"Plugged in", true},
                             {"Port A", true},
                             {std::nullopt, true},
                             {"Port B", true}});
    rig.window->show();
    EXPECT_EQ(Entries(*list), (std::vector<QString>{"Builtin", "Plugged in", "Port A", "Port B"}));
    EXPECT_EQ(list->currentText(), "Port B");
    EXPECT_TRUE(rig.outputs->Events().empty()) << "nothing opened, closed or sent";
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 2) << "the open device stays open";
    rig.window->ChooseDevice(list->currentIndex());
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 4) << "the entry opens the device it names now";

    // The chosen device is removed: no entry is chosen, and nothing is opened for the user.
    rig.outputs->Clear();
    rig.outputs->SetDevices({{"Builtin", true}, {"Port A", true}});
    rig.window->hide();
    rig.window->show();
    rig.window->Form_Activate();
    EXPECT_EQ(Entries(*list), (std::vector<QString>{"Builtin", "Port A"}));
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_TRUE(rig.outputs->Events().empty());
    rig.window->ChooseDevice(1);
    EXPECT_EQ(rig.midi->OpenDeviceNumber(), 1);
    EXPECT_TRUE(rig.errors.empty());
}

TEST(frmMIDI, Screenshot) {
    WindowRig rig;
    rig.window->Form_Activate();
    const QPixmap shot = rig.window->grab();
    EXPECT_EQ(shot.size(), rig.window->size() * shot.devicePixelRatio());
    if (const char* dir = std::getenv("QUORVANE_SCREENSHOT_DIR")) {
        shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/frmMIDI.png"));
    }
}

TEST(frmMIDI, EveryControlHasAnAccessibleName) {
    WindowRig rig;
    frmMIDI& w = *rig.window;
    const std::vector<std::pair<QWidget*, QString>> expected{
        {w.cboDevices(), "Output"},
        {w.txtMIDIChannel(), "MIDI Channel"},
        {w.updMIDIChannel(), "MIDI Channel"},
        {w.lblMIDIOctave(), "Octave 0"},  // read with the value it shows
        {w.updOctave(), "Octave"},
        {w.cboGMInstrument(), "Program Number/GM Name"},
        {w.sldNoteLength(), "Note Length"},
        {w.txtNoteLength(), "Note Length"},
        {w.sldVolume(), "Volume"},
        {w.txtVolume(), "Volume"},
        {w.cboInputs(), "Input"}};
    for (const auto& [widget, name] : expected) {
        EXPECT_EQ(widget->accessibleName().toStdString(), name.toStdString());
    }
    // Nothing on the window is left without a name for assistive technology to read.
    for (QWidget* child : w.findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(child->parentWidget()) != nullptr ||
            child->inherits("QComboBoxPrivateContainer") || !child->isVisibleTo(&w)) {
            continue;
        }
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(child);
        ASSERT_NE(iface, nullptr);
        EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty())
            << child->metaObject()->className() << " " << child->objectName().toStdString();
    }
}

}  // namespace
}  // namespace quorvane::midi

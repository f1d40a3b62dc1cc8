#pragma once
// frmMIDI: the MIDI settings window. Output device, General MIDI instrument, channel, octave
// shift, note length and volume, the MIDI input, how Play lays a chord out in time, and the
// soundfont of the built-in synthesizer; every control writes straight into modCommon.

#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "midi/modCommon.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace quorvane::midi {

// A vertical pair of arrow buttons stepping an integer through a range; each step emits
// valueChanged, on which the owner writes the value into the buddy and then handles the change.
// At either end the step is refused and nothing changes.
class UpDown : public QWidget {
    Q_OBJECT
  public:
    UpDown(int minimum, int maximum, int value, QWidget* parent);
    int value() const { return value_; }
    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    void StepUp() { SetValue(value_ + 1); }
    void StepDown() { SetValue(value_ - 1); }
    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

  signals:
    void valueChanged(int value);

  private:
    void SetValue(int value);
    int minimum_;
    int maximum_;
    int value_;
    QToolButton* up_;
    QToolButton* down_;
};

class frmMIDI : public QWidget {
    Q_OBJECT
  public:
    // Created hidden as a window owned by `owner`; loads at once.
    frmMIDI(modCommon& midi, QWidget* owner);
    ~frmMIDI() override;

    // Layout in twips. The input controls sit below the output settings, which keep their
    // places, the way of playing below them and the soundfont at the bottom; the window is
    // taller by their rows.
    static constexpr int kClientWidth = 5715;
    static constexpr int kClientHeight = 5100;
    // The first entry of the input list: no input.
    static constexpr const char* kNoInput = "(none)";

    // Lists the output devices InitMidi found, as they are at program start; nothing is chosen
    // and nothing opened.
    void FillDevices(const std::vector<modCommon::ListedDevice>& devices);
    // The device number behind a list entry, -1 outside the list.
    int DeviceNumberAt(int row) const;
    // Lists the output devices afresh, so that one plugged in or started after the program
    // shows up; runs whenever the window is shown or activated. The chosen entry stays chosen,
    // found again by its name, and opens the device it names; nothing is opened, closed or sent.
    // When the chosen device is no longer listed no entry is chosen, the device is left as it
    // is, and activation does not choose entry 0 for the user: the next device is the user's
    // choice.
    void RefreshDevices();

    // ---- Event handlers -------------------------------------------------------------------
    void Form_Load();
    void Form_Activate();
    // True when the close is refused (the window is hidden instead): the user's close.
    bool Form_QueryUnload(bool byUser);
    void cboDevices_Click();
    void cboGMInstrument_Click();
    void sldNoteLength_Change();
    void sldVolume_Change();
    void updMIDIChannel_Change();
    void updOctave_Change();
    void cboInputs_Click();
    void chkEcho_Click();
    void cboPlayAs_Click();
    void updSpacing_Change();

    // Chooses a list entry from code, with the same handling as the user's choice.
    void ChooseDevice(int row);
    void ChooseInstrument(int row);
    void ChooseInput(int row);
    // Lists the input ports afresh, "(none)" first; runs whenever the window is shown or
    // activated. The chosen port stays chosen, found again by its name; when it is gone its
    // input is closed and "(none)" is chosen.
    void RefreshInputs();

    // ---- Controls -------------------------------------------------------------------------
    QLabel* Label(int number) const;  // Label1..Label9
    QComboBox* cboDevices() const { return cboDevices_; }
    QComboBox* cboGMInstrument() const { return cboGMInstrument_; }
    QLineEdit* txtMIDIChannel() const { return txtMIDIChannel_; }
    UpDown* updMIDIChannel() const { return updMIDIChannel_; }
    QLabel* lblMIDIOctave() const { return lblMIDIOctave_; }
    UpDown* updOctave() const { return updOctave_; }
    QSlider* sldNoteLength() const { return sldNoteLength_; }
    QLineEdit* txtNoteLength() const { return txtNoteLength_; }
    QSlider* sldVolume() const { return sldVolume_; }
    QLineEdit* txtVolume() const { return txtVolume_; }
    QComboBox* cboInputs() const { return cboInputs_; }
    QCheckBox* chkEcho() const { return chkEcho_; }
    QComboBox* cboPlayAs() const { return cboPlayAs_; }
    QSpinBox* updSpacing() const { return updSpacing_; }
    QLabel* lblSoundfont() const { return lblSoundfont_; }
    QLineEdit* txtSoundfont() const { return txtSoundfont_; }
    QPushButton* cmdSoundfont() const { return cmdSoundfont_; }

  signals:
    // The user asks for another soundfont file for the built-in synthesizer.
    void soundfontFileRequested();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls();
    // The octave label's accessible name, with the value it shows.
    void NameOctave();
    void BuildPlayAs();
    // The spacing box shows the chosen style's spacing; a block chord has none.
    void ShowSpacing();
    void BuildSoundfont();
    // The soundfont box shows the file's name, its tooltip the whole path.
    void ShowSoundfont(const QString& path);

    modCommon& midi_;
    // The chosen device vanished from the list at a refresh, and none has been chosen since.
    bool choiceLost_ = false;
    std::array<QLabel*, 9> labels_{};
    QComboBox* cboDevices_ = nullptr;
    QComboBox* cboGMInstrument_ = nullptr;
    QLineEdit* txtMIDIChannel_ = nullptr;
    UpDown* updMIDIChannel_ = nullptr;
    QLabel* lblMIDIOctave_ = nullptr;
    UpDown* updOctave_ = nullptr;
    QSlider* sldNoteLength_ = nullptr;
    QLineEdit* txtNoteLength_ = nullptr;
    QSlider* sldVolume_ = nullptr;
    QLineEdit* txtVolume_ = nullptr;
    QComboBox* cboInputs_ = nullptr;
    QCheckBox* chkEcho_ = nullptr;
    QComboBox* cboPlayAs_ = nullptr;
    QSpinBox* updSpacing_ = nullptr;
    QLabel* lblSoundfont_ = nullptr;
    QLineEdit* txtSoundfont_ = nullptr;
    QPushButton* cmdSoundfont_ = nullptr;
};

}  // namespace quorvane::midi

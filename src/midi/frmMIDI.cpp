#include "midi/frmMIDI.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <array>
#include <cstdio>
#include <utility>

#include "look/Fonts.h"
#include "look/Place.h"
#include "midi/GeneralMidi.h"
#include "midi/modCommon.h"
#include "views/Twips.h"

namespace quorvane::midi {

namespace {

using look::Place;
using look::WindowFont;

QLabel* MakeLabel(QWidget* parent, const char* text, Qt::Alignment align, int left, int top,
                  int width, int height) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setAlignment(align | Qt::AlignTop);
    Place(label, left, top, width, height);
    return label;
}

// A text box that shows a value; the settings change only through the other controls.
QLineEdit* MakeValueBox(QWidget* parent, const QString& text, int left, int top, int width,
                        int height) {
    auto* box = new QLineEdit(text, parent);
    box->setReadOnly(true);
    Place(box, left, top, width, height);
    return box;
}

QSlider* MakeSlider(QWidget* parent, int minimum, int maximum, int small, int large, int tick,
                    int value) {
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setRange(minimum, maximum);
    slider->setSingleStep(small);
    slider->setPageStep(large);
    slider->setTickInterval(tick);
    slider->setTickPosition(QSlider::TicksRight);
    // The minimum is at the top and the value grows downwards; the arrow keys and the wheel move
    // the handle the way they point.
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    // A change is reported when the handle is let go, not while it is dragged.
    slider->setTracking(false);
    slider->setValue(value);
    return slider;
}

}  // namespace

// ---- UpDown ---------------------------------------------------------------------------------

UpDown::UpDown(int minimum, int maximum, int value, QWidget* parent)
    : QWidget(parent),
      minimum_(minimum),
      maximum_(maximum),
      value_(value),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {up_, down_}) {
        button->setArrowType(button == up_ ? Qt::UpArrow : Qt::DownArrow);
        button->setAccessibleName(button == up_ ? QStringLiteral("Up") : QStringLiteral("Down"));
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    connect(up_, &QToolButton::clicked, this, [this] { StepUp(); });
    connect(down_, &QToolButton::clicked, this, [this] { StepDown(); });
}

void UpDown::SetValue(int value) {
    if (value < minimum_ || value > maximum_ || value == value_) {
        return;
    }
    value_ = value;
    emit valueChanged(value_);
}

// ---- frmMIDI --------------------------------------------------------------------------------

frmMIDI::frmMIDI(modCommon& midi, QWidget* owner) : QWidget(owner, Qt::Window), midi_(midi) {
    setObjectName(QStringLiteral("frmMIDI"));
    setWindowTitle(QStringLiteral("Quorvane - [MIDI]"));
    // A dialog-type window: the window system then knows the main window as its owner and keeps
    // it in front of it (Qt names the owner only for dialog-like windows).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    const views::PixelRect client = views::TwipsToPixels(0, 0, kClientWidth, kClientHeight);
    setFixedSize(client.width, client.height);
    setFont(WindowFont());
    BuildControls();
    Form_Load();
}

frmMIDI::~frmMIDI() = default;

void frmMIDI::BuildControls() {
    const Qt::Alignment left = Qt::AlignLeft;
    const Qt::Alignment centre = Qt::AlignHCenter;
    labels_[4] = MakeLabel(this, "Output:", left, 120, 180, 645, 195);
    cboDevices_ = new QComboBox(this);
    Place(cboDevices_, 120, 420, 3255, 315);

    labels_[0] = MakeLabel(this, "MIDI Channel:", centre, 1500, 960, 1230, 195);
    txtMIDIChannel_ = MakeValueBox(this, QStringLiteral("1"), 2760, 900, 375, 315);
    updMIDIChannel_ = new UpDown(1, 16, 1, this);
    Place(updMIDIChannel_, 3135, 900, 240, 315);

    labels_[2] = MakeLabel(this, "Octave:", left, 2040, 1500, 690, 195);
    lblMIDIOctave_ = new QLabel(QStringLiteral("0"), this);
    lblMIDIOctave_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMIDIOctave_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblMIDIOctave_->setLineWidth(1);
    Place(lblMIDIOctave_, 2760, 1440, 375, 300);
    updOctave_ = new UpDown(-2, 2, 0, this);
    Place(updOctave_, 3135, 1440, 240, 300);

    labels_[1] = MakeLabel(this, "Program Number/GM Name:", left, 120, 1920, 2385, 195);
    cboGMInstrument_ = new QComboBox(this);
    Place(cboGMInstrument_, 120, 2160, 3255, 315);
    for (std::size_t program = 0; program < GeneralMidiInstruments.size(); ++program) {
        char number[8];
        std::snprintf(number, sizeof number, "%03zu", program);
        cboGMInstrument_->addItem(
            QString::fromLatin1(number) + QStringLiteral(" - ") +
            QString::fromLatin1(GeneralMidiInstruments[program].data(),
                                static_cast<qsizetype>(GeneralMidiInstruments[program].size())));
    }
    cboGMInstrument_->setMaxVisibleItems(16);

    labels_[3] = MakeLabel(this, "Note Length", centre, 3615, 180, 1095, 195);
    // The slider sits at its shortest end, where the box and the engine's note length agree.
    sldNoteLength_ = MakeSlider(this, 500, 2500, 50, 500, 250, 3000 - kStartNoteLength);
    Place(sldNoteLength_, 3840, 480, 630, 1635);
    txtNoteLength_ = MakeValueBox(this, QString::number(kStartNoteLength), 3840, 2160, 570, 315);

    labels_[5] = MakeLabel(this, "Volume", centre, 4920, 180, 630, 195);
    // 127 - 63 = 64: the slider, the box and the engine's velocity agree from the start.
    sldVolume_ = MakeSlider(this, 0, 127, 1, 4, 16, 127 - kStartVelocity);
    Place(sldVolume_, 4920, 480, 630, 1635);
    txtVolume_ = MakeValueBox(this, QString::number(kStartVelocity), 4920, 2160, 570, 315);

    labels_[6] = MakeLabel(this, "Input:", left, 120, 2640, 645, 195);
    cboInputs_ = new QComboBox(this);
    Place(cboInputs_, 120, 2880, 3255, 315);
    cboInputs_->addItem(QString::fromLatin1(kNoInput));
    cboInputs_->setCurrentIndex(0);
    chkEcho_ = new QCheckBox(QStringLiteral("Echo to output"), this);
    chkEcho_->setChecked(midi_.Echo());
    Place(chkEcho_, 3615, 2880, 1980, 315);

    BuildPlayAs();
    BuildSoundfont();

    // Handlers are connected once every control holds its start value.
    connect(cboDevices_, &QComboBox::activated, this, [this] { cboDevices_Click(); });
    connect(cboGMInstrument_, &QComboBox::activated, this, [this] { cboGMInstrument_Click(); });
    connect(sldNoteLength_, &QSlider::valueChanged, this, [this] { sldNoteLength_Change(); });
    connect(sldVolume_, &QSlider::valueChanged, this, [this] { sldVolume_Change(); });
    connect(cboInputs_, &QComboBox::activated, this, [this] { cboInputs_Click(); });
    connect(chkEcho_, &QCheckBox::clicked, this, [this] { chkEcho_Click(); });
    // Each up-down writes its buddy first; the handler reads the value from there.
    connect(updMIDIChannel_, &UpDown::valueChanged, this, [this](int value) {
        txtMIDIChannel_->setText(QString::number(value));
        updMIDIChannel_Change();
    });
    connect(updOctave_, &UpDown::valueChanged, this, [this](int value) {
        lblMIDIOctave_->setText(QString::number(value));
        NameOctave();
        updOctave_Change();
    });

    // Assistive technology reads each control by the caption beside it.
    const std::array<std::pair<QWidget*, const char*>, 11> names{{
        {cboDevices_, "Output"},
        {txtMIDIChannel_, "MIDI Channel"},
        {updMIDIChannel_, "MIDI Channel"},
        {lblMIDIOctave_, "Octave"},
        {updOctave_, "Octave"},
        {cboGMInstrument_, "Program Number/GM Name"},
        {sldNoteLength_, "Note Length"},
        {txtNoteLength_, "Note Length"},
        {sldVolume_, "Volume"},
        {txtVolume_, "Volume"},
        {cboInputs_, "Input"},
    }};
    for (const auto& [widget, name] : names) {
        widget->setAccessibleName(QString::fromLatin1(name));
    }
    NameOctave();
    labels_[4]->setBuddy(cboDevices_);
    labels_[0]->setBuddy(txtMIDIChannel_);
    labels_[1]->setBuddy(cboGMInstrument_);
    labels_[3]->setBuddy(sldNoteLength_);
    labels_[5]->setBuddy(sldVolume_);
    labels_[6]->setBuddy(cboInputs_);
}

void frmMIDI::BuildPlayAs() {
    labels_[7] = MakeLabel(this, "Play as:", Qt::AlignLeft, 120, 3480, 1095, 195);
    cboPlayAs_ = new QComboBox(this);
    Place(cboPlayAs_, 120, 3720, 2175, 315);
    // What each style does, as the list's tooltips say it.
    const std::array<const char*, kPlayStyleNames.size()> explained{
        "Every note at once", "One note after another, from the lowest",
        "One note after another, from the highest",
        "A downstroke: from the lowest note up, a few milliseconds apart"};
    for (std::size_t i = 0; i < kPlayStyleNames.size(); ++i) {
        const std::string_view name = kPlayStyleNames[i];
        cboPlayAs_->addItem(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
        cboPlayAs_->setItemData(static_cast<int>(i), QString::fromLatin1(explained[i]),
                                Qt::ToolTipRole);
    }
    cboPlayAs_->setCurrentIndex(static_cast<int>(midi_.PlayAs()));
    labels_[8] = MakeLabel(this, "Spacing:", Qt::AlignLeft, 2400, 3480, 975, 195);
    updSpacing_ = new QSpinBox(this);
    updSpacing_->setRange(kShortestSpacing, kLongestSpacing);
    updSpacing_->setSingleStep(5);
    updSpacing_->setSuffix(QStringLiteral(" ms"));
    updSpacing_->setAccessibleDescription(QStringLiteral("Time between the notes' onsets"));
    Place(updSpacing_, 2400, 3720, 975, 315);
    ShowSpacing();
    // In the focus order after the instrument, with the other ways the chord sounds; the input's
    // controls keep their places at the end of it.
    setTabOrder(cboGMInstrument_, cboPlayAs_);
    setTabOrder(cboPlayAs_, updSpacing_);
    setTabOrder(updSpacing_, sldNoteLength_);
    connect(cboPlayAs_, &QComboBox::activated, this, [this] { cboPlayAs_Click(); });
    connect(updSpacing_, &QSpinBox::valueChanged, this, [this] { updSpacing_Change(); });
    cboPlayAs_->setAccessibleName(QStringLiteral("Play as"));
    updSpacing_->setAccessibleName(QStringLiteral("Spacing"));
    // The box's own text field is read by the same name.
    if (auto* field = updSpacing_->findChild<QLineEdit*>()) {
        field->setAccessibleName(QStringLiteral("Spacing"));
    }
    labels_[7]->setBuddy(cboPlayAs_);
    labels_[8]->setBuddy(updSpacing_);
}

void frmMIDI::BuildSoundfont() {
    lblSoundfont_ = MakeLabel(this, "SoundFont:", Qt::AlignLeft, 120, 4320, 1095, 195);
    txtSoundfont_ = MakeValueBox(this, QString(), 120, 4560, 3255, 315);
    txtSoundfont_->setAccessibleName(QStringLiteral("SoundFont"));
    lblSoundfont_->setBuddy(txtSoundfont_);
    cmdSoundfont_ = new QPushButton(QStringLiteral("Open SoundFont..."), this);
    cmdSoundfont_->setAccessibleDescription(
        QStringLiteral("Another SoundFont file (.sf2 or .sf3) for the built-in synthesizer"));
    Place(cmdSoundfont_, 3615, 4560, 1980, 315);
    // In the focus order after the playing controls and before the input's, which keep their
    // places at the end of it; Tab from the output list still reaches the channel first.
    setTabOrder(txtVolume_, txtSoundfont_);
    setTabOrder(txtSoundfont_, cmdSoundfont_);
    connect(cmdSoundfont_, &QPushButton::clicked, this, &frmMIDI::soundfontFileRequested);
    connect(&midi_, &modCommon::soundfontChanged, this, &frmMIDI::ShowSoundfont);
}

void frmMIDI::ShowSoundfont(const QString& path) {
    txtSoundfont_->setText(path.isEmpty() ? QStringLiteral("(none)") : QFileInfo(path).fileName());
    txtSoundfont_->setToolTip(path);
}

void frmMIDI::ShowSpacing() {
    const QSignalBlocker block(updSpacing_);
    const bool spaced = midi_.PlayAs() != PlayStyle::Chord;
    updSpacing_->setEnabled(spaced);
    updSpacing_->setValue(spaced ? midi_.PlaySpacing() : kShortestSpacing);
    updSpacing_->setSpecialValueText(spaced ? QString() : QStringLiteral("none"));
}

void frmMIDI::cboPlayAs_Click() {
    const int row = cboPlayAs_->currentIndex();
    if (row >= 0) {
        midi_.SetPlayAs(static_cast<PlayStyle>(row));
        ShowSpacing();
    }
}

void frmMIDI::updSpacing_Change() {
    midi_.SetPlaySpacing(updSpacing_->value());
}

QLabel* frmMIDI::Label(int number) const {
    return number >= 1 && number <= static_cast<int>(labels_.size()) ? labels_[number - 1]
                                                                     : nullptr;
}

void frmMIDI::FillDevices(const std::vector<modCommon::ListedDevice>& devices) {
    const int chosen = cboDevices_->currentIndex();
    for (const modCommon::ListedDevice& d : devices) {
        cboDevices_->addItem(QString::fromStdString(d.name), d.device);
    }
    // The list keeps "nothing chosen" until a choice is made.
    if (chosen < 0) {
        cboDevices_->setCurrentIndex(-1);
    }
}

int frmMIDI::DeviceNumberAt(int row) const {
    if (row < 0 || row >= cboDevices_->count()) {
        return -1;
    }
    return cboDevices_->itemData(row).toInt();
}

void frmMIDI::RefreshDevices() {
    const std::vector<modCommon::ListedDevice> listed = midi_.ListDevices();
    bool unchanged = static_cast<int>(listed.size()) == cboDevices_->count();
    for (int row = 0; unchanged && row < cboDevices_->count(); ++row) {
        const modCommon::ListedDevice& d = listed[static_cast<std::size_t>(row)];
        unchanged = cboDevices_->itemText(row) == QString::fromStdString(d.name) &&
                    DeviceNumberAt(row) == d.device;
    }
    if (unchanged) {
        return;
    }
    const bool hadChoice = cboDevices_->currentIndex() >= 0;
    const QString chosen = hadChoice ? cboDevices_->currentText() : QString();
    // Items change from code here: no choice handler runs.
    cboDevices_->clear();
    int keep = -1;
    for (const modCommon::ListedDevice& d : listed) {
        const QString name = QString::fromStdString(d.name);
        if (keep < 0 && hadChoice && name == chosen) {
            keep = cboDevices_->count();
        }
        cboDevices_->addItem(name, d.device);
    }
    cboDevices_->setCurrentIndex(keep);
    if (hadChoice && keep < 0) {
        choiceLost_ = true;
    }
}

void frmMIDI::ChooseDevice(int row) {
    cboDevices_->setCurrentIndex(row);
    cboDevices_Click();
}

void frmMIDI::ChooseInput(int row) {
    cboInputs_->setCurrentIndex(row);
    cboInputs_Click();
}

void frmMIDI::RefreshInputs() {
    const std::vector<std::string> listed = midi_.ListInputs();
    bool unchanged = static_cast<int>(listed.size()) + 1 == cboInputs_->count();
    for (int row = 1; unchanged && row < cboInputs_->count(); ++row) {
        unchanged = cboInputs_->itemText(row) ==
                    QString::fromStdString(listed[static_cast<std::size_t>(row - 1)]);
    }
    if (unchanged) {
        return;
    }
    const QString chosen = cboInputs_->currentIndex() > 0 ? cboInputs_->currentText() : QString();
    // Items change from code here: no choice handler runs.
    cboInputs_->clear();
    cboInputs_->addItem(QString::fromLatin1(kNoInput));
    int keep = 0;
    for (const std::string& name : listed) {
        const QString text = QString::fromStdString(name);
        if (keep == 0 && !chosen.isEmpty() && text == chosen) {
            keep = cboInputs_->count();
        }
        cboInputs_->addItem(text);
    }
    cboInputs_->setCurrentIndex(keep);
    if (!chosen.isEmpty() && keep == 0) {
        midi_.CloseInput();  // the port is gone
    }
}

void frmMIDI::ChooseInstrument(int row) {
    cboGMInstrument_->setCurrentIndex(row);
    cboGMInstrument_Click();
}

void frmMIDI::Form_Load() {
    ChooseInstrument(0);
    if (cboDevices_->count() > 0) {
        ChooseDevice(0);
    }
}

void frmMIDI::Form_Activate() {
    if (cboDevices_->count() > 0 && cboDevices_->currentIndex() < 0 && !choiceLost_) {
        ChooseDevice(0);
    }
}

bool frmMIDI::Form_QueryUnload(bool byUser) {
    if (byUser) {
        hide();
        return true;
    }
    return false;
}

void frmMIDI::cboDevices_Click() {
    const int device = DeviceNumberAt(cboDevices_->currentIndex());
    if (device >= 0) {
        choiceLost_ = false;
        midi_.SelectDevice(device);
    }
}

void frmMIDI::cboGMInstrument_Click() {
    const int program = cboGMInstrument_->currentIndex();
    if (program >= 0) {
        midi_.SendProgramChange(program);
    }
}

void frmMIDI::sldNoteLength_Change() {
    midi_.SetNoteLength(3000 - sldNoteLength_->value());
    txtNoteLength_->setText(QString::number(midi_.NoteLength()));
    midi_.DoEvents();
}

void frmMIDI::sldVolume_Change() {
    midi_.SetVelocity(127 - sldVolume_->value());
    txtVolume_->setText(QString::number(midi_.Velocity()));
    midi_.DoEvents();
}

void frmMIDI::updMIDIChannel_Change() {
    midi_.SetMidiChannel(txtMIDIChannel_->text().toInt());
}

void frmMIDI::cboInputs_Click() {
    const int row = cboInputs_->currentIndex();
    if (row <= 0) {
        midi_.CloseInput();
        return;
    }
    // A port that cannot be opened has shown its message; no input is open then.
    if (!midi_.OpenInput(cboInputs_->currentText().toStdString())) {
        cboInputs_->setCurrentIndex(0);
    }
}

void frmMIDI::chkEcho_Click() {
    midi_.SetEcho(chkEcho_->isChecked());
}

void frmMIDI::NameOctave() {
    // A label is read by its name only: the name carries the value.
    lblMIDIOctave_->setAccessibleName(QStringLiteral("Octave %1").arg(lblMIDIOctave_->text()));
}

void frmMIDI::updOctave_Change() {
    // The up-down holds the octave the user chose; its caption only shows it.
    midi_.SetOctave(updOctave_->value());
}

void frmMIDI::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        RefreshDevices();
        RefreshInputs();
        Form_Activate();
    }
}

void frmMIDI::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Looked up when shown, not at start: the program starts without touching the soundfonts.
    ShowSoundfont(QString::fromStdString(midi_.Soundfont()));
    RefreshDevices();
    RefreshInputs();
    // A Wayland compositor decides itself whether a newly shown window becomes active (a
    // headless one never activates any): being shown is enough to open the first device.
    Form_Activate();
}

void frmMIDI::closeEvent(QCloseEvent* event) {
    // The close box and the window menu only hide the window; a close by the program, the owner
    // window or the system goes through.
    if (Form_QueryUnload(event->spontaneous())) {
        event->ignore();
    } else {
        event->accept();
    }
}

}  // namespace quorvane::midi

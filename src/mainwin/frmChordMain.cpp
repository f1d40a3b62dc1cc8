#include "mainwin/frmChordMain.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "mainwin/ChordSheet.h"
#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/Markers.h"
#include "mainwin/StaffSurface.h"
#include "theory/theory.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

Q_LOGGING_CATEGORY(lcStartup, "quorvane.startup")
Q_LOGGING_CATEGORY(lcPrint, "quorvane.print")

namespace {

constexpr int kClientWidth = 8550;
constexpr int kClientHeight = 6225;
constexpr int kNameLeft = 3585;
constexpr int kNameTop = 180;

void Place(QWidget* w, int left, int top, int width, int height) {
    const views::PixelRect r = views::TwipsToPixels(left, top, width, height);
    w->setGeometry(r.x, r.y, r.width, r.height);
}

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

frmChordMain::frmChordMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmChordMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    // Fixed border: it can be minimised, not resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    ScreenWidthPixels = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr ? screen->geometry().width() : 0;
    };
    ShowCriticalMessage = [this](const QString& title, const QString& text) {
        QMessageBox::critical(this, title, text, QMessageBox::Ok);
    };
    OpenPopupMenu = [](QMenu* menu) { menu->exec(QCursor::pos()); };
    ChoosePrinter = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };

    BuildControls();
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

frmChordMain::~frmChordMain() = default;

void frmChordMain::BuildControls() {
    staff_ = new StaffSurface(this);
    setCentralWidget(staff_);
    const views::PixelRect client = views::TwipsToPixels(0, 0, kClientWidth, kClientHeight);
    staff_->setFixedSize(client.width, client.height);
    staff_->setFont(WindowFont());
    connect(staff_, &StaffSurface::MouseDown, this, &frmChordMain::Form_MouseDown);

    lblNoteName_ = new MouseDownLabel(QStringLiteral("Chord"), staff_);
    lblNoteName_->setFont(NameFont());
    Place(lblNoteName_, kNameLeft, kNameTop, 1080, 435);
    PlaceNameLabel();
    connect(lblNoteName_, &MouseDownLabel::MouseDown, this, &frmChordMain::lblNoteName_MouseDown);

    picKeyboard_ = new KeyboardPanel(staff_);
    Place(picKeyboard_, views::kKeyboardPanel.left, views::kKeyboardPanel.top,
          views::kKeyboardPanel.width, views::kKeyboardPanel.height);
    connect(picKeyboard_, &KeyboardPanel::MouseDown, this, &frmChordMain::picKeyboard_MouseDown);

    struct LabelLayout {
        const char* text;
        int left, top, width, height;
    };
    const std::array<LabelLayout, 5> labelLayouts{{{"Root Note:", 120, 3480, 945, 195},
                                                   {"Chord Type:", 1440, 3480, 1050, 195},
                                                   {"Scale:", 3960, 3480, 555, 195},
                                                   {"Scale:", 600, 4440, 555, 195},
                                                   {"Chord:", 5160, 4440, 570, 195}}};
    for (std::size_t i = 0; i < labelLayouts.size(); ++i) {
        const LabelLayout& entry = labelLayouts[i];
        labels_[i] = new QLabel(QString::fromLatin1(entry.text), staff_);
        labels_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Place(labels_[i], entry.left, entry.top, entry.width, entry.height);
    }

    cboRootNote_ = new QComboBox(staff_);
    Place(cboRootNote_, 120, 3720, 1215, 315);
    cboChordTypes_ = new QComboBox(staff_);
    Place(cboChordTypes_, 1440, 3720, 2415, 315);
    cboScales_ = new QComboBox(staff_);
    Place(cboScales_, 3960, 3720, 2775, 315);
    for (QComboBox* box : {cboRootNote_, cboChordTypes_, cboScales_}) {
        box->setEditable(false);
        box->setMaxVisibleItems(16);
    }
    // The root texts are the list's design contents; chord types and scales are added at start.
    for (std::string_view root : theory::RootNames) {
        cboRootNote_->addItem(Q(root));
    }
    connect(cboRootNote_, &QComboBox::activated, this, [this] { cboRootNote_Click(); });
    connect(cboChordTypes_, &QComboBox::activated, this, [this] { cboChordTypes_Click(); });
    connect(cboScales_, &QComboBox::activated, this, [this] { cboScales_Click(); });

    cmdPlayButton_ = new QPushButton(QStringLiteral("Play"), staff_);
    Place(cmdPlayButton_, 7740, 3600, 612, 492);
    cmdPlayButton_->setDefault(true);
    connect(cmdPlayButton_, &QPushButton::clicked, this, &frmChordMain::cmdPlayButton_Click);

    lblClef_ = new ClefLabel(staff_);
    lblClef_->Apply(views::ComputeClefView(ClefOffset));

    auto* clefGroup = new QButtonGroup(this);
    optClef_[0] = new QRadioButton(QStringLiteral("Treble Clef"), staff_);
    Place(optClef_[0], 120, 5580, 1275, 375);
    optClef_[1] = new QRadioButton(QStringLiteral("Bass Clef"), staff_);
    Place(optClef_[1], 1440, 5580, 1275, 375);
    optClef_[0]->setChecked(true);
    for (int i = 0; i < 2; ++i) {
        clefGroup->addButton(optClef_[static_cast<std::size_t>(i)], i);
    }
    connect(clefGroup, &QButtonGroup::idClicked, this, &frmChordMain::optClef_Click);

    CreateMarkers();
    NameControls();
}

void frmChordMain::NameControls() {
    // Assistive technology reads each control by the caption a sighted user reads beside it.
    picKeyboard_->setAccessibleName(QStringLiteral("Keyboard"));
    staff_->setAccessibleName(QStringLiteral("Staff"));
    cboRootNote_->setAccessibleName(QStringLiteral("Root Note"));
    cboChordTypes_->setAccessibleName(QStringLiteral("Chord Type"));
    cboScales_->setAccessibleName(QStringLiteral("Scale"));
    labels_[0]->setBuddy(cboRootNote_);
    labels_[1]->setBuddy(cboChordTypes_);
    labels_[2]->setBuddy(cboScales_);
    cmdPlayButton_->setAccessibleName(QStringLiteral("Play"));
    cmdPlayButton_->setAccessibleDescription(QStringLiteral("Plays the chord"));
    optClef_[0]->setAccessibleName(QStringLiteral("Treble Clef"));
    optClef_[1]->setAccessibleName(QStringLiteral("Bass Clef"));
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setAccessibleName(labels_[i]->text());
    }
    for (int k = 0; k < views::kKeyCount; ++k) {
        if (QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)]) {
            // Scientific pitch: key 0 is middle C (C4).
            marker->setAccessibleName(
                QStringLiteral("Marker %1%2").arg(Q(theory::NoteName(k))).arg(4 + k / 12));
        }
    }
    DescribeDisplays();
}

void frmChordMain::DescribeDisplays() {
    lblClef_->setAccessibleName(ClefOffset == 0 ? QStringLiteral("Treble clef")
                                                : QStringLiteral("Bass clef"));
    // The label is read by its name, so the name carries the chord it shows.
    lblNoteName_->setAccessibleName(QStringLiteral("Chord name: %1").arg(lblNoteName_->text()));
    lblNoteName_->setAccessibleDescription(lblNoteName_->text());
    const QString chord = chordNotes_.isEmpty() ? QStringLiteral("none") : chordNotes_;
    const QString scale = scaleNotes_.isEmpty() ? QStringLiteral("none") : scaleNotes_;
    picKeyboard_->setAccessibleDescription(
        QStringLiteral("Chord %1, keys marked: %2. Scale %3, keys coloured: %4.")
            .arg(lblNoteName_->text(), chord, scaleTitle_, scale));
    staff_->setAccessibleDescription(
        QStringLiteral("%1. Scale %2: %3. Chord %4: %5.")
            .arg(lblClef_->accessibleName(), scaleTitle_, scale, lblNoteName_->text(), chord));
}

void frmChordMain::CreateMarkers() {
    const std::vector<QWidget*> markers =
        CreateKeyMarkers(picKeyboard_, views::kKeyCount, markerPlaces_);
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = markers[static_cast<std::size_t>(k)];
        vtlPlayKey_[static_cast<std::size_t>(k)] = marker;
        if (marker == nullptr) {
            continue;
        }
        markerBackColor_[static_cast<std::size_t>(k)] = MarkerBackColorOf(marker);
        markerCaption_[static_cast<std::size_t>(k)] = MarkerCaptionOf(marker);
        marker->setObjectName(QStringLiteral("vtlPlayKey%1").arg(k));
        marker->setGeometry(picKeyboard_->DrawingAreaRect(views::MarkerRect(k)));
        new MarkerMouseRelay(marker, k, [this](int index, int button, int shift, float x, float y) {
            vtlPlayKey_MouseDown(index, button, shift, x, y);
        });
    }
}

void frmChordMain::BuildMenus() {
    QMenuBar* bar = menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    mnuFilePrint_ = file->addAction(QStringLiteral("&Print"));
    mnuFilePrint_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    file->addSeparator();
    mnuFileExit_ = file->addAction(QStringLiteral("E&xit"));
    connect(mnuFilePrint_, &QAction::triggered, this, &frmChordMain::mnuFilePrint_Click);
    connect(mnuFileExit_, &QAction::triggered, this, &frmChordMain::mnuFileExit_Click);

    QMenu* options = bar->addMenu(QStringLiteral("&Options"));
    mnuOptionsLinkWindows_ = options->addAction(QStringLiteral("&Link Windows"));
    mnuOptionsLinkWindows_->setCheckable(true);
    mnuOptionsLinkWindows_->setChecked(true);
    connect(mnuOptionsLinkWindows_, &QAction::triggered, this,
            &frmChordMain::mnuOptionsLinkWindows_Click);
    mnuOptionsIdentifiers_ = options->addMenu(QStringLiteral("Display &Note Identifiers"));
    const std::array<const char*, 3> identifierCaptions{"&Markers", "&Names", "N&umbers"};
    for (int i = 0; i < 3; ++i) {
        QAction* item = mnuOptionsIdentifiers_->addAction(
            QString::fromLatin1(identifierCaptions[static_cast<std::size_t>(i)]));
        item->setCheckable(true);
        item->setChecked(i == 0);
        mnuOptionsIdentifierItem_[static_cast<std::size_t>(i)] = item;
        connect(item, &QAction::triggered, this, [this, i] { mnuOptionsIdentifierItem_Click(i); });
    }
    mnuOptionsResetMIDI_ = options->addAction(QStringLiteral("&Reset MIDI Devices"));
    connect(mnuOptionsResetMIDI_, &QAction::triggered, this,
            &frmChordMain::mnuOptionsResetMIDI_Click);

    QMenu* window = bar->addMenu(QStringLiteral("&Window"));
    mnuWindowProgressions_ = window->addAction(QStringLiteral("&Chord Progressions"));
    mnuWindowProgressions_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1));
    mnuWindowProgressions_->setCheckable(true);
    mnuWindowProgressions_->setChecked(false);
    mnuWindowMIDI_ = window->addAction(QStringLiteral("&MIDI Settings"));
    mnuWindowMIDI_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F2));
    connect(mnuWindowProgressions_, &QAction::triggered, this, [this] {
        // The handler decides the check mark; undo the toggle the menu made on its own.
        mnuWindowProgressions_->setChecked(!mnuWindowProgressions_->isChecked());
        mnuWindowProgressions_Click();
    });
    connect(mnuWindowMIDI_, &QAction::triggered, this, &frmChordMain::mnuWindowMIDI_Click);

    // The same menu serves the menu bar and the pop-up at the pointer; no item is ever checked.
    mnuInversionsPopup_ = bar->addMenu(QStringLiteral("In&versions"));
    const std::array<const char*, 4> inversionCaptions{"Basic", "First", "Second", "Third"};
    for (int i = 0; i < 4; ++i) {
        QAction* item = mnuInversionsPopup_->addAction(
            QString::fromLatin1(inversionCaptions[static_cast<std::size_t>(i)]));
        mnuInversionsPopupItem_[static_cast<std::size_t>(i)] = item;
        connect(item, &QAction::triggered, this, [this, i] { mnuInversionsPopupItem_Click(i); });
    }

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    mnuHelpIndex_ = help->addAction(QStringLiteral("&Index"));
    mnuHelpSearch_ = help->addAction(QStringLiteral("Search For Help on..."));
    help->addSeparator();
    QMenu* web = help->addMenu(QStringLiteral("Brackenfold on the &Web..."));
    mnuHelpWebUpdates_ = web->addAction(QStringLiteral("&Updates"));
    web->addSeparator();
    mnuHelpWebHome_ = web->addAction(QStringLiteral("Brackenfold &Home Page"));
    help->addSeparator();
    mnuHelpAbout_ = help->addAction(QStringLiteral("&About Velmira"));
    const auto call = [](const std::function<void()>& f) {
        if (f) {
            f();
        }
    };
    connect(mnuHelpIndex_, &QAction::triggered, this,
            [this, call] { call(collaborators.HelpIndex); });
    connect(mnuHelpWebUpdates_, &QAction::triggered, this,
            [this, call] { call(collaborators.HelpWebUpdates); });
    connect(mnuHelpWebHome_, &QAction::triggered, this,
            [this, call] { call(collaborators.HelpWebHome); });
    connect(mnuHelpAbout_, &QAction::triggered, this,
            [this, call] { call(collaborators.HelpAbout); });
}

// ---- Start-up ---------------------------------------------------------------------------

bool frmChordMain::Form_Load() {
    // 1. The start-up reminder; its Cancel ends the program.
    if (collaborators.ShowStartReminder && !collaborators.ShowStartReminder()) {
        return false;
    }
    // Without its markers the window cannot show a chord (a program copied away from its
    // control library, a broken install): say so, naming where the control was looked for.
    // After the reminder, as start-up always begins with it; before anything else is set up.
    if (vtlPlayKey_[0] == nullptr) {
        controlMissing_ = true;
        const QString text = MissingMarkerControlText(markerPlaces_);
        qCCritical(lcStartup).noquote() << text;
        ShowCriticalMessage(QStringLiteral("Quorvane"), text);
        return false;
    }
    // 2. Only the width is tested.
    if (ScreenWidthPixels() < kMinimumScreenWidth) {
        ShowCriticalMessage(QStringLiteral("Quorvane"),
                            QStringLiteral("Quorvane will only run at resolutions of 800x600 or "
                                           "higher, Sorry!"));
        return false;
    }
    // 3.
    Inversion = 0;
    InversionCaption = " Basic";
    // 4.
    move(0, 0);
    // 5.
    LinkWindows = true;
    mnuOptionsLinkWindows_->setChecked(true);
    if (collaborators.InitMidi) {
        collaborators.InitMidi();
    }
    // 6.
    for (QWidget* marker : vtlPlayKey_) {
        if (marker != nullptr) {
            marker->hide();
        }
    }
    // 7. The note table is constant data.
    // 8.
    cboChordTypes_->clear();
    for (const theory::ChordType& type : theory::ChordTypes) {
        cboChordTypes_->addItem(Q(type.name));
    }
    SelectRow(cboChordTypes_, 0);
    // 9. The scale table is constant data.
    // 10.
    SelectRow(cboRootNote_, 0);
    // 11.
    cboScales_->clear();
    for (const theory::Scale& scale : theory::Scales) {
        cboScales_->addItem(Q(scale.name));
    }
    SelectRow(cboScales_, 0);
    // 12. The interval labels are constant data.
    // 13.
    ShowChord();
    ShowScale();
    return true;
}

void frmChordMain::SelectRow(QComboBox* box, int row) {
    {
        const QSignalBlocker block(box);
        box->setCurrentIndex(row);
    }
    if (box == cboRootNote_) {
        cboRootNote_Click();
    } else if (box == cboChordTypes_) {
        cboChordTypes_Click();
    } else if (box == cboScales_) {
        cboScales_Click();
    }
}

// ---- Selectors --------------------------------------------------------------------------

void frmChordMain::cboRootNote_Click() {
    if (cmdPlayButton_->isEnabled() && cmdPlayButton_->isVisible()) {
        cmdPlayButton_->setFocus();
    }
    RootIndex = std::max(0, cboRootNote_->currentIndex());
    if (LinkWindows) {
        ShowProg();
        ShowScale();
    }
    ShowChord();
}

void frmChordMain::cboChordTypes_Click() {
    ChordTypeIndex = std::max(0, cboChordTypes_->currentIndex());
    ShowChord();
}

void frmChordMain::cboScales_Click() {
    ScaleIndex = std::max(0, cboScales_->currentIndex());
    ShowScale();
}

void frmChordMain::cboScales_Change() {
    cboScales_Click();
}

void frmChordMain::optClef_Click(int index) {
    ClefOffset = index == 0 ? views::kTrebleClefOffset : views::kBassClefOffset;
    lblClef_->Apply(views::ComputeClefView(ClefOffset));
    // Choosing from code sets the button as a click would.
    if (QRadioButton* button = optClef(index == 0 ? 0 : 1); !button->isChecked()) {
        button->setChecked(true);
    }
    ShowScale();
    ShowChord();
}

void frmChordMain::ShowProg() {
    if (collaborators.ShowProg) {
        collaborators.ShowProg(RootIndex);
    }
}

// ---- Displays ---------------------------------------------------------------------------

views::IdentifierMode frmChordMain::IdentifierMode() const {
    if (mnuOptionsIdentifierItem_[2]->isChecked()) {
        return views::IdentifierMode::Numbers;
    }
    if (mnuOptionsIdentifierItem_[1]->isChecked()) {
        return views::IdentifierMode::Names;
    }
    return views::IdentifierMode::Markers;
}

void frmChordMain::ShowChord() {
    const QByteArray rootText = cboRootNote_->itemText(RootIndex).toUtf8();
    views::ChordSelection selection;
    selection.rootText = std::string_view(rootText.constData(), rootText.size());
    selection.rootIndex = RootIndex;
    selection.chordTypeIndex = ChordTypeIndex;
    selection.inversion = Inversion;
    selection.inversionCaption = InversionCaption;
    selection.clefOffset = ClefOffset;
    selection.mode = IdentifierMode();
    const views::ChordView view = views::ComputeChordView(selection);

    lblNoteName_->setText(QString::fromStdString(view.name));
    PlaceNameLabel();
    // The chord's notes by name, from the lowest sounding key up.
    theory::ChordVoicing voicing =
        theory::VoiceChord(theory::ChordTypes[static_cast<std::size_t>(ChordTypeIndex)].intervals,
                           RootIndex, Inversion, ClefOffset);
    std::stable_sort(voicing.begin(), voicing.end(),
                     [](const theory::ChordNote& a, const theory::ChordNote& b) {
                         return a.SoundingKey < b.SoundingKey;
                     });
    QStringList notes;
    for (const theory::ChordNote& note : voicing) {
        notes << Q(theory::NoteName(note.SoundingKey));
    }
    chordNotes_ = notes.join(QStringLiteral(", "));
    staff_->ApplyChord(view);
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)];
        if (marker == nullptr) {
            continue;
        }
        const views::MarkerView& m = view.markers[static_cast<std::size_t>(k)];
        if (markerBackColor_[static_cast<std::size_t>(k)] != m.backColor) {
            SetMarkerBackColor(marker, m.backColor);
            markerBackColor_[static_cast<std::size_t>(k)] = m.backColor;
        }
        if (m.caption) {
            SetKeyMarkerCaption(k, QString::fromStdString(*m.caption));
        }
        marker->setVisible(m.shown);
    }
    DescribeDisplays();
}

void frmChordMain::ShowScale() {
    const views::ScaleView view = views::ComputeScaleView(RootIndex, ScaleIndex, ClefOffset);
    picKeyboard_->SetKeyColors(view.keyColors);
    staff_->ApplyScale(view);
    const theory::Scale& scale = theory::Scales[static_cast<std::size_t>(ScaleIndex)];
    QStringList notes;
    for (const theory::ScaleNote& note :
         theory::BuildScale(RootIndex, scale.intervals, ClefOffset)) {
        notes << Q(note.name);
    }
    scaleNotes_ = notes.join(QStringLiteral(", "));
    scaleTitle_ = cboRootNote_->itemText(RootIndex) + QLatin1Char(' ') + Q(scale.name);
    DescribeDisplays();
}

void frmChordMain::PlaceNameLabel() {
    // The same placement as the printed sheet's; it runs at every chord change, so the font is
    // set only when it differs and the size comes straight from the font's metrics.
    const NameLayout layout = LayOutName(lblNoteName_->text());
    if (lblNoteName_->font() != layout.font) {
        lblNoteName_->setFont(layout.font);
    }
    lblNoteName_->setGeometry(layout.left, views::TwipsToPixels(kNameTop), layout.width,
                              layout.height);
}

ChordSheet frmChordMain::CurrentSheet() const {
    ChordSheet sheet;
    sheet.name = lblNoteName_->text();
    sheet.rootText = cboRootNote_->currentText();
    sheet.chordTypeText = cboChordTypes_->currentText();
    sheet.scaleText = cboScales_->currentText();
    sheet.chord = staff_->Chord();
    sheet.scale = staff_->Scale();
    sheet.clef = lblClef_->View();
    const views::IdentifierMode mode = IdentifierMode();
    for (int k = 0; k < views::kKeyCount; ++k) {
        sheet.markerCaptions[static_cast<std::size_t>(k)] =
            QString::fromStdString(views::MarkerCaption(k, mode, RootIndex));
    }
    return sheet;
}

// ---- Keyboard ---------------------------------------------------------------------------

void frmChordMain::picKeyboard_MouseDown(int button, int /*shift*/, float x, float y) {
    if (button == 1) {
        RootIndex = views::PitchClassAtPoint(x, y);
        SelectRow(cboRootNote_, RootIndex);
        if (LinkWindows) {
            ShowProg();
            ShowScale();
        }
        ShowChord();
    } else if (button == 2) {
        OpenInversionsPopup();
    }
}

void frmChordMain::vtlPlayKey_MouseDown(int /*index*/, int button, int /*shift*/, float /*x*/,
                                        float /*y*/) {
    // A left press on a marker does nothing: the marker takes it from the key beneath.
    if (button == 2) {
        OpenInversionsPopup();
    }
}

void frmChordMain::mnuOptionsIdentifierItem_Click(int index) {
    for (int i = 0; i < 3; ++i) {
        mnuOptionsIdentifierItem_[static_cast<std::size_t>(i)]->setChecked(i == index);
    }
    const auto mode = static_cast<views::IdentifierMode>(index);
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)];
        if (marker == nullptr) {
            continue;
        }
        if (mode != views::IdentifierMode::Markers) {
            RefreshMarker(marker);
        }
        SetKeyMarkerCaption(k, QString::fromStdString(views::MarkerCaption(k, mode, RootIndex)));
    }
    ShowChord();
}

void frmChordMain::SetKeyMarkerCaption(int k, const QString& caption) {
    QString& shown = markerCaption_[static_cast<std::size_t>(k)];
    if (shown != caption) {
        SetMarkerCaption(vtlPlayKey_[static_cast<std::size_t>(k)], caption);
        shown = caption;
    }
}

// ---- Inversions -------------------------------------------------------------------------

void frmChordMain::ApplyInversion() {
    if (const auto caption = views::InversionCaptionFor(Inversion)) {
        InversionCaption = std::string(*caption);
    }
    ShowChord();
}

void frmChordMain::mnuInversionsPopupItem_Click(int index) {
    Inversion = index;
    ApplyInversion();
}

void frmChordMain::OpenInversionsPopup() {
    OpenPopupMenu(mnuInversionsPopup_);
    ApplyInversion();
}

void frmChordMain::Form_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
    if (button == 2) {
        OpenInversionsPopup();
    }
}

void frmChordMain::lblNoteName_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
    if (button == 2) {
        OpenInversionsPopup();
    }
}

void frmChordMain::cmdPlayButton_Click() {
    if (collaborators.PlayChord) {
        collaborators.PlayChord();
    }
}

// ---- Window-level options and commands --------------------------------------------------

void frmChordMain::mnuFilePrint_Click() {
    // The chord sheet on one page, through the system's print dialog (which also prints to a
    // PDF file). A printer that cannot be started prints nothing; why goes to the log.
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(
        QMarginsF(kPrintMarginMm, kPrintMarginMm, kPrintMarginMm, kPrintMarginMm),
        QPageLayout::Millimeter);
    printer.setDocName(lblNoteName_->text());
    if (ChoosePrinter && ChoosePrinter(printer)) {
        if (const QString error = PrintChordSheet(printer, CurrentSheet()); !error.isEmpty()) {
            qCWarning(lcPrint).noquote()
                << QStringLiteral("Printing \"%1\" failed: %2").arg(printer.docName(), error);
        }
    }
}

void frmChordMain::mnuFileExit_Click() {
    if (collaborators.ShutDown) {
        collaborators.ShutDown();
    } else {
        close();
    }
}

void frmChordMain::Form_Unload() {
    if (collaborators.ShutDown) {
        collaborators.ShutDown();
    }
}

void frmChordMain::mnuOptionsLinkWindows_Click() {
    if (LinkWindows) {
        LinkWindows = false;
        mnuOptionsLinkWindows_->setChecked(false);
        return;
    }
    LinkWindows = true;
    mnuOptionsLinkWindows_->setChecked(true);
    ShowProg();
    ShowScale();
}

void frmChordMain::mnuOptionsResetMIDI_Click() {
    if (collaborators.ResetMidi) {
        collaborators.ResetMidi();
    }
}

void frmChordMain::mnuWindowProgressions_Click() {
    const bool checked = mnuWindowProgressions_->isChecked();
    QWidget* window =
        collaborators.ProgressionsWindow ? collaborators.ProgressionsWindow() : nullptr;
    if (window == nullptr) {
        return;
    }
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
    } else if (checked) {
        mnuWindowProgressions_->setChecked(false);
        window->hide();
        window->setWindowState(Qt::WindowNoState);
    } else {
        mnuWindowProgressions_->setChecked(true);
        window->show();
        window->raise();
    }
}

void frmChordMain::mnuWindowMIDI_Click() {
    QWidget* window = collaborators.MidiWindow ? collaborators.MidiWindow() : nullptr;
    if (window == nullptr) {
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void frmChordMain::Form_Resize() {
    QWidget* midi = collaborators.MidiWindow ? collaborators.MidiWindow() : nullptr;
    QWidget* progressions =
        collaborators.ProgressionsWindow ? collaborators.ProgressionsWindow() : nullptr;
    // A hidden window stays hidden: its state is left alone, since the window system shows a
    // window whose state is set (an unpainted frame on restore, an icon on minimise).
    const auto shown = [](const QWidget* w) { return w != nullptr && w->isVisible(); };
    if (isMinimized()) {
        if (midi != nullptr) {
            SavedMidiState = midi->windowState();
        }
        if (shown(midi)) {
            midi->setWindowState(midi->windowState() | Qt::WindowMinimized);
        }
        if (progressions != nullptr) {
            SavedProgressionsState = progressions->windowState();
        }
        if (shown(progressions)) {
            progressions->setWindowState(progressions->windowState() | Qt::WindowMinimized);
        }
    } else {
        if (shown(midi)) {
            midi->setWindowState(SavedMidiState);
        }
        if (shown(progressions)) {
            progressions->setWindowState(SavedProgressionsState);
        }
    }
}

// ---- Qt events --------------------------------------------------------------------------

void frmChordMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        Form_Resize();
    }
}

void frmChordMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        Form_Resize();
    }
}

void frmChordMain::closeEvent(QCloseEvent* event) {
    // The unload is not cancelled.
    event->accept();
    Form_Unload();
}

void frmChordMain::keyPressEvent(QKeyEvent* event) {
    // Play is the window's default button: Enter presses it wherever the focus is.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        cmdPlayButton_->isEnabled()) {
        cmdPlayButton_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- Control access ---------------------------------------------------------------------

QLabel* frmChordMain::lblNoteName() const {
    return lblNoteName_;
}

QLabel* frmChordMain::Label(int number) const {
    return number >= 1 && number <= 5 ? labels_[static_cast<std::size_t>(number - 1)] : nullptr;
}

QRadioButton* frmChordMain::optClef(int index) const {
    return index >= 0 && index < 2 ? optClef_[static_cast<std::size_t>(index)] : nullptr;
}

QWidget* frmChordMain::vtlPlayKey(int key) const {
    return key >= 0 && key < views::kKeyCount ? vtlPlayKey_[static_cast<std::size_t>(key)]
                                              : nullptr;
}

QAction* frmChordMain::mnuOptionsIdentifierItem(int index) const {
    return index >= 0 && index < 3 ? mnuOptionsIdentifierItem_[static_cast<std::size_t>(index)]
                                   : nullptr;
}

QAction* frmChordMain::mnuInversionsPopupItem(int index) const {
    return index >= 0 && index < 4 ? mnuInversionsPopupItem_[static_cast<std::size_t>(index)]
                                   : nullptr;
}

// ---- A chord held on the MIDI input -----------------------------------------------------

void frmChordMain::SelectPlayedChord(int rootIndex, int chordTypeIndex, int inversion) {
    if (rootIndex < 0 || rootIndex >= cboRootNote_->count() || chordTypeIndex < 0 ||
        chordTypeIndex >= cboChordTypes_->count() || inversion < 0 ||
        inversion >= static_cast<int>(mnuInversionsPopupItem_.size())) {
        return;
    }
    lblNoteName_->setToolTip(QString());
    SelectRow(cboRootNote_, rootIndex);
    SelectRow(cboChordTypes_, chordTypeIndex);
    mnuInversionsPopupItem_Click(inversion);
}

void frmChordMain::ShowUnlistedChord(const QString& notes) {
    const QString text = QStringLiteral("Not in the catalogue: ") + notes;
    lblNoteName_->setToolTip(text);
    lblNoteName_->setAccessibleDescription(text);
}

}  // namespace quorvane::mainwin

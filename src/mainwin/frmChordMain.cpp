#include "mainwin/frmChordMain.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "look/MainLayout.h"
#include "look/Place.h"
#include "mainwin/ChordSheet.h"
#include "mainwin/Desktop.h"
#include "mainwin/DragWatcher.h"
#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/Markers.h"
#include "mainwin/PlayingKeys.h"
#include "mainwin/SpellingChoice.h"
#include "mainwin/StaffSurface.h"
#include "theory/theory.h"
#include "vantile/ComponentHost.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

Q_LOGGING_CATEGORY(lcStartup, "quorvane.startup")
Q_LOGGING_CATEGORY(lcPrint, "quorvane.print")

namespace {

using look::Place;

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where on the staff a press picks up the chord, in twips: its heads (those set aside to the
// right too), its sharps' columns (right of the scale's last note) and its ledger lines, over
// the whole height the chord's notes can take.
constexpr views::TwipsRect kChordColumn{5460, 3600, 960, 2040};

}  // namespace

frmChordMain::frmChordMain(Desktop& desktop, SecondaryWindows* windows, QWidget* parent)
    : QMainWindow(parent),
      desktop_(desktop),
      windows_(windows != nullptr ? *windows : alone_),
      markerDispatch_(std::make_unique<vantile::DispatchCache>()) {
    setObjectName(QStringLiteral("frmChordMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    // Fixed border: it can be minimised, not resized or maximised.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    // The controls are built by Form_Load, after the start-up reminder.
}

frmChordMain::~frmChordMain() {
    // The keys stop coming before the window goes: its deactivation on the way is no focus lost.
    delete playingKeys_;
}

void frmChordMain::BuildControls() {
    staff_ = new StaffSurface(this);
    setCentralWidget(staff_);
    const views::PixelRect client =
        views::TwipsToPixels(0, 0, look::kMainClientWidth, look::kMainClientHeight);
    staff_->setFixedSize(client.width, client.height);
    staff_->setFont(WindowFont());
    connect(staff_, &StaffSurface::MouseDown, this, &frmChordMain::Form_MouseDown);

    lblNoteName_ = new MouseDownLabel(QStringLiteral("Chord"), staff_);
    lblNoteName_->setFont(NameFont());
    Place(lblNoteName_, look::kNameLabel);
    PlaceNameLabel();
    connect(lblNoteName_, &MouseDownLabel::MouseDown, this, &frmChordMain::lblNoteName_MouseDown);
    lblOtherNames_ = new QLabel(staff_);
    lblOtherNames_->setObjectName(QStringLiteral("lblOtherNames"));
    lblOtherNames_->setAccessibleName(QStringLiteral("Other names of the held chord"));
    lblOtherNames_->setFont(WindowFont());
    lblOtherNames_->setAlignment(Qt::AlignCenter);
    lblOtherNames_->hide();
    lblChordSymbol_ = new SymbolLabel(staff_);
    WatchForDrags(lblChordSymbol_, [](QPoint) { return true; });
    WatchForDrags(lblNoteName_, [](QPoint) { return true; });
    WatchForDrags(staff_, [](QPoint at) {
        const views::PixelRect column = views::TwipsToPixels(
            kChordColumn.left, kChordColumn.top, kChordColumn.width, kChordColumn.height);
        return QRect(column.x, column.y, column.width, column.height).contains(at);
    });

    picKeyboard_ = new KeyboardPanel(staff_);
    Place(picKeyboard_, views::kKeyboardPanel);
    connect(picKeyboard_, &KeyboardPanel::MouseDown, this, &frmChordMain::picKeyboard_MouseDown);

    for (std::size_t i = 0; i < look::kMainLabels.size(); ++i) {
        const look::Caption& entry = look::kMainLabels[i];
        labels_[i] = new QLabel(Q(entry.text), staff_);
        labels_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Place(labels_[i], entry.rect);
    }

    cboRootNote_ = new QComboBox(staff_);
    cboChordTypes_ = new QComboBox(staff_);
    cboScales_ = new QComboBox(staff_);
    const std::array<QComboBox*, 3> selectors{cboRootNote_, cboChordTypes_, cboScales_};
    for (std::size_t i = 0; i < selectors.size(); ++i) {
        Place(selectors[i], look::kMainSelectors[i]);
        selectors[i]->setEditable(false);
        selectors[i]->setMaxVisibleItems(16);
    }
    // The root texts are the list's design contents; chord types and scales are added at start.
    for (std::string_view root : theory::RootNames) {
        cboRootNote_->addItem(Q(root));
    }
    connect(cboRootNote_, &QComboBox::activated, this, [this] { cboRootNote_Click(); });
    connect(cboChordTypes_, &QComboBox::activated, this, [this] { cboChordTypes_Click(); });
    connect(cboScales_, &QComboBox::activated, this, [this] { cboScales_Click(); });

    cmdPlayButton_ = new QPushButton(QStringLiteral("Play"), staff_);
    Place(cmdPlayButton_, look::kPlayButton);
    cmdPlayButton_->setDefault(true);
    connect(cmdPlayButton_, &QPushButton::clicked, this, &frmChordMain::cmdPlayButton_Click);

    lblClef_ = new ClefLabel(staff_);
    lblClef_->Apply(views::ComputeClefView(clefOffset_));

    auto* clefGroup = new QButtonGroup(this);
    for (std::size_t i = 0; i < optClef_.size(); ++i) {
        optClef_[i] = new QRadioButton(Q(look::kClefOptions[i].text), staff_);
        Place(optClef_[i], look::kClefOptions[i].rect);
        clefGroup->addButton(optClef_[i], static_cast<int>(i));
    }
    optClef_[0]->setChecked(true);
    connect(clefGroup, &QButtonGroup::idClicked, this, &frmChordMain::optClef_Click);

    CreateMarkers();
    NameControls();
    playingKeys_ = new PlayingKeys(
        this, {[this](quint32 scan, int character) { emit computerKeyDown(scan, character); },
               [this](quint32 scan, int character) { emit computerKeyUp(scan, character); },
               [this] { emit pickedCleared(); }, [this] { emit computerKeysLost(); }});
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
    // What the displays last applied show, as the views word it.
    const views::ClefView& clef = lblClef_->View();
    const views::ChordView& chord = staff_->Chord();
    const views::ScaleView& scale = staff_->Scale();
    lblClef_->setAccessibleName(QString::fromStdString(clef.description));
    // The label is read by its name, so the name carries the chord it shows.
    lblNoteName_->setAccessibleName(QStringLiteral("Chord name: %1").arg(lblNoteName_->text()));
    lblNoteName_->setAccessibleDescription(
        lblOtherNames_->text().isEmpty()
            ? lblNoteName_->text()
            : QStringLiteral("%1; %2 (%3)")
                  .arg(lblNoteName_->text(),
                       QString::fromStdString(theory::OtherNamesText(heldNames_)),
                       QString::fromStdString(theory::OtherNamesSymbols(heldNames_, spelling_))));
    DescribeKeyboard();
    staff_->setAccessibleDescription(QString::fromStdString(
        clef.description + ". " + scale.staffDescription + ' ' + chord.staffDescription));
}

void frmChordMain::DescribeKeyboard() {
    picKeyboard_->setAccessibleDescription(QString::fromStdString(
        staff_->Chord().keyboardDescription + ' ' + staff_->Scale().keyboardDescription + ' ' +
        picKeyboard_->Held().description));
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
    mnuFileExportMIDI_ = file->addAction(QStringLiteral("&Export MIDI..."));
    connect(mnuFileExportMIDI_, &QAction::triggered, this, &frmChordMain::mnuFileExportMIDI_Click);
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
    mnuOptionsSpellingItem_ =
        AddSpellingMenu(options, [this](theory::Spelling spelling) { SetSpelling(spelling); });
    mnuOptionsPickNotes_ = options->addAction(QStringLiteral("&Pick Notes"));
    mnuOptionsPickNotes_->setCheckable(true);
    connect(mnuOptionsPickNotes_, &QAction::toggled, this,
            &frmChordMain::mnuOptionsPickNotes_Click);
    mnuOptionsResetMIDI_ = options->addAction(QStringLiteral("&Reset MIDI Devices"));
    connect(mnuOptionsResetMIDI_, &QAction::triggered, this,
            &frmChordMain::mnuOptionsResetMIDI_Click);

    mnuWindow_ = bar->addMenu(QStringLiteral("&Window"));
    QMenu* window = mnuWindow_;
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
    connect(mnuHelpIndex_, &QAction::triggered, this, &frmChordMain::helpIndexRequested);
    connect(mnuHelpWebUpdates_, &QAction::triggered, this, &frmChordMain::webUpdatesRequested);
    connect(mnuHelpWebHome_, &QAction::triggered, this, &frmChordMain::webHomeRequested);
    connect(mnuHelpAbout_, &QAction::triggered, this, &frmChordMain::aboutRequested);
}

// ---- Start-up ---------------------------------------------------------------------------

bool frmChordMain::Form_Load() {
    // The start-up reminder comes first; its Cancel ends the program.
    if (!windows_.ShowStartReminder()) {
        return false;
    }
    // The window's controls, unless the program built them while the reminder waited.
    LoadControls();
    // Without its markers the window cannot show a chord (a program copied away from its
    // control library, a broken install): say so, naming where the control was looked for.
    // After the reminder, as start-up always begins with it; before anything else is set up.
    if (vtlPlayKey_[0] == nullptr) {
        controlMissing_ = true;
        const QString text = MissingMarkerControlText(markerPlaces_);
        qCCritical(lcStartup).noquote() << text;
        desktop_.ShowCriticalMessage(this, QStringLiteral("Quorvane"), text);
        return false;
    }
    // The screen check ends the program on a narrow screen; only the width is tested.
    if (desktop_.ScreenWidthPixels() < kMinimumScreenWidth) {
        desktop_.ShowCriticalMessage(this, QStringLiteral("Quorvane"),
                                     QStringLiteral("Quorvane will only run at resolutions of "
                                                    "800x600 or higher, Sorry!"));
        return false;
    }
    // The chord starts in root position.
    inversion_ = 0;
    inversionCaption_ = " Basic";
    // The window stands at the top-left corner of the screen.
    move(0, 0);
    // Link Windows on, then the MIDI start-up: playing defaults and the settings window's device
    // list (which creates that window hidden).
    linkWindows_ = true;
    mnuOptionsLinkWindows_->setChecked(true);
    emit initMidiRequested();
    // No key is marked until a chord is shown.
    for (QWidget* marker : vtlPlayKey_) {
        if (marker != nullptr) {
            marker->hide();
        }
    }
    // The chord types in catalogue order, the first chosen as a user's pick is (ShowChord). The
    // note table, like the chord types, is constant data.
    cboChordTypes_->clear();
    for (const theory::ChordType& type : theory::ChordTypes) {
        cboChordTypes_->addItem(Q(type.name));
    }
    SelectRow(cboChordTypes_, 0);
    // The root C chosen as a user's pick is: with Link Windows on it brings the progressions chart
    // up to date (creating that window hidden) and draws the scale, then the chord. The scale
    // table is constant data.
    SelectRow(cboRootNote_, 0);
    // The scales in catalogue order, the first chosen as a user's pick is (ShowScale).
    cboScales_->clear();
    for (const theory::Scale& scale : theory::Scales) {
        cboScales_->addItem(Q(scale.name));
    }
    SelectRow(cboScales_, 0);
    // Both displays drawn once more from the finished start-up state. The interval labels are
    // constant data.
    ShowChord();
    ShowScale();
    return true;
}

void frmChordMain::LoadControls() {
    if (staff_ != nullptr) {
        return;  // built while the reminder waited
    }
    BuildControls();
    BuildMenus();
    // The window takes its fixed size at once, so windows placed beside it during the start-up
    // see its real width.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    layout()->activate();
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

// ---- Selection state -------------------------------------------------------------------

bool frmChordMain::SetRootIndex(int index) {
    if (index < 0 || index >= static_cast<int>(theory::RootNames.size())) {
        return false;
    }
    rootIndex_ = index;
    return true;
}

bool frmChordMain::SetChordTypeIndex(int index) {
    if (index < 0 || index >= static_cast<int>(theory::ChordTypes.size())) {
        return false;
    }
    chordTypeIndex_ = index;
    return true;
}

bool frmChordMain::SetScaleIndex(int index) {
    if (index < 0 || index >= static_cast<int>(theory::Scales.size())) {
        return false;
    }
    scaleIndex_ = index;
    return true;
}

bool frmChordMain::SetInversion(int inversion) {
    if (inversion < 0 || inversion >= static_cast<int>(theory::InversionCaptions.size())) {
        return false;
    }
    inversion_ = inversion;
    return true;
}

bool frmChordMain::SetClefOffset(int offset) {
    if (offset != views::kTrebleClefOffset && offset != views::kBassClefOffset) {
        return false;
    }
    clefOffset_ = offset;
    return true;
}

// ---- Selectors --------------------------------------------------------------------------

void frmChordMain::cboRootNote_Click() {
    if (cmdPlayButton_->isEnabled() && cmdPlayButton_->isVisible()) {
        cmdPlayButton_->setFocus();
    }
    SetRootIndex(std::max(0, cboRootNote_->currentIndex()));
    if (linkWindows_) {
        ShowProg();
        ShowScale();
    }
    ShowChord();
}

void frmChordMain::cboChordTypes_Click() {
    SetChordTypeIndex(std::max(0, cboChordTypes_->currentIndex()));
    ShowChord();
}

void frmChordMain::cboScales_Click() {
    SetScaleIndex(std::max(0, cboScales_->currentIndex()));
    ShowScale();
}

void frmChordMain::cboScales_Change() {
    cboScales_Click();
}

void frmChordMain::optClef_Click(int index) {
    SetClefOffset(index == 0 ? views::kTrebleClefOffset : views::kBassClefOffset);
    lblClef_->Apply(views::ComputeClefView(clefOffset_));
    // Choosing from code sets the button as a click would.
    if (QRadioButton* button = optClef(index == 0 ? 0 : 1); !button->isChecked()) {
        button->setChecked(true);
    }
    ShowScale();
    ShowChord();
}

void frmChordMain::ShowProg() {
    emit showProgRequested(rootIndex_);
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
    const QByteArray rootText = cboRootNote_->itemText(rootIndex_).toUtf8();
    views::ChordSelection selection;
    selection.rootText = std::string_view(rootText.constData(), rootText.size());
    selection.rootIndex = rootIndex_;
    selection.chordTypeIndex = chordTypeIndex_;
    selection.inversion = inversion_;
    selection.inversionCaption = inversionCaption_;
    selection.clefOffset = clefOffset_;
    selection.mode = IdentifierMode();
    selection.spelling = spelling_;
    const views::ChordView view = views::ComputeChordView(selection);
    if (!selectingPlayed_) {
        ShowOtherNames({});
    }
    ShowChordName(view);
    ShowChordStaff(view);
    ShowChordMarkers(view);
    DescribeDisplays();
}

void frmChordMain::ShowChordName(const views::ChordView& view) {
    lblNoteName_->setText(QString::fromStdString(view.name));
    PlaceNameLabel();
    lblChordSymbol_->Show(view.symbol, lblNoteName_->geometry(), staff_->width());
}

void frmChordMain::ShowChordStaff(const views::ChordView& view) {
    staff_->ApplyChord(view);
    Place(labels_[look::kChordLabelIndex], view.chordLabel);
}

void frmChordMain::ShowChordMarkers(const views::ChordView& view) {
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)];
        if (marker == nullptr) {
            continue;
        }
        const views::MarkerView& m = view.markers[static_cast<std::size_t>(k)];
        SetMarkerBackColor(marker, m.backColor, markerDispatch_.get());
        if (m.caption) {
            SetMarkerCaption(marker, QString::fromStdString(*m.caption), markerDispatch_.get());
        }
        marker->setVisible(m.shown);
    }
}

void frmChordMain::ShowScale() {
    const views::ScaleView view =
        views::ComputeScaleView(rootIndex_, scaleIndex_, clefOffset_, spelling_);
    picKeyboard_->SetKeyColors(view.keyColors);
    staff_->ApplyScale(view);
    DescribeDisplays();
}

void frmChordMain::PlaceNameLabel() {
    // The same placement as the printed sheet's; it runs at every chord change, so the font is
    // set only when it differs and the size comes straight from the font's metrics.
    const look::NameLayout layout = look::LayOutName(lblNoteName_->text());
    if (lblNoteName_->font() != layout.font) {
        lblNoteName_->setFont(layout.font);
    }
    lblNoteName_->setGeometry(layout.left, layout.top, layout.width, layout.height);
    if (lblOtherNames_ != nullptr) {
        ShowOtherNames(lblOtherNames_->text());
    }
}

void frmChordMain::ShowOtherNames(const QString& text) {
    // Centred under the name, in the strip above the keyboard, kept inside the window.
    lblOtherNames_->setText(text);
    lblOtherNames_->setVisible(!text.isEmpty());
    if (text.isEmpty()) {
        return;
    }
    const QRect name = lblNoteName_->geometry();
    const views::PixelRect strip = views::TwipsToPixels(
        0, look::kNameLabel.top + look::kNameLabel.height, look::kMainClientWidth,
        views::kKeyboardPanel.top - look::kNameLabel.top - look::kNameLabel.height);
    const int width =
        std::min(strip.width - 16, lblOtherNames_->fontMetrics().horizontalAdvance(text) + 8);
    const int left = std::clamp(name.center().x() - width / 2, 8, strip.width - 8 - width);
    lblOtherNames_->setGeometry(left, strip.y, width, strip.height);
}

ChordSheet frmChordMain::CurrentSheet() const {
    ChordSheet sheet;
    sheet.rootText = cboRootNote_->currentText();
    sheet.chordTypeText = cboChordTypes_->currentText();
    sheet.scaleText = cboScales_->currentText();
    sheet.chord = staff_->Chord();
    sheet.scale = staff_->Scale();
    sheet.clef = lblClef_->View();
    const views::IdentifierMode mode = IdentifierMode();
    for (int k = 0; k < views::kKeyCount; ++k) {
        // The chord view's caption where it names the marker itself (a spelled note name).
        const auto& own = sheet.chord.markers[static_cast<std::size_t>(k)].caption;
        sheet.markerCaptions[static_cast<std::size_t>(k)] =
            QString::fromStdString(own ? *own : views::MarkerCaption(k, mode, rootIndex_));
    }
    return sheet;
}

QString frmChordMain::ChordTitle() const {
    const QString root =
        QString::fromStdString(theory::NameRoot(rootIndex_, chordTypeIndex_, spelling_));
    return root + QLatin1Char(' ') +
           Q(theory::ChordTypes[static_cast<std::size_t>(chordTypeIndex_)].name) +
           Q(inversionCaption_);
}

void frmChordMain::WatchForDrags(QWidget* widget, std::function<bool(QPoint)> starts) {
    new DragWatcher(widget, std::move(starts), [this, widget] { emit chordDragRequested(widget); });
}

// ---- Keyboard ---------------------------------------------------------------------------

void frmChordMain::picKeyboard_MouseDown(int button, int /*shift*/, float x, float y) {
    if (button == 1 && PickNotes()) {
        if (const int key = views::KeyAtPoint(x, y); key >= 0) {
            emit keyPicked(key);
        }
    } else if (button == 1) {
        SetRootIndex(views::PitchClassAtPoint(x, y));
        SelectRow(cboRootNote_, rootIndex_);
        if (linkWindows_) {
            ShowProg();
            ShowScale();
        }
        ShowChord();
    } else if (button == 2) {
        OpenInversionsPopup();
    }
}

void frmChordMain::vtlPlayKey_MouseDown(int index, int button, int /*shift*/, float /*x*/,
                                        float /*y*/) {
    // A left press on a marker does nothing, unless notes are picked: the marker takes it from
    // the key beneath.
    if (button == 1 && PickNotes()) {
        emit keyPicked(index);
    } else if (button == 2) {
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
        SetMarkerCaption(marker, QString::fromStdString(views::MarkerCaption(k, mode, rootIndex_)));
    }
    ShowChord();
}

// ---- Inversions -------------------------------------------------------------------------

void frmChordMain::ApplyInversion() {
    if (const auto caption = views::InversionCaptionFor(inversion_)) {
        inversionCaption_ = std::string(*caption);
    }
    ShowChord();
}

void frmChordMain::mnuInversionsPopupItem_Click(int index) {
    SetInversion(index);
    ApplyInversion();
}

void frmChordMain::OpenInversionsPopup() {
    desktop_.OpenPopupMenu(mnuInversionsPopup_);
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
    emit playRequested();
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
    if (desktop_.ChoosePrinter(printer, this)) {
        if (const QString error = PrintChordSheet(printer, CurrentSheet()); !error.isEmpty()) {
            qCWarning(lcPrint).noquote()
                << QStringLiteral("Printing \"%1\" failed: %2").arg(printer.docName(), error);
        }
    }
}

void frmChordMain::mnuFileExportMIDI_Click() {
    emit exportMidiRequested();
}

void frmChordMain::mnuFileExit_Click() {
    emit exitRequested();
}

void frmChordMain::Form_Unload() {
    emit exitRequested();
}

void frmChordMain::mnuOptionsLinkWindows_Click() {
    if (linkWindows_) {
        linkWindows_ = false;
        mnuOptionsLinkWindows_->setChecked(false);
        return;
    }
    linkWindows_ = true;
    mnuOptionsLinkWindows_->setChecked(true);
    ShowProg();
    ShowScale();
}

void frmChordMain::mnuOptionsPickNotes_Click() {
    playingKeys_->SetOn(PickNotes());
    emit pickNotesChanged(PickNotes());
}

bool frmChordMain::PickNotes() const {
    return mnuOptionsPickNotes_ != nullptr && mnuOptionsPickNotes_->isChecked();
}

void frmChordMain::ShowHeldKeys(const views::HeldView& held) {
    picKeyboard_->ApplyHeld(held);
    DescribeKeyboard();
}

void frmChordMain::mnuOptionsResetMIDI_Click() {
    emit resetMidiRequested();
}

void frmChordMain::mnuWindowProgressions_Click() {
    const bool checked = mnuWindowProgressions_->isChecked();
    QWidget* window = windows_.EnsureProgressions();
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
    QWidget* window = windows_.EnsureMidiSettings();
    if (window == nullptr) {
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void frmChordMain::Form_Resize() {
    QWidget* midi = windows_.EnsureMidiSettings();
    QWidget* progressions = windows_.EnsureProgressions();
    // A hidden window stays hidden: its state is left alone, since the window system shows a
    // window whose state is set (an unpainted frame on restore, an icon on minimise).
    const auto shown = [](const QWidget* w) { return w != nullptr && w->isVisible(); };
    if (isMinimized()) {
        if (midi != nullptr) {
            savedMidiState_ = midi->windowState();
        }
        if (shown(midi)) {
            midi->setWindowState(midi->windowState() | Qt::WindowMinimized);
        }
        if (progressions != nullptr) {
            savedProgressionsState_ = progressions->windowState();
        }
        if (shown(progressions)) {
            progressions->setWindowState(progressions->windowState() | Qt::WindowMinimized);
        }
    } else {
        if (shown(midi)) {
            midi->setWindowState(savedMidiState_);
        }
        if (shown(progressions)) {
            progressions->setWindowState(savedProgressionsState_);
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

QAction* frmChordMain::mnuOptionsSpellingItem(int index) const {
    return index >= 0 && index < 3 ? mnuOptionsSpellingItem_[static_cast<std::size_t>(index)]
                                   : nullptr;
}

void frmChordMain::SetSpelling(theory::Spelling spelling) {
    CheckSpelling(mnuOptionsSpellingItem_, spelling);
    if (spelling == spelling_) {
        return;
    }
    spelling_ = spelling;
    // The identifier menu's captions first: a spelling other than Sharps names the chord's
    // markers over them.
    mnuOptionsIdentifierItem_Click(static_cast<int>(IdentifierMode()));
    ShowScale();
    emit spellingChanged(spelling_);
}

QAction* frmChordMain::mnuInversionsPopupItem(int index) const {
    return index >= 0 && index < 4 ? mnuInversionsPopupItem_[static_cast<std::size_t>(index)]
                                   : nullptr;
}

// ---- A chord held on the MIDI input -----------------------------------------------------

void frmChordMain::SelectPlayedChord(int rootIndex, int chordTypeIndex, int inversion,
                                     const theory::HeldChordNames& names) {
    if (rootIndex < 0 || rootIndex >= cboRootNote_->count() || chordTypeIndex < 0 ||
        chordTypeIndex >= cboChordTypes_->count() || inversion < 0 ||
        inversion >= static_cast<int>(mnuInversionsPopupItem_.size())) {
        return;
    }
    lblNoteName_->setToolTip(QString());
    ShowOtherNames({});
    selectingPlayed_ = true;
    SelectRow(cboRootNote_, rootIndex);
    SelectRow(cboChordTypes_, chordTypeIndex);
    mnuInversionsPopupItem_Click(inversion);
    selectingPlayed_ = false;
    heldNames_ = names;
    ShowOtherNames(SymbolOnScreen(theory::OtherNamesSymbols(names, spelling_)));
    DescribeDisplays();
}

void frmChordMain::ShowUnlistedChord(const QString& notes) {
    const QString text = QStringLiteral("Not in the catalogue: ") + notes;
    lblNoteName_->setToolTip(text);
    lblNoteName_->setAccessibleDescription(text);
}

}  // namespace quorvane::mainwin

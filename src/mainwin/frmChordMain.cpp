#include "mainwin/frmChordMain.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "look/MainLayout.h"
#include "look/Place.h"
#include "mainwin/Desktop.h"
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

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Table>
bool InTable(int index, const Table& table) {
    return index >= 0 && index < static_cast<int>(table.size());
}

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
    selection_.inversion = 0;
    selection_.inversionCaption = " Basic";
    // The window stands at the top-left corner of the screen.
    move(0, 0);
    // Link Windows on, then the MIDI start-up: playing defaults and the settings window's device
    // list (which creates that window hidden).
    selection_.linkWindows = true;
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
    PickChordType(0);
    // The root C chosen as a user's pick is: with Link Windows on it brings the progressions chart
    // up to date (creating that window hidden) and draws the scale, then the chord. The scale
    // table is constant data.
    PickRoot(0);
    // The scales in catalogue order, the first chosen as a user's pick is (ShowScale).
    cboScales_->clear();
    for (const theory::Scale& scale : theory::Scales) {
        cboScales_->addItem(Q(scale.name));
    }
    PickScale(0);
    // Both displays drawn once more from the finished start-up state. The interval labels are
    // constant data.
    ShowChord();
    ShowScale();
    return true;
}

// ---- Selection state -------------------------------------------------------------------

bool frmChordMain::SetRootIndex(int index) {
    if (!InTable(index, theory::RootNames)) {
        return false;
    }
    selection_.rootIndex = index;
    return true;
}

bool frmChordMain::SetChordTypeIndex(int index) {
    if (!InTable(index, theory::ChordTypes)) {
        return false;
    }
    selection_.chordTypeIndex = index;
    return true;
}

bool frmChordMain::SetScaleIndex(int index) {
    if (!InTable(index, theory::Scales)) {
        return false;
    }
    selection_.scaleIndex = index;
    return true;
}

bool frmChordMain::SetInversion(int inversion) {
    if (!InTable(inversion, theory::InversionCaptions)) {
        return false;
    }
    selection_.inversion = inversion;
    return true;
}

bool frmChordMain::SetClefOffset(int offset) {
    if (offset != views::kTrebleClefOffset && offset != views::kBassClefOffset) {
        return false;
    }
    selection_.clefOffset = offset;
    return true;
}

// ---- Selectors --------------------------------------------------------------------------

void frmChordMain::cboRootNote_Click() {
    PickRoot(std::max(0, cboRootNote_->currentIndex()));
}

void frmChordMain::cboChordTypes_Click() {
    PickChordType(std::max(0, cboChordTypes_->currentIndex()));
}

void frmChordMain::cboScales_Click() {
    PickScale(std::max(0, cboScales_->currentIndex()));
}

void frmChordMain::PickRoot(int row) {
    if (cmdPlayButton_->isEnabled() && cmdPlayButton_->isVisible()) {
        cmdPlayButton_->setFocus();
    }
    SetRootIndex(row);
    ShowSelectors();
    if (selection_.linkWindows) {
        ShowProg();
        ShowScale();
    }
    ShowChord();
}

void frmChordMain::PickChordType(int row) {
    SetChordTypeIndex(row);
    ShowSelectors();
    ShowChord();
}

void frmChordMain::PickScale(int row) {
    SetScaleIndex(row);
    ShowSelectors();
    ShowScale();
}

void frmChordMain::ShowSelectors() {
    const std::array<std::pair<QComboBox*, int>, 3> rows{
        {{cboRootNote_, selection_.rootIndex},
         {cboChordTypes_, selection_.chordTypeIndex},
         {cboScales_, selection_.scaleIndex}}};
    for (const auto& [box, row] : rows) {
        const QSignalBlocker block(box);
        box->setCurrentIndex(row);
    }
}

void frmChordMain::cboScales_Change() {
    cboScales_Click();
}

void frmChordMain::optClef_Click(int index) {
    SetClefOffset(index == 0 ? views::kTrebleClefOffset : views::kBassClefOffset);
    lblClef_->Apply(views::ComputeClefView(selection_.clefOffset));
    // Choosing from code sets the button as a click would.
    optClef(index == 0 ? 0 : 1)->setChecked(true);
    ShowScale();
    ShowChord();
}

void frmChordMain::ShowProg() {
    emit showProgRequested(selection_.rootIndex);
}

// ---- Displays ---------------------------------------------------------------------------

void frmChordMain::ShowChord() {
    // The chord chosen anew: the names of a chord held before no longer stand.
    selection_.heldNames = {};
    DrawChord();
}

void frmChordMain::DrawChord() {
    const views::ChordView view = views::ComputeChordView(views::ChordSelectionOf(selection_));
    ShowChordName(view);
    ShowChordMarkers(view);
    ShowChordStaff(view);
    ShowOtherNames();
    DescribeDisplays();
    Announce();
}

void frmChordMain::DescribeDisplays() {
    // What the displays last applied show, as the views word it.
    const views::ClefView& clef = lblClef_->View();
    const views::ChordView& chord = staff_->Chord();
    const views::ScaleView& scale = staff_->Scale();
    lblClef_->setAccessibleName(QString::fromStdString(clef.description));
    // The label is read by its name, so the name carries the chord it shows.
    const QString name = QString::fromStdString(chord.name);
    lblNoteName_->setAccessibleName(QStringLiteral("Chord name: %1").arg(name));
    lblNoteName_->setAccessibleDescription(ChordDescription());
    DescribeKeyboard();
    staff_->setAccessibleDescription(QString::fromStdString(
        clef.description + ". " + scale.staffDescription + ' ' + chord.staffDescription));
}

void frmChordMain::DescribeKeyboard() {
    picKeyboard_->setAccessibleDescription(QString::fromStdString(
        staff_->Chord().keyboardDescription + ' ' + staff_->Scale().keyboardDescription + ' ' +
        picKeyboard_->Held().description));
}

void frmChordMain::Announce() {
    if (selection_ != announced_) {
        announced_ = selection_;
        emit selectionChanged(selection_);
    }
}

void frmChordMain::ShowChordName(const views::ChordView& view) {
    const QString name = QString::fromStdString(view.name);
    lblNoteName_->setText(name);
    PlaceNameLabel(name);
    lblChordSymbol_->Show(view.symbol, lblNoteName_->geometry(), staff_->width());
}

void frmChordMain::ShowChordStaff(const views::ChordView& view) {
    staff_->ApplyChord(view);
    look::Place(labels_[look::kChordLabelIndex], view.chordLabel);
}

void frmChordMain::ShowChordMarkers(const views::ChordView& view) {
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)];
        if (marker == nullptr) {
            continue;
        }
        const views::MarkerView& m = view.markers[static_cast<std::size_t>(k)];
        // The markers' names change with the spelling only; most redraws leave them alone.
        if (m.accessibleName !=
            staff_->Chord().markers[static_cast<std::size_t>(k)].accessibleName) {
            marker->setAccessibleName(QString::fromStdString(m.accessibleName));
        }
        SetMarkerBackColor(marker, m.backColor, markerDispatch_.get());
        if (m.caption) {
            SetMarkerCaption(marker, QString::fromStdString(*m.caption), markerDispatch_.get());
        }
        marker->setVisible(m.shown);
    }
}

void frmChordMain::ShowScale() {
    const views::ScaleView view = views::ComputeScaleView(
        selection_.rootIndex, selection_.scaleIndex, selection_.clefOffset, selection_.spelling);
    picKeyboard_->SetKeyColors(view.keyColors);
    staff_->ApplyScale(view);
    DescribeDisplays();
    Announce();
}

void frmChordMain::PlaceNameLabel(const QString& name) {
    // The same placement as the printed sheet's; it runs at every chord change, so the font is
    // set only when it differs and the size comes straight from the font's metrics.
    const look::NameLayout layout = look::LayOutName(name);
    if (lblNoteName_->font() != layout.font) {
        lblNoteName_->setFont(layout.font);
    }
    lblNoteName_->setGeometry(layout.left, layout.top, layout.width, layout.height);
}

void frmChordMain::ShowOtherNames() {
    // Centred under the name, in the strip above the keyboard, kept inside the window.
    const QString text =
        SymbolOnScreen(theory::OtherNamesSymbols(selection_.heldNames, selection_.spelling));
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
    sheet.rootText = Q(theory::RootNames[static_cast<std::size_t>(selection_.rootIndex)]);
    sheet.chordTypeText =
        Q(theory::ChordTypes[static_cast<std::size_t>(selection_.chordTypeIndex)].name);
    sheet.scaleText = Q(theory::Scales[static_cast<std::size_t>(selection_.scaleIndex)].name);
    sheet.chord = staff_->Chord();
    sheet.scale = staff_->Scale();
    sheet.clef = lblClef_->View();
    const views::IdentifierMode mode = IdentifierMode();
    for (int k = 0; k < views::kKeyCount; ++k) {
        // The chord view's caption where it names the marker itself (a spelled note name).
        const auto& own = sheet.chord.markers[static_cast<std::size_t>(k)].caption;
        sheet.markerCaptions[static_cast<std::size_t>(k)] = QString::fromStdString(
            own ? *own : views::MarkerCaption(k, mode, selection_.rootIndex));
    }
    return sheet;
}

QString frmChordMain::ChordTitle() const {
    return QString::fromStdString(views::ChordTitle(selection_));
}

QString frmChordMain::ChordDescription() const {
    const QString name =
        staff_ != nullptr ? QString::fromStdString(staff_->Chord().name) : QString();
    const std::string symbols =
        theory::OtherNamesSymbols(selection_.heldNames, selection_.spelling);
    if (symbols.empty()) {
        return name;
    }
    return QStringLiteral("%1; %2 (%3)")
        .arg(name, QString::fromStdString(theory::OtherNamesText(selection_.heldNames)),
             QString::fromStdString(symbols));
}

QString frmChordMain::UnlistedChordText(const QString& notes) {
    return QStringLiteral("Not in the catalogue: ") + notes;
}

// ---- Keyboard ---------------------------------------------------------------------------

void frmChordMain::picKeyboard_MouseDown(int button, int /*shift*/, float x, float y) {
    if (button == 1 && PickNotes()) {
        if (const int key = views::KeyAtPoint(x, y); key >= 0) {
            emit keyPicked(key);
        }
    } else if (button == 1) {
        PickRoot(views::PitchClassAtPoint(x, y));
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
    if (index < 0 || index >= static_cast<int>(mnuOptionsIdentifierItem_.size())) {
        return;
    }
    const auto mode = static_cast<views::IdentifierMode>(index);
    selection_.identifiers = mode;
    ShowIdentifierChecks();
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* marker = vtlPlayKey_[static_cast<std::size_t>(k)];
        if (marker == nullptr) {
            continue;
        }
        if (mode != views::IdentifierMode::Markers) {
            RefreshMarker(marker);
        }
        SetMarkerCaption(
            marker, QString::fromStdString(views::MarkerCaption(k, mode, selection_.rootIndex)));
    }
    ShowChord();
}

void frmChordMain::ShowIdentifierChecks() {
    for (std::size_t i = 0; i < mnuOptionsIdentifierItem_.size(); ++i) {
        mnuOptionsIdentifierItem_[i]->setChecked(static_cast<int>(i) ==
                                                 static_cast<int>(selection_.identifiers));
    }
}

// ---- Inversions -------------------------------------------------------------------------

void frmChordMain::ApplyInversion() {
    if (const auto caption = views::InversionCaptionFor(selection_.inversion)) {
        selection_.inversionCaption = std::string(*caption);
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

void frmChordMain::SetSpelling(theory::Spelling spelling) {
    CheckSpelling(mnuOptionsSpellingItem_, spelling);
    if (spelling == selection_.spelling) {
        return;
    }
    selection_.spelling = spelling;
    // The identifier menu's captions first: a spelling other than Sharps names the chord's
    // markers over them.
    mnuOptionsIdentifierItem_Click(static_cast<int>(IdentifierMode()));
    ShowScale();
    emit spellingChanged(spelling);
}

// ---- A chord held on the MIDI input -----------------------------------------------------

void frmChordMain::SelectPlayedChord(int rootIndex, int chordTypeIndex, int inversion,
                                     const theory::HeldChordNames& names) {
    if (staff_ == nullptr || !InTable(rootIndex, theory::RootNames) ||
        !InTable(chordTypeIndex, theory::ChordTypes) ||
        !InTable(inversion, theory::InversionCaptions)) {
        return;
    }
    lblNoteName_->setToolTip(QString());
    selection_.rootIndex = rootIndex;
    selection_.chordTypeIndex = chordTypeIndex;
    selection_.inversion = inversion;
    selection_.inversionCaption = std::string(*views::InversionCaptionFor(inversion));
    selection_.heldNames = names;
    ShowSelectors();
    // As a pick of the root: the chart and the scale follow it while the windows are linked.
    if (selection_.linkWindows) {
        ShowProg();
        ShowScale();
    }
    DrawChord();
}

void frmChordMain::ShowUnlistedChord(const QString& notes) {
    const QString text = UnlistedChordText(notes);
    lblNoteName_->setToolTip(text);
    lblNoteName_->setAccessibleDescription(text);
}

}  // namespace quorvane::mainwin

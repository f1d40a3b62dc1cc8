// frmChordMain's controls and menus: built once, named for assistive technology, and reached by
// the accessors the program and the tests use.
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include "look/MainLayout.h"
#include "look/Place.h"
#include "mainwin/DragWatcher.h"
#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/Markers.h"
#include "mainwin/PlayingKeys.h"
#include "mainwin/SpellingChoice.h"
#include "mainwin/StaffSurface.h"
#include "mainwin/frmChordMain.h"
#include "theory/theory.h"
#include "views/Twips.h"

namespace quorvane::mainwin {

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

void frmChordMain::BuildControls() {
    staff_ = new StaffSurface(this);
    setCentralWidget(staff_);
    const views::PixelRect client =
        views::TwipsToPixels(0, 0, look::kMainClientWidth, look::kMainClientHeight);
    staff_->setFixedSize(client.width, client.height);
    staff_->setFont(WindowFont());
    connect(staff_, &StaffSurface::MouseDown, this, &frmChordMain::Form_MouseDown);

    const QString startName = QStringLiteral("Chord");
    lblNoteName_ = new MouseDownLabel(startName, staff_);
    lblNoteName_->setFont(NameFont());
    Place(lblNoteName_, look::kNameLabel);
    PlaceNameLabel(startName);
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
    lblClef_->Apply(views::ComputeClefView(selection_.clefOffset));

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
    connect(mnuOptionsPickNotes_, &QAction::toggled, this, [this](bool on) {
        pickNotes_ = on;
        mnuOptionsPickNotes_Click();
    });
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
        mnuWindowProgressions_->setChecked(progressionsShown_);
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

void frmChordMain::WatchForDrags(QWidget* widget, std::function<bool(QPoint)> starts) {
    new DragWatcher(widget, std::move(starts), [this, widget] { emit chordDragRequested(widget); });
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

QAction* frmChordMain::mnuInversionsPopupItem(int index) const {
    return index >= 0 && index < 4 ? mnuInversionsPopupItem_[static_cast<std::size_t>(index)]
                                   : nullptr;
}

}  // namespace quorvane::mainwin

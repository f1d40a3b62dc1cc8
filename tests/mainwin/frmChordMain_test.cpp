#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "mainwin/Fonts.h"
#include "mainwin/KeyboardPanel.h"
#include "mainwin/Markers.h"
#include "mainwin/Painting.h"
#include "mainwin/SpellingChoice.h"
#include "mainwin/StaffSurface.h"
#include "mainwin/frmChordMain.h"
#include "support/TestDesktop.h"
#include "theory/theory.h"
#include "views/Twips.h"

namespace quorvane::mainwin {
namespace {

using views::IdentifierMode;

// The program around the window: its start-up reminder's answer and the windows it gives.
struct FakeProgram : SecondaryWindows {
    bool ShowStartReminder() override {
        if (duringReminder) {
            duringReminder();
        }
        return reminderOk;
    }
    std::function<void()> duringReminder;
    QWidget* EnsureProgressions() override { return progressions; }
    QWidget* EnsureMidiSettings() override { return midi; }
    bool reminderOk = true;
    QWidget* progressions = nullptr;
    QWidget* midi = nullptr;
};

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<frmChordMain>(desktop, &program);
        QObject::connect(window.get(), &frmChordMain::showProgRequested,
                         [this](int root) { progRoots.push_back(root); });
    }

    void Load() { ASSERT_TRUE(window->Form_Load()); }

    void ChooseRoot(int row) {
        window->cboRootNote()->setCurrentIndex(row);
        emit window->cboRootNote()->activated(row);
    }
    void ChooseChordType(int row) {
        window->cboChordTypes()->setCurrentIndex(row);
        emit window->cboChordTypes()->activated(row);
    }
    void ChooseScale(int row) {
        window->cboScales()->setCurrentIndex(row);
        emit window->cboScales()->activated(row);
    }

    // The chord view the window should show for its current selection.
    views::ChordView ExpectedChord() const {
        const std::string root = window->cboRootNote()->itemText(window->RootIndex()).toStdString();
        views::ChordSelection s;
        s.rootText = root;
        s.rootIndex = window->RootIndex();
        s.chordTypeIndex = window->ChordTypeIndex();
        s.inversion = window->Inversion();
        s.inversionCaption = window->InversionCaption();
        s.clefOffset = window->ClefOffset();
        s.mode = window->IdentifierMode();
        return views::ComputeChordView(s);
    }

    bool HaveMarkers() const { return window->vtlPlayKey(0) != nullptr; }

    std::set<int> VisibleMarkers() const {
        std::set<int> keys;
        for (int k = 0; k < views::kKeyCount; ++k) {
            if (QWidget* m = window->vtlPlayKey(k); m != nullptr && !m->isHidden()) {
                keys.insert(k);
            }
        }
        return keys;
    }

    // A point on key k in the keyboard panel's pixels.
    QPoint KeyPoint(int key) const {
        const views::TwipsRect block = views::KeyBlockRect(key);
        const views::TwipsRect at{block.left + block.width / 2, views::IsBlackKey(key) ? 300 : 2100,
                                  1, 1};
        return window->picKeyboard()->DrawingAreaRect(at).topLeft();
    }

    quorvane::testing::TestDesktop desktop;
    FakeProgram program;
    std::unique_ptr<frmChordMain> window;
    std::vector<int> progRoots;
};

TEST_F(MainWindowTest, StartUpState) {
    Load();
    EXPECT_EQ(window->windowTitle(), "Quorvane");
    EXPECT_EQ(window->RootIndex(), 0);
    EXPECT_EQ(window->ChordTypeIndex(), 0);
    EXPECT_EQ(window->ScaleIndex(), 0);
    EXPECT_EQ(window->Inversion(), 0);
    EXPECT_EQ(window->InversionCaption(), " Basic");
    EXPECT_EQ(window->ClefOffset(), 0);
    EXPECT_TRUE(window->LinkWindows());
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor Basic");
    EXPECT_EQ(window->cboRootNote()->currentText(), "C");
    EXPECT_EQ(window->cboChordTypes()->currentText(), "Major");
    EXPECT_EQ(window->cboScales()->currentText(), "Major");
    EXPECT_EQ(window->cboRootNote()->count(), 12);
    EXPECT_EQ(window->cboChordTypes()->count(), 53);
    EXPECT_EQ(window->cboScales()->count(), 36);
    EXPECT_EQ(window->cboChordTypes()->itemText(52), "Major 9th Sus 4th");
    EXPECT_EQ(window->cboScales()->itemText(35), "Super Locrian");
    EXPECT_TRUE(window->optClef(0)->isChecked());
    EXPECT_FALSE(window->optClef(1)->isChecked());
    EXPECT_EQ(window->lblClef()->Caption(), "o");
    EXPECT_TRUE(window->mnuOptionsIdentifierItem(0)->isChecked());
    EXPECT_FALSE(window->mnuOptionsIdentifierItem(1)->isChecked());
    EXPECT_FALSE(window->mnuOptionsIdentifierItem(2)->isChecked());
    EXPECT_TRUE(window->mnuOptionsLinkWindows()->isChecked());
    EXPECT_FALSE(window->mnuWindowProgressions()->isChecked());
    EXPECT_EQ(window->staff()->Chord(), ExpectedChord());
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(0, 0, 0));
    EXPECT_EQ(window->picKeyboard()->KeyColor(0), views::kScaleWhiteKeyColor);
    EXPECT_EQ(window->picKeyboard()->KeyColor(1), views::kBlack);
    // The progressions chart was brought up to date for root C during start-up.
    ASSERT_FALSE(progRoots.empty());
    EXPECT_EQ(progRoots.front(), 0);
    EXPECT_FALSE(window->isVisible());  // showing is the caller's step
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(MainWindowTest, MarkersAreCreatedFromTheStoredLayout) {
    Load();
    if (!HaveMarkers()) {
        GTEST_SKIP() << "control library not available";
    }
    EXPECT_EQ(VisibleMarkers(), (std::set<int>{0, 4, 7}));
    for (int k = 0; k < views::kKeyCount; ++k) {
        QWidget* m = window->vtlPlayKey(k);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->parentWidget(), window->picKeyboard());
        EXPECT_EQ(m->geometry(), window->picKeyboard()->DrawingAreaRect(views::MarkerRect(k)));
        EXPECT_EQ(MarkerBackColorOf(m), 0x00C0C0C0u) << k;  // light grey once a chord is shown
        EXPECT_EQ(m->property("Edge").toInt(), 3) << k;
        EXPECT_EQ(MarkerCaptionOf(m), "") << k;
    }
}

TEST_F(MainWindowTest, WindowAndControlsStandAtTheirTwipsPositions) {
    Load();
    EXPECT_EQ(window->centralWidget()->size(), QSize(570, 415));
    EXPECT_EQ(window->picKeyboard()->geometry(), QRect(8, 56, 551, 159));
    EXPECT_EQ(window->picKeyboard()->contentsRect().size(), QSize(547, 155));
    EXPECT_EQ(window->cboRootNote()->geometry(), QRect(8, 248, 81, 21));
    EXPECT_EQ(window->cboChordTypes()->geometry(), QRect(96, 248, 161, 21));
    EXPECT_EQ(window->cboScales()->geometry(), QRect(264, 248, 185, 21));
    EXPECT_EQ(window->cmdPlayButton()->geometry(), QRect(516, 240, 41, 33));
    EXPECT_EQ(window->optClef(0)->geometry(), QRect(8, 372, 85, 25));
    EXPECT_EQ(window->optClef(1)->geometry(), QRect(96, 372, 85, 25));
    EXPECT_EQ(window->lblClef()->geometry(), QRect(16, 300, 25, 67));
    EXPECT_EQ(window->Label(4)->geometry(), QRect(40, 296, 37, 13));
    EXPECT_TRUE(window->cmdPlayButton()->isDefault());
}

TEST_F(MainWindowTest, SelectionSettersRefuseValuesOutsideTheirRange) {
    Load();
    struct Case {
        bool (frmChordMain::*set)(int);
        int (frmChordMain::*get)() const;
        int last;  // the highest value in range
        std::vector<int> refused;
    };
    const std::vector<Case> cases{
        {&frmChordMain::SetRootIndex, &frmChordMain::RootIndex, 11, {-1, 12}},
        {&frmChordMain::SetChordTypeIndex, &frmChordMain::ChordTypeIndex, 52, {-1, 53}},
        {&frmChordMain::SetScaleIndex, &frmChordMain::ScaleIndex, 35, {-1, 36}},
        {&frmChordMain::SetInversion, &frmChordMain::Inversion, 3, {-1, 4}},
        {&frmChordMain::SetClefOffset, &frmChordMain::ClefOffset, 120, {-120, 60, 240}},
    };
    frmChordMain& w = *window;
    for (const Case& c : cases) {
        EXPECT_TRUE((w.*c.set)(c.last));
        for (int bad : c.refused) {
            EXPECT_FALSE((w.*c.set)(bad)) << bad;
            EXPECT_EQ((w.*c.get)(), c.last) << bad;
        }
    }
    // The displays run on the state the setters kept.
    window->ShowScale();
    window->ShowChord();
    EXPECT_EQ(window->staff()->Chord(), ExpectedChord());
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(11, 35, 120));
    // An inversion item outside the menu changes nothing: the chord stays shown.
    window->mnuInversionsPopupItem_Click(7);
    EXPECT_EQ(window->Inversion(), 3);
    EXPECT_TRUE(window->staff()->Chord().noteSlots[0].headShown);
}

TEST_F(MainWindowTest, EveryLabelFitsItsBox) {
    Load();
    for (int i = 1; i <= 5; ++i) {
        QLabel* label = window->Label(i);
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
        EXPECT_LE(label->fontMetrics().height(), label->height() + 1) << i;
    }
    for (QRadioButton* option : {window->optClef(0), window->optClef(1)}) {
        EXPECT_LE(option->sizeHint().width(), option->width()) << option->text().toStdString();
    }
    QPushButton* play = window->cmdPlayButton();
    EXPECT_LE(play->fontMetrics().horizontalAdvance(play->text()) + 8, play->width());
    // The longest chord names stay inside the window, whatever the root and inversion.
    const QRect client = window->centralWidget()->rect();
    for (int inversion : {0, 3}) {
        window->SetInversion(inversion);
        window->ApplyInversion();
        for (int root = 0; root < 12; ++root) {
            window->SetRootIndex(root);
            for (int type = 0; type < 53; ++type) {
                window->SetChordTypeIndex(type);
                window->ShowChord();
                QLabel* name = window->lblNoteName();
                ASSERT_TRUE(client.contains(name->geometry())) << name->text().toStdString();
                ASSERT_LE(name->fontMetrics().horizontalAdvance(name->text()), name->width());
            }
        }
    }
}

TEST_F(MainWindowTest, MenuBarCaptionsShortcutsAndOrder) {
    Load();
    QStringList top;
    for (QAction* a : window->menuBar()->actions()) {
        top << a->text();
    }
    EXPECT_EQ(top, QStringList({"&File", "&Options", "&Window", "In&versions", "&Help"}));

    const auto captions = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions()) {
            list << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
        return list;
    };
    const QList<QAction*> bar = window->menuBar()->actions();
    EXPECT_EQ(captions(bar[0]->menu()), QStringList({"&Print", "&Export MIDI...", "-", "E&xit"}));
    EXPECT_EQ(captions(bar[1]->menu()),
              QStringList({"&Link Windows", "Display &Note Identifiers", "&Spelling", "&Pick Notes",
                           "&Reset MIDI Devices"}));
    EXPECT_EQ(captions(bar[1]->menu()->actions()[2]->menu()),
              QStringList({"&Sharps", "&Flats", "By &Chord"}));
    EXPECT_EQ(captions(window->mnuOptionsIdentifiers()),
              QStringList({"&Markers", "&Names", "N&umbers"}));
    EXPECT_EQ(captions(bar[2]->menu()), QStringList({"&Chord Progressions", "&MIDI Settings"}));
    EXPECT_EQ(captions(window->mnuInversionsPopup()),
              QStringList({"Basic", "First", "Second", "Third"}));
    EXPECT_EQ(captions(bar[4]->menu()),
              QStringList({"&Index", "Search For Help on...", "-", "Brackenfold on the &Web...",
                           "-", "&About Velmira"}));
    EXPECT_EQ(captions(bar[4]->menu()->actions()[3]->menu()),
              QStringList({"&Updates", "-", "Brackenfold &Home Page"}));
    EXPECT_EQ(window->mnuFilePrint()->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(window->mnuWindowProgressions()->shortcut(), QKeySequence("Shift+F1"));
    EXPECT_EQ(window->mnuWindowMIDI()->shortcut(), QKeySequence("Shift+F2"));
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(window->mnuInversionsPopupItem(i)->isChecked());
    }
}

// Options > Spelling: one item checked, the choice reaches the name, the symbol, the title a MIDI
// file is named by, and is announced once per change.
TEST_F(MainWindowTest, SpellingMenuRespellsTheChord) {
    Load();
    std::vector<theory::Spelling> announced;
    QObject::connect(window.get(), &frmChordMain::spellingChanged,
                     [&](theory::Spelling s) { announced.push_back(s); });
    ChooseRoot(3);
    ChooseChordType(10);
    EXPECT_EQ(window->lblChordSymbol()->accessibleName(), "Chord symbol: D#m7");
    window->mnuOptionsSpellingItem(2)->trigger();
    window->mnuOptionsSpellingItem(2)->trigger();
    EXPECT_EQ(announced, std::vector<theory::Spelling>{theory::Spelling::ByChord});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window->mnuOptionsSpellingItem(i)->isChecked(), i == 2);
    }
    EXPECT_EQ(window->lblNoteName()->text(), "EbMinor 7th Basic");
    EXPECT_EQ(window->lblChordSymbol()->accessibleName(), "Chord symbol: Ebm7");
    EXPECT_EQ(window->ChordTitle(), "Eb Minor 7th Basic");
    EXPECT_FALSE(
        window->lblChordSymbol()->geometry().intersects(window->lblNoteName()->geometry()));
}

TEST_F(MainWindowTest, ScreenWidthCheck) {
    desktop.screenWidth = 800;
    EXPECT_TRUE(window->Form_Load());
    EXPECT_TRUE(desktop.messages.empty());

    desktop.screenWidth = 799;
    auto narrow = std::make_unique<frmChordMain>(desktop);
    int midiStarts = 0;
    QObject::connect(narrow.get(), &frmChordMain::initMidiRequested, [&] { ++midiStarts; });
    EXPECT_FALSE(narrow->Form_Load());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0],
              "Quorvane|Quorvane will only run at resolutions of 800x600 or higher, Sorry!");
    EXPECT_EQ(midiStarts, 0);  // no further start-up step runs
    EXPECT_FALSE(narrow->isVisible());
}

TEST_F(MainWindowTest, CancelledStartReminderEndsBeforeTheScreenCheck) {
    // The reminder is on screen before the window has built anything (the start-up's first
    // paint waits for nothing else).
    std::size_t builtDuringReminder = 1;
    program.duringReminder = [&] { builtDuringReminder = window->findChildren<QWidget*>().size(); };
    program.reminderOk = false;
    EXPECT_FALSE(window->Form_Load());
    EXPECT_EQ(builtDuringReminder, 0u);
    EXPECT_EQ(desktop.screenChecks, 0);
    EXPECT_TRUE(progRoots.empty());
}

TEST_F(MainWindowTest, LeftPressOnAKeyPicksTheRoot) {
    Load();
    progRoots.clear();
    QTest::mousePress(window->picKeyboard(), Qt::LeftButton, {}, KeyPoint(16));  // E, octave 2
    EXPECT_EQ(window->RootIndex(), 4);
    EXPECT_EQ(window->cboRootNote()->currentText(), "E");
    EXPECT_EQ(window->lblNoteName()->text(), "EMajor Basic");
    EXPECT_EQ(window->staff()->Chord(), ExpectedChord());
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(4, 0, 0));
    ASSERT_FALSE(progRoots.empty());
    EXPECT_EQ(progRoots.back(), 4);
    if (HaveMarkers()) {
        EXPECT_EQ(VisibleMarkers(), (std::set<int>{4, 8, 11}));
    }

    QTest::mousePress(window->picKeyboard(), Qt::LeftButton, {}, KeyPoint(30));  // F#
    EXPECT_EQ(window->RootIndex(), 6);
    EXPECT_EQ(window->lblNoteName()->text(), "F#(Gb)Major Basic");
    // A middle press changes nothing.
    QTest::mousePress(window->picKeyboard(), Qt::MiddleButton, {}, KeyPoint(0));
    EXPECT_EQ(window->RootIndex(), 6);
}

TEST_F(MainWindowTest, LeftPressOnAMarkerDoesNothing) {
    Load();
    if (!HaveMarkers()) {
        GTEST_SKIP() << "control library not available";
    }
    QWidget* marker = window->vtlPlayKey(4);
    ASSERT_FALSE(marker->isHidden());
    window->vtlPlayKey_MouseDown(4, 1, 0, 10.0f, 10.0f);
    EXPECT_EQ(window->RootIndex(), 0);
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor Basic");
}

TEST_F(MainWindowTest, LinkWindowsOffAndOn) {
    Load();
    window->mnuOptionsLinkWindows()->trigger();
    EXPECT_FALSE(window->LinkWindows());
    EXPECT_FALSE(window->mnuOptionsLinkWindows()->isChecked());
    progRoots.clear();
    ChooseRoot(2);
    EXPECT_EQ(window->lblNoteName()->text(), "DMajor Basic");
    EXPECT_EQ(window->staff()->Chord(), ExpectedChord());
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(0, 0, 0));  // still on C
    EXPECT_EQ(window->picKeyboard()->KeyColor(0), views::kScaleWhiteKeyColor);
    EXPECT_TRUE(progRoots.empty());

    window->mnuOptionsLinkWindows()->trigger();
    EXPECT_TRUE(window->LinkWindows());
    EXPECT_TRUE(window->mnuOptionsLinkWindows()->isChecked());
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(2, 0, 0));
    EXPECT_EQ(progRoots, std::vector<int>{2});
}

TEST_F(MainWindowTest, LinkWindowsOffThenClefRedrawsTheScaleOnTheNewRoot) {
    Load();
    window->mnuOptionsLinkWindows()->trigger();
    ChooseRoot(2);
    EXPECT_EQ(window->picKeyboard()->KeyColor(0), views::kScaleWhiteKeyColor);
    QTest::mouseClick(window->optClef(1), Qt::LeftButton);
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(2, 0, 120));
    EXPECT_EQ(window->picKeyboard()->KeyColor(0), views::kWhite);
}

TEST_F(MainWindowTest, ClefSwitch) {
    Load();
    const views::ScaleView trebleScale = window->staff()->Scale();
    const views::ChordView trebleChord = window->staff()->Chord();
    QTest::mouseClick(window->optClef(1), Qt::LeftButton);
    EXPECT_EQ(window->ClefOffset(), 120);
    EXPECT_EQ(window->lblClef()->Caption(), "p");
    EXPECT_EQ(window->lblClef()->View().label.top, 4305);
    EXPECT_EQ(window->lblClef()->geometry().top(), 287);
    EXPECT_EQ(window->staff()->Scale(), views::ComputeScaleView(0, 0, 120));
    EXPECT_EQ(window->staff()->Chord().noteSlots[0].headTop, 5400);
    EXPECT_EQ(window->staff()->Chord().ledgerLines.size(), 2u);

    QTest::mouseClick(window->optClef(0), Qt::LeftButton);
    EXPECT_EQ(window->ClefOffset(), 0);
    EXPECT_EQ(window->lblClef()->Caption(), "o");
    EXPECT_EQ(window->staff()->Scale(), trebleScale);
    EXPECT_EQ(window->staff()->Chord(), trebleChord);
}

TEST_F(MainWindowTest, ChangingChordLeavesNothingBehind) {
    Load();
    ChooseRoot(11);
    ChooseChordType(27);  // 13th: six notes, ledger lines above the staff
    window->mnuInversionsPopupItem(3)->trigger();
    EXPECT_EQ(window->lblNoteName()->text(), "B13th Third Inversion");
    EXPECT_EQ(window->staff()->Chord(), ExpectedChord());
    ChooseChordType(0);
    EXPECT_EQ(window->lblNoteName()->text(), "BMajor Third Inversion");  // the inversion stays
    const views::ChordView shown = window->staff()->Chord();
    EXPECT_EQ(shown, ExpectedChord());
    for (std::size_t n = 3; n < shown.noteSlots.size(); ++n) {
        EXPECT_FALSE(shown.noteSlots[n].headShown);
        EXPECT_FALSE(shown.noteSlots[n].sharpShown);
    }
    if (HaveMarkers()) {
        EXPECT_EQ(VisibleMarkers(), (std::set<int>{23, 27, 30}));
    }
    // A scale with sharps replaced by one without leaves no "#".
    ChooseRoot(0);
    ChooseScale(23);
    ChooseScale(0);
    for (const views::NoteSlotView& slot : window->staff()->Scale().noteSlots) {
        EXPECT_FALSE(slot.sharpShown);
    }
}

TEST_F(MainWindowTest, IdentifierModes) {
    Load();
    if (!HaveMarkers()) {
        GTEST_SKIP() << "control library not available";
    }
    ChooseRoot(2);
    window->mnuOptionsIdentifierItem(1)->trigger();  // Names
    EXPECT_EQ(window->IdentifierMode(), IdentifierMode::Names);
    EXPECT_FALSE(window->mnuOptionsIdentifierItem(0)->isChecked());
    EXPECT_TRUE(window->mnuOptionsIdentifierItem(1)->isChecked());
    for (int k = 0; k < views::kKeyCount; ++k) {  // hidden markers too
        EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(k)),
                  QString::fromUtf8(theory::NoteName(k).data()).left(theory::NoteName(k).size()));
    }
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(31)), "G");

    window->mnuOptionsIdentifierItem(2)->trigger();  // Numbers, root D
    EXPECT_TRUE(window->mnuOptionsIdentifierItem(2)->isChecked());
    EXPECT_FALSE(window->mnuOptionsIdentifierItem(1)->isChecked());
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(2)), "R");
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(0)), "13#");
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(25)), "14");
    // Numbers follow a root change through the chord display.
    ChooseRoot(0);
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(0)), "R");
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(4)), "3");
    EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(7)), "5");

    // Choosing the checked item again applies it again; it is not a toggle.
    window->mnuOptionsIdentifierItem(2)->trigger();
    EXPECT_TRUE(window->mnuOptionsIdentifierItem(2)->isChecked());

    window->mnuOptionsIdentifierItem(0)->trigger();  // Markers clears every caption
    EXPECT_TRUE(window->mnuOptionsIdentifierItem(0)->isChecked());
    for (int k = 0; k < views::kKeyCount; ++k) {
        EXPECT_EQ(MarkerCaptionOf(window->vtlPlayKey(k)), "") << k;
    }
    EXPECT_EQ(VisibleMarkers(), (std::set<int>{0, 4, 7}));
}

TEST_F(MainWindowTest, InversionsFromTheMenuBar) {
    Load();
    window->mnuInversionsPopupItem(1)->trigger();
    EXPECT_EQ(window->Inversion(), 1);
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor First Inversion");
    EXPECT_EQ(window->staff()->Chord().noteSlots[0].headTop, 4860);
    EXPECT_TRUE(window->staff()->Chord().ledgerLines.empty());
    if (HaveMarkers()) {
        EXPECT_EQ(VisibleMarkers(), (std::set<int>{12, 4, 7}));
    }
    window->mnuInversionsPopupItem(0)->trigger();
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor Basic");
}

TEST_F(MainWindowTest, PopupClosedWithoutAChoiceStillAppliesTheInversion) {
    Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    // An inversion set without being applied yet: closing the pop-up applies it.
    window->SetInversion(2);
    bool sawPopup = false;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        sawPopup = popup == window->mnuInversionsPopup();
        if (popup != nullptr) {
            popup->close();
        }
    });
    QTest::mousePress(window->staff(), Qt::RightButton, {}, QPoint(300, 340));
    EXPECT_TRUE(sawPopup);
    EXPECT_EQ(window->Inversion(), 2);
    EXPECT_EQ(window->InversionCaption(), " Second Inversion");
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor Second Inversion");
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(MainWindowTest, PopupItemsCanBeChosenWithTheRightButton) {
    Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTimer::singleShot(0, [&] {
        QMenu* menu = window->mnuInversionsPopup();
        const QRect item = menu->actionGeometry(window->mnuInversionsPopupItem(3));
        QTest::mouseMove(menu, item.center());
        QTest::mouseClick(menu, Qt::RightButton, {}, item.center());
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();  // never leave the test blocked in the menu
        }
    });
    QTest::mousePress(window->lblNoteName(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->Inversion(), 3);
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor Third Inversion");
}

TEST_F(MainWindowTest, RightPressesEverywhereOpenThePopup) {
    Load();
    int opened = 0;
    desktop.popup = [&](QMenu* menu) {
        EXPECT_EQ(menu, window->mnuInversionsPopup());
        ++opened;
        window->mnuInversionsPopupItem(1)->trigger();
    };
    QTest::mousePress(window->picKeyboard(), Qt::RightButton, {}, KeyPoint(5));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(window->RootIndex(), 0);  // a right press picks no root
    EXPECT_EQ(window->lblNoteName()->text(), "CMajor First Inversion");
    window->vtlPlayKey_MouseDown(4, 2, 0, 5.0f, 5.0f);
    EXPECT_EQ(opened, 2);
    window->Form_MouseDown(4, 0, 100.0f, 100.0f);  // middle button: nothing
    window->lblNoteName_MouseDown(1, 0, 100.0f, 100.0f);
    EXPECT_EQ(opened, 2);
}

TEST_F(MainWindowTest, RightPressOpensThePopupOnlyFromTheSurfaceNameKeyboardAndMarkers) {
    Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    int opened = 0;
    desktop.popup = [&](QMenu*) { ++opened; };
    const views::NoteSlotView& head = window->staff()->Chord().noteSlots[1];
    const QPoint onHead(views::TwipsToPixels(head.headLeft + 80),
                        views::TwipsToPixels(head.headTop + 65));
    const QPoint betweenLines(views::TwipsToPixels(4000), views::TwipsToPixels(4920));
    struct Case {
        const char* what;
        QWidget* widget;
        QPoint at;  // in the widget; the centre when null
        bool opens;
    };
    std::vector<Case> cases{
        {"staff", window->staff(), betweenLines, true},
        {"note head", window->staff(), onHead, true},
        {"chord name", window->lblNoteName(), {}, true},
        {"keyboard", window->picKeyboard(), KeyPoint(5), true},
        {"Play", window->cmdPlayButton(), {}, false},
        {"Root Note list", window->cboRootNote(), {}, false},
        {"Treble Clef", window->optClef(0), {}, false},
        {"Bass Clef", window->optClef(1), {}, false},
        {"clef sign", window->lblClef(), {}, false},
    };
    for (int n = 1; n <= 5; ++n) {
        cases.push_back({"label", window->Label(n), {}, false});
    }
    if (HaveMarkers()) {
        cases.push_back({"marker", window->vtlPlayKey(4), {}, true});
    }
    for (const Case& c : cases) {
        const int before = opened;
        const QPoint at = c.at.isNull() ? c.widget->rect().center() : c.at;
        QTest::mousePress(c.widget, Qt::RightButton, {}, at);
        QTest::mouseRelease(c.widget, Qt::RightButton, {}, at);
        EXPECT_EQ(opened - before, c.opens ? 1 : 0)
            << c.what << " " << c.widget->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, PlayAndEnter) {
    int plays = 0;
    QObject::connect(window.get(), &frmChordMain::playRequested, [&] { ++plays; });
    Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::mouseClick(window->cmdPlayButton(), Qt::LeftButton);
    EXPECT_EQ(plays, 1);
    ChooseRoot(3);
    EXPECT_TRUE(window->cmdPlayButton()->hasFocus());  // a root pick moves the focus to Play
    window->cboChordTypes()->setFocus();
    QTest::keyClick(window->cboChordTypes(), Qt::Key_Return);
    EXPECT_EQ(plays, 2);
}

TEST_F(MainWindowTest, ExitAndCloseGoThroughShutDown) {
    int shutdowns = 0;
    QObject::connect(window.get(), &frmChordMain::exitRequested, [&] { ++shutdowns; });
    Load();
    window->mnuFileExit()->trigger();
    EXPECT_EQ(shutdowns, 1);
    window->show();
    window->close();
    EXPECT_EQ(shutdowns, 2);
}

TEST_F(MainWindowTest, ChordProgressionsMenuShowsHidesAndRestores) {
    QWidget progressions;
    program.progressions = &progressions;
    Load();
    window->mnuWindowProgressions()->trigger();
    EXPECT_TRUE(window->mnuWindowProgressions()->isChecked());
    EXPECT_TRUE(progressions.isVisible());
    window->mnuWindowProgressions()->trigger();
    EXPECT_FALSE(window->mnuWindowProgressions()->isChecked());
    EXPECT_FALSE(progressions.isVisible());

    window->mnuWindowProgressions()->trigger();
    progressions.setWindowState(Qt::WindowMinimized);
    window->mnuWindowProgressions()->trigger();  // restores, the check mark stays
    EXPECT_FALSE(progressions.isMinimized());
    EXPECT_TRUE(window->mnuWindowProgressions()->isChecked());
}

TEST_F(MainWindowTest, MinimiseCarriesTheShownSecondaryWindowsAlong) {
    QWidget midi;
    QWidget progressions;
    program.midi = &midi;
    program.progressions = &progressions;
    Load();
    midi.show();
    progressions.show();
    progressions.setWindowState(Qt::WindowMinimized);
    window->setWindowState(Qt::WindowMinimized);  // runs Form_Resize
    EXPECT_TRUE(midi.isMinimized());
    EXPECT_EQ(window->SavedProgressionsState(), Qt::WindowMinimized);
    EXPECT_EQ(window->SavedMidiState(), Qt::WindowNoState);
    window->setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(midi.isMinimized());
    EXPECT_TRUE(progressions.isMinimized());  // minimised before, it comes back minimised
    EXPECT_TRUE(midi.isVisible());
    EXPECT_TRUE(progressions.isVisible());
}

// Setting the state of a hidden window makes the window system show it (an unpainted frame, or
// an icon while minimised), so a hidden window must come through minimise and restore untouched.
TEST_F(MainWindowTest, HiddenSecondaryWindowsStayHiddenThroughMinimiseAndRestore) {
    for (const bool chartShownAndHiddenFirst : {false, true}) {
        SCOPED_TRACE(chartShownAndHiddenFirst ? "chart hidden by the menu" : "fresh start");
        SetUp();
        QWidget midi;
        QWidget progressions;
        program.midi = &midi;
        program.progressions = &progressions;
        Load();
        window->show();
        if (chartShownAndHiddenFirst) {
            window->mnuWindowProgressions()->trigger();
            window->mnuWindowProgressions()->trigger();
        }
        const auto untouched = [&](const char* when) {
            for (QWidget* w : {&midi, &progressions}) {
                EXPECT_FALSE(w->isVisible()) << when;
                EXPECT_EQ(w->windowState(), Qt::WindowNoState) << when;
                if (w->windowHandle() != nullptr) {
                    EXPECT_EQ(w->windowHandle()->windowStates(), Qt::WindowNoState) << when;
                }
            }
        };
        window->setWindowState(Qt::WindowMinimized);
        untouched("minimised");
        window->setWindowState(Qt::WindowNoState);
        untouched("restored");
        EXPECT_FALSE(window->mnuWindowProgressions()->isChecked());
        window.reset();  // before the windows its calls reach
    }
}

TEST_F(MainWindowTest, StaffIsPaintedFromTheViews) {
    Load();
    QTest::mouseClick(window->optClef(1), Qt::LeftButton);
    ChooseRoot(11);  // B 13th in third inversion, its heads a second apart side by side
    ChooseChordType(27);
    window->mnuInversionsPopupItem(3)->trigger();
    const QImage image = window->staff()->grab().toImage();
    const auto dark = [&](int twipsX, int twipsY) {
        const QColor c =
            image.pixelColor(views::TwipsToPixels(twipsX), views::TwipsToPixels(twipsY));
        return c.lightness() < 100;
    };
    // Staff lines, the chord's heads at their centres, and a key shown on the keyboard.
    for (int y : views::kStaffLineY) {
        EXPECT_TRUE(dark(4000, y)) << y;
        EXPECT_FALSE(dark(4000, y + 60)) << y;
    }
    for (const views::NoteSlotView& slot : window->staff()->Chord().noteSlots) {
        if (slot.headShown) {
            EXPECT_TRUE(dark(slot.headLeft + 82, slot.headTop + 67)) << slot.headTop;
        }
        if (slot.headShown && slot.headLeft != views::kChordColumnLeft) {
            EXPECT_FALSE(dark(slot.headLeft - 8, slot.headTop + 97));  // paper beside its second
        }
    }
    EXPECT_NE(window->staff()->Chord().noteSlots[0].headLeft, views::kChordColumnLeft);
    for (const views::TwipsHLine& line : window->staff()->Chord().ledgerLines) {
        EXPECT_TRUE(dark(line.x1 + 10, line.y)) << line.y;
    }
}

// A "#" is painted on its note's line or space at engraving size, not as a small text at the top
// of its label box.
TEST_F(MainWindowTest, SharpsArePaintedOnTheirNotesAtEngravingSize) {
    Load();
    ChooseRoot(1);  // C#(Db) Major: the chord's C# and G#, the scale's C#, D#, F#, G#, A#
    const QImage image = window->staff()->grab().toImage();
    const auto px = [](double twips) { return static_cast<int>(std::floor(twips / 15)); };
    // The dark rows of a sign's box, left of its head, that no staff line runs through.
    const auto inkRows = [&](const views::SignBox& box, int headLeft) {
        std::vector<int> rows;
        const int probe = px(headLeft + views::kCrotchetWidth + 30);
        for (int y = px(box.top - 60); y <= px(box.top + box.height + 60); ++y) {
            if (image.pixelColor(probe, y).lightness() < 128) {
                continue;  // a staff line
            }
            for (int x = px(box.left); x <= px(box.left + box.width); ++x) {
                if (image.pixelColor(x, y).lightness() < 128) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    };
    const views::NoteSlotView& chordG = window->staff()->Chord().noteSlots[2];
    const views::NoteSlotView& scaleD = window->staff()->Scale().noteSlots[1];
    ASSERT_TRUE(chordG.sharpShown && scaleD.sharpShown);
    const std::vector<std::pair<views::SignBox, int>> signs{{chordG.sharpSign, chordG.headTop},
                                                            {scaleD.sharpSign, scaleD.headTop}};
    const std::vector<int> headLefts{chordG.headLeft, scaleD.headLeft};
    for (std::size_t i = 0; i < signs.size(); ++i) {
        const auto& [box, headTop] = signs[i];
        const std::vector<int> rows = inkRows(box, headLefts[i]);
        ASSERT_FALSE(rows.empty()) << headTop;
        const double centre = (rows.front() + rows.back() + 1) / 2.0;
        EXPECT_NEAR(centre, (headTop + views::kCrotchetHeight / 2.0) / 15, 1.5) << headTop;
        const int height = rows.back() - rows.front() + 1;
        EXPECT_GE(height, 2 * views::kStaffSpace / 15) << headTop;
        EXPECT_LE(height, 3 * views::kStaffSpace / 15) << headTop;
    }
}

// Without a music font the sign is drawn: as tall as the glyph it stands for, a third as wide,
// and solid where its bars cross its stems.
TEST(SharpSign, DrawnWhenNoMusicFontIsInstalled) {
    for (const std::optional<QFont>& font : {std::optional<QFont>(), SharpSignFont()}) {
        const QPainterPath sign = SharpSignOutline(font);
        EXPECT_DOUBLE_EQ(sign.boundingRect().height(), 1.0);
        EXPECT_NEAR(sign.boundingRect().width(), 0.33, 0.06);
    }
    const QPainterPath drawn = SharpSignOutline(std::nullopt);
    for (const QPointF& crossing :
         {QPointF(0.095, 0.32), QPointF(0.225, 0.28), QPointF(0.095, 0.72), QPointF(0.225, 0.68)}) {
        EXPECT_TRUE(drawn.contains(crossing)) << crossing.x() << ", " << crossing.y();
    }
}

}  // namespace
}  // namespace quorvane::mainwin

namespace quorvane::mainwin {
namespace {

// With Pick Notes on, a left press on a key or its marker picks the key and the keys that type
// go to the program as notes wherever the focus is; shortcuts, navigation and Escape keep theirs.
TEST_F(MainWindowTest, PickNotesForwardsPressesAndTypingKeys) {
    Load();
    std::vector<int> picked;
    std::vector<std::pair<quint32, bool>> keys;
    int cleared = 0;
    int lost = 0;
    QObject::connect(window.get(), &frmChordMain::keyPicked, [&](int k) { picked.push_back(k); });
    QObject::connect(window.get(), &frmChordMain::computerKeyDown, [&](quint32 scan, int) {
        keys.push_back({scan, true});
    });
    QObject::connect(window.get(), &frmChordMain::computerKeyUp, [&](quint32 scan, int) {
        keys.push_back({scan, false});
    });
    QObject::connect(window.get(), &frmChordMain::pickedCleared, [&] { ++cleared; });
    QObject::connect(window.get(), &frmChordMain::computerKeysLost, [&] { ++lost; });
    window->mnuOptionsPickNotes()->trigger();
    window->picKeyboard_MouseDown(1, 0, 3000, 500);  // key 13
    window->vtlPlayKey_MouseDown(7, 1, 0, 0, 0);
    EXPECT_EQ(picked, (std::vector<int>{13, 7}));
    EXPECT_EQ(window->RootIndex(), 0) << "the root stays";

    QComboBox* box = window->cboChordTypes();
    const auto send = [box](QEvent::Type type, int key, Qt::KeyboardModifiers mods, quint32 scan,
                            bool repeat = false) {
        const QString text = mods == Qt::NoModifier ? QString(QChar(key)).toLower() : QString();
        QKeyEvent event(type, key, mods, scan, 0, 0, text, repeat);
        QApplication::sendEvent(box, &event);
    };
    send(QEvent::KeyPress, Qt::Key_Z, {}, 52);
    send(QEvent::KeyPress, Qt::Key_Z, {}, 52, true);
    send(QEvent::KeyRelease, Qt::Key_Z, {}, 52);
    send(QEvent::KeyPress, Qt::Key_M, Qt::ControlModifier, 58);
    send(QEvent::KeyPress, Qt::Key_Escape, {}, 9);
    EXPECT_EQ(keys, (std::vector<std::pair<quint32, bool>>{{52, true}, {52, false}}));
    EXPECT_EQ(box->currentIndex(), 0) << "typing reaches no selector";
    EXPECT_EQ(cleared, 1);
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(window.get(), &deactivate);
    EXPECT_EQ(lost, 1);

    window->mnuOptionsPickNotes()->trigger();
    send(QEvent::KeyPress, Qt::Key_M, {}, 58);
    window->picKeyboard_MouseDown(1, 0, 3000, 500);
    EXPECT_EQ(keys.size(), 2u);
    EXPECT_EQ(window->RootIndex(), 1) << "off, a press picks the root again";
}

// Held keys are drawn in their shade under the markers and read out in the description.
TEST_F(MainWindowTest, HeldKeysAreDrawnAndDescribed) {
    Load();
    window->ShowHeldKeys(views::ComputeHeldView({60, 64, 67}, 0));
    EXPECT_TRUE(window->picKeyboard()->accessibleDescription().endsWith("Held: C4, E4, G4."));
    const QImage shot = window->picKeyboard()->grab().toImage();
    const QRect e4 = window->picKeyboard()->DrawingAreaRect(views::KeyBlockRect(4));
    EXPECT_EQ(shot.pixelColor(e4.center().x(), e4.top() + 5), ToQColor(views::kHeldWhiteKeyColor));
    window->ShowHeldKeys(views::ComputeHeldView({}, 0));
    EXPECT_TRUE(window->picKeyboard()->accessibleDescription().endsWith("Held: none."));
}

// A key that went down as a note comes up as one, whatever modifiers are held by then.
TEST_F(MainWindowTest, AKeyReleasedWithCtrlOrAltStillEndsItsNote) {
    Load();
    std::vector<std::pair<quint32, bool>> keys;
    QObject::connect(window.get(), &frmChordMain::computerKeyDown, [&](quint32 scan, int) {
        keys.push_back({scan, true});
    });
    QObject::connect(window.get(), &frmChordMain::computerKeyUp, [&](quint32 scan, int) {
        keys.push_back({scan, false});
    });
    window->mnuOptionsPickNotes()->trigger();
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::AltModifier}) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 52, 0, 0, QStringLiteral("z"));
        QApplication::sendEvent(window->cboChordTypes(), &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Z, held, 52, 0, 0, QString());
        QApplication::sendEvent(window->cboChordTypes(), &up);
    }
    EXPECT_EQ(keys, (std::vector<std::pair<quint32, bool>>{
                        {52, true}, {52, false}, {52, true}, {52, false}}));
}

// A played chord is one change of the selection, announced once; its other names stay through a
// change of scale and go when the chord is chosen otherwise.
TEST_F(MainWindowTest, APlayedChordIsOneChangeOfTheSelection) {
    Load();
    std::vector<views::Selection> announced;
    QObject::connect(window.get(), &frmChordMain::selectionChanged,
                     [&](const views::Selection& s) { announced.push_back(s); });
    const theory::HeldChordNames names = theory::NameHeldChord(std::vector<int>{69, 72, 76, 79});
    ASSERT_TRUE(names.chord && !names.others.empty());
    window->SelectPlayedChord(9, 10, 0, names);  // A Minor 7th, also C Major 6th
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(announced[0], window->CurrentSelection());
    EXPECT_EQ(announced[0].heldNames, names);
    EXPECT_EQ(window->cboRootNote()->currentIndex(), 9);
    EXPECT_EQ(window->cboChordTypes()->currentIndex(), 10);
    EXPECT_EQ(progRoots.back(), 9);
    EXPECT_FALSE(window->lblOtherNames()->isHidden());
    ChooseScale(3);
    EXPECT_EQ(announced.back().heldNames, names);
    ChooseChordType(0);
    EXPECT_EQ(announced.back().heldNames, theory::HeldChordNames{});
    EXPECT_TRUE(window->lblOtherNames()->isHidden());
    EXPECT_EQ(window->ChordTitle(), "A Major Basic");
}

}  // namespace
}  // namespace quorvane::mainwin

// What assistive technology reads from the main window: a name on every control, the displays
// described in words, and menus reachable from the keyboard.
#include <gtest/gtest.h>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>

#include <memory>
#include <set>
#include <tuple>

#include "mainwin/KeyboardPanel.h"
#include "mainwin/StaffSurface.h"
#include "mainwin/frmChordMain.h"
#include "support/TestDesktop.h"

namespace quorvane::mainwin {
namespace {

class AccessibilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = std::make_unique<frmChordMain>(desktop);
        ASSERT_TRUE(window->Form_Load());
    }

    static QString NameOf(QWidget* widget) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        return iface != nullptr ? iface->text(QAccessible::Name) : QString();
    }
    static QString DescriptionOf(QWidget* widget) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        return iface != nullptr ? iface->text(QAccessible::Description) : QString();
    }

    void Choose(QComboBox* box, const QString& text) {
        const int row = box->findText(text);
        ASSERT_GE(row, 0);
        box->setCurrentIndex(row);
        emit box->activated(row);
    }

    quorvane::testing::TestDesktop desktop;
    std::unique_ptr<frmChordMain> window;
};

TEST_F(AccessibilityTest, EveryControlHasTheNameItsCaptionGives) {
    const std::vector<std::pair<QWidget*, QString>> expected{
        {window->lblNoteName(), "Chord name: CMajor Basic"},
        {window->picKeyboard(), "Keyboard"},
        {window->staff(), "Staff"},
        {window->lblClef(), "Treble clef"},
        {window->Label(1), "Root Note:"},
        {window->Label(2), "Chord Type:"},
        {window->Label(3), "Scale:"},
        {window->Label(4), "Scale:"},
        {window->Label(5), "Chord:"},
        {window->cmdPlayButton(), "Play"},
        {window->optClef(0), "Treble Clef"},
        {window->optClef(1), "Bass Clef"},
    };
    for (const auto& [widget, name] : expected) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(NameOf(widget).toStdString(), name.toStdString())
            << widget->metaObject()->className();
    }
    // Qt on Linux reads a selector by its current text and its label through the "labelled by"
    // relation; both the name and the relation are there.
    const std::vector<std::tuple<QComboBox*, QLabel*, QString>> selectors{
        {window->cboRootNote(), window->Label(1), "Root Note"},
        {window->cboChordTypes(), window->Label(2), "Chord Type"},
        {window->cboScales(), window->Label(3), "Scale"}};
    for (const auto& [box, label, name] : selectors) {
        EXPECT_EQ(box->accessibleName().toStdString(), name.toStdString());
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        ASSERT_NE(iface, nullptr);
        bool labelled = false;
        for (const auto& [other, relation] : iface->relations(QAccessible::Label)) {
            labelled = labelled || other->object() == label;
        }
        EXPECT_TRUE(labelled) << name.toStdString();
        EXPECT_FALSE(NameOf(box).isEmpty());
    }
    for (int k = 0; k < views::kKeyCount; ++k) {
        if (QWidget* marker = window->vtlPlayKey(k)) {
            EXPECT_FALSE(NameOf(marker).isEmpty()) << k;
        }
    }
    if (QWidget* marker = window->vtlPlayKey(13)) {
        EXPECT_EQ(NameOf(marker).toStdString(), "Marker C#5");
    }
    // No widget of the window is left nameless (the menu bar's and selectors' own parts aside).
    for (QWidget* w : window->staff()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_FALSE(NameOf(w).isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    }
}

TEST_F(AccessibilityTest, KeyboardAndStaffDescribeWhatTheyShow) {
    EXPECT_EQ(DescriptionOf(window->picKeyboard()),
              "Chord CMajor Basic, keys marked: C4, E4, G4. Scale C Major, keys coloured: C4, D4, "
              "E4, F4, G4, A4, B4, C5. Held: none.");
    EXPECT_EQ(DescriptionOf(window->staff()),
              "Treble clef. Scale C Major: C4, D4, E4, F4, G4, A4, B4, C5. Chord CMajor Basic: C4, "
              "E4, G4.");

    Choose(window->cboRootNote(), QStringLiteral("C#(Db)"));
    Choose(window->cboChordTypes(), QStringLiteral("Minor 7th"));
    Choose(window->cboScales(), QStringLiteral("Dorian"));
    window->mnuInversionsPopupItem(1)->trigger();
    window->optClef(1)->click();
    // The raised root sounds highest; the notes are read from the lowest up.
    EXPECT_EQ(DescriptionOf(window->staff()),
              "Bass clef. Scale C#(Db) Dorian: C#4, D#4, E4, F#4, G#4, A#4, B4, C#5. Chord "
              "C#(Db)Minor 7th First Inversion: E4, G#4, B4, C#5.");
    EXPECT_EQ(NameOf(window->lblClef()), QStringLiteral("Bass clef"));
    EXPECT_EQ(NameOf(window->lblNoteName()),
              QStringLiteral("Chord name: C#(Db)Minor 7th First Inversion"));
    EXPECT_TRUE(DescriptionOf(window->picKeyboard()).contains("keys marked: E4, G#4, B4, C#5."));
}

TEST_F(AccessibilityTest, MenuAccessKeysAreUniqueInEveryMenu) {
    const auto check = [](const QList<QAction*>& actions, const QString& where) {
        std::set<int> keys;
        for (QAction* a : actions) {
            if (a->isSeparator()) {
                continue;
            }
            const QKeySequence mnemonic = QKeySequence::mnemonic(a->text());
            if (!mnemonic.isEmpty()) {
                EXPECT_TRUE(keys.insert(mnemonic[0].toCombined()).second)
                    << where.toStdString() << ": " << a->text().toStdString();
            }
        }
    };
    check(window->menuBar()->actions(), "menu bar");
    std::vector<QMenu*> menus;
    for (QAction* a : window->menuBar()->actions()) {
        menus.push_back(a->menu());
    }
    for (std::size_t i = 0; i < menus.size(); ++i) {
        ASSERT_NE(menus[i], nullptr);
        check(menus[i]->actions(), menus[i]->title());
        for (QAction* a : menus[i]->actions()) {
            if (a->menu() != nullptr) {
                menus.push_back(a->menu());
            }
        }
    }
    // Every top-level menu opens with Alt and its letter.
    for (QAction* a : window->menuBar()->actions()) {
        EXPECT_FALSE(QKeySequence::mnemonic(a->text()).isEmpty()) << a->text().toStdString();
    }
}

}  // namespace
}  // namespace quorvane::mainwin

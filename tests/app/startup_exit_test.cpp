#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <memory>
#include <vector>

#include "app/Program.h"
#include "dialogs/DialogLook.h"
#include "progressions/ProgressionsChart.h"
#include "support/RecordingOutputs.h"
#include "support/TestDesktop.h"

namespace quorvane::app {
namespace {

using dialogs::frmMoney;
using progressions::frmChordProgressions;

// Runs `action` once a modal dialog of type T is on screen.
template <typename T>
void WhenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            dialog != nullptr && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

void PressOnReminder(Qt::Key key) {
    WhenModal<frmMoney>([key](frmMoney& d) { QTest::keyClick(&d, key); });
}
void ClickOnReminder(QPushButton* (frmMoney::*button)() const) {
    WhenModal<frmMoney>([button](frmMoney& d) { (d.*button)()->click(); });
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto devices = std::make_unique<midi::RecordingOutputs>(
            std::vector<midi::RecordingOutputs::DeviceSpec>{{"Synth", true}});
        outputs = devices.get();
        auto desktopOwned = std::make_unique<quorvane::testing::TestDesktop>();
        desktop = desktopOwned.get();
        desktop->screenWidth = 1280;
        desktop->reminderAnswer.reset();  // the reminder on screen, for the test to answer
        program = std::make_unique<Program>(std::move(devices), nullptr, std::move(desktopOwned));
    }

    void StartWithOk() {
        ClickOnReminder(&frmMoney::cmdOK);
        ASSERT_TRUE(program->Start());
        program->Main().show();
    }

    mainwin::frmChordMain& Main() { return program->Main(); }
    void ChooseRoot(int row) {
        Main().cboRootNote()->setCurrentIndex(row);
        emit Main().cboRootNote()->activated(row);
    }
    QString Box(int n) { return program->Progressions()->Caption(n); }
    void ExpectChartFor(int root) {
        ASSERT_NE(program->Progressions(), nullptr);
        const progressions::Captions expected = progressions::ProgCaptions(root);
        for (int n = 0; n < progressions::kBoxCount; ++n) {
            EXPECT_EQ(Box(n).toStdString(), expected[static_cast<std::size_t>(n)]) << n;
        }
    }

    quorvane::testing::TestDesktop* desktop = nullptr;
    std::unique_ptr<Program> program;
    midi::RecordingOutputs* outputs = nullptr;
};

TEST_F(ProgramTest, OkStartsTheProgramWithTheChartHiddenForC) {
    StartWithOk();
    EXPECT_FALSE(program->Ended());
    EXPECT_EQ(desktop->ends, 0);
    ASSERT_NE(program->Progressions(), nullptr);
    EXPECT_TRUE(program->Progressions()->isHidden());
    EXPECT_FALSE(Main().mnuWindowProgressions()->isChecked());
    ExpectChartFor(0);
    EXPECT_EQ(program->ClosingRemindersShown(), 0);
}

// Notes how much of the main window exists when the reminder is first painted.
class AtFirstPaint : public QObject {
  public:
    AtFirstPaint(QWidget& painted, const QWidget& other) : painted_(painted), other_(other) {
        painted_.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &painted_ && event->type() == QEvent::Paint && built < 0) {
            built = static_cast<int>(other_.findChildren<QWidget*>().size());
        }
        return false;
    }
    int built = -1;

  private:
    QWidget& painted_;
    const QWidget& other_;
};

TEST_F(ProgramTest, TheReminderPaintsFirstAndTheMainWindowIsBuiltWhileItWaits) {
    const AtFirstPaint paint(program->Reminder(), Main());
    bool builtBeforeOk = false;
    WhenModal<frmMoney>([&](frmMoney& d) {
        builtBeforeOk = QTest::qWaitFor([&] { return Main().centralWidget() != nullptr; }, 5000);
        d.cmdOK()->click();
    });
    ASSERT_TRUE(program->Start());
    EXPECT_EQ(paint.built, 0) << "nothing of the main window before the reminder is on screen";
    EXPECT_TRUE(builtBeforeOk);
}

TEST_F(ProgramTest, WwwAtStartOpensTheUpdatesPageAndContinues) {
    ClickOnReminder(&frmMoney::cmdWebSite);
    EXPECT_TRUE(program->Start());
    EXPECT_EQ(desktop->opened,
              std::vector<QString>{"http://www.brackenfold.example/chord_frameset.htm"});
}

TEST_F(ProgramTest, EnterOrEscAtStartEndTheProgramWithoutASecondReminder) {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        SetUp();
        desktop->ends = 0;
        PressOnReminder(key);
        EXPECT_FALSE(program->Start());
        EXPECT_TRUE(program->Ended());
        EXPECT_EQ(desktop->ends, 1);
        EXPECT_EQ(program->ClosingRemindersShown(), 0);
        EXPECT_FALSE(Main().isVisible());
        EXPECT_EQ(program->Progressions(), nullptr) << "start-up stopped before the chart";
    }
}

TEST_F(ProgramTest, ANarrowScreenEndsWithoutShutDown) {
    desktop->screenWidth = 799;
    ClickOnReminder(&frmMoney::cmdOK);
    EXPECT_FALSE(program->Start());
    EXPECT_EQ(desktop->messages.size(), 1u);
    EXPECT_EQ(desktop->ends, 0);
    EXPECT_EQ(program->ClosingRemindersShown(), 0);
}

TEST_F(ProgramTest, FileExitShowsTheClosingReminderOnceAndEnds) {
    StartWithOk();
    Main().mnuHelpIndex()->trigger();
    program->Midi().SelectDevice(0);
    ASSERT_EQ(outputs->OpenCount(), 1);
    ClickOnReminder(&frmMoney::cmdOK);
    Main().mnuFileExit()->trigger();
    EXPECT_EQ(program->ClosingRemindersShown(), 1);
    EXPECT_TRUE(program->Reminder().bClosing);
    EXPECT_EQ(desktop->ends, 1);
    EXPECT_EQ(program->Progressions(), nullptr) << "unloaded";
    EXPECT_EQ(program->MidiSettings(), nullptr) << "unloaded";
    EXPECT_EQ(program->Help(), nullptr) << "unloaded";
    EXPECT_EQ(outputs->OpenCount(), 0) << "the MIDI output is closed";
    // A close arriving afterwards neither shows the reminder again nor ends twice.
    Main().close();
    EXPECT_EQ(program->ClosingRemindersShown(), 1);
    EXPECT_EQ(desktop->ends, 1);
}

TEST_F(ProgramTest, ClosingTheMainWindowShowsTheClosingReminderOnce) {
    StartWithOk();
    // In the closing reminder Enter is "WWW": the updates page opens and the program closes.
    PressOnReminder(Qt::Key_Return);
    Main().close();
    EXPECT_EQ(program->ClosingRemindersShown(), 1);
    EXPECT_EQ(desktop->ends, 1);
    EXPECT_EQ(desktop->opened,
              std::vector<QString>{"http://www.brackenfold.example/chord_frameset.htm"});
}

TEST_F(ProgramTest, LinkWindowsOffKeepsTheChartAndOnRefreshesIt) {
    StartWithOk();
    Main().mnuOptionsLinkWindows()->trigger();
    ASSERT_FALSE(Main().LinkWindows());
    ChooseRoot(2);
    ExpectChartFor(0);
    Main().mnuOptionsLinkWindows()->trigger();
    ExpectChartFor(2);
    EXPECT_TRUE(program->Progressions()->isHidden()) << "the option shows no window";
    ChooseRoot(11);
    ExpectChartFor(11);
}

TEST_F(ProgramTest, WindowMenuShowsHidesAndRestores) {
    StartWithOk();
    QAction* item = Main().mnuWindowProgressions();
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(program->Progressions()->isVisible());
    EXPECT_EQ(program->Progressions()->parentWidget(), nullptr);
    item->trigger();
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(program->Progressions()->isHidden());
    item->trigger();
    program->Progressions()->showMinimized();
    ASSERT_TRUE(program->Progressions()->isMinimized());
    item->trigger();
    EXPECT_FALSE(program->Progressions()->isMinimized());
    EXPECT_TRUE(program->Progressions()->isVisible());
    EXPECT_TRUE(item->isChecked()) << "restoring leaves the check mark";
}

TEST_F(ProgramTest, ClosedAndReopenedTheChartBelongsToTheCurrentRoot) {
    StartWithOk();
    QAction* item = Main().mnuWindowProgressions();
    item->trigger();
    QPointer<frmChordProgressions> first = program->Progressions();
    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(first.isNull()) << "the user's close destroys the window";
    // With Link Windows off nothing creates the window on a root change.
    Main().mnuOptionsLinkWindows()->trigger();
    ChooseRoot(9);
    item->trigger();
    EXPECT_TRUE(item->isChecked());
    ASSERT_NE(program->Progressions(), nullptr);
    EXPECT_TRUE(program->Progressions()->isVisible());
    ExpectChartFor(9);
}

TEST_F(ProgramTest, PlacementBesideTheMainWindowOnAWideScreen) {
    // 820 px = 12300 twips is wide enough; 819 px = 12285 twips is not.
    desktop->screenWidth = 820;
    StartWithOk();
    // Created during the start-up, before the main window has a frame: its client width.
    EXPECT_EQ(program->Progressions()->pos().x(), 570);
    EXPECT_EQ(program->Progressions()->pos().y(), 0);
    program.reset();
    SetUp();
    desktop->screenWidth = 819;
    StartWithOk();
    EXPECT_EQ(program->Progressions()->pos(), QPoint(7, 0));
    // Created anew later, beside the main window's outer frame.
    program.reset();
    SetUp();
    desktop->screenWidth = 820;
    StartWithOk();
    Main().mnuWindowProgressions()->trigger();
    program->Progressions()->close();
    Main().mnuWindowProgressions()->trigger();
    EXPECT_EQ(program->Progressions()->pos().x(), Main().frameGeometry().width());
}

TEST_F(ProgramTest, MinimisingTheMainWindowTakesTheChartAlong) {
    StartWithOk();
    Main().mnuWindowProgressions()->trigger();
    frmChordProgressions* chart = program->Progressions();
    Main().setWindowState(Qt::WindowMinimized);
    EXPECT_TRUE(chart->isMinimized());
    Main().setWindowState(Qt::WindowNoState);
    EXPECT_FALSE(chart->isMinimized());
    // Minimised on its own, it comes back minimised.
    chart->setWindowState(Qt::WindowMinimized);
    Main().setWindowState(Qt::WindowMinimized);
    Main().setWindowState(Qt::WindowNoState);
    EXPECT_TRUE(chart->isMinimized());
}

TEST_F(ProgramTest, HiddenWindowsStayHiddenWhenTheMainWindowIsMinimisedAndRestored) {
    StartWithOk();
    for (const bool chartHiddenByTheMenu : {false, true}) {
        SCOPED_TRACE(chartHiddenByTheMenu ? "chart hidden by the menu" : "fresh start");
        if (chartHiddenByTheMenu) {
            Main().mnuWindowProgressions()->trigger();
            Main().mnuWindowProgressions()->trigger();
        }
        QWidget* const hidden[] = {program->Progressions(), program->MidiSettings()};
        for (const Qt::WindowStates state : {Qt::WindowMinimized, Qt::WindowNoState}) {
            Main().setWindowState(state);
            for (QWidget* w : hidden) {
                ASSERT_NE(w, nullptr);
                EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString() << " " << state;
                EXPECT_FALSE(w->isMinimized()) << w->objectName().toStdString() << " " << state;
            }
        }
        EXPECT_FALSE(Main().mnuWindowProgressions()->isChecked());
    }
}

TEST_F(ProgramTest, HelpMenu) {
    StartWithOk();
    Main().mnuHelpSearch()->trigger();
    EXPECT_EQ(program->Help(), nullptr) << "Search For Help on... does nothing";
    EXPECT_TRUE(desktop->opened.empty());
    Main().mnuHelpIndex()->trigger();
    ASSERT_NE(program->Help(), nullptr);
    EXPECT_TRUE(program->Help()->isVisible());
    EXPECT_EQ(program->Help()->parentWidget(), &Main());
    // Owned as the window system sees it: a dialog window over the main window.
    ASSERT_NE(program->Help()->windowHandle(), nullptr);
    EXPECT_EQ(program->Help()->windowHandle()->transientParent(), Main().windowHandle());
    EXPECT_EQ(program->Help()->windowType(), Qt::Dialog);
    EXPECT_TRUE(program->Help()->ContentsFound());
    Main().mnuHelpWebUpdates()->trigger();
    Main().mnuHelpWebHome()->trigger();
    EXPECT_EQ(desktop->opened,
              (std::vector<QString>{"http://www.brackenfold.example/chord_frameset.htm",
                                    "http://www.brackenfold.example/index.htm"}));
}

TEST_F(ProgramTest, TheWindowsCarryTheProgramsIcon) {
    StartWithOk();
    Main().mnuWindowProgressions()->trigger();
    Main().mnuWindowMIDI()->trigger();
    Main().mnuHelpIndex()->trigger();
    const QImage expected = dialogs::ProgramIcon().pixmap(32).toImage();
    ASSERT_FALSE(expected.isNull());
    const std::vector<QWidget*> windows{&Main(), program->Progressions(), program->MidiSettings(),
                                        program->Help()};
    for (QWidget* w : windows) {
        ASSERT_NE(w, nullptr);
        ASSERT_NE(w->windowHandle(), nullptr) << w->objectName().toStdString();
        // What the window system is given for the task bar.
        EXPECT_EQ(w->windowHandle()->icon().pixmap(32).toImage(), expected)
            << w->objectName().toStdString();
    }
    // A chart the user closed comes back with the icon too.
    program->Progressions()->close();
    Main().mnuWindowProgressions()->trigger();
    EXPECT_EQ(program->Progressions()->windowHandle()->icon().pixmap(32).toImage(), expected);
}

TEST_F(ProgramTest, AboutTwiceIsTheSameBox) {
    StartWithOk();
    std::vector<dialogs::frmAbout*> shown;
    for (int i = 0; i < 2; ++i) {
        WhenModal<dialogs::frmAbout>([&](dialogs::frmAbout& about) {
            shown.push_back(&about);
            about.Command1()->click();
        });
        Main().mnuHelpAbout()->trigger();
    }
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_TRUE(shown[0]->isHidden());
}

}  // namespace
}  // namespace quorvane::app

// A user's short session with the whole program, driven from inside through Qt's own events, for
// desktops where nothing outside can type or click (a headless Wayland compositor has no input
// devices): the start-up reminder answered with OK, a chord type picked from its drop-down list,
// the MIDI settings window opened (which opens the built-in synthesizer), Play pressed, and File >
// Exit with the closing reminder answered. Exits 0 when every step held; otherwise prints the
// step that failed and exits 1.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>

#include "app/Program.h"

using quorvane::app::Program;
using quorvane::dialogs::frmMoney;

namespace {

[[noreturn]] void Fail(const char* step) {
    std::fprintf(stderr, "session: %s\n", step);
    std::fflush(nullptr);
    std::_Exit(1);
}

// Presses OK on every reminder that comes on screen.
void AnswerRemindersWithOk(QObject* owner) {
    auto* timer = new QTimer(owner);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (auto* reminder = qobject_cast<frmMoney*>(QApplication::activeModalWidget());
            reminder != nullptr && reminder->isVisible()) {
            reminder->cmdOK()->click();
        }
    });
    timer->start();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QObject watcher;
    AnswerRemindersWithOk(&watcher);

    Program program;
    if (!program.Start()) {
        Fail("start-up ended the program (screen check or reminder)");
    }
    auto& main = program.Main();
    if (!QTest::qWaitForWindowExposed(&main, 5000)) {
        Fail("the main window was not exposed");
    }
    // "Minor 7th" is row 10; the list takes the keys as a user's.
    QComboBox* chordTypes = main.cboChordTypes();
    chordTypes->setFocus();
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(chordTypes, Qt::Key_Down);
    }
    if (main.lblNoteName()->text() != QStringLiteral("CMinor 7th Basic")) {
        Fail(qPrintable(QStringLiteral("the chord name reads ") + main.lblNoteName()->text()));
    }
    // Showing the settings window opens the first device, whether or not the compositor
    // activates it.
    main.mnuWindowMIDI()->trigger();
    quorvane::midi::frmMIDI* settings = program.MidiSettings();
    if (settings == nullptr || !QTest::qWaitForWindowExposed(settings, 5000)) {
        Fail("the MIDI settings window was not exposed");
    }
    QTest::qWait(800);
    QTest::mouseClick(main.cmdPlayButton(), Qt::LeftButton);
    std::fprintf(stdout, "played on %s\n", qPrintable(settings->cboDevices()->currentText()));
    std::fflush(stdout);
    QTest::qWait(1200);
    QTimer::singleShot(0, [&main] { main.mnuFileExit()->trigger(); });
    return QApplication::exec();
}

// The program as main() starts it, watched from inside. Prints the monotonic clock (nanoseconds)
// when the start-up reminder's first paint has finished, when its OK is pressed (after a user's
// moment of reading) and when the main window's first paint has finished; then the resident
// memory at the reminder's first paint, while it waits, and once the main window has sat idle.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Program.h"
#include "dialogs/frmMoney.h"
#include "support/ResidentMemory.h"

namespace {

using quorvane::bench::ResidentKb;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr int kReadingMs = 300;  // before OK is pressed
constexpr int kIdleMs = 300;     // after the main window has painted

class StartWatch : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || !watched->isWidgetType()) {
            return false;
        }
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (auto* reminder = qobject_cast<quorvane::dialogs::frmMoney*>(window);
            reminder != nullptr && reminderNs_ == 0) {
            reminderNs_ = -1;
            // After the whole window has painted: note it, then answer as the user does.
            QTimer::singleShot(0, reminder, [this, reminder] {
                reminderNs_ = NowNs();
                paintedKb_ = ResidentKb();
                QTimer::singleShot(kReadingMs, reminder, [this, reminder] {
                    waitingKb_ = ResidentKb();
                    okNs_ = NowNs();
                    reminder->cmdOK()->click();
                });
            });
        } else if (window->objectName() == QLatin1String("frmChordMain") && mainNs_ == 0) {
            mainNs_ = -1;
            QTimer::singleShot(0, [this] {
                mainNs_ = NowNs();
                QTimer::singleShot(kIdleMs, [this] { Report(); });
            });
        }
        return false;
    }

  private:
    void Report() const {
        std::printf(
            "reminder %lld\nok %lld\nmain %lld\nrss_painted_kb %ld\nrss_waiting_kb %ld\n"
            "rss_main_kb %ld\n",
            reminderNs_, okNs_, mainNs_, paintedKb_, waitingKb_, ResidentKb());
        std::fflush(stdout);
        std::_Exit(0);
    }

    long long reminderNs_ = 0;
    long long okNs_ = 0;
    long long mainNs_ = 0;
    long paintedKb_ = 0;
    long waitingKb_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    StartWatch watch;
    app.installEventFilter(&watch);
    // From here on as main() runs the program.
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.brackenfold.Quorvane"));
    quorvane::app::Program program;
    return program.Run();
}

// The program's start-up as main() runs it, ending at the main window's first paint: prints the
// monotonic clock at that moment (nanoseconds) so the driver can take the time from its spawn.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "mainwin/frmChordMain.h"

namespace {

class FirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Report after this paint has finished.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("%lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quorvane::mainwin::frmChordMain window;
    if (!window.Form_Load()) {
        return 1;
    }
    FirstPaint filter;
    window.centralWidget()->installEventFilter(&filter);
    window.show();
    return QApplication::exec();
}

// The yardstick for the program's start-up: a bare Qt Widgets program showing one plain window.
// Prints the monotonic clock (nanoseconds) once that window's first paint has finished, and its
// resident memory then.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

#include "support/ResidentMemory.h"

namespace {

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class PlainWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (!painted_) {
            painted_ = true;
            QTimer::singleShot(0, [] {
                std::printf("painted %lld\nrss_painted_kb %ld\n", NowNs(),
                            quorvane::bench::ResidentKb());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
    }

  private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    PlainWindow window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.resize(275, 267);
    window.show();
    return QApplication::exec();
}

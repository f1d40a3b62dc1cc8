// Play on a real desktop, measured from outside the program: the program under Xvfb with twm,
// playing to a JACK port of jack_probe on a private JACK server (dummy back-end), its Play button
// clicked with the mouse through the XTEST extension. Each iteration is one click; the time runs
// from the moment the X server has taken the button's release to the first note-on's arrival at
// the port, by the steady clock of both processes. The argument is the server's period in frames
// at 48 kHz: JACK hands a message on at the start of the next period, so the period's length
// sets the floor.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <signal.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <vector>

#include "../../tests/e2e/Desktop.h"

namespace {

using quorvane::e2e::App;
using quorvane::e2e::BuildProgram;
using quorvane::e2e::Child;
using quorvane::e2e::Desktop;

// The left button through the XTEST extension. The X libraries are loaded here: their headers'
// macros clash with Qt's names.
class XTestMouse {
  public:
    explicit XTestMouse(const QString& display)
        : x11_(dlopen("libX11.so.6", RTLD_NOW)), xtst_(dlopen("libXtst.so.6", RTLD_NOW)) {
        if (x11_ == nullptr || xtst_ == nullptr) {
            return;
        }
        sync_ = reinterpret_cast<SyncFn>(dlsym(x11_, "XSync"));
        close_ = reinterpret_cast<CloseFn>(dlsym(x11_, "XCloseDisplay"));
        button_ = reinterpret_cast<ButtonFn>(dlsym(xtst_, "XTestFakeButtonEvent"));
        motion_ = reinterpret_cast<MotionFn>(dlsym(xtst_, "XTestFakeMotionEvent"));
        if (auto open = reinterpret_cast<OpenFn>(dlsym(x11_, "XOpenDisplay"))) {
            display_ = open(display.toLocal8Bit().constData());
        }
    }
    ~XTestMouse() {
        if (display_ != nullptr && close_ != nullptr) {
            close_(display_);
        }
        for (void* library : {xtst_, x11_}) {
            if (library != nullptr) {
                dlclose(library);
            }
        }
    }
    XTestMouse(const XTestMouse&) = delete;
    XTestMouse& operator=(const XTestMouse&) = delete;

    bool Usable() const { return display_ && sync_ && button_ && motion_; }
    void MoveTo(int x, int y) {
        motion_(display_, -1, x, y, 0);
        sync_(display_, 0);
    }
    // The server has taken the press or release by the time returned.
    std::chrono::steady_clock::time_point Button(bool down) {
        button_(display_, 1, down ? 1 : 0, 0);
        sync_(display_, 0);
        return std::chrono::steady_clock::now();
    }

  private:
    using OpenFn = void* (*)(const char*);
    using SyncFn = int (*)(void*, int);
    using CloseFn = int (*)(void*);
    using ButtonFn = int (*)(void*, unsigned, int, unsigned long);
    using MotionFn = int (*)(void*, int, int, int, unsigned long);
    void* x11_;
    void* xtst_;
    void* display_ = nullptr;
    SyncFn sync_ = nullptr;
    CloseFn close_ = nullptr;
    ButtonFn button_ = nullptr;
    MotionFn motion_ = nullptr;
};

// The steady clock's millisecond at which each note-on of middle C reached the port.
std::vector<double> MiddleCArrivals(Child& port) {
    static const QRegularExpression timed(QStringLiteral("t=(\\d+)\n90 3c "));
    std::vector<double> out;
    for (auto m = timed.globalMatch(QString::fromLatin1(port.Output())); m.hasNext();) {
        out.push_back(m.next().captured(1).toDouble() / 1000.0);
    }
    return out;
}

int InfoValue(const QString& info, const char* key) {
    return QRegularExpression(QLatin1String(key) + QStringLiteral(":\\s*(\\d+)"))
        .match(info)
        .captured(1)
        .toInt();
}

void BM_ClickReleaseToNoteOnAtJackPort(benchmark::State& state) {
    Desktop desktop;
    for (const QString& why :
         {desktop.StartX(), desktop.StartJack(48000, static_cast<int>(state.range(0)))}) {
        if (!why.isEmpty()) {
            state.SkipWithError(why.toStdString().c_str());
            return;
        }
    }
    Child port;
    port.Start(BuildProgram(QStringLiteral("jack_probe")),
               {QStringLiteral("midi"), QStringLiteral("600")}, desktop.Env());
    for (int i = 0; i < 100 && !port.Output().contains("midi_in"); ++i) {
        QThread::msleep(50);
    }
    XTestMouse mouse(desktop.Env().value(QStringLiteral("DISPLAY")));
    App app(desktop);
    if (!mouse.Usable() || !app.Start() || app.PassReminder().isEmpty()) {
        state.SkipWithError("the program or the mouse did not start");
        return;
    }
    // The entry after the built-in synthesizer, the JACK port; then the settings window, in
    // front of the main window, goes out of Play's way.
    const QString settings = app.OpenMidiSettings();
    QThread::msleep(300);
    desktop.Keys(settings, {QStringLiteral("Down")});
    QThread::msleep(300);
    desktop.Tool(QStringLiteral("xdotool"), {QStringLiteral("windowmove"), settings,
                                             QStringLiteral("0"), QStringLiteral("520")});
    const QString info = QString::fromLatin1(
        desktop.Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), app.MainWindow()}));
    // Play's middle, below the menu bar (the client area is 6225 twips high, 15 twips a pixel).
    mouse.MoveTo(InfoValue(info, "Absolute upper-left X") + (7740 + 306) / 15,
                 InfoValue(info, "Absolute upper-left Y") + InfoValue(info, "Height") - 6225 / 15 +
                     (3600 + 246) / 15);
    QThread::msleep(300);
    std::vector<double> ms;
    for (auto _ : state) {
        mouse.Button(true);
        QThread::msleep(100);
        const std::chrono::duration<double, std::milli> released =
            mouse.Button(false).time_since_epoch();
        QThread::msleep(700);  // the chord's 500 ms and its note-offs
        const std::vector<double> arrivals = MiddleCArrivals(port);
        if (arrivals.size() != ms.size() + 1) {
            state.SkipWithError("the click did not play the chord on the port");
            break;
        }
        ms.push_back(arrivals.back() - released.count());
    }
    app.Exit();
    if (ms.empty()) {
        return;
    }
    std::sort(ms.begin(), ms.end());
    state.counters["release_to_note_on_median_ms"] = ms[ms.size() / 2];
    state.counters["release_to_note_on_best_ms"] = ms.front();
    state.counters["release_to_note_on_worst_ms"] = ms.back();
}
BENCHMARK(BM_ClickReleaseToNoteOnAtJackPort)
    ->Arg(32)
    ->Arg(64)
    ->Arg(256)
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

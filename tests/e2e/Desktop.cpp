#include "Desktop.h"

#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quorvane::e2e {

namespace {

std::atomic<int> counter{0};

QString Unique(const char* what) {
    return QStringLiteral("quorvane-e2e-%1-%2-%3")
        .arg(QLatin1String(what))
        .arg(::getpid())
        .arg(counter.fetch_add(1));
}

void Pause(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}

bool WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= ms) {
            return false;
        }
        Pause(10);
    }
    return true;
}

QString BuildProgram(const QString& name) {
    return QStringLiteral(QUORVANE_BINARY_DIR "/bin/") + name;
}

// ---- Child ----------------------------------------------------------------------------------

Child::~Child() {
    Stop();
}

bool Child::Start(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                  const QString& workingDir) {
    process_.setProcessEnvironment(env);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    if (!workingDir.isEmpty()) {
        process_.setWorkingDirectory(workingDir);
    }
    process_.start(program, args);
    return process_.waitForStarted(5000);
}

void Child::Signal(int sig) const {
    if (Running()) {
        ::kill(static_cast<pid_t>(process_.processId()), sig);
    }
}

std::optional<int> Child::Wait(int ms) {
    if (Running() && !process_.waitForFinished(ms)) {
        return std::nullopt;
    }
    output_ += process_.readAll();
    if (process_.exitStatus() == QProcess::CrashExit) {
        // QProcess does not say which signal; the shell's convention needs it.
        return 128 + (process_.exitCode() != 0 ? process_.exitCode() : SIGKILL);
    }
    return process_.exitCode();
}

void Child::Stop() {
    if (!Running()) {
        return;
    }
    process_.terminate();
    if (!process_.waitForFinished(3000)) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

QByteArray Child::Output() {
    if (process_.state() != QProcess::NotRunning || process_.bytesAvailable() > 0) {
        process_.waitForReadyRead(0);
        output_ += process_.readAll();
    }
    return output_;
}

// ---- Desktop --------------------------------------------------------------------------------

Desktop::Desktop() : env_(QProcessEnvironment::systemEnvironment()) {
    runtime_ = home_.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime_);
    QFile::setPermissions(runtime_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Nothing from the machine's own desktop reaches the test, and no client starts a server of
    // its own.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "PULSE_SERVER", "JACK_DEFAULT_SERVER",
                             "QT_QPA_PLATFORM", "XAUTHORITY", "DBUS_SESSION_BUS_ADDRESS"}) {
        env_.remove(QLatin1String(name));
    }
    env_.insert(QStringLiteral("HOME"), home_.path());
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_);
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral(".config")));
    env_.insert(QStringLiteral("JACK_NO_START_SERVER"), QStringLiteral("1"));
    env_.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    QDir().mkpath(home_.filePath(QStringLiteral(".config/pulse")));
    WriteFile(home_.filePath(QStringLiteral(".config/pulse/client.conf")), "autospawn = no\n");
    // With no JACK server of the test's, clients look for one by a name nobody uses.
    env_.insert(QStringLiteral("JACK_DEFAULT_SERVER"), Unique("nojack"));
}

Desktop::~Desktop() {
    recorder_.reset();
    weston_.reset();
    jack_.reset();
    pulse_.reset();
    wm_.reset();
    x_.reset();
}

QString Desktop::StartX(bool withWindowManager) {
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty()) {
        return QStringLiteral("Xvfb is not installed");
    }
    x_ = std::make_unique<Child>();
    // The server picks a free display and writes its number on standard output.
    if (!x_->Start(xvfb,
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")},
                   env_)) {
        return QStringLiteral("Xvfb does not start");
    }
    QElapsedTimer timer;
    timer.start();
    QString display;
    while (timer.elapsed() < 10000 && x_->Running()) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^(\\d+)\\s*$"), QRegularExpression::MultilineOption)
                .match(QString::fromLocal8Bit(x_->Output()));
        if (m.hasMatch()) {
            display = QStringLiteral(":") + m.captured(1);
            break;
        }
        Pause(20);
    }
    if (display.isEmpty()) {
        return QStringLiteral("Xvfb gave no display: ") + QString::fromLocal8Bit(x_->Output());
    }
    env_.insert(QStringLiteral("DISPLAY"), display);
    if (!withWindowManager) {
        return {};
    }
    const QString twm = QStandardPaths::findExecutable(QStringLiteral("twm"));
    if (twm.isEmpty()) {
        return QStringLiteral("twm is not installed");
    }
    // The server's core fonts only, and windows placed without asking the user.
    const QString rc = home_.filePath(QStringLiteral("twmrc"));
    WriteFile(rc,
              "TitleFont \"fixed\"\nResizeFont \"fixed\"\nMenuFont \"fixed\"\nIconFont \"fixed\"\n"
              "IconManagerFont \"fixed\"\nRandomPlacement\nUsePPosition \"on\"\nNoGrabServer\n");
    QProcessEnvironment wmEnv = env_;
    wmEnv.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    wm_ = std::make_unique<Child>();
    if (!wm_->Start(twm, {QStringLiteral("-f"), rc}, wmEnv)) {
        return QStringLiteral("twm does not start");
    }
    // The window manager is up once it has selected the root window's redirection.
    for (int i = 0; i < 100; ++i) {
        if (!wm_->Running()) {
            return QStringLiteral("twm ended: ") + QString::fromLocal8Bit(wm_->Output());
        }
        const QByteArray root = Tool(QStringLiteral("xwininfo"),
                                     {QStringLiteral("-root"), QStringLiteral("-children")});
        if (root.contains("child") && !root.contains(" 0 children")) {
            return {};
        }
        Pause(50);
    }
    return {};
}

QString Desktop::StartPulse() {
    const QString pulseaudio = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (pulseaudio.isEmpty()) {
        return QStringLiteral("pulseaudio is not installed");
    }
    const QString socket = runtime_ + QStringLiteral("/pulse/native");
    pulse_ = std::make_unique<Child>();
    if (!pulse_->Start(pulseaudio,
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                        QStringLiteral("--disable-shm"), QStringLiteral("-L"),
                        QStringLiteral("module-null-sink sink_name=e2e"), QStringLiteral("-L"),
                        QStringLiteral("module-native-protocol-unix"), QStringLiteral("-L"),
                        QStringLiteral("module-always-sink")},
                       env_)) {
        return QStringLiteral("pulseaudio does not start");
    }
    env_.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socket);
    for (int i = 0; i < 200; ++i) {
        int code = -1;
        Tool(QStringLiteral("pactl"), {QStringLiteral("info")}, 2000, &code);
        if (code == 0) {
            return {};
        }
        if (!pulse_->Running()) {
            break;
        }
        Pause(50);
    }
    return QStringLiteral("pulseaudio is not answering: ") +
           QString::fromLocal8Bit(pulse_->Output());
}

QString Desktop::StartJack(int rate, int period) {
    jack_.reset();  // a server killed before gives its place back first
    jack_ = std::make_unique<testing::JackServer>("quorvane-e2e", rate, period);
    if (!jack_->Start()) {
        return QStringLiteral("jackd does not start: ") + QString::fromStdString(jack_->Log());
    }
    jackName_ = QString::fromStdString(jack_->Name());
    env_.insert(QStringLiteral("JACK_DEFAULT_SERVER"), jackName_);
    return {};
}

void Desktop::KillJack(int sig) {
    if (!jack_) {
        return;
    }
    if (sig == SIGKILL) {
        jack_->Kill();
    } else {
        jack_->Terminate();
    }
}

QString Desktop::StartWeston(bool xwayland) {
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty()) {
        return QStringLiteral("weston is not installed");
    }
    if (xwayland && QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty()) {
        return QStringLiteral("Xwayland is not installed");
    }
    waylandSocket_ = Unique("wayland");
    weston_ = std::make_unique<Child>();
    QStringList args{QStringLiteral("--backend=headless-backend.so"),
                     QStringLiteral("--socket=") + waylandSocket_, QStringLiteral("--idle-time=0"),
                     QStringLiteral("--width=1280"), QStringLiteral("--height=1024")};
    if (xwayland) {
        args << QStringLiteral("--xwayland");
    }
    if (!weston_->Start(weston, args, env_)) {
        return QStringLiteral("weston does not start");
    }
    const QString socket = runtime_ + QLatin1Char('/') + waylandSocket_;
    // With XWayland the compositor names the X display once its server listens.
    const QRegularExpression xserver(QStringLiteral("xserver listening on display (:\\d+)"));
    for (int i = 0; i < 200 && weston_->Running(); ++i) {
        const QRegularExpressionMatch x = xserver.match(QString::fromLocal8Bit(weston_->Output()));
        if (QFile::exists(socket) && (!xwayland || x.hasMatch())) {
            env_.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandSocket_);
            if (xwayland) {
                env_.insert(QStringLiteral("DISPLAY"), x.captured(1));
            }
            return {};
        }
        Pause(50);
    }
    return QStringLiteral("weston is not up: ") + QString::fromLocal8Bit(weston_->Output());
}

QByteArray Desktop::Tool(const QString& program, const QStringList& args, int ms,
                         int* exitCode) const {
    QProcess process;
    process.setProcessEnvironment(env_);
    process.start(program, args);
    if (!process.waitForStarted(5000) || !process.waitForFinished(ms)) {
        process.kill();
        process.waitForFinished(1000);
        if (exitCode != nullptr) {
            *exitCode = -1;
        }
        return {};
    }
    if (exitCode != nullptr) {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return process.readAllStandardOutput();
}

double Desktop::Ping(const QString& window, int ms) const {
    const QByteArray display = env_.value(QStringLiteral("DISPLAY")).toLocal8Bit();
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> c(
        xcb_connect(display.constData(), nullptr), &xcb_disconnect);
    if (xcb_connection_has_error(c.get()) != 0) {
        return -1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c.get())).data->root;
    const auto atom = [&](const char* name) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c.get(), xcb_intern_atom(c.get(), 0, std::strlen(name), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_NONE};
    };
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;  // the answer goes to the root
    xcb_change_window_attributes(c.get(), root, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t ping{};
    ping.response_type = XCB_CLIENT_MESSAGE;
    ping.format = 32;
    ping.window = window.toUInt();
    ping.type = atom("WM_PROTOCOLS");
    ping.data.data32[0] = atom("_NET_WM_PING");
    ping.data.data32[1] = 4242;
    ping.data.data32[2] = ping.window;
    QElapsedTimer timer;
    timer.start();
    xcb_send_event(c.get(), 0, ping.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&ping));
    xcb_flush(c.get());
    while (timer.elapsed() < ms) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(
            xcb_poll_for_event(c.get()), &std::free);
        if (!event) {
            QThread::usleep(200);
            continue;
        }
        const auto* answer = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
        if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
            answer->data.data32[0] == ping.data.data32[0] && answer->data.data32[1] == 4242) {
            return static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
    }
    return -1;
}

QString Desktop::WaitWindow(const QString& namePattern, int ms) const {
    QElapsedTimer timer;
    timer.start();
    do {
        const QByteArray ids = Tool(QStringLiteral("xdotool"),
                                    {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--name"), namePattern});
        const QString first = QString::fromLatin1(ids).section(QLatin1Char('\n'), 0, 0).trimmed();
        if (!first.isEmpty()) {
            return first;
        }
        Pause(50);
    } while (timer.elapsed() < ms);
    return {};
}

bool Desktop::WindowGone(const QString& namePattern, int ms) const {
    QElapsedTimer timer;
    timer.start();
    do {
        if (Tool(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--name"), namePattern})
                .trimmed()
                .isEmpty()) {
            return true;
        }
        Pause(50);
    } while (timer.elapsed() < ms);
    return false;
}

QStringList Desktop::Windows(const QString& namePattern) const {
    return QString::fromLatin1(
               Tool(QStringLiteral("xdotool"),
                    {QStringLiteral("search"), QStringLiteral("--name"), namePattern}))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void Desktop::Focus(const QString& window) const {
    Tool(QStringLiteral("xdotool"),
         {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
}

void Desktop::Keys(const QString& window, const QStringList& keys) const {
    Focus(window);
    // Typed through the XTEST extension into the focused window, as a keyboard would: synthetic
    // events sent to a window do not carry the modifier state that menus' access keys need.
    QStringList args{QStringLiteral("key"), QStringLiteral("--clearmodifiers"),
                     QStringLiteral("--delay"), QStringLiteral("60")};
    args += keys;
    Tool(QStringLiteral("xdotool"), args);
}

QString Desktop::WmState(const QString& window) const {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("window state: (\\w+)"))
            .match(
                QString::fromLatin1(Tool(QStringLiteral("xprop"), {QStringLiteral("-id"), window,
                                                                   QStringLiteral("WM_STATE")})));
    return m.hasMatch() ? m.captured(1) : QString();
}

bool Desktop::Viewable(const QString& window) const {
    return Tool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window}).contains("IsViewable");
}

QString Desktop::StartRecording() {
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (parec.isEmpty()) {
        return QStringLiteral("parec is not installed");
    }
    recording_ = home_.filePath(Unique("rec") + QStringLiteral(".raw"));
    recorder_ = std::make_unique<Child>();
    if (!recorder_->Start(QStringLiteral("sh"),
                          {QStringLiteral("-c"),
                           QStringLiteral("exec parec -d e2e.monitor --raw --format=s16le "
                                          "--rate=44100 --channels=2 > \"$0\""),
                           recording_},
                          env_)) {
        return QStringLiteral("parec does not start");
    }
    // Recording once the server lists the recorder's stream.
    for (int i = 0; i < 100 && recorder_->Running(); ++i) {
        if (!Tool(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"),
                                            QStringLiteral("source-outputs")})
                 .trimmed()
                 .isEmpty()) {
            return {};
        }
        Pause(50);
    }
    return QStringLiteral("parec is not recording: ") + QString::fromLocal8Bit(recorder_->Output());
}

int Desktop::RecordedPeak() const {
    QFile file(recording_);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray data = file.readAll();
    int peak = 0;
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const auto sample = static_cast<qint16>(static_cast<quint8>(data[i]) |
                                                (static_cast<quint8>(data[i + 1]) << 8));
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

int Desktop::StopRecording() {
    if (!recorder_) {
        return 0;
    }
    recorder_->Stop();
    return RecordedPeak();
}

// ---- App ------------------------------------------------------------------------------------

bool App::Start(const QString& program, const QString& workingDir,
                std::optional<QProcessEnvironment> env) {
    QProcessEnvironment e = env.value_or(desktop_.Env());
    if (!e.contains(QStringLiteral("QT_QPA_PLATFORM"))) {
        e.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    return process_.Start(program, {}, e, workingDir.isEmpty() ? desktop_.Folder() : workingDir);
}

QString App::PassReminder() {
    const QString reminder = desktop_.WaitWindow(QStringLiteral("^Velmira$"));
    if (reminder.isEmpty()) {
        return {};
    }
    // Cancel has the focus at start-up and OK comes before it in the focus chain, wherever the
    // draw has put the buttons.
    desktop_.Keys(reminder, {QStringLiteral("shift+Tab"), QStringLiteral("space")});
    main_ = desktop_.WaitWindow(QStringLiteral("^Quorvane$"));
    return main_;
}

std::optional<int> App::Exit(bool discardSequence) {
    desktop_.Keys(main_, {QStringLiteral("alt+f"), QStringLiteral("x")});
    if (discardSequence) {
        desktop_.Keys(desktop_.WaitWindow(QStringLiteral("^Quorvane$")), {QStringLiteral("alt+d")});
    }
    // The closing reminder: Esc goes on closing as OK does.
    const QString reminder = desktop_.WaitWindow(QStringLiteral("^Velmira$"));
    if (!reminder.isEmpty()) {
        desktop_.Keys(reminder, {QStringLiteral("Escape")});
    }
    return process_.Wait(10000);
}

QString App::OpenMidiSettings() {
    desktop_.Keys(main_, {QStringLiteral("shift+F2")});
    return desktop_.WaitWindow(QStringLiteral("^Quorvane - \\[MIDI\\]$"));
}

}  // namespace quorvane::e2e

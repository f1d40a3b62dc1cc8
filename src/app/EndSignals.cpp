#include "app/EndSignals.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace quorvane::app {

namespace {

constexpr std::array<int, 3> kEndSignals{SIGTERM, SIGINT, SIGHUP};
constexpr std::chrono::nanoseconds kLongestStep = std::chrono::milliseconds(20);

// The write end of the installed handlers' pipe, -1 when none is installed. The program's one
// process-wide variable besides its state objects: a signal handler can reach nothing else.
std::atomic<int> gEndSignalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free, "read from a signal handler");

// Async-signal-safe: one write() of one byte to a non-blocking pipe, errno kept.
void OnEndSignal(int signal) {
    const int saved = errno;
    const int fd = gEndSignalPipe.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signal);
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void SetAction(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kEndSignals) {
        sigaction(signal, &action, nullptr);
    }
}

}  // namespace

EndSignals::EndSignals(std::function<void(int signal)> received) : received_(std::move(received)) {
    std::array<int, 2> fds{-1, -1};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their default action
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
    gEndSignalPipe.store(writeFd_);
    SetAction(&OnEndSignal);
}

EndSignals::~EndSignals() {
    int mine = writeFd_;
    if (mine >= 0 && gEndSignalPipe.compare_exchange_strong(mine, -1)) {
        SetAction(SIG_DFL);
    }
    delete notifier_;
    for (int fd : {readFd_, writeFd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool EndSignals::Pending() const {
    if (readFd_ < 0) {
        return false;
    }
    pollfd p{readFd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

void EndSignals::SleepUntil(midi::MidiClock::time_point deadline) const {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return;
        }
        // The kernel may wake a poll late by a thousandth of its timeout (half a millisecond
        // after 500 ms); in steps of at most 20 ms the wake-up stays within the timer's slack.
        const std::chrono::nanoseconds step =
            std::min<std::chrono::nanoseconds>(left, kLongestStep);
        // To the nanosecond, so that the note length is kept to well under a millisecond.
        const timespec timeout{static_cast<time_t>(step.count() / 1'000'000'000),
                               static_cast<long>(step.count() % 1'000'000'000)};
        pollfd p{readFd_, POLLIN, 0};
        // Without a pipe (fd -1) ppoll only sleeps.
        const int ready = ::ppoll(&p, 1, &timeout, nullptr);
        if (ready > 0) {
            return;  // a signal arrived
        }
        // 0: the time is up (checked above); -1: interrupted, sleep again.
    }
}

void EndSignals::Drain() {
    unsigned char byte = 0;
    int first = 0;
    while (::read(readFd_, &byte, 1) == 1) {
        if (first == 0) {
            first = byte;
        }
    }
    if (first != 0 && received_) {
        received_(first);
    }
}

}  // namespace quorvane::app

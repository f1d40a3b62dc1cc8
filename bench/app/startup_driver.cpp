// Start-up side by side, in one run: a bare Qt Widgets program to its first painted window, and
// the program to its start-up reminder's first paint and, after OK, to its main window's first
// paint. The two children (beside this executable) are started in turn, many times; the figures
// are medians, from the spawn or (main_after_ok_ms) from OK, which the program's child presses a
// user's moment after the reminder has painted. Run it on the display to be measured (xvfb-run -a,
// or QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::string Beside(const std::string& name) {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) {
        return name;
    }
    const std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + name;
}

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Starts `program`, reads what it prints ("name value" lines) until it ends, and gives the values
// with the spawn time under "spawn"; empty when it failed or took longer than half a minute.
std::map<std::string, long long> RunChild(const std::string& program) {
    int fds[2];
    if (pipe(fds) != 0) {
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = 0;
    const long long spawn = NowNs();
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return {};
    }
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    bool timedOut = false;
    for (;;) {
        pollfd p{fds[0], POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            timedOut = true;
            break;
        }
        char buffer[512];
        const ssize_t n = read(fds[0], buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return {};
    }
    std::map<std::string, long long> values{{"spawn", spawn}};
    std::istringstream lines(out);
    std::string name;
    long long value = 0;
    while (lines >> name >> value) {
        values[name] = value;
    }
    return values;
}

double Median(std::vector<double> v) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const std::size_t mid = v.size() / 2;
    return v.size() % 2 != 0 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

double Ms(long long fromNs, long long toNs) {
    return static_cast<double>(toNs - fromNs) / 1e6;
}

void BM_StartUpBesideABareWindow(benchmark::State& state) {
    const std::string bare = Beside("bench_startup_bare");
    const std::string program = Beside("bench_startup_program");
    std::vector<double> bareMs, reminderMs, afterOkMs, bareMb, paintedMb, waitingMb, mainMb;
    for (auto _ : state) {
        auto b = RunChild(bare);
        auto p = RunChild(program);
        if (!b.contains("painted") || !p.contains("main")) {
            state.SkipWithError("a start-up child failed (is there a display?)");
            return;
        }
        bareMs.push_back(Ms(b["spawn"], b["painted"]));
        reminderMs.push_back(Ms(p["spawn"], p["reminder"]));
        afterOkMs.push_back(Ms(p["ok"], p["main"]));
        bareMb.push_back(static_cast<double>(b["rss_painted_kb"]) / 1024.0);
        paintedMb.push_back(static_cast<double>(p["rss_painted_kb"]) / 1024.0);
        waitingMb.push_back(static_cast<double>(p["rss_waiting_kb"]) / 1024.0);
        mainMb.push_back(static_cast<double>(p["rss_main_kb"]) / 1024.0);
        state.SetIterationTime(reminderMs.back() / 1000.0);
    }
    const double bareMedian = Median(bareMs);
    const double reminderMedian = Median(reminderMs);
    state.counters["bare_ms"] = bareMedian;
    state.counters["reminder_ms"] = reminderMedian;
    state.counters["reminder_per_bare"] = bareMedian > 0 ? reminderMedian / bareMedian : 0;
    state.counters["main_after_ok_ms"] = Median(afterOkMs);
    const double bareMbMedian = Median(bareMb);
    state.counters["rss_bare_painted_MB"] = bareMbMedian;
    state.counters["rss_reminder_painted_MB"] = Median(paintedMb);
    state.counters["rss_reminder_per_bare"] =
        bareMbMedian > 0 ? Median(paintedMb) / bareMbMedian : 0;
    state.counters["rss_reminder_waiting_MB"] = Median(waitingMb);
    state.counters["rss_main_idle_MB"] = Median(mainMb);
}
BENCHMARK(BM_StartUpBesideABareWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(30);

}  // namespace

BENCHMARK_MAIN();

// Time from process start to the first painted main window: spawns bench_startup_child (beside
// this executable) and subtracts the spawn time from the moment the child reports its paint.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

extern char** environ;

namespace {

std::string ChildPath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (n <= 0) {
        return "bench_startup_child";
    }
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "bench_startup_child";
}

// Milliseconds from spawn to first paint, or a negative value when the child failed.
double OneStart(const std::string& child) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* argv[] = {const_cast<char*>(child.c_str()), nullptr};
    pid_t pid = 0;
    const auto start = std::chrono::steady_clock::now();
    const int rc = posix_spawn(&pid, child.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        return -1;
    }
    char buffer[64] = {};
    ssize_t got = 0;
    while (got < static_cast<ssize_t>(sizeof(buffer) - 1)) {
        const ssize_t n = read(pipeFds[0], buffer + got, sizeof(buffer) - 1 - got);
        if (n <= 0) {
            break;
        }
        got += n;
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    const long long paintedNs = std::stoll(std::string(buffer, static_cast<std::size_t>(got)));
    const long long startNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
    return static_cast<double>(paintedNs - startNs) / 1e6;
}

void BM_StartToPaintedWindow(benchmark::State& state) {
    const std::string child = ChildPath();
    for (auto _ : state) {
        const double ms = OneStart(child);
        if (ms < 0) {
            state.SkipWithError("the start-up child failed");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
    }
}
BENCHMARK(BM_StartToPaintedWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();

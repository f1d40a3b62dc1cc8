// The installed program: time from its start to its first visible, painted window, and its
// resident memory then. The build is installed into a temporary DESTDIR first; the program runs
// on the display this benchmark is given (xvfb-run -a), found through xdotool.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

extern char** environ;

namespace {

std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof(buffer), pipe) != nullptr) {
            out += buffer;
        }
        pclose(pipe);
    }
    return out;
}

// A DESTDIR install of this build, removed again when the benchmark ends.
struct Installation {
    std::string root;
    std::string program;
    Installation() {
        char pattern[] = "/tmp/quorvane-bench-XXXXXX";
        if (const char* dir = mkdtemp(pattern)) {
            root = dir;
            const std::string command = "DESTDIR='" + root + "' '" + QUORVANE_CMAKE_COMMAND +
                                        "' --install '" + QUORVANE_BINARY_DIR +
                                        "' --prefix /usr >/dev/null 2>&1";
            if (std::system(command.c_str()) == 0) {
                program = root + "/usr/bin/quorvane";
            }
        }
    }
    ~Installation() {
        if (!root.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(root, ec);
        }
    }
};

const std::string& InstalledProgram() {
    static const Installation installation;
    return installation.program;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

void BM_InstalledStartToFirstWindow(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr) {
        state.SkipWithError("needs a display (run under xvfb-run -a)");
        return;
    }
    const std::string& program = InstalledProgram();
    if (program.empty()) {
        state.SkipWithError("the install failed");
        return;
    }
    double rssKb = 0;
    for (auto _ : state) {
        char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
        pid_t pid = 0;
        const auto start = std::chrono::steady_clock::now();
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
            state.SkipWithError("the program did not start");
            return;
        }
        // Mapped and visible: the window system has its first frame. Polled every few
        // milliseconds (xdotool's own --sync waits half a second between looks).
        std::string found;
        const std::string look =
            "xdotool search --onlyvisible --pid " + std::to_string(pid) + " 2>/dev/null";
        while (found.empty() &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
            found = Capture(look);
            if (found.empty()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        const auto shown = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        rssKb = static_cast<double>(ResidentKb(pid));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        if (found.empty()) {
            state.SkipWithError("no window appeared");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
    state.counters["rss_MB"] = rssKb / 1024.0;
}
BENCHMARK(BM_InstalledStartToFirstWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_ResidentMemoryWithBuiltinSynth(benchmark::State& state) {
    const std::filesystem::path child =
        std::filesystem::path(QUORVANE_BINARY_DIR) / "bin" / "bench_synth_child";
    long before = 0;
    long after = 0;
    long programUs = 0;
    long notesUs = 0;
    long changeUs = 0;
    long waitUs = 0;
    std::string what;
    for (auto _ : state) {
        const std::string out = Capture("'" + child.string() + "' 2>/dev/null");
        char kind[32] = {};
        // The audio back-ends may print on the same output; the figures follow their tag.
        const std::size_t at = out.rfind("rss_kb ");
        if (at == std::string::npos ||
            std::sscanf(out.c_str() + at, "rss_kb %ld %ld %31s %ld %ld %ld %ld", &before, &after,
                        kind, &programUs, &notesUs, &changeUs, &waitUs) != 7) {
            state.SkipWithError("the synthesizer child failed");
            return;
        }
        what = kind;
    }
    state.counters["window_MB"] = before / 1024.0;
    state.counters["with_synth_MB"] = after / 1024.0;
    // What the first instrument and the first chord cost when samples load on demand.
    state.counters["program_change_ms"] = programUs / 1000.0;
    state.counters["note_ons_ms"] = notesUs / 1000.0;
    // Another instrument read on the window's thread, and the window's longest wait when it is
    // read off that thread while notes go on being played.
    state.counters["other_instrument_ms"] = changeUs / 1000.0;
    state.counters["window_longest_wait_in_change_ms"] = waitUs / 1000.0;
    state.SetLabel(what == "device" ? "synthesizer on an audio output"
                                    : "synthesizer and soundfont, no audio output here");
}
BENCHMARK(BM_ResidentMemoryWithBuiltinSynth)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

// A chord progression in time: how far the sequence player's note-ons fall from their planned
// times on the real clock while the event loop runs, alone and through the program with the
// sequence window shown (4 and 512 cells), and the smooth voicing of a full row.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

#include "app/Program.h"
#include "midi/SequencePlayer.h"
#include "support/RecordingOutputs.h"
#include "theory/sequence.h"

namespace {

using quorvane::midi::RecordingOutputs;

// 1,000 three-note chords 10 ms apart, each released at the next one's onset.
quorvane::midi::SequencePlan ThousandChords() {
    quorvane::midi::SequencePlan plan;
    constexpr int kChords = 1000;
    for (int i = 0; i < kChords; ++i) {
        for (int note : {60, 64, 67}) {
            plan.events.push_back({i, 0, i * 10, true, note});
        }
        for (int note : {60, 64, 67}) {
            plan.events.push_back({i, 0, (i + 1) * 10, false, note});
        }
    }
    plan.beats = 1;
    return plan;
}

void BM_SequenceOnsetError(benchmark::State& state) {
    auto owned = std::make_unique<RecordingOutputs>(
        std::vector<RecordingOutputs::DeviceSpec>{{"Recorder", true}});
    RecordingOutputs* outputs = owned.get();
    quorvane::midi::modCommon midi(std::move(owned));
    midi.SelectDevice(0);
    quorvane::midi::SequencePlayer player(midi);
    const quorvane::midi::SequencePlan plan = ThousandChords();
    std::vector<double> errors;
    for (auto _ : state) {
        outputs->Clear();
        QEventLoop loop;
        QObject::connect(&player, &quorvane::midi::SequencePlayer::stopped, &loop,
                         &QEventLoop::quit);
        const auto start = std::chrono::steady_clock::now();
        player.Play(plan, 240, false);
        loop.exec();
        std::size_t n = 0;
        for (const auto& event : outputs->Events()) {
            if (event.kind != RecordingOutputs::Kind::Message) {
                continue;
            }
            const auto planned =
                start +
                std::chrono::microseconds(quorvane::midi::EventMicroseconds(plan.events[n], 240));
            errors.push_back(
                std::chrono::duration<double, std::milli>(event.time - planned).count());
            ++n;
        }
    }
    std::sort(errors.begin(), errors.end());
    state.counters["median_ms"] = errors.empty() ? 0.0 : errors[errors.size() / 2];
    // The worst is whatever stall the machine had in ten seconds; the 99th percentile is the
    // player's own.
    state.counters["p99_ms"] = errors.empty() ? 0.0 : errors[errors.size() * 99 / 100];
    state.counters["worst_ms"] = errors.empty() ? 0.0 : errors.back();
}
BENCHMARK(BM_SequenceOnsetError)->Iterations(1)->Unit(benchmark::kMillisecond);

// A wide screen, the reminder answered with OK, and an end that leaves the process running.
struct BenchDesktop : quorvane::mainwin::Desktop {
    int ScreenWidthPixels() const override { return 1024; }
    quorvane::dialogs::frmMoney::Outcome ShowReminderModal(quorvane::dialogs::frmMoney&) override {
        return quorvane::dialogs::frmMoney::Outcome::OK;
    }
    void EndProcess() override {}
};

void Percentiles(benchmark::State& state, const char* name, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](std::size_t i) { return values.empty() ? 0.0 : values[i]; };
    state.counters[std::string(name) + "_median_ms"] = at(values.size() / 2);
    state.counters[std::string(name) + "_p99_ms"] = at(values.size() * 99 / 100);
    state.counters[std::string(name) + "_worst_ms"] = at(values.empty() ? 0 : values.size() - 1);
}

// The sequence played by the program at 240 a minute, a beat a chord, for ten seconds with its
// window shown and redrawing the playing cell: each chord's note-ons, their spread (latest less
// earliest) and their error against the plan, counted from the first chord's first note-on.
void BM_SequenceWithWindow(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    auto owned = std::make_unique<RecordingOutputs>(
        std::vector<RecordingOutputs::DeviceSpec>{{"Recorder", true}});
    RecordingOutputs* outputs = owned.get();
    quorvane::app::Program program(std::move(owned), nullptr, std::make_unique<BenchDesktop>());
    program.Start();
    program.EnsureMidiSettings()->Form_Activate();  // opens device 0
    quorvane::app::SequenceLink& link = program.Sequence();
    quorvane::progressions::SequenceModel& model = link.Model();
    for (int i = 0; i < cells; ++i) {
        model.AddChord({(i * 7) % 12, (i * 5) % 12, 0});  // three and four notes
    }
    model.SetTempo(240);
    model.SetBeatsPerChord(1);
    model.SetLoop(true);
    link.EnsureWindow()->show();
    std::vector<double> spreads, errors;
    for (auto _ : state) {
        outputs->Clear();
        QEventLoop loop;
        QTimer::singleShot(10'000, &loop, [&] {
            link.Stop();
            loop.quit();
        });
        link.Play();
        loop.exec();
        std::map<long, std::vector<double>> chords;  // note-on times by planned chord
        double first = -1;
        for (const auto& event : outputs->Events()) {
            if (event.kind != RecordingOutputs::Kind::Message || (event.packed & 0xF0) != 0x90) {
                continue;
            }
            const double ms =
                std::chrono::duration<double, std::milli>(event.time.time_since_epoch()).count();
            first = first < 0 ? ms : first;
            chords[std::lround((ms - first) / 250.0)].push_back(ms);
        }
        for (const auto& [chord, times] : chords) {
            const auto [low, high] = std::minmax_element(times.begin(), times.end());
            spreads.push_back(*high - *low);
            for (const double t : times) {
                errors.push_back(std::abs(t - first - 250.0 * static_cast<double>(chord)));
            }
        }
    }
    Percentiles(state, "spread", spreads);
    Percentiles(state, "error", errors);
}
BENCHMARK(BM_SequenceWithWindow)->Arg(4)->Arg(512)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SmoothVoicing64(benchmark::State& state) {
    quorvane::theory::Sequence row;
    for (int i = 0; i < 64; ++i) {
        row.push_back({(i * 7) % 12, (i * 5) % 53, i % 4});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            quorvane::theory::PlaceSequence(row, quorvane::theory::Voicing::Smooth));
    }
}
BENCHMARK(BM_SmoothVoicing64)->Unit(benchmark::kMicrosecond);

}  // namespace

// A chord progression in time: how far the sequence player's note-ons fall from their planned
// times on the real clock while the event loop runs, and the smooth voicing of a full row.
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <vector>

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

// Chord playback timing on the real clock, through the main window's Play button and a recording
// output: Play to the first note-on, the held time against the note length, and the processor
// time the user-interface thread spends while a chord sounds. And a chord held on a MIDI input:
// from the message's arrival on the input's thread to the main window redrawn with the chord; and
// a note picked with the mouse or played on the computer keyboard, to the window redrawn.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>

#include <QKeyEvent>
#include <QLabel>

#include "mainwin/KeyboardPanel.h"
#include "views/Keyboard.h"

#include "app/Program.h"
#include "support/FakeInputs.h"
#include "support/RecordingOutputs.h"

namespace {

using quorvane::midi::RecordingOutputs;
using Clock = std::chrono::steady_clock;

// A wide screen, the reminder answered with OK, and an end that leaves the process running.
struct BenchDesktop : quorvane::mainwin::Desktop {
    int ScreenWidthPixels() const override { return 1024; }
    quorvane::dialogs::frmMoney::Outcome ShowReminderModal(quorvane::dialogs::frmMoney&) override {
        return quorvane::dialogs::frmMoney::Outcome::OK;
    }
    void EndProcess() override {}
};

struct Rig {
    Rig() {
        auto owned = std::make_unique<RecordingOutputs>(
            std::vector<RecordingOutputs::DeviceSpec>{{"Recorder", true}});
        outputs = owned.get();
        program = std::make_unique<quorvane::app::Program>(std::move(owned), nullptr,
                                                           std::make_unique<BenchDesktop>());
        program->Start();
        program->EnsureMidiSettings()->Form_Activate();  // opens device 0
    }
    RecordingOutputs* outputs = nullptr;
    std::unique_ptr<quorvane::app::Program> program;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double ThreadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// 50 plays of C major at the shortest note length.
void BM_PlayTiming(benchmark::State& state) {
    Rig rig;
    rig.program->Midi().SetNoteLength(500);
    std::vector<double> toFirstNoteOn;
    std::vector<double> heldError;
    for (auto _ : state) {
        rig.outputs->Clear();
        const Clock::time_point pressed = Clock::now();
        rig.program->Main().cmdPlayButton()->click();
        const auto& events = rig.outputs->Events();
        if (events.size() != 6) {
            state.SkipWithError("the chord was not played");
            return;
        }
        toFirstNoteOn.push_back(
            std::chrono::duration<double, std::milli>(events[0].time - pressed).count());
        const double held =
            std::chrono::duration<double, std::milli>(events[3].time - events[0].time).count();
        heldError.push_back(held - rig.program->Midi().NoteLength());
    }
    auto worst = [](const std::vector<double>& v) {
        double w = 0.0;
        for (double x : v) {
            w = std::max(w, std::abs(x));
        }
        return w;
    };
    state.counters["play_to_note_on_median_ms"] = Median(toFirstNoteOn);
    state.counters["play_to_note_on_worst_ms"] = worst(toFirstNoteOn);
    state.counters["held_error_median_ms"] = Median(heldError);
    state.counters["held_error_worst_ms"] = worst(heldError);
}
BENCHMARK(BM_PlayTiming)->Iterations(50)->Unit(benchmark::kMillisecond);

// A press and release of Play as the mouse makes them (the button's own repaints included): from
// the release to the first note-on handed to the device, for the block chord and an arpeggio.
void BM_ReleaseToFirstNoteOn(benchmark::State& state) {
    Rig rig;
    rig.program->Midi().SetNoteLength(500);
    rig.program->Midi().SetPlayAs(static_cast<quorvane::midi::PlayStyle>(state.range(0)));
    rig.program->Main().show();
    QPushButton* play = rig.program->Main().cmdPlayButton();
    std::vector<double> ms;
    for (auto _ : state) {
        QTest::mousePress(play, Qt::LeftButton);
        QApplication::processEvents();
        rig.outputs->Clear();
        const Clock::time_point released = Clock::now();
        QTest::mouseRelease(play, Qt::LeftButton);
        const auto& events = rig.outputs->Events();
        if (events.size() != 6) {
            state.SkipWithError("the chord was not played");
            return;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(events[0].time - released).count());
    }
    state.counters["release_to_note_on_median_ms"] = Median(ms);
    state.counters["release_to_note_on_worst_ms"] = *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_ReleaseToFirstNoteOn)->Arg(0)->Arg(1)->Iterations(40)->Unit(benchmark::kMillisecond);

// How far each onset of an arpeggio (C major 7th, up, 150 ms apart, on the real clock) and the
// common end are from their planned times, through the program's Play button.
void BM_ArpeggioOnsetError(benchmark::State& state) {
    Rig rig;
    rig.program->Midi().SetPlayAs(quorvane::midi::PlayStyle::ArpeggioUp);
    rig.program->Midi().SetPlaySpacing(150);
    rig.program->Main().cboChordTypes()->setCurrentIndex(9);  // "Major 7th"
    rig.program->Main().cboChordTypes_Click();
    const std::vector<double> planned{0, 150, 300, 450, 600, 600, 600, 600};
    std::vector<double> errors;
    for (auto _ : state) {
        rig.outputs->Clear();
        rig.program->Main().cmdPlayButton()->click();
        const auto& events = rig.outputs->Events();
        if (events.size() != planned.size()) {
            state.SkipWithError("the arpeggio was not played");
            return;
        }
        for (std::size_t i = 1; i < events.size(); ++i) {
            const std::chrono::duration<double, std::milli> at = events[i].time - events[0].time;
            errors.push_back(std::abs(at.count() - planned[i]));
        }
    }
    state.counters["onset_error_median_ms"] = Median(errors);
    state.counters["onset_error_worst_ms"] = *std::max_element(errors.begin(), errors.end());
}
BENCHMARK(BM_ArpeggioOnsetError)->Iterations(10)->Unit(benchmark::kMillisecond);

// Processor time of the user-interface thread while a 2500 ms chord sounds.
void BM_UiThreadCpuDuringLongChord(benchmark::State& state) {
    Rig rig;
    rig.program->Midi().SetNoteLength(2500);
    std::vector<double> cpu;
    for (auto _ : state) {
        const double before = ThreadCpuMs();
        rig.program->Main().cmdPlayButton()->click();
        cpu.push_back(ThreadCpuMs() - before);
    }
    state.counters["ui_thread_cpu_median_ms"] = Median(cpu);
    state.counters["ui_thread_cpu_worst_ms"] = *std::max_element(cpu.begin(), cpu.end());
}
BENCHMARK(BM_UiThreadCpuDuringLongChord)->Iterations(3)->Unit(benchmark::kMillisecond);

// The main window shown with an input open; each iteration sends one chord as one message (E G
// C and "B" "13th" in turn, the previous one released first) from the input's thread, lets the
// user-interface thread handle it, and ends when the whole main window has been painted again
// (a full repaint: more than the changed parts that the event loop would paint).
void BM_InputToRedraw(benchmark::State& state) {
    auto ownedOutputs = std::make_unique<RecordingOutputs>(
        std::vector<RecordingOutputs::DeviceSpec>{{"Recorder", true}});
    auto ownedInputs = std::make_unique<quorvane::midi::FakeInputs>(
        std::vector<quorvane::midi::FakeInputs::PortSpec>{{"Keys", true}});
    quorvane::midi::FakeInputs* inputs = ownedInputs.get();
    quorvane::app::Program program(std::move(ownedOutputs), nullptr,
                                   std::make_unique<BenchDesktop>(), std::move(ownedInputs));
    if (!program.Start()) {
        state.SkipWithError("the program did not start");
        return;
    }
    program.EnsureMidiSettings()->Form_Activate();  // opens device 0: the notes are echoed too
    if (!program.Midi().OpenInput("Keys")) {
        state.SkipWithError("the input did not open");
        return;
    }
    QApplication::processEvents();
    QLabel* name = program.Main().lblNoteName();
    const QByteArray chords[2][2] = {
        {QByteArray::fromHex("90 40 50 43 50 48 50"), QByteArray::fromHex("80 40 00 43 00 48 00")},
        {QByteArray::fromHex("90 47 50 4b 50 4e 50 51 50 55 50 5c 50"),
         QByteArray::fromHex("80 47 00 4b 00 4e 00 51 00 55 00 5c 00")}};
    std::vector<double> ms;
    int which = 0;
    for (auto _ : state) {
        const QString before = name->text();
        const Clock::time_point arrived = Clock::now();
        inputs->Send(chords[which][0]);
        while (name->text() == before) {
            QApplication::processEvents();
            if (Clock::now() - arrived > std::chrono::seconds(5)) {
                state.SkipWithError("the chord was not selected");
                return;
            }
        }
        program.Main().repaint();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - arrived).count());
        state.PauseTiming();
        inputs->Send(chords[which][1]);
        QApplication::processEvents();
        which = 1 - which;
        state.ResumeTiming();
    }
    state.counters["input_to_redraw_median_ms"] = Median(ms);
    state.counters["input_to_redraw_worst_ms"] = *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_InputToRedraw)->Iterations(200)->Unit(benchmark::kMillisecond);

// With Pick Notes on and C and E held, each iteration presses G (the mouse on the key at Arg 0,
// its key on the computer keyboard at Arg 1), which names C major, and ends when the whole main
// window has been painted again; G is let go again untimed.
void BM_PressToRedraw(benchmark::State& state) {
    Rig rig;
    quorvane::mainwin::frmChordMain& main = rig.program->Main();
    main.mnuOptionsPickNotes()->trigger();
    main.show();
    QApplication::processEvents();
    quorvane::mainwin::KeyboardPanel* panel = main.picKeyboard();
    const QPoint g = panel->DrawingAreaRect(quorvane::views::KeyBlockRect(7)).center() +
                     QPoint(0, panel->height() / 3);
    const bool mouse = state.range(0) == 0;
    if (mouse) {
        for (int key : {0, 4}) {
            main.keyPicked(key);
        }
    } else {
        rig.program->Held().ComputerKeyDown(52, 0);  // Z: C
        rig.program->Held().ComputerKeyDown(54, 0);  // C: E
    }
    QWidget* focus = main.cboChordTypes();
    const auto key = [focus](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_B, Qt::NoModifier, 56, 0, 0, QStringLiteral("b"));
        QApplication::sendEvent(focus, &event);
    };
    std::vector<double> ms;
    for (auto _ : state) {
        const Clock::time_point pressed = Clock::now();
        if (mouse) {
            QTest::mousePress(panel, Qt::LeftButton, {}, g);
        } else {
            key(QEvent::KeyPress);
        }
        main.repaint();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pressed).count());
        state.PauseTiming();
        if (mouse) {
            QTest::mouseRelease(panel, Qt::LeftButton, {}, g);
            QTest::mousePress(panel, Qt::LeftButton, {}, g);  // unpicked
            QTest::mouseRelease(panel, Qt::LeftButton, {}, g);
        } else {
            key(QEvent::KeyRelease);
        }
        QApplication::processEvents();
        state.ResumeTiming();
    }
    if (main.lblNoteName()->text() != QStringLiteral("CMajor Basic")) {
        state.SkipWithError("the chord was not named");
    }
    state.counters["press_to_redraw_median_ms"] = Median(ms);
    state.counters["press_to_redraw_worst_ms"] = *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_PressToRedraw)->Arg(0)->Arg(1)->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

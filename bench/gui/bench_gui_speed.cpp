// The machine's speed with the whole user interface live: a tight loop in RUN with the
// register and I/O port windows open, and with the memory walker open and closed in turn;
// single STEPs with various windows open; opening the memory walker.
#include "common/desktop_actions.h"
#include "common/modal_seam.h"
#include "panel/calculator.h"
#include "shell/application.h"
#include "shell/mdi.h"
#include "shell/memory/mdisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <memory>

namespace tallyrig {
namespace {

// Nothing in these runs should ask the user anything; answer at once if it does.
class SilentModal : public ModalSeam {
public:
    MessageAnswer message_box(QWidget*, const QString&, const QString&, MessageIcon,
                              MessageButtons) override {
        return MessageAnswer::Ok;
    }
    QString open_file_name(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void printer_setup(QWidget*) override {}
};

class NoDesktop : public DesktopActions {
public:
    bool start_program(const QString&, const QString&) override { return false; }
    bool open_document(const QString&) override { return false; }
    QString find_program(const QStringList&) override { return {}; }
    void end_program() override {}
};

// INCA/JNZ 256 times, then a 24-bit count of those rounds at $5000 (high) to $5002 (low):
// 523 instructions per count.
constexpr int32_t kCountHigh = 0x5000;
constexpr int32_t kCountMiddle = 0x5001;
constexpr int32_t kCountLow = 0x5002;
constexpr int64_t kInstructionsPerCount = 523;
constexpr int32_t kCountingLoop[] = {
    0x80,             // 4000 INCA
    0xD6, 0x40, 0x00, // 4001 JNZ [$4000]
    0x91, 0x50, 0x02, // 4004 LDA [$5002]
    0x10, 0x01,       // 4007 ADD 1
    0x99, 0x50, 0x02, // 4009 STA [$5002]
    0x91, 0x50, 0x01, // 400C LDA [$5001]
    0x18, 0x00,       // 400F ADDC 0
    0x99, 0x50, 0x01, // 4011 STA [$5001]
    0x91, 0x50, 0x00, // 4014 LDA [$5000]
    0x18, 0x00,       // 4017 ADDC 0
    0x99, 0x50, 0x00, // 4019 STA [$5000]
    0x90, 0x00,       // 401C LDA 0
    0xC1, 0x40, 0x00, // 401E JMP [$4000]
};

struct Simulator {
    SilentModal modal;
    NoDesktop desktop;
    std::unique_ptr<Application> app;

    Simulator() {
        app = std::make_unique<Application>(
            derive_folders(std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin" / "Tallyrig"), modal,
            desktop);
        if (!app->start()) {
            std::abort();
        }
    }
    Calculator& panel() { return *app->main_window().calculator(); }
    Machine& machine() { return app->machine(); }

    // Power on with the counting loop in RAM.
    void power_on_with_program() {
        if (machine().status.power_on == 1) {
            panel().command_pass("Power");
        }
        panel().command_pass("Power");
        int32_t address = kProgramStart;
        for (int32_t byte : kCountingLoop) {
            machine().memory_cells[static_cast<std::size_t>(address++)].value = byte;
        }
        for (int32_t cell : {kCountHigh, kCountMiddle, kCountLow}) {
            machine().memory_cells[static_cast<std::size_t>(cell)].value = 0;
        }
    }
    int64_t instructions_counted() {
        int64_t count = 0;
        for (int32_t cell : {kCountHigh, kCountMiddle, kCountLow}) {
            count = count * 256 + machine().memory_cells[static_cast<std::size_t>(cell)].value;
        }
        return count * kInstructionsPerCount;
    }
};

// Made after the application object and gone before it, by main below.
std::unique_ptr<Simulator>& simulator_slot() {
    static std::unique_ptr<Simulator> slot;
    return slot;
}

Simulator& simulator() {
    if (!simulator_slot()) {
        simulator_slot() = std::make_unique<Simulator>();
    }
    return *simulator_slot();
}

constexpr int kRunMilliseconds = 500;

// Only these windows open besides the front panel.
void open_only(Simulator& s, std::initializer_list<const char*> commands) {
    MDI& main_window = s.app->main_window();
    main_window.unload_windows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main_window.open_front_panel();
    for (const char* command : commands) {
        main_window.dispatch_command(QString::fromLatin1(command));
    }
}

// The processor time this thread has had, in seconds: unlike the wall clock it does not count
// the time other programs of a busy machine take.
double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

struct RunResult {
    int64_t instructions = 0;
    double seconds = 0;        // wall clock
    double thread_seconds = 0; // processor time of the run
};

// Runs the counting loop for the given time.
RunResult run_counting_loop(Simulator& s, int milliseconds = kRunMilliseconds) {
    s.power_on_with_program();
    QTimer::singleShot(milliseconds, [&s] { s.panel().command_pass("Reset"); });
    QElapsedTimer clock;
    clock.start();
    const double thread_start = thread_seconds();
    s.panel().command_pass("Run"); // returns when the Reset above ends the run
    return {s.instructions_counted(), static_cast<double>(clock.nsecsElapsed()) / 1e9,
            thread_seconds() - thread_start};
}

void BM_RunWithRegisterAndPortWindows(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, {"Display CPU registers", "IOPort"});
    int64_t instructions = 0;
    double seconds = 0;
    // How late a 10 ms timer runs while the machine runs: what a click waits at most.
    constexpr int kTickMilliseconds = 10;
    double worst_wait_ms = 0;
    QElapsedTimer since_tick;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMilliseconds);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worst_wait_ms =
            std::max(worst_wait_ms,
                     static_cast<double>(since_tick.nsecsElapsed()) / 1e6 - kTickMilliseconds);
        since_tick.restart();
    });
    for (auto _ : state) {
        since_tick.start();
        ticker.start();
        const RunResult run = run_counting_loop(s);
        ticker.stop();
        state.SetIterationTime(run.seconds);
        instructions += run.instructions;
        seconds += run.seconds;
    }
    state.counters["instructions_per_second"] = static_cast<double>(instructions) / seconds;
    state.counters["worst_event_wait_ms"] = worst_wait_ms;
}
BENCHMARK(BM_RunWithRegisterAndPortWindows)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The same loop with the memory walker closed and open in turn, in one run, so both see the
// same machine load; the order swaps every round so that a drift in that load cancels. Rates
// per second of processor time are given beside those per wall-clock second: on a busy
// machine they are the steadier measure. The walker should cost a RUN next to nothing.
void BM_RunWithWalkerClosedThenOpen(benchmark::State& state) {
    Simulator& s = simulator();
    constexpr int kTurnMilliseconds = 200;
    RunResult total[2];
    int round = 0;
    for (auto _ : state) {
        double elapsed_both = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const int open = (turn + round) % 2;
            open_only(s, {"Display CPU registers", "IOPort"});
            if (open == 1) {
                s.app->main_window().dispatch_command("Display Memory Map");
            }
            const RunResult run = run_counting_loop(s, kTurnMilliseconds);
            total[open].instructions += run.instructions;
            total[open].seconds += run.seconds;
            total[open].thread_seconds += run.thread_seconds;
            elapsed_both += run.seconds;
        }
        ++round;
        state.SetIterationTime(elapsed_both);
    }
    const auto rate = [](const RunResult& r, double seconds) {
        return static_cast<double>(r.instructions) / seconds;
    };
    state.counters["ips_walker_closed"] = rate(total[0], total[0].seconds);
    state.counters["ips_walker_open"] = rate(total[1], total[1].seconds);
    state.counters["open_over_closed"] =
        rate(total[1], total[1].seconds) / rate(total[0], total[0].seconds);
    state.counters["open_over_closed_cpu"] =
        rate(total[1], total[1].thread_seconds) / rate(total[0], total[0].thread_seconds);
}
BENCHMARK(BM_RunWithWalkerClosedThenOpen)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One STEP, from the key press to the machine waiting again, averaged over many steps. Each
// step is pressed from a zero timer that the event loop runs once the machine waits; the open
// views repaint at screen rate meanwhile.
void step_many(benchmark::State& state, std::initializer_list<const char*> windows) {
    Simulator& s = simulator();
    open_only(s, windows);
    constexpr int kSteps = 2000;
    for (auto _ : state) {
        s.power_on_with_program();
        int steps = 0;
        QElapsedTimer clock;
        std::function<void()> next_step = [&] {
            if (s.machine().status.machine_mode != MachineMode::Idle) {
                QTimer::singleShot(0, next_step);
                return;
            }
            if (steps == 0) {
                clock.start();
            }
            if (++steps > kSteps) {
                state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9 / kSteps);
                s.panel().command_pass("Reset");
                return;
            }
            s.panel().command_pass("Step");
            QTimer::singleShot(0, next_step);
        };
        QTimer::singleShot(0, next_step);
        s.panel().command_pass("Step"); // enters the run loop; returns after the Reset
    }
}

void BM_StepWithMessageWindowClosed(benchmark::State& state) {
    step_many(state, {});
}
void BM_StepWithRegisterAndPortWindows(benchmark::State& state) {
    step_many(state, {"Display CPU registers", "IOPort"});
}
void BM_StepWithWalkerRegisterAndPortWindows(benchmark::State& state) {
    step_many(state, {"Display Memory Map", "Display CPU registers", "IOPort"});
}
BENCHMARK(BM_StepWithMessageWindowClosed)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepWithRegisterAndPortWindows)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepWithWalkerRegisterAndPortWindows)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Opening the memory walker, from the command until it has been shown and painted; it is
// closed again between openings.
void BM_OpenMemoryWalker(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, {});
    MDI& main_window = s.app->main_window();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        main_window.dispatch_command("Display Memory Map");
        QCoreApplication::processEvents();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
        main_window.memory_walker()->parentWidget()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
BENCHMARK(BM_OpenMemoryWalker)->Iterations(20)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tallyrig

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tallyrig::simulator_slot().reset();
    return 0;
}

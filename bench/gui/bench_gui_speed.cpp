// The machine's speed with the whole user interface live: a tight loop in RUN with the
// register and I/O port windows open, and with the message window open or closed; a loop
// writing the four workbench displays with the workbench open, and how soon a switch click
// reaches a running program; single STEPs with the message window closed, and open with its
// narration, empty or holding 100,000 lines; printing a hundred pages of log to a PDF file; a
// program printing to the text terminal; how soon a keyboard click reaches a running program;
// and the memory walker: opening it, RUN with it open and closed, STEP with it open.
#include "common/desktop_actions.h"
#include "common/modal_seam.h"
#include "common/print_rich_text.h"
#include "common/screen_units.h"
#include "panel/calculator.h"
#include "panel/devices/keyboard.h"
#include "panel/devices/picture_box.h"
#include "panel/devices/text_terminal.h"
#include "panel/devices/workbench_1.h"
#include "shell/application.h"
#include "shell/mdi.h"
#include "shell/memory/mdisplay.h"
#include "shell/views/message.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <span>
#include <thread>
#include <vector>

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
    bool printer_setup(QWidget*, QPrinter&) override { return false; }
};

class NoDesktop : public DesktopActions {
public:
    Launch start_program(const QString&, const QString&) override { return Launch::failed({}); }
    Launch open_document(const QString&) override { return Launch::failed({}); }
    QString find_program(const QStringList&) override { return {}; }
    void end_program() override {}
    void beep() override {}
};

// A loop on A at $4000 that ends in JNZ [$4000] makes 256 rounds; then a 24-bit count of
// those rounds at $5000 (high) to $5002 (low) goes one up, in 11 instructions, and the loop
// starts again.
constexpr int32_t kCountHigh = 0x5000;
constexpr int32_t kCountMiddle = 0x5001;
constexpr int32_t kCountLow = 0x5002;
constexpr int64_t kCountInstructions = 11;
constexpr int32_t kCountRounds[] = {
    0x91, 0x50, 0x02, // LDA [$5002]
    0x10, 0x01,       // ADD 1
    0x99, 0x50, 0x02, // STA [$5002]
    0x91, 0x50, 0x01, // LDA [$5001]
    0x18, 0x00,       // ADDC 0
    0x99, 0x50, 0x01, // STA [$5001]
    0x91, 0x50, 0x00, // LDA [$5000]
    0x18, 0x00,       // ADDC 0
    0x99, 0x50, 0x00, // STA [$5000]
    0x90, 0x00,       // LDA 0
    0xC1, 0x40, 0x00, // JMP [$4000]
};

std::vector<int32_t> counting_program(std::initializer_list<int32_t> loop) {
    std::vector<int32_t> program(loop);
    program.insert(program.end(), std::begin(kCountRounds), std::end(kCountRounds));
    return program;
}

// INCA/JNZ: 523 instructions per count.
const std::vector<int32_t> kCountingLoop = counting_program({
    0x80,             // 4000 INCA
    0xD6, 0x40, 0x00, // 4001 JNZ [$4000]
});
constexpr int64_t kInstructionsPerCount = 256 * 2 + kCountInstructions;

// A program at $4000 and its count of rounds cleared.
void store_program(Machine& m, std::span<const int32_t> program) {
    int32_t address = kProgramStart;
    for (int32_t byte : program) {
        m.memory_cells[static_cast<std::size_t>(address++)].value = byte;
    }
    for (int32_t cell : {kCountHigh, kCountMiddle, kCountLow}) {
        m.memory_cells[static_cast<std::size_t>(cell)].value = 0;
    }
}

// The instructions the counting loop has run, from its count of rounds.
int64_t counted_instructions(const Machine& m, int64_t per_count = kInstructionsPerCount) {
    int64_t count = 0;
    for (int32_t cell : {kCountHigh, kCountMiddle, kCountLow}) {
        count = count * 256 + m.memory_cells[static_cast<std::size_t>(cell)].value;
    }
    return count * per_count;
}

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

    // Power on with a program in RAM, the counting loop unless told otherwise.
    void power_on_with_program(std::span<const int32_t> program = kCountingLoop) {
        if (machine().status.power_on == 1) {
            panel().command_pass("Power");
        }
        panel().command_pass("Power");
        store_program(machine(), program);
    }
    int64_t instructions_counted(int64_t per_count = kInstructionsPerCount) {
        return counted_instructions(machine(), per_count);
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

// The windows open while the machine goes; the front panel is always there.
enum class Windows { None, RegisterAndPort, Message, WalkerRegisterAndPort, Workbench };

void open_only(Simulator& s, Windows windows) {
    MDI& main_window = s.app->main_window();
    main_window.unload_windows();
    main_window.open_front_panel();
    switch (windows) {
    case Windows::RegisterAndPort:
        main_window.dispatch_command("Display CPU registers");
        main_window.dispatch_command("IOPort");
        break;
    case Windows::Message:
        main_window.dispatch_command("Display Message System");
        break;
    case Windows::Workbench:
        main_window.dispatch_command("workbench1");
        break;
    case Windows::WalkerRegisterAndPort:
        main_window.dispatch_command("Display Memory Map");
        main_window.dispatch_command("Display CPU registers");
        main_window.dispatch_command("IOPort");
        break;
    case Windows::None:
        break;
    }
    // The closed windows go now, not in the middle of a measurement.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

// One run of the counting loop, for the given time.
RunResult run_once(Simulator& s, int milliseconds) {
    s.power_on_with_program();
    QTimer::singleShot(milliseconds, [&s] { s.panel().command_pass("Reset"); });
    QElapsedTimer clock;
    clock.start();
    const double thread_start = thread_seconds();
    s.panel().command_pass("Run"); // returns when the Reset above ends the run
    return {s.instructions_counted(), static_cast<double>(clock.nsecsElapsed()) / 1e9,
            thread_seconds() - thread_start};
}

void run_counting_loop(benchmark::State& state, Windows windows) {
    Simulator& s = simulator();
    open_only(s, windows);
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
        const RunResult run = run_once(s, kRunMilliseconds);
        ticker.stop();
        state.SetIterationTime(run.seconds);
        instructions += run.instructions;
        seconds += run.seconds;
    }
    state.counters["instructions_per_second"] = static_cast<double>(instructions) / seconds;
    state.counters["worst_event_wait_ms"] = worst_wait_ms;
}

void BM_RunWithRegisterAndPortWindows(benchmark::State& state) {
    run_counting_loop(state, Windows::RegisterAndPort);
}
BENCHMARK(BM_RunWithRegisterAndPortWindows)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Nothing is narrated in RUN: these two should go equally fast.
void BM_RunWithMessageWindowClosed(benchmark::State& state) {
    run_counting_loop(state, Windows::None);
}
void BM_RunWithMessageWindowOpen(benchmark::State& state) {
    run_counting_loop(state, Windows::Message);
}
BENCHMARK(BM_RunWithMessageWindowClosed)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunWithMessageWindowOpen)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The counting loop with a new byte written to each of the four workbench displays on every
// round, so every write changes what a display shows: 1,547 instructions per count.
const std::vector<int32_t> kWorkbenchLoop = counting_program({
    0x80,             // 4000 INCA
    0x99, 0xF0, 0x20, // 4001 STA [$F020]
    0x99, 0xF0, 0x21, // 4004 STA [$F021]
    0x99, 0xF0, 0x22, // 4007 STA [$F022]
    0x99, 0xF0, 0x23, // 400A STA [$F023]
    0xD6, 0x40, 0x00, // 400D JNZ [$4000]
});
constexpr int64_t kWorkbenchInstructionsPerCount = 256 * 6 + kCountInstructions;

void BM_RunWritingTheWorkbenchDisplays(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, Windows::Workbench);
    int64_t instructions = 0;
    double seconds = 0;
    for (auto _ : state) {
        s.power_on_with_program(kWorkbenchLoop);
        QTimer::singleShot(kRunMilliseconds, [&s] { s.panel().command_pass("Reset"); });
        QElapsedTimer clock;
        clock.start();
        s.panel().command_pass("Run");
        const double elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(elapsed);
        instructions += s.instructions_counted(kWorkbenchInstructionsPerCount);
        seconds += elapsed;
    }
    state.counters["instructions_per_second"] = static_cast<double>(instructions) / seconds;
}
BENCHMARK(BM_RunWritingTheWorkbenchDisplays)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// A program copying the lower switch bank to the LEDs, and clicks on a switch posted as a
// user's would be: the time from a click's events being queued to its port cell holding the
// new byte (the program reads the cell at its next instruction).
const std::vector<int32_t> kSwitchCopyLoop = {
    0x91, 0xF0, 0x01, // 4000 LDA [$F001]
    0x99, 0xF0, 0x20, // 4003 STA [$F020]
    0xC1, 0x40, 0x00, // 4006 JMP [$4000]
};

void BM_SwitchClickReachesTheRunningProgram(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, Windows::Workbench);
    MDI& main_window = s.app->main_window();
    PictureBox* lever = main_window.workbench_window()->switch_control(SwitchBank::Lower, 0);
    constexpr int kClicks = 100;
    constexpr int kClickIntervalMs = 7; // not a multiple of the event interval
    double worst_ms = 0;
    double total_ms = 0;
    int clicks = 0;
    int wrong = 0;
    QElapsedTimer clock;
    qint64 posted_ns = 0;
    const QMetaObject::Connection reached = QObject::connect(lever, &PictureBox::clicked, [&] {
        const double waited = static_cast<double>(clock.nsecsElapsed() - posted_ns) / 1e6;
        worst_ms = std::max(worst_ms, waited);
        total_ms += waited;
        ++clicks;
        const int32_t port = s.machine().memory_cells[kSwitchPanel1Port].value;
        wrong += port != (clicks % 2 == 1 ? 1 : 0);
    });
    for (auto _ : state) {
        s.power_on_with_program(kSwitchCopyLoop);
        clicks = 0;
        QTimer clicker;
        clicker.setTimerType(Qt::PreciseTimer);
        clicker.setInterval(kClickIntervalMs);
        int posted = 0;
        QObject::connect(&clicker, &QTimer::timeout, [&] {
            if (posted == kClicks) {
                clicker.stop();
                s.panel().command_pass("Reset");
                return;
            }
            ++posted;
            const QPointF inside(4, 4);
            const QPointF global = lever->mapToGlobal(inside);
            posted_ns = clock.nsecsElapsed();
            QCoreApplication::postEvent(lever, new QMouseEvent(QEvent::MouseButtonPress, inside,
                                                               global, Qt::LeftButton,
                                                               Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(lever, new QMouseEvent(QEvent::MouseButtonRelease, inside,
                                                               global, Qt::LeftButton, Qt::NoButton,
                                                               Qt::NoModifier));
        });
        clock.start();
        clicker.start();
        s.panel().command_pass("Run");
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    QObject::disconnect(reached);
    state.counters["worst_click_to_port_ms"] = worst_ms;
    state.counters["mean_click_to_port_ms"] = clicks > 0 ? total_ms / clicks : 0;
    state.counters["clicks_reaching_the_port"] = clicks;
    state.counters["wrong_port_values"] = wrong;
}
BENCHMARK(BM_SwitchClickReachesTheRunningProgram)
    ->Iterations(1)
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
            open_only(s, open == 1 ? Windows::WalkerRegisterAndPort : Windows::RegisterAndPort);
            const RunResult run = run_once(s, kTurnMilliseconds);
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

// The counting loop in a machine of its own with an interface that does nothing but hand RUN
// long stretches and end the run when its time is up: what the shell's RUN is measured against.
class QuietInterface : public UserInterface {
public:
    Machine* machine = nullptr;
    QElapsedTimer clock;
    int64_t end_ns = 0;

    int32_t run_budget() override { return 1 << 16; }
    void yield() override {
        if (clock.nsecsElapsed() >= end_ns) {
            machine->status.machine_mode = MachineMode::Reset;
        }
    }
};

RunResult run_quiet_machine(int milliseconds) {
    QuietInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    ui.machine = &m;
    m.clear_ram_and_ports();
    m.reset_cpu();
    m.status.power_on = 1;
    store_program(m, kCountingLoop);
    m.cpu.program_counter = kProgramStart;
    m.status.machine_mode = MachineMode::Run;
    m.status.run_sub_state = RunSubState::AfterReset;
    ui.clock.start();
    ui.end_ns = int64_t{milliseconds} * 1'000'000;
    const double thread_start = thread_seconds();
    m.Maincpu();
    return {counted_instructions(m), static_cast<double>(ui.clock.nsecsElapsed()) / 1e9,
            thread_seconds() - thread_start};
}

// The shell's RUN with the memory walker, register and I/O port windows open, against the
// same program in a machine whose interface does nothing, in turns as above.
void BM_RunWithViewsOverQuietMachine(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, Windows::WalkerRegisterAndPort);
    constexpr int kTurnMilliseconds = 200;
    RunResult shell;
    RunResult quiet;
    int round = 0;
    for (auto _ : state) {
        double elapsed_both = 0;
        for (int turn = 0; turn < 2; ++turn) {
            const bool shell_turn = (turn + round) % 2 == 0;
            const RunResult run =
                shell_turn ? run_once(s, kTurnMilliseconds) : run_quiet_machine(kTurnMilliseconds);
            RunResult& total = shell_turn ? shell : quiet;
            total.instructions += run.instructions;
            total.seconds += run.seconds;
            total.thread_seconds += run.thread_seconds;
            elapsed_both += run.seconds;
        }
        ++round;
        state.SetIterationTime(elapsed_both);
    }
    const auto rate = [](const RunResult& r) {
        return static_cast<double>(r.instructions) / r.seconds;
    };
    state.counters["ips_shell_with_views"] = rate(shell);
    state.counters["ips_quiet_machine"] = rate(quiet);
    state.counters["shell_over_quiet"] = rate(shell) / rate(quiet);
}
BENCHMARK(BM_RunWithViewsOverQuietMachine)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// One STEP, from the key press to the machine waiting again, averaged over many steps. Each
// step is pressed from a zero timer that the event loop runs once the machine waits; the open
// views repaint at screen rate meanwhile, and with the message window open its narration is
// written and shown.
void step_many(benchmark::State& state, Windows windows, int lines_before = 0) {
    Simulator& s = simulator();
    open_only(s, windows);
    constexpr int kSteps = 2000;
    for (auto _ : state) {
        s.power_on_with_program();
        if (message* log = s.app->main_window().message_window()) {
            const TextStyle style{10, kColourBlue, false};
            for (int n = 0; n < lines_before; ++n) {
                log->append_text(QStringLiteral("    Program counter $4000 points at the next "
                                                "byte\n"),
                                 style);
            }
            QCoreApplication::processEvents();
        }
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
    if (message* log = s.app->main_window().message_window()) {
        state.counters["lines_in_window"] = static_cast<double>(
            log->findChild<QPlainTextEdit*>("message_table")->document()->blockCount());
    }
}

void BM_StepWithMessageWindowClosed(benchmark::State& state) {
    step_many(state, Windows::None);
}
void BM_StepWithRegisterAndPortWindows(benchmark::State& state) {
    step_many(state, Windows::RegisterAndPort);
}
void BM_StepWithWalkerRegisterAndPortWindows(benchmark::State& state) {
    step_many(state, Windows::WalkerRegisterAndPort);
}
void BM_StepWithMessageWindow(benchmark::State& state) {
    step_many(state, Windows::Message);
}
void BM_StepWithMessageWindowAfter100000Lines(benchmark::State& state) {
    step_many(state, Windows::Message, 100'000);
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
BENCHMARK(BM_StepWithMessageWindow)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StepWithMessageWindowAfter100000Lines)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

// Opening the memory walker, from the command until it has been shown and painted; it is
// closed again between openings.
void BM_OpenMemoryWalker(benchmark::State& state) {
    Simulator& s = simulator();
    open_only(s, Windows::None);
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

// A hundred pages of narration in its three styles, printed to a PDF file: 60 ten-point
// lines fill more than a page between one-inch margins on A4 or Letter paper.
void BM_PrintHundredPagesToPdf(benchmark::State& state) {
    constexpr int kLines = 100 * 60;
    const std::pair<const char*, uint32_t> lines[] = {
        {"Fetch Operand Byte\n", kColourBlack},
        {"    Program counter copied into the memory address register (MAR)\n", kColourBlue},
        {"      The MAR puts the address on the address bus\n", kColourRed},
    };
    QTextDocument text;
    text.setDefaultFont(QFont(QStringLiteral("Courier New"), 10));
    QTextCursor cursor(&text);
    for (int n = 0; n < kLines; ++n) {
        const auto& [line, colour] = lines[n % 3];
        QTextCharFormat format;
        format.setFontPointSize(10);
        format.setForeground(bgr_colour(colour));
        cursor.insertText(QString::fromLatin1(line), format);
    }
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("log.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        if (!print_rich_text(text, printer, kMessagePrintMargin, kMessagePrintMargin,
                             kMessagePrintMargin, kMessagePrintMargin)) {
            state.SkipWithError("printing failed");
        }
    }
}
BENCHMARK(BM_PrintHundredPagesToPdf)->Iterations(3)->Unit(benchmark::kMillisecond);

// 10,000 printable characters to the terminal, then HALT: the screen scrolls about 300 times.
constexpr int32_t kPrintedCharacters = 10000;
constexpr int32_t kHaltedAt = 0x4015; // the program counter once HALT has been fetched
constexpr int32_t kPrintingLoop[] = {
    0xA0, 0x27, 0x10, // 4000 BLDX 10000
    0x90, 0x41,       // 4003 LDA 'A'
    0x99, 0xF0, 0x28, // 4005 STA [$F028]
    0x80,             // 4008 INCA
    0x60, 0x7F,       // 4009 CMPA 127
    0xD6, 0x40, 0x10, // 400B JNZ [$4010]
    0x90, 0x20,       // 400E LDA ' '
    0x83,             // 4010 DECX
    0xD6, 0x40, 0x05, // 4011 JNZ [$4005]
    0x01,             // 4014 HALT
};

void BM_TerminalPrintsTenThousandCharacters(benchmark::State& state) {
    Simulator& s = simulator();
    s.app->main_window().dispatch_command("Terminal");
    for (auto _ : state) {
        s.power_on_with_program(kPrintingLoop);
        QElapsedTimer clock;
        double elapsed = 0;
        QTimer halted;
        halted.setTimerType(Qt::PreciseTimer);
        halted.setInterval(1);
        QObject::connect(&halted, &QTimer::timeout, [&] {
            if (s.machine().cpu.program_counter == kHaltedAt) {
                elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                halted.stop();
                s.panel().command_pass("Reset");
            }
        });
        halted.start();
        clock.start();
        s.panel().command_pass("Run");
        state.SetIterationTime(elapsed);
        if (s.app->terminal().terminal_cursor_row != kTerminalLastRow) {
            state.SkipWithError("the program did not fill the screen");
        }
    }
    state.counters["characters_per_second"] =
        benchmark::Counter(kPrintedCharacters, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TerminalPrintsTenThousandCharacters)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// wait: LDA [$F008]; JZ [wait]; STA [$F028]; JMP [wait]: the echo lesson without its prompt.
constexpr int32_t kEchoLoop[] = {
    0x91, 0xF0, 0x08, // 4000 LDA [$F008]
    0xD1, 0x40, 0x00, // 4003 JZ [$4000]
    0x99, 0xF0, 0x28, // 4006 STA [$F028]
    0xC1, 0x40, 0x00, // 4009 JMP [$4000]
};

// Clicks arrive from outside the event loop, as the window system's do: a second thread posts
// each one; the time to the key's handler is what a user waits for the port to change.
void BM_KeyClickReachesThePortWhileRunning(benchmark::State& state) {
    Simulator& s = simulator();
    MDI& main_window = s.app->main_window();
    main_window.dispatch_command("Terminal");
    Keyboard* keyboard = main_window.keyboard_window();
    QPushButton* key = keyboard->key("SSCommand31"); // Q
    constexpr int kClicks = 40;
    const auto now_ns = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    for (auto _ : state) {
        s.power_on_with_program(kEchoLoop);
        std::atomic<int64_t> posted_ns{0};
        double worst_ms = 0;
        double total_ms = 0;
        int seen = 0;
        bool port_written = true;
        const auto connection = QObject::connect(key, &QPushButton::clicked, [&] {
            const double waited_ms = static_cast<double>(now_ns() - posted_ns.load()) / 1e6;
            worst_ms = std::max(worst_ms, waited_ms);
            total_ms += waited_ms;
            port_written = port_written && s.machine().memory_cells[kKeyboardPort].value == 'Q';
            if (++seen == kClicks) {
                s.panel().command_pass("Reset");
            }
        });
        std::thread user([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            for (int i = 0; i < kClicks; ++i) {
                posted_ns = now_ns();
                QMetaObject::invokeMethod(key, &QPushButton::click, Qt::QueuedConnection);
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
            }
        });
        s.panel().command_pass("Run"); // returns when the last click has reset the machine
        user.join();
        QObject::disconnect(connection);
        state.SetIterationTime(worst_ms / 1e3);
        state.counters["worst_click_ms"] = worst_ms;
        state.counters["mean_click_ms"] = total_ms / kClicks;
        if (!port_written) {
            state.SkipWithError("a click did not reach the port");
        }
    }
}
BENCHMARK(BM_KeyClickReachesThePortWhileRunning)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

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

// Instructions per second of the machine core with nothing on screen: the instruction cycle
// alone (execute_instruction) beside the run loop (Maincpu) with an interface whose calls do
// nothing, on a tight loop and on a program mixing every addressing mode. Each benchmark times
// the two in turn, run after run, and gives their ratio from the same run.
#include "bench/bench_programs.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <concepts>

namespace tallyrig {
namespace {

using bench::instructions_in_run;
using bench::load_program;

// An interface whose calls do nothing. Where the interface lets the loop run a stretch of
// instructions between yields, this one hands it a long one, as the Qt shell does when it can.
template <class Interface>
concept HandsABudget = requires(Interface& ui) {
    { ui.run_budget() } -> std::convertible_to<int32_t>;
};

template <class Interface, bool = HandsABudget<Interface>>
class NoOpInterface : public Interface {};

template <class Interface>
class NoOpInterface<Interface, true> : public Interface {
public:
    int32_t run_budget() override { return 1 << 16; }
};

using QuietInterface = NoOpInterface<UserInterface>;

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void run_both(benchmark::State& state, const std::vector<int32_t>& program) {
    QuietInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    const int64_t per_run = instructions_in_run(m, program);
    double cycle_seconds = 0;
    double loop_seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        load_program(m, program);
        m.status.machine_mode = MachineMode::Run;
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        for (int64_t i = 0; i < per_run; ++i) {
            m.execute_instruction();
        }
        cycle_seconds += seconds_since(start);
        benchmark::DoNotOptimize(m.cpu.accumulator);

        state.PauseTiming();
        load_program(m, program);
        m.status.machine_mode = MachineMode::Run;
        m.status.run_sub_state = RunSubState::AfterReset;
        state.ResumeTiming();
        start = std::chrono::steady_clock::now();
        m.Maincpu(); // returns at the jump to 0
        loop_seconds += seconds_since(start);
        if (m.status.machine_mode != MachineMode::Reset ||
            m.status.run_sub_state != RunSubState::AfterReset) {
            state.SkipWithError("the run did not end at the jump to 0");
        }
    }
    const auto runs = static_cast<double>(state.iterations());
    const double instructions = runs * static_cast<double>(per_run);
    state.counters["execute_instruction_ips"] = instructions / cycle_seconds;
    state.counters["Maincpu_ips"] = instructions / loop_seconds;
    state.counters["Maincpu_over_execute"] = cycle_seconds / loop_seconds;
    state.counters["instructions_per_run"] = static_cast<double>(per_run);
}

void BM_TightLoop(benchmark::State& state) {
    run_both(state, bench::kTightLoop);
}
void BM_MixedProgram(benchmark::State& state) {
    run_both(state, bench::kMixedLoop);
}
BENCHMARK(BM_TightLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_MixedProgram)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The instruction cycle with execution counting on.
void BM_ExecuteInstructionProfiling(benchmark::State& state) {
    QuietInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    const int64_t per_run = instructions_in_run(m, bench::kMixedLoop);
    for (auto _ : state) {
        state.PauseTiming();
        load_program(m, bench::kMixedLoop);
        m.status.machine_mode = MachineMode::Run;
        m.status.profiling_on = 1;
        state.ResumeTiming();
        for (int64_t i = 0; i < per_run; ++i) {
            m.execute_instruction();
        }
    }
    state.SetItemsProcessed(state.iterations() * per_run);
}
BENCHMARK(BM_ExecuteInstructionProfiling)->Unit(benchmark::kMillisecond);

// STEP through the run loop: every instruction narrated, the user pressing Step again at once.
class SteppingInterface : public QuietInterface {
public:
    Machine* machine = nullptr;
    void wait_for_event() override { machine->status.machine_mode = MachineMode::Step; }
};

void BM_MaincpuStep(benchmark::State& state) {
    SteppingInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    ui.machine = &m;
    const int64_t per_run = instructions_in_run(m, bench::kMixedLoop, 1);
    for (auto _ : state) {
        state.PauseTiming();
        load_program(m, bench::kMixedLoop, 1);
        m.status.machine_mode = MachineMode::Step;
        m.status.run_sub_state = RunSubState::AfterReset;
        state.ResumeTiming();
        m.Maincpu();
    }
    state.SetItemsProcessed(state.iterations() * per_run);
}
BENCHMARK(BM_MaincpuStep)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tallyrig

BENCHMARK_MAIN();

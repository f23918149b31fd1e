// Instructions per second of the machine core, with nothing on screen.
#include "core/machine.h"

#include <benchmark/benchmark.h>

namespace tallyrig {
namespace {

// A tight loop: count A up and branch back while it is not zero, with one memory store.
constexpr int32_t kLoop[] = {
    0x80,             // INCA
    0x99, 0x50, 0x00, // STA [$5000]
    0xD6, 0x40, 0x00, // JNZ [$4000]
    0xC1, 0x40, 0x00, // JMP [$4000]
};

void load_loop(Machine& m) {
    m.clear_ram_and_ports();
    m.reset_cpu();
    m.status.power_on = 1;
    int32_t address = kProgramStart;
    for (int32_t byte : kLoop) {
        m.memory_cells[static_cast<size_t>(address++)].value = byte;
    }
    m.cpu.program_counter = kProgramStart;
}

void run_execute_instruction(benchmark::State& state, int16_t profiling) {
    UserInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    load_loop(m);
    m.status.machine_mode = MachineMode::Run;
    m.status.profiling_on = profiling;
    for (auto _ : state) {
        m.execute_instruction();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ExecuteInstruction(benchmark::State& state) {
    run_execute_instruction(state, 0);
}
void BM_ExecuteInstructionProfiling(benchmark::State& state) {
    run_execute_instruction(state, 1);
}

// An interface whose calls do nothing. The run loop refreshes the register window once per
// pass, one instruction each, so that call counts the instructions and ends the run.
class CountingInterface : public UserInterface {
public:
    void start(Machine& machine, int64_t limit) {
        m_machine = &machine;
        m_limit = limit;
        m_passes = 0;
    }
    void update_register_display() override {
        if (m_machine != nullptr && ++m_passes >= m_limit) {
            m_machine->status.power_on = 0;
            m_machine->status.machine_mode = MachineMode::PowerOff;
        }
    }
    void wait_for_event() override {
        // Stepping: the user presses Step again at once.
        m_machine->status.machine_mode = MachineMode::Step;
    }
    int64_t passes() const { return m_passes; }

private:
    Machine* m_machine = nullptr;
    int64_t m_limit = 0;
    int64_t m_passes = 0;
};

void run_main_loop(benchmark::State& state, MachineMode mode) {
    const int64_t per_run = mode == MachineMode::Run ? 1'000'000 : 200'000;
    CountingInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    int64_t instructions = 0;
    for (auto _ : state) {
        state.PauseTiming();
        load_loop(m);
        m.status.machine_mode = mode;
        m.status.run_sub_state = RunSubState::AfterReset;
        ui.start(m, per_run);
        state.ResumeTiming();
        m.Maincpu();
        instructions += ui.passes();
    }
    state.SetItemsProcessed(instructions);
}

void BM_MaincpuRun(benchmark::State& state) {
    run_main_loop(state, MachineMode::Run);
}
void BM_MaincpuStep(benchmark::State& state) {
    run_main_loop(state, MachineMode::Step);
}

BENCHMARK(BM_ExecuteInstruction);
BENCHMARK(BM_ExecuteInstructionProfiling);
BENCHMARK(BM_MaincpuRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MaincpuStep)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tallyrig

BENCHMARK_MAIN();

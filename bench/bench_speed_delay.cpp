// The processor-speed dialog's scale: how long the empty delay loop takes per round, and how
// many instructions a second the machine runs at settings of the speed scroll bar with the
// shipped multiplier.
#include "core/machine.h"

#include <benchmark/benchmark.h>

namespace tallyrig {
namespace {

// The shipped "Speed" of the settings file: delay rounds per step of the scroll bar.
constexpr double kShippedMultiplier = 20000.0;

void BM_DelayRounds(benchmark::State& state) {
    const auto rounds = static_cast<double>(state.range(0));
    for (auto _ : state) {
        Machine::speed_delay(rounds);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel("items = delay rounds");
}
BENCHMARK(BM_DelayRounds)->Arg(1'000'000)->Arg(100'000'000);

// One instruction (JMP to itself) with the delay of a thumb position.
void BM_InstructionAtThumb(benchmark::State& state) {
    UserInterface ui;
    MessageCatalog messages;
    Machine m(ui, messages);
    m.clear_ram_and_ports();
    m.reset_cpu();
    m.status.power_on = 1;
    m.status.machine_mode = MachineMode::Run;
    m.memory_cells[kProgramStart].value = 0xC1; // JMP [$4000]
    m.memory_cells[kProgramStart + 1].value = 0x40;
    m.memory_cells[kProgramStart + 2].value = 0x00;
    m.cpu.program_counter = kProgramStart;
    m.status.run_delay = kShippedMultiplier * static_cast<double>(state.range(0));
    for (auto _ : state) {
        m.execute_instruction();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("items = instructions");
}
BENCHMARK(BM_InstructionAtThumb)
    ->Arg(0)
    ->Arg(1)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(12000)
    ->Arg(32767)
    ->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tallyrig

BENCHMARK_MAIN();

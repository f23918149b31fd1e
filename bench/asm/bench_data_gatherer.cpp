// The data gatherer's "Output Results" for a 5,000-line program: reading its assembly dump and
// writing the processed dump, files included. The target is under 100 ms.
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "bench/asm/five_thousand_lines.h"
#include "core/assembly_dump.h"
#include "core/machine.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tallyrig;

void BM_WritePadFile(benchmark::State& state) {
    const assembler::Assembly assembly = assembler::assemble(bench::five_thousand_lines());
    if (!assembly.ok()) {
        state.SkipWithError("the benchmark source does not assemble");
        return;
    }
    std::string folder = (std::filesystem::temp_directory_path() / "padbench_XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    UserInterface ui;
    MessageCatalog messages;
    Machine machine(ui, messages);
    // Every cell counted, so every counter text is written in full.
    for (MemoryCell& cell : machine.memory_cells) {
        cell.count_primary = 0x12345678;
        cell.count_secondary = 0x0ABCDEF0;
    }
    machine.files.ram_file_name = folder + "/bench.ram";
    machine.files.rad_file_path = folder + "/bench.rad";
    machine.files.pad_file_path = folder + "/bench.pad";
    std::ofstream(machine.files.rad_file_path, std::ios::binary)
        << assembler::assembly_dump_text(assembly);
    for (auto _ : state) {
        const PadFileResult result = write_pad_file(machine);
        if (!result.written || !result.problem.empty()) {
            state.SkipWithError(("the .pad was not written: " + result.problem).c_str());
            break;
        }
    }
    state.counters["lines"] = static_cast<double>(assembly.lines.size());
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WritePadFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Assembling a 5,000-line source: the target is well under 50 ms, files included.
#include "asmlib/assemble_file.h"
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "bench/asm/five_thousand_lines.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tallyrig::assembler;
using tallyrig::bench::five_thousand_lines;

void BM_AssembleInMemory(benchmark::State& state) {
    const std::string source = five_thousand_lines();
    for (auto _ : state) {
        const Assembly assembly = assemble(source);
        if (!assembly.ok()) {
            state.SkipWithError("the benchmark source does not assemble");
            break;
        }
        benchmark::DoNotOptimize(assembly.bytes.data());
        state.counters["lines"] = static_cast<double>(assembly.lines.size());
    }
}
BENCHMARK(BM_AssembleInMemory)->Unit(benchmark::kMillisecond);

// What the editor's Assemble waits for: read, assemble, write the three files.
void BM_AssembleFile(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "asmbench_XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::string path = folder + "/bench.asm";
    std::ofstream(path) << five_thousand_lines();
    for (auto _ : state) {
        const FileOutcome outcome = assemble_file(path);
        if (outcome.error.code != ErrorCode::None) {
            state.SkipWithError("the benchmark source does not assemble");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_AssembleFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// Assembling a 5,000-line source: the target is well under 50 ms, files included.
#include "asmlib/assemble_file.h"
#include "asmlib/assembler.h"
#include "asmlib/output_files.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace tallyrig::assembler;

// A program of every kind of line: labels, every addressing mode, expressions, data,
// comments and blank lines; 5,000 lines in all.
std::string five_thousand_lines() {
    std::string source = "# generated for the benchmark\n"
                         "SIZE:   .EQU 16\n"
                         "        .ORG $4000\n"
                         "        BLDSP $EFFF\n"
                         "        BLDX 0\n";
    int lines = 5;
    for (int i = 0; lines < 4990; ++i) {
        const std::string n = std::to_string(i);
        source += "L" + n + ":   LDA [T" + n + "+SIZE/2]     # load a table entry\n";
        source += "        ADD (SIZE*2-1)\n";
        source += "        STA [[P" + n + "],X]\n";
        source += "        JNZ [L" + n + "]\n";
        source += "\n";
        source += "        CMPA [T" + n + ",X]\n";
        source += "        JSR [[P" + n + "]]\n";
        source += "P" + n + ":   .2BYTE T" + n + "\n";
        source += "T" + n + ":   .BYTE 1, 2, $FF\n";
        lines += 9;
    }
    while (lines < 4999) {
        source += "# padding\n";
        ++lines;
    }
    return source + "        .END\n";
}

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

// Peak resident memory of assembling the largest sources the library accepts (target: under
// 256 MB). Each source is assembled in a child process of its own, so the figure is that of
// one assembly, read from the child's resource usage.
#include "asmlib/assemble_file.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tallyrig::assembler::kMaxSourceBytes;

// An expression of n terms that comes to 0 or 1: 1-1+1-1...
std::string long_expression(size_t terms) {
    std::string text = "1";
    for (size_t i = 1; i < terms; ++i) {
        text += i % 2 == 1 ? "-1" : "+1";
    }
    return text;
}

// Writes the source line by line, so this process never holds it whole.
template <typename WriteLines>
fs::path write_source(const char* name, WriteLines write_lines) {
    const fs::path folder = fs::temp_directory_path() / "tallyrig_asm_memory";
    fs::create_directories(folder);
    const fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "        .ORG $4000\n";
    write_lines(out);
    out << "        .END\n";
    return path;
}

// Operands with as many terms as an expression may hold (1,023 numbers and operators): as
// many instructions as the address space takes, then .EQU lines up to the size limit.
fs::path long_operands() {
    return write_source("long_operands.asm", [](std::ofstream& out) {
        const std::string expression = long_expression(512);
        size_t written = 0;
        for (int i = 0; i < 0x5FFF; ++i) {
            const std::string line = "        LDA " + expression + "\n";
            out << line;
            written += line.size();
        }
        for (int i = 0; written + 2 * expression.size() < kMaxSourceBytes; ++i) {
            const std::string line = "E" + std::to_string(i) + ": .EQU " + expression + "\n";
            out << line;
            written += line.size();
        }
    });
}

// One data line holding a long expression for every byte from $4000 to $EFFF... as far as the
// size limit allows.
fs::path long_data_line() {
    return write_source("long_data_line.asm", [](std::ofstream& out) {
        const size_t values = 0xF000 - 0x4000;
        const size_t room = (kMaxSourceBytes - 64) / values;
        const std::string value = long_expression(std::min<size_t>(512, (room - 1) / 2));
        out << "        .BYTE " << value;
        for (size_t i = 1; i < values; ++i) {
            out << "," << value;
        }
        out << "\n";
    });
}

// As many labelled lines as a source may hold.
fs::path many_lines() {
    return write_source("many_lines.asm", [](std::ofstream& out) {
        for (int i = 0; i < 99997; ++i) {
            out << "L" << i << ":    # a label and a comment that the list file repeats\n";
        }
    });
}

// The peak resident set of a child process that assembles the file, in megabytes.
double peak_megabytes(const fs::path& source) {
    const pid_t child = ::fork();
    if (child == 0) {
        const auto outcome = tallyrig::assembler::assemble_file(source.string());
        if (outcome.error.code != tallyrig::assembler::ErrorCode::None) {
            std::fprintf(stderr, "%s: error %d on line %d\n", source.c_str(),
                         static_cast<int>(outcome.error.code), outcome.error.line);
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return -1;
    }
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void peak(benchmark::State& state, fs::path (*make)()) {
    const fs::path source = make();
    double megabytes = 0;
    for (auto _ : state) {
        megabytes = peak_megabytes(source);
    }
    if (megabytes < 0) {
        state.SkipWithError("the source did not assemble");
    }
    state.counters["peak_MB"] = megabytes;
    state.counters["source_MB"] = static_cast<double>(fs::file_size(source)) / (1 << 20);
    fs::remove_all(source.parent_path());
}

BENCHMARK_CAPTURE(peak, long_operands, long_operands)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peak, long_data_line, long_data_line)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peak, many_lines, many_lines)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

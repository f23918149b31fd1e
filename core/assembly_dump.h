// The data gatherer's files. The assembly dump (.rad), written by the assembler beside the RAM
// image, lists the program one record per item after eight header items; the processed
// assembly dump (.pad) is that listing with the execution counters of each record's address,
// then the stack cell's and the 64 ports' counters.
#pragma once

#include "core/file_io.h"
#include "core/machine_state.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrig {

class Machine;

inline constexpr int kAssemblyDumpHeaderItems = 8;
// A dump lists each line and data byte of at most 64 KB of program in a few dozen characters;
// a file far larger than that is damaged.
inline constexpr std::size_t kAssemblyDumpMaxBytes = 4u << 20;

// The dump as the data gatherer reads it; empty texts where the file ends first.
struct AssemblyDump {
    std::string header1; // items 6 and 7, copied into the .pad
    std::string header2;
    std::string end_value;            // characters 12 to 27 of header2
    std::vector<std::string> records; // items 9 onward, trimmed
};

AssemblyDump parse_assembly_dump(std::string_view text);

// The .pad's lines, CR LF each: the header, one line per record up to the one whose line
// number reaches the end value (records of an unknown letter write none), the stack line and
// the port lines. ended_early is set when the records run out before the end value.
std::string processed_dump_text(const AssemblyDump& dump, const MemoryCells& cells,
                                std::string_view ram_file_name, bool* ended_early = nullptr);

struct PadFileResult {
    bool written = false;
    // Empty when all went well; otherwise what went wrong, which the data gatherer does not
    // show: a .rad that cannot be read (the .pad then holds only the header, stack and port
    // lines), one that ends before its end value, or a .pad that cannot be written.
    std::string problem;
};

// Reads the machine's .rad and writes its .pad (created or replaced in one rename), yielding
// to the user interface before each file as the data gatherer does.
PadFileResult write_pad_file(Machine& machine, const WriteCalls& calls = {});

// Clears both counters of every memory cell.
void Init_profile_array(MemoryCells& cells);

} // namespace tallyrig

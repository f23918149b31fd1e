// Any bytes as an assembly dump (.rad): the processed dump must come out bounded, one line at
// most per record after its eight header lines, and end with the stack and port lines.
#include "core/assembly_dump.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tallyrig;
    static MemoryCells cells = [] {
        MemoryCells filled(kCellCount);
        for (int32_t a = 0; a < kCellCount; ++a) {
            filled[static_cast<std::size_t>(a)].count_primary = a;
            filled[static_cast<std::size_t>(a)].count_secondary = -a;
        }
        return filled;
    }();
    const AssemblyDump dump =
        parse_assembly_dump(std::string_view(reinterpret_cast<const char*>(data), size));
    if (dump.records.size() > size || dump.end_value.size() > 16) {
        std::abort();
    }
    bool ended_early = false;
    const std::string pad = processed_dump_text(dump, cells, "fuzz.ram", &ended_early);
    std::size_t lines = 0;
    for (std::size_t at = pad.find("\r\n"); at != std::string::npos;
         at = pad.find("\r\n", at + 2)) {
        ++lines;
    }
    const std::size_t fixed = 8 + 1 + 64;
    if (lines < fixed || lines > fixed + dump.records.size() ||
        pad.rfind("99999 X $F03F --- ") == std::string::npos) {
        std::abort();
    }
    return 0;
}

// Any bytes as an assembly source: the assembler must answer with a result or an error code,
// and every text it writes from that result must be well formed.
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tallyrig::assembler;
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    const Assembly assembly = assemble(source);

    const int code = static_cast<int>(assembly.error.code);
    if (code < 0 || code > 22 || (code != 0 && assembly.error.line < 1)) {
        std::abort();
    }
    if (code != 0 && assembly.error.offset > size) {
        std::abort();
    }
    for (const AssembledLine& line : assembly.lines) {
        if (line.start > line.end || line.end > size ||
            line.first_byte + line.byte_count > assembly.bytes.size()) {
            std::abort();
        }
    }
    const std::string list = list_file_text(source, "fuzz.asm", assembly);
    if (assembly.ok()) {
        // The simulator reads these item by item: a comma would split a record.
        if (ram_image_text(assembly).find(',') != std::string::npos ||
            assembly_dump_text(assembly).find(',') != std::string::npos) {
            std::abort();
        }
    }
    return list.empty() ? 1 : 0;
}

// Any bytes as a rich-text file: the reader ends, its runs cover the text in order with no
// empty run and no two neighbours alike, and nothing it gives is larger than what it read.
#include "assembler/rich_text_reader.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using tallyrig::fuzz::check;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const tallyrig::RichText rich = tallyrig::read_rich_text(bytes);
    // Every character of the text takes at least one byte of the file.
    check(rich.text.size() <= size);
    size_t covered = 0;
    for (size_t n = 0; n < rich.runs.size(); ++n) {
        const tallyrig::RichTextRun& run = rich.runs[n];
        check(run.start == covered && run.length > 0);
        check(n == 0 || !run.same_format(rich.runs[n - 1]));
        check(run.points >= 0 && run.points <= 1638);
        check(!run.colour || *run.colour <= 0xFFFFFF);
        covered += run.length;
    }
    check(covered == rich.text.size());
    return 0;
}

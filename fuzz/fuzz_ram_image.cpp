// Any bytes as a RAM image: the reader answers with a result, and a load changes nothing but
// the values of the cells it names, one byte each, from the load address upward.
#include "core/machine_state.h"
#include "core/ram_image.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

using tallyrig::fuzz::check;
using namespace tallyrig;

// Every field differs from what a load could store, so any change shows.
const MemoryCells& pristine() {
    static const MemoryCells cells = [] {
        MemoryCells all(kCellCount);
        for (int32_t a = 0; a < kCellCount; ++a) {
            all[static_cast<size_t>(a)] = {a, a & 1, a & 2, 300 + (a & 7), a, -a};
        }
        return all;
    }();
    return cells;
}

static_assert(sizeof(MemoryCell) == 6 * sizeof(int32_t));

// The cells of [first, last) are the same in both tables (plain fields, no padding).
bool same_cells(const MemoryCells& a, const MemoryCells& b, int32_t first, int32_t last) {
    return first >= last ||
           std::memcmp(&a[static_cast<size_t>(first)], &b[static_cast<size_t>(first)],
                       static_cast<size_t>(last - first) * sizeof(MemoryCell)) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryCells memory = pristine();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const RamImageResult result = read_ram_image_text(text, memory);

    check(result.ok == result.problem.empty());
    check(result.bytes_stored >= 0 && result.bytes_stored <= kCellCount);
    check(result.load_address >= 0 && result.load_address <= 0xFFFF);
    check(result.load_address + result.bytes_stored <= kCellCount);
    const int32_t first = result.load_address;
    const int32_t last = result.load_address + result.bytes_stored; // one past
    check(same_cells(memory, pristine(), 0, first));
    check(same_cells(memory, pristine(), last, kCellCount));
    for (int32_t a = first; a < last; ++a) {
        MemoryCell& now = memory[static_cast<size_t>(a)];
        check(now.value >= 0 && now.value <= 0xFF);
        now.value = pristine()[static_cast<size_t>(a)].value;
    }
    check(same_cells(memory, pristine(), first, last));
    return 0;
}

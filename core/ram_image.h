// Reading a RAM image (.ram) into the memory cell table. The image is text: items end at a comma
// or a line end; eight header items, the sixth ending in the load address and the seventh in the
// end address (four hexadecimal digits each, or fewer in an image written by hand); then one data
// line per item, a six-character prefix followed by up to sixteen two-digit byte fields three
// characters apart.
#pragma once

#include "core/machine_state.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tallyrig {

inline constexpr int kRamImageHeaderItems = 8;
inline constexpr std::size_t kRamImagePrefixLength = 6;
inline constexpr int kRamImageFieldsPerLine = 16;
inline constexpr std::uintmax_t kRamImageMaxBytes = 16u << 20;

struct RamImageResult {
    bool ok = false;
    std::string problem; // what stopped the load, empty when ok
    int32_t load_address = 0;
    int32_t end_address = 0; // as the header states it (0 when it states none); not used to load
    int32_t bytes_stored = 0;
};

// Stores the image's bytes into the cells' values from the load address upward; nothing else
// of a cell changes. A file that cannot be read, ends inside its header or has a load address
// that does not end in one to four hexadecimal digits stores nothing; a data line shorter than its
// prefix, or bytes past the last cell, stop the load there. Each comes with a problem text,
// and the bytes stored before that point stay. A file larger than any image could be is
// refused unread.
RamImageResult read_ram_image(const std::filesystem::path& file, MemoryCells& cells);

// The same for the file's text.
RamImageResult read_ram_image_text(std::string_view text, MemoryCells& cells);

// The older image layout, which no control reads any more: the same eight header items, of
// which the sixth and seventh end in the decimal start and end addresses (four digits) and the
// eighth holds the data mark; then one item per address from start to end, the byte in
// decimal. A missing mark, addresses outside the memory, a file that ends before the end
// address or a value that is not a byte stops the load with a problem text; the bytes stored
// before that point stay.
inline constexpr const char* kOldRamImageDataMark = "START OF DATA";

struct OldRamImageResult {
    bool ok = false;
    std::string problem;       // empty when ok
    bool mark_missing = false; // the eighth item lacks the data mark; nothing was read
    int32_t start_address = 0;
    int32_t end_address = 0;
    int32_t bytes_stored = 0; // at start_address onward
};

OldRamImageResult read_old_ram_image(const std::filesystem::path& file, MemoryCells& cells);

} // namespace tallyrig

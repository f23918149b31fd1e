// The editor's string table: the one-line templates of instructions and directives by
// addressing mode (ids 10 to 2100) and the assembler's messages (3001 to 3025).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tallyrig {

struct StringEntry {
    int16_t id;
    std::string_view text;
};

// Template entries, in order of their ids.
std::span<const StringEntry> template_strings();

// The text of an id; none for an id the table does not hold.
std::optional<std::string_view> string_table_text(int32_t id);

inline constexpr int16_t kAssemblerMessageBase = 3000;

} // namespace tallyrig

// The 8-bit code page of the desktop the system comes from, Windows-1252: Latin-1 with
// printable characters in 0x80-0x9F. Its five unassigned bytes stand for the control
// characters of the same number, as on that desktop, so every byte has a character and back.
#pragma once

#include <cstdint>
#include <optional>

namespace tallyrig {

char32_t code_page_character(uint8_t byte);

// The byte of a character; none for a character outside the code page.
std::optional<uint8_t> code_page_byte(char32_t character);

// What a character outside the code page becomes: "?".
inline constexpr uint8_t kCodePageDefaultByte = 0x3F;

} // namespace tallyrig

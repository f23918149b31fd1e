#include "core/code_page.h"

#include <array>

namespace tallyrig {

namespace {

constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

constexpr uint8_t kHighStart = 0x80;
constexpr uint8_t kHighEnd = 0xA0;

} // namespace

char32_t code_page_character(uint8_t byte) {
    if (byte >= kHighStart && byte < kHighEnd) {
        return kHighControls[byte - kHighStart];
    }
    return byte;
}

std::optional<uint8_t> code_page_byte(char32_t character) {
    if (character < kHighStart || (character >= kHighEnd && character <= 0xFF)) {
        return static_cast<uint8_t>(character);
    }
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            return static_cast<uint8_t>(kHighStart + i);
        }
    }
    return std::nullopt;
}

} // namespace tallyrig

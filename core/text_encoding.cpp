#include "core/text_encoding.h"

#include "core/code_page.h"

#include <cstdint>
#include <optional>

namespace tallyrig {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

uint8_t byte_at(std::string_view bytes, std::size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

// The character that starts at `i` and the number of bytes it takes; none for a sequence that
// is not UTF-8 (overlong forms and surrogates included).
std::optional<std::pair<char32_t, std::size_t>> utf8_character(std::string_view bytes,
                                                               std::size_t i) {
    const uint8_t lead = byte_at(bytes, i);
    if (lead < 0x80) {
        return std::pair{char32_t{lead}, std::size_t{1}};
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > bytes.size()) {
        return std::nullopt;
    }
    for (std::size_t k = 1; k < length; ++k) {
        const uint8_t next = byte_at(bytes, i + k);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return std::pair{value, length};
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Calls `each` with every character of a UTF-8 text; a byte that starts no character stands for
// the replacement character.
template <typename Each>
void for_each_character(std::string_view text, Each each) {
    for (std::size_t i = 0; i < text.size();) {
        const auto character = utf8_character(text, i);
        each(character ? character->first : kReplacement);
        i += character ? character->second : 1;
    }
}

uint16_t unit_at(std::string_view bytes, std::size_t i, bool big_endian) {
    const uint16_t first = byte_at(bytes, i);
    const uint16_t second = byte_at(bytes, i + 1);
    return static_cast<uint16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
}

// The text of well-formed UTF-16; none for an odd number of bytes or a lone surrogate, which
// are then read as 8-bit text, so that every file reads and writes back byte for byte.
std::optional<std::string> utf16_to_utf8(std::string_view bytes, bool big_endian) {
    if (bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const char32_t unit = unit_at(bytes, i, big_endian);
        if (unit < 0xD800 || unit > 0xDFFF) {
            append_utf8(out, unit);
            continue;
        }
        const char32_t low = i + 3 < bytes.size() ? unit_at(bytes, i + 2, big_endian) : 0;
        if (unit > 0xDBFF || low < 0xDC00 || low > 0xDFFF) {
            return std::nullopt;
        }
        append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
    }
    return out;
}

void append_unit(std::string& out, char32_t unit, bool big_endian) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    out += big_endian ? high : low;
    out += big_endian ? low : high;
}

std::string utf8_to_utf16(std::string_view text, bool big_endian) {
    std::string out;
    out.reserve(text.size() * 2);
    for_each_character(text, [&](char32_t c) {
        if (c >= 0x10000) {
            append_unit(out, 0xD800 + ((c - 0x10000) >> 10), big_endian);
            append_unit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), big_endian);
        } else {
            append_unit(out, c, big_endian);
        }
    });
    return out;
}

std::optional<std::string> utf8_to_code_page(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool fits = true;
    for_each_character(text, [&](char32_t c) {
        const auto byte = code_page_byte(c);
        fits = fits && byte.has_value();
        out += static_cast<char>(byte.value_or(kCodePageDefaultByte));
    });
    return fits ? std::optional(std::move(out)) : std::nullopt;
}

} // namespace

bool is_valid_utf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto character = utf8_character(bytes, i);
        if (!character) {
            return false;
        }
        i += character->second;
    }
    return true;
}

DecodedText decode_text(std::string_view bytes) {
    DecodedText result;
    const bool le_mark = bytes.starts_with(kUtf16LeMark);
    const bool be_mark = bytes.starts_with(kUtf16BeMark);
    if (le_mark || be_mark) {
        if (auto text = utf16_to_utf8(bytes.substr(2), be_mark)) {
            result.encoding = le_mark ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
            result.byte_order_mark = true;
            result.text = std::move(*text);
            return result;
        }
    }
    // No text of ours starts with a NUL, so a zero byte beside a printable one is UTF-16.
    if (!le_mark && !be_mark && bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0)) {
        const bool big_endian = bytes[0] == 0;
        const uint8_t first = byte_at(bytes, big_endian ? 1 : 0);
        auto text = first >= 0x20 && first < 0x7F ? utf16_to_utf8(bytes, big_endian) : std::nullopt;
        if (text) {
            result.encoding = big_endian ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
            result.text = std::move(*text);
            return result;
        }
    }
    if (bytes.starts_with(kUtf8Mark)) {
        result.byte_order_mark = true;
        bytes.remove_prefix(kUtf8Mark.size());
    }
    if (is_valid_utf8(bytes)) {
        result.text = std::string(bytes);
        return result;
    }
    result.encoding = TextEncoding::CodePage;
    result.text.reserve(bytes.size() + bytes.size() / 2);
    for (const char byte : bytes) {
        append_utf8(result.text, code_page_character(static_cast<uint8_t>(byte)));
    }
    return result;
}

std::string encode_text(std::string_view text, TextEncoding& encoding, bool byte_order_mark) {
    std::optional<std::string> bytes;
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        const bool big_endian = encoding == TextEncoding::Utf16Be;
        bytes = std::string(byte_order_mark ? (big_endian ? kUtf16BeMark : kUtf16LeMark) : "") +
                utf8_to_utf16(text, big_endian);
        break;
    }
    case TextEncoding::CodePage:
        // The mark of a UTF-8 file whose text was not UTF-8 stays where it was.
        if (auto code_page = utf8_to_code_page(text)) {
            bytes = std::string(byte_order_mark ? kUtf8Mark : "") + *code_page;
        }
        break;
    case TextEncoding::Utf8:
        bytes = std::string(byte_order_mark ? kUtf8Mark : "") + std::string(text);
        break;
    }
    // Bytes that would read back as another text (code page bytes that happen to be UTF-8, a
    // first line that now looks like UTF-16) are written as UTF-8, with its mark when even that
    // would be misread.
    const auto reads_back = [&](const std::string& candidate) {
        return decode_text(candidate).text == text;
    };
    if (bytes && reads_back(*bytes)) {
        return std::move(*bytes);
    }
    encoding = TextEncoding::Utf8;
    if (std::string plain(text); reads_back(plain)) {
        return plain;
    }
    return std::string(kUtf8Mark) + std::string(text);
}

} // namespace tallyrig

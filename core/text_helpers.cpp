#include "core/text_helpers.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyrig {

namespace {

// "$" and enough zeros to fill the field; a text that does not fit, or holds nothing, is
// returned without "$" so an out-of-range value shows as its bare digits.
std::string pad_hex(std::string_view text, std::size_t width) {
    if (!text.empty() && text.front() == '$') {
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > width) {
        return std::string(text);
    }
    std::string padded = "$";
    padded.append(width - text.size(), '0');
    padded += text;
    return padded;
}

char fold_case(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

std::string before_last(std::string_view text, char separator) {
    const auto at = text.rfind(separator);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

// Where the file's own name starts in a path: its dots are the only ones that mark an
// extension, since folders with dots in their names are everyday.
std::size_t name_start(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

} // namespace

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

std::string Statemc_pad2_hex(std::string_view text) {
    return pad_hex(text, 2);
}

std::string Statemc_pad_hex(std::string_view text) {
    return pad_hex(text, 4);
}

std::string Statemc_pad8_hex(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return pad_hex(text, 8);
}

std::string hex_text(int64_t value) {
    uint64_t bits = value < 0 ? static_cast<uint32_t>(value) : static_cast<uint64_t>(value);
    if (bits == 0) {
        return "0";
    }
    std::string digits;
    while (bits != 0) {
        digits.insert(digits.begin(), "0123456789ABCDEF"[bits & 0xF]);
        bits >>= 4;
    }
    return digits;
}

int32_t hex_to_long(std::string_view text) {
    // Four digits fill the 16-bit field; read unsigned, so 8000 to FFFF are 32768 to 65535.
    int32_t value = 0;
    for (std::size_t i = 0; i < text.size() && i < 4; ++i) {
        const int digit = hex_digit(text[i]);
        if (digit < 0) {
            break;
        }
        value = value * 16 + digit;
    }
    return value;
}

int16_t file_exists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return 0;
    }
    // Non-blocking, so a FIFO cannot hang the check; only a regular file counts, since every
    // caller goes on to read it as one.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular ? -1 : 0;
}

std::string strip_extension(std::string_view text) {
    const std::size_t dot = text.rfind('.');
    if (dot == std::string_view::npos || dot < name_start(text)) {
        return std::string(text);
    }
    return std::string(text.substr(0, dot));
}

std::string strip_file_name(std::string_view text) {
    return before_last(text, '/');
}

// Beyond any double: a longer exponent reads as this one.
constexpr int kLargestExponent = 400;

double leading_number(std::string_view raw) {
    std::string text;
    for (char c : raw) {
        if (c != ' ' && c != '\t') {
            text += c;
        }
    }
    if (text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        int64_t value = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            const int digit = hex_digit(text[i]);
            if (digit < 0 || value > INT32_MAX) {
                break;
            }
            value = value * 16 + digit;
        }
        return static_cast<double>(value);
    }
    std::size_t i = 0;
    double sign = 1.0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        sign = text[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    for (; i < text.size() && is_digit(text[i]); ++i) {
        value = value * 10.0 + (text[i] - '0');
    }
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && is_digit(text[i]); ++i) {
            value += (text[i] - '0') * scale;
            scale /= 10.0;
        }
    }
    // An exponent counts only with a digit after its letter and sign: "3e" is 3.
    if (i + 1 < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        const bool negative = text[j] == '-';
        if (text[j] == '-' || text[j] == '+') {
            ++j;
        }
        if (j < text.size() && is_digit(text[j])) {
            int exponent = 0;
            for (; j < text.size() && is_digit(text[j]); ++j) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), kLargestExponent);
            }
            if (value != 0.0) {
                value *= std::pow(10.0, negative ? -exponent : exponent);
            }
        }
    }
    return sign * value;
}

int32_t leading_integer(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // Saturates rather than overflows: a damaged file must not make the number wrap.
    int64_t number = 0;
    for (const char c : text) {
        if (!is_digit(c)) {
            break;
        }
        number = std::min<int64_t>(number * 10 + (c - '0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) {
        number = -number;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(number, INT32_MIN, INT32_MAX));
}

int32_t round_clamped(double value, int32_t low, int32_t high) {
    if (std::isnan(value)) {
        return std::clamp<int32_t>(0, low, high);
    }
    const double rounded = std::nearbyint(std::clamp<double>(value, low, high));
    return static_cast<int32_t>(rounded);
}

bool same_text_ignoring_case(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return fold_case(x) == fold_case(y);
           });
}

std::string upper_case(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), fold_case);
    return upper;
}

std::string list_file_name(std::string_view source_path) {
    if (source_path.empty()) {
        return {};
    }
    const size_t dot = source_path.find('.', name_start(source_path));
    if (dot == std::string_view::npos) {
        return std::string(source_path) + ".lst";
    }
    return std::string(source_path.substr(0, dot + 1)) + "lst";
}

} // namespace tallyrig

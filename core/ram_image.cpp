#include "core/ram_image.h"

#include "core/text_helpers.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string_view>
#include <vector>

namespace tallyrig {

namespace {

bool is_line_end(char c) {
    return c == '\n' || c == '\r';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Lines of nothing but blanks after the last item are the file's end, not empty data lines.
// Blanks inside the last line stay: a data line of only its prefix still stores its zeros.
std::string_view without_trailing_blank_lines(std::string_view text) {
    for (;;) {
        while (!text.empty() && is_line_end(text.back())) {
            text.remove_suffix(1);
        }
        const std::size_t last_end = text.find_last_of("\r\n");
        const std::size_t line_start = last_end == std::string_view::npos ? 0 : last_end + 1;
        const std::string_view last_line = text.substr(line_start);
        if (last_line.empty() || !std::all_of(last_line.begin(), last_line.end(), is_blank)) {
            return text;
        }
        text = text.substr(0, line_start);
    }
}

// Splits the file into items the way sequential input reads them: an item ends at a comma or
// a line end, and blanks before an item are skipped.
std::vector<std::string> split_items(std::string_view text) {
    text = without_trailing_blank_lines(text);
    std::vector<std::string> items;
    if (text.empty()) {
        return items;
    }
    std::size_t pos = 0;
    while (pos <= text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
            ++pos;
        }
        std::size_t end = pos;
        while (end < text.size() && text[end] != ',' && text[end] != '\n' && text[end] != '\r') {
            ++end;
        }
        items.emplace_back(text.substr(pos, end - pos));
        if (end >= text.size()) {
            break;
        }
        // A CR LF pair is one line end.
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        pos = end + 1;
    }
    return items;
}

constexpr std::size_t kAddressDigits = 4;

int32_t address_at_end(const std::string& item) {
    return hex_to_long(item.size() > kAddressDigits
                           ? std::string_view(item).substr(item.size() - kAddressDigits)
                           : std::string_view(item));
}

// The load address is all the image says about where its bytes go: an item that does not end
// in its four digits would put them somewhere else.
bool ends_in_address(std::string_view item) {
    return item.size() >= kAddressDigits && std::all_of(item.end() - kAddressDigits, item.end(),
                                                        [](char c) { return hex_digit(c) >= 0; });
}

} // namespace

RamImageResult read_ram_image(const std::filesystem::path& file, MemoryCells& cells) {
    // A full memory's image is a few hundred kilobytes; a far larger file is something else,
    // and reading it whole could exhaust memory.
    std::error_code size_error;
    const std::uintmax_t size = std::filesystem::file_size(file, size_error);
    const auto refused = [](std::string problem) {
        RamImageResult result;
        result.problem = std::move(problem);
        return result;
    };
    if (!size_error && size > kRamImageMaxBytes) {
        return refused("The file is too large to be a RAM image.");
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return refused("The file cannot be opened.");
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return refused("The file cannot be read.");
    }
    return read_ram_image_text(text, cells);
}

RamImageResult read_ram_image_text(std::string_view text, MemoryCells& cells) {
    RamImageResult result;
    const std::vector<std::string> items = split_items(text);
    if (items.size() < static_cast<std::size_t>(kRamImageHeaderItems)) {
        result.problem = "The file ends inside its header: it holds " +
                         std::to_string(items.size()) + " of its " +
                         std::to_string(kRamImageHeaderItems) + " header items.";
        return result;
    }
    if (!ends_in_address(items[kLoadAddressItem])) {
        // A damaged file may hold anything there; the end of it is what matters.
        const std::string& item = items[kLoadAddressItem];
        constexpr std::size_t kShown = 40;
        const std::string shown =
            item.size() > kShown ? "..." + item.substr(item.size() - kShown) : item;
        result.problem =
            "Its header's load address \"" + shown + "\" does not end in four hexadecimal digits.";
        return result;
    }
    result.load_address = address_at_end(items[kLoadAddressItem]);
    result.end_address = address_at_end(items[kLoadAddressItem + 1]);

    const int32_t last_cell = std::min<int32_t>(kLastCell, static_cast<int32_t>(cells.size()) - 1);
    int32_t address = result.load_address;
    for (std::size_t i = kRamImageHeaderItems; i < items.size(); ++i) {
        const std::string& line = items[i];
        const int line_number = static_cast<int>(i - kRamImageHeaderItems) + 1;
        if (line.size() < kRamImagePrefixLength) {
            result.problem = "Data line " + std::to_string(line_number) +
                             " is shorter than its six-character prefix.";
            return result;
        }
        const std::string_view fields = std::string_view(line).substr(kRamImagePrefixLength);
        for (int k = 0; k < kRamImageFieldsPerLine; ++k) {
            const std::size_t at = static_cast<std::size_t>(3 * k);
            const std::string_view field =
                at < fields.size() ? fields.substr(at, 2) : std::string_view();
            if (field.find("--") != std::string_view::npos) {
                break;
            }
            if (address > last_cell) {
                result.problem = "Data line " + std::to_string(line_number) +
                                 " holds bytes past the last memory cell $10000.";
                return result;
            }
            cells[static_cast<std::size_t>(address)].value = hex_to_long(field);
            ++address;
            ++result.bytes_stored;
        }
    }
    result.ok = true;
    return result;
}

} // namespace tallyrig

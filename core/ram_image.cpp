#include "core/ram_image.h"

#include "core/file_io.h"
#include "core/sequential_items.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <string_view>

namespace tallyrig {

namespace {

// The header's addresses are its items' last four characters (the whole item if shorter).
std::string_view last_four(std::string_view item) {
    const std::size_t keep = 4;
    return item.size() > keep ? item.substr(item.size() - keep) : item;
}

bool letter_or_digit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The hexadecimal address an item ends in: its last four characters, or the fewer digits of an
// address written by hand ("LOAD ADDRESS:100"). Nothing when the item does not end in one: its
// bytes would go somewhere the image never said. Digits that end a word ("$40G0") are no
// address either.
std::optional<int32_t> address_at_end(std::string_view item) {
    std::size_t digits = 0;
    while (digits < 4 && digits < item.size() && hex_digit(item[item.size() - 1 - digits]) >= 0) {
        ++digits;
    }
    const bool whole = digits > 0 && (digits == 4 || digits == item.size() ||
                                      !letter_or_digit(item[item.size() - 1 - digits]));
    if (!whole) {
        return std::nullopt;
    }
    return hex_to_long(item.substr(item.size() - digits));
}

int32_t decimal_address_at_end(std::string_view item) {
    return round_clamped(leading_number(last_four(item)), INT32_MIN, INT32_MAX);
}

// An image file read whole, its header taken, its data items to follow one at a time.
class ImageItems {
public:
    // False with a problem when the file cannot be read or ends inside its header. A full
    // memory's image is a few hundred kilobytes; a far larger file is something else, whose
    // reading whole could exhaust memory.
    bool open(const std::filesystem::path& file, std::string& problem) {
        std::string text;
        switch (read_regular_file(file, text, kRamImageMaxBytes)) {
        case FileRead::Read:
            break;
        case FileRead::Missing:
            problem = "The file cannot be opened.";
            return false;
        case FileRead::Failed:
            problem = "The file cannot be read, or is too large to be a RAM image.";
            return false;
        }
        return take(std::move(text), problem);
    }

    // The same for a file's text.
    bool take(std::string text, std::string& problem) {
        m_text = std::move(text);
        m_items = ItemReader(m_text);
        for (std::size_t i = 0; i < m_header.size(); ++i) {
            const auto item = m_items.next();
            if (!item) {
                problem = "The file ends inside its header: it holds " + std::to_string(i) +
                          " of its " + std::to_string(kRamImageHeaderItems) + " header items.";
                return false;
            }
            m_header[i] = *item;
        }
        return true;
    }

    // Header item n, counted from 1.
    std::string_view header(int n) const { return m_header[static_cast<std::size_t>(n - 1)]; }
    std::optional<std::string_view> next() { return m_items.next(); }

private:
    std::string m_text;
    ItemReader m_items{std::string_view()};
    std::array<std::string_view, kRamImageHeaderItems> m_header{};
};

int32_t last_cell_of(const MemoryCells& cells) {
    return std::min<int32_t>(kLastCell, static_cast<int32_t>(cells.size()) - 1);
}

// Stores the data lines of an image whose header has been read.
RamImageResult load_image(ImageItems& items, MemoryCells& cells) {
    RamImageResult result;
    const std::optional<int32_t> load_address = address_at_end(items.header(6));
    if (!load_address) {
        const std::string_view item = items.header(6);
        // A damaged file may hold anything there; the end of it is what matters.
        constexpr std::size_t kShown = 40;
        const std::string shown = item.size() > kShown
                                      ? "..." + std::string(item.substr(item.size() - kShown))
                                      : std::string(item);
        result.problem = "Its header's load address \"" + shown +
                         "\" does not end in an address of one to four hexadecimal digits.";
        return result;
    }
    result.load_address = *load_address;
    result.end_address = address_at_end(items.header(7)).value_or(0);

    const int32_t last_cell = last_cell_of(cells);
    int32_t address = result.load_address;
    int line_number = 0;
    while (const auto line = items.next()) {
        ++line_number;
        if (line->size() < kRamImagePrefixLength) {
            result.problem = "Data line " + std::to_string(line_number) +
                             " is shorter than its six-character prefix.";
            return result;
        }
        const std::string_view fields = line->substr(kRamImagePrefixLength);
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

} // namespace

RamImageResult read_ram_image(const std::filesystem::path& file, MemoryCells& cells) {
    ImageItems items;
    RamImageResult refused;
    return items.open(file, refused.problem) ? load_image(items, cells) : refused;
}

RamImageResult read_ram_image_text(std::string_view text, MemoryCells& cells) {
    ImageItems items;
    RamImageResult refused;
    return items.take(std::string(text), refused.problem) ? load_image(items, cells) : refused;
}

OldRamImageResult read_old_ram_image(const std::filesystem::path& file, MemoryCells& cells) {
    OldRamImageResult result;
    ImageItems items;
    if (!items.open(file, result.problem)) {
        return result;
    }
    if (items.header(8).find(kOldRamImageDataMark) == std::string_view::npos) {
        result.problem = std::string("The header does not end with ") + kOldRamImageDataMark + ".";
        result.mark_missing = true;
        return result;
    }
    result.start_address = decimal_address_at_end(items.header(6));
    result.end_address = decimal_address_at_end(items.header(7));
    if (result.start_address < 0 || result.end_address > last_cell_of(cells)) {
        result.problem = "Its addresses lie outside the memory.";
        return result;
    }
    for (int32_t address = result.start_address; address <= result.end_address; ++address) {
        const auto item = items.next();
        if (!item) {
            result.problem =
                "The file ends before the end address " + std::to_string(result.end_address) + ".";
            return result;
        }
        const double byte = leading_number(*item);
        if (!(byte >= 0.0 && byte <= 255.0)) {
            result.problem = "The value for address " + std::to_string(address) +
                             " is not a byte from 0 to 255.";
            return result;
        }
        cells[static_cast<std::size_t>(address)].value = round_clamped(byte, 0, 255);
        ++result.bytes_stored;
    }
    result.ok = true;
    return result;
}

} // namespace tallyrig

// Any bytes as a key file: reading keeps every field in its form, a save reads back with the
// same codes and colours and the captions and tooltips without the blanks around them, and
// saving what was read back changes nothing more.
#include "core/profile.h"
#include "fuzz/fuzz_check.h"
#include "panel/button_definitions.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using tallyrig::fuzz::check;
using namespace tallyrig;

// A table as the key editor might have left it, so that keys the file lacks show.
ButtonDefinitions start_table() {
    ButtonDefinitions table;
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        ButtonDefinition& r = table.records[static_cast<std::size_t>(n)];
        r.code = n * 3;
        r.color = static_cast<int16_t>(n % 7);
        r.annotation = fit_field("K" + std::to_string(n), kAnnotationWidth);
        r.description = fit_field("key " + std::to_string(n), kDescriptionWidth);
    }
    return table;
}

// Fields are as wide as their characters: a byte and the UTF-8 continuation bytes after it
// count once (so a stray one at the start counts too).
std::size_t characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        count += i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

bool same(const ButtonDefinition& a, const ButtonDefinition& b) {
    return a.code == b.code && a.color == b.color && a.annotation == b.annotation &&
           a.description == b.description;
}

ButtonDefinitions read(std::string_view text) {
    ButtonDefinitions table = start_table();
    read_button_definitions(table, ProfileDocument::parse(text));
    return table;
}

std::string saved(const ButtonDefinitions& table, std::string_view file) {
    ProfileDocument document = ProfileDocument::parse(file);
    write_button_definitions(table, document);
    return document.text();
}

// A caption or tooltip comes back without the blanks around it (as the profile layer trims
// them); a blank one reads as none and leaves the field as it was.
bool survives(const std::string& field, const std::string& read_again) {
    const auto trim = [](std::string_view text) {
        const auto blank = [](char c) {
            return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
        };
        while (!text.empty() && blank(text.front())) {
            text.remove_prefix(1);
        }
        while (!text.empty() && blank(text.back())) {
            text.remove_suffix(1);
        }
        return text;
    };
    const std::string_view text = trim(field);
    return text.empty() || trim(read_again) == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const ButtonDefinitions table = read(file);
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const ButtonDefinition& r = table.records[static_cast<std::size_t>(n)];
        check(characters(r.annotation) == kAnnotationWidth);
        check(characters(r.description) == kDescriptionWidth);
        check(color_index_to_rgb(r.color).has_value());
    }

    const std::string first = saved(table, file);
    const ButtonDefinitions again = read(first);
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const auto i = static_cast<std::size_t>(n);
        check(again.records[i].code == table.records[i].code);
        check(again.records[i].color == table.records[i].color);
        check(survives(table.records[i].annotation, again.records[i].annotation));
        check(survives(table.records[i].description, again.records[i].description));
    }

    // The first save may drop blanks around a field; from then on a save changes nothing.
    const std::string second = saved(again, first);
    const ButtonDefinitions third = read(second);
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const auto i = static_cast<std::size_t>(n);
        check(same(third.records[i], again.records[i]));
    }
    check(saved(third, second) == second);
    return 0;
}

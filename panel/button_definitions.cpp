#include "panel/button_definitions.h"

#include "core/profile.h"
#include "core/text_helpers.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

namespace tallyrig {

namespace {

// A key file value is read through a 128-character buffer.
constexpr std::size_t kValueLimit = 127;

// Where the text's first `width` characters end, and how many there are. The width counts
// characters, not bytes: a cut inside a UTF-8 sequence would leave a broken one.
std::size_t character_cut(std::string_view text, std::size_t width, std::size_t& characters) {
    const auto continues = [&](std::size_t i) {
        return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    };
    std::size_t end = 0;
    characters = 0;
    while (end < text.size() && characters < width) {
        ++end;
        while (continues(end)) {
            ++end;
        }
        ++characters;
    }
    return end;
}

constexpr std::array<uint32_t, 7> kCaptionColours = {
    0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00,
};

std::string section_name(int n) {
    return "Button " + std::to_string(n);
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Leading hexadecimal digits as a number; 0 when there are none.
int64_t leading_hex(std::string_view text) {
    int64_t value = 0;
    for (char c : text) {
        int d = hex_digit(c);
        if (d < 0 || value > std::numeric_limits<int32_t>::max())
            break;
        value = value * 16 + d;
    }
    return value;
}

// Whether anything, a dangling link included, stands at the name (in any case of it).
bool something_named(const std::filesystem::path& file) {
    std::error_code error;
    return std::filesystem::symlink_status(resolve_profile_path(file), error).type() !=
           std::filesystem::file_type::not_found;
}

// "$" and two hexadecimal digits for a byte, as the reader takes a 3-character value. Any
// other code a hand-edited file held is written in decimal, at least four characters long so
// the reader does not take it for one of those short forms, and so reads back as itself.
std::string format_code(int32_t code) {
    if (code >= 0 && code <= 0xFF) {
        return Statemc_pad2_hex(hex_text(code));
    }
    const std::string digits = std::to_string(code < 0 ? -int64_t{code} : int64_t{code});
    const std::string sign = code < 0 ? "-" : "";
    const std::size_t width = 4 - sign.size();
    return sign + std::string(digits.size() < width ? width - digits.size() : 0, '0') + digits;
}

} // namespace

// A caption typed in the key editor may hold any letter.
std::string fit_field(std::string_view text, std::size_t width) {
    std::size_t characters = 0;
    std::string field(text.substr(0, character_cut(text, width, characters)));
    field.append(width - characters, ' ');
    return field;
}

std::string trim_blanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

int32_t parse_key_code(std::string_view text) {
    // "$0A" and "$A": the first character is a marker, whatever it is.
    if (text.size() == 3)
        return static_cast<int32_t>(leading_hex(text.substr(1, 2)));
    if (text.size() == 2)
        return static_cast<int32_t>(leading_hex(text.substr(1, 1)));
    return round_clamped(leading_number(text), std::numeric_limits<int32_t>::min(),
                         std::numeric_limits<int32_t>::max());
}

std::optional<uint32_t> color_index_to_rgb(int16_t index) {
    if (index < 0 || index >= static_cast<int16_t>(kCaptionColours.size()))
        return std::nullopt;
    return kCaptionColours[static_cast<std::size_t>(index)];
}

std::filesystem::path key_file_path(const Folders& folders, int16_t which) {
    return folders.config_folder / (which == kReadCurrentKeys ? kCurrentKeyFile : kDefaultKeyFile);
}

void read_button_definitions(ButtonDefinitions& table, const Folders& folders, int16_t which) {
    // A key file that is missing, damaged or not a plain file reads as missing.
    if (const auto document = ProfileDocument::load(key_file_path(folders, which))) {
        read_button_definitions(table, *document);
    }
}

void read_button_definitions(ButtonDefinitions& table, const ProfileDocument& document) {
    auto read = [&](int n, std::string_view key) {
        std::string value = document.value(section_name(n), key).value_or(std::string());
        std::size_t characters = 0;
        value.resize(character_cut(value, kValueLimit, characters));
        return value;
    };
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        ButtonDefinition& record = table.records[static_cast<std::size_t>(n)];
        if (std::string code = read(n, "Code"); !code.empty()) {
            record.code = parse_key_code(code);
        }
        if (std::string annotation = read(n, "Annotation"); !annotation.empty()) {
            record.annotation = fit_field(annotation, kAnnotationWidth);
        }
        if (std::string color = read(n, "Color");
            color.size() == 1 && color[0] >= '0' && color[0] <= '6') {
            record.color = static_cast<int16_t>(color[0] - '0');
        }
        if (std::string description = read(n, "Description"); !description.empty()) {
            record.description = fit_field(description, kDescriptionWidth);
        }
    }
}

void write_button_definitions(const ButtonDefinitions& table, ProfileDocument& document) {
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const ButtonDefinition& record = table.records[static_cast<std::size_t>(n)];
        std::string section = section_name(n);
        document.set_value(section, "Code", format_code(record.code));
        // A caption or tooltip in quotes keeps them.
        document.set_value(section, "Annotation",
                           quoted_if_needed(fit_field(record.annotation, kAnnotationWidth)));
        document.set_value(section, "Color", " " + std::to_string(record.color));
        document.set_value(section, "Description",
                           quoted_if_needed(trim_blanks(record.description)));
    }
}

bool save_button_definitions(const ButtonDefinitions& table, const Folders& folders,
                             UserInterface& ui) {
    std::filesystem::path file = key_file_path(folders, kReadCurrentKeys);
    // A file that cannot be read is not replaced: the save below refuses it.
    ProfileDocument document = ProfileDocument::load(file).value_or(ProfileDocument::parse(""));
    write_button_definitions(table, document);
    if (document.save(file))
        return true;
    ui.message_box("The key definitions could not be written to " + file.string() +
                       ". Your changed keys are still in use but are not saved.",
                   "Save New Buttons", MessageIcon::Exclamation, MessageButtons::Ok);
    return false;
}

bool restore_default_buttons(ButtonDefinitions& table, const Folders& folders, UserInterface& ui) {
    const std::filesystem::path current = key_file_path(folders, kReadCurrentKeys);
    const std::filesystem::path defaults = key_file_path(folders, kReadDefaultKeys);
    const std::filesystem::path backup = folders.config_folder / kBackupKeyFile;
    auto refuse = [&](const std::string& why) {
        ui.message_box(why + " The keys were left as they are.", "Restore Default Buttons",
                       MessageIcon::Exclamation, MessageButtons::Ok);
        return false;
    };
    // Everything is read before anything is written, and a failed write puts back what the
    // restore had already changed, so a restore that fails changes nothing.
    const std::optional<ProfileDocument> old_current = ProfileDocument::load(current);
    const std::optional<ProfileDocument> new_current = ProfileDocument::load(defaults);
    auto unreadable = [&](const std::filesystem::path& file) {
        return refuse("The key file " + file.string() + " is missing or cannot be read.");
    };
    // With no current file there is nothing to back up, and the defaults are what is needed.
    const bool current_missing = !something_named(current);
    if (!old_current && !current_missing)
        return unreadable(current);
    if (!new_current)
        return unreadable(defaults);
    const std::optional<ProfileDocument> old_backup = ProfileDocument::load(backup);
    if (old_current && ((something_named(backup) && !old_backup) || !old_current->save(backup))) {
        return refuse("The backup key file " + backup.string() + " could not be written.");
    }
    if (!new_current->save(current)) {
        std::error_code error;
        const bool put_back = !old_current || (old_backup ? old_backup->save(backup)
                                                          : std::filesystem::remove(backup, error));
        return refuse("The key file " + current.string() + " could not be written." +
                      (put_back ? ""
                                : " The backup key file " + backup.string() +
                                      " now holds the keys of that file."));
    }
    read_button_definitions(table, folders, kReadCurrentKeys);
    table.calculator_loaded = 1;
    return true;
}

} // namespace tallyrig

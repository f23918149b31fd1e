// The table of the 70 programmable keys and the ini-style key files it is read from and
// written to. Plain C++: the front panel labels its keys from the table, the shell saves and
// restores it.
#pragma once

#include "core/folders.h"
#include "core/profile.h"
#include "core/user_interface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tallyrig {

inline constexpr int kProgrammableKeyCount = 70;
inline constexpr std::size_t kAnnotationWidth = 5;
inline constexpr std::size_t kDescriptionWidth = 32;

// Key files in the config folder.
inline constexpr std::string_view kCurrentKeyFile = "Newbuttons.ini";
inline constexpr std::string_view kDefaultKeyFile = "Defbuttons.ini";
inline constexpr std::string_view kBackupKeyFile = "Oldbuttons.ini";

// Reader selectors.
inline constexpr int16_t kReadCurrentKeys = 0;
inline constexpr int16_t kReadDefaultKeys = 1;

// Caption colours, by their position in the key editor's list.
enum ColorIndex : int16_t {
    kColorBlack = 0,
    kColorRed = 1,
    kColorGreen = 2,
    kColorYellow = 3,
    kColorBlue = 4,
    kColorMagenta = 5,
    kColorCyan = 6,
};

struct ButtonDefinition {
    std::string annotation = std::string(kAnnotationWidth, ' ');   // caption, blank-padded
    int16_t color = kColorBlack;                                   // a ColorIndex
    std::string description = std::string(kDescriptionWidth, ' '); // tooltip, blank-padded
    int32_t code = 0; // the byte a key press stores in the keypad port
};

// Records 0..70; record n belongs to programmable key n, record 0 to no key.
struct ButtonDefinitions {
    std::array<ButtonDefinition, kProgrammableKeyCount + 1> records{};
    int16_t calculator_loaded = 0; // 1 while the front panel exists
    int16_t edit_button_index = 0; // the key the key editor works on
};

// Text cut or blank-padded to a fixed width in characters (UTF-8).
std::string fit_field(std::string_view text, std::size_t width);

// Text without leading and trailing blanks.
std::string trim_blanks(std::string_view text);

// The code a key file's "Code" value stands for.
int32_t parse_key_code(std::string_view text);

// The caption colour (0x00BBGGRR) of a colour index; none for an index outside 0..6.
std::optional<uint32_t> color_index_to_rgb(int16_t index);

// The key file of a selector: kReadCurrentKeys the current file, any other value the defaults.
std::filesystem::path key_file_path(const Folders& folders, int16_t which);

// Fills records 1..70 from a key file. Missing files, sections or keys leave the fields as
// they are; a file that is damaged, far too large or not a plain file counts as missing.
void read_button_definitions(ButtonDefinitions& table, const Folders& folders, int16_t which);
void read_button_definitions(ButtonDefinitions& table, const ProfileDocument& document);

// Sets the keys of records 1..70 in a key file's document, as the save writes them. A code
// is "$" and two hexadecimal digits for 0..255; any other code, and a caption or tooltip in
// quotes, is written so that it reads back as itself.
void write_button_definitions(const ButtonDefinitions& table, ProfileDocument& document);

// Writes records 1..70 into the current key file, keeping its other lines, its permissions
// and a link in its place. A file that cannot be read or written is reported in a message box
// and left as it is; returns whether it was written.
bool save_button_definitions(const ButtonDefinitions& table, const Folders& folders,
                             UserInterface& ui);

// Backs the current key file up, makes the defaults current and reads them. The front panel
// then labels its keys again (Calculator::apply_button_definitions). A missing current file
// has nothing to back up and the defaults are restored all the same; a current file that
// cannot be read, a default file that is missing or cannot be read, or a file that cannot be
// written is reported in a message box and nothing changes. Returns whether it restored.
bool restore_default_buttons(ButtonDefinitions& table, const Folders& folders, UserInterface& ui);

} // namespace tallyrig

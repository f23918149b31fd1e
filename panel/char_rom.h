// The character ROM: the picture file the text terminal draws its glyphs from.
#pragma once

#include "core/folders.h"
#include "core/user_interface.h"
#include "panel/char_rom_glyphs.h"

#include <QImage>
#include <filesystem>

namespace tallyrig {

inline constexpr const char* kDefaultCharRomName = "default.cro";

// The character ROM pictures: the default one and the one the terminal loads.
struct CharRomPaths {
    std::filesystem::path default_char_rom_path;
    std::filesystem::path char_rom_path;
};

// Builds the paths in the config folder and checks that the default picture exists. When it
// does not, tells the user where it was looked for and returns false: the caller ends the
// program.
bool init_char_rom(const Folders& folders, CharRomPaths& paths, UserInterface& ui);

// The picture, recognised by its content whatever its name; a null image when it cannot be
// read or is too small to hold every glyph.
QImage load_char_rom(const std::filesystem::path& file);

} // namespace tallyrig

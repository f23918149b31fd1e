// The character ROM: a picture of 512 glyphs of 10 by 15 pixels, 64 to a row; glyphs 0..255
// are the codes in normal video, 256..511 the same codes in inverse video.
#pragma once

#include "core/folders.h"
#include "core/user_interface.h"

#include <QImage>
#include <filesystem>

namespace tallyrig {

inline constexpr int kGlyphWidth = 10;
inline constexpr int kGlyphHeight = 15;
inline constexpr int kGlyphColumns = 64;
inline constexpr int kGlyphCount = 512;
inline constexpr int kInverseGlyphOffset = 256;
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

// Where glyph g lies in the picture.
inline int glyph_x(int glyph) {
    return (glyph % kGlyphColumns) * kGlyphWidth;
}
inline int glyph_y(int glyph) {
    return (glyph / kGlyphColumns) * kGlyphHeight;
}

} // namespace tallyrig

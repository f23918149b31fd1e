// Where the glyphs lie in the character ROM picture: 512 cells of 10 by 15 pixels, 64 to a row;
// glyphs 0..255 are the codes in normal video, 256..511 the same codes in inverse video.
#pragma once

namespace tallyrig {

inline constexpr int kGlyphWidth = 10;
inline constexpr int kGlyphHeight = 15;
inline constexpr int kGlyphColumns = 64;
inline constexpr int kGlyphCount = 512;
inline constexpr int kInverseGlyphOffset = 256;

inline constexpr int glyph_x(int glyph) {
    return (glyph % kGlyphColumns) * kGlyphWidth;
}
inline constexpr int glyph_y(int glyph) {
    return (glyph / kGlyphColumns) * kGlyphHeight;
}

} // namespace tallyrig

// Our terminal font: 5 by 7 dot glyphs for the printable ASCII codes 32..126, drawn by hand,
// with two more rows under the baseline for the descenders of g, j, p, q, y, comma and semicolon.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace tallyrig {

inline constexpr int kFontColumns = 5;
inline constexpr int kFontRows = 9;
inline constexpr int kFontBaselineRows = 7; // rows above the baseline
inline constexpr int kFirstFontCode = 32;
inline constexpr int kLastFontCode = 126;

// Row r of a glyph, bit 4 the leftmost dot; all zero for codes without a drawing.
std::array<uint8_t, kFontRows> font_glyph(int code);

// The digits are drawn in whole pixels, 8 by 10, as the capitals' height: on the dot grid their
// curves turn into steps and they read as letters (0 as 8, 2 as 7).
inline constexpr int kDigitWidth = 8;
inline constexpr int kDigitHeight = 10;

// Row y of the digit's pixels, bit 7 the leftmost; nothing for codes other than '0'..'9'.
std::optional<std::array<uint8_t, kDigitHeight>> digit_glyph(int code);

} // namespace tallyrig

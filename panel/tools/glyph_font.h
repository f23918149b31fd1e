// Our terminal font: 5 by 7 dot glyphs for the printable ASCII codes 32..126, drawn by hand.
#pragma once

#include <array>
#include <cstdint>

namespace tallyrig {

inline constexpr int kFontColumns = 5;
inline constexpr int kFontRows = 7;
inline constexpr int kFirstFontCode = 32;
inline constexpr int kLastFontCode = 126;

// Row r of a glyph, bit 4 the leftmost dot; all zero for codes without a drawing.
std::array<uint8_t, kFontRows> font_glyph(int code);

} // namespace tallyrig

// The two conversions every window needs: twips (1/1440 inch) and pixels at 96 dpi, and the
// simulator's 0x00BBGGRR colour numbers to QColor.
#pragma once

#include <QColor>
#include <QRect>
#include <cstdint>

namespace tallyrig {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

constexpr int twips_to_pixels(int twips) {
    return twips / kTwipsPerPixel;
}

constexpr int pixels_to_twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

inline QRect twips_rect(int left, int top, int width, int height) {
    return {twips_to_pixels(left), twips_to_pixels(top), twips_to_pixels(width),
            twips_to_pixels(height)};
}

inline QColor bgr_colour(uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

} // namespace tallyrig

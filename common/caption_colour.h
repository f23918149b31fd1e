// The caption colour of a button, as a 0x00BBGGRR number.
#pragma once

#include "common/screen_units.h"

#include <QAbstractButton>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tallyrig {

// Only the active and inactive captions change: a disabled button keeps the style's grey.
inline void set_caption_colour(QAbstractButton* button, uint32_t colour) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, bgr_colour(colour));
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, bgr_colour(colour));
    button->setPalette(palette);
}

inline uint32_t caption_colour(const QAbstractButton* button) {
    const QColor colour = button->palette().color(QPalette::Active, QPalette::ButtonText);
    return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
           static_cast<uint32_t>(colour.blue()) << 16;
}

// WCAG's contrast ratio of two colours, 1 to 21.
inline double contrast_ratio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace tallyrig

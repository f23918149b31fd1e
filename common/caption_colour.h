// The caption colour of a button, as a 0x00BBGGRR number.
#pragma once

#include "common/screen_units.h"

#include <QAbstractButton>
#include <QPalette>
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

} // namespace tallyrig

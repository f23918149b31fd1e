// Pictures the programs draw with their own code (toolbar buttons, program icons), each drawn
// on a grid of 32 by 32 units.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <span>

class QPainter;

namespace tallyrig {

inline constexpr int kToolbarPictureSize = 32;

using DrawPicture = void (*)(QPainter&);

struct KeyedPicture {
    const char* key;
    DrawPicture draw;
};

// The picture at size pixels square, antialiased, on a transparent ground.
QPixmap drawn_picture(DrawPicture draw, int size = kToolbarPictureSize);

// The picture at the sizes a desktop shows an icon in.
QIcon drawn_icon(DrawPicture draw);

// The picture of the key; a null icon for a key without one.
QIcon keyed_picture(std::span<const KeyedPicture> pictures, const QString& key);

} // namespace tallyrig

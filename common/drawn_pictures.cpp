#include "common/drawn_pictures.h"

#include <QPainter>

namespace tallyrig {

QPixmap drawn_picture(DrawPicture draw, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / static_cast<qreal>(kToolbarPictureSize),
                  size / static_cast<qreal>(kToolbarPictureSize));
    draw(painter);
    return pixmap;
}

QIcon drawn_icon(DrawPicture draw) {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(drawn_picture(draw, size));
    }
    return icon;
}

QIcon keyed_picture(std::span<const KeyedPicture> pictures, const QString& key) {
    for (const KeyedPicture& picture : pictures) {
        if (key == QLatin1String(picture.key)) {
            return QIcon(drawn_picture(picture.draw));
        }
    }
    return {};
}

} // namespace tallyrig

#include "panel/caption_key.h"

#include "common/caption_colour.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>
#include <array>

namespace tallyrig {

namespace {

// Large bold text needs 3:1 against its background; the blend at the edges of our small,
// sometimes condensed captions takes a little off, so a caption of less than this gets a rim.
constexpr double kRimBelow = 3.5;
// Below this the caption is condensed instead of made smaller still.
constexpr int kSmallestPixelSize = 9;
// The offsets of a one-pixel outline; without the diagonals the letters keep their openings.
constexpr std::array<QPoint, 4> kOutline = {{{0, -1}, {-1, 0}, {1, 0}, {0, 1}}};

} // namespace

CaptionKey::CaptionKey(QWidget* parent) : QPushButton(parent) {}

void CaptionKey::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    if (caption.isEmpty())
        return;

    // The style would clip a caption wider than the key; a smaller size, and past that a
    // narrower one, keeps every letter on the key, with room for the outline below.
    const QRect room = style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                           .adjusted(2, 1, -2, -1);
    QFont caption_font = font();
    int pixel_size = QFontInfo(caption_font).pixelSize();
    qreal width = QFontMetricsF(caption_font).horizontalAdvance(caption);
    while (width > room.width() && pixel_size > kSmallestPixelSize) {
        caption_font.setPixelSize(--pixel_size);
        width = QFontMetricsF(caption_font).horizontalAdvance(caption);
    }
    const qreal squeeze = std::min<qreal>(1.0, room.width() / width);
    painter.setFont(caption_font);
    painter.translate(QRectF(room).center());
    painter.scale(squeeze, 1.0);
    painter.translate(-QRectF(room).center());
    QRectF box(room);
    box.setWidth(room.width() / squeeze);
    box.moveCenter(QRectF(room).center());
    const int align = Qt::AlignCenter | Qt::TextDontClip;

    const QColor colour = option.palette.color(QPalette::ButtonText);
    const QColor face = option.palette.color(QPalette::Button);
    // A light caption on the light face is drawn inside a dark rim of its own hue; a disabled
    // key keeps the style's faint caption, which says it is disabled.
    if (isEnabled() && contrast_ratio(colour, face) < kRimBelow) {
        painter.setPen(colour.darker(400));
        for (const QPoint& step : kOutline) {
            // One screen pixel, however much the caption is condensed.
            painter.drawText(box.translated(step.x() / squeeze, step.y()), align, caption);
        }
    }
    painter.setPen(colour);
    painter.drawText(box, align, caption);
}

} // namespace tallyrig

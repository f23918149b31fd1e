#include "panel/devices/workbench_pictures.h"

#include <QPainter>
#include <QPolygon>

namespace tallyrig {

namespace {

// Segments lit by digit pictures 100, 102..116 (digits 0..F). One lights e and f, the left
// pair; nine has no bottom segment.
constexpr std::array<uint8_t, 16> kDigitSegments = {
    kSegmentA | kSegmentB | kSegmentC | kSegmentD | kSegmentE | kSegmentF,             // 0
    kSegmentE | kSegmentF,                                                             // 1
    kSegmentA | kSegmentB | kSegmentD | kSegmentE | kSegmentG,                         // 2
    kSegmentA | kSegmentB | kSegmentC | kSegmentD | kSegmentG,                         // 3
    kSegmentB | kSegmentC | kSegmentF | kSegmentG,                                     // 4
    kSegmentA | kSegmentC | kSegmentD | kSegmentF | kSegmentG,                         // 5
    kSegmentA | kSegmentC | kSegmentD | kSegmentE | kSegmentF | kSegmentG,             // 6
    kSegmentA | kSegmentB | kSegmentC,                                                 // 7
    kSegmentA | kSegmentB | kSegmentC | kSegmentD | kSegmentE | kSegmentF | kSegmentG, // 8
    kSegmentA | kSegmentB | kSegmentC | kSegmentF | kSegmentG,                         // 9
    kSegmentA | kSegmentB | kSegmentC | kSegmentE | kSegmentF | kSegmentG,             // A
    kSegmentC | kSegmentD | kSegmentE | kSegmentF | kSegmentG,                         // b
    kSegmentA | kSegmentD | kSegmentE | kSegmentF,                                     // C
    kSegmentB | kSegmentC | kSegmentD | kSegmentE | kSegmentG,                         // d
    kSegmentA | kSegmentD | kSegmentE | kSegmentF | kSegmentG,                         // E
    kSegmentA | kSegmentE | kSegmentF | kSegmentG,                                     // F
};

// Segment layout in the 48 x 91 picture: the centre lines of the two columns and three rows,
// and half the stroke. Each segment is a hexagon whose pointed ends leave a small gap at the
// corners, as on a real display.
constexpr int kLeftColumn = 9;
constexpr int kRightColumn = 39;
constexpr int kTopRow = 8;
constexpr int kMiddleRow = 45;
constexpr int kBottomRow = 82;
constexpr int kHalfStroke = 4;
constexpr int kCornerGap = 2;

QPolygon horizontal_segment(int row) {
    const int x0 = kLeftColumn + kCornerGap;
    const int x1 = kRightColumn - kCornerGap;
    const int h = kHalfStroke;
    return QPolygon({{x0, row},
                     {x0 + h, row - h},
                     {x1 - h, row - h},
                     {x1, row},
                     {x1 - h, row + h},
                     {x0 + h, row + h}});
}

QPolygon vertical_segment(int column, int top_row, int bottom_row) {
    const int y0 = top_row + kCornerGap;
    const int y1 = bottom_row - kCornerGap;
    const int h = kHalfStroke;
    return QPolygon({{column, y0},
                     {column + h, y0 + h},
                     {column + h, y1 - h},
                     {column, y1},
                     {column - h, y1 - h},
                     {column - h, y0 + h}});
}

// In bit order: a, b, c, d, e, f, g.
std::array<QPolygon, 7> segment_shapes() {
    return {horizontal_segment(kTopRow),
            vertical_segment(kRightColumn, kTopRow, kMiddleRow),
            vertical_segment(kRightColumn, kMiddleRow, kBottomRow),
            horizontal_segment(kBottomRow),
            vertical_segment(kLeftColumn, kMiddleRow, kBottomRow),
            vertical_segment(kLeftColumn, kTopRow, kMiddleRow),
            horizontal_segment(kMiddleRow)};
}

// Icon colours, from the sixteen of the classic palette.
constexpr QRgb kIconBlack = 0xFF000000;
constexpr QRgb kIconDarkGrey = 0xFF808080;
constexpr QRgb kIconLightGrey = 0xFFC0C0C0;
constexpr QRgb kIconWhite = 0xFFFFFFFF;
constexpr QRgb kIconRed = 0xFFFF0000;
constexpr QRgb kIconGreen = 0xFF00FF00;
constexpr QRgb kLedUnlit = 0xFF008000; // dark green

QImage blank_icon() {
    QImage image(kIconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

uint8_t digit_picture_segments(int id) {
    if (id == kDigitZeroPicture) {
        return kDigitSegments[0];
    }
    if (id > kDigitZeroPicture + 1 && id < kDigitBlankPicture) {
        return kDigitSegments[static_cast<std::size_t>(id - kDigitZeroPicture - 1)];
    }
    return 0;
}

QImage WorkbenchPictures::draw_segments(uint8_t lit) {
    QImage image(kSegmentPictureSize, QImage::Format_RGB32);
    image.fill(kSegmentBackground);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    const std::array<QPolygon, 7> shapes = segment_shapes();
    for (std::size_t bit = 0; bit < shapes.size(); ++bit) {
        painter.setBrush(QColor::fromRgb((lit >> bit) & 1 ? kSegmentLit : kSegmentDark));
        painter.drawPolygon(shapes[bit]);
    }
    return image;
}

// A toggle switch seen from the front: a grey plate with a slot, the lever up (on) or down
// (off) with a round knob, and a coloured mark at the end the lever points to.
QImage WorkbenchPictures::draw_switch(bool on) {
    QImage image = blank_icon();
    QPainter painter(&image);
    painter.setPen(QColor::fromRgb(kIconBlack));
    painter.setBrush(QColor::fromRgb(kIconDarkGrey));
    painter.drawRect(7, 1, 17, 29);
    painter.setBrush(QColor::fromRgb(kIconBlack));
    painter.drawRect(14, 6, 3, 19);
    painter.setBrush(QColor::fromRgb(kIconLightGrey));
    const int knob_top = on ? 3 : 19;
    painter.drawRect(12, on ? 8 : 15, 7, 8);
    painter.setBrush(QColor::fromRgb(kIconWhite));
    painter.drawEllipse(10, knob_top, 11, 9);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(on ? kIconGreen : kIconRed));
    painter.drawRect(26, on ? 2 : 24, 5, 6);
    return image;
}

// A round LED in a dark bezel; the lit one carries a highlight.
QImage WorkbenchPictures::draw_led(bool lit) {
    QImage image = blank_icon();
    QPainter painter(&image);
    painter.setPen(QColor::fromRgb(kIconBlack));
    painter.setBrush(QColor::fromRgb(kIconDarkGrey));
    painter.drawEllipse(2, 2, 27, 27);
    painter.setBrush(QColor::fromRgb(lit ? kSegmentLit : kLedUnlit));
    painter.drawEllipse(6, 6, 19, 19);
    if (lit) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor::fromRgb(kIconWhite));
        painter.drawRect(10, 10, 3, 3);
    }
    return image;
}

WorkbenchPictures::WorkbenchPictures() {
    for (std::size_t p = 0; p < m_segments.size(); ++p) {
        m_segments[p] = QPixmap::fromImage(draw_segments(static_cast<uint8_t>(p)));
    }
    m_switch_off = QPixmap::fromImage(draw_switch(false));
    m_switch_on = QPixmap::fromImage(draw_switch(true));
    m_on_led = QPixmap::fromImage(draw_led(true));
    m_off_led = QPixmap::fromImage(draw_led(false));
}

const QPixmap& WorkbenchPictures::picture(int id) const {
    if (id >= kSegmentPictureBase && id < kSegmentPictureBase + kSegmentPatternCount) {
        return m_segments[static_cast<std::size_t>(id - kSegmentPictureBase)];
    }
    if (id == kSwitchOffIcon) {
        return m_switch_off;
    }
    if (id == kSwitchOnIcon) {
        return m_switch_on;
    }
    return m_segments[digit_picture_segments(id)];
}

} // namespace tallyrig

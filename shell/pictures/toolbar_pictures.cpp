#include "shell/pictures/toolbar_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace tallyrig {

namespace {

const QColor kInk(0x30, 0x36, 0x40);
const QColor kPaper(0xFB, 0xFB, 0xF7);
const QColor kChip(0x3A, 0x40, 0x4A);
const QColor kPin(0xC8, 0xA0, 0x40);
const QColor kAccent(0x2B, 0x6C, 0xC4);
const QColor kWarm(0xD9, 0x4A, 0x38);
const QColor kGreen(0x3C, 0x9A, 0x4E);
const QColor kDisplay(0x9C, 0xD8, 0x8C);

void draw_memory(QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(kPin);
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(4, 6.5 + i * 4.5, 4, 2));
        p.drawRect(QRectF(24, 6.5 + i * 4.5, 4, 2));
    }
    p.setBrush(kChip);
    p.drawRoundedRect(QRectF(8, 4, 16, 25), 2, 2);
    p.setBrush(QColor(0x70, 0x78, 0x84));
    p.drawEllipse(QRectF(11, 6.5, 3, 3));
    p.setPen(QPen(kPaper, 1.2));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(12, 14 + i * 3.5), QPointF(20, 14 + i * 3.5));
    }
}

void draw_registers(QPainter& p) {
    const std::array<QColor, 3> fills = {kAccent, kGreen, kWarm};
    for (int i = 0; i < 3; ++i) {
        const QRectF box(4, 4 + i * 9, 24, 7);
        p.setPen(QPen(kInk, 1));
        p.setBrush(kPaper);
        p.drawRect(box);
        p.setPen(Qt::NoPen);
        p.setBrush(fills[static_cast<std::size_t>(i)]);
        for (int cell = 0; cell < 4; ++cell) {
            if ((cell + i) % 3 != 0) {
                p.drawRect(QRectF(6 + cell * 5.5, 6 + i * 9, 4, 3));
            }
        }
    }
}

void arrow(QPainter& p, qreal y, qreal from, qreal to, const QColor& colour) {
    p.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(from, y), QPointF(to, y));
    const qreal head = to > from ? -6 : 6;
    QPainterPath tip;
    tip.moveTo(to + (to > from ? 2 : -2), y);
    tip.lineTo(to + head, y - 5);
    tip.lineTo(to + head, y + 5);
    tip.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(tip);
}

void draw_ports(QPainter& p) {
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kChip);
    p.drawRect(QRectF(13, 3, 6, 26));
    arrow(p, 10, 2, 11, kGreen);
    arrow(p, 22, 21, 29, kWarm);
}

void page(QPainter& p, const QRectF& sheet) {
    QPainterPath path;
    path.moveTo(sheet.topLeft());
    path.lineTo(sheet.right() - 6, sheet.top());
    path.lineTo(sheet.right(), sheet.top() + 6);
    path.lineTo(sheet.bottomRight());
    path.lineTo(sheet.bottomLeft());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(path);
}

void draw_messages(QPainter& p) {
    page(p, QRectF(5, 2.5, 22, 27));
    const std::array<QColor, 5> lines = {kWarm, kInk, kAccent, kAccent, kGreen};
    for (int i = 0; i < 5; ++i) {
        p.setPen(QPen(lines[static_cast<std::size_t>(i)], 2, Qt::SolidLine, Qt::FlatCap));
        const qreal indent = i == 0 ? 0 : 3;
        p.drawLine(QPointF(9 + indent, 10 + i * 4), QPointF(i % 2 == 0 ? 23 : 20, 10 + i * 4));
    }
}

void draw_assembler(QPainter& p) {
    page(p, QRectF(4, 2.5, 20, 27));
    p.setPen(QPen(kAccent, 1.8, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(8, 11 + i * 4.5), QPointF(i % 2 == 0 ? 14 : 12, 11 + i * 4.5));
    }
    p.setPen(QPen(kInk, 1.8, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(15.5, 11 + i * 4.5), QPointF(20, 11 + i * 4.5));
    }
    // A pen across the corner: the page is being written.
    p.save();
    p.translate(25, 20);
    p.rotate(40);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(0xF0, 0xC0, 0x40));
    p.drawRect(QRectF(-2.5, -11, 5, 16));
    p.setBrush(kInk);
    QPainterPath nib;
    nib.moveTo(-2.5, 5);
    nib.lineTo(2.5, 5);
    nib.lineTo(0, 10);
    nib.closeSubpath();
    p.drawPath(nib);
    p.restore();
}

void draw_interrupt(QPainter& p) {
    QPainterPath bolt;
    bolt.moveTo(19, 1.5);
    bolt.lineTo(6, 18);
    bolt.lineTo(15, 18);
    bolt.lineTo(11, 30.5);
    bolt.lineTo(26, 12);
    bolt.lineTo(17, 12);
    bolt.closeSubpath();
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0xFF, 0xC8, 0x20));
    p.drawPath(bolt);
}

void draw_notepad(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(0xFF, 0xF4, 0xB0));
    p.drawRect(QRectF(6, 5, 20, 24));
    p.setPen(QPen(QColor(0x90, 0xA8, 0xC8), 1));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(9, 13 + i * 4), QPointF(23, 13 + i * 4));
    }
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 4; ++i) {
        p.drawEllipse(QRectF(8.5 + i * 4.5, 2.5, 3, 5));
    }
}

void draw_web(QPainter& p) {
    const QRectF globe(3.5, 3.5, 25, 25);
    p.setPen(QPen(QColor(0x1E, 0x50, 0x90), 1.4));
    p.setBrush(QColor(0x7C, 0xB8, 0xEC));
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(10, 3.5, 12, 25));
    p.drawLine(QPointF(16, 3.5), QPointF(16, 28.5));
    p.drawLine(QPointF(3.5, 16), QPointF(28.5, 16));
    p.drawLine(QPointF(6, 9.5), QPointF(26, 9.5));
    p.drawLine(QPointF(6, 22.5), QPointF(26, 22.5));
}

// The message window's toolbar: print, clear and find the log.
void draw_print(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 3, 14, 10));
    p.setBrush(QColor(0x8A, 0x92, 0xA0));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(9, 20, 14, 9));
    p.setPen(QPen(kAccent, 1.2));
    p.drawLine(QPointF(11, 23.5), QPointF(21, 23.5));
    p.drawLine(QPointF(11, 26.5), QPointF(18, 26.5));
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawEllipse(QPointF(25, 16), 1.4, 1.4);
}

void draw_clear(QPainter& p) {
    page(p, QRectF(5, 2.5, 22, 27));
    p.setPen(QPen(kAccent, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (int i = 0; i < 4; ++i) {
        p.drawLine(QPointF(9, 10 + i * 5), QPointF(22, 10 + i * 5));
    }
    p.setPen(QPen(kWarm, 3.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(24, 26));
    p.drawLine(QPointF(24, 8), QPointF(8, 26));
}

void draw_find(QPainter& p) {
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x20), 4.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.6, 19.6), QPointF(28, 28));
    p.setPen(QPen(kInk, 2.6));
    p.setBrush(QColor(0xC8, 0xE4, 0xFF));
    p.drawEllipse(QPointF(13, 13), 9, 9);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7.6, 7.6, 10.8, 10.8), 100 * 16, 70 * 16);
}

constexpr std::array<KeyedPicture, 11> kPictures = {{
    {"Mem", draw_memory},
    {"Reg", draw_registers},
    {"IOPort", draw_ports},
    {"Message", draw_messages},
    {"Assembler", draw_assembler},
    {"Interrupt", draw_interrupt},
    {"Notepad", draw_notepad},
    {"WEB", draw_web},
    {"Print", draw_print},
    {"Clear", draw_clear},
    {"Find", draw_find},
}};

void draw_program_icon(QPainter& p) {
    QFont digits = p.font();
    digits.setPixelSize(9);
    digits.setBold(true);
    p.setFont(digits);
    p.setPen(QPen(QColor(0x20, 0x24, 0x2C), 1));
    p.setBrush(QColor(0x4A, 0x52, 0x60));
    p.drawRoundedRect(QRectF(3.5, 1.5, 25, 29), 3.5, 3.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kDisplay);
    p.drawRect(QRectF(6.5, 4.5, 19, 7));
    p.setPen(QPen(QColor(0x20, 0x40, 0x20), 1.2));
    p.drawText(QRectF(6.5, 3.5, 19, 9), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("8"));
    p.setPen(Qt::NoPen);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const bool function = column == 3;
            p.setBrush(function ? kWarm : kPaper);
            p.drawRoundedRect(QRectF(6.5 + column * 5, 14 + row * 4, 4, 3), 0.8, 0.8);
        }
    }
}

} // namespace

QIcon toolbar_picture(const QString& key) {
    return keyed_picture(kPictures, key);
}

QIcon program_icon() {
    return drawn_icon(draw_program_icon);
}

} // namespace tallyrig

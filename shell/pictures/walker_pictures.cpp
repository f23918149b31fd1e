#include "shell/pictures/walker_pictures.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <array>
#include <cmath>

namespace tallyrig {

namespace {

// A memory chip: a body with four pins on each long side, and a notch.
void draw_chip(QPainter& p, const QColor& body) {
    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (int pin = 0; pin < 4; ++pin) {
        const double y = 4.5 + pin * 3.5;
        p.drawLine(QPointF(2, y), QPointF(5, y));
        p.drawLine(QPointF(15, y), QPointF(18, y));
    }
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(5, 2.5, 10, 15), 1.5, 1.5);
    p.setBrush(body.darker(160));
    p.drawEllipse(QPointF(10, 2.5), 1.6, 1.6);
}

// A port: a box with an arrow going into it (input) or coming out of it (output).
void draw_port(QPainter& p, bool into, const QColor& colour) {
    p.setPen(QPen(QColor(70, 70, 70), 1.2));
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(into ? 12.5 : 1.5, 3.5, 6, 13));
    const double tail = into ? 1.5 : 8.0;
    const double tip = tail + 10.5;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(QPolygonF() << QPointF(tail, 8.5) << QPointF(tip - 4.5, 8.5)
                              << QPointF(tip - 4.5, 5) << QPointF(tip, 10) << QPointF(tip - 4.5, 15)
                              << QPointF(tip - 4.5, 11.5) << QPointF(tail, 11.5));
}

void draw_break(QPainter& p) {
    QPolygonF octagon;
    for (int corner = 0; corner < 8; ++corner) {
        const double angle = (22.5 + 45.0 * corner) * M_PI / 180.0;
        octagon << QPointF(10 + 8.5 * std::cos(angle), 10 + 8.5 * std::sin(angle));
    }
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(QColor(210, 20, 20));
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 8.5, 10, 3));
}

void draw_find(QPainter& p) {
    p.setPen(QPen(QColor(60, 60, 60), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.5, 12.5), QPointF(18, 18));
    p.setPen(QPen(QColor(40, 40, 40), 1.6));
    p.setBrush(QColor(190, 225, 255));
    p.drawEllipse(QPointF(8.5, 8.5), 5.5, 5.5);
}

// Three plates and the pointer to the top of them.
void draw_stack(QPainter& p) {
    p.setPen(QPen(QColor(110, 70, 20), 1));
    p.setBrush(QColor(240, 180, 60));
    for (int plate = 0; plate < 3; ++plate) {
        p.drawRect(QRectF(7.5, 6.5 + plate * 4, 10, 3));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 160));
    p.drawPolygon(QPolygonF() << QPointF(1.5, 5) << QPointF(6.5, 8) << QPointF(1.5, 11));
}

// The current-instruction marker the grid shows, " >>".
void draw_program_counter(QPainter& p) {
    p.setPen(QPen(QColor(0, 90, 190), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (double x : {3.0, 10.0}) {
        p.drawPolyline(QPolygonF() << QPointF(x, 4) << QPointF(x + 6, 10) << QPointF(x, 16));
    }
}

void draw_ram(QPainter& p) {
    draw_chip(p, QColor(40, 150, 70));
}

void draw_rom(QPainter& p) {
    draw_chip(p, QColor(70, 90, 170));
}

void draw_input(QPainter& p) {
    draw_port(p, true, QColor(30, 140, 40));
}

void draw_output(QPainter& p) {
    draw_port(p, false, QColor(200, 80, 20));
}

struct Picture {
    const char* key;
    void (*paint)(QPainter&);
};

constexpr std::array<Picture, 8> kPictures = {{
    {"BREAK", draw_break},
    {"RAM", draw_ram},
    {"ROM", draw_rom},
    {"IN", draw_input},
    {"OUT", draw_output},
    {"FIND", draw_find},
    {"STACK", draw_stack},
    {"PROG", draw_program_counter},
}};

} // namespace

QIcon walker_picture(const QString& key) {
    for (const Picture& picture : kPictures) {
        if (key == QLatin1String(picture.key)) {
            QPixmap pixmap(kWalkerPictureSize, kWalkerPictureSize);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            picture.paint(painter);
            return QIcon(pixmap);
        }
    }
    return {};
}

} // namespace tallyrig

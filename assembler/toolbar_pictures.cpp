#include "assembler/toolbar_pictures.h"

#include "common/drawn_pictures.h"

#include <QPainter>
#include <QPolygonF>
#include <initializer_list>

namespace tallyrig {

namespace {

const QColor kInk(40, 40, 48);
const QColor kPaper(252, 252, 248);
const QColor kFold(210, 210, 200);
const QColor kCodeBlue(40, 90, 200);
const QColor kCodeGreen(30, 140, 60);
const QColor kFolderBack(214, 160, 40);
const QColor kFolderFront(246, 200, 80);
const QColor kDiskBody(50, 90, 160);
const QColor kDiskLabel(236, 236, 236);
const QColor kMetal(170, 176, 186);
const QColor kPrinterBody(150, 154, 162);
const QColor kGear(90, 100, 116);
const QColor kSpark(230, 120, 20);

// A closed outline through the corners, filled and edged in ink.
void shape(QPainter& p, const QColor& fill, std::initializer_list<QPointF> corners) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawPolygon(QPolygonF(QList<QPointF>(corners)));
}

// A sheet with its top right corner folded over; the area inside the page for contents.
QRectF page(QPainter& p) {
    shape(p, kPaper, {{6.5, 2.5}, {19.5, 2.5}, {26.5, 9.5}, {26.5, 29.5}, {6.5, 29.5}});
    shape(p, kFold, {{19.5, 2.5}, {19.5, 9.5}, {26.5, 9.5}});
    return {9, 12, 15, 15};
}

void text_lines(QPainter& p, const QRectF& area, const QColor& first, const QColor& rest) {
    const qreal widths[] = {0.8, 0.55, 0.9, 0.65, 0.75};
    qreal y = area.top() + 0.5;
    for (int i = 0; i < 5 && y < area.bottom(); ++i, y += 3) {
        p.setPen(QPen(i % 2 == 0 ? first : rest, 1.4));
        p.drawLine(QPointF(area.left(), y), QPointF(area.left() + area.width() * widths[i], y));
    }
}

void draw_new(QPainter& p) {
    page(p);
    // A spark: the page is new.
    p.setPen(QPen(kSpark, 1.6));
    const QPointF centre(24, 25);
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(45.0 * i);
        p.drawLine(QPointF(-4, 0), QPointF(4, 0));
        p.restore();
    }
}

void draw_open(QPainter& p) {
    shape(p, kFolderBack,
          {{2.5, 8.5}, {11.5, 8.5}, {14.5, 11.5}, {26.5, 11.5}, {26.5, 27.5}, {2.5, 27.5}});
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 6.5, 16, 12));
    shape(p, kFolderFront, {{2.5, 27.5}, {7.5, 15.5}, {30.5, 15.5}, {26.5, 27.5}});
}

void draw_save(QPainter& p) {
    shape(p, kDiskBody, {{3.5, 3.5}, {25.5, 3.5}, {28.5, 6.5}, {28.5, 28.5}, {3.5, 28.5}});
    p.setBrush(kMetal);
    p.drawRect(QRectF(9.5, 3.5, 13, 8));
    p.setBrush(kDiskBody);
    p.drawRect(QRectF(17.5, 5.5, 3, 4));
    p.setBrush(kDiskLabel);
    p.drawRect(QRectF(7.5, 16.5, 17, 12));
    text_lines(p, QRectF(10, 19.5, 11, 8), kInk, kInk);
}

void draw_assemble(QPainter& p) {
    // A page of source turning into a gear of machine code.
    const QRectF area = page(p);
    text_lines(p, QRectF(area.left(), 12, 8, 12), kCodeBlue, kCodeGreen);
    const QPointF centre(22, 22);
    p.setPen(QPen(kInk, 1));
    p.setBrush(kGear);
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(centre);
        p.rotate(45.0 * i);
        p.drawRect(QRectF(-1.8, -9.5, 3.6, 4));
        p.restore();
    }
    p.drawEllipse(centre, 7, 7);
    p.setBrush(kPaper);
    p.drawEllipse(centre, 2.5, 2.5);
}

void draw_print(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(8.5, 2.5, 15, 11));
    p.setBrush(kPrinterBody);
    p.drawRoundedRect(QRectF(2.5, 12.5, 27, 11), 2, 2);
    p.setBrush(kSpark);
    p.drawEllipse(QPointF(25.5, 16), 1.2, 1.2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7.5, 19.5, 17, 10));
    text_lines(p, QRectF(10, 22.5, 12, 6), kInk, kInk);
}

void draw_source(QPainter& p) {
    text_lines(p, page(p), kCodeBlue, kCodeGreen);
}

void draw_list(QPainter& p) {
    // Addresses on the left, the listed lines beside them.
    const QRectF area = page(p);
    for (qreal y = area.top() + 0.5; y < area.bottom(); y += 3) {
        p.setPen(QPen(kSpark, 1.4));
        p.drawLine(QPointF(area.left(), y), QPointF(area.left() + 3.5, y));
        p.setPen(QPen(kInk, 1.4));
        p.drawLine(QPointF(area.left() + 5.5, y), QPointF(area.right(), y));
    }
}

constexpr KeyedPicture kPictures[] = {
    {"New", draw_new},           {"Open", draw_open},   {"Save", draw_save},
    {"Assemble", draw_assemble}, {"Print", draw_print}, {"Source", draw_source},
    {"List", draw_list},
};

} // namespace

QIcon editor_picture(const QString& key) {
    return keyed_picture(kPictures, key);
}

QIcon editor_icon() {
    return drawn_icon(draw_source);
}

} // namespace tallyrig

#include "panel/devices/picture_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace tallyrig {

PictureBox::PictureBox(const QString& name, const QRect& place, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setGeometry(place);
}

void PictureBox::set_back_colour(const QColor& colour) {
    m_back_colour = colour;
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    m_paint_pending = false;
    QPainter painter(this);
    if (m_back_colour.isValid()) {
        painter.fillRect(rect(), m_back_colour);
    }
    if (m_picture != nullptr) {
        painter.drawPixmap(0, 0, *m_picture);
    }
}

// A hidden box gets no paint for its pending change; being shown paints it whole anyway.
void PictureBox::hideEvent(QHideEvent* event) {
    m_paint_pending = false;
    QWidget::hideEvent(event);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
    }
    event->accept();
}

// A click is a left press and release on the box. The second press of a double click counts
// too: two quick clicks flip a switch twice. The event is taken here, so nothing hands it on
// to the window, which may be gone once the click has been handled.
void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
    }
    event->accept();
    if (click) {
        emit clicked();
    }
}

} // namespace tallyrig

#include "panel/devices/picture_box.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace tallyrig {

namespace {

class AccessiblePictureBox : public QAccessibleWidget {
public:
    explicit AccessiblePictureBox(PictureBox* box) : QAccessibleWidget(box, QAccessible::Button) {}

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            static_cast<PictureBox*>(widget())->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }
};

// Only boxes that answer the keyboard are buttons; the others stay plain pictures.
QAccessibleInterface* accessible_picture_box(const QString&, QObject* object) {
    auto* box = qobject_cast<PictureBox*>(object);
    if (box == nullptr || (box->focusPolicy() & Qt::TabFocus) == 0) {
        return nullptr;
    }
    return new AccessiblePictureBox(box);
}

} // namespace

PictureBox::PictureBox(const QString& name, const QRect& place, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    setGeometry(place);
}

void PictureBox::set_back_colour(const QColor& colour) {
    m_back_colour = colour;
    update();
}

void PictureBox::answer_keyboard(const QString& accessible_name) {
    // Qt keeps one copy of a factory however often it is installed.
    QAccessible::installFactory(accessible_picture_box);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(accessible_name);
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
    // Qt updates a box as it gains or loses the focus, so the frame comes and goes with it.
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
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

// Taken here for the same reason as a click; a held key does not repeat the click.
void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((focusPolicy() & Qt::TabFocus) == 0 ||
        (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat()) {
        emit clicked();
    }
}

} // namespace tallyrig

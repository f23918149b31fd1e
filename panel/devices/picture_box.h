// A picture box: shows one ready-made picture at its top-left corner on its back colour, and
// reports left-button clicks. A running program may set a picture on every instruction, so a
// change only marks the box once until Qt paints it at the next pass of the event loop, and
// setting the picture it already shows costs a comparison.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace tallyrig {

class PictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PictureBox(const QString& name, const QRect& place, QWidget* parent);

    // The picture must outlive the box (the workbench's pictures live as long as the program).
    void set_picture(const QPixmap& picture) {
        if (&picture == m_picture) {
            return;
        }
        m_picture = &picture;
        if (!m_paint_pending && isVisible()) {
            m_paint_pending = true;
            update();
        }
    }
    const QPixmap* picture() const { return m_picture; }

    // No back colour leaves the parent's background showing.
    void set_back_colour(const QColor& colour);

    // A box that acts on clicks answers the keyboard too: Tab reaches it, Space or Enter clicks
    // it, and assistive technology sees a button of that name with a press action.
    void answer_keyboard(const QString& accessible_name);

    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const QPixmap* m_picture = nullptr;
    QColor m_back_colour;
    bool m_paint_pending = false;
    bool m_pressed = false;
};

} // namespace tallyrig

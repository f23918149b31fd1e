#include "shell/splash_form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tallyrig {

namespace {

// A front-panel sketch: a display strip with six LEDs under it and a block of keys.
QPixmap splash_picture() {
    QPixmap picture(360, 200);
    picture.fill(QColor(40, 44, 52));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(20, 20, 320, 50, QColor(20, 60, 20));
    QFont font(QStringLiteral("Monospace"), 24, QFont::Bold);
    font.setStyleHint(QFont::TypeWriter);
    painter.setFont(font);
    painter.setPen(QColor(120, 255, 120));
    painter.drawText(QRect(20, 20, 320, 50), Qt::AlignCenter, QStringLiteral("TALLYRIG"));
    for (int led = 0; led < 6; ++led) {
        painter.setBrush(led % 2 == 0 ? QColor(255, 0, 0) : QColor(128, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPoint(45 + led * 54, 90), 7, 7);
    }
    painter.setBrush(QColor(200, 200, 200));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 10; ++column) {
            painter.drawRoundedRect(25 + column * 32, 110 + row * 28, 24, 20, 3, 3);
        }
    }
    return picture;
}

} // namespace

splash_form::splash_form(QWidget* parent) : QWidget(parent, Qt::SplashScreen) {
    setObjectName(QStringLiteral("splash_form"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(splash_picture());
    auto* label = new QLabel(QStringLiteral("Tallyrig: an 8-bit teaching computer"), this);
    label->setAlignment(Qt::AlignCenter);
    auto* button = new QPushButton(QStringLiteral("Starting..."), this);
    button->setFlat(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(label);
    layout->addWidget(button);

    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("Timer1"));
    timer->setInterval(kSplashTimerMilliseconds);
    connect(timer, &QTimer::timeout, this, &QWidget::close);
    timer->start();
}

void splash_form::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) {
        return;
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

} // namespace tallyrig

#include "shell/views/view_text.h"

#include <QFontDatabase>
#include <QMdiSubWindow>

namespace tallyrig {

QLabel* make_value_panel(const QString& object_name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(object_name);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setMinimumWidth(64);
    return label;
}

QWidget* workspace_frame(QWidget* window) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        return frame;
    }
    return window;
}

} // namespace tallyrig

// Small helpers the shell's views share.
#pragma once

#include <QLabel>
#include <QString>
#include <string>

namespace tallyrig {

// Setting a label's text schedules a repaint; skipping equal texts keeps refreshes cheap.
inline void set_label_text(QLabel* label, const QString& text) {
    if (label != nullptr && label->text() != text) {
        label->setText(text);
    }
}

inline QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

// The frame the main window's workspace puts around a window, or the window itself outside it.
QWidget* workspace_frame(QWidget* window);

// A value panel: sunken, centred, in a fixed-pitch font so the digits do not jump.
QLabel* make_value_panel(const QString& object_name, QWidget* parent);

} // namespace tallyrig

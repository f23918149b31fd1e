// A tool window that closes itself closes its frame in the workspace, so the frame does not
// stay behind empty; a window without a frame just closes.
#pragma once

#include <QMdiSubWindow>
#include <QWidget>

namespace tallyrig {

inline void close_window(QWidget* window) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        frame->close();
    } else {
        window->close();
    }
}

} // namespace tallyrig

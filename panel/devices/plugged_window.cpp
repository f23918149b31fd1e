#include "panel/devices/plugged_window.h"

#include <QCloseEvent>

namespace tallyrig {

PluggedWindow::PluggedWindow(std::initializer_list<DeviceRecord*> records, QWidget* parent)
    : QWidget(parent), m_records(records) {
    for (DeviceRecord* record : m_records) {
        record->installed = kPluggedIn;
    }
    m_loaded = true;
}

void PluggedWindow::closeEvent(QCloseEvent* event) {
    if (m_loaded) {
        m_loaded = false;
        for (DeviceRecord* record : m_records) {
            record->installed = 0;
        }
    }
    QWidget::closeEvent(event);
}

} // namespace tallyrig

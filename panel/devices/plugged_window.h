// A device window: while it is loaded its device records count as plugged in. Loading (the
// constructor) sets their installed flags in the given order and unloading (closing) clears
// them; a second close of a window already unloaded changes nothing.
#pragma once

#include "panel/devices/device_tables.h"

#include <QWidget>
#include <initializer_list>
#include <vector>

namespace tallyrig {

class PluggedWindow : public QWidget {
public:
    bool loaded() const { return m_loaded; }

protected:
    PluggedWindow(std::initializer_list<DeviceRecord*> records, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<DeviceRecord*> m_records;
    bool m_loaded = false;
};

} // namespace tallyrig

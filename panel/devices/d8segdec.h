// A window for the dual 7-segment display alone. Its only behaviour is plugging in output record 3
// while it is loaded; nothing in the program opens it.
#pragma once

#include "panel/devices/plugged_window.h"

namespace tallyrig {

class d8segdec : public PluggedWindow {
public:
    explicit d8segdec(DeviceTables& devices, QWidget* parent = nullptr)
        : PluggedWindow({&devices.output(kDualSevenSegDevice)}, parent) {
        setObjectName(QStringLiteral("d8segdec"));
        setWindowTitle(QStringLiteral("d8segdec"));
    }
};

} // namespace tallyrig

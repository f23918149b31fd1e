// A window for the unencoded 7-segment display alone. Its only behaviour is plugging in output
// record 1 while it is loaded; nothing in the program opens it.
#pragma once

#include "panel/devices/plugged_window.h"

namespace tallyrig {

class seg7 : public PluggedWindow {
public:
    explicit seg7(DeviceTables& devices, QWidget* parent = nullptr)
        : PluggedWindow({&devices.output(kSevenSegUnencodedDevice)}, parent) {
        setObjectName(QStringLiteral("seg7"));
        setWindowTitle(QStringLiteral("seg7"));
    }
};

} // namespace tallyrig

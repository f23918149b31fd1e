// A window for the decoded 7-segment display alone. Its only behaviour is plugging in output record
// 2 while it is loaded; nothing in the program opens it.
#pragma once

#include "panel/devices/plugged_window.h"

namespace tallyrig {

class seg7dec : public PluggedWindow {
public:
    explicit seg7dec(DeviceTables& devices, QWidget* parent = nullptr)
        : PluggedWindow({&devices.output(kSevenSegDecodedDevice)}, parent) {
        setObjectName(QStringLiteral("seg7dec"));
        setWindowTitle(QStringLiteral("seg7dec"));
    }
};

} // namespace tallyrig

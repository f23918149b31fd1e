#include "panel/devices/device_tables.h"

#include "core/machine.h"
#include "core/text_helpers.h"

namespace tallyrig {

DeviceTables::DeviceTables() {
    const auto fixed = [this](int n, int32_t port, const char* name) {
        output_devices[static_cast<std::size_t>(n)].port = port;
        output_devices[static_cast<std::size_t>(n)].name = name;
    };
    fixed(kLed8BitDevice, kLed8BitPort, "8-Bit LED Display");
    fixed(kSevenSegUnencodedDevice, kSevenSegUnencodedPort, "7-Segment Unencoded");
    fixed(kSevenSegDecodedDevice, kSevenSegDecodedPort, "7-Segment Decoded");
    fixed(kDualSevenSegDevice, kDualSevenSegPort, "Dual 7-Segment Decoded");
}

void report_absent_output_device(const DeviceRecord& record, Machine& machine) {
    machine.fall_into_step();
    const std::string text = "You are trying to write to the " + record.name + " at port $" +
                             hex_text(record.port) +
                             " The device is not plugged in. I am going to put you into STEP "
                             "mode for your own protection";
    machine.ui().message_box(text, "Output Device Error", MessageIcon::Information,
                             MessageButtons::Ok);
}

} // namespace tallyrig

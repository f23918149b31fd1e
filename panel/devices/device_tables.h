// Which device is plugged into which port. A device window marks its records while it is loaded;
// the four workbench display drivers look at their record before they draw.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tallyrig {

class Machine;

struct DeviceRecord {
    int32_t port = 0;
    std::string name;
    std::string spare_text;
    int16_t installed = 0;
};

// Record n describes port n of its bank; record 32 belongs to no port.
inline constexpr std::size_t kDeviceRecordCount = 33;

// Output records with a fixed name and port.
inline constexpr int kLed8BitDevice = 0;
inline constexpr int kSevenSegUnencodedDevice = 1;
inline constexpr int kSevenSegDecodedDevice = 2;
inline constexpr int kDualSevenSegDevice = 3;
inline constexpr int kTerminalDevice = 8;
// Input records.
inline constexpr int kSwitchBank1Device = 0;
inline constexpr int kSwitchBank2Device = 1;
inline constexpr int kKeyboardDevice = 8;

inline constexpr int16_t kPluggedIn = 1;

struct DeviceTables {
    DeviceTables();

    std::array<DeviceRecord, kDeviceRecordCount> output_devices;
    std::array<DeviceRecord, kDeviceRecordCount> input_devices;

    DeviceRecord& output(int n) { return output_devices[static_cast<std::size_t>(n)]; }
    DeviceRecord& input(int n) { return input_devices[static_cast<std::size_t>(n)]; }
};

// The absent-device half of check_output_device: STEP, then the "Output Device Error" box.
void report_absent_output_device(const DeviceRecord& record, Machine& machine);

// True when output record n's device is plugged in. Otherwise switches the machine to STEP,
// tells the user in an "Output Device Error" box and returns false: the driver draws nothing.
// A running program may write a display on every instruction, so the plugged-in case is
// inline.
inline bool check_output_device(const DeviceTables& devices, int n, Machine& machine) {
    const DeviceRecord& record = devices.output_devices[static_cast<std::size_t>(n)];
    if (record.installed == kPluggedIn) [[likely]] {
        return true;
    }
    report_absent_output_device(record, machine);
    return false;
}

} // namespace tallyrig

// The workbench's devices: the states of the sixteen switches (they live as long as the
// program, whatever the window does), the drivers of the four display ports, reset_workbench
// and the switch routines. The window Workbench_1 shows them while it is open; with it closed
// the drivers report the missing device and the switch states stay as they are.
#pragma once

#include "panel/devices/device_tables.h"

#include <QPointer>
#include <array>
#include <cstdint>
#include <memory>

namespace tallyrig {

class Machine;
class Workbench_1;
class WorkbenchPictures;

inline constexpr int kSwitchesPerBank = 8;
// Entries 0..8; entry 8 belongs to no switch and stays 0.
inline constexpr std::size_t kSwitchStateCount = kSwitchesPerBank + 1;
using SwitchStates = std::array<int16_t, kSwitchStateCount>;

// The lower bank (switch_1_bit0..7) feeds input port 0xF001, the upper bank (switch_2_bit0..7)
// input port 0xF000.
enum class SwitchBank { Lower, Upper };

class WorkbenchDevices {
public:
    WorkbenchDevices(Machine& machine, DeviceTables& devices);
    ~WorkbenchDevices();
    WorkbenchDevices(const WorkbenchDevices&) = delete;
    WorkbenchDevices& operator=(const WorkbenchDevices&) = delete;

    SwitchStates switch_1_states{}; // lower bank, 1 on
    SwitchStates switch_2_states{}; // upper bank, 1 on

    // Drivers of output ports 0xF020 to 0xF023, given the value just stored in the port.
    void write_8bit_led_display(int16_t value);
    void write_7seg_unencoded(int16_t value);
    void write_7seg_decoded(int16_t value);
    void Led1_Device_Driver(int16_t value);

    // While the workbench is plugged in: every display dark, every switch off and its state
    // 0, both switch ports 0. Otherwise nothing.
    void reset_workbench();

    // A click on a switch: its bank's toggle, then its bank's port writer.
    void switch_click(SwitchBank bank, int bit);
    void toggle_switch_1(int bit);
    void toggle_switch_2(int bit);
    void write_data_to_portA(); // upper bank into 0xF000
    void write_data_to_portB(); // lower bank into 0xF001

    // Creates the window unless it is open, and returns it; the caller places it.
    Workbench_1* open_window();
    // The open window; null while it is closed.
    Workbench_1* window() const;

    DeviceTables& tables() { return m_devices; }
    // Drawn when the window first opens, kept until the program ends.
    const WorkbenchPictures& pictures();

private:
    SwitchStates& states_of(SwitchBank bank);
    void toggle(SwitchBank bank, int bit);
    void write_port(SwitchBank bank);

    Machine& m_machine;
    DeviceTables& m_devices;
    std::unique_ptr<WorkbenchPictures> m_pictures;
    QPointer<Workbench_1> m_window;
};

} // namespace tallyrig

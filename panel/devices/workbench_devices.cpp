#include "panel/devices/workbench_devices.h"

#include "core/machine.h"
#include "panel/calculator.h"
#include "panel/devices/workbench_1.h"
#include "panel/devices/workbench_pictures.h"

namespace tallyrig {

namespace {

int32_t port_of(SwitchBank bank) {
    return bank == SwitchBank::Upper ? kSwitchPanel2Port : kSwitchPanel1Port;
}

} // namespace

WorkbenchDevices::WorkbenchDevices(Machine& machine, DeviceTables& devices)
    : m_machine(machine), m_devices(devices) {}

WorkbenchDevices::~WorkbenchDevices() = default;

const WorkbenchPictures& WorkbenchDevices::pictures() {
    if (!m_pictures) {
        m_pictures = std::make_unique<WorkbenchPictures>();
    }
    return *m_pictures;
}

Workbench_1* WorkbenchDevices::open_window() {
    if (Workbench_1* open = window()) {
        return open;
    }
    m_window = new Workbench_1(*this);
    return m_window;
}

// A closed window may wait a while for its deletion; it no longer counts.
Workbench_1* WorkbenchDevices::window() const {
    return m_window != nullptr && m_window->loaded() ? m_window.data() : nullptr;
}

// ---- Drivers --------------------------------------------------------------------------------

void WorkbenchDevices::write_8bit_led_display(int16_t value) {
    if (!check_output_device(m_devices, kLed8BitDevice, m_machine)) {
        return;
    }
    if (Workbench_1* w = window()) {
        for (int k = 0; k < kSwitchesPerBank; ++k) {
            w->picture2(k)->set_picture((value >> k) & 1 ? m_pictures->on_led()
                                                         : m_pictures->off_led());
        }
    }
}

void WorkbenchDevices::write_7seg_unencoded(int16_t value) {
    if (!check_output_device(m_devices, kSevenSegUnencodedDevice, m_machine)) {
        return;
    }
    if (Workbench_1* w = window()) {
        w->No_decode()->set_picture(m_pictures->picture(kSegmentPictureBase + (value & 127)));
    }
}

void WorkbenchDevices::write_7seg_decoded(int16_t value) {
    if (!check_output_device(m_devices, kSevenSegDecodedDevice, m_machine)) {
        return;
    }
    if (Workbench_1* w = window()) {
        w->Decode()->set_picture(m_pictures->picture(digit_picture_id(value & 15)));
    }
}

void WorkbenchDevices::Led1_Device_Driver(int16_t value) {
    if (!check_output_device(m_devices, kDualSevenSegDevice, m_machine)) {
        return;
    }
    Workbench_1* w = window();
    if (w == nullptr) {
        return;
    }
    if (value > 255) {
        w->Dual_1()->set_picture(m_pictures->picture(kDigitBlankPicture));
        w->Dual_2()->set_picture(m_pictures->picture(kDigitBlankPicture));
        return;
    }
    w->Dual_1()->set_picture(m_pictures->picture(digit_picture_id((value / 16) & 15)));
    w->Dual_2()->set_picture(m_pictures->picture(digit_picture_id(value & 15)));
}

void WorkbenchDevices::reset_workbench() {
    // The workbench plugs in its records together, so this one stands for the window.
    if (m_devices.output(kSevenSegDecodedDevice).installed != kPluggedIn) {
        return;
    }
    if (Workbench_1* w = window()) {
        const QPixmap& dark = m_pictures->picture(kDigitBlankPicture);
        for (PictureBox* display : {w->No_decode(), w->Decode(), w->Dual_1(), w->Dual_2()}) {
            display->set_picture(dark);
        }
        for (int k = 0; k < kSwitchesPerBank; ++k) {
            w->picture2(k)->set_picture(m_pictures->off_led());
        }
        for (const SwitchBank bank : {SwitchBank::Lower, SwitchBank::Upper}) {
            for (int bit = 0; bit < kSwitchesPerBank; ++bit) {
                w->switch_control(bank, bit)->set_picture(m_pictures->picture(kSwitchOffIcon));
            }
        }
    }
    for (const SwitchBank bank : {SwitchBank::Upper, SwitchBank::Lower}) {
        m_machine.set_switch_port(port_of(bank), 0);
    }
    for (int k = 0; k < kSwitchesPerBank; ++k) {
        switch_1_states[static_cast<std::size_t>(k)] = 0;
        switch_2_states[static_cast<std::size_t>(k)] = 0;
    }
}

// ---- Switch panels --------------------------------------------------------------------------

SwitchStates& WorkbenchDevices::states_of(SwitchBank bank) {
    return bank == SwitchBank::Upper ? switch_2_states : switch_1_states;
}

void WorkbenchDevices::switch_click(SwitchBank bank, int bit) {
    toggle(bank, bit);
    write_port(bank);
}

void WorkbenchDevices::toggle_switch_1(int bit) {
    toggle(SwitchBank::Lower, bit);
}

void WorkbenchDevices::toggle_switch_2(int bit) {
    toggle(SwitchBank::Upper, bit);
}

void WorkbenchDevices::write_data_to_portA() {
    write_port(SwitchBank::Upper);
}

void WorkbenchDevices::write_data_to_portB() {
    write_port(SwitchBank::Lower);
}

// The state is read before the key sound's yield; a click handled in that yield does not
// change what this toggle stores.
void WorkbenchDevices::toggle(SwitchBank bank, int bit) {
    const auto entry = static_cast<std::size_t>(bit);
    const bool was_on = states_of(bank)[entry] == 1;
    key_sound(m_machine.ui());
    if (Workbench_1* w = window()) {
        w->switch_control(bank, bit)->set_picture(
            m_pictures->picture(was_on ? kSwitchOffIcon : kSwitchOnIcon));
    }
    states_of(bank)[entry] = was_on ? 0 : 1;
}

void WorkbenchDevices::write_port(SwitchBank bank) {
    const SwitchStates& states = states_of(bank);
    int32_t value = 0;
    for (int k = 0; k < kSwitchesPerBank; ++k) {
        if (states[static_cast<std::size_t>(k)] == 1) {
            value += 1 << k;
        }
    }
    m_machine.set_switch_port(port_of(bank), value);
    m_machine.ui().reset_memory_walker_column();
}

} // namespace tallyrig

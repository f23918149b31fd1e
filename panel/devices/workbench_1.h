// The workbench window: two banks of eight toggle switches feeding input ports 0xF000 and
// 0xF001, eight LEDs, an unencoded and a decoded 7-segment display and a dual 7-segment
// display. While it is loaded its six ports count as plugged in. The drivers and the switch
// routines live in WorkbenchDevices; the window holds the controls they draw into.
#pragma once

#include "panel/devices/picture_box.h"
#include "panel/devices/plugged_window.h"
#include "panel/devices/workbench_devices.h"

#include <array>

class QLabel;

namespace tallyrig {

inline constexpr int kWorkbenchLabelCount = 6;

class Workbench_1 : public PluggedWindow {
public:
    explicit Workbench_1(WorkbenchDevices& devices, QWidget* parent = nullptr);

    PictureBox* picture2(int k) const { return m_leds[static_cast<std::size_t>(k)]; }
    PictureBox* No_decode() const { return m_no_decode; }
    PictureBox* Decode() const { return m_decode; }
    PictureBox* Dual_1() const { return m_dual_1; }
    PictureBox* Dual_2() const { return m_dual_2; }
    PictureBox* on_led() const { return m_on_led; }
    PictureBox* off_led() const { return m_off_led; }
    // switch_1_bit<k> (lower bank) or switch_2_bit<k> (upper bank, bit 6 Switch_2_bit6).
    PictureBox* switch_control(SwitchBank bank, int bit) const;
    QLabel* Label1(int i) const { return m_labels[static_cast<std::size_t>(i)]; }

private:
    PictureBox* add_display(const char* name, int left, int width);

    std::array<PictureBox*, kSwitchesPerBank> m_lower_switches{};
    std::array<PictureBox*, kSwitchesPerBank> m_upper_switches{};
    std::array<PictureBox*, kSwitchesPerBank> m_leds{};
    std::array<QLabel*, kWorkbenchLabelCount> m_labels{};
    PictureBox* m_no_decode = nullptr;
    PictureBox* m_decode = nullptr;
    PictureBox* m_dual_1 = nullptr;
    PictureBox* m_dual_2 = nullptr;
    PictureBox* m_on_led = nullptr;
    PictureBox* m_off_led = nullptr;
};

} // namespace tallyrig

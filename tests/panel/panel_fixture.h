// A front panel on a test machine. The interface records what the machine says and, as the
// shell does, hands the display, LED and key-look calls on to the panel and the workbench
// drivers on to the workbench.
#pragma once

#include "panel/calculator.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"
#include "panel/devices/workbench_devices.h"
#include "tests/panel/screen_recorder.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_install.h"

#include <gtest/gtest.h>
#include <memory>

namespace tallyrig::testing {

class PanelUserInterface : public RecordingUserInterface {
public:
    Calculator* panel = nullptr;
    WorkbenchDevices* workbench = nullptr;

    void write_8bit_led_display(int16_t byte) override {
        RecordingUserInterface::write_8bit_led_display(byte);
        if (workbench) {
            workbench->write_8bit_led_display(byte);
        }
    }
    void write_7seg_unencoded(int16_t byte) override {
        RecordingUserInterface::write_7seg_unencoded(byte);
        if (workbench) {
            workbench->write_7seg_unencoded(byte);
        }
    }
    void write_7seg_decoded(int16_t byte) override {
        RecordingUserInterface::write_7seg_decoded(byte);
        if (workbench) {
            workbench->write_7seg_decoded(byte);
        }
    }
    void Led1_Device_Driver(int16_t byte) override {
        RecordingUserInterface::Led1_Device_Driver(byte);
        if (workbench) {
            workbench->Led1_Device_Driver(byte);
        }
    }

    void display_character(std::string_view text, int32_t byte) override {
        RecordingUserInterface::display_character(text, byte);
        if (panel) {
            panel->display_character(QString::fromUtf8(text.data(), text.size()), byte);
        }
    }
    void set_status_leds(int32_t byte) override {
        RecordingUserInterface::set_status_leds(byte);
        if (panel) {
            panel->set_status_leds(byte);
        }
    }
    void set_key_caption_colour(PanelKey key, uint32_t colour) override {
        RecordingUserInterface::set_key_caption_colour(key, colour);
        if (panel) {
            panel->set_key_caption_colour(key, colour);
        }
    }
    void set_key_enabled(PanelKey key, bool enabled) override {
        RecordingUserInterface::set_key_enabled(key, enabled);
        if (panel) {
            panel->set_key_enabled(key, enabled);
        }
    }
};

class PanelTest : public ::testing::Test, public BasicTestMachine<PanelUserInterface> {
protected:
    void SetUp() override {
        panel = std::make_unique<Calculator>(machine, buttons, root.folders, devices, terminal,
                                             workbench);
        ui.panel = panel.get();
        ui.workbench = &workbench;
    }
    void TearDown() override {
        ui.panel = nullptr;
        ui.workbench = nullptr;
    }

    void press(const char* command) { panel->command_pass(command); }

    TempInstall root{"Newbuttons.ini"};
    ButtonDefinitions buttons;
    DeviceTables devices;
    ScreenRecorder screen; // the terminal's window
    TextTerminal terminal{screen};
    WorkbenchDevices workbench{machine, devices};
    std::unique_ptr<Calculator> panel;
};

// Opcodes of the test programs: LDA #n, STA [nnnn], JMP [nnnn].
inline constexpr int32_t kLdaImmediate = 0x90;
inline constexpr int32_t kStaAbsolute = 0x99;
inline constexpr int32_t kJmpAbsolute = 0xC1;

// A panel whose programs run: user_yield stands for the user between instructions, and a
// runaway loop is switched off so that no test spins for ever.
class RunningPanelTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        ui.on_yield = [this] {
            if (user_yield) {
                user_yield();
            }
            if (ui.yields > 2'000'000) {
                machine.power_down();
            }
        };
    }

    std::function<void()> user_yield;
};

} // namespace tallyrig::testing

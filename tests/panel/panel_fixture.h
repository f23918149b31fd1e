// A front panel on a test machine. The interface records what the machine says and, as the
// shell does, hands the display, LED and key-look calls on to the panel.
#pragma once

#include "panel/calculator.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"
#include "tests/panel/screen_recorder.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_install.h"

#include <gtest/gtest.h>
#include <memory>

namespace tallyrig::testing {

class PanelUserInterface : public RecordingUserInterface {
public:
    Calculator* panel = nullptr;

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
        panel = std::make_unique<Calculator>(machine, buttons, root.folders, devices, terminal);
        ui.panel = panel.get();
    }
    void TearDown() override { ui.panel = nullptr; }

    void press(const char* command) { panel->command_pass(command); }

    TempInstall root{"Newbuttons.ini"};
    ButtonDefinitions buttons;
    DeviceTables devices;
    ScreenRecorder screen; // the terminal's window
    TextTerminal terminal{screen};
    std::unique_ptr<Calculator> panel;
};

} // namespace tallyrig::testing

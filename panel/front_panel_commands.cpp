// The front panel's command routine: every key acts through command_pass. What a key does to the
// machine is the machine's own operation; here the panel keeps its keys, LEDs and display in
// step around it.
#include "core/text_helpers.h"
#include "panel/calculator.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"
#include "panel/devices/workbench_devices.h"

namespace tallyrig {

void Calculator::command_pass(const QString& cmd) {
    if (cmd == "Power") {
        if (!m_machine.power_is_on()) {
            power_on_sequence();
        } else {
            power_off_sequence();
        }
        return;
    }
    if (cmd == "Reset") {
        reset_command();
        return;
    }
    if (cmd == "Step") {
        step_command();
        return;
    }
    if (cmd == "Run") {
        run_command();
        return;
    }
    bool number = false;
    const int n = cmd.toInt(&number);
    // Only the exact texts "1".."70" name a key.
    if (number && n >= 1 && n <= kProgrammableKeyCount && cmd == QString::number(n)) {
        programmable_key_command(n);
    }
}

void Calculator::power_on_sequence() {
    set_key_caption_colour(PanelKey::Power, kColourDarkGreen);
    m_power_switch_state = 1;
    leds_all_on();
    display_dashes();
    m_machine.power_up();
    m_workbench.reset_workbench();
    m_machine.ui().yield();
    set_key_caption_colour(PanelKey::Reset, kColourRed);
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    m_machine.settle_in_reset();
    if (terminal_attached()) {
        m_terminal.init_text_terminal();
    }
    m_machine.power_switched(m_power_switch_state == 1);
}

void Calculator::power_off_sequence() {
    if (terminal_attached()) {
        m_terminal.switch_off_screen();
        m_machine.press_keyboard_key(kNoKeyboardKey);
        m_machine.ui().yield();
    }
    leds_all_off();
    m_workbench.reset_workbench();
    for (PanelKey key : {PanelKey::Power, PanelKey::Reset, PanelKey::Step, PanelKey::Run}) {
        set_key_caption_colour(key, kColourBlack);
    }
    set_key_enabled(PanelKey::Reset, true);
    set_key_enabled(PanelKey::Run, true);
    set_key_enabled(PanelKey::Step, true);
    m_power_switch_state = 0;
    m_machine.power_down();
    display_blank();
    m_machine.forget_memory();
}

bool Calculator::terminal_attached() const {
    return m_devices.output_devices[kTerminalDevice].installed == kPluggedIn;
}

void Calculator::reset_command() {
    leds_all_off();
    key_sound();
    if (!m_machine.press_reset())
        return;
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    set_key_caption_colour(PanelKey::Reset, kColourRed);
    set_key_enabled(PanelKey::Run, true);
    set_key_enabled(PanelKey::Step, true);
}

// The walker and the keys show the new mode before the machine takes it: Step and Run return
// only when the run loop they enter has ended.
void Calculator::step_command() {
    key_sound();
    if (!m_machine.power_is_on())
        return;
    set_key_enabled(PanelKey::Step, true);
    set_key_enabled(PanelKey::Run, true);
    UserInterface& ui = m_machine.ui();
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourLightGrey);
        ui.set_walker_top_row(m_machine.cpu.program_counter);
    }
    ui.update_memory_walker(m_machine.cpu.program_counter, kWalkerRefreshRows);
    set_key_caption_colour(PanelKey::Reset, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourRed);
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_enabled(PanelKey::Reset, true);
    m_machine.press_step();
}

void Calculator::run_command() {
    key_sound();
    if (!m_machine.power_is_on())
        return;
    if (m_machine.walker_open()) {
        m_machine.ui().set_walker_back_colour(kColourLightGrey);
    }
    set_key_caption_colour(PanelKey::Reset, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    set_key_caption_colour(PanelKey::Run, kColourRed);
    set_key_enabled(PanelKey::Reset, true);
    set_key_enabled(PanelKey::Run, false);
    m_machine.press_run();
}

void Calculator::programmable_key_command(int n) {
    UserInterface& ui = m_machine.ui();
    if (!m_machine.power_is_on()) {
        ui.message_box("You need to load and run a program for the buttons to work",
                       "Tallyrig Error", MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    const ButtonDefinition& record = m_buttons.records[static_cast<std::size_t>(n)];
    m_machine.press_keypad_key(record.code);
    // Keys 1 to 10 leave the I/O port window as it is.
    if (n >= 11 && m_machine.windows.ioport_window_open == kTrue) {
        ui.set_io_button_annotation(trim_blanks(record.annotation));
        ui.set_io_button(Statemc_pad2_hex(hex_text(m_machine.memory_cells[kKeypadPort].value)));
    }
}

} // namespace tallyrig

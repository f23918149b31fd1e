// The front panel's command routine: every key acts through command_pass, which switches the
// machine on and off, sets its mode, enters the run loop and stores the programmable keys' codes.
#include "core/text_helpers.h"
#include "panel/calculator.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"
#include "panel/devices/workbench_devices.h"

namespace tallyrig {

void Calculator::command_pass(const QString& cmd) {
    if (cmd == "Power") {
        if (m_machine.status.power_on == 0) {
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
    UserInterface& ui = m_machine.ui();
    set_key_caption_colour(PanelKey::Power, kColourDarkGreen);
    m_power_switch_state = 1;
    leds_all_on();
    display_dashes();
    m_machine.clear_ram_and_ports();
    m_machine.reset_cpu();
    m_workbench.reset_workbench();
    ui.yield();
    set_key_caption_colour(PanelKey::Reset, kColourRed);
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    m_machine.status.machine_mode = MachineMode::Reset;
    m_machine.status.run_sub_state = RunSubState::AfterReset;
    ui.show_mode_status();
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourWhite);
        ui.update_memory_walker(kRamStart, kWalkerRefreshRows);
        ui.refresh_walker();
    }
    if (m_machine.windows.ioport_window_open == kTrue) {
        ui.update_ioport_display();
        ui.yield();
    }
    if (terminal_attached()) {
        m_terminal.init_text_terminal();
    }
    m_machine.status.power_on = m_power_switch_state;
}

void Calculator::power_off_sequence() {
    UserInterface& ui = m_machine.ui();
    if (terminal_attached()) {
        m_terminal.switch_off_screen();
        m_machine.memory_cells[kKeyboardPort].value = kNoKeyboardKey;
        ui.yield();
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
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourLightGrey);
    }
    m_machine.status.machine_mode = MachineMode::PowerOff;
    ui.show_mode_status();
    m_machine.status.power_on = 0;
    display_blank();
    m_machine.clear_memory();
    for (int32_t address = 0; address <= 0xFFFF; ++address) {
        m_machine.memory_cells[static_cast<std::size_t>(address)].breakpoint = 0;
        if (m_machine.walker_open()) {
            ui.set_walker_cell_text(address, WalkerColumn::Breakpoint, "");
        }
    }
    ui.yield();
    m_machine.status.power_on = 0;
}

bool Calculator::terminal_attached() const {
    return m_devices.output_devices[kTerminalDevice].installed == kPluggedIn;
}

void Calculator::reset_command() {
    UserInterface& ui = m_machine.ui();
    leds_all_off();
    key_sound();
    if (m_machine.status.power_on != 1)
        return;
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourWhite);
        ui.set_walker_top_row(kRamStart);
        ui.update_memory_walker(kRamStart, kWalkerScreenRefreshRows);
    }
    m_machine.status.machine_mode = MachineMode::Reset;
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    set_key_caption_colour(PanelKey::Reset, kColourRed);
    set_key_enabled(PanelKey::Run, true);
    set_key_enabled(PanelKey::Step, true);
    m_machine.memory_cells[kKeypadPort].value = kNoKeyWaiting;
}

void Calculator::step_command() {
    UserInterface& ui = m_machine.ui();
    key_sound();
    if (m_machine.status.power_on != 1)
        return;
    set_key_enabled(PanelKey::Step, true);
    set_key_enabled(PanelKey::Run, true);
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourLightGrey);
        ui.set_walker_top_row(m_machine.cpu.program_counter);
    }
    ui.update_memory_walker(m_machine.cpu.program_counter, kWalkerRefreshRows);
    set_key_caption_colour(PanelKey::Reset, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourRed);
    set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    set_key_enabled(PanelKey::Reset, true);
    enter_run_loop(MachineMode::Step);
}

void Calculator::run_command() {
    UserInterface& ui = m_machine.ui();
    key_sound();
    if (m_machine.status.power_on != 1)
        return;
    if (m_machine.walker_open()) {
        ui.set_walker_back_colour(kColourLightGrey);
    }
    set_key_caption_colour(PanelKey::Reset, kColourDarkRed);
    set_key_caption_colour(PanelKey::Step, kColourDarkRed);
    set_key_caption_colour(PanelKey::Run, kColourRed);
    set_key_enabled(PanelKey::Reset, true);
    set_key_enabled(PanelKey::Run, false);
    enter_run_loop(MachineMode::Run);
}

// Sets the mode Step or Run asks for, and enters the run loop from the CPU's after-reset
// state. One run loop runs at a time: an active loop takes the mode at its next test, and a
// press during its exit for a reset starts the loop again once it has ended.
void Calculator::enter_run_loop(MachineMode mode) {
    Machine& m = m_machine;
    // A loop waiting to leave for a reset (or whose power went off and on inside a yield) goes
    // on from the program start instead, as a new loop would.
    const bool from_start = m.status.run_sub_state == RunSubState::AfterReset &&
                            m.status.machine_mode == MachineMode::Reset;
    m.press_mode(mode);
    if (m.status.run_sub_state != RunSubState::AfterReset) {
        return;
    }
    if (m.in_run_loop()) {
        if (from_start) {
            m.cpu.program_counter = kProgramStart;
            m.cpu.last_instruction_address = kProgramStart;
        }
        return;
    }
    // The loop returns only for a reset or power-off; Step or Run is the mode then only if
    // pressed while it was leaving.
    do {
        m.cpu.program_counter = kProgramStart;
        m.cpu.last_instruction_address = kProgramStart;
        m.Maincpu();
    } while (m.status.power_on == 1 && (m.status.machine_mode == MachineMode::Step ||
                                        m.status.machine_mode == MachineMode::Run));
}

void Calculator::programmable_key_command(int n) {
    UserInterface& ui = m_machine.ui();
    if (m_machine.status.power_on != 1) {
        ui.message_box("You need to load and run a program for the buttons to work",
                       "Tallyrig Error", MessageIcon::Information, MessageButtons::Ok);
        return;
    }
    const ButtonDefinition& record = m_buttons.records[static_cast<std::size_t>(n)];
    MemoryCell& port = m_machine.memory_cells[kKeypadPort];
    // A hand-edited key file may hold any number; the port only ever holds a byte.
    port.value = record.code & 0xFF;
    // Keys 1 to 10 leave the I/O port window as it is.
    if (n >= 11 && m_machine.windows.ioport_window_open == kTrue) {
        ui.set_io_button_annotation(trim_blanks(record.annotation));
        ui.set_io_button(Statemc_pad2_hex(hex_text(port.value)));
    }
}

} // namespace tallyrig

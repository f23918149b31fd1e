// What the user does to the machine: the keys of the front panel, the devices and the tools
// act through these operations, so a key's effect on the machine reads here in one place.
#include "core/assembly_dump.h"
#include "core/machine.h"
#include "core/text_helpers.h"

namespace tallyrig {

namespace {

constexpr int16_t kProfilingOff = 0;
constexpr int16_t kProfilingOn = 1;

// Sets the mode Step or Run asks for, and enters the run loop from the CPU's after-reset
// state. One run loop runs at a time: an active loop takes the mode at its next test, and a
// press during its exit for a reset starts the loop again once it has ended.
void enter_run_loop(Machine& m, MachineMode mode) {
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

} // namespace

void Machine::power_up() {
    clear_ram_and_ports();
    reset_cpu();
}

void Machine::settle_in_reset() {
    status.machine_mode = MachineMode::Reset;
    status.run_sub_state = RunSubState::AfterReset;
    m_ui.show_mode_status();
    if (walker_open()) {
        m_ui.set_walker_back_colour(kColourWhite);
        m_ui.update_memory_walker(kRamStart, kWalkerRefreshRows);
        m_ui.refresh_walker();
    }
    if (windows.ioport_window_open == kTrue) {
        m_ui.update_ioport_display();
        m_ui.yield();
    }
}

// The switch may have gone off again in a yield of switching on.
void Machine::power_switched(bool on) {
    status.power_on = on ? 1 : 0;
}

void Machine::power_down() {
    if (walker_open()) {
        m_ui.set_walker_back_colour(kColourLightGrey);
    }
    status.machine_mode = MachineMode::PowerOff;
    m_ui.show_mode_status();
    status.power_on = 0;
}

// The power stays off once more at the end: a handler in the yield may have looked.
void Machine::forget_memory() {
    clear_memory();
    clear_breakpoints(0, 0xFFFF);
    m_ui.yield();
    status.power_on = 0;
}

bool Machine::press_reset() {
    if (!power_is_on()) {
        return false;
    }
    if (walker_open()) {
        m_ui.set_walker_back_colour(kColourWhite);
        m_ui.set_walker_top_row(kRamStart);
        m_ui.update_memory_walker(kRamStart, kWalkerScreenRefreshRows);
    }
    status.machine_mode = MachineMode::Reset;
    memory_cells[kKeypadPort].value = kNoKeyWaiting;
    return true;
}

void Machine::press_step() {
    enter_run_loop(*this, MachineMode::Step);
}

void Machine::press_run() {
    enter_run_loop(*this, MachineMode::Run);
}

void Machine::press_keypad_key(int32_t code) {
    memory_cells[kKeypadPort].value = code & 0xFF;
}

void Machine::press_keyboard_key(int32_t code) {
    memory_cells[kKeyboardPort].value = code;
}

// Straight into the cell: a switch is not a bus access, so no driver runs and nothing is
// narrated.
void Machine::set_switch_port(int32_t port, int32_t byte) {
    memory_cells[static_cast<size_t>(port)].value = byte;
}

bool Machine::raise_interrupt() {
    if (!power_is_on()) {
        return false;
    }
    cpu.interrupt_request = 1;
    return true;
}

void Machine::set_breakpoint(int32_t address, bool set) {
    memory_cells[static_cast<size_t>(address)].breakpoint = set ? kBreakpointSet : 0;
}

void Machine::clear_breakpoints(int32_t first, int32_t last) {
    for (int32_t address = first; address <= last; ++address) {
        memory_cells[static_cast<size_t>(address)].breakpoint = 0;
        if (walker_open()) {
            m_ui.set_walker_cell_text(address, WalkerColumn::Breakpoint, "");
        }
    }
}

// STEP before the box: handlers run while it waits, and the run loop must find STEP.
void Machine::fall_into_step() {
    status.machine_mode = MachineMode::Step;
}

void Machine::set_run_delay(double rounds) {
    status.run_delay = rounds;
}

void Machine::set_profiling(bool on) {
    status.profiling_on = on ? kProfilingOn : kProfilingOff;
}

void Machine::reset_profile_counts() {
    Init_profile_array(memory_cells);
}

void Machine::window_opened(MachineWindow window, bool open) {
    const int16_t flag = open ? kTrue : 0;
    switch (window) {
    case MachineWindow::MemoryWalker:
        windows.memory_walker_open = flag;
        break;
    case MachineWindow::MessageWindow:
        windows.message_window_open = flag;
        break;
    case MachineWindow::IoPort:
        windows.ioport_window_open = flag;
        break;
    case MachineWindow::DataGatherer:
        windows.data_gatherer_open = flag;
        break;
    case MachineWindow::RegisterDisplay:
        // This one flag has always been 1 when open.
        windows.register_display_open = open ? 1 : 0;
        break;
    }
}

std::optional<RamImageResult> Machine::load_ram_image(const std::string& file_name) {
    files.ram_file_name = file_name;
    const std::string base = strip_extension(files.ram_file_name);
    files.pad_file_path = base + ".pad";
    files.rad_file_path = base + ".rad";
    if (file_exists(files.ram_file_name) != kTrue) {
        return std::nullopt;
    }
    return read_ram_image(files.ram_file_name, memory_cells);
}

OldRamImageResult Machine::load_old_ram_image(const std::string& file_name) {
    return read_old_ram_image(file_name, memory_cells);
}

void Machine::start_fresh() {
    for (int32_t a = 1; a <= kLastCell; ++a) {
        MemoryCell& cell = memory_cells[static_cast<size_t>(a)];
        cell.address = a;
        cell.breakpoint = 0;
        cell.marker = 0;
        cell.value = a < kRamStart ? 0 : kUndefinedValue;
    }
    cpu.last_instruction_address = 0;
    status.run_delay = 0.0;
}

} // namespace tallyrig

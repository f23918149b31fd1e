#include "core/machine.h"

namespace tallyrig {

namespace {

void set_values(MemoryCells& cells, int32_t first, int32_t last, int32_t value) {
    for (int32_t a = first; a <= last; ++a) {
        cells[static_cast<size_t>(a)].value = value;
    }
}

} // namespace

Machine::Machine(UserInterface& ui, MessageCatalog& messages)
    : memory_cells(kCellCount), m_ui(ui), m_messages(messages) {
    for (int32_t a = 1; a <= kLastCell; ++a) {
        memory_cells[static_cast<size_t>(a)].address = a;
    }
    set_values(memory_cells, kRamStart, kLastCell, kUndefinedValue);
}

void Machine::reset_cpu() {
    cpu.program_counter = 0;
    cpu.accumulator = 0;
    cpu.instruction_register = 0;
    cpu.flag_c = cpu.flag_z = cpu.flag_n = cpu.flag_o = cpu.flag_i = 0;
    cpu.interrupt_request = 0;
    m_ui.set_status_message(" ");
    // SP, IV and X keep their values, but a program must load them again before use.
    cpu.jsr_depth = 0;
    cpu.stack_pointer_loaded = cpu.interrupt_vector_loaded = cpu.index_register_loaded = 0;
    m_ui.update_register_display();
    m_ui.update_ioport_display();
    m_ui.yield();
    if (status.run_sub_state == RunSubState::Stopped) {
        log_message(kMsgHardReset, kMsgCpuReset, kMsgRegistersMustBeReloaded, 0);
        log_message(kMsgNone, kMsgRequestAndDepthCleared, kMsgNone, 0);
        log_message(kMsgNone, kMsgRamKept, kMsgNone, 0);
        log_message(kMsgNone, kMsgPressStepOrRun, kMsgNone, 0);
    }
    status.run_sub_state = RunSubState::AfterReset;
}

void Machine::Initialize() {
    for (MemoryCell& cell : memory_cells) {
        cell.marker = 0;
        cell.breakpoint = 0;
        cell.value = 0;
    }
    set_values(memory_cells, kRamStart, kLastCell, kUndefinedValue);
    set_values(memory_cells, kInputPortStart, kOutputPortEnd, 0);
    if (walker_open()) {
        m_ui.rewrite_walker_values(1, 65535);
    }
    files.pad_file_path.clear();
    files.rad_file_path.clear();
    if (windows.data_gatherer_open == kTrue) {
        m_ui.clear_gatherer_output_file_name();
    }
    m_ui.yield();
    m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
    m_ui.yield();
}

void Machine::clear_ram_and_ports() {
    // RAM from 0xD800 up keeps its contents across a power-on: the stack lives there.
    set_values(memory_cells, kRamStart, kRamClearedAtPowerOnEnd, kUndefinedValue);
    set_values(memory_cells, kInputPortStart, kOutputPortEnd, 0);
    memory_cells[kKeypadPort].value = kNoKeyWaiting;
    memory_cells[kKeyboardPort].value = kNoKeyboardKey;
    status.old_io_button_value = kNoKeyWaiting;
    status.old_io_button_annotation = " ";
    status.message_log_count = 0;
    m_ui.yield();
    m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
    m_ui.yield();
}

void Machine::clear_memory() {
    for (MemoryCell& cell : memory_cells) {
        cell.breakpoint = 0;
        cell.marker = 0;
    }
    set_values(memory_cells, kRamStart, kLastCell, kUndefinedValue);
    m_ui.yield();
    m_ui.set_status_message(" ");
    m_ui.update_memory_walker(kRamStart, kWalkerRefreshRows);
    m_ui.update_register_display();
    m_ui.update_ioport_display();
    m_ui.yield();
    m_ui.yield();
}

int32_t Machine::status_byte() const {
    return packed_status(cpu);
}

} // namespace tallyrig

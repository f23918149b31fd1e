// The run loop: one instruction per pass, a yield after each, so the user interface stays live
// and acts on the machine by changing shared state that the loop reads at its next test.
// RUN's stretch (run_stretch), many instructions between two yields, lives in
// instruction_cycle.cpp: the handlers are inlined into its loop, and their templates are that
// file's own.
#include "core/machine.h"

#include <cstdint>

namespace tallyrig {

namespace {

class RunLoopDepth {
public:
    explicit RunLoopDepth(int& depth) : m_depth(depth) { ++m_depth; }
    ~RunLoopDepth() { --m_depth; }
    RunLoopDepth(const RunLoopDepth&) = delete;
    RunLoopDepth& operator=(const RunLoopDepth&) = delete;

private:
    int& m_depth;
};

} // namespace

void Machine::speed_delay(double count) {
    if (!(count >= 1.0)) {
        return;
    }
    constexpr double kLongest = 9.0e18;
    const auto rounds = static_cast<int64_t>(count < kLongest ? count : kLongest);
    for (int64_t i = 1; i <= rounds; ++i) {
        // An empty round the optimiser must keep: the count is the delay.
        asm volatile("" : "+r"(i));
    }
}

MemoryCell* Machine::cell(int32_t address) {
    if (address < 0 || address > kLastCell) {
        return nullptr;
    }
    return &memory_cells[static_cast<size_t>(address)];
}

void Machine::clear_marker(int32_t address) {
    if (MemoryCell* c = cell(address)) {
        c->marker = 0;
    }
    if (walker_open()) {
        m_ui.set_walker_cell_text(address, WalkerColumn::Marker, " ");
    }
}

void Machine::set_marker(int32_t address) {
    if (MemoryCell* c = cell(address)) {
        c->marker = kMarkerCurrent;
    }
}

void Machine::check_pc_zero() {
    if (status.power_on == 1 && cpu.program_counter == 0) {
        status.machine_mode = MachineMode::Reset;
        if (walker_open()) {
            m_ui.set_walker_top_row(kProgramStart);
            m_ui.update_memory_walker(kProgramStart, kWalkerRefreshRows);
        }
    }
}

void Machine::restore_walker_colour() {
    if (status.power_on == 1 && walker_open()) {
        m_ui.set_walker_back_colour(kColourWhite);
    }
}

void Machine::Maincpu() {
    // One run loop at a time: a second entry from inside a yield would nest.
    if (in_run_loop()) {
        return;
    }
    RunLoopDepth depth(m_run_loop_depth);

    for (;;) {
        if (status.machine_mode == MachineMode::Reset) {
            leave_for_reset();
            return;
        }
        if (can_run_on()) {
            run_stretch(m_ui.run_budget());
            m_ui.yield();
            if (status.machine_mode == MachineMode::Step) {
                step_pass();
            }
        } else {
            run_pass();
        }

        m_ui.update_register_display();
        m_ui.update_ioport_display();

        if (cpu.interrupt_request == 1 && cpu.flag_i == 1) {
            if (cpu.interrupt_vector_loaded != kTrue) {
                state_machine_error(StateMachineError::InterruptVectorNotLoaded);
            } else if (cpu.stack_pointer_loaded != kTrue) {
                state_machine_error(StateMachineError::InterruptStackNotLoaded);
            } else {
                service_interrupt();
            }
            m_ui.yield();
        }

        if (status.machine_mode == MachineMode::Step || status.machine_mode == MachineMode::Idle) {
            wait_for_user();
        }
        if (status.power_on == 0) {
            return;
        }
    }
}

// RUN with nothing to do before the next instruction but run it: the pass's tests of the
// program counter (0 resets) and of a breakpoint would let it run.
bool Machine::can_run_on() const {
    const int32_t pc = cpu.program_counter;
    return status.machine_mode == MachineMode::Run &&
           status.run_sub_state == RunSubState::Running && status.power_on == 1 && pc > 0 &&
           pc <= 0xFFFF && memory_cells[static_cast<size_t>(pc)].breakpoint != kBreakpointSet;
}

// The RUN branch, then the STEP branch: a RUN instruction that switched the machine to STEP
// is followed by one step in the same pass.
void Machine::run_pass() {
    if (status.machine_mode == MachineMode::Run) {
        if (status.run_sub_state == RunSubState::Stopped) {
            clear_marker(cpu.program_counter);
            m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
            m_ui.show_mode_status();
            m_ui.yield();
        }
        check_pc_zero();
        if (status.machine_mode == MachineMode::Run) {
            if (status.run_sub_state == RunSubState::Running) {
                const MemoryCell* here = cell(cpu.program_counter);
                if (here != nullptr && here->breakpoint == kBreakpointSet) {
                    breakpoint_stop();
                } else {
                    execute_instruction();
                    m_ui.yield();
                }
            } else {
                // The first instruction after Run skips the breakpoint test, so Run goes on
                // from an address that carries a breakpoint.
                status.run_sub_state = RunSubState::Running;
                m_ui.show_mode_status();
                execute_instruction();
                m_ui.yield();
            }
        }
    }
    if (status.machine_mode == MachineMode::Step) {
        step_pass();
    }
}

void Machine::step_pass() {
    if (status.run_sub_state != RunSubState::Stopped) {
        m_ui.show_mode_status();
        m_ui.yield();
    }
    check_pc_zero();
    if (status.machine_mode == MachineMode::Step) {
        execute_instruction();
        clear_marker(cpu.last_instruction_address);
        m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
        set_marker(cpu.program_counter);
        m_ui.yield();
        if (walker_open()) {
            m_ui.set_walker_top_row(cpu.program_counter);
            m_ui.set_walker_cell_text(cpu.program_counter, WalkerColumn::Marker, " >>");
        }
        m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
        status.run_sub_state = RunSubState::Stopped;
    }
}

void Machine::breakpoint_stop() {
    status.machine_mode = MachineMode::Idle;
    set_marker(cpu.program_counter);
    if (walker_open()) {
        m_ui.set_walker_cell_text(cpu.program_counter, WalkerColumn::Marker, " >>");
        m_ui.set_walker_top_row(cpu.program_counter);
        m_ui.update_memory_walker(kProgramStart, kWalkerScreenRefreshRows);
        m_ui.refresh_walker();
    }
    m_ui.set_key_caption_colour(PanelKey::Step, kColourRed);
    m_ui.set_key_caption_colour(PanelKey::Run, kColourDarkRed);
    m_ui.set_key_enabled(PanelKey::Run, true);
    cpu.last_instruction_address = cpu.program_counter;
    m_ui.yield();
    m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
    m_ui.yield();
}

void Machine::service_interrupt() {
    m_ui.set_status_message("SERVICING INTERRUPT");
    if (stepping()) {
        log_message(kMsgServiceInterrupt, kMsgSpGivesAddress, kMsgStackGrowsDown,
                    cpu.stack_pointer);
    }
    write_memory_byte(kSelectStack, cpu.program_counter & 0xFF);
    if (stepping()) {
        log_message(kMsgNone, kMsgReturnLowPushed, kMsgNone, 0);
    }
    write_memory_byte(kSelectStack, cpu.program_counter / 256);
    if (stepping()) {
        log_message(kMsgNone, kMsgReturnHighPushed, kMsgNone, 0);
    }
    // A vector outside memory sends the machine to 0, where it resets.
    cpu.program_counter =
        cpu.interrupt_vector >= 0 && cpu.interrupt_vector <= 0xFFFF ? cpu.interrupt_vector : 0;
    cpu.data_register = status_byte();
    write_memory_byte(kSelectStack, cpu.data_register);
    cpu.flag_i = 0;
    if (stepping()) {
        log_message(kMsgNone, kMsgStatusPushed, kMsgNone, 0);
        log_message(kMsgNone, kMsgPcFromVector, kMsgPcPointsAt, cpu.program_counter);
        log_message(kMsgNone, kMsgInterruptRoutineStarts, kMsgNone, 0);
    }
    m_ui.update_register_display();
    m_ui.update_ioport_display();
    m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
}

// IDLE: the status bar keeps showing "STEP" while the loop waits for Step, Run, Reset or
// power-off. Waiting blocks in the event loop instead of spinning.
void Machine::wait_for_user() {
    if (walker_open()) {
        m_ui.set_walker_back_colour(kColourWhite);
    }
    const uint32_t presses = m_mode_presses;
    status.machine_mode = MachineMode::Step;
    m_ui.show_mode_status();
    m_ui.yield();
    // Step or Run pressed during that yield keeps its mode rather than being overwritten.
    if (status.machine_mode == MachineMode::Step && m_mode_presses == presses) {
        status.machine_mode = MachineMode::Idle;
    }
    m_ui.yield();
    const auto waiting = [this] {
        const MachineMode mode = status.machine_mode;
        return status.power_on != 0 && mode != MachineMode::Step && mode != MachineMode::Run &&
               mode != MachineMode::Reset;
    };
    while (waiting()) {
        m_ui.wait_for_event();
    }
    status.run_sub_state = RunSubState::Stopped;
}

void Machine::leave_for_reset() {
    restore_walker_colour();
    if (status.run_sub_state == RunSubState::Stopped) {
        clear_marker(cpu.program_counter);
        m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
        m_ui.yield();
        clear_marker(cpu.last_instruction_address);
        m_ui.update_memory_walker(cpu.program_counter, kWalkerRefreshRows);
        m_ui.yield();
    }
    m_ui.show_mode_status();
    reset_cpu();
    m_ui.yield();
}

} // namespace tallyrig

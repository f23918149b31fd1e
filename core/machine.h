// The simulated computer: its state, the memory bus, the instruction state machine, the run
// loop and the micro-step message log. It knows no window; it speaks through UserInterface.
#pragma once

#include "core/machine_state.h"
#include "core/message_log.h"
#include "core/opcode_table.h"
#include "core/user_interface.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tallyrig {

// Address register of a bus access.
enum OperandSelector : int32_t {
    kSelectProgramCounter = 0,
    kSelectOperandAddress = 1,
    kSelectIndirectAddress = 2,
    kSelectStack = 4,
};

// Reasons the state machine stops the program.
enum class StateMachineError : int16_t {
    IndexNotLoaded = 1,
    StoreIndexNotLoaded = 2,
    StoreStackNotLoaded = 3,
    StackNotLoaded = 4,
    TooManyReturns = 5,
    IncrementIndexNotLoaded = 6,
    DecrementIndexNotLoaded = 7,
    UndefinedOpcode = 8,
    InterruptVectorNotLoaded = 9,
    InterruptStackNotLoaded = 10,
};

// The text of the state-machine error box for a reason code (any value, unknown ones give no
// reason) and the address of the last memory access.
std::string state_machine_error_text(int16_t code, int32_t memory_address_register);

// The text the calculator display shows for a byte written to its port.
std::string calculator_character(int32_t byte);

class Machine {
public:
    Machine(UserInterface& ui, MessageCatalog& messages);
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    CpuRegisters cpu;
    MachineStatus status;
    MemoryCells memory_cells;
    WindowFlags windows;
    DumpFiles files;

    // Sees every narrated step, window open or not (tools and tests follow the machine here).
    std::function<void(int16_t l, int16_t m, int16_t r, int32_t address)> log_tap;

    UserInterface& ui() { return m_ui; }
    MessageCatalog& messages() { return m_messages; }

    // Putting the machine into a known condition.
    void reset_cpu();
    void Initialize();          // "Purge RAM"
    void clear_ram_and_ports(); // power-on
    void clear_memory();        // power-off

    // The memory bus.
    void read_memory_byte(int32_t selector);
    void write_memory_byte(int32_t selector, int32_t byte);
    void write_output_port(int32_t address, int32_t byte);

    // The instruction state machine: one instruction per call.
    void execute_instruction();
    void fetch_word_operand(int32_t selector);
    void fetch_byte_operand(int32_t selector);

    // The run loop and its helpers.
    void Maincpu();
    static void speed_delay(double count);
    void check_pc_zero();
    void restore_walker_colour();
    bool in_run_loop() const { return m_run_loop_depth > 0; }

    void state_machine_error(int16_t code);

    // One group of micro-step lines; callers call it only in STEP mode.
    void log_message(int16_t l, int16_t m, int16_t r, int32_t address);
    std::string substitute_format_code(int32_t position, int kind, const std::string& text,
                                       int32_t address) const;

    bool stepping() const { return status.machine_mode == MachineMode::Step; }
    bool walker_open() const { return windows.memory_walker_open == kTrue; }
    int32_t status_byte() const;

private:
    // An operand address as the addressing mode worked it out: the effective address and,
    // for the indirect forms, the address of the pointer (-1 when there is none).
    struct ResolvedOperand {
        int32_t effective = 0;
        int32_t pointer = -1;
    };

    bool profiling() const { return status.profiling_on == 1; }
    bool guards_pass(const OpcodeInfo& op);
    ResolvedOperand resolve_operand(const OpcodeInfo& op);
    void index_lines(const OpcodeInfo& op);
    void read_operand(const OpcodeInfo& op);
    void count_primary_at(int32_t address);
    void count_secondary_at(int32_t address);
    void count_pointer(const ResolvedOperand& r);
    static void bump(int32_t& counter);

    // Handlers by kind of instruction.
    void execute(const OpcodeInfo& op);
    void arithmetic(Operation operation);
    void logic(Operation operation);
    void compare();
    void decimal(Operation operation);
    void shift(Operation operation);
    void increment(Operation operation);
    void load_accumulator();
    void store_accumulator(const OpcodeInfo& op);
    void load_register16(const OpcodeInfo& op);
    void store_register16(Operation operation);
    void push(Operation operation);
    void pop(Operation operation);
    int32_t jump_target(const OpcodeInfo& op);
    void jump_closing_lines(const OpcodeInfo& op);
    void jump(const OpcodeInfo& op);
    void jump_to_subroutine(const OpcodeInfo& op);
    void return_from_interrupt();
    void conditional_jump(const OpcodeInfo& op);
    void halt();
    void restore_flags(int32_t status_bits);
    void set_nz_from_accumulator();
    void result_lines(int16_t remark);

    // Run loop pieces.
    void run_pass();
    void breakpoint_stop();
    void service_interrupt();
    void wait_for_user();
    void leave_for_reset();
    void clear_marker(int32_t address);
    void set_marker(int32_t address);
    MemoryCell* cell(int32_t address);

    UserInterface& m_ui;
    MessageCatalog& m_messages;
    int m_run_loop_depth = 0;
};

} // namespace tallyrig

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

// The pieces of the instruction cycle are folded into every handler and the silent handlers
// into the switch that runs them, when optimising. Unoptimised (the sanitizer build) they stay
// functions: folding would gain nothing there but a compile many times as long.
#if defined(__OPTIMIZE__)
#define TALLYRIG_INLINE [[gnu::always_inline]] inline
#else
#define TALLYRIG_INLINE inline
#endif

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
    inline void read_memory_byte(int32_t selector);
    inline void write_memory_byte(int32_t selector, int32_t byte);
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
    // Step and Run from the front panel: the mode the user asks for. The IDLE wait tells such a
    // press during its first yield from its own STEP.
    void press_mode(MachineMode mode) {
        status.machine_mode = mode;
        ++m_mode_presses;
    }

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

    // Each opcode has its own handler, built from its table row at compile time; the steps
    // below are written once and folded into every handler, so they are inlined into it.
    using OpcodeHandler = void (*)(Machine&);
    struct Dispatch;
    // Inline: the silent handlers in the caller, not through a table.
    template <bool Narrate, bool Inline>
    TALLYRIG_INLINE void instruction_cycle();
    template <uint8_t Code, bool Narrate>
    TALLYRIG_INLINE void execute_opcode();
    template <uint8_t Code>
    TALLYRIG_INLINE void execute_silent_opcode();
    TALLYRIG_INLINE void execute_silent(int32_t opcode);
    template <bool Narrate>
    void execute_undefined();

    // A narrated step tells what it does in STEP; its silent form (Narrate false) never looks.
    template <bool Narrate>
    bool narrating() const {
        return Narrate && stepping();
    }
    template <bool Narrate>
    TALLYRIG_INLINE void read_byte(int32_t selector);
    template <bool Narrate>
    TALLYRIG_INLINE void write_byte(int32_t selector, int32_t byte);

#define TALLYRIG_STEP TALLYRIG_INLINE
#define TALLYRIG_NARRATED_STEP                                                                     \
    template <bool Narrate>                                                                        \
    TALLYRIG_INLINE
    TALLYRIG_STEP bool guards_pass(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void fetch_word(int32_t selector);
    TALLYRIG_NARRATED_STEP void fetch_byte(int32_t selector);
    TALLYRIG_NARRATED_STEP ResolvedOperand resolve_operand(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void index_lines(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void read_operand(const OpcodeInfo& op);
    TALLYRIG_STEP void count_primary_at(int32_t address);
    TALLYRIG_STEP void count_secondary_at(int32_t address);
    TALLYRIG_STEP void count_pointer(const ResolvedOperand& r);
    TALLYRIG_STEP static void bump(int32_t& counter);

    // Handlers by kind of instruction.
    TALLYRIG_NARRATED_STEP void execute(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void arithmetic(Operation operation);
    TALLYRIG_NARRATED_STEP void logic(Operation operation);
    TALLYRIG_NARRATED_STEP void compare();
    TALLYRIG_NARRATED_STEP void decimal(Operation operation);
    TALLYRIG_NARRATED_STEP void shift(Operation operation);
    TALLYRIG_NARRATED_STEP void increment(Operation operation);
    TALLYRIG_NARRATED_STEP void load_accumulator();
    TALLYRIG_NARRATED_STEP void store_accumulator(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void load_register16(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void store_register16(Operation operation);
    TALLYRIG_NARRATED_STEP void push(Operation operation);
    TALLYRIG_NARRATED_STEP void pop(Operation operation);
    TALLYRIG_NARRATED_STEP int32_t jump_target(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump_closing_lines(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump_to_subroutine(const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void conditional_jump(const OpcodeInfo& op);
    TALLYRIG_STEP void restore_flags(int32_t status_bits);
    TALLYRIG_STEP void set_nz_from_accumulator();
    TALLYRIG_NARRATED_STEP void result_lines(MessageNumber remark);
#undef TALLYRIG_NARRATED_STEP
#undef TALLYRIG_STEP
    template <bool Narrate>
    void return_from_interrupt();
    void halt();

    // The bus's rarer paths, out of the way of the common ROM and RAM read.
    void narrate_read(int32_t selector);
    void read_beyond_ram(int32_t address);
    void narrate_write(int32_t selector);
    void write_outside_ram(int32_t address, int32_t byte);

    // Run loop pieces.
    bool can_run_on() const;
    void run_stretch(int32_t budget);
    void run_pass();
    void step_pass();
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
    uint32_t m_mode_presses = 0;
};

namespace detail {
// Register arithmetic wraps at 32 bits: a runaway stack pointer must not become undefined.
constexpr int32_t add_wrapping(int32_t value, int32_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}
} // namespace detail

// Every instruction reads through here several times, so the ROM and RAM case stays inline.
template <bool Narrate>
inline void Machine::read_byte(int32_t selector) {
    switch (selector) {
    case kSelectProgramCounter:
        cpu.memory_address_register = cpu.program_counter;
        cpu.program_counter = detail::add_wrapping(cpu.program_counter, 1);
        break;
    case kSelectOperandAddress:
        cpu.memory_address_register = cpu.operand_address;
        cpu.operand_address = detail::add_wrapping(cpu.operand_address, 1);
        break;
    case kSelectIndirectAddress:
        cpu.memory_address_register = cpu.indirect_address;
        break;
    case kSelectStack:
        cpu.stack_pointer = detail::add_wrapping(cpu.stack_pointer, 1);
        cpu.memory_address_register = cpu.stack_pointer;
        break;
    default:
        break;
    }
    if (narrating<Narrate>()) [[unlikely]] {
        narrate_read(selector);
    }
    const int32_t address = cpu.memory_address_register;
    if (static_cast<uint32_t>(address) <= static_cast<uint32_t>(kRamEnd)) [[likely]] {
        cpu.data_register = memory_cells[static_cast<size_t>(address)].value;
        if (cpu.data_register > 255 && narrating<Narrate>()) [[unlikely]] {
            log_message(kMsgNone, kMsgNoValidByte, kMsgNone, 0);
        }
        return;
    }
    read_beyond_ram(address);
}

template <bool Narrate>
inline void Machine::write_byte(int32_t selector, int32_t byte) {
    switch (selector) {
    case kSelectOperandAddress:
        cpu.memory_address_register = cpu.operand_address;
        cpu.operand_address = detail::add_wrapping(cpu.operand_address, 1);
        break;
    case kSelectIndirectAddress:
        cpu.memory_address_register = cpu.indirect_address;
        break;
    case kSelectStack:
        cpu.memory_address_register = cpu.stack_pointer;
        cpu.stack_pointer = detail::add_wrapping(cpu.stack_pointer, -1);
        break;
    default:
        break;
    }
    if (narrating<Narrate>()) [[unlikely]] {
        narrate_write(selector);
    }
    const int32_t address = cpu.memory_address_register;
    if (address >= kRamStart && address <= kRamEnd) [[likely]] {
        memory_cells[static_cast<size_t>(address)].value = byte;
        return;
    }
    write_outside_ram(address, byte);
}

inline void Machine::read_memory_byte(int32_t selector) {
    read_byte<true>(selector);
}

inline void Machine::write_memory_byte(int32_t selector, int32_t byte) {
    write_byte<true>(selector, byte);
}

} // namespace tallyrig

#undef TALLYRIG_INLINE

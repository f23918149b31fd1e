// The simulated computer: its state, the memory bus, the instruction state machine, the run
// loop and the micro-step message log. It knows no window; it speaks through UserInterface.
#pragma once

#include "core/machine_state.h"
#include "core/message_log.h"
#include "core/opcode_table.h"
#include "core/ram_image.h"
#include "core/user_interface.h"

#include <cstdint>
#include <functional>
#include <optional>
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

    // What the user does to the machine, each named for the deed. The windows change the machine
    // only through these; a running loop sees what they change at its next test.
    bool power_is_on() const { return status.power_on == 1; }
    // Switching on, in three steps because the panel's own work comes between them: the
    // machine comes up (RAM and ports cleared, CPU reset), settles in RESET, and only then takes
    // the switch's position, so a handler running in one of the yields still finds it off.
    void power_up();
    void settle_in_reset();
    void power_switched(bool on);
    // Switching off: POWER_OFF and the power off at once, then memory and every breakpoint go.
    void power_down();
    void forget_memory();
    // Reset, Step and Run keys. Reset answers whether the power was on to act on it. Step and
    // Run enter the run loop from the after-reset state and return when it ends; pressed while
    // a loop is active they only set the mode it acts on.
    bool press_reset();
    void press_step();
    void press_run();
    // Input ports: a programmable key's code (any number; the port keeps a byte), a QWERTY
    // key's code (kNoKeyboardKey: none), a workbench switch bank's byte.
    void press_keypad_key(int32_t code);
    void press_keyboard_key(int32_t code);
    void set_switch_port(int32_t port, int32_t byte);
    // The interrupt button; answers false, changing nothing, with the power off.
    bool raise_interrupt();
    // Breakpoints by address. Clearing also blanks the walker's breakpoint column of those rows
    // while the walker is open; a set mark is the breakpoint dialog's to draw.
    void set_breakpoint(int32_t address, bool set);
    void clear_breakpoints(int32_t first, int32_t last);
    // A write to a missing output device drops the machine into STEP before the box tells why.
    void fall_into_step();
    // The main window closing under an active loop has it end as for a reset.
    void end_run_loop() { status.machine_mode = MachineMode::Reset; }
    void set_run_delay(double rounds);
    void set_profiling(bool on);
    void reset_profile_counts();
    void window_opened(MachineWindow window, bool open);
    // Load RAM: the image goes into memory and names the dump files after itself.
    // Nothing is read from a file that is not there.
    std::optional<RamImageResult> load_ram_image(const std::string& file_name);
    OldRamImageResult load_old_ram_image(const std::string& file_name);
    void set_pad_file_path(const std::string& path) { files.pad_file_path = path; }
    // The machine as the program finds it at start-up: a fresh memory table, no delay.
    void start_fresh();

    void state_machine_error(int16_t code);

    // One group of micro-step lines; callers call it only in STEP mode.
    void log_message(int16_t l, int16_t m, int16_t r, int32_t address);
    std::string substitute_format_code(int32_t position, FormatCodeKind kind,
                                       const std::string& text, int32_t address) const;

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
    // Every step works on the registers it is given (Regs): `cpu` itself, the RUN stretch's
    // copy of it, or a RegisterWindow. The compiler keeps a copy in machine registers only while
    // no step lets its address escape: none is out of line, and calls out of the cycle go
    // through lend_registers and take_registers.
    using OpcodeHandler = void (*)(Machine&);
    struct Dispatch;
    // Inline: the silent handlers in the caller, not through a table.
    template <bool Narrate, bool Inline, class Regs>
    TALLYRIG_INLINE void instruction_cycle(Regs& regs);
    template <uint8_t Code, bool Narrate, class Regs>
    TALLYRIG_INLINE void execute_opcode(Regs& regs);
    template <uint8_t Code, class Regs>
    TALLYRIG_INLINE void execute_silent_opcode(Regs& regs);
    template <class Regs>
    TALLYRIG_INLINE void execute_silent(Regs& regs, int32_t opcode);
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE void execute_undefined(Regs& regs);
    // A silent instruction whose opcode lies beyond RAM.
    [[gnu::noinline]] void execute_beyond_ram();

    // A narrated step tells what it does in STEP. Its silent form (Narrate false) looks at the
    // mode only after a call out of the cycle, the one place where the mode can change inside an
    // instruction: once STEP, it narrates the rest of the instruction as the narrated form would.
    template <bool Narrate, class Regs>
    bool narrating(const Regs& regs) const {
        if constexpr (Narrate) {
            return stepping();
        } else {
            return regs.stepping;
        }
    }
    // Whether a step writes its lines. A silent form that does first shows the machine its
    // registers, which the lines' format codes read; writing a line changes none of them.
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE bool narrate(const Regs& regs);
    // The RUN stretch works on a copy of the registers in locals. A call out of the cycle (a
    // port, an error, a wait: anything that may yield) sees and changes `cpu`, so the stretch
    // lends its registers back around it and takes them again after.
    enum class RegisterHome : uint8_t { Machine, Locals, Lent };
    struct LocalRegisters;
    TALLYRIG_INLINE void lend_registers(const CpuRegisters& regs);
    TALLYRIG_INLINE void show_registers(const CpuRegisters& regs) { cpu = regs; }
    TALLYRIG_INLINE void take_registers(CpuRegisters& regs);
    TALLYRIG_INLINE void take_registers(LocalRegisters& regs);
    // A call of execute_instruction outside STEP keeps only the registers that every
    // instruction changes in locals, and lends them the same way.
    struct RegisterWindow;
    TALLYRIG_INLINE void lend_registers(const RegisterWindow& regs);
    TALLYRIG_INLINE void show_registers(const RegisterWindow& regs);
    TALLYRIG_INLINE void take_registers(RegisterWindow& regs);
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE void fetch_opcode(Regs& regs);
    template <class Regs>
    TALLYRIG_INLINE static void keep_within_memory(Regs& regs);
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE void read_byte(Regs& regs, int32_t selector);
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE void write_byte(Regs& regs, int32_t selector, int32_t byte);

#define TALLYRIG_STEP TALLYRIG_INLINE
#define TALLYRIG_REGISTER_STEP                                                                     \
    template <class Regs>                                                                          \
    TALLYRIG_INLINE
#define TALLYRIG_NARRATED_STEP                                                                     \
    template <bool Narrate, class Regs>                                                            \
    TALLYRIG_INLINE
    TALLYRIG_REGISTER_STEP bool guards_pass(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void fetch_word(Regs& regs, int32_t selector);
    TALLYRIG_NARRATED_STEP void fetch_byte(Regs& regs, int32_t selector);
    TALLYRIG_NARRATED_STEP ResolvedOperand resolve_operand(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void index_lines(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void read_operand(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_STEP void count_primary_at(int32_t address);
    TALLYRIG_STEP void count_secondary_at(int32_t address);
    TALLYRIG_STEP void count_pointer(const ResolvedOperand& r);
    TALLYRIG_STEP static void bump(int32_t& counter);

    // Handlers by kind of instruction.
    TALLYRIG_NARRATED_STEP void execute(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void arithmetic(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void logic(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void compare(Regs& regs);
    TALLYRIG_NARRATED_STEP void decimal(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void shift(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void increment(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void load_accumulator(Regs& regs);
    TALLYRIG_NARRATED_STEP void store_accumulator(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void load_register16(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void store_register16(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void push(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP void pop(Regs& regs, Operation operation);
    TALLYRIG_NARRATED_STEP int32_t jump_target(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump_closing_lines(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void jump_to_subroutine(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_NARRATED_STEP void conditional_jump(Regs& regs, const OpcodeInfo& op);
    TALLYRIG_REGISTER_STEP void restore_flags(Regs& regs, int32_t status_bits);
    TALLYRIG_REGISTER_STEP void set_nz_from_accumulator(Regs& regs);
    TALLYRIG_NARRATED_STEP void result_lines(Regs& regs, MessageNumber remark);
#undef TALLYRIG_NARRATED_STEP
#undef TALLYRIG_REGISTER_STEP
#undef TALLYRIG_STEP
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE void return_from_interrupt(Regs& regs);
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
    RegisterHome m_registers = RegisterHome::Machine;
    uint32_t m_mode_presses = 0;
};

namespace detail {
// Register arithmetic wraps at 32 bits: a runaway stack pointer must not become undefined.
constexpr int32_t add_wrapping(int32_t value, int32_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}
} // namespace detail

// The RUN stretch's copy of the registers, and the mode as the last call out of its current
// instruction left it.
struct Machine::LocalRegisters : CpuRegisters {
    bool stepping = false;
};

// The registers as the silent cycle of one instruction sees them: those that every instruction
// changes are locals, written back once at its end; the others are the machine's own.
struct Machine::RegisterWindow {
    explicit RegisterWindow(CpuRegisters& home)
        : program_counter(home.program_counter), instruction_address(home.instruction_address),
          last_instruction_address(home.last_instruction_address),
          operand_address(home.operand_address), instruction_register(home.instruction_register),
          memory_address_register(home.memory_address_register), data_register(home.data_register),
          indirect_address(home.indirect_address), stack_pointer(home.stack_pointer),
          interrupt_vector(home.interrupt_vector), accumulator(home.accumulator),
          alu_scratch(home.alu_scratch), index_register(home.index_register),
          jsr_depth(home.jsr_depth), flag_z(home.flag_z), flag_o(home.flag_o), flag_n(home.flag_n),
          flag_c(home.flag_c), flag_i(home.flag_i), interrupt_request(home.interrupt_request),
          stack_pointer_loaded(home.stack_pointer_loaded),
          interrupt_vector_loaded(home.interrupt_vector_loaded),
          index_register_loaded(home.index_register_loaded), bcd_digit_carry(home.bcd_digit_carry),
          bcd_acc_negative(home.bcd_acc_negative), bcd_operand_negative(home.bcd_operand_negative),
          m_home(home) {}
    RegisterWindow(const RegisterWindow&) = delete;
    RegisterWindow& operator=(const RegisterWindow&) = delete;

    void put_back() const {
        m_home.program_counter = program_counter;
        m_home.instruction_address = instruction_address;
        m_home.last_instruction_address = last_instruction_address;
        m_home.operand_address = operand_address;
        m_home.instruction_register = instruction_register;
        m_home.memory_address_register = memory_address_register;
        m_home.data_register = data_register;
    }
    void take_back() {
        program_counter = m_home.program_counter;
        instruction_address = m_home.instruction_address;
        last_instruction_address = m_home.last_instruction_address;
        operand_address = m_home.operand_address;
        instruction_register = m_home.instruction_register;
        memory_address_register = m_home.memory_address_register;
        data_register = m_home.data_register;
    }

    int32_t program_counter;
    int32_t instruction_address;
    int32_t last_instruction_address;
    int32_t operand_address;
    int32_t instruction_register;
    int32_t memory_address_register;
    int32_t data_register;
    int32_t& indirect_address;
    int32_t& stack_pointer;
    int32_t& interrupt_vector;
    int32_t& accumulator;
    int32_t& alu_scratch;
    int32_t& index_register;
    int16_t& jsr_depth;
    int16_t& flag_z;
    int16_t& flag_o;
    int16_t& flag_n;
    int16_t& flag_c;
    int16_t& flag_i;
    int16_t& interrupt_request;
    int16_t& stack_pointer_loaded;
    int16_t& interrupt_vector_loaded;
    int16_t& index_register_loaded;
    int16_t& bcd_digit_carry;
    int16_t& bcd_acc_negative;
    int16_t& bcd_operand_negative;
    // The mode as the last call out of the instruction left it.
    bool stepping = false;

private:
    CpuRegisters& m_home;
};

inline void Machine::lend_registers(const CpuRegisters& regs) {
    if (m_registers == RegisterHome::Locals) {
        cpu = regs;
        m_registers = RegisterHome::Lent;
    }
}

inline void Machine::take_registers(CpuRegisters& regs) {
    if (m_registers == RegisterHome::Lent) {
        regs = cpu;
        m_registers = RegisterHome::Locals;
    }
}

inline void Machine::take_registers(LocalRegisters& regs) {
    take_registers(static_cast<CpuRegisters&>(regs));
    regs.stepping = stepping();
}

inline void Machine::lend_registers(const RegisterWindow& regs) {
    regs.put_back();
}

inline void Machine::show_registers(const RegisterWindow& regs) {
    regs.put_back();
}

inline void Machine::take_registers(RegisterWindow& regs) {
    regs.take_back();
    regs.stepping = stepping();
}

template <bool Narrate, class Regs>
inline bool Machine::narrate(const Regs& regs) {
    if (!narrating<Narrate>(regs)) [[likely]] {
        return false;
    }
    if constexpr (!Narrate) {
        show_registers(regs);
    }
    return true;
}

// Every instruction reads through here several times, so the ROM and RAM case stays inline.
template <bool Narrate, class Regs>
inline void Machine::read_byte(Regs& regs, int32_t selector) {
    switch (selector) {
    case kSelectProgramCounter:
        regs.memory_address_register = regs.program_counter;
        regs.program_counter = detail::add_wrapping(regs.program_counter, 1);
        break;
    case kSelectOperandAddress:
        regs.memory_address_register = regs.operand_address;
        regs.operand_address = detail::add_wrapping(regs.operand_address, 1);
        break;
    case kSelectIndirectAddress:
        regs.memory_address_register = regs.indirect_address;
        break;
    case kSelectStack:
        regs.stack_pointer = detail::add_wrapping(regs.stack_pointer, 1);
        regs.memory_address_register = regs.stack_pointer;
        break;
    default:
        break;
    }
    if (narrate<Narrate>(regs)) {
        narrate_read(selector);
    }
    const int32_t address = regs.memory_address_register;
    if (static_cast<uint32_t>(address) <= static_cast<uint32_t>(kRamEnd)) [[likely]] {
        regs.data_register = memory_cells[static_cast<size_t>(address)].value;
        if (regs.data_register > 255) [[unlikely]] {
            if (narrate<Narrate>(regs)) {
                log_message(kMsgNone, kMsgNoValidByte, kMsgNone, 0);
            }
        }
        return;
    }
    lend_registers(regs);
    read_beyond_ram(address);
    take_registers(regs);
}

template <bool Narrate, class Regs>
inline void Machine::write_byte(Regs& regs, int32_t selector, int32_t byte) {
    switch (selector) {
    case kSelectOperandAddress:
        regs.memory_address_register = regs.operand_address;
        regs.operand_address = detail::add_wrapping(regs.operand_address, 1);
        break;
    case kSelectIndirectAddress:
        regs.memory_address_register = regs.indirect_address;
        break;
    case kSelectStack:
        regs.memory_address_register = regs.stack_pointer;
        regs.stack_pointer = detail::add_wrapping(regs.stack_pointer, -1);
        break;
    default:
        break;
    }
    if (narrate<Narrate>(regs)) {
        narrate_write(selector);
    }
    const int32_t address = regs.memory_address_register;
    if (address >= kRamStart && address <= kRamEnd) [[likely]] {
        memory_cells[static_cast<size_t>(address)].value = byte;
        return;
    }
    lend_registers(regs);
    write_outside_ram(address, byte);
    take_registers(regs);
}

inline void Machine::read_memory_byte(int32_t selector) {
    read_byte<true>(cpu, selector);
}

inline void Machine::write_memory_byte(int32_t selector, int32_t byte) {
    write_byte<true>(cpu, selector, byte);
}

} // namespace tallyrig

#undef TALLYRIG_INLINE

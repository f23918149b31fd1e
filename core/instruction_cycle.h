// The instruction cycle's machinery: the steps every opcode's handler is built from, and the
// registers they work on. Only core/ includes it; the rest of the program sees core/machine.h.
#pragma once

#include "core/machine.h"

#include <array>
#include <cassert>
#include <cstdint>

// The pieces of the instruction cycle are folded into every handler and the silent handlers
// into the switch that runs them, when optimising. Unoptimised or under the address sanitizer
// (the sanitizer and fuzz builds) they stay functions: folding would gain nothing there but a
// compile many times as long.
#if defined(__SANITIZE_ADDRESS__)
#define TALLYRIG_ADDRESS_SANITIZER
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TALLYRIG_ADDRESS_SANITIZER
#endif
#endif
#if defined(__OPTIMIZE__) && !defined(TALLYRIG_ADDRESS_SANITIZER)
#define TALLYRIG_INLINE [[gnu::always_inline]] inline
#else
#define TALLYRIG_INLINE inline
#endif

namespace tallyrig {

// The RUN stretch works on a copy of the registers in locals. A call out of the cycle (a
// port, an error, a wait: anything that may yield) sees and changes `cpu`, so the stretch
// lends its registers back around it and takes them again after.
enum class Machine::RegisterHome : uint8_t { Machine, Locals, Lent };

namespace detail {
// The lines that name a bus access's address, by selector.
struct BusLine {
    MessageNumber m = kMsgNone;
    MessageNumber r = kMsgNone;
};
using BusLines = std::array<BusLine, 2>;

constexpr BusLines read_address_lines(int32_t selector) {
    switch (selector) {
    case kSelectProgramCounter:
        return {{{kMsgPcToMar, kMsgMarOnAddressBus}, {kMsgPcUp, kMsgNextAccessNextAddress}}};
    case kSelectOperandAddress:
        return {{{kMsgOperandAddressToMar, kMsgMarOnAddressBus},
                 {kMsgOperandAddressUp, kMsgNextAccessNextAddress}}};
    case kSelectIndirectAddress:
        return {{{kMsgIndirectToMar, kMsgMarOnAddressBus}}};
    case kSelectStack:
        return {{{kMsgSpUp, kMsgPopMovesFirst}, {kMsgSpToMar, kMsgMarOnAddressBus}}};
    default:
        return {};
    }
}

// A write names its address the way a read does, except for the push.
constexpr BusLines write_address_lines(int32_t selector) {
    if (selector == kSelectStack) {
        return {{{kMsgSpToMar, kMsgMarOnAddressBus}, {kMsgSpDown, kMsgNextAccessNextAddress}}};
    }
    if (selector == kSelectOperandAddress || selector == kSelectIndirectAddress) {
        return read_address_lines(selector);
    }
    return {};
}

// Register arithmetic wraps at 32 bits: a runaway stack pointer must not become undefined.
constexpr int32_t add_wrapping(int32_t value, int32_t delta) {
    return static_cast<int32_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}
} // namespace detail

// The machine's instruction cycle, over the machine it runs on. It is made where an instruction
// starts and holds nothing of its own, so the compiler sees through it to the machine.
class InstructionCycle {
public:
    explicit InstructionCycle(Machine& machine) : m_machine(machine) {}

private:
    friend class Machine;
    using RegisterHome = Machine::RegisterHome;
    static_assert(RegisterHome{} == RegisterHome::Machine, "a new machine has its registers");

    // An operand address as the addressing mode worked it out: the effective address and,
    // for the indirect forms, the address of the pointer (-1 when there is none).
    struct ResolvedOperand {
        int32_t effective = 0;
        int32_t pointer = -1;
    };

    // A call out of the cycle may yield, and a view may then change `cpu`; made while the
    // registers are in locals, that change would be lost when the cycle goes on with its own.
    // Every call out passes here, and a debug build holds it to having lent them back.
    static void expect_registers_lent([[maybe_unused]] const Machine& machine) {
        assert(machine.m_registers != RegisterHome::Locals);
    }

    // The machine as the steps use it.
    TALLYRIG_INLINE bool stepping() const { return m_machine.stepping(); }
    TALLYRIG_INLINE bool profiling() const { return m_machine.status.profiling_on == 1; }
    UserInterface& ui() {
        expect_registers_lent(m_machine);
        return m_machine.m_ui;
    }

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
    // A silent instruction whose opcode lies beyond RAM. (Static: a cycle of its caller's would
    // need a place in memory, and so a stack frame on the common path.)
    [[gnu::noinline]] static void execute_beyond_ram(Machine& machine);

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
    // Whether a step tells its lines. A silent form that does first shows the machine its
    // registers, whose values the lines keep; telling a line changes none of them.
    template <bool Narrate, class Regs>
    TALLYRIG_INLINE bool narrate(const Regs& regs) {
        if (!narrating<Narrate>(regs)) [[likely]] {
            return false;
        }
        if constexpr (!Narrate) {
            show_registers(regs);
        }
        return true;
    }
    // A line of the narration. The narrated form writes it at once. The silent form keeps it,
    // with the register values its texts show, until its next call out or its end: so no line
    // is written from inside it, and none of its registers need outlive a call there.
    template <bool Narrate>
    TALLYRIG_INLINE void tell(int16_t left, int16_t middle, int16_t right, int32_t address) {
        if constexpr (Narrate) {
            m_machine.log_message(left, middle, right, address);
        } else {
            // No instruction tells as many lines as there is room for (a test holds every
            // opcode to it), so the index is not tested here: even a test of it on this rare
            // path slows the common path of the RUN stretch by several percent.
            assert(m_machine.m_told_count < Machine::kToldLinesMax);
            m_machine.m_told_lines[m_machine.m_told_count++] = {left, middle, right, address,
                                                                FormatValues::of(m_machine.cpu)};
        }
    }
    // The lines kept are written before the machine does anything else.
    TALLYRIG_INLINE void write_told_lines() {
        if (m_machine.m_told_count != 0) [[unlikely]] {
            m_machine.write_told_lines();
        }
    }
    // The lines that name the address of a read or a write.
    template <bool Narrate>
    TALLYRIG_INLINE void tell_address(const detail::BusLines& lines);
    // The RUN stretch's copy of the registers.
    struct LocalRegisters;
    TALLYRIG_INLINE void lend_registers(const CpuRegisters& regs);
    TALLYRIG_INLINE void show_registers(const CpuRegisters& regs) { m_machine.cpu = regs; }
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

    Machine& m_machine;
};

// The RUN stretch's copy of the registers, and the mode as the last call out of its current
// instruction left it.
struct InstructionCycle::LocalRegisters : CpuRegisters {
    bool stepping = false;
    // Whether the current instruction has called out of the cycle: only a call out changes
    // the mode, the run's sub-state and the power that the stretch tests between instructions.
    bool called_out = false;
};

// The registers as the silent cycle of one instruction sees them: those that every instruction
// changes are locals, written back once at its end; the others are the machine's own.
struct InstructionCycle::RegisterWindow {
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

// Lending comes before every call out of the cycle, and before a narrated handler from the
// tables: the lines kept so far come first.
inline void InstructionCycle::lend_registers(const CpuRegisters& regs) {
    if (m_machine.m_registers == RegisterHome::Locals) {
        m_machine.cpu = regs;
        m_machine.m_registers = RegisterHome::Lent;
    }
    write_told_lines();
}

inline void InstructionCycle::take_registers(CpuRegisters& regs) {
    if (m_machine.m_registers == RegisterHome::Lent) {
        regs = m_machine.cpu;
        m_machine.m_registers = RegisterHome::Locals;
    }
}

inline void InstructionCycle::take_registers(LocalRegisters& regs) {
    take_registers(static_cast<CpuRegisters&>(regs));
    regs.stepping = stepping();
    regs.called_out = true;
}

inline void InstructionCycle::lend_registers(const RegisterWindow& regs) {
    regs.put_back();
    write_told_lines();
}

inline void InstructionCycle::show_registers(const RegisterWindow& regs) {
    regs.put_back();
}

inline void InstructionCycle::take_registers(RegisterWindow& regs) {
    regs.take_back();
    regs.stepping = stepping();
}

template <bool Narrate>
inline void InstructionCycle::tell_address(const detail::BusLines& lines) {
    for (const detail::BusLine& line : lines) {
        if (line.m != kMsgNone) {
            tell<Narrate>(kMsgNone, line.m, line.r, 0);
        }
    }
}

// Every instruction reads through here several times, so the ROM and RAM case stays inline.
template <bool Narrate, class Regs>
inline void InstructionCycle::read_byte(Regs& regs, int32_t selector) {
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
        tell_address<Narrate>(detail::read_address_lines(selector));
    }
    const int32_t address = regs.memory_address_register;
    if (static_cast<uint32_t>(address) <= static_cast<uint32_t>(kRamEnd)) [[likely]] {
        regs.data_register = m_machine.memory_cells[static_cast<size_t>(address)].value;
        if (regs.data_register > 255) [[unlikely]] {
            if (narrate<Narrate>(regs)) {
                tell<Narrate>(kMsgNone, kMsgNoValidByte, kMsgNone, 0);
            }
        }
        return;
    }
    lend_registers(regs);
    m_machine.read_beyond_ram(address);
    take_registers(regs);
}

template <bool Narrate, class Regs>
inline void InstructionCycle::write_byte(Regs& regs, int32_t selector, int32_t byte) {
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
        tell_address<Narrate>(detail::write_address_lines(selector));
    }
    const int32_t address = regs.memory_address_register;
    if (address >= kRamStart && address <= kRamEnd) [[likely]] {
        m_machine.memory_cells[static_cast<size_t>(address)].value = byte;
        return;
    }
    lend_registers(regs);
    m_machine.write_outside_ram(address, byte);
    take_registers(regs);
}

} // namespace tallyrig

#undef TALLYRIG_INLINE
#undef TALLYRIG_ADDRESS_SANITIZER

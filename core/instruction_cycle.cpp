// The instruction state machine: one instruction per call, narrated micro-step by micro-step
// in STEP mode. Each instruction reads as the machine does it: bus access, then its log line.
#include "core/instruction_cycle.h"

#include <array>
#include <limits>
#include <utility>

namespace tallyrig {

namespace {

// Registers are 32-bit fields that a wayward program can fill with values beyond a byte
// (a never-written cell reads 256, SHL keeps doubling); their arithmetic wraps at 32 bits
// as such a field does, never overflowing.
constexpr int32_t wrap32(int64_t value) {
    return static_cast<int32_t>(value);
}

constexpr bool uses_index(AddressingMode mode) {
    return mode == AddressingMode::Indexed || mode == AddressingMode::PreIndexed ||
           mode == AddressingMode::PostIndexed;
}

constexpr bool is_indirect(AddressingMode mode) {
    return mode == AddressingMode::Indirect || mode == AddressingMode::PreIndexed ||
           mode == AddressingMode::PostIndexed;
}

// Whether a byte is an opcode of the table. (Not through decode_opcode: a comparison of its
// pointer is no constant expression in a sanitizer build.)
constexpr bool is_defined(uint8_t code) {
    for (const OpcodeInfo& row : opcode_table()) {
        if (row.opcode == code) {
            return true;
        }
    }
    return false;
}

constexpr int16_t bit7(int32_t value) {
    return (value & 0x80) != 0 ? 1 : 0;
}
constexpr int16_t bit8(int32_t value) {
    return (value & 0x100) != 0 ? 1 : 0;
}

} // namespace

// Each opcode has a narrated handler for STEP and a silent one for every other mode. A call of
// execute_instruction reaches them through these tables, opcode byte to handler; the gaps of
// the first two are undefined. The silent table serves an opcode read from beyond RAM; one in
// ROM or RAM runs its whole cycle from the third.
struct InstructionCycle::Dispatch {
    // The narrated form works on the machine's registers, the silent one on a window of them.
    template <bool Narrate, class Step>
    static void on_registers(Machine& m, Step step) {
        if constexpr (Narrate) {
            step(m.cpu);
        } else {
            RegisterWindow regs(m.cpu);
            step(regs);
            regs.put_back();
        }
    }
    template <uint8_t Code, bool Narrate>
    static void run(Machine& m) {
        on_registers<Narrate>(
            m, [&m](auto& regs) { InstructionCycle(m).execute_opcode<Code, Narrate>(regs); });
    }
    template <bool Narrate>
    static void undefined(Machine& m) {
        on_registers<Narrate>(
            m, [&m](auto& regs) { InstructionCycle(m).execute_undefined<Narrate>(regs); });
    }

    template <bool Narrate, size_t... I>
    static constexpr std::array<OpcodeHandler, 256> table(std::index_sequence<I...>) {
        std::array<OpcodeHandler, 256> handlers{};
        handlers.fill(&undefined<Narrate>);
        ((handlers[opcode_table()[I].opcode] = &run<opcode_table()[I].opcode, Narrate>), ...);
        return handlers;
    }

    // A whole silent cycle for an opcode in ROM or RAM that execute_instruction has looked at.
    template <uint8_t Code>
    static void whole_cycle(Machine& m) {
        RegisterWindow regs(m.cpu);
        // The silent fetch of a byte it already knows to be Code.
        regs.last_instruction_address = regs.instruction_address = regs.program_counter;
        regs.memory_address_register = regs.program_counter;
        regs.program_counter = detail::add_wrapping(regs.program_counter, 1);
        regs.instruction_register = regs.data_register = Code;
        Machine::speed_delay(m.status.run_delay);
        InstructionCycle cycle(m);
        cycle.execute_silent_opcode<Code>(regs);
        keep_within_memory(regs);
        regs.put_back();
        if (regs.stepping) [[unlikely]] { // a call out turned the mode to STEP
            cycle.write_told_lines();
        }
    }
    template <size_t... Code>
    static constexpr std::array<OpcodeHandler, 256> whole_cycles(std::index_sequence<Code...>) {
        return {&whole_cycle<Code>...};
    }

    static const std::array<OpcodeHandler, 256> kNarrated;
    static const std::array<OpcodeHandler, 256> kSilent;
    static const std::array<OpcodeHandler, 256> kWholeCycles;
};

const std::array<InstructionCycle::OpcodeHandler, 256> InstructionCycle::Dispatch::kNarrated =
    table<true>(std::make_index_sequence<opcode_table().size()>{});
const std::array<InstructionCycle::OpcodeHandler, 256> InstructionCycle::Dispatch::kSilent =
    table<false>(std::make_index_sequence<opcode_table().size()>{});
const std::array<InstructionCycle::OpcodeHandler, 256> InstructionCycle::Dispatch::kWholeCycles =
    whole_cycles(std::make_index_sequence<256>{});

template <uint8_t Code, class Regs>
void InstructionCycle::execute_silent_opcode(Regs& regs) {
    if constexpr (is_defined(Code)) {
        execute_opcode<Code, false>(regs);
    } else {
        execute_undefined<false>(regs);
    }
}

// One case per opcode byte, so that every silent handler sits in the function that runs it.
#define TALLYRIG_CASE(n)                                                                           \
    case (n):                                                                                      \
        execute_silent_opcode<(n)>(regs);                                                          \
        break;
#define TALLYRIG_CASES4(n)                                                                         \
    TALLYRIG_CASE(n) TALLYRIG_CASE((n) + 1) TALLYRIG_CASE((n) + 2) TALLYRIG_CASE((n) + 3)
#define TALLYRIG_CASES16(n)                                                                        \
    TALLYRIG_CASES4(n)                                                                             \
    TALLYRIG_CASES4((n) + 4) TALLYRIG_CASES4((n) + 8) TALLYRIG_CASES4((n) + 12)
#define TALLYRIG_CASES64(n)                                                                        \
    TALLYRIG_CASES16(n)                                                                            \
    TALLYRIG_CASES16((n) + 16) TALLYRIG_CASES16((n) + 32) TALLYRIG_CASES16((n) + 48)

template <class Regs>
void InstructionCycle::execute_silent(Regs& regs, int32_t opcode) {
    switch (opcode) {
        TALLYRIG_CASES64(0)
        TALLYRIG_CASES64(64)
        TALLYRIG_CASES64(128)
        TALLYRIG_CASES64(192)
    default:
        execute_undefined<false>(regs); // a never-written cell holds 256
        break;
    }
}

#undef TALLYRIG_CASES64
#undef TALLYRIG_CASES16
#undef TALLYRIG_CASES4
#undef TALLYRIG_CASE

template <bool Narrate, class Regs>
void InstructionCycle::fetch_opcode(Regs& regs) {
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgGetOpcode, kMsgPcPointsAt, kMsgNone, regs.program_counter);
    }
    regs.last_instruction_address = regs.instruction_address = regs.program_counter;
    read_byte<Narrate>(regs, kSelectProgramCounter);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgOpcodeRead, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgDataToInstructionRegister, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgDecodeOpcode, kMsgNone, 0);
    }
    regs.instruction_register = regs.data_register;
    Machine::speed_delay(m_machine.status.run_delay);
}

// A program that runs off the top of memory goes to 0, where the run loop resets it, as it does
// for a jump to 0.
template <class Regs>
void InstructionCycle::keep_within_memory(Regs& regs) {
    if (regs.program_counter < 0 || regs.program_counter > 0xFFFF) {
        regs.program_counter = 0;
    }
}

template <bool Narrate, bool Inline, class Regs>
void InstructionCycle::instruction_cycle(Regs& regs) {
    if constexpr (!Narrate) {
        regs.stepping = false; // the caller runs the silent form outside STEP
    }
    fetch_opcode<Narrate>(regs);
    const int32_t opcode = regs.instruction_register;
    if constexpr (Inline) {
        // An opcode whose read turned the mode to STEP goes through the tables below, so no
        // silent handler here looks at the mode before its own first call out.
        if (!narrating<Narrate>(regs)) [[likely]] {
            execute_silent(regs, opcode);
            keep_within_memory(regs);
            return;
        }
    }
    if (static_cast<uint32_t>(opcode) <= 0xFF) {
        // The tables' handlers work on the machine's registers, at home there while they run.
        lend_registers(regs);
        const RegisterHome home = std::exchange(m_machine.m_registers, RegisterHome::Machine);
        (narrating<Narrate>(regs) ? Dispatch::kNarrated
                                  : Dispatch::kSilent)[static_cast<size_t>(opcode)](m_machine);
        m_machine.m_registers = home;
        take_registers(regs);
    } else {
        execute_undefined<Narrate>(regs); // a never-written cell holds 256
    }
    keep_within_memory(regs);
}

void Machine::execute_instruction() {
    if (stepping()) {
        InstructionCycle(*this).instruction_cycle<true, false>(cpu);
        return;
    }
    // An opcode in ROM or RAM can be looked at before the cycle reads it; one in a port cannot
    // (reading the keyboard takes its key).
    const auto pc = static_cast<uint32_t>(cpu.program_counter);
    if (pc <= static_cast<uint32_t>(kRamEnd)) {
        const auto opcode = static_cast<uint32_t>(memory_cells[pc].value);
        if (opcode <= 0xFF) {
            InstructionCycle::Dispatch::kWholeCycles[opcode](*this);
            return;
        }
    }
    InstructionCycle::execute_beyond_ram(*this);
}

// Kept out of execute_instruction, whose every call would otherwise pay for this rare path.
void InstructionCycle::execute_beyond_ram(Machine& machine) {
    RegisterWindow regs(machine.cpu);
    InstructionCycle cycle(machine);
    cycle.instruction_cycle<false, false>(regs);
    regs.put_back();
    cycle.write_told_lines();
}

// RUN between two yields: instructions one after another for as long as nothing that the run
// loop tests before an instruction would do more than let it run. The caller has made those
// tests for the first. The registers live in locals for the stretch.
void Machine::run_stretch(int32_t budget) {
    InstructionCycle cycle(*this);
    InstructionCycle::LocalRegisters regs{cpu};
    m_registers = RegisterHome::Locals;
    for (;;) {
        cycle.instruction_cycle<false, true>(regs);
        if (--budget <= 0) {
            break;
        }
        // Only a call out of the cycle changes the mode, the sub-state or the power.
        if (regs.called_out) [[unlikely]] {
            if (status.machine_mode != MachineMode::Run ||
                status.run_sub_state != RunSubState::Running || status.power_on != 1) {
                break;
            }
            regs.called_out = false;
        }
        // The program counter is within memory after every instruction.
        const int32_t pc = regs.program_counter;
        if (pc == 0 || memory_cells[static_cast<size_t>(pc)].breakpoint == kBreakpointSet ||
            (regs.interrupt_request == 1 && regs.flag_i == 1)) [[unlikely]] {
            break;
        }
    }
    cpu = regs;
    m_registers = RegisterHome::Machine;
    cycle.write_told_lines();
}

template <bool Narrate, class Regs>
void InstructionCycle::execute_undefined(Regs& regs) {
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgExecuteInstruction, kMsgUndefinedOpcode, kMsgStopsWithError, 0);
    }
    lend_registers(regs);
    m_machine.state_machine_error(StateMachineError::UndefinedOpcode);
    take_registers(regs);
}

template <uint8_t Code, bool Narrate, class Regs>
void InstructionCycle::execute_opcode(Regs& regs) {
    constexpr const OpcodeInfo& op = *decode_opcode(Code);
    if (!guards_pass(regs, op)) {
        return;
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgExecuteInstruction, op.entry_m, op.entry_r, 0);
    }
    execute<Narrate>(regs, op);
}

template <class Regs>
bool InstructionCycle::guards_pass(Regs& regs, const OpcodeInfo& op) {
    const bool sp_loaded = regs.stack_pointer_loaded == kTrue;
    const bool x_loaded = regs.index_register_loaded == kTrue;
    StateMachineError reason{};
    switch (op.operation) {
    case Operation::Pusha:
    case Operation::Pushsr:
    case Operation::Popa:
    case Operation::Popsr:
        if (sp_loaded) {
            return true;
        }
        reason = StateMachineError::StackNotLoaded;
        break;
    case Operation::Jsr:
        if (!sp_loaded) {
            reason = StateMachineError::StackNotLoaded;
        } else if (uses_index(op.mode) && !x_loaded) {
            reason = StateMachineError::IndexNotLoaded;
        } else {
            return true;
        }
        break;
    case Operation::Bstx:
        if (x_loaded) {
            return true;
        }
        reason = StateMachineError::StoreIndexNotLoaded;
        break;
    case Operation::Bstsp:
        if (sp_loaded) {
            return true;
        }
        reason = StateMachineError::StoreStackNotLoaded;
        break;
    case Operation::Rts:
        // The decrement stays even when it fails; the reset that follows clears it.
        --regs.jsr_depth;
        if (regs.jsr_depth >= 0) {
            return true;
        }
        reason = StateMachineError::TooManyReturns;
        break;
    case Operation::Incx:
        if (x_loaded) {
            return true;
        }
        reason = StateMachineError::IncrementIndexNotLoaded;
        break;
    case Operation::Decx:
        if (x_loaded) {
            return true;
        }
        reason = StateMachineError::DecrementIndexNotLoaded;
        break;
    default:
        if (!uses_index(op.mode) || x_loaded) {
            return true;
        }
        reason = StateMachineError::IndexNotLoaded;
        break;
    }
    lend_registers(regs);
    m_machine.state_machine_error(reason);
    take_registers(regs);
    return false;
}

void Machine::fetch_word_operand(int32_t selector) {
    InstructionCycle(*this).fetch_word<true>(cpu, selector);
}

void Machine::fetch_byte_operand(int32_t selector) {
    InstructionCycle(*this).fetch_byte<true>(cpu, selector);
}

template <bool Narrate, class Regs>
void InstructionCycle::fetch_word(Regs& regs, int32_t selector) {
    // Message numbers of the three kinds of 16-bit read: before each byte, and the lines
    // naming where the high and the low byte went.
    struct WordLines {
        MessageNumber before;
        MessageNumber high_m, low_m; // "first/second byte read"
        MessageNumber high_r, low_r; // "into the high/low half of ..."
    };
    WordLines lines{};
    int32_t* target = nullptr;
    int32_t* source = nullptr;
    MessageNumber before_r = kMsgNone;
    switch (selector) {
    case kSelectProgramCounter:
        lines = {kMsgPcPointsAt, kMsgHighByteRead, kMsgLowByteRead, kMsgOperandAddressHoldsHigh,
                 kMsgOperandAddressComplete};
        target = &regs.operand_address;
        source = &regs.program_counter;
        break;
    case kSelectOperandAddress:
        lines = {kMsgOperandPointsAtPointer, kMsgHighByteRead, kMsgLowByteRead,
                 kMsgIndirectHoldsHigh, kMsgIndirectComplete};
        target = &regs.indirect_address;
        source = &regs.operand_address;
        break;
    case kSelectStack:
        lines = {kMsgSpGivesAddress, kMsgHighBytePopped, kMsgLowBytePopped, kMsgPcHoldsReturnHigh,
                 kMsgPcHoldsReturnAddress};
        target = &regs.program_counter;
        source = &regs.stack_pointer;
        before_r = kMsgStackGrowsDown;
        break;
    default:
        return;
    }

    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgFetchWord, lines.before, before_r, *source);
    }
    read_byte<Narrate>(regs, selector);
    *target = wrap32(int64_t{regs.data_register} * 256);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, lines.high_m, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgHighByteToRegister, kMsgHighByteCounts256, 0);
        tell<Narrate>(kMsgNone, lines.high_r, kMsgLowByteNext, 0);
        tell<Narrate>(kMsgNone, lines.before, before_r, *source);
    }
    read_byte<Narrate>(regs, selector);
    *target |= regs.data_register;
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, lines.low_m, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgLowByteToRegister, kMsgLowByteCountsItsValue, 0);
        tell<Narrate>(kMsgNone, lines.low_r, kMsgWordComplete, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::fetch_byte(Regs& regs, int32_t selector) {
    if (narrate<Narrate>(regs)) {
        switch (selector) {
        case kSelectProgramCounter:
            tell<Narrate>(kMsgFetchByte, kMsgPcPointsAt, kMsgNone, regs.program_counter);
            break;
        case kSelectOperandAddress:
            tell<Narrate>(kMsgFetchByte, kMsgAddressFromOperand, kMsgNone, regs.operand_address);
            break;
        case kSelectIndirectAddress:
            tell<Narrate>(kMsgFetchByte, kMsgEffectiveFromPointer, kMsgNone, regs.indirect_address);
            break;
        case kSelectStack:
            tell<Narrate>(kMsgFetchByte, kMsgSpGivesAddress, kMsgStackGrowsDown,
                          regs.stack_pointer);
            break;
        default:
            break;
        }
    }
    read_byte<Narrate>(regs, selector);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgOperandByteRead, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgOperandReady, kMsgNone, 0);
    }
}

// The index lines that precede the addition of X.
template <bool Narrate, class Regs>
void InstructionCycle::index_lines(Regs& regs, const OpcodeInfo& op) {
    if (!narrate<Narrate>(regs)) {
        return;
    }
    const MessageNumber m =
        op.mode == AddressingMode::PostIndexed ? kMsgPointerPlusIndex : kMsgOperandPlusIndex;
    tell<Narrate>(kMsgAddIndexRegister, kMsgIndexAdded, kMsgNone, 0);
    tell<Narrate>(kMsgNone, m, op.operation == Operation::Lda ? kMsgNone : kMsgSumWraps, 0);
}

// Reads the operand address of a memory mode and works out the effective address. The
// address lands where the instruction reads it (operand_address for absolute and indexed,
// indirect_address for the indirect forms) except for JMP, which takes the indexed sums
// straight into the program counter and leaves nn or the pointer in place.
template <bool Narrate, class Regs>
InstructionCycle::ResolvedOperand InstructionCycle::resolve_operand(Regs& regs,
                                                                    const OpcodeInfo& op) {
    const bool keeps_sum_apart = op.operation == Operation::Jmp;
    const int32_t x = regs.index_register;
    ResolvedOperand r;
    fetch_word<Narrate>(regs, kSelectProgramCounter);
    switch (op.mode) {
    case AddressingMode::Absolute:
        r.effective = regs.operand_address;
        break;
    case AddressingMode::Indexed:
        index_lines<Narrate>(regs, op);
        r.effective = wrap32(int64_t{x} + regs.operand_address) & 0xFFFF;
        if (!keeps_sum_apart) {
            regs.operand_address = r.effective;
        }
        break;
    case AddressingMode::Indirect:
        r.pointer = regs.operand_address;
        fetch_word<Narrate>(regs, kSelectOperandAddress);
        r.effective = regs.indirect_address;
        break;
    case AddressingMode::PreIndexed:
        index_lines<Narrate>(regs, op);
        regs.operand_address = wrap32(int64_t{x} + regs.operand_address) & 0xFFFF;
        r.pointer = regs.operand_address;
        fetch_word<Narrate>(regs, kSelectOperandAddress);
        r.effective = regs.indirect_address;
        break;
    case AddressingMode::PostIndexed:
        r.pointer = regs.operand_address;
        fetch_word<Narrate>(regs, kSelectOperandAddress);
        index_lines<Narrate>(regs, op);
        r.effective = wrap32(int64_t{x} + regs.indirect_address) & 0xFFFF;
        if (!keeps_sum_apart) {
            regs.indirect_address = r.effective;
        }
        break;
    default:
        break;
    }
    return r;
}

// The operand byte of a data instruction, into the data register.
template <bool Narrate, class Regs>
void InstructionCycle::read_operand(Regs& regs, const OpcodeInfo& op) {
    if (op.mode == AddressingMode::Immediate) {
        fetch_byte<Narrate>(regs, kSelectProgramCounter);
        return;
    }
    const ResolvedOperand r = resolve_operand<Narrate>(regs, op);
    if (profiling()) {
        count_pointer(r);
        count_primary_at(r.effective);
    }
    fetch_byte<Narrate>(regs,
                        is_indirect(op.mode) ? kSelectIndirectAddress : kSelectOperandAddress);
}

void InstructionCycle::count_primary_at(int32_t address) {
    if (address >= 0 && address <= kLastCell) {
        bump(m_machine.memory_cells[static_cast<size_t>(address)].count_primary);
    }
}

void InstructionCycle::count_secondary_at(int32_t address) {
    if (address >= 0 && address <= kLastCell) {
        bump(m_machine.memory_cells[static_cast<size_t>(address)].count_secondary);
    }
}

// The two bytes of a pointer (or of a 16-bit operand in memory) each count as a read.
void InstructionCycle::count_pointer(const ResolvedOperand& r) {
    if (r.pointer >= 0) {
        count_primary_at(r.pointer);
        count_primary_at(r.pointer + 1);
    }
}

// Counters stop at their top rather than turn negative.
void InstructionCycle::bump(int32_t& counter) {
    if (counter < std::numeric_limits<int32_t>::max()) {
        ++counter;
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::execute(Regs& regs, const OpcodeInfo& op) {
    if (profiling() && !is_conditional_jump(op.operation)) {
        count_primary_at(regs.instruction_address);
    }
    switch (op.operation) {
    case Operation::Nop:
        break;
    case Operation::Halt:
        lend_registers(regs);
        m_machine.halt();
        take_registers(regs);
        break;
    case Operation::Setim:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgInterruptsAllowed, kMsgNone, 0);
        }
        regs.flag_i = 1;
        regs.interrupt_request = 0; // a pending request is dropped
        lend_registers(regs);
        ui().set_status_message(" ");
        take_registers(regs);
        break;
    case Operation::Clrim:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgInterruptsBlocked, kMsgNone, 0);
        }
        regs.flag_i = 0;
        break;
    case Operation::Add:
    case Operation::Addc:
    case Operation::Sub:
    case Operation::Subc:
        read_operand<Narrate>(regs, op);
        arithmetic<Narrate>(regs, op.operation);
        break;
    case Operation::And:
    case Operation::Or:
    case Operation::Xor:
        read_operand<Narrate>(regs, op);
        logic<Narrate>(regs, op.operation);
        break;
    case Operation::Cmpa:
        read_operand<Narrate>(regs, op);
        compare<Narrate>(regs);
        break;
    case Operation::Dadd:
    case Operation::Daddc:
    case Operation::Dsub:
    case Operation::Dsubc:
        read_operand<Narrate>(regs, op);
        decimal<Narrate>(regs, op.operation);
        break;
    case Operation::Shl:
    case Operation::Shr:
    case Operation::Rol:
    case Operation::Ror:
        shift<Narrate>(regs, op.operation);
        break;
    case Operation::Inca:
    case Operation::Deca:
    case Operation::Incx:
    case Operation::Decx:
        increment<Narrate>(regs, op.operation);
        break;
    case Operation::Lda:
        read_operand<Narrate>(regs, op);
        load_accumulator<Narrate>(regs);
        break;
    case Operation::Sta:
        store_accumulator<Narrate>(regs, op);
        break;
    case Operation::Bldsp:
    case Operation::Bldx:
    case Operation::Bldiv:
        load_register16<Narrate>(regs, op);
        break;
    case Operation::Bstsp:
    case Operation::Bstx:
        store_register16<Narrate>(regs, op.operation);
        break;
    case Operation::Pusha:
    case Operation::Pushsr:
        push<Narrate>(regs, op.operation);
        break;
    case Operation::Popa:
    case Operation::Popsr:
        pop<Narrate>(regs, op.operation);
        break;
    case Operation::Jmp:
        jump<Narrate>(regs, op);
        break;
    case Operation::Jsr:
        jump_to_subroutine<Narrate>(regs, op);
        break;
    case Operation::Rts:
        fetch_word<Narrate>(regs, kSelectStack);
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
        }
        break;
    case Operation::Rti:
        return_from_interrupt<Narrate>(regs);
        break;
    case Operation::Jz:
    case Operation::Jnz:
    case Operation::Jn:
    case Operation::Jnn:
    case Operation::Jc:
    case Operation::Jnc:
    case Operation::Jo:
    case Operation::Jno:
        conditional_jump<Narrate>(regs, op);
        break;
    }
}

template <class Regs>
void InstructionCycle::set_nz_from_accumulator(Regs& regs) {
    regs.flag_n = bit7(regs.accumulator);
    regs.flag_z = regs.accumulator == 0 ? 1 : 0;
}

template <bool Narrate, class Regs>
void InstructionCycle::result_lines(Regs& regs, MessageNumber remark) {
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgAccumulatorHolds, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, remark, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::arithmetic(Regs& regs, Operation operation) {
    const bool subtract = operation == Operation::Sub || operation == Operation::Subc;
    if (narrate<Narrate>(regs)) {
        const MessageNumber k = operation == Operation::Add    ? kMsgAddData
                                : operation == Operation::Addc ? kMsgAddDataWithCarry
                                : operation == Operation::Sub  ? kMsgSubtractData
                                                               : kMsgSubtractDataWithBorrow;
        tell<Narrate>(kMsgOperation, k, kMsgResultInAccumulator, 0);
    }
    // Subtraction adds the one's complement plus 1 (SUB) or plus the carry (SUBC).
    if (subtract) {
        regs.data_register = ~regs.data_register & 0xFF;
    }
    const int32_t a = regs.accumulator;
    const int32_t b = regs.data_register;
    int32_t carry_in = 0;
    if (operation == Operation::Sub) {
        carry_in = 1;
    } else if (operation == Operation::Addc || operation == Operation::Subc) {
        carry_in = regs.flag_c;
    }
    regs.alu_scratch = a;
    const int32_t sum = wrap32(int64_t{a} + b + carry_in);
    regs.flag_o = (bit7(a) == bit7(b) && bit7(sum) != bit7(a)) ? 1 : 0;
    regs.accumulator = sum & 0xFF;
    regs.flag_c = bit8(sum);
    set_nz_from_accumulator(regs);
    result_lines<Narrate>(regs, kMsgZncoFollowResult);
}

template <bool Narrate, class Regs>
void InstructionCycle::logic(Regs& regs, Operation operation) {
    if (narrate<Narrate>(regs)) {
        const MessageNumber k = operation == Operation::And  ? kMsgAndData
                                : operation == Operation::Or ? kMsgOrData
                                                             : kMsgXorData;
        tell<Narrate>(kMsgOperation, k, kMsgResultInAccumulator, 0);
    }
    if (operation == Operation::And) {
        regs.accumulator &= regs.data_register;
    } else if (operation == Operation::Or) {
        regs.accumulator |= regs.data_register;
    } else {
        regs.accumulator ^= regs.data_register;
    }
    set_nz_from_accumulator(regs);
    result_lines<Narrate>(regs, kMsgZnFollowResult);
}

template <bool Narrate, class Regs>
void InstructionCycle::compare(Regs& regs) {
    const int32_t a = regs.accumulator;
    const int32_t m = regs.data_register;
    if (a == m) {
        regs.flag_z = 1;
        regs.flag_c = 0;
    } else {
        regs.flag_z = 0;
        regs.flag_c = a > m ? 1 : 0;
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgOperation, kMsgCompareData, kMsgOnlyFlagsChange, 0);
        tell<Narrate>(kMsgNone, kMsgCompareKeepsOnlyFlags, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgNone, kMsgCompareRule, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgZcFollowCompare, 0);
    }
}

// Packed decimal: digits are not validated and the result is not reduced to a byte.
template <bool Narrate, class Regs>
void InstructionCycle::decimal(Regs& regs, Operation operation) {
    const bool subtract = operation == Operation::Dsub || operation == Operation::Dsubc;
    if (narrate<Narrate>(regs)) {
        const MessageNumber k = operation == Operation::Dadd    ? kMsgAddData
                                : operation == Operation::Daddc ? kMsgAddDataWithCarry
                                : operation == Operation::Dsub  ? kMsgSubtractData
                                                                : kMsgSubtractDataWithBorrow;
        tell<Narrate>(kMsgOperation, k, kMsgResultInAccumulator, 0);
    }
    const int32_t m = regs.data_register;
    regs.bcd_acc_negative = regs.accumulator > 0x49 ? 1 : 0;
    regs.bcd_operand_negative = m > 0x49 ? 1 : 0;
    if (subtract) {
        regs.data_register = wrap32(int64_t{0x99} - m); // nine's complement
    }
    const int32_t b = regs.data_register;
    int32_t carry_in = 0;
    if (operation == Operation::Dsub) {
        carry_in = 1;
    } else if (operation == Operation::Daddc || operation == Operation::Dsubc) {
        carry_in = regs.flag_c;
    }

    int32_t low = (regs.accumulator & 0x0F) + (b & 0x0F) + carry_in;
    if (low > 9) {
        low -= 10;
        regs.bcd_digit_carry = 0x10;
    } else {
        regs.bcd_digit_carry = 0;
    }
    regs.accumulator = (regs.accumulator & 0xF0) | low;

    int32_t high = (regs.accumulator & 0xF0) + (b & 0xF0) + regs.bcd_digit_carry;
    regs.alu_scratch = high;
    if (high > 0x90) {
        high -= 0xA0;
        regs.alu_scratch = high;
        regs.flag_c = 1;
    } else {
        regs.flag_c = 0;
    }
    regs.accumulator = (regs.accumulator & 0x0F) | high;

    regs.flag_n = regs.accumulator > 0x49 ? 1 : 0;
    regs.flag_z = regs.accumulator == 0 ? 1 : 0;
    regs.flag_o =
        (regs.bcd_acc_negative == regs.bcd_operand_negative && regs.flag_n != regs.bcd_acc_negative)
            ? 1
            : 0;
    result_lines<Narrate>(regs, kMsgZncoFollowResult);
}

template <bool Narrate, class Regs>
void InstructionCycle::shift(Regs& regs, Operation operation) {
    int32_t& a = regs.accumulator;
    MessageNumber k = kMsgNone;
    switch (operation) {
    case Operation::Shl: {
        const int32_t s = wrap32(int64_t{a} * 2);
        if (bit8(s) != 0) {
            a = s & 0xFF;
            regs.flag_c = 1;
        } else {
            a = s;
            regs.flag_c = 0;
        }
        k = kMsgShiftedLeft;
        break;
    }
    case Operation::Shr:
        // Arithmetic shift: the sign bit stays.
        regs.flag_c = static_cast<int16_t>(a & 1);
        a >>= 1;
        if ((a & 0x40) != 0) {
            a |= 0x80;
        }
        k = kMsgShiftedRight;
        break;
    case Operation::Rol: {
        const int16_t old_c = regs.flag_c;
        const int32_t s = wrap32(int64_t{a} * 2);
        regs.flag_c = bit8(s);
        a = s & 0xFF;
        if (old_c == 1) {
            a |= 1;
        }
        k = kMsgRotatedLeft;
        break;
    }
    case Operation::Ror: {
        const auto new_c = static_cast<int16_t>(a & 1);
        a >>= 1;
        if (regs.flag_c == 1) {
            a |= 0x80;
        } else {
            a &= ~0x80;
        }
        regs.flag_c = new_c;
        k = kMsgRotatedRight;
        break;
    }
    default:
        break;
    }
    set_nz_from_accumulator(regs);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgOperation, k, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgAccumulatorHolds, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgNone, kMsgCarryHoldsBitOut, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgZncFollowResult, 0);
    }
}

// INCA, DECA, INCX and DECX: their second entry line, then the operation.
template <bool Narrate, class Regs>
void InstructionCycle::increment(Regs& regs, Operation operation) {
    switch (operation) {
    case Operation::Inca:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgAccumulatorPlusOne, kMsgResultInAccumulator, 0);
        }
        regs.accumulator = wrap32(int64_t{regs.accumulator} + 1) & 0xFF;
        set_nz_from_accumulator(regs);
        result_lines<Narrate>(regs, kMsgZnFollowResult);
        break;
    case Operation::Deca:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgAccumulatorMinusOne, kMsgResultInAccumulator, 0);
        }
        regs.accumulator = regs.accumulator == 0 ? 0xFF : wrap32(int64_t{regs.accumulator} - 1);
        set_nz_from_accumulator(regs);
        result_lines<Narrate>(regs, kMsgZnFollowResult);
        break;
    case Operation::Incx:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgIndexPlusOne, kMsgOnlyZeroChanges, 0);
        }
        regs.index_register = wrap32(int64_t{regs.index_register} + 1) & 0xFFFF;
        regs.flag_z = regs.index_register == 0 ? 1 : 0;
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgZeroWhenIndexZero, 0);
        }
        break;
    case Operation::Decx:
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgOperation, kMsgIndexMinusOne, kMsgOnlyZeroChanges, 0);
        }
        regs.index_register =
            regs.index_register == 0 ? 0xFFFF : wrap32(int64_t{regs.index_register} - 1);
        regs.flag_z = regs.index_register == 0 ? 1 : 0;
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgZeroWhenIndexZero, 0);
        }
        break;
    default:
        break;
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::load_accumulator(Regs& regs) {
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgOperation, kMsgDataToAccumulator, kMsgNone, 0);
    }
    regs.accumulator = regs.data_register;
    set_nz_from_accumulator(regs);
    result_lines<Narrate>(regs, kMsgZnFollowResult);
}

template <bool Narrate, class Regs>
void InstructionCycle::store_accumulator(Regs& regs, const OpcodeInfo& op) {
    const ResolvedOperand r = resolve_operand<Narrate>(regs, op);
    if (profiling()) {
        count_pointer(r);
        count_secondary_at(r.effective);
    }
    if (is_indirect(op.mode)) {
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgWriteToMemory, kMsgAddressFromPointer, kMsgNone,
                          regs.indirect_address);
        }
        write_byte<Narrate>(regs, kSelectIndirectAddress, regs.accumulator);
    } else {
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgWriteToMemory, kMsgAddressFromOperand, kMsgNone,
                          regs.operand_address);
        }
        write_byte<Narrate>(regs, kSelectOperandAddress, regs.accumulator);
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgAccumulatorWritten, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::load_register16(Regs& regs, const OpcodeInfo& op) {
    int32_t* reg = &regs.stack_pointer;
    int16_t* guard = &regs.stack_pointer_loaded;
    MessageNumber high_m = kMsgSpHighLoaded;
    MessageNumber low_m = kMsgSpLowLoaded;
    if (op.operation == Operation::Bldx) {
        reg = &regs.index_register;
        guard = &regs.index_register_loaded;
        high_m = kMsgXHighLoaded;
        low_m = kMsgXLowLoaded;
    } else if (op.operation == Operation::Bldiv) {
        reg = &regs.interrupt_vector;
        guard = &regs.interrupt_vector_loaded;
        high_m = kMsgIvHighLoaded;
        low_m = kMsgIvLowLoaded;
    }

    int32_t selector = kSelectProgramCounter;
    if (op.mode == AddressingMode::Absolute) {
        fetch_word<Narrate>(regs, kSelectProgramCounter);
        if (profiling()) {
            count_pointer({.effective = regs.operand_address, .pointer = regs.operand_address});
        }
        selector = kSelectOperandAddress;
    }
    fetch_byte<Narrate>(regs, selector);
    *reg = wrap32(int64_t{regs.data_register} * 256);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, high_m, kMsgHighByteCounts256, 0);
    }
    fetch_byte<Narrate>(regs, selector);
    *reg |= regs.data_register;
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, low_m, kMsgLowByteCountsItsValue, 0);
    }
    *guard = kTrue;
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::store_register16(Regs& regs, Operation operation) {
    const bool index = operation == Operation::Bstx;
    const int32_t value = index ? regs.index_register : regs.stack_pointer;
    const MessageNumber high_m = index ? kMsgXHighWritten : kMsgSpHighWritten;
    const MessageNumber low_m = index ? kMsgXLowWritten : kMsgSpLowWritten;

    fetch_word<Narrate>(regs, kSelectProgramCounter);
    if (profiling()) {
        count_secondary_at(regs.operand_address);
        count_secondary_at(regs.operand_address + 1);
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgWriteToMemory, kMsgAddressFromOperand, kMsgNone, regs.operand_address);
    }
    write_byte<Narrate>(regs, kSelectOperandAddress, value / 256);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, high_m, kMsgNone, 0);
        tell<Narrate>(kMsgWriteToMemory, kMsgAddressFromOperand, kMsgNone, regs.operand_address);
    }
    write_byte<Narrate>(regs, kSelectOperandAddress, value & 0xFF);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, low_m, kMsgNone, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::push(Regs& regs, Operation operation) {
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgWriteToMemory, kMsgSpGivesAddress, kMsgStackGrowsDown,
                      regs.stack_pointer);
    }
    if (profiling()) {
        count_secondary_at(kStackCountCell);
    }
    if (operation == Operation::Pushsr) {
        regs.data_register = packed_status(regs);
        write_byte<Narrate>(regs, kSelectStack, regs.data_register);
    } else {
        write_byte<Narrate>(regs, kSelectStack, regs.accumulator);
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgByteOnStack, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
    }
}

template <bool Narrate, class Regs>
void InstructionCycle::pop(Regs& regs, Operation operation) {
    if (profiling()) {
        count_primary_at(kStackCountCell);
    }
    fetch_byte<Narrate>(regs, kSelectStack);
    if (operation == Operation::Popa) {
        load_accumulator<Narrate>(regs);
        return;
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgOperation, kMsgStatusToFlags, kMsgNone, 0);
    }
    restore_flags(regs, regs.data_register);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgFlagsFromStatusByte, 0);
    }
}

template <class Regs>
void InstructionCycle::restore_flags(Regs& regs, int32_t status_bits) {
    regs.flag_c = (status_bits & kStatusC) != 0 ? 1 : 0;
    regs.flag_z = (status_bits & kStatusZ) != 0 ? 1 : 0;
    regs.flag_n = (status_bits & kStatusN) != 0 ? 1 : 0;
    regs.flag_o = (status_bits & kStatusO) != 0 ? 1 : 0;
    regs.flag_i = (status_bits & kStatusI) != 0 ? 1 : 0;
}

// The address a JMP or JSR goes to, with the pointer counts of the indirect forms.
template <bool Narrate, class Regs>
int32_t InstructionCycle::jump_target(Regs& regs, const OpcodeInfo& op) {
    const ResolvedOperand r = resolve_operand<Narrate>(regs, op);
    if (profiling()) {
        count_pointer(r);
    }
    return r.effective;
}

template <bool Narrate, class Regs>
void InstructionCycle::jump_closing_lines(Regs& regs, const OpcodeInfo& op) {
    if (!narrate<Narrate>(regs)) {
        return;
    }
    if (is_indirect(op.mode)) {
        tell<Narrate>(kMsgOperation, kMsgAddressFromPointer, kMsgPcHoldsTarget,
                      regs.program_counter);
        tell<Narrate>(kMsgNone, kMsgContinueAtPointer, kMsgNextOpcodeFromThere, 0);
    } else {
        tell<Narrate>(kMsgOperation, kMsgAddressFromOperand, kMsgPcHoldsTarget,
                      regs.program_counter);
        tell<Narrate>(kMsgNone, kMsgContinueAtOperand, kMsgNextOpcodeFromThere, 0);
    }
    tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
}

template <bool Narrate, class Regs>
void InstructionCycle::jump(Regs& regs, const OpcodeInfo& op) {
    regs.program_counter = jump_target<Narrate>(regs, op);
    jump_closing_lines<Narrate>(regs, op);
}

template <bool Narrate, class Regs>
void InstructionCycle::jump_to_subroutine(Regs& regs, const OpcodeInfo& op) {
    // Deeper than a 16-bit count can tell is not counted further.
    if (regs.jsr_depth < std::numeric_limits<int16_t>::max()) {
        ++regs.jsr_depth;
    }
    const int32_t target = jump_target<Narrate>(regs, op);
    // The program counter now holds the return address; it goes on the stack low byte
    // first, so it sits high byte at the lower address like every 16-bit value.
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgSaveReturnAddress, kMsgSpGivesAddress, kMsgStackGrowsDown,
                      regs.stack_pointer);
    }
    write_byte<Narrate>(regs, kSelectStack, regs.program_counter & 0xFF);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgReturnLowPushed, kMsgDataBus, 0);
        tell<Narrate>(kMsgNone, kMsgSpGivesAddress, kMsgStackGrowsDown, regs.stack_pointer);
    }
    write_byte<Narrate>(regs, kSelectStack, regs.program_counter / 256);
    regs.program_counter = target;
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgReturnHighPushed, kMsgDataBus, 0);
    }
    jump_closing_lines<Narrate>(regs, op);
}

template <bool Narrate, class Regs>
void InstructionCycle::return_from_interrupt(Regs& regs) {
    fetch_byte<Narrate>(regs, kSelectStack);
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, kMsgStatusToFlags, kMsgNone, 0);
    }
    restore_flags(regs, regs.data_register);
    fetch_word<Narrate>(regs, kSelectStack);
    regs.interrupt_request = 0;
    lend_registers(regs);
    ui().set_status_message(" ");
    take_registers(regs);
}

template <bool Narrate, class Regs>
void InstructionCycle::conditional_jump(Regs& regs, const OpcodeInfo& op) {
    struct JumpLines {
        MessageNumber entry_m, entry_r, not_taken, taken;
    };
    bool taken = false;
    JumpLines lines{};
    switch (op.operation) {
    case Operation::Jz:
        taken = regs.flag_z != 0;
        lines = {kMsgTestZero, kMsgJzRule, kMsgJzNotTaken, kMsgJzTaken};
        break;
    case Operation::Jnz:
        taken = regs.flag_z == 0;
        lines = {kMsgTestZero, kMsgJnzRule, kMsgJnzNotTaken, kMsgJnzTaken};
        break;
    case Operation::Jn:
        taken = regs.flag_n != 0;
        lines = {kMsgTestNegative, kMsgNone, kMsgJnNotTaken, kMsgJnTaken};
        break;
    case Operation::Jnn:
        taken = regs.flag_n == 0;
        lines = {kMsgTestNegative, kMsgNone, kMsgJnnNotTaken, kMsgJnnTaken};
        break;
    case Operation::Jc:
        taken = regs.flag_c != 0;
        lines = {kMsgTestCarry, kMsgNone, kMsgJcNotTaken, kMsgJcTaken};
        break;
    case Operation::Jnc:
        taken = regs.flag_c == 0;
        lines = {kMsgTestCarry, kMsgNone, kMsgJncNotTaken, kMsgJncTaken};
        break;
    case Operation::Jo:
        taken = regs.flag_o != 0;
        lines = {kMsgTestOverflow, kMsgNone, kMsgJoNotTaken, kMsgJoTaken};
        break;
    case Operation::Jno:
        taken = regs.flag_o == 0;
        lines = {kMsgTestOverflow, kMsgNone, kMsgJnoNotTaken, kMsgJnoTaken};
        break;
    default:
        break;
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgTestCondition, lines.entry_m, lines.entry_r, 0);
    }
    if (!taken) {
        if (profiling()) {
            count_secondary_at(regs.instruction_address);
        }
        regs.program_counter = wrap32(int64_t{regs.program_counter} + 2); // skip the address
        if (narrate<Narrate>(regs)) {
            tell<Narrate>(kMsgNone, lines.not_taken, kMsgNone, 0);
            tell<Narrate>(kMsgNone, kMsgSkipJumpAddress, kMsgAddressBytesNotRead, 0);
            tell<Narrate>(kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0);
        }
        return;
    }
    if (profiling()) {
        count_primary_at(regs.instruction_address);
    }
    if (narrate<Narrate>(regs)) {
        tell<Narrate>(kMsgNone, lines.taken, kMsgNone, 0);
    }
    fetch_word<Narrate>(regs, kSelectProgramCounter);
    regs.program_counter = regs.operand_address;
    jump_closing_lines<Narrate>(regs, op);
}

// HALT looks once after a yield, then waits for the event that ends it: a request already
// pending (inside an interrupt routine, say) lets the next instruction run at once.
void Machine::halt() {
    const auto halted = [this] {
        const MachineMode mode = status.machine_mode;
        return mode != MachineMode::Reset && mode != MachineMode::PowerOff &&
               cpu.interrupt_request != 1;
    };
    InstructionCycle::expect_registers_lent(*this);
    cpu.instruction_register = 0;
    m_ui.yield();
    while (halted()) {
        cpu.instruction_register = 0;
        m_ui.wait_for_event();
    }
}

} // namespace tallyrig

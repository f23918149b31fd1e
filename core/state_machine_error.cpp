#include "core/instruction_cycle.h"
#include "core/text_helpers.h"

#include <array>
#include <string_view>

namespace tallyrig {

namespace {

constexpr std::array<std::string_view, 10> kReasons{
    ". You are trying to use an index mode instruction, but you have not loaded the index "
    "register",
    ". You are trying to store the index register, but you have not loaded it yet",
    ". You are trying to store the stack pointer, but you have not loaded it yet",
    ". This instruction uses the stack, but you have not loaded the stack pointer yet",
    ". You are trying to execute more return from subroutine (RTS) than jump to subroutine "
    "(JSR) instructions",
    ". You are trying to increment the index register, but you have not loaded it yet",
    ". You are trying to decrement the index register, but you have not loaded it yet",
    ". You are trying to execute an undefined opcode",
    ". You are trying to call an interrupt, but you have not loaded the interrupt vector yet",
    ". You are trying to call an interrupt, but you have not loaded the stack pointer yet",
};

} // namespace

std::string state_machine_error_text(int16_t code, int32_t memory_address_register) {
    std::string text = "Eeeek! You have a problem at address ";
    text += Statemc_pad_hex(hex_text(memory_address_register));
    if (code >= 1 && code <= static_cast<int16_t>(kReasons.size())) {
        text += kReasons[static_cast<size_t>(code - 1)];
    }
    text += ". I'm about to execute a hard reset for your own protection.";
    return text;
}

void Machine::state_machine_error(StateMachineError reason) {
    InstructionCycle::expect_registers_lent(*this);
    m_ui.message_box(
        state_machine_error_text(static_cast<int16_t>(reason), cpu.memory_address_register),
        "State machine Error", MessageIcon::Critical, MessageButtons::Ok);
    status.machine_mode = MachineMode::Reset;
}

} // namespace tallyrig

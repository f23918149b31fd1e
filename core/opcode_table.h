// The instruction set as data: one row per opcode. The CPU decodes through it and the
// assembler encodes through it, so the two can never disagree.
#pragma once

#include "core/message_numbers.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tallyrig {

enum class AddressingMode : uint8_t {
    Implied,
    Immediate,    // n
    BigImmediate, // nn, loads of SP, X and IV only
    Absolute,     // [nn]
    Indexed,      // [nn,X]
    Indirect,     // [[nn]]
    PreIndexed,   // [[nn,X]]
    PostIndexed,  // [[nn],X]
};

// clang-format off
enum class Operation : uint8_t {
    Nop, Halt, Setim, Clrim,
    Add, Addc, Sub, Subc, And, Or, Xor, Cmpa,
    Dadd, Daddc, Dsub, Dsubc,
    Shl, Shr, Rol, Ror, Inca, Deca, Incx, Decx,
    Lda, Sta, Bldsp, Bldx, Bldiv, Bstsp, Bstx,
    Popa, Popsr, Pusha, Pushsr,
    Jmp, Jsr, Rts, Rti,
    Jz, Jnz, Jn, Jnn, Jc, Jnc, Jo, Jno,
};
// clang-format on

struct OpcodeInfo {
    uint8_t opcode;
    std::string_view mnemonic;
    AddressingMode mode;
    uint8_t length;        // bytes, opcode included
    MessageNumber entry_m; // the entry log line (its header is always kMsgExecuteInstruction)
    MessageNumber entry_r;
    Operation operation;
};

namespace detail {
using M = AddressingMode;
using O = Operation;
// clang-format off
inline constexpr std::array<OpcodeInfo, 91> kOpcodes{{
    {0x00, "NOP",    M::Implied,      1, kMsgNop,               kMsgOnlyPcMoves,         O::Nop},
    {0x01, "HALT",   M::Implied,      1, kMsgHalt,              kMsgWaitsForInterrupt,   O::Halt},
    {0x08, "SETIM",  M::Implied,      1, kMsgSetim,             kMsgNone,                O::Setim},
    {0x09, "CLRIM",  M::Implied,      1, kMsgClrim,             kMsgNone,                O::Clrim},
    {0x10, "ADD",    M::Immediate,    2, kMsgAddImmediate,      kMsgOperandFollows,      O::Add},
    {0x11, "ADD",    M::Absolute,     3, kMsgAddAbsolute,       kMsgAddressFollows,      O::Add},
    {0x12, "ADD",    M::Indexed,      3, kMsgAddIndexed,        kMsgAddressFollows,      O::Add},
    {0x18, "ADDC",   M::Immediate,    2, kMsgAddcImmediate,     kMsgOperandFollows,      O::Addc},
    {0x19, "ADDC",   M::Absolute,     3, kMsgAddcAbsolute,      kMsgAddressFollows,      O::Addc},
    {0x1A, "ADDC",   M::Indexed,      3, kMsgAddcIndexed,       kMsgAddressFollows,      O::Addc},
    {0x20, "SUB",    M::Immediate,    2, kMsgSubImmediate,      kMsgOperandFollows,      O::Sub},
    {0x21, "SUB",    M::Absolute,     3, kMsgSubAbsolute,       kMsgAddressFollows,      O::Sub},
    {0x22, "SUB",    M::Indexed,      3, kMsgSubIndexed,        kMsgAddressFollows,      O::Sub},
    {0x28, "SUBC",   M::Immediate,    2, kMsgSubcImmediate,     kMsgOperandFollows,      O::Subc},
    {0x29, "SUBC",   M::Absolute,     3, kMsgSubcAbsolute,      kMsgAddressFollows,      O::Subc},
    {0x2A, "SUBC",   M::Indexed,      3, kMsgSubcIndexed,       kMsgAddressFollows,      O::Subc},
    {0x30, "AND",    M::Immediate,    2, kMsgAndImmediate,      kMsgOperandFollows,      O::And},
    {0x31, "AND",    M::Absolute,     3, kMsgAndAbsolute,       kMsgAddressFollows,      O::And},
    {0x32, "AND",    M::Indexed,      3, kMsgAndIndexed,        kMsgAddressFollows,      O::And},
    {0x38, "OR",     M::Immediate,    2, kMsgOrImmediate,       kMsgOperandFollows,      O::Or},
    {0x39, "OR",     M::Absolute,     3, kMsgOrAbsolute,        kMsgAddressFollows,      O::Or},
    {0x3A, "OR",     M::Indexed,      3, kMsgOrIndexed,         kMsgAddressFollows,      O::Or},
    {0x40, "XOR",    M::Immediate,    2, kMsgXorImmediate,      kMsgOperandFollows,      O::Xor},
    {0x41, "XOR",    M::Absolute,     3, kMsgXorAbsolute,       kMsgAddressFollows,      O::Xor},
    {0x42, "XOR",    M::Indexed,      3, kMsgXorIndexed,        kMsgAddressFollows,      O::Xor},
    {0x48, "DADD",   M::Immediate,    2, kMsgDaddImmediate,     kMsgOperandFollows,      O::Dadd},
    {0x49, "DADD",   M::Absolute,     3, kMsgDaddAbsolute,      kMsgAddressFollows,      O::Dadd},
    {0x4A, "DADD",   M::Indexed,      3, kMsgDaddIndexed,       kMsgAddressFollows,      O::Dadd},
    {0x50, "BLDSP",  M::BigImmediate, 3, kMsgBldspImmediate,    kMsgWordFollows,         O::Bldsp},
    {0x51, "BLDSP",  M::Absolute,     3, kMsgBldspAbsolute,     kMsgAddressFollows,      O::Bldsp},
    {0x59, "BSTSP",  M::Absolute,     3, kMsgBstspAbsolute,     kMsgAddressFollows,      O::Bstsp},
    {0x60, "CMPA",   M::Immediate,    2, kMsgCmpaImmediate,     kMsgOperandFollows,      O::Cmpa},
    {0x61, "CMPA",   M::Absolute,     3, kMsgCmpaAbsolute,      kMsgAddressFollows,      O::Cmpa},
    {0x62, "CMPA",   M::Indexed,      3, kMsgCmpaIndexed,       kMsgAddressFollows,      O::Cmpa},
    {0x68, "DADDC",  M::Immediate,    2, kMsgDaddcImmediate,    kMsgOperandFollows,      O::Daddc},
    {0x69, "DADDC",  M::Absolute,     3, kMsgDaddcAbsolute,     kMsgAddressFollows,      O::Daddc},
    {0x6A, "DADDC",  M::Indexed,      3, kMsgDaddcIndexed,      kMsgAddressFollows,      O::Daddc},
    {0x70, "SHL",    M::Implied,      1, kMsgShl,               kMsgResultInAccumulator, O::Shl},
    {0x71, "SHR",    M::Implied,      1, kMsgShr,               kMsgResultInAccumulator, O::Shr},
    {0x78, "ROL",    M::Implied,      1, kMsgRol,               kMsgResultInAccumulator, O::Rol},
    {0x79, "ROR",    M::Implied,      1, kMsgRor,               kMsgResultInAccumulator, O::Ror},
    {0x80, "INCA",   M::Implied,      1, kMsgInca,              kMsgNone,                O::Inca},
    {0x81, "DECA",   M::Implied,      1, kMsgDeca,              kMsgNone,                O::Deca},
    {0x82, "INCX",   M::Implied,      1, kMsgIncx,              kMsgNone,                O::Incx},
    {0x83, "DECX",   M::Implied,      1, kMsgDecx,              kMsgNone,                O::Decx},
    {0x88, "DSUB",   M::Immediate,    2, kMsgDsubImmediate,     kMsgOperandFollows,      O::Dsub},
    {0x89, "DSUB",   M::Absolute,     3, kMsgDsubAbsolute,      kMsgAddressFollows,      O::Dsub},
    {0x8A, "DSUB",   M::Indexed,      3, kMsgDsubIndexed,       kMsgAddressFollows,      O::Dsub},
    {0x90, "LDA",    M::Immediate,    2, kMsgLdaImmediate,      kMsgOperandFollows,      O::Lda},
    {0x91, "LDA",    M::Absolute,     3, kMsgLdaAbsolute,       kMsgAddressFollows,      O::Lda},
    {0x92, "LDA",    M::Indexed,      3, kMsgLdaIndexed,        kMsgAddressFollows,      O::Lda},
    {0x93, "LDA",    M::Indirect,     3, kMsgLdaIndirect,       kMsgPointerFollows,      O::Lda},
    {0x94, "LDA",    M::PreIndexed,   3, kMsgLdaPreIndexed,     kMsgPointerFollows,      O::Lda},
    {0x95, "LDA",    M::PostIndexed,  3, kMsgLdaPostIndexed,    kMsgPointerFollows,      O::Lda},
    {0x99, "STA",    M::Absolute,     3, kMsgStaAbsolute,       kMsgAddressFollows,      O::Sta},
    {0x9A, "STA",    M::Indexed,      3, kMsgStaIndexed,        kMsgAddressFollows,      O::Sta},
    {0x9B, "STA",    M::Indirect,     3, kMsgStaIndirect,       kMsgPointerFollows,      O::Sta},
    {0x9C, "STA",    M::PreIndexed,   3, kMsgStaPreIndexed,     kMsgPointerFollows,      O::Sta},
    {0x9D, "STA",    M::PostIndexed,  3, kMsgStaPostIndexed,    kMsgPointerFollows,      O::Sta},
    {0xA0, "BLDX",   M::BigImmediate, 3, kMsgBldxImmediate,     kMsgWordFollows,         O::Bldx},
    {0xA1, "BLDX",   M::Absolute,     3, kMsgBldxAbsolute,      kMsgAddressFollows,      O::Bldx},
    {0xA9, "BSTX",   M::Absolute,     3, kMsgBstxAbsolute,      kMsgAddressFollows,      O::Bstx},
    {0xB0, "POPA",   M::Implied,      1, kMsgPopa,              kMsgNone,                O::Popa},
    {0xB1, "POPSR",  M::Implied,      1, kMsgPopsr,             kMsgNone,                O::Popsr},
    {0xB2, "PUSHA",  M::Implied,      1, kMsgPusha,             kMsgByteToStack,         O::Pusha},
    {0xB3, "PUSHSR", M::Implied,      1, kMsgPushsr,            kMsgByteToStack,         O::Pushsr},
    {0xB8, "DSUBC",  M::Immediate,    2, kMsgDsubcImmediate,    kMsgOperandFollows,      O::Dsubc},
    {0xB9, "DSUBC",  M::Absolute,     3, kMsgDsubcAbsolute,     kMsgAddressFollows,      O::Dsubc},
    {0xBA, "DSUBC",  M::Indexed,      3, kMsgDsubcIndexed,      kMsgAddressFollows,      O::Dsubc},
    {0xC1, "JMP",    M::Absolute,     3, kMsgJmpAbsolute,       kMsgAddressFollows,      O::Jmp},
    {0xC2, "JMP",    M::Indexed,      3, kMsgJmpIndexed,        kMsgAddressFollows,      O::Jmp},
    {0xC3, "JMP",    M::Indirect,     3, kMsgJmpIndirect,       kMsgPointerFollows,      O::Jmp},
    {0xC4, "JMP",    M::PreIndexed,   3, kMsgJmpPreIndexed,     kMsgPointerFollows,      O::Jmp},
    {0xC5, "JMP",    M::PostIndexed,  3, kMsgJmpPostIndexed,    kMsgPointerFollows,      O::Jmp},
    {0xC7, "RTI",    M::Implied,      1, kMsgRti,               kMsgNone,                O::Rti},
    {0xC9, "JSR",    M::Absolute,     3, kMsgJsrAbsolute,       kMsgAddressFollows,      O::Jsr},
    {0xCA, "JSR",    M::Indexed,      3, kMsgJsrIndexed,        kMsgAddressFollows,      O::Jsr},
    {0xCB, "JSR",    M::Indirect,     3, kMsgJsrIndirect,       kMsgPointerFollows,      O::Jsr},
    {0xCC, "JSR",    M::PreIndexed,   3, kMsgJsrPreIndexed,     kMsgPointerFollows,      O::Jsr},
    {0xCD, "JSR",    M::PostIndexed,  3, kMsgJsrPostIndexed,    kMsgPointerFollows,      O::Jsr},
    {0xCF, "RTS",    M::Implied,      1, kMsgRts,               kMsgReturnAddressPopped, O::Rts},
    {0xD1, "JZ",     M::Absolute,     3, kMsgJz,                kMsgAddressFollows,      O::Jz},
    {0xD6, "JNZ",    M::Absolute,     3, kMsgJnz,               kMsgAddressFollows,      O::Jnz},
    {0xD9, "JN",     M::Absolute,     3, kMsgJn,                kMsgAddressFollows,      O::Jn},
    {0xDE, "JNN",    M::Absolute,     3, kMsgJnn,               kMsgAddressFollows,      O::Jnn},
    {0xE1, "JC",     M::Absolute,     3, kMsgJc,                kMsgAddressFollows,      O::Jc},
    {0xE6, "JNC",    M::Absolute,     3, kMsgJnc,               kMsgAddressFollows,      O::Jnc},
    {0xE9, "JO",     M::Absolute,     3, kMsgJo,                kMsgAddressFollows,      O::Jo},
    {0xEE, "JNO",    M::Absolute,     3, kMsgJno,               kMsgAddressFollows,      O::Jno},
    {0xF0, "BLDIV",  M::BigImmediate, 3, kMsgBldivImmediate,    kMsgWordFollows,         O::Bldiv},
    {0xF1, "BLDIV",  M::Absolute,     3, kMsgBldivAbsolute,     kMsgAddressFollows,      O::Bldiv},
}};
// clang-format on

// Opcode byte to its row, nullptr for the gaps: one load per decode.
inline constexpr std::array<const OpcodeInfo*, 256> make_decode_table() {
    std::array<const OpcodeInfo*, 256> table{};
    for (const OpcodeInfo& row : kOpcodes) {
        table[row.opcode] = &row;
    }
    return table;
}
inline constexpr std::array<const OpcodeInfo*, 256> kDecodeTable = make_decode_table();
} // namespace detail

inline constexpr const std::array<OpcodeInfo, 91>& opcode_table() {
    return detail::kOpcodes;
}

// The row of an opcode, or nullptr when the value is no defined opcode (anything above 0xF1,
// the values a never-written cell holds, and the gaps of the table).
inline constexpr const OpcodeInfo* decode_opcode(int32_t value) {
    if (static_cast<uint32_t>(value) > 0xFF) {
        return nullptr;
    }
    return detail::kDecodeTable[static_cast<size_t>(value)];
}

// The opcode of a mnemonic in a mode, for the assembler. Mnemonics are upper case.
inline constexpr std::optional<uint8_t> encode_opcode(std::string_view mnemonic,
                                                      AddressingMode mode) {
    for (const OpcodeInfo& row : detail::kOpcodes) {
        if (row.mnemonic == mnemonic && row.mode == mode) {
            return row.opcode;
        }
    }
    return std::nullopt;
}

inline constexpr bool is_conditional_jump(Operation op) {
    return op >= Operation::Jz && op <= Operation::Jno;
}

} // namespace tallyrig

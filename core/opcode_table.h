// The instruction set as data: one row per opcode. The CPU decodes through it and the
// assembler encodes through it, so the two can never disagree.
#pragma once

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
    uint8_t length;  // bytes, opcode included
    int16_t entry_m; // message numbers of the entry log line (its L is always 1)
    int16_t entry_r;
    Operation operation;
};

namespace detail {
using M = AddressingMode;
using O = Operation;
// clang-format off
inline constexpr std::array<OpcodeInfo, 91> kOpcodes{{
    {0x00, "NOP",   M::Implied,      1,  43, 159, O::Nop},
    {0x01, "HALT",  M::Implied,      1,  33, 174, O::Halt},
    {0x08, "SETIM", M::Implied,      1, 236,   0, O::Setim},
    {0x09, "CLRIM", M::Implied,      1, 235,   0, O::Clrim},
    {0x10, "ADD",   M::Immediate,    2,  26, 153, O::Add},
    {0x11, "ADD",   M::Absolute,     3,  25, 152, O::Add},
    {0x12, "ADD",   M::Indexed,      3, 177, 152, O::Add},
    {0x18, "ADDC",  M::Immediate,    2,  28, 153, O::Addc},
    {0x19, "ADDC",  M::Absolute,     3,  27, 152, O::Addc},
    {0x1A, "ADDC",  M::Indexed,      3, 127, 152, O::Addc},
    {0x20, "SUB",   M::Immediate,    2,  57, 153, O::Sub},
    {0x21, "SUB",   M::Absolute,     3,  56, 152, O::Sub},
    {0x22, "SUB",   M::Indexed,      3, 128, 152, O::Sub},
    {0x28, "SUBC",  M::Immediate,    2,  59, 153, O::Subc},
    {0x29, "SUBC",  M::Absolute,     3,  58, 152, O::Subc},
    {0x2A, "SUBC",  M::Indexed,      3, 129, 152, O::Subc},
    {0x30, "AND",   M::Immediate,    2,  30, 153, O::And},
    {0x31, "AND",   M::Absolute,     3,  29, 152, O::And},
    {0x32, "AND",   M::Indexed,      3, 181, 152, O::And},
    {0x38, "OR",    M::Immediate,    2,  46, 153, O::Or},
    {0x39, "OR",    M::Absolute,     3,  45, 152, O::Or},
    {0x3A, "OR",    M::Indexed,      3, 182, 152, O::Or},
    {0x40, "XOR",   M::Immediate,    2,  61, 153, O::Xor},
    {0x41, "XOR",   M::Absolute,     3,  60, 152, O::Xor},
    {0x42, "XOR",   M::Indexed,      3, 183, 152, O::Xor},
    {0x48, "DADD",  M::Immediate,    2, 258, 153, O::Dadd},
    {0x49, "DADD",  M::Absolute,     3, 259, 152, O::Dadd},
    {0x4A, "DADD",  M::Indexed,      3, 260, 152, O::Dadd},
    {0x50, "BLDSP", M::BigImmediate, 3, 197,  22, O::Bldsp},
    {0x51, "BLDSP", M::Absolute,     3, 198, 152, O::Bldsp},
    {0x59, "BSTSP", M::Absolute,     3, 203, 152, O::Bstsp},
    {0x60, "CMPA",  M::Immediate,    2,  32, 153, O::Cmpa},
    {0x61, "CMPA",  M::Absolute,     3,  31, 152, O::Cmpa},
    {0x62, "CMPA",  M::Indexed,      3, 184, 152, O::Cmpa},
    {0x68, "DADDC", M::Immediate,    2, 261, 153, O::Daddc},
    {0x69, "DADDC", M::Absolute,     3, 262, 152, O::Daddc},
    {0x6A, "DADDC", M::Indexed,      3, 263, 152, O::Daddc},
    {0x70, "SHL",   M::Implied,      1,  53, 171, O::Shl},
    {0x71, "SHR",   M::Implied,      1,  54, 171, O::Shr},
    {0x78, "ROL",   M::Implied,      1,  49, 171, O::Rol},
    {0x79, "ROR",   M::Implied,      1,  50, 171, O::Ror},
    {0x80, "INCA",  M::Implied,      1, 237,   0, O::Inca},
    {0x81, "DECA",  M::Implied,      1, 238,   0, O::Deca},
    {0x82, "INCX",  M::Implied,      1, 212,   0, O::Incx},
    {0x83, "DECX",  M::Implied,      1, 213,   0, O::Decx},
    {0x88, "DSUB",  M::Immediate,    2, 264, 153, O::Dsub},
    {0x89, "DSUB",  M::Absolute,     3, 265, 152, O::Dsub},
    {0x8A, "DSUB",  M::Indexed,      3, 266, 152, O::Dsub},
    {0x90, "LDA",   M::Immediate,    2,  42, 153, O::Lda},
    {0x91, "LDA",   M::Absolute,     3,  41, 152, O::Lda},
    {0x92, "LDA",   M::Indexed,      3, 186, 152, O::Lda},
    {0x93, "LDA",   M::Indirect,     3, 187, 194, O::Lda},
    {0x94, "LDA",   M::PreIndexed,   3, 188, 194, O::Lda},
    {0x95, "LDA",   M::PostIndexed,  3, 189, 194, O::Lda},
    {0x99, "STA",   M::Absolute,     3,  55, 152, O::Sta},
    {0x9A, "STA",   M::Indexed,      3,  62, 152, O::Sta},
    {0x9B, "STA",   M::Indirect,     3,  63, 194, O::Sta},
    {0x9C, "STA",   M::PreIndexed,   3,  64, 194, O::Sta},
    {0x9D, "STA",   M::PostIndexed,  3,  65, 194, O::Sta},
    {0xA0, "BLDX",  M::BigImmediate, 3, 199,  22, O::Bldx},
    {0xA1, "BLDX",  M::Absolute,     3, 200, 152, O::Bldx},
    {0xA9, "BSTX",  M::Absolute,     3, 204, 152, O::Bstx},
    {0xB0, "POPA",  M::Implied,      1,  47,   0, O::Popa},
    {0xB1, "POPSR", M::Implied,      1,  23,   0, O::Popsr},
    {0xB2, "PUSHA", M::Implied,      1,  48, 170, O::Pusha},
    {0xB3, "PUSHSR",M::Implied,      1,  24, 170, O::Pushsr},
    {0xB8, "DSUBC", M::Immediate,    2, 267, 153, O::Dsubc},
    {0xB9, "DSUBC", M::Absolute,     3, 268, 152, O::Dsubc},
    {0xBA, "DSUBC", M::Indexed,      3, 269, 152, O::Dsubc},
    {0xC1, "JMP",   M::Absolute,     3,  36, 152, O::Jmp},
    {0xC2, "JMP",   M::Indexed,      3, 130, 152, O::Jmp},
    {0xC3, "JMP",   M::Indirect,     3, 131, 194, O::Jmp},
    {0xC4, "JMP",   M::PreIndexed,   3, 132, 194, O::Jmp},
    {0xC5, "JMP",   M::PostIndexed,  3, 133, 194, O::Jmp},
    {0xC7, "RTI",   M::Implied,      1,  51,   0, O::Rti},
    {0xC9, "JSR",   M::Absolute,     3,  39, 152, O::Jsr},
    {0xCA, "JSR",   M::Indexed,      3, 190, 152, O::Jsr},
    {0xCB, "JSR",   M::Indirect,     3, 191, 194, O::Jsr},
    {0xCC, "JSR",   M::PreIndexed,   3, 192, 194, O::Jsr},
    {0xCD, "JSR",   M::PostIndexed,  3, 193, 194, O::Jsr},
    {0xCF, "RTS",   M::Implied,      1,  52, 167, O::Rts},
    {0xD1, "JZ",    M::Absolute,     3,  40, 152, O::Jz},
    {0xD6, "JNZ",   M::Absolute,     3,  38, 152, O::Jnz},
    {0xD9, "JN",    M::Absolute,     3, 215, 152, O::Jn},
    {0xDE, "JNN",   M::Absolute,     3, 216, 152, O::Jnn},
    {0xE1, "JC",    M::Absolute,     3,  35, 152, O::Jc},
    {0xE6, "JNC",   M::Absolute,     3,  37, 152, O::Jnc},
    {0xE9, "JO",    M::Absolute,     3, 221, 152, O::Jo},
    {0xEE, "JNO",   M::Absolute,     3, 222, 152, O::Jno},
    {0xF0, "BLDIV", M::BigImmediate, 3, 201,  22, O::Bldiv},
    {0xF1, "BLDIV", M::Absolute,     3, 202, 152, O::Bldiv},
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

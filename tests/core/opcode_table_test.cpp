// Every opcode against the instruction set as the machine is documented: its mnemonic, mode and
// length, which the assembler encodes by, and the entry line its narration opens with.
#include "core/opcode_table.h"
#include "tests/support/machine_fixture.h"

#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

struct DocumentedOpcode {
    int32_t opcode;
    std::string_view mnemonic;
    AddressingMode mode;
    int length;
    int entry_m;
    int entry_r;
};

using M = AddressingMode;
// clang-format off
const DocumentedOpcode kDocumented[] = {
    {0x00, "NOP", M::Implied, 1, 43, 159},
    {0x01, "HALT", M::Implied, 1, 33, 174},
    {0x08, "SETIM", M::Implied, 1, 236, 0},
    {0x09, "CLRIM", M::Implied, 1, 235, 0},
    {0x10, "ADD", M::Immediate, 2, 26, 153},
    {0x11, "ADD", M::Absolute, 3, 25, 152},
    {0x12, "ADD", M::Indexed, 3, 177, 152},
    {0x18, "ADDC", M::Immediate, 2, 28, 153},
    {0x19, "ADDC", M::Absolute, 3, 27, 152},
    {0x1A, "ADDC", M::Indexed, 3, 127, 152},
    {0x20, "SUB", M::Immediate, 2, 57, 153},
    {0x21, "SUB", M::Absolute, 3, 56, 152},
    {0x22, "SUB", M::Indexed, 3, 128, 152},
    {0x28, "SUBC", M::Immediate, 2, 59, 153},
    {0x29, "SUBC", M::Absolute, 3, 58, 152},
    {0x2A, "SUBC", M::Indexed, 3, 129, 152},
    {0x30, "AND", M::Immediate, 2, 30, 153},
    {0x31, "AND", M::Absolute, 3, 29, 152},
    {0x32, "AND", M::Indexed, 3, 181, 152},
    {0x38, "OR", M::Immediate, 2, 46, 153},
    {0x39, "OR", M::Absolute, 3, 45, 152},
    {0x3A, "OR", M::Indexed, 3, 182, 152},
    {0x40, "XOR", M::Immediate, 2, 61, 153},
    {0x41, "XOR", M::Absolute, 3, 60, 152},
    {0x42, "XOR", M::Indexed, 3, 183, 152},
    {0x48, "DADD", M::Immediate, 2, 258, 153},
    {0x49, "DADD", M::Absolute, 3, 259, 152},
    {0x4A, "DADD", M::Indexed, 3, 260, 152},
    {0x50, "BLDSP", M::BigImmediate, 3, 197, 22},
    {0x51, "BLDSP", M::Absolute, 3, 198, 152},
    {0x59, "BSTSP", M::Absolute, 3, 203, 152},
    {0x60, "CMPA", M::Immediate, 2, 32, 153},
    {0x61, "CMPA", M::Absolute, 3, 31, 152},
    {0x62, "CMPA", M::Indexed, 3, 184, 152},
    {0x68, "DADDC", M::Immediate, 2, 261, 153},
    {0x69, "DADDC", M::Absolute, 3, 262, 152},
    {0x6A, "DADDC", M::Indexed, 3, 263, 152},
    {0x70, "SHL", M::Implied, 1, 53, 171},
    {0x71, "SHR", M::Implied, 1, 54, 171},
    {0x78, "ROL", M::Implied, 1, 49, 171},
    {0x79, "ROR", M::Implied, 1, 50, 171},
    {0x80, "INCA", M::Implied, 1, 237, 0},
    {0x81, "DECA", M::Implied, 1, 238, 0},
    {0x82, "INCX", M::Implied, 1, 212, 0},
    {0x83, "DECX", M::Implied, 1, 213, 0},
    {0x88, "DSUB", M::Immediate, 2, 264, 153},
    {0x89, "DSUB", M::Absolute, 3, 265, 152},
    {0x8A, "DSUB", M::Indexed, 3, 266, 152},
    {0x90, "LDA", M::Immediate, 2, 42, 153},
    {0x91, "LDA", M::Absolute, 3, 41, 152},
    {0x92, "LDA", M::Indexed, 3, 186, 152},
    {0x93, "LDA", M::Indirect, 3, 187, 194},
    {0x94, "LDA", M::PreIndexed, 3, 188, 194},
    {0x95, "LDA", M::PostIndexed, 3, 189, 194},
    {0x99, "STA", M::Absolute, 3, 55, 152},
    {0x9A, "STA", M::Indexed, 3, 62, 152},
    {0x9B, "STA", M::Indirect, 3, 63, 194},
    {0x9C, "STA", M::PreIndexed, 3, 64, 194},
    {0x9D, "STA", M::PostIndexed, 3, 65, 194},
    {0xA0, "BLDX", M::BigImmediate, 3, 199, 22},
    {0xA1, "BLDX", M::Absolute, 3, 200, 152},
    {0xA9, "BSTX", M::Absolute, 3, 204, 152},
    {0xB0, "POPA", M::Implied, 1, 47, 0},
    {0xB1, "POPSR", M::Implied, 1, 23, 0},
    {0xB2, "PUSHA", M::Implied, 1, 48, 170},
    {0xB3, "PUSHSR", M::Implied, 1, 24, 170},
    {0xB8, "DSUBC", M::Immediate, 2, 267, 153},
    {0xB9, "DSUBC", M::Absolute, 3, 268, 152},
    {0xBA, "DSUBC", M::Indexed, 3, 269, 152},
    {0xC1, "JMP", M::Absolute, 3, 36, 152},
    {0xC2, "JMP", M::Indexed, 3, 130, 152},
    {0xC3, "JMP", M::Indirect, 3, 131, 194},
    {0xC4, "JMP", M::PreIndexed, 3, 132, 194},
    {0xC5, "JMP", M::PostIndexed, 3, 133, 194},
    {0xC7, "RTI", M::Implied, 1, 51, 0},
    {0xC9, "JSR", M::Absolute, 3, 39, 152},
    {0xCA, "JSR", M::Indexed, 3, 190, 152},
    {0xCB, "JSR", M::Indirect, 3, 191, 194},
    {0xCC, "JSR", M::PreIndexed, 3, 192, 194},
    {0xCD, "JSR", M::PostIndexed, 3, 193, 194},
    {0xCF, "RTS", M::Implied, 1, 52, 167},
    {0xD1, "JZ", M::Absolute, 3, 40, 152},
    {0xD6, "JNZ", M::Absolute, 3, 38, 152},
    {0xD9, "JN", M::Absolute, 3, 215, 152},
    {0xDE, "JNN", M::Absolute, 3, 216, 152},
    {0xE1, "JC", M::Absolute, 3, 35, 152},
    {0xE6, "JNC", M::Absolute, 3, 37, 152},
    {0xE9, "JO", M::Absolute, 3, 221, 152},
    {0xEE, "JNO", M::Absolute, 3, 222, 152},
    {0xF0, "BLDIV", M::BigImmediate, 3, 201, 22},
    {0xF1, "BLDIV", M::Absolute, 3, 202, 152},
};
// clang-format on

TEST(OpcodeTable, EveryOpcodeIsEncodedAndNarratedAsDocumented) {
    ASSERT_EQ(std::size(kDocumented), opcode_table().size());
    for (const DocumentedOpcode& doc : kDocumented) {
        SCOPED_TRACE(doc.opcode);
        const OpcodeInfo* row = decode_opcode(doc.opcode);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->mnemonic, doc.mnemonic);
        EXPECT_EQ(row->mode, doc.mode);
        EXPECT_EQ(row->length, doc.length);
        EXPECT_EQ(encode_opcode(doc.mnemonic, doc.mode), doc.opcode);

        // Narrated in STEP with every register an instruction may need already loaded, so no
        // guard stops it before its entry line; a pending request lets HALT go on at once.
        TestMachine t;
        t.power_on();
        t.machine.status.machine_mode = MachineMode::Step;
        CpuRegisters& cpu = t.cpu();
        cpu.program_counter = 0x4000;
        cpu.stack_pointer = 0xEFFF;
        cpu.stack_pointer_loaded = kTrue;
        cpu.index_register_loaded = kTrue;
        cpu.interrupt_vector_loaded = kTrue;
        cpu.jsr_depth = 1;
        cpu.interrupt_request = 1;
        t.load(0x4000, {doc.opcode, 0x40, 0x10});
        t.logged.clear();
        t.execute();
        const auto entry = std::find_if(t.logged.begin(), t.logged.end(), [](const LogCall& c) {
            return c.l == kMsgExecuteInstruction;
        });
        ASSERT_NE(entry, t.logged.end());
        EXPECT_EQ(entry->m, doc.entry_m);
        EXPECT_EQ(entry->r, doc.entry_r);
    }
}

} // namespace
} // namespace tallyrig::testing

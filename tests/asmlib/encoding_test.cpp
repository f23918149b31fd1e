// Every opcode in every mode it has, and the values operands can take.
#include "asmlib/two_pass.h"
#include "core/opcode_table.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig::assembler {
namespace {

std::vector<uint8_t> assemble_body(const std::string& body) {
    const Assembly result = assemble("        .ORG $4000\n" + body + "\n        .END\n");
    EXPECT_TRUE(result.ok()) << body << ": error " << static_cast<int>(result.error.code)
                             << " on line " << result.error.line;
    return result.bytes;
}

std::string operand_for(AddressingMode mode, const std::string& nn, const std::string& x) {
    switch (mode) {
    case AddressingMode::Implied:
        return "";
    case AddressingMode::Immediate:
        return "$5A";
    case AddressingMode::BigImmediate:
        return nn;
    case AddressingMode::Absolute:
        return "[" + nn + "]";
    case AddressingMode::Indexed:
        return "[" + nn + "," + x + "]";
    case AddressingMode::Indirect:
        return "[[" + nn + "]]";
    case AddressingMode::PreIndexed:
        return "[[" + nn + "," + x + "]]";
    case AddressingMode::PostIndexed:
        return "[[" + nn + "]," + x + "]";
    }
    return "";
}

std::vector<uint8_t> expected_bytes(const OpcodeInfo& row) {
    switch (row.length) {
    case 1:
        return {row.opcode};
    case 2:
        return {row.opcode, 0x5A};
    default:
        return {row.opcode, 0x12, 0x34};
    }
}

TEST(Encoding, EveryOpcodeInEveryModeGivesTheTableBytes) {
    for (const OpcodeInfo& row : opcode_table()) {
        const std::string line =
            "        " + std::string(row.mnemonic) + " " + operand_for(row.mode, "$1234", "X");
        EXPECT_EQ(assemble_body(line), expected_bytes(row)) << line;
    }
}

TEST(Encoding, CaseDoesNotMatterForMnemonicsAndX) {
    for (const OpcodeInfo& row : opcode_table()) {
        std::string mnemonic(row.mnemonic);
        for (char& c : mnemonic) {
            c = static_cast<char>(c - 'A' + 'a');
        }
        const std::string line = "  " + mnemonic + "  " + operand_for(row.mode, " 4660 ", " x ");
        EXPECT_EQ(assemble_body(line), expected_bytes(row)) << line;
    }
}

struct ValueCase {
    std::string body;
    std::vector<uint8_t> bytes;
};

TEST(Encoding, OperandValues) {
    const std::vector<ValueCase> cases{
        {"LDA 255", {0x90, 0xFF}},
        {"LDA -1", {0x90, 0xFF}},
        {"LDA -128", {0x90, 0x80}},
        {"LDA $0a", {0x90, 0x0A}},
        {"LDA 2+3*4", {0x90, 14}},
        {"LDA (2+3)*4", {0x90, 20}},
        {"LDA 20/3-1", {0x90, 5}},
        {"LDA -(2-5)", {0x90, 3}},
        {"LDA 10-4-3", {0x90, 3}},
        {"BLDX 65535", {0xA0, 0xFF, 0xFF}},
        {"BLDSP -1", {0x50, 0xFF, 0xFF}},
        {"BLDIV $4000+$10", {0xF0, 0x40, 0x10}},
        {"JMP [here]\nhere: NOP", {0xC1, 0x40, 0x03, 0x00}},
        {"N: .EQU 7\nLDA N*2", {0x90, 14}},
        {".BYTE 1, $FF,-1", {0x01, 0xFF, 0xFF}},
        {".2BYTE $1234, 1", {0x12, 0x34, 0x00, 0x01}},
        {".4BYTE $12345678, -2", {0x12, 0x34, 0x56, 0x78, 0xFF, 0xFF, 0xFF, 0xFE}},
        {"msg: .BYTE $48, $69, $00 # as the string converter writes it", {0x48, 0x69, 0x00}},
        {"lbl:\n  INCA", {0x80}},
        {"a_1:LDA [a_1]", {0x91, 0x40, 0x00}},
    };
    for (const ValueCase& c : cases) {
        EXPECT_EQ(assemble_body(c.body), c.bytes) << c.body;
    }
}

TEST(Encoding, TemplatesAsTheEditorInsertsThemAssembleOnceFilledIn) {
    const std::string source = "          .ORG   $4000 # The start address of the program\n"
                               "Two:      .EQU   2 # Comment\n"
                               "Start:    CLRIM  # Comment\n"
                               "Add1:     ADD   Two # Comment\n"
                               "Ld:       LDA   [[Tab,X]] # Comment\n"
                               "Jp:       JMP   [[Tab],X] # Comment\n"
                               "Tab:      .2BYTE Start # Reserve 2 Bytes of memory\n"
                               "          .4BYTE 1 # Reserve 4 Bytes of memory\n"
                               "          .END   Start # The end ofthe program\n";
    const Assembly result = assemble(source);
    ASSERT_TRUE(result.ok()) << static_cast<int>(result.error.code);
    EXPECT_EQ(result.bytes, (std::vector<uint8_t>{0x09, 0x10, 0x02, 0x94, 0x40, 0x09, 0xC5, 0x40,
                                                  0x09, 0x40, 0x00, 0x00, 0x00, 0x00, 0x01}));
}

TEST(Encoding, RomProgramsMayFillTheRomExactly) {
    const Assembly result = assemble(".ORG $3FFD\nJMP [$3FFD]\n.END\n");
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.origin, 0x3FFD);
}

TEST(Encoding, LinesMayEndInCrLfLfOrCr) {
    for (const char* end : {"\r\n", "\n", "\r"}) {
        const std::string e(end);
        const Assembly result = assemble(".ORG $4000" + e + "NOP" + e + "FOO" + e + ".END" + e);
        EXPECT_EQ(result.error.code, ErrorCode::BadStatement);
        EXPECT_EQ(result.error.line, 3);
    }
}

} // namespace
} // namespace tallyrig::assembler

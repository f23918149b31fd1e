// One source line read into its parts: label, mnemonic or directive, operands. Reading a line
// needs no other line, so every syntax fault is found here, in the first pass.
#pragma once

#include "asmlib/expression.h"
#include "core/opcode_table.h"

#include <functional>
#include <string_view>
#include <vector>

namespace tallyrig::assembler {

enum class StatementKind : uint8_t { Blank, LabelOnly, Instruction, Org, End, Equ, Data };

struct Statement {
    StatementKind kind = StatementKind::Blank;
    std::string_view label;
    size_t label_offset = 0;
    const OpcodeInfo* opcode = nullptr; // instructions
    int data_width = 0;                 // data directives: bytes per value (1, 2 or 4)
    size_t value_count = 0;             // data directives
    // The operand of an instruction, .ORG, .EQU or .END. The values of a data line are not
    // kept: a line may hold 65,536 long expressions, so each goes to a ValueSink as it is read.
    std::vector<Expression> operands;
    size_t operand_offset = 0;
};

// Receives each value of a data line with its index; a fault it returns ends the line there.
using ValueSink = std::function<Fault(const Expression& value, size_t index)>;

// Labels longer than this are refused where they are declared.
inline constexpr size_t kMaxLabelLength = 8;

// Reads one line (without its line end); base is its offset in the source. The values of a data
// line go to sink, when there is one.
Fault parse_statement(std::string_view line, size_t base, Statement& out,
                      const ValueSink* sink = nullptr);

} // namespace tallyrig::assembler

// The two-pass assembler over a source text held in memory. Pass one reads every line, places
// it in memory and declares the labels; pass two evaluates the operands and makes the bytes.
// Files are the business of assemble_file.h; this part never touches the disc.
#pragma once

#include "asmlib/errors.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tallyrig::assembler {

// Record letters of the assembly dump, one per source line.
enum class LineKind : char {
    Blank = 'B',       // blank, comment-only or label-only line
    Directive = 'P',   // .ORG, .EQU, .END
    Instruction = 'I', // any instruction but a conditional jump
    Jump = 'J',        // conditional jump
    Data = 'D',        // .BYTE, .2BYTE, .4BYTE
};

struct AssembledLine {
    size_t start = 0; // offsets of the line's first character and of its line end
    size_t end = 0;
    LineKind kind = LineKind::Blank;
    // False when an operand names a label an assembly that stopped early never declared: the
    // line's bytes are then not known.
    bool bytes_known = true;
    int32_t address = -1;    // -1 before the .ORG and for lines that take no room
    uint32_t first_byte = 0; // index into Assembly::bytes
    uint32_t byte_count = 0;
    std::string_view mnemonic; // instructions and directives, as in the opcode table
};

struct SymbolEntry {
    std::string_view name;
    int64_t value = 0;
    bool is_equ = false;
};

struct Assembly {
    AssemblyError error;              // code None when the source assembled
    int32_t origin = 0;               // the .ORG address
    std::vector<uint8_t> bytes;       // from origin upward, without gaps
    std::vector<AssembledLine> lines; // every line, or up to the one with the error
    std::vector<SymbolEntry> symbols; // sorted by name

    bool ok() const { return error.code == ErrorCode::None; }
};

// Line numbers are written in five digits in the assembly dump.
inline constexpr int32_t kMaxSourceLines = 99999;

Assembly assemble(std::string_view source);

} // namespace tallyrig::assembler

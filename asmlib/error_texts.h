// The assembler's messages as stored, indexed by error code (code 0 has none). The editor's
// string table holds them at 3000 + code and shows them as they stand; the list file puts the
// value in place of "%".
#pragma once

#include <array>
#include <string_view>

namespace tallyrig::assembler {

inline constexpr std::array<std::string_view, 26> kErrorTexts{
    "",
    "Hmmm, something's wrong with this statement (but I don't know what)",
    "I think you're missing an expression",
    "I think you're missing an integer reference (a number or label)",
    "There's at least one missing ']' character",
    "There's at least one missing ')' character",
    "You don't require an expression here",
    "There's something wrong with this expression",
    "You're trying to divide by zero (that's naughty!)",
    "You've already declared this label somewhere else",
    "You need an .ORG directive before this point",
    "You forgot to include an .END directive",
    "This .ORG directive can't go here",
    "This .EQU directive can't go here",
    "Comment-out any statements after the .END",
    "This value (%) is too big to fit into an 8-bit field",
    "This value (%) is too big to fit into a 16-bit field",
    "This instruction doesn't support this addressing mode",
    "You can't have a label with a .ORG directive",
    "A label can't be more than eight characters long",
    "There's something wrong with this .ORG directive",
    "The ensuing machine code overflows from ROM into RAM",
    "Undefined label",
    "I can't open the input file",
    "I can't open the list file",
    "I can't open the RAM or ROM output file",
};

} // namespace tallyrig::assembler

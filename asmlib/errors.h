// What can go wrong while assembling. The numbers are the ones the editor turns into its
// messages (its string table holds them at 3000 + code), so they must never be renumbered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tallyrig::assembler {

enum class ErrorCode : int32_t {
    None = 0,
    BadStatement = 1,
    MissingExpression = 2,
    MissingReference = 3,
    MissingBracket = 4,
    MissingParenthesis = 5,
    UnwantedExpression = 6,
    BadExpression = 7,
    DivideByZero = 8,
    DuplicateLabel = 9,
    NeedOrg = 10,
    MissingEnd = 11,
    MisplacedOrg = 12,
    MisplacedEqu = 13,
    StatementAfterEnd = 14,
    ByteTooBig = 15,
    WordTooBig = 16,
    ModeNotSupported = 17,
    LabelOnOrg = 18,
    LabelTooLong = 19,
    BadOrg = 20,
    RomOverflow = 21,
    UndefinedLabel = 22,
    CannotOpenInput = 23,
    CannotOpenList = 24,
    CannotOpenOutput = 25,
};

struct AssemblyError {
    ErrorCode code = ErrorCode::None;
    int32_t line = 0;   // 1-based; 0 when no line is to blame (file errors)
    size_t offset = 0;  // character offset in the source where the fault was found
    int64_t value = 0;  // the value that did not fit (codes 15 and 16)
    std::string detail; // a further hint for the list file, may be empty
};

// The message of a code as the student reads it, with the value in place of "%".
std::string error_message(ErrorCode code, int64_t value = 0);

} // namespace tallyrig::assembler

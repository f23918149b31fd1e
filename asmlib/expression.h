// Operand expressions: numbers (decimal, or hexadecimal after "$"), labels, + - * / and
// parentheses. An expression is parsed once, when its line is read, and evaluated when the
// labels it names are known.
#pragma once

#include "asmlib/errors.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallyrig::assembler {

inline bool is_word_char(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// Where parsing of a line stopped and why; code None means it went well.
struct Fault {
    ErrorCode code = ErrorCode::None;
    size_t offset = 0; // in the source

    explicit operator bool() const { return code != ErrorCode::None; }
};

// A cursor over the code part of one line (the comment already cut off). Offsets it reports
// are offsets in the whole source.
class LineScanner {
public:
    LineScanner(std::string_view code, size_t base) : m_code(code), m_base(base) {}

    // The next character after blanks and tabs, or '\0' at the end of the code.
    char peek();
    bool at_end() { return peek() == '\0' && m_pos >= m_code.size(); }
    bool take(char c);
    // True when the character right here, without skipping blanks, can start a word.
    bool word_follows() const { return m_pos < m_code.size() && is_word_char(m_code[m_pos]); }
    // The longest run of letters, digits, "_" and, when asked, "." from here (after blanks).
    std::string_view take_word(bool with_dots = false);
    size_t offset() const { return m_base + m_pos; }

private:
    std::string_view m_code;
    size_t m_base;
    size_t m_pos = 0;
};

struct ExprNode {
    enum class Kind : uint8_t { Number, Label, Add, Subtract, Multiply, Divide, Negate };
    Kind kind;
    int64_t number = 0;
    std::string_view label;
    size_t offset = 0;
};

// Postfix order, so evaluation is one loop over a small stack.
struct Expression {
    std::vector<ExprNode> nodes;
    size_t offset = 0;
};

Fault parse_expression(LineScanner& scanner, Expression& out);

using SymbolTable = std::unordered_map<std::string_view, int64_t>;

struct Evaluation {
    int64_t value = 0;
    Fault fault;
};

Evaluation evaluate(const Expression& expression, const SymbolTable& symbols);

} // namespace tallyrig::assembler

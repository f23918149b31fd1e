#include "asmlib/statement.h"

#include <array>

namespace tallyrig::assembler {

namespace {

// Mnemonics and directives are short; a longer word cannot be one.
constexpr size_t kMaxKeywordLength = 8;
constexpr size_t kMaxValuesPerLine = 0x10000;

struct Keyword {
    std::array<char, kMaxKeywordLength> text{};
    size_t size = 0;
    std::string_view view() const { return {text.data(), size}; }
};

bool upper_keyword(std::string_view word, Keyword& out) {
    if (word.empty() || word.size() > kMaxKeywordLength) {
        return false;
    }
    for (size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        out.text[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    out.size = word.size();
    return true;
}

const OpcodeInfo* find_mnemonic(std::string_view mnemonic) {
    for (const OpcodeInfo& row : opcode_table()) {
        if (row.mnemonic == mnemonic) {
            return &row;
        }
    }
    return nullptr;
}

const OpcodeInfo* find_opcode(std::string_view mnemonic, AddressingMode mode) {
    const std::optional<uint8_t> opcode = encode_opcode(mnemonic, mode);
    return opcode ? decode_opcode(*opcode) : nullptr;
}

Fault check_label(std::string_view label, size_t offset) {
    if (label.empty() || (label[0] >= '0' && label[0] <= '9')) {
        return {ErrorCode::BadStatement, offset};
    }
    for (const char c : label) {
        if (!is_word_char(c)) {
            return {ErrorCode::BadStatement, offset};
        }
    }
    if (label.size() > kMaxLabelLength) {
        return {ErrorCode::LabelTooLong, offset};
    }
    return {};
}

// A closing bracket that the mode needs; a line that simply stops there lacks a "]".
Fault expect_bracket(LineScanner& in) {
    if (in.take(']')) {
        return {};
    }
    return {in.at_end() ? ErrorCode::MissingBracket : ErrorCode::BadStatement, in.offset()};
}

// The "X" after a comma inside the brackets.
Fault expect_x(LineScanner& in) {
    const size_t at = (in.peek(), in.offset());
    const std::string_view word = in.take_word();
    if (word != "X" && word != "x") {
        return {ErrorCode::BadStatement, at};
    }
    return {};
}

// The addressing mode is read from the brackets around the expression.
Fault parse_operand(LineScanner& in, Expression& expression, AddressingMode& mode) {
    if (!in.take('[')) {
        mode = AddressingMode::Immediate;
        return parse_expression(in, expression);
    }
    const bool indirect = in.take('[');
    if (Fault f = parse_expression(in, expression)) {
        return f;
    }
    if (in.take(',')) {
        if (Fault f = expect_x(in)) {
            return f;
        }
        mode = indirect ? AddressingMode::PreIndexed : AddressingMode::Indexed;
        if (Fault f = expect_bracket(in)) {
            return f;
        }
        return indirect ? expect_bracket(in) : Fault{};
    }
    if (Fault f = expect_bracket(in)) {
        return f;
    }
    if (!indirect) {
        mode = AddressingMode::Absolute;
        return {};
    }
    if (in.take(',')) {
        mode = AddressingMode::PostIndexed;
        if (Fault f = expect_x(in)) {
            return f;
        }
        return expect_bracket(in);
    }
    mode = AddressingMode::Indirect;
    return expect_bracket(in);
}

// Whatever follows a complete operand is a fault of the statement.
Fault expect_end(LineScanner& in, ErrorCode code) {
    if (in.at_end()) {
        return {};
    }
    return {code, in.offset()};
}

Fault parse_instruction(LineScanner& in, std::string_view mnemonic, Statement& out) {
    const OpcodeInfo* any = find_mnemonic(mnemonic);
    if (any == nullptr) {
        return {ErrorCode::BadStatement, out.operand_offset};
    }
    out.kind = StatementKind::Instruction;
    in.peek();
    out.operand_offset = in.offset();
    if (any->mode == AddressingMode::Implied) {
        out.opcode = any;
        return expect_end(in, ErrorCode::UnwantedExpression);
    }
    if (in.at_end()) {
        return {ErrorCode::MissingExpression, in.offset()};
    }
    Expression& expression = out.operands.emplace_back();
    AddressingMode mode = AddressingMode::Implied;
    if (Fault f = parse_operand(in, expression, mode)) {
        return f;
    }
    if (Fault f = expect_end(in, ErrorCode::BadStatement)) {
        return f;
    }
    // A plain number is a big immediate for the 16-bit register loads.
    if (mode == AddressingMode::Immediate &&
        find_opcode(mnemonic, AddressingMode::BigImmediate) != nullptr) {
        mode = AddressingMode::BigImmediate;
    }
    out.opcode = find_opcode(mnemonic, mode);
    if (out.opcode == nullptr) {
        return {ErrorCode::ModeNotSupported, out.operand_offset};
    }
    return {};
}

Fault parse_values(LineScanner& in, Statement& out, const ValueSink* sink) {
    if (in.at_end()) {
        return {ErrorCode::MissingExpression, in.offset()};
    }
    Expression value;
    do {
        // More values than the address space has bytes can never fit.
        if (out.value_count == kMaxValuesPerLine) {
            return {ErrorCode::BadStatement, in.offset()};
        }
        value.nodes.clear();
        if (Fault f = parse_expression(in, value)) {
            return f;
        }
        if (sink != nullptr) {
            if (Fault f = (*sink)(value, out.value_count)) {
                return f;
            }
        }
        ++out.value_count;
    } while (in.take(','));
    return expect_end(in, ErrorCode::BadExpression);
}

Fault parse_directive(LineScanner& in, std::string_view directive, size_t at, Statement& out,
                      const ValueSink* sink) {
    if (directive == ".BYTE" || directive == ".2BYTE" || directive == ".4BYTE") {
        out.kind = StatementKind::Data;
        out.data_width = directive == ".BYTE" ? 1 : directive == ".2BYTE" ? 2 : 4;
        return parse_values(in, out, sink);
    }
    if (directive == ".ORG") {
        out.kind = StatementKind::Org;
        if (!out.label.empty()) {
            return {ErrorCode::LabelOnOrg, out.label_offset};
        }
        if (in.at_end() || in.peek() == '[') {
            return {ErrorCode::BadOrg, in.offset()};
        }
        if (Fault f = parse_expression(in, out.operands.emplace_back())) {
            return f;
        }
        return expect_end(in, ErrorCode::BadOrg);
    }
    if (directive == ".EQU") {
        out.kind = StatementKind::Equ;
        if (out.label.empty()) {
            return {ErrorCode::MisplacedEqu, at};
        }
        if (in.at_end()) {
            return {ErrorCode::MissingExpression, in.offset()};
        }
        if (Fault f = parse_expression(in, out.operands.emplace_back())) {
            return f;
        }
        return expect_end(in, ErrorCode::BadExpression);
    }
    if (directive == ".END") {
        // The operand is optional and only checked.
        out.kind = StatementKind::End;
        if (in.at_end()) {
            return {};
        }
        if (Fault f = parse_expression(in, out.operands.emplace_back())) {
            return f;
        }
        return expect_end(in, ErrorCode::BadExpression);
    }
    return {ErrorCode::BadStatement, at};
}

} // namespace

Fault parse_statement(std::string_view line, size_t base, Statement& out, const ValueSink* sink) {
    out.kind = StatementKind::Blank;
    out.label = {};
    out.label_offset = 0;
    out.opcode = nullptr;
    out.data_width = 0;
    out.value_count = 0;
    out.operands.clear(); // keeps its room for the next line
    out.operand_offset = 0;
    const std::string_view code = line.substr(0, line.find('#'));
    const size_t first = code.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    size_t rest = first;
    const size_t word_end = code.find_first_of(" \t:", first);
    if (word_end != std::string_view::npos && code[word_end] == ':') {
        out.label = code.substr(first, word_end - first);
        out.label_offset = base + first;
        if (Fault f = check_label(out.label, out.label_offset)) {
            return f;
        }
        rest = word_end + 1;
    }
    LineScanner in(code.substr(rest), base + rest);
    if (in.at_end()) {
        out.kind = StatementKind::LabelOnly;
        return {};
    }
    const size_t at = in.offset();
    out.operand_offset = at;
    Keyword keyword;
    if (!upper_keyword(in.take_word(true), keyword)) {
        return {ErrorCode::BadStatement, at};
    }
    if (keyword.view().front() == '.') {
        return parse_directive(in, keyword.view(), at, out, sink);
    }
    return parse_instruction(in, keyword.view(), out);
}

} // namespace tallyrig::assembler

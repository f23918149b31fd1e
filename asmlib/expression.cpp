#include "asmlib/expression.h"

#include "core/text_helpers.h"

#include <limits>

namespace tallyrig::assembler {

char LineScanner::peek() {
    while (m_pos < m_code.size() && (m_code[m_pos] == ' ' || m_code[m_pos] == '\t')) {
        ++m_pos;
    }
    return m_pos < m_code.size() ? m_code[m_pos] : '\0';
}

bool LineScanner::take(char c) {
    if (peek() == c && m_pos < m_code.size()) {
        ++m_pos;
        return true;
    }
    return false;
}

std::string_view LineScanner::take_word(bool with_dots) {
    peek();
    const size_t start = m_pos;
    while (m_pos < m_code.size() &&
           (is_word_char(m_code[m_pos]) || (with_dots && m_code[m_pos] == '.'))) {
        ++m_pos;
    }
    return m_code.substr(start, m_pos - start);
}

namespace {

// Deep and long enough for any sensible program, small enough that neither the parser's stack
// nor the memory a line takes can grow with a hostile input.
constexpr int kMaxNesting = 64;
constexpr size_t kMaxNodes = 1024;

// Digits of a number in the given base; anything else in the word makes it no number.
bool read_number(std::string_view digits, int base, int64_t& value) {
    if (digits.empty()) {
        return false;
    }
    value = 0;
    for (const char c : digits) {
        const int d = hex_digit(c);
        if (d < 0 || d >= base) {
            return false;
        }
        if (value > (std::numeric_limits<int64_t>::max() - d) / base) {
            return false;
        }
        value = value * base + d;
    }
    return true;
}

class ExpressionParser {
public:
    ExpressionParser(LineScanner& scanner, Expression& out) : m_in(scanner), m_out(out) {}

    Fault sum(int depth) {
        if (Fault f = product(depth)) {
            return f;
        }
        for (;;) {
            const size_t at = m_in.offset();
            ExprNode::Kind kind;
            if (m_in.take('+')) {
                kind = ExprNode::Kind::Add;
            } else if (m_in.take('-')) {
                kind = ExprNode::Kind::Subtract;
            } else {
                return {};
            }
            if (Fault f = product(depth)) {
                return f;
            }
            m_out.nodes.push_back({kind, 0, {}, at});
        }
    }

private:
    Fault product(int depth) {
        if (Fault f = unary(depth)) {
            return f;
        }
        for (;;) {
            const size_t at = m_in.offset();
            ExprNode::Kind kind;
            if (m_in.take('*')) {
                kind = ExprNode::Kind::Multiply;
            } else if (m_in.take('/')) {
                kind = ExprNode::Kind::Divide;
            } else {
                return {};
            }
            if (Fault f = unary(depth)) {
                return f;
            }
            m_out.nodes.push_back({kind, 0, {}, at});
        }
    }

    Fault unary(int depth) {
        if (depth > kMaxNesting || m_out.nodes.size() > kMaxNodes) {
            return {ErrorCode::BadExpression, m_in.offset()};
        }
        const size_t at = m_in.offset();
        if (m_in.take('-')) {
            if (Fault f = unary(depth + 1)) {
                return f;
            }
            m_out.nodes.push_back({ExprNode::Kind::Negate, 0, {}, at});
            return {};
        }
        if (m_in.take('+')) {
            return unary(depth + 1);
        }
        return primary(depth);
    }

    Fault primary(int depth) {
        const char c = m_in.peek();
        const size_t at = m_in.offset();
        if (c == '\0' || c == ')' || c == ']' || c == ',') {
            return {ErrorCode::MissingReference, at};
        }
        if (m_in.take('(')) {
            if (Fault f = sum(depth + 1)) {
                return f;
            }
            if (!m_in.take(')')) {
                return {ErrorCode::MissingParenthesis, m_in.offset()};
            }
            return {};
        }
        int64_t value = 0;
        if (m_in.take('$')) {
            // The digits must follow "$" directly: "$ 12" is no number.
            if (!m_in.word_follows() || !read_number(m_in.take_word(), 16, value)) {
                return {ErrorCode::BadExpression, at};
            }
            m_out.nodes.push_back({ExprNode::Kind::Number, value, {}, at});
            return {};
        }
        if (c >= '0' && c <= '9') {
            if (!read_number(m_in.take_word(), 10, value)) {
                return {ErrorCode::BadExpression, at};
            }
            m_out.nodes.push_back({ExprNode::Kind::Number, value, {}, at});
            return {};
        }
        if (is_word_char(c)) {
            m_out.nodes.push_back({ExprNode::Kind::Label, 0, m_in.take_word(), at});
            return {};
        }
        return {ErrorCode::BadExpression, at};
    }

    LineScanner& m_in;
    Expression& m_out;
};

} // namespace

Fault parse_expression(LineScanner& scanner, Expression& out) {
    out.nodes.clear();
    scanner.peek();
    out.offset = scanner.offset();
    return ExpressionParser(scanner, out).sum(0);
}

Evaluation evaluate(const Expression& expression, const SymbolTable& symbols) {
    // Most operands are a single number or label; keep those off the heap.
    int64_t small[8];
    std::vector<int64_t> large;
    int64_t* stack = small;
    if (expression.nodes.size() > std::size(small)) {
        large.resize(expression.nodes.size());
        stack = large.data();
    }
    size_t top = 0;
    const auto overflow = [](size_t at) { return Evaluation{0, {ErrorCode::BadExpression, at}}; };
    for (const ExprNode& node : expression.nodes) {
        switch (node.kind) {
        case ExprNode::Kind::Number:
            stack[top++] = node.number;
            continue;
        case ExprNode::Kind::Label: {
            const auto found = symbols.find(node.label);
            if (found == symbols.end()) {
                return {0, {ErrorCode::UndefinedLabel, node.offset}};
            }
            stack[top++] = found->second;
            continue;
        }
        case ExprNode::Kind::Negate:
            if (stack[top - 1] == std::numeric_limits<int64_t>::min()) {
                return overflow(node.offset);
            }
            stack[top - 1] = -stack[top - 1];
            continue;
        default:
            break;
        }
        const int64_t right = stack[--top];
        int64_t& left = stack[top - 1];
        bool failed = false;
        switch (node.kind) {
        case ExprNode::Kind::Add:
            failed = __builtin_add_overflow(left, right, &left);
            break;
        case ExprNode::Kind::Subtract:
            failed = __builtin_sub_overflow(left, right, &left);
            break;
        case ExprNode::Kind::Multiply:
            failed = __builtin_mul_overflow(left, right, &left);
            break;
        case ExprNode::Kind::Divide:
            if (right == 0) {
                return {0, {ErrorCode::DivideByZero, node.offset}};
            }
            if (left == std::numeric_limits<int64_t>::min() && right == -1) {
                failed = true;
            } else {
                left /= right;
            }
            break;
        default:
            break;
        }
        if (failed) {
            return overflow(node.offset);
        }
    }
    return {top == 1 ? stack[0] : 0, {}};
}

} // namespace tallyrig::assembler

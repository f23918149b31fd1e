#include "asmlib/two_pass.h"

#include "asmlib/statement.h"
#include "core/machine_state.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_set>

namespace tallyrig::assembler {

namespace {

constexpr int64_t kAddressSpace = 0x10000;

struct LineSpan {
    size_t start;
    size_t end;
};

// CR LF, LF and a lone CR each end a line, as the editor's caret walk counts them. Stops one
// line past the limit: that line is where the source becomes too long.
std::vector<LineSpan> split_lines(std::string_view source) {
    std::vector<LineSpan> lines;
    size_t start = 0;
    while (start < source.size() && lines.size() <= static_cast<size_t>(kMaxSourceLines)) {
        size_t end = start;
        while (end < source.size() && source[end] != '\n' && source[end] != '\r') {
            ++end;
        }
        lines.push_back({start, end});
        if (end < source.size() && source[end] == '\r' && end + 1 < source.size() &&
            source[end + 1] == '\n') {
            ++end;
        }
        start = end + 1;
    }
    return lines;
}

AssembledLine unplaced(const LineSpan& span) {
    AssembledLine line;
    line.start = span.start;
    line.end = span.end;
    return line;
}

bool fits(int64_t value, int width) {
    switch (width) {
    case 1:
        return value >= -0x80 && value <= 0xFF;
    case 2:
        return value >= -0x8000 && value <= 0xFFFF;
    default:
        return value >= std::numeric_limits<int32_t>::min() &&
               value <= std::numeric_limits<uint32_t>::max();
    }
}

Fault width_fault(int width, size_t offset) {
    switch (width) {
    case 1:
        return {ErrorCode::ByteTooBig, offset};
    case 2:
        return {ErrorCode::WordTooBig, offset};
    default:
        return {ErrorCode::BadExpression, offset};
    }
}

class TwoPassAssembler {
public:
    TwoPassAssembler(std::string_view source, Assembly& out) : m_source(source), m_out(out) {}

    void run() {
        m_spans = split_lines(m_source);
        const std::vector<LineSpan>& spans = m_spans;
        const size_t placed = first_pass(spans);
        size_t needed = 0;
        for (const AssembledLine& line : m_out.lines) {
            needed = std::max<size_t>(needed, line.first_byte + line.byte_count);
        }
        m_out.bytes.resize(needed);
        // A missing .END is found only after every line was placed; any other first-pass
        // error leaves the labels from its line on undeclared.
        second_pass(placed, m_out.ok() || m_out.error.code == ErrorCode::MissingEnd);
        if (m_out.ok()) {
            collect_symbols();
            return;
        }
        // The failing line is listed too, after the lines that went well.
        const auto failing = static_cast<size_t>(m_out.error.line);
        if (failing > m_out.lines.size() && failing <= spans.size()) {
            m_out.lines.resize(failing - 1);
            m_out.lines.push_back(unplaced(spans[failing - 1]));
        }
    }

private:
    void fail(Fault fault, size_t line_index, int64_t value = 0) {
        m_out.error.code = fault.code;
        m_out.error.line = static_cast<int32_t>(line_index + 1);
        m_out.error.offset = fault.offset;
        m_out.error.value = value;
        m_out.error.detail.clear();
    }

    Fault declare(std::string_view label, size_t offset, int64_t value, bool is_equ) {
        if (label.empty()) {
            return {};
        }
        if (!m_symbols.emplace(label, value).second) {
            return {ErrorCode::DuplicateLabel, offset};
        }
        if (is_equ) {
            m_equs.insert(label);
        }
        return {};
    }

    // Returns how many lines were placed without fault.
    size_t first_pass(const std::vector<LineSpan>& spans) {
        bool org_seen = false;
        bool end_seen = false;
        int64_t address = 0;
        for (size_t i = 0; i < spans.size(); ++i) {
            if (i == static_cast<size_t>(kMaxSourceLines)) {
                fail({ErrorCode::BadStatement, spans[i].start}, i);
                m_out.error.detail = "A source may hold at most 99999 lines.";
                return i;
            }
            const std::string_view text =
                m_source.substr(spans[i].start, spans[i].end - spans[i].start);
            Statement& st = m_statement;
            const Fault parsed = parse_statement(text, spans[i].start, st);
            if (end_seen && (parsed || st.kind != StatementKind::Blank)) {
                const size_t first = text.find_first_not_of(" \t");
                fail({ErrorCode::StatementAfterEnd, spans[i].start + first}, i);
                return i;
            }
            if (parsed) {
                fail(parsed, i);
                return i;
            }
            AssembledLine line = unplaced(spans[i]);
            const size_t at = st.operand_offset;
            Fault fault;
            int64_t size = 0;
            switch (st.kind) {
            case StatementKind::Blank:
                break;
            case StatementKind::LabelOnly:
                if (!org_seen) {
                    fault = {ErrorCode::NeedOrg, st.label_offset};
                }
                line.address = static_cast<int32_t>(address);
                break;
            case StatementKind::Org: {
                line.kind = LineKind::Directive;
                line.mnemonic = "ORG";
                if (org_seen) {
                    fault = {ErrorCode::MisplacedOrg, at};
                    break;
                }
                const Evaluation origin = evaluate(st.operands.front(), m_symbols);
                if (origin.fault) {
                    fault = origin.fault;
                    break;
                }
                if (origin.value < 0 || origin.value >= kAddressSpace) {
                    fault = {ErrorCode::BadOrg, st.operands.front().offset};
                    break;
                }
                org_seen = true;
                address = origin.value;
                m_out.origin = static_cast<int32_t>(address);
                line.address = m_out.origin;
                break;
            }
            case StatementKind::Equ: {
                line.kind = LineKind::Directive;
                line.mnemonic = "EQU";
                // Its value must be known here: an .EQU names labels declared above it.
                const Evaluation value = evaluate(st.operands.front(), m_symbols);
                fault = value.fault ? value.fault
                                    : declare(st.label, st.label_offset, value.value, true);
                break;
            }
            case StatementKind::End:
                line.kind = LineKind::Directive;
                line.mnemonic = "END";
                if (!org_seen) {
                    fault = {ErrorCode::NeedOrg, at};
                }
                end_seen = true;
                line.address = static_cast<int32_t>(address);
                break;
            case StatementKind::Instruction:
            case StatementKind::Data:
                if (!org_seen) {
                    fault = {ErrorCode::NeedOrg, at};
                    break;
                }
                if (st.kind == StatementKind::Instruction) {
                    line.kind = is_conditional_jump(st.opcode->operation) ? LineKind::Jump
                                                                          : LineKind::Instruction;
                    line.mnemonic = st.opcode->mnemonic;
                    size = st.opcode->length;
                } else {
                    line.kind = LineKind::Data;
                    size = static_cast<int64_t>(st.value_count) * st.data_width;
                }
                if (m_out.origin < kRomPastEnd && address + size > kRomPastEnd) {
                    fault = {ErrorCode::RomOverflow, at};
                } else if (address + size > kAddressSpace) {
                    fail({ErrorCode::WordTooBig, at}, i, address + size - 1);
                    return i;
                }
                line.address = static_cast<int32_t>(address);
                line.first_byte = static_cast<uint32_t>(address - m_out.origin);
                line.byte_count = static_cast<uint32_t>(size);
                break;
            }
            if (!fault && st.kind != StatementKind::Equ && st.kind != StatementKind::Org) {
                fault = declare(st.label, st.label_offset, address, false);
            }
            if (fault) {
                fail(fault, i);
                return i;
            }
            address += size;
            m_out.lines.push_back(line);
        }
        if (!end_seen) {
            const size_t last = spans.empty() ? 0 : spans.size() - 1;
            fail({ErrorCode::MissingEnd, spans.empty() ? 0 : spans[last].start}, last);
        }
        return m_out.lines.size();
    }

    // Evaluates one value and stores it high byte first.
    Fault emit(const Expression& expression, int width, uint8_t* at) {
        const Evaluation value = evaluate(expression, m_symbols);
        if (value.fault) {
            return value.fault;
        }
        if (!fits(value.value, width)) {
            m_value = value.value;
            return width_fault(width, expression.offset);
        }
        const auto bits = static_cast<uint64_t>(value.value);
        for (int k = 0; k < width; ++k) {
            at[k] = static_cast<uint8_t>(bits >> (8 * (width - 1 - k)));
        }
        return {};
    }

    // With only some labels declared, an operand naming an unknown one cannot be judged: the
    // label may come after the line where the first pass stopped. Other faults are real, and
    // being earlier in the file they are the first error. Each line is read again rather than
    // kept from the first pass: what a parsed line holds is many times its text.
    void second_pass(size_t placed, bool all_labels_declared) {
        AssembledLine* line = nullptr;
        const auto emit_known = [&](const Expression& expression, int width, uint8_t* at) {
            const Fault fault = emit(expression, width, at);
            if (fault.code == ErrorCode::UndefinedLabel && !all_labels_declared) {
                line->bytes_known = false;
                return Fault{};
            }
            return fault;
        };
        Statement& st = m_statement;
        uint8_t* bytes = nullptr;
        // Called while the data line is read, once its width is known.
        const ValueSink store_value = [&](const Expression& value, size_t index) {
            const int width = st.data_width;
            return emit_known(value, width, bytes + index * static_cast<size_t>(width));
        };
        for (size_t i = 0; i < placed; ++i) {
            line = &m_out.lines[i];
            bytes = m_out.bytes.data() + line->first_byte;
            const LineSpan& span = m_spans[i];
            // The line was read once without fault, so only a value's own fault stops it now.
            Fault fault = parse_statement(m_source.substr(span.start, span.end - span.start),
                                          span.start, st, &store_value);
            if (st.kind == StatementKind::Instruction) {
                bytes[0] = st.opcode->opcode;
                if (!st.operands.empty()) {
                    fault = emit_known(st.operands.front(), st.opcode->length - 1, bytes + 1);
                }
            } else if (st.kind == StatementKind::End && !st.operands.empty()) {
                uint8_t unused[2];
                fault = emit_known(st.operands.front(), 2, unused);
            }
            if (fault) {
                fail(fault, i, m_value);
                m_out.lines.resize(i);
                return;
            }
        }
    }

    void collect_symbols() {
        m_out.symbols.reserve(m_symbols.size());
        for (const auto& [name, value] : m_symbols) {
            m_out.symbols.push_back({name, value, false});
        }
        std::sort(m_out.symbols.begin(), m_out.symbols.end(),
                  [](const SymbolEntry& a, const SymbolEntry& b) { return a.name < b.name; });
        for (SymbolEntry& entry : m_out.symbols) {
            entry.is_equ = m_equs.contains(entry.name);
        }
    }

    std::string_view m_source;
    Assembly& m_out;
    std::vector<LineSpan> m_spans;
    Statement m_statement; // one line at a time: its room is reused

    SymbolTable m_symbols;
    std::unordered_set<std::string_view> m_equs;
    int64_t m_value = 0; // the value that did not fit, for the message
};

} // namespace

Assembly assemble(std::string_view source) {
    Assembly result;
    TwoPassAssembler(source, result).run();
    return result;
}

} // namespace tallyrig::assembler

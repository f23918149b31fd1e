#include "assembler/rich_text_reader.h"

#include "core/code_page.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace tallyrig {

namespace {

// The character format and reading mode a group starts with and its end restores.
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int half_points = 0;
    int colour_index = 0;
    int skip_after_unicode = 1; // characters standing in for each \uN, for older readers
    bool skipping = false;      // inside a destination that is not text
    bool colour_table = false;
};

// Destinations that hold no text of the document.
constexpr std::array<std::string_view, 46> kSkippedDestinations{
    "fonttbl",       "stylesheet", "info",     "pict",       "header",
    "headerl",       "headerr",    "headerf",  "footer",     "footerl",
    "footerr",       "footerf",    "footnote", "listtable",  "listoverridetable",
    "rsidtbl",       "generator",  "xmlnstbl", "themedata",  "colorschememapping",
    "latentstyles",  "datastore",  "object",   "objdata",    "fldinst",
    "filetbl",       "revtbl",     "pgdsctbl", "mmathPr",    "bkmkstart",
    "bkmkend",       "annotation", "atnid",    "atnauthor",  "private",
    "userprops",     "docvar",     "template", "nonshppict", "shpinst",
    "txe",           "pntext",     "pntxta",   "pntxtb",     "listtext",
    "wgrffmtfilter",
};

// Every kind of underline shows as the one the editor has.
constexpr std::array<std::string_view, 17> kUnderlines{
    "ul",         "uld",       "uldash",     "uldashd", "uldashdd", "uldb",
    "ulhwave",    "ulldash",   "ulth",       "ulthd",   "ulthdash", "ulthdashd",
    "ulthdashdd", "ulthldash", "ululdbwave", "ulw",     "ulwave",
};

struct Symbol {
    std::string_view word;
    char16_t character;
};

constexpr std::array<Symbol, 13> kSymbols{{
    {"emdash", u'\u2014'},
    {"endash", u'\u2013'},
    {"bullet", u'\u2022'},
    {"lquote", u'\u2018'},
    {"rquote", u'\u2019'},
    {"ldblquote", u'\u201C'},
    {"rdblquote", u'\u201D'},
    {"emspace", u'\u2003'},
    {"enspace", u'\u2002'},
    {"qmspace", u'\u2005'},
    {"zwj", u'\u200D'},
    {"zwnj", u'\u200C'},
    {"tab", u'\t'},
}};

constexpr size_t kLongestWord = 32;
constexpr size_t kMostDigits = 10;
constexpr int kMostHalfPoints = 3276; // 1,638 points, the largest size word processors offer
constexpr int kMostStandInCharacters = 16;

bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

class Reader {
public:
    explicit Reader(std::string_view in) : m_in(in) {}

    RichText read() {
        while (m_pos < m_in.size()) {
            const char c = m_in[m_pos++];
            switch (c) {
            case '{':
                m_groups.push_back(m_groups.back());
                m_skip = 0;
                break;
            case '}':
                // An unbalanced end keeps the document's own state.
                if (m_groups.size() > 1) {
                    m_groups.pop_back();
                }
                m_skip = 0;
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break; // line ends in the file are not the document's
            default:
                character(c);
                break;
            }
        }
        return std::move(m_out);
    }

private:
    GroupState& state() { return m_groups.back(); }

    void control() {
        if (m_pos >= m_in.size()) {
            return;
        }
        if (!is_letter(m_in[m_pos])) {
            symbol(m_in[m_pos++]);
            return;
        }
        const size_t start = m_pos;
        while (m_pos < m_in.size() && is_letter(m_in[m_pos])) {
            ++m_pos;
        }
        const std::string_view word = m_in.substr(start, m_pos - start);
        std::optional<int> parameter;
        const bool negative = m_pos < m_in.size() && m_in[m_pos] == '-';
        size_t digits = m_pos + (negative ? 1 : 0);
        if (digits < m_in.size() && is_digit(m_in[digits])) {
            int64_t value = 0;
            for (size_t n = 0; digits < m_in.size() && is_digit(m_in[digits]); ++digits, ++n) {
                if (n < kMostDigits) {
                    value = value * 10 + (m_in[digits] - '0');
                }
            }
            value = std::min<int64_t>(value, INT32_MAX);
            parameter = static_cast<int>(negative ? -value : value);
            m_pos = digits;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ') {
            ++m_pos;
        }
        if (word.size() <= kLongestWord) {
            control_word(word, parameter);
        }
    }

    void symbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(c);
            break;
        case '~':
            put(u'\u00A0');
            break;
        case '_':
            put(u'\u2011');
            break;
        case '*':
            state().skipping = true; // a destination this reader need not know
            break;
        case '\'':
            escaped_byte();
            break;
        case '\r':
        case '\n':
            put(u'\n');
            break;
        default:
            break; // the optional hyphen and the rest show nothing
        }
    }

    void escaped_byte() {
        if (m_pos + 1 >= m_in.size()) {
            m_pos = m_in.size();
            return;
        }
        const int high = hex_digit(m_in[m_pos]);
        const int low = hex_digit(m_in[m_pos + 1]);
        if (high < 0 || low < 0) {
            return;
        }
        m_pos += 2;
        if (!state().colour_table) {
            put(static_cast<char16_t>(code_page_character(static_cast<uint8_t>(high * 16 + low))));
        }
    }

    void character(char c) {
        if (state().colour_table) {
            if (c == ';') {
                end_colour();
            }
            return;
        }
        const auto byte = static_cast<uint8_t>(c);
        if (byte == '\t') {
            put(u'\t');
        } else if (byte >= 0x20) {
            put(static_cast<char16_t>(code_page_character(byte)));
        }
    }

    void control_word(std::string_view word, std::optional<int> parameter) {
        GroupState& s = state();
        const bool on = parameter.value_or(1) != 0;
        const int value = parameter.value_or(0);
        if (word == "par" || word == "line" || word == "sect" || word == "page" || word == "row") {
            put(u'\n');
        } else if (word == "cell") {
            put(u'\t');
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (std::find(kUnderlines.begin(), kUnderlines.end(), word) != kUnderlines.end()) {
            s.underline = on;
        } else if (word == "plain") {
            s.bold = s.italic = s.underline = false;
            s.half_points = 0;
            s.colour_index = 0;
        } else if (word == "fs") {
            s.half_points = std::clamp(value, 0, kMostHalfPoints);
        } else if (word == "cf") {
            s.colour_index = std::max(value, 0);
        } else if (word == "uc") {
            s.skip_after_unicode = std::clamp(value, 0, kMostStandInCharacters);
        } else if (word == "u" && parameter) {
            put(static_cast<char16_t>(value < 0 ? value + 0x10000 : value));
            m_skip = s.skip_after_unicode;
        } else if (word == "bin") {
            // Binary data of the given length, never to be read as words.
            m_pos += std::min(static_cast<size_t>(std::max(value, 0)), m_in.size() - m_pos);
        } else if (word == "colortbl") {
            s.colour_table = true;
        } else if (word == "red" || word == "green" || word == "blue") {
            colour_part(word, value);
        } else if (std::find(kSkippedDestinations.begin(), kSkippedDestinations.end(), word) !=
                   kSkippedDestinations.end()) {
            s.skipping = true;
        } else {
            for (const Symbol& symbol : kSymbols) {
                if (word == symbol.word) {
                    put(symbol.character);
                }
            }
        }
    }

    void colour_part(std::string_view word, int value) {
        if (!state().colour_table) {
            return;
        }
        const auto part = static_cast<uint32_t>(std::clamp(value, 0, 255));
        const int shift = word == "red" ? 16 : word == "green" ? 8 : 0;
        m_colour = (m_colour.value_or(0) & ~(0xFFu << shift)) | (part << shift);
    }

    void end_colour() {
        // An entry without parts is the default colour ("auto").
        m_colours.push_back(m_colour);
        m_colour.reset();
    }

    void put(char16_t c) {
        const GroupState& s = state();
        if (s.skipping || s.colour_table) {
            return;
        }
        if (m_skip > 0) {
            --m_skip;
            return;
        }
        RichTextRun run;
        run.start = m_out.text.size();
        run.length = 1;
        run.bold = s.bold;
        run.italic = s.italic;
        run.underline = s.underline;
        run.points = s.half_points / 2.0;
        if (s.colour_index > 0 && static_cast<size_t>(s.colour_index) < m_colours.size()) {
            run.colour = m_colours[static_cast<size_t>(s.colour_index)];
        }
        m_out.text += c;
        if (!m_out.runs.empty() && m_out.runs.back().same_format(run)) {
            ++m_out.runs.back().length;
        } else {
            m_out.runs.push_back(run);
        }
    }

    std::string_view m_in;
    size_t m_pos = 0;
    std::vector<GroupState> m_groups{GroupState{}};
    std::vector<std::optional<uint32_t>> m_colours;
    std::optional<uint32_t> m_colour;
    int m_skip = 0;
    RichText m_out;
};

} // namespace

bool is_rich_text(std::string_view bytes) {
    return bytes.starts_with("{\\rtf");
}

RichText read_rich_text(std::string_view bytes) {
    return Reader(bytes).read();
}

} // namespace tallyrig

#include "core/sequential_items.h"

#include <algorithm>

namespace tallyrig {

namespace {

bool is_line_end(char c) {
    return c == '\n' || c == '\r';
}
bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Lines of nothing but blanks after the last item are the file's end, not empty items. Blanks
// inside the last line stay: a RAM image's data line of only its prefix still stores its zeros.
std::string_view without_trailing_blank_lines(std::string_view text) {
    for (;;) {
        while (!text.empty() && is_line_end(text.back())) {
            text.remove_suffix(1);
        }
        const std::size_t last_end = text.find_last_of("\r\n");
        const std::size_t line_start = last_end == std::string_view::npos ? 0 : last_end + 1;
        const std::string_view last_line = text.substr(line_start);
        if (last_line.empty() || !std::all_of(last_line.begin(), last_line.end(), is_blank)) {
            return text;
        }
        text = text.substr(0, line_start);
    }
}

} // namespace

ItemReader::ItemReader(std::string_view text)
    : m_text(without_trailing_blank_lines(text)), m_done(m_text.empty()) {}

std::optional<std::string_view> ItemReader::next() {
    if (m_done) {
        return std::nullopt;
    }
    std::size_t pos = m_pos;
    while (pos < m_text.size() && is_blank(m_text[pos])) {
        ++pos;
    }
    std::size_t end = pos;
    while (end < m_text.size() && m_text[end] != ',' && !is_line_end(m_text[end])) {
        ++end;
    }
    const std::string_view item = m_text.substr(pos, end - pos);
    if (end >= m_text.size()) {
        m_done = true;
        return item;
    }
    // A CR LF pair is one line end.
    if (m_text[end] == '\r' && end + 1 < m_text.size() && m_text[end + 1] == '\n') {
        ++end;
    }
    m_pos = end + 1;
    return item;
}

} // namespace tallyrig

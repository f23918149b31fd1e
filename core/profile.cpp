#include "core/profile.h"

#include "core/file_io.h"
#include "core/text_helpers.h"

#include <algorithm>
#include <climits>

namespace tallyrig {

namespace {

// A settings or key file is a few kilobytes; anything far larger is damaged and reads as empty
// rather than filling memory.
constexpr std::size_t kMaxProfileBytes = 4u * 1024u * 1024u;

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool same_name(std::string_view a, std::string_view b) {
    return same_text_ignoring_case(a, b);
}

bool has_line_end(std::string_view line) {
    return !line.empty() && (line.back() == '\n' || line.back() == '\r');
}

// A stored line keeps its own line end (CR LF, LF or CR alone) so that lines we do not touch
// are written back as they were read; this strips it.
std::string_view content(const std::string& line) {
    std::string_view text = line;
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.back() == '\r') {
        text.remove_suffix(1);
    }
    return text;
}

// Where the line that starts at `start` ends, its line end included.
std::size_t line_stop(std::string_view text, std::size_t start) {
    const auto end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
        return text.size();
    }
    const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
    return end + (crlf ? 2 : 1);
}

std::string_view without_trailing_blanks(std::string_view text) {
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The name of a "[section]" line. A header whose "]" is lost still starts a new section, so
// the keys below it are not taken for the previous one.
std::optional<std::string_view> section_name(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// The parts of a "key=value" line; comments and section lines are not keys.
std::optional<KeyLine> key_line(std::string_view line) {
    const std::string_view trimmed = trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const auto equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return KeyLine{trim(trimmed.substr(0, equals)), trim(trimmed.substr(equals + 1))};
}

std::string unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    // A fixed buffer ends at the first NUL, so a damaged value does too.
    const auto nul = value.find('\0');
    if (nul != std::string_view::npos) {
        value = value.substr(0, nul);
    }
    return std::string(value);
}

bool breaks_line(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Names and values that would split a line or change its meaning cannot be written, nor text
// that is not UTF-8, which no encoding of the file could carry. The names come trimmed.
bool writable(std::string_view section, std::string_view key, std::string_view value) {
    return !section.empty() && !key.empty() && section.find(']') == std::string_view::npos &&
           key.find('=') == std::string_view::npos && key.front() != ';' && key.front() != '[' &&
           !breaks_line(section) && !breaks_line(key) && !breaks_line(value) &&
           is_valid_utf8(section) && is_valid_utf8(key) && is_valid_utf8(value);
}

// The file a write replaces, and its text. Nothing when the name is empty or an existing file
// cannot be read.
struct WriteTarget {
    std::filesystem::path file;
    std::string text;
};

std::optional<WriteTarget> write_target(const std::filesystem::path& file) {
    if (file.empty()) {
        return std::nullopt;
    }
    WriteTarget target{resolve_name_case(file), {}};
    switch (read_regular_file(target.file, target.text, kMaxProfileBytes)) {
    case FileRead::Read:
    case FileRead::Missing:
        return target;
    case FileRead::Failed:
        // A file we cannot read must not be replaced by one that lacks its contents.
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::filesystem::path resolve_profile_path(const std::filesystem::path& file) {
    return resolve_name_case(file);
}

std::optional<ProfileDocument> ProfileDocument::load(const std::filesystem::path& file) {
    std::string text;
    if (read_regular_file(resolve_profile_path(file), text, kMaxProfileBytes) != FileRead::Read) {
        return std::nullopt;
    }
    return ProfileDocument::parse(text);
}

ProfileDocument ProfileDocument::parse(std::string_view bytes) {
    ProfileDocument document;
    const DecodedText decoded = decode_text(bytes);
    document.m_encoding = decoded.encoding;
    document.m_byte_order_mark = decoded.byte_order_mark;
    const std::string_view text = decoded.text;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t stop = line_stop(text, start);
        document.m_lines.emplace_back(text.substr(start, stop - start));
        if (const auto name = section_name(content(document.m_lines.back()))) {
            document.add_section(*name, document.m_lines.size() - 1);
        }
        start = stop;
    }
    return document;
}

void ProfileDocument::add_section(std::string_view name, std::size_t header) {
    m_first_section.try_emplace(upper_case(name), m_section_headers.size());
    m_section_headers.push_back(header);
}

std::optional<std::size_t> ProfileDocument::find_section(std::string_view name) const {
    // Only the first section of a name counts.
    const auto found = m_first_section.find(upper_case(name));
    return found == m_first_section.end() ? std::nullopt : std::optional(found->second);
}

std::size_t ProfileDocument::section_end(std::size_t index) const {
    return index + 1 < m_section_headers.size() ? m_section_headers[index + 1] : m_lines.size();
}

std::optional<std::string> ProfileDocument::value(std::string_view section,
                                                  std::string_view key) const {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty()) {
        return std::nullopt;
    }
    const auto index = find_section(section);
    if (!index) {
        return std::nullopt;
    }
    for (std::size_t i = m_section_headers[*index] + 1; i < section_end(*index); ++i) {
        const auto entry = key_line(content(m_lines[i]));
        if (entry && same_name(entry->key, key)) {
            return unquote(entry->value);
        }
    }
    return std::nullopt;
}

void ProfileDocument::set_value(std::string_view section, std::string_view key,
                                std::string_view value) {
    section = trim(section);
    key = trim(key);
    if (!writable(section, key, value)) {
        return;
    }
    auto new_line = [&](std::string_view name) {
        std::string line(name);
        line += '=';
        line += value;
        line += "\r\n";
        return line;
    };
    // Whatever line comes before the new one must end, or the two would join.
    auto end_line_at = [&](std::size_t i) {
        if (!has_line_end(m_lines[i])) {
            m_lines[i] += "\r\n";
        }
    };
    const auto index = find_section(section);
    if (!index) {
        if (!m_lines.empty()) {
            end_line_at(m_lines.size() - 1);
        }
        add_section(section, m_lines.size());
        m_lines.push_back("[" + std::string(section) + "]\r\n");
        m_lines.push_back(new_line(key));
        return;
    }
    std::size_t last_content = m_section_headers[*index]; // its last non-blank line
    for (std::size_t i = last_content + 1; i < section_end(*index); ++i) {
        const std::string_view text = content(m_lines[i]);
        if (!trim(text).empty()) {
            last_content = i;
        }
        const auto entry = key_line(text);
        if (entry && same_name(entry->key, key)) {
            // The file's own spelling of the key stays.
            m_lines[i] = new_line(entry->key);
            return;
        }
    }
    end_line_at(last_content);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(last_content) + 1, new_line(key));
    for (std::size_t later = *index + 1; later < m_section_headers.size(); ++later) {
        ++m_section_headers[later];
    }
}

void ProfileDocument::remove_sections(const std::function<bool(std::string_view)>& matches) {
    std::vector<std::string> kept;
    kept.reserve(m_lines.size());
    bool removing = false;
    for (auto& line : m_lines) {
        const std::string_view text = content(line);
        if (const auto name = section_name(text)) {
            removing = matches(*name);
        }
        if (!(removing && (section_name(text) || key_line(text)))) {
            kept.push_back(std::move(line));
        }
    }
    // The lines keep the encoding they were read in; only the section index is built anew.
    m_lines = std::move(kept);
    m_section_headers.clear();
    m_first_section.clear();
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (const auto name = section_name(content(m_lines[i]))) {
            add_section(*name, i);
        }
    }
}

std::string ProfileDocument::text() const {
    std::string out;
    std::size_t size = 0;
    for (const auto& line : m_lines) {
        size += line.size();
    }
    out.reserve(size);
    for (const auto& line : m_lines) {
        out += line;
    }
    if (m_encoding == TextEncoding::Utf8 && !m_byte_order_mark) {
        return out;
    }
    TextEncoding encoding = m_encoding;
    return encode_text(out, encoding, m_byte_order_mark);
}

std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view default_value,
                                std::size_t buffer_size) {
    std::string result;
    const auto document = ProfileDocument::load(file);
    const auto found = document ? document->value(section, key) : std::nullopt;
    // The default loses its trailing blanks as a stored value does.
    result = found ? *found : std::string(without_trailing_blanks(default_value));
    const std::size_t room = buffer_size == 0 ? 0 : buffer_size - 1;
    if (result.size() > room) {
        result.resize(room);
    }
    return result;
}

int32_t read_profile_int(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, int32_t default_value) {
    const auto document = ProfileDocument::load(file);
    const auto found = document ? document->value(section, key) : std::nullopt;
    if (!found) {
        return default_value;
    }
    return leading_integer(*found);
}

std::string quoted_if_needed(std::string_view value) {
    const std::string_view text = trim(value);
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                        text.back() == text.front();
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool write_profile_string(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view value, const WriteCalls& calls) {
    if (!writable(trim(section), trim(key), value)) {
        return false;
    }
    const auto target = write_target(file);
    if (!target) {
        return false;
    }
    auto document = ProfileDocument::parse(target->text);
    document.set_value(section, key, value);
    return replace_file(target->file, document.text(), calls).ok();
}

bool ProfileDocument::save(const std::filesystem::path& file, const WriteCalls& calls) const {
    const auto target = write_target(file);
    return target && replace_file(target->file, text(), calls).ok();
}

ProfileIndex::ProfileIndex(const ProfileDocument& document) {
    // Keys before the first section, and those of a section whose name came before, are what
    // value() never finds.
    std::unordered_map<std::string, std::string>* keys = nullptr;
    for (const auto& line : document.m_lines) {
        const std::string_view text = content(line);
        if (const auto name = section_name(text)) {
            auto [entry, added] = m_values.try_emplace(upper_case(*name));
            keys = added ? &entry->second : nullptr;
            if (added) {
                m_section_names.emplace_back(*name);
            }
        } else if (keys != nullptr) {
            if (const auto entry = key_line(text)) {
                keys->try_emplace(upper_case(entry->key), unquote(entry->value));
            }
        }
    }
}

std::optional<std::string> ProfileIndex::value(std::string_view section,
                                               std::string_view key) const {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty()) {
        return std::nullopt;
    }
    const auto keys = m_values.find(upper_case(section));
    if (keys == m_values.end()) {
        return std::nullopt;
    }
    const auto found = keys->second.find(upper_case(key));
    if (found == keys->second.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace tallyrig

// Any bytes as a profile file, and a key written into it: the text round-trips, the key reads
// back as written, and no other key of the file changes.
#include "core/profile.h"
#include "core/text_encoding.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tallyrig::ProfileDocument;
using tallyrig::fuzz::check;

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

// A name as the profile layer compares it: trimmed, without regard to case.
std::string folded(std::string_view name) {
    std::string text = trimmed(name);
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// What a written value reads back as: trimmed, one pair of quotes around it removed.
std::string read_back(std::string_view value) {
    std::string text = trimmed(value);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return text;
}

bool breaks_line(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The writes the layer promises to make: names are trimmed first, and all is UTF-8.
bool writable(std::string_view section, std::string_view key, std::string_view value) {
    const std::string s = trimmed(section);
    const std::string k = trimmed(key);
    return !s.empty() && !k.empty() && s.find(']') == std::string::npos &&
           k.find('=') == std::string::npos && k.front() != ';' && k.front() != '[' &&
           !breaks_line(s) && !breaks_line(k) && !breaks_line(value) &&
           tallyrig::is_valid_utf8(s) && tallyrig::is_valid_utf8(k) &&
           tallyrig::is_valid_utf8(value);
}

// Names to look up: whatever stands between "[" and "]" or before "=" on a line, a rough cut
// that covers every section and key the document holds.
void collect_names(std::string_view text, std::set<std::string>& sections,
                   std::set<std::string>& keys) {
    std::size_t start = 0;
    while (start < text.size() && sections.size() + keys.size() < 64) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = text.substr(start, end - start);
        if (const auto open = line.find('['); open != std::string_view::npos) {
            sections.insert(std::string(line.substr(open + 1, line.find(']', open) - open - 1)));
        }
        if (const auto equals = line.find('='); equals != std::string_view::npos) {
            keys.insert(std::string(line.substr(0, equals)));
        }
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(40);
    const std::string key = input.ConsumeRandomLengthString(40);
    const std::string value = input.ConsumeRandomLengthString(80);
    const std::string text = input.ConsumeRemainingBytesAsString();

    ProfileDocument document = ProfileDocument::parse(text);
    check(document.text() == text);

    std::set<std::string> sections{section};
    std::set<std::string> keys{key};
    collect_names(text, sections, keys);
    const auto lookups = [&](const ProfileDocument& d) {
        std::vector<std::optional<std::string>> found;
        for (const std::string& s : sections) {
            for (const std::string& k : keys) {
                found.push_back(d.value(s, k));
            }
        }
        return found;
    };
    const auto before = lookups(document);

    document.set_value(section, key, value);
    const std::string written = document.text();
    if (!writable(section, key, value)) {
        check(written == text);
        return 0;
    }
    check(document.value(section, key) == read_back(value));

    // Every other key reads as before, in the document and in its text parsed again.
    const ProfileDocument reread = ProfileDocument::parse(written);
    check(reread.text() == written);
    const auto after = lookups(document);
    const auto after_reread = lookups(reread);
    std::size_t i = 0;
    for (const std::string& s : sections) {
        for (const std::string& k : keys) {
            const bool target = folded(s) == folded(section) && folded(k) == folded(key);
            check(after_reread[i] == after[i]);
            check(target || after[i] == before[i]);
            ++i;
        }
    }
    return 0;
}

// Text files that the program reads item by item, as the platform's sequential input does: an
// item ends at a comma or a line end, and blanks before an item are skipped. The RAM images
// and the assembly dump are read this way.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tallyrig {

// The items of a text, one at a time, as views into it. Lines of nothing but blanks after the
// last item are the end of the file, not empty items; blanks inside the last line stay.
class ItemReader {
public:
    explicit ItemReader(std::string_view text);

    // The next item; nothing once the text is used up.
    std::optional<std::string_view> next();

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    bool m_done = false;
};

} // namespace tallyrig

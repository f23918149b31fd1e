// Rich-text files as word processors write them, read into text and character formats: the
// paragraphs, tabs, escaped characters (through the code page), bold, italic, underline, font
// size and colour. Everything else (fonts, styles, pictures, document information) is skipped.
// Plain C++, so that it can be fuzzed without a window system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallyrig {

// A stretch of the text in one character format.
struct RichTextRun {
    size_t start = 0; // in UTF-16 units of the text
    size_t length = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double points = 0;              // 0: the reader's default size
    std::optional<uint32_t> colour; // 0x00RRGGBB; none: the default colour

    bool same_format(const RichTextRun& other) const {
        return bold == other.bold && italic == other.italic && underline == other.underline &&
               points == other.points && colour == other.colour;
    }
};

struct RichText {
    std::u16string text;           // "\n" between paragraphs
    std::vector<RichTextRun> runs; // in order, together covering the whole text
};

// The most changes of format the editor shows within two seconds of opening; a file with more
// is refused.
inline constexpr size_t kMaxShownFormatRuns = 100000;

// True when the bytes begin as a rich-text file does.
bool is_rich_text(std::string_view bytes);

// Any bytes give some text; what cannot be understood is left out.
RichText read_rich_text(std::string_view bytes);

} // namespace tallyrig

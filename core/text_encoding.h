// The encodings a text file of this system may come in: files written on the desktop the system
// comes from are in its 8-bit code page, newer ones in UTF-8, and an editor there may have saved
// one as UTF-16. Each file is read into UTF-8 and written back in the encoding it came in.
#pragma once

#include <string>
#include <string_view>

namespace tallyrig {

enum class TextEncoding { Utf8, CodePage, Utf16Le, Utf16Be };

struct DecodedText {
    std::string text; // UTF-8
    TextEncoding encoding = TextEncoding::Utf8;
    bool byte_order_mark = false;
};

// Well-formed UTF-16 by its mark (or, without one, by a first character of ASCII beside a zero
// byte), then UTF-8 when every byte sequence is valid UTF-8, else the code page. A mark is not
// part of the text. Any bytes decode, and encode_text gives them back unchanged.
DecodedText decode_text(std::string_view bytes);

// The UTF-8 text as bytes of the encoding, with a mark when asked. A text the encoding cannot
// carry (a character the code page lacks) or bytes that would read back as another text are
// written as UTF-8 instead (with a mark where needed), and the encoding says so, so nothing is
// lost.
std::string encode_text(std::string_view text, TextEncoding& encoding, bool byte_order_mark);

bool is_valid_utf8(std::string_view bytes);

} // namespace tallyrig

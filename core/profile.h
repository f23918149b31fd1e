// Our own ini-style profile files: read and write a key of a section the way the settings
// and key files expect. Section and key names compare without regard to case, values are
// trimmed (and lose one pair of surrounding quotes), a missing file or key gives the default,
// and a write changes one line in place. A damaged file (binary, huge, not a regular file)
// reads as empty; a write replaces the file in one rename, so a failure leaves the old one.
// The file name itself compares without regard to case too, as the program spells the
// settings file both "TALLYRIG.ini" and "TALLYRIG.INI".
#pragma once

#include "core/file_io.h"
#include "core/text_encoding.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tallyrig {

// A parsed profile file. Lines that are neither "[section]" nor "key=value" (comments start
// with ";") are kept for writing back but carry no data. Lines end in CR LF, LF or CR alone;
// the file's encoding (UTF-8, UTF-16 or the 8-bit code page, see decode_text) is decided once,
// values are UTF-8, and the text is written back in the encoding it was read in.
class ProfileDocument {
public:
    // The bytes of a file.
    static ProfileDocument parse(std::string_view bytes);

    // The parsed file; nullopt when it is missing, not a regular file or cannot be read.
    static std::optional<ProfileDocument> load(const std::filesystem::path& file);

    // The trimmed value of the first matching key of the first matching section.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets a key, adding the key at the end of its section (before its trailing blank lines)
    // or the section directly after the document's last line when missing. Names are trimmed; an
    // empty name, a section name with "]", a key with "=", a line break anywhere or text that is
    // not UTF-8 changes nothing.
    void set_value(std::string_view section, std::string_view key, std::string_view value);

    // Removes the headers and keys of every section whose name matches; its comments and other
    // lines stay where they were, as they may speak of what follows.
    void remove_sections(const std::function<bool(std::string_view)>& matches);

    // The document as the file's bytes: lines not touched exactly as parsed, written lines
    // ended CR LF, all in the encoding the document was read in.
    std::string text() const;

    // Writes the document as the file's whole text, with the care of write_profile_string: the
    // name's case and a link are resolved, the file's permissions kept, and the file replaced
    // in one rename. Returns false, changing nothing, when an existing file cannot be read
    // (it may hold data this document never saw), is read-only, or the new one cannot be written.
    bool save(const std::filesystem::path& file, const WriteCalls& calls = {}) const;

private:
    friend class ProfileIndex;

    // The lines of the section headers in order, and which header is the first of each name,
    // so a look-up reads only its own section.
    void add_section(std::string_view name, std::size_t header);
    std::optional<std::size_t> find_section(std::string_view name) const;
    std::size_t section_end(std::size_t index) const; // one past its last line

    TextEncoding m_encoding = TextEncoding::Utf8;
    bool m_byte_order_mark = false;
    std::vector<std::string> m_lines;
    std::vector<std::size_t> m_section_headers;
    std::unordered_map<std::string, std::size_t> m_first_section; // upper-case name to header
};

// Every value of a document at once, for readers that look up many keys of a file that may be
// large: each lookup finds what ProfileDocument::value would, without walking the lines.
class ProfileIndex {
public:
    explicit ProfileIndex(const ProfileDocument& document);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // The sections' names as the file spells them (trimmed), each name once, in file order.
    const std::vector<std::string>& sections() const { return m_section_names; }

private:
    std::unordered_map<std::string, std::unordered_map<std::string, std::string>> m_values;
    std::vector<std::string> m_section_names;
};

// The file as named, or when no such name exists, the folder's entry whose name differs from
// it only in case.
std::filesystem::path resolve_profile_path(const std::filesystem::path& file);

// Reads a value; the default, without its trailing blanks, when the file, section or key is
// missing. At most buffer_size - 1 characters are returned, as a fixed buffer of that size
// would hold.
std::string read_profile_string(const std::filesystem::path& file, std::string_view section,
                                std::string_view key, std::string_view default_value,
                                std::size_t buffer_size = 256);

// Reads a whole number: its leading decimal digits (with an optional sign); 0 when the value
// starts with none; the default when the key is missing.
int32_t read_profile_int(const std::filesystem::path& file, std::string_view section,
                         std::string_view key, int32_t default_value);

// The text to write for a value so that a read gives the value back: one that begins and ends
// with the same quote (blanks around it aside) gets a pair more, which the read removes.
std::string quoted_if_needed(std::string_view value);

// Writes a value, creating the file (not its folder) when missing and keeping every other
// line byte for byte. Returns false when the file cannot be read or written (a read-only file
// is refused), or the names or value cannot be written (see set_value).
bool write_profile_string(const std::filesystem::path& file, std::string_view section,
                          std::string_view key, std::string_view value,
                          const WriteCalls& calls = {});

} // namespace tallyrig

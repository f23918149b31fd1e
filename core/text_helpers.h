// Small text and file helpers shared across the simulator, the editor and the assembler library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyrig {

// "$" followed by the hexadecimal text left-filled with zeros to 2, 4 or 8 digits. Text that
// is empty or already wider than the field comes back unchanged, without "$". A leading "$"
// of the argument is dropped first; Statemc_pad8_hex trims blanks before that.
std::string Statemc_pad2_hex(std::string_view text);
std::string Statemc_pad_hex(std::string_view text);
std::string Statemc_pad8_hex(std::string_view text);

// Upper-case hexadecimal digits of a value, no leading zeros, as the pad routines expect
// (negative values as their 32-bit two's complement).
std::string hex_text(int64_t value);

// The value of one hexadecimal digit (either case), or -1.
int hex_digit(char c);

// Leading hexadecimal digits (up to four; digits beyond the fourth are ignored) as 0..65535;
// text with none reads as 0.
int32_t hex_to_long(std::string_view text);

// -1 when the path names a regular file that can be opened for reading, else 0 (folders,
// FIFOs and devices included, since callers go on to read the file whole).
int16_t file_exists(const std::string& path);

// The path without the extension of its file's name: the text before the last "." of the name
// itself, the whole path when the name has none (a folder's "." is no extension).
std::string strip_extension(std::string_view text);

// The text before the last "/"; empty when there is none. Twice on the program's own path it
// gives the install root.
std::string strip_file_name(std::string_view text);

// The number a text starts with, as a person types it and the platform reads it: blanks
// ignored, "&H" hexadecimal or a signed decimal with an optional fraction and exponent ("2e4"),
// read up to the first character that does not fit; 0 when the text starts with none.
double leading_number(std::string_view text);

// The whole number a text starts with: its leading decimal digits after an optional sign,
// saturated to 32 bits; 0 when it starts with none.
int32_t leading_integer(std::string_view text);

// The nearest whole number (halves to the even one), held within [low, high].
int32_t round_clamped(double value, int32_t low, int32_t high);

// ASCII letters only: file names and keys compare and convert this way, other bytes as they are.
bool same_text_ignoring_case(std::string_view a, std::string_view b);
std::string upper_case(std::string_view text);

// The list file of a source, beside it: the path up to and including the first "." of the
// file's own name, then "lst" (prog.v2.asm gives prog.lst); a name without any "." gets ".lst"
// appended; an empty path has none. The editor offers the file under this name and the
// assembler library writes it there, so the rule lives here alone.
std::string list_file_name(std::string_view source_path);

} // namespace tallyrig

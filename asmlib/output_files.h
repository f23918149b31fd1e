// The three texts an assembly leaves beside its source, and their names. The RAM image and the
// assembly dump are read item by item (an item ends at a comma or a line end) by the simulator,
// so neither may hold a comma anywhere.
#pragma once

#include "asmlib/two_pass.h"
#include "core/text_helpers.h"

#include <string>
#include <string_view>

namespace tallyrig::assembler {

// The list file's name is the editor's rule, shared: list_file_name in core/text_helpers.h.
using tallyrig::list_file_name;
// The source path without its extension, then ".ram" or ".rad".
std::string ram_file_name(std::string_view source_path);
std::string dump_file_name(std::string_view source_path);

// Each source line with its number, address and bytes, then the symbol table; for a failed
// assembly the lines up to the failing one and the message instead of the symbols.
std::string list_file_text(std::string_view source, std::string_view source_path,
                           const Assembly& assembly);

// Eight header items (the sixth ends in the load address, the seventh in the end address),
// then lines of a six-character prefix and up to 16 bytes, "--" ending a short line.
std::string ram_image_text(const Assembly& assembly);

// Eight header items (the seventh holds from its 12th character the number of the last line),
// then one record per line and one more per further data byte.
std::string assembly_dump_text(const Assembly& assembly);

} // namespace tallyrig::assembler

#include "asmlib/output_files.h"

#include <algorithm>
#include <cstdio>

namespace tallyrig::assembler {

namespace {

constexpr int kBytesPerListRow = 4;
constexpr int kBytesPerRamLine = 16;

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string line_number(size_t index) {
    char text[16];
    std::snprintf(text, sizeof text, "%05zu", index + 1);
    return text;
}

std::string base_name(std::string_view source_path) {
    const size_t slash = source_path.rfind('/');
    const size_t dot = source_path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
        return std::string(source_path);
    }
    return std::string(source_path.substr(0, dot));
}

std::string symbol_value(int64_t value) {
    if (value >= 0 && value <= 0xFFFF) {
        return "$" + hex(static_cast<uint32_t>(value), 4);
    }
    return std::to_string(value);
}

void pad_to(std::string& text, size_t width) {
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
}

// One listing row: number (or blanks), address (or blanks), up to four bytes, source text.
void list_row(std::string& out, std::string_view number, int32_t address, const uint8_t* bytes,
              uint32_t count, std::string_view text) {
    std::string row(number);
    pad_to(row, 7);
    row += address >= 0 ? "$" + hex(static_cast<uint32_t>(address), 4) : "";
    pad_to(row, 14);
    for (uint32_t k = 0; k < count; ++k) {
        row += hex(bytes[k], 2) + " ";
    }
    if (!text.empty()) {
        pad_to(row, 27);
        row += text;
    }
    while (!row.empty() && row.back() == ' ') {
        row.pop_back();
    }
    out += row;
    out += '\n';
}

} // namespace

std::string ram_file_name(std::string_view source_path) {
    return base_name(source_path) + ".ram";
}

std::string dump_file_name(std::string_view source_path) {
    return base_name(source_path) + ".rad";
}

std::string list_file_text(std::string_view source, std::string_view source_path,
                           const Assembly& assembly) {
    std::string out;
    // Room for every source line with its address and bytes, and the symbol table: a string
    // grown piece by piece would hold up to twice the list.
    out.reserve(source.size() + source_path.size() + 40 * assembly.lines.size() +
                3 * assembly.bytes.size() + 24 * assembly.symbols.size() + 256);
    out += "Tallyrig assembler list file\n";
    out += "Source: ";
    out += source_path;
    out += "\n\nLine   Addr   Bytes        Source\n";
    for (size_t i = 0; i < assembly.lines.size(); ++i) {
        const AssembledLine& line = assembly.lines[i];
        const std::string_view text = source.substr(line.start, line.end - line.start);
        const uint8_t* bytes = assembly.bytes.data() + line.first_byte;
        // Bytes not known are not listed: a guess would read as the program.
        const uint32_t shown = line.bytes_known ? line.byte_count : 0;
        const uint32_t count = std::min<uint32_t>(shown, kBytesPerListRow);
        list_row(out, line_number(i), line.address, bytes, count, text);
        // Long data lines go on below, four bytes a row.
        for (uint32_t k = count; k < shown; k += kBytesPerListRow) {
            list_row(out, "", line.address + static_cast<int32_t>(k), bytes + k,
                     std::min<uint32_t>(shown - k, kBytesPerListRow), "");
        }
    }
    if (!assembly.ok()) {
        out += "\n***** ASSEMBLER ERROR on line " + std::to_string(assembly.error.line) + ": " +
               error_message(assembly.error.code, assembly.error.value) + "\n";
        if (!assembly.error.detail.empty()) {
            out += "***** " + assembly.error.detail + "\n";
        }
        return out;
    }
    out += "\nSymbol table\n";
    if (assembly.symbols.empty()) {
        out += "(no labels)\n";
    }
    for (const SymbolEntry& symbol : assembly.symbols) {
        std::string row(symbol.name);
        pad_to(row, 10);
        row += symbol_value(symbol.value);
        if (symbol.is_equ) {
            pad_to(row, 22);
            row += ".EQU";
        }
        out += row + "\n";
    }
    out += "\n" + std::to_string(assembly.bytes.size()) + " bytes from $" +
           hex(static_cast<uint32_t>(assembly.origin), 4) + "\n";
    return out;
}

std::string ram_image_text(const Assembly& assembly) {
    const auto size = static_cast<uint32_t>(assembly.bytes.size());
    const auto origin = static_cast<uint32_t>(assembly.origin);
    const uint32_t last = size == 0 ? origin : origin + size - 1;
    std::string out = "TALLYRIG RAM IMAGE\n"
                      "WRITTEN BY THE TALLYRIG ASSEMBLER\n"
                      "EACH LINE: ADDRESS AND UP TO 16 BYTES IN HEX\n";
    out += "BYTES: " + std::to_string(size) + "\n";
    out += "DATA LINES: " + std::to_string((size + kBytesPerRamLine - 1) / kBytesPerRamLine) + "\n";
    out += "LOAD ADDRESS: $" + hex(origin, 4) + "\n";
    out += "END ADDRESS: $" + hex(last, 4) + "\n";
    out += "START OF DATA\n";
    for (uint32_t at = 0; at < size; at += kBytesPerRamLine) {
        out += hex(origin + at, 4) + ": ";
        const uint32_t count = std::min<uint32_t>(size - at, kBytesPerRamLine);
        for (uint32_t k = 0; k < count; ++k) {
            out += hex(assembly.bytes[at + k], 2);
            out += k + 1 < count ? " " : "";
        }
        out += count < kBytesPerRamLine ? " --\n" : "\n";
    }
    return out;
}

std::string assembly_dump_text(const Assembly& assembly) {
    std::string out = "TALLYRIG ASSEMBLY DUMP\n"
                      "WRITTEN BY THE TALLYRIG ASSEMBLER\n"
                      "EACH RECORD: LINE LETTER ADDRESS FIELD\n";
    out += "LINES: " + std::to_string(assembly.lines.size()) + "\n";
    out += "BYTES: " + std::to_string(assembly.bytes.size()) + "\n";
    out += "START ADDR:$" + hex(static_cast<uint32_t>(assembly.origin), 4) + "\n";
    // The reader stops at the record whose line number reaches this value.
    out +=
        "LAST LINE: " + line_number(assembly.lines.empty() ? 0 : assembly.lines.size() - 1) + "\n";
    out += "START OF RECORDS\n";
    for (size_t i = 0; i < assembly.lines.size(); ++i) {
        const AssembledLine& line = assembly.lines[i];
        const char letter = static_cast<char>(line.kind);
        std::string record = line_number(i) + " " + letter + " ";
        record += line.address >= 0 ? "$" + hex(static_cast<uint32_t>(line.address), 4) : "-----";
        if (line.kind == LineKind::Data) {
            const uint8_t* bytes = assembly.bytes.data() + line.first_byte;
            out += record + " $" + hex(bytes[0], 2) + "\n";
            // Further bytes are "$" records: their address in place of the line number.
            for (uint32_t k = 1; k < line.byte_count; ++k) {
                out += "$" + hex(static_cast<uint32_t>(line.address) + k, 4) + " $" +
                       hex(bytes[k], 2) + "\n";
            }
            continue;
        }
        std::string field(line.mnemonic.substr(0, 3));
        pad_to(field, 3);
        out += record + " " + (line.mnemonic.empty() ? "---" : field) + "\n";
    }
    return out;
}

} // namespace tallyrig::assembler

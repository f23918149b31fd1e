#include "core/assembly_dump.h"

#include "core/file_io.h"
#include "core/machine.h"
#include "core/sequential_items.h"
#include "core/text_helpers.h"

namespace tallyrig {

namespace {

constexpr std::size_t kEndValueStart = 12;
constexpr std::size_t kEndValueLength = 16;
constexpr const char* kLineEnd = "\r\n";
constexpr const char* kNoCount = "---------";

// The characters from position start (counted from 1), as many as there are up to length.
std::string_view mid(std::string_view text, std::size_t start, std::size_t length) {
    return start - 1 < text.size() ? text.substr(start - 1, length) : std::string_view();
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string count_text(int32_t count) {
    return Statemc_pad8_hex(hex_text(count));
}

const MemoryCell& cell_at(const MemoryCells& cells, std::string_view hex_address) {
    return cells[static_cast<std::size_t>(hex_to_long(hex_address))];
}

void append_counts(std::string& out, const MemoryCell& cell) {
    out += count_text(cell.count_primary);
    out += ' ';
    out += count_text(cell.count_secondary);
}

// One record's line; nothing for a letter that has none.
void append_record(std::string& out, std::string_view record, const MemoryCells& cells) {
    const std::string_view number = mid(record, 1, 5);
    const std::string_view letter = mid(record, 7, 1);
    const std::string_view address = mid(mid(record, 9, 5), 2, 4);
    const std::string_view field = mid(record, 15, 3);
    const auto opening = [&] {
        out += number;
        out += ' ';
        out += letter;
        out += " $";
        out += address;
        out += ' ';
        out += field;
        out += ' ';
    };
    if (letter == "B" || letter == "P") {
        out += trimmed(number);
        out += ' ';
        out += letter;
        out += " ----- --- --------- ---------";
    } else if (letter == "I") {
        opening();
        out += count_text(cell_at(cells, address).count_primary);
        out += ' ';
        out += kNoCount;
    } else if (letter == "J" || letter == "D") {
        opening();
        append_counts(out, cell_at(cells, address));
    } else if (letter == "$") {
        // A data byte past a line's first: its address stands in the line number's place.
        out += "      D ";
        out += number;
        out += ' ';
        out += mid(record, 7, 9);
        out += ' ';
        append_counts(out, cell_at(cells, mid(number, 2, 4)));
    } else {
        return;
    }
    out += kLineEnd;
}

void append_line(std::string& out, std::string_view text) {
    out += text;
    out += kLineEnd;
}

} // namespace

AssemblyDump parse_assembly_dump(std::string_view text) {
    AssemblyDump dump;
    ItemReader items(text);
    for (int n = 1; n <= kAssemblyDumpHeaderItems; ++n) {
        const auto item = items.next();
        if (!item) {
            return dump;
        }
        if (n == 6) {
            dump.header1 = *item;
        } else if (n == 7) {
            dump.header2 = *item;
            dump.end_value = mid(*item, kEndValueStart, kEndValueLength);
        }
    }
    while (const auto item = items.next()) {
        dump.records.emplace_back(trimmed(*item));
    }
    return dump;
}

std::string processed_dump_text(const AssemblyDump& dump, const MemoryCells& cells,
                                std::string_view ram_file_name, bool* ended_early) {
    std::string out;
    append_line(out, "# FILE TYPE: Tallyrig Processed Assembly Dump (*.pad) file");
    append_line(out, "# GENERATED: Tallyrig");
    append_line(out, "# DATE-TIME:");
    append_line(out, std::string("# SOURCEWAS:") + std::string(ram_file_name));
    append_line(out, "");
    append_line(out, dump.header1);
    append_line(out, dump.header2);
    append_line(out, "");

    bool reached_end = false;
    for (const std::string& record : dump.records) {
        append_record(out, record, cells);
        // Line numbers compare as text, so "$" records (before any digit) never end the list.
        if (!(mid(record, 1, 5) < std::string_view(dump.end_value))) {
            reached_end = true;
            break;
        }
    }
    if (ended_early != nullptr) {
        *ended_early = !reached_end;
    }

    out += "99999 S ----- --- ";
    append_counts(out, cells[static_cast<std::size_t>(kStackCountCell)]);
    out += kLineEnd;
    for (int32_t port = kInputPortStart; port <= kOutputPortEnd; ++port) {
        out += "99999 X ";
        out += Statemc_pad_hex(hex_text(port));
        out += " --- ";
        append_counts(out, cells[static_cast<std::size_t>(port)]);
        out += kLineEnd;
    }
    return out;
}

PadFileResult write_pad_file(Machine& machine, const WriteCalls& calls) {
    PadFileResult result;
    machine.ui().yield();
    std::string text;
    if (read_regular_file(machine.files.rad_file_path, text, kAssemblyDumpMaxBytes) !=
        FileRead::Read) {
        text.clear();
        result.problem = "The assembly dump cannot be read.";
    }
    const AssemblyDump dump = parse_assembly_dump(text);
    machine.ui().yield();
    bool ended_early = false;
    const std::string pad =
        processed_dump_text(dump, machine.memory_cells, machine.files.ram_file_name, &ended_early);
    if (ended_early && result.problem.empty()) {
        result.problem = "The assembly dump ends before its last record.";
    }
    result.written = replace_file(machine.files.pad_file_path, pad, calls).ok();
    if (!result.written) {
        result.problem = "The processed dump cannot be written.";
    }
    return result;
}

void Init_profile_array(MemoryCells& cells) {
    for (MemoryCell& cell : cells) {
        cell.count_primary = 0;
        cell.count_secondary = 0;
    }
}

} // namespace tallyrig

#include "asmlib/assemble_file.h"

#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "core/file_io.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace tallyrig::assembler {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> read_source(const std::string& path) {
    std::error_code ec;
    // Only a regular file: a folder cannot be read and a FIFO would wait for ever.
    if (path.empty() || !fs::is_regular_file(path, ec) ||
        fs::file_size(path, ec) > kMaxSourceBytes || ec) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // Read in one piece: a string grown while reading would hold up to twice the source.
    std::string text(static_cast<size_t>(fs::file_size(path, ec)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    // A file that grew since its size was taken is read on, within the limit.
    if (in && in.peek() != std::ifstream::traits_type::eof()) {
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (in.bad() || ec || text.size() > kMaxSourceBytes) {
        return std::nullopt;
    }
    return text;
}

// An editor that saved the source in UTF-8 may have put a byte-order mark before it. The mark is
// no part of the text the user sees, so lines and offsets are counted after it.
std::string_view without_byte_order_mark(std::string_view text) {
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    return text.starts_with(kMark) ? text.substr(kMark.size()) : text;
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    return a == b || fs::equivalent(a, b, ec);
}

// Removes an output left by an earlier run, a file or a link (not what it points to); never
// the source itself and never a folder.
void remove_stale(const std::string& path, const std::string& source_path) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    if ((fs::is_regular_file(status) || fs::is_symlink(status)) && !same_file(path, source_path)) {
        fs::remove(path, ec);
    }
}

struct Output {
    std::string path;
    std::string text;
    ErrorCode failure;
};

// All three files or none: the renames happen only once every new text is whole on the disk.
// An output replaces a link in its place rather than writing where it points.
ErrorCode write_outputs(const std::vector<Output>& outputs, const std::string& source_path,
                        const WriteCalls& calls) {
    std::vector<StagedFile> staged;
    staged.reserve(outputs.size());
    for (const Output& out : outputs) {
        if (same_file(out.path, source_path)) {
            return out.failure;
        }
        staged.emplace_back(out.path, calls);
        if (!staged.back().write(out.text, 0644).ok()) {
            return out.failure;
        }
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        if (!staged[i].commit().ok()) {
            return outputs[i].failure;
        }
    }
    return ErrorCode::None;
}

} // namespace

FileOutcome assemble_file(const std::string& source_path, const WriteCalls& calls) {
    FileOutcome outcome;
    const std::string list_path = list_file_name(source_path);
    const std::string ram_path = ram_file_name(source_path);
    const std::string dump_path = dump_file_name(source_path);
    // A list file assembled as a source would name the images of the source it was made from;
    // those are not this run's to remove.
    const bool own_list = same_file(list_path, source_path);
    const auto remove_images = [&] {
        if (!source_path.empty() && !own_list) {
            remove_stale(ram_path, source_path);
            remove_stale(dump_path, source_path);
        }
    };

    const std::optional<std::string> file = read_source(source_path);
    if (!file) {
        outcome.error.code = ErrorCode::CannotOpenInput;
        remove_images();
        return outcome;
    }
    const std::string_view source = without_byte_order_mark(*file);
    const Assembly assembly = assemble(source);
    if (!assembly.ok()) {
        outcome.error = assembly.error;
        const auto line = static_cast<size_t>(assembly.error.line);
        if (line >= 1 && line <= assembly.lines.size()) {
            outcome.line_start = assembly.lines[line - 1].start;
            outcome.line_end = assembly.lines[line - 1].end;
        }
        remove_images();
        // The list file shows where it went wrong. A failure to write it leaves the error as it
        // is, but no list from an earlier run may stay to be taken for this one.
        if (!own_list) {
            std::vector<Output> list;
            list.push_back({list_path, list_file_text(source, source_path, assembly),
                            ErrorCode::CannotOpenList});
            if (write_outputs(list, source_path, calls) != ErrorCode::None) {
                remove_stale(list_path, source_path);
            }
        }
        return outcome;
    }
    // Moved in, not listed: an initializer list would copy each text once more.
    std::vector<Output> outputs;
    outputs.reserve(3);
    outputs.push_back(
        {list_path, list_file_text(source, source_path, assembly), ErrorCode::CannotOpenList});
    outputs.push_back({ram_path, ram_image_text(assembly), ErrorCode::CannotOpenOutput});
    outputs.push_back({dump_path, assembly_dump_text(assembly), ErrorCode::CannotOpenOutput});
    outcome.error.code = write_outputs(outputs, source_path, calls);
    if (outcome.error.code != ErrorCode::None) {
        remove_images();
        remove_stale(list_path, source_path);
    }
    return outcome;
}

} // namespace tallyrig::assembler

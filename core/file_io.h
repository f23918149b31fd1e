// Whole-file reads and writes with the care outside input needs: a read takes only a regular
// file (a FIFO in its place cannot hang the program) up to a size, and a write replaces the
// file in one rename, so a failure part way leaves the old file whole.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tallyrig {

enum class FileRead { Read, Missing, Failed };

// The file's bytes; Failed for anything but a regular file, for a read error and for a file
// larger than max_bytes. mode, when asked for, receives the file's permission bits.
FileRead read_regular_file(const std::filesystem::path& file, std::string& text,
                           std::size_t max_bytes, mode_t* mode = nullptr);

// Writes a sibling and renames it over the file; false, leaving the file as it was, when any
// step fails. A new file's permissions come from the umask unless mode is given.
bool replace_file(const std::filesystem::path& file, std::string_view text,
                  std::optional<mode_t> mode = std::nullopt);

// The file as named, or when no such name exists, the folder's entry whose name differs from
// it only in case (the smallest of several, so the choice does not depend on folder order).
std::filesystem::path resolve_name_case(const std::filesystem::path& file);

// The same for every part of the path, so a path kept in upper case finds its file again.
std::filesystem::path resolve_path_case(const std::filesystem::path& file);

} // namespace tallyrig

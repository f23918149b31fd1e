// Assembling a source file: read it, assemble it, and leave its list file, RAM image and
// assembly dump beside it. The outputs appear whole or not at all: each is written to a
// temporary file first and renamed into place; after a failure no RAM image or dump is left
// from an earlier success, so the simulator cannot load a stale program as the new one, and no
// list file but this run's, so the editor cannot offer an old one as current.
#pragma once

#include "asmlib/errors.h"
#include "core/file_io.h"

#include <cstddef>
#include <string>

namespace tallyrig::assembler {

// Sources larger than this cannot be a program for a 64 KB machine; they are refused unread.
inline constexpr size_t kMaxSourceBytes = 64u << 20;

struct FileOutcome {
    AssemblyError error;   // code None on success
    size_t line_start = 0; // offsets of the failing line's start and end in the file
    size_t line_end = 0;
};

// The system calls its writes make; tests make them fail as a full disk would.
FileOutcome assemble_file(const std::string& source_path, const WriteCalls& calls = {});

} // namespace tallyrig::assembler

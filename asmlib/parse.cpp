#include "asmlib/parse.h"

#include "asmlib/assemble_file.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

void put(int32_t* target, size_t value) {
    if (target != nullptr) {
        *target =
            static_cast<int32_t>(value > static_cast<size_t>(std::numeric_limits<int32_t>::max())
                                     ? std::numeric_limits<int32_t>::max()
                                     : value);
    }
}

} // namespace

void parse(char* file_name, int32_t* line_no, int32_t* error_code, int32_t* start_of_error,
           int32_t* end_of_line, int32_t* char_offset) {
    using namespace tallyrig::assembler;
    FileOutcome outcome;
    try {
        outcome = assemble_file(file_name != nullptr ? std::string(file_name) : std::string());
    } catch (const std::bad_alloc&) {
        // Out of memory while reading or assembling: the source was too much to take in.
        outcome = {};
        outcome.error.code = ErrorCode::CannotOpenInput;
    } catch (...) {
        outcome = {};
        outcome.error.code = ErrorCode::BadStatement;
    }
    const bool failed = outcome.error.code != ErrorCode::None;
    put(line_no, failed ? static_cast<size_t>(outcome.error.line) : 0);
    put(error_code, static_cast<size_t>(outcome.error.code));
    put(start_of_error, failed ? outcome.error.offset : 0);
    put(end_of_line, failed ? outcome.line_end : 0);
    put(char_offset, failed ? outcome.line_start : 0);
}

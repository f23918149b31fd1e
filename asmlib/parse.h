// The one entry point of libasm.so, as the editor calls it: the source path (left unchanged)
// and five 32-bit results. error_code is 0 on success and 1 to 25 otherwise; line_no is the
// 1-based line of the first error (0 when the fault is with a file, not a line);
// start_of_error, end_of_line and char_offset are the character offsets, in the file, of the
// error, of its line's end and of its line's start.
#pragma once

#include <cstdint>

extern "C" {

using ParseFunction = void (*)(char* file_name, int32_t* line_no, int32_t* error_code,
                               int32_t* start_of_error, int32_t* end_of_line, int32_t* char_offset);

__attribute__((visibility("default"))) void parse(char* file_name, int32_t* line_no,
                                                  int32_t* error_code, int32_t* start_of_error,
                                                  int32_t* end_of_line, int32_t* char_offset);
}

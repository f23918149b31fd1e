// The assembler library as the editor uses it: libasm.so, loaded by its full path at the first
// Assemble and kept bound for the program's life, and its one function parse.
#pragma once

#include "asmlib/parse.h"

#include <QLibrary>
#include <QString>
#include <cstdint>

namespace tallyrig {

inline constexpr const char* kAssemblerLibraryName = "libasm.so";

// What parse leaves, each set to 0 before the call.
struct ParseOutputs {
    int32_t line_no = 0;
    int32_t error_code = 0; // 0 or less: success; else the message 3000 + error_code
    int32_t start_of_error = 0;
    int32_t end_of_line = 0;
    int32_t char_offset = 0;
};

class AssemblerLibrary {
public:
    explicit AssemblerLibrary(QString path);

    // Binds the library and its parse unless already bound; empty when bound, else what the
    // status bar says: the library or its parse could not be loaded.
    QString bind();
    bool bound() const { return m_parse != nullptr; }

    // Assembles the file; only once bound. The path goes over as the file system's bytes.
    ParseOutputs parse(const QString& source_path) const;

    const QString& path() const { return m_path; }

private:
    QString m_path;
    QLibrary m_library;
    ParseFunction m_parse = nullptr;
};

} // namespace tallyrig

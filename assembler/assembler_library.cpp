#include "assembler/assembler_library.h"

#include <QFile>
#include <utility>

namespace tallyrig {

AssemblerLibrary::AssemblerLibrary(QString path) : m_path(std::move(path)) {}

QString AssemblerLibrary::bind() {
    if (bound()) {
        return {};
    }
    // Only this file: no other libasm on the search path may stand in for it.
    if (!QFile::exists(m_path)) {
        return QStringLiteral("The assembler library %1 could not be loaded: there is no such "
                              "file")
            .arg(m_path);
    }
    m_library.setFileName(m_path);
    if (!m_library.load()) {
        return QStringLiteral("The assembler library %1 could not be loaded: %2")
            .arg(m_path, m_library.errorString());
    }
    m_parse = reinterpret_cast<ParseFunction>(m_library.resolve("parse"));
    if (m_parse == nullptr) {
        m_library.unload();
        return QStringLiteral("The assembler library %1 has no function parse").arg(m_path);
    }
    return {};
}

ParseOutputs AssemblerLibrary::parse(const QString& source_path) const {
    ParseOutputs outputs;
    // A buffer of its own, ended by a NUL: parse is handed a writable text.
    QByteArray buffer = QFile::encodeName(source_path);
    m_parse(buffer.data(), &outputs.line_no, &outputs.error_code, &outputs.start_of_error,
            &outputs.end_of_line, &outputs.char_offset);
    return outputs;
}

} // namespace tallyrig

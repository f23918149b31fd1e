#include "assembler/source_file.h"

#include "asmlib/assemble_file.h"
#include "core/code_page.h"
#include "core/file_io.h"
#include "core/text_helpers.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace tallyrig {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

LineEnd first_line_end(const QByteArray& bytes) {
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == kLf) {
            return LineEnd::Lf;
        }
        if (bytes[i] == kCr) {
            return i + 1 < bytes.size() && bytes[i + 1] == kLf ? LineEnd::CrLf : LineEnd::Cr;
        }
    }
    return LineEnd::CrLf;
}

QByteArray line_end_bytes(LineEnd end) {
    switch (end) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

bool is_line_break(char32_t c) {
    return c == U'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Empty when a character is missing from the code page.
std::optional<QByteArray> encode_code_page(const QString& text, const QByteArray& line_end) {
    QByteArray out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (is_line_break(c)) {
            out += line_end;
        } else if (const auto byte = code_page_byte(c)) {
            out += static_cast<char>(*byte);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

QByteArray encode_utf8(const QString& text, const QByteArray& line_end) {
    QString lines = text;
    lines.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    lines.replace(QChar::LineSeparator, QLatin1Char('\n'));
    QByteArray out = lines.toUtf8();
    if (line_end != "\n") {
        out.replace('\n', line_end);
    }
    return out;
}

} // namespace

bool names_a_file(const QString& path) {
    return file_exists(path.toStdString()) != 0;
}

SourceText decode_source(const QByteArray& bytes) {
    SourceText source;
    source.format.line_end = first_line_end(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: every byte is a character of the code page, a mark-like start included.
        source.format.utf8 = false;
        text.clear();
        text.reserve(bytes.size());
        for (const char byte : bytes) {
            text += QChar(static_cast<char16_t>(code_page_character(static_cast<uint8_t>(byte))));
        }
    } else if (bytes.startsWith(kUtf8Mark)) {
        source.format.byte_order_mark = true;
        text.remove(0, 1);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    source.text = std::move(text);
    return source;
}

QByteArray encode_source(const QString& text, SourceFormat& format) {
    const QByteArray line_end = line_end_bytes(format.line_end);
    if (!format.utf8) {
        if (auto bytes = encode_code_page(text, line_end)) {
            return *bytes;
        }
        format.utf8 = true;
    }
    QByteArray out = encode_utf8(text, line_end);
    if (format.byte_order_mark) {
        out.prepend(kUtf8Mark);
    }
    return out;
}

QStringList text_lines(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n'))) {
        lines.removeLast();
    }
    return lines;
}

FileBytes read_source_file(const QString& path) {
    FileBytes result;
    // A FIFO or device would block or never end: only a regular file is opened.
    if (!names_a_file(path)) {
        const QFileInfo info(path);
        result.problem = !info.exists()  ? QStringLiteral("there is no such file")
                         : info.isFile() ? QStringLiteral("it cannot be opened for reading")
                                         : QStringLiteral("it is not a file");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.problem = file.errorString();
        return result;
    }
    if (file.size() > kMaxShownBytes) {
        result.problem = QStringLiteral("it is larger than %1 MB, more than the editor can show "
                                        "quickly")
                             .arg(kMaxShownBytes >> 20);
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.problem = file.errorString();
        result.bytes.clear();
    }
    return result;
}

QString too_long_to_show(const QString& text) {
    qsizetype line = 1;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        if (end - start > kMaxShownLine) {
            return QStringLiteral("line %1 is longer than %2 characters, more than the editor "
                                  "can show quickly")
                .arg(line)
                .arg(kMaxShownLine);
        }
        start = end + 1;
        ++line;
    }
    return {};
}

QString write_source_file(const QString& path, const QByteArray& bytes, const WriteCalls& calls) {
    const WriteResult written =
        replace_file(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), bytes.size()), calls);
    return written.ok() ? QString() : QString::fromStdString(written.reason());
}

} // namespace tallyrig

// Source files as the editor reads and writes them: plain text, in UTF-8 or, when the bytes are
// not UTF-8, the 8-bit code page, with the line ends the file already uses. The editor shows
// line breaks as "\n"; writing puts the file's own line ends back.
#pragma once

#include "core/file_io.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tallyrig {

enum class LineEnd { CrLf, Lf, Cr };

// How a file was written. New text gets CR LF, the line end of the templates it is built from.
struct SourceFormat {
    bool utf8 = true; // else the 8-bit code page
    bool byte_order_mark = false;
    LineEnd line_end = LineEnd::CrLf;
};

struct SourceText {
    QString text; // "\n" between lines
    SourceFormat format;
};

SourceText decode_source(const QByteArray& bytes);

// The text as a file of the format. "\n" and the editor's own paragraph and line separators
// end lines. When the 8-bit code page lacks a character of the text, the file is written as
// UTF-8 instead, and the format says so, so nothing typed is lost.
QByteArray encode_source(const QString& text, SourceFormat& format);

// The lines of a text, each without its end; a last line without an end counts, and an end at
// the very end adds no empty line.
QStringList text_lines(const QString& text);

// True when the path names a regular file that can be opened for reading.
bool names_a_file(const QString& path);

// The most the text box shows within two seconds of opening: larger files and longer lines are
// refused before they are loaded. A program for a 64 KB machine needs nothing like either.
inline constexpr qint64 kMaxShownBytes = qint64{8} << 20;
inline constexpr qsizetype kMaxShownLine = qsizetype{16} << 10;

// Why the text would take the text box too long to show (its longest line), or empty.
QString too_long_to_show(const QString& text);

struct FileBytes {
    QByteArray bytes;
    QString problem; // empty when the bytes were read
};

// A whole file; the problem says why it could not be read (missing, not a file, larger than
// the text box shows quickly).
FileBytes read_source_file(const QString& path);

// Writes the bytes in place of the file, whole or not at all; the problem, or empty when
// written.
QString write_source_file(const QString& path, const QByteArray& bytes,
                          const WriteCalls& calls = {});

} // namespace tallyrig

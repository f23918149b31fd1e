// Source files keep their bytes: an unchanged text goes back as it came, a changed one keeps
// the file's line ends and encoding.
#include "assembler/source_file.h"
#include "tests/assembler/editor_fixture.h"

#include <sys/stat.h>

namespace tallyrig::testing {
namespace {

struct RoundTrip {
    const char* name;
    std::string bytes;
    QString shown;
    std::string after_typing; // the file once "X" is typed at the start and saved
};

class SourceRoundTrip : public EditorTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(SourceRoundTrip, UnchangedTextIsWrittenBackByteForByte) {
    const RoundTrip& c = GetParam();
    const QString path = write_work("prog.asm", c.bytes);
    open(path);
    EXPECT_EQ(text(), c.shown);
    editor->Save_File();
    EXPECT_EQ(bytes_of(path), c.bytes);

    caret_to_start();
    type("X");
    editor->Save_File();
    EXPECT_EQ(bytes_of(path), c.after_typing);
    // Saved again unchanged, the new bytes stay.
    editor->Save_File();
    EXPECT_EQ(bytes_of(path), c.after_typing);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SourceRoundTrip,
    ::testing::Values(
        RoundTrip{"CrLf", "a\r\nb\r\n", "a\nb\n", "Xa\r\nb\r\n"},
        RoundTrip{"Lf", "a\nb", "a\nb", "Xa\nb"}, RoundTrip{"Cr", "a\rb\r", "a\nb\n", "Xa\rb\r"},
        // Mixed ends come back as they were; once edited, the first end found is used.
        RoundTrip{"Mixed", "a\nb\r\nc", "a\nb\nc", "Xa\nb\nc"},
        RoundTrip{"Utf8Mark", "\xEF\xBB\xBFz\xC3\xA9\n", QString::fromUtf8("z\xC3\xA9\n"),
                  "\xEF\xBB\xBFXz\xC3\xA9\n"},
        // Not UTF-8: the 8-bit code page, both ways.
        RoundTrip{"CodePage", "\x93q\x94 \xA0\x81\n",
                  QString::fromUtf8("\xE2\x80\x9Cq\xE2\x80\x9D  \xC2\x81\n"),
                  "X\x93q\x94 \xA0\x81\n"},
        RoundTrip{"Empty", "", "", "X"}),
    [](const ::testing::TestParamInfo<RoundTrip>& info) { return info.param.name; });

TEST(SourceFormat, ACharacterTheCodePageLacksMakesTheFileUtf8) {
    SourceFormat format = decode_source("caf\xE9\n").format;
    EXPECT_FALSE(format.utf8);
    EXPECT_EQ(encode_source(QString::fromUtf8("caf\xC3\xA9\n"), format), "caf\xE9\n");
    EXPECT_EQ(encode_source(QString::fromUtf8("\xCE\xA9 caf\xC3\xA9\n"), format),
              "\xCE\xA9 caf\xC3\xA9\n");
    EXPECT_TRUE(format.utf8);
}

using SourceFiles = EditorTest;

TEST_F(SourceFiles, AFifoIsRefusedRatherThanWaitedOn) {
    const QString fifo = work("fifo.asm");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    open(fifo);
    EXPECT_TRUE(editor->status_text().startsWith("Could not open " + fifo));
    EXPECT_EQ(file().has_name, 0);
}

} // namespace
} // namespace tallyrig::testing

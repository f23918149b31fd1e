#include "core/profile.h"
#include "tests/support/temp_folder.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyrig {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::write_file;

struct LookupCase {
    const char* name;
    std::string text;
    std::string section;
    std::string key;
    std::optional<std::string> expected;
};

class ProfileLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ProfileLookupTest, FindsTheValue) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(ProfileDocument::parse(c.text).value(c.section, c.key), c.expected);
}

const std::string kSettings = "[Message Section]\r\n"
                              "Message_Field_5=Get Opcode\r\n"
                              "[Recent Files]\r\n"
                              "RecentFile1=Not Used\r\n";

INSTANTIATE_TEST_SUITE_P(
    Forms, ProfileLookupTest,
    ::testing::Values(
        LookupCase{"Plain", kSettings, "Message Section", "Message_Field_5", "Get Opcode"},
        LookupCase{"SectionCase", kSettings, "MESSAGE section", "Message_Field_5", "Get Opcode"},
        LookupCase{"KeyCase", kSettings, "Recent Files", "recentfile1", "Not Used"},
        LookupCase{"OtherSection", kSettings, "Recent Files", "Message_Field_5", std::nullopt},
        LookupCase{"MissingSection", kSettings, "Processor_Speed", "Speed", std::nullopt},
        LookupCase{"MissingKey", kSettings, "Recent Files", "RecentFile2", std::nullopt},
        LookupCase{"LfOnly", "[A]\nk=v\n", "A", "k", "v"},
        LookupCase{"NoFinalLineEnd", "[A]\nk=v", "A", "k", "v"},
        LookupCase{"CrOnly", "[A]\rx=1\rk=v\r[B]\rk=w\r", "A", "k", "v"},
        LookupCase{"CrOnlyLaterSection", "[A]\rx=1\r[B]\rk=w", "B", "k", "w"},
        LookupCase{"MixedLineEnds", "[A]\r\nx=1\ry=2\nk=3", "A", "k", "3"},
        LookupCase{"ByteOrderMark", "\xEF\xBB\xBF[A]\r\nk=v\r\n", "A", "k", "v"},
        LookupCase{"ByteOrderMarkOnlyAtTheStart", "[A]\n\xEF\xBB\xBFk=v\n", "A", "k", std::nullopt},
        LookupCase{"Blanks", "  [ A ]  \n\t k \t=  v w \t\r\n", "A", "k", "v w"},
        LookupCase{"EmptyValue", "[A]\nk=\n", "A", "k", ""},
        LookupCase{"EqualsInValue", "[A]\nk=a=b\n", "A", "k", "a=b"},
        LookupCase{"DoubleQuotes", "[A]\nk= \" v \" \n", "A", "k", " v "},
        LookupCase{"SingleQuotes", "[A]\nk='v'\n", "A", "k", "v"},
        LookupCase{"OnlyOnePairOfQuotes", "[A]\nk=\"\"v\"\"\n", "A", "k", "\"v\""},
        LookupCase{"MismatchedQuotes", "[A]\nk=\"v'\n", "A", "k", "\"v'"},
        LookupCase{"LoneQuote", "[A]\nk=\"\n", "A", "k", "\""},
        LookupCase{"CommentIsNoKey", "[A]\n;k=v\n", "A", "k", std::nullopt},
        LookupCase{"IndentedComment", "[A]\n  ; k=v\nk=w\n", "A", "k", "w"},
        LookupCase{"LineWithoutEquals", "[A]\nk\n", "A", "k", std::nullopt},
        LookupCase{"KeyBeforeAnySection", "k=v\n[A]\n", "A", "k", std::nullopt},
        LookupCase{"FirstKeyWins", "[A]\nk=1\nK=2\n", "A", "k", "1"},
        LookupCase{"FirstSectionWins", "[A]\nx=1\n[B]\n[a]\nk=2\n", "A", "k", std::nullopt},
        LookupCase{"UnclosedHeaderEndsSection", "[A]\n[B\nk=v\n", "A", "k", std::nullopt},
        LookupCase{"UnclosedHeaderStartsSection", "[A]\n[B\nk=v\n", "B", "k", "v"},
        LookupCase{"EmptyKeyName", "[A]\n=v\n", "A", "", std::nullopt},
        LookupCase{"EmptyText", "", "A", "k", std::nullopt},
        LookupCase{"NulEndsTheValue", std::string("[A]\nk=ab\0cd\n", 12), "A", "k", "ab"}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

class ProfileFileTest : public ::testing::Test {
protected:
    void put(const std::string& text) const { write_file(m_file, text); }
    std::string contents() const { return read_file(m_file); }
    std::string read(const std::string& section, const std::string& key) const {
        return read_profile_string(m_file, section, key, "Not Used");
    }
    std::size_t files_in_dir() const { return m_folder.entries(); }

    testing::TempFolder m_folder;
    const fs::path& m_dir = m_folder.path();
    const fs::path m_file = m_folder.file("TALLYRIG.ini");
};

TEST_F(ProfileFileTest, MissingFileGivesTheDefault) {
    EXPECT_EQ(read("Recent Files", "RecentFile1"), "Not Used");
    EXPECT_EQ(read_profile_int(m_file, "Processor_Speed", "Speed", 7), 7);
    EXPECT_EQ(read_profile_string("", "A", "k", "d"), "d");
}

TEST_F(ProfileFileTest, BufferSizeTruncatesValueAndDefault) {
    put("[A]\nk=abcdef\n");
    const std::pair<std::size_t, std::string> cases[] = {
        {256, "abcdef"}, {7, "abcdef"}, {6, "abcde"}, {4, "abc"}, {1, ""}, {0, ""},
    };
    for (const auto& [size, text] : cases) {
        EXPECT_EQ(read_profile_string(m_file, "A", "k", "", size), text) << size;
    }
    EXPECT_EQ(read_profile_string(m_file, "A", "missing", "Not Used", 4), "Not");
}

TEST_F(ProfileFileTest, DefaultLosesItsTrailingBlanksAsAStoredValueDoes) {
    put("[A]\nk=stored  \n");
    EXPECT_EQ(read_profile_string(m_file, "A", "k", ""), "stored");
    EXPECT_EQ(read_profile_string(m_file, "A", "missing", "Not Used  \t"), "Not Used");
    EXPECT_EQ(read_profile_string(m_file, "A", "missing", " x "), " x");
    EXPECT_EQ(read_profile_string(m_file, "A", "missing", "   "), "");
    EXPECT_EQ(read_profile_string(m_dir / "none.ini", "A", "k", "d "), "d");
}

TEST_F(ProfileFileTest, ReadIntForms) {
    const std::pair<std::string, int32_t> cases[] = {
        {"12", 12},
        {"-5", -5},
        {"+7", 7},
        {"  42  ", 42},
        {"12abc", 12},
        {"1.5", 1},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"0x10", 0},
        {"'15'", 15},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"99999999999999999999", INT32_MAX},
        {"-99999999999999999999", INT32_MIN},
    };
    for (const auto& [value, number] : cases) {
        put("[Processor_Speed]\r\nSpeed=" + value + "\r\n");
        EXPECT_EQ(read_profile_int(m_file, "processor_speed", "SPEED", -1), number) << value;
    }
    EXPECT_EQ(read_profile_int(m_file, "Processor_Speed", "Other", -1), -1);
}

TEST_F(ProfileFileTest, DamagedFilesReadAsDefaults) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        garbage += static_cast<char>((i * 151 + 7) % 256);
    }
    const std::string huge_line(1 << 20, 'x');
    const std::pair<const char*, std::string> cases[] = {
        {"binary", garbage},
        {"nul bytes", std::string(1000, '\0')},
        {"no sections", "k=v\r\nRecentFile1=x\r\n"},
        {"huge line", huge_line},
        {"huge section name", "[" + huge_line + "\n"},
        {"huge key line in section", "[Recent Files]\n" + huge_line + "=1\n"},
        {"only line ends", std::string(100000, '\n')},
        {"larger than any profile", "[Recent Files]\nRecentFile1=x\n" + std::string(5 << 20, ';')},
    };
    for (const auto& [name, text] : cases) {
        put(text);
        EXPECT_EQ(read("Recent Files", "RecentFile1"), "Not Used") << name;
        EXPECT_EQ(read_profile_int(m_file, "Recent Files", "RecentFile1", 3), 3) << name;
    }
}

TEST_F(ProfileFileTest, KeysAroundAHugeLineStillRead) {
    put("[A]\nbefore=1\n" + std::string(1 << 20, 'y') + "\nafter=2\n[B]\nk=3\n");
    EXPECT_EQ(read("A", "before"), "1");
    EXPECT_EQ(read("A", "after"), "2");
    EXPECT_EQ(read("B", "k"), "3");
}

TEST_F(ProfileFileTest, NonRegularFilesReadAsDefaults) {
    fs::create_directory(m_file);
    EXPECT_EQ(read("A", "k"), "Not Used");
    EXPECT_FALSE(write_profile_string(m_file, "A", "k", "v"));
    fs::remove(m_file);

    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0);
    EXPECT_EQ(read("A", "k"), "Not Used"); // and does not wait for a writer
    EXPECT_FALSE(write_profile_string(m_file, "A", "k", "v"));
}

TEST_F(ProfileFileTest, UnreadableFileIsNeitherReadNorReplaced) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    put("[A]\nk=v\n");
    fs::permissions(m_file, fs::perms::owner_write);
    EXPECT_EQ(read("A", "k"), "Not Used");
    EXPECT_FALSE(write_profile_string(m_file, "A", "j", "w"));
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(contents(), "[A]\nk=v\n");
}

TEST_F(ProfileFileTest, WriteCreatesTheFileButNotTheFolder) {
    ASSERT_TRUE(write_profile_string(m_file, "Recent Files", "RecentFile1", "C:/P/ONE.PRJ"));
    EXPECT_EQ(contents(), "[Recent Files]\r\nRecentFile1=C:/P/ONE.PRJ\r\n");
    EXPECT_EQ(read("recent files", "RECENTFILE1"), "C:/P/ONE.PRJ");

    const fs::path nested = m_dir / "missing" / "TALLYRIG.ini";
    EXPECT_FALSE(write_profile_string(nested, "A", "k", "v"));
    EXPECT_FALSE(fs::exists(nested.parent_path()));
}

struct WriteCase {
    const char* name;
    std::string before;
    std::string section;
    std::string key;
    std::string value;
    std::string after;
};

class ProfileWriteTest : public ProfileFileTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWriteTest, ChangesOnlyWhatItMust) {
    const WriteCase& c = GetParam();
    put(c.before);
    ASSERT_TRUE(write_profile_string(m_file, c.section, c.key, c.value));
    EXPECT_EQ(contents(), c.after);
    EXPECT_EQ(files_in_dir(), 1u) << "no temporary file left behind";
}

INSTANTIATE_TEST_SUITE_P(
    Edits, ProfileWriteTest,
    ::testing::Values(
        WriteCase{"InPlaceKeepsOtherLinesByteForByte",
                  "; settings\n[A]\n  x = 1 \t\nk = old\r\n;k=comment\n\n[B]\nk=b", "a", "K", "new",
                  "; settings\n[A]\n  x = 1 \t\nk=new\r\n;k=comment\n\n[B]\nk=b"},
        WriteCase{"NewKeyBeforeTrailingBlankLines", "[A]\r\nx=1\r\n\r\n\r\n[B]\r\ny=2\r\n", "A",
                  "k", "v", "[A]\r\nx=1\r\nk=v\r\n\r\n\r\n[B]\r\ny=2\r\n"},
        WriteCase{"NewKeyInLastSectionWithoutLineEnd", "[A]\nx=1", "A", "k", "v",
                  "[A]\nx=1\r\nk=v\r\n"},
        WriteCase{"NewKeyInEmptySection", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\r\n[B]\n"},
        WriteCase{"NewSectionAppended", "[A]\r\nx=1\r\n", "B", "k", "v",
                  "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"NewSectionAfterBlankLine", "[A]\nx=1\n\n", "B", "k", "v",
                  "[A]\nx=1\n\n[B]\r\nk=v\r\n"},
        WriteCase{"NewSectionAfterUnendedLine", "[A]\nx=1", "B", "k", "v",
                  "[A]\nx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"CrOnlyInPlace", "[A]\rk=1\r[B]\rk=2\r", "A", "k", "3", "[A]\rk=3\r\n[B]\rk=2\r"},
        WriteCase{"CrOnlyNewKey", "[A]\rx=1\r[B]\r", "A", "k", "v", "[A]\rx=1\rk=v\r\n[B]\r"},
        WriteCase{"CrOnlyNewSection", "[A]\rx=1", "B", "k", "v", "[A]\rx=1\r\n[B]\r\nk=v\r\n"},
        WriteCase{"ByteOrderMarkInPlace", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "A", "k", "2",
                  "\xEF\xBB\xBF[A]\r\nk=2\r\n"},
        WriteCase{"ByteOrderMarkNewSection", "\xEF\xBB\xBF[A]\r\nk=1\r\n", "B", "j", "2",
                  "\xEF\xBB\xBF[A]\r\nk=1\r\n[B]\r\nj=2\r\n"},
        WriteCase{"EmptyFile", "", "A", "k", "v", "[A]\r\nk=v\r\n"},
        WriteCase{"OnlyFirstOfTwoSectionsChanges", "[A]\nk=1\n[A]\nk=2\n", "A", "k", "3",
                  "[A]\nk=3\r\n[A]\nk=2\n"},
        WriteCase{"CommentedKeyIsNotReplaced", "[A]\n;k=1\n", "A", "k", "2", "[A]\n;k=1\nk=2\r\n"},
        WriteCase{"NamesAreTrimmed", "[A]\nk=1\n", " A ", " k ", "2", "[A]\nk=2\r\n"},
        WriteCase{"EmptyValue", "[A]\nk=1\n", "A", "k", "", "[A]\nk=\r\n"},
        WriteCase{"GarbageLinesKept", std::string("\x01\x02\0\xff\n[A]\n", 9), "A", "k", "v",
                  std::string("\x01\x02\0\xff\n[A]\nk=v\r\n", 14)}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

TEST_F(ProfileFileTest, WritesThatWouldBreakTheFileAreRefused) {
    put("[A]\nk=1\n");
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"A", "k", "1\r\n[B]"}, {"A", "k", "a\nb"}, {"A", "k=x", "1"}, {"A]", "k", "1"},
        {"", "k", "1"},         {"A", "", "1"},     {"A", " ", "1"},   {"A", ";k", "1"},
        {"A", "[k", "1"},       {"A\nB", "k", "1"},
    };
    for (const auto& [section, key, value] : cases) {
        EXPECT_FALSE(write_profile_string(m_file, section, key, value)) << section << key;
    }
    EXPECT_EQ(contents(), "[A]\nk=1\n");
}

TEST_F(ProfileFileTest, FileNameCaseDoesNotMatter) {
    put("[Processor_Speed]\r\nSpeed=1000\r\n");
    const fs::path upper = m_dir / "TALLYRIG.INI";
    EXPECT_EQ(read_profile_int(upper, "Processor_Speed", "Speed", 0), 1000);
    ASSERT_TRUE(write_profile_string(upper, "Recent Files", "RecentFile1", "Not Used"));
    EXPECT_EQ(files_in_dir(), 1u);
    EXPECT_EQ(read("Recent Files", "RecentFile1"), "Not Used");
    EXPECT_EQ(read_profile_int(m_dir / "other.ini", "Processor_Speed", "Speed", 5), 5);
}

TEST_F(ProfileFileTest, WriteKeepsPermissionsAndFollowsLinks) {
    put("[A]\nk=1\n");
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = m_dir / "link.ini";
    fs::create_symlink(m_file, link);
    ASSERT_TRUE(write_profile_string(link, "A", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(), "[A]\nk=2\r\n");
    EXPECT_EQ(fs::status(m_file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(ProfileFileTest, FailedWriteLeavesTheOldFile) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into every folder";
    }
    put("[A]\nk=1\n");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(write_profile_string(m_file, "A", "k", "2"));
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(contents(), "[A]\nk=1\n");
    EXPECT_EQ(files_in_dir(), 1u);
}

TEST_F(ProfileFileTest, SaveWritesTheWholeDocumentWithTheWritersCare) {
    put("[A]\nk=1\n");
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = m_dir / "link.ini";
    fs::create_symlink(m_file, link);
    auto document = ProfileDocument::parse("; saved\n[B]\nj=2\n");
    ASSERT_TRUE(document.save(link));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(), "; saved\n[B]\nj=2\n");
    document.set_value("B", "j", "3");
    ASSERT_TRUE(document.save(m_dir / "tallyrig.INI"));
    EXPECT_EQ(contents(), "; saved\n[B]\nj=3\r\n");
    EXPECT_EQ(fs::status(m_file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(files_in_dir(), 2u) << "no temporary file left behind";

    const fs::path created = m_dir / "new.ini";
    ASSERT_TRUE(document.save(created));
    EXPECT_EQ(ProfileDocument::load(created)->text(), document.text());
    EXPECT_FALSE(document.save(m_dir / "missing" / "new.ini"));
    EXPECT_FALSE(document.save(""));
}

TEST_F(ProfileFileTest, SaveRefusesWhatItCannotRead) {
    const auto document = ProfileDocument::parse("[A]\nk=new\n");
    fs::create_directory(m_file);
    EXPECT_FALSE(document.save(m_file));
    EXPECT_TRUE(fs::is_directory(m_file));
    fs::remove(m_file);

    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0);
    EXPECT_FALSE(document.save(m_file)); // and does not wait for a writer
    EXPECT_EQ(fs::status(m_file).type(), fs::file_type::fifo);
    fs::remove(m_file);

    const std::string huge = "[A]\nk=old\n" + std::string(5 << 20, ';');
    put(huge);
    EXPECT_FALSE(document.save(m_file));
    EXPECT_EQ(contents(), huge);
    EXPECT_EQ(files_in_dir(), 1u);
}

// A value in quotes loses them when read; written through quoted_if_needed it reads back as
// itself.
// The bytes of a Latin-1 text as UTF-16, low byte first or high byte first.
std::string utf16(std::string_view latin1, bool big_endian) {
    std::string out;
    for (const char c : latin1) {
        out += big_endian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return out;
}

struct EncodingCase {
    const char* name;
    std::string file;    // as written on the other desktop: [A] k=été
    std::string value;   // then written as key j
    std::string written; // the whole file after that write
};

void PrintTo(const EncodingCase& c, std::ostream* out) {
    *out << c.name;
}

class ProfileEncodingTest : public ::testing::TestWithParam<EncodingCase> {};

// A file reads as the desktop that wrote it meant it, and a write keeps its encoding.
TEST_P(ProfileEncodingTest, ReadsTheFileAsWrittenAndWritesItBackInItsEncoding) {
    const EncodingCase& c = GetParam();
    testing::TempFolder folder;
    const fs::path file = folder.file("keys.ini");
    write_file(file, c.file);
    EXPECT_EQ(read_profile_string(file, "A", "k", "none"), "\xC3\xA9t\xC3\xA9");
    ASSERT_TRUE(write_profile_string(file, "A", "j", c.value));
    EXPECT_EQ(read_file(file), c.written);
    EXPECT_EQ(read_profile_string(file, "A", "j", "none"), c.value);
    EXPECT_EQ(read_profile_string(file, "A", "k", "none"), "\xC3\xA9t\xC3\xA9");
}

const std::string kLatin1 = "[A]\r\nk=\xE9t\xE9\r\n";
const std::string kLatin1After = kLatin1 + "j=\xFC\r\n";

INSTANTIATE_TEST_SUITE_P(
    Encodings, ProfileEncodingTest,
    ::testing::Values(EncodingCase{"Utf8", "[A]\r\nk=\xC3\xA9t\xC3\xA9\r\n", "\xC3\xBC",
                                   "[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nj=\xC3\xBC\r\n"},
                      EncodingCase{"CodePage", kLatin1, "\xC3\xBC", kLatin1After},
                      EncodingCase{"CodePageHigh", "[A]\r\nk=\xE9t\xE9\r\n",
                                   "\xE2\x82\xAC\xE2\x80\x94",
                                   "[A]\r\nk=\xE9t\xE9\r\nj=\x80\x97\r\n"},
                      // A character the code page lacks makes the file UTF-8 rather than lose it.
                      EncodingCase{"CodePageOutgrown", kLatin1, "\xE2\x86\x92",
                                   "[A]\r\nk=\xC3\xA9t\xC3\xA9\r\nj=\xE2\x86\x92\r\n"},
                      EncodingCase{"Utf16LittleEndian", "\xFF\xFE" + utf16(kLatin1, false),
                                   "\xC3\xBC", "\xFF\xFE" + utf16(kLatin1After, false)},
                      EncodingCase{"Utf16BigEndian", "\xFE\xFF" + utf16(kLatin1, true), "\xC3\xBC",
                                   "\xFE\xFF" + utf16(kLatin1After, true)},
                      EncodingCase{"Utf16WithoutMark", utf16(kLatin1, false), "\xC3\xBC",
                                   utf16(kLatin1After, false)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileDocument, QuotedValuesReadBackAsWritten) {
    const std::pair<std::string, std::string> cases[] = {
        {"\"A\"", "\"A\""},     {"'x'", "'x'"},   {"\"\"\"", "\"\"\""}, {"\"\"", "\"\""},
        {" \"a\" ", " \"a\" "}, {"\"a'", "\"a'"}, {" plain ", "plain"}, {"\"", "\""},
    };
    for (const auto& [value, read] : cases) {
        auto document = ProfileDocument::parse("[A]\r\n");
        document.set_value("A", "k", quoted_if_needed(value));
        EXPECT_EQ(ProfileDocument::parse(document.text()).value("A", "k"), read) << value;
    }
}

TEST(ProfileDocument, TextRoundTripsAndSetValueReads) {
    for (const std::string other : {"\xEF\xBB\xBF[A]\rk=1\r\r\n\n\r", "\xEF\xBB\xBF", "\r\r"}) {
        EXPECT_EQ(ProfileDocument::parse(other).text(), other);
    }
    const std::string text = "x\r\n[A]\nk = 1 \n\n";
    auto document = ProfileDocument::parse(text);
    EXPECT_EQ(document.text(), text);
    document.set_value("a", "NEW", "2");
    EXPECT_EQ(document.value("A", "new"), "2");
    document.set_value("A", "k", "bad\nvalue");
    EXPECT_EQ(document.value("A", "k"), "1");
}

} // namespace
} // namespace tallyrig

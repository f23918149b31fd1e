#include "core/text_helpers.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tallyrig {
namespace {

struct PadCase {
    std::string input;
    std::string pad2;
    std::string pad4;
    std::string pad8;
};

class PadHexTest : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadHexTest, FillsTheFieldOrLeavesTheTextAlone) {
    const PadCase& c = GetParam();
    EXPECT_EQ(Statemc_pad2_hex(c.input), c.pad2);
    EXPECT_EQ(Statemc_pad_hex(c.input), c.pad4);
    EXPECT_EQ(Statemc_pad8_hex(c.input), c.pad8);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, PadHexTest,
    ::testing::Values(
        PadCase{"5", "$05", "$0005", "$00000005"}, PadCase{"A", "$0A", "$000A", "$0000000A"},
        PadCase{"FF", "$FF", "$00FF", "$000000FF"}, PadCase{"100", "100", "$0100", "$00000100"},
        PadCase{"4000", "4000", "$4000", "$00004000"},
        PadCase{"10000", "10000", "10000", "$00010000"},
        PadCase{"1234567", "1234567", "1234567", "$01234567"},
        PadCase{"FFFFFFFF", "FFFFFFFF", "FFFFFFFF", "$FFFFFFFF"},
        PadCase{"123456789", "123456789", "123456789", "123456789"}, PadCase{"", "", "", ""},
        // A leading "$" is dropped first, also when nothing is added.
        PadCase{"$12", "$12", "$0012", "$00000012"}, PadCase{"$", "", "", ""},
        PadCase{"$12345", "12345", "12345", "$00012345"},
        // Case is kept.
        PadCase{"ab", "$ab", "$00ab", "$000000ab"}));

TEST(PadHex, OnlyTheEightDigitFormTrimsBlanks) {
    EXPECT_EQ(Statemc_pad8_hex(" 1F "), "$0000001F");
    EXPECT_EQ(Statemc_pad8_hex("  $1F"), "$0000001F");
    EXPECT_EQ(Statemc_pad8_hex("   "), "");
    EXPECT_EQ(Statemc_pad2_hex(" 1"), "$ 1");
    EXPECT_EQ(Statemc_pad_hex(" 1F "), "$ 1F ");
}

TEST(HexText, UpperCaseWithoutLeadingZeros) {
    const std::pair<int64_t, std::string> cases[] = {
        {0, "0"},         {10, "A"},        {255, "FF"},      {256, "100"},
        {0x4000, "4000"}, {65536, "10000"}, {-1, "FFFFFFFF"}, {-256, "FFFFFF00"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(hex_text(value), text) << value;
    }
    EXPECT_EQ(Statemc_pad2_hex(hex_text(256)), "100");
}

TEST(HexToLong, ReadsLeadingDigitsAsUnsigned16Bit) {
    const std::pair<std::string, int32_t> cases[] = {
        {"ffff", 65535},
        {"FFFF", 65535},
        {"8000", 32768},
        {"7F", 127},
        {"0", 0},
        {"", 0},
        {"12G4", 18},
        {"G4", 0},
        {"4000", 16384},
        {" 12", 0},
        {"$12", 0},
        {"0a", 10},
        {"1234", 0x1234},
        // Digits past the fourth do not fit the field and are ignored.
        {"12345", 0x1234},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(hex_to_long(text), value) << text;
    }
}

TEST(StripPath, ReturnsTheTextBeforeTheLastSeparator) {
    const std::pair<std::string, std::string> extension_cases[] = {
        {"/work/prog.ram", "/work/prog"},
        {"a.b.c", "a.b"},
        {".ram", ""},
        {"prog.", "prog"},
        {"", ""},
        // Only the file's own name has an extension: the dumps stay beside the image.
        {"work/my.dir/prog.ram", "work/my.dir/prog"},
        {"work/my.dir/prog", "work/my.dir/prog"},
        {"/work/v1.2/.ram", "/work/v1.2/"},
        {"prog", "prog"},
    };
    for (const auto& [text, stripped] : extension_cases) {
        EXPECT_EQ(strip_extension(text), stripped) << text;
    }
    const std::pair<std::string, std::string> name_cases[] = {
        {"/root/bin/prog", "/root/bin"}, {"prog", ""}, {"", ""}, {"/prog", ""}, {"a/b/", "a/b"},
    };
    for (const auto& [text, stripped] : name_cases) {
        EXPECT_EQ(strip_file_name(text), stripped) << text;
    }
    EXPECT_EQ(strip_file_name(strip_file_name("/opt/tallyrig/bin/Tallyrig")), "/opt/tallyrig");
}

class FileExistsTest : public ::testing::Test {
protected:
    testing::TempFolder m_folder;
    const std::filesystem::path& m_dir = m_folder.path();
};

TEST_F(FileExistsTest, OnlyReadableRegularFilesExist) {
    const auto file = m_dir / "prog.ram";
    testing::write_file(file, "x");
    const auto empty = m_dir / "empty.ram";
    testing::write_file(empty, "");
    const auto fifo = m_dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    EXPECT_EQ(file_exists(file.string()), -1);
    EXPECT_EQ(file_exists(empty.string()), -1);
    EXPECT_EQ(file_exists(m_dir.string()), 0);
    EXPECT_EQ(file_exists((m_dir / "missing").string()), 0);
    EXPECT_EQ(file_exists(""), 0);
    EXPECT_EQ(file_exists(fifo.string()), 0); // and does not hang
    EXPECT_EQ(file_exists(file.string() + std::string(1, '\0') + "x"), 0);
}

TEST_F(FileExistsTest, UnreadableFileDoesNotExist) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    const auto locked = m_dir / "locked";
    testing::write_file(locked, "x");
    std::filesystem::permissions(locked, std::filesystem::perms::none);
    EXPECT_EQ(file_exists(locked.string()), 0);
}

} // namespace
} // namespace tallyrig

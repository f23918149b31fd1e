// Bad input ends in an error code, never in a crash or a hang.
#include "asmlib/assemble_file.h"
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>

namespace tallyrig::assembler {
namespace {

using tallyrig::testing::TempFolder;

struct BadInput {
    const char* name;
    std::string text;
    std::optional<ErrorCode> code; // none: any error will do
};

std::string garbage(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string text(size, '\0');
    for (char& c : text) {
        c = static_cast<char>(random() & 0xFF);
    }
    return text;
}

std::string repeated(std::string_view piece, size_t total) {
    std::string text;
    text.reserve(total + piece.size());
    while (text.size() < total) {
        text += piece;
    }
    return text;
}

TEST(Robustness, BadSourcesGiveAnErrorCode) {
    const std::vector<BadInput> inputs{
        {"empty", "", ErrorCode::MissingEnd},
        {"binary garbage", ".ORG $4000\n" + garbage(100000, 1), std::nullopt},
        {"10 MB of instructions", ".ORG $4000\n" + repeated("        NOP # filler\n", 10 << 20),
         ErrorCode::WordTooBig},
        {"10 MB of comments", repeated("# just talk\n", 10 << 20), ErrorCode::BadStatement},
        {"10 MB on one line", ".ORG $4000\n LDA " + repeated("1+", 10 << 20) + "1\n.END\n",
         ErrorCode::BadExpression},
        {"a line of 100000 characters", ".ORG $4000\n" + std::string(100000, 'A') + "\n.END\n",
         ErrorCode::BadStatement},
        {"100000 blanks then a statement",
         ".ORG $4000\n" + std::string(100000, ' ') + "NOP\n.END\n", ErrorCode::None},
        {"parentheses nested 10000 deep",
         ".ORG $4000\n LDA " + std::string(10000, '(') + "1" + std::string(10000, ')') + "\n.END\n",
         ErrorCode::BadExpression},
        {"10000 minus signs", ".ORG $4000\n LDA " + std::string(10000, '-') + "1\n.END\n",
         ErrorCode::BadExpression},
        {"brackets nested 10000 deep",
         ".ORG $4000\n LDA " + std::string(10000, '[') + "1" + std::string(10000, ']') + "\n.END\n",
         ErrorCode::BadExpression},
    };
    for (const BadInput& input : inputs) {
        const Assembly result = assemble(input.text);
        if (input.code) {
            EXPECT_EQ(result.error.code, *input.code) << input.name;
        } else {
            EXPECT_FALSE(result.ok()) << input.name;
        }
        // Whatever happened, the list file can be made from it.
        EXPECT_FALSE(list_file_text(input.text, "x.asm", result).empty());
    }
}

TEST(Robustness, ManyDistinctLabelsAndAFullAddressSpace) {
    std::string source = ".ORG 0\n";
    for (int i = 0; i < 16384; ++i) {
        source += "L" + std::to_string(i) + ": .4BYTE L" + std::to_string(i) + "\n";
    }
    source += ".END\n";
    // 64 KB from address 0 overflows the ROM at once.
    EXPECT_EQ(assemble(source).error.code, ErrorCode::RomOverflow);
    source.replace(0, 6, ".ORG $C000");
    EXPECT_EQ(assemble(source).error.code, ErrorCode::WordTooBig);
}

TEST(Robustness, GarbageFilesThroughTheFileLayer) {
    TempFolder folder;
    const std::string big =
        folder.write("big.asm", repeated("LDA [[1+2*(3-4)],X] # ?\r\n", 10 << 20));
    EXPECT_EQ(assemble_file(big).error.code, ErrorCode::NeedOrg);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "big.lst"));

    for (unsigned seed = 0; seed < 20; ++seed) {
        const std::string path = folder.write("g.asm", garbage(4096, seed));
        const FileOutcome outcome = assemble_file(path);
        EXPECT_NE(outcome.error.code, ErrorCode::None);
        EXPECT_LE(outcome.line_start, outcome.line_end);
        EXPECT_LE(outcome.line_end, 4096u);
    }
}

} // namespace
} // namespace tallyrig::assembler

// Each of the assembler's errors from a small source, with the line it is reported on.
#include "asmlib/two_pass.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig::assembler {
namespace {

struct ErrorCase {
    ErrorCode code;
    int32_t line;
    std::string source;
};

// Most cases put the fault on line 3, after a comment and the .ORG.
std::string in_program(const std::string& line) {
    return "# a program\n        .ORG $4000\n" + line + "\n        .END\n";
}

TEST(Errors, EachCodeFromASmallSource) {
    const std::vector<ErrorCase> cases{
        {ErrorCode::BadStatement, 3, in_program("        FOO 5")},
        {ErrorCode::BadStatement, 3, in_program("1abc:   NOP")},
        {ErrorCode::BadStatement, 3, in_program("a-b:    NOP")},
        {ErrorCode::BadStatement, 3, in_program("loop    NOP")},
        {ErrorCode::BadStatement, 3, in_program("        .WORD 5")},
        {ErrorCode::BadStatement, 3, in_program("        LDA [5,Y]")},
        {ErrorCode::BadStatement, 3, in_program("        LDA [5]]")},
        {ErrorCode::BadStatement, 3, in_program("        LDA 5 5")},
        {ErrorCode::BadExpression, 3, in_program("        LDA \x01")},
        {ErrorCode::MissingExpression, 3, in_program("        LDA")},
        {ErrorCode::MissingExpression, 3, in_program("        LDA   # nothing")},
        {ErrorCode::MissingExpression, 3, in_program("        .BYTE")},
        {ErrorCode::MissingExpression, 1, "x: .EQU\n.ORG $4000\n.END"},
        {ErrorCode::MissingReference, 3, in_program("        LDA 5+")},
        {ErrorCode::MissingReference, 3, in_program("        LDA []")},
        {ErrorCode::MissingReference, 3, in_program("        .BYTE 1,,2")},
        {ErrorCode::MissingReference, 3, in_program("        .BYTE 1,")},
        {ErrorCode::MissingReference, 3, in_program("        LDA ()")},
        {ErrorCode::MissingBracket, 3, in_program("        LDA [5")},
        {ErrorCode::MissingBracket, 3, in_program("        LDA [[5]")},
        {ErrorCode::MissingBracket, 3, in_program("        LDA [5,X")},
        {ErrorCode::MissingBracket, 3, in_program("        LDA [[5],X")},
        {ErrorCode::MissingParenthesis, 3, in_program("        LDA (5+1")},
        {ErrorCode::MissingParenthesis, 3, in_program("        LDA [(5+1]")},
        {ErrorCode::UnwantedExpression, 3, in_program("        NOP 5")},
        {ErrorCode::UnwantedExpression, 3, in_program("        RTS [x]")},
        {ErrorCode::BadExpression, 3, in_program("        LDA $G")},
        {ErrorCode::BadExpression, 3, in_program("        LDA $ 5")},
        {ErrorCode::BadExpression, 3, in_program("        LDA 5abc")},
        {ErrorCode::BadExpression, 3, in_program("        LDA @")},
        {ErrorCode::BadExpression, 3, in_program("        .BYTE 5 5")},
        {ErrorCode::BadExpression, 3, in_program("        LDA 99999999999999999999")},
        {ErrorCode::BadExpression, 3, in_program("        LDA $7FFFFFFFFFFFFFFF+1")},
        {ErrorCode::BadExpression, 3, in_program("        .4BYTE $100000000")},
        {ErrorCode::DivideByZero, 3, in_program("        LDA 5/0")},
        {ErrorCode::DivideByZero, 3, in_program("        LDA 5/(2-2)")},
        {ErrorCode::DuplicateLabel, 4, in_program("a:      NOP\na:      NOP")},
        {ErrorCode::DuplicateLabel, 4, in_program("a:      NOP\na:      .EQU 1")},
        {ErrorCode::NeedOrg, 2, "# no origin\n        NOP\n        .END\n"},
        {ErrorCode::NeedOrg, 1, "        .BYTE 1\n"},
        {ErrorCode::NeedOrg, 1, "here:\n"},
        {ErrorCode::NeedOrg, 1, "        .END\n"},
        {ErrorCode::MissingEnd, 3, "        .ORG $4000\n        NOP\n# no end\n"},
        {ErrorCode::MissingEnd, 1, ""},
        {ErrorCode::MisplacedOrg, 3, in_program("        .ORG $5000")},
        {ErrorCode::MisplacedEqu, 3, in_program("        .EQU 5")},
        {ErrorCode::StatementAfterEnd, 5, in_program("") + "        NOP\n"},
        {ErrorCode::StatementAfterEnd, 5, in_program("") + "oops:\n"},
        {ErrorCode::StatementAfterEnd, 5, in_program("") + "  @@ garbage\n"},
        {ErrorCode::ByteTooBig, 3, in_program("        LDA 256")},
        {ErrorCode::ByteTooBig, 3, in_program("        .BYTE 1, -129")},
        {ErrorCode::WordTooBig, 3, in_program("        LDA [$10000]")},
        {ErrorCode::WordTooBig, 3, in_program("        BLDX 70000")},
        {ErrorCode::WordTooBig, 3, in_program("        .2BYTE -32769")},
        {ErrorCode::WordTooBig, 3, in_program("        .END 65536") + "\n"},
        {ErrorCode::WordTooBig, 2, "        .ORG $FFFE\n        JMP [0]\n        .END\n"},
        {ErrorCode::ModeNotSupported, 3, in_program("        STA 5")},
        {ErrorCode::ModeNotSupported, 3, in_program("        JMP 5")},
        {ErrorCode::ModeNotSupported, 3, in_program("        JZ [5,X]")},
        {ErrorCode::ModeNotSupported, 3, in_program("        ADD [[5]]")},
        {ErrorCode::ModeNotSupported, 3, in_program("        BSTX $4000")},
        {ErrorCode::LabelOnOrg, 1, "start:  .ORG $4000\n        .END\n"},
        {ErrorCode::LabelTooLong, 3, in_program("abcdefghi: NOP")},
        {ErrorCode::BadOrg, 1, "        .ORG\n        .END\n"},
        {ErrorCode::BadOrg, 1, "        .ORG [$4000]\n        .END\n"},
        {ErrorCode::BadOrg, 1, "        .ORG $10000\n        .END\n"},
        {ErrorCode::BadOrg, 1, "        .ORG -1\n        .END\n"},
        {ErrorCode::BadOrg, 1, "        .ORG $4000 junk\n        .END\n"},
        {ErrorCode::RomOverflow, 2, "        .ORG $3FFE\n        LDA [0]\n        .END\n"},
        {ErrorCode::RomOverflow, 3, ".ORG $3FFE\n.BYTE 1\n.2BYTE 1\n.END\n"},
        {ErrorCode::UndefinedLabel, 3, in_program("        JMP [nowhere]")},
        {ErrorCode::UndefinedLabel, 3, in_program("        LDA [Here]\nhere:   NOP")},
        {ErrorCode::UndefinedLabel, 1, "A: .EQU B\nB: .EQU 1\n.ORG $4000\n.END\n"},
    };
    for (const ErrorCase& c : cases) {
        const Assembly result = assemble(c.source);
        EXPECT_EQ(result.error.code, c.code) << c.source;
        EXPECT_EQ(result.error.line, c.line) << c.source;
    }
}

TEST(Errors, TheFirstErrorInTheFileIsReportedWhicheverPassFindsIt) {
    // The first pass stops at its error; labels declared from there on are still unknown, so
    // a reference to one before it is no error, while any other second-pass fault is earlier.
    const std::vector<ErrorCase> cases{
        {ErrorCode::BadStatement, 3, ".ORG $4000\nJMP [later]\nLDA 1 2\nlater: NOP\n.END\n"},
        {ErrorCode::BadStatement, 3, ".ORG $4000\nJMP [nowhere]\nFOO\n.END\n"},
        {ErrorCode::BadStatement, 3, ".ORG $4000\n.BYTE later, 1\nLDA 1 2\nlater: NOP\n.END\n"},
        {ErrorCode::DuplicateLabel, 4, ".ORG $4000\nJMP [later]\na: NOP\na: NOP\nlater: .END\n"},
        {ErrorCode::StatementAfterEnd, 4, ".ORG $4000\nJMP [later]\n.END\nNOP\nlater:\n"},
        {ErrorCode::ByteTooBig, 2, ".ORG $4000\nLDA 300\nFOO\n.END\n"},
        {ErrorCode::ByteTooBig, 2, ".ORG $4000\n.BYTE later, 300\nFOO\nlater:\n.END\n"},
        {ErrorCode::DivideByZero, 3, ".ORG $4000\nJMP [later]\nLDA 1/0\nFOO\nlater:\n.END\n"},
        {ErrorCode::UndefinedLabel, 2, ".ORG $4000\nJMP [nowhere]\nNOP\n"},
    };
    for (const ErrorCase& c : cases) {
        const Assembly result = assemble(c.source);
        EXPECT_EQ(result.error.code, c.code) << c.source;
        EXPECT_EQ(result.error.line, c.line) << c.source;
        EXPECT_EQ(result.lines.size(), static_cast<size_t>(c.line)) << c.source;
    }
}

TEST(Errors, AHintBelongsOnlyToItsOwnError) {
    // Too many lines comes with a hint; the earlier fault found afterwards must not keep it.
    std::string source = ".ORG $4000\nLDA 300\n";
    for (int32_t i = 2; i < kMaxSourceLines; ++i) {
        source += "# filler\n";
    }
    Assembly result = assemble(source + "NOP\n.END\n");
    EXPECT_EQ(result.error.code, ErrorCode::ByteTooBig);
    EXPECT_EQ(result.error.line, 2);
    EXPECT_EQ(result.error.detail, "");
    result = assemble(source.replace(source.find("300"), 3, "3") + "NOP\n.END\n");
    EXPECT_EQ(result.error.code, ErrorCode::BadStatement);
    EXPECT_EQ(result.error.line, kMaxSourceLines + 1);
    EXPECT_NE(result.error.detail, "");
}

TEST(Errors, OffsetsPointIntoTheFailingLine) {
    const std::string source = ".ORG $4000\nNOP\n  LDA [nowhere]\n.END\n";
    const Assembly result = assemble(source);
    ASSERT_EQ(result.error.code, ErrorCode::UndefinedLabel);
    EXPECT_EQ(source.substr(result.error.offset, 7), "nowhere");
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines.back().start, source.find("  LDA"));
    EXPECT_EQ(result.lines.back().end, source.find("\n.END"));
}

TEST(Errors, TooWideValuesShowInTheMessage) {
    EXPECT_EQ(assemble(in_program("  LDA 300")).error.value, 300);
    EXPECT_EQ(error_message(ErrorCode::ByteTooBig, 300),
              "This value (300) is too big to fit into an 8-bit field");
    EXPECT_EQ(assemble(in_program("  .2BYTE $12345")).error.value, 0x12345);
    EXPECT_EQ(error_message(ErrorCode::WordTooBig, 74565),
              "This value (74565) is too big to fit into a 16-bit field");
    EXPECT_EQ(error_message(ErrorCode::UndefinedLabel), "Undefined label");
    EXPECT_EQ(error_message(ErrorCode::None), "");
}

TEST(Errors, LabelsAreCaseSensitiveAndEightCharactersFit) {
    EXPECT_TRUE(assemble(in_program("abcdefgh: NOP\n JMP [abcdefgh]")).ok());
    EXPECT_TRUE(assemble(in_program("Loop: NOP\nloop: NOP")).ok());
    EXPECT_TRUE(assemble(in_program("_x1: NOP")).ok());
}

} // namespace
} // namespace tallyrig::assembler

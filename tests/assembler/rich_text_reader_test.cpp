// Rich-text files read into text and formats, as word processors write them.
#include "assembler/rich_text_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig {
namespace {

// A run written as its text and its format: "b", "i", "u", a size, and "#RRGGBB".
std::string describe(const RichText& rich, const RichTextRun& run) {
    std::u16string part = rich.text.substr(run.start, run.length);
    std::string out(part.begin(), part.end());
    out = "[" + out + "]";
    if (run.bold) {
        out += " b";
    }
    if (run.italic) {
        out += " i";
    }
    if (run.underline) {
        out += " u";
    }
    if (run.points > 0) {
        out += " " + std::to_string(static_cast<int>(run.points * 2)) + "/2pt";
    }
    if (run.colour) {
        char hex[16];
        std::snprintf(hex, sizeof hex, " #%06X", *run.colour);
        out += hex;
    }
    return out;
}

std::vector<std::string> runs_of(const RichText& rich) {
    std::vector<std::string> out;
    size_t covered = 0;
    for (const RichTextRun& run : rich.runs) {
        EXPECT_EQ(run.start, covered) << "runs must cover the text in order";
        covered = run.start + run.length;
        out.push_back(describe(rich, run));
    }
    EXPECT_EQ(covered, rich.text.size());
    return out;
}

struct Case {
    const char* name;
    const char* rtf;
    std::u16string text;
    std::vector<std::string> runs; // empty: not checked
};

class ReadRichText : public ::testing::TestWithParam<Case> {};

TEST_P(ReadRichText, GivesTheTextAndItsFormats) {
    const Case& c = GetParam();
    ASSERT_TRUE(is_rich_text(c.rtf));
    const RichText rich = read_rich_text(c.rtf);
    EXPECT_EQ(rich.text, c.text);
    if (!c.runs.empty()) {
        EXPECT_EQ(runs_of(rich), c.runs);
    } else {
        runs_of(rich);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReadRichText,
    ::testing::Values(
        // As WordPad writes a short source: the tables skipped, paragraphs and a tab kept.
        Case{
            "WordPad",
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fmodern\\fcharset0 "
            "Courier New;}}\r\n{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
            "\\pard\\f0\\fs20\\lang2057         .ORG $4000\\par\r\nstart:\\tab LDA 3\\par\r\n}\r\n",
            u"        .ORG $4000\nstart:\tLDA 3\n",
            {"[        .ORG $4000\nstart:\tLDA 3\n] 20/2pt"}},
        Case{"BoldItalicUnderlineAndPlain",
             "{\\rtf1 a{\\b b\\i c}\\ul d\\ulnone e\\b f\\plain g\\i0 h}",
             u"abcdefgh",
             {"[a]", "[b] b", "[c] b i", "[d] u", "[e]", "[f] b", "[gh]"}},
        Case{"ColourTableAndSizes",
             "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
             "\\cf1 red\\cf2\\fs36 blue\\cf0 plain\\cf9 none}",
             u"redblueplainnone",
             {"[red] #FF0000", "[blue] 36/2pt #0080FF", "[plainnone] 36/2pt"}},
        Case{"EscapesThroughTheCodePage",
             "{\\rtf1\\ansi caf\\'e9 \\'80 \\'93q\\'94 \\{x\\}\\\\ a\\~b}",
             u"caf\u00e9 \u20ac \u201cq\u201d {x}\\ a\u00a0b",
             {}},
        Case{"UnicodeWithItsStandIns",
             "{\\rtf1\\uc1\\u8364?\\u-4064?{\\uc2\\u955\\'3f\\'3f}\\u1049?x}",
             u"\u20ac\uf020\u03bb\u0419x",
             {}},
        Case{"DestinationsSkipped",
             "{\\rtf1{\\info{\\title T}{\\author A}}{\\stylesheet{\\s0 Normal;}}"
             "{\\*\\unknown hidden}{\\header head}{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt "
             "link}}{\\pict\\bin2 }}ab}text}",
             u"linktext",
             {}},
        Case{"SymbolsAndLineBreaks",
             "{\\rtf1 a\\emdash b\\line c\\\r\nd\\lquote e\\rquote\\bullet\\cell f\\row}",
             u"a\u2014b\nc\nd\u2018e\u2019\u2022\tf\n",
             {}},
        Case{"UnbalancedAndCutShort", "{\\rtf1 a}}}b{\\b c\\'4", u"abc", {"[ab]", "[c] b"}}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });

TEST(ReadRichText, OnlyRichTextIsTakenForIt) {
    EXPECT_FALSE(is_rich_text("        .ORG $4000\n"));
    EXPECT_FALSE(is_rich_text(" {\\rtf1}"));
    EXPECT_TRUE(is_rich_text("{\\rtf1}"));
}

} // namespace
} // namespace tallyrig

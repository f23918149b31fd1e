// The files an assembly leaves beside its source, through parse as the editor calls it.
#include "asmlib/assemble_file.h"
#include "asmlib/output_files.h"
#include "asmlib/parse.h"
#include "tests/support/full_disk.h"
#include "tests/support/temp_folder.h"

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace tallyrig::assembler {
namespace {

namespace fs = std::filesystem;
using tallyrig::testing::read_file;
using tallyrig::testing::TempFolder;
using tallyrig::testing::write_file;

struct ParseResult {
    int32_t line_no = -1;
    int32_t error_code = -1;
    int32_t start_of_error = -1;
    int32_t end_of_line = -1;
    int32_t char_offset = -1;
};

// Loads the built library by its full path, as the editor does, once for all tests.
ParseFunction library_parse() {
    static void* handle = ::dlopen(TALLYRIG_LIBASM_PATH, RTLD_NOW | RTLD_LOCAL);
    return handle == nullptr ? nullptr : reinterpret_cast<ParseFunction>(::dlsym(handle, "parse"));
}

ParseResult call_parse(const std::string& path) {
    const ParseFunction parse_function = library_parse();
    EXPECT_NE(parse_function, nullptr) << ::dlerror();
    ParseResult r;
    if (parse_function == nullptr) {
        return r;
    }
    std::vector<char> buffer(path.begin(), path.end());
    buffer.push_back('\0');
    parse_function(buffer.data(), &r.line_no, &r.error_code, &r.start_of_error, &r.end_of_line,
                   &r.char_offset);
    EXPECT_EQ(std::string(buffer.data()), path) << "the path buffer must come back unchanged";
    return r;
}

// What parse gives for a text whose third line is "        LDA 300", with ".END" after it.
void expect_value_too_big_on_line_3(const ParseResult& r, const std::string& broken) {
    EXPECT_EQ(r.error_code, 15);
    EXPECT_EQ(r.line_no, 3);
    EXPECT_EQ(r.char_offset, static_cast<int32_t>(broken.find("        LDA")));
    EXPECT_EQ(r.start_of_error, static_cast<int32_t>(broken.find("300")));
    EXPECT_EQ(r.end_of_line, static_cast<int32_t>(broken.find("\n        .END")));
}

constexpr std::string_view kProgram = "# Count down\n"
                                      "        .ORG $4000\n"
                                      "start:  LDA 3\n"
                                      "loop:   DECA\n"
                                      "        JNZ [loop]\n"
                                      "        HALT\n"
                                      "data:   .BYTE 1, $FF\n"
                                      "        .END\n";

TEST(OutputFiles, TheThreeFilesOfASmallProgramAreExact) {
    TempFolder folder;
    const std::string source = folder.write("count.asm", kProgram);
    const ParseResult r = call_parse(source);
    EXPECT_EQ(r.error_code, 0);
    EXPECT_EQ(r.line_no, 0);

    EXPECT_EQ(read_file(folder.path() / "count.lst"),
              "Tallyrig assembler list file\n"
              "Source: " +
                  source +
                  "\n"
                  "\n"
                  "Line   Addr   Bytes        Source\n"
                  "00001                      # Count down\n"
                  "00002  $4000                       .ORG $4000\n"
                  "00003  $4000  90 03        start:  LDA 3\n"
                  "00004  $4002  81           loop:   DECA\n"
                  "00005  $4003  D6 40 02             JNZ [loop]\n"
                  "00006  $4006  01                   HALT\n"
                  "00007  $4007  01 FF        data:   .BYTE 1, $FF\n"
                  "00008  $4009                       .END\n"
                  "\n"
                  "Symbol table\n"
                  "data      $4007\n"
                  "loop      $4002\n"
                  "start     $4000\n"
                  "\n"
                  "9 bytes from $4000\n");
    EXPECT_EQ(read_file(folder.path() / "count.ram"),
              "TALLYRIG RAM IMAGE\n"
              "WRITTEN BY THE TALLYRIG ASSEMBLER\n"
              "EACH LINE: ADDRESS AND UP TO 16 BYTES IN HEX\n"
              "BYTES: 9\n"
              "DATA LINES: 1\n"
              "LOAD ADDRESS: $4000\n"
              "END ADDRESS: $4008\n"
              "START OF DATA\n"
              "4000: 90 03 81 D6 40 02 01 01 FF --\n");
    EXPECT_EQ(read_file(folder.path() / "count.rad"), "TALLYRIG ASSEMBLY DUMP\n"
                                                      "WRITTEN BY THE TALLYRIG ASSEMBLER\n"
                                                      "EACH RECORD: LINE LETTER ADDRESS FIELD\n"
                                                      "LINES: 8\n"
                                                      "BYTES: 9\n"
                                                      "START ADDR:$4000\n"
                                                      "LAST LINE: 00008\n"
                                                      "START OF RECORDS\n"
                                                      "00001 B ----- ---\n"
                                                      "00002 P $4000 ORG\n"
                                                      "00003 I $4000 LDA\n"
                                                      "00004 I $4002 DEC\n"
                                                      "00005 J $4003 JNZ\n"
                                                      "00006 I $4006 HAL\n"
                                                      "00007 D $4007 $01\n"
                                                      "$4008 $FF\n"
                                                      "00008 P $4009 END\n");
}

TEST(OutputFiles, ALongDataLineGoesOnInRowsAndLinesOfTheirOwnAddresses) {
    std::string body = ".ORG $0100\n.BYTE 0";
    for (int i = 1; i < 20; ++i) {
        body += "," + std::to_string(i);
    }
    const std::string source = body + "\n.END\n";
    const Assembly assembly = assemble(source);
    ASSERT_TRUE(assembly.ok());
    const std::string list = list_file_text(source, "long.asm", assembly);
    EXPECT_NE(list.find("\n00002  $0100  00 01 02 03  .BYTE 0,1,2,"), std::string::npos) << list;
    EXPECT_NE(list.find("\n       $0104  04 05 06 07\n"
                        "       $0108  08 09 0A 0B\n"
                        "       $010C  0C 0D 0E 0F\n"
                        "       $0110  10 11 12 13\n"
                        "00003  $0114"),
              std::string::npos)
        << list;

    const std::string text = ram_image_text(assembly);
    EXPECT_NE(text.find("\nLOAD ADDRESS: $0100\nEND ADDRESS: $0113\n"), std::string::npos);
    EXPECT_NE(text.find("\n0100: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n"
                        "0110: 10 11 12 13 --\n"),
              std::string::npos);
    EXPECT_EQ(text.find(','), std::string::npos);
    EXPECT_EQ(assembly_dump_text(assembly).find(','), std::string::npos);
}

TEST(OutputFiles, NamesFollowTheEditorsRules) {
    // The list file stays beside its source, whatever dots the folders' names hold.
    const std::pair<std::string, std::string> list_cases[] = {
        {"/w/prog.asm", "/w/prog.lst"},
        {"/my.dir/prog.asm", "/my.dir/prog.lst"},
        {"/home/u/.config/x/prog.asm", "/home/u/.config/x/prog.lst"},
        {"/w/prog.v2.asm", "/w/prog.lst"},
        {"/w/prog", "/w/prog.lst"},
        {"/v1.0/prog", "/v1.0/prog.lst"},
        {"/w/prog.", "/w/prog.lst"},
        {"prog.asm", "prog.lst"},
        {"prog", "prog.lst"},
        {"", ""},
    };
    for (const auto& [source, list] : list_cases) {
        EXPECT_EQ(list_file_name(source), list) << source;
    }
    EXPECT_EQ(ram_file_name("/w/prog.asm"), "/w/prog.ram");
    EXPECT_EQ(ram_file_name("/my.dir/prog.asm"), "/my.dir/prog.ram");
    EXPECT_EQ(dump_file_name("/my.dir/prog"), "/my.dir/prog.rad");
}

TEST(OutputFiles, AFolderWithADotKeepsTheListBesideItsSource) {
    TempFolder folder;
    fs::create_directories(folder.path() / ".config" / "v1.2");
    const fs::path source = folder.path() / ".config" / "v1.2" / "prog.v2.asm";
    write_file(source, kProgram);
    // A file where the old rule would have put the list: it must be left alone.
    const std::string bystander = folder.write(".lst", "not a list\n");
    ASSERT_EQ(call_parse(source.string()).error_code, 0);
    EXPECT_TRUE(fs::exists(source.parent_path() / "prog.lst"));
    EXPECT_TRUE(fs::exists(source.parent_path() / "prog.v2.ram"));
    EXPECT_EQ(read_file(bystander), "not a list\n");
}

TEST(OutputFiles, AFailedAssemblyLeavesNoImageAndTheListShowsTheError) {
    TempFolder folder;
    const std::string source = folder.write("prog.asm", kProgram);
    ASSERT_EQ(call_parse(source).error_code, 0);
    ASSERT_TRUE(fs::exists(folder.path() / "prog.ram"));

    const std::string broken = "        .ORG $4000\n        NOP\n        LDA 300\n        .END\n";
    folder.write("prog.asm", broken);
    expect_value_too_big_on_line_3(call_parse(source), broken);
    EXPECT_FALSE(fs::exists(folder.path() / "prog.ram"));
    EXPECT_FALSE(fs::exists(folder.path() / "prog.rad"));
    const std::string list = read_file(folder.path() / "prog.lst");
    EXPECT_NE(
        list.find("00003                              LDA 300\n\n***** ASSEMBLER ERROR on line "
                  "3: This value (300) is too big to fit into an 8-bit field\n"),
        std::string::npos)
        << list;
    // Nothing but the source and its list is left: no temporary files either.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 2);
}

// An assembly that stopped early never learnt the labels after its error: lines naming them
// are listed without bytes, and the lines it could finish keep theirs.
TEST(OutputFiles, AFailedAssemblyListsNoBytesItDoesNotKnow) {
    TempFolder folder;
    const std::string source = folder.write("prog.asm", "        .ORG $4000\n"
                                                        "back:   NOP\n"
                                                        "        JMP [later]\n"
                                                        "        .BYTE 7, later, 9, 10, 11\n"
                                                        "        JMP [back]\n"
                                                        "        LDA ,,\n"
                                                        "later:  HALT\n"
                                                        "        .END\n");
    ASSERT_NE(call_parse(source).error_code, 0);
    const std::string list = read_file(folder.path() / "prog.lst");
    EXPECT_NE(list.find("00002  $4000  00           back:   NOP\n"
                        "00003  $4001                       JMP [later]\n"
                        "00004  $4004                       .BYTE 7, later, 9, 10, 11\n"
                        "00005  $4009  C1 40 00             JMP [back]\n"),
              std::string::npos)
        << list;
}

TEST(OutputFiles, FileErrors) {
    TempFolder folder;
    // 23: nothing there, a folder, an empty path.
    EXPECT_EQ(call_parse((folder.path() / "missing.asm").string()).error_code, 23);
    fs::create_directory(folder.path() / "dir.asm");
    EXPECT_EQ(call_parse((folder.path() / "dir.asm").string()).error_code, 23);
    const ParseResult empty_path = call_parse("");
    EXPECT_EQ(empty_path.error_code, 23);
    EXPECT_EQ(empty_path.line_no, 0);

    // 24: the list file's place is taken by a folder.
    const std::string source = folder.write("a.asm", kProgram);
    fs::create_directory(folder.path() / "a.lst");
    EXPECT_EQ(call_parse(source).error_code, 24);
    EXPECT_FALSE(fs::exists(folder.path() / "a.ram"));
    EXPECT_FALSE(fs::exists(folder.path() / "a.rad"));

    // 25: the RAM image's place is taken by a folder.
    const std::string other = folder.write("b.asm", kProgram);
    fs::create_directory(folder.path() / "b.ram");
    EXPECT_EQ(call_parse(other).error_code, 25);
    EXPECT_FALSE(fs::exists(folder.path() / "b.rad"));
}

TEST(OutputFiles, AListThatCannotBeRewrittenDoesNotSurviveFromAnEarlierRun) {
    TempFolder folder;
    // The name fits, but the temporary name beside it is too long to create.
    const std::string base(250, 'n');
    const auto leave_earlier_outputs = [&] {
        for (const char* extension : {".lst", ".ram", ".rad"}) {
            folder.write(base + extension, "from an earlier run\n");
        }
    };
    const std::string source = folder.write(base + ".asm", kProgram);
    leave_earlier_outputs();
    EXPECT_EQ(call_parse(source).error_code, 24);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);

    folder.write(base + ".asm", "        .ORG $4000\n        FOO\n        .END\n");
    leave_earlier_outputs();
    EXPECT_EQ(call_parse(source).error_code, 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(OutputFiles, StaleImagesThatAreLinksAreRemovedButNotWhatTheyPointTo) {
    TempFolder folder;
    const std::string elsewhere = folder.write("elsewhere", "keep me\n");
    const std::string source = folder.write("s.asm", "FOO\n");
    fs::create_symlink(folder.path() / "gone", folder.path() / "s.ram");
    fs::create_directory(folder.path() / "d");
    fs::create_directory_symlink(folder.path() / "d", folder.path() / "s.rad");
    // The list is written anew in the link's place.
    fs::create_symlink(elsewhere, folder.path() / "s.lst");

    EXPECT_EQ(call_parse(source).error_code, 1);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "s.ram")));
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder.path() / "s.rad")));
    EXPECT_EQ(read_file(elsewhere), "keep me\n");
    EXPECT_TRUE(fs::is_directory(folder.path() / "d"));
    EXPECT_FALSE(fs::is_symlink(folder.path() / "s.lst"));
    EXPECT_EQ(read_file(source), "FOO\n");
}

// A write that fails at any step, or on a full disk, leaves no output and no temporary file,
// and says which file could not be written.
TEST(OutputFiles, AWriteThatFailsLeavesNoOutputBehind) {
    for (const testing::FailingStep step : testing::kEveryFailingStep) {
        TempFolder folder;
        const std::string source = folder.write("s.asm", kProgram);
        const FileOutcome outcome = assemble_file(source, testing::calls_failing_at(step));
        EXPECT_EQ(outcome.error.code, ErrorCode::CannotOpenList) << static_cast<int>(step);
        EXPECT_EQ(folder.entries(), 1u) << static_cast<int>(step);
    }

    testing::FullDisk disk;
    if (!disk.available()) {
        GTEST_SKIP() << "only root can mount a small file system";
    }
    const fs::path source = disk.path() / "s.asm";
    write_file(source, kProgram);
    write_file(disk.path() / "s.lst", "an earlier list\n");
    disk.fill();
    EXPECT_EQ(call_parse(source.string()).error_code, 24);
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.path()), fs::directory_iterator()), 2)
        << "the source and the filler only";
}

TEST(OutputFiles, AnOutputNeverOverwritesItsOwnSource) {
    TempFolder folder;
    // Assembling the list file itself (the editor allows it while the list is on show).
    const std::string list = folder.write("p.lst", kProgram);
    EXPECT_EQ(call_parse(list).error_code, 24);
    EXPECT_EQ(read_file(list), kProgram);
    const std::string image = folder.write("q.ram", kProgram);
    EXPECT_EQ(call_parse(image).error_code, 25);
    EXPECT_EQ(read_file(image), kProgram);
    // A failing source named like its list keeps its text too.
    const std::string broken = folder.write("r.lst", "FOO\n");
    EXPECT_EQ(call_parse(broken).error_code, 1);
    EXPECT_EQ(read_file(broken), "FOO\n");
}

TEST(OutputFiles, AByteOrderMarkIsNoPartOfTheSource) {
    TempFolder folder;
    const std::string mark = "\xEF\xBB\xBF";
    // The first line a comment: the mark before it would make it a bad statement.
    const std::string source = folder.write("prog.asm", mark + std::string(kProgram));
    ASSERT_EQ(call_parse(source).error_code, 0);
    const std::string list = read_file(folder.path() / "prog.lst");
    EXPECT_NE(list.find("\n00001                      # Count down\n"), std::string::npos) << list;

    // Lines and offsets are counted as if there were no mark, as the editor shows the text.
    const std::string broken = "# Count down\n        .ORG $4000\n        LDA 300\n        .END\n";
    folder.write("prog.asm", mark + broken);
    expect_value_too_big_on_line_3(call_parse(source), broken);
}

TEST(OutputFiles, AListAssembledAsASourceLeavesTheImagesOfItsSourceAlone) {
    TempFolder folder;
    const std::string source = folder.write("prog.asm", kProgram);
    ASSERT_EQ(call_parse(source).error_code, 0);
    const std::string ram = read_file(folder.path() / "prog.ram");
    const std::string dump = read_file(folder.path() / "prog.rad");
    // The list as written fails on its first line; a list that assembles cannot be rewritten.
    const std::string list = (folder.path() / "prog.lst").string();
    EXPECT_EQ(call_parse(list).error_code, 1);
    folder.write("prog.lst", kProgram);
    EXPECT_EQ(call_parse(list).error_code, 24);
    EXPECT_EQ(read_file(folder.path() / "prog.ram"), ram);
    EXPECT_EQ(read_file(folder.path() / "prog.rad"), dump);
}

TEST(OutputFiles, OnlyParseIsExported) {
    void* handle = ::dlopen(TALLYRIG_LIBASM_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(::dlsym(handle, "parse"), nullptr);
    EXPECT_EQ(::dlsym(handle,
                      "_ZN8tallyrig9assembler8assembleESt17basic_string_viewIcSt11char_traitsIcEE"),
              nullptr);
    ::dlclose(handle);
}

} // namespace
} // namespace tallyrig::assembler

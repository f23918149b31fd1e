// The processed dump, record by record and for a whole example program run with counting on.
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "core/assembly_dump.h"
#include "core/ram_image.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_folder.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace tallyrig::testing {
namespace {

using Lines = std::vector<std::string>;

Lines lines_of(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The last 65 lines: the stack line, then the 64 ports with these counters (zero elsewhere).
Lines stack_and_ports(const std::map<int32_t, std::string>& ports = {}) {
    Lines lines = {"99999 S ----- --- $00000000 $00000000"};
    for (int32_t port = 0xF000; port <= 0xF03F; ++port) {
        char address[8];
        std::snprintf(address, sizeof address, "%04X", port);
        const auto found = ports.find(port);
        lines.push_back(std::string("99999 X $") + address + " --- " +
                        (found != ports.end() ? found->second : "$00000000 $00000000"));
    }
    return lines;
}

class AssemblyDumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.ram_file_name = (folder.path() / "prog.ram").string();
        files.rad_file_path = (folder.path() / "prog.rad").string();
        files.pad_file_path = (folder.path() / "prog.pad").string();
    }
    Lines pad() const { return lines_of(read_file(files.pad_file_path)); }
    Lines header(const std::string& h1, const std::string& h2) const {
        return {"# FILE TYPE: Tallyrig Processed Assembly Dump (*.pad) file",
                "# GENERATED: Tallyrig",
                "# DATE-TIME:",
                "# SOURCEWAS:" + files.ram_file_name,
                "",
                h1,
                h2,
                ""};
    }
    PadFileResult write() {
        t.machine.files = files;
        return write_pad_file(t.machine);
    }
    static Lines joined(std::initializer_list<Lines> parts) {
        Lines all;
        for (const Lines& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    }

    TempFolder folder;
    DumpFiles files;
    TestMachine t;
};

TEST_F(AssemblyDumpTest, EachKindOfRecordWritesItsLineUpToTheEndValue) {
    write_file(files.rad_file_path, "h1,h2,h3,h4,h5,FIRST HEADER,LAST LINE: 00099,h8\r\n"
                                    "00001 B ----- ---\r\n"
                                    "  00012 I $4010 LDA  \r\n"
                                    "00013 J $4012 JNZ\r\n"
                                    "00014 D $4014 $3E\r\n"
                                    "$4015 $0A\r\n"
                                    "00015 Q $4010 ???\r\n" // no line, but not the end either
                                    "00099 Q $4010 ???\r\n" // the end, and still no line
                                    "00100 I $4010 LDA\r\n");
    t.cell(0x4010).count_primary = 3;
    t.cell(0x4012).count_primary = 5;
    t.cell(0x4012).count_secondary = 2;
    t.cell(0x4014).count_primary = 0x1F;
    t.cell(0x4015).count_secondary = 1;
    t.cell(0xEFFF).count_primary = 4;
    t.cell(0xEFFF).count_secondary = 6;
    t.cell(0xF03F).count_secondary = 0x7FFFFFFF;
    const PadFileResult result = write();
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.problem.empty()) << result.problem;
    Lines ports = stack_and_ports({{0xF03F, "$00000000 $7FFFFFFF"}});
    ports[0] = "99999 S ----- --- $00000004 $00000006";
    EXPECT_EQ(
        pad(),
        joined({header("FIRST HEADER", "LAST LINE: 00099"),
                {"00001 B ----- --- --------- ---------", "00012 I $4010 LDA $00000003 ---------",
                 "00013 J $4012 JNZ $00000005 $00000002", "00014 D $4014 $3E $0000001F $00000000",
                 "      D $4015 $0A $00000000 $00000001"},
                ports}));
}

TEST_F(AssemblyDumpTest, ADumpThatEndsEarlyStopsThere) {
    write_file(files.rad_file_path, "1,2,3,4,5,6,LAST LINE: 00050,8\n00001 B ----- ---\n\n   \n");
    const PadFileResult result = write();
    EXPECT_TRUE(result.written);
    EXPECT_NE(result.problem.find("ends before"), std::string::npos);
    EXPECT_EQ(pad(), joined({header("6", "LAST LINE: 00050"),
                             {"00001 B ----- --- --------- ---------"},
                             stack_and_ports()}));
}

TEST_F(AssemblyDumpTest, WithoutADumpOnlyTheHeaderStackAndPortsAreWritten) {
    const PadFileResult result = write();
    EXPECT_TRUE(result.written);
    EXPECT_FALSE(result.problem.empty());
    EXPECT_EQ(pad(), joined({header("", ""), stack_and_ports()}));

    write_file(files.rad_file_path, "1,2,3,4,5,six");
    write();
    EXPECT_EQ(pad(), joined({header("six", ""), stack_and_ports()}));
}

TEST_F(AssemblyDumpTest, AnEmptyOrUnusableOutputPathWritesNothing) {
    files.pad_file_path.clear();
    EXPECT_FALSE(write().written);
    files.pad_file_path = (folder.path() / "no_such_folder" / "p.pad").string();
    EXPECT_FALSE(write().written);
    EXPECT_FALSE(std::filesystem::exists(files.pad_file_path));
}

TEST_F(AssemblyDumpTest, InitProfileArrayClearsEveryCounter) {
    t.cell(0).count_primary = 1;
    t.cell(kLastCell).count_secondary = 2;
    Init_profile_array(t.machine.memory_cells);
    for (const MemoryCell& cell : t.machine.memory_cells) {
        ASSERT_EQ(cell.count_primary, 0);
        ASSERT_EQ(cell.count_secondary, 0);
    }
}

// The first lesson, assembled as the editor does, loaded and run to its HALT with counting
// on: every line of its processed dump.
TEST_F(AssemblyDumpTest, TheFirstLessonRunWithCountingOn) {
    const std::string source = read_file(std::filesystem::path(TALLYRIG_SOURCE_DIR) /
                                         "resources/work/display_and_leds.asm");
    const auto assembly = assembler::assemble(source);
    ASSERT_TRUE(assembly.ok());
    write_file(files.ram_file_name, assembler::ram_image_text(assembly));
    write_file(files.rad_file_path, assembler::assembly_dump_text(assembly));
    t.power_on();
    ASSERT_TRUE(read_ram_image(files.ram_file_name, t.machine.memory_cells).ok);
    t.machine.status.profiling_on = 1;
    t.ui.wait_actions.push_back([this] { t.switch_off(); }); // at the HALT
    t.enter_run_loop(MachineMode::Run);
    ASSERT_TRUE(t.ui.boxes.empty());

    const PadFileResult result = write();
    EXPECT_TRUE(result.problem.empty()) << result.problem;
    Lines records;
    for (int n = 1; n <= 20; ++n) {
        char line[64];
        std::snprintf(line, sizeof line, "%05d B ----- --- --------- ---------", n);
        records.push_back(line);
    }
    const Lines program = {
        "00021 P ----- --- --------- ---------", "00022 P ----- --- --------- ---------",
        "00023 P ----- --- --------- ---------", "00024 B ----- --- --------- ---------",
        "00025 P ----- --- --------- ---------", "00026 I $4000 BLD $00000001 ---------",
        "00027 I $4003 LDA $00000001 ---------", "00028 I $4005 STA $00000001 ---------",
        "00029 I $4008 LDA $0000000F ---------", "00030 J $400B JZ $00000001 $0000000E",
        "00031 I $400E STA $0000000E ---------", "00032 I $4011 INC $0000000E ---------",
        "00033 I $4012 JMP $0000000E ---------", "00034 B ----- --- --------- ---------",
        "00035 B ----- --- --------- ---------", "00036 B ----- --- --------- ---------",
        "00037 I $4015 LDA $00000001 ---------", "00038 I $4017 STA $00000006 ---------",
        "00039 I $401A SHL $00000006 ---------", "00040 I $401B CMP $00000006 ---------",
        "00041 J $401D JNZ $00000005 $00000001", "00042 I $4020 LDA $00000001 ---------",
        "00043 I $4022 STA $00000001 ---------", "00044 I $4025 HAL $00000001 ---------",
        "00045 B ----- --- --------- ---------", "00046 D $4026 $48 $00000001 $00000000",
        "      D $4027 $45 $00000001 $00000000", "      D $4028 $4C $00000001 $00000000",
        "      D $4029 $4C $00000001 $00000000", "      D $402A $4F $00000001 $00000000",
        "      D $402B $20 $00000001 $00000000", "00047 D $402C $54 $00000001 $00000000",
        "      D $402D $41 $00000001 $00000000", "      D $402E $4C $00000001 $00000000",
        "      D $402F $4C $00000001 $00000000", "      D $4030 $59 $00000001 $00000000",
        "      D $4031 $52 $00000001 $00000000", "      D $4032 $49 $00000001 $00000000",
        "      D $4033 $47 $00000001 $00000000", "00048 D $4034 $00 $00000001 $00000000",
        "00049 P ----- --- --------- ---------",
    };
    EXPECT_EQ(pad(), joined({header("START ADDR:$4000", "LAST LINE: 00049"), records, program,
                             stack_and_ports({{0xF031, "$00000000 $0000000F"},
                                              {0xF032, "$00000000 $00000007"}})}));
}

} // namespace
} // namespace tallyrig::testing

#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "shell/files/old_ram_file.h"
#include "tests/shell/shell_fixture.h"

namespace tallyrig::testing {
namespace {

class LoadRam : public ShellTest {
protected:
    std::filesystem::path image(const char* name, const std::string& text) {
        const auto file = install.folders.work_folder / name;
        write_file(file, text);
        return file;
    }
    void load(const std::filesystem::path& file) {
        modal.file_answers.push_back(QString::fromStdString(file.string()));
        main().dispatch_command("Load RAM");
    }
};

const char* const kHeader = "TALLYRIG RAM IMAGE\nA\nB\nBYTES: 3\nDATA LINES: 1\n"
                            "LOAD ADDRESS: $4000\nEND ADDRESS: $4002\nSTART OF DATA\n";

TEST_F(LoadRam, RefusedWithThePowerOff) {
    machine().files.ram_file_name = "before.ram";
    load(image("p.ram", std::string(kHeader) + "4000: 3E 01 C3 --\n"));
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, " You are trying to write to memory but the Tallyrig is not "
                                   "switched on. Try applying power first!");
    EXPECT_EQ(modal.boxes[0].title, "Memory Module Load Error");
    EXPECT_EQ(modal.boxes[0].icon, MessageIcon::Information);
    EXPECT_TRUE(modal.file_dialogs.empty());
    EXPECT_EQ(machine().files.ram_file_name, "before.ram");
    EXPECT_EQ(value(0x4000), kUndefinedValue);
}

TEST_F(LoadRam, AnAssembledImageLoadsAndNamesTheDumpFiles) {
    press("Power");
    const auto assembly =
        assembler::assemble(".ORG $4000\nLDA 65\nSTA [$F031]\nX: JMP [X]\n.END\n");
    ASSERT_TRUE(assembly.ok());
    const auto file = image("prog.ram", assembler::ram_image_text(assembly));
    machine().set_breakpoint(0x4000, true);
    load(file);
    EXPECT_TRUE(modal.boxes.empty());
    ASSERT_EQ(modal.file_dialogs.size(), 1u);
    EXPECT_EQ(modal.file_dialogs[0],
              "Load RAM File|" + QString::fromStdString(install.folders.work_folder.string()) +
                  "|RAM file(*.ram)");
    for (std::size_t i = 0; i < assembly.bytes.size(); ++i) {
        EXPECT_EQ(value(0x4000 + static_cast<int32_t>(i)), assembly.bytes[i]) << i;
    }
    EXPECT_EQ(machine().memory_cells[0x4000].breakpoint, kBreakpointSet);
    const std::string base = (install.folders.work_folder / "prog").string();
    EXPECT_EQ(machine().files.ram_file_name, file.string());
    EXPECT_EQ(machine().files.pad_file_path, base + ".pad");
    EXPECT_EQ(machine().files.rad_file_path, base + ".rad");
    EXPECT_EQ(QDir::currentPath(),
              QDir(QString::fromStdString(install.folders.data_folder.string())).canonicalPath());
    // The machine itself is untouched.
    EXPECT_EQ(machine().status.machine_mode, MachineMode::Reset);
}

TEST_F(LoadRam, CancelledDialogChangesOnlyTheNames) {
    press("Power");
    main().dispatch_command("Load RAM");
    EXPECT_TRUE(modal.boxes.empty());
    EXPECT_EQ(machine().files.ram_file_name, "");
    EXPECT_EQ(machine().files.pad_file_path, ".pad");
    EXPECT_EQ(machine().files.rad_file_path, ".rad");
}

TEST_F(LoadRam, LoadAddressFromTheSixthItem) {
    press("Power");
    load(image("low.ram", "a,b,c,d,e,$0100,$0101,f\n0100: 12 34 --\n"));
    EXPECT_EQ(value(0x100), 0x12);
    EXPECT_EQ(value(0x101), 0x34);
}

struct Damaged {
    const char* name;
    std::string text;
    const char* problem;
    int32_t first_address;
    int32_t first_value; // what the first address holds afterwards
    bool nothing_stored;
};

class DamagedLoadRam : public LoadRam, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedLoadRam, SaysWhichFileAndWhatAndKeepsTheBytes) {
    press("Power");
    const auto file = image("bad.ram", GetParam().text);
    load(file);
    ASSERT_EQ(modal.boxes.size(), 1u);
    const QString text = modal.boxes[0].text;
    EXPECT_TRUE(text.contains(QString::fromStdString(file.string()))) << text.toStdString();
    EXPECT_TRUE(text.contains(GetParam().problem)) << text.toStdString();
    EXPECT_EQ(modal.boxes[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(value(GetParam().first_address), GetParam().first_value);
    EXPECT_EQ(text.contains("Nothing was stored"), GetParam().nothing_stored) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Images, DamagedLoadRam,
    ::testing::Values(
        Damaged{"HeaderCut", "TALLYRIG RAM IMAGE\nA\nB\n", "header", 0x4000, kUndefinedValue, true},
        // Read as hexadecimal, "ZZZZ" would have put the bytes at 0.
        Damaged{
            "LoadAddressNotHex",
            "TALLYRIG RAM IMAGE\nA\nB\nBYTES: 1\nDATA LINES: 1\nLOAD ADDRESS: $ZZZZ\n"
            "END ADDRESS: $4000\nSTART OF DATA\n4000: 3E --\n",
            "\"LOAD ADDRESS: $ZZZZ\" does not end in an address of one to four hexadecimal digits",
            0x0000, 0, true},
        Damaged{"ShortLine", std::string(kHeader) + "4000: 11 --\n40\n", "shorter", 0x4000, 0x11,
                false},
        Damaged{"PastTheLastCell", "a,b,c,d,e,$FFFF,$0000,f\nFFFF: 11 22 33 --\n",
                "past the last memory cell", 0xFFFF, 0x11, false}),
    [](const auto& info) { return std::string(info.param.name); });

// No control reaches the reader of the older layout; as a routine it loads and reports.
TEST_F(LoadRam, TheOlderLayoutLoadsAndReports) {
    const auto image = install.folders.work_folder / "old.ram";
    write_file(image, "a,b,c,d,e,S 0100,E 0102,START OF DATA\n62,1,195\n");
    modal.file_answers.push_back(QString::fromStdString(image.string()));
    load_old_ram_file(&main(), machine(), modal, install.folders);
    EXPECT_EQ(modal.file_dialogs[0].section('|', 0, 0), " Load RAM to file");
    EXPECT_EQ(value(100), 62);
    EXPECT_EQ(value(102), 195);
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text,
              "3 Bytes of RAM data have been loaded starting at address $0064");

    write_file(image, "a,b,c,d,e,S 0100,E 0102,DATA\n1,2,3\n");
    modal.file_answers.push_back(QString::fromStdString(image.string()));
    load_old_ram_file(&main(), machine(), modal, install.folders);
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_EQ(modal.boxes[1].text, " The RAM file has been damaged, sorry ");
    EXPECT_EQ(value(100), 62);
}

} // namespace
} // namespace tallyrig::testing

#include "core/project_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tallyrig::testing {
namespace {

using Windows = std::vector<ProjectWindow>;

// Each section follows the line before it directly, as the profile writer puts it.
TEST(ProjectFile, WritesItsFirstLineTheWindowsInOrderAndTheCount) {
    const Windows windows = {{"  mDisplay", 120, 0, 6000, 4500}, {"message", -15, 300, 900, 60}};
    EXPECT_EQ(project_file_text(windows), " ZobbleComputer Project File\r\n"
                                          "[Menu 1]\r\n"
                                          "Name=mDisplay\r\n"
                                          "Top= 120\r\n"
                                          "Left= 0\r\n"
                                          "Height= 4500\r\n"
                                          "Width= 6000\r\n"
                                          "[Menu 2]\r\n"
                                          "Name=message\r\n"
                                          "Top=-15\r\n"
                                          "Left= 300\r\n"
                                          "Height= 60\r\n"
                                          "Width= 900\r\n"
                                          "[No_of_Menus]\r\n"
                                          "Count= 2\r\n");
}

TEST(ProjectFile, WhatIsWrittenReadsBack) {
    const Windows windows = {{"Calculator", 0, 0, 8535, 5835},
                             {"mDisplay", 1320, 8535, 6300, 1785},
                             {"message", 30, 45, 60, 75}};
    const ProjectFile read = parse_project(project_file_text(windows));
    EXPECT_EQ(read.windows, windows);
    EXPECT_TRUE(read.char_rom_name.empty());
    EXPECT_TRUE(read.multimedia_lab.empty());
}

TEST(ProjectFile, AMissingOrEmptyKeyKeepsThePreviousWindowsValue) {
    const ProjectFile read = parse_project("[no_of_menus]\n"
                                           "count=3\n"
                                           "[Menu 1]\n"
                                           "Top=10\n"
                                           "Width=70000\n" // held to 16 bits
                                           "[MENU 2]\n"
                                           "Name=mDisplay\n"
                                           "Left=-20\n"
                                           "Height=\n"
                                           "[Menu 3]\n"
                                           "Name=message\n"
                                           "Top=abc\n"
                                           "[Character ROM]\n"
                                           "Name=roms/big.cro\n"
                                           "[Multimedia]\n"
                                           "Lab=lesson 4\n");
    EXPECT_EQ(read.windows, (Windows{{"", 10, 0, 32767, 0},
                                     {"mDisplay", 10, -20, 32767, 0},
                                     {"message", 0, -20, 32767, 0}}));
    EXPECT_EQ(read.char_rom_name, "roms/big.cro");
    EXPECT_EQ(read.multimedia_lab, "lesson 4");
}

TEST(ProjectFile, OnlyTheSectionsTheFileHoldsAreRead) {
    const ProjectFile read =
        parse_project("[No_Of_Menus]\nCount=2000000000\n[Menu 1999999999]\nName=message\n"
                      "[Menu 1]\nName=mDisplay\nTop=5\n[Menu 02]\nName=ignored\n");
    EXPECT_EQ(read.windows, (Windows{{"mDisplay", 5, 0, 0, 0}, {"message", 5, 0, 0, 0}}));
    // Sections past the count are not read.
    EXPECT_EQ(parse_project("[No_Of_Menus]\nCount=1\n[Menu 2]\nName=message\n").windows.size(), 0u);
}

TEST(ProjectFile, NoCountNoWindowsAndLongValuesAreCutAt127) {
    const std::string rom(300, 'r');
    const ProjectFile read = parse_project("[Menu 1]\nName=mDisplay\n[Character ROM]\nName=" + rom);
    EXPECT_TRUE(read.windows.empty());
    EXPECT_EQ(read.char_rom_name, rom.substr(0, 127));
}

TEST(ProjectFile, AMissingFileReadsAsEmptyAndAnUnreadableOneSaysSo) {
    TempFolder folder;
    const ProjectReadResult missing = read_project_file(folder.path() / "none.prj");
    EXPECT_TRUE(missing.problem.empty());
    EXPECT_TRUE(missing.project.windows.empty());

    std::filesystem::create_directory(folder.path() / "folder.prj");
    EXPECT_FALSE(read_project_file(folder.path() / "folder.prj").problem.empty());

    write_file(folder.path() / "binary.prj", std::string("\0\xff[Menu 1]\0\nName=\x80\n", 20));
    EXPECT_TRUE(read_project_file(folder.path() / "binary.prj").project.windows.empty());
}

// What a person wrote stays: the sections only the reader knows, other keys, comments, blank
// lines and the file's own line ends. Only the window sections and their count are new.
TEST(ProjectFile, SavingRewritesTheWindowsAndTheirCountOnly) {
    const std::string old_text = " ZobbleComputer Project File\n"
                                 "; lab 3: the big font\n"
                                 "[Character ROM]\n"
                                 "Name=/home/lab/big.cro\n"
                                 "\n"
                                 "[Menu 1]\n"
                                 "Name=mDisplay\n"
                                 "Top= 5\n"
                                 "; keep the walker low\n"
                                 "[menu 2]\n"
                                 "Name=message\n"
                                 "[Menu 7]\n"
                                 "Name=stale\n"
                                 "[No_Of_Menus]\n"
                                 "Count= 7\n"
                                 "Note=by hand\n"
                                 "[Multimedia]\n"
                                 "Lab=lab3\n";
    EXPECT_EQ(project_file_text({{"message", 1, 2, 3, 4}}, old_text),
              " ZobbleComputer Project File\n"
              "; lab 3: the big font\n"
              "[Character ROM]\n"
              "Name=/home/lab/big.cro\n"
              "\n"
              "; keep the walker low\n"
              "[No_Of_Menus]\n"
              "Count= 1\r\n"
              "Note=by hand\n"
              "[Multimedia]\n"
              "Lab=lab3\n"
              "[Menu 1]\r\n"
              "Name=message\r\n"
              "Top= 1\r\n"
              "Left= 2\r\n"
              "Height= 4\r\n"
              "Width= 3\r\n");
    const ProjectFile read = parse_project(project_file_text({{"message", 1, 2, 3, 4}}, old_text));
    EXPECT_EQ(read.windows, (Windows{{"message", 1, 2, 3, 4}}));
    EXPECT_EQ(read.char_rom_name, "/home/lab/big.cro");
    EXPECT_EQ(read.multimedia_lab, "lab3");
}

TEST(ProjectFile, WritingKeepsTheOldFilesOtherSectionsOrFails) {
    TempFolder folder;
    EXPECT_FALSE(write_project_file(folder.path() / "no_folder" / "p.prj", {}));
    const auto file = folder.path() / "p.prj";
    ASSERT_TRUE(write_project_file(file, {{"mDisplay", 5, 6, 7, 8}}));
    EXPECT_EQ(read_file(file), project_file_text({{"mDisplay", 5, 6, 7, 8}}));

    write_file(file, "[Menu 7]\nName=old\n[Multimedia]\nLab=old lab\n");
    ASSERT_TRUE(write_project_file(file, {{"message", 1, 2, 3, 4}}));
    EXPECT_EQ(read_file(file), "[Multimedia]\nLab=old lab\n" +
                                   project_file_text({{"message", 1, 2, 3, 4}})
                                       .substr(std::string(kProjectFirstLine).size() + 2));

    // A project that cannot be read is not replaced by one that lacks what it holds.
    const auto unreadable = folder.path() / "folder.prj";
    std::filesystem::create_directory(unreadable);
    EXPECT_FALSE(write_project_file(unreadable, {}));
    EXPECT_TRUE(std::filesystem::is_directory(unreadable));
}

} // namespace
} // namespace tallyrig::testing

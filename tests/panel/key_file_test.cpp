#include "panel/button_definitions.h"
#include "tests/panel/panel_fixture.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace tallyrig::testing {
namespace {

struct CodeCase {
    const char* text;
    int32_t code;
};

class KeyCodeText : public ::testing::TestWithParam<CodeCase> {};

TEST_P(KeyCodeText, ReadsAsTheKeyFileMeansIt) {
    EXPECT_EQ(parse_key_code(GetParam().text), GetParam().code) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Codes, KeyCodeText,
                         ::testing::Values(CodeCase{"$41", 65}, CodeCase{"$0A", 10},
                                           CodeCase{"$A", 10}, CodeCase{"7", 7}, CodeCase{"10", 0},
                                           CodeCase{"255", 85}, CodeCase{"&H41", 65},
                                           CodeCase{"&h7f", 127}, CodeCase{"1000", 1000},
                                           CodeCase{"12.5", 12}, CodeCase{"13.5", 14},
                                           CodeCase{"2.5", 0}, CodeCase{"12ab", 12},
                                           CodeCase{"Clear", 0}, CodeCase{"$ZZ", 0},
                                           CodeCase{"x4F", 79}));

TEST(FitField, CutsAndPadsCharactersNotBytes) {
    struct Case {
        const char* text;
        std::size_t width;
        const char* field;
    };
    const Case cases[] = {
        {"OR", 5, "OR   "},
        {"CLEARS", 5, "CLEAR"},
        {"", 3, "   "},
        {"Äbc", 5, "Äbc  "},
        {"µµµ", 2, "µµ"},
        {"a€b", 2, "a€"},
        {"\xE9"
         "t"
         "\xE9",
         2,
         "\xE9"
         "t"}, // Latin-1 bytes count one each
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fit_field(c.text, c.width), c.field) << c.text;
    }
}

TEST(ColourIndex, GivesTheSevenCaptionColours) {
    const std::vector<uint32_t> expected = {0x0,      0xFF,     0xFF00,  0xFFFF,
                                            0xFF0000, 0xFF00FF, 0xFFFF00};
    for (int16_t i = 0; i < 7; ++i) {
        EXPECT_EQ(color_index_to_rgb(i), expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_FALSE(color_index_to_rgb(7).has_value());
    EXPECT_FALSE(color_index_to_rgb(-1).has_value());
}

class KeyFiles : public ::testing::Test {
protected:
    std::filesystem::path current() const { return root.folders.config_folder / "Newbuttons.ini"; }
    std::filesystem::path defaults() const { return root.folders.config_folder / "Defbuttons.ini"; }
    std::filesystem::path backup() const { return root.folders.config_folder / "Oldbuttons.ini"; }
    const ButtonDefinition& record(int n) const {
        return table.records[static_cast<std::size_t>(n)];
    }

    TempInstall root;
    ButtonDefinitions table;
    RecordingUserInterface ui;
};

TEST_F(KeyFiles, ReadFillsCodeCaptionColourAndTooltip) {
    write_file(current(), "[Button 12]\r\nCode=$41\r\nAnnotation=CLEAR\r\nColor=1\r\n"
                          "Description=Clears the display\r\n");
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(12).code, 65);
    EXPECT_EQ(record(12).annotation, "CLEAR");
    EXPECT_EQ(record(12).color, kColorRed);
    EXPECT_EQ(record(12).description, fit_field("Clears the display", 32));
}

TEST_F(KeyFiles, FieldsAreCutToTheirWidthAndBadColoursIgnored) {
    table.records[3].color = kColorBlue;
    table.records[4].color = kColorGreen;
    write_file(current(), "[Button 3]\nAnnotation=ABCDEFGH\nColor=7\n"
                          "Description=0123456789012345678901234567890123456789\n"
                          "[Button 4]\nColor=Red\n");
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(3).annotation, "ABCDE");
    EXPECT_EQ(record(3).description, "01234567890123456789012345678901");
    EXPECT_EQ(record(3).color, kColorBlue);
    EXPECT_EQ(record(4).color, kColorGreen);
}

TEST_F(KeyFiles, MissingFileOrKeysChangeNothing) {
    table.records[5].code = 99;
    table.records[5].annotation = "KEEP ";
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(5).code, 99);
    write_file(current(), "[Button 5]\nCode=\nDescription=New\n");
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(5).code, 99);
    EXPECT_EQ(record(5).annotation, "KEEP ");
    EXPECT_EQ(trim_blanks(record(5).description), "New");
}

TEST_F(KeyFiles, SelectorPicksCurrentOrDefaults) {
    write_file(current(), "[Button 1]\nCode=$01\n");
    write_file(defaults(), "[Button 1]\nCode=$02\n");
    read_button_definitions(table, root.folders, kReadDefaultKeys);
    EXPECT_EQ(record(1).code, 2);
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(1).code, 1);
}

TEST_F(KeyFiles, SaveThenReadGivesTheSameTable) {
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        ButtonDefinition& r = table.records[static_cast<std::size_t>(n)];
        r.code = (n * 37) % 256;
        r.color = static_cast<int16_t>(n % 7);
        r.annotation = fit_field("K" + std::to_string(n), kAnnotationWidth);
        r.description = fit_field("  key number " + std::to_string(n), kDescriptionWidth);
    }
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    EXPECT_TRUE(ui.boxes.empty());
    const std::string text = read_file(current());
    EXPECT_NE(text.find("[Button 10]\r\nCode=$72\r\nAnnotation=K10  \r\nColor= 3\r\n"
                        "Description=key number 10\r\n"),
              std::string::npos);

    ButtonDefinitions again;
    read_button_definitions(again, root.folders, kReadCurrentKeys);
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const auto& a = table.records[static_cast<std::size_t>(n)];
        const auto& b = again.records[static_cast<std::size_t>(n)];
        EXPECT_EQ(a.code, b.code) << n;
        EXPECT_EQ(a.color, b.color) << n;
        EXPECT_EQ(a.annotation, b.annotation) << n;
        EXPECT_EQ(trim_blanks(a.description), trim_blanks(b.description)) << n;
    }
}

TEST_F(KeyFiles, SaveKeepsOtherLinesOfTheFile) {
    write_file(current(), "; my keys\r\n[Notes]\r\nOwner=me\r\n");
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    const std::string text = read_file(current());
    EXPECT_NE(text.find("; my keys"), std::string::npos);
    EXPECT_NE(text.find("Owner=me"), std::string::npos);
    EXPECT_NE(text.find("[Button 70]"), std::string::npos);
}

TEST_F(KeyFiles, SaveThatCannotWriteSaysSoAndKeepsTheOldFile) {
    Folders nowhere = root.folders;
    nowhere.config_folder /= "missing";
    EXPECT_FALSE(save_button_definitions(table, nowhere, ui));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Save New Buttons");
    EXPECT_NE(ui.boxes[0].text.find((nowhere.config_folder / "Newbuttons.ini").string()),
              std::string::npos);
}

TEST_F(KeyFiles, CaptionsInTheCodePageReadRightAndAreSavedInIt) {
    write_file(current(), "[Button 1]\r\nAnnotation=\xE9t\xE9\r\nDescription=D\xE9"
                          "but\r\n");
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(1).annotation, "\xC3\xA9t\xC3\xA9  ");
    EXPECT_EQ(record(1).description, fit_field("D\xC3\xA9"
                                               "but",
                                               kDescriptionWidth));
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    const std::string saved = read_file(current());
    EXPECT_NE(saved.find("Annotation=\xE9t\xE9  "), std::string::npos);
    EXPECT_EQ(saved.find('\xC3'), std::string::npos) << "nothing written as UTF-8";
}

TEST_F(KeyFiles, ATooltipOfWideCharactersIsReadWholeAndSavedBack) {
    std::string wide;
    for (int i = 0; i < 32; ++i) {
        wide += "\xF0\x9F\x98\x80"; // four bytes each: 128 in all, past the value's limit
    }
    write_file(current(), "[Button 2]\r\nDescription=" + wide + "\r\n");
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    EXPECT_EQ(record(2).description, wide);
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    EXPECT_NE(read_file(current()).find("Description=" + wide + "\r\n"), std::string::npos);
}

TEST_F(KeyFiles, AReadOnlyFileIsNotReplacedAndTheSaveSaysSo) {
    const std::string old = "[Button 1]\r\nCode=$11\r\n";
    write_file(current(), old);
    const auto read_only = std::filesystem::perms::owner_read | std::filesystem::perms::group_read;
    std::filesystem::permissions(current(), read_only);
    EXPECT_FALSE(save_button_definitions(table, root.folders, ui));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Save New Buttons");
    EXPECT_EQ(read_file(current()), old);
    EXPECT_EQ(std::filesystem::status(current()).permissions(), read_only);
}

TEST_F(KeyFiles, RestoreBacksUpTheCurrentFileAndReadsTheDefaults) {
    write_file(current(), "[Button 1]\nCode=$11\n");
    write_file(defaults(), "[Button 1]\nCode=$22\nAnnotation=DEF\n");
    write_file(backup(), "old backup");
    table.records[2].code = 7; // a key the defaults lack keeps its value
    ASSERT_TRUE(restore_default_buttons(table, root.folders, ui));
    EXPECT_EQ(read_file(backup()), "[Button 1]\nCode=$11\n");
    EXPECT_EQ(read_file(current()), read_file(defaults()));
    EXPECT_EQ(record(1).code, 0x22);
    EXPECT_EQ(record(1).annotation, "DEF  ");
    EXPECT_EQ(record(2).code, 7);
    EXPECT_EQ(table.calculator_loaded, 1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(KeyFiles, RestoreWithTheDefaultsMissingSaysSoAndChangesNothing) {
    write_file(backup(), "backup");
    write_file(current(), "[Button 1]\nCode=$33\n");
    table.records[1].code = 5;
    EXPECT_FALSE(restore_default_buttons(table, root.folders, ui));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].title, "Restore Default Buttons");
    EXPECT_NE(ui.boxes[0].text.find(defaults().string()), std::string::npos);
    EXPECT_EQ(read_file(backup()), "backup");
    EXPECT_EQ(read_file(current()), "[Button 1]\nCode=$33\n");
    EXPECT_FALSE(std::filesystem::exists(defaults()));
    EXPECT_EQ(record(1).code, 5);
}

// With no current file there is nothing to back up: the defaults are restored all the same,
// and an older backup stays as it was.
TEST_F(KeyFiles, RestoreWithNoCurrentFileRestoresTheDefaults) {
    for (bool old_backup : {false, true}) {
        SCOPED_TRACE(old_backup ? "an older backup" : "no backup");
        std::filesystem::remove(current());
        std::filesystem::remove(backup());
        if (old_backup) {
            write_file(backup(), "older backup");
        }
        write_file(defaults(), "[Button 1]\nCode=$22\nAnnotation=DEF\n");
        table.records[1].code = 5;
        table.calculator_loaded = 0;
        ui.boxes.clear();
        EXPECT_TRUE(restore_default_buttons(table, root.folders, ui));
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_EQ(read_file(current()), read_file(defaults()));
        EXPECT_EQ(std::filesystem::exists(backup()), old_backup);
        if (old_backup) {
            EXPECT_EQ(read_file(backup()), "older backup");
        }
        EXPECT_EQ(record(1).code, 0x22);
        EXPECT_EQ(record(1).annotation, "DEF  ");
        EXPECT_EQ(table.calculator_loaded, 1);
    }
}

// Codes a hand-edited file may hold beyond what the "$" forms write: each is saved so that it
// reads back as itself, and the key goes on sending the same byte.
TEST_F(KeyFiles, EveryCodeSurvivesASave) {
    const std::pair<std::string, int32_t> cases[] = {
        {"5000", 5000},
        {"-100", -100},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
        {"&H100", 256},
        {"0999", 999},
        {"-001", -1},
        {"-010", -10},
        {"$0A", 10},
        {"$FF", 255},
        {"7", 7},
    };
    std::string file;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        file += "[Button " + std::to_string(i + 1) + "]\r\nCode=" + cases[i].first + "\r\n";
    }
    write_file(current(), file);
    read_button_definitions(table, root.folders, kReadCurrentKeys);
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    ButtonDefinitions again;
    read_button_definitions(again, root.folders, kReadCurrentKeys);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].first);
        EXPECT_EQ(record(static_cast<int>(i + 1)).code, cases[i].second);
        EXPECT_EQ(again.records[i + 1].code, cases[i].second);
    }
    const std::string saved = read_file(current());
    EXPECT_NE(saved.find("[Button 1]\r\nCode=5000\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Button 7]\r\nCode=-001\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Button 9]\r\nCode=$0A\r\n"), std::string::npos);
}

TEST_F(KeyFiles, CaptionsAndTooltipsInQuotesSurviveASave) {
    table.records[1].annotation = fit_field("\"A\"", kAnnotationWidth);
    table.records[1].description = fit_field("'quoted'", kDescriptionWidth);
    table.records[2].annotation = fit_field("\"\"\"\"\"", kAnnotationWidth);
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    ButtonDefinitions again;
    read_button_definitions(again, root.folders, kReadCurrentKeys);
    EXPECT_EQ(again.records[1].annotation, table.records[1].annotation);
    EXPECT_EQ(again.records[1].description, table.records[1].description);
    EXPECT_EQ(again.records[2].annotation, table.records[2].annotation);
}

// Key files an editor saved with lines ending in CR alone, or with a byte-order mark.
TEST_F(KeyFiles, OtherLineEndsAndAByteOrderMarkReadAndSaveInPlace) {
    const std::string files[] = {
        "[Button 1]\rCode=$41\rAnnotation=ONE\r[Button 2]\rCode=$42\r",
        "\xEF\xBB\xBF[Button 1]\r\nCode=$41\r\nAnnotation=ONE\r\n[Button 2]\r\nCode=$42\r\n",
    };
    for (const std::string& text : files) {
        SCOPED_TRACE(text.substr(0, 3));
        write_file(current(), text);
        ButtonDefinitions keys;
        read_button_definitions(keys, root.folders, kReadCurrentKeys);
        EXPECT_EQ(keys.records[1].code, 0x41);
        EXPECT_EQ(keys.records[1].annotation, "ONE  ");
        EXPECT_EQ(keys.records[2].code, 0x42);
        ASSERT_TRUE(save_button_definitions(keys, root.folders, ui));
        const std::string saved = read_file(current());
        for (const char* once : {"[Button 1]", "[Button 2]", "Annotation=ONE"}) {
            const auto first = saved.find(once);
            EXPECT_NE(first, std::string::npos) << once;
            EXPECT_EQ(saved.find(once, first + 1), std::string::npos) << once << " twice";
        }
        EXPECT_EQ(saved.rfind("\xEF\xBB\xBF", 0) == 0, text.rfind("\xEF\xBB\xBF", 0) == 0);
    }
}

TEST_F(KeyFiles, FilesThatAreNotPlainKeyFilesAreNeitherReadNorReplaced) {
    const std::string huge = "[Button 1]\nCode=$41\n" + std::string(5 << 20, ';');
    const struct {
        const char* name;
        std::function<void()> make;
    } cases[] = {
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(current().c_str(), 0600), 0); }},
        {"an endless device", [&] { std::filesystem::create_symlink("/dev/zero", current()); }},
        {"a folder", [&] { std::filesystem::create_directory(current()); }},
        {"a huge file", [&] { write_file(current(), huge); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(current());
        c.make();
        const auto type = std::filesystem::symlink_status(current()).type();
        table.records[1].code = 5;
        read_button_definitions(table, root.folders, kReadCurrentKeys);
        EXPECT_EQ(record(1).code, 5);

        ui.boxes.clear();
        EXPECT_FALSE(save_button_definitions(table, root.folders, ui));
        EXPECT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(std::filesystem::symlink_status(current()).type(), type);
        if (type == std::filesystem::file_type::regular) {
            EXPECT_EQ(read_file(current()), huge);
        }
    }
}

TEST_F(KeyFiles, SaveKeepsALinkAndThePermissionsOfTheFile) {
    const auto keys = root.folders.config_folder / "my keys.ini";
    write_file(keys, "[Button 1]\nCode=$01\n");
    const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read;
    std::filesystem::permissions(keys, mode);
    std::filesystem::create_symlink("my keys.ini", current());
    table.records[1].code = 0x42;
    ASSERT_TRUE(save_button_definitions(table, root.folders, ui));
    EXPECT_TRUE(std::filesystem::is_symlink(current()));
    EXPECT_EQ(std::filesystem::status(keys).permissions(), mode);
    ButtonDefinitions again;
    read_button_definitions(again, root.folders, kReadCurrentKeys);
    EXPECT_EQ(again.records[1].code, 0x42);
    const auto entries =
        std::distance(std::filesystem::directory_iterator(root.folders.config_folder),
                      std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 2) << "no temporary file left behind";
}

// A file that reads but cannot be replaced, whoever runs the test: nothing can be created in
// its folder.
const std::filesystem::path kReadOnlyFile = "/proc/version";

TEST_F(KeyFiles, RestoreThatFailsPartWayChangesNothing) {
    if (!std::filesystem::exists(kReadOnlyFile)) {
        GTEST_SKIP() << "needs " << kReadOnlyFile;
    }
    const struct {
        const char* name;
        bool current_writable;
        std::optional<std::string> backup; // its text, none for a folder in its place
        bool backup_missing;
    } cases[] = {
        {"backup cannot be written", true, std::nullopt, false},
        {"current cannot be written, backup there", false, "old backup", false},
        {"current cannot be written, no backup", false, std::nullopt, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& file : {current(), defaults(), backup()}) {
            std::filesystem::remove_all(file);
        }
        write_file(defaults(), "[Button 1]\nCode=$22\n");
        if (c.current_writable) {
            write_file(current(), "[Button 1]\nCode=$11\n");
        } else {
            std::filesystem::create_symlink(kReadOnlyFile, current());
        }
        if (c.backup) {
            write_file(backup(), *c.backup);
        } else if (!c.backup_missing) {
            std::filesystem::create_directory(backup());
        }
        const std::string current_text = read_file(current());
        table.records[1].code = 5;
        ui.boxes.clear();

        EXPECT_FALSE(restore_default_buttons(table, root.folders, ui));
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].title, "Restore Default Buttons");
        EXPECT_EQ(read_file(current()), current_text);
        EXPECT_EQ(std::filesystem::is_symlink(current()), !c.current_writable);
        if (c.backup) {
            EXPECT_EQ(read_file(backup()), *c.backup);
        } else if (c.backup_missing) {
            EXPECT_FALSE(std::filesystem::exists(backup()));
        } else {
            EXPECT_TRUE(std::filesystem::is_directory(backup()));
        }
        EXPECT_EQ(record(1).code, 5);
    }
}

TEST(ShippedKeyFiles, DefineEveryKeyAndTheHexDigits) {
    const std::string current = read_file(kStagedConfig / "Newbuttons.ini");
    EXPECT_EQ(current, read_file(kStagedConfig / "Defbuttons.ini"));

    TempInstall root;
    write_file(root.folders.config_folder / "Defbuttons.ini", current);
    ButtonDefinitions table;
    for (auto& r : table.records) {
        r.code = -1;
        r.color = -1;
    }
    read_button_definitions(table, root.folders, kReadDefaultKeys);
    std::set<std::string> captions;
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const ButtonDefinition& r = table.records[static_cast<std::size_t>(n)];
        EXPECT_GE(r.code, 0) << n;
        EXPECT_LE(r.code, 255) << n;
        EXPECT_GE(r.color, 0) << n;
        EXPECT_FALSE(trim_blanks(r.annotation).empty()) << n;
        EXPECT_FALSE(trim_blanks(r.description).empty()) << n;
        if (r.code < 16) {
            EXPECT_EQ(trim_blanks(r.annotation), std::string(1, "0123456789ABCDEF"[r.code])) << n;
        }
        captions.insert(trim_blanks(r.annotation));
    }
    for (const char* digit : {"0", "1", "9", "A", "F", "G", "Z", "+", "-", "CLEAR"}) {
        EXPECT_TRUE(captions.count(digit)) << digit;
    }
}

} // namespace
} // namespace tallyrig::testing

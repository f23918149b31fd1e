// The example programs end to end: assembled through the library as the editor does, loaded
// from their RAM images as Load RAM does, and run on the machine with a recording interface.
#include "asmlib/parse.h"
#include "core/ram_image.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tallyrig::testing {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kHaltOpcode = 0x01;

class Example : public ::testing::Test {
protected:
    // Assembles a copy of the example (so the source tree stays clean) and loads its image.
    void load_example(const std::string& name) {
        const fs::path source = fs::path(TALLYRIG_SOURCE_DIR) / "resources/work" / (name + ".asm");
        const fs::path copy = folder.path() / (name + ".asm");
        fs::copy_file(source, copy);
        std::string path = copy.string();
        int32_t line = 0, code = 0, start = 0, end = 0, offset = 0;
        parse(path.data(), &line, &code, &start, &end, &offset);
        ASSERT_EQ(code, 0) << name << " fails on line " << line;

        expect_dump_ends_at_last_record(folder.path() / (name + ".rad"));

        t.power_on();
        const RamImageResult loaded =
            read_ram_image(folder.path() / (name + ".ram"), t.machine.memory_cells);
        ASSERT_TRUE(loaded.ok) << loaded.problem;
        ASSERT_EQ(loaded.load_address, kProgramStart);
    }

    // The data gatherer reads records until one's line number reaches the end value that
    // starts at the 12th character of the seventh header item.
    static void expect_dump_ends_at_last_record(const fs::path& dump) {
        std::istringstream in(tallyrig::testing::read_file(dump));
        std::vector<std::string> items;
        for (std::string line; std::getline(in, line);) {
            items.push_back(line);
        }
        ASSERT_GT(items.size(), 8u);
        EXPECT_EQ(items[6].substr(11, 16), items.back().substr(0, 5)) << dump;
    }

    // HALT waits for the user; the user's answer here is to switch off.
    void switch_off_at_halt() {
        t.ui.wait_actions.push_back([this] {
            EXPECT_EQ(t.value(t.cpu().program_counter - 1), kHaltOpcode);
            t.switch_off();
        });
    }

    // Runs from 0x4000; the hook plays the user and the run ends when it returns true.
    template <typename Until>
    void run(Until until) {
        t.ui.on_yield = [this, until] {
            if (until()) {
                t.switch_off();
            }
        };
        t.enter_run_loop(MachineMode::Run, 200000);
        EXPECT_TRUE(t.ui.boxes.empty()) << t.ui.boxes.front().text;
    }

    std::vector<std::string> calls_of(const std::string& driver) const {
        std::vector<std::string> found;
        std::copy_if(t.ui.calls.begin(), t.ui.calls.end(), std::back_inserter(found),
                     [&](const std::string& call) { return call.rfind(driver + " ", 0) == 0; });
        return found;
    }

    tallyrig::testing::TempFolder folder;
    TestMachine t;
};

TEST_F(Example, DisplayAndLeds) {
    load_example("display_and_leds");
    switch_off_at_halt();
    run([] { return false; });
    EXPECT_EQ(t.ui.display, (std::vector<std::string>{"Clear", "H", "E", "L", "L", "O", " ", "T",
                                                      "A", "L", "L", "Y", "R", "I", "G"}));
    EXPECT_EQ(t.ui.status_leds, (std::vector<int32_t>{1, 2, 4, 8, 16, 32, 0x3F}));
}

TEST_F(Example, KeypadCodesShowAsHexDigits) {
    load_example("keypad");
    std::vector<int32_t> keys{0x2A, 0x9C};
    run([&] {
        if (!keys.empty() && t.value(kKeypadPort) == kNoKeyWaiting) {
            t.cell(kKeypadPort).value = keys.front();
            keys.erase(keys.begin());
        }
        return t.ui.display.size() == 6;
    });
    EXPECT_EQ(t.ui.display, (std::vector<std::string>{"2", "A", " ", "9", "C", " "}));
}

TEST_F(Example, WorkbenchSwitchesDriveTheDisplays) {
    load_example("workbench");
    t.cell(0xF001).value = 0xA5;
    t.cell(0xF000).value = 0xC9;
    run([&] {
        if (calls_of("write_7seg_unencoded").size() == 1) {
            t.cell(0xF001).value = 0x0F; // the student flips switches
        }
        return calls_of("write_7seg_unencoded").size() == 2;
    });
    EXPECT_EQ(
        calls_of("write_8bit_led_display"),
        (std::vector<std::string>{"write_8bit_led_display 165", "write_8bit_led_display 15"}));
    EXPECT_EQ(calls_of("Led1_Device_Driver"),
              (std::vector<std::string>{"Led1_Device_Driver 165", "Led1_Device_Driver 15"}));
    EXPECT_EQ(calls_of("write_7seg_decoded"),
              (std::vector<std::string>{"write_7seg_decoded 165", "write_7seg_decoded 15"}));
    EXPECT_EQ(calls_of("write_7seg_unencoded"),
              (std::vector<std::string>{"write_7seg_unencoded 73", "write_7seg_unencoded 73"}));
}

TEST_F(Example, TerminalEchoesTheKeyboard) {
    load_example("terminal_echo");
    std::string typed = "Hi!";
    run([&] {
        if (t.ui.terminal.size() >= 6 && !typed.empty() && t.value(kKeyboardPort) == 0) {
            t.cell(kKeyboardPort).value = typed.front();
            typed.erase(typed.begin());
        }
        return t.ui.terminal.size() == 9;
    });
    EXPECT_EQ(std::string(t.ui.terminal.begin(), t.ui.terminal.end()), "READY>Hi!");
}

TEST_F(Example, InterruptRoutineCountsInDecimal) {
    load_example("interrupt");
    // Each time the program sleeps in HALT the user gives the Interrupt command.
    for (int i = 0; i < 12; ++i) {
        t.ui.wait_actions.push_back([this] { t.machine.raise_interrupt(); });
    }
    switch_off_at_halt();
    run([] { return false; });
    const std::vector<std::string> shown = calls_of("Led1_Device_Driver");
    ASSERT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown[8], "Led1_Device_Driver 9");
    EXPECT_EQ(shown[9], "Led1_Device_Driver 16"); // 0x10: the display reads "10"
    EXPECT_EQ(shown[11], "Led1_Device_Driver 18");
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFF); // every interrupt frame was taken off again
}

TEST_F(Example, SubroutineShowsTwoBytes) {
    load_example("subroutine");
    switch_off_at_halt();
    run([] { return false; });
    EXPECT_EQ(t.ui.display, (std::vector<std::string>{"Clear", "2", "A", " ", "C", "5", " "}));
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFF);
    EXPECT_EQ(t.cpu().jsr_depth, 0);
    EXPECT_EQ(t.cpu().accumulator, 0xC5);
}

// The lessons ship assembled: each staged image and dump is what assembling its source through
// the library gives now.
TEST(ShippedLessons, ImagesAndDumpsMatchTheirSources) {
    const fs::path sources = fs::path(TALLYRIG_SOURCE_DIR) / "resources/work";
    const fs::path shipped = fs::path(TALLYRIG_STAGE_DIR) / "work";
    TempFolder folder;
    int lessons = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(sources)) {
        if (entry.path().extension() != ".asm") {
            continue;
        }
        ++lessons;
        const std::string name = entry.path().stem().string();
        const fs::path copy = folder.path() / entry.path().filename();
        fs::copy_file(entry.path(), copy);
        std::string path = copy.string();
        int32_t line = 0, code = 0, start = 0, end = 0, offset = 0;
        parse(path.data(), &line, &code, &start, &end, &offset);
        ASSERT_EQ(code, 0) << name;
        for (const char* extension : {".ram", ".rad"}) {
            const std::string file = name + extension;
            ASSERT_TRUE(fs::exists(shipped / file)) << file << " does not ship";
            EXPECT_EQ(read_file(shipped / file), read_file(folder.path() / file)) << file;
        }
    }
    EXPECT_GE(lessons, 6);
}

} // namespace
} // namespace tallyrig::testing

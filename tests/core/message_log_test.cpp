// The micro-step narration: texts from the settings file, format codes, separators, styles.
#include "tests/support/machine_fixture.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace tallyrig::testing {
namespace {

namespace fs = std::filesystem;

class MessageLog : public ::testing::Test {
protected:
    void write_settings(const std::string& body) {
        write_file(file, "[Message Section]\r\n" + body);
    }

    TempFolder dir;
    const fs::path file = dir.file("TALLYRIG.ini");
};

TEST_F(MessageLog, NothingIsWrittenWhileTheWindowIsClosed) {
    write_settings("Message_Field_125=undefined\r\n");
    TestMachine t(file);
    t.machine.log_message(0, 125, 0, 0);
    EXPECT_TRUE(t.ui.log.empty());
    EXPECT_EQ(t.machine.status.message_log_count, 0);
}

TEST_F(MessageLog, WritesStyledIndentedLines) {
    write_settings("Message_Field_1=Header\r\nMessage_Field_2=Main\r\nMessage_Field_3=Remark\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    t.machine.log_message(1, 2, 3, 0);
    ASSERT_EQ(t.ui.log.size(), 3u);
    EXPECT_EQ(t.ui.log[0].text, "Header\n");
    EXPECT_EQ(t.ui.log[0].style.colour, kColourBlack);
    EXPECT_EQ(t.ui.log[1].text, "    Main\n");
    EXPECT_EQ(t.ui.log[1].style.colour, kColourBlue);
    EXPECT_EQ(t.ui.log[2].text, "      Remark\n");
    EXPECT_EQ(t.ui.log[2].style.colour, kColourRed);
    for (const RecordedText& line : t.ui.log) {
        EXPECT_EQ(line.style.font_size, 10);
        EXPECT_FALSE(line.style.bold);
    }
    EXPECT_EQ(t.machine.status.message_log_count, 1);

    t.ui.log.clear();
    t.machine.log_message(0, 2, 0, 0);
    ASSERT_EQ(t.ui.log.size(), 1u);
    EXPECT_EQ(t.ui.log[0].text, "    Main\n");
}

TEST_F(MessageLog, ReplacesTheFirstOccurrenceOfEachCode) {
    write_settings("Message_Field_10=at %a A=%d again %d\r\n"
                   "Message_Field_11=X=%x T=%t Z%z C%c I%i O%o N%n\r\n"
                   "Message_Field_12=X stays %x at %a\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    CpuRegisters& c = t.cpu();
    c.accumulator = 10;
    c.index_register = 0x1FF;
    c.data_register = 256;
    c.flag_z = 1;
    c.flag_o = 1;
    t.machine.log_message(0, 10, 12, 0x4001);
    t.machine.log_message(0, 11, 0, 0);
    EXPECT_EQ(t.ui.log[0].text, "    at $4001 A=$0A again %d\n");
    EXPECT_EQ(t.ui.log[1].text, "      X stays %x at $4001\n");
    EXPECT_EQ(t.ui.log[2].text, "    X=$01FF T=100 Z1 C0 I0 O1 N0\n");
}

TEST_F(MessageLog, SeparatorsFollowThePhrasesOfTheHeader) {
    write_settings("Message_Field_5=Get Opcode\r\n"
                   "Message_Field_6=Hard Reset\r\n"
                   "Message_Field_7=Get Opcode or Service Interrupt\r\n"
                   "Message_Field_8=get opcode\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    t.machine.log_message(5, 0, 0, 0);
    EXPECT_EQ(t.ui.log_text(), "\n\n**********\nGet Opcode\n");
    t.ui.log.clear();
    t.machine.log_message(7, 0, 0, 0);
    EXPECT_EQ(t.ui.log_text(),
              "\n\n**********\n\n\n*****************\nGet Opcode or Service Interrupt\n");
    t.ui.log.clear();
    t.machine.log_message(8, 0, 0, 0); // the search is case-sensitive
    EXPECT_EQ(t.ui.log_text(), "get opcode\n");
    t.ui.log.clear();
    t.machine.status.run_sub_state = RunSubState::Stopped;
    t.machine.reset_cpu();
    EXPECT_EQ(t.ui.log_text().substr(0, 14), "\n\n**********\nH");
}

TEST_F(MessageLog, MissingTextsGiveEmptyLinesWithTheirIndent) {
    TestMachine t(dir.file("nowhere.ini"));
    t.machine.windows.message_window_open = kTrue;
    t.machine.log_message(5, 6, 7, 0);
    EXPECT_EQ(t.ui.log_text(), "\n    \n      \n");
}

TEST_F(MessageLog, LongTextsAreCutTo127Characters) {
    write_settings("Message_Field_9=" + std::string(300, 'x') + "\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    t.machine.log_message(0, 9, 0, 0);
    EXPECT_EQ(t.ui.log[0].text, "    " + std::string(127, 'x') + "\n");
}

TEST_F(MessageLog, RewordedTextsAreReadWithoutARestart) {
    write_settings("Message_Field_9=old\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    t.machine.log_message(0, 9, 0, 0);
    write_settings("Message_Field_9=the new text\r\n");
    t.machine.log_message(0, 9, 0, 0);
    EXPECT_EQ(t.ui.log[1].text, "    the new text\n");
}

TEST_F(MessageLog, CountStopsAtItsTopAndLoggingGoesOn) {
    write_settings("Message_Field_9=x\r\n");
    TestMachine t(file);
    t.machine.windows.message_window_open = kTrue;
    t.machine.status.message_log_count = 32767;
    t.machine.log_message(0, 9, 0, 0);
    EXPECT_EQ(t.machine.status.message_log_count, 32767);
    EXPECT_EQ(t.ui.log.size(), 1u);
}

// Every message number the machine can pass, collected by narrating every instruction in
// every mode, both ways of every conditional jump, the interrupt service, the hard reset and
// the bus's remarks, must have a text in the settings file that ships.
TEST(ShippedSettings, HaveATextForEveryNarratedStep) {
    std::set<int> numbers;
    const auto collect = [&](TestMachine& m) {
        for (const LogCall& c : m.logged) {
            for (int n : {c.l, c.m, c.r}) {
                if (n > 0) {
                    numbers.insert(n);
                }
            }
        }
    };
    for (int32_t opcode = 0; opcode <= 0xFF; ++opcode) {
        for (int16_t flags : {0, 1}) {
            TestMachine m;
            m.power_on();
            m.machine.status.machine_mode = MachineMode::Step;
            CpuRegisters& c = m.cpu();
            c.program_counter = 0x4000;
            c.stack_pointer = 0xEFFD;
            c.index_register = 1;
            c.stack_pointer_loaded = c.index_register_loaded = kTrue;
            c.jsr_depth = 1;
            c.flag_z = c.flag_n = c.flag_c = c.flag_o = flags;
            m.load(0x4000, {opcode, 0x50, 0x00});
            m.load(0x5000, {0x60, 0x00});
            m.ui.wait_actions.push_back([&m] { m.cpu().interrupt_request = 1; }); // HALT
            m.execute();
            collect(m);
        }
    }
    {
        TestMachine m; // interrupt service, then the hard reset of a stopped step
        m.power_on();
        m.load(0x4000, {0x50, 0xEF, 0xFF, 0xF0, 0x50, 0x00, 0x08, 0x99, 0x00, 0x10, 0x00});
        for (int i = 0; i < 3; ++i) {
            m.ui.wait_actions.push_back(
                [&m] { m.machine.status.machine_mode = MachineMode::Step; });
        }
        m.ui.wait_actions.push_back([&m] {
            m.cpu().interrupt_request = 1;
            m.machine.status.machine_mode = MachineMode::Step;
        });
        m.ui.wait_actions.push_back([&m] { m.machine.status.machine_mode = MachineMode::Reset; });
        m.enter_run_loop(MachineMode::Step);
        collect(m);
    }

    const fs::path settings = TALLYRIG_SETTINGS_FILE;
    const auto document = ProfileDocument::load(settings);
    ASSERT_TRUE(document.has_value()) << settings;
    for (int n : numbers) {
        const auto text = document->value("Message Section", "Message_Field_" + std::to_string(n));
        ASSERT_TRUE(text.has_value()) << "no text for message " << n;
        EXPECT_FALSE(text->empty()) << "message " << n;
        EXPECT_LE(text->size(), 127u) << "message " << n;
    }
    EXPECT_GT(numbers.size(), 200u);
    for (int n : {kMsgGetOpcode, kMsgHardReset, kMsgServiceInterrupt, kMsgNoValidByte,
                  kMsgNotRamAddress, kMsgCpuReset, kMsgRequestAndDepthCleared, kMsgRamKept,
                  kMsgPressStepOrRun, kMsgPcFromVector}) {
        EXPECT_TRUE(numbers.count(n)) << n << " was never narrated";
    }

    MessageCatalog catalog(settings);
    EXPECT_NE(catalog.text(kMsgGetOpcode).find("Get Opcode"), std::string::npos);
    EXPECT_NE(catalog.text(kMsgServiceInterrupt).find("Service Interrupt"), std::string::npos);
    EXPECT_NE(catalog.text(kMsgHardReset).find("Hard Reset"), std::string::npos);
}

} // namespace
} // namespace tallyrig::testing

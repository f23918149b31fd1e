// The memory bus: address selection, the memory map, consumed input ports and output dispatch.
#include "tests/support/machine_fixture.h"

#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

class Bus : public ::testing::Test {
protected:
    void SetUp() override {
        t.power_on();
        t.machine.status.machine_mode = MachineMode::Step;
        t.logged.clear();
    }
    TestMachine t;
};

TEST_F(Bus, ReadSelectorsTakeAndAdvanceTheirRegister) {
    struct Case {
        int32_t selector;
        int32_t expected_address;
        std::vector<LogCall> lines;
    };
    const std::vector<Case> cases{
        {kSelectProgramCounter,
         0x4100,
         {{kMsgNone, kMsgPcToMar, kMsgMarOnAddressBus, 0},
          {kMsgNone, kMsgPcUp, kMsgNextAccessNextAddress, 0}}},
        {kSelectOperandAddress,
         0x4200,
         {{kMsgNone, kMsgOperandAddressToMar, kMsgMarOnAddressBus, 0},
          {kMsgNone, kMsgOperandAddressUp, kMsgNextAccessNextAddress, 0}}},
        {kSelectIndirectAddress, 0x4300, {{kMsgNone, kMsgIndirectToMar, kMsgMarOnAddressBus, 0}}},
        {kSelectStack,
         0x4401,
         {{kMsgNone, kMsgSpUp, kMsgPopMovesFirst, 0},
          {kMsgNone, kMsgSpToMar, kMsgMarOnAddressBus, 0}}},
    };
    for (const Case& c : cases) {
        CpuRegisters& cpu = t.cpu();
        cpu.program_counter = 0x4100;
        cpu.operand_address = 0x4200;
        cpu.indirect_address = 0x4300;
        cpu.stack_pointer = 0x4400;
        t.cell(c.expected_address).value = 0x5A;
        t.logged.clear();
        t.machine.read_memory_byte(c.selector);
        EXPECT_EQ(cpu.memory_address_register, c.expected_address);
        EXPECT_EQ(cpu.data_register, 0x5A);
        EXPECT_EQ(t.logged, c.lines) << "selector " << c.selector;
        EXPECT_EQ(cpu.program_counter, c.selector == kSelectProgramCounter ? 0x4101 : 0x4100);
        EXPECT_EQ(cpu.operand_address, c.selector == kSelectOperandAddress ? 0x4201 : 0x4200);
        EXPECT_EQ(cpu.indirect_address, 0x4300);
        EXPECT_EQ(cpu.stack_pointer, c.selector == kSelectStack ? 0x4401 : 0x4400);
    }
}

TEST_F(Bus, UnknownSelectorReusesTheLastAddress) {
    t.cpu().memory_address_register = 0x4555;
    t.cell(0x4555).value = 0x12;
    t.machine.read_memory_byte(3);
    EXPECT_EQ(t.cpu().memory_address_register, 0x4555);
    EXPECT_EQ(t.cpu().data_register, 0x12);
    t.machine.write_memory_byte(7, 0x34);
    EXPECT_EQ(t.value(0x4555), 0x34);
}

TEST_F(Bus, ReadsFollowTheMemoryMap) {
    struct Case {
        int32_t address;
        int32_t cell_value;
        int32_t expected;
        bool logs_undefined;
    };
    const std::vector<Case> cases{
        {0x0010, 0x22, 0x22, false},                              // ROM
        {0x4010, 256, 256, true},                                 // never-written RAM
        {0x4011, 257, 257, true},    {0xF001, 0x0F, 0x0F, false}, // switch panel
        {0xF020, 0x44, 0x77, true}, // output port: data register unchanged
        {0xF040, 0x55, 0x77, true}, // nothing there
        {0x10000, 0x66, 0x77, true},
    };
    for (const Case& c : cases) {
        t.cell(c.address).value = c.cell_value;
        t.cpu().operand_address = c.address;
        t.cpu().data_register = 0x77;
        t.logged.clear();
        t.machine.read_memory_byte(kSelectOperandAddress);
        EXPECT_EQ(t.cpu().data_register, c.expected) << std::hex << c.address;
        const bool logged_125 =
            !t.logged.empty() && t.logged.back() == LogCall{kMsgNone, kMsgNoValidByte, kMsgNone, 0};
        EXPECT_EQ(logged_125, c.logs_undefined) << std::hex << c.address;
    }
}

TEST_F(Bus, KeypadPortIsConsumedAndTheIoWindowRemembersTheKey) {
    t.machine.windows.ioport_window_open = kTrue;
    t.ui.io_annotation = "ADD";
    t.cell(kKeypadPort).value = 0x0C;
    t.cpu().operand_address = kKeypadPort;
    t.machine.read_memory_byte(kSelectOperandAddress);
    EXPECT_EQ(t.cpu().data_register, 0x0C);
    EXPECT_EQ(t.value(kKeypadPort), 255);
    EXPECT_EQ(t.machine.status.old_io_button_value, 0x0C);
    EXPECT_EQ(t.machine.status.old_io_button_annotation, "ADD");
    EXPECT_EQ(t.ui.io_annotation, "---");

    // Nothing waiting: the window is left alone, but the read still yields.
    t.ui.io_annotation = "SUB";
    const int yields = t.ui.yields;
    t.cpu().operand_address = kKeypadPort;
    t.machine.read_memory_byte(kSelectOperandAddress);
    EXPECT_EQ(t.cpu().data_register, 255);
    EXPECT_EQ(t.ui.io_annotation, "SUB");
    EXPECT_EQ(t.machine.status.old_io_button_value, 0x0C);
    EXPECT_EQ(t.ui.yields, yields + 1);
}

TEST_F(Bus, KeyboardPortIsConsumed) {
    t.cell(kKeyboardPort).value = 'q';
    t.cpu().operand_address = kKeyboardPort;
    t.machine.read_memory_byte(kSelectOperandAddress);
    EXPECT_EQ(t.cpu().data_register, 'q');
    EXPECT_EQ(t.value(kKeyboardPort), 0);
}

TEST_F(Bus, WritesFollowTheMemoryMap) {
    struct Case {
        int32_t address;
        bool stored;
        bool logs_outside_ram;
    };
    const std::vector<Case> cases{
        {0x0100, false, true}, {0x4000, true, false}, {0xEFFF, true, false},
        {0xF000, false, true}, {0xF024, false, true}, {0xF030, true, true},
        {0xF036, false, true}, {0xF040, false, true}, {-1, false, true},
    };
    for (const Case& c : cases) {
        if (c.address >= 0) {
            t.cell(c.address).value = 0x11;
        }
        t.cpu().indirect_address = c.address;
        t.logged.clear();
        t.machine.write_memory_byte(kSelectIndirectAddress, 0x99);
        if (c.address >= 0) {
            EXPECT_EQ(t.value(c.address), c.stored ? 0x99 : 0x11) << std::hex << c.address;
        }
        const bool logged_126 =
            !t.logged.empty() &&
            t.logged.back() == LogCall{kMsgNone, kMsgNotRamAddress, kMsgNone, 0};
        EXPECT_EQ(logged_126, c.logs_outside_ram) << std::hex << c.address;
    }
}

TEST_F(Bus, WriteSelectorsLogTheirSteps) {
    t.cpu().operand_address = 0x4000;
    t.machine.write_memory_byte(kSelectOperandAddress, 1);
    EXPECT_EQ(t.logged, (std::vector<LogCall>{
                            {kMsgNone, kMsgOperandAddressToMar, kMsgMarOnAddressBus, 0},
                            {kMsgNone, kMsgOperandAddressUp, kMsgNextAccessNextAddress, 0}}));
    EXPECT_EQ(t.cpu().operand_address, 0x4001);
    t.logged.clear();
    t.cpu().stack_pointer = 0xEFFF;
    t.machine.write_memory_byte(kSelectStack, 2);
    EXPECT_EQ(t.logged,
              (std::vector<LogCall>{{kMsgNone, kMsgSpToMar, kMsgMarOnAddressBus, 0},
                                    {kMsgNone, kMsgSpDown, kMsgNextAccessNextAddress, 0}}));
    EXPECT_EQ(t.value(0xEFFF), 2);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFE);
}

TEST_F(Bus, PushIntoRomStoresNothingButMovesTheStackPointer) {
    t.cpu().stack_pointer = 0x3FFF;
    t.machine.write_memory_byte(kSelectStack, 0x42);
    EXPECT_EQ(t.value(0x3FFF), 0);
    EXPECT_EQ(t.cpu().stack_pointer, 0x3FFE);
}

TEST_F(Bus, OutputPortsStoreAndCallTheirDrivers) {
    struct Case {
        int32_t port;
        std::string call; // empty: no driver
        bool stored;
    };
    const std::vector<Case> cases{
        {0xF020, "write_8bit_led_display 65", true},
        {0xF021, "write_7seg_unencoded 65", true},
        {0xF022, "write_7seg_decoded 65", true},
        {0xF023, "Led1_Device_Driver 65", true},
        {0xF028, "terminal_write_char 65", true},
        {0xF031, "display_character A 65", true},
        {0xF032, "set_status_leds 65", true},
        {0xF030, "", true},
        {0xF033, "", true},
        {0xF034, "", true},
        {0xF035, "", true},
        {0xF024, "", false},
        {0xF027, "", false},
        {0xF029, "", false},
        {0xF036, "", false},
        {0xF03F, "", false},
    };
    for (const Case& c : cases) {
        t.cell(c.port).value = 7;
        t.ui.calls.clear();
        t.machine.write_output_port(c.port, 65);
        EXPECT_EQ(t.value(c.port), c.stored ? 65 : 7) << std::hex << c.port;
        if (c.call.empty()) {
            EXPECT_TRUE(t.ui.calls.empty()) << std::hex << c.port;
        } else {
            EXPECT_EQ(t.ui.calls, std::vector<std::string>{c.call}) << std::hex << c.port;
        }
    }
}

// The names the machine and the assembler library share mean the map's own addresses: the
// ROM ends where a write starts to land, and the plain-store ports store and drive nothing.
TEST_F(Bus, NamedBoundsMeanTheMapsAddresses) {
    const auto write = [&](int32_t address) {
        t.cell(address).value = 0x11;
        t.cpu().indirect_address = address;
        t.ui.calls.clear();
        t.machine.write_memory_byte(kSelectIndirectAddress, 0x99);
        return t.value(address) == 0x99;
    };
    EXPECT_FALSE(write(kRomLastAddress));
    EXPECT_TRUE(write(kRomPastEnd));
    EXPECT_EQ(kRomPastEnd, kRamStart);
    for (const int32_t port : {kPlainStorePort, kPlainStorePortsFirst, kPlainStorePortsFirst + 1,
                               kPlainStorePortsLast}) {
        EXPECT_TRUE(write(port)) << std::hex << port;
        EXPECT_TRUE(t.ui.calls.empty()) << std::hex << port;
    }
    EXPECT_FALSE(write(kPlainStorePortsLast + 1));
}

TEST(CalculatorCharacter, MapsEveryByte) {
    struct Case {
        int32_t byte;
        std::string text;
    };
    const std::vector<Case> cases{
        {0, "0"},   {9, "9"},      {48, "0"},    {57, "9"},    {10, "A"},  {15, "F"},  {65, "A"},
        {70, "F"},  {16, "Clear"}, {17, "Bell"}, {18, "Back"}, {19, "#"},  {31, "#"},  {32, " "},
        {127, " "}, {33, "!"},     {34, "\""},   {35, "#"},    {36, "$"},  {47, "/"},  {58, ":"},
        {64, "@"},  {71, "G"},     {92, "\\"},   {97, "a"},    {122, "z"}, {126, "~"}, {128, "#"},
        {200, "#"}, {255, "#"},    {256, "#"},   {-1, "#"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(calculator_character(c.byte), c.text) << c.byte;
    }
}

} // namespace
} // namespace tallyrig::testing

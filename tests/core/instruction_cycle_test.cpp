// The instruction cycle: decode, guards, addressing modes, data movement, counters and the
// micro-step narration of whole instructions.
#include "tests/support/machine_fixture.h"

#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

using Lines = std::vector<LogCall>;

class Cycle : public ::testing::Test {
protected:
    void SetUp() override {
        t.power_on();
        t.machine.status.machine_mode = MachineMode::Run;
        t.cpu().program_counter = 0x4000;
    }
    void load_sp(int32_t sp = 0xEFFF) {
        t.cpu().stack_pointer = sp;
        t.cpu().stack_pointer_loaded = kTrue;
    }
    void load_x(int32_t x) {
        t.cpu().index_register = x;
        t.cpu().index_register_loaded = kTrue;
    }
    void pointer(int32_t at, int32_t target) { t.load(at, {target >> 8, target & 0xFF}); }
    TestMachine t;
};

TEST_F(Cycle, EveryOpcodeOutsideTheTableIsUndefined) {
    int defined = 0;
    for (int32_t opcode = 0; opcode <= 0x101; ++opcode) {
        TestMachine m;
        m.power_on();
        m.machine.status.profiling_on = 1;
        m.cpu().program_counter = 0x4000;
        m.cpu().stack_pointer_loaded = m.cpu().index_register_loaded = kTrue;
        m.cpu().jsr_depth = 1;
        m.ui.wait_actions.push_back([&m] { m.cpu().interrupt_request = 1; }); // ends HALT
        m.load(0x4000, {opcode, 0x50, 0x00});
        m.execute();
        const bool undefined = !m.ui.boxes.empty();
        EXPECT_EQ(undefined, decode_opcode(opcode) == nullptr) << std::hex << opcode;
        if (undefined) {
            EXPECT_NE(m.ui.boxes[0].text.find("undefined opcode"), std::string::npos);
            EXPECT_EQ(m.machine.status.machine_mode, MachineMode::Reset);
            EXPECT_EQ(m.cpu().program_counter, 0x4001);
            EXPECT_EQ(m.cell(0x4000).count_primary, 0);
        } else {
            ++defined;
        }
    }
    EXPECT_EQ(defined, 91);
}

TEST_F(Cycle, GuardsStopTheInstructionBeforeAnythingIsDone) {
    struct Case {
        const char* name;
        std::vector<int32_t> program;
        bool sp, x;
        int16_t reason;
    };
    const std::vector<Case> cases{
        {"ADD [nn,X]", {0x12, 0x50, 0x00}, true, false, 1},
        {"LDA [[nn],X]", {0x95, 0x50, 0x00}, true, false, 1},
        {"STA [[nn,X]]", {0x9C, 0x50, 0x00}, true, false, 1},
        {"JMP [nn,X]", {0xC2, 0x50, 0x00}, true, false, 1},
        {"BSTX", {0xA9, 0x50, 0x00}, true, false, 2},
        {"BSTSP", {0x59, 0x50, 0x00}, false, true, 3},
        {"PUSHA", {0xB2}, false, true, 4},
        {"PUSHSR", {0xB3}, false, true, 4},
        {"POPA", {0xB0}, false, true, 4},
        {"POPSR", {0xB1}, false, true, 4},
        {"JSR [nn]", {0xC9, 0x50, 0x00}, false, true, 4},
        {"JSR [nn,X] without both", {0xCA, 0x50, 0x00}, false, false, 4},
        {"JSR [nn,X] without X", {0xCA, 0x50, 0x00}, true, false, 1},
        {"RTS", {0xCF}, true, true, 5},
        {"INCX", {0x82}, true, false, 6},
        {"DECX", {0x83}, true, false, 7},
    };
    for (const Case& c : cases) {
        TestMachine m;
        m.power_on();
        m.machine.status.machine_mode = MachineMode::Step;
        m.machine.status.profiling_on = 1;
        m.cpu().program_counter = 0x4000;
        m.cpu().stack_pointer = 0xEFFF;
        m.cpu().stack_pointer_loaded = c.sp ? kTrue : 0;
        m.cpu().index_register_loaded = c.x ? kTrue : 0;
        for (size_t i = 0; i < c.program.size(); ++i) {
            m.cell(0x4000 + static_cast<int32_t>(i)).value = c.program[i];
        }
        m.execute();
        ASSERT_EQ(m.ui.boxes.size(), 1u) << c.name;
        EXPECT_EQ(m.ui.boxes[0].text, state_machine_error_text(c.reason, 0x4000)) << c.name;
        EXPECT_EQ(m.ui.boxes[0].title, "State machine Error");
        EXPECT_EQ(m.ui.boxes[0].icon, MessageIcon::Critical);
        EXPECT_EQ(m.machine.status.machine_mode, MachineMode::Reset) << c.name;
        EXPECT_EQ(m.cpu().program_counter, 0x4001) << c.name;
        EXPECT_EQ(m.cell(0x4000).count_primary, 0) << c.name;
        EXPECT_EQ(m.logged.back(), (LogCall{kMsgNone, kMsgDecodeOpcode, kMsgNone, 0}))
            << c.name << ": no entry line";
        EXPECT_EQ(m.cpu().stack_pointer, 0xEFFF) << c.name;
    }
}

TEST_F(Cycle, FailingReturnLeavesDepthBelowZero) {
    t.load(0x4000, {0xCF});
    t.execute();
    EXPECT_EQ(t.cpu().jsr_depth, -1);
    t.machine.reset_cpu();
    EXPECT_EQ(t.cpu().jsr_depth, 0);
}

TEST(StateMachineErrorText, NamesAddressReasonAndReset) {
    EXPECT_EQ(state_machine_error_text(8, 0x4000),
              "Eeeek! You have a problem at address $4000. You are trying to execute an "
              "undefined opcode. I'm about to execute a hard reset for your own protection.");
    EXPECT_EQ(state_machine_error_text(1, 0x0F).substr(37, 5), "$000F");
    EXPECT_EQ(state_machine_error_text(9, 0x10000).substr(37, 6), "10000.");
    EXPECT_EQ(state_machine_error_text(11, 0x4005),
              "Eeeek! You have a problem at address $4005. I'm about to execute a hard reset for "
              "your own protection.");
}

TEST_F(Cycle, AddressingModesFindTheirEffectiveAddress) {
    struct Case {
        const char* name;
        int32_t opcode;
        int32_t nn;
        int32_t x;
        int32_t data_at;
    };
    const std::vector<Case> cases{
        {"absolute", 0x91, 0x5000, 0, 0x5000},
        {"indexed", 0x92, 0x5000, 0x0010, 0x5010},
        {"indexed wraps", 0x92, 0xFFF0, 0x0020, 0x0010},
        {"indirect", 0x93, 0x5000, 0, 0x6000},
        {"pre-indexed", 0x94, 0x4FF0, 0x0010, 0x6000},
        {"post-indexed", 0x95, 0x5000, 0x0004, 0x6004},
        {"post-indexed wraps", 0x95, 0x5100, 0x0020, 0x0010},
    };
    for (const Case& c : cases) {
        TestMachine m;
        m.power_on();
        m.cpu().program_counter = 0x4000;
        m.cpu().index_register = c.x;
        m.cpu().index_register_loaded = kTrue;
        m.load(0x4000, {c.opcode, c.nn >> 8, c.nn & 0xFF});
        m.load(0x5000, {0x60, 0x00});
        m.load(0x5100, {0xFF, 0xF0});
        if (c.data_at < 0x4000) {
            m.cell(c.data_at).value = 0x3C; // ROM
        } else {
            m.cell(c.data_at).value = 0x3C;
        }
        m.execute();
        EXPECT_EQ(m.cpu().accumulator, 0x3C) << c.name;
        EXPECT_EQ(m.cpu().program_counter, 0x4003) << c.name;
    }
}

TEST_F(Cycle, PointerAtTheTopTakesItsSecondByteFromBeyondMemory) {
    t.machine.status.profiling_on = 1;
    t.load(0x4000, {0x93, 0xFF, 0xFF}); // LDA [[$FFFF]]
    t.execute();
    EXPECT_EQ(t.cpu().operand_address, 0x10001); // no wrap to 0
    EXPECT_EQ(t.cell(0x10000).count_primary, 1);
    EXPECT_EQ(t.cell(0).count_primary, 0);
}

TEST_F(Cycle, PostIndexedJumpKeepsThePointerAndLoadKeepsTheSum) {
    load_x(0x0004);
    pointer(0x5000, 0x6000);
    t.load(0x4000, {0xC5, 0x50, 0x00}); // JMP [[$5000],X]
    t.execute();
    EXPECT_EQ(t.cpu().program_counter, 0x6004);
    EXPECT_EQ(t.cpu().indirect_address, 0x6000);

    t.cpu().program_counter = 0x4010;
    t.load(0x4010, {0x95, 0x50, 0x00}); // LDA [[$5000],X]
    t.execute();
    EXPECT_EQ(t.cpu().indirect_address, 0x6004);

    t.cpu().program_counter = 0x4020;
    t.load(0x4020, {0xC2, 0x50, 0x00}); // JMP [$5000,X]
    t.execute();
    EXPECT_EQ(t.cpu().program_counter, 0x5004);
    EXPECT_EQ(t.cpu().operand_address, 0x5000);
}

TEST_F(Cycle, StoresReachEveryMode) {
    load_x(0x0002);
    pointer(0x5000, 0x6000);
    t.cpu().accumulator = 0xAB;
    t.load(0x4000, {0x99, 0x70, 0x00,   // STA [$7000]
                    0x9A, 0x70, 0x00,   // STA [$7000,X]
                    0x9B, 0x50, 0x00,   // STA [[$5000]]
                    0x9C, 0x4F, 0xFE,   // STA [[$4FFE,X]]
                    0x9D, 0x50, 0x00}); // STA [[$5000],X]
    t.execute(5);
    for (int32_t a : {0x7000, 0x7002, 0x6000, 0x6002}) {
        EXPECT_EQ(t.value(a), 0xAB) << std::hex << a;
    }
    EXPECT_TRUE(t.ui.boxes.empty());
}

TEST_F(Cycle, SixteenBitRegistersStoreHighByteFirstAndLoadBack) {
    t.load(0x4000, {0xA0, 0x12, 0x34,   // BLDX $1234
                    0xA9, 0x41, 0x00,   // BSTX [$4100]
                    0x50, 0xEF, 0xFF,   // BLDSP $EFFF
                    0x59, 0x41, 0x02,   // BSTSP [$4102]
                    0xA1, 0x41, 0x02,   // BLDX [$4102]
                    0xF1, 0x41, 0x00}); // BLDIV [$4100]
    t.execute(6);
    EXPECT_EQ(t.value(0x4100), 0x12);
    EXPECT_EQ(t.value(0x4101), 0x34);
    EXPECT_EQ(t.value(0x4102), 0xEF);
    EXPECT_EQ(t.value(0x4103), 0xFF);
    EXPECT_EQ(t.cpu().index_register, 0xEFFF);
    EXPECT_EQ(t.cpu().interrupt_vector, 0x1234);
    EXPECT_EQ(t.cpu().index_register_loaded, kTrue);
    EXPECT_EQ(t.cpu().stack_pointer_loaded, kTrue);
    EXPECT_EQ(t.cpu().interrupt_vector_loaded, kTrue);
}

TEST_F(Cycle, LoadOfNeverWrittenCellLoads256) {
    t.load(0x4000, {0x91, 0x50, 0x00});
    t.cpu().flag_z = 1;
    t.execute();
    EXPECT_EQ(t.cpu().accumulator, 256);
    EXPECT_EQ(t.cpu().flag_n, 0);
    EXPECT_EQ(t.cpu().flag_z, 0);
}

TEST_F(Cycle, StackPushesDownAndPopsBack) {
    load_sp();
    t.cpu().accumulator = 0x5A;
    t.load(0x4000, {0xB2, 0xB0}); // PUSHA, POPA
    t.execute();
    EXPECT_EQ(t.value(0xEFFF), 0x5A);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFE);
    t.cpu().accumulator = 0;
    t.execute();
    EXPECT_EQ(t.cpu().accumulator, 0x5A);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFF);
}

TEST_F(Cycle, StatusByteRoundTrip) {
    load_sp();
    t.cpu().flag_c = 1;
    t.cpu().flag_n = 1;
    t.cpu().flag_i = 1;
    t.load(0x4000, {0xB3, 0xB1}); // PUSHSR, POPSR
    t.execute();
    EXPECT_EQ(t.value(0xEFFF), 0x15);
    t.cell(0xEFFF).value = 0xFF;
    t.execute();
    const CpuRegisters& c = t.cpu();
    EXPECT_EQ(c.flag_c + c.flag_z + c.flag_n + c.flag_o + c.flag_i, 5);
}

TEST_F(Cycle, SubroutineCallPushesReturnAddressHighByteAtLowerAddress) {
    load_sp();
    t.load(0x4000, {0xC9, 0x50, 0x00}); // JSR [$5000]
    t.load(0x5000, {0xCF});             // RTS
    t.execute();
    EXPECT_EQ(t.value(0xEFFF), 0x03);
    EXPECT_EQ(t.value(0xEFFE), 0x40);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFD);
    EXPECT_EQ(t.cpu().program_counter, 0x5000);
    EXPECT_EQ(t.cpu().jsr_depth, 1);
    t.execute();
    EXPECT_EQ(t.cpu().program_counter, 0x4003);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFF);
    EXPECT_EQ(t.cpu().jsr_depth, 0);
}

TEST_F(Cycle, ConditionalJumpsTestTheirFlag) {
    struct Case {
        int32_t opcode;
        int16_t CpuRegisters::*flag;
        bool taken_when_set;
    };
    const std::vector<Case> cases{
        {0xD1, &CpuRegisters::flag_z, true}, {0xD6, &CpuRegisters::flag_z, false},
        {0xD9, &CpuRegisters::flag_n, true}, {0xDE, &CpuRegisters::flag_n, false},
        {0xE1, &CpuRegisters::flag_c, true}, {0xE6, &CpuRegisters::flag_c, false},
        {0xE9, &CpuRegisters::flag_o, true}, {0xEE, &CpuRegisters::flag_o, false},
    };
    for (const Case& c : cases) {
        for (int16_t flag : {0, 1}) {
            TestMachine m;
            m.power_on();
            m.machine.status.profiling_on = 1;
            m.cpu().program_counter = 0x4000;
            m.cpu().*c.flag = flag;
            m.load(0x4000, {c.opcode, 0x50, 0x00});
            m.execute();
            const bool taken = (flag == 1) == c.taken_when_set;
            EXPECT_EQ(m.cpu().program_counter, taken ? 0x5000 : 0x4003) << std::hex << c.opcode;
            EXPECT_EQ(m.cell(0x4000).count_primary, taken ? 1 : 0);
            EXPECT_EQ(m.cell(0x4000).count_secondary, taken ? 0 : 1);
            if (!taken) {
                // The address bytes are skipped, not read.
                EXPECT_EQ(m.cpu().memory_address_register, 0x4000);
            }
        }
    }
}

TEST_F(Cycle, InterruptMaskInstructions) {
    t.cpu().interrupt_request = 1;
    t.load(0x4000, {0x09, 0x08}); // CLRIM, SETIM
    t.execute();
    EXPECT_EQ(t.cpu().flag_i, 0);
    EXPECT_EQ(t.cpu().interrupt_request, 1);
    t.execute();
    EXPECT_EQ(t.cpu().flag_i, 1);
    EXPECT_EQ(t.cpu().interrupt_request, 0);
    EXPECT_EQ(t.ui.status_messages.back(), " ");
}

TEST_F(Cycle, HaltWaitsUntilAnInterruptRequest) {
    t.load(0x4000, {0x01, 0x00});
    t.ui.wait_actions.push_back([] {});
    t.ui.wait_actions.push_back([this] { t.cpu().interrupt_request = 1; });
    t.execute();
    EXPECT_EQ(t.ui.waits, 2);
    EXPECT_EQ(t.cpu().program_counter, 0x4001);
    EXPECT_EQ(t.cpu().instruction_register, 0);
}

TEST_F(Cycle, HaltWithARequestPendingGoesOnAtOnce) {
    t.cpu().interrupt_request = 1; // flag_i clear, as inside an interrupt routine
    t.load(0x4000, {0x01, 0x00});
    t.execute();
    EXPECT_EQ(t.ui.waits, 0);
    EXPECT_EQ(t.cpu().program_counter, 0x4001);
}

TEST_F(Cycle, HaltEndsOnResetOrPowerOff) {
    for (MachineMode mode : {MachineMode::Reset, MachineMode::PowerOff}) {
        TestMachine m;
        m.power_on();
        m.cpu().program_counter = 0x4000;
        m.machine.status.machine_mode = MachineMode::Run;
        m.load(0x4000, {0x01});
        m.ui.wait_actions.push_back([&m, mode] { m.machine.status.machine_mode = mode; });
        m.execute();
        EXPECT_EQ(m.ui.waits, 1);
    }
}

TEST_F(Cycle, ProgramCounterRunningOffTheTopGoesToZero) {
    t.cpu().program_counter = 0xFFFF;
    t.cell(0xFFFF).value = 0x00; // NOP
    t.execute();
    EXPECT_EQ(t.cpu().program_counter, 0);
}

TEST_F(Cycle, CountersFollowTheDataGathererTable) {
    struct Count {
        int32_t address, primary, secondary;
    };
    struct Case {
        const char* name;
        std::vector<int32_t> program;
        std::vector<Count> counts;
    };
    const std::vector<Case> cases{
        {"LDA [nn]", {0x91, 0x60, 0x00}, {{0x4000, 1, 0}, {0x6000, 1, 0}}},
        {"LDA #n", {0x90, 0x60}, {{0x4000, 1, 0}, {0x4001, 0, 0}}},
        {"ADD [nn,X]", {0x12, 0x60, 0x00}, {{0x4000, 1, 0}, {0x6002, 1, 0}, {0x6000, 0, 0}}},
        {"LDA [[nn]]",
         {0x93, 0x50, 0x00},
         {{0x4000, 1, 0}, {0x5000, 1, 0}, {0x5001, 1, 0}, {0x6000, 1, 0}}},
        {"LDA [[nn,X]]",
         {0x94, 0x4F, 0xFE},
         {{0x5000, 1, 0}, {0x5001, 1, 0}, {0x6000, 1, 0}, {0x4FFE, 0, 0}}},
        {"STA [[nn]]",
         {0x9B, 0x50, 0x00},
         {{0x4000, 1, 0}, {0x5000, 1, 0}, {0x5001, 1, 0}, {0x6000, 0, 1}}},
        {"STA [nn]", {0x99, 0x60, 0x00}, {{0x6000, 0, 1}}},
        {"BLDX [nn]", {0xA1, 0x60, 0x00}, {{0x6000, 1, 0}, {0x6001, 1, 0}}},
        {"BSTSP [nn]", {0x59, 0x60, 0x00}, {{0x6000, 0, 1}, {0x6001, 0, 1}}},
        {"JMP [[nn]]", {0xC3, 0x50, 0x00}, {{0x5000, 1, 0}, {0x5001, 1, 0}, {0x6000, 0, 0}}},
        {"JMP [nn]", {0xC1, 0x60, 0x00}, {{0x4000, 1, 0}, {0x6000, 0, 0}}},
        {"PUSHA", {0xB2}, {{0xEFFF, 0, 1}, {0x8000, 0, 0}}},
        {"POPA", {0xB0}, {{0xEFFF, 1, 0}}},
        {"JSR [nn]", {0xC9, 0x60, 0x00}, {{0x4000, 1, 0}, {0xEFFF, 0, 0}}},
    };
    for (const Case& c : cases) {
        TestMachine m;
        m.power_on();
        m.machine.status.profiling_on = 1;
        m.cpu().program_counter = 0x4000;
        m.cpu().stack_pointer = 0x8000;
        m.cpu().stack_pointer_loaded = kTrue;
        m.cpu().index_register = 2;
        m.cpu().index_register_loaded = kTrue;
        m.load(0x5000, {0x60, 0x00});
        for (size_t i = 0; i < c.program.size(); ++i) {
            m.cell(0x4000 + static_cast<int32_t>(i)).value = c.program[i];
        }
        m.execute();
        for (const Count& n : c.counts) {
            EXPECT_EQ(m.cell(n.address).count_primary, n.primary)
                << c.name << " at " << std::hex << n.address;
            EXPECT_EQ(m.cell(n.address).count_secondary, n.secondary)
                << c.name << " at " << std::hex << n.address;
        }
    }
}

TEST_F(Cycle, CountersStayOffWithoutProfiling) {
    t.load(0x4000, {0x91, 0x60, 0x00});
    t.execute();
    EXPECT_EQ(t.cell(0x4000).count_primary, 0);
    EXPECT_EQ(t.cell(0x6000).count_primary, 0);
}

TEST_F(Cycle, CountersStopAtTheirTop) {
    t.machine.status.profiling_on = 1;
    t.cell(0x4000).count_primary = std::numeric_limits<int32_t>::max();
    t.load(0x4000, {0x00});
    t.execute();
    EXPECT_EQ(t.cell(0x4000).count_primary, std::numeric_limits<int32_t>::max());
}

// The narration of whole instructions, line by line.
Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The bus's own lines for an access through the program counter, the operand address (reads
// and writes alike) and the stack pointer (a push).
const Lines kAtPc = {{kMsgNone, kMsgPcToMar, kMsgMarOnAddressBus, 0},
                     {kMsgNone, kMsgPcUp, kMsgNextAccessNextAddress, 0}};
const Lines kAtOperand = {{kMsgNone, kMsgOperandAddressToMar, kMsgMarOnAddressBus, 0},
                          {kMsgNone, kMsgOperandAddressUp, kMsgNextAccessNextAddress, 0}};
const Lines kPush = {{kMsgNone, kMsgSpToMar, kMsgMarOnAddressBus, 0},
                     {kMsgNone, kMsgSpDown, kMsgNextAccessNextAddress, 0}};

Lines opcode_fetch(int32_t pc, int m, int r) {
    return Lines{{kMsgGetOpcode, kMsgPcPointsAt, kMsgNone, pc}} + kAtPc +
           Lines{{kMsgNone, kMsgOpcodeRead, kMsgDataBus, 0},
                 {kMsgNone, kMsgDataToInstructionRegister, kMsgNone, 0},
                 {kMsgNone, kMsgDecodeOpcode, kMsgNone, 0},
                 {kMsgExecuteInstruction, m, r, 0}};
}

Lines operand_fetch(int32_t pc) {
    return Lines{{kMsgFetchByte, kMsgPcPointsAt, kMsgNone, pc}} + kAtPc +
           Lines{{kMsgNone, kMsgOperandByteRead, kMsgDataBus, 0},
                 {kMsgNone, kMsgOperandReady, kMsgNone, 0}};
}

// A 16-bit read: each byte follows the line that names its address.
Lines word_read(int before, int32_t at, const Lines& bus, int high_r, int low_r) {
    return Lines{{kMsgFetchWord, before, kMsgNone, at}} + bus +
           Lines{{kMsgNone, kMsgHighByteRead, kMsgDataBus, 0},
                 {kMsgNone, kMsgHighByteToRegister, kMsgHighByteCounts256, 0},
                 {kMsgNone, high_r, kMsgLowByteNext, 0},
                 {kMsgNone, before, kMsgNone, at + 1}} +
           bus +
           Lines{{kMsgNone, kMsgLowByteRead, kMsgDataBus, 0},
                 {kMsgNone, kMsgLowByteToRegister, kMsgLowByteCountsItsValue, 0},
                 {kMsgNone, low_r, kMsgWordComplete, 0}};
}

Lines word_fetch(int32_t pc) {
    return word_read(kMsgPcPointsAt, pc, kAtPc, kMsgOperandAddressHoldsHigh,
                     kMsgOperandAddressComplete);
}

Lines pointer_fetch(int32_t p) {
    return word_read(kMsgOperandPointsAtPointer, p, kAtOperand, kMsgIndirectHoldsHigh,
                     kMsgIndirectComplete);
}

void expect_lines(const TestMachine& t, const Lines& expected) {
    EXPECT_EQ(t.logged, expected);
}

TEST_F(Cycle, NarratesLoadImmediate) {
    t.machine.status.machine_mode = MachineMode::Step;
    t.logged.clear();
    t.load(0x4000, {0x90, 0x42});
    t.execute();
    expect_lines(t, opcode_fetch(0x4000, kMsgLdaImmediate, kMsgOperandFollows) +
                        operand_fetch(0x4001) +
                        Lines{{kMsgOperation, kMsgDataToAccumulator, kMsgNone, 0},
                              {kMsgNone, kMsgAccumulatorHolds, kMsgNone, 0},
                              {kMsgNone, kMsgFlagsNow, kMsgZnFollowResult, 0}});
}

TEST_F(Cycle, NarratesPostIndexedLoad) {
    load_x(1);
    pointer(0x5000, 0x6000);
    t.machine.status.machine_mode = MachineMode::Step;
    t.logged.clear();
    t.load(0x4000, {0x95, 0x50, 0x00});
    t.execute();
    expect_lines(t, opcode_fetch(0x4000, kMsgLdaPostIndexed, kMsgPointerFollows) +
                        word_fetch(0x4001) + pointer_fetch(0x5000) +
                        Lines{{kMsgAddIndexRegister, kMsgIndexAdded, kMsgNone, 0},
                              {kMsgNone, kMsgPointerPlusIndex, kMsgNone, 0},
                              {kMsgFetchByte, kMsgEffectiveFromPointer, kMsgNone, 0x6001},
                              {kMsgNone, kMsgIndirectToMar, kMsgMarOnAddressBus, 0},
                              {kMsgNone, kMsgNoValidByte, kMsgNone, 0},
                              {kMsgNone, kMsgOperandByteRead, kMsgDataBus, 0},
                              {kMsgNone, kMsgOperandReady, kMsgNone, 0},
                              {kMsgOperation, kMsgDataToAccumulator, kMsgNone, 0},
                              {kMsgNone, kMsgAccumulatorHolds, kMsgNone, 0},
                              {kMsgNone, kMsgFlagsNow, kMsgZnFollowResult, 0}});
}

TEST_F(Cycle, NarratesSubroutineCall) {
    load_sp();
    t.machine.status.machine_mode = MachineMode::Step;
    t.logged.clear();
    t.load(0x4000, {0xC9, 0x50, 0x00});
    t.execute();
    expect_lines(
        t, opcode_fetch(0x4000, kMsgJsrAbsolute, kMsgAddressFollows) + word_fetch(0x4001) +
               Lines{{kMsgSaveReturnAddress, kMsgSpGivesAddress, kMsgStackGrowsDown, 0xEFFF}} +
               kPush +
               Lines{{kMsgNone, kMsgReturnLowPushed, kMsgDataBus, 0},
                     {kMsgNone, kMsgSpGivesAddress, kMsgStackGrowsDown, 0xEFFE}} +
               kPush +
               Lines{{kMsgNone, kMsgReturnHighPushed, kMsgDataBus, 0},
                     {kMsgOperation, kMsgAddressFromOperand, kMsgPcHoldsTarget, 0x5000},
                     {kMsgNone, kMsgContinueAtOperand, kMsgNextOpcodeFromThere, 0},
                     {kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0}});
}

TEST_F(Cycle, NarratesConditionalJumpNotTaken) {
    t.cpu().flag_z = 0;
    t.machine.status.machine_mode = MachineMode::Step;
    t.logged.clear();
    t.load(0x4000, {0xD1, 0x50, 0x00});
    t.execute();
    expect_lines(t, opcode_fetch(0x4000, kMsgJz, kMsgAddressFollows) +
                        Lines{{kMsgTestCondition, kMsgTestZero, kMsgJzRule, 0},
                              {kMsgNone, kMsgJzNotTaken, kMsgNone, 0},
                              {kMsgNone, kMsgSkipJumpAddress, kMsgAddressBytesNotRead, 0},
                              {kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0}});
}

TEST_F(Cycle, NarratesCompareAndStoreOfTheIndexRegister) {
    load_x(0x1234);
    t.machine.status.machine_mode = MachineMode::Step;
    t.load(0x4000, {0xA9, 0x41, 0x00, 0x60, 0x01});
    t.logged.clear();
    t.execute();
    expect_lines(
        t, opcode_fetch(0x4000, kMsgBstxAbsolute, kMsgAddressFollows) + word_fetch(0x4001) +
               Lines{{kMsgWriteToMemory, kMsgAddressFromOperand, kMsgNone, 0x4100}} + kAtOperand +
               Lines{{kMsgNone, kMsgXHighWritten, kMsgNone, 0},
                     {kMsgWriteToMemory, kMsgAddressFromOperand, kMsgNone, 0x4101}} +
               kAtOperand +
               Lines{{kMsgNone, kMsgXLowWritten, kMsgNone, 0},
                     {kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0}});
    t.logged.clear();
    t.execute();
    expect_lines(t, opcode_fetch(0x4003, kMsgCmpaImmediate, kMsgOperandFollows) +
                        operand_fetch(0x4004) +
                        Lines{{kMsgOperation, kMsgCompareData, kMsgOnlyFlagsChange, 0},
                              {kMsgNone, kMsgCompareKeepsOnlyFlags, kMsgNone, 0},
                              {kMsgNone, kMsgNone, kMsgCompareRule, 0},
                              {kMsgNone, kMsgFlagsNow, kMsgZcFollowCompare, 0}});
}

TEST_F(Cycle, NarratesTheUndefinedOpcode) {
    t.machine.status.machine_mode = MachineMode::Step;
    t.logged.clear();
    t.load(0x4000, {0x13});
    t.execute();
    Lines expected = opcode_fetch(0x4000, kMsgNone, kMsgNone);
    expected.back() = {kMsgExecuteInstruction, kMsgUndefinedOpcode, kMsgStopsWithError, 0};
    EXPECT_EQ(t.logged, expected);
}

} // namespace
} // namespace tallyrig::testing

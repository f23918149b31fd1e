// Arithmetic, logic, shift and decimal instructions against known results.
#include "tests/support/machine_fixture.h"

#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

struct Flags {
    int z, n, c, o;
};

struct AluCase {
    const char* name;
    int32_t opcode;
    int32_t a;
    int32_t m;
    int carry_in;
    int32_t result;
    Flags flags;
};

// Runs "opcode #m" (or the implied opcode) with A and C preset.
void run_immediate(TestMachine& t, const AluCase& c) {
    t.power_on();
    t.cpu().program_counter = 0x4000;
    t.cpu().accumulator = c.a;
    t.cpu().flag_c = static_cast<int16_t>(c.carry_in);
    t.load(0x4000, {c.opcode, c.m});
    t.execute();
}

class AluTest : public ::testing::TestWithParam<AluCase> {};

TEST_P(AluTest, GivesResultAndFlags) {
    const AluCase& c = GetParam();
    TestMachine t;
    run_immediate(t, c);
    EXPECT_EQ(t.cpu().accumulator, c.result);
    EXPECT_EQ(t.cpu().flag_z, c.flags.z);
    EXPECT_EQ(t.cpu().flag_n, c.flags.n);
    EXPECT_EQ(t.cpu().flag_c, c.flags.c);
    EXPECT_EQ(t.cpu().flag_o, c.flags.o);
    EXPECT_TRUE(t.ui.boxes.empty());
}

// Flags an instruction leaves alone keep their preset: o = 0 and the given carry.
INSTANTIATE_TEST_SUITE_P(
    Instructions, AluTest,
    ::testing::Values(AluCase{"AddIntoSign", 0x10, 0x7F, 0x01, 0, 0x80, {0, 1, 0, 1}},
                      AluCase{"AddWraps", 0x10, 0xFF, 0x01, 0, 0x00, {1, 0, 1, 0}},
                      AluCase{"AddIgnoresCarry", 0x10, 0x10, 0x20, 1, 0x30, {0, 0, 0, 0}},
                      AluCase{"AddcUsesCarry", 0x18, 0x10, 0x20, 1, 0x31, {0, 0, 0, 0}},
                      AluCase{"SubNoBorrow", 0x20, 0x05, 0x03, 0, 0x02, {0, 0, 1, 0}},
                      AluCase{"SubBorrow", 0x20, 0x03, 0x05, 0, 0xFE, {0, 1, 0, 0}},
                      AluCase{"SubOverflow", 0x20, 0x80, 0x01, 0, 0x7F, {0, 0, 1, 1}},
                      AluCase{
                          "SubcWithoutCarryTakesOneMore", 0x28, 0x05, 0x03, 0, 0x01, {0, 0, 1, 0}},
                      AluCase{"And", 0x30, 0xF0, 0x3C, 1, 0x30, {0, 0, 1, 0}},
                      AluCase{"OrSetsSign", 0x38, 0x01, 0x80, 0, 0x81, {0, 1, 0, 0}},
                      AluCase{"XorToZero", 0x40, 0x5A, 0x5A, 0, 0x00, {1, 0, 0, 0}},
                      AluCase{"DaddDigitCarry", 0x48, 0x45, 0x38, 0, 0x83, {0, 1, 0, 1}},
                      AluCase{"DaddWrapsToZero", 0x48, 0x99, 0x01, 0, 0x00, {1, 0, 1, 0}},
                      AluCase{"DaddcUsesCarry", 0x68, 0x19, 0x00, 1, 0x20, {0, 0, 0, 0}},
                      AluCase{"DsubPositive", 0x88, 0x50, 0x20, 0, 0x30, {0, 0, 1, 0}},
                      AluCase{"DsubNegative", 0x88, 0x20, 0x50, 0, 0x70, {0, 1, 0, 0}},
                      AluCase{"DsubOverflow", 0x88, 0x30, 0x40, 0, 0x90, {0, 1, 0, 1}},
                      AluCase{"DaddNonDecimalDigits", 0x48, 0x0F, 0x0F, 0, 0x24, {0, 0, 0, 0}},
                      AluCase{"DaddNotReducedToByte", 0x48, 0xF0, 0xF0, 0, 0x140, {0, 1, 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Arithmetic, SubLeavesComplementInDataRegister) {
    TestMachine t;
    run_immediate(t, {"", 0x20, 0x05, 0x03, 0, 0, {}});
    EXPECT_EQ(t.cpu().data_register, 0xFC);
}

TEST(Arithmetic, DsubAboveNinetyNineLeavesNegativeDataRegister) {
    TestMachine t;
    run_immediate(t, {"", 0x88, 0x50, 0xA0, 0, 0, {}});
    EXPECT_EQ(t.cpu().data_register, 0x99 - 0xA0);
}

TEST(Arithmetic, AddOfNeverWrittenCellKeepsAccumulatorAndSetsCarry) {
    TestMachine t;
    t.power_on();
    t.cpu().program_counter = 0x4000;
    t.cpu().accumulator = 0x42;
    t.load(0x4000, {0x11, 0x50, 0x00}); // ADD [$5000], never written
    t.execute();
    EXPECT_EQ(t.cpu().accumulator, 0x42);
    EXPECT_EQ(t.cpu().flag_c, 1);
}

TEST(Arithmetic, CompareIsUnsignedAndKeepsAccumulator) {
    struct Case {
        int32_t a, m;
        int z, c;
    };
    for (const Case& c : {Case{0x33, 0x33, 1, 0}, Case{0x90, 0x10, 0, 1}, Case{0x10, 0x90, 0, 0}}) {
        TestMachine t;
        t.power_on();
        t.cpu().program_counter = 0x4000;
        t.cpu().accumulator = c.a;
        t.cpu().flag_n = 1;
        t.cpu().flag_o = 1;
        t.load(0x4000, {0x60, c.m});
        t.execute();
        EXPECT_EQ(t.cpu().flag_z, c.z) << c.a << " " << c.m;
        EXPECT_EQ(t.cpu().flag_c, c.c) << c.a << " " << c.m;
        EXPECT_EQ(t.cpu().flag_n, 1);
        EXPECT_EQ(t.cpu().flag_o, 1);
        EXPECT_EQ(t.cpu().accumulator, c.a);
    }
}

struct ImpliedCase {
    const char* name;
    int32_t opcode;
    int32_t a;
    int carry_in;
    int32_t result;
    int z, n, c;
};

class ImpliedTest : public ::testing::TestWithParam<ImpliedCase> {};

TEST_P(ImpliedTest, GivesResultAndFlags) {
    const ImpliedCase& c = GetParam();
    TestMachine t;
    t.power_on();
    t.cpu().program_counter = 0x4000;
    t.cpu().accumulator = c.a;
    t.cpu().flag_c = static_cast<int16_t>(c.carry_in);
    t.cpu().flag_o = 1;
    t.load(0x4000, {c.opcode});
    t.execute();
    EXPECT_EQ(t.cpu().accumulator, c.result);
    EXPECT_EQ(t.cpu().flag_z, c.z);
    EXPECT_EQ(t.cpu().flag_n, c.n);
    EXPECT_EQ(t.cpu().flag_c, c.c);
    EXPECT_EQ(t.cpu().flag_o, 1);
    EXPECT_EQ(t.cpu().program_counter, 0x4001);
}

INSTANTIATE_TEST_SUITE_P(
    Instructions, ImpliedTest,
    ::testing::Values(ImpliedCase{"ShlOut", 0x70, 0x81, 0, 0x02, 0, 0, 1},
                      ImpliedCase{"ShlIn", 0x70, 0x41, 1, 0x82, 0, 1, 0},
                      ImpliedCase{"ShrKeepsSign", 0x71, 0x80, 0, 0xC0, 0, 1, 0},
                      ImpliedCase{"ShrSignAndOut", 0x71, 0x81, 0, 0xC0, 0, 1, 1},
                      ImpliedCase{"ShrToZero", 0x71, 0x01, 0, 0x00, 1, 0, 1},
                      ImpliedCase{"RolThroughCarry", 0x78, 0x80, 1, 0x01, 0, 0, 1},
                      ImpliedCase{"RorThroughCarry", 0x79, 0x01, 0, 0x00, 1, 0, 1},
                      ImpliedCase{"RorCarryIn", 0x79, 0x02, 1, 0x81, 0, 1, 0},
                      ImpliedCase{"IncaWraps", 0x80, 0xFF, 1, 0x00, 1, 0, 1},
                      ImpliedCase{"DecaWraps", 0x81, 0x00, 0, 0xFF, 0, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Arithmetic, IndexIncrementAndDecrementWrapAndSetOnlyZero) {
    TestMachine t;
    t.power_on();
    t.cpu().program_counter = 0x4000;
    t.load(0x4000, {0xA0, 0xFF, 0xFF, 0x82, 0x83, 0x83});
    t.cpu().flag_n = 1;
    t.cpu().flag_c = 1;
    t.execute(2); // BLDX $FFFF; INCX
    EXPECT_EQ(t.cpu().index_register, 0);
    EXPECT_EQ(t.cpu().flag_z, 1);
    t.execute(); // DECX
    EXPECT_EQ(t.cpu().index_register, 0xFFFF);
    EXPECT_EQ(t.cpu().flag_z, 0);
    EXPECT_EQ(t.cpu().flag_n, 1);
    EXPECT_EQ(t.cpu().flag_c, 1);
}

TEST(Arithmetic, ShiftsOfOversizedAccumulatorStayDefined) {
    TestMachine t;
    t.power_on();
    t.cpu().program_counter = 0x4000;
    t.cpu().accumulator = 256; // LDA of a never-written cell
    for (int i = 0; i < 40; ++i) {
        t.cell(0x4000 + i).value = 0x70; // SHL
    }
    t.execute(40);
    EXPECT_TRUE(t.ui.boxes.empty());
}

} // namespace
} // namespace tallyrig::testing

// The machine's state at each point of its life: start-up, power-on, power-off, purge, reset.
#include "tests/support/machine_fixture.h"

#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

struct Range {
    int32_t first, last, value;
};

void expect_values(TestMachine& t, std::initializer_list<Range> ranges) {
    for (const Range& r : ranges) {
        for (int32_t a = r.first; a <= r.last; ++a) {
            ASSERT_EQ(t.value(a), r.value) << "at address " << a;
        }
    }
}

TEST(MachineState, StartUp) {
    TestMachine t;
    EXPECT_EQ(t.machine.memory_cells.size(), 65537u);
    expect_values(t, {{0, 0x3FFF, 0}, {0x4000, 65536, 256}});
    EXPECT_EQ(t.cell(0).address, 0);
    EXPECT_EQ(t.cell(0x1234).address, 0x1234);
    EXPECT_EQ(t.cell(65536).address, 65536);
    EXPECT_EQ(t.machine.status.machine_mode, MachineMode::None);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::None);
    EXPECT_EQ(t.machine.status.run_delay, 0.0);
}

TEST(MachineState, PowerOnClearsRamBelowStackAndThePorts) {
    TestMachine t;
    t.cell(0x5000).value = 1;
    t.cell(0xD800).value = 7; // the stack area keeps its contents
    t.cell(0xEFFF).value = 8;
    t.cell(0xF040).value = 9;
    t.machine.clear_ram_and_ports();
    expect_values(
        t, {{0x4000, 0xD7FF, 256}, {0xF000, 0xF007, 0}, {0xF009, 0xF010, 0}, {0xF012, 0xF03F, 0}});
    EXPECT_EQ(t.value(0xF011), 255);
    EXPECT_EQ(t.value(0xF008), 0);
    EXPECT_EQ(t.value(0xD800), 7);
    EXPECT_EQ(t.value(0xEFFF), 8);
    EXPECT_EQ(t.value(0xF040), 9);
    EXPECT_EQ(t.machine.status.old_io_button_value, 255);
    EXPECT_EQ(t.machine.status.old_io_button_annotation, " ");
}

TEST(MachineState, PowerOffMakesEverythingFromRamUpUndefined) {
    TestMachine t;
    t.power_on();
    t.cell(0x100).value = 5;
    t.cell(0x4000).breakpoint = 1;
    t.cell(0x4003).marker = 2;
    t.machine.clear_memory();
    expect_values(t, {{0x4000, 65536, 256}});
    EXPECT_EQ(t.value(0x100), 5);
    EXPECT_EQ(t.cell(0x4000).breakpoint, 0);
    EXPECT_EQ(t.cell(0x4003).marker, 0);
    EXPECT_EQ(t.ui.status_messages.back(), " ");
}

TEST(MachineState, PurgeRamZeroesRomAndPortsIncludingTheKeypad) {
    TestMachine t;
    t.power_on();
    t.cell(0x10).value = 0x55;
    t.cell(0x4010).breakpoint = 1;
    t.cell(0x4010).count_primary = 3;
    t.machine.files.pad_file_path = "x.pad";
    t.machine.files.rad_file_path = "x.rad";
    t.machine.Initialize();
    expect_values(
        t, {{0, 0x3FFF, 0}, {0x4000, 0xEFFF, 256}, {0xF000, 0xF03F, 0}, {0xF040, 65536, 256}});
    EXPECT_EQ(t.cell(0x4010).breakpoint, 0);
    EXPECT_EQ(t.cell(0x4010).count_primary, 3); // counters belong to the data gatherer
    EXPECT_TRUE(t.machine.files.pad_file_path.empty());
    EXPECT_TRUE(t.machine.files.rad_file_path.empty());
}

TEST(MachineState, PurgeRamRewritesTheWalkerOnlyWhenOpen) {
    TestMachine closed;
    closed.machine.Initialize();
    for (const std::string& call : closed.ui.calls) {
        EXPECT_NE(call.rfind("walker_values", 0), 0u);
    }
    TestMachine open;
    open.machine.windows.memory_walker_open = kTrue;
    open.machine.windows.data_gatherer_open = kTrue;
    open.machine.Initialize();
    EXPECT_NE(std::find(open.ui.calls.begin(), open.ui.calls.end(), "walker_values 1 65535"),
              open.ui.calls.end());
    EXPECT_NE(std::find(open.ui.calls.begin(), open.ui.calls.end(), "clear_gatherer_name"),
              open.ui.calls.end());
}

TEST(MachineState, ResetClearsRegistersButKeepsLoadedValuesUnguarded) {
    TestMachine t;
    CpuRegisters& c = t.cpu();
    c.program_counter = 0x4123;
    c.accumulator = 9;
    c.flag_c = c.flag_z = c.flag_n = c.flag_o = c.flag_i = c.interrupt_request = 1;
    c.stack_pointer = 0xEFFF;
    c.index_register = 0x1234;
    c.interrupt_vector = 0x5000;
    c.stack_pointer_loaded = c.index_register_loaded = c.interrupt_vector_loaded = kTrue;
    c.jsr_depth = 3;
    t.machine.reset_cpu();
    EXPECT_EQ(c.program_counter, 0);
    EXPECT_EQ(c.accumulator, 0);
    EXPECT_EQ(c.flag_c + c.flag_z + c.flag_n + c.flag_o + c.flag_i + c.interrupt_request, 0);
    EXPECT_EQ(c.jsr_depth, 0);
    EXPECT_EQ(c.stack_pointer, 0xEFFF);
    EXPECT_EQ(c.index_register, 0x1234);
    EXPECT_EQ(c.interrupt_vector, 0x5000);
    EXPECT_EQ(c.stack_pointer_loaded, 0);
    EXPECT_EQ(c.index_register_loaded, 0);
    EXPECT_EQ(c.interrupt_vector_loaded, 0);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
}

TEST(MachineState, ResetWritesTheHardResetBlockOnlyWhenStopped) {
    TestMachine stopped;
    stopped.machine.status.run_sub_state = RunSubState::Stopped;
    stopped.machine.reset_cpu();
    EXPECT_EQ(stopped.logged,
              (std::vector<LogCall>{{kMsgHardReset, kMsgCpuReset, kMsgRegistersMustBeReloaded, 0},
                                    {kMsgNone, kMsgRequestAndDepthCleared, kMsgNone, 0},
                                    {kMsgNone, kMsgRamKept, kMsgNone, 0},
                                    {kMsgNone, kMsgPressStepOrRun, kMsgNone, 0}}));
    TestMachine running;
    running.machine.status.run_sub_state = RunSubState::Running;
    running.machine.reset_cpu();
    EXPECT_TRUE(running.logged.empty());
}

TEST(MachineState, TwoMachinesSideBySideShareNothing) {
    TestMachine a;
    TestMachine b;
    a.power_on();
    a.load(0x4000, {0x90, 0x11});
    a.cpu().program_counter = 0x4000;
    a.execute();
    EXPECT_EQ(a.cpu().accumulator, 0x11);
    EXPECT_EQ(b.cpu().accumulator, 0);
    EXPECT_EQ(b.value(0x4000), 256);
}

} // namespace
} // namespace tallyrig::testing

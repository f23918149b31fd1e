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

int32_t value_at(const Machine& m, int32_t address) {
    return m.memory_cells[static_cast<size_t>(address)].value;
}

int32_t breakpoint_at(const Machine& m, int32_t address) {
    return m.memory_cells[static_cast<size_t>(address)].breakpoint;
}

// What each thing the user does leaves in the machine, where the run loop and the views read it.
// Before each, the keypad holds a key, 0x4005 a breakpoint and the machine waits in STEP.
TEST(MachineState, EachUserActionLeavesTheStateTheLoopReads) {
    struct Action {
        const char* what;
        bool powered;
        bool (*act)(Machine&); // its answer; true for those that give none
        bool answer;
        bool (*holds)(const Machine&);
    };
    const Action actions[] = {
        {"switch on", false,
         [](Machine& m) {
             m.power_up();
             m.settle_in_reset();
             m.power_switched(true);
             return true;
         },
         true,
         [](const Machine& m) {
             return m.status.power_on == 1 && m.status.machine_mode == MachineMode::Reset &&
                    m.status.run_sub_state == RunSubState::AfterReset &&
                    value_at(m, kKeypadPort) == kNoKeyWaiting;
         }},
        {"switch off", true,
         [](Machine& m) {
             m.power_down();
             m.forget_memory();
             return true;
         },
         true,
         [](const Machine& m) {
             return m.status.power_on == 0 && m.status.machine_mode == MachineMode::PowerOff &&
                    breakpoint_at(m, 0x4005) == 0;
         }},
        {"Reset", true, [](Machine& m) { return m.press_reset(); }, true,
         [](const Machine& m) {
             return m.status.machine_mode == MachineMode::Reset &&
                    value_at(m, kKeypadPort) == kNoKeyWaiting;
         }},
        {"Reset with the power off", false, [](Machine& m) { return m.press_reset(); }, false,
         [](const Machine& m) {
             return m.status.machine_mode == MachineMode::Step && value_at(m, kKeypadPort) == 0x42;
         }},
        {"programmable key", true,
         [](Machine& m) {
             m.press_keypad_key(0x1A5);
             return true;
         },
         true, [](const Machine& m) { return value_at(m, kKeypadPort) == 0xA5; }},
        {"QWERTY key", true,
         [](Machine& m) {
             m.press_keyboard_key('q');
             return true;
         },
         true, [](const Machine& m) { return value_at(m, kKeyboardPort) == 'q'; }},
        {"switch bank", true,
         [](Machine& m) {
             m.set_switch_port(0xF000, 0x81);
             return true;
         },
         true, [](const Machine& m) { return value_at(m, 0xF000) == 0x81; }},
        {"Interrupt", true, [](Machine& m) { return m.raise_interrupt(); }, true,
         [](const Machine& m) { return m.cpu.interrupt_request == 1; }},
        {"Interrupt with the power off", false, [](Machine& m) { return m.raise_interrupt(); },
         false, [](const Machine& m) { return m.cpu.interrupt_request == 0; }},
        {"breakpoint set", true,
         [](Machine& m) {
             m.set_breakpoint(0x5000, true);
             return true;
         },
         true,
         [](const Machine& m) {
             return breakpoint_at(m, 0x5000) == kBreakpointSet &&
                    breakpoint_at(m, 0x4005) == kBreakpointSet;
         }},
        {"breakpoint cleared", true,
         [](Machine& m) {
             m.set_breakpoint(0x4005, false);
             return true;
         },
         true, [](const Machine& m) { return breakpoint_at(m, 0x4005) == 0; }},
        {"breakpoints cleared up to a row", true,
         [](Machine& m) {
             m.set_breakpoint(0x5000, true);
             m.clear_breakpoints(0, 0x4FFF);
             return true;
         },
         true,
         [](const Machine& m) {
             return breakpoint_at(m, 0x4005) == 0 && breakpoint_at(m, 0x5000) == kBreakpointSet;
         }},
        {"write to a missing device", true,
         [](Machine& m) {
             m.press_mode(MachineMode::Run);
             m.fall_into_step();
             return true;
         },
         true, [](const Machine& m) { return m.status.machine_mode == MachineMode::Step; }},
        {"main window closing", true,
         [](Machine& m) {
             m.end_run_loop();
             return true;
         },
         true, [](const Machine& m) { return m.status.machine_mode == MachineMode::Reset; }},
        {"processor speed", true,
         [](Machine& m) {
             m.set_run_delay(500.0);
             return true;
         },
         true, [](const Machine& m) { return m.status.run_delay == 500.0; }},
        {"counting switched on", true,
         [](Machine& m) {
             m.set_profiling(true);
             return true;
         },
         true, [](const Machine& m) { return m.status.profiling_on == 1; }},
        {"counting switched off", true,
         [](Machine& m) {
             m.set_profiling(true);
             m.set_profiling(false);
             return true;
         },
         true, [](const Machine& m) { return m.status.profiling_on == 0; }},
        {"views opened", true,
         [](Machine& m) {
             for (MachineWindow w :
                  {MachineWindow::MemoryWalker, MachineWindow::MessageWindow, MachineWindow::IoPort,
                   MachineWindow::DataGatherer, MachineWindow::RegisterDisplay}) {
                 m.window_opened(w, true);
             }
             return true;
         },
         true,
         [](const Machine& m) {
             const WindowFlags& w = m.windows;
             return w.memory_walker_open == kTrue && w.message_window_open == kTrue &&
                    w.ioport_window_open == kTrue && w.data_gatherer_open == kTrue &&
                    w.register_display_open == 1;
         }},
        {"view closed", true,
         [](Machine& m) {
             m.window_opened(MachineWindow::IoPort, true);
             m.window_opened(MachineWindow::IoPort, false);
             return true;
         },
         true, [](const Machine& m) { return m.windows.ioport_window_open == 0; }},
    };
    for (const Action& action : actions) {
        SCOPED_TRACE(action.what);
        TestMachine t;
        if (action.powered) {
            t.power_on();
        }
        t.machine.press_mode(MachineMode::Step);
        t.cell(kKeypadPort).value = 0x42;
        t.machine.set_breakpoint(0x4005, true);
        EXPECT_EQ(action.act(t.machine), action.answer);
        EXPECT_TRUE(action.holds(t.machine));
    }
}

} // namespace
} // namespace tallyrig::testing

// Whole programs through the run loop: the user is played by yield and wait actions.
#include "tests/support/machine_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

bool has_call(const TestMachine& t, const std::string& call) {
    return std::find(t.ui.calls.begin(), t.ui.calls.end(), call) != t.ui.calls.end();
}

bool logged(const TestMachine& t, const LogCall& call) {
    return std::find(t.logged.begin(), t.logged.end(), call) != t.logged.end();
}

class RunLoop : public ::testing::Test {
protected:
    void SetUp() override { t.power_on(); }
    void press(MachineMode mode) { t.machine.press_mode(mode); }
    TestMachine t;
};

TEST_F(RunLoop, SubroutineCallAndReturnThenJumpToZeroResets) {
    t.load(0x4000, {0x50, 0xEF, 0xFF,   // BLDSP $EFFF
                    0xC9, 0x40, 0x20,   // JSR [$4020]
                    0x99, 0xF0, 0x31,   // STA [$F031]
                    0xC1, 0x00, 0x00}); // JMP [$0000]
    t.load(0x4020, {0x90, 0x07,         // LDA #7
                    0xCF});             // RTS
    t.machine.window_opened(MachineWindow::MemoryWalker, true);
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.ui.display, std::vector<std::string>{"7"});
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
    EXPECT_EQ(t.cpu().program_counter, 0);
    EXPECT_EQ(t.cpu().jsr_depth, 0);
    EXPECT_TRUE(has_call(t, "walker_top 16384"));
    EXPECT_TRUE(has_call(t, "walker_colour 16777215"));
    EXPECT_EQ(t.ui.calls.back(), "update_ioport_display"); // from the CPU reset
    EXPECT_TRUE(t.ui.boxes.empty());
    EXPECT_TRUE(t.logged.empty()); // running narrates nothing
}

TEST_F(RunLoop, InterruptIsEnteredAndReturnedFrom) {
    t.load(0x4000, {0x50, 0xEF, 0xFF,   // BLDSP $EFFF
                    0xF0, 0x40, 0x30,   // BLDIV $4030
                    0x08,               // SETIM
                    0xC1, 0x40, 0x07}); // JMP [$4007]
    t.load(0x4030, {0x90, 0x41,         // LDA #'A'
                    0x99, 0xF0, 0x31,   // STA [$F031]
                    0xC7});             // RTI
    bool requested = false;
    t.ui.on_yield = [&] {
        if (!requested && t.cpu().program_counter == 0x4007) {
            requested = true;
            t.machine.raise_interrupt();
        }
        if (t.cpu().instruction_register == 0xC7) {
            t.switch_off();
        }
    };
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.ui.display, std::vector<std::string>{"A"});
    EXPECT_EQ(t.value(0xEFFF), 0x07);
    EXPECT_EQ(t.value(0xEFFE), 0x40);
    EXPECT_EQ(t.value(0xEFFD), kStatusI);
    EXPECT_EQ(t.cpu().stack_pointer, 0xEFFF);
    EXPECT_EQ(t.cpu().program_counter, 0x4007);
    EXPECT_EQ(t.cpu().flag_i, 1);
    EXPECT_EQ(t.cpu().interrupt_request, 0);
    const auto& messages = t.ui.status_messages;
    EXPECT_NE(std::find(messages.begin(), messages.end(), "SERVICING INTERRUPT"), messages.end());
    EXPECT_EQ(messages.back(), " ");
}

TEST_F(RunLoop, InterruptWaitsForTheMaskAndKeepsTheRequest) {
    t.load(0x4000, {0x50, 0xEF, 0xFF,   // BLDSP $EFFF
                    0xF0, 0x50, 0x00,   // BLDIV $5000
                    0x00,               // NOP: the request arrives here, masked
                    0x08,               // SETIM drops it again
                    0x00,               // NOP
                    0xC1, 0x40, 0x06}); // JMP [$4006]
    t.load(0x5000, {0xC1, 0x00, 0x00}); // JMP [$0000]
    int yields_at_request = -1;
    t.ui.on_yield = [&] {
        if (yields_at_request < 0 && t.cpu().program_counter == 0x4006) {
            yields_at_request = t.ui.yields;
            t.machine.raise_interrupt();
        }
        if (t.cpu().program_counter == 0x4008 && t.cpu().flag_i == 1 &&
            t.cpu().interrupt_request == 0) {
            t.machine.raise_interrupt(); // again, now unmasked
        }
    };
    t.enter_run_loop(MachineMode::Run, 1000);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset); // reached $5000, then 0
    EXPECT_EQ(t.cpu().flag_i, 0);
}

TEST_F(RunLoop, BreakpointStopsBeforeItsInstructionAndRunResumesThere) {
    t.load(0x4000, {0x80, 0x80, 0x80, 0x80, 0xC1, 0x00, 0x00}); // INCA x4, JMP [$0000]
    t.machine.set_breakpoint(0x4000, true); // the first instruction after Run ignores it
    t.machine.set_breakpoint(0x4002, true);
    t.machine.window_opened(MachineWindow::MemoryWalker, true);
    t.ui.wait_actions.push_back([&] {
        EXPECT_EQ(t.machine.status.machine_mode, MachineMode::Idle);
        EXPECT_EQ(t.cpu().accumulator, 2);
        EXPECT_EQ(t.cpu().program_counter, 0x4002);
        EXPECT_EQ(t.cell(0x4002).marker, kMarkerCurrent);
        EXPECT_TRUE(has_call(t, "walker_text 16386 1 ' >>'"));
        EXPECT_TRUE(has_call(t, "key_colour 2 255"));
        EXPECT_TRUE(has_call(t, "key_colour 3 600"));
        EXPECT_TRUE(has_call(t, "key_enabled 3 1"));
        press(MachineMode::Run);
    });
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.ui.waits, 1);
    EXPECT_EQ(t.cpu().accumulator, 0); // reset after the run ended at 0
    EXPECT_EQ(t.cell(0x4002).marker, 0);
    EXPECT_TRUE(has_call(t, "walker_text 16386 1 ' '"));
}

TEST_F(RunLoop, StepMovesTheMarkerOneInstructionAtATime) {
    t.load(0x4000, {0x80, 0x90, 0x05, 0x80, 0xC1, 0x00, 0x00});
    t.machine.window_opened(MachineWindow::MemoryWalker, true);
    t.ui.wait_actions.push_back([&] {
        EXPECT_EQ(t.cpu().program_counter, 0x4001);
        EXPECT_EQ(t.cell(0x4001).marker, kMarkerCurrent);
        EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::Stopped);
        press(MachineMode::Step);
    });
    t.ui.wait_actions.push_back([&] {
        EXPECT_EQ(t.cpu().accumulator, 5);
        EXPECT_EQ(t.cell(0x4001).marker, 0);
        EXPECT_EQ(t.cell(0x4003).marker, kMarkerCurrent);
        EXPECT_TRUE(has_call(t, "walker_text 16385 1 ' '"));
        EXPECT_TRUE(has_call(t, "walker_text 16387 1 ' >>'"));
        EXPECT_TRUE(has_call(t, "walker_top 16387"));
        press(MachineMode::Reset);
    });
    t.enter_run_loop(MachineMode::Step);
    EXPECT_EQ(t.cell(0x4003).marker, 0);
    // Reset while stopped after a step narrates the hard reset.
    EXPECT_TRUE(logged(t, {kMsgHardReset, kMsgCpuReset, kMsgRegistersMustBeReloaded, 0}));
    EXPECT_TRUE(logged(t, {kMsgNone, kMsgPressStepOrRun, kMsgNone, 0}));
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
}

TEST_F(RunLoop, ResetWhileRunningNarratesNothing) {
    t.load(0x4000, {0xC1, 0x40, 0x00}); // JMP [$4000]
    t.ui.on_yield = [&] {
        if (t.ui.yields == 50) {
            press(MachineMode::Reset);
        }
    };
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
    EXPECT_FALSE(logged(t, {kMsgHardReset, kMsgCpuReset, kMsgRegistersMustBeReloaded, 0}));
}

TEST_F(RunLoop, StateMachineErrorEndsInHardReset) {
    t.load(0x4000, {0x80, 0x13}); // INCA, undefined
    t.enter_run_loop(MachineMode::Run);
    ASSERT_EQ(t.ui.boxes.size(), 1u);
    EXPECT_EQ(t.ui.boxes[0].text, state_machine_error_text(8, 0x4001));
    EXPECT_EQ(t.cpu().accumulator, 0);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
}

TEST_F(RunLoop, InterruptWithoutVectorOrStackIsAnError) {
    struct Case {
        std::vector<int32_t> setup;
        int16_t reason;
    };
    const std::vector<Case> cases{
        {{0x50, 0xEF, 0xFF, 0x00, 0x00, 0x00}, 9},  // SP loaded, no vector
        {{0xF0, 0x50, 0x00, 0x00, 0x00, 0x00}, 10}, // vector loaded, no stack
    };
    for (const Case& c : cases) {
        TestMachine m;
        m.power_on();
        for (size_t i = 0; i < c.setup.size(); ++i) {
            m.cell(0x4000 + static_cast<int32_t>(i)).value = c.setup[i];
        }
        m.load(0x4006, {0x08, 0xC1, 0x40, 0x07}); // SETIM, JMP [$4007]
        m.ui.on_yield = [&m] { m.machine.raise_interrupt(); };
        m.enter_run_loop(MachineMode::Run);
        ASSERT_EQ(m.ui.boxes.size(), 1u) << c.reason;
        EXPECT_NE(m.ui.boxes[0].text.find(state_machine_error_text(c.reason, 0).substr(42)),
                  std::string::npos);
        EXPECT_EQ(m.machine.status.run_sub_state, RunSubState::AfterReset);
    }
}

TEST_F(RunLoop, InterruptInStepIsServedBeforeTheWait) {
    t.load(0x4000, {0x50, 0xEF, 0xFF, 0xF0, 0x50, 0x00, 0x08, 0x00});
    t.load(0x5000, {0x90, 0x99});
    t.ui.wait_actions.push_back([&] { press(MachineMode::Step); }); // BLDSP done
    t.ui.wait_actions.push_back([&] { press(MachineMode::Step); }); // BLDIV done
    t.ui.wait_actions.push_back([&] {                               // SETIM done
        t.machine.raise_interrupt();
        press(MachineMode::Step);
    });
    t.ui.wait_actions.push_back([&] { // NOP done, then the interrupt was served
        EXPECT_EQ(t.cpu().program_counter, 0x5000);
        EXPECT_EQ(t.cpu().flag_i, 0);
        press(MachineMode::Step);
    });
    t.ui.wait_actions.push_back([&] {
        EXPECT_EQ(t.cpu().accumulator, 0x99);
        t.switch_off();
    });
    t.enter_run_loop(MachineMode::Step);
    EXPECT_EQ(t.ui.waits, 5);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::Stopped); // switched off, no reset
}

TEST_F(RunLoop, InterruptServiceIsNarratedInStep) {
    t.load(0x4000, {0x50, 0xEF, 0xFF, 0xF0, 0x50, 0x00, 0x08, 0x00});
    t.machine.window_opened(MachineWindow::MessageWindow, true);
    t.ui.wait_actions.push_back([&] { press(MachineMode::Step); });
    t.ui.wait_actions.push_back([&] { press(MachineMode::Step); });
    t.ui.wait_actions.push_back([&] {
        t.machine.raise_interrupt();
        press(MachineMode::Step);
    });
    t.ui.wait_actions.push_back([&] { t.switch_off(); });
    t.enter_run_loop(MachineMode::Step);
    EXPECT_TRUE(logged(t, {kMsgServiceInterrupt, kMsgSpGivesAddress, kMsgStackGrowsDown, 0xEFFF}));
    EXPECT_TRUE(logged(t, {kMsgNone, kMsgPcFromVector, kMsgPcPointsAt, 0x5000}));
}

TEST_F(RunLoop, PowerOffEndsTheLoopWithoutReset) {
    t.load(0x4000, {0xC1, 0x40, 0x00});
    t.ui.on_yield = [&] {
        if (t.ui.yields == 20) {
            t.switch_off();
        }
    };
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::Running);
    EXPECT_FALSE(t.machine.in_run_loop());
}

TEST_F(RunLoop, ASecondRunLoopIsNeverNested) {
    t.load(0x4000, {0x80, 0xC1, 0x40, 0x00}); // INCA, JMP [$4000]
    int nested_calls = 0;
    t.ui.on_yield = [&] {
        EXPECT_TRUE(t.machine.in_run_loop());
        if (nested_calls < 3) {
            ++nested_calls;
            const int32_t a = t.cpu().accumulator;
            t.machine.Maincpu(); // returns at once
            EXPECT_EQ(t.cpu().accumulator, a);
        }
        if (t.ui.yields > 40) {
            t.switch_off();
        }
    };
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(nested_calls, 3);
}

TEST_F(RunLoop, HaltWaitsWithoutSpinningUntilAnInterrupt) {
    t.load(0x4000, {0x50, 0xEF, 0xFF, 0xF0, 0x50, 0x00, 0x08, 0x01, 0xC1, 0x00, 0x00});
    t.load(0x5000, {0x90, 0x33, 0xC7});
    t.ui.wait_actions.push_back([] {});
    t.ui.wait_actions.push_back([&] { t.machine.raise_interrupt(); });
    t.enter_run_loop(MachineMode::Run);
    EXPECT_EQ(t.ui.waits, 2);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset); // went on to JMP 0
}

TEST_F(RunLoop, RunningOffTheTopOfMemoryResets) {
    t.load(0x4000, {0xC1, 0xEF, 0xFF}); // JMP [$EFFF]
    t.cell(0xEFFF).value = 0x00;        // NOP, then the ports and beyond
    t.enter_run_loop(MachineMode::Run, 1000);
    EXPECT_EQ(t.machine.status.run_sub_state, RunSubState::AfterReset);
}

TEST(SpeedDelay, CountsBelowOneRunNoRounds) {
    Machine::speed_delay(0.0);
    Machine::speed_delay(0.5);
    Machine::speed_delay(-3.0);
    Machine::speed_delay(1000.0);
    SUCCEED();
}

} // namespace
} // namespace tallyrig::testing

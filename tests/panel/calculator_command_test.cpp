#include "core/text_helpers.h"
#include "tests/panel/panel_fixture.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <string_view>

namespace tallyrig::testing {
namespace {

const std::string kDashes(23, '-');

class CalculatorCommands : public RunningPanelTest {
protected:
    bool called(const std::string& call) const {
        return std::find(ui.calls.begin(), ui.calls.end(), call) != ui.calls.end();
    }
    // Whether `call` comes after `earlier` in the recorded calls.
    bool called_after(const std::string& earlier, const std::string& call) const {
        const auto first = std::find(ui.calls.begin(), ui.calls.end(), earlier);
        return first != ui.calls.end() && std::find(first, ui.calls.end(), call) != ui.calls.end();
    }
    std::string display() const { return panel->display_text().toStdString(); }
    void expect_keys(uint32_t reset, uint32_t step, uint32_t run) {
        EXPECT_EQ(panel->key_caption_colour(PanelKey::Reset), reset);
        EXPECT_EQ(panel->key_caption_colour(PanelKey::Step), step);
        EXPECT_EQ(panel->key_caption_colour(PanelKey::Run), run);
    }
    void open_walker_and_ports() {
        machine.window_opened(MachineWindow::MemoryWalker, true);
        machine.window_opened(MachineWindow::IoPort, true);
    }
};

TEST_F(CalculatorCommands, CreatingThePanelLabelsTheKeysAndSwitchesTheLedsOff) {
    EXPECT_EQ(buttons.calculator_loaded, 1);
    EXPECT_EQ(panel->programmable_key(1)->text(), "0");
    EXPECT_EQ(panel->programmable_key(61)->text(), "CLEAR");
    EXPECT_EQ(panel->programmable_key(61)->toolTip(), "Clear the display (code $10)");
    EXPECT_EQ(panel->programmable_key_colour(61), 0xFF0000u); // blue, a control key
    EXPECT_EQ(panel->programmable_key_colour(25), 0xFFu);     // red "+"
    for (int led = 1; led <= 6; ++led) {
        EXPECT_FALSE(panel->led_lit(led));
    }
    EXPECT_EQ(panel->function_key(PanelKey::Power)->text(), "On/Off");
    EXPECT_EQ(machine.status.power_on, 0);
    panel->close();
    EXPECT_EQ(buttons.calculator_loaded, 0);
}

TEST_F(CalculatorCommands, CreatingThePanelDoesNotYield) {
    // A command handled in a yield could otherwise build a second panel before the first is
    // stored by its owner.
    const int before = ui.yields;
    Calculator second(machine, buttons, root.folders, devices, terminal, workbench);
    EXPECT_EQ(ui.yields, before);
    for (int led = 1; led <= kStatusLedCount; ++led) {
        EXPECT_EQ(second.led_colour(led), kLedDark) << led;
    }
}

TEST_F(CalculatorCommands, MissingKeyFileLabelsFromTheTableAsItIs) {
    TempInstall empty;
    ButtonDefinitions blank;
    Calculator bare(machine, blank, empty.folders, devices, terminal, workbench);
    for (int n = 1; n <= 70; ++n) {
        EXPECT_TRUE(bare.programmable_key(n)->text().isEmpty());
        EXPECT_EQ(bare.programmable_key_colour(n), 0u);
    }
}

TEST_F(CalculatorCommands, ControlsSitAtTheirPlaces) {
    // Twips at 15 to the pixel.
    EXPECT_EQ(panel->programmable_key(1)->geometry(), QRect(24, 272, 33, 33));
    EXPECT_EQ(panel->programmable_key(30)->geometry(), QRect(224, 112, 33, 33));
    EXPECT_EQ(panel->programmable_key(31)->geometry(), QRect(304, 272, 33, 33));
    EXPECT_EQ(panel->programmable_key(60)->geometry(), QRect(504, 112, 33, 33));
    EXPECT_EQ(panel->programmable_key(61)->geometry(), QRect(32, 80, 57, 25));
    EXPECT_EQ(panel->programmable_key(70)->geometry(), QRect(472, 80, 57, 25));
    EXPECT_EQ(panel->programmable_key(67)->geometry(), QRect(288, 312, 57, 33));
    EXPECT_EQ(panel->programmable_key(65)->geometry(), QRect(480, 312, 57, 33));
    EXPECT_EQ(panel->function_key(PanelKey::Run)->geometry(), QRect(216, 312, 57, 33));
    const auto* led1 = panel->findChild<QWidget*>("LED1");
    const auto* led6 = panel->findChild<QWidget*>("LED6");
    ASSERT_TRUE(led1 && led6);
    EXPECT_EQ(led1->geometry(), QRect(448, 88, 17, 17));
    EXPECT_EQ(led6->geometry(), QRect(8, 88, 17, 17));
    const auto* display = panel->findChild<QWidget*>("Main_Display");
    ASSERT_TRUE(display);
    EXPECT_TRUE(display->font().bold());
    EXPECT_TRUE(display->font().fixedPitch());
    EXPECT_LE(display->font().pointSizeF(), 27.75);
    EXPECT_GT(display->font().pointSizeF(), 20.0);
    panel->display_dashes();
    EXPECT_LE(QFontMetrics(display->font()).horizontalAdvance(panel->display_text()),
              display->width());
}

TEST_F(CalculatorCommands, SwitchingOnResetsTheMachineAndLightsThePanel) {
    open_walker_and_ports();
    value(0x4000) = 0x12;
    machine.cpu.program_counter = 0x4321;
    machine.cpu.accumulator = 5;
    machine.cpu.flag_c = machine.cpu.interrupt_request = 1;
    machine.cpu.jsr_depth = 3;
    machine.cpu.stack_pointer_loaded = kTrue;
    press("Power");
    EXPECT_EQ(machine.cpu.program_counter, 0);
    EXPECT_EQ(machine.cpu.accumulator, 0);
    EXPECT_EQ(machine.cpu.flag_c, 0);
    EXPECT_EQ(machine.cpu.interrupt_request, 0);
    EXPECT_EQ(machine.cpu.jsr_depth, 0);
    EXPECT_EQ(machine.cpu.stack_pointer_loaded, 0);
    EXPECT_EQ(machine.status.power_on, 1);
    EXPECT_EQ(panel->power_switch_state(), 1);
    EXPECT_EQ(machine.status.machine_mode, MachineMode::Reset);
    EXPECT_EQ(machine.status.run_sub_state, RunSubState::AfterReset);
    EXPECT_EQ(value(kKeypadPort), 255);
    EXPECT_EQ(value(0x4000), 256);
    EXPECT_EQ(display(), kDashes);
    for (int led = 1; led <= 6; ++led) {
        EXPECT_TRUE(panel->led_lit(led));
    }
    EXPECT_EQ(panel->key_caption_colour(PanelKey::Power), kColourDarkGreen);
    expect_keys(kColourRed, kColourDarkRed, kColourDarkRed);
    EXPECT_TRUE(called("show_mode_status"));
    EXPECT_TRUE(called("walker_colour 16777215"));
    EXPECT_TRUE(called("update_memory_walker 16384 250"));
    EXPECT_TRUE(called("walker_refresh"));
    // The CPU reset refreshes the I/O port window before the mode is RESET; the power-on
    // refreshes it again once it is.
    EXPECT_TRUE(called_after("show_mode_status", "update_ioport_display"));
}

TEST_F(CalculatorCommands, SwitchingOnWithTheWindowsClosedLeavesThemAlone) {
    press("Power");
    EXPECT_FALSE(called("walker_colour 16777215"));
    EXPECT_FALSE(called("walker_refresh"));
    EXPECT_FALSE(called_after("show_mode_status", "update_ioport_display"));
}

TEST_F(CalculatorCommands, SwitchingOffClearsBreakpointsBlanksAndBlackensTheKeys) {
    press("Power");
    machine.window_opened(MachineWindow::MemoryWalker, true);
    machine.set_breakpoint(0x4005, true);
    machine.set_breakpoint(0x0010, true);
    load(0x4000, {0x12, 0x34});
    value(0xFFFF) = 0x56;
    ui.calls.clear();
    press("Power");
    EXPECT_EQ(value(0x4000), kUndefinedValue);
    EXPECT_EQ(value(0x4001), kUndefinedValue);
    EXPECT_EQ(value(0xFFFF), kUndefinedValue);
    EXPECT_EQ(machine.status.power_on, 0);
    EXPECT_EQ(panel->power_switch_state(), 0);
    EXPECT_EQ(machine.status.machine_mode, MachineMode::PowerOff);
    EXPECT_EQ(machine.memory_cells[0x4005].breakpoint, 0);
    EXPECT_EQ(machine.memory_cells[0x0010].breakpoint, 0);
    EXPECT_EQ(display(), " ");
    for (int led = 1; led <= 6; ++led) {
        EXPECT_FALSE(panel->led_lit(led));
    }
    for (PanelKey key : {PanelKey::Power, PanelKey::Reset, PanelKey::Step, PanelKey::Run}) {
        EXPECT_EQ(panel->key_caption_colour(key), 0u);
        EXPECT_TRUE(panel->key_enabled(key));
    }
    EXPECT_TRUE(called("walker_colour " + std::to_string(0xE0E0E0)));
    const auto cleared = std::count_if(ui.calls.begin(), ui.calls.end(), [](const std::string& c) {
        return c.rfind("walker_text ", 0) == 0 && c.find(" 0 ''") != std::string::npos;
    });
    EXPECT_EQ(cleared, 65536);
}

TEST_F(CalculatorCommands, ResetWithThePowerOffOnlySwitchesTheLedsOff) {
    panel->leds_all_on();
    press("Reset");
    for (int led = 1; led <= 6; ++led) {
        EXPECT_FALSE(panel->led_lit(led));
    }
    EXPECT_EQ(machine.status.machine_mode, MachineMode::None);
    expect_keys(0, 0, 0);
}

TEST_F(CalculatorCommands, StepAndRunWithThePowerOffDoNothing) {
    for (const char* command : {"Step", "Run"}) {
        press(command);
        EXPECT_EQ(machine.status.machine_mode, MachineMode::None) << command;
        EXPECT_EQ(machine.cpu.program_counter, 0) << command;
        expect_keys(0, 0, 0);
        EXPECT_TRUE(panel->key_enabled(PanelKey::Run));
    }
}

TEST_F(CalculatorCommands, ResetWithThePowerOnRedsTheResetKey) {
    press("Power");
    open_walker_and_ports();
    value(kKeypadPort) = 7;
    panel->set_key_enabled(PanelKey::Run, false);
    ui.calls.clear();
    press("Reset");
    EXPECT_EQ(machine.status.machine_mode, MachineMode::Reset);
    expect_keys(kColourRed, kColourDarkRed, kColourDarkRed);
    EXPECT_TRUE(panel->key_enabled(PanelKey::Run));
    EXPECT_TRUE(panel->key_enabled(PanelKey::Step));
    EXPECT_EQ(value(kKeypadPort), 255);
    EXPECT_TRUE(called("walker_colour 16777215"));
    EXPECT_TRUE(called("walker_top 16384"));
    EXPECT_TRUE(called("update_memory_walker 16384 300"));
}

// What Step and Run do to the walker, seen from inside the wait after a first step, before
// the run loop acts on the new mode.
TEST_F(CalculatorCommands, StepAndRunGreyTheWalkerAndStepShowsWhereItGoesOn) {
    press("Power");
    load(0x4000, {kLdaImmediate, 1, kLdaImmediate, 2, kLdaImmediate, 3});
    machine.window_opened(MachineWindow::MemoryWalker, true);
    const std::string grey = "walker_colour " + std::to_string(0xE0E0E0);
    ui.wait_actions.push_back([&] {
        ui.calls.clear();
        panel->set_key_enabled(PanelKey::Reset, false);
        press("Step");
        EXPECT_TRUE(panel->key_enabled(PanelKey::Reset));
        EXPECT_EQ(ui.calls, (std::vector<std::string>{grey, "walker_top 16386",
                                                      "update_memory_walker 16386 250"}));
        expect_keys(kColourDarkRed, kColourRed, kColourDarkRed);
    });
    ui.wait_actions.push_back([&] {
        ui.calls.clear();
        panel->set_key_enabled(PanelKey::Reset, false);
        press("Run");
        EXPECT_TRUE(panel->key_enabled(PanelKey::Reset));
        EXPECT_EQ(ui.calls, std::vector<std::string>{grey});
        expect_keys(kColourDarkRed, kColourDarkRed, kColourRed);
        press("Reset");
    });
    press("Step");
    EXPECT_EQ(ui.waits, 2);
    EXPECT_FALSE(machine.in_run_loop());
}

TEST_F(CalculatorCommands, FirstStepEntersTheLoopAtTheProgramStartAndLaterStepsOnlyStep) {
    press("Power");
    load(0x4000, {kLdaImmediate, 1, kLdaImmediate, 2, kLdaImmediate, 3});
    ui.wait_actions.push_back([this] {
        EXPECT_EQ(machine.cpu.accumulator, 1);
        EXPECT_TRUE(machine.in_run_loop());
        expect_keys(kColourDarkRed, kColourRed, kColourDarkRed);
        press("Step");
    });
    ui.wait_actions.push_back([this] {
        EXPECT_EQ(machine.cpu.accumulator, 2);
        EXPECT_EQ(machine.cpu.program_counter, 0x4004);
        press("Reset");
    });
    press("Step");
    EXPECT_FALSE(machine.in_run_loop());
    EXPECT_EQ(ui.waits, 2);
    EXPECT_EQ(machine.status.run_sub_state, RunSubState::AfterReset);
    EXPECT_EQ(machine.status.machine_mode, MachineMode::Reset);
}

// Step pressed in the first yield of the IDLE wait, where the wait shows its own STEP.
TEST_F(CalculatorCommands, StepDuringTheIdleWaitsFirstYieldStepsAgain) {
    press("Power");
    load(0x4000, {kLdaImmediate, 1, kLdaImmediate, 2, kLdaImmediate, 3});
    int presses = 0;
    user_yield = [&] {
        if (presses == 0 && machine.cpu.accumulator == 1 &&
            machine.status.run_sub_state == RunSubState::Stopped) {
            ++presses;
            press("Step");
        }
    };
    ui.wait_actions.push_back([this] {
        EXPECT_EQ(machine.cpu.accumulator, 2); // the press stepped without a wait
        press("Reset");
    });
    press("Step");
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(ui.waits, 1);
}

// Step or Run pressed while the first step after a reset runs: the press takes effect in the
// loop that is running, which starts no second loop.
TEST_F(CalculatorCommands, StepOrRunDuringTheFirstStepTakesEffect) {
    for (const char* again : {"Step", "Run"}) {
        SCOPED_TRACE(again);
        if (machine.status.power_on == 0) {
            press("Power");
        }
        load(0x4000, {kLdaImmediate, 1, kStaAbsolute, 0x50, 0x00, kJmpAbsolute, 0, 0});
        machine.memory_cells[0x5000].value = 0;
        const bool run = std::string_view(again) == "Run";
        int presses = 0;
        user_yield = [&] {
            if (presses == 0 && machine.in_run_loop() &&
                machine.status.run_sub_state == RunSubState::AfterReset) {
                ++presses;
                panel->set_key_enabled(PanelKey::Reset, false);
                press(again);
                EXPECT_TRUE(panel->key_enabled(PanelKey::Reset));
                EXPECT_EQ(panel->key_enabled(PanelKey::Run), !run);
                expect_keys(kColourDarkRed, run ? kColourDarkRed : kColourRed,
                            run ? kColourRed : kColourDarkRed);
            }
        };
        // Step waits after one instruction; Run goes on to the store and the jump to 0.
        ui.wait_actions.push_back([this] {
            EXPECT_EQ(machine.cpu.accumulator, 1);
            press("Reset");
        });
        const int waits = ui.waits;
        press("Step");
        EXPECT_EQ(presses, 1);
        EXPECT_EQ(ui.waits - waits, run ? 0 : 1);
        EXPECT_EQ(machine.memory_cells[0x5000].value, run ? 1 : 0);
        EXPECT_FALSE(machine.in_run_loop());
        ui.wait_actions.clear();
    }
}

// A press during the yields of a loop leaving for a reset, before the CPU is reset and after:
// the loop starts again from the program start once it has ended.
TEST_F(CalculatorCommands, StepOrRunWhileTheLoopLeavesForAResetStartsItAgain) {
    for (const char* again : {"Step", "Run"}) {
        for (const RunSubState exit_state : {RunSubState::Stopped, RunSubState::AfterReset}) {
            SCOPED_TRACE(std::string(again) +
                         (exit_state == RunSubState::Stopped ? " early" : " last"));
            if (machine.status.power_on == 0) {
                press("Power");
            }
            load(0x4000, {kLdaImmediate, 1, kStaAbsolute, 0x50, 0x00, kJmpAbsolute, 0, 0});
            const bool run = std::string_view(again) == "Run";
            int presses = 0;
            user_yield = [&] {
                if (presses == 0 && machine.in_run_loop() &&
                    machine.status.machine_mode == MachineMode::Reset &&
                    machine.status.run_sub_state == exit_state) {
                    ++presses;
                    machine.memory_cells[0x5000].value = 0;
                    press(again);
                    EXPECT_EQ(machine.status.machine_mode,
                              run ? MachineMode::Run : MachineMode::Step);
                }
            };
            ui.wait_actions.push_back([this] { press("Reset"); }); // after the first step
            ui.wait_actions.push_back([this] {                     // after the press's step
                EXPECT_EQ(machine.cpu.program_counter, 0x4002);
                EXPECT_EQ(machine.cpu.accumulator, 1);
                press("Reset");
            });
            const int waits = ui.waits;
            press("Step");
            user_yield = nullptr;
            EXPECT_EQ(presses, 1);
            EXPECT_EQ(ui.waits - waits, run ? 1 : 2);
            EXPECT_EQ(machine.memory_cells[0x5000].value, run ? 1 : 0);
            EXPECT_FALSE(machine.in_run_loop());
            EXPECT_EQ(machine.status.machine_mode, MachineMode::Reset);
            ui.wait_actions.clear();
        }
    }
}

TEST_F(CalculatorCommands, RunDisablesRunAndShowsTheProgramsOutput) {
    press("Power");
    load(0x4000, {kLdaImmediate, 'A', kStaAbsolute, 0xF0, 0x31, kLdaImmediate, 'B', kStaAbsolute,
                  0xF0, 0x31, kLdaImmediate, 0x21, kStaAbsolute, 0xF0, 0x32, kJmpAbsolute, 0, 0});
    bool run_disabled_while_running = false;
    user_yield = [&] {
        if (machine.in_run_loop()) {
            run_disabled_while_running = !panel->key_enabled(PanelKey::Run);
        }
    };
    press("Run");
    EXPECT_TRUE(run_disabled_while_running);
    EXPECT_FALSE(machine.in_run_loop());
    EXPECT_EQ(machine.status.machine_mode, MachineMode::Reset); // the jump to 0 resets
    EXPECT_EQ(display(), std::string(21, '-') + "AB");
    EXPECT_TRUE(panel->led_lit(1));
    EXPECT_TRUE(panel->led_lit(6));
    for (int led = 2; led <= 5; ++led) {
        EXPECT_FALSE(panel->led_lit(led));
    }
}

TEST_F(CalculatorCommands, ResetOrPowerOffWhileRunningEndsTheLoop) {
    for (const char* stop : {"Reset", "Power"}) {
        SCOPED_TRACE(stop);
        if (machine.status.power_on == 0) {
            press("Power");
        }
        load(0x4000, {kJmpAbsolute, 0x40, 0x00});
        int yields = 0;
        user_yield = [&] {
            if (++yields == 500) {
                press(stop);
            }
        };
        press("Run");
        user_yield = nullptr;
        EXPECT_FALSE(machine.in_run_loop());
        EXPECT_GE(yields, 500);
        EXPECT_LT(yields, 1000);
    }
    EXPECT_EQ(machine.status.machine_mode, MachineMode::PowerOff);
}

TEST_F(CalculatorCommands, ProgrammableKeysWithThePowerOffOnlyComplain) {
    for (int n = 1; n <= 70; ++n) {
        value(kKeypadPort) = 77;
        press(std::to_string(n).c_str());
        EXPECT_EQ(value(kKeypadPort), 77) << n;
    }
    ASSERT_EQ(ui.boxes.size(), 70u);
    for (const RecordedBox& box : ui.boxes) {
        EXPECT_EQ(box.text, "You need to load and run a program for the buttons to work");
        EXPECT_EQ(box.title, "Tallyrig Error");
        EXPECT_EQ(box.icon, MessageIcon::Information);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
}

TEST_F(CalculatorCommands, ProgrammableKeysStoreTheirCodeInTheKeypadPort) {
    press("Power");
    for (int n = 1; n <= 70; ++n) {
        press(std::to_string(n).c_str());
        EXPECT_EQ(value(kKeypadPort), buttons.records[static_cast<std::size_t>(n)].code) << n;
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CalculatorCommands, KeysElevenToSeventyShowThemselvesInTheIoPortWindow) {
    press("Power");
    machine.window_opened(MachineWindow::IoPort, true);
    buttons.records[12].code = 10;
    buttons.records[12].annotation = " AB  ";
    press("12");
    EXPECT_EQ(ui.io_button, "$0A");
    EXPECT_EQ(ui.io_annotation, "AB");
    press("5");
    EXPECT_EQ(value(kKeypadPort), buttons.records[5].code);
    EXPECT_EQ(ui.io_button, "$0A");
    EXPECT_EQ(ui.io_annotation, "AB");
    machine.window_opened(MachineWindow::IoPort, false);
    press("40");
    EXPECT_EQ(ui.io_button, "$0A");
}

TEST_F(CalculatorCommands, KeyCodesBeyondAByteStoreTheirLowByte) {
    press("Power");
    buttons.records[33].code = 0x141;
    buttons.records[34].code = -1;
    press("33");
    EXPECT_EQ(value(kKeypadPort), 0x41);
    press("34");
    EXPECT_EQ(value(kKeypadPort), 0xFF);
}

TEST_F(CalculatorCommands, OtherCommandTextsAreIgnored) {
    press("Power");
    value(kKeypadPort) = 99;
    const auto calls = ui.calls.size();
    for (const char* text : {"power", "POWER", "", "0", "71", "01", " 1", "1 ", "+1", "Apply"}) {
        press(text);
    }
    EXPECT_EQ(value(kKeypadPort), 99);
    EXPECT_EQ(ui.calls.size(), calls);
    EXPECT_EQ(machine.status.power_on, 1);
}

TEST_F(CalculatorCommands, ClicksPassTheKeysCommands) {
    panel->show();
    QTest::mouseClick(panel->function_key(PanelKey::Power), Qt::LeftButton);
    EXPECT_EQ(machine.status.power_on, 1);
    QTest::mouseClick(panel->programmable_key(61), Qt::LeftButton);
    EXPECT_EQ(value(kKeypadPort), buttons.records[61].code);
    EXPECT_EQ(buttons.edit_button_index, 0); // a left click opens no editor
    QTest::mouseClick(panel->function_key(PanelKey::Reset), Qt::LeftButton);
    EXPECT_EQ(value(kKeypadPort), 255);
}

void send_mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF inside(5, 5);
    QMouseEvent event(type, inside, target->mapToGlobal(inside), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

TEST_F(CalculatorCommands, RightButtonOpensTheKeyEditor) {
    panel->show();
    send_mouse(panel->programmable_key(12), QEvent::MouseButtonPress, Qt::RightButton,
               Qt::RightButton);
    EXPECT_EQ(buttons.edit_button_index, 12);
    send_mouse(panel->programmable_key(69), QEvent::MouseButtonPress, Qt::MiddleButton,
               Qt::MiddleButton);
    EXPECT_EQ(buttons.edit_button_index, 12);
    // Key 70 opens its editor on the press like the others, and on a move with the right
    // button held as well.
    send_mouse(panel->programmable_key(70), QEvent::MouseButtonPress, Qt::RightButton,
               Qt::RightButton);
    EXPECT_EQ(buttons.edit_button_index, 70);
    send_mouse(panel->programmable_key(12), QEvent::MouseButtonPress, Qt::RightButton,
               Qt::RightButton);
    send_mouse(panel->programmable_key(70), QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(buttons.edit_button_index, 12);
    send_mouse(panel->programmable_key(70), QEvent::MouseMove, Qt::NoButton, Qt::RightButton);
    EXPECT_EQ(buttons.edit_button_index, 70);
    EXPECT_EQ(machine.status.power_on, 0); // nothing was clicked
}

} // namespace
} // namespace tallyrig::testing

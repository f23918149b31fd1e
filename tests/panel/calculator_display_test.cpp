#include "tests/panel/panel_fixture.h"

#include <QSignalSpy>

namespace tallyrig::testing {
namespace {

class CalculatorDisplay : public PanelTest {
protected:
    std::string display() const { return panel->display_text().toStdString(); }
    void write(const char* text) { panel->display_character(text, 0); }
    std::vector<bool> leds() const {
        std::vector<bool> lit;
        for (int led = 1; led <= 6; ++led) {
            lit.push_back(panel->led_lit(led));
        }
        return lit;
    }
};

TEST_F(CalculatorDisplay, CharactersShiftInFromTheRight) {
    write("Clear");
    EXPECT_EQ(display(), std::string(23, ' '));
    write("A");
    write("B");
    write("C");
    EXPECT_EQ(display(), std::string(20, ' ') + "ABC");
    for (char c = 'D'; c <= 'Z'; ++c) {
        write(std::string(1, c).c_str());
        EXPECT_EQ(display().size(), 23u);
    }
    EXPECT_EQ(display(), "DEFGHIJKLMNOPQRSTUVWXYZ");
}

TEST_F(CalculatorDisplay, BackMovesTheTextRight) {
    write("Clear");
    write("A");
    write("B");
    write("C");
    write("Back");
    EXPECT_EQ(display(), std::string(21, ' ') + "AB");
    panel->display_blank();
    write("Back");
    EXPECT_EQ(display(), " ");
}

TEST_F(CalculatorDisplay, BellLeavesDisplayAndLedsButReachesTheIoPortWindow) {
    panel->display_dashes();
    panel->set_status_leds(0x05);
    machine.window_opened(MachineWindow::IoPort, true);
    QSignalSpy written(panel.get(), &Calculator::ioport_display_written);
    panel->display_character("Bell", 17);
    EXPECT_EQ(display(), std::string(23, '-'));
    EXPECT_EQ(leds(), (std::vector<bool>{true, false, true, false, false, false}));
    ASSERT_EQ(written.count(), 1);
    EXPECT_EQ(written[0][0].toString(), "$11");
    EXPECT_EQ(written[0][1].toString(), "Bell");
}

TEST_F(CalculatorDisplay, IoPortWindowEchoesOnlyWhileOpen) {
    QSignalSpy written(panel.get(), &Calculator::ioport_display_written);
    panel->display_character("A", 10);
    EXPECT_EQ(written.count(), 0);
    machine.window_opened(MachineWindow::IoPort, true);
    panel->display_character("A", 10);
    panel->display_character("7", 7);
    ASSERT_EQ(written.count(), 2);
    EXPECT_EQ(written[0][0].toString(), "$A");
    EXPECT_EQ(written[1][0].toString(), "$7");
    EXPECT_EQ(written[1][1].toString(), "7");
}

// The power switched while the I/O port window's echo yields: the character lands on the
// display as the switch left it, and Back goes by the length it had before.
TEST_F(CalculatorDisplay, PowerSwitchedDuringTheEchoYield) {
    const struct {
        bool power_on_before;
        const char* text;
        std::string after;
    } cases[] = {
        {false, "C", std::string(22, '-') + "C"},
        {false, "Back", std::string(23, '-')}, // the display was empty before
        {true, "C", " C"},
        {true, "Back", " "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) +
                     (c.power_on_before ? ", switched off" : ", switched on"));
        machine.window_opened(MachineWindow::IoPort, false);
        if ((machine.status.power_on == 1) != c.power_on_before) {
            panel->command_pass("Power");
        }
        if (c.power_on_before) {
            write("Clear");
            write("A");
        } else {
            // A new panel's display is empty.
            panel = std::make_unique<Calculator>(machine, buttons, root.folders, devices, terminal,
                                                 workbench);
            ui.panel = panel.get();
        }
        machine.window_opened(MachineWindow::IoPort, true);
        bool switched = false;
        ui.on_yield = [&] {
            if (!switched) {
                switched = true;
                panel->command_pass("Power");
            }
        };
        write(c.text);
        ui.on_yield = nullptr;
        EXPECT_TRUE(switched);
        EXPECT_EQ(display(), c.after);
    }
}

TEST_F(CalculatorDisplay, StatusLedsFollowTheLowSixBits) {
    const struct {
        int byte;
        std::vector<bool> lit;
    } cases[] = {
        {0x3F, {true, true, true, true, true, true}},
        {0x40, {false, false, false, false, false, false}},
        {0x21, {true, false, false, false, false, true}},
        {0xFF, {true, true, true, true, true, true}},
        {0x02, {false, true, false, false, false, false}},
    };
    for (const auto& c : cases) {
        panel->set_status_leds(c.byte);
        EXPECT_EQ(leds(), c.lit) << c.byte;
        EXPECT_EQ(panel->led_colour(1), c.lit[0] ? 255u : 128u);
    }
}

TEST_F(CalculatorDisplay, FixedPatterns) {
    panel->leds_all_on();
    EXPECT_EQ(leds(), std::vector<bool>(6, true));
    panel->leds_all_off();
    EXPECT_EQ(leds(), std::vector<bool>(6, false));
    panel->display_dashes();
    EXPECT_EQ(display(), "-----------------------");
    panel->display_blank();
    EXPECT_EQ(display(), " ");
}

TEST_F(CalculatorDisplay, EveryOutputYieldsOnce) {
    const struct {
        const char* name;
        std::function<void()> call;
        int yields;
    } outputs[] = {
        {"display_character", [this] { write("A"); }, 1},
        {"display_character, I/O port window open",
         [this] {
             machine.window_opened(MachineWindow::IoPort, true);
             write("A");
             machine.window_opened(MachineWindow::IoPort, false);
         },
         2},
        {"set_status_leds", [this] { panel->set_status_leds(1); }, 1},
        {"leds_all_on", [this] { panel->leds_all_on(); }, 1},
        {"leds_all_off", [this] { panel->leds_all_off(); }, 1},
        {"display_dashes", [this] { panel->display_dashes(); }, 1},
        {"display_blank", [this] { panel->display_blank(); }, 1},
        {"key_sound", [this] { EXPECT_EQ(panel->key_sound(), 0); }, 1},
    };
    for (const auto& output : outputs) {
        const int before = ui.yields;
        output.call();
        EXPECT_EQ(ui.yields - before, output.yields) << output.name;
    }
}

// The bytes a program writes to the display port, as the display shows them.
struct PortCase {
    int32_t byte;
    const char* shown; // the last character of the display, or the whole display for words
};

class DisplayPort : public PanelTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(DisplayPort, ShowsTheTranslatedCharacter) {
    panel->display_dashes();
    machine.write_output_port(kCalculatorDisplayPort, GetParam().byte);
    EXPECT_EQ(machine.memory_cells[kCalculatorDisplayPort].value, GetParam().byte);
    const std::string text = panel->display_text().toStdString();
    ASSERT_EQ(text.size(), 23u);
    EXPECT_EQ(text.substr(22), GetParam().shown) << GetParam().byte;
    EXPECT_EQ(text.substr(0, 22), std::string(22, '-'));
}

INSTANTIATE_TEST_SUITE_P(Bytes, DisplayPort,
                         ::testing::Values(PortCase{0, "0"}, PortCase{9, "9"}, PortCase{48, "0"},
                                           PortCase{57, "9"}, PortCase{10, "A"}, PortCase{15, "F"},
                                           PortCase{65, "A"}, PortCase{70, "F"}, PortCase{19, "#"},
                                           PortCase{31, "#"}, PortCase{32, " "}, PortCase{127, " "},
                                           PortCase{33, "!"}, PortCase{34, "\""}, PortCase{35, "#"},
                                           PortCase{92, "\\"}, PortCase{71, "G"}, PortCase{97, "a"},
                                           PortCase{122, "z"}, PortCase{126, "~"},
                                           PortCase{128, "#"}, PortCase{255, "#"}));

TEST_F(PanelTest, DisplayPortControlBytes) {
    panel->display_dashes();
    machine.write_output_port(kCalculatorDisplayPort, 16); // Clear
    EXPECT_EQ(panel->display_text().toStdString(), std::string(23, ' '));
    machine.write_output_port(kCalculatorDisplayPort, 'H');
    machine.write_output_port(kCalculatorDisplayPort, 'I');
    machine.write_output_port(kCalculatorDisplayPort, 17); // Bell
    EXPECT_EQ(panel->display_text().toStdString(), std::string(21, ' ') + "HI");
    machine.write_output_port(kCalculatorDisplayPort, 18); // Back
    EXPECT_EQ(panel->display_text().toStdString(), std::string(22, ' ') + "H");
    machine.write_output_port(kStatusLedPort, 0x2A);
    EXPECT_FALSE(panel->led_lit(1));
    EXPECT_TRUE(panel->led_lit(2));
    EXPECT_TRUE(panel->led_lit(6));
}

} // namespace
} // namespace tallyrig::testing

#include "shell/views/io_port.h"
#include "shell/views/rdisplay.h"
#include "tests/shell/shell_fixture.h"

#include <QGroupBox>
#include <QLabel>

namespace tallyrig::testing {
namespace {

class Views : public ShellTest {
protected:
    QString reg(const char* panel) {
        settle();
        return main().register_window()->findChild<QLabel*>(panel)->text();
    }
    QString port(const char* label) {
        settle();
        return main().ioport_window()->findChild<QLabel*>(label)->text();
    }
    void open_both() {
        main().dispatch_command("Display CPU registers");
        main().dispatch_command("IOPort");
    }
};

TEST_F(Views, RegisterPlaceholdersWithThePowerOff) {
    open_both();
    for (const char* flag : {"I", "O", "N", "Z", "C"}) {
        EXPECT_EQ(reg(flag), "X") << flag;
    }
    for (const char* word : {"PC_display", "IND_display", "STACK_display", "irrupt"}) {
        EXPECT_EQ(reg(word), "$XXXX") << word;
    }
    EXPECT_EQ(reg("ACC_display"), "$XX");
    EXPECT_EQ(reg("INSTR_display"), "$XX");
}

TEST_F(Views, RegisterValuesWithThePowerOn) {
    open_both();
    press("Power");
    CpuRegisters& cpu = machine().cpu;
    cpu.program_counter = 0x4003;
    cpu.accumulator = 0x0A;
    cpu.instruction_register = 0x90;
    cpu.flag_i = 1;
    cpu.flag_c = 1;
    cpu.index_register = 0x1234;
    cpu.stack_pointer = 0xEFFE;
    cpu.interrupt_vector = 0x4100;
    app->ui().update_register_display();
    EXPECT_EQ(reg("PC_display"), "$4003");
    EXPECT_EQ(reg("ACC_display"), "$0A");
    EXPECT_EQ(reg("INSTR_display"), "$90");
    EXPECT_EQ(reg("I"), "1");
    EXPECT_EQ(reg("O"), "0");
    EXPECT_EQ(reg("C"), "1");
    // Not loaded yet.
    EXPECT_EQ(reg("IND_display"), "$XXXX");
    EXPECT_EQ(reg("STACK_display"), "$XXXX");
    EXPECT_EQ(reg("irrupt"), "$XXXX");

    cpu.index_register_loaded = kTrue;
    cpu.stack_pointer_loaded = kTrue;
    cpu.interrupt_vector_loaded = kTrue;
    app->ui().update_register_display();
    EXPECT_EQ(reg("IND_display"), "$1234");
    EXPECT_EQ(reg("STACK_display"), "$EFFE");
    EXPECT_EQ(reg("irrupt"), "$4100");
}

TEST_F(Views, RegisterWindowOpenedWithThePowerOnShowsValues) {
    press("Power");
    machine().cpu.accumulator = 0x7F;
    main().dispatch_command("Display CPU registers");
    EXPECT_EQ(main().register_window()->findChild<QLabel*>("ACC_display")->text(), "$7F");
}

TEST_F(Views, ClosedRegisterWindowIsNotPainted) {
    app->ui().update_register_display();
    settle();
    EXPECT_EQ(main().register_window(), nullptr);
}

TEST_F(Views, PortWindowHasFourGroupsUnderFourLines) {
    main().dispatch_command("IOPort");
    int lines = 0;
    for (const QFrame* frame : main().ioport_window()->findChildren<QFrame*>()) {
        lines += frame->frameShape() == QFrame::HLine ? 1 : 0;
    }
    EXPECT_EQ(lines, 4);
    EXPECT_EQ(main().ioport_window()->findChildren<QGroupBox*>().size(), 8);
}

TEST_F(Views, PortPlaceholdersWithThePowerOff) {
    open_both();
    EXPECT_EQ(port("Main_Display"), "$XX");
    EXPECT_EQ(port("Main_Display_character"), "---");
    EXPECT_EQ(port("IO_Button"), "$XX");
    EXPECT_EQ(port("IO_Button_annotation"), "---");
    EXPECT_EQ(port("LED_Display"), "---");
    EXPECT_EQ(port("LED_Display_Binary"), "XXXXXXXX");
}

TEST_F(Views, PortValuesAfterPowerOn) {
    open_both();
    press("Power");
    EXPECT_EQ(port("IO_Button"), "$FF");
    EXPECT_EQ(port("LED_Display"), "$0");
    EXPECT_EQ(port("LED_Display_Binary"), "XX000000");
    EXPECT_EQ(port("Old_IO_Button"), "$FF");

    machine().write_output_port(kStatusLedPort, 0x2A);
    app->ui().update_ioport_display();
    EXPECT_EQ(port("LED_Display"), "$2A");
    EXPECT_EQ(port("LED_Display_Binary"), "XX101010");
    machine().write_output_port(kStatusLedPort, 0xFF);
    app->ui().update_ioport_display();
    EXPECT_EQ(port("LED_Display_Binary"), "XX111111");
}

TEST_F(Views, DisplayPortAndKeysWriteTheirLabels) {
    open_both();
    press("Power");
    machine().write_output_port(kCalculatorDisplayPort, 0x0A);
    EXPECT_EQ(port("Main_Display"), "$A");
    EXPECT_EQ(port("Main_Display_character"), "A");

    app->buttons().records[12].code = 0x41;
    app->buttons().records[12].annotation = " CLR ";
    press("12");
    EXPECT_EQ(port("IO_Button"), "$41");
    EXPECT_EQ(port("IO_Button_annotation"), "CLR");
    press("5");
    EXPECT_EQ(port("IO_Button_annotation"), "CLR");
    EXPECT_EQ(app->ui().io_button_annotation(), "CLR");
    // Still on: the display labels keep their text through a refresh.
    app->ui().update_ioport_display();
    EXPECT_EQ(port("Main_Display"), "$A");
}

TEST_F(Views, OldButtonKeepsItsTextWithThePowerOff) {
    open_both();
    press("Power");
    machine().status.old_io_button_value = 0x41;
    machine().status.old_io_button_annotation = "CLR";
    app->ui().update_ioport_display();
    EXPECT_EQ(port("Old_IO_Button"), "$41");
    press("Power");
    EXPECT_EQ(port("Old_IO_Button"), "$41");
    EXPECT_EQ(port("Old_IO_Button_annotation"), "CLR");
    EXPECT_EQ(port("IO_Button"), "$XX");
}

TEST_F(Views, PowerOffThenOnWithNoEventsBetweenLeavesThePlaceholders) {
    open_both();
    press("Power");
    machine().write_output_port(kCalculatorDisplayPort, 0x0A);
    app->buttons().records[12].code = 0x41;
    app->buttons().records[12].annotation = "CLR";
    press("12");
    settle();
    press("Power");
    press("Power");
    EXPECT_EQ(port("Main_Display"), "$XX");
    EXPECT_EQ(port("Main_Display_character"), "---");
    EXPECT_EQ(port("IO_Button_annotation"), "---");
    EXPECT_EQ(port("IO_Button"), "$FF");
    EXPECT_EQ(port("LED_Display"), "$0");
}

TEST_F(Views, ModeStatusNamesEveryMode) {
    const std::vector<std::pair<MachineMode, const char*>> modes = {
        {MachineMode::Run, "RUN"},
        {MachineMode::Step, "STEP"},
        {MachineMode::Idle, "IDLE"},
        {MachineMode::Reset, "RESET"},
        {MachineMode::PowerOff, "POWER_OFF"},
        {MachineMode::None, "ERROR"},
        {static_cast<MachineMode>(9), "ERROR"},
    };
    for (const auto& [mode, text] : modes) {
        machine().status.machine_mode = mode;
        app->ui().show_mode_status();
        EXPECT_EQ(main().mode_status(), text);
    }
}

TEST_F(Views, PowerKeysWriteTheModeStatus) {
    press("Power");
    EXPECT_EQ(main().mode_status(), "RESET");
    press("Power");
    EXPECT_EQ(main().mode_status(), "POWER_OFF");
}

} // namespace
} // namespace tallyrig::testing

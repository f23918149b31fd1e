// The processor-speed dialog and the data gatherer as a user works them.
#include "core/profile.h"
#include "shell/tools/data_g.h"
#include "shell/tools/system_clock.h"
#include "tests/shell/shell_fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace tallyrig::testing {
namespace {

class SpeedDialog : public ShellTest {
protected:
    void set_speed(const char* value) {
        ASSERT_TRUE(write_profile_string(install.folders.settings_file(), "Processor_Speed",
                                         "Speed", value));
    }
    System_clock* open() {
        main().dispatch_command("System Clock");
        return main().speed_dialog();
    }
    void click(const char* button) {
        main().speed_dialog()->findChild<QPushButton*>(button)->click();
        settle();
    }
};

TEST_F(SpeedDialog, TheThumbTimesTheMultiplierIsTheDelay) {
    set_speed("1000");
    System_clock* dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Set the System Clock");
    EXPECT_EQ(dialog->clock_speed()->value(), 0); // the Fast end at start-up
    dialog->clock_speed()->setValue(3);
    click("Apply_Command");
    EXPECT_EQ(machine().status.run_delay, 3000.0);
    click("Cancel_Command");
    EXPECT_EQ(main().speed_dialog(), nullptr);

    // Each opening reads the multiplier again, and the thumb shows the delay.
    set_speed("700");
    dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->clock_speed()->value(), 4); // 3000 / 700, the quotient truncated
    dialog->clock_speed()->setValue(9);
    click("Cancel_Command");
    EXPECT_EQ(machine().status.run_delay, 3000.0);
}

// The multiplier is the number the setting starts with, read as far as a number goes.
TEST_F(SpeedDialog, TheMultiplierIsTheLeadingNumberExponentIncluded) {
    const std::pair<const char*, double> cases[] = {
        {"2e4", 20000.0}, {"1.5E3", 1500.0}, {"2E+2 fast", 200.0},
        {"3e", 3.0},      {"7e-x", 7.0},     {"250e-1", 25.0},
        {" 12 ms", 12.0}, {"&H10", 16.0},    {"9e99", 2147483647.0},
    };
    for (const auto& [speed, multiplier] : cases) {
        set_speed(speed);
        System_clock* dialog = open();
        ASSERT_NE(dialog, nullptr) << speed;
        dialog->clock_speed()->setValue(1);
        click("Apply_Command");
        EXPECT_EQ(machine().status.run_delay, multiplier) << speed;
        click("Cancel_Command");
    }
}

TEST_F(SpeedDialog, TheSlowEndIsHeldToThirtyTwoBits) {
    set_speed("2000000000");
    System_clock* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->clock_speed()->setValue(kClockSpeedMaximum);
    click("Apply_Command");
    EXPECT_EQ(machine().status.run_delay, 2147483647.0);
}

TEST_F(SpeedDialog, WithoutAPositiveMultiplierItSaysSoAndChangesNothing) {
    for (const char* speed : {"0", "-5", "fast", ""}) {
        set_speed(speed);
        machine().set_run_delay(42.0);
        modal.boxes.clear();
        EXPECT_EQ(open(), nullptr) << speed;
        ASSERT_EQ(modal.boxes.size(), 1u) << speed;
        EXPECT_EQ(modal.boxes[0].title, "Set the System Clock");
        EXPECT_TRUE(modal.boxes[0].text.contains("Speed")) << modal.boxes[0].text.toStdString();
        EXPECT_EQ(machine().status.run_delay, 42.0);
    }
}

// Apply while a program runs: the next instruction already waits the new delay.
TEST_F(SpeedDialog, ApplySlowsARunningProgram) {
    set_speed("400000000"); // one step of the thumb: a long pause per instruction
    press("Power");
    machine().memory_cells[0x4000].value = 0xC1; // JMP [$4000]
    machine().memory_cells[0x4001].value = 0x40;
    machine().memory_cells[0x4002].value = 0x00;
    main().dispatch_command("DataG");
    main().data_gatherer()->findChild<QRadioButton*>("Option2")->click(); // count executions
    System_clock* dialog = open();
    ASSERT_NE(dialog, nullptr);
    dialog->clock_speed()->setValue(1);
    const int32_t& executed = machine().memory_cells[0x4000].count_primary;
    int32_t before = 0;
    int32_t after = 0;
    QTimer::singleShot(50, &main(), [&] {
        before = executed;
        main().speed_dialog()->findChild<QPushButton*>("Apply_Command")->click();
        QTimer::singleShot(400, &main(), [&] {
            after = executed;
            press("Power");
        });
    });
    press("Run");
    // Thousands of instructions before, a handful after.
    EXPECT_GT(before, 1000);
    EXPECT_LE(after - before, 10);
}

class DataGatherer : public ShellTest {
protected:
    DataG* open() {
        main().dispatch_command("DataG");
        return main().data_gatherer();
    }
    QRadioButton* option(const char* name) {
        return main().data_gatherer()->findChild<QRadioButton*>(name);
    }
    QLineEdit* box() { return main().data_gatherer()->output_file_name(); }
};

TEST_F(DataGatherer, OnIsTakenOnlyWithTheProgramStopped) {
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(main().data_gatherer()->windowTitle(), "Data Gatherer");
    EXPECT_TRUE(option("Option1")->isChecked());
    const std::pair<MachineMode, bool> modes[] = {
        {MachineMode::Step, true},  {MachineMode::Reset, true},     {MachineMode::Run, false},
        {MachineMode::Idle, false}, {MachineMode::PowerOff, false}, {MachineMode::None, false},
    };
    for (const auto& [mode, taken] : modes) {
        option("Option1")->click();
        machine().status.machine_mode = mode;
        option("Option2")->click();
        EXPECT_EQ(option("Option2")->isChecked(), taken) << static_cast<int>(mode);
        EXPECT_EQ(option("Option1")->isChecked(), !taken);
        EXPECT_EQ(machine().status.profiling_on, taken ? 1 : 0);
    }
    EXPECT_TRUE(modal.boxes.empty());
}

// The arrow keys, Space and an assistive technology's action choose an option as the pointer
// does: "On" starts counting only with the program stopped, and "Off" stops it.
TEST_F(DataGatherer, TheKeyboardAndTheAccessibilityActionChooseAsThePointerDoes) {
    ASSERT_NE(open(), nullptr);
    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    const auto accessible_action = [](QAbstractButton* button, const QString& action) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(face, nullptr);
        ASSERT_NE(face->actionInterface(), nullptr);
        ASSERT_TRUE(face->actionInterface()->actionNames().contains(action));
        face->actionInterface()->doAction(action);
    };
    struct Way {
        const char* name;
        std::function<void(QRadioButton* from, QRadioButton* to)> choose;
    };
    const Way ways[] = {
        {"pointer", [](QRadioButton*, QRadioButton* to) { QTest::mouseClick(to, Qt::LeftButton); }},
        {"arrow key",
         [](QRadioButton* from, QRadioButton* to) {
             from->setFocus();
             QTest::keyClick(from, to->objectName() == "Option2" ? Qt::Key_Down : Qt::Key_Up);
         }},
        {"Space",
         [](QRadioButton*, QRadioButton* to) {
             to->setFocus();
             QTest::keyClick(to, Qt::Key_Space);
         }},
        {"toggle action",
         [&](QRadioButton*, QRadioButton* to) {
             accessible_action(to, QAccessibleActionInterface::toggleAction());
         }},
    };
    for (const Way& way : ways) {
        for (const MachineMode mode : {MachineMode::Step, MachineMode::Run}) {
            const bool taken = mode == MachineMode::Step;
            machine().status.machine_mode = mode;
            way.choose(option("Option1"), option("Option2"));
            EXPECT_EQ(option("Option2")->isChecked(), taken) << way.name;
            EXPECT_EQ(machine().status.profiling_on, taken ? 1 : 0) << way.name;
            if (taken) {
                way.choose(option("Option2"), option("Option1"));
                EXPECT_TRUE(option("Option1")->isChecked()) << way.name;
                EXPECT_EQ(machine().status.profiling_on, 0) << way.name;
            }
        }
    }
}

TEST_F(DataGatherer, CountingGoesOnAfterClosingAndStopsAtTheNextOpening) {
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(machine().windows.data_gatherer_open, kTrue);
    machine().status.machine_mode = MachineMode::Step;
    option("Option2")->click();
    main().data_gatherer()->findChild<QPushButton*>("Cancel")->click();
    settle();
    EXPECT_EQ(main().data_gatherer(), nullptr);
    EXPECT_EQ(machine().windows.data_gatherer_open, 0);
    EXPECT_EQ(machine().status.profiling_on, 1);
    EXPECT_EQ(main().workspace()->subWindowList().size(), 1); // no empty frame left behind
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(machine().status.profiling_on, 0);
}

TEST_F(DataGatherer, TheBoxNamesTheProcessedDump) {
    press("Power");
    ASSERT_NE(open(), nullptr);
    const auto image = install.folders.work_folder / "prog.ram";
    write_file(image, "a,b,c,d,e,$4000,$4000,f\n4000: 01 --\n");
    modal.file_answers.push_back(QString::fromStdString(image.string()));
    main().dispatch_command("Load RAM");
    const std::string pad = (install.folders.work_folder / "prog.pad").string();
    EXPECT_EQ(box()->text().toStdString(), pad);

    box()->setText("elsewhere.pad");
    EXPECT_EQ(machine().files.pad_file_path, "elsewhere.pad");
    // Purging memory empties the box, and with it the name.
    main().dispatch_command("Purge RAM");
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(machine().files.pad_file_path, "");
}

// Opened after a load, the box is empty until "On" is taken; the dump's name is kept all along.
TEST_F(DataGatherer, TheBoxShowsTheDumpOnceOnIsTaken) {
    press("Power");
    const auto image = install.folders.work_folder / "prog.ram";
    write_file(image, "a,b,c,d,e,$4000,$4000,f\n4000: 01 --\n");
    modal.file_answers.push_back(QString::fromStdString(image.string()));
    main().dispatch_command("Load RAM");
    const std::string pad = (install.folders.work_folder / "prog.pad").string();
    ASSERT_EQ(machine().files.pad_file_path, pad);

    ASSERT_NE(open(), nullptr);
    EXPECT_TRUE(box()->text().isEmpty());
    machine().status.machine_mode = MachineMode::Idle;
    option("Option2")->click(); // refused
    EXPECT_TRUE(box()->text().isEmpty());
    EXPECT_EQ(machine().files.pad_file_path, pad);
    machine().status.machine_mode = MachineMode::Step;
    option("Option2")->click();
    EXPECT_EQ(box()->text().toStdString(), pad);
}

TEST_F(DataGatherer, OutputResultsWritesTheDumpAndResetClearsTheCounters) {
    ASSERT_NE(open(), nullptr);
    machine().memory_cells[0xF031].count_secondary = 0x2A;
    const auto pad = install.folders.data_folder / "out.pad";
    box()->setText(QString::fromStdString(pad.string()));
    main().data_gatherer()->findChild<QPushButton*>("Output")->click();
    EXPECT_NE(read_file(pad).find("99999 X $F031 --- $00000000 $0000002A\r\n"), std::string::npos);
    main().data_gatherer()->findChild<QPushButton*>("Reset")->click();
    EXPECT_EQ(machine().memory_cells[0xF031].count_secondary, 0);
    EXPECT_TRUE(modal.boxes.empty()); // the .rad was missing: silently
}

} // namespace
} // namespace tallyrig::testing

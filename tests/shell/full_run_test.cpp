#include "asmlib/assemble_file.h"
#include "asmlib/output_files.h"
#include "asmlib/two_pass.h"
#include "shell/views/rdisplay.h"
#include "tests/shell/shell_fixture.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace tallyrig::testing {
namespace {

// Shows HI, lights LED1 and LED6, then loops on itself.
const char* const kProgram = R"(        .ORG $4000
DISPLAY: .EQU $F031
LEDS:    .EQU $F032
start:  LDA 72          # "H"
        STA [DISPLAY]
        LDA 73          # "I"
        STA [DISPLAY]
        LDA $21         # LED1 and LED6
        STA [LEDS]
stop:   JMP [stop]
        .END
)";

class FullRun : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        const auto assembly = assembler::assemble(kProgram);
        ASSERT_TRUE(assembly.ok());
        const auto file = install.folders.work_folder / "hi.ram";
        write_file(file, assembler::ram_image_text(assembly));
        main().dispatch_command("Display CPU registers");
        main().dispatch_command("IOPort");
        press("Power");
        modal.file_answers.push_back(QString::fromStdString(file.string()));
        main().dispatch_command("Load RAM");
        ASSERT_TRUE(modal.boxes.empty());
        end_a_runaway_run();
    }

    // What the user sees at one moment while the program runs.
    struct Seen {
        QString display;
        std::vector<bool> leds;
        QString pc;
        QString mode;
    };
    Seen look() {
        app->ui().flush_views();
        Seen seen{panel().display_text(), {}, {}, main().mode_status()};
        for (int led = 1; led <= kStatusLedCount; ++led) {
            seen.leds.push_back(panel().led_lit(led));
        }
        seen.pc = main().register_window()->findChild<QLabel*>("PC_display")->text();
        return seen;
    }
};

const std::vector<bool> kLed1And6 = {true, false, false, false, false, true};
const QString kHi = QString(21, '-') + "HI";

TEST_F(FullRun, RunShowsTheOutputUntilReset) {
    Seen seen;
    QTimer::singleShot(300, &main(), [&] {
        seen = look();
        press("Reset");
    });
    press("Run");
    EXPECT_FALSE(machine().in_run_loop());
    EXPECT_EQ(seen.display, kHi);
    EXPECT_EQ(seen.leds, kLed1And6);
    EXPECT_EQ(seen.mode, "RUN");
    EXPECT_EQ(seen.pc, "$400F");
    EXPECT_EQ(main().mode_status(), "RESET");
    EXPECT_EQ(machine().status.run_sub_state, RunSubState::AfterReset);
    // Back in the event loop the register window catches up with the reset by itself.
    QTest::qWait(100);
    EXPECT_EQ(main().register_window()->findChild<QLabel*>("PC_display")->text(), "$0000");
}

TEST_F(FullRun, StepsFollowOneInstructionAtATime) {
    std::vector<Seen> after_step;
    step_while([&](int) {
        after_step.push_back(look());
        return after_step.size() < 6;
    });
    ASSERT_EQ(after_step.size(), 6u);
    EXPECT_EQ(after_step[0].pc, "$4002");
    EXPECT_EQ(after_step[1].display, QString(22, '-') + "H");
    EXPECT_EQ(after_step[3].display, kHi);
    EXPECT_EQ(after_step[3].leds, std::vector<bool>(6, true)); // still lit from power-on
    EXPECT_EQ(after_step[5].leds, kLed1And6);
    EXPECT_EQ(after_step[5].pc, "$400F");
    EXPECT_EQ(after_step[5].mode, "STEP");
}

TEST_F(FullRun, RunAndStepDuringTheRunDoNotNestALoop) {
    int nested_presses = 0;
    QTimer::singleShot(100, &main(), [&] {
        press("Step");
        press("Run");
        ++nested_presses;
        QTimer::singleShot(100, &main(), [&] { press("Reset"); });
    });
    press("Run");
    EXPECT_EQ(nested_presses, 1);
    EXPECT_FALSE(machine().in_run_loop());
}

TEST_F(FullRun, ClosingTheMainWindowEndsTheRunFirst) {
    QTimer::singleShot(100, &main(), [&] { main().close(); });
    press("Run");
    EXPECT_FALSE(machine().in_run_loop());
    QElapsedTimer clock;
    clock.start();
    while (main().isVisible() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(machine().windows.register_display_open, 0);
    EXPECT_EQ(machine().windows.ioport_window_open, 0);
}

TEST_F(FullRun, SwitchingOffEndsTheRun) {
    QTimer::singleShot(100, &main(), [&] { press("Power"); });
    press("Run");
    EXPECT_FALSE(machine().in_run_loop());
    EXPECT_EQ(main().mode_status(), "POWER_OFF");
    EXPECT_EQ(panel().display_text(), " ");
}

// The first example that ships: assembled by the assembler library into its RAM image, loaded
// through the Load RAM dialog and run until it halts.
TEST_F(ShellTest, ShippedExampleRunsToItsGreeting) {
    ASSERT_NO_FATAL_FAILURE(load_shipped_example("display_and_leds"));

    QString display;
    std::vector<bool> leds;
    QTimer::singleShot(300, &main(), [&] {
        display = panel().display_text();
        for (int led = 1; led <= kStatusLedCount; ++led) {
            leds.push_back(panel().led_lit(led));
        }
        press("Reset");
    });
    end_a_runaway_run();
    press("Run");
    EXPECT_EQ(display, QString(9, ' ') + "HELLO TALLYRIG");
    EXPECT_EQ(leds, std::vector<bool>(6, true));
}

} // namespace
} // namespace tallyrig::testing

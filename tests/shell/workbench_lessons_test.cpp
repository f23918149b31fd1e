// The workbench in the whole simulator: opened from its menu command, and the lessons that use
// it assembled, loaded and run as a user would, their promises checked on the real windows.
#include "panel/devices/workbench_1.h"
#include "panel/devices/workbench_pictures.h"
#include "shell/memory/mdisplay.h"
#include "shell/memory/walker_model.h"
#include "tests/shell/shell_fixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

namespace tallyrig::testing {
namespace {

class WorkbenchLessons : public ShellTest {
protected:
    Workbench_1& workbench() {
        main().dispatch_command("workbench1");
        return *main().workbench_window();
    }
    const QPixmap* picture(int id) { return &app->workbench().pictures().picture(id); }
    // Runs until the Reset that the last scheduled step presses.
    void run_with(std::vector<std::pair<int, std::function<void()>>> steps) {
        end_a_runaway_run();
        for (auto& [at_ms, step] : steps) {
            QTimer::singleShot(at_ms, &main(), step);
        }
        press("Run");
        EXPECT_FALSE(machine().in_run_loop());
    }
};

TEST_F(WorkbenchLessons, TheMenuCommandOpensOneWorkbench) {
    const auto windows = main().workspace()->subWindowList().size();
    Workbench_1& w = workbench();
    EXPECT_EQ(&workbench(), &w);
    EXPECT_EQ(main().workspace()->subWindowList().size(), windows + 1);
    EXPECT_EQ(w.parentWidget()->windowTitle(), "Workbench 1");
    EXPECT_EQ(app->devices().output(kDualSevenSegDevice).installed, kPluggedIn);
    w.parentWidget()->close();
    settle();
    EXPECT_EQ(main().workbench_window(), nullptr);
    EXPECT_EQ(app->devices().output(kDualSevenSegDevice).installed, 0);
    EXPECT_NE(&workbench(), nullptr); // reachable again
}

// The walker shows a switch's new port value at once, wherever it is scrolled.
TEST_F(WorkbenchLessons, SwitchClickShowsInTheMemoryWalker) {
    Workbench_1& w = workbench();
    main().dispatch_command("Display Memory Map");
    ASSERT_NE(main().memory_walker(), nullptr);
    QTest::mouseClick(w.switch_control(SwitchBank::Lower, 0), Qt::LeftButton);
    QTest::mouseClick(w.switch_control(SwitchBank::Upper, 7), Qt::LeftButton);
    const WalkerModel& rows = main().memory_walker()->model();
    EXPECT_EQ(rows.text(kSwitchPanel1Port, WalkerColumn::Value), "$01");
    EXPECT_EQ(rows.text(kSwitchPanel2Port, WalkerColumn::Value), "$80");
}

// Lesson 3: flip switches while it runs and the displays follow.
TEST_F(WorkbenchLessons, WorkbenchLessonCopiesTheSwitchesToTheDisplays) {
    Workbench_1& w = workbench();
    ASSERT_NO_FATAL_FAILURE(load_shipped_example("workbench"));
    std::vector<int> lit;
    std::vector<const QPixmap*> shown;
    run_with({{100,
               [&] {
                   for (int bit : {0, 2, 5, 7}) { // 0xA5 on the lower bank, port 0xF001
                       QTest::mouseClick(w.switch_control(SwitchBank::Lower, bit), Qt::LeftButton);
                   }
                   for (int bit : {0, 1, 2, 3, 7}) { // 0x8F on the upper bank, port 0xF000
                       QTest::mouseClick(w.switch_control(SwitchBank::Upper, bit), Qt::LeftButton);
                   }
               }},
              {300, [&] {
                   for (int k = 0; k < 8; ++k) {
                       if (w.picture2(k)->picture() == &app->workbench().pictures().on_led()) {
                           lit.push_back(k);
                       }
                   }
                   shown = {w.Dual_1()->picture(), w.Dual_2()->picture(), w.Decode()->picture(),
                            w.No_decode()->picture()};
                   press("Reset");
               }}});
    EXPECT_EQ(lit, (std::vector<int>{0, 2, 5, 7}));
    // A5 in hex, its low digit 5, and the upper bank without bit 7 drawn segment by segment:
    // a, b, c and d.
    EXPECT_EQ(shown, (std::vector<const QPixmap*>{picture(111), picture(106), picture(106),
                                                  picture(8000 + 0x0F)}));
    EXPECT_TRUE(modal.boxes.empty());
}

// Lesson 5: each interrupt counts one up in decimal on the two-digit display.
TEST_F(WorkbenchLessons, InterruptLessonCountsInterruptsInDecimal) {
    Workbench_1& w = workbench();
    ASSERT_NO_FATAL_FAILURE(load_shipped_example("interrupt"));
    // Each request waits until the program has taken the one before, so two requests that a
    // busy machine delivers in one batch of timers are not counted as one.
    int requests = 0;
    int ticks = 0;
    const QPixmap* left = nullptr;
    const QPixmap* right = nullptr;
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, &main(), [&] {
        ++ticks;
        if (machine().cpu.interrupt_request != 0 || ticks < 5) {
            return;
        }
        if (requests < 12) {
            main().dispatch_command("Interrupt");
            ++requests;
            ticks = 0;
            return;
        }
        if (ticks < 10) {
            return; // the routine of the last request writes its digits
        }
        user.stop();
        left = w.Dual_1()->picture();
        right = w.Dual_2()->picture();
        press("Reset");
    });
    user.start();
    run_with({});
    EXPECT_EQ(requests, 12);
    EXPECT_EQ(left, picture(digit_picture_id(1)));
    EXPECT_EQ(right, picture(digit_picture_id(2))); // 12, not 0C
    EXPECT_TRUE(modal.boxes.empty());
}

TEST_F(WorkbenchLessons, InterruptLessonWithoutTheWorkbenchStopsWithTheDeviceError) {
    ASSERT_NO_FATAL_FAILURE(load_shipped_example("interrupt"));
    QString mode_after_box;
    run_with({{100, [this] { main().dispatch_command("Interrupt"); }},
              {400, [&] {
                   mode_after_box = main().mode_status();
                   press("Reset");
               }}});
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].title, "Output Device Error");
    EXPECT_EQ(modal.boxes[0].icon, MessageIcon::Information);
    EXPECT_TRUE(modal.boxes[0].text.contains("Dual 7-Segment Decoded at port $F023"));
    EXPECT_EQ(mode_after_box, "STEP");
    EXPECT_EQ(value(kDualSevenSegPort), 1);
}

} // namespace
} // namespace tallyrig::testing

#include "common/screen_units.h"
#include "shell/memory/dialog_address.h"
#include "tests/shell/memory/walker_fixture.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QTimer>

namespace tallyrig::testing {
namespace {

TEST(DialogAddress, ReadsTheLeadingHexDigits) {
    const struct {
        const char* text;
        std::optional<int32_t> address;
    } cases[] = {
        {"4010", 0x4010},   {"", 0},
        {"$4010", 0},       {"xyz", 0},
        {"ab", 0xAB},       {"4g10", 4},
        {" 4010 ", 0x4010}, {"10000", 0x10000},
        {"FFFF", 0xFFFF},   {"10001", {}},
        {"FFFFFFFF", {}},   {"80000000", {}},
        {"123456789", {}},  {"0000000000004010", 0x4010},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(read_dialog_address(c.text), c.address) << '"' << c.text << '"';
    }
}

class Dialogs : public WalkerTest {
protected:
    void SetUp() override {
        WalkerTest::SetUp();
        open_walker();
    }
};

TEST_F(Dialogs, CaptionsLabelsAndButtons) {
    BPoint& bp = breakpoint_dialog();
    EXPECT_EQ(bp.windowTitle(), "Breakpoint Manager");
    EXPECT_EQ(bp.findChild<QLabel*>()->text(), "Address $");
    EXPECT_EQ(bp.findChild<QPushButton*>("Command1")->text(), "&Set Break Point");
    EXPECT_EQ(bp.findChild<QPushButton*>("Command3")->text(), "&Clear Break Point");
    EXPECT_EQ(bp.findChild<QPushButton*>("Command2")->text(), "Clear &All Break Points");
    find_add& find = find_dialog();
    EXPECT_EQ(find.windowTitle(), "Find Address ?");
    EXPECT_EQ(find.findChild<QLabel*>()->text(), "Address $");
    EXPECT_EQ(find.findChild<QPushButton*>("Find_Command")->text(), "&Find");
    EXPECT_EQ(find.findChild<QPushButton*>("Cancel_Command")->text(), "&Cancel");
    EXPECT_NE(find.findChild<QFrame*>("Panel3D1"), nullptr);

    // A second press raises the open dialog rather than making another.
    EXPECT_EQ(&breakpoint_dialog(), &bp);
    EXPECT_EQ(&find_dialog(), &find);
    EXPECT_EQ(main().workspace()->subWindowList().size(), 4);

    // The find dialog sits 500 twips below the walker's top edge, at its left edge.
    const QWidget* walker_frame = walker().parentWidget();
    EXPECT_EQ(find.parentWidget()->pos(), walker_frame->pos() + QPoint(0, twips_to_pixels(500)));
    QTest::mouseClick(find.findChild<QPushButton*>("Cancel_Command"), Qt::LeftButton);
    settle();
    EXPECT_EQ(main().find_dialog(), nullptr);
}

TEST_F(Dialogs, SetRemoveAndClearBreakpoints) {
    BPoint& bp = breakpoint_dialog();
    enter(bp, "4010", "Command1");
    EXPECT_EQ(breakpoint(0x4010), 1);
    EXPECT_EQ(text(0x4010, WalkerColumn::Breakpoint), "BP");
    enter(bp, "4020", "Command1");
    enter(bp, "", "Command1"); // reads as address 0
    EXPECT_EQ(breakpoint(0), 1);
    EXPECT_EQ(text(0, WalkerColumn::Breakpoint), "BP");

    enter(bp, "4010", "Command3");
    EXPECT_EQ(breakpoint(0x4010), 0);
    EXPECT_EQ(text(0x4010, WalkerColumn::Breakpoint), " ");
    EXPECT_EQ(breakpoint(0x4020), 1);

    // The last cell has no row: its flag changes and the grid does not.
    enter(bp, "10000", "Command1");
    EXPECT_EQ(breakpoint(0x10000), 1);
    EXPECT_TRUE(modal.boxes.empty());

    QTest::mouseClick(bp.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    for (int32_t a : {0, 0x4010, 0x4020, 0xFFFF}) {
        EXPECT_EQ(breakpoint(a), 0) << a;
        EXPECT_EQ(text(a, WalkerColumn::Breakpoint), "") << a;
    }
    EXPECT_EQ(breakpoint(0x10000), 1);

    // The refresh after a change starts at the program counter.
    machine().cpu.program_counter = 0x5000;
    set_value(0x5000, 0x77);
    set_value(0x50FA, 0x77);
    set_value(0x50FB, 0x77);
    enter(bp, "4010", "Command1");
    EXPECT_EQ(data(0x5000), "$77");
    EXPECT_EQ(data(0x50FA), "$77");
    EXPECT_EQ(data(0x50FB), "$XX");
}

TEST_F(Dialogs, AnAddressOutOfRangeChangesNothing) {
    BPoint& bp = breakpoint_dialog();
    find_add& find = find_dialog();
    const int32_t top = walker().top_row();
    enter(bp, "10001", "Command1");
    enter(bp, "FFFFFFFFF", "Command3");
    enter(find, "10001", "Find_Command");
    ASSERT_EQ(modal.boxes.size(), 3u);
    for (const ShownBox& box : modal.boxes) {
        EXPECT_EQ(box.text, "The address must be between 0 and  &H10000.");
        EXPECT_EQ(box.title, " Break Point");
        EXPECT_EQ(box.icon, MessageIcon::Information);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(breakpoint(0x1000), 0);
    EXPECT_EQ(breakpoint(1), 0);
    EXPECT_EQ(walker().top_row(), top);
    EXPECT_NE(main().breakpoint_dialog(), nullptr);
    EXPECT_NE(main().find_dialog(), nullptr);
}

TEST_F(Dialogs, FindScrollsAndRefreshesFromTheProgramCounter) {
    find_add& find = find_dialog();
    machine().cpu.program_counter = 0x4100;
    set_value(0x4100, 0x12);
    set_value(0x9000, 0x34);
    enter(find, "9000", "Find_Command");
    settle();
    EXPECT_EQ(walker().map()->rowAt(0), 0x9000);
    EXPECT_EQ(data(0x4100), "$12");
    EXPECT_EQ(data(0x9000), "$XX");
    enter(find, "$9000", "Find_Command");
    settle();
    EXPECT_EQ(walker().top_row(), 0);
    enter(find, "10000", "Find_Command"); // no row of its own: the last row is the nearest
    settle();
    EXPECT_EQ(walker().map()->rowAt(walker().map()->viewport()->height() - 1), 0xFFFF);
    EXPECT_NE(main().find_dialog(), nullptr); // stays open for the next address
}

TEST_F(Dialogs, AWriteAfterTheWalkerClosedOpensItAgain) {
    BPoint& bp = breakpoint_dialog();
    find_add& find = find_dialog();
    enter(bp, "4010", "Command1");
    close_walker();
    EXPECT_EQ(main().memory_walker(), nullptr);

    enter(bp, "4020", "Command1");
    ASSERT_NE(main().memory_walker(), nullptr);
    // A new load: the earlier mark is gone though the flag stays.
    EXPECT_EQ(text(0x4010, WalkerColumn::Breakpoint), "");
    EXPECT_EQ(breakpoint(0x4010), 1);
    EXPECT_EQ(text(0x4020, WalkerColumn::Breakpoint), "BP");

    close_walker();
    enter(find, "5000", "Find_Command");
    ASSERT_NE(main().memory_walker(), nullptr);
    EXPECT_EQ(walker().top_row(), 0x5000);
}

// A counting loop: INCA/JNZ 256 times, then one more in $5002; the instruction at $4004 runs
// once per count.
const int32_t kCountingLoop[] = {0x80, 0xD6, 0x40, 0x00, 0x91, 0x50, 0x02, 0x10, 0x01,
                                 0x99, 0x50, 0x02, 0x90, 0x00, 0xC1, 0x40, 0x00};

TEST_F(Dialogs, ABreakpointSetWhileRunningStopsTheProgram) {
    main().dispatch_command("Display CPU registers");
    main().dispatch_command("IOPort");
    close_walker();
    press("Power");
    for (int32_t i = 0; i < static_cast<int32_t>(std::size(kCountingLoop)); ++i) {
        set_value(0x4000 + i, kCountingLoop[i]);
    }
    set_value(0x5002, 0);
    struct Stop {
        int32_t pc;
        int32_t count;
        QString marker;
        QString mode;
    };
    std::vector<Stop> stops;
    // The byte the program counts in wraps every 256 rounds, so whether the program went on is
    // read from the execution count of its first instruction, which only grows.
    machine().set_profiling(true);
    const auto rounds = [&] { return machine().memory_cells[0x4000].count_primary; };
    int32_t rounds_when_opened = -1;
    QTimer user;
    user.setInterval(20);
    int ticks = 0;
    QObject::connect(&user, &QTimer::timeout, &main(), [&] {
        ++ticks;
        if (ticks == 2) {
            // Opening the walker while the program runs: the program goes on.
            open_walker();
            rounds_when_opened = rounds();
        } else if (ticks == 4) {
            EXPECT_GT(rounds(), rounds_when_opened);
            enter(breakpoint_dialog(), "4004", "Command1");
        } else if (machine().status.machine_mode == MachineMode::Idle) {
            settle();
            stops.push_back({machine().cpu.program_counter, value(0x5002),
                             text(0x4004, WalkerColumn::Marker), main().mode_status()});
            if (stops.size() < 2) {
                press("Run"); // goes on from the breakpoint
            } else {
                user.stop();
                press("Reset");
            }
        }
        if (ticks > 500) {
            ADD_FAILURE() << "the program did not stop";
            user.stop();
            press("Power");
        }
    });
    user.start();
    press("Run");
    ASSERT_EQ(stops.size(), 2u);
    for (const Stop& stop : stops) {
        EXPECT_EQ(stop.pc, 0x4004);
        EXPECT_EQ(stop.marker, " >>");
        EXPECT_EQ(stop.mode, "STEP");
    }
    EXPECT_EQ(stops[1].count, (stops[0].count + 1) & 0xFF);
}

} // namespace
} // namespace tallyrig::testing

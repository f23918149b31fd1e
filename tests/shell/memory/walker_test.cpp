#include "common/screen_units.h"
#include "tests/shell/memory/walker_fixture.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QToolBar>

namespace tallyrig::testing {
namespace {

class Walker : public WalkerTest {};

TEST_F(Walker, EveryCommandOpensOneWalker) {
    EXPECT_EQ(main().memory_walker(), nullptr);
    main().dispatch_command("Memory Map");
    mDisplay* first = main().memory_walker();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(machine().windows.memory_walker_open, kTrue);
    EXPECT_EQ(first->windowTitle(), "Memory Walker");
    EXPECT_EQ(first->objectName(), "mDisplay");
    main().dispatch_command("Display Memory Map");
    main().toolbar_button_click("Mem");
    main().findChild<QAction*>("mnDisplay_Mem_Map")->trigger();
    EXPECT_EQ(main().memory_walker(), first);
    EXPECT_EQ(main().workspace()->subWindowList().size(), 2); // the front panel and the walker

    close_walker();
    EXPECT_EQ(machine().windows.memory_walker_open, 0);
    EXPECT_EQ(main().memory_walker(), nullptr);
    main().toolbar_button_click("Mem");
    EXPECT_NE(main().memory_walker(), nullptr);
}

TEST_F(Walker, LoadShowsMemoryFromRamAtTheTopInThePowerColour) {
    set_value(0x4000, 5);
    set_value(0x4001, 0x3C);
    open_walker();
    settle();
    EXPECT_EQ(data(0x4000), "$05");
    EXPECT_EQ(data(0x4001), "$3C");
    EXPECT_EQ(data(0x4002), "$XX");
    EXPECT_EQ(data(0x3FFF), "$00");
    EXPECT_EQ(walker().top_row(), 0x4000);
    EXPECT_EQ(walker().map()->rowAt(0), 0x4000);
    EXPECT_EQ(walker().back_colour(), kColourLightGrey);
    EXPECT_EQ(walker().map()->palette().color(QPalette::Base), bgr_colour(kColourLightGrey));
    close_walker();

    press("Power");
    open_walker();
    settle();
    EXPECT_EQ(walker().map()->palette().color(QPalette::Base), bgr_colour(kColourWhite));
    press("Power");
    settle();
    EXPECT_EQ(walker().map()->palette().color(QPalette::Base), bgr_colour(kColourLightGrey));
}

TEST_F(Walker, ControlsAndSizesInTwips) {
    open_walker();
    settle();
    QStringList headings;
    for (int n = 1; n <= 4; ++n) {
        headings << walker().findChild<QLabel*>(QStringLiteral("Label%1").arg(n))->text();
    }
    EXPECT_EQ(headings, QStringList({"BP", "Step", "Address", "Data"}));
    const int widths[] = {950, 950, 1200, 1200};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(walker().map()->columnWidth(column), twips_to_pixels(widths[column]));
    }
    auto* frame = qobject_cast<QMdiSubWindow*>(walker().parentWidget());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->width(), twips_to_pixels(4950));
    EXPECT_EQ(frame->height(), twips_to_pixels(3200));
    EXPECT_EQ(walker().map()->height(), frame->height() - twips_to_pixels(1800));
    EXPECT_EQ(walker().map()->width(), frame->width() - twips_to_pixels(360));

    // The user may make it taller; the width stays.
    frame->resize(600, 500);
    settle();
    EXPECT_EQ(frame->width(), twips_to_pixels(4950));
    EXPECT_EQ(frame->height(), 500);
    EXPECT_EQ(walker().map()->height(), 500 - twips_to_pixels(1800));
    // All 65,536 rows share one height.
    EXPECT_EQ(walker().map()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST_F(Walker, ToolbarButtonsJumpAndRefreshFromTheirTarget) {
    open_walker();
    auto* toolbar = walker().findChild<QToolBar*>("Toolbar1");
    QStringList keys;
    QStringList tips;
    for (QAction* action : toolbar->actions()) {
        keys << action->data().toString();
        tips << action->toolTip();
        EXPECT_FALSE(action->icon().isNull()) << action->data().toString().toStdString();
    }
    EXPECT_EQ(keys, QStringList({"BREAK", "RAM", "ROM", "IN", "OUT", "FIND", "STACK", "PROG"}));
    EXPECT_EQ(tips, QStringList({"Set/Clear Breakpoints", "Goto RAM", "Goto ROM",
                                 "Goto Input Ports", "Goto Output Ports", "Find Address",
                                 "Goto Stack Pointer", "Goto Program Counter"}));

    machine().cpu.stack_pointer = 0xEFF0;
    machine().cpu.program_counter = 0x4321;
    const struct {
        const char* key;
        int32_t top;
    } jumps[] = {{"ROM", 1},      {"IN", 0xF000},    {"OUT", 0xF020},
                 {"RAM", 0x4000}, {"STACK", 0xEFF0}, {"PROG", 0x4321}};
    for (const auto& jump : jumps) {
        SCOPED_TRACE(jump.key);
        // Memory changes under the rows the jump refreshes (301 from the target) and beside.
        for (int32_t a : {jump.top - 1, jump.top, jump.top + 300, jump.top + 301}) {
            set_value(a, 0x42);
        }
        toolbar->findChild<QAction*>(QStringLiteral("Toolbar1_") + jump.key)->trigger();
        EXPECT_EQ(walker().top_row(), jump.top);
        EXPECT_EQ(walker().map()->rowAt(0), jump.top);
        EXPECT_NE(data(jump.top - 1), "$42");
        EXPECT_EQ(data(jump.top), "$42");
        EXPECT_EQ(data(jump.top + 300), "$42");
        EXPECT_NE(data(jump.top + 301), "$42");
        for (int32_t a : {jump.top - 1, jump.top, jump.top + 300, jump.top + 301}) {
            set_value(a, 0);
        }
    }

    // Near the end the refresh would pass the last row: the rows stay as last written.
    machine().cpu.stack_pointer = 0xFF00;
    set_value(0xFF00, 0x42);
    walker().Toolbar1_ButtonClick("STACK");
    EXPECT_EQ(walker().top_row(), 0xFF00);
    EXPECT_EQ(data(0xFF00), "$XX");
}

TEST_F(Walker, RefreshRangesAndTheSkipPastTheLastRow) {
    open_walker();
    UserInterface& ui = app->ui();
    const auto fill = [this](int32_t first, int32_t last) {
        for (int32_t a = first; a <= last; ++a) {
            set_value(a, 0x11);
        }
    };
    fill(0x3FFF, 0x412D);
    ui.update_memory_walker(0x4000, 300);
    EXPECT_EQ(data(0x3FFF), "$00");
    EXPECT_EQ(data(0x4000), "$11");
    EXPECT_EQ(data(0x412C), "$11");
    EXPECT_EQ(data(0x412D), "$XX");

    fill(0xFE00, 0xFFFF);
    ui.update_memory_walker(0xFED4, 300); // would end one past 65,535: nothing at all
    EXPECT_EQ(data(0xFED4), "$XX");
    EXPECT_EQ(data(0xFF00), "$XX");
    ui.update_memory_walker(0xFFFF - 32, 32); // ends on the last row
    EXPECT_EQ(data(0xFFFF), "$11");
    EXPECT_EQ(data(0xFFFF - 33), "$XX");

    // The switch panels' rewrite brings every row up to date, row 0 included.
    set_value(0, 0x22);
    set_value(0xF000, 0x33);
    ui.reset_memory_walker_column();
    EXPECT_EQ(data(0), "$22");
    EXPECT_EQ(data(0xF000), "$33");
    EXPECT_EQ(data(0xFE00), "$11");

    // Scrolling refreshes 300 rows from the new top row.
    set_value(0x8000, 0x44);
    set_value(0x812C, 0x44);
    set_value(0x812D, 0x44);
    walker().map()->verticalScrollBar()->setValue(0x8000);
    EXPECT_EQ(data(0x8000), "$44");
    EXPECT_EQ(data(0x812C), "$44");
    EXPECT_EQ(data(0x812D), "$XX");

    // Closed, the walker is not written; re-opened, it shows memory as it is.
    close_walker();
    ui.update_memory_walker(0x4000, 300);
    ui.reset_memory_walker_column();
    ui.set_walker_cell_text(0x4000, WalkerColumn::Marker, " >>");
    open_walker();
    EXPECT_EQ(data(0x812D), "$44");
    EXPECT_EQ(text(0x4000, WalkerColumn::Marker), "");
}

TEST_F(Walker, StepMovesTheMarkerAndTheTopRow) {
    open_walker();
    press("Power");
    // LDA 1, LDA 2, JMP [$4000]
    const int32_t program[] = {0x90, 0x01, 0x90, 0x02, 0xC1, 0x40, 0x00};
    for (int32_t i = 0; i < 7; ++i) {
        set_value(0x4000 + i, program[i]);
    }
    std::vector<std::pair<QString, QString>> seen; // markers of 0x4002 and 0x4004
    step_while([&](int) {
        settle();
        seen.emplace_back(text(0x4002, WalkerColumn::Marker), text(0x4004, WalkerColumn::Marker));
        EXPECT_EQ(walker().map()->rowAt(0), machine().cpu.program_counter);
        EXPECT_EQ(walker().map()->palette().color(QPalette::Base), bgr_colour(kColourWhite));
        return seen.size() < 2;
    });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(QString(" >>"), QString()));
    EXPECT_EQ(seen[1], std::make_pair(QString(" "), QString(" >>")));
    // Reset clears the marker and goes back to the start of RAM.
    settle();
    EXPECT_EQ(text(0x4004, WalkerColumn::Marker), " ");
    EXPECT_EQ(walker().map()->rowAt(0), 0x4000);
}

} // namespace
} // namespace tallyrig::testing

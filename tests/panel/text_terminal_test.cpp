#include "panel/devices/text_terminal.h"
#include "tests/panel/panel_fixture.h"
#include "tests/panel/screen_recorder.h"

#include <gtest/gtest.h>
#include <string>

namespace tallyrig::testing {
namespace {

constexpr int kInverse = 256;

class TextTerminalTest : public ::testing::Test {
protected:
    void SetUp() override {
        terminal.init_text_terminal();
        screen.draws.clear();
        screen.yields = 0;
    }
    void write(const std::string& text) {
        for (char c : text) {
            terminal.terminal_write_char(static_cast<unsigned char>(c));
        }
    }
    void put_cursor(int column, int row) {
        terminal.terminal_cursor_column = static_cast<int16_t>(column);
        terminal.terminal_cursor_row = static_cast<int16_t>(row);
    }
    // The codes of one row as text, trailing blanks dropped.
    std::string row_text(int row) {
        std::string text;
        for (int column = 0; column < kTerminalColumns; ++column) {
            text += static_cast<char>(terminal.cell(column, row));
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    void expect_cursor(int column, int row) {
        EXPECT_EQ(terminal.terminal_cursor_column, column);
        EXPECT_EQ(terminal.terminal_cursor_row, row);
    }
    // Fills every row with a letter of its own: row r holds 'a' + r.
    void fill_rows() {
        for (int row = 0; row < kTerminalRows; ++row) {
            for (int column = 0; column < kTerminalColumns; ++column) {
                terminal.cell(column, row) = static_cast<int16_t>('a' + row);
            }
        }
    }

    ScreenRecorder screen;
    TextTerminal terminal{screen};
};

TEST_F(TextTerminalTest, PrintingStoresDrawsAndShowsTheCursorAfterIt) {
    put_cursor(0, 0);
    write("HI");
    EXPECT_EQ(row_text(0), "HI");
    EXPECT_EQ(screen.at(0, 0), 'H');
    EXPECT_EQ(screen.at(1, 0), 'I');
    EXPECT_EQ(screen.at(2, 0), kBlankCursor);
    expect_cursor(2, 0);
    // Every glyph is drawn, shown and yielded on its own, and every byte yields once more.
    EXPECT_EQ(screen.draws.size(), 4u);
    EXPECT_EQ(screen.yields, 4 + 2);
}

TEST_F(TextTerminalTest, CodeOnePrintsItsGlyphAndTheBellDrawsNothing) {
    terminal.terminal_write_char(1);
    EXPECT_EQ(screen.at(0, 0), 1);
    EXPECT_EQ(terminal.cell(0, 0), 1);
    const auto before = screen.draws.size();
    terminal.terminal_write_char(kTerminalBell);
    EXPECT_EQ(screen.beeps, 1);
    EXPECT_EQ(screen.draws.size(), before);
    expect_cursor(1, 0);
}

TEST_F(TextTerminalTest, TheLastColumnWrapsAndTheLastRowScrolls) {
    fill_rows();
    put_cursor(31, 3);
    write("X");
    expect_cursor(0, 4);
    EXPECT_EQ(screen.draws.size(), 2u); // no scroll
    EXPECT_EQ(row_text(0), std::string(32, 'a'));

    screen.draws.clear();
    put_cursor(31, 15);
    write("Y");
    expect_cursor(0, 15);
    // Rows moved up one, the printed code with them; the new last row is blank.
    EXPECT_EQ(row_text(0), std::string(32, 'b'));
    EXPECT_EQ(row_text(13), std::string(32, 'o'));
    EXPECT_EQ(row_text(14), std::string(31, 'p') + "Y");
    EXPECT_EQ(row_text(15), "");
    // The glyph, the blank row, every cell column by column, then the cursor.
    ASSERT_EQ(screen.draws.size(), 1u + 32u + 512u + 1u);
    EXPECT_EQ(screen.draws[33].column, 0);
    EXPECT_EQ(screen.draws[33].row, 0);
    EXPECT_EQ(screen.draws[34].column, 0);
    EXPECT_EQ(screen.draws[34].row, 1);
    EXPECT_EQ(screen.draws[33 + 16].column, 1);
    EXPECT_EQ(screen.at(31, 14), 'Y');
    EXPECT_EQ(screen.at(0, 15), kBlankCursor);
}

TEST_F(TextTerminalTest, NewLineScrollsOnlyOnTheLastRow) {
    fill_rows();
    put_cursor(7, 5);
    terminal.terminal_write_char(kTerminalNewLine);
    expect_cursor(0, 6);
    EXPECT_EQ(screen.draws.size(), 2u);
    EXPECT_EQ(screen.at(7, 5), 'f'); // hidden: the cell's own glyph
    EXPECT_EQ(screen.at(0, 6), 'g' + kInverse);

    put_cursor(7, 15);
    terminal.terminal_write_char(kTerminalNewLine);
    expect_cursor(0, 15);
    EXPECT_EQ(row_text(14), std::string(32, 'p'));
    EXPECT_EQ(row_text(15), "");
}

TEST_F(TextTerminalTest, BackspaceErasesTheCellBeforeTheCursorButNeverWraps) {
    write("ABC");
    terminal.terminal_write_char(kTerminalBackspace);
    EXPECT_EQ(row_text(0), "AB");
    expect_cursor(2, 0);
    EXPECT_EQ(screen.at(3, 0), kTerminalBlank);
    EXPECT_EQ(screen.at(2, 0), kBlankCursor);

    for (int row : {0, 1, 15}) {
        put_cursor(0, row);
        const auto draws = screen.draws.size();
        const auto buffer = terminal.terminal_buffer;
        terminal.terminal_write_char(kTerminalBackspace);
        EXPECT_EQ(screen.draws.size(), draws) << row;
        EXPECT_EQ(terminal.terminal_buffer, buffer) << row;
        expect_cursor(0, row);
    }
}

TEST_F(TextTerminalTest, CursorMovesStopAtTheEdges) {
    struct Case {
        int32_t code;
        int column, row;
        int to_column, to_row;
    };
    const Case cases[] = {
        {kTerminalUp, 4, 5, 4, 4},       {kTerminalUp, 4, 0, 4, 0},
        {kTerminalDown, 4, 5, 4, 6},     {kTerminalDown, 4, 15, 4, 15},
        {kTerminalRight, 4, 5, 5, 5},    {kTerminalRight, 31, 5, 31, 5},
        {kTerminalLeft, 4, 5, 3, 5},     {kTerminalLeft, 0, 5, 0, 5},
        {kTerminalDown, 31, 15, 31, 15},
    };
    fill_rows();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.code << " from " << c.column << "," << c.row);
        put_cursor(c.column, c.row);
        screen.draws.clear();
        const auto buffer = terminal.terminal_buffer;
        terminal.terminal_write_char(c.code);
        expect_cursor(c.to_column, c.to_row);
        EXPECT_EQ(terminal.terminal_buffer, buffer); // a move never scrolls or stores
        const bool moved = c.column != c.to_column || c.row != c.to_row;
        EXPECT_EQ(screen.draws.size(), moved ? 2u : 0u);
        if (moved) {
            EXPECT_EQ(screen.at(c.column, c.row), 'a' + c.row);
            EXPECT_EQ(screen.at(c.to_column, c.to_row), 'a' + c.to_row + kInverse);
        }
    }
}

TEST_F(TextTerminalTest, InverseVideoRedrawsEverythingAndShowsNoCursorUntilTheNextPrint) {
    write("A");
    terminal.terminal_write_char(kTerminalInverse);
    EXPECT_EQ(terminal.terminal_state.inverse_video, 1);
    EXPECT_EQ(screen.draws.size(), 2u + 512u);
    EXPECT_EQ(screen.at(0, 0), 'A' + kInverse);
    EXPECT_EQ(screen.at(1, 0), kBlankCursor); // like every other blank: no cell is marked

    write("B");
    EXPECT_EQ(terminal.cell(1, 0), 'B');
    EXPECT_EQ(screen.at(1, 0), 'B' + kInverse);
    EXPECT_EQ(screen.at(2, 0), kTerminalBlank); // the cursor shows the normal glyph

    terminal.terminal_write_char(kTerminalInverse);
    EXPECT_EQ(terminal.terminal_state.inverse_video, 0);
    EXPECT_EQ(screen.at(0, 0), 'A');
    EXPECT_EQ(screen.at(1, 0), 'B');
    EXPECT_EQ(screen.at(2, 0), kTerminalBlank);
}

TEST_F(TextTerminalTest, ClearAndHomeBringTheCursorToTheTopLeft) {
    fill_rows();
    put_cursor(9, 9);
    terminal.terminal_write_char(kTerminalHome);
    expect_cursor(0, 0);
    EXPECT_EQ(screen.at(9, 9), 'j');
    EXPECT_EQ(screen.at(0, 0), 'a' + kInverse);
    EXPECT_EQ(row_text(9), std::string(32, 'j'));

    put_cursor(9, 9);
    terminal.terminal_write_char(kTerminalClear);
    expect_cursor(0, 0);
    for (int row = 0; row < kTerminalRows; ++row) {
        EXPECT_EQ(row_text(row), "") << row;
    }
    // Row by row this time, then the cursor.
    ASSERT_EQ(screen.draws.size(), 2u + 512u + 1u);
    EXPECT_EQ(screen.draws[3].column, 1);
    EXPECT_EQ(screen.draws[3].row, 0);
    EXPECT_EQ(screen.at(0, 0), kBlankCursor);
}

TEST_F(TextTerminalTest, InitialisingBlanksInNormalVideoAndLeavesTheCursor) {
    fill_rows();
    terminal.terminal_state.inverse_video = 1;
    put_cursor(5, 7);
    terminal.init_text_terminal();
    EXPECT_EQ(terminal.terminal_state.inverse_video, 0);
    expect_cursor(5, 7);
    for (int column = 0; column < kTerminalColumns; ++column) {
        for (int row = 0; row < kTerminalRows; ++row) {
            EXPECT_EQ(terminal.cell(column, row), kTerminalBlank);
            EXPECT_EQ(screen.at(column, row), kTerminalBlank); // no cursor shown
        }
    }
    write("Z");
    EXPECT_EQ(terminal.cell(5, 7), 'Z');
}

TEST_F(TextTerminalTest, OnlyAByteThatDrawsOpensTheClosedWindow) {
    screen.loaded = false;
    screen.on_load = [this] { terminal.init_text_terminal(); }; // its load with the power on
    fill_rows();
    put_cursor(0, 0);
    for (int32_t code : {kTerminalBell, kTerminalBackspace, kTerminalLeft, kTerminalUp}) {
        terminal.terminal_write_char(code);
    }
    EXPECT_EQ(screen.loads, 0);
    EXPECT_FALSE(screen.loaded);

    write("Q");
    EXPECT_EQ(screen.loads, 1);
    EXPECT_EQ(row_text(0), "Q"); // the load blanked the screen first
    EXPECT_EQ(row_text(1), "");
    EXPECT_EQ(screen.at(0, 0), 'Q');
    EXPECT_EQ(screen.at(1, 0), kBlankCursor);

    screen.loaded = false;
    terminal.terminal_write_char(kTerminalInverse);
    EXPECT_EQ(screen.loads, 2);
    EXPECT_EQ(terminal.terminal_state.inverse_video, 1);
    EXPECT_EQ(screen.at(5, 5), kBlankCursor);
}

TEST_F(TextTerminalTest, APowerOnWhileTheCursorIsDrawnLeavesNormalVideo) {
    terminal.terminal_state.inverse_video = 1;
    bool powered = false;
    screen.on_yield = [&] {
        if (!powered && screen.draws.size() == 2) { // during the cursor's glyph
            powered = true;
            terminal.init_text_terminal();
        }
    };
    write("K");
    EXPECT_TRUE(powered);
    EXPECT_EQ(terminal.terminal_state.inverse_video, 0);
}

// The power switch works on the terminal only while its window has output port 8 attached.
TEST_F(PanelTest, PowerBlanksTheAttachedTerminalAndBlackensItWhenSwitchedOff) {
    for (const bool attached : {false, true}) {
        SCOPED_TRACE(attached);
        devices.output_devices[kTerminalDevice].installed = attached ? 1 : 0;
        screen = ScreenRecorder{};
        terminal.cell(3, 3) = 'x';
        terminal.terminal_cursor_column = 3;
        terminal.terminal_cursor_row = 3;
        press("Power");
        EXPECT_EQ(terminal.cell(3, 3), attached ? kTerminalBlank : 'x');
        EXPECT_EQ(screen.shows, attached ? 1 : 0);
        EXPECT_EQ(terminal.terminal_cursor_column, 3);
        EXPECT_EQ(terminal.terminal_cursor_row, 3);

        value(kKeyboardPort) = 'k';
        terminal.cell(3, 3) = 'y';
        int port_at_first_yield = -1;
        ui.on_yield = [&] {
            if (port_at_first_yield < 0) {
                port_at_first_yield = value(kKeyboardPort);
            }
        };
        press("Power");
        ui.on_yield = nullptr;
        EXPECT_EQ(screen.blanks, attached ? 1 : 0);
        EXPECT_EQ(port_at_first_yield, attached ? 0 : 'k');
        EXPECT_EQ(terminal.cell(3, 3), 'y'); // the next power-on repaints from the buffer
    }
}

} // namespace
} // namespace tallyrig::testing

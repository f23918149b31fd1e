// The text terminal on output port 0xF028: 16 rows of 32 character cells, a cursor shown in the
// opposite video, and the driver that turns every byte the program writes into screen work.
// The screen's contents, the cursor and the video mode live here, from start-up to exit; the
// Terminal window only shows them, so a test can drive the whole terminal without a window.
#pragma once

#include <array>
#include <cstdint>

namespace tallyrig {

inline constexpr int kTerminalColumns = 32;
inline constexpr int kTerminalRows = 16;
inline constexpr int kTerminalLastColumn = kTerminalColumns - 1;
inline constexpr int kTerminalLastRow = kTerminalRows - 1;
inline constexpr int16_t kTerminalBlank = 32;

// Control codes; every other code is printed.
enum TerminalCode : int32_t {
    kTerminalInverse = 0,
    kTerminalClear = 2,
    kTerminalHome = 3,
    kTerminalBackspace = 4,
    kTerminalNewLine = 5,
    kTerminalBell = 6,
    kTerminalUp = 7,
    kTerminalDown = 8,
    kTerminalRight = 9,
    kTerminalLeft = 10,
};

struct TerminalState {
    int16_t inverse_video = 0; // 1 inverse video
};

// What the driver needs around it: the Terminal window (which may be closed), the event loop
// and the beep. Every call does nothing by default.
class TerminalHost {
public:
    virtual ~TerminalHost() = default;

    virtual bool terminal_loaded() { return false; }
    // Loads the Terminal window; with the power on its load blanks the screen and the buffer.
    virtual void load_terminal() {}
    // Copies glyph 0..511 of the character ROM onto a cell; nothing while the window is closed.
    virtual void draw_glyph(int /*glyph*/, int /*column*/, int /*row*/) {}
    // Sets the window's caption and shows its screen.
    virtual void show_terminal_screen() {}
    // Paints the whole screen black.
    virtual void blank_terminal_screen() {}
    virtual void yield() {}
    virtual void beep() {}
};

struct TextTerminal {
    explicit TextTerminal(TerminalHost& host) : m_host(host) {}

    // The code last stored in each cell, by column and row; all 0 until the first blanking.
    std::array<std::array<int16_t, kTerminalRows>, kTerminalColumns> terminal_buffer{};
    int16_t terminal_cursor_row = 0;
    int16_t terminal_cursor_column = 0;
    TerminalState terminal_state;

    int16_t& cell(int column, int row) {
        return terminal_buffer[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
    }

    // The port's driver. A byte that has something to draw while the window is closed opens
    // the window first.
    void terminal_write_char(int32_t code);
    // Whether handling the code now would draw anything.
    bool draws(int32_t code) const;

    // Power-on with the terminal attached, and the window's load with the power on: every cell
    // blank, normal video. The cursor stays where it is and is not shown.
    void init_text_terminal();
    // Power-off with the terminal attached: the screen goes black; buffer, cursor and video
    // stay for the next power-on to repaint.
    void switch_off_screen();

private:
    enum class Move { Up, Down, Right, Left };

    void print(int32_t code);
    void terminal_draw_char(int code, int column, int row);
    void draw_in_video(int code, int column, int row, int16_t inverse_video);
    void terminal_show_cursor(int column, int row);
    void terminal_hide_cursor(int column, int row);
    void terminal_move_cursor(Move direction);
    void terminal_new_line();
    void terminal_home();
    void terminal_backspace();
    void terminal_clear_screen();
    void terminal_scroll_up();
    void terminal_toggle_inverse();
    void redraw_from_buffer(bool yield_per_cell);

    TerminalHost& m_host;
};

} // namespace tallyrig

#include "panel/devices/text_terminal.h"

#include "panel/char_rom_glyphs.h"

namespace tallyrig {

// Each handler below draws, shows and yields glyph by glyph, so window events, key presses and
// the power switch run in the middle of a byte; they change state, and the driver carries on
// with what it finds.

void TextTerminal::terminal_write_char(int32_t code) {
    if (draws(code) && !m_host.terminal_loaded()) {
        m_host.load_terminal();
    }
    switch (code) {
    case kTerminalInverse:
        terminal_toggle_inverse();
        break;
    case kTerminalClear:
        terminal_clear_screen();
        break;
    case kTerminalHome:
        terminal_home();
        break;
    case kTerminalBackspace:
        terminal_backspace();
        break;
    case kTerminalNewLine:
        terminal_new_line();
        break;
    case kTerminalBell:
        m_host.beep();
        break;
    case kTerminalUp:
        terminal_move_cursor(Move::Up);
        break;
    case kTerminalDown:
        terminal_move_cursor(Move::Down);
        break;
    case kTerminalRight:
        terminal_move_cursor(Move::Right);
        break;
    case kTerminalLeft:
        terminal_move_cursor(Move::Left);
        break;
    default: // 1 and 11..255
        print(code);
        break;
    }
    m_host.yield();
}

bool TextTerminal::draws(int32_t code) const {
    switch (code) {
    case kTerminalBell:
        return false;
    case kTerminalBackspace:
    case kTerminalLeft:
        return terminal_cursor_column > 0;
    case kTerminalRight:
        return terminal_cursor_column < kTerminalLastColumn;
    case kTerminalUp:
        return terminal_cursor_row > 0;
    case kTerminalDown:
        return terminal_cursor_row < kTerminalLastRow;
    default:
        return true;
    }
}

void TextTerminal::print(int32_t code) {
    cell(terminal_cursor_column, terminal_cursor_row) = static_cast<int16_t>(code);
    terminal_draw_char(code, terminal_cursor_column, terminal_cursor_row);
    if (terminal_cursor_column < kTerminalLastColumn) {
        ++terminal_cursor_column;
    } else {
        terminal_cursor_column = 0;
        if (terminal_cursor_row < kTerminalLastRow) {
            ++terminal_cursor_row;
        } else {
            terminal_scroll_up();
        }
    }
    terminal_show_cursor(terminal_cursor_column, terminal_cursor_row);
}

void TextTerminal::terminal_draw_char(int code, int column, int row) {
    draw_in_video(code, column, row, terminal_state.inverse_video);
}

void TextTerminal::draw_in_video(int code, int column, int row, int16_t inverse_video) {
    const int glyph = inverse_video == 1 ? code + kInverseGlyphOffset : code;
    m_host.draw_glyph(glyph, column, row);
    m_host.yield();
}

// The cursor's video is passed down rather than flipped in the shared state and back: a
// power-on during the glyph's yield resets the video, and must not be undone by the flip back.
void TextTerminal::terminal_show_cursor(int column, int row) {
    const int16_t opposite = terminal_state.inverse_video != 1 ? 1 : 0;
    draw_in_video(cell(column, row), column, row, opposite);
}

void TextTerminal::terminal_hide_cursor(int column, int row) {
    terminal_draw_char(cell(column, row), column, row);
}

void TextTerminal::terminal_move_cursor(Move direction) {
    int column = terminal_cursor_column;
    int row = terminal_cursor_row;
    switch (direction) {
    case Move::Up:
        --row;
        break;
    case Move::Down:
        ++row;
        break;
    case Move::Right:
        ++column;
        break;
    case Move::Left:
        --column;
        break;
    }
    if (column < 0 || column > kTerminalLastColumn || row < 0 || row > kTerminalLastRow) {
        return; // at the edge nothing is drawn
    }
    terminal_hide_cursor(terminal_cursor_column, terminal_cursor_row);
    terminal_cursor_column = static_cast<int16_t>(column);
    terminal_cursor_row = static_cast<int16_t>(row);
    terminal_show_cursor(terminal_cursor_column, terminal_cursor_row);
}

void TextTerminal::terminal_new_line() {
    terminal_hide_cursor(terminal_cursor_column, terminal_cursor_row);
    if (terminal_cursor_row >= kTerminalLastRow) {
        terminal_scroll_up();
        terminal_cursor_row = kTerminalLastRow;
    } else {
        ++terminal_cursor_row;
    }
    terminal_cursor_column = 0;
    terminal_show_cursor(terminal_cursor_column, terminal_cursor_row);
}

void TextTerminal::terminal_home() {
    terminal_hide_cursor(terminal_cursor_column, terminal_cursor_row);
    terminal_cursor_row = 0;
    terminal_cursor_column = 0;
    terminal_show_cursor(terminal_cursor_column, terminal_cursor_row);
}

// There is no wrap to the end of the row above.
void TextTerminal::terminal_backspace() {
    if (terminal_cursor_column <= 0) {
        return;
    }
    terminal_hide_cursor(terminal_cursor_column, terminal_cursor_row);
    --terminal_cursor_column;
    cell(terminal_cursor_column, terminal_cursor_row) = kTerminalBlank;
    terminal_show_cursor(terminal_cursor_column, terminal_cursor_row);
}

// The cursor itself walks the screen row by row while it blanks it.
void TextTerminal::terminal_clear_screen() {
    int16_t& row = terminal_cursor_row;
    int16_t& column = terminal_cursor_column;
    for (row = 0; row <= kTerminalLastRow; ++row) {
        for (column = 0; column <= kTerminalLastColumn; ++column) {
            cell(column, row) = kTerminalBlank;
            terminal_draw_char(kTerminalBlank, column, row);
        }
    }
    row = 0;
    column = 0;
    terminal_show_cursor(column, row);
}

// The caller shows the cursor again: the redraw loses it.
void TextTerminal::terminal_scroll_up() {
    for (int row = 1; row <= kTerminalLastRow; ++row) {
        for (int column = 0; column <= kTerminalLastColumn; ++column) {
            cell(column, row - 1) = cell(column, row);
        }
    }
    m_host.yield();
    for (int column = 0; column <= kTerminalLastColumn; ++column) {
        cell(column, kTerminalLastRow) = kTerminalBlank;
        terminal_draw_char(kTerminalBlank, column, kTerminalLastRow);
    }
    redraw_from_buffer(true);
}

// No cell is marked afterwards until the next operation that shows the cursor.
void TextTerminal::terminal_toggle_inverse() {
    int16_t& inverse = terminal_state.inverse_video;
    if (inverse == 0) {
        inverse = 1;
    } else if (inverse == 1) {
        inverse = 0;
    }
    redraw_from_buffer(false);
}

// Column by column, each from its top row.
void TextTerminal::redraw_from_buffer(bool yield_per_cell) {
    for (int column = 0; column <= kTerminalLastColumn; ++column) {
        for (int row = 0; row <= kTerminalLastRow; ++row) {
            terminal_draw_char(cell(column, row), column, row);
            if (yield_per_cell) {
                m_host.yield();
            }
        }
        if (yield_per_cell) {
            m_host.yield();
        }
    }
}

void TextTerminal::init_text_terminal() {
    terminal_state = TerminalState{};
    m_host.show_terminal_screen();
    for (int column = 0; column <= kTerminalLastColumn; ++column) {
        for (int row = 0; row <= kTerminalLastRow; ++row) {
            cell(column, row) = kTerminalBlank;
            terminal_draw_char(kTerminalBlank, column, row);
        }
    }
}

void TextTerminal::switch_off_screen() {
    m_host.blank_terminal_screen();
}

} // namespace tallyrig

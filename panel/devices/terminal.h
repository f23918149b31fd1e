// The Terminal window ("Text Terminal"): the text terminal's screen, 320 by 240 pixels, drawn
// glyph by glyph from the character ROM picture. While it is loaded it attaches output port 8.
#pragma once

#include "panel/char_rom.h"

#include <QImage>
#include <QWidget>

namespace tallyrig {

class Machine;
class ScreenView;
struct DeviceTables;
struct TextTerminal;

inline constexpr int kTerminalCellWidth = 10;
inline constexpr int kTerminalCellHeight = 15;
// Each glyph is stretched by one pixel both ways and overlaps its neighbours' first column and
// row; the next glyph drawn there covers the overlap.
inline constexpr int kTerminalGlyphWidth = kGlyphWidth + 1;
inline constexpr int kTerminalGlyphHeight = kGlyphHeight + 1;
inline constexpr int kTerminalScreenWidth = 320;
inline constexpr int kTerminalScreenHeight = 240;

class Terminal : public QWidget {
    Q_OBJECT
public:
    // Attaches output port 8 and starts in normal video; nothing here yields.
    Terminal(Machine& machine, DeviceTables& devices, TextTerminal& terminal,
             const CharRomPaths& char_rom, QWidget* parent = nullptr);
    ~Terminal() override;

    // The rest of the load, once the window is shown and its owner holds it: the character ROM
    // picture and, with the power on, a blank screen. It may yield and show a message.
    void load();

    // Copies glyph 0..511 onto a cell; a glyph beyond the picture draws a black cell.
    void draw_glyph(int glyph, int column, int row);
    void show_screen();
    void blank_screen();

    // What text_screen0 shows.
    const QImage& screen() const { return m_screen; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void load_char_rom_picture();
    void stretch_glyphs();

    Machine& m_machine;
    DeviceTables& m_devices;
    TextTerminal& m_terminal;
    const CharRomPaths& m_char_rom;

    QImage m_rom_char; // the picture as loaded
    QImage m_glyphs;   // every glyph stretched to its drawn size, 64 to a row
    QImage m_screen;   // text_screen0's picture; painted whenever the event loop next runs
    ScreenView* m_text_screen0 = nullptr;
};

} // namespace tallyrig

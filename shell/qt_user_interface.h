// The Qt side of the machine's user-interface interface. The run loop calls it after every
// instruction or stretch of RUN, so the common calls are cheap: yields reach the event loop only
// every few milliseconds, and a refresh call only marks its window for painting from the machine
// state, which a timer does at screen rate.
#pragma once

#include "core/user_interface.h"
#include "panel/devices/text_terminal.h"

#include <QElapsedTimer>

namespace tallyrig {

class Calculator;
class Machine;
class MDI;
class ModalSeam;
class Terminal;
class WorkbenchDevices;
class mDisplay;

class QtUserInterface : public UserInterface, public TerminalHost {
public:
    explicit QtUserInterface(ModalSeam& modal);

    // The machine and main window exist after this object; the application connects them.
    void attach(Machine* machine, MDI* main_window);
    void attach_terminal(TextTerminal* terminal);
    void attach_workbench(WorkbenchDevices* workbench);

    // Paints what the refreshes asked for and handles every pending event now.
    void process_events_now();
    // Paints the register, I/O port and walker windows if a refresh asked for it, and writes the
    // lines narrated into the message window since the last time.
    void flush_views();

    void yield() override;
    void wait_for_event() override;
    int32_t run_budget() override;

    void update_register_display() override;
    void update_ioport_display() override;
    void update_memory_walker(int32_t first_address, int32_t row_count) override;
    void reset_memory_walker_column() override;
    void show_mode_status() override;
    void set_status_message(std::string_view text) override;

    void set_walker_cell_text(int32_t row, WalkerColumn column, std::string_view text) override;
    void rewrite_walker_values(int32_t first_row, int32_t last_row) override;
    void set_walker_top_row(int32_t row) override;
    void set_walker_back_colour(uint32_t colour) override;
    void refresh_walker() override;

    void set_key_caption_colour(PanelKey key, uint32_t colour) override;
    void set_key_enabled(PanelKey key, bool enabled) override;

    std::string io_button_annotation() override;
    void set_io_button_annotation(std::string_view text) override;
    void set_io_button(std::string_view text) override;

    void clear_gatherer_output_file_name() override;

    void write_8bit_led_display(int16_t byte) override;
    void write_7seg_unencoded(int16_t byte) override;
    void write_7seg_decoded(int16_t byte) override;
    void Led1_Device_Driver(int16_t byte) override;
    void terminal_write_char(int32_t byte) override;
    void display_character(std::string_view text, int32_t byte) override;
    void set_status_leds(int32_t byte) override;

    MessageAnswer message_box(std::string_view text, std::string_view title, MessageIcon icon,
                              MessageButtons buttons) override;

    void append_message_text(std::string_view text, const TextStyle& style) override;

    // The text terminal's window, as its driver sees it.
    bool terminal_loaded() override;
    void load_terminal() override;
    void draw_glyph(int glyph, int column, int row) override;
    void show_terminal_screen() override;
    void blank_terminal_screen() override;
    void beep() override;

private:
    // The front panel the machine writes into; a closed one comes back. Null before the main
    // window exists.
    Calculator* front_panel();
    void restart_throttle();
    void schedule_paint();
    mDisplay* walker() const;
    void mark_walker();
    Terminal* terminal_window() const;

    ModalSeam& m_modal;
    Machine* m_machine = nullptr;
    MDI* m_main = nullptr;
    TextTerminal* m_terminal = nullptr;
    WorkbenchDevices* m_workbench = nullptr;

    bool m_registers_dirty = false;
    bool m_ioport_dirty = false;
    bool m_walker_dirty = false;
    bool m_paint_scheduled = false;
    int m_shown_mode = -1; // the mode the status bar shows; -1 none yet

    // Yield throttling: the clock is read only every m_calls_per_check calls, a number tuned
    // so that a look comes about every millisecond whatever the call rate.
    QElapsedTimer m_clock;
    int64_t m_countdown = 1;
    int64_t m_calls_per_check = 1;
    int64_t m_last_check_ns = 0;
    int64_t m_last_events_ns = 0;
    int64_t m_last_paint_ns = 0;
};

} // namespace tallyrig

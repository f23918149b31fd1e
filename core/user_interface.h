// Everything the machine says to the outside world goes through this one interface: view
// refreshes, device drivers, message boxes, the status bar, the message log and the event loop.
// Every call does nothing by default, which is how the machine behaves when no window exists;
// the Qt shell overrides what it shows and tests record the calls.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tallyrig {

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Keys of the front panel whose look the run loop keeps.
enum class PanelKey { Power, Reset, Step, Run };

// Columns of the memory walker grid.
enum class WalkerColumn { Breakpoint = 0, Marker = 1, Address = 2, Value = 3 };

// The style of a piece of text appended to the message log.
struct TextStyle {
    int font_size = 10;
    uint32_t colour = 0; // 0x00BBGGRR
    bool bold = false;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Event loop. yield() lets pending events run (it may skip when it ran very recently);
    // wait_for_event() blocks until at least one event has been handled, so waiting spins no core.
    virtual void yield() {}
    virtual void wait_for_event() {}
    // How many RUN instructions may follow one another before the run loop yields and refreshes
    // the register and I/O port views. Every test of the loop still comes before each
    // instruction, and an instruction's own calls (ports, HALT, an error box) happen as they do.
    virtual int32_t run_budget() { return 1; }

    // Views; each does what its window calls for, nothing when the window is closed.
    virtual void update_register_display() {}
    virtual void update_ioport_display() {}
    virtual void update_memory_walker(int32_t /*first_address*/, int32_t /*row_count*/) {}
    virtual void reset_memory_walker_column() {} // every data text of the walker, then a yield
    virtual void show_mode_status() {}
    virtual void set_status_message(std::string_view /*text*/) {} // panel "message"

    // Memory walker grid, called only while the walker is open.
    virtual void set_walker_cell_text(int32_t /*row*/, WalkerColumn /*column*/,
                                      std::string_view /*text*/) {}
    virtual void rewrite_walker_values(int32_t /*first_row*/, int32_t /*last_row*/) {}
    virtual void set_walker_top_row(int32_t /*row*/) {}
    virtual void set_walker_back_colour(uint32_t /*colour*/) {}
    virtual void refresh_walker() {}

    // Front panel keys.
    virtual void set_key_caption_colour(PanelKey /*key*/, uint32_t /*colour*/) {}
    virtual void set_key_enabled(PanelKey /*key*/, bool /*enabled*/) {}

    // I/O port window label of the last key taken; called only while that window is open.
    virtual std::string io_button_annotation() { return {}; }
    virtual void set_io_button_annotation(std::string_view /*text*/) {}
    virtual void set_io_button(std::string_view /*text*/) {}

    // Data gatherer's output file name box; called only while that window is open.
    virtual void clear_gatherer_output_file_name() {}

    // Device drivers of the output ports.
    virtual void write_8bit_led_display(int16_t /*byte*/) {}
    virtual void write_7seg_unencoded(int16_t /*byte*/) {}
    virtual void write_7seg_decoded(int16_t /*byte*/) {}
    virtual void Led1_Device_Driver(int16_t /*byte*/) {}
    virtual void terminal_write_char(int32_t /*byte*/) {}
    virtual void display_character(std::string_view /*text*/, int32_t /*byte*/) {}
    virtual void set_status_leds(int32_t /*byte*/) {}

    // A modal message box; returns the button the user chose.
    virtual MessageAnswer message_box(std::string_view /*text*/, std::string_view /*title*/,
                                      MessageIcon /*icon*/, MessageButtons /*buttons*/) {
        return MessageAnswer::Ok;
    }

    // Appends text at the end of the message window's log in the given style.
    virtual void append_message_text(std::string_view /*text*/, const TextStyle& /*style*/) {}
};

} // namespace tallyrig

// A UserInterface that records what the machine says, for tests. Scripted actions stand in
// for the user: they run when the machine yields or waits.
#pragma once

#include "core/user_interface.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tallyrig::testing {

struct RecordedBox {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
};

struct RecordedText {
    std::string text;
    TextStyle style;
};

class RecordingUserInterface : public UserInterface {
public:
    // Every call, in order, as a short line ("yield", "display_character A 65", ...).
    std::vector<std::string> calls;
    std::vector<RecordedBox> boxes;
    std::vector<RecordedText> log;
    std::vector<std::string> display; // texts given to display_character
    std::vector<int32_t> status_leds; // bytes given to set_status_leds
    std::vector<int32_t> terminal;    // bytes given to terminal_write_char
    std::vector<std::string> status_messages;
    std::string io_annotation = " ";
    std::string io_button;
    int yields = 0;
    int waits = 0;

    // Runs at every yield (after the count is taken); may change the machine.
    std::function<void()> on_yield;
    // One action per wait_for_event; a wait with none left is a test that would hang.
    std::deque<std::function<void()>> wait_actions;
    // Answers of message boxes, in order; Ok when none are left.
    std::deque<MessageAnswer> answers;
    // Runs as each message box shows (after it is recorded).
    std::function<void()> on_box;

    void yield() override {
        ++yields;
        if (on_yield) {
            on_yield();
        }
    }
    void wait_for_event() override {
        ++waits;
        calls.emplace_back("wait");
        if (wait_actions.empty()) {
            throw std::runtime_error("the machine waits for the user, but the test has no action");
        }
        auto action = std::move(wait_actions.front());
        wait_actions.pop_front();
        action();
    }

    void update_register_display() override { calls.emplace_back("update_register_display"); }
    void update_ioport_display() override { calls.emplace_back("update_ioport_display"); }
    void update_memory_walker(int32_t first, int32_t count) override {
        calls.push_back("update_memory_walker " + std::to_string(first) + " " +
                        std::to_string(count));
    }
    void reset_memory_walker_column() override { calls.emplace_back("reset_walker_column"); }
    void show_mode_status() override { calls.emplace_back("show_mode_status"); }
    void set_status_message(std::string_view text) override {
        status_messages.emplace_back(text);
        calls.push_back("status_message " + std::string(text));
    }
    void set_walker_cell_text(int32_t row, WalkerColumn column, std::string_view text) override {
        calls.push_back("walker_text " + std::to_string(row) + " " +
                        std::to_string(static_cast<int>(column)) + " '" + std::string(text) + "'");
    }
    void rewrite_walker_values(int32_t first, int32_t last) override {
        calls.push_back("walker_values " + std::to_string(first) + " " + std::to_string(last));
    }
    void set_walker_top_row(int32_t row) override {
        calls.push_back("walker_top " + std::to_string(row));
    }
    void set_walker_back_colour(uint32_t colour) override {
        calls.push_back("walker_colour " + std::to_string(colour));
    }
    void refresh_walker() override { calls.emplace_back("walker_refresh"); }
    void set_key_caption_colour(PanelKey key, uint32_t colour) override {
        calls.push_back("key_colour " + std::to_string(static_cast<int>(key)) + " " +
                        std::to_string(colour));
    }
    void set_key_enabled(PanelKey key, bool enabled) override {
        calls.push_back("key_enabled " + std::to_string(static_cast<int>(key)) + " " +
                        (enabled ? "1" : "0"));
    }
    std::string io_button_annotation() override { return io_annotation; }
    void set_io_button_annotation(std::string_view text) override { io_annotation = text; }
    void set_io_button(std::string_view text) override { io_button = text; }
    void clear_gatherer_output_file_name() override { calls.emplace_back("clear_gatherer_name"); }

    void write_8bit_led_display(int16_t byte) override { driver("write_8bit_led_display", byte); }
    void write_7seg_unencoded(int16_t byte) override { driver("write_7seg_unencoded", byte); }
    void write_7seg_decoded(int16_t byte) override { driver("write_7seg_decoded", byte); }
    void Led1_Device_Driver(int16_t byte) override { driver("Led1_Device_Driver", byte); }
    void terminal_write_char(int32_t byte) override {
        terminal.push_back(byte);
        driver("terminal_write_char", byte);
    }
    void display_character(std::string_view text, int32_t byte) override {
        display.emplace_back(text);
        calls.push_back("display_character " + std::string(text) + " " + std::to_string(byte));
    }
    void set_status_leds(int32_t byte) override {
        status_leds.push_back(byte);
        driver("set_status_leds", byte);
    }

    MessageAnswer message_box(std::string_view text, std::string_view title, MessageIcon icon,
                              MessageButtons buttons) override {
        boxes.push_back({std::string(text), std::string(title), icon, buttons});
        calls.push_back("message_box " + std::string(title));
        if (on_box) {
            on_box();
        }
        if (answers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    void append_message_text(std::string_view text, const TextStyle& style) override {
        log.push_back({std::string(text), style});
    }

    // The log as one text, the way the message window would show it.
    std::string log_text() const {
        std::string all;
        for (const RecordedText& t : log) {
            all += t.text;
        }
        return all;
    }

private:
    void driver(const char* name, int32_t byte) {
        calls.push_back(std::string(name) + " " + std::to_string(byte));
    }
};

} // namespace tallyrig::testing

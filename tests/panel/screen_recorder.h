// Stands in for the Terminal window in tests of the terminal's driver.
#pragma once

#include "panel/devices/text_terminal.h"

#include <array>
#include <functional>
#include <vector>

namespace tallyrig::testing {

inline constexpr int kBlankCursor = kTerminalBlank + 256; // the cursor on a blank cell

// Keeps the glyph each cell shows and every draw in order.
class ScreenRecorder : public TerminalHost {
public:
    struct Draw {
        int glyph, column, row;
    };
    bool loaded = true;
    int loads = 0;
    int yields = 0;
    int beeps = 0;
    int shows = 0;
    int blanks = 0;
    std::vector<Draw> draws;
    std::array<std::array<int, kTerminalRows>, kTerminalColumns> shown{};
    std::function<void()> on_load;  // what the window's load does
    std::function<void()> on_yield; // events handled in a yield

    int at(int column, int row) const {
        return shown[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
    }

    bool terminal_loaded() override { return loaded; }
    void load_terminal() override {
        ++loads;
        loaded = true;
        if (on_load) {
            on_load();
        }
    }
    void draw_glyph(int glyph, int column, int row) override {
        if (!loaded) {
            return;
        }
        draws.push_back({glyph, column, row});
        shown[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)] = glyph;
    }
    void yield() override {
        ++yields;
        if (on_yield) {
            on_yield();
        }
    }
    void show_terminal_screen() override { ++shows; }
    void blank_terminal_screen() override { ++blanks; }
    void beep() override { ++beeps; }
};

} // namespace tallyrig::testing

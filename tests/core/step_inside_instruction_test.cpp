// The mode turning STEP inside an instruction that began outside it: a display whose window is
// closed drops the machine into STEP as it is written, or Step is pressed while a key read
// yields. From that moment the instruction tells the rest of its steps, line for line and text
// for text, as the same instruction narrated from its start would.
#include "tests/support/machine_fixture.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace tallyrig::testing {
namespace {

class TurningInterface : public RecordingUserInterface {
public:
    int32_t budget = 1;
    std::function<void()> on_led_display;

    int32_t run_budget() override { return budget; }
    void write_8bit_led_display(int16_t byte) override {
        RecordingUserInterface::write_8bit_led_display(byte);
        if (on_led_display) {
            on_led_display();
        }
    }
};

// One narrated step and the text it wrote into the message window.
struct Narrated {
    LogCall call;
    std::string text;
    bool operator==(const Narrated&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Narrated& n) {
    return out << n.call << " '" << n.text << "'";
}

constexpr int32_t kLedDisplay = -1; // the turn comes from the 8-bit LED display's driver

struct Case {
    const char* name;
    std::vector<std::pair<int32_t, std::vector<int32_t>>> pieces; // address, bytes
    std::function<void(Machine&)> setup;
    int32_t turn_at; // a port whose read yields (Step is pressed there), or kLedDisplay
    int before = 0;  // instructions before the one that turns
};

enum class Way { StepFromItsStart, ExecuteInstruction, RunLoop, RunStretch };

struct Outcome {
    std::vector<Narrated> lines;
    std::optional<size_t> turned_at; // lines written when the mode turned
};

Outcome run(const Case& c, Way way) {
    BasicTestMachine<TurningInterface> t(TALLYRIG_SETTINGS_FILE);
    Machine& m = t.machine;
    t.power_on();
    m.windows.message_window_open = kTrue;
    m.status.machine_mode = MachineMode::Run;
    m.status.run_sub_state = RunSubState::Running;
    t.cpu().program_counter = kProgramStart;
    for (const auto& [address, bytes] : c.pieces) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            t.value(address + static_cast<int32_t>(i)) = bytes[i];
        }
    }
    c.setup(m);

    Outcome out;
    // Each line's text is what the window received from its call up to the next.
    size_t texts_seen = 0;
    const auto take_texts = [&] {
        for (; texts_seen < t.ui.log.size() && !out.lines.empty(); ++texts_seen) {
            out.lines.back().text += t.ui.log[texts_seen].text;
        }
    };
    m.log_tap = [&](int16_t l, int16_t mm, int16_t r, int32_t address) {
        take_texts();
        out.lines.push_back({{l, mm, r, address}, {}});
    };
    const auto turn = [&] {
        if (out.turned_at) {
            return;
        }
        out.turned_at = out.lines.size();
        if (c.turn_at == kLedDisplay) {
            m.status.machine_mode = MachineMode::Step; // as the absent device's check does
        } else {
            m.press_mode(MachineMode::Step);
        }
    };
    if (c.turn_at == kLedDisplay) {
        t.ui.on_led_display = turn;
    } else {
        t.ui.on_yield = [&] {
            if (t.cpu().memory_address_register == c.turn_at) {
                turn();
            }
        };
    }

    switch (way) {
    case Way::StepFromItsStart:
        t.execute(c.before);
        m.status.machine_mode = MachineMode::Step;
        t.execute();
        break;
    case Way::ExecuteInstruction:
        t.execute(c.before + 1);
        break;
    case Way::RunLoop:
    case Way::RunStretch:
        t.ui.budget = way == Way::RunLoop ? 1 : 1 << 16;
        t.ui.wait_actions.push_back([&t] { t.switch_off(); });
        t.enter_run_loop(MachineMode::Run);
        break;
    }
    take_texts();
    // The loop steps once more after the turn; that instruction is narrated whole.
    if (!out.lines.empty()) {
        out.lines.erase(std::find_if(out.lines.begin() + 1, out.lines.end(),
                                     [](const Narrated& n) { return n.call.l == kMsgGetOpcode; }),
                        out.lines.end());
    }
    return out;
}

TEST(StepInsideAnInstruction, TheRestOfItIsNarratedAsInStep) {
    const std::vector<Case> cases{
        {"STA [$F020] to a display whose window is closed",
         {{0x4000, {0x99, 0xF0, 0x20, 0x00}}},
         [](Machine& m) { m.cpu.accumulator = 0x5A; },
         kLedDisplay},
        {"BSTX [$F020]: the high byte reaches the closed display, the low byte a port beyond",
         {{0x4000, {0xA9, 0xF0, 0x20, 0x00}}},
         [](Machine& m) {
             m.cpu.index_register = 0x1234;
             m.cpu.index_register_loaded = kTrue;
         },
         kLedDisplay},
        {"PUSHA with the stack pointer on the closed display",
         {{0x4000, {0xB2, 0x00}}},
         [](Machine& m) {
             m.cpu.accumulator = 0x81;
             m.cpu.stack_pointer = kLed8BitPort;
             m.cpu.stack_pointer_loaded = kTrue;
         },
         kLedDisplay},
        {"LDA [$F011]: Step pressed while the keypad read yields",
         {{0x4000, {0x91, 0xF0, 0x11, 0x00}}},
         [](Machine& m) { cell(m, kKeypadPort).value = 0x07; },
         kKeypadPort},
        {"LDA [[$5000],X]: Step pressed while the keyboard read yields",
         {{0x4000, {0x95, 0x50, 0x00, 0x00}}, {0x5000, {0xF0, 0x00}}},
         [](Machine& m) {
             m.cpu.index_register = kKeyboardPort - 0xF000;
             m.cpu.index_register_loaded = kTrue;
             cell(m, kKeyboardPort).value = 'q';
         },
         kKeyboardPort},
        {"JMP [[$F010]]: Step pressed while the pointer's low byte is read from the keypad",
         {{0x4000, {0xC3, 0xF0, 0x10}}, {0x4010, {0x00}}},
         [](Machine& m) {
             cell(m, kKeypadPort - 1).value = 0x40;
             cell(m, kKeypadPort).value = 0x10;
         },
         kKeypadPort},
        {"INCA taken from the keypad as an opcode: Step pressed while it is read",
         {{0x4000, {0xC1, 0xF0, 0x11}}},
         [](Machine& m) {
             cell(m, kKeypadPort).value = 0x80;
             cell(m, kKeypadPort + 1).value = 0x00;
         },
         kKeypadPort,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome stepped = run(c, Way::StepFromItsStart);
        ASSERT_TRUE(stepped.turned_at.has_value());
        const std::vector<Narrated> rest(stepped.lines.begin() +
                                             static_cast<std::ptrdiff_t>(*stepped.turned_at),
                                         stepped.lines.end());
        ASSERT_FALSE(rest.empty());
        for (Way way : {Way::ExecuteInstruction, Way::RunLoop, Way::RunStretch}) {
            SCOPED_TRACE(static_cast<int>(way));
            const Outcome turned = run(c, way);
            EXPECT_EQ(turned.turned_at, size_t{0}); // nothing before the turn
            EXPECT_EQ(turned.lines, rest);
        }
    }
}

// The store the closed display interrupts: the bus's remark, then the store's own lines.
TEST(StepInsideAnInstruction, AStoreToAClosedDisplayEndsWithItsOwnLines) {
    const Case store{"STA [$F020]",
                     {{0x4000, {0x99, 0xF0, 0x20, 0x00}}},
                     [](Machine& m) { m.cpu.accumulator = 0x5A; },
                     kLedDisplay};
    const Outcome out = run(store, Way::RunStretch);
    ASSERT_EQ(out.lines.size(), 3u);
    EXPECT_EQ(out.lines[0].call, (LogCall{kMsgNone, kMsgNotRamAddress, kMsgNone, 0}));
    EXPECT_EQ(out.lines[1].call, (LogCall{kMsgNone, kMsgAccumulatorWritten, kMsgDataBus, 0}));
    EXPECT_NE(out.lines[1].text.find("$5A"), std::string::npos) << out.lines[1].text;
    EXPECT_EQ(out.lines[2].call, (LogCall{kMsgNone, kMsgFlagsNow, kMsgNoFlagsChanged, 0}));
}

// The silent form keeps the lines it tells after the turn in room for a fixed number; every
// opcode, stepped whole with its operands in RAM, in the ports or never written, fits in it.
TEST(StepInsideAnInstruction, EveryInstructionTellsFewerLinesThanTheMachineKeeps) {
    size_t most = 0;
    for (const OpcodeInfo& row : opcode_table()) {
        if (row.operation == Operation::Halt) {
            continue; // waits for a request
        }
        for (const int32_t high : {0x50, 0xF0, 0x00}) {
            BasicTestMachine<TurningInterface> t(TALLYRIG_SETTINGS_FILE);
            Machine& m = t.machine;
            t.power_on();
            size_t lines = 0;
            m.log_tap = [&](int16_t, int16_t, int16_t, int32_t) { ++lines; };
            for (const auto& [address, byte] :
                 {std::pair{0x4000, int32_t{row.opcode}}, {0x4001, high}, {0x4002, 0x10}}) {
                t.value(address) = byte;
            }
            for (int32_t a = 0x5000; a < 0x5200; ++a) {
                t.value(a) = high;
            }
            t.cpu().program_counter = kProgramStart;
            t.cpu().stack_pointer = 0x5100;
            t.cpu().stack_pointer_loaded = kTrue;
            t.cpu().index_register = 2;
            t.cpu().index_register_loaded = kTrue;
            t.cpu().jsr_depth = 3;
            m.status.machine_mode = MachineMode::Step;
            t.execute();
            most = std::max(most, lines);
        }
    }
    EXPECT_GT(most, size_t{30});
    EXPECT_LT(most, Machine::kToldLinesMax);
}

} // namespace
} // namespace tallyrig::testing

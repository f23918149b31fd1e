// A machine with a recording interface, and the front-panel moves tests need to drive it.
#pragma once

#include "core/machine.h"
#include "tests/support/recording_ui.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <ostream>
#include <vector>

namespace tallyrig::testing {

// One narrated step as the machine asked for it.
struct LogCall {
    int l = 0, m = 0, r = 0, address = 0;
    bool operator==(const LogCall&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const LogCall& c) {
    return out << "(" << c.l << ", " << c.m << ", " << c.r << ", " << c.address << ")";
}

// Memory moves every fixture on a machine shares.
inline MemoryCell& cell(Machine& machine, int32_t address) {
    return machine.memory_cells[static_cast<size_t>(address)];
}

// A cell's value to read or assign (no reference reaches the field itself).
class CellValue {
public:
    explicit CellValue(MemoryCell& cell) : m_cell(cell) {}
    operator int32_t() const { return m_cell.value; }
    CellValue& operator=(int32_t byte) {
        m_cell.value = byte;
        return *this;
    }
    friend std::ostream& operator<<(std::ostream& out, const CellValue& v) {
        return out << static_cast<int32_t>(v);
    }

private:
    MemoryCell& m_cell;
};

inline void load(Machine& machine, int32_t address, std::initializer_list<int32_t> bytes) {
    for (int32_t b : bytes) {
        cell(machine, address++).value = b;
    }
}

// A machine on an interface of the test's choosing (a recorder, or one that also hands calls
// on to a window), with every narrated step kept in `logged`.
template <typename Ui>
class BasicTestMachine {
public:
    Ui ui;
    MessageCatalog messages;
    Machine machine{ui, messages};
    std::vector<LogCall> logged;

    BasicTestMachine() { tap(); }
    explicit BasicTestMachine(const std::filesystem::path& settings_file)
        : messages(settings_file), machine(ui, messages) {
        tap();
    }

    CpuRegisters& cpu() { return machine.cpu; }
    MemoryCell& cell(int32_t address) { return testing::cell(machine, address); }
    CellValue value(int32_t address) { return CellValue(cell(address)); }
    void load(int32_t address, std::initializer_list<int32_t> bytes) {
        testing::load(machine, address, bytes);
    }

    // What the Power key does to the machine when it switches on.
    void power_on() {
        machine.power_up();
        machine.settle_in_reset();
        machine.power_switched(true);
    }

    void switch_off() { machine.power_down(); }

    // Runs execute_instruction n times from the current program counter.
    void execute(int n = 1) {
        for (int i = 0; i < n; ++i) {
            machine.execute_instruction();
        }
    }

    // Enters the run loop as Run or Step does after a reset; the test's yield and wait
    // actions decide when it ends. Stops by switching off after max_yields yields.
    void enter_run_loop(MachineMode mode, int max_yields = 100000) {
        machine.cpu.program_counter = kProgramStart;
        machine.cpu.last_instruction_address = kProgramStart;
        machine.status.machine_mode = mode;
        const int limit = ui.yields + max_yields;
        auto user_hook = ui.on_yield;
        ui.on_yield = [this, limit, user_hook] {
            if (user_hook) {
                user_hook();
            }
            if (ui.yields >= limit) {
                switch_off();
            }
        };
        machine.Maincpu();
        ui.on_yield = user_hook;
    }

private:
    void tap() {
        machine.log_tap = [this](int16_t l, int16_t m, int16_t r, int32_t address) {
            logged.push_back({l, m, r, address});
        };
    }
};

using TestMachine = BasicTestMachine<RecordingUserInterface>;

} // namespace tallyrig::testing

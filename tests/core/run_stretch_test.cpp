// RUN in stretches: whatever budget the interface hands the run loop, a program does exactly
// what it does with one instruction per yield; only the yields and refreshes between become
// fewer.
#include "tests/support/machine_fixture.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

class BudgetInterface : public RecordingUserInterface {
public:
    int32_t budget = 1;
    int32_t run_budget() override { return budget; }
};

struct Program {
    const char* name;
    std::vector<std::pair<int32_t, std::vector<int32_t>>> pieces; // address, bytes
    int32_t breakpoint = -1;
    bool interrupt_pending = false;
    // Runs at every yield, may record what it sees into the calls and change the machine.
    std::function<void(Machine&, std::vector<std::string>&)> on_yield = {};
};

// What a run leaves: registers, the program's memory, and every call but the yields and the
// view refreshes between instructions.
struct Outcome {
    CpuRegisters cpu;
    MachineMode mode{};
    std::vector<int32_t> memory;
    std::vector<std::string> calls;
    int yields = 0;
};

Outcome run(const Program& program, int32_t budget) {
    BasicTestMachine<BudgetInterface> t;
    t.ui.budget = budget;
    t.power_on();
    for (const auto& [address, bytes] : program.pieces) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            t.value(address + static_cast<int32_t>(i)) = bytes[i];
        }
    }
    if (program.breakpoint >= 0) {
        t.cell(program.breakpoint).breakpoint = kBreakpointSet;
    }
    t.cpu().interrupt_request = program.interrupt_pending ? 1 : 0;
    if (program.on_yield) {
        // A copy: each run starts the hook afresh.
        t.ui.on_yield = [&t, hook = program.on_yield]() mutable { hook(t.machine, t.ui.calls); };
    }
    t.ui.wait_actions.push_back([&t] { t.switch_off(); }); // stopped at the breakpoint
    t.enter_run_loop(MachineMode::Run);

    Outcome out{t.cpu(), t.machine.status.machine_mode, {}, {}, t.ui.yields};
    for (int32_t a = 0x4000; a <= kRamEnd; ++a) { // the program, its data and its stack
        out.memory.push_back(t.value(a));
    }
    std::copy_if(t.ui.calls.begin(), t.ui.calls.end(), std::back_inserter(out.calls),
                 [](const std::string& call) {
                     return call != "update_register_display" && call != "update_ioport_display";
                 });
    return out;
}

// A program reading keys as it runs; the yield of the third read switches the power off, which
// clears the registers while the read is under way.
Program keys_read_while_running() {
    return {"keys read while it runs, the power going off in the third read",
            {{0x4000,
              {0x91, 0xF0, 0x08,    // LDA [$F008]
               0x99, 0xF0, 0x28,    // STA [$F028]
               0xC1, 0x40, 0x00}}}, // JMP [$4000]
            -1,
            false,
            [keys = 0](Machine& m, std::vector<std::string>& calls) mutable {
                MemoryCell& port = m.memory_cells[kKeyboardPort];
                if (port.value != kNoKeyboardKey) {
                    return; // a yield between instructions
                }
                // Inside the read: the registers as the instruction has them so far.
                calls.push_back("key read pc " + std::to_string(m.cpu.program_counter) + " mar " +
                                std::to_string(m.cpu.memory_address_register) + " a " +
                                std::to_string(m.cpu.accumulator));
                port.value = 'a' + keys;
                if (++keys == 3) {
                    m.reset_cpu();
                    m.status.machine_mode = MachineMode::PowerOff;
                    m.status.power_on = 0;
                }
            }};
}

TEST(RunStretch, AnyBudgetRunsTheProgramAsOneInstructionPerYieldDoes) {
    const std::vector<Program> programs = {
        {"port writes up to a breakpoint",
         {{0x4000,
           {0x90, 0x00,          // LDA #0
            0x80,                // 4002 INCA
            0x99, 0xF0, 0x20,    // STA [$F020]
            0x99, 0x50, 0x00,    // STA [$5000]
            0x60, 0xC8,          // CMPA #200
            0xD6, 0x40, 0x02,    // JNZ [$4002]
            0x00,                // 400E NOP (breakpoint)
            0xC1, 0x00, 0x00}}}, // JMP [$0000]
         0x400E},
        {"an interrupt allowed by POPSR, then a jump to 0",
         {{0x4000,
           {0x50, 0xEF, 0xFF,   // BLDSP #$EFFF
            0xF0, 0x40, 0x30,   // BLDIV #$4030
            0x90, 0x10,         // LDA #$10 (flag I)
            0xB2,               // PUSHA
            0x80, 0x80, 0x80,   // INCA x3
            0xB1,               // POPSR
            0x80,               // INCA (after the interrupt routine)
            0xC1, 0x40, 0x0D}}, // JMP [$400D]
          {0x4030,
           {0x90, 0x41,          // LDA #'A'
            0x99, 0xF0, 0x31,    // STA [$F031]
            0xC1, 0x00, 0x00}}}, // JMP [$0000]
         -1,
         true},
        {"an undefined opcode stops it with an error",
         {{0x4000,
           {0x90, 0x05,       // LDA #5
            0x81,             // 4002 DECA
            0xD6, 0x40, 0x02, // JNZ [$4002]
            0x02}}}},         // undefined
        keys_read_while_running(),
    };
    for (const Program& program : programs) {
        SCOPED_TRACE(program.name);
        const Outcome one = run(program, 1);
        for (int32_t budget : {2, 7, 1 << 16}) {
            SCOPED_TRACE(budget);
            const Outcome stretched = run(program, budget);
            EXPECT_EQ(stretched.calls, one.calls);
            EXPECT_EQ(stretched.memory, one.memory);
            EXPECT_EQ(stretched.mode, one.mode);
            EXPECT_EQ(stretched.cpu.program_counter, one.cpu.program_counter);
            EXPECT_EQ(stretched.cpu.accumulator, one.cpu.accumulator);
            EXPECT_EQ(stretched.cpu.stack_pointer, one.cpu.stack_pointer);
            EXPECT_EQ(stretched.cpu.flag_i, one.cpu.flag_i);
            EXPECT_EQ(stretched.cpu.memory_address_register, one.cpu.memory_address_register);
            EXPECT_LT(stretched.yields, one.yields);
        }
    }
}

// A yield inside an instruction sees the registers as the instruction has them so far, and what
// it changes there stays changed, however long the stretch.
TEST(RunStretch, AYieldInsideAnInstructionSharesItsRegisters) {
    const Outcome out = run(keys_read_while_running(), 1 << 16);
    EXPECT_NE(std::find(out.calls.begin(), out.calls.end(), "key read pc 16387 mar 61448 a 97"),
              out.calls.end());
    EXPECT_EQ(out.cpu.program_counter, 0); // cleared; the read then ended as it does
    EXPECT_EQ(out.cpu.accumulator, 'b');
}

} // namespace
} // namespace tallyrig::testing

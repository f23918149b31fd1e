// The machine fed any memory and state, run through the run loop with keys pressed inside its
// yields and waits, and stopped after a bounded number of them: it never hangs or crashes,
// writes only where a program may write, and two machines given the same input end alike.
#include "core/machine.h"
#include "core/message_log.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

using tallyrig::fuzz::check;
using namespace tallyrig;

constexpr int kMaxYields = 800;
constexpr int kMaxWaits = 40;

// What a user does, at a given yield or at the next wait.
struct Event {
    enum Kind : uint8_t { Step, Run, Reset, PowerOff, Interrupt, Key, Breakpoint, Count };
    Kind kind = Step;
    int at_yield = -1; // -1: at a wait
    int32_t argument = 0;
};

class ScriptedUser : public UserInterface {
public:
    void attach(Machine* machine) { m_machine = machine; }
    void start(std::vector<Event> events) {
        m_events = std::move(events);
        m_next_wait = 0;
        m_yields = 0;
        m_waits = 0;
        breakpoints_changed.clear();
    }

    void yield() override {
        ++m_yields;
        for (const Event& e : m_events) {
            if (e.at_yield == m_yields) {
                act(e);
            }
        }
        if (m_yields >= kMaxYields) {
            switch_off();
        }
    }
    void wait_for_event() override {
        ++m_waits;
        while (m_next_wait < m_events.size() && m_events[m_next_wait].at_yield >= 0) {
            ++m_next_wait;
        }
        if (m_waits >= kMaxWaits || m_next_wait >= m_events.size()) {
            switch_off();
            return;
        }
        act(m_events[m_next_wait++]);
    }
    MessageAnswer message_box(std::string_view text, std::string_view, MessageIcon,
                              MessageButtons) override {
        check(!text.empty());
        return MessageAnswer::Ok;
    }
    void append_message_text(std::string_view text, const TextStyle&) override {
        check(!text.empty() && text.back() == '\n');
    }

    // Cells whose breakpoint the user changed.
    std::vector<int32_t> breakpoints_changed;

private:
    void switch_off() {
        m_machine->status.machine_mode = MachineMode::PowerOff;
        m_machine->status.power_on = 0;
    }
    void act(const Event& e) {
        MachineStatus& status = m_machine->status;
        switch (e.kind) {
        case Event::Step:
            status.machine_mode = MachineMode::Step;
            break;
        case Event::Run:
            status.machine_mode = MachineMode::Run;
            break;
        case Event::Reset:
            status.machine_mode = MachineMode::Reset;
            break;
        case Event::PowerOff:
            switch_off();
            break;
        case Event::Interrupt:
            m_machine->cpu.interrupt_request = 1;
            break;
        case Event::Key:
            m_machine->memory_cells[kKeypadPort].value = e.argument & 0xFF;
            break;
        case Event::Breakpoint:
        case Event::Count: {
            MemoryCell& cell = m_machine->memory_cells[static_cast<size_t>(e.argument & 0xFFFF)];
            cell.breakpoint = cell.breakpoint == kBreakpointSet ? 0 : kBreakpointSet;
            breakpoints_changed.push_back(cell.address);
            break;
        }
        }
    }

    Machine* m_machine = nullptr;
    std::vector<Event> m_events;
    std::size_t m_next_wait = 0;
    int m_yields = 0;
    int m_waits = 0;
};

// Every message carries every format code, so the narration substitutes all the time.
MessageCatalog& narration() {
    static MessageCatalog catalog = [] {
        std::string text = "[Message Section]\r\n";
        for (int n = 1; n <= 300; ++n) {
            text += "Message_Field_" + std::to_string(n) + "=Get Opcode " + std::to_string(n) +
                    " %a %d %t %x %z %c %i %o %n\r\n";
        }
        return MessageCatalog(ProfileDocument::parse(text));
    }();
    return catalog;
}

bool same(const CpuRegisters& a, const CpuRegisters& b) {
    return a.program_counter == b.program_counter && a.accumulator == b.accumulator &&
           a.stack_pointer == b.stack_pointer && a.index_register == b.index_register &&
           a.interrupt_vector == b.interrupt_vector && a.data_register == b.data_register &&
           a.memory_address_register == b.memory_address_register && a.jsr_depth == b.jsr_depth &&
           a.flag_z == b.flag_z && a.flag_o == b.flag_o && a.flag_n == b.flag_n &&
           a.flag_c == b.flag_c && a.flag_i == b.flag_i &&
           a.interrupt_request == b.interrupt_request;
}

static_assert(sizeof(MemoryCell) == 6 * sizeof(int32_t)); // compared as bytes

// Output ports whose writes are ignored.
__attribute__((no_sanitize("coverage"))) bool ignored_output_port(int32_t a) {
    return a >= kOutputPortStart && a <= kOutputPortEnd &&
           !(a >= kLed8BitPort && a <= kDualSevenSegPort) && a != kTerminalPort &&
           !(a >= kPlainStorePort && a <= kPlainStorePortsLast);
}

// Cells no program can change: ROM, the input ports but the two a read consumes, the output
// ports that ignore writes, and the empty top of the map.
__attribute__((no_sanitize("coverage"))) bool unchangeable(int32_t a) {
    return a <= kRomLastAddress ||
           (a >= kInputPortStart && a <= kInputPortEnd && a != kKeypadPort && a != kKeyboardPort) ||
           ignored_output_port(a) || a > kOutputPortEnd;
}

// The cells after a run, against what they held before it. A loop over every cell, so it
// carries no coverage of its own: the fuzzer is to explore the machine, not this check.
__attribute__((no_sanitize("coverage"))) void
check_cells(const MemoryCells& before, const MemoryCells& after, bool profiling,
            const std::vector<int32_t>& breakpoints_changed) {
    const MemoryCell* now_cells = after.data();
    const MemoryCell* was_cells = before.data();
    for (int32_t a = 0; a <= kLastCell; ++a) {
        const MemoryCell& now = now_cells[a];
        const MemoryCell& was = was_cells[a];
        check(now.address == was.address);
        check(now.marker == 0 || now.marker == kMarkerCurrent);
        check(now.count_primary >= 0 && now.count_secondary >= 0);
        check(profiling || (now.count_primary == 0 && now.count_secondary == 0));
        check(!unchangeable(a) || now.value == was.value);
        check(now.breakpoint == was.breakpoint ||
              std::find(breakpoints_changed.begin(), breakpoints_changed.end(), a) !=
                  breakpoints_changed.end());
    }
}

// A machine and its user, built once: a run starts from the memory a new machine has.
struct Bench {
    ScriptedUser ui;
    Machine machine{ui, narration()};
    MemoryCells before;

    Bench() { ui.attach(&machine); }
};

const MemoryCells& new_memory() {
    static const MemoryCells cells = Bench().machine.memory_cells;
    return cells;
}

void run(Bench& bench, const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<Event> events(input.ConsumeIntegralInRange<std::size_t>(0, 24));
    for (Event& e : events) {
        e.kind = static_cast<Event::Kind>(input.ConsumeIntegralInRange<int>(0, Event::Count - 1));
        e.at_yield = input.ConsumeBool() ? -1 : input.ConsumeIntegralInRange<int>(1, kMaxYields);
        e.argument = input.ConsumeIntegral<int32_t>();
    }
    ScriptedUser& ui = bench.ui;
    Machine& machine = bench.machine;
    ui.start(std::move(events));
    machine.cpu = {};
    machine.status = {};
    machine.windows = {};
    machine.memory_cells = new_memory();

    MachineStatus& status = machine.status;
    status.power_on = 1;
    status.run_sub_state = RunSubState::AfterReset;
    status.profiling_on = input.ConsumeBool() ? 1 : 0;
    status.run_delay = input.ConsumeIntegralInRange<int>(0, 3);
    machine.windows.memory_walker_open = input.ConsumeBool() ? kTrue : 0;
    machine.windows.message_window_open = input.ConsumeBool() ? kTrue : 0;
    machine.windows.ioport_window_open = input.ConsumeBool() ? kTrue : 0;
    CpuRegisters& cpu = machine.cpu;
    cpu.stack_pointer = input.ConsumeIntegral<int32_t>();
    cpu.interrupt_vector = input.ConsumeIntegral<int32_t>();
    cpu.index_register = input.ConsumeIntegral<int32_t>();
    cpu.accumulator = input.ConsumeIntegral<int32_t>();
    cpu.jsr_depth = input.ConsumeIntegral<int16_t>();
    for (int16_t* flag : {&cpu.flag_z, &cpu.flag_o, &cpu.flag_n, &cpu.flag_c, &cpu.flag_i,
                          &cpu.interrupt_request}) {
        *flag = input.ConsumeBool() ? 1 : 0;
    }
    for (int16_t* guard :
         {&cpu.stack_pointer_loaded, &cpu.interrupt_vector_loaded, &cpu.index_register_loaded}) {
        *guard = input.ConsumeBool() ? kTrue : 0;
    }
    const MachineMode mode = input.ConsumeBool() ? MachineMode::Run : MachineMode::Step;

    // Scattered cells anywhere in the map, breakpoints among them, then the program.
    const std::size_t scattered = input.ConsumeIntegralInRange<std::size_t>(0, 32);
    for (std::size_t i = 0; i < scattered; ++i) {
        MemoryCell& cell = machine.memory_cells[input.ConsumeIntegralInRange<size_t>(0, kLastCell)];
        cell.value = input.ConsumeIntegralInRange<int32_t>(0, kHashValue);
        cell.breakpoint = input.ConsumeBool() ? kBreakpointSet : 0;
    }
    const std::vector<uint8_t> program = input.ConsumeRemainingBytes<uint8_t>();
    const std::size_t room = static_cast<std::size_t>(kRamEnd - kProgramStart + 1);
    for (std::size_t i = 0; i < program.size() && i < room; ++i) {
        machine.memory_cells[static_cast<std::size_t>(kProgramStart) + i].value = program[i];
    }

    bench.before = machine.memory_cells;
    cpu.program_counter = kProgramStart;
    cpu.last_instruction_address = kProgramStart;
    status.machine_mode = mode;
    machine.Maincpu();

    check(!machine.in_run_loop());
    check(status.power_on == 0 || status.run_sub_state == RunSubState::AfterReset);
    check(cpu.program_counter >= 0 && cpu.program_counter <= 0xFFFF);
    check_cells(bench.before, machine.memory_cells, status.profiling_on == 1,
                ui.breakpoints_changed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Bench first;
    static Bench second;
    run(first, data, size);
    run(second, data, size);
    const Machine& a = first.machine;
    const Machine& b = second.machine;
    check(same(a.cpu, b.cpu));
    check(a.status.machine_mode == b.status.machine_mode &&
          a.status.power_on == b.status.power_on &&
          a.status.run_sub_state == b.status.run_sub_state);
    check(std::memcmp(a.memory_cells.data(), b.memory_cells.data(),
                      a.memory_cells.size() * sizeof(MemoryCell)) == 0);
    return 0;
}

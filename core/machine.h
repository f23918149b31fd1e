// The simulated computer: its state, the memory bus, the instruction state machine, the run
// loop and the micro-step message log. It knows no window; it speaks through UserInterface.
// The instruction cycle's machinery is core's own, in core/instruction_cycle.h.
#pragma once

#include "core/machine_state.h"
#include "core/message_log.h"
#include "core/opcode_table.h"
#include "core/ram_image.h"
#include "core/user_interface.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace tallyrig {

// Address register of a bus access.
enum OperandSelector : int32_t {
    kSelectProgramCounter = 0,
    kSelectOperandAddress = 1,
    kSelectIndirectAddress = 2,
    kSelectStack = 4,
};

// Reasons the state machine stops the program.
enum class StateMachineError : int16_t {
    IndexNotLoaded = 1,
    StoreIndexNotLoaded = 2,
    StoreStackNotLoaded = 3,
    StackNotLoaded = 4,
    TooManyReturns = 5,
    IncrementIndexNotLoaded = 6,
    DecrementIndexNotLoaded = 7,
    UndefinedOpcode = 8,
    InterruptVectorNotLoaded = 9,
    InterruptStackNotLoaded = 10,
};

// The text of the state-machine error box for a reason code (any value, unknown ones give no
// reason) and the address of the last memory access.
std::string state_machine_error_text(int16_t code, int32_t memory_address_register);

// The text the calculator display shows for a byte written to its port.
std::string calculator_character(int32_t byte);

class Machine {
public:
    Machine(UserInterface& ui, MessageCatalog& messages);
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    CpuRegisters cpu;
    MachineStatus status;
    MemoryCells memory_cells;
    WindowFlags windows;
    DumpFiles files;

    // Sees every narrated step, window open or not (tools and tests follow the machine here).
    std::function<void(int16_t l, int16_t m, int16_t r, int32_t address)> log_tap;

    UserInterface& ui() { return m_ui; }
    MessageCatalog& messages() { return m_messages; }

    // Putting the machine into a known condition.
    void reset_cpu();
    void Initialize();          // "Purge RAM"
    void clear_ram_and_ports(); // power-on
    void clear_memory();        // power-off

    // The memory bus.
    void read_memory_byte(int32_t selector);
    void write_memory_byte(int32_t selector, int32_t byte);
    void write_output_port(int32_t address, int32_t byte);

    // The instruction state machine: one instruction per call.
    void execute_instruction();
    void fetch_word_operand(int32_t selector);
    void fetch_byte_operand(int32_t selector);

    // The run loop and its helpers.
    void Maincpu();
    static void speed_delay(double count);
    void check_pc_zero();
    void restore_walker_colour();
    bool in_run_loop() const { return m_run_loop_depth > 0; }
    // Step and Run from the front panel: the mode the user asks for. The IDLE wait tells such a
    // press during its first yield from its own STEP.
    void press_mode(MachineMode mode) {
        status.machine_mode = mode;
        ++m_mode_presses;
    }

    // What the user does to the machine, each named for the deed. The windows change the machine
    // only through these; a running loop sees what they change at its next test.
    bool power_is_on() const { return status.power_on == 1; }
    // Switching on, in three steps because the panel's own work comes between them: the
    // machine comes up (RAM and ports cleared, CPU reset), settles in RESET, and only then takes
    // the switch's position, so a handler running in one of the yields still finds it off.
    void power_up();
    void settle_in_reset();
    void power_switched(bool on);
    // Switching off: POWER_OFF and the power off at once, then memory and every breakpoint go.
    void power_down();
    void forget_memory();
    // Reset, Step and Run keys. Reset answers whether the power was on to act on it. Step and
    // Run enter the run loop from the after-reset state and return when it ends; pressed while
    // a loop is active they only set the mode it acts on.
    bool press_reset();
    void press_step();
    void press_run();
    // Input ports: a programmable key's code (any number; the port keeps a byte), a QWERTY
    // key's code (kNoKeyboardKey: none), a workbench switch bank's byte.
    void press_keypad_key(int32_t code);
    void press_keyboard_key(int32_t code);
    void set_switch_port(int32_t port, int32_t byte);
    // The interrupt button; answers false, changing nothing, with the power off.
    bool raise_interrupt();
    // Breakpoints by address. Clearing also blanks the walker's breakpoint column of those rows
    // while the walker is open; a set mark is the breakpoint dialog's to draw.
    void set_breakpoint(int32_t address, bool set);
    void clear_breakpoints(int32_t first, int32_t last);
    // A write to a missing output device drops the machine into STEP before the box tells why.
    void fall_into_step();
    // The main window closing under an active loop has it end as for a reset.
    void end_run_loop() { status.machine_mode = MachineMode::Reset; }
    void set_run_delay(double rounds);
    void set_profiling(bool on);
    void reset_profile_counts();
    void window_opened(MachineWindow window, bool open);
    // Load RAM: the image goes into memory and names the dump files after itself.
    // Nothing is read from a file that is not there.
    std::optional<RamImageResult> load_ram_image(const std::string& file_name);
    OldRamImageResult load_old_ram_image(const std::string& file_name);
    void set_pad_file_path(const std::string& path) { files.pad_file_path = path; }
    // The machine as the program finds it at start-up: a fresh memory table, no delay.
    void start_fresh();

    void state_machine_error(StateMachineError reason);

    // One group of micro-step lines; callers call it only in STEP mode.
    void log_message(int16_t l, int16_t m, int16_t r, int32_t address);
    // The most lines a silent instruction keeps to write after its mode turned STEP; every
    // instruction tells fewer.
    static constexpr size_t kToldLinesMax = 128;
    std::string substitute_format_code(int32_t position, FormatCodeKind kind,
                                       const std::string& text, int32_t address,
                                       const FormatValues& values) const;

    bool stepping() const { return status.machine_mode == MachineMode::Step; }
    bool walker_open() const { return windows.memory_walker_open == kTrue; }
    int32_t status_byte() const;

private:
    // The instruction cycle's steps (core/instruction_cycle.h) work on the machine's own state;
    // they live in a header of core's own, so that a change to them rebuilds only core.
    friend class InstructionCycle;
    // Where the registers are while the cycle runs: the RUN stretch keeps them in locals.
    enum class RegisterHome : uint8_t;

    // HALT's wait for a request, a reset or power-off.
    void halt();

    // The bus's rarer paths, out of the way of the common ROM and RAM read.
    void read_beyond_ram(int32_t address);
    void write_outside_ram(int32_t address, int32_t byte);

    // A line a silent instruction tells once a call out has turned the mode to STEP. It waits,
    // with the values its texts show, for the instruction's next call out or its end: so the
    // silent form writes no line itself, and its registers need not outlive a call there.
    struct ToldLine {
        int16_t l = 0;
        int16_t m = 0;
        int16_t r = 0;
        int32_t address = 0;
        FormatValues values;
    };
    void write_lines(int16_t l, int16_t m, int16_t r, int32_t address, const FormatValues& values);
    [[gnu::noinline]] void write_told_lines();

    // Run loop pieces.
    bool can_run_on() const;
    void run_stretch(int32_t budget);
    void run_pass();
    void step_pass();
    void breakpoint_stop();
    void service_interrupt();
    void wait_for_user();
    void leave_for_reset();
    void clear_marker(int32_t address);
    void set_marker(int32_t address);
    MemoryCell* cell(int32_t address);

    UserInterface& m_ui;
    MessageCatalog& m_messages;
    int m_run_loop_depth = 0;
    RegisterHome m_registers{}; // in `cpu`
    size_t m_told_count = 0;
    std::array<ToldLine, kToldLinesMax> m_told_lines{};
    uint32_t m_mode_presses = 0;
};

} // namespace tallyrig

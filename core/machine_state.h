// The whole state of the simulated computer: registers, flags, modes, guards and the memory
// cell table. Plain data; the routines that act on it live in Machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tallyrig {

enum class MachineMode : int16_t {
    None = 0, // before the first power-on
    Run = 1,
    Step = 2,
    Idle = 3,
    Reset = 4,
    PowerOff = 5,
};

enum class RunSubState : int16_t {
    None = 0, // before the first power-on
    Running = 1,
    Stopped = 2, // stopped with the current-instruction marker shown
    AfterReset = 4,
};

// Guards and window flags that the machine tests hold -1 for true.
inline constexpr int16_t kTrue = -1;

// Addresses and sizes of the memory map.
inline constexpr int32_t kCellCount = 65537; // cell 0x10000 exists and every walk includes it
inline constexpr int32_t kLastCell = 65536;
inline constexpr int32_t kRomLastAddress = 0x3FFF;
inline constexpr int32_t kRomPastEnd = kRomLastAddress + 1; // first address after the ROM
inline constexpr int32_t kRamStart = 0x4000;
inline constexpr int32_t kRamClearedAtPowerOnEnd = 0xD7FF;
inline constexpr int32_t kRamEnd = 0xEFFF;
inline constexpr int32_t kStackCountCell = 0xEFFF; // push and pop counts always land here
inline constexpr int32_t kInputPortStart = 0xF000;
inline constexpr int32_t kInputPortEnd = 0xF01F;
inline constexpr int32_t kOutputPortStart = 0xF020;
inline constexpr int32_t kOutputPortEnd = 0xF03F;
inline constexpr int32_t kProgramStart = 0x4000;

// Ports.
inline constexpr int32_t kSwitchPanel2Port = 0xF000;
inline constexpr int32_t kSwitchPanel1Port = 0xF001;
inline constexpr int32_t kKeyboardPort = 0xF008;
inline constexpr int32_t kKeypadPort = 0xF011;
inline constexpr int32_t kLed8BitPort = 0xF020;
inline constexpr int32_t kSevenSegUnencodedPort = 0xF021;
inline constexpr int32_t kSevenSegDecodedPort = 0xF022;
inline constexpr int32_t kDualSevenSegPort = 0xF023;
inline constexpr int32_t kTerminalPort = 0xF028;
inline constexpr int32_t kCalculatorDisplayPort = 0xF031;
inline constexpr int32_t kStatusLedPort = 0xF032;
// Output ports that keep the byte written but drive no device.
inline constexpr int32_t kPlainStorePort = 0xF030;
inline constexpr int32_t kPlainStorePortsFirst = 0xF033;
inline constexpr int32_t kPlainStorePortsLast = 0xF035;

inline constexpr int32_t kNoKeyWaiting = 255; // keypad port
inline constexpr int32_t kNoKeyboardKey = 0;  // keyboard port

// Rows of the memory walker redrawn after an action, from the row the action names. A step,
// stop or dialog action redraws around the program counter; a reset, load, jump or scroll
// redraws a screenful and more from the new top; a key typed redraws the input ports.
inline constexpr int32_t kWalkerRefreshRows = 250;
inline constexpr int32_t kWalkerScreenRefreshRows = 300;
inline constexpr int32_t kWalkerInputPortRows = 32;

// Cell values beyond a byte.
inline constexpr int32_t kUndefinedValue = 256; // shown "$XX"
inline constexpr int32_t kHashValue = 257;      // shown "$##"

// Colours, 0x00BBGGRR.
inline constexpr uint32_t kColourBlack = 0x000000;
inline constexpr uint32_t kColourRed = 0x0000FF;
inline constexpr uint32_t kColourDarkRed = 0x000258;
inline constexpr uint32_t kColourMaroon = 0x000080;
inline constexpr uint32_t kColourDarkGreen = 0x008000;
inline constexpr uint32_t kColourBlue = 0xFF0000;
inline constexpr uint32_t kColourLightGrey = 0xE0E0E0;
inline constexpr uint32_t kColourWhite = 0xFFFFFF;

struct MemoryCell {
    int32_t address = 0;
    int32_t breakpoint = 0; // 1 = stop before executing here
    int32_t marker = 0;     // 2 = current instruction, shown " >>"
    // 0..255, 256 never written, 257 shown "$##". A full-width bit-field, which no pointer or
    // reference can reach: so the compiler knows that no store to a register changes a cell,
    // and the other way round, and keeps the instruction cycle's registers out of memory.
    int32_t value : 32 = 0;
    int32_t count_primary = 0;
    int32_t count_secondary = 0;
};

inline constexpr int32_t kBreakpointSet = 1;
inline constexpr int32_t kMarkerCurrent = 2;

struct CpuRegisters {
    int32_t program_counter = 0;
    int32_t instruction_address = 0;
    int32_t last_instruction_address = 0;
    int32_t operand_address = 0;
    int32_t indirect_address = 0;
    int32_t stack_pointer = 0;
    int32_t interrupt_vector = 0;
    int32_t accumulator = 0;
    int32_t alu_scratch = 0;
    int32_t instruction_register = 0;
    int32_t memory_address_register = 0;
    int32_t data_register = 0;
    int32_t index_register = 0;

    int16_t jsr_depth = 0;
    int16_t flag_z = 0;
    int16_t flag_o = 0;
    int16_t flag_n = 0;
    int16_t flag_c = 0;
    int16_t flag_i = 0;
    int16_t interrupt_request = 0;
    int16_t stack_pointer_loaded = 0; // -1 once loaded
    int16_t interrupt_vector_loaded = 0;
    int16_t index_register_loaded = 0;

    // Scratch words of the decimal instructions.
    int16_t bcd_digit_carry = 0;
    int16_t bcd_acc_negative = 0;
    int16_t bcd_operand_negative = 0;
};

// Flags packed as pushed by PUSHSR and the interrupt entry.
inline constexpr int32_t kStatusC = 1;
inline constexpr int32_t kStatusZ = 2;
inline constexpr int32_t kStatusN = 4;
inline constexpr int32_t kStatusO = 8;
inline constexpr int32_t kStatusI = 16;

// The flags of any register set that names them as CpuRegisters does.
template <class Registers>
constexpr int32_t packed_status(const Registers& r) {
    return (r.flag_c == 1 ? kStatusC : 0) | (r.flag_z == 1 ? kStatusZ : 0) |
           (r.flag_n == 1 ? kStatusN : 0) | (r.flag_o == 1 ? kStatusO : 0) |
           (r.flag_i == 1 ? kStatusI : 0);
}

struct MachineStatus {
    MachineMode machine_mode = MachineMode::None;
    RunSubState run_sub_state = RunSubState::None;
    int16_t power_on = 0;     // 1 on
    int16_t profiling_on = 0; // 1 = execution counting
    double run_delay = 0.0;   // empty delay-loop rounds per instruction
    int16_t message_log_count = 0;
    int32_t old_io_button_value = 0;
    std::string old_io_button_annotation;
};

// The windows whose being open the machine consults.
enum class MachineWindow { MemoryWalker, MessageWindow, IoPort, DataGatherer, RegisterDisplay };

// Open flags of the windows the machine consults: -1 open, except register_display_open (1).
struct WindowFlags {
    int16_t memory_walker_open = 0;
    int16_t message_window_open = 0;
    int16_t ioport_window_open = 0;
    int16_t data_gatherer_open = 0;
    int16_t register_display_open = 0;
};

// The last RAM image loaded and the dump files named after it.
struct DumpFiles {
    std::string ram_file_name;
    std::string pad_file_path;
    std::string rad_file_path;
};

using MemoryCells = std::vector<MemoryCell>;

} // namespace tallyrig

// The memory bus: every byte the program reads or writes passes here.
#include "core/instruction_cycle.h"

namespace tallyrig {

namespace {

bool is_input_port(int32_t address) {
    return address >= kInputPortStart && address <= kInputPortEnd;
}
bool is_output_port(int32_t address) {
    return address >= kOutputPortStart && address <= kOutputPortEnd;
}

} // namespace

std::string calculator_character(int32_t byte) {
    if (byte >= 0 && byte <= 9) {
        return std::string(1, static_cast<char>('0' + byte));
    }
    if (byte >= 10 && byte <= 15) {
        return std::string(1, static_cast<char>('A' + byte - 10));
    }
    switch (byte) {
    case 16:
        return "Clear";
    case 17:
        return "Bell";
    case 18:
        return "Back";
    case 32:
    case 127:
        return " ";
    case 35:
        return "#";
    default:
        break;
    }
    if (byte >= 33 && byte <= 126) {
        return std::string(1, static_cast<char>(byte));
    }
    return "#";
}

void Machine::read_memory_byte(int32_t selector) {
    InstructionCycle(*this).read_byte<true>(cpu, selector);
}

void Machine::write_memory_byte(int32_t selector, int32_t byte) {
    InstructionCycle(*this).write_byte<true>(cpu, selector, byte);
}

void Machine::read_beyond_ram(int32_t address) {
    InstructionCycle::expect_registers_lent(*this);
    if (is_input_port(address)) {
        MemoryCell& port = memory_cells[static_cast<size_t>(address)];
        cpu.data_register = port.value;
        if (address == kKeyboardPort) {
            // Reading consumes the key; a key pressed during the yield arrives afresh.
            if (port.value != kNoKeyboardKey) {
                port.value = kNoKeyboardKey;
            }
            m_ui.yield();
        } else if (address == kKeypadPort) {
            if (port.value != kNoKeyWaiting) {
                const int32_t taken = port.value;
                port.value = kNoKeyWaiting;
                if (windows.ioport_window_open == kTrue) {
                    status.old_io_button_value = taken;
                    status.old_io_button_annotation = m_ui.io_button_annotation();
                    m_ui.set_io_button_annotation("---");
                }
            }
            m_ui.yield();
        }
        return;
    }
    // Output ports and the unmapped top leave the data register as it was.
    if (stepping()) {
        log_message(kMsgNone, kMsgNoValidByte, kMsgNone, 0);
    }
}

void Machine::write_outside_ram(int32_t address, int32_t byte) {
    InstructionCycle::expect_registers_lent(*this);
    if (is_output_port(address)) {
        write_output_port(address, byte);
    }
    if (stepping()) {
        log_message(kMsgNone, kMsgNotRamAddress, kMsgNone, 0);
    }
}

// The plain-store ports are one port and then a run of three, so the cases below name them all.
static_assert(kPlainStorePortsLast == kPlainStorePortsFirst + 2);

void Machine::write_output_port(int32_t address, int32_t byte) {
    const auto store = [&] { memory_cells[static_cast<size_t>(address)].value = byte; };
    const auto as16 = static_cast<int16_t>(byte);
    switch (address) {
    case kLed8BitPort:
        store();
        m_ui.write_8bit_led_display(as16);
        break;
    case kSevenSegUnencodedPort:
        store();
        m_ui.write_7seg_unencoded(as16);
        break;
    case kSevenSegDecodedPort:
        store();
        m_ui.write_7seg_decoded(as16);
        break;
    case kDualSevenSegPort:
        store();
        m_ui.Led1_Device_Driver(as16);
        break;
    case kTerminalPort:
        store();
        m_ui.terminal_write_char(byte);
        break;
    case kCalculatorDisplayPort:
        store();
        m_ui.display_character(calculator_character(byte), byte);
        break;
    case kStatusLedPort:
        store();
        m_ui.set_status_leds(byte);
        break;
    case kPlainStorePort:
    case kPlainStorePortsFirst:
    case kPlainStorePortsFirst + 1:
    case kPlainStorePortsLast:
        store();
        break;
    default:
        break;
    }
}

} // namespace tallyrig

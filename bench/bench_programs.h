// The programs the machine benchmarks run, each ending in a jump to 0, where the run loop resets
// the machine and returns: so a run is a known number of instructions.
#pragma once

#include "core/machine.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tallyrig::bench {

// A tight loop: X counts the rounds; A counts up and is stored on every round.
inline const std::vector<int32_t> kTightLoop = {
    0xA0, 0xFF, 0xFF, // 4000 BLDX #$FFFF
    0x80,             // 4003 INCA
    0x99, 0x50, 0x00, // 4004 STA [$5000]
    0x83,             // 4007 DECX
    0xD6, 0x40, 0x03, // 4008 JNZ [$4003]
    0xC1, 0x00, 0x00, // 400B JMP [$0000]
};

// Every addressing mode a program uses, a subroutine call and a 16-bit store, in 12 instructions
// a round; X counts 256 rounds and index the tables, and the count at $5010 repeats them.
inline constexpr int32_t kMixedRepeats = 0x5010;
inline const std::vector<int32_t> kMixedLoop = {
    0x50, 0xEF, 0x00, // 4000 BLDSP #$EF00           big immediate
    0xA0, 0x01, 0x00, // 4003 BLDX #$0100
    0x90, 0x05,       // 4006 LDA #5                  immediate
    0x11, 0x50, 0x00, // 4008 ADD [$5000]             absolute
    0x99, 0x50, 0x00, // 400B STA [$5000]
    0x92, 0x51, 0x00, // 400E LDA [$5100,X]           indexed
    0x9B, 0x53, 0x00, // 4011 STA [[$5300]]           indirect
    0x94, 0x60, 0x00, // 4014 LDA [[$6000,X]]         pre-indexed
    0x9D, 0x53, 0x00, // 4017 STA [[$5300],X]         post-indexed
    0xC9, 0x40, 0x34, // 401A JSR [$4034]
    0xA9, 0x50, 0x02, // 401D BSTX [$5002]
    0x83,             // 4020 DECX
    0xD6, 0x40, 0x06, // 4021 JNZ [$4006]             conditional jump
    0x91, 0x50, 0x10, // 4024 LDA [$5010]
    0x81,             // 4027 DECA
    0x99, 0x50, 0x10, // 4028 STA [$5010]
    0xD6, 0x40, 0x03, // 402B JNZ [$4003]
    0xC1, 0x00, 0x00, // 402E JMP [$0000]
    0x00, 0x00, 0x00, // 4031 (unused)
    0x80,             // 4034 INCA
    0xCF,             // 4035 RTS
};

// Powers the machine on with the program at $4000 and its data, ready to run from there.
inline void load_program(Machine& m, std::span<const int32_t> program, int32_t repeats = 32) {
    m.clear_ram_and_ports();
    m.reset_cpu();
    m.status.power_on = 1;
    auto poke = [&m](int32_t address, int32_t byte) {
        m.memory_cells[static_cast<size_t>(address)].value = byte;
    };
    int32_t address = kProgramStart;
    for (int32_t byte : program) {
        poke(address++, byte);
    }
    for (int32_t a = 0x5000; a <= 0x5003; ++a) {
        poke(a, 0);
    }
    poke(kMixedRepeats, repeats);
    for (int32_t a = 0x5100; a <= 0x5201; ++a) {
        poke(a, a & 0xFF);
    }
    poke(0x5300, 0x54); // [[$5300]] is $5400
    poke(0x5301, 0x00);
    for (int32_t a = 0x6000; a <= 0x6201; a += 2) { // every [[$6000,X]] is $7000
        poke(a, 0x70);
        poke(a + 1, 0x00);
    }
    m.cpu.program_counter = kProgramStart;
    m.cpu.last_instruction_address = kProgramStart;
}

// How many instructions one run of the program takes, to the jump to 0 included.
inline int64_t instructions_in_run(Machine& m, std::span<const int32_t> program,
                                   int32_t repeats = 32) {
    load_program(m, program, repeats);
    m.status.machine_mode = MachineMode::Run;
    int64_t count = 0;
    do {
        m.execute_instruction();
        ++count;
    } while (m.cpu.program_counter != 0);
    return count;
}

} // namespace tallyrig::bench

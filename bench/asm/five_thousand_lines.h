// The benchmarks' program: a 5,000-line source of every kind of line.
#pragma once

#include <string>

namespace tallyrig::bench {

// A program of every kind of line: labels, every addressing mode, expressions, data,
// comments and blank lines; 5,000 lines in all.
inline std::string five_thousand_lines() {
    std::string source = "# generated for the benchmark\n"
                         "SIZE:   .EQU 16\n"
                         "        .ORG $4000\n"
                         "        BLDSP $EFFF\n"
                         "        BLDX 0\n";
    int lines = 5;
    for (int i = 0; lines < 4990; ++i) {
        const std::string n = std::to_string(i);
        source += "L" + n + ":   LDA [T" + n + "+SIZE/2]     # load a table entry\n";
        source += "        ADD (SIZE*2-1)\n";
        source += "        STA [[P" + n + "],X]\n";
        source += "        JNZ [L" + n + "]\n";
        source += "\n";
        source += "        CMPA [T" + n + ",X]\n";
        source += "        JSR [[P" + n + "]]\n";
        source += "P" + n + ":   .2BYTE T" + n + "\n";
        source += "T" + n + ":   .BYTE 1, 2, $FF\n";
        lines += 9;
    }
    while (lines < 4999) {
        source += "# padding\n";
        ++lines;
    }
    return source + "        .END\n";
}

} // namespace tallyrig::bench

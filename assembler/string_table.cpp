#include "assembler/string_table.h"

#include "asmlib/error_texts.h"

#include <algorithm>

namespace tallyrig {

namespace {

// Columns: label (10), mnemonic (7 for implied instructions and directives, else 6), operand
// and a blank, "# " and the comment. The texts are the table's own, typing slips included.
constexpr StringEntry kTemplates[] = {
    {10, "<Label>:  CLRIM  # Comment"},
    {20, "<Label>:  SETIM  # Comment"},
    {30, "<Label>:  INCA   # Comment"},
    {40, "<Label>:  DECA   # Comment"},
    {50, "<Label>:  INCX   # Comment"},
    {60, "<Label>:  DECX   # Comment"},
    {70, "<Label>:  HALT   # Comment"},
    {80, "<Label>:  NOP    # Comment"},
    {90, "<Label>:  PUSHA  # Comment"},
    {100, "<Label>:  POPA   # Comment"},
    {110, "<Label>:  PUSHSR # Comment"},
    {120, "<Label>:  POPSR  # Comment"},
    {130, "<Label>:  SHL    # Comment"},
    {140, "<Label>:  SHR    # Comment"},
    {150, "<Label>:  ROL    # Comment"},
    {160, "<Label>:  ROR    # Comment"},
    {170, "<Label>:  RTI    # Comment"},
    {180, "<Label>:  RTS    # Comment"},
    {200, "<Label>:  ADD   <integer> # Comment"},
    {220, "<Label>:  ADDC  <integer> # Comment"},
    {225, "<Label>:  DADD  <integer> # Comment"},
    {230, "<Label>:  DADDC <integer> # Comment"},
    {240, "<Label>:  SUB   <integer> # Comment"},
    {260, "<Label>:  SUBC  <integer> # Comment"},
    {265, "<Label>:  DSUB  <integer> # Comment"},
    {270, "<Label>:  DSUBC <integer> # Comment"},
    {280, "<Label>:  AND   <integer> # Comment"},
    {300, "<Label>:  OR    <integer> # Comment"},
    {320, "<Label>:  XOR   <integer> # Comment"},
    {340, "<Label>:  CMPA  <integer> # Comment"},
    {360, "<Label>:  LDA   <integer> # Comment"},
    {400, "<Label>:  BLDIV <integer> # Comment"},
    {420, "<Label>:  BLDSP <integer> # Comment"},
    {440, "<Label>:  BLDX  <integer> # Comment"},
    {500, "<Label>:  ADD   [<integer>] # Comment"},
    {520, "<Label>:  ADDC  [<integer>] # Comment"},
    {525, "<Label>:  DADD  [<integer>] # Comment"},
    {530, "<Label>:  DADDC [<integer>] # Comment"},
    {540, "<Label>:  SUB   [<integer>] # Comment"},
    {560, "<Label>:  SUBC  [<integer>] # Comment"},
    {565, "<Label>:  DSUB  [<integer>] # Comment"},
    {568, "<Label>:  DSUBC [<integer>] # Comment"},
    {570, "<Label>:  AND   [<integer>] # Comment"},
    {580, "<Label>:  OR    [<integer>] # Comment"},
    {600, "<Label>:  XOR   [<integer>] # Comment"},
    {620, "<Label>:  CMPA  [<integer>] # Comment"},
    {640, "<Label>:  LDA   [<integer>] # Comment"},
    {660, "<Label>:  STA   [<integer>] # Comment"},
    {680, "<Label>:  BLDIV [<integer>] # Comment"},
    {700, "<Label>:  BLDSP [<integer>] # Comment"},
    {720, "<Label>:  BLDX  [<integer>] # Comment"},
    {740, "<Label>:  BSTSP [<integer>] # Comment"},
    {750, "<Label>:  BSTX  [<integer>] # Comment"},
    {760, "<Label>:  JC    [<integer>] # Comment"},
    {780, "<Label>:  JNC   [<integer>] # Comment"},
    {800, "<Label>:  JN    [<integer>] # Comment"},
    {820, "<Label>:  JNN   [<integer>] # Comment"},
    {840, "<Label>:  JO    [<integer>] # Comment"},
    {860, "<Label>:  JNO   [<integer>] # Comment"},
    {880, "<Label>:  JZ    [<integer>] # Comment"},
    {900, "<Label>:  JNZ   [<integer>] # Comment"},
    {920, "<Label>:  JMP   [<integer>] # Comment"},
    {940, "<Label>:  JSR   [<integer>] # Comment"},
    {1000, "<Label>:  ADD   [<integer>,X] # Comment"},
    {1020, "<Label>:  ADDC  [<integer>,X] # Comment"},
    {1025, "<Label>:  DADD  [<integer>,X] # Comment"},
    {1030, "<Label>:  DADDC [<integer>,X] # Comment"},
    {1040, "<Label>:  SUB   [<integer>,X] # Comment"},
    {1060, "<Label>:  SUBC  [<integer>,X] # Comment"},
    {1065, "<Label>:  DSUB  [<integer>,X] # Comment"},
    {1070, "<Label>:  DSUBC [<integer>,X] # Comment"},
    {1080, "<Label>:  AND   [<integer>,X] # Comment"},
    {1100, "<Label>:  OR    [<integer>,X] # Comment"},
    {1120, "<Label>:  XOR   [<integer>,X] # Comment"},
    {1140, "<Label>:  CMPA  [<integer>,X] # Comment"},
    {1160, "<Label>:  LDA   [<integer>,X] # Comment"},
    {1180, "<Label>:  STA   [<integer>,X] # Comment"},
    {1200, "<Label>:  JMP   [<integer>,X] # Comment"},
    {1220, "<Label>:  JSR   [<integer>,X] # Comment"},
    {1300, "<Label>:  LDA   [[<integer>,X]] # Comment"},
    {1320, "<Label>:  STA   [[<integer>,X]] # Comment"},
    {1340, "<Label>:  JMP   [[<integer>,X]] # Comment"},
    {1360, "<Label>:  JSR   [[<integer>,X]] # Comment"},
    {1400, "<Label>:  LDA   [[<integer>],X] # Comment"},
    {1420, "<Label>:  STA   [[<integer>],X] # Comment"},
    {1440, "<Label>:  JMP   [[<integer>],X] # Comment"},
    {1460, "<Label>:  JSR   [[<integer>],X] # Comment"},
    {1500, "<Label>:  LDA   [[<integer>]] # Comment"},
    {1520, "<Label>:  STA   [[<integer>]] # Comment"},
    {1540, "<Label>:  JMP   [[<integer>]] # Comment"},
    {1560, "<Label>:  JSR   [[<integer>]] # Comment"},
    {2000, "          .ORG   <integer> # The start address of the program"},
    {2020, "          .END   <integer> # The end ofthe program"},
    {2040, "<Label>:  .EQU   <integer> # Comment"},
    {2060, "<Label>:  .BYTE  <integer> # Reserve 1 byte of memory"},
    {2080, "<Label>:  .2BYTE <integer> # Reserve 2 Bytes of memory"},
    {2100, "          .4BYTE <integer> # Reserve 4 Bytes of memory"},
};

} // namespace

std::span<const StringEntry> template_strings() {
    return kTemplates;
}

std::optional<std::string_view> string_table_text(int32_t id) {
    const int32_t code = id - kAssemblerMessageBase;
    if (code >= 1 && code < static_cast<int32_t>(assembler::kErrorTexts.size())) {
        return assembler::kErrorTexts[static_cast<size_t>(code)];
    }
    const auto* entry =
        std::lower_bound(std::begin(kTemplates), std::end(kTemplates), id,
                         [](const StringEntry& e, int32_t key) { return e.id < key; });
    if (entry == std::end(kTemplates) || entry->id != id) {
        return std::nullopt;
    }
    return entry->text;
}

} // namespace tallyrig

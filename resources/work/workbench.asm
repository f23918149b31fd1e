# Lesson 3: the workbench, switches in and lights out
#
# Open the workbench (Tools menu, "Workbench #1...") before running this
# program: its output devices only work while their window is open.
#   $F000  input:  "8-Bit Switch Bank 1", the upper row of switches,
#          one bit per switch, bit 7 on the left
#   $F001  input:  "8-Bit Switch Bank 2", the row below it
#   $F020  output: "8-Bit LEDs", the row below the switches, bit 7 on the left
#   $F021  output: "7-Seg Un-Dec", a 7-segment display driven segment by
#          segment (bit 0 segment a at the top, then b, c, d, e, f, and
#          bit 6 g in the middle)
#   $F022  output: "7-Seg Dec", the low four bits as one hex digit
#   $F023  output: "Dual 7-Seg Decoded", the whole byte as two hex digits
#
# The program copies the switches to the displays for ever: click a switch
# and watch the lights follow.

BANK1:    .EQU $F000
BANK2:    .EQU $F001
BAR:      .EQU $F020
SEGMENTS: .EQU $F021
DECODED:  .EQU $F022
DUAL:     .EQU $F023

          .ORG $4000
loop:     LDA [BANK2]             # read all eight switches of bank 2
          STA [BAR]               # each switch lights the LED below it
          STA [DUAL]              # the same byte as two hex digits
          STA [DECODED]           # only its low four bits, as one digit
          LDA [BANK1]             # bank 1 draws its own digit:
          AND $7F                 # seven segments, so bit 7 is not needed
          STA [SEGMENTS]
          JMP [loop]              # and again, so changes show at once
          .END

# Lesson 3: the workbench, switches in and lights out
#
# Open the workbench (Tools menu, "Workbench #1...") before running this
# program: its output devices only work while their window is open.
#   $F001  input:  switch panel 1, one bit per switch
#   $F000  input:  switch panel 2
#   $F020  output: eight LEDs, bit 7 on the left
#   $F021  output: a 7-segment display driven segment by segment
#          (bit 0 segment a at the top, then b, c, d, e, f, and bit 6 g)
#   $F022  output: a 7-segment display showing the low four bits as a digit
#   $F023  output: two 7-segment digits showing the whole byte in hex
#
# The program copies the switches to the displays for ever: flip a switch
# and watch the lights follow.

SWITCH1:  .EQU $F001
SWITCH2:  .EQU $F000
BAR:      .EQU $F020
SEGMENTS: .EQU $F021
DECODED:  .EQU $F022
DUAL:     .EQU $F023

          .ORG $4000
loop:     LDA [SWITCH1]           # read all eight switches of panel 1
          STA [BAR]               # each switch lights the LED above it
          STA [DUAL]              # the same byte as two hex digits
          STA [DECODED]           # only its low four bits, as one digit
          LDA [SWITCH2]           # panel 2 draws its own digit:
          AND $7F                 # seven segments, so bit 7 is not needed
          STA [SEGMENTS]
          JMP [loop]              # and again, so changes show at once
          .END

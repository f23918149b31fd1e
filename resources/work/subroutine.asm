# Lesson 6: a subroutine and the stack
#
# JSR jumps to a subroutine and pushes the return address onto the stack;
# RTS pops it and continues after the JSR. PUSHA and POPA keep a value on
# the same stack. Load the stack pointer SP first (BLDSP): without it the
# machine stops with an error.
#
# The subroutine show_hex writes the accumulator on the display as two
# hexadecimal digits and a blank. The main program calls it twice.

DISPLAY:  .EQU $F031
CLEAR:    .EQU 16
BLANK:    .EQU 32

          .ORG $4000
start:    BLDSP $EFFF             # the stack: top of RAM, growing down
          LDA CLEAR
          STA [DISPLAY]
          LDA $2A
          JSR [show_hex]          # shows "2A "
          LDA $C5
          JSR [show_hex]          # shows "C5 "
          HALT

# show_hex: in A the byte to show. A is left as it was.
show_hex: PUSHA                   # save the byte for the low digit
          SHR                     # high digit: four shifts to the right...
          SHR
          SHR
          SHR
          AND $0F                 # ...and away with the copied sign bits
          STA [DISPLAY]
          POPA                    # the byte again
          PUSHA                   # and saved again, for the caller
          AND $0F                 # low digit
          STA [DISPLAY]
          LDA BLANK
          STA [DISPLAY]
          POPA                    # A as the caller left it
          RTS                     # back to the instruction after the JSR
          .END

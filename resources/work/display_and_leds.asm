# Lesson 1: the calculator display and the six status LEDs
#
# A program talks to the front panel by storing bytes into output ports,
# addresses that belong to a device instead of to memory:
#   $F031  the 23-character display. Every byte written shifts one character
#          in from the right: 0-9 and 10-15 show as hexadecimal digits, other
#          codes as their ASCII character; 16 clears the display, 17 rings
#          the bell and 18 deletes the last character.
#   $F032  the six status LEDs, the red squares under the display: bit 0 is
#          LED 1, the rightmost, and bit 5 LED 6, the leftmost.
#
# The program clears the display, writes a greeting one character at a time,
# lets a single light run along the LEDs from right to left, lights all six
# and halts.
#
# At full speed it is over in a blink, so only the end shows. To watch the
# letters arrive and the light run, slow the clock first: Setup menu,
# "System Clock...", move the thumb a little way towards Slow and press
# Apply (and back to Fast and Apply afterwards).

DISPLAY:  .EQU $F031              # calculator display port
LEDS:     .EQU $F032              # status LED port
CLEAR:    .EQU 16                 # the display's "clear" code

          .ORG $4000              # programs start at the first RAM address
start:    BLDX 0                  # X counts through the message from byte 0
          LDA CLEAR
          STA [DISPLAY]
next:     LDA [message,X]         # the byte at address message + X
          JZ [leds]               # a zero byte marks the end of the text
          STA [DISPLAY]
          INCX
          JMP [next]

# Light LED 1, then LED 2 ... then LED 6: shifting left moves the lit bit,
# and on the panel the light one place to the left.
leds:     LDA 1
shift:    STA [LEDS]
          SHL                     # 1, 2, 4, 8, 16, 32 and then 64
          CMPA 64                 # 64 is bit 6: past the sixth LED
          JNZ [shift]
          LDA $3F                 # %111111: all six LEDs together
          STA [LEDS]
          HALT                    # done: Run stays grey until Reset

message:  .BYTE $48, $45, $4C, $4C, $4F, $20             # "HELLO "
          .BYTE $54, $41, $4C, $4C, $59, $52, $49, $47   # "TALLYRIG"
          .BYTE 0                                        # end of the text
          .END

# Lesson 2: reading the programmable keys
#
# Each of the front panel's 70 programmable keys carries a code, set in the
# key editor (a right click on the key opens it). Pressing a key puts its code
# into input port $F011. Reading the port takes the code away and leaves 255
# there, which means "no key is waiting". So a program asks the port again and
# again (it "polls" it) until something other than 255 comes back.
#
# The program shows the code of every key pressed on the display as two
# hexadecimal digits followed by a blank.

KEYPAD:   .EQU $F011              # programmable keys input port
DISPLAY:  .EQU $F031              # calculator display port
NO_KEY:   .EQU 255                # what the port holds while no key waits
BLANK:    .EQU 32                 # a space character

          .ORG $4000
wait:     LDA [KEYPAD]            # the key's code, or 255
          CMPA NO_KEY             # Z is set when A equals the operand
          JZ [wait]               # nothing pressed yet: ask again
          STA [key]               # keep the code: we need it twice

# The high digit: shift the byte four places to the right. SHR keeps bit 7
# as it was (it is an arithmetic shift), so mask the upper bits off after.
          SHR
          SHR
          SHR
          SHR
          AND $0F
          STA [DISPLAY]           # bytes 0 to 15 show as one hex digit
          LDA [key]
          AND $0F                 # the low digit is simply the low four bits
          STA [DISPLAY]
          LDA BLANK
          STA [DISPLAY]
          JMP [wait]

key:      .BYTE 0                 # a byte of RAM for the code last read
          .END

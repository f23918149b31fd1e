# Lesson 4: the text terminal echoing the keyboard
#
# Open the terminal before running this (Tools menu, "Terminal": it opens
# the keyboard as well).
#   $F008  input:  the character code of the key clicked last on the
#          Keyboard window; reading the port takes the key and leaves 0,
#          which means "no key".
#   $F028  output: every byte written prints one character on the terminal.
#
# The program prints a prompt from a table in memory, using the index
# register X to step through it, and then types back every key you click on
# the Keyboard window (CAPS is lit at the start, so letters come in capitals).

KEYBOARD: .EQU $F008
TERMINAL: .EQU $F028

          .ORG $4000
start:    BLDX 0                  # the prompt's first character
greet:    LDA [prompt,X]          # the character at prompt + X
          JZ [echo]               # the zero byte ends the prompt
          STA [TERMINAL]
          INCX                    # on to the next character
          JMP [greet]

echo:     LDA [KEYBOARD]          # a key's code, or 0 while none waits
          JZ [echo]               # LDA sets Z when it loaded a zero
          STA [TERMINAL]          # print the character typed
          JMP [echo]

prompt:   .BYTE $52, $45, $41, $44, $59, $3E, $00   # "READY>" and the end
          .END

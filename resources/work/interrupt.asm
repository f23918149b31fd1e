# Lesson 5: an interrupt routine
#
# Open the workbench first (Tools menu, "Workbench #1..."): the count is
# shown on its "Dual 7-Seg Decoded" display, and writing to a display whose
# window is closed is an output device error that stops the run.
#
# An interrupt makes the processor leave what it is doing, run a routine
# and come back. Raise one with the toolbar's "Interrupt Request" button
# while the program runs.
# What the processor does when it takes the interrupt:
#   1. it pushes the address of the next instruction and the status byte
#      (the flags) onto the stack, and clears the interrupt flag I,
#   2. it jumps to the address held in the interrupt vector IV.
# RTI at the end of the routine pops both again, so the interrupted program
# goes on as if nothing had happened. Interrupts are taken only while I is
# set (SETIM sets it, CLRIM clears it). Load IV and the stack pointer SP
# before setting I: an interrupt that comes while I is set and either of them
# is not loaded yet is an error, and the machine is reset.
#
# The program sleeps in HALT; each interrupt adds one to a counter kept in
# decimal and shows it on the workbench's two-digit display.

DUAL:     .EQU $F023              # two 7-segment digits (workbench)

          .ORG $4000
start:    BLDSP $EFFF             # the stack grows down from the top of RAM
          BLDIV handler           # where to go on an interrupt
          LDA 0
          STA [count]
          SETIM                   # from now on interrupts are taken
sleep:    HALT                    # wait here until an interrupt comes
          JMP [sleep]             # back to sleep once it has been served

# The interrupt routine. It must leave A as it found it, so A goes onto the
# stack first and comes back last; RTI restores the flags.
handler:  PUSHA
          LDA [count]
          DADD 1                  # decimal add: after 09 comes 10
          STA [count]
          STA [DUAL]              # show the count
          POPA
          RTI

count:    .BYTE 0                 # interrupts served so far, in decimal
          .END

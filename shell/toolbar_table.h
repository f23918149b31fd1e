// The main window's toolbar as data: the buttons it shows and the command each key sends.
#pragma once

namespace tallyrig {

struct ToolbarButton {
    const char* key;
    const char* text;
    const char* tooltip;
};

// The Interrupt button carries both of its texts: one as its caption, one as its tooltip.
inline constexpr ToolbarButton kToolbarButtons[] = {
    {"Mem", "Mem", "Memory Walker Display"},
    {"Reg", "Reg", "CPU Register Display"},
    {"IOPort", "I/O", "I/O Ports Display"},
    {"Message", "Msg", "Message Display"},
    {"Assembler", "Asm", "Assembler / Editor"},
    {"Interrupt", "Interrupt Request", "Interupt Generator"},
    {"Notepad", "Notepad", "Notepad Editor"},
    {"WEB", "WEB", "Connect to the WWW"},
};

struct KeyCommand {
    const char* key;
    const char* command;
};

// The command each toolbar key sends.
inline constexpr KeyCommand kToolbarCommands[] = {
    {"Open", "Open Project"},
    {"Close", "Close Project"},
    {"Exit", "Exit"},
    {"IOPort", "IOPort"},
    {"Switch_Panel", "Switch Panel"},
    {"Hex_Keypad", "Hex Keyboard"},
    {"Input", "Input Ports"},
    {"Output", "Output Ports"},
    {"Mem", "Display Memory Map"},
    {"Reg", "Display CPU registers"},
    {"Message", "Display Message System"},
    {"Assembler", "Assembler"},
    {"DataG", "DataG"},
    {"Quorvex Interface", "Quorvex Interface"},
    {"EPROM Burner", "EPROM Burner"},
    {"calculator", "calculator"},
    {"Notepad", "editor"},
    {"CharEditor", "CharEditor"},
    {"Video", "Video Help"},
    {"WEB", "WEB Browser"},
    {"Interrupt", "Interrupt"},
    {"Help", "Help Button"},
};

} // namespace tallyrig

#include "assembler/insert_menus.h"

namespace tallyrig {

namespace {

// Within a submenu the items keep the menu's order, not the order of their ids.
constexpr TemplateItem kDirectives[] = {
    {".ORG", 2000},   {".BYTE", 2060}, {".2BYTE", 2080},
    {".4BYTE", 2100}, {".EQU", 2040},  {".END", 2020, "mnu_End"},
};

constexpr TemplateItem kImplied[] = {
    {"CLRIM", 10},   {"SETIM", 20, "mnu_imp_setim"},
    {"INCA", 30},    {"DECA", 40},
    {"INCX", 50},    {"DECX", 60},
    {"HALT", 70},    {"NOP", 80},
    {"PUSHA", 90},   {"POPA", 100},
    {"PUSHSR", 110}, {"POPSR", 120},
    {"SHL", 130},    {"SHR", 140},
    {"ROL", 150},    {"ROR", 160},
    {"RTI", 170},    {"RTS", 180},
};

constexpr TemplateItem kImmediate[] = {
    {"ADD", 200},  {"DADD", 225}, {"ADDC", 220},  {"DADDC", 230}, {"SUB", 240},
    {"DSUB", 265}, {"SUBC", 260}, {"DSUBC", 270}, {"AND", 280},   {"OR", 300},
    {"XOR", 320},  {"CMPA", 340}, {"LDA", 360},
};

constexpr TemplateItem kBigImmediate[] = {{"BLDIV", 400}, {"BLDSP", 420}, {"BLDX", 440}};

// JMP 920 and JSR 940 are in the string table but on no menu.
constexpr TemplateItem kAbsolute[] = {
    {"ADD", 500},  {"DADD", 525},  {"ADDC", 520},  {"DADDC", 530}, {"SUB", 540},  {"DSUB", 565},
    {"SUBC", 560}, {"DSUBC", 568}, {"AND", 570},   {"OR", 580},    {"XOR", 600},  {"CMPA", 620},
    {"LDA", 640},  {"STA", 660},   {"BLDIV", 680}, {"BLDSP", 700}, {"BLDX", 720}, {"BSTSP", 740},
    {"BSTX", 750}, {"JC", 760},    {"JNC", 780},   {"JN", 800},    {"JNN", 820},  {"JO", 840},
    {"JNO", 860},  {"JZ", 880},    {"JNZ", 900},
};

constexpr TemplateItem kIndexed[] = {
    {"ADD", 1000},  {"DADD", 1025},  {"ADDC", 1020}, {"DADDC", 1030}, {"SUB", 1040}, {"DSUB", 1065},
    {"SUBC", 1060}, {"DSUBC", 1070}, {"AND", 1080},  {"OR", 1100},    {"XOR", 1120}, {"CMPA", 1140},
    {"LDA", 1160},  {"STA", 1180},   {"JMP", 1200},  {"JSR", 1220},
};

constexpr TemplateItem kIndirect[] = {{"LDA", 1500}, {"STA", 1520}, {"JMP", 1540}, {"JSR", 1560}};
constexpr TemplateItem kPreindexed[] = {{"LDA", 1300}, {"STA", 1320}, {"JMP", 1340}, {"JSR", 1360}};
constexpr TemplateItem kPostindexed[] = {
    {"LDA", 1400}, {"STA", 1420}, {"JMP", 1440}, {"JSR", 1460}};

constexpr TemplateMenu kDirectiveMenu{"mnuDirective", "&Directive", "mnu_", kDirectives};

constexpr TemplateMenu kInstructionMenus[] = {
    {"mnu_imp", "Implied", "mnu_imp_", kImplied},
    {"mnu_imm", "Immediate", "mnu_imm_", kImmediate},
    {"mnu_big_imm", "Big Immediate", "mnu_big_imm_", kBigImmediate},
    {"mnu_abs", "Absolute", "mnu_abs_", kAbsolute},
    {"mnu_indexed", "Indexed", "mnu_ind_", kIndexed},
    {"mnu_indirect", "Indirect", "mnu_indirect_", kIndirect},
    {"mnu_Preindexed", "Preindexed", "mnu_preind_", kPreindexed},
    {"mnu_ind_pos", "Indirect Postindexed", "mnu_postind_", kPostindexed},
};

} // namespace

const TemplateMenu& directive_menu() {
    return kDirectiveMenu;
}

std::span<const TemplateMenu> instruction_menus() {
    return kInstructionMenus;
}

std::string template_item_name(const TemplateMenu& menu, const TemplateItem& item) {
    if (!item.name.empty()) {
        return std::string(item.name);
    }
    std::string_view caption = item.caption;
    if (caption.starts_with('.')) {
        caption.remove_prefix(1);
    }
    return std::string(menu.item_prefix) + std::string(caption);
}

} // namespace tallyrig

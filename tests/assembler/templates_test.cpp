// The string table's templates and messages, and the Insert menus that place them.
#include "assembler/string_table.h"
#include "tests/assembler/editor_fixture.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <map>
#include <sstream>

namespace tallyrig::testing {
namespace {

QString table_text(int id) {
    const auto text = string_table_text(id);
    return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : "none";
}

// "id MNEMONIC, ..." as the ids are listed by addressing mode.
std::vector<std::pair<int, std::string>> ids(const char* list) {
    std::vector<std::pair<int, std::string>> out;
    std::istringstream in(list);
    int id = 0;
    std::string mnemonic;
    while (in >> id >> mnemonic) {
        if (mnemonic.ends_with(',')) {
            mnemonic.pop_back();
        }
        out.emplace_back(id, mnemonic);
    }
    return out;
}

// "CAPTION id, ..." as a menu lists its items.
std::vector<std::pair<std::string, int>> items_of(const char* list) {
    std::vector<std::pair<std::string, int>> out;
    std::istringstream in(list);
    std::string caption;
    int id = 0;
    while (in >> caption >> id) {
        out.emplace_back(caption, id);
        in.ignore(1);
    }
    return out;
}

struct Mode {
    const char* operand; // null for implied
    const char* ids;
};

TEST(StringTable, EveryTemplateIsBuiltByColumns) {
    const Mode modes[] = {
        {nullptr, "10 CLRIM, 20 SETIM, 30 INCA, 40 DECA, 50 INCX, 60 DECX, 70 HALT, 80 NOP, 90 "
                  "PUSHA, 100 POPA, 110 PUSHSR, 120 POPSR, 130 SHL, 140 SHR, 150 ROL, 160 ROR, "
                  "170 RTI, 180 RTS"},
        {"<integer>", "200 ADD, 220 ADDC, 225 DADD, 230 DADDC, 240 SUB, 260 SUBC, 265 DSUB, 270 "
                      "DSUBC, 280 AND, 300 OR, 320 XOR, 340 CMPA, 360 LDA, 400 BLDIV, 420 BLDSP, "
                      "440 BLDX"},
        {"[<integer>]", "500 ADD, 520 ADDC, 525 DADD, 530 DADDC, 540 SUB, 560 SUBC, 565 DSUB, 568 "
                        "DSUBC, 570 AND, 580 OR, 600 XOR, 620 CMPA, 640 LDA, 660 STA, 680 BLDIV, "
                        "700 BLDSP, 720 BLDX, 740 BSTSP, 750 BSTX, 760 JC, 780 JNC, 800 JN, 820 "
                        "JNN, 840 JO, 860 JNO, 880 JZ, 900 JNZ, 920 JMP, 940 JSR"},
        {"[<integer>,X]", "1000 ADD, 1020 ADDC, 1025 DADD, 1030 DADDC, 1040 SUB, 1060 SUBC, 1065 "
                          "DSUB, 1070 DSUBC, 1080 AND, 1100 OR, 1120 XOR, 1140 CMPA, 1160 LDA, "
                          "1180 STA, 1200 JMP, 1220 JSR"},
        {"[[<integer>,X]]", "1300 LDA, 1320 STA, 1340 JMP, 1360 JSR"},
        {"[[<integer>],X]", "1400 LDA, 1420 STA, 1440 JMP, 1460 JSR"},
        {"[[<integer>]]", "1500 LDA, 1520 STA, 1540 JMP, 1560 JSR"},
    };
    std::map<int, QString> expected;
    for (const Mode& mode : modes) {
        for (const auto& [id, mnemonic] : ids(mode.ids)) {
            const QString m = QString::fromStdString(mnemonic);
            expected[id] = mode.operand == nullptr
                               ? "<Label>:  " + m.leftJustified(7) + "# Comment"
                               : "<Label>:  " + m.leftJustified(6) + mode.operand + " # Comment";
        }
    }
    expected[2000] = "          .ORG   <integer> # The start address of the program";
    expected[2020] = "          .END   <integer> # The end ofthe program";
    expected[2040] = "<Label>:  .EQU   <integer> # Comment";
    expected[2060] = "<Label>:  .BYTE  <integer> # Reserve 1 byte of memory";
    expected[2080] = "<Label>:  .2BYTE <integer> # Reserve 2 Bytes of memory";
    expected[2100] = "          .4BYTE <integer> # Reserve 4 Bytes of memory";
    ASSERT_EQ(expected.size(), 97u);
    ASSERT_EQ(template_strings().size(), 97u);
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(table_text(id), text) << id;
    }
    // Rows as they stand in full.
    EXPECT_EQ(table_text(10), "<Label>:  CLRIM  # Comment");
    EXPECT_EQ(table_text(230), "<Label>:  DADDC <integer> # Comment");
    EXPECT_EQ(table_text(1300), "<Label>:  LDA   [[<integer>,X]] # Comment");
    EXPECT_EQ(table_text(1440), "<Label>:  JMP   [[<integer>],X] # Comment");
}

TEST(StringTable, AssemblerMessagesAsStored) {
    EXPECT_EQ(table_text(3001),
              "Hmmm, something's wrong with this statement (but I don't know what)");
    EXPECT_EQ(table_text(3015), "This value (%) is too big to fit into an 8-bit field");
    EXPECT_EQ(table_text(3022), "Undefined label");
    EXPECT_EQ(table_text(3025), "I can't open the RAM or ROM output file");
    for (int id : {0, 3000, 3026, 15, 2101}) {
        EXPECT_EQ(table_text(id), "none") << id;
    }
}

using InsertMenus = EditorTest;

// Each submenu: its control name, caption, and items as "caption id control-name".
struct ExpectedMenu {
    const char* name;
    const char* caption;
    const char* prefix;
    const char* items;
};

TEST_F(InsertMenus, EveryItemInsertsItsTemplateInMenuOrder) {
    const ExpectedMenu menus[] = {
        {"mnuDirective", "&Directive", "mnu_",
         ".ORG 2000, .BYTE 2060, .2BYTE 2080, .4BYTE 2100, .EQU 2040, .END 2020"},
        {"mnu_imp", "Implied", "mnu_imp_",
         "CLRIM 10, SETIM 20, INCA 30, DECA 40, INCX 50, DECX 60, HALT 70, NOP 80, PUSHA 90, "
         "POPA 100, PUSHSR 110, POPSR 120, SHL 130, SHR 140, ROL 150, ROR 160, RTI 170, RTS 180"},
        {"mnu_imm", "Immediate", "mnu_imm_",
         "ADD 200, DADD 225, ADDC 220, DADDC 230, SUB 240, DSUB 265, SUBC 260, DSUBC 270, AND "
         "280, OR 300, XOR 320, CMPA 340, LDA 360"},
        {"mnu_big_imm", "Big Immediate", "mnu_big_imm_", "BLDIV 400, BLDSP 420, BLDX 440"},
        {"mnu_abs", "Absolute", "mnu_abs_",
         "ADD 500, DADD 525, ADDC 520, DADDC 530, SUB 540, DSUB 565, SUBC 560, DSUBC 568, AND "
         "570, OR 580, XOR 600, CMPA 620, LDA 640, STA 660, BLDIV 680, BLDSP 700, BLDX 720, BSTSP "
         "740, BSTX 750, JC 760, JNC 780, JN 800, JNN 820, JO 840, JNO 860, JZ 880, JNZ 900"},
        {"mnu_indexed", "Indexed", "mnu_ind_",
         "ADD 1000, DADD 1025, ADDC 1020, DADDC 1030, SUB 1040, DSUB 1065, SUBC 1060, DSUBC "
         "1070, AND 1080, OR 1100, XOR 1120, CMPA 1140, LDA 1160, STA 1180, JMP 1200, JSR 1220"},
        {"mnu_indirect", "Indirect", "mnu_indirect_", "LDA 1500, STA 1520, JMP 1540, JSR 1560"},
        {"mnu_Preindexed", "Preindexed", "mnu_preind_", "LDA 1300, STA 1320, JMP 1340, JSR 1360"},
        {"mnu_ind_pos", "Indirect Postindexed", "mnu_postind_",
         "LDA 1400, STA 1420, JMP 1440, JSR 1460"},
    };
    auto* insert = editor->menuBar()->findChild<QMenu*>("mnuInsert");
    ASSERT_NE(insert, nullptr);
    QStringList top;
    for (QAction* action : insert->actions()) {
        top << action->text();
    }
    EXPECT_EQ(top,
              QStringList({"&Directive", "&Instruction", "Insert &String...", "Insert &File..."}));
    auto* instruction = insert->findChild<QMenu*>("mnuInstruction");
    ASSERT_NE(instruction, nullptr);
    QStringList modes;
    for (QAction* action : instruction->actions()) {
        modes << action->menu()->objectName();
    }
    EXPECT_EQ(modes, QStringList({"mnu_imp", "mnu_imm", "mnu_big_imm", "mnu_abs", "mnu_indexed",
                                  "mnu_indirect", "mnu_Preindexed", "mnu_ind_pos"}));

    int items = 0;
    QString inserted;
    for (const ExpectedMenu& expected : menus) {
        auto* menu = insert->findChild<QMenu*>(expected.name);
        ASSERT_NE(menu, nullptr) << expected.name;
        EXPECT_EQ(menu->title(), expected.caption);
        const auto list = items_of(expected.items);
        ASSERT_EQ(menu->actions().size(), static_cast<qsizetype>(list.size())) << expected.name;
        for (size_t i = 0; i < list.size(); ++i) {
            QAction* action = menu->actions()[static_cast<qsizetype>(i)];
            const auto& [caption, id] = list[i];
            EXPECT_EQ(action->text().toStdString(), caption);
            std::string name = expected.prefix + (caption[0] == '.' ? caption.substr(1) : caption);
            if (caption == "SETIM") {
                name = "mnu_imp_setim";
            } else if (caption == ".END") {
                name = "mnu_End";
            }
            EXPECT_EQ(action->objectName().toStdString(), name);
            action->trigger();
            inserted += table_text(id) + "\n";
            EXPECT_EQ(editor->instruction(), table_text(id)) << caption;
            ++items;
        }
    }
    EXPECT_EQ(items, 95);
    EXPECT_EQ(text(), inserted);
    EXPECT_EQ(file().has_name, 0);
}

TEST_F(InsertMenus, ATemplateReplacesTheSelectionAndTheCaretFollowsIt) {
    type("before[sel]after");
    QTextCursor cursor = editor->text_box()->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    editor->text_box()->setTextCursor(cursor);
    editor->getstring(2000);
    editor->getstring(120);
    EXPECT_EQ(text(), "before          .ORG   <integer> # The start address of the program\n"
                      "<Label>:  POPSR  # Comment\nafter");
    EXPECT_EQ(editor->text_box()->textCursor().position(), text().indexOf("after"));
    EXPECT_FALSE(editor->text_box()->textCursor().hasSelection());
}

} // namespace
} // namespace tallyrig::testing

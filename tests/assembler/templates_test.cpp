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

// A submenu as the menu lists it: control name, caption, item prefix, the operand its
// templates carry (null: implied, or a directive whose text is given in full), and its items
// as "CAPTION id, ...".
struct ExpectedMenu {
    const char* name;
    const char* caption;
    const char* prefix;
    const char* operand;
    const char* items;
};

constexpr ExpectedMenu kMenus[] = {
    {"mnuDirective", "&Directive", "mnu_", nullptr,
     ".ORG 2000, .BYTE 2060, .2BYTE 2080, .4BYTE 2100, .EQU 2040, .END 2020"},
    {"mnu_imp", "Implied", "mnu_imp_", nullptr,
     "CLRIM 10, SETIM 20, INCA 30, DECA 40, INCX 50, DECX 60, HALT 70, NOP 80, PUSHA 90, POPA "
     "100, PUSHSR 110, POPSR 120, SHL 130, SHR 140, ROL 150, ROR 160, RTI 170, RTS 180"},
    {"mnu_imm", "Immediate", "mnu_imm_", "<integer>",
     "ADD 200, DADD 225, ADDC 220, DADDC 230, SUB 240, DSUB 265, SUBC 260, DSUBC 270, AND 280, "
     "OR 300, XOR 320, CMPA 340, LDA 360"},
    {"mnu_big_imm", "Big Immediate", "mnu_big_imm_", "<integer>", "BLDIV 400, BLDSP 420, BLDX 440"},
    {"mnu_abs", "Absolute", "mnu_abs_", "[<integer>]",
     "ADD 500, DADD 525, ADDC 520, DADDC 530, SUB 540, DSUB 565, SUBC 560, DSUBC 568, AND 570, "
     "OR 580, XOR 600, CMPA 620, LDA 640, STA 660, BLDIV 680, BLDSP 700, BLDX 720, BSTSP 740, "
     "BSTX 750, JC 760, JNC 780, JN 800, JNN 820, JO 840, JNO 860, JZ 880, JNZ 900"},
    {"mnu_indexed", "Indexed", "mnu_ind_", "[<integer>,X]",
     "ADD 1000, DADD 1025, ADDC 1020, DADDC 1030, SUB 1040, DSUB 1065, SUBC 1060, DSUBC 1070, "
     "AND 1080, OR 1100, XOR 1120, CMPA 1140, LDA 1160, STA 1180, JMP 1200, JSR 1220"},
    {"mnu_indirect", "Indirect", "mnu_indirect_", "[[<integer>]]",
     "LDA 1500, STA 1520, JMP 1540, JSR 1560"},
    {"mnu_Preindexed", "Preindexed", "mnu_preind_", "[[<integer>,X]]",
     "LDA 1300, STA 1320, JMP 1340, JSR 1360"},
    {"mnu_ind_pos", "Indirect Postindexed", "mnu_postind_", "[[<integer>],X]",
     "LDA 1400, STA 1420, JMP 1440, JSR 1460"},
};

const std::map<int, QString> kDirectives = {
    {2000, "          .ORG   <integer> # The start address of the program"},
    {2020, "          .END   <integer> # The end ofthe program"},
    {2040, "<Label>:  .EQU   <integer> # Comment"},
    {2060, "<Label>:  .BYTE  <integer> # Reserve 1 byte of memory"},
    {2080, "<Label>:  .2BYTE <integer> # Reserve 2 Bytes of memory"},
    {2100, "          .4BYTE <integer> # Reserve 4 Bytes of memory"},
};

// Label, mnemonic padded to 7 (implied) or 6, operand and a blank, "# Comment".
QString instruction_template(const QString& mnemonic, const char* operand) {
    return operand == nullptr ? "<Label>:  " + mnemonic.leftJustified(7) + "# Comment"
                              : "<Label>:  " + mnemonic.leftJustified(6) + operand + " # Comment";
}

using InsertMenus = EditorTest;

TEST_F(InsertMenus, EveryItemInsertsItsTemplateInMenuOrder) {
    auto* insert = editor->menuBar()->findChild<QMenu*>("mnuInsert");
    ASSERT_NE(insert, nullptr);
    QStringList modes;
    for (QAction* action : insert->findChild<QMenu*>("mnuInstruction")->actions()) {
        modes << action->menu()->objectName();
    }
    EXPECT_EQ(modes, QStringList({"mnu_imp", "mnu_imm", "mnu_big_imm", "mnu_abs", "mnu_indexed",
                                  "mnu_indirect", "mnu_Preindexed", "mnu_ind_pos"}));

    int items = 0;
    QString inserted;
    for (const ExpectedMenu& expected : kMenus) {
        auto* menu = insert->findChild<QMenu*>(expected.name);
        ASSERT_NE(menu, nullptr) << expected.name;
        EXPECT_EQ(menu->title(), expected.caption);
        std::istringstream in(expected.items);
        std::string caption;
        int id = 0;
        for (QAction* action : menu->actions()) {
            ASSERT_TRUE(in >> caption >> id) << expected.name;
            in.ignore(1);
            std::string name = expected.prefix + (caption[0] == '.' ? caption.substr(1) : caption);
            name = caption == "SETIM" ? "mnu_imp_setim" : caption == ".END" ? "mnu_End" : name;
            EXPECT_EQ(action->text().toStdString(), caption);
            EXPECT_EQ(action->objectName().toStdString(), name);
            const QString line =
                kDirectives.contains(id)
                    ? kDirectives.at(id)
                    : instruction_template(QString::fromStdString(caption), expected.operand);
            EXPECT_EQ(table_text(id), line) << id;
            action->trigger();
            EXPECT_EQ(editor->instruction(), line);
            inserted += line + "\n";
            ++items;
        }
        EXPECT_FALSE(in >> caption) << expected.name << " has fewer items than listed";
    }
    EXPECT_EQ(items, 95);
    EXPECT_EQ(text(), inserted);
    EXPECT_EQ(file().has_name, 0);
    // Two more in the table, on no menu.
    EXPECT_EQ(template_strings().size(), 97u);
    EXPECT_EQ(table_text(920), "<Label>:  JMP   [<integer>] # Comment");
    EXPECT_EQ(table_text(940), "<Label>:  JSR   [<integer>] # Comment");
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

TEST(StringTable, AssemblerMessagesAsStored) {
    EXPECT_EQ(table_text(3001),
              "Hmmm, something's wrong with this statement (but I don't know what)");
    EXPECT_EQ(table_text(3015), "This value (%) is too big to fit into an 8-bit field");
    EXPECT_EQ(table_text(3025), "I can't open the RAM or ROM output file");
    for (int id : {0, 3000, 3026, 15, 2101}) {
        EXPECT_EQ(table_text(id), "none") << id;
    }
}

} // namespace
} // namespace tallyrig::testing

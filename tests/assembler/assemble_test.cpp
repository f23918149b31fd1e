// Assemble: the saved text handed to the library, the outcome in the status bar with its
// beeps and pauses, the caret on an error's line, and View List File after it.
#include "tests/assembler/editor_fixture.h"

#include <QAction>
#include <QTextBlock>

namespace tallyrig::testing {
namespace {

const char* const kGoodProgram = "        .ORG $4000\n"
                                 "start:  LDA 3\n"
                                 "loop:   DECA\n"
                                 "        JNZ [loop]\n"
                                 "        HALT\n"
                                 "        .END\n";
const QString kCoolBeans = QStringLiteral(" Cool Beans! Your file was assembled without error!");
const QString kSaveFirst =
    QStringLiteral(" You need to save your file first, before I can assemble it!");
const QString kAssembled = QStringLiteral(" Your file was assembled successfully");

class Assemble : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        install_library();
    }
    QAction* view_list() const { return editor->findChild<QAction*>("mnu_View_Listing_FIle"); }
    QAction* menu_item() const { return editor->findChild<QAction*>("mnuAssembler"); }
    int caret() const { return editor->text_box()->textCursor().position(); }
    int line_start(int line) const {
        return editor->text_box()->document()->findBlockByNumber(line - 1).position();
    }
};

TEST_F(Assemble, ASavedSourceFromTheMenuIsSavedAssembledAndItsListOffered) {
    const QString source = write_work("prog.asm", kGoodProgram);
    open(source);
    type("# mine\n");
    ASSERT_FALSE(view_list()->isEnabled());
    menu_item()->trigger();
    EXPECT_EQ(editor->status_text(), kCoolBeans);
    EXPECT_EQ(pauses,
              (std::vector<Pause>{{1000, "Assembling...."}, {1000, "Save open file to the disc"}}));
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_EQ(bytes_of(source), std::string("# mine\n") + kGoodProgram);
    EXPECT_TRUE(view_list()->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(folders.work_folder / "prog.ram"));
    editor->View_List_File();
    EXPECT_TRUE(text().contains("LDA 3")) << text().toStdString();
}

TEST_F(Assemble, FromTheToolbarTheStatusShowsFirstForAShortPause) {
    open(write_work("prog.asm", kGoodProgram));
    editor->Toolbar1_ButtonClick("Assemble");
    EXPECT_EQ(editor->status_text(), kCoolBeans);
    EXPECT_EQ(pauses, (std::vector<Pause>{{10, "Assembling...."},
                                          {1000, "Assembling...."},
                                          {1000, "Save open file to the disc"}}));
}

TEST_F(Assemble, AnUntitledTextIsSavedAsFirstWithABeep) {
    type(kGoodProgram);
    QString status_at_save_as;
    modal.on_dialog = [&] { status_at_save_as = editor->status_text(); };
    const QString path = work("mine.asm");
    modal.file_answers = {path};
    editor->Assemble();
    EXPECT_EQ(status_at_save_as, kSaveFirst);
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_EQ(editor->status_text(), kAssembled);
    EXPECT_EQ(file().filename, path);
    EXPECT_TRUE(view_list()->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(folders.work_folder / "mine.ram"));

    // A file gone from the disk is written again the same way.
    std::filesystem::remove(path.toStdString());
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), kAssembled);
    EXPECT_EQ(desktop.beeps, 2);
    // Typed text is written with CR LF, the line end of new text.
    EXPECT_EQ(QString::fromStdString(bytes_of(path)), QString(kGoodProgram).replace("\n", "\r\n"));
}

TEST_F(Assemble, ACancelledSaveAsStillAsksTheLibraryWhichCannotOpenNothing) {
    type(kGoodProgram);
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), "ASSEMBLER ERROR : on line : 0 I can't open the input file");
    EXPECT_EQ(desktop.beeps, 2);
    EXPECT_EQ(caret(), 0);
    EXPECT_FALSE(view_list()->isEnabled());
    EXPECT_EQ(file().has_name, 0);
}

// Each error: the line the library blames, its message as stored, the caret at that line.
struct ErrorCase {
    const char* name;
    const char* source;
    int line;
    const char* message;
};

class AssembleErrors : public Assemble, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(AssembleErrors, ShowTheLineAndMessageAndPutTheCaretThere) {
    const ErrorCase& c = GetParam();
    open(write_work("bad.asm", c.source));
    editor->text_box()->moveCursor(QTextCursor::End);
    editor->Assemble();
    EXPECT_EQ(editor->status_text(),
              QString("ASSEMBLER ERROR : on line : %1 %2").arg(c.line).arg(c.message));
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_EQ(caret(), line_start(c.line));
    EXPECT_FALSE(editor->text_box()->textCursor().hasSelection());
    // The list shows where it went wrong.
    EXPECT_TRUE(view_list()->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AssembleErrors,
    ::testing::Values(
        ErrorCase{"FirstLine", "        LDA 3\n        .END\n", 1,
                  "You need an .ORG directive before this point"},
        ErrorCase{"UndefinedLabel",
                  "        .ORG $4000\n        LDA 1\n\n        JMP [nowhere]\n"
                  "        HALT\n        .END\n",
                  4, "Undefined label"},
        ErrorCase{"ByteTooBigShownAsStored",
                  "        .ORG $4000\n        NOP\n        NOP\n        NOP\n        LDA 300\n"
                  "        .END\n",
                  5, "This value (%) is too big to fit into an 8-bit field"},
        ErrorCase{"AddressingMode", "        .ORG $4000\n        STA 5\n        .END\n", 2,
                  "This instruction doesn't support this addressing mode"},
        ErrorCase{"LabelTooLong", "        .ORG $4000\nmuchtoolong: NOP\n        .END\n", 2,
                  "A label can't be more than eight characters long"},
        ErrorCase{"DivideByZero", "        .ORG $4000\n        LDA 4/0\n        .END\n", 2,
                  "You're trying to divide by zero (that's naughty!)"},
        // The mark the editor keeps but does not show is not counted on the first line.
        ErrorCase{"AfterAByteOrderMark",
                  "\xEF\xBB\xBF# comment first\n        .ORG $4000\n        LDA 300\n"
                  "        .END\n",
                  3, "This value (%) is too big to fit into an 8-bit field"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(Assemble, WhileTheListIsOnShowItsSourceIsAssembledAndTheNewListShown) {
    const QString source = write_work("prog.asm", kGoodProgram);
    open(source);
    editor->Assemble();
    ASSERT_EQ(editor->status_text(), kCoolBeans);
    editor->View_List_File();
    const QString list = work("prog.lst");
    ASSERT_EQ(file().filename, list);

    // The source changed on the disk since the list was made.
    const std::string changed = "        .ORG $4000\n        INCA\n        HALT\n        .END\n";
    write_work("prog.asm", changed);
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), kCoolBeans);
    EXPECT_EQ(bytes_of(source), changed);
    EXPECT_EQ(file().filename, list);
    EXPECT_EQ(editor->saved_source_name(), source);
    EXPECT_TRUE(text().contains("INCA")) << text().toStdString();
    EXPECT_TRUE(bytes_of(work("prog.ram")).find("\nBYTES: 2\n") != std::string::npos)
        << bytes_of(work("prog.ram"));
    EXPECT_TRUE(view_list()->isEnabled());

    // An error shows in the new list, the caret on the failing line's row.
    write_work("prog.asm", "        .ORG $4000\n        NOP\n        LDA 300\n        .END\n");
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), "ASSEMBLER ERROR : on line : 3 This value (%) is too big to "
                                     "fit into an 8-bit field");
    EXPECT_EQ(file().filename, list);
    EXPECT_TRUE(text().contains("LDA 300")) << text().toStdString();
    EXPECT_TRUE(editor->text_box()->textCursor().block().text().startsWith("00003 "))
        << editor->text_box()->textCursor().block().text().toStdString();

    // A list edited on screen is not replaced by the new one unasked.
    type("mine");
    modal.box_answers = {MessageAnswer::Cancel};
    editor->Assemble();
    EXPECT_TRUE(text().contains("mine"));
    EXPECT_EQ(editor->status_text(), " ");

    modal.box_answers = {MessageAnswer::No};
    editor->View_source_file();
    EXPECT_EQ(file().filename, source);
    EXPECT_TRUE(text().contains("LDA 300"));
}

TEST_F(Assemble, ViewListFileFollowsTheListFileAfterEachAssembly) {
    open(write_work("prog.asm", kGoodProgram));
    editor->Assemble();
    ASSERT_TRUE(view_list()->isEnabled());
    // The list's place taken by a folder: no list is written, and the item goes grey.
    std::filesystem::remove(folders.work_folder / "prog.lst");
    std::filesystem::create_directory(folders.work_folder / "prog.lst");
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), "ASSEMBLER ERROR : on line : 0 I can't open the list file");
    EXPECT_FALSE(view_list()->isEnabled());
}

// Outputs the real library never gives, from a stand-in that answers what the source asks.
struct OutputCase {
    const char* name;
    const char* source; // "error_code line_no", then lines
    const char* status;
    int caret_line; // 0: the end of the text; -1: where it was
};

class LibraryOutputs : public Assemble, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(LibraryOutputs, AreShownAndUsedAsTheyCome) {
    install_library(TALLYRIG_ANSWERING_LIBASM);
    const OutputCase& c = GetParam();
    open(write_work("prog.asm", c.source));
    editor->text_box()->moveCursor(QTextCursor::End);
    editor->text_box()->moveCursor(QTextCursor::Up);
    const int before = caret();
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), c.status);
    const int expected = c.caret_line < 0    ? before
                         : c.caret_line == 0 ? static_cast<int>(text().size())
                                             : line_start(c.caret_line);
    EXPECT_EQ(caret(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    StandIn, LibraryOutputs,
    ::testing::Values(OutputCase{"NegativeCodeIsSuccess", "-4 3\nb\nc\n",
                                 " Cool Beans! Your file was assembled without error!", -1},
                      OutputCase{"LineBeyondTheLast", "22 40000\nb\nc",
                                 "ASSEMBLER ERROR : on line : 40000 "
                                 "Undefined label",
                                 0},
                      OutputCase{"LastLine", "25 3\nb\nc",
                                 "ASSEMBLER ERROR : on line : 3 I can't open the RAM "
                                 "or ROM output file",
                                 3},
                      OutputCase{"NegativeLine", "1 -2\nb\nc",
                                 "ASSEMBLER ERROR : on line : -2 Hmmm, "
                                 "something's wrong with this statement (but I "
                                 "don't know what)",
                                 1},
                      OutputCase{"CodeWithoutAMessage", "26 2\nb\nc",
                                 "ASSEMBLER ERROR : on line : 2 (assembler error 26)", 2}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return info.param.name; });

TEST_F(Assemble, ALibraryThatCannotBeLoadedIsNamedAndNothingElseChanges) {
    std::filesystem::remove(library_path());
    const QString source = write_work("prog.asm", kGoodProgram);
    open(source);
    type("# saved\n");
    editor->text_box()->moveCursor(QTextCursor::End);
    const int before = caret();
    const QString library = QString::fromStdString(library_path().string());
    editor->Assemble();
    EXPECT_EQ(editor->status_text(),
              "The assembler library " + library + " could not be loaded: there is no such file");
    EXPECT_EQ(bytes_of(source), std::string("# saved\n") + kGoodProgram);
    EXPECT_FALSE(std::filesystem::exists(folders.work_folder / "prog.lst"));
    EXPECT_FALSE(view_list()->isEnabled());
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_EQ(caret(), before);

    write_file(library_path(), "not a library");
    editor->Assemble();
    EXPECT_TRUE(editor->status_text().startsWith("The assembler library " + library +
                                                 " could not be loaded: "))
        << editor->status_text().toStdString();

    install_library(TALLYRIG_LIBASM_WITHOUT_PARSE);
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), "The assembler library " + library + " has no function parse");
    EXPECT_FALSE(view_list()->isEnabled());

    // Once there, it is bound at the next Assemble and stays bound.
    install_library();
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), kCoolBeans);
    std::filesystem::remove(library_path());
    editor->Assemble();
    EXPECT_EQ(editor->status_text(), kCoolBeans);
}

TEST_F(Assemble, ATextThatCannotBeSavedIsNotAssembled) {
    const QString source = write_work("prog.asm", kGoodProgram);
    open(source);
    editor->Assemble();
    ASSERT_EQ(editor->status_text(), kCoolBeans);
    type("x");
    // The source's place taken by a folder: the text cannot be written there.
    std::filesystem::remove(source.toStdString());
    std::filesystem::create_directory(source.toStdString());
    modal.file_answers.clear();
    editor->Assemble();
    EXPECT_TRUE(editor->status_text().startsWith("Could not save " + source))
        << editor->status_text().toStdString();
    EXPECT_TRUE(view_list()->isEnabled());
}

} // namespace
} // namespace tallyrig::testing

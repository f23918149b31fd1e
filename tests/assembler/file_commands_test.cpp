// The file commands across the three states: untitled, source on show, list on show.
#include "tests/assembler/editor_fixture.h"

#include <QAction>

namespace tallyrig::testing {
namespace {

using FileCommands = EditorTest;

const QString kListMissing = QStringLiteral(
    " List file does not exist. To create a list file you first have to save and then assemble "
    "the source file!.");
const QString kOpenSourceFirst =
    QStringLiteral("You must first open the Source file using the Open command");

TEST_F(FileCommands, StartsUntitledAndIdle) {
    EXPECT_EQ(editor->windowTitle(), "Assembler Editor");
    EXPECT_EQ(editor->status_text(), " ");
    EXPECT_EQ(file().has_name, 0);
    EXPECT_TRUE(file().filename.isEmpty());
    EXPECT_TRUE(file().list_filename.isEmpty());
    EXPECT_FALSE(editor->findChild<QAction*>("mnu_View_Listing_FIle")->isEnabled());
}

TEST_F(FileCommands, OpenShowsTheFileAndDeletesItsOldListButNeverItself) {
    const QString source = write_work("prog.asm", "LDA 1\r\n.END\r\n");
    const QString list = write_work("prog.lst", "old list");
    type("typed");
    modal.box_answers.push_back(MessageAnswer::No);
    open(source);
    EXPECT_EQ(text(), "LDA 1\n.END\n");
    EXPECT_EQ(file().filename, source);
    EXPECT_EQ(file().has_name, 1);
    EXPECT_EQ(file().list_filename, list);
    EXPECT_EQ(editor->status_text(), "Open File:" + source);
    EXPECT_EQ(editor->text_box()->textCursor().position(), 0);
    EXPECT_FALSE(std::filesystem::exists(list.toStdString()));
    EXPECT_FALSE(editor->findChild<QAction*>("mnu_View_Listing_FIle")->isEnabled());
    EXPECT_EQ(modal.file_dialogs.back(),
              "Open|" + work_folder() + "|Assembler Files (*.asm);;All files (*)");

    // A list file opened on its own is its own list name; it stays on the disk.
    write_work("prog.lst", "new list");
    open(list);
    EXPECT_EQ(text(), "new list");
    EXPECT_TRUE(std::filesystem::exists(list.toStdString()));
}

TEST_F(FileCommands, AFileThatCannotBeReadSaysSoAndChangesNothing) {
    const QString source = write_work("prog.asm", "kept");
    open(source);
    for (const QString& bad : {work("missing.asm"), work("")}) {
        open(bad);
        EXPECT_TRUE(editor->status_text().startsWith("Could not open " + bad)) << bad.toStdString();
        EXPECT_EQ(text(), "kept");
        EXPECT_EQ(file().filename, source);
    }
    // A cancelled dialog changes nothing either.
    editor->Open_File();
    EXPECT_EQ(file().filename, source);
}

TEST_F(FileCommands, SaveWritesTheNamedFileWithItsPauseShowingTheStatus) {
    const QString source = write_work("prog.asm", "a\r\n");
    open(source);
    caret_to_start();
    type("X");
    editor->Save_File();
    EXPECT_EQ(bytes_of(source), "Xa\r\n");
    EXPECT_EQ(pauses, (std::vector<Pause>{{1000, "Save open file to the disc"}}));
    EXPECT_EQ(editor->status_text(), " ");
    EXPECT_FALSE(editor->text_changed());
}

TEST_F(FileCommands, SaveOnUntitledTextRunsSaveAs) {
    type("new");
    editor->Save_File(); // cancelled
    EXPECT_EQ(file().has_name, 0);
    EXPECT_TRUE(file().filename.isEmpty());
    EXPECT_EQ(editor->status_text(), " ");
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(modal.save_suffixes, (std::vector<QString>{"asm"}));

    const QString path = work("new.asm");
    modal.file_answers.push_back(path);
    editor->Save_File();
    EXPECT_EQ(bytes_of(path), "new");
    EXPECT_EQ(file().filename, path);
    EXPECT_EQ(file().has_name, 1);
    EXPECT_EQ(file().list_filename, work("new.lst"));
    EXPECT_EQ(pauses, (std::vector<Pause>{{1000, "Save File As:" + path}}));
    EXPECT_EQ(editor->status_text(), " ");
}

TEST_F(FileCommands, AFailedSaveSaysSoAndKeepsTheTextUnsaved) {
    type("text");
    write_work("plain", "a file, not a folder");
    const QString impossible = work("plain") + "/new.asm";
    modal.file_answers.push_back(impossible);
    editor->Save_File_As();
    EXPECT_TRUE(editor->status_text().startsWith("Could not save " + impossible));
    EXPECT_EQ(file().has_name, 0);
    EXPECT_TRUE(file().filename.isEmpty());
    EXPECT_TRUE(editor->text_changed());
    EXPECT_TRUE(pauses.empty());
}

TEST_F(FileCommands, ListAndSourceSwap) {
    const QString source = write_work("prog.asm", "source\n");
    open(source);
    editor->View_List_File();
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, kListMissing);
    EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(file().filename, source);

    // The source already on show: nothing happens.
    editor->View_source_file();
    EXPECT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(text(), "source\n");

    const QString list = write_work("prog.lst", "list\n");
    editor->View_List_File();
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(file().filename, list);
    EXPECT_EQ(editor->saved_source_name(), source);
    editor->View_source_file();
    EXPECT_EQ(text(), "source\n");
    EXPECT_EQ(file().filename, source);
    EXPECT_TRUE(editor->saved_source_name().isEmpty());

    // Twice in a row, the list's own name is kept as the source.
    editor->View_List_File();
    editor->View_List_File();
    EXPECT_EQ(editor->saved_source_name(), list);
    editor->View_source_file();
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(file().filename, list);
}

TEST_F(FileCommands, SwappingAsksBeforeReplacingChangedText) {
    open(write_work("prog.asm", "source\n"));
    write_work("prog.lst", "list\n");
    type("X");
    modal.box_answers = {MessageAnswer::Cancel};
    editor->View_List_File();
    EXPECT_EQ(text(), "Xsource\n");
    EXPECT_TRUE(editor->saved_source_name().isEmpty());
    modal.box_answers = {MessageAnswer::No};
    editor->View_List_File();
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(modal.boxes.size(), 2u);
}

TEST_F(FileCommands, ASourceGoneFromTheDiskIsReportedAndTheListStays) {
    const QString source = write_work("prog.asm", "source\n");
    open(source);
    const QString list = write_work("prog.lst", "list\n");
    editor->View_List_File();
    std::filesystem::remove(source.toStdString());
    editor->View_source_file();
    EXPECT_TRUE(editor->status_text().startsWith("Could not open " + source));
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(file().filename, list);
    EXPECT_EQ(editor->saved_source_name(), source);
}

TEST_F(FileCommands, NewKeepsTheSavedSourceNameSoViewSourceHasNoFile) {
    editor->View_source_file();
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, kOpenSourceFirst);

    const QString source = write_work("prog.asm", "source\n");
    open(source);
    write_work("prog.lst", "list\n");
    editor->View_List_File();
    editor->New_File();
    EXPECT_EQ(text(), "");
    EXPECT_EQ(file().has_name, 0);
    EXPECT_TRUE(file().filename.isEmpty());
    EXPECT_EQ(editor->saved_source_name(), source);
    editor->View_source_file();
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_EQ(modal.boxes[1].text, kOpenSourceFirst);
}

TEST_F(FileCommands, InsertFileEndsEveryLineWithALineBreakAtTheCaret) {
    const QString lines = write_work("lines.asm", "one\r\ntwo\nthree\rlast");
    const QString empty = write_work("empty.asm", "");
    type("[selected]");
    QTextCursor cursor = editor->text_box()->textCursor();
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 9);
    editor->text_box()->setTextCursor(cursor);
    modal.file_answers = {lines, empty};
    editor->Insert_File();
    EXPECT_EQ(text(), "[one\ntwo\nthree\nlast\n");
    EXPECT_EQ(editor->text_box()->textCursor().position(), text().size());
    editor->Insert_File();
    EXPECT_EQ(text(), "[one\ntwo\nthree\nlast\n");
    EXPECT_EQ(file().has_name, 0);

    // New text keeps the inserted lines' CR LF when saved.
    const QString saved = work("saved.asm");
    modal.file_answers.push_back(saved);
    editor->Save_File_As();
    EXPECT_EQ(bytes_of(saved), "[one\r\ntwo\r\nthree\r\nlast\r\n");
}

// Each command that would replace changed text asks first.
struct PromptCase {
    const char* name;
    void (*command)(Assembler&);
    const char* replaced_by; // the text after the command; null when it closes the window
};

class SavePrompt : public EditorTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(SavePrompt, AsksOnlyForChangedTextAndCancelStays) {
    const QString source = write_work("prog.asm", "source\n");
    const QString other = write_work("other.asm", "other\n");
    open(source);
    auto run = [this] {
        modal.file_answers.push_back(work("other.asm"));
        GetParam().command(*editor);
    };

    // Changed, then changed back: nothing to ask.
    type("X");
    QTest::keyClick(editor->text_box(), Qt::Key_Backspace);
    run();
    EXPECT_TRUE(modal.boxes.empty());
    editor->show();

    open(source);
    type("X");
    modal.box_answers = {MessageAnswer::Cancel};
    run();
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(text(), "Xsource\n");
    EXPECT_EQ(file().filename, source);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(bytes_of(source), "source\n");

    modal.file_answers.clear();
    modal.box_answers = {MessageAnswer::Yes};
    run();
    EXPECT_EQ(bytes_of(source), "Xsource\n");
    EXPECT_EQ(bytes_of(other), "other\n");
}

TEST_P(SavePrompt, NoDiscardsAndAYesThatCannotSaveStays) {
    type("untitled");
    // Yes on untitled text asks for a name; cancelling that keeps the text.
    modal.box_answers = {MessageAnswer::Yes};
    GetParam().command(*editor);
    EXPECT_EQ(text(), "untitled");
    EXPECT_TRUE(editor->isVisible());

    modal.box_answers = {MessageAnswer::No};
    modal.file_answers.push_back(write_work("other.asm", "other\n"));
    GetParam().command(*editor);
    if (GetParam().replaced_by == nullptr) {
        EXPECT_FALSE(editor->isVisible());
    } else {
        EXPECT_EQ(text(), GetParam().replaced_by);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SavePrompt,
    ::testing::Values(PromptCase{"New", [](Assembler& e) { e.New_File(); }, ""},
                      PromptCase{"ToolbarNew", [](Assembler& e) { e.Toolbar1_ButtonClick("New"); },
                                 ""},
                      PromptCase{"Open", [](Assembler& e) { e.Open_File(); }, "other\n"},
                      PromptCase{"Close", [](Assembler& e) { e.close(); }, nullptr},
                      PromptCase{"Exit", [](Assembler& e) { e.mnuExit_Click(); }, nullptr}),
    [](const ::testing::TestParamInfo<PromptCase>& info) { return info.param.name; });

} // namespace
} // namespace tallyrig::testing

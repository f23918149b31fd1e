// The file commands across the three states (untitled, source on show, list on show) and the
// question before changed text is replaced.
#include "tests/assembler/editor_fixture.h"
#include "tests/support/full_disk.h"

#include <QAction>

namespace tallyrig::testing {
namespace {

using FileCommands = EditorTest;

const QString kListMissing = QStringLiteral(
    " List file does not exist. To create a list file you first have to save and then assemble "
    "the source file!.");
const QString kOpenSourceFirst =
    QStringLiteral("You must first open the Source file using the Open command");

TEST_F(FileCommands, OpenShowsTheFileAndDeletesItsOldListButNeverItself) {
    EXPECT_EQ(editor->status_text(), " ");
    EXPECT_EQ(file().has_name, 0);
    const QString source = write_work("prog.asm", "LDA 1\r\n.END\r\n");
    const QString list = write_work("prog.lst", "old list");
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
    EXPECT_TRUE(std::filesystem::exists(list.toStdString()));
}

TEST_F(FileCommands, AFileThatCannotBeReadSaysSoAndChangesNothing) {
    const QString source = write_work("prog.asm", "kept");
    open(source);
    for (const QString& bad : {work("missing.asm"), work_folder()}) {
        open(bad);
        EXPECT_TRUE(editor->status_text().startsWith("Could not open " + bad)) << bad.toStdString();
        EXPECT_EQ(text(), "kept");
        EXPECT_EQ(file().filename, source);
    }
    editor->Open_File(); // cancelled
    EXPECT_EQ(file().filename, source);
}

TEST_F(FileCommands, WhatWouldTakeTooLongToShowIsRefusedBeforeLoadingAndSaysWhy) {
    const QString source = write_work("prog.asm", "kept");
    open(source);
    std::string large;
    while (large.size() <= static_cast<size_t>(kMaxShownBytes)) {
        large += "        NOP\r\n";
    }
    const std::string long_line(static_cast<size_t>(kMaxShownLine) + 1, ';');
    std::string formats = "{\\rtf1 ";
    for (size_t n = 0; n <= kMaxShownFormatRuns / 2; ++n) {
        formats += "\\b L\\b0 D";
    }
    const struct {
        QString path;
        QString reason;
    } refused[] = {
        {write_work("large.asm", large),
         "it is larger than 8 MB, more than the editor can show quickly"},
        {write_work("wide.asm", "        NOP\n" + long_line + "\n        .END\n"),
         "line 2 is longer than 16384 characters, more than the editor can show quickly"},
        {write_work("formats.rtf", formats + "}"),
         "its format changes more than 100000 times, more than the editor can show quickly"},
    };
    for (const auto& bad : refused) {
        open(bad.path);
        EXPECT_EQ(editor->status_text(), "Could not open " + bad.path + ": " + bad.reason);
        EXPECT_EQ(text(), "kept");
        EXPECT_EQ(file().filename, source);
        // Insert File reads a rich-text file as text, its markup in short lines.
        if (!bad.path.endsWith(".rtf")) {
            modal.file_answers = {bad.path};
            editor->Insert_File();
            EXPECT_EQ(editor->status_text(), "Could not open " + bad.path + ": " + bad.reason);
            EXPECT_EQ(text(), "kept");
        }
    }
    // Up to the limits, a file opens.
    const QString widest = write_work("widest.asm", long_line.substr(1) + "\n");
    open(widest);
    EXPECT_EQ(file().filename, widest);
}

TEST_F(FileCommands, ARichTextFileOpensAsItsFormattedTextAndSavesAsPlainText) {
    const QString path = write_work(
        "prog.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}{\\colortbl ;\\red255\\green0"
                    "\\blue0;}\\f0\\fs24         .ORG $4000\\par\r\n{\\b\\cf1 start:}\\tab HALT "
                    "# caf\\'e9\\par\r\n}");
    open(path);
    EXPECT_EQ(text(), "        .ORG $4000\nstart:\tHALT # caf\u00e9\n");
    EXPECT_EQ(file().filename, path);
    const auto format_at = [this](int position) {
        QTextCursor cursor(editor->text_box()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat();
    };
    const int start = static_cast<int>(text().indexOf("start:"));
    EXPECT_TRUE(format_at(start).font().bold());
    EXPECT_EQ(format_at(start).foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(format_at(start + 6).font().bold());
    EXPECT_EQ(format_at(0).fontPointSize(), 12.0);
    EXPECT_FALSE(editor->text_changed());
    // The formats came with the file: there is nothing to undo.
    EXPECT_FALSE(editor->text_box()->document()->isUndoAvailable());

    editor->Save_File();
    EXPECT_EQ(bytes_of(path), "        .ORG $4000\r\nstart:\tHALT # caf\xC3\xA9\r\n");
}

TEST_F(FileCommands, SaveWritesTheNamedFileAndSaveAsNamesAnUntitledOne) {
    type("new");
    editor->Save_File(); // runs Save As, cancelled
    EXPECT_EQ(file().has_name, 0);
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
    editor->text_box()->moveCursor(QTextCursor::Start);
    type("X");
    editor->Save_File();
    EXPECT_EQ(bytes_of(path), "Xnew");
    // Each pause shows its status text; then the bar is idle again.
    EXPECT_EQ(pauses, (std::vector<Pause>{{1000, "Save File As:" + path},
                                          {1000, "Save open file to the disc"}}));
    EXPECT_EQ(editor->status_text(), " ");
}

TEST_F(FileCommands, AFailedSaveSaysSoAndKeepsTheTextUnsaved) {
    type("text");
    write_work("plain", "a file, not a folder");
    const QString impossible = work("plain") + "/new.asm";
    modal.file_answers.push_back(impossible);
    editor->Save_File();
    EXPECT_TRUE(editor->status_text().startsWith("Could not save " + impossible));
    EXPECT_EQ(file().has_name, 0);
    EXPECT_TRUE(editor->text_changed());
    EXPECT_TRUE(pauses.empty());
}

// A save that fails keeps the file as it was and the text unsaved, so New still asks.
TEST_F(FileCommands, ASaveThatFailsPartWayKeepsTheFileAndTheText) {
    const QString source = write_work("prog.asm", "old\n");
    open(source);
    type("new ");
    const auto expect_kept = [&](const std::string& why) {
        EXPECT_TRUE(editor->status_text().startsWith("Could not save " + source + ": ")) << why;
        EXPECT_EQ(bytes_of(source), "old\n") << why;
        EXPECT_TRUE(editor->text_changed()) << why;
    };
    for (const FailingStep step : kEveryFailingStep) {
        editor->set_write_calls(calls_failing_at(step));
        editor->Save_File();
        expect_kept("step " + std::to_string(static_cast<int>(step)));
    }
    editor->set_write_calls({});

    // A read-only file is refused, not replaced by a writable one.
    const auto read_only = std::filesystem::perms::owner_read | std::filesystem::perms::group_read;
    std::filesystem::permissions(source.toStdString(), read_only);
    editor->Save_File();
    EXPECT_EQ(editor->status_text(),
              "Could not save " + source + ": the file or its folder is read-only");
    expect_kept("read-only");
    EXPECT_EQ(std::filesystem::status(source.toStdString()).permissions(), read_only);

    FullDisk disk;
    if (!disk.available()) {
        GTEST_SKIP() << "only root can mount a small file system";
    }
    const std::string on_disk = (disk.path() / "prog.asm").string();
    write_file(on_disk, "old\n");
    modal.box_answers = {MessageAnswer::No}; // the unsaved text above goes
    open(QString::fromStdString(on_disk));
    modal.boxes.clear();
    type("new ");
    disk.fill();
    editor->Save_File();
    EXPECT_TRUE(editor->status_text().startsWith(
        QString::fromStdString("Could not save " + on_disk + ": ")));
    EXPECT_EQ(read_file(on_disk), "old\n");
    EXPECT_TRUE(editor->text_changed());
    modal.box_answers = {MessageAnswer::Cancel};
    editor->New_File();
    EXPECT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(text(), "new old\n");
}

TEST_F(FileCommands, ListAndSourceSwap) {
    editor->View_source_file(); // untitled
    const QString source = write_work("prog.asm", "source\n");
    open(source);
    editor->View_List_File();   // no list yet
    editor->View_source_file(); // the source is on show already: nothing
    EXPECT_EQ(text(), "source\n");
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_EQ(modal.boxes[0].text, kOpenSourceFirst);
    EXPECT_EQ(modal.boxes[1].text, kListMissing);
    EXPECT_EQ(modal.boxes[1].buttons, MessageButtons::Ok);

    const QString list = write_work("prog.lst", "list\n");
    editor->View_List_File();
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(file().filename, list);
    EXPECT_EQ(editor->saved_source_name(), source);
    editor->View_source_file();
    EXPECT_EQ(text(), "source\n");
    EXPECT_EQ(file().filename, source);
    EXPECT_TRUE(editor->saved_source_name().isEmpty());

    // Twice in a row, the list is read again and the source stays the one to return to.
    editor->View_List_File();
    write_work("prog.lst", "new list\n");
    editor->View_List_File();
    EXPECT_EQ(text(), "new list\n");
    EXPECT_EQ(editor->saved_source_name(), source);
    editor->View_source_file();
    EXPECT_EQ(file().filename, source);
    EXPECT_EQ(text(), "source\n");

    // A source gone from the disk is reported, and the list stays on show.
    open(source);
    write_work("prog.lst", "list\n");
    editor->View_List_File();
    std::filesystem::remove(source.toStdString());
    editor->View_source_file();
    EXPECT_TRUE(editor->status_text().startsWith("Could not open " + source));
    EXPECT_EQ(text(), "list\n");

    // New keeps the saved source name, and the untitled text has no file to swap from.
    editor->New_File();
    EXPECT_TRUE(file().filename.isEmpty());
    EXPECT_EQ(editor->saved_source_name(), source);
    editor->View_source_file();
    EXPECT_EQ(modal.boxes.back().text, kOpenSourceFirst);
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
    editor->Insert_File();
    EXPECT_EQ(text(), "[one\ntwo\nthree\nlast\n");
    EXPECT_EQ(editor->text_box()->textCursor().position(), text().size());
    EXPECT_EQ(file().has_name, 0);

    // New text keeps the inserted lines' CR LF when saved.
    modal.file_answers.push_back(work("saved.asm"));
    editor->Save_File_As();
    EXPECT_EQ(bytes_of(work("saved.asm")), "[one\r\ntwo\r\nthree\r\nlast\r\n");
}

TEST_F(FileCommands, SwappingAsksBeforeReplacingChangedText) {
    open(write_work("prog.asm", "source\n"));
    write_work("prog.lst", "list\n");
    type("X");
    modal.box_answers = {MessageAnswer::Cancel, MessageAnswer::No};
    editor->View_List_File();
    EXPECT_EQ(text(), "Xsource\n");
    EXPECT_TRUE(editor->saved_source_name().isEmpty());
    editor->View_List_File();
    EXPECT_EQ(text(), "list\n");
    EXPECT_EQ(modal.boxes.size(), 2u);
}

// Every command that would replace changed text asks first, with Yes, No and Cancel.
struct PromptCase {
    const char* name;
    void (*command)(Assembler&);
    const char* replaced_by; // the text after the command; null when it closes the window
};

class SavePrompt : public EditorTest, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(SavePrompt, AsksOnlyForChangedTextAndDoesWhatTheAnswerSays) {
    const QString source = write_work("prog.asm", "source\n");
    write_work("other.asm", "other\n");
    const auto run = [this](MessageAnswer answer) {
        modal.box_answers = {answer};
        modal.file_answers = {work("other.asm")};
        write_work("prog.lst", "list\n");
        GetParam().command(*editor);
    };
    // Changed and changed back: nothing to ask.
    open(source);
    type("X");
    QTest::keyClick(editor->text_box(), Qt::Key_Backspace);
    run(MessageAnswer::Cancel);
    EXPECT_TRUE(modal.boxes.empty());
    editor->show();

    open(source);
    type("X");
    run(MessageAnswer::Cancel);
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(text(), "Xsource\n");
    EXPECT_TRUE(editor->isVisible());

    run(MessageAnswer::Yes);
    EXPECT_EQ(bytes_of(source), "Xsource\n");
    editor->show();

    // No discards; a Yes whose Save As is cancelled keeps the text.
    editor->New_File();
    type("untitled");
    modal.box_answers = {MessageAnswer::Yes};
    modal.file_answers.clear();
    GetParam().command(*editor);
    EXPECT_EQ(text(), "untitled");
    EXPECT_TRUE(editor->isVisible());
    run(MessageAnswer::No);
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

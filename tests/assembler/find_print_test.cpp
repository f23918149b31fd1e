// Find, Find Next, Goto Line, Font, Printer Setup and Print, and the .END fix-up.
#include "tests/assembler/editor_fixture.h"
#include "tests/support/pdf_file.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTextBlock>
#include <cmath>

namespace tallyrig::testing {
namespace {

struct Selection {
    int start;
    int end;
    bool operator==(const Selection&) const = default;
};

void PrintTo(const Selection& s, std::ostream* out) {
    *out << s.start << ".." << s.end;
}

class FindPrint : public EditorTest {
protected:
    // As a file comes in: in the text box's own font.
    void set_text(const QString& text) {
        editor->text_box()->document()->setPlainText(text);
        editor->text_box()->document()->setModified(false);
    }
    void select(int start, int end) {
        QTextCursor cursor = editor->text_box()->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        editor->text_box()->setTextCursor(cursor);
    }
    Selection selection() const {
        const QTextCursor cursor = editor->text_box()->textCursor();
        return {cursor.selectionStart(), cursor.selectionEnd()};
    }
    void find(std::optional<QString> answer) {
        modal.input_answers = {std::move(answer)};
        editor->Find_string();
    }
    QString pdf() const { return work("out.pdf"); }
    int pdf_pages() const { return read_pdf_pages(pdf().toStdString()).count; }
};

TEST_F(FindPrint, FindIgnoresCaseFindsInsideWordsAndKeepsItsText) {
    set_text("Alpha beta ALPHA\nalphabet");
    editor->text_box()->moveCursor(QTextCursor::End);
    find("alpha");
    EXPECT_EQ(selection(), (Selection{0, 5}));
    // Again at once: the match is selected, so it is searched and found again.
    find("alpha");
    EXPECT_EQ(selection(), (Selection{0, 5}));
    EXPECT_EQ(modal.input_prompts, (std::vector<QString>{"|Find what?|", "|Find what?|alpha"}));
    editor->text_box()->moveCursor(QTextCursor::End);
    find("PHAB");
    EXPECT_EQ(selection(), (Selection{19, 23}));

    // With text selected only the selection is searched.
    select(6, 16);
    find("alpha");
    EXPECT_EQ(selection(), (Selection{11, 16}));
    select(6, 16);
    find("alphabet");
    EXPECT_EQ(selection(), (Selection{6, 16}));

    // Cancelling forgets the text and finds nothing.
    select(2, 3);
    find(std::nullopt);
    EXPECT_EQ(editor->sFind(), "");
    EXPECT_EQ(selection(), (Selection{2, 3}));
    EXPECT_EQ(modal.input_prompts.back(), "|Find what?|alphabet");
}

// Find Next goes on one character past the end of the match, so a match right after it is
// skipped.
struct NextCase {
    const char* text;
    Selection after_find;
    Selection after_next;
};

class FindNext : public FindPrint, public ::testing::WithParamInterface<NextCase> {};

TEST_P(FindNext, StartsOnePastTheEndOfTheMatch) {
    const NextCase& c = GetParam();
    set_text(c.text);
    find("ab");
    EXPECT_EQ(selection(), c.after_find);
    editor->Find_Next();
    EXPECT_EQ(selection(), c.after_next);
}

INSTANTIATE_TEST_SUITE_P(Texts, FindNext,
                         ::testing::Values(NextCase{"ab ab", {0, 2}, {3, 5}},
                                           NextCase{"abab", {0, 2}, {3, 3}},
                                           NextCase{"xab", {1, 3}, {3, 3}},
                                           NextCase{"ab\nab", {0, 2}, {3, 5}},
                                           NextCase{"AB,aB,ab", {0, 2}, {3, 5}}));

TEST_F(FindPrint, FindNextAfterTheLastMatchFindsNothingAndWithoutATextOnlyMoves) {
    set_text("ab ab");
    find("ab");
    editor->Find_Next();
    editor->Find_Next();
    EXPECT_EQ(selection(), (Selection{5, 5}));
    find(std::nullopt);
    select(0, 1);
    editor->Find_Next();
    EXPECT_EQ(selection(), (Selection{2, 2}));
}

struct GotoCase {
    std::optional<QString> reply;
    int caret; // -1: as it was, with its selection
};

TEST_F(FindPrint, GotoLinePutsTheCaretAtTheStartOfTheLineAndIgnoresOtherReplies) {
    set_text("one\ntwo\nthree\nfour");
    const GotoCase cases[] = {
        {"1", 0},    {"3", 8},      {"4", 14},      {"5", 18},  {"32767", 18},      {" 2 ", 4},
        {"0", 0},    {"-7", 0},     {"-32766", 0},  {"", -1},   {std::nullopt, -1}, {"x", -1},
        {"2.5", -1}, {"32768", -1}, {"-32767", -1}, {"2x", -1},
    };
    for (const GotoCase& c : cases) {
        select(9, 11);
        modal.input_answers = {c.reply};
        editor->goto_line();
        const QString reply = c.reply.value_or("(cancelled)");
        if (c.caret < 0) {
            EXPECT_EQ(selection(), (Selection{9, 11})) << reply.toStdString();
        } else {
            EXPECT_EQ(selection(), (Selection{c.caret, c.caret})) << reply.toStdString();
        }
    }
    EXPECT_EQ(modal.input_prompts.front(), "|Goto Line ?|");
}

TEST_F(FindPrint, FontGoesToTheSelectionAndToTextTypedNext) {
    set_text("abcdef");
    auto font_at = [this](int position) {
        QTextCursor cursor(editor->text_box()->document());
        cursor.setPosition(position + 1);
        return cursor.charFormat().font().resolve(editor->text_box()->document()->defaultFont());
    };
    const QFont before = font_at(0);
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSizeF(15);
    chosen.setBold(true);
    chosen.setItalic(true);
    chosen.setStrikeOut(true);
    chosen.setUnderline(true);
    select(1, 3);
    modal.font_answers = {chosen};
    editor->Set_Font();
    for (int position : {1, 2}) {
        const QFont font = font_at(position);
        EXPECT_EQ(font.family(), "DejaVu Serif");
        EXPECT_EQ(font.pointSizeF(), 15.0);
        EXPECT_TRUE(font.bold() && font.italic() && font.strikeOut() && font.underline());
    }
    EXPECT_EQ(font_at(0), before);
    EXPECT_EQ(font_at(3), before);

    // Cancelled: the font the dialog opened on, the selection's first character's, is copied.
    select(2, 5);
    editor->Set_Font();
    EXPECT_EQ(modal.font_initials.back().family(), "DejaVu Serif");
    for (int position : {2, 3, 4}) {
        EXPECT_EQ(font_at(position).family(), "DejaVu Serif") << position;
        EXPECT_TRUE(font_at(position).underline()) << position;
    }
    EXPECT_EQ(font_at(5), before);

    // Nothing selected: the text typed next.
    editor->text_box()->moveCursor(QTextCursor::End);
    QFont typed(QStringLiteral("DejaVu Sans"));
    typed.setPointSizeF(20);
    modal.font_answers = {typed};
    editor->Set_Font();
    type("g");
    EXPECT_EQ(font_at(6).family(), "DejaVu Sans");
    EXPECT_EQ(font_at(6).pointSizeF(), 20.0);
    EXPECT_FALSE(font_at(6).bold());
    EXPECT_EQ(text(), "abcdefg");
}

TEST_F(FindPrint, AFontDialogLeftAsItOpensChangesNothing) {
    // Upright and bold, each in the text box's font and in a face whose upright style is not
    // its first (DejaVu Sans Mono lists "Oblique" before "Book").
    for (const QString& family : {QString(), QStringLiteral("DejaVu Sans Mono")}) {
        for (const bool bold : {false, true}) {
            set_text("abcdef");
            select(0, 6);
            QTextCharFormat start;
            if (!family.isEmpty()) {
                start.setFontFamilies({family});
            }
            start.setFontWeight(bold ? QFont::Bold : QFont::Normal);
            editor->text_box()->textCursor().mergeCharFormat(start);
            const QFont before = editor->text_box()->textCursor().charFormat().font().resolve(
                editor->text_box()->document()->defaultFont());
            modal.font_answers.clear();
            editor->Set_Font(); // cancelled: shows what the dialog is offered
            QFontDialog dialog;
            dialog.setCurrentFont(modal.font_initials.back());
            modal.font_answers = {dialog.currentFont()};
            editor->Set_Font(); // OK without a change
            const QFont after = editor->text_box()->textCursor().charFormat().font();
            EXPECT_EQ(after.italic(), before.italic()) << family.toStdString() << bold;
            EXPECT_EQ(after.bold(), before.bold()) << family.toStdString() << bold;
            EXPECT_EQ(QFontInfo(after).family(), QFontInfo(before).family());
            EXPECT_EQ(after.pointSizeF(), before.pointSizeF());
        }
    }
}

TEST_F(FindPrint, PrintShowsItsStatusAndPrintsTheTextToTheChosenFile) {
    const auto status_while_printing = [this] {
        QString status;
        QMetaObject::invokeMethod(
            editor.get(), [&] { status = editor->status_text(); }, Qt::QueuedConnection);
        editor->Print_File();
        return status;
    };
    const QString source = write_work("prog.asm", "        .ORG $4000\n        .END\n");
    open(source);

    // Cancelled where to print: nothing printed.
    editor->Print_File();
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_EQ(editor->status_text(), "");
    EXPECT_FALSE(std::filesystem::exists(pdf().toStdString()));

    modal.print_to_pdf = pdf();
    EXPECT_EQ(status_while_printing(), "Printing File :" + source);
    EXPECT_EQ(editor->status_text(), "");
    EXPECT_EQ(pdf_pages(), 1);

    // Untitled and empty: one page, to the file chosen before, and the status names no file.
    editor->New_File();
    std::filesystem::remove(pdf().toStdString());
    EXPECT_EQ(status_while_printing(), "Printing File :");
    EXPECT_EQ(pdf_pages(), 1);
    EXPECT_EQ(modal.print_dialogs, 2);

    // A file that cannot be written is reported.
    modal.set_up_pdf = work("missing") + "/out.pdf";
    editor->Print_setup();
    editor->Print_File();
    EXPECT_EQ(editor->status_text(), "Could not print");
}

// Two and a half pages' worth of lines in the editor's own font, so that a line more or less on
// a page cannot change the count: three pages, the last one half full.
TEST_F(FindPrint, ALongTextPrintsThePagesItsLayoutNeeds) {
    modal.print_to_pdf = pdf();
    set_text("line");
    editor->Print_File();
    const PdfPages page = read_pdf_pages(pdf().toStdString());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const double line_points =
        QFontMetricsF(editor->text_box()->document()->defaultFont(), &printer).height() * 72.0 /
        printer.logicalDpiY();
    const double per_page = (page.height_points - 2 * 72.0) / line_points;
    ASSERT_GT(per_page, 20);

    QStringList lines;
    for (int n = 1; n <= std::lround(per_page * 2.5); ++n) {
        lines << QStringLiteral("%1: LDA [$%2] # a long source").arg(n).arg(n, 4, 16);
    }
    set_text(lines.join('\n'));
    editor->Print_File();
    EXPECT_EQ(pdf_pages(), 3);
}

TEST_F(FindPrint, PrinterSetupChoosesThePrinterThatPrintThenUses) {
    set_text("text");
    editor->Print_setup(); // cancelled: Print still asks
    modal.print_to_pdf = pdf();
    editor->Print_File();
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_EQ(pdf_pages(), 1);

    const QString chosen = work("chosen.pdf");
    modal.set_up_pdf = chosen;
    editor->Print_setup();
    EXPECT_EQ(modal.printer_dialogs, 2);
    editor->Print_File();
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_EQ(read_pdf_pages(chosen.toStdString()).count, 1);
    EXPECT_EQ(editor->status_text(), "");
}

struct FixupCase {
    const char* text;
    const char* fixed;
    const char* sfind;
};

TEST_F(FindPrint, FixupEndGivesTheEndLineALineBreak) {
    const FixupCase cases[] = {
        {"  .END\n", "  .END\n", ".END\r\n"},
        {"  .END", "  .END\n", ".END"},
        {"  .end # done", "  .end\n # done", ".END"},
        {"  .ENDS\n  .END", "  .ENDS\n  .END\n", ".END"},
        {"x.END\nNOP", "x.END\nNOP", ".END"},
        {"  NOP", "  NOP", ".END"},
    };
    for (const FixupCase& c : cases) {
        set_text(c.text);
        editor->fixup_end();
        EXPECT_EQ(text(), c.fixed) << c.text;
        EXPECT_EQ(editor->sFind(), c.sfind) << c.text;
    }
}

} // namespace
} // namespace tallyrig::testing

// The message window: the narration of stepped instructions in its styles, Clear, Find, the
// open flag that gates the log, and printing the log.
#include "asmlib/two_pass.h"
#include "shell/views/message.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/pdf_file.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <functional>

namespace tallyrig::testing {
namespace {

// Two loads of the accumulator, immediate.
const char* const kTwoLoads = R"(        .ORG $4000
        LDA 5
        LDA 6
        .END
)";

// Interrupts allowed, then a loop that the interrupt leaves for its routine.
const char* const kInterrupted = R"(        .ORG $4000
        BLDSP $EFFF
        BLDIV handler
        SETIM
loop:   JMP [loop]
handler: RTI
        .END
)";

class MessageWindow : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        press("Power");
    }

    void open() {
        main().dispatch_command("Display Message System");
        ASSERT_NE(main().message_window(), nullptr);
    }
    QPlainTextEdit* table() {
        return main().message_window()->findChild<QPlainTextEdit*>("message_table");
    }
    QString text() {
        main().message_window()->write_pending();
        return table()->toPlainText();
    }
    void click(const QString& key) {
        main().message_window()->findChild<QAction*>("Toolbar1_" + key)->trigger();
    }

    void load(const char* source) {
        const auto assembly = assembler::assemble(source);
        ASSERT_TRUE(assembly.ok());
        int32_t address = assembly.origin;
        for (uint8_t byte : assembly.bytes) {
            machine().memory_cells[static_cast<std::size_t>(address++)].value = byte;
        }
    }

    // Steps count instructions from $4000, calling after_step (if any) each time the machine
    // waits after one, then presses Reset.
    void step(int count, const std::function<void(int)>& after_step = {}) {
        int done = 0;
        step_while([&](int n) {
            done = n;
            if (after_step) {
                after_step(n);
            }
            return n < count;
        });
        ASSERT_EQ(done, count);
    }
    QString text_after_steps(int count) {
        QString seen;
        step(count, [&](int n) {
            if (n == count) {
                seen = text();
            }
        });
        return seen;
    }
};

TEST_F(MessageWindow, BothCommandsOpenOneWindow) {
    for (const char* command : {"Messaging System", "Display Message System"}) {
        main().dispatch_command(command);
        ASSERT_NE(main().message_window(), nullptr) << command;
        EXPECT_EQ(main().message_window()->windowTitle(), "Message Window");
        EXPECT_EQ(main().message_window()->objectName(), "message");
        EXPECT_EQ(machine().windows.message_window_open, kTrue);
    }
    int frames = 0;
    for (QMdiSubWindow* frame : main().workspace()->subWindowList()) {
        frames += qobject_cast<message*>(frame->widget()) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(frames, 1);
}

TEST_F(MessageWindow, ToolbarStatusBarAndFont) {
    open();
    const QList<QAction*> actions =
        main().message_window()->findChild<QToolBar*>("Toolbar1")->actions();
    const std::pair<const char*, const char*> expected[] = {
        {"Print", "Print the Message Table"},
        {"Clear", "Clear the Window"},
        {"Find", "Find a string"},
    };
    ASSERT_EQ(actions.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(actions[i]->data().toString(), expected[i].first);
        EXPECT_EQ(actions[i]->toolTip(), expected[i].second);
        EXPECT_FALSE(actions[i]->icon().isNull()) << expected[i].first;
    }
    EXPECT_NE(main().message_window()->findChild<QStatusBar*>("StatusBar1"), nullptr);
    // Narrow and wide letters take one width: the face the system found for the font may not
    // say it is fixed pitch (Noto Sans Mono does not) while it is.
    const QFontMetricsF metrics(table()->font());
    EXPECT_EQ(metrics.horizontalAdvance('i'), metrics.horizontalAdvance('W'));
    EXPECT_TRUE(text().isEmpty());
}

// One instruction narrated: headers black at the margin, main lines blue after four blanks,
// remarks red after six, all in 10 points and not bold; the opcode fetch starts with its
// separator.
TEST_F(MessageWindow, TheLinesOfOneInstructionInTheirStyles) {
    open();
    load(kTwoLoads);
    text_after_steps(1);
    const QTextDocument& log = *table()->document();
    ASSERT_TRUE(text().startsWith("\n\n**********\nGet Opcode\n    "));
    EXPECT_TRUE(text().contains("\nExecute Instruction\n"));

    int headers = 0, mains = 0, remarks = 0;
    const QString hard_reset = QStringLiteral("Hard Reset");
    for (QTextBlock line = log.begin(); line.isValid(); line = line.next()) {
        if (line.text() == hard_reset) {
            break; // the Reset that ended the step
        }
        QColor colour(Qt::black);
        if (line.text().startsWith("      ")) {
            colour = Qt::red;
            ++remarks;
        } else if (line.text().startsWith("    ")) {
            colour = Qt::blue;
            ++mains;
        } else if (!line.text().isEmpty()) {
            ++headers;
        }
        for (auto piece = line.begin(); !piece.atEnd(); ++piece) {
            const QTextCharFormat format = piece.fragment().charFormat();
            EXPECT_EQ(format.foreground().color(), colour) << line.text().toStdString();
            EXPECT_EQ(format.fontPointSize(), 10);
            EXPECT_NE(format.fontWeight(), QFont::Bold);
        }
    }
    EXPECT_GE(headers, 3); // the separator, "Get Opcode", "Execute Instruction", ...
    EXPECT_GT(mains, 3);
    EXPECT_GT(remarks, 1);
}

TEST_F(MessageWindow, SeparatorsOfTheOpcodeFetchTheInterruptAndTheHardReset) {
    open();
    load(kInterrupted);
    step(5, [&](int n) {
        if (n == 3) {
            main().dispatch_command("Interrupt"); // taken at the end of the next step
        }
    });
    const QString log = text();
    EXPECT_EQ(log.count("\n\n**********\nGet Opcode\n"), 5);
    EXPECT_EQ(log.count("\n\n*****************\nService Interrupt\n"), 1);
    EXPECT_EQ(log.count("\n\n**********\nHard Reset\n"), 1);
    EXPECT_GT(log.indexOf("Hard Reset"), log.lastIndexOf("Get Opcode"));
}

TEST_F(MessageWindow, ClearThenStepShowsOnlyTheNewLines) {
    open();
    load(kTwoLoads);
    const QString first = text_after_steps(1);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(text().contains("Hard Reset"));

    click("Clear");
    EXPECT_TRUE(text().isEmpty());
    EXPECT_EQ(table()->textCursor().position(), 0);
    // After the Reset the same instruction is stepped again: the same lines, nothing before.
    EXPECT_EQ(text_after_steps(1), first);
}

TEST_F(MessageWindow, ClosingTheWindowMakesTheLogSkipItsLines) {
    int narrated = 0;
    machine().log_tap = [&](int16_t, int16_t, int16_t, int32_t) { ++narrated; };
    open();
    load(kTwoLoads);
    step(1);
    const int16_t written = machine().status.message_log_count;
    ASSERT_GT(written, 0);

    main().message_window()->parentWidget()->close();
    settle();
    EXPECT_EQ(machine().windows.message_window_open, 0);
    narrated = 0;
    step(1);
    EXPECT_GT(narrated, 0);
    EXPECT_EQ(machine().status.message_log_count, written);

    open();
    EXPECT_TRUE(text().isEmpty());
    step(1);
    EXPECT_TRUE(text().startsWith("\n\n**********\nGet Opcode\n"));
}

struct FindCase {
    const char* name;
    int selection_start; // -1: no selection, the caret at selection_end
    int selection_end;
    std::optional<QString> answer;
    int found_start; // -1: the selection stays as it was

    friend void PrintTo(const FindCase& c, std::ostream* out) { *out << c.name; }
};

class MessageFind : public MessageWindow, public ::testing::WithParamInterface<FindCase> {};

// "alpha beta\nGamma ALPHA\n": "alpha" at 0 and 17.
TEST_P(MessageFind, SearchesTheSelectionOrTheWholeText) {
    const FindCase& c = GetParam();
    open();
    main().message_window()->append_text("alpha beta\n", {});
    main().message_window()->append_text("Gamma ALPHA\n", {});
    main().message_window()->write_pending();
    QTextCursor cursor(table()->document());
    cursor.setPosition(c.selection_start >= 0 ? c.selection_start : c.selection_end);
    cursor.setPosition(c.selection_end, QTextCursor::KeepAnchor);
    table()->setTextCursor(cursor);

    modal.input_answers.push_back(c.answer);
    click("Find");
    ASSERT_EQ(modal.input_prompts.size(), 1u);
    EXPECT_EQ(modal.input_prompts[0], "|Find what?|");
    const QTextCursor after = table()->textCursor();
    if (c.found_start < 0) {
        EXPECT_EQ(after.anchor(), cursor.anchor());
        EXPECT_EQ(after.position(), cursor.position());
    } else {
        EXPECT_EQ(after.selectionStart(), c.found_start);
        EXPECT_EQ(after.selectedText().toLower(), c.answer->toLower());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Find, MessageFind,
    ::testing::Values(FindCase{"WholeTextCaseIgnored", -1, 0, "ALPHA", 0},
                      FindCase{"WholeTextWhereverTheCaret", -1, 20, "alpha", 0},
                      FindCase{"InsideAWord", -1, 0, "amm", 12},
                      FindCase{"WithinTheSelection", 11, 23, "alpha", 17},
                      FindCase{"NotInTheSelection", 11, 16, "alpha", -1},
                      FindCase{"FirstInTheSelection", 0, 19, "ALPHA", 0},
                      FindCase{"PartlyOutsideTheSelection", 15, 20, "alpha", -1},
                      FindCase{"NoMatch", -1, 5, "delta", -1},
                      FindCase{"EmptyAnswer", 0, 5, QString(), -1},
                      FindCase{"Cancelled", 0, 5, std::nullopt, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MessageWindow, PrintingALongLogGivesThePagesItsLinesNeed) {
    open();
    TempFolder folder;
    const QString pdf = QString::fromStdString((folder.path() / "log.pdf").string());
    modal.print_to_pdf = pdf;
    const TextStyle remark{10, kColourRed, false};
    main().message_window()->append_text("      one line\n", remark);
    click("Print");
    const PdfPages one = read_pdf_pages(pdf.toStdString());
    ASSERT_EQ(one.count, 1);

    // Ten-point lines between one-inch margins; two and a half pages of them.
    const double line_points =
        QFontMetricsF(table()->font()).height() * 72.0 / table()->logicalDpiY();
    const int lines_per_page = static_cast<int>((one.height_points - 2 * 72) / line_points);
    for (int n = 0; n < lines_per_page * 5 / 2; ++n) {
        main().message_window()->append_text("    a narrated line\n", remark);
    }
    click("Print");
    EXPECT_EQ(read_pdf_pages(pdf.toStdString()).count, 3);
    EXPECT_EQ(modal.print_dialogs, 1); // the second print goes where the first went
}

// Printer Setup in the main window chooses where the log prints; Print asks nothing.
TEST_F(MessageWindow, PrintGoesToThePrinterSetUpInTheMainWindow) {
    open();
    TempFolder folder;
    const QString pdf = QString::fromStdString((folder.path() / "set_up.pdf").string());
    modal.set_up_pdf = pdf;
    main().dispatch_command("Printer Setup");
    main().message_window()->append_text("a line\n", {});
    click("Print");
    EXPECT_EQ(modal.print_dialogs, 0);
    EXPECT_EQ(read_pdf_pages(pdf.toStdString()).count, 1);
}

TEST_F(MessageWindow, ACancelledPrintChangesNothing) {
    open();
    main().message_window()->append_text("kept\n", {});
    click("Print");
    EXPECT_EQ(modal.print_dialogs, 1);
    EXPECT_TRUE(modal.boxes.empty());
    EXPECT_EQ(text(), "kept\n");
}

} // namespace
} // namespace tallyrig::testing

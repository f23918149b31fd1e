// The message-string converter: its line, its two checks, and Insert at the editor's caret.
#include "assembler/converter.h"
#include "tests/assembler/editor_fixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tallyrig::testing {
namespace {

const QString kFirstCharacter =
    QStringLiteral("First character of the message name must be an alpha or an underscore");
const QString kLength = QStringLiteral("Message length Must be greater than 1 and less than 8 ");

struct Conversion {
    const char* label;
    QString message;
    const char* line;
    std::vector<QString> boxes;
};

class Converting : public EditorTest, public ::testing::WithParamInterface<Conversion> {};

TEST_P(Converting, GivesTheLineAndWarnsButConvertsAllTheSame) {
    Converter converter(modal, [](const QString&) {});
    converter.findChild<QLineEdit*>("Mn_message_string")->setText(GetParam().label);
    converter.findChild<QPlainTextEdit*>("String_to_Convert")->setPlainText(GetParam().message);
    converter.Convert_string();
    EXPECT_EQ(converter.findChild<QPlainTextEdit*>("Converted_String")->toPlainText(),
              GetParam().line);
    std::vector<QString> shown;
    for (const ShownBox& box : modal.boxes) {
        shown.push_back(box.text);
        EXPECT_EQ(box.buttons, MessageButtons::Ok);
    }
    EXPECT_EQ(shown, GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, Converting,
    ::testing::Values(
        Conversion{"Msg_00:", "Hi", "Msg_00: .BYTE $48, $69, $00", {}},
        Conversion{"M:", "", "M: .BYTE $00", {}},
        Conversion{"Msg_0001:", "A", "Msg_0001: .BYTE $41, $00", {kLength}},
        Conversion{"", "A", " .BYTE $41, $00", {kLength}},
        Conversion{"1abc:", "", "1abc: .BYTE $00", {kFirstCharacter}},
        Conversion{"9abcdefgh", "", "9abcdefgh .BYTE $00", {kFirstCharacter, kLength}},
        Conversion{"yes:", "", "yes: .BYTE $00", {}}, Conversion{"Yes:", "", "Yes: .BYTE $00", {}},
        Conversion{"_x:", "a\tb\nc", "_x: .BYTE $61, $9, $62, $D, $A, $63, $00", {}},
        // The 8-bit code page: its own characters, and "?" for any other.
        Conversion{"C:",
                   QString::fromUtf8("\xc3\xa9\xe2\x82\xac\xe2\x80\x9c\xce\xa9\xf0\x9f\x99\x82"),
                   "C: .BYTE $E9, $80, $93, $3F, $3F, $00",
                   {}}));

using ConverterInEditor = EditorTest;

TEST_F(ConverterInEditor, InsertPutsTheLineAtTheCaretAndStaysOpenUntilExit) {
    type("ab");
    editor->text_box()->moveCursor(QTextCursor::Left);
    editor->findChild<QAction*>("mnInsert_String")->trigger();
    Converter* converter = editor->converter_window();
    ASSERT_NE(converter, nullptr);
    EXPECT_TRUE(converter->isVisible());
    EXPECT_TRUE(converter->isModal());
    EXPECT_EQ(converter->windowTitle(), "String Converter");
    QStringList captions;
    for (const char* name : {"Label1", "Label2", "Label3"}) {
        captions << converter->findChild<QLabel*>(name)->text();
    }
    for (const char* name : {"Convert_Button", "Insert", "Exit"}) {
        captions << converter->findChild<QPushButton*>(name)->text();
    }
    EXPECT_EQ(captions, QStringList({"Message Label", "Message Text:", "Result:", "&Convert",
                                     "&Insert", "&Exit"}));
    auto* label = converter->findChild<QLineEdit*>("Mn_message_string");
    EXPECT_EQ(label->text(), "MSG_000:");
    EXPECT_EQ(label->toolTip(), "Enter Message LAbel in the form Msg_00:");
    EXPECT_EQ(converter->findChild<QPlainTextEdit*>("String_to_Convert")->toolTip(),
              "Enter the message you would like converted");

    label->setText("M:");
    converter->findChild<QPlainTextEdit*>("String_to_Convert")->setPlainText("Z");
    QTest::mouseClick(converter->findChild<QPushButton*>("Convert_Button"), Qt::LeftButton);
    QTest::mouseClick(converter->findChild<QPushButton*>("Insert"), Qt::LeftButton);
    EXPECT_EQ(text(), "aM: .BYTE $5A, $00\nb");
    EXPECT_EQ(editor->text_box()->textCursor().position(), text().indexOf('b'));
    EXPECT_TRUE(converter->isVisible());
    QTest::mouseClick(converter->findChild<QPushButton*>("Exit"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor->converter_window(), nullptr);
}

} // namespace
} // namespace tallyrig::testing

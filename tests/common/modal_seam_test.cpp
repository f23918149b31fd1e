// The real dialogs behind the modal seam, answered as a user would: every other test answers
// the seam with scripted stand-ins, so these are the only ones that see what the real dialogs
// hand back.
#include "common/modal_seam.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace tallyrig::testing {
namespace {

// Runs answer on the modal dialog once it is up; gives up (rejecting it) after two seconds so a
// dialog that never comes, or never goes, fails the test instead of hanging it.
void answer_next_dialog(std::function<void(QDialog&)> answer) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(
        poll, &QTimer::timeout, [poll, answer = std::move(answer), tries = 0]() mutable {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                poll->stop();
                poll->deleteLater();
                answer(*dialog);
                if (dialog->isVisible()) {
                    ADD_FAILURE() << "the dialog stayed open";
                    dialog->reject();
                }
            } else if (++tries == 200) {
                poll->stop();
                poll->deleteLater();
                ADD_FAILURE() << "no dialog came up";
            }
        });
    poll->start();
}

void type_into(QDialog& dialog, const char* edit_name, const QString& text) {
    auto* edit = edit_name == nullptr ? dialog.findChild<QLineEdit*>()
                                      : dialog.findChild<QLineEdit*>(edit_name);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

TEST(RealDialogs, MessageBoxesAnswerWithTheButtonPressed) {
    QtModalSeam seam;
    const struct {
        MessageButtons buttons;
        QMessageBox::StandardButton press;
        MessageAnswer answer;
    } cases[] = {
        {MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageButtons::OkCancel, QMessageBox::Cancel, MessageAnswer::Cancel},
        {MessageButtons::YesNo, QMessageBox::No, MessageAnswer::No},
        {MessageButtons::YesNoCancel, QMessageBox::Yes, MessageAnswer::Yes},
    };
    for (const auto& c : cases) {
        QString title;
        answer_next_dialog([&](QDialog& dialog) {
            title = dialog.windowTitle();
            auto& box = static_cast<QMessageBox&>(dialog);
            box.button(c.press)->click();
        });
        EXPECT_EQ(seam.message_box(nullptr, "Text", "", MessageIcon::Question, c.buttons),
                  c.answer);
        EXPECT_EQ(title, "Tallyrig");
    }
    // Enter presses the default button the caller chose.
    answer_next_dialog([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Return); });
    EXPECT_EQ(seam.message_box_with_default(nullptr, "Save?", "Title", MessageIcon::Question,
                                            MessageButtons::YesNoCancel, MessageAnswer::No),
              MessageAnswer::No);
}

TEST(RealDialogs, FileDialogsHandBackTheNameChosen) {
    TempFolder folder;
    const QString dir = QString::fromStdString(folder.path().string());
    write_file(folder.path() / "lesson.ram", "x");
    QtModalSeam seam;

    answer_next_dialog([](QDialog& dialog) { type_into(dialog, "fileNameEdit", "lesson.ram"); });
    EXPECT_EQ(seam.open_file_name(nullptr, "Load RAM", dir, "RAM images (*.ram)"),
              dir + "/lesson.ram");

    answer_next_dialog([](QDialog& dialog) { type_into(dialog, "fileNameEdit", "mine"); });
    EXPECT_EQ(seam.save_file_name(nullptr, "Save As", dir, "Sources (*.asm)", "asm"),
              dir + "/mine.asm");

    answer_next_dialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(seam.save_file_name(nullptr, "Save As", dir, "Sources (*.asm)", "asm"), QString());

    // A project that does not exist yet can be named.
    answer_next_dialog([](QDialog& dialog) { type_into(dialog, "fileNameEdit", "lab1"); });
    EXPECT_EQ(seam.open_or_new_file_name(nullptr, "Open Project", dir, "Projects (*.prj)", "prj"),
              dir + "/lab1.prj");
}

TEST(RealDialogs, InputAndFontDialogsHandBackWhatWasAccepted) {
    QtModalSeam seam;
    answer_next_dialog([](QDialog& dialog) { type_into(dialog, nullptr, "120"); });
    EXPECT_EQ(seam.input_box(nullptr, "Line number?", "", "1"), std::optional<QString>("120"));

    answer_next_dialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(seam.input_box(nullptr, "Line number?", "", "1"), std::nullopt);

    QFont initial(QStringLiteral("DejaVu Sans Mono"), 13);
    initial.setBold(true);
    answer_next_dialog([](QDialog& dialog) { dialog.accept(); });
    const std::optional<QFont> font = seam.font_dialog(nullptr, initial);
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(font->pointSize(), 13);
    EXPECT_TRUE(font->bold());

    answer_next_dialog([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(seam.font_dialog(nullptr, initial), std::nullopt);
}

} // namespace
} // namespace tallyrig::testing

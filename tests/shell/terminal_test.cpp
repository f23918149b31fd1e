#include "panel/char_rom.h"
#include "panel/devices/keyboard.h"
#include "panel/devices/terminal.h"
#include "tests/shell/shell_fixture.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tallyrig::testing {
namespace {

constexpr int kInverse = 256;

class TerminalTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        rom = load_char_rom(install.folders.config_folder / "default.cro");
        ASSERT_FALSE(rom.isNull());
    }
    Terminal* window() { return main().terminal_window(); }
    TextTerminal& terminal() { return app->terminal(); }
    void write(const std::string& text) {
        for (char c : text) {
            machine().write_output_port(kTerminalPort, static_cast<unsigned char>(c));
        }
    }
    // Whether the cell at (column, row) shows the glyph over width by height pixels of its
    // 11 by 16: each pixel is the ROM's pixel, the first column and row repeated.
    ::testing::AssertionResult shows(int glyph, int column, int row, int width = 11,
                                     int height = 16) {
        const QImage& screen = window()->screen();
        for (int y = 0; y < height && row * 15 + y < screen.height(); ++y) {
            for (int x = 0; x < width && column * 10 + x < screen.width(); ++x) {
                const QRgb want =
                    rom.pixel(glyph_x(glyph) + x * 10 / 11, glyph_y(glyph) + y * 15 / 16);
                const QRgb got = screen.pixel(column * 10 + x, row * 15 + y);
                if (want != got) {
                    return ::testing::AssertionFailure()
                           << "glyph " << glyph << " at " << column << "," << row << ": pixel " << x
                           << "," << y << " differs";
                }
            }
        }
        return ::testing::AssertionSuccess();
    }
    bool all_black() {
        const QImage& screen = window()->screen();
        for (int y = 0; y < screen.height(); ++y) {
            for (int x = 0; x < screen.width(); ++x) {
                if (qGray(screen.pixel(x, y)) != 0) {
                    return false;
                }
            }
        }
        return true;
    }
    std::string row_text(int row) {
        std::string text;
        for (int column = 0; column < kTerminalColumns; ++column) {
            text += static_cast<char>(terminal().cell(column, row));
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    QStringList window_titles() {
        QStringList titles;
        for (QMdiSubWindow* frame : main().workspace()->subWindowList()) {
            if (frame->isVisible()) {
                titles << frame->widget()->windowTitle();
            }
        }
        return titles;
    }

    QImage rom;
};

TEST_F(TerminalTest, TheTerminalCommandOpensTheTerminalThenTheKeyboardOnce) {
    main().dispatch_command("Terminal");
    main().dispatch_command("Terminal");
    EXPECT_EQ(window_titles(), QStringList({"Calculator", "Text Terminal", "Keyboard"}));
    ASSERT_NE(window(), nullptr);
    ASSERT_NE(main().keyboard_window(), nullptr);
    EXPECT_EQ(app->devices().output_devices[kTerminalDevice].installed, 1);
    EXPECT_EQ(app->devices().input_devices[kKeyboardDevice].installed, 1);

    window()->parentWidget()->close();
    main().keyboard_window()->parentWidget()->close();
    settle();
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(main().keyboard_window(), nullptr);
    EXPECT_EQ(app->devices().output_devices[kTerminalDevice].installed, 0);
    EXPECT_EQ(app->devices().input_devices[kKeyboardDevice].installed, 1);
    // Both are there again for the next command.
    main().dispatch_command("Terminal");
    EXPECT_EQ(window_titles(), QStringList({"Calculator", "Text Terminal", "Keyboard"}));
}

TEST_F(TerminalTest, GlyphsCursorAndInverseVideoOnTheScreen) {
    press("Power");
    main().dispatch_command("Terminal");
    write("HI");
    // Each glyph's last column is covered by the one drawn after it.
    EXPECT_TRUE(shows('H', 0, 0, 10));
    EXPECT_TRUE(shows('I', 1, 0, 10));
    EXPECT_TRUE(shows(' ' + kInverse, 2, 0)); // the cursor
    EXPECT_TRUE(shows(' ', 5, 0));

    // A redraw goes column by column: each cell keeps only its own 10 by 15.
    write(std::string(1, '\0'));
    EXPECT_TRUE(shows('H' + kInverse, 0, 0, 10, 15));
    EXPECT_TRUE(shows(' ' + kInverse, 2, 0, 10, 15)); // no cell marked
    EXPECT_TRUE(shows(' ' + kInverse, 20, 10, 10, 15));
    write("J");
    EXPECT_TRUE(shows('J' + kInverse, 2, 0, 10));
    EXPECT_TRUE(shows(' ', 3, 0)); // the cursor in inverse video
    EXPECT_EQ(row_text(0), "HIJ");

    write(std::string(1, '\0'));
    EXPECT_TRUE(shows('J', 2, 0, 10, 15));
    EXPECT_TRUE(shows(' ', 3, 0, 10, 15));

    // The screen paints the picture the driver drew into.
    settle();
    const QImage painted = window()->findChild<QWidget*>("text_screen0")->grab().toImage();
    EXPECT_EQ(painted.convertToFormat(QImage::Format_RGB32), window()->screen());
}

TEST_F(TerminalTest, PowerOffBlackensTheScreenAndPowerOnBlanksItWhereTheCursorWas) {
    press("Power");
    main().dispatch_command("Terminal");
    write("AB");
    press("Power");
    EXPECT_TRUE(all_black());
    EXPECT_EQ(row_text(0), "AB");

    press("Power");
    EXPECT_EQ(row_text(0), "");
    EXPECT_TRUE(all_black()); // blanks, and no cursor shown
    EXPECT_EQ(terminal().terminal_cursor_column, 2);
    write("C");
    EXPECT_EQ(row_text(0), "  C");
    EXPECT_TRUE(shows('C', 2, 0, 10));
}

TEST_F(TerminalTest, WithTheTerminalClosedThePowerLeavesItAlone) {
    press("Power");
    press("Power");
    EXPECT_EQ(window(), nullptr);
    EXPECT_EQ(terminal().cell(0, 0), 0); // as at program start
}

TEST_F(TerminalTest, OnlyAByteThatDrawsOpensTheClosedTerminal) {
    press("Power");
    terminal().cell(4, 4) = 'z';
    for (int32_t code : {kTerminalBell, kTerminalLeft, kTerminalBackspace, kTerminalUp}) {
        machine().write_output_port(kTerminalPort, code);
    }
    EXPECT_EQ(window(), nullptr);
    write("Q");
    ASSERT_NE(window(), nullptr);
    EXPECT_EQ(main().keyboard_window(), nullptr);
    EXPECT_EQ(app->devices().output_devices[kTerminalDevice].installed, 1);
    EXPECT_EQ(row_text(0), "Q");
    EXPECT_EQ(terminal().cell(4, 4), kTerminalBlank); // the load blanked the buffer first
    EXPECT_TRUE(shows('Q', 0, 0, 10));
    EXPECT_TRUE(modal.boxes.empty()); // no "Output Device Error" for this port
}

TEST_F(TerminalTest, AnUnreadableCharacterRomGivesAMessageAndABlankScreenUntilReplaced) {
    const auto file = install.folders.config_folder / "default.cro";
    const std::string good = read_file(file);
    write_file(file, "no picture at all");
    press("Power");
    main().dispatch_command("Terminal");
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].title, "Init Character ROM");
    EXPECT_TRUE(modal.boxes[0].text.contains(QString::fromStdString(file.string())));
    write("ABC");
    EXPECT_EQ(row_text(0), "ABC");
    EXPECT_TRUE(all_black());

    // Every load reads the file again.
    window()->parentWidget()->close();
    settle();
    write_file(file, good);
    main().dispatch_command("Terminal");
    EXPECT_EQ(modal.boxes.size(), 1u);
    write("D");
    EXPECT_TRUE(shows('D', 3, 0, 10));
}

// The shipped lesson, assembled by the assembler library, typed at through the keyboard.
TEST_F(TerminalTest, EchoLessonTypesTheKeysOnTheTerminal) {
    ASSERT_NO_FATAL_FAILURE(load_shipped_example("terminal_echo"));
    main().dispatch_command("Terminal");
    ASSERT_TRUE(modal.boxes.empty());
    Keyboard* keyboard = main().keyboard_window();
    ASSERT_NE(keyboard, nullptr);

    // H, I, ENTER, A, B, BSpace, then J: each click is taken before the next.
    const std::vector<const char*> keys = {"SSCommand51", "SSCommand38", "ENTER",
                                           "SSCommand46", "SSCommand64", "BSPACE",
                                           "SSCommand52"};
    std::size_t next = 0;
    QTimer typist;
    typist.setInterval(20);
    QObject::connect(&typist, &QTimer::timeout, &main(), [&] {
        if (machine().memory_cells[kKeyboardPort].value != kNoKeyboardKey) {
            return;
        }
        if (next < keys.size()) {
            QTest::mouseClick(keyboard->key(keys[next++]), Qt::LeftButton);
            return;
        }
        if (row_text(1) == "AJ") { // the last key echoed
            typist.stop();
            press("Reset");
        }
    });
    end_a_runaway_run();
    typist.start();
    press("Run");

    EXPECT_EQ(row_text(0), "READY>HI");
    EXPECT_EQ(row_text(1), "AJ");
    EXPECT_EQ(terminal().terminal_cursor_column, 2);
    EXPECT_EQ(terminal().terminal_cursor_row, 1);
    EXPECT_TRUE(shows('J', 1, 1, 10));
    EXPECT_TRUE(shows(' ' + kInverse, 2, 1)); // the cursor
    EXPECT_EQ(keyboard->last_key(), "$4A");
}

} // namespace
} // namespace tallyrig::testing

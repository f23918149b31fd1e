// The main road: a program written in the editor, saved and assembled there through the
// library, then loaded into the simulator, run, and seen on the front panel's display.
#include "assembler/assembler_window.h"
#include "common/single_instance.h"
#include "tests/shell/shell_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

namespace tallyrig::testing {
namespace {

// Typed as a student would: OK on the display, then a loop on itself.
const char* const kProgramLines[] = {
    "        .ORG $4000",
    "DISPLAY: .EQU $F031",
    "start:  LDA 79          # \"O\"",
    "        STA [DISPLAY]",
    "        LDA 75          # \"K\"",
    "        STA [DISPLAY]",
    "stop:   JMP [stop]",
    "        .END",
};

class MainRoad : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        // The editor lives in bin/ beside the simulator, with the library it loads.
        const std::filesystem::path bin = install.root / "bin";
        std::filesystem::copy_file(std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin" / "libasm.so",
                                   bin / "libasm.so");
        instance = std::make_unique<SingleInstance>(
            QStringLiteral("tallyrig-road-test-%1").arg(QCoreApplication::applicationPid()));
        editor =
            std::make_unique<Assembler>(bin / "assembler", editor_modal, editor_desktop, *instance);
        editor->set_pause([](int) {});
        editor->show();
    }
    void TearDown() override {
        editor.reset();
        instance.reset();
        ShellTest::TearDown();
    }

    ScriptedModal editor_modal;
    RecordingDesktop editor_desktop;
    std::unique_ptr<SingleInstance> instance;
    std::unique_ptr<Assembler> editor;
};

TEST_F(MainRoad, AProgramWrittenInTheEditorRunsOnTheFrontPanel) {
    QPlainTextEdit* text = editor->text_box();
    for (const char* line : kProgramLines) {
        QTest::keyClicks(text, QString::fromLatin1(line));
        QTest::keyClick(text, Qt::Key_Return);
    }
    const auto source = install.folders.work_folder / "ok.asm";
    editor_modal.file_answers = {QString::fromStdString(source.string())};
    editor->Save_File();
    editor->findChild<QAction*>("mnuAssembler")->trigger();
    ASSERT_EQ(editor->status_text(), " Cool Beans! Your file was assembled without error!");
    EXPECT_TRUE(editor->findChild<QAction*>("mnu_View_Listing_FIle")->isEnabled());

    press("Power");
    modal.file_answers = {
        QString::fromStdString((install.folders.work_folder / "ok.ram").string())};
    main().dispatch_command("Load RAM");
    ASSERT_TRUE(modal.boxes.empty());
    end_a_runaway_run();
    QString shown;
    QTimer::singleShot(300, &main(), [&] {
        shown = panel().display_text();
        press("Reset");
    });
    press("Run");
    EXPECT_EQ(shown, QString(21, '-') + "OK");
}

} // namespace
} // namespace tallyrig::testing

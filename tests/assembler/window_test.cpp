// The editor's window: menus, toolbar and its dispatch, clipboard keys, layout, About, and the
// earlier copy that a later one raises.
#include "common/frm_about.h"
#include "common/screen_units.h"
#include "tests/assembler/editor_fixture.h"
#include "tests/support/toolbar_pictures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QThread>
#include <QToolBar>
#include <functional>

namespace tallyrig::testing {
namespace {

using Window = EditorTest;

void wait_for(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// Each menu as "name caption [shortcut]" lines, separators by their names.
QStringList menu_lines(QMenu* menu) {
    QStringList lines;
    for (QAction* action : menu->actions()) {
        QString line = action->objectName();
        if (action->isSeparator()) {
            lines << line + " -";
            continue;
        }
        line += " " + action->text();
        if (!action->shortcut().isEmpty()) {
            line += " [" + action->shortcut().toString() + "]";
        }
        lines << line;
    }
    return lines;
}

TEST_F(Window, MenusWithTheirItemsShortcutsAndSeparators) {
    QStringList menus;
    for (QAction* action : editor->menuBar()->actions()) {
        menus << action->menu()->objectName() + " " + action->text();
    }
    EXPECT_EQ(menus, QStringList({"mnuFile &File", "mnuEdit &Edit", "mnuInsert &Insert",
                                  "mnu_window &Window", "mnuhelp &Help"}));
    auto lines = [this](const char* name) {
        return menu_lines(editor->menuBar()->findChild<QMenu*>(name));
    };
    EXPECT_EQ(
        lines("mnuFile"),
        QStringList({"mnuNew &New [Ctrl+N]", "mnuOpen &Open [Ctrl+O]", "mnuSave &Save [Ctrl+S]",
                     "mnuSaveas &Save &As", "Sep1 -", "mnuAssembler A&ssemble [Ctrl+A]", "Sep99 -",
                     "mnuFont &Font", "Sep5 -", "mnuPrint_Setup Printer Setup",
                     "mnuPrint &Print [Ctrl+P]", "Sep2 -", "mnuExit E&xit"}));
    EXPECT_EQ(lines("mnuEdit"),
              QStringList({"mnuCut &Cut [Ctrl+X]", "mnuCopy Cop&y [Ctrl+C]",
                           "mnuPaste &Paste [Ctrl+V]", "mnuFind &Find [Ctrl+F]",
                           "mnuNext Find &Next [F3]", "mnuGoto_Line &Goto Line [Ctrl+G]"}));
    EXPECT_EQ(lines("mnuInsert"),
              QStringList({" &Directive", " &Instruction", "mnInsert_String Insert &String...",
                           "mnuInsert_file Insert &File... [Ctrl+I]"}));
    EXPECT_EQ(lines("mnu_window"), QStringList({"mnu_Source_FIle View Source File",
                                                "mnu_View_Listing_FIle View List File"}));
    EXPECT_EQ(lines("mnuhelp"), QStringList({"mnuhelpAbout H&elp About"}));
}

TEST_F(Window, ToolbarButtonsWithTheirPicturesAndTips) {
    auto* toolbar = editor->findChild<QToolBar*>("Toolbar1");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->iconSize(), QSize(32, 32));
    QStringList buttons;
    QList<QImage> pictures;
    for (QAction* action : toolbar->actions()) {
        buttons << action->data().toString() + "|" + action->toolTip();
        const QImage picture = action->icon().pixmap(32, 32).toImage();
        EXPECT_EQ(picture.size(), QSize(32, 32));
        EXPECT_FALSE(pictures.contains(picture)) << action->toolTip().toStdString();
        pictures << picture;
    }
    EXPECT_EQ(buttons, QStringList({"New|New File", "Open|Open File", "Save|Save File",
                                    "Assemble|Assemble File", "Print|Print ",
                                    "Source|View Source File", "List|View List FIle"}));
    expect_toolbar_pictures(*toolbar, {
                                          {"Assemble", "ff1df3b4a9747e3b"},
                                          {"List", "e547304713daa197"},
                                          {"New", "439b3ffe60e66168"},
                                          {"Open", "8716d1326f9cffac"},
                                          {"Print", "2313976bb9b9b61f"},
                                          {"Save", "3543e65ca06f4ef6"},
                                          {"Source", "76438991d304f1e3"},
                                      });
}

TEST_F(Window, ToolbarKeysDispatchExactly) {
    const QString source = write_work("prog.asm", "source\n");
    open(source);
    write_work("prog.lst", "list\n");
    editor->Toolbar1_ButtonClick("List");
    EXPECT_EQ(text(), "list\n");
    editor->Toolbar1_ButtonClick("Source");
    EXPECT_EQ(text(), "source\n");
    for (const char* key : {"list", "new", "Copy", "", "NEW "}) {
        editor->Toolbar1_ButtonClick(key);
    }
    EXPECT_EQ(text(), "source\n");
    EXPECT_EQ(file().filename, source);

    editor->Toolbar1_ButtonClick("Assemble");
    ASSERT_GE(pauses.size(), 2u);
    EXPECT_EQ(pauses[0], (Pause{10, "Assembling...."}));
    EXPECT_EQ(pauses[1], (Pause{1000, "Assembling...."}));
    editor->Toolbar1_ButtonClick("Help");
    ASSERT_NE(editor->about_window(), nullptr);
    editor->about_window()->close();
    editor->Toolbar1_ButtonClick("New");
    EXPECT_EQ(file().has_name, 0);
    EXPECT_EQ(text(), "");
}

TEST_F(Window, ClipboardCommandsGoToTheFocusedText) {
    type("cut me");
    editor->text_box()->selectAll();
    editor->mnuCopy_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), "cut me");
    editor->Toolbar1_ButtonClick("Cut");
    editor->mnuPaste_Click();
    editor->Toolbar1_ButtonClick("Paste");
    editor->text_box()->selectAll();
    editor->mnuCut_Click();
    EXPECT_EQ(QApplication::clipboard()->text(), "cut mecut me");
    EXPECT_EQ(text(), "");
}

TEST_F(Window, CtrlAAssemblesRatherThanSelectingAll) {
    editor->activateWindow();
    editor->text_box()->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    type("text");
    QSignalSpy assemble(editor->findChild<QAction*>("mnuAssembler"), &QAction::triggered);
    QTest::keyClick(editor->text_box(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(assemble.count(), 1);
    EXPECT_FALSE(editor->text_box()->textCursor().hasSelection());
}

TEST_F(Window, TheTextBoxFillsItsAreaAndNewLeavesItTaller) {
    EXPECT_EQ(text_box_size(9000, 8000, 300, kResizeAllowance).width, 8900);
    EXPECT_EQ(text_box_size(9000, 8000, 300, kResizeAllowance).height, 6300);
    EXPECT_EQ(text_box_size(9000, 8000, 300, kNewAllowance).height, 6500);
    EXPECT_EQ(text_box_size(9000, 1000, 300, kResizeAllowance).height, 100);
    EXPECT_EQ(text_box_size(50, 1200, 300, kResizeAllowance).height, 0); // never negative

    editor->resize(800, 600);
    QCoreApplication::processEvents();
    const QWidget* area = editor->centralWidget();
    EXPECT_EQ(editor->text_box()->geometry(), QRect(0, 0, area->width(), area->height()));
    editor->New_File();
    EXPECT_EQ(editor->text_box()->height(),
              twips_to_pixels(area->height() * kTwipsPerPixel + kResizeAllowance - kNewAllowance));
    editor->resize(820, 600);
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->text_box()->height(), area->height());
}

TEST_F(Window, NewTextIsTwelvePointAndAFileComesInTheBoxsFont) {
    // The font a character is shown in: its own, over the text box's.
    auto shown_font = [this](int position) {
        QTextCursor cursor = editor->text_box()->textCursor();
        cursor.setPosition(position);
        return cursor.charFormat().font().resolve(editor->text_box()->document()->defaultFont());
    };
    type("x");
    EXPECT_EQ(shown_font(1).family(), "Courier New");
    EXPECT_EQ(shown_font(1).pointSizeF(), 12.0);
    modal.box_answers = {MessageAnswer::No};
    open(write_work("prog.asm", "loaded"));
    ASSERT_EQ(text(), "loaded");
    EXPECT_EQ(shown_font(1).family(), "Courier New");
    EXPECT_EQ(shown_font(1).pointSizeF(), 9.75);
}

TEST_F(Window, AboutShowsTheEditorsTitleAndVersionModally) {
    editor->findChild<QAction*>("mnuhelpAbout")->trigger();
    frmAbout* about = editor->about_window();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->objectName(), "About");
    EXPECT_EQ(about->windowTitle(), "About Assembler");
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), "Assembler");
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), "Version 1.0.6");
    EXPECT_TRUE(about->isModal());
    QTest::mouseClick(about->findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, "System Information Is Unavailable At This Time");
    QTest::mouseClick(about->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(editor->about_window(), nullptr);
}

TEST_F(Window, ALaterCopyRaisesThisOneAndRunsOn) {
    // The fixture's window holds the name; a window started under the same name is a later copy.
    editor->showMinimized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(editor->isMinimized());
    SingleInstance later_instance(instance_name);
    Assembler later(program, modal, desktop, later_instance);
    wait_for([this] { return !editor->isMinimized(); });
    EXPECT_FALSE(editor->isMinimized());
    later.show();
    EXPECT_TRUE(later.isVisible());
    EXPECT_EQ(later.windowTitle(), editor->windowTitle());
}

// Two real copies, their lock and socket in a folder of their own: the name the program claims
// is the one its caption gives, and the second copy keeps running beside the first.
TEST(EditorProgram, ASecondCopyRunsBesideTheFirst) {
    const std::filesystem::path stage(TALLYRIG_STAGE_DIR);
    EXPECT_TRUE(std::filesystem::exists(stage / "bin/libasm.so"));
    TempFolder temp;
    const QString temp_path = QString::fromStdString(temp.path().string());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", temp_path);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString program = QString::fromStdString((stage / "bin/assembler").string());
    QProcess first;
    QProcess second;
    for (QProcess* copy : {&first, &second}) {
        copy->setProcessEnvironment(env);
        copy->start(program);
        ASSERT_TRUE(copy->waitForStarted());
        const QString lock =
            QDir(temp_path).filePath(SingleInstance::name_for(kEditorCaption) + ".lock");
        wait_for([&lock] { return QFile::exists(lock); });
        ASSERT_TRUE(QFile::exists(lock));
    }
    EXPECT_FALSE(second.waitForFinished(1500));
    EXPECT_EQ(first.state(), QProcess::Running);
    for (QProcess* copy : {&second, &first}) {
        copy->kill();
        copy->waitForFinished();
    }
}

} // namespace
} // namespace tallyrig::testing

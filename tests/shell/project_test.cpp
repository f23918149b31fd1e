// Projects as the user opens them: the save prompt and its three answers, the layout written
// and restored, the recent files under the File menu, and the project's character ROM and
// multimedia item. The walker and the message window are the windows a project reopens.
#include "common/frm_about.h"
#include "core/project_file.h"
#include "core/text_helpers.h"
#include "shell/files/project_files.h"
#include "shell/memory/mdisplay.h"
#include "shell/views/io_port.h"
#include "shell/views/message.h"
#include "shell/views/rdisplay.h"
#include "tests/shell/shell_fixture.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace tallyrig::testing {
namespace {

class Projects : public ShellTest {
protected:
    std::filesystem::path project(const char* name) const {
        return install.folders.work_folder / name;
    }
    void open(const std::filesystem::path& file) {
        main().projects().Openrecent_file(QString::fromStdString(file.string()));
        settle();
    }
    const ProjectStatus& status() { return main().projects().status(); }
    QStringList recent_menu() {
        QStringList names;
        for (QAction* action : main().findChild<QMenu*>("mnFile")->actions()) {
            names << (action->objectName().startsWith("mnrecentfile") && !action->isSeparator()
                          ? action->data().toString()
                          : action->objectName());
        }
        return names;
    }
    QWidget* frame_of(QWidget* window) { return window->parentWidget(); }
    static QString text(const std::filesystem::path& file) {
        return QString::fromStdString(file.string());
    }
};

TEST_F(Projects, SavedWithThreeWindowsAndReopened) {
    open(project("one.prj")); // a new project: nothing to read
    EXPECT_TRUE(status().is_open);
    main().dispatch_command("Display Memory Map");
    main().dispatch_command("Display Message System");
    frame_of(main().calculator())->setGeometry(0, 0, 500, 380);
    // The walker keeps the width of its grid.
    frame_of(main().memory_walker())->setGeometry(40, 400, 330, 360);
    frame_of(main().message_window())->setGeometry(510, 20, 420, 300);

    modal.box_answers.push_back(MessageAnswer::Yes);
    open(project("two.prj"));
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, "I am just about to open a new project File. Do you wish to "
                                   "save the currently open project?");
    EXPECT_EQ(modal.boxes[0].title, "Open Project");
    EXPECT_EQ(modal.boxes[0].icon, MessageIcon::Question);
    EXPECT_EQ(modal.boxes[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(modal.boxes[0].default_button, MessageAnswer::No);

    // The last loaded window first, in twips, and " 3" windows.
    const std::string saved = read_file(project("one.prj"));
    EXPECT_EQ(saved, project_file_text({{"message", 300, 7650, 6300, 4500},
                                        {"mDisplay", 6000, 600, 4950, 5400},
                                        {"Calculator", 0, 0, 7500, 5700}}));
    EXPECT_NE(saved.find("[No_of_Menus]\r\nCount= 3\r\n"), std::string::npos);
    EXPECT_EQ(status().path, project("two.prj").string());
    EXPECT_EQ(main().memory_walker(), nullptr);
    EXPECT_EQ(main().message_window(), nullptr);

    modal.box_answers.push_back(MessageAnswer::No);
    open(project("one.prj"));
    ASSERT_NE(main().memory_walker(), nullptr);
    ASSERT_NE(main().message_window(), nullptr);
    EXPECT_EQ(frame_of(main().memory_walker())->geometry(), QRect(40, 400, 330, 360));
    EXPECT_EQ(frame_of(main().message_window())->geometry(), QRect(510, 20, 420, 300));
    EXPECT_TRUE(main().front_panel_loaded());
    EXPECT_EQ(main().workspace()->subWindowList().size(), 3);
}

TEST_F(Projects, NoClosesEveryWindowThenTheFrontPanelComesBack) {
    open(project("one.prj"));
    main().dispatch_command("IOPort");
    main().dispatch_command("About");
    CloseRecorder recorder;
    for (QWidget* window : std::initializer_list<QWidget*>{
             main().calculator(), main().ioport_window(), main().about_window()}) {
        window->installEventFilter(&recorder);
    }
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("two.prj"));
    EXPECT_EQ(recorder.closed, (std::vector<QString>{"frmAbout", "IOPort", "Calculator"}));
    EXPECT_FALSE(std::filesystem::exists(project("one.prj")));
    EXPECT_EQ(main().about_window(), nullptr);
    // No control reopens the front panel, so the new project brings it back.
    EXPECT_TRUE(main().front_panel_loaded());
    EXPECT_TRUE(frame_of(main().calculator())->isVisible());
}

TEST_F(Projects, CancelChangesNothing) {
    open(project("one.prj"));
    main().dispatch_command("Display CPU registers");
    const QStringList menu = recent_menu();
    const std::string settings = read_file(install.folders.settings_file());
    modal.box_answers.push_back(MessageAnswer::Cancel);
    open(project("two.prj"));
    EXPECT_EQ(status().path, project("one.prj").string());
    EXPECT_TRUE(status().is_open);
    EXPECT_NE(main().register_window(), nullptr);
    EXPECT_EQ(recent_menu(), menu);
    EXPECT_EQ(read_file(install.folders.settings_file()), settings);
    EXPECT_FALSE(std::filesystem::exists(project("one.prj")));
}

TEST_F(Projects, AFailedSaveKeepsTheOpenProjectAndItsWindows) {
    open(install.root / "gone" / "one.prj");
    main().dispatch_command("IOPort");
    modal.box_answers.push_back(MessageAnswer::Yes);
    open(project("two.prj"));
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_TRUE(modal.boxes[1].text.contains("could not be saved"));
    EXPECT_EQ(status().path, (install.root / "gone" / "one.prj").string());
    EXPECT_NE(main().ioport_window(), nullptr);
}

TEST_F(Projects, OnlyTheWalkerAndTheMessageWindowReopen) {
    write_file(project("p.prj"), " ZobbleComputer Project File\r\n"
                                 "[No_of_Menus]\r\nCount= 4\r\n"
                                 "[Menu 1]\r\nName=calc\r\nTop=0\r\nLeft=0\r\n"
                                 "[Menu 2]\r\nName=rdisplay\r\n"
                                 "[Menu 3]\r\nName=IOPort\r\n"
                                 "[Menu 4]\r\nName=mDisplay\r\nTop= 1500\r\nLeft= 3000\r\n"
                                 "Width= 4950\r\nHeight= 6000\r\n");
    open(project("p.prj"));
    EXPECT_TRUE(modal.boxes.empty());
    ASSERT_NE(main().memory_walker(), nullptr);
    EXPECT_EQ(frame_of(main().memory_walker())->geometry(), QRect(200, 100, 330, 400));
    EXPECT_EQ(main().register_window(), nullptr);
    EXPECT_EQ(main().ioport_window(), nullptr);
    EXPECT_EQ(main().workspace()->subWindowList().size(), 2);
}

TEST_F(Projects, AMissingProjectOpensEmptyAndADamagedOneSaysSo) {
    open(project("new.prj"));
    EXPECT_TRUE(modal.boxes.empty());
    EXPECT_TRUE(status().is_open);
    EXPECT_EQ(app->char_rom().char_rom_path, app->char_rom().default_char_rom_path);

    std::filesystem::create_directory(project("folder.prj"));
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("folder.prj"));
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_TRUE(modal.boxes[1].text.contains("cannot be read"));
    EXPECT_TRUE(status().is_open);
    EXPECT_EQ(recent_menu().mid(3, 2),
              (QStringList{text(project("folder.prj")), text(project("new.prj"))}));
}

// Two projects whose names differ only in case are two files: each entry opens the one chosen,
// and the list, which holds one of them at a time, shows it as it is named.
TEST_F(Projects, TheRecentFilesAreListedAsChosenAndOpenFromTheMenu) {
    EXPECT_EQ(recent_menu(),
              (QStringList{"mnOpen_Project", "mnPrint_setup", "mnrecentfile", "mnExit"}));
    write_file(project("Case.prj"), "[Multimedia]\r\nLab=upper\r\n");
    write_file(project("case.prj"), "[Multimedia]\r\nLab=lower\r\n");
    open(project("case.prj"));
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("two.prj"));
    EXPECT_EQ(recent_menu().mid(3),
              (QStringList{text(project("two.prj")), text(project("case.prj")), "mnExit"}));
    EXPECT_EQ(main().findChild<QAction*>("mnrecentfile2")->text(), text(project("case.prj")));

    modal.box_answers.push_back(MessageAnswer::No);
    main().findChild<QAction*>("mnrecentfile2")->trigger();
    settle();
    EXPECT_EQ(status().path, project("case.prj").string());
    EXPECT_EQ(status().multimedia_lab, "lower");
    EXPECT_EQ(recent_menu().mid(3, 2),
              (QStringList{text(project("case.prj")), text(project("two.prj"))}));

    // The other file takes the entry's place rather than a second one.
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("Case.prj"));
    EXPECT_EQ(status().multimedia_lab, "upper");
    EXPECT_EQ(recent_menu().mid(3),
              (QStringList{text(project("Case.prj")), text(project("two.prj")), "mnExit"}));
}

// Older settings files kept the entries in upper case: one finds its file whatever its case,
// unless several files match, which the user is told about by the entry's name.
TEST_F(Projects, AnOlderUpperCaseEntryOpensItsOneFileOrSaysItMatchesSeveral) {
    write_file(project("One.prj"), "[Multimedia]\r\nLab=lesson one\r\n");
    write_file(project("Two.prj"), "");
    write_file(project("two.prj"), "");
    const std::string one = upper_case(project("One.prj").string());
    const std::string two = upper_case(project("two.prj").string());
    write_file(install.folders.settings_file(),
               "[Recent Files]\r\nRecentFile1=" + one + "\r\nRecentFile2=" + two + "\r\n");
    main().read_recent_files();

    main().findChild<QAction*>("mnrecentfile2")->trigger();
    settle();
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_TRUE(modal.boxes[0].text.contains(QString::fromStdString(two) + " matches more than "
                                                                           "one file"))
        << modal.boxes[0].text.toStdString();
    EXPECT_EQ(modal.boxes[0].title, "Open Project");
    EXPECT_FALSE(status().is_open);

    main().findChild<QAction*>("mnrecentfile1")->trigger();
    settle();
    EXPECT_EQ(status().path, project("One.prj").string());
    EXPECT_EQ(status().multimedia_lab, "lesson one");
    // The entry now names the file as it is.
    EXPECT_EQ(recent_menu().mid(3, 2),
              (QStringList{text(project("One.prj")), QString::fromStdString(two)}));
}

TEST_F(Projects, OpenProjectAsksForTheFile) {
    main().findChild<QAction*>("mnOpen_Project")->trigger(); // cancelled
    EXPECT_FALSE(status().is_open);
    modal.file_answers.push_back(QString::fromStdString(project("p.prj").string()));
    main().findChild<QAction*>("mnOpen_Project")->trigger();
    ASSERT_EQ(modal.file_dialogs.size(), 2u);
    EXPECT_EQ(modal.file_dialogs[1],
              " Open Project|" + QString::fromStdString(install.folders.work_folder.string()) +
                  "|Project file(*.prj)");
    // The dialog takes a new project's name.
    EXPECT_EQ(modal.new_name_suffixes, (std::vector<QString>{"prj", "prj"}));
    EXPECT_EQ(status().path, project("p.prj").string());
    EXPECT_FALSE(std::filesystem::exists(project("p.prj")));

    main().projects().open_project(true); // the project folder is never set
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text, "I tried to load the 'default.prj' file It appears to be "
                                   "missing. You may need to reload your software");
    EXPECT_EQ(modal.boxes[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(status().is_open);
}

TEST_F(Projects, TheCharacterRomTheProjectNames) {
    const auto rom = install.folders.config_folder / "other.cro";
    std::filesystem::copy_file(app->char_rom().default_char_rom_path, rom);
    write_file(project("rom.prj"), "[Character ROM]\r\nName=" + rom.string() + "\r\n");
    open(project("rom.prj"));
    EXPECT_EQ(app->char_rom().char_rom_path, rom);

    write_file(project("lost.prj"), "[Character ROM]\r\nName=" + rom.string() + ".lost\r\n");
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("lost.prj"));
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_EQ(modal.boxes[1].title, "Init Character ROM");
    EXPECT_EQ(modal.boxes[1].text, "I am unable to find the character ROM that is referenced in "
                                   "your project.I will use the system default");
    EXPECT_EQ(app->char_rom().char_rom_path, app->char_rom().default_char_rom_path);
}

TEST_F(Projects, TheMultimediaViewerStartsOnTheProjectsItem) {
    main().projects().start_multimedia_viewer(); // no project open: nothing
    EXPECT_TRUE(desktop.started.empty());
    write_file(project("media.prj"), "[Multimedia]\r\nLab=lab3\r\n");
    open(project("media.prj"));
    main().projects().start_multimedia_viewer();
    const QString root = QString::fromStdString(install.root.string());
    EXPECT_EQ(desktop.started, (std::vector<QString>{root + "/reelshow lab3|" + root}));

    write_file(project("none.prj"), "[Multimedia]\r\nLab=Not Used\r\n");
    modal.box_answers.push_back(MessageAnswer::No);
    open(project("none.prj"));
    main().projects().start_multimedia_viewer();
    ASSERT_EQ(modal.boxes.size(), 2u);
    EXPECT_EQ(modal.boxes[1].title, "Zobble Multimedia Help");
    EXPECT_EQ(modal.boxes[1].buttons, MessageButtons::OkCancel);
}

} // namespace
} // namespace tallyrig::testing

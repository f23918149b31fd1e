#include "shell/single_instance.h"
#include "tests/shell/shell_fixture.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>

namespace tallyrig::testing {
namespace {

TEST(StartUpFolders, DerivedFromTheProgramPath) {
    const Folders folders = Application::folders_from_program("/x/a/bin/Tallyrig");
    EXPECT_EQ(folders.root_folder, "/x/a");
    EXPECT_EQ(folders.config_folder, "/x/a/config");
    EXPECT_EQ(folders.data_folder, "/x/a/data");
    EXPECT_EQ(folders.work_folder, "/x/a/work");
    EXPECT_EQ(folders.settings_file(), "/x/a/config/TALLYRIG.ini");

    const Folders none = Application::folders_from_program("");
    EXPECT_TRUE(none.root_folder.empty());
    EXPECT_TRUE(none.config_folder.empty());
}

TEST(StartUpFolders, StagedTreeHasTheInstallLayout) {
    const std::filesystem::path stage(TALLYRIG_STAGE_DIR);
    for (const char* entry :
         {"bin/Tallyrig", "config/TALLYRIG.ini", "config/Defbuttons.ini", "config/Newbuttons.ini",
          "config/default.cro", "config/help/files/help.html", "config/help/files/visit.html",
          "data"}) {
        EXPECT_TRUE(std::filesystem::exists(stage / entry)) << entry;
    }
}

using StartUp = ShellTest;

TEST_F(StartUp, MemoryTableMenusAndFrontPanel) {
    EXPECT_EQ(value(0x3FFF), 0);
    EXPECT_EQ(value(0x4000), kUndefinedValue);
    EXPECT_EQ(value(0x10000), kUndefinedValue);
    for (int32_t a : {1, 0x3FFF, 0x4000, 0xF011, 0x10000}) {
        EXPECT_EQ(machine().memory_cells[static_cast<std::size_t>(a)].address, a);
        EXPECT_EQ(machine().memory_cells[static_cast<std::size_t>(a)].breakpoint, 0);
        EXPECT_EQ(machine().memory_cells[static_cast<std::size_t>(a)].marker, 0);
    }
    EXPECT_EQ(machine().status.power_on, 0);
    EXPECT_EQ(machine().status.run_delay, 0.0);
    EXPECT_TRUE(main().isVisible());
    EXPECT_EQ(main().windowTitle(), "Tallyrig");
    ASSERT_NE(main().calculator(), nullptr);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_EQ(app->buttons().calculator_loaded, 1);
    for (QMenu* menu : main().menuBar()->findChildren<QMenu*>()) {
        EXPECT_TRUE(menu->isEnabled()) << menu->objectName().toStdString();
    }
    EXPECT_EQ(app->char_rom().default_char_rom_path, install.folders.config_folder / "default.cro");
}

TEST(StartUpWithoutCharacterRom, EndsAfterItsMessage) {
    TempInstall install;
    std::filesystem::remove(install.folders.config_folder / "default.cro");
    ScriptedModal modal;
    RecordingDesktop desktop;
    Application app(install.folders, modal, desktop);
    EXPECT_FALSE(app.start());
    ASSERT_EQ(modal.boxes.size(), 1u);
    EXPECT_EQ(modal.boxes[0].text,
              "I am unable to find the default character ROM at the following location" +
                  QString::fromStdString((install.folders.config_folder / "default.cro").string()));
    EXPECT_EQ(modal.boxes[0].title, "Init Character ROM");
    EXPECT_FALSE(app.main_window().isVisible());
    EXPECT_EQ(app.main_window().calculator(), nullptr);
}

TEST(SingleInstanceCheck, ASecondCopyRaisesTheFirst) {
    const QString name = QStringLiteral("tallyrig-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance alone(name);
    EXPECT_FALSE(alone.ask_earlier_copy_to_raise());

    SingleInstance first(name);
    int raised = 0;
    ASSERT_TRUE(first.listen([&raised] { ++raised; }));
    SingleInstance second(name);
    EXPECT_TRUE(second.ask_earlier_copy_to_raise());
    QElapsedTimer clock;
    clock.start();
    while (raised == 0 && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(raised, 1);
}

} // namespace
} // namespace tallyrig::testing

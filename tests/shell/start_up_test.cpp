#include "common/single_instance.h"
#include "shell/splash_form.h"
#include "tests/shell/shell_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QThread>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

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
    TempInstall install{"TALLYRIG.ini", "Newbuttons.ini", "Defbuttons.ini"};
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

class SingleInstanceCheck : public ::testing::Test {
protected:
    void SetUp() override {
        static int serial = 0;
        name = QStringLiteral("tallyrig-test-%1-%2")
                   .arg(QCoreApplication::applicationPid())
                   .arg(++serial);
    }
    QString lock_path() const { return QDir(QDir::tempPath()).filePath(name + ".lock"); }
    static void wait_for(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
    }

    QString name;
};

TEST_F(SingleInstanceCheck, OnlyTheFirstCopyHoldsTheNameAndALaterOneRaisesIt) {
    SingleInstance nobody(name);
    EXPECT_FALSE(nobody.ask_earlier_copy_to_raise());

    auto first = std::make_unique<SingleInstance>(name);
    ASSERT_TRUE(first->claim());
    int raised = 0;
    first->on_raise_request([&raised] { ++raised; });

    // A copy that loses the claim leaves the first copy reachable.
    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(second.ask_earlier_copy_to_raise());
    wait_for([&raised] { return raised == 1; });
    EXPECT_EQ(raised, 1);
    SingleInstance third(name);
    EXPECT_FALSE(third.claim());
    EXPECT_TRUE(third.ask_earlier_copy_to_raise());
    wait_for([&raised] { return raised == 2; });
    EXPECT_EQ(raised, 2);

    first.reset();
    SingleInstance after(name);
    EXPECT_FALSE(after.ask_earlier_copy_to_raise());
    EXPECT_TRUE(after.claim());
}

TEST_F(SingleInstanceCheck, WhatADeadCopyLeftIsTakenOver) {
    // A lock file as a copy leaves it when it dies: a real one, its holder a process now gone.
    QByteArray contents;
    {
        QLockFile live(lock_path());
        ASSERT_TRUE(live.tryLock(0));
        QFile file(lock_path());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
        live.unlock();
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    contents = QByteArray::number(child) + contents.mid(contents.indexOf('\n'));
    {
        QFile file(lock_path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    // And its socket name left in place.
    const QString socket_path = QDir(QDir::tempPath()).filePath(name);
    {
        QFile file(socket_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    SingleInstance next(name);
    ASSERT_TRUE(next.claim());
    int raised = 0;
    next.on_raise_request([&raised] { ++raised; });
    SingleInstance later(name);
    EXPECT_FALSE(later.claim());
    EXPECT_TRUE(later.ask_earlier_copy_to_raise());
    wait_for([&raised] { return raised == 1; });
    EXPECT_EQ(raised, 1);
}

// Two real copies, their lock and socket in a folder of their own: the second, started during
// the first one's splash, shows its own splash and ends while the first runs on.
TEST(SingleInstanceProgram, ASecondCopyStartedDuringTheSplashEnds) {
    TempFolder temp;
    const QString temp_path = QString::fromStdString(temp.path().string());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", temp_path);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    const QString program = QString::fromStdString(
        (std::filesystem::path(TALLYRIG_STAGE_DIR) / "bin/Tallyrig").string());
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(program);
    ASSERT_TRUE(first.waitForStarted());
    const QString lock = QDir(temp_path).filePath(
        SingleInstance::name_for(QString::fromLatin1(kMainWindowTitle)) + ".lock");
    QElapsedTimer clock;
    clock.start();
    while (!QFile::exists(lock) && clock.elapsed() < 3000) {
        QThread::msleep(20);
    }
    ASSERT_TRUE(QFile::exists(lock));

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program);
    ASSERT_TRUE(second.waitForStarted());
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_GE(clock.elapsed(), kSplashMilliseconds);
    EXPECT_EQ(first.state(), QProcess::Running);
    if (second.state() != QProcess::NotRunning) {
        second.kill();
        second.waitForFinished();
    }
    first.kill();
    first.waitForFinished();
}

} // namespace
} // namespace tallyrig::testing

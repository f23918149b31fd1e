// A whole simulator on a temporary install root, with the modal boxes answered by a script
// and the desktop replaced by a recorder, so no test waits for a user or starts a program.
#pragma once

#include "asmlib/assemble_file.h"
#include "panel/calculator.h"
#include "shell/application.h"
#include "shell/mdi.h"
#include "tests/support/machine_fixture.h"
#include "tests/support/scripted_modal.h"
#include "tests/support/temp_install.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tallyrig::testing {

// Records the object names of the windows that receive a close event, in order.
class CloseRecorder : public QObject {
public:
    std::vector<QString> closed;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            closed.push_back(watched->objectName());
        }
        return false;
    }
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_saved_dir = QDir::currentPath();
        app = std::make_unique<Application>(install.folders, modal, desktop);
        ASSERT_TRUE(app->start());
    }
    void TearDown() override {
        app.reset();
        QDir::setCurrent(m_saved_dir);
    }

    MDI& main() { return app->main_window(); }
    Machine& machine() { return app->machine(); }
    Calculator& panel() { return *main().calculator(); }
    void press(const char* key) { panel().command_pass(QString::fromLatin1(key)); }
    void settle() {
        app->ui().flush_views();
        app->ui().process_events_now();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Presses Step, and again each time the machine waits after a step while after_step(n),
    // told how many steps are done, says to go on; then presses Reset.
    void step_while(const std::function<bool(int)>& after_step) {
        int done = 0;
        QTimer user;
        user.setInterval(1);
        QObject::connect(&user, &QTimer::timeout, &main(), [&] {
            if (machine().status.machine_mode != MachineMode::Idle) {
                return;
            }
            if (after_step(++done)) {
                press("Step");
            } else {
                user.stop();
                press("Reset");
            }
        });
        user.start();
        press("Step");
    }
    CellValue value(int32_t address) { return CellValue(cell(machine(), address)); }
    // Should the run loop not return within 10 s, switching off ends it and the test fails.
    void end_a_runaway_run() {
        QTimer::singleShot(10000, &main(), [this] {
            if (machine().in_run_loop()) {
                ADD_FAILURE() << "the run loop did not end";
                press("Power");
            }
        });
    }
    // A shipped example ("name.asm" of resources/work) assembled by the assembler library in
    // the work folder; switched on and loaded through the Load RAM dialog.
    void load_shipped_example(const std::string& name) {
        const auto source = install.folders.work_folder / (name + ".asm");
        std::filesystem::copy_file(std::filesystem::path(TALLYRIG_SOURCE_DIR) / "resources" /
                                       "work" / (name + ".asm"),
                                   source);
        ASSERT_EQ(assembler::assemble_file(source.string()).error.code, assembler::ErrorCode::None);
        press("Power");
        modal.file_answers.push_back(
            QString::fromStdString((install.folders.work_folder / (name + ".ram")).string()));
        main().dispatch_command("Load RAM");
        ASSERT_TRUE(modal.boxes.empty());
    }

    // The staged settings, key files and character ROM.
    TempInstall install{"TALLYRIG.ini", "Newbuttons.ini", "Defbuttons.ini", "default.cro"};
    ScriptedModal modal;
    RecordingDesktop desktop;
    std::unique_ptr<Application> app;

private:
    QString m_saved_dir;
};

} // namespace tallyrig::testing

// A whole simulator on a temporary install root, with the modal boxes answered by a script
// and the desktop replaced by a recorder, so no test waits for a user or starts a program.
#pragma once

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

namespace tallyrig::testing {

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
    int32_t& value(int32_t address) { return cell(machine(), address).value; }

    // The staged settings, key files and character ROM.
    TempInstall install{"TALLYRIG.ini", "Newbuttons.ini", "Defbuttons.ini", "default.cro"};
    ScriptedModal modal;
    RecordingDesktop desktop;
    std::unique_ptr<Application> app;

private:
    QString m_saved_dir;
};

} // namespace tallyrig::testing

// A whole simulator on a temporary install root, with the modal boxes answered by a script
// and the desktop replaced by a recorder, so no test waits for a user or starts a program.
#pragma once

#include "panel/calculator.h"
#include "shell/application.h"
#include "shell/desktop_actions.h"
#include "shell/mdi.h"
#include "shell/modal_seam.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tallyrig::testing {

struct ShownBox {
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
};

class ScriptedModal : public ModalSeam {
public:
    std::vector<ShownBox> boxes;
    std::deque<QString> file_answers;  // what the open dialog returns, in turn; empty = cancel
    std::vector<QString> file_dialogs; // "title|folder|filter" of each open dialog
    int printer_dialogs = 0;

    MessageAnswer message_box(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                              MessageButtons buttons) override {
        boxes.push_back({text, title, icon, buttons});
        return MessageAnswer::Ok;
    }
    QString open_file_name(QWidget*, const QString& title, const QString& folder,
                           const QString& filter) override {
        file_dialogs.push_back(title + "|" + folder + "|" + filter);
        if (file_answers.empty()) {
            return {};
        }
        QString answer = file_answers.front();
        file_answers.pop_front();
        return answer;
    }
    void printer_setup(QWidget*) override { ++printer_dialogs; }
};

class RecordingDesktop : public DesktopActions {
public:
    std::vector<QString> started; // "program|working folder"
    std::vector<QString> opened;
    std::vector<QStringList> looked_for;
    std::map<QString, QString> on_path; // name -> full path
    bool start_fails = false;
    int ends = 0;

    bool start_program(const QString& program, const QString& working_folder) override {
        started.push_back(program + "|" + working_folder);
        return !start_fails;
    }
    bool open_document(const QString& path) override {
        opened.push_back(path);
        return true;
    }
    QString find_program(const QStringList& names) override {
        looked_for.push_back(names);
        for (const QString& name : names) {
            if (auto it = on_path.find(name); it != on_path.end()) {
                return it->second;
            }
        }
        return {};
    }
    void end_program() override { ++ends; }
};

inline void write_text(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string read_text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An install root with bin/, config/ (the staged settings, key files and character ROM),
// data/ and work/.
class TempInstall {
public:
    TempInstall() {
        root = std::filesystem::path(m_dir.path().toStdString());
        for (const char* sub : {"bin", "config", "data", "work"}) {
            std::filesystem::create_directories(root / sub);
        }
        const std::filesystem::path staged = std::filesystem::path(TALLYRIG_STAGE_DIR) / "config";
        for (const char* name :
             {"TALLYRIG.ini", "Newbuttons.ini", "Defbuttons.ini", "default.cro"}) {
            std::filesystem::copy_file(staged / name, root / "config" / name);
        }
        folders = derive_folders(root / "bin" / "Tallyrig");
    }

    std::filesystem::path root;
    Folders folders;

private:
    QTemporaryDir m_dir;
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
    int32_t value(int32_t address) {
        return machine().memory_cells[static_cast<std::size_t>(address)].value;
    }

    TempInstall install;
    ScriptedModal modal;
    RecordingDesktop desktop;
    std::unique_ptr<Application> app;

private:
    QString m_saved_dir;
};

} // namespace tallyrig::testing

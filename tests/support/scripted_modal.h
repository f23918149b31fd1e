// The modal seam answered by a script and the desktop replaced by a recorder, so no test waits
// for a user or starts a program.
#pragma once

#include "common/desktop_actions.h"
#include "common/modal_seam.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <map>
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

} // namespace tallyrig::testing

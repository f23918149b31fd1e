// The modal seam answered by a script and the desktop replaced by a recorder, so no test waits
// for a user or starts a program.
#pragma once

#include "common/desktop_actions.h"
#include "common/modal_seam.h"

#include <QFont>
#include <QPrinter>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace tallyrig::testing {

struct ShownBox {
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
    std::optional<MessageAnswer> default_button = std::nullopt; // when the box names one
};

class ScriptedModal : public ModalSeam {
public:
    std::vector<ShownBox> boxes;
    // What the message boxes answer, in turn; once empty, Ok (Yes for Yes/No boxes).
    std::deque<MessageAnswer> box_answers;
    // What the open and save dialogs return, in turn; empty = cancel.
    std::deque<QString> file_answers;
    std::vector<QString> file_dialogs;      // "title|folder|filter" of each file dialog
    std::vector<QString> save_suffixes;     // default suffix of each save dialog
    std::vector<QString> new_name_suffixes; // of each open dialog that takes new names
    // What input boxes return, in turn; nullopt or none left = cancel.
    std::deque<std::optional<QString>> input_answers;
    std::vector<QString> input_prompts; // "title|prompt|default" of each input box
    std::deque<std::optional<QFont>> font_answers;
    std::vector<QFont> font_initials; // the font each font dialog opened on
    // A print dialog prints to this PDF file; empty = cancel.
    QString print_to_pdf;
    // A printer setup dialog chooses this PDF file; empty = cancel.
    QString set_up_pdf;
    int print_dialogs = 0;
    int printer_dialogs = 0;
    // Called as each dialog or box opens, to look at the window behind it.
    std::function<void()> on_dialog;

    MessageAnswer message_box(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                              MessageButtons buttons) override {
        opened();
        boxes.push_back({text, title, icon, buttons});
        if (box_answers.empty()) {
            return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel
                       ? MessageAnswer::Yes
                       : MessageAnswer::Ok;
        }
        return take(box_answers);
    }
    MessageAnswer message_box_with_default(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons,
                                           MessageAnswer default_button) override {
        const MessageAnswer answer = message_box(parent, text, title, icon, buttons);
        boxes.back().default_button = default_button;
        return answer;
    }
    QString open_file_name(QWidget*, const QString& title, const QString& folder,
                           const QString& filter) override {
        return file_answer(title, folder, filter);
    }
    QString open_or_new_file_name(QWidget*, const QString& title, const QString& folder,
                                  const QString& filter, const QString& default_suffix) override {
        new_name_suffixes.push_back(default_suffix);
        return file_answer(title, folder, filter);
    }
    QString save_file_name(QWidget*, const QString& title, const QString& folder,
                           const QString& filter, const QString& default_suffix) override {
        save_suffixes.push_back(default_suffix);
        return file_answer(title, folder, filter);
    }
    std::optional<QString> input_box(QWidget*, const QString& prompt, const QString& title,
                                     const QString& default_text) override {
        opened();
        input_prompts.push_back(title + "|" + prompt + "|" + default_text);
        return input_answers.empty() ? std::nullopt : take(input_answers);
    }
    std::optional<QFont> font_dialog(QWidget*, const QFont& initial) override {
        opened();
        font_initials.push_back(initial);
        return font_answers.empty() ? std::nullopt : take(font_answers);
    }
    bool print_dialog(QWidget*, QPrinter& printer) override {
        ++print_dialogs;
        return choose_pdf(printer, print_to_pdf);
    }
    bool printer_setup(QWidget*, QPrinter& printer) override {
        ++printer_dialogs;
        return choose_pdf(printer, set_up_pdf);
    }

private:
    QString file_answer(const QString& title, const QString& folder, const QString& filter) {
        opened();
        file_dialogs.push_back(title + "|" + folder + "|" + filter);
        return file_answers.empty() ? QString() : take(file_answers);
    }
    void opened() const {
        if (on_dialog) {
            on_dialog();
        }
    }
    // A printer dialog answered with a PDF file; an empty name cancels it.
    bool choose_pdf(QPrinter& printer, const QString& file) const {
        opened();
        if (file.isEmpty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    template <typename T>
    static T take(std::deque<T>& answers) {
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

class RecordingDesktop : public DesktopActions {
public:
    std::vector<QString> started; // "program|working folder"
    std::vector<QString> opened;
    std::vector<QStringList> looked_for;
    std::map<QString, QString> on_path; // name -> full path
    bool start_fails = false;
    QString open_fails_because; // opening succeeds while empty
    int ends = 0;
    int beeps = 0;

    Launch start_program(const QString& program, const QString& working_folder) override {
        started.push_back(program + "|" + working_folder);
        return start_result();
    }
    Launch start_program_with_arguments(const QString& program, const QStringList& arguments,
                                        const QString& working_folder) override {
        started.push_back(program + " " + arguments.join(' ') + "|" + working_folder);
        return start_result();
    }
    Launch open_document(const QString& path) override {
        opened.push_back(path);
        return open_fails_because.isEmpty() ? Launch{} : Launch::failed(open_fails_because);
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
    void beep() override { ++beeps; }

private:
    Launch start_result() const {
        return start_fails ? Launch::failed(QStringLiteral("it would not start")) : Launch{};
    }
};

} // namespace tallyrig::testing

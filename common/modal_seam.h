// Every modal dialog of the shell goes through this seam, so tests can answer them without a
// window ever waiting for a user.
#pragma once

#include "core/user_interface.h"

#include <QFont>
#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace tallyrig {

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    virtual MessageAnswer message_box(QWidget* parent, const QString& text, const QString& title,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // The same box with the given button as its default, the one Enter presses.
    virtual MessageAnswer message_box_with_default(QWidget* parent, const QString& text,
                                                   const QString& title, MessageIcon icon,
                                                   MessageButtons buttons,
                                                   MessageAnswer /*default_button*/) {
        return message_box(parent, text, title, icon, buttons);
    }

    // The chosen file's full path; empty when cancelled.
    virtual QString open_file_name(QWidget* parent, const QString& title, const QString& folder,
                                   const QString& filter) = 0;

    // The printer setup dialog, in which the user chooses and sets up printer; false when
    // cancelled, and printer is then as it was.
    virtual bool printer_setup(QWidget* parent, QPrinter& printer) = 0;

    // The dialogs below answer "cancelled" unless a seam says otherwise.

    // The chosen file's full path, with default_suffix added to a name without one; empty
    // when cancelled.
    virtual QString save_file_name(QWidget* /*parent*/, const QString& /*title*/,
                                   const QString& /*folder*/, const QString& /*filter*/,
                                   const QString& /*default_suffix*/) {
        return {};
    }

    // An open dialog that also takes the name of a file that does not exist yet, with
    // default_suffix added to a name typed without one; empty when cancelled.
    virtual QString open_or_new_file_name(QWidget* /*parent*/, const QString& /*title*/,
                                          const QString& /*folder*/, const QString& /*filter*/,
                                          const QString& /*default_suffix*/) {
        return {};
    }

    // A one-line answer to a prompt; nullopt when cancelled.
    virtual std::optional<QString> input_box(QWidget* /*parent*/, const QString& /*prompt*/,
                                             const QString& /*title*/,
                                             const QString& /*default_text*/) {
        return std::nullopt;
    }

    // The font chosen, starting from initial; nullopt when cancelled.
    virtual std::optional<QFont> font_dialog(QWidget* /*parent*/, const QFont& /*initial*/) {
        return std::nullopt;
    }

    // Lets the user choose where printer prints (a printer, or a PDF file); false when
    // cancelled.
    virtual bool print_dialog(QWidget* /*parent*/, QPrinter& /*printer*/) { return false; }
};

// The real dialogs.
class QtModalSeam : public ModalSeam {
public:
    // Boxes without a title of their own carry the program's name.
    explicit QtModalSeam(QString program_name = QStringLiteral("Tallyrig"))
        : m_program_name(std::move(program_name)) {}

    MessageAnswer message_box(QWidget* parent, const QString& text, const QString& title,
                              MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer message_box_with_default(QWidget* parent, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons,
                                           MessageAnswer default_button) override;
    QString open_file_name(QWidget* parent, const QString& title, const QString& folder,
                           const QString& filter) override;
    QString open_or_new_file_name(QWidget* parent, const QString& title, const QString& folder,
                                  const QString& filter, const QString& default_suffix) override;
    bool printer_setup(QWidget* parent, QPrinter& printer) override;
    QString save_file_name(QWidget* parent, const QString& title, const QString& folder,
                           const QString& filter, const QString& default_suffix) override;
    std::optional<QString> input_box(QWidget* parent, const QString& prompt, const QString& title,
                                     const QString& default_text) override;
    std::optional<QFont> font_dialog(QWidget* parent, const QFont& initial) override;
    bool print_dialog(QWidget* parent, QPrinter& printer) override;

private:
    MessageAnswer run_box(QWidget* parent, const QString& text, const QString& title,
                          MessageIcon icon, MessageButtons buttons,
                          std::optional<MessageAnswer> default_button);

    QString m_program_name;
};

} // namespace tallyrig

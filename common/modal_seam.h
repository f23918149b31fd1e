// Every modal dialog of the shell goes through this seam, so tests can answer them without a
// window ever waiting for a user.
#pragma once

#include "core/user_interface.h"

#include <QString>

class QWidget;

namespace tallyrig {

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    virtual MessageAnswer message_box(QWidget* parent, const QString& text, const QString& title,
                                      MessageIcon icon, MessageButtons buttons) = 0;

    // The chosen file's full path; empty when cancelled.
    virtual QString open_file_name(QWidget* parent, const QString& title, const QString& folder,
                                   const QString& filter) = 0;

    // The printer setup dialog; its outcome is of no interest to the caller.
    virtual void printer_setup(QWidget* parent) = 0;
};

// The real dialogs.
class QtModalSeam : public ModalSeam {
public:
    MessageAnswer message_box(QWidget* parent, const QString& text, const QString& title,
                              MessageIcon icon, MessageButtons buttons) override;
    QString open_file_name(QWidget* parent, const QString& title, const QString& folder,
                           const QString& filter) override;
    void printer_setup(QWidget* parent) override;
};

} // namespace tallyrig

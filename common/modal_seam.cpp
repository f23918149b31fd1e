#include "common/modal_seam.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace tallyrig {

namespace {

QMessageBox::Icon qt_icon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qt_buttons(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton qt_button(MessageAnswer answer) {
    switch (answer) {
    case MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    case MessageAnswer::Yes:
        return QMessageBox::Yes;
    case MessageAnswer::No:
        return QMessageBox::No;
    case MessageAnswer::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// The file a dialog that takes any name returns; empty when cancelled.
QString chosen_file(QWidget* parent, const QString& title, const QString& folder,
                    const QString& filter, const QString& default_suffix,
                    QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, folder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(default_suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

MessageAnswer QtModalSeam::message_box(QWidget* parent, const QString& text, const QString& title,
                                       MessageIcon icon, MessageButtons buttons) {
    return run_box(parent, text, title, icon, buttons, std::nullopt);
}

MessageAnswer QtModalSeam::message_box_with_default(QWidget* parent, const QString& text,
                                                    const QString& title, MessageIcon icon,
                                                    MessageButtons buttons,
                                                    MessageAnswer default_button) {
    return run_box(parent, text, title, icon, buttons, default_button);
}

MessageAnswer QtModalSeam::run_box(QWidget* parent, const QString& text, const QString& title,
                                   MessageIcon icon, MessageButtons buttons,
                                   std::optional<MessageAnswer> default_button) {
    QMessageBox box(qt_icon(icon), title.isEmpty() ? m_program_name : title, text,
                    qt_buttons(buttons), parent);
    if (default_button) {
        box.setDefaultButton(qt_button(*default_button));
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        // Closing a box that has a Cancel button counts as Cancel.
        return buttons == MessageButtons::OkCancel || buttons == MessageButtons::YesNoCancel
                   ? MessageAnswer::Cancel
                   : MessageAnswer::Ok;
    }
}

QString QtModalSeam::open_file_name(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtModalSeam::open_or_new_file_name(QWidget* parent, const QString& title,
                                           const QString& folder, const QString& filter,
                                           const QString& default_suffix) {
    return chosen_file(parent, title, folder, filter, default_suffix, QFileDialog::AcceptOpen);
}

// The print dialog chooses and sets up a printer (or a PDF file where there is none); here it
// prints nothing, so it offers no pages to pick and its button does not say "Print".
bool QtModalSeam::printer_setup(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    for (QDialogButtonBox* buttons : dialog.findChildren<QDialogButtonBox*>()) {
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok)) {
            ok->setText(QStringLiteral("OK"));
        }
    }
    return dialog.exec() == QDialog::Accepted;
}

QString QtModalSeam::save_file_name(QWidget* parent, const QString& title, const QString& folder,
                                    const QString& filter, const QString& default_suffix) {
    return chosen_file(parent, title, folder, filter, default_suffix, QFileDialog::AcceptSave);
}

std::optional<QString> QtModalSeam::input_box(QWidget* parent, const QString& prompt,
                                              const QString& title, const QString& default_text) {
    bool ok = false;
    QString text = QInputDialog::getText(parent, title.isEmpty() ? m_program_name : title, prompt,
                                         QLineEdit::Normal, default_text, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

std::optional<QFont> QtModalSeam::font_dialog(QWidget* parent, const QFont& initial) {
    bool ok = false;
    QFont font = QFontDialog::getFont(&ok, initial, parent);
    if (!ok) {
        return std::nullopt;
    }
    return font;
}

bool QtModalSeam::print_dialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace tallyrig

#include "common/modal_seam.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

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

} // namespace

MessageAnswer QtModalSeam::message_box(QWidget* parent, const QString& text, const QString& title,
                                       MessageIcon icon, MessageButtons buttons) {
    // A box without a title of its own carries the program's name.
    QMessageBox box(qt_icon(icon), title.isEmpty() ? QStringLiteral("Tallyrig") : title, text,
                    qt_buttons(buttons), parent);
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

void QtModalSeam::printer_setup(QWidget* parent) {
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    dialog.exec();
}

} // namespace tallyrig

// The message-string converter: a label and a message become one assembler line that reserves
// the message as bytes, ".BYTE " and each character's code, then a zero.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace tallyrig {

class ModalSeam;

// The line for a label and a message, each character as "$" and its code page byte in hex
// without leading zeros, a line break as $D, $A.
QString converted_message(const QString& label, const QString& message);

class Converter : public QDialog {
    Q_OBJECT
public:
    // insert_line puts a text and a line break at the editor's caret.
    Converter(ModalSeam& modal, std::function<void(const QString&)> insert_line,
              QWidget* parent = nullptr);

    void Convert_string();
    void Insert_Click();
    void Exit_Click();

private:
    void check_label(const QString& label);

    ModalSeam& m_modal;
    std::function<void(const QString&)> m_insert_line;
    QLineEdit* m_label = nullptr;
    QPlainTextEdit* m_message = nullptr;
    QPlainTextEdit* m_result = nullptr;
};

} // namespace tallyrig

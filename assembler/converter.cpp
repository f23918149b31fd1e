#include "assembler/converter.h"

#include "common/modal_seam.h"
#include "core/code_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tallyrig {

namespace {

// The letters as the check has always stored them; compared without regard to case, every
// letter and "_" pass.
const QString kLabelStarts =
    QStringLiteral("_ABCDEFGHIJKLMNOPQRSTUVWZXZabcdefghijklmnopqrstuvwzyx");
constexpr qsizetype kLongestLabel = 8;

bool is_line_break(char32_t c) {
    return c == U'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

void append_byte(QString& line, uint8_t byte) {
    line += QLatin1Char('$') + QString::number(byte, 16).toUpper() + QStringLiteral(", ");
}

} // namespace

QString converted_message(const QString& label, const QString& message) {
    QString line = label + QStringLiteral(" ") + QStringLiteral(".BYTE ");
    for (const char32_t c : message.toUcs4()) {
        if (is_line_break(c)) {
            append_byte(line, '\r');
            append_byte(line, '\n');
        } else {
            append_byte(line, code_page_byte(c).value_or(kCodePageDefaultByte));
        }
    }
    return line + QStringLiteral("$00");
}

Converter::Converter(ModalSeam& modal, std::function<void(const QString&)> insert_line,
                     QWidget* parent)
    : QDialog(parent), m_modal(modal), m_insert_line(std::move(insert_line)) {
    setObjectName(QStringLiteral("Converter"));
    setWindowTitle(QStringLiteral("String Converter"));

    auto* label_caption = new QLabel(QStringLiteral("Message Label"), this);
    label_caption->setObjectName(QStringLiteral("Label1"));
    m_label = new QLineEdit(QStringLiteral("MSG_000:"), this);
    m_label->setObjectName(QStringLiteral("Mn_message_string"));
    m_label->setToolTip(QStringLiteral("Enter Message LAbel in the form Msg_00:"));
    auto* message_caption = new QLabel(QStringLiteral("Message Text:"), this);
    message_caption->setObjectName(QStringLiteral("Label2"));
    m_message = new QPlainTextEdit(this);
    m_message->setObjectName(QStringLiteral("String_to_Convert"));
    m_message->setToolTip(QStringLiteral("Enter the message you would like converted"));
    auto* result_caption = new QLabel(QStringLiteral("Result:"), this);
    result_caption->setObjectName(QStringLiteral("Label3"));
    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("Converted_String"));

    auto* convert = new QPushButton(QStringLiteral("&Convert"), this);
    convert->setObjectName(QStringLiteral("Convert_Button"));
    auto* insert = new QPushButton(QStringLiteral("&Insert"), this);
    insert->setObjectName(QStringLiteral("Insert"));
    auto* exit = new QPushButton(QStringLiteral("&Exit"), this);
    exit->setObjectName(QStringLiteral("Exit"));
    connect(convert, &QPushButton::clicked, this, &Converter::Convert_string);
    connect(insert, &QPushButton::clicked, this, &Converter::Insert_Click);
    connect(exit, &QPushButton::clicked, this, &Converter::Exit_Click);

    auto* grid = new QGridLayout;
    grid->addWidget(label_caption, 0, 0);
    grid->addWidget(m_label, 0, 1);
    grid->addWidget(message_caption, 1, 0, Qt::AlignTop);
    grid->addWidget(m_message, 1, 1);
    grid->addWidget(result_caption, 2, 0, Qt::AlignTop);
    grid->addWidget(m_result, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(convert);
    buttons->addWidget(insert);
    buttons->addWidget(exit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(520, 320);
}

void Converter::check_label(const QString& label) {
    if (!label.isEmpty() && !kLabelStarts.contains(label.front(), Qt::CaseInsensitive)) {
        m_modal.message_box(this,
                            QStringLiteral("First character of the message name must be ") +
                                QStringLiteral("an alpha or an underscore"),
                            QString(), MessageIcon::None, MessageButtons::Ok);
    }
    if (label.size() < 1 || label.size() > kLongestLabel) {
        m_modal.message_box(
            this, QStringLiteral("Message length Must be greater than 1 and less than 8 "),
            QString(), MessageIcon::None, MessageButtons::Ok);
    }
}

void Converter::Convert_string() {
    const QString label = m_label->text();
    // A warning does not stop the conversion.
    check_label(label);
    m_result->setPlainText(converted_message(label, m_message->toPlainText()));
}

void Converter::Insert_Click() {
    m_insert_line(m_result->toPlainText());
}

void Converter::Exit_Click() {
    close();
}

} // namespace tallyrig

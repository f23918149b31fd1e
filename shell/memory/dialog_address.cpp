#include "shell/memory/dialog_address.h"

#include "common/modal_seam.h"
#include "core/text_helpers.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace tallyrig {

std::optional<int32_t> read_dialog_address(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    uint64_t value = 0;
    for (char c : text) {
        const int digit = hex_digit(c);
        if (digit < 0) {
            break;
        }
        value = value * 16 + static_cast<uint64_t>(digit);
        // Past 32 bits the number no longer fits the field it is read into.
        if (value > 0xFFFFFFFFu) {
            return std::nullopt;
        }
    }
    if (value > static_cast<uint64_t>(kLastDialogAddress)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

QString address_range_message() {
    return QStringLiteral("The address must be between 0 and  &H") +
           QString::fromStdString(hex_text(kLastDialogAddress)) + QStringLiteral(".");
}

QString address_range_title() {
    return QStringLiteral(" Break Point");
}

QLineEdit* add_address_field(QGridLayout* grid, QWidget* parent) {
    auto* label = new QLabel(QStringLiteral("Address $"), parent);
    auto* field = new QLineEdit(parent);
    field->setObjectName(QStringLiteral("Address_string"));
    label->setBuddy(field);
    grid->addWidget(label, 0, 0);
    grid->addWidget(field, 0, 1, 1, 2);
    return field;
}

std::optional<int32_t> take_dialog_address(const QString& text, ModalSeam& modal, QWidget* parent) {
    const std::optional<int32_t> address = read_dialog_address(text.toStdString());
    if (!address) {
        modal.message_box(parent, address_range_message(), address_range_title(),
                          MessageIcon::Information, MessageButtons::Ok);
    }
    return address;
}

} // namespace tallyrig

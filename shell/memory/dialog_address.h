// The address the breakpoint and find dialogs take: hexadecimal digits typed by the user.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

class QGridLayout;
class QLineEdit;
class QWidget;

namespace tallyrig {

class ModalSeam;

// The highest address the dialogs accept: the last cell of memory, which has no grid row.
inline constexpr int32_t kLastDialogAddress = 0x10000;

// The number the text starts with, read as hexadecimal up to the first character that is no
// hex digit; a text without a leading digit (empty, or starting with "$") reads as 0. Blanks
// around the text are ignored. Nullopt when the number lies outside 0..0x10000, also when it
// has more digits than 32 bits hold.
std::optional<int32_t> read_dialog_address(std::string_view text);

// The range message both dialogs show.
QString address_range_message();
QString address_range_title();

// The "Address $" label and its text box "Address_string", on the first row of the grid.
QLineEdit* add_address_field(QGridLayout* grid, QWidget* parent);

// Reads the address; outside the range it shows the range message and gives nullopt.
std::optional<int32_t> take_dialog_address(const QString& text, ModalSeam& modal, QWidget* parent);

} // namespace tallyrig

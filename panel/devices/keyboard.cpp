#include "panel/devices/keyboard.h"

#include "common/caption_colour.h"
#include "common/screen_units.h"
#include "core/machine.h"
#include "panel/devices/device_tables.h"

#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace tallyrig {

namespace {

enum class Role { Character, Caps, Shift, Ctrl, Alt, LastKey };

struct KeySpec {
    int row;
    const char* name;
    const char* caption;
    int16_t code; // what a character key sends
    int width;    // twips
    Role role = Role::Character;
};

constexpr int kKey = 495;
constexpr int kTopRowHeight = 375;
constexpr int kGap = 120;
constexpr int kRowCount = 6;

// Rows top to bottom, keys left to right. Letters send their lower-case codes.
constexpr KeySpec kKeys[] = {
    {0, "ESC", "ESC", 27, kKey},
    {0, "SSCommand2", "!", 33, kKey},
    {0, "SSCommand3", "@", 64, kKey},
    {0, "SSCommand4", "#", 35, kKey},
    {0, "SSCommand5", "$", 36, kKey},
    {0, "SSCommand6", "%", 37, kKey},
    {0, "SSCommand7", "^", 94, kKey},
    {0, "SSCommand8", "&&", 38, kKey},
    {0, "SSCommand9", "*", 42, kKey},
    {0, "SSCommand10", "(", 40, kKey},
    {0, "SSCommand11", ")", 41, kKey},
    {0, "SSCommand12", "_", 95, kKey},
    {0, "SSCommand13", "+", 43, kKey},
    {0, "last_key", "", 0, 855, Role::LastKey},
    {0, "SSCommand14", "\"", 34, kKey},

    {1, "SSCommand15", "~", 126, kKey},
    {1, "SSCommand16", "1", 49, kKey},
    {1, "SSCommand17", "2", 50, kKey},
    {1, "SSCommand18", "3", 51, kKey},
    {1, "SSCommand19", "4", 52, kKey},
    {1, "SSCommand20", "5", 53, kKey},
    {1, "SSCommand21", "6", 54, kKey},
    {1, "SSCommand22", "7", 55, kKey},
    {1, "SSCommand23", "8", 56, kKey},
    {1, "SSCommand24", "9", 57, kKey},
    {1, "SSCommand25", "0", 48, kKey},
    {1, "SSCommand26", "-", 45, kKey},
    {1, "SSCommand27", "=", 61, kKey},
    {1, "BSPACE", "BSpace", 4, 855},
    {1, "SSCommand29", "<", 60, kKey},

    {2, "TAB", "TAB", 11, 735},
    {2, "SSCommand31", "Q", 113, kKey},
    {2, "SSCommand32", "W", 119, kKey},
    {2, "SSCommand33", "E", 101, kKey},
    {2, "SSCommand34", "R", 114, kKey},
    {2, "SSCommand35", "T", 116, kKey},
    {2, "SSCommand36", "Y", 121, kKey},
    {2, "SSCommand37", "U", 117, kKey},
    {2, "SSCommand38", "I", 105, kKey},
    {2, "SSCommand39", "O", 111, kKey},
    {2, "SSCommand40", "P", 112, kKey},
    {2, "SSCommand41", "[", 91, kKey},
    {2, "SSCommand42", "]", 93, kKey},
    {2, "SSCommand43", "\\", 92, 615},
    {2, "SSCommand44", ">", 62, kKey},

    {3, "CAPS", "CAPS", 0, 1095, Role::Caps},
    {3, "SSCommand46", "A", 97, kKey},
    {3, "SSCommand47", "S", 115, kKey},
    {3, "SSCommand48", "D", 100, kKey},
    {3, "SSCommand49", "F", 102, kKey},
    {3, "SSCommand50", "G", 103, kKey},
    {3, "SSCommand51", "H", 104, kKey},
    {3, "SSCommand52", "J", 106, kKey},
    {3, "SSCommand53", "K", 107, kKey},
    {3, "SSCommand54", "L", 108, kKey},
    {3, "SSCommand55", ":", 58, kKey},
    {3, "SSCommand56", "'", 39, kKey},
    {3, "ENTER", "ENTER", 5, 855},
    {3, "SSCommand58", "?", 63, kKey},

    {4, "SHIFT", "SHIFT", 0, 1455, Role::Shift},
    {4, "SSCommand60", "Z", 122, kKey},
    {4, "SSCommand61", "X", 120, kKey},
    {4, "SSCommand62", "C", 99, kKey},
    {4, "SSCommand63", "V", 118, kKey},
    {4, "SSCommand64", "B", 98, kKey},
    {4, "SSCommand65", "N", 110, kKey},
    {4, "SSCommand66", "M", 109, kKey},
    {4, "SSCommand67", ",", 44, kKey},
    {4, "SSCommand68", ".", 46, kKey},
    {4, "SSCommand69", "/", 47, kKey},
    {4, "SSCommand70", "Le", 10, kKey},
    {4, "SSCommand71", "Ri", 9, kKey},
    {4, "SSCommand72", ";", 59, kKey},

    {5, "CTRL", "CTRL", 0, 1095, Role::Ctrl},
    {5, "ALT", "ALT", 0, 1215, Role::Alt},
    {5, "SPACE", "SPACE", 32, 4935},
    {5, "SSCommand76", "Up", 7, kKey},
    {5, "SSCommand77", "Do", 8, kKey},
    {5, "SSCommand78", " |", 124, kKey},
};

constexpr int row_top(int row) {
    return row == 0 ? kGap : kGap + kTopRowHeight + kGap + (row - 1) * (kKey + kGap);
}
constexpr int kWindowHeight = row_top(kRowCount); // with the margin below the last row

constexpr int kAsterisk = 42;
constexpr int32_t kWalkerRowsFrom = 0xF001;

bool lower_case_letter(int c) {
    return c >= 'a' && c <= 'z';
}
bool upper_case_letter(int c) {
    return c >= 'A' && c <= 'Z';
}

} // namespace

Keyboard::Keyboard(Machine& machine, DeviceTables& devices, QWidget* parent)
    : QWidget(parent), m_machine(machine) {
    setObjectName("Keyboard");
    setWindowTitle("Keyboard");

    const auto latch_of = [this](Role role) {
        switch (role) {
        case Role::Caps:
            return &m_caps_on;
        case Role::Shift:
            return &m_shift_on;
        case Role::Ctrl:
            return &m_ctrl_on;
        default:
            return &m_alt_on;
        }
    };
    QFont key_font = font();
    key_font.setPixelSize(11);
    int left = kGap;
    int row = 0;
    int right_edge = 0;
    for (const KeySpec& spec : kKeys) {
        if (spec.row != row) {
            row = spec.row;
            left = kGap;
        }
        const QRect place =
            twips_rect(left, row_top(row), spec.width, row == 0 ? kTopRowHeight : kKey);
        left += spec.width + kGap;
        right_edge = std::max(right_edge, left);
        if (spec.role == Role::LastKey) {
            m_last_key = new QLineEdit(this);
            m_last_key->setObjectName(spec.name);
            m_last_key->setGeometry(place);
            m_last_key->setReadOnly(true);
            m_last_key->setFocusPolicy(Qt::NoFocus);
            QFont courier("Courier");
            courier.setStyleHint(QFont::TypeWriter);
            courier.setPixelSize(13);
            m_last_key->setFont(courier);
            continue;
        }
        auto* key = new QPushButton(QString::fromLatin1(spec.caption), this);
        key->setObjectName(spec.name);
        key->setGeometry(place);
        key->setFont(key_font);
        key->setFocusPolicy(Qt::TabFocus); // Tab and Space as well as clicks; clicks keep focus
        if (spec.role == Role::Character) {
            const int16_t code = spec.code;
            connect(key, &QPushButton::clicked, this, [this, code] { send_key_code(code); });
        } else {
            int16_t* latch = latch_of(spec.role);
            connect(key, &QPushButton::clicked, this, [this, latch, key] { toggle(*latch, key); });
        }
    }
    setFixedSize(twips_to_pixels(right_edge), twips_to_pixels(kWindowHeight));

    devices.input_devices[kKeyboardDevice].installed = kPluggedIn;
    m_caps_on = kTrue;
    m_shift_on = 0;
    m_ctrl_on = 0;
    m_alt_on = 0;
    set_caption_colour(key("CAPS"), kColourRed);
    m_last_key->setText("$00");
    m_machine.press_keyboard_key(kNoKeyboardKey);
}

// No key releases a modifier; only another click on it does.
void Keyboard::toggle(int16_t& latch, QPushButton* key) {
    latch = latch == kTrue ? 0 : kTrue;
    set_caption_colour(key, latch == kTrue ? kColourRed : kColourBlack);
}

void Keyboard::send_key_code(int16_t code) {
    if (!m_machine.power_is_on()) {
        return;
    }
    int c = code;
    if (m_ctrl_on == kTrue) {
        // CAPS and SHIFT do not apply under CTRL.
        if (lower_case_letter(c)) {
            c -= 96;
        }
        if (upper_case_letter(c)) {
            c -= 64;
        }
    } else if ((m_caps_on == kTrue || m_shift_on == kTrue) && lower_case_letter(c)) {
        c -= 32; // no shifted symbols: only letters change
    }
    if (m_alt_on == kTrue && c < 128) {
        c += 128;
    }
    m_machine.press_keyboard_key(c);
    m_last_key->setText(QString::asprintf("$%02X", c));
    if (m_machine.walker_open()) {
        UserInterface& ui = m_machine.ui();
        ui.update_memory_walker(kWalkerRowsFrom, kWalkerInputPortRows);
        ui.refresh_walker();
    }
}

void Keyboard::send_star() {
    send_key_code(kAsterisk);
}

QPushButton* Keyboard::key(const QString& name) const {
    return findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

QString Keyboard::last_key() const {
    return m_last_key->text();
}

uint32_t Keyboard::caption_colour(const QString& name) const {
    return tallyrig::caption_colour(key(name));
}

} // namespace tallyrig

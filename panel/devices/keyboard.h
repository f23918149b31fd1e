// The Keyboard window: a typewriter layout of 74 character keys and four latching modifiers
// (CAPS, SHIFT, CTRL, ALT) on input port 0xF008. A key writes its code, changed by the
// modifiers, into the port for the running program to take; there is no queue.
#pragma once

#include <QWidget>
#include <cstdint>

class QLineEdit;
class QPushButton;

namespace tallyrig {

class Machine;
struct DeviceTables;

class Keyboard : public QWidget {
    Q_OBJECT
public:
    // Plugs in input port 8 (for good: nothing unplugs it), latches CAPS alone and empties the
    // port. Nothing here yields.
    Keyboard(Machine& machine, DeviceTables& devices, QWidget* parent = nullptr);

    // With the power on: the code changed by the latched modifiers into the port, shown in
    // last_key, and the walker's port rows refreshed.
    void send_key_code(int16_t code);

    // The key with this control name ("SSCommand31", "CAPS", ...); null for none.
    QPushButton* key(const QString& name) const;
    QString last_key() const;
    uint32_t caption_colour(const QString& name) const;

private:
    void toggle(int16_t& latch, QPushButton* key);
    void send_star(); // sends "*"; no key calls it

    Machine& m_machine;
    int16_t m_caps_on = 0; // latches: -1 on, 0 off
    int16_t m_shift_on = 0;
    int16_t m_ctrl_on = 0;
    int16_t m_alt_on = 0;
    QLineEdit* m_last_key = nullptr;
};

} // namespace tallyrig

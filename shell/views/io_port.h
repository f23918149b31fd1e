// The I/O port window: what the program last wrote to the calculator display and status LED
// ports and what it read from the keypad port.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

class QLabel;

namespace tallyrig {

class Machine;

class IOPort : public QWidget {
    Q_OBJECT
public:
    explicit IOPort(Machine& machine, QWidget* parent = nullptr);

    // The labels the machine state decides: placeholders while the power is off, the port
    // values while it is on. Labels other writers own keep their text while the power is on.
    void paint();
    // The power_on value the last paint showed.
    int32_t painted_power() const { return m_painted_power; }

    // Writers other than the refresh: the calculator display port and the programmable keys.
    void show_display_output(const QString& value_text, const QString& character_text);
    void set_io_button(const QString& text);
    void set_io_button_annotation(const QString& text);
    QString io_button_annotation() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Machine& m_machine;
    int32_t m_painted_power = 0;
    QLabel* m_main_display = nullptr;
    QLabel* m_main_display_character = nullptr;
    QLabel* m_led_display = nullptr;
    QLabel* m_led_display_binary = nullptr;
    QLabel* m_io_button = nullptr;
    QLabel* m_io_button_annotation = nullptr;
    QLabel* m_old_io_button = nullptr;
    QLabel* m_old_io_button_annotation = nullptr;
};

} // namespace tallyrig

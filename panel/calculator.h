// The front panel: the 23-character display, six status LEDs, the On/Off, Reset, Step and Run
// keys and 70 programmable keys labelled from the key table. Every key acts through
// command_pass; the display and LED outputs of the running program write into it.
#pragma once

#include "core/folders.h"
#include "core/machine.h"
#include "panel/button_definitions.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

class QFrame;
class QLineEdit;
class QPushButton;

namespace tallyrig {

class Calc_popup;
struct DeviceTables;
struct TextTerminal;
class WorkbenchDevices;

inline constexpr int kDisplayWidth = 23; // characters
inline constexpr int kStatusLedCount = 6;
inline constexpr uint32_t kLedLit = kColourRed;
inline constexpr uint32_t kLedDark = kColourMaroon;

// The keys and the workbench switches make no sound; the call yields once and returns 0.
int key_sound(UserInterface& ui);

class Calculator : public QWidget {
    Q_OBJECT

public:
    Calculator(Machine& machine, ButtonDefinitions& buttons, const Folders& folders,
               DeviceTables& devices, TextTerminal& terminal, WorkbenchDevices& workbench,
               QWidget* parent = nullptr);
    ~Calculator() override;

    // "Power", "Reset", "Step", "Run" or a key number "1".."70"; anything else is ignored.
    void command_pass(const QString& cmd);

    // Opens the key editor for key n, or retargets the open one.
    void load_edit_form(int key);
    Calc_popup* key_editor() const; // null while closed

    // Labels the 70 keys from the key table: caption, caption colour, tooltip.
    void apply_button_definitions();

    // Outputs of the running program and of the power and reset commands. Each yields once.
    void display_character(const QString& text, int byte);
    void set_status_leds(int byte);
    void leds_all_on();
    void leds_all_off();
    void display_dashes();
    void display_blank();
    int key_sound(); // silent; yields once and returns 0

    // Look of the four function keys; the run loop uses these too.
    void set_key_caption_colour(PanelKey key, uint32_t colour);
    void set_key_enabled(PanelKey key, bool enabled);

    // What the panel shows.
    QString display_text() const;
    uint32_t led_colour(int led) const; // led 1..6, LED1 rightmost
    bool led_lit(int led) const { return led_colour(led) == kLedLit; }
    uint32_t key_caption_colour(PanelKey key) const;
    bool key_enabled(PanelKey key) const;
    int16_t power_switch_state() const { return m_power_switch_state; }
    QPushButton* function_key(PanelKey key) const;
    QPushButton* programmable_key(int n) const; // n = 1..70
    uint32_t programmable_key_colour(int n) const;

signals:
    // The I/O port window's "O/P to Main Display" labels: emitted by display_character, only
    // while that window is open, with "$" and the byte's hex digits and the translated text.
    void ioport_display_written(const QString& value_text, const QString& character_text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void set_programmable_caption_colour(int n, uint32_t colour);
    void power_on_sequence();
    void power_off_sequence();
    void reset_command();
    void step_command();
    void run_command();
    void programmable_key_command(int n);
    void set_display(const QString& text);
    void set_led(int led, uint32_t colour);
    bool terminal_attached() const;

    Machine& m_machine;
    ButtonDefinitions& m_buttons;
    const Folders& m_folders;
    DeviceTables& m_devices;
    TextTerminal& m_terminal;
    WorkbenchDevices& m_workbench;
    int16_t m_power_switch_state = 0;
    QPointer<Calc_popup> m_key_editor;

    QLineEdit* m_main_display = nullptr;
    std::array<QFrame*, kStatusLedCount + 1> m_leds{};               // 1..6
    std::array<uint32_t, kStatusLedCount + 1> m_led_colours{};       // 1..6
    std::array<QPushButton*, kProgrammableKeyCount + 1> m_keys{};    // 1..70
    std::array<uint32_t, kProgrammableKeyCount + 1> m_key_colours{}; // 1..70
    std::array<QPushButton*, 4> m_function_keys{};                   // by PanelKey
    std::array<uint32_t, 4> m_function_key_colours{};                // by PanelKey
};

} // namespace tallyrig

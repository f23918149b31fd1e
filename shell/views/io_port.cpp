#include "shell/views/io_port.h"

#include "core/machine.h"
#include "core/text_helpers.h"
#include "shell/views/view_text.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tallyrig {

namespace {

int32_t port_value(const Machine& machine, int32_t port) {
    return machine.memory_cells[static_cast<std::size_t>(port)].value;
}

// "XX" and the six status LED bits, bit 5 first.
QString led_bits(int32_t value) {
    QString text = QStringLiteral("XX");
    for (int bit = 5; bit >= 0; --bit) {
        text += (value >> bit) & 1 ? QLatin1Char('1') : QLatin1Char('0');
    }
    return text;
}

} // namespace

IOPort::IOPort(Machine& machine, QWidget* parent) : QWidget(parent), m_machine(machine) {
    setObjectName(QStringLiteral("IOPort"));
    setWindowTitle(QStringLiteral("I/O Ports Display"));
    auto* grid = new QGridLayout(this);

    struct Group {
        const char* port;
        const char* captions[2];
        const char* names[2];
        QLabel** targets[2];
    };
    const Group groups[] = {
        {"$F031",
         {"O/P to Main Display", "Character etc"},
         {"Main_Display", "Main_Display_character"},
         {&m_main_display, &m_main_display_character}},
        {"$F032",
         {"O/P to LED's", "Binary"},
         {"LED_Display", "LED_Display_Binary"},
         {&m_led_display, &m_led_display_binary}},
        {"$F011",
         {"I/P from Buttons", "Annotation"},
         {"IO_Button", "IO_Button_annotation"},
         {&m_io_button, &m_io_button_annotation}},
        {nullptr,
         {"Old I/P from Button", "Annotation"},
         {"Old_IO_Button", "Old_IO_Button_annotation"},
         {&m_old_io_button, &m_old_io_button_annotation}},
    };
    int row = 0;
    int port_label = 1;
    // A line heads each of the four groups.
    for (const Group& group : groups) {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        grid->addWidget(line, row++, 0, 1, 3);
        if (group.port != nullptr) {
            auto* label = new QLabel(QString::fromLatin1(group.port), this);
            label->setObjectName(QStringLiteral("Label%1").arg(port_label++));
            grid->addWidget(label, row, 0);
        }
        for (int i = 0; i < 2; ++i) {
            auto* frame = new QGroupBox(QString::fromLatin1(group.captions[i]), this);
            auto* inner = new QVBoxLayout(frame);
            *group.targets[i] = make_value_panel(QString::fromLatin1(group.names[i]), frame);
            inner->addWidget(*group.targets[i]);
            grid->addWidget(frame, row, i + 1);
        }
        ++row;
    }

    m_machine.window_opened(MachineWindow::IoPort, true);
    paint();
}

void IOPort::closeEvent(QCloseEvent* event) {
    m_machine.window_opened(MachineWindow::IoPort, false);
    QWidget::closeEvent(event);
}

void IOPort::paint() {
    m_painted_power = m_machine.status.power_on;
    if (!m_machine.power_is_on()) {
        set_label_text(m_main_display, QStringLiteral("$XX"));
        set_label_text(m_main_display_character, QStringLiteral("---"));
        set_label_text(m_io_button, QStringLiteral("$XX"));
        set_label_text(m_io_button_annotation, QStringLiteral("---"));
        set_label_text(m_led_display, QStringLiteral("---"));
        set_label_text(m_led_display_binary, QStringLiteral("XXXXXXXX"));
        return;
    }
    const MachineStatus& status = m_machine.status;
    set_label_text(m_io_button,
                   qtext(Statemc_pad2_hex(hex_text(port_value(m_machine, kKeypadPort)))));
    set_label_text(m_old_io_button, qtext(Statemc_pad2_hex(hex_text(status.old_io_button_value))));
    set_label_text(m_old_io_button_annotation, qtext(status.old_io_button_annotation));
    const int32_t leds = port_value(m_machine, kStatusLedPort);
    set_label_text(m_led_display, QStringLiteral("$") + qtext(hex_text(leds)));
    set_label_text(m_led_display_binary, led_bits(leds));
}

void IOPort::show_display_output(const QString& value_text, const QString& character_text) {
    set_label_text(m_main_display, value_text);
    set_label_text(m_main_display_character, character_text);
}

void IOPort::set_io_button(const QString& text) {
    set_label_text(m_io_button, text);
}

void IOPort::set_io_button_annotation(const QString& text) {
    set_label_text(m_io_button_annotation, text);
}

QString IOPort::io_button_annotation() const {
    return m_io_button_annotation->text();
}

} // namespace tallyrig

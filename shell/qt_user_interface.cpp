#include "shell/qt_user_interface.h"

#include "common/modal_seam.h"
#include "core/machine.h"
#include "panel/calculator.h"
#include "panel/devices/terminal.h"
#include "panel/devices/workbench_devices.h"
#include "shell/mdi.h"
#include "shell/memory/mdisplay.h"
#include "shell/memory/walker_model.h"
#include "shell/tools/data_g.h"
#include "shell/views/io_port.h"
#include "shell/views/message.h"
#include "shell/views/rdisplay.h"
#include "shell/views/view_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace tallyrig {

namespace {

// Events run at least this often while the machine runs, so a click is handled within 20 ms;
// the register and I/O port windows are painted about as often as a screen refreshes.
constexpr int64_t kEventIntervalNs = 5'000'000;
constexpr int64_t kPaintIntervalNs = 16'000'000;
constexpr int64_t kCheckIntervalNs = 1'000'000;
constexpr int64_t kMaxCallsPerCheck = 1 << 16;

QString qview(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

const char* mode_text(MachineMode mode) {
    switch (mode) {
    case MachineMode::Run:
        return "RUN";
    case MachineMode::Step:
        return "STEP";
    case MachineMode::Idle:
        return "IDLE";
    case MachineMode::Reset:
        return "RESET";
    case MachineMode::PowerOff:
        return "POWER_OFF";
    case MachineMode::None:
        break;
    }
    return "ERROR";
}

} // namespace

QtUserInterface::QtUserInterface(ModalSeam& modal) : m_modal(modal) {
    m_clock.start();
}

void QtUserInterface::attach(Machine* machine, MDI* main_window) {
    m_machine = machine;
    m_main = main_window;
}

void QtUserInterface::attach_terminal(TextTerminal* terminal) {
    m_terminal = terminal;
}

void QtUserInterface::attach_workbench(WorkbenchDevices* workbench) {
    m_workbench = workbench;
}

// The paint comes from a timer, so it also happens when the run loop has returned to the
// event loop, and no more often than the screen could show it.
void QtUserInterface::schedule_paint() {
    if (m_paint_scheduled || m_main == nullptr) {
        return;
    }
    m_paint_scheduled = true;
    const int64_t wait_ns =
        std::max<int64_t>(0, kPaintIntervalNs - (m_clock.nsecsElapsed() - m_last_paint_ns));
    QTimer::singleShot(static_cast<int>(wait_ns / 1'000'000), m_main, [this] { flush_views(); });
}

void QtUserInterface::flush_views() {
    m_paint_scheduled = false;
    m_last_paint_ns = m_clock.nsecsElapsed();
    if (m_main == nullptr) {
        return;
    }
    if (m_registers_dirty) {
        m_registers_dirty = false;
        if (rdisplay* window = m_main->register_window()) {
            window->paint();
        }
    }
    if (m_ioport_dirty) {
        m_ioport_dirty = false;
        if (IOPort* window = m_main->ioport_window()) {
            window->paint();
        }
    }
    if (m_walker_dirty) {
        m_walker_dirty = false;
        if (mDisplay* window = walker()) {
            window->paint();
        }
    }
    if (message* window = m_main->message_window()) {
        window->write_pending();
    }
}

void QtUserInterface::process_events_now() {
    // Handlers of the events below see every line narrated so far.
    if (m_main != nullptr && m_main->message_window() != nullptr) {
        m_main->message_window()->write_pending();
    }
    QCoreApplication::processEvents();
    restart_throttle();
}

// A handler that just ran may have changed how fast the machine goes (its delay, a window
// whose refresh costs more): measure the call rate afresh.
void QtUserInterface::restart_throttle() {
    m_last_events_ns = m_clock.nsecsElapsed();
    m_last_check_ns = m_last_events_ns;
    m_countdown = 1;
    m_calls_per_check = 1;
}

void QtUserInterface::yield() {
    if (--m_countdown > 0) {
        return;
    }
    const int64_t now = m_clock.nsecsElapsed();
    if (now - m_last_events_ns >= kEventIntervalNs) {
        process_events_now();
        return;
    }
    // Aim the next look at the clock about a millisecond ahead, growing the stride at most
    // twofold so that one fast stretch cannot hide a slow one behind a long stride.
    const int64_t since_check = std::max<int64_t>(now - m_last_check_ns, 1);
    const int64_t estimate = m_calls_per_check * kCheckIntervalNs / since_check;
    m_calls_per_check =
        std::clamp<int64_t>(estimate, 1, std::min(2 * m_calls_per_check, kMaxCallsPerCheck));
    m_countdown = m_calls_per_check;
    m_last_check_ns = now;
}

// RUN takes the calls left before the throttle's next look at the clock as one stretch of
// instructions; the yield that ends the stretch then looks.
int32_t QtUserInterface::run_budget() {
    const int64_t budget = std::clamp<int64_t>(m_countdown, 1, kMaxCallsPerCheck);
    m_countdown = 1;
    return static_cast<int32_t>(budget);
}

// A refresh has scheduled its paint already, so the waiting machine is shown within a screen
// refresh; painting here would repaint at every Step, however fast they come.
void QtUserInterface::wait_for_event() {
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    restart_throttle();
}

void QtUserInterface::update_register_display() {
    if (m_machine != nullptr && m_machine->windows.register_display_open == 1) {
        m_registers_dirty = true;
        schedule_paint();
    }
    yield();
}

void QtUserInterface::update_ioport_display() {
    if (m_machine == nullptr || m_machine->windows.ioport_window_open != kTrue) {
        return;
    }
    // A power switch is painted at once: the placeholders a power-off sets are partly kept by
    // the power-on after it, which a later timed paint would no longer show.
    IOPort* window = m_main != nullptr ? m_main->ioport_window() : nullptr;
    if (window != nullptr && window->painted_power() != m_machine->status.power_on) {
        window->paint();
    } else {
        m_ioport_dirty = true;
        schedule_paint();
    }
    yield();
}

mDisplay* QtUserInterface::walker() const {
    return m_main != nullptr ? m_main->memory_walker() : nullptr;
}

// The walker's texts change at once; the grid shows them at the next paint.
void QtUserInterface::mark_walker() {
    m_walker_dirty = true;
    schedule_paint();
}

void QtUserInterface::update_memory_walker(int32_t first_address, int32_t row_count) {
    if (mDisplay* window = walker();
        window != nullptr && window->update_rows(first_address, row_count)) {
        mark_walker();
    }
    yield();
}

// The switch panels call this after storing a port value: every data text is brought up to
// date from memory, so the walker shows the new value wherever it is scrolled.
void QtUserInterface::reset_memory_walker_column() {
    if (mDisplay* window = walker()) {
        window->rewrite_values(0, kWalkerLastRow);
        mark_walker();
    }
    yield();
}

void QtUserInterface::set_walker_cell_text(int32_t row, WalkerColumn column,
                                           std::string_view text) {
    if (mDisplay* window = walker()) {
        window->set_cell_text(row, column, text);
        mark_walker();
    }
}

void QtUserInterface::rewrite_walker_values(int32_t first_row, int32_t last_row) {
    if (mDisplay* window = walker()) {
        window->rewrite_values(first_row, last_row);
        mark_walker();
    }
}

void QtUserInterface::set_walker_top_row(int32_t row) {
    if (mDisplay* window = walker()) {
        window->set_top_row(row);
        mark_walker();
    }
}

void QtUserInterface::set_walker_back_colour(uint32_t colour) {
    if (mDisplay* window = walker()) {
        window->set_back_colour(colour);
        mark_walker();
    }
}

void QtUserInterface::refresh_walker() {
    if (mDisplay* window = walker()) {
        window->paint();
    }
}

void QtUserInterface::show_mode_status() {
    if (m_machine == nullptr || m_main == nullptr) {
        return;
    }
    const int mode = static_cast<int>(m_machine->status.machine_mode);
    if (mode == m_shown_mode) {
        return;
    }
    m_shown_mode = mode;
    m_main->set_mode_status(QString::fromLatin1(mode_text(m_machine->status.machine_mode)));
}

void QtUserInterface::set_status_message(std::string_view text) {
    if (m_main != nullptr) {
        m_main->set_status_message(qview(text));
    }
}

Calculator* QtUserInterface::front_panel() {
    return m_main != nullptr ? m_main->shown_front_panel() : nullptr;
}

void QtUserInterface::set_key_caption_colour(PanelKey key, uint32_t colour) {
    if (Calculator* panel = front_panel()) {
        panel->set_key_caption_colour(key, colour);
    }
}

void QtUserInterface::set_key_enabled(PanelKey key, bool enabled) {
    if (Calculator* panel = front_panel()) {
        panel->set_key_enabled(key, enabled);
    }
}

std::string QtUserInterface::io_button_annotation() {
    if (m_main != nullptr && m_main->ioport_window() != nullptr) {
        return m_main->ioport_window()->io_button_annotation().toStdString();
    }
    return {};
}

void QtUserInterface::set_io_button_annotation(std::string_view text) {
    if (m_main != nullptr && m_main->ioport_window() != nullptr) {
        m_main->ioport_window()->set_io_button_annotation(qview(text));
    }
}

void QtUserInterface::set_io_button(std::string_view text) {
    if (m_main != nullptr && m_main->ioport_window() != nullptr) {
        m_main->ioport_window()->set_io_button(qview(text));
    }
}

void QtUserInterface::clear_gatherer_output_file_name() {
    if (m_main == nullptr) {
        return;
    }
    if (DataG* gatherer = m_main->data_gatherer()) {
        gatherer->output_file_name()->clear();
    }
}

void QtUserInterface::write_8bit_led_display(int16_t byte) {
    if (m_workbench != nullptr) {
        m_workbench->write_8bit_led_display(byte);
    }
}

void QtUserInterface::write_7seg_unencoded(int16_t byte) {
    if (m_workbench != nullptr) {
        m_workbench->write_7seg_unencoded(byte);
    }
}

void QtUserInterface::write_7seg_decoded(int16_t byte) {
    if (m_workbench != nullptr) {
        m_workbench->write_7seg_decoded(byte);
    }
}

void QtUserInterface::Led1_Device_Driver(int16_t byte) {
    if (m_workbench != nullptr) {
        m_workbench->Led1_Device_Driver(byte);
    }
}

void QtUserInterface::terminal_write_char(int32_t byte) {
    if (m_terminal != nullptr) {
        m_terminal->terminal_write_char(byte);
    }
}

void QtUserInterface::display_character(std::string_view text, int32_t byte) {
    // The front panel echoes the byte into the I/O port window itself.
    if (Calculator* panel = front_panel()) {
        panel->display_character(qview(text), byte);
    }
}

void QtUserInterface::set_status_leds(int32_t byte) {
    if (Calculator* panel = front_panel()) {
        panel->set_status_leds(byte);
    }
}

MessageAnswer QtUserInterface::message_box(std::string_view text, std::string_view title,
                                           MessageIcon icon, MessageButtons buttons) {
    // The box runs its own event loop; the views should show the state it talks about.
    flush_views();
    return m_modal.message_box(m_main, qview(text), qview(title), icon, buttons);
}

void QtUserInterface::append_message_text(std::string_view text, const TextStyle& style) {
    if (m_main != nullptr && m_main->message_window() != nullptr) {
        m_main->message_window()->append_text(qview(text), style);
    }
}

Terminal* QtUserInterface::terminal_window() const {
    return m_main != nullptr ? m_main->terminal_window() : nullptr;
}

bool QtUserInterface::terminal_loaded() {
    return terminal_window() != nullptr;
}

void QtUserInterface::load_terminal() {
    if (m_main != nullptr) {
        m_main->open_terminal();
    }
}

void QtUserInterface::draw_glyph(int glyph, int column, int row) {
    if (Terminal* window = terminal_window()) {
        window->draw_glyph(glyph, column, row);
    }
}

void QtUserInterface::show_terminal_screen() {
    if (Terminal* window = terminal_window()) {
        window->show_screen();
    }
}

void QtUserInterface::blank_terminal_screen() {
    if (Terminal* window = terminal_window()) {
        window->blank_screen();
    }
}

void QtUserInterface::beep() {
    QApplication::beep();
}

} // namespace tallyrig

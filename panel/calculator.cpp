#include "panel/calculator.h"

#include "common/caption_colour.h"
#include "common/screen_units.h"
#include "core/text_helpers.h"
#include "panel/calc_popup.h"
#include "panel/caption_key.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace tallyrig {

namespace {

struct KeyPlace {
    int n;
    int left;
    int top;
    int width;
    int height;
};

constexpr int kSquareKey = 495;
constexpr int kWideKey = 855;
constexpr int kShortKeyHeight = 375;

// The square blocks: six columns each, five rows numbered from the bottom row upward.
constexpr std::array<int, 6> kLeftBlockColumns = {360, 960, 1560, 2160, 2760, 3360};
constexpr std::array<int, 6> kRightBlockColumns = {4560, 5160, 5760, 6360, 6960, 7560};
constexpr std::array<int, 5> kBlockRowTops = {4080, 3480, 2880, 2280, 1680};

// The wide keys beside the LEDs and beside the function keys.
constexpr std::array<KeyPlace, 10> kWideKeys = {{
    {61, 480, 1200, kWideKey, kShortKeyHeight},
    {62, 1800, 1200, kWideKey, kShortKeyHeight},
    {63, 3120, 1200, kWideKey, kShortKeyHeight},
    {68, 4440, 1200, kWideKey, kShortKeyHeight},
    {69, 5760, 1200, kWideKey, kShortKeyHeight},
    {70, 7080, 1200, kWideKey, kShortKeyHeight},
    {67, 4320, 4680, kWideKey, kSquareKey},
    {66, 5280, 4680, kWideKey, kSquareKey},
    {64, 6240, 4680, kWideKey, kSquareKey},
    {65, 7200, 4680, kWideKey, kSquareKey},
}};

struct FunctionKey {
    PanelKey key;
    const char* name;
    const char* caption;
    const char* command;
    int left;
};

constexpr std::array<FunctionKey, 4> kFunctionKeys = {{
    {PanelKey::Power, "Power_switch", "On/Off", "Power", 360},
    {PanelKey::Reset, "Key_Reset", "Reset", "Reset", 1320},
    {PanelKey::Step, "Key_Step", "Step", "Step", 2280},
    {PanelKey::Run, "Key_Run", "Run", "Run", 3240},
}};
constexpr int kFunctionKeyTop = 4680;

// LED1 is the rightmost.
constexpr std::array<int, kStatusLedCount> kLedLefts = {6720, 5400, 4080, 2760, 1440, 120};
constexpr int kLedTop = 1320;
constexpr int kLedSize = 255;

constexpr int kWindowWidth = 8415;
constexpr int kWindowHeight = 5415;
// The controls lie on a face inset by this margin, so the display's frame, which sits at the
// top edge, is never hidden under a window frame.
constexpr int kFaceMargin = 8;

// Light keys on a darker case, so every caption colour of the key table reads on its key.
const QColor kCaseColour(0xC9, 0xCE, 0xD6);
const QColor kKeyFaceColour(0xFC, 0xFC, 0xFA);

// Programmable key n passes its own tag.
const char* const kTagProperty = "tag";

std::size_t index_of(PanelKey key) {
    return static_cast<std::size_t>(key);
}

} // namespace

Calculator::Calculator(Machine& machine, ButtonDefinitions& buttons, const Folders& folders,
                       DeviceTables& devices, TextTerminal& terminal, WorkbenchDevices& workbench,
                       QWidget* parent)
    : QWidget(parent), m_machine(machine), m_buttons(buttons), m_folders(folders),
      m_devices(devices), m_terminal(terminal), m_workbench(workbench) {
    setObjectName("Calculator");
    setWindowTitle("Calculator");
    build_controls();
    read_button_definitions(m_buttons, m_folders, kReadCurrentKeys);
    apply_button_definitions();
    // build_controls left the LEDs dark. Nothing here may yield: the window's owner stores the
    // new panel only after it is built, so a command handled in a yield could build a second.
    m_buttons.calculator_loaded = 1;
}

Calculator::~Calculator() = default;

void Calculator::build_controls() {
    const QRect window = twips_rect(0, 0, kWindowWidth, kWindowHeight);
    setFixedSize(window.size() + QSize(2 * kFaceMargin, 2 * kFaceMargin));
    QPalette look = palette();
    look.setColor(QPalette::Window, kCaseColour);
    look.setColor(QPalette::Button, kKeyFaceColour);
    setPalette(look);
    setAutoFillBackground(true);

    auto* face = new QWidget(this);
    face->setObjectName("face");
    face->setGeometry(window.translated(kFaceMargin, kFaceMargin));

    auto* panel = new QFrame(face);
    panel->setObjectName("SSPanel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(twips_rect(240, 0, 7935, 975));

    m_main_display = new QLineEdit(panel);
    m_main_display->setObjectName("Main_Display");
    m_main_display->setGeometry(twips_rect(120, 120, 7695, 735));
    m_main_display->setReadOnly(true);
    m_main_display->setFocusPolicy(Qt::NoFocus);
    QFont display_font("Courier New");
    display_font.setStyleHint(QFont::TypeWriter);
    display_font.setFixedPitch(true);
    display_font.setBold(true);
    display_font.setPointSizeF(27.75);
    // The panel frames the display; all of the box is for the 23 characters. A stand-in for
    // Courier New may run wider, so it shrinks until a full display fits.
    m_main_display->setFrame(false);
    m_main_display->setTextMargins(0, 0, 0, 0);
    const int room = m_main_display->width() - 4;
    while (display_font.pointSizeF() > 8 &&
           QFontMetrics(display_font).horizontalAdvance(QString(kDisplayWidth, 'W')) > room) {
        display_font.setPointSizeF(display_font.pointSizeF() - 0.25);
    }
    m_main_display->setFont(display_font);

    for (int led = 1; led <= kStatusLedCount; ++led) {
        auto* shape = new QFrame(face);
        shape->setObjectName(QString("LED%1").arg(led));
        shape->setFrameStyle(QFrame::Box | QFrame::Plain);
        shape->setAutoFillBackground(true);
        shape->setGeometry(
            twips_rect(kLedLefts[static_cast<std::size_t>(led - 1)], kLedTop, kLedSize, kLedSize));
        m_leds[static_cast<std::size_t>(led)] = shape;
        m_led_colours[static_cast<std::size_t>(led)] = kLedLit; // so the first set paints
        set_led(led, kLedDark);
    }

    QFont key_font = font();
    key_font.setPixelSize(11);
    key_font.setBold(true);
    auto make_key = [&](const QString& name, const QRect& place) {
        auto* key = new CaptionKey(face);
        key->setObjectName(name);
        key->setGeometry(place);
        key->setFont(key_font);
        // Tab reaches every key and Space presses it; a click leaves the focus where it was.
        key->setFocusPolicy(Qt::TabFocus);
        return key;
    };

    auto add_programmable = [&](int n, const QRect& place) {
        QPushButton* key = make_key(QString("SSCommand%1").arg(n), place);
        key->setProperty(kTagProperty, QString::number(n));
        key->installEventFilter(this);
        connect(key, &QPushButton::clicked, this,
                [this, key] { command_pass(key->property(kTagProperty).toString()); });
        m_keys[static_cast<std::size_t>(n)] = key;
    };
    for (std::size_t row = 0; row < kBlockRowTops.size(); ++row) {
        for (std::size_t column = 0; column < kLeftBlockColumns.size(); ++column) {
            const int offset = static_cast<int>(row * kLeftBlockColumns.size() + column) + 1;
            add_programmable(offset, twips_rect(kLeftBlockColumns[column], kBlockRowTops[row],
                                                kSquareKey, kSquareKey));
            add_programmable(30 + offset, twips_rect(kRightBlockColumns[column], kBlockRowTops[row],
                                                     kSquareKey, kSquareKey));
        }
    }
    for (const KeyPlace& place : kWideKeys) {
        add_programmable(place.n, twips_rect(place.left, place.top, place.width, place.height));
    }

    for (const FunctionKey& function : kFunctionKeys) {
        QPushButton* key = make_key(
            function.name, twips_rect(function.left, kFunctionKeyTop, kWideKey, kSquareKey));
        key->setText(function.caption);
        const QString command = function.command;
        connect(key, &QPushButton::clicked, this, [this, command] { command_pass(command); });
        m_function_keys[index_of(function.key)] = key;
        m_function_key_colours[index_of(function.key)] = kColourWhite; // so the first set paints
        set_key_caption_colour(function.key, kColourBlack);
    }
}

void Calculator::load_edit_form(int key) {
    m_buttons.edit_button_index = static_cast<int16_t>(key);
    if (key_editor() == nullptr) {
        m_key_editor = new Calc_popup(m_buttons, *this, m_machine.ui(), this);
        // Beside the key it was opened on, where the eye already is.
        const QPushButton* on =
            m_keys[static_cast<std::size_t>(std::clamp(key, 1, kProgrammableKeyCount))];
        m_key_editor->move(on->mapToGlobal(QPoint(on->width(), on->height())));
        m_key_editor->show();
        m_key_editor->load();
        // Its yields may have closed it again.
        if (key_editor() == nullptr) {
            return;
        }
    } else {
        m_key_editor->raise();
    }
    // The fields follow the key that edit_button_index names now, which Apply writes to.
    m_key_editor->show_key();
}

Calc_popup* Calculator::key_editor() const {
    return m_key_editor != nullptr && m_key_editor->loaded() ? m_key_editor.data() : nullptr;
}

// ---- Key table ------------------------------------------------------------------------------

void Calculator::apply_button_definitions() {
    for (int n = 1; n <= kProgrammableKeyCount; ++n) {
        const ButtonDefinition& record = m_buttons.records[static_cast<std::size_t>(n)];
        QPushButton* key = m_keys[static_cast<std::size_t>(n)];
        key->setText(QString::fromStdString(trim_blanks(record.annotation)));
        // An index outside the table gives no colour, which paints black.
        set_programmable_caption_colour(n, color_index_to_rgb(record.color).value_or(kColourBlack));
        key->setToolTip(QString::fromStdString(trim_blanks(record.description)));
    }
}

void Calculator::set_programmable_caption_colour(int n, uint32_t colour) {
    QPushButton* key = m_keys[static_cast<std::size_t>(n)];
    set_caption_colour(key, colour);
    m_key_colours[static_cast<std::size_t>(n)] = colour;
}

// ---- Display and LEDs -----------------------------------------------------------------------

void Calculator::display_character(const QString& text, int byte) {
    UserInterface& ui = m_machine.ui();
    // Only the length is kept across the yield: the power may be switched in it, and the new
    // text builds on the display as it is afterwards.
    const qsizetype length = m_main_display->text().size();
    if (m_machine.windows.ioport_window_open == kTrue) {
        emit ioport_display_written(QString::fromStdString("$" + hex_text(byte)), text);
        ui.yield();
    }
    const QString shown = m_main_display->text();
    if (text == "Clear") {
        set_display(QString(kDisplayWidth, ' '));
    } else if (text == "Bell") {
        QApplication::beep();
    } else if (text == "Back") {
        if (length > 0) {
            set_display(' ' + shown.left(std::max<qsizetype>(shown.size() - 1, 0)));
        }
    } else {
        set_display((shown + text).right(kDisplayWidth));
    }
    ui.yield();
}

void Calculator::set_status_leds(int byte) {
    for (int bit = 0; bit < kStatusLedCount; ++bit) {
        set_led(bit + 1, (byte >> bit) & 1 ? kLedLit : kLedDark);
    }
    m_machine.ui().yield();
}

void Calculator::leds_all_on() {
    for (int led = 1; led <= kStatusLedCount; ++led) {
        set_led(led, kLedLit);
    }
    m_machine.ui().yield();
}

void Calculator::leds_all_off() {
    for (int led = 1; led <= kStatusLedCount; ++led) {
        set_led(led, kLedDark);
    }
    m_machine.ui().yield();
}

void Calculator::display_dashes() {
    set_display(QString(kDisplayWidth, '-'));
    m_machine.ui().yield();
}

void Calculator::display_blank() {
    set_display(" ");
    m_machine.ui().yield();
}

int key_sound(UserInterface& ui) {
    ui.yield();
    return 0;
}

int Calculator::key_sound() {
    return tallyrig::key_sound(m_machine.ui());
}

void Calculator::set_display(const QString& text) {
    if (m_main_display->text() != text) {
        m_main_display->setText(text);
    }
}

// Only a change repaints: a running program may write the LED port on every instruction.
void Calculator::set_led(int led, uint32_t colour) {
    const auto i = static_cast<std::size_t>(led);
    if (m_led_colours[i] == colour)
        return;
    m_led_colours[i] = colour;
    QPalette palette = m_leds[i]->palette();
    palette.setColor(QPalette::Window, bgr_colour(colour));
    m_leds[i]->setPalette(palette);
}

// ---- Function keys --------------------------------------------------------------------------

void Calculator::set_key_caption_colour(PanelKey key, uint32_t colour) {
    const std::size_t i = index_of(key);
    if (m_function_key_colours[i] == colour)
        return;
    m_function_key_colours[i] = colour;
    set_caption_colour(m_function_keys[i], colour);
}

void Calculator::set_key_enabled(PanelKey key, bool enabled) {
    m_function_keys[index_of(key)]->setEnabled(enabled);
}

// ---- Accessors ------------------------------------------------------------------------------

QString Calculator::display_text() const {
    return m_main_display->text();
}

uint32_t Calculator::led_colour(int led) const {
    return m_led_colours.at(static_cast<std::size_t>(led));
}

uint32_t Calculator::key_caption_colour(PanelKey key) const {
    return m_function_key_colours[index_of(key)];
}

bool Calculator::key_enabled(PanelKey key) const {
    return m_function_keys[index_of(key)]->isEnabled();
}

QPushButton* Calculator::function_key(PanelKey key) const {
    return m_function_keys[index_of(key)];
}

QPushButton* Calculator::programmable_key(int n) const {
    return m_keys.at(static_cast<std::size_t>(n));
}

uint32_t Calculator::programmable_key_colour(int n) const {
    return m_key_colours.at(static_cast<std::size_t>(n));
}

// ---- Events ---------------------------------------------------------------------------------

// A right press on any key opens its editor; on key 70 a move with the right button held
// opens it too, as it always has.
bool Calculator::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove) {
        return QWidget::eventFilter(watched, event);
    }
    const int n = watched->property(kTagProperty).toInt();
    if (n < 1 || n > kProgrammableKeyCount)
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const bool pressed = type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton;
    const bool dragged = n == kProgrammableKeyCount && type == QEvent::MouseMove &&
                         (mouse->buttons() & Qt::RightButton);
    if (pressed || dragged) {
        load_edit_form(n);
    }
    return QWidget::eventFilter(watched, event);
}

void Calculator::closeEvent(QCloseEvent* event) {
    if (Calc_popup* editor = key_editor()) {
        editor->close();
    }
    m_buttons.calculator_loaded = 0;
    QWidget::closeEvent(event);
}

} // namespace tallyrig

#include "shell/tools/system_clock.h"

#include "core/machine.h"
#include "core/profile.h"
#include "core/text_helpers.h"
#include "shell/tools/close_window.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <climits>

namespace tallyrig {

namespace {

constexpr const char* kSpeedSection = "Processor_Speed";
constexpr const char* kSpeedKey = "Speed";
constexpr const char* kSpeedDefault = "Not Used";
constexpr std::size_t kSpeedBuffer = 255;

} // namespace

int32_t System_clock::read_multiplier(const Folders& folders) {
    const std::string text = read_profile_string(folders.settings_file(), kSpeedSection, kSpeedKey,
                                                 kSpeedDefault, kSpeedBuffer);
    return round_clamped(leading_number(text), INT32_MIN, INT32_MAX);
}

System_clock::System_clock(Machine& machine, int32_t multiplier, QWidget* parent)
    : QWidget(parent), m_machine(machine), m_multiplier(std::max(multiplier, 1)) {
    setObjectName(QStringLiteral("System_clock"));
    setWindowTitle(QString::fromLatin1(kSystemClockTitle));
    auto* grid = new QGridLayout(this);

    m_clock_speed = new QScrollBar(Qt::Horizontal, this);
    m_clock_speed->setObjectName(QStringLiteral("clock_speed"));
    m_clock_speed->setRange(0, kClockSpeedMaximum);
    m_clock_speed->setSingleStep(kClockSpeedSingleStep);
    m_clock_speed->setPageStep(kClockSpeedPageStep);
    m_clock_speed->setMinimumWidth(260);
    auto* fast = new QLabel(QStringLiteral("Fast"), this);
    auto* slow = new QLabel(QStringLiteral("Slow"), this);
    grid->addWidget(fast, 0, 0);
    grid->addWidget(m_clock_speed, 0, 1, 1, 2);
    grid->addWidget(slow, 0, 3);

    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("Apply_Command"));
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("Cancel_Command"));
    grid->addWidget(apply, 1, 1);
    grid->addWidget(ok, 1, 2);
    connect(apply, &QPushButton::clicked, this, &System_clock::Apply_Command_Click);
    connect(ok, &QPushButton::clicked, this, [this] { close_window(this); });

    // The thumb shows the current speed; the bar holds a larger delay at its slow end.
    const int32_t delay = round_clamped(m_machine.status.run_delay, INT32_MIN, INT32_MAX);
    m_clock_speed->setValue(std::clamp(delay / m_multiplier, 0, kClockSpeedMaximum));
}

// The run loop reads the delay before every instruction, so a running program slows or speeds
// up at its next one. The product is held to 32 bits, as the delay's arithmetic always was.
void System_clock::Apply_Command_Click() {
    const double delay =
        static_cast<double>(m_multiplier) * static_cast<double>(m_clock_speed->value());
    m_machine.set_run_delay(std::min(delay, static_cast<double>(INT32_MAX)));
}

} // namespace tallyrig

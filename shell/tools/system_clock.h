// The processor-speed dialog: a scroll bar from "Fast" to "Slow" whose value times the
// settings file's multiplier is the delay the machine runs after each opcode fetch.
#pragma once

#include "core/folders.h"

#include <QWidget>
#include <cstdint>

class QScrollBar;

namespace tallyrig {

class Machine;

// The scroll bar's scale. With the shipped multiplier (20000 delay rounds a step) its ends are
// full speed and a few instructions a second.
inline constexpr int kClockSpeedMaximum = 32767;
inline constexpr int kClockSpeedSingleStep = 100;
inline constexpr int kClockSpeedPageStep = 2000;

inline constexpr const char* kSystemClockTitle = "Set the System Clock";

class System_clock : public QWidget {
    Q_OBJECT
public:
    // The multiplier: the leading number of "Speed" in section "Processor_Speed" of the settings
    // file, rounded; 0 when the key or file is missing.
    static int32_t read_multiplier(const Folders& folders);

    // Opens with the thumb at the current delay; multiplier must be positive.
    System_clock(Machine& machine, int32_t multiplier, QWidget* parent = nullptr);

    QScrollBar* clock_speed() const { return m_clock_speed; }

private:
    void Apply_Command_Click();

    Machine& m_machine;
    int32_t m_multiplier;
    QScrollBar* m_clock_speed = nullptr;
};

} // namespace tallyrig

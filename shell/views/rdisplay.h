// The CPU register window: one captioned frame per register, the five flags in the order of
// their bits in the status byte, placeholders while the power is off.
#pragma once

#include <QWidget>

class QLabel;

namespace tallyrig {

class Machine;

class rdisplay : public QWidget {
    Q_OBJECT
public:
    explicit rdisplay(Machine& machine, QWidget* parent = nullptr);

    // Sets every panel from the machine state; a panel whose text is unchanged is not touched.
    void paint();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* add_panel(const QString& frame_caption, const QString& panel_name);

    Machine& m_machine;
    QLabel* m_pc = nullptr;
    QLabel* m_acc = nullptr;
    QLabel* m_index = nullptr;
    QLabel* m_instruction = nullptr;
    QLabel* m_stack = nullptr;
    QLabel* m_vector = nullptr;
    QLabel* m_flags[5] = {}; // I, O, N, Z, C
};

} // namespace tallyrig

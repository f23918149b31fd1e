#include "shell/views/rdisplay.h"

#include "core/machine.h"
#include "core/text_helpers.h"
#include "shell/views/view_text.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tallyrig {

namespace {

const QString kNoWord = QStringLiteral("$XXXX");
const QString kNoByte = QStringLiteral("$XX");

QString word_text(int32_t value) {
    return qtext(Statemc_pad_hex(hex_text(value)));
}

QString byte_text(int32_t value) {
    return qtext(Statemc_pad2_hex(hex_text(value)));
}

} // namespace

rdisplay::rdisplay(Machine& machine, QWidget* parent) : QWidget(parent), m_machine(machine) {
    setObjectName(QStringLiteral("rdisplay"));
    setWindowTitle(QStringLiteral("CPU Register Display"));
    auto* grid = new QGridLayout(this);

    struct Place {
        const char* caption;
        const char* panel;
        QLabel** target;
    };
    const Place places[] = {
        {"Program Counter", "PC_display", &m_pc},
        {"Accumulator", "ACC_display", &m_acc},
        {"Index Reg", "IND_display", &m_index},
        {"Instruction Reg", "INSTR_display", &m_instruction},
        {"Stack Pointer", "STACK_display", &m_stack},
        {"Interrupt Vector", "irrupt", &m_vector},
    };
    int position = 0;
    for (const Place& place : places) {
        *place.target =
            add_panel(QString::fromLatin1(place.caption), QString::fromLatin1(place.panel));
        grid->addWidget((*place.target)->parentWidget(), position / 2, position % 2);
        ++position;
    }

    auto* status = new QGroupBox(QStringLiteral("Status Reg"), this);
    auto* row = new QHBoxLayout(status);
    const char* const flag_names[] = {"I", "O", "N", "Z", "C"};
    for (int i = 0; i < 5; ++i) {
        auto* frame = new QGroupBox(QString::fromLatin1(flag_names[i]), status);
        auto* inner = new QVBoxLayout(frame);
        m_flags[i] = make_value_panel(QString::fromLatin1(flag_names[i]), frame);
        m_flags[i]->setMinimumWidth(24);
        inner->addWidget(m_flags[i]);
        row->addWidget(frame);
    }
    grid->addWidget(status, position / 2, 0, 1, 2);

    m_machine.window_opened(MachineWindow::RegisterDisplay, true);
    paint();
}

void rdisplay::closeEvent(QCloseEvent* event) {
    m_machine.window_opened(MachineWindow::RegisterDisplay, false);
    QWidget::closeEvent(event);
}

QLabel* rdisplay::add_panel(const QString& frame_caption, const QString& panel_name) {
    auto* frame = new QGroupBox(frame_caption, this);
    auto* layout = new QVBoxLayout(frame);
    QLabel* panel = make_value_panel(panel_name, frame);
    layout->addWidget(panel);
    return panel;
}

void rdisplay::paint() {
    const CpuRegisters& cpu = m_machine.cpu;
    if (!m_machine.power_is_on()) {
        for (QLabel* flag : m_flags) {
            set_label_text(flag, QStringLiteral("X"));
        }
        for (QLabel* word : {m_pc, m_index, m_stack, m_vector}) {
            set_label_text(word, kNoWord);
        }
        set_label_text(m_acc, kNoByte);
        set_label_text(m_instruction, kNoByte);
        return;
    }
    const int16_t flags[5] = {cpu.flag_i, cpu.flag_o, cpu.flag_n, cpu.flag_z, cpu.flag_c};
    for (int i = 0; i < 5; ++i) {
        set_label_text(m_flags[i], QString::number(flags[i]));
    }
    set_label_text(m_pc, word_text(cpu.program_counter));
    set_label_text(m_acc, byte_text(cpu.accumulator));
    set_label_text(m_instruction, byte_text(cpu.instruction_register));
    set_label_text(m_index,
                   cpu.index_register_loaded == kTrue ? word_text(cpu.index_register) : kNoWord);
    set_label_text(m_stack,
                   cpu.stack_pointer_loaded == kTrue ? word_text(cpu.stack_pointer) : kNoWord);
    set_label_text(m_vector, cpu.interrupt_vector_loaded == kTrue ? word_text(cpu.interrupt_vector)
                                                                  : kNoWord);
}

} // namespace tallyrig

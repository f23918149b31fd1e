#include "shell/memory/bpoint.h"

#include "core/machine.h"
#include "shell/memory/dialog_address.h"
#include "shell/memory/walker_model.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace tallyrig {

BPoint::BPoint(Machine& machine, ModalSeam& modal, std::function<void()> load_walker,
               QWidget* parent)
    : QWidget(parent), m_machine(machine), m_modal(modal), m_load_walker(std::move(load_walker)) {
    setObjectName(QStringLiteral("BPoint"));
    setWindowTitle(QStringLiteral("Breakpoint Manager"));
    auto* grid = new QGridLayout(this);
    m_address = add_address_field(grid, this);

    struct Button {
        const char* name;
        const char* caption;
        void (BPoint::*click)();
    };
    const Button buttons[] = {
        {"Command1", "&Set Break Point", &BPoint::Command1_Click},
        {"Command3", "&Clear Break Point", &BPoint::Command3_Click},
        {"Command2", "Clear &All Break Points", &BPoint::Command2_Click},
    };
    int row = 1;
    for (const Button& button : buttons) {
        auto* push = new QPushButton(QString::fromLatin1(button.caption), this);
        push->setObjectName(QString::fromLatin1(button.name));
        push->setAutoDefault(false);
        connect(push, &QPushButton::clicked, this, button.click);
        grid->addWidget(push, row++, 0, 1, 3);
    }
}

std::optional<int32_t> BPoint::address() {
    return take_dialog_address(m_address->text(), m_modal, this);
}

void BPoint::Command1_Click() {
    set_breakpoint(true, "BP");
}

void BPoint::Command3_Click() {
    set_breakpoint(false, " ");
}

void BPoint::set_breakpoint(bool set, const char* mark) {
    const std::optional<int32_t> a = address();
    if (!a) {
        return;
    }
    m_machine.set_breakpoint(*a, set);
    UserInterface& ui = m_machine.ui();
    // The last cell has no row in the grid: its flag changes and nothing is shown.
    if (*a <= kWalkerLastRow) {
        m_load_walker();
        ui.set_walker_cell_text(*a, WalkerColumn::Breakpoint, mark);
    }
    ui.update_memory_walker(m_machine.cpu.program_counter, kWalkerRefreshRows);
    ui.yield();
}

void BPoint::Command2_Click() {
    clear_break();
}

void BPoint::clear_break() {
    UserInterface& ui = m_machine.ui();
    m_load_walker();
    m_machine.clear_breakpoints(0, kWalkerLastRow);
    ui.update_memory_walker(m_machine.cpu.program_counter, kWalkerRefreshRows);
}

} // namespace tallyrig

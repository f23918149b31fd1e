#include "shell/memory/find_add.h"

#include "core/machine.h"
#include "shell/memory/dialog_address.h"
#include "shell/memory/walker_model.h"
#include "shell/views/view_text.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace tallyrig {

find_add::find_add(Machine& machine, ModalSeam& modal, std::function<void()> load_walker,
                   QWidget* parent)
    : QWidget(parent), m_machine(machine), m_modal(modal), m_load_walker(std::move(load_walker)) {
    setObjectName(QStringLiteral("find_add"));
    setWindowTitle(QStringLiteral("Find Address ?"));
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel3D1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    outer->addWidget(panel);

    auto* grid = new QGridLayout(panel);
    m_address = add_address_field(grid, panel);
    auto* find = new QPushButton(QStringLiteral("&Find"), panel);
    find->setObjectName(QStringLiteral("Find_Command"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), panel);
    cancel->setObjectName(QStringLiteral("Cancel_Command"));
    for (QPushButton* button : {find, cancel}) {
        button->setAutoDefault(false);
    }
    grid->addWidget(find, 1, 1);
    grid->addWidget(cancel, 1, 2);
    connect(find, &QPushButton::clicked, this, &find_add::Find_Command_Click);
    connect(cancel, &QPushButton::clicked, this, &find_add::Cancel_Command_Click);
}

void find_add::Find_Command_Click() {
    const std::optional<int32_t> a = take_dialog_address(m_address->text(), m_modal, this);
    if (!a) {
        return;
    }
    m_load_walker();
    UserInterface& ui = m_machine.ui();
    // The last cell has no row of its own; the grid's last row is the nearest.
    ui.set_walker_top_row(std::min(*a, kWalkerLastRow));
    ui.update_memory_walker(m_machine.cpu.program_counter, kWalkerRefreshRows);
}

void find_add::Cancel_Command_Click() {
    workspace_frame(this)->close();
}

} // namespace tallyrig

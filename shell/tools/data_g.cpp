#include "shell/tools/data_g.h"

#include "core/assembly_dump.h"
#include "core/machine.h"
#include "shell/tools/close_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tallyrig {

DataG::DataG(Machine& machine, QWidget* parent) : QWidget(parent), m_machine(machine) {
    setObjectName(QStringLiteral("DataG"));
    setWindowTitle(QStringLiteral("Data Gatherer"));
    auto* grid = new QGridLayout(this);

    auto* counting = new QGroupBox(this);
    auto* options = new QVBoxLayout(counting);
    m_off = new QRadioButton(QStringLiteral("Off"), counting);
    m_off->setObjectName(QStringLiteral("Option1"));
    m_on = new QRadioButton(QStringLiteral("On"), counting);
    m_on->setObjectName(QStringLiteral("Option2"));
    options->addWidget(m_off);
    options->addWidget(m_on);
    grid->addWidget(counting, 0, 0, 3, 1);

    auto* label = new QLabel(QStringLiteral("Output File"), this);
    m_output_file_name = new QLineEdit(this);
    m_output_file_name->setObjectName(QStringLiteral("Output_file_name"));
    m_output_file_name->setMinimumWidth(320);
    label->setBuddy(m_output_file_name);
    grid->addWidget(label, 0, 1);
    grid->addWidget(m_output_file_name, 1, 1, 1, 3);

    struct Button {
        const char* name;
        const char* caption;
        void (DataG::*click)();
    };
    const Button buttons[] = {
        {"Output", "&Output Results", &DataG::Output_Click},
        {"Reset", "&Reset", &DataG::Reset_Click},
        {"Cancel", "&Cancel", nullptr},
    };
    int column = 1;
    for (const Button& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), this);
        button->setObjectName(QString::fromLatin1(b.name));
        if (b.click != nullptr) {
            connect(button, &QPushButton::clicked, this, b.click);
        } else {
            connect(button, &QPushButton::clicked, this, [this] { close_window(this); });
        }
        grid->addWidget(button, 2, column++);
    }

    // Toggled, not clicked: the arrow keys and an assistive technology's toggle choose an
    // option without a click.
    connect(m_off, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            Option1_Click();
        }
    });
    connect(m_on, &QRadioButton::toggled, this, [this](bool chosen) {
        if (chosen) {
            Option2_Click();
        }
    });
    // The box stays empty until counting is switched on; the path itself is kept.
    connect(m_output_file_name, &QLineEdit::textChanged, this, &DataG::Output_file_name_Change);

    // Opening the window stops counting; closing it does not.
    m_off->setChecked(true);
    m_machine.set_profiling(false);
    m_machine.window_opened(MachineWindow::DataGatherer, true);
}

void DataG::closeEvent(QCloseEvent* event) {
    m_machine.window_opened(MachineWindow::DataGatherer, false);
    QWidget::closeEvent(event);
}

void DataG::Option1_Click() {
    m_machine.set_profiling(false);
}

// Counting starts only with the program stopped; in any other mode the click is undone.
void DataG::Option2_Click() {
    const MachineMode mode = m_machine.status.machine_mode;
    if (mode != MachineMode::Step && mode != MachineMode::Reset) {
        m_off->setChecked(true);
        Option1_Click();
        return;
    }
    m_on->setChecked(true);
    m_machine.set_profiling(true);
    m_output_file_name->setText(QString::fromStdString(m_machine.files.pad_file_path));
}

void DataG::Output_Click() {
    // Failures are silent: a .pad that cannot be written is simply not there.
    write_pad_file(m_machine);
}

void DataG::Reset_Click() {
    m_machine.reset_profile_counts();
}

void DataG::Output_file_name_Change() {
    m_machine.set_pad_file_path(m_output_file_name->text().toStdString());
}

} // namespace tallyrig

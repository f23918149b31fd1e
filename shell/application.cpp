#include "shell/application.h"

#include "shell/mdi.h"
#include "shell/pictures/toolbar_pictures.h"

#include <QApplication>

namespace tallyrig {

Application::Application(Folders folders, ModalSeam& modal, DesktopActions& desktop)
    : m_folders(std::move(folders)), m_messages(m_folders.settings_file()), m_ui(modal),
      m_machine(m_ui, m_messages), m_terminal(m_ui),
      m_main(std::make_unique<MDI>(m_machine, m_buttons, m_folders, m_ui, modal, desktop, m_devices,
                                   m_terminal, m_char_rom, m_workbench, m_project)) {
    // Every window without an icon of its own shows the program's.
    QApplication::setWindowIcon(program_icon());
    m_ui.attach(&m_machine, m_main.get());
    m_ui.attach_terminal(&m_terminal);
    m_ui.attach_workbench(&m_workbench);
}

Application::~Application() {
    // The windows go first: they refer to the machine and to this interface.
    m_ui.attach(&m_machine, nullptr);
    m_main.reset();
}

Folders Application::folders_from_program(const QString& program_path) {
    if (program_path.isEmpty()) {
        return {};
    }
    return derive_folders(std::filesystem::path(program_path.toStdString()));
}

bool Application::start() {
    if (!init_char_rom(m_folders, m_char_rom, m_ui)) {
        return false;
    }
    m_machine.start_fresh();
    m_main->enable_menus(false);
    m_main->show();
    m_main->open_front_panel();
    return true;
}

} // namespace tallyrig

// The simulator as one object: the folders, the message texts, the Qt user interface, the
// machine, the key table and the main window with everything it holds. Nothing program-wide
// lives outside it.
#pragma once

#include "core/folders.h"
#include "core/machine.h"
#include "core/message_log.h"
#include "core/project_file.h"
#include "panel/button_definitions.h"
#include "panel/char_rom.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/text_terminal.h"
#include "panel/devices/workbench_devices.h"
#include "shell/qt_user_interface.h"

#include <QString>
#include <memory>

namespace tallyrig {

class DesktopActions;
class MDI;
class ModalSeam;

class Application {
public:
    Application(Folders folders, ModalSeam& modal, DesktopActions& desktop);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The install folders of a program at this path; all empty without a path.
    static Folders folders_from_program(const QString& program_path);

    // Loads the main window after the single-instance check: character ROM check, memory
    // table, menus, the main window shown, the front panel. False when the character ROM is
    // missing: its message has been shown and the program ends.
    bool start();

    const Folders& folders() const { return m_folders; }
    Machine& machine() { return m_machine; }
    QtUserInterface& ui() { return m_ui; }
    ButtonDefinitions& buttons() { return m_buttons; }
    DeviceTables& devices() { return m_devices; }
    WorkbenchDevices& workbench() { return m_workbench; }
    TextTerminal& terminal() { return m_terminal; }
    const CharRomPaths& char_rom() const { return m_char_rom; }
    const ProjectStatus& project() const { return m_project; }
    MDI& main_window() { return *m_main; }

private:
    Folders m_folders;
    MessageCatalog m_messages;
    QtUserInterface m_ui;
    Machine m_machine;
    ButtonDefinitions m_buttons;
    DeviceTables m_devices;
    WorkbenchDevices m_workbench{m_machine, m_devices};
    TextTerminal m_terminal;
    CharRomPaths m_char_rom;
    ProjectStatus m_project;
    std::unique_ptr<MDI> m_main;
};

} // namespace tallyrig

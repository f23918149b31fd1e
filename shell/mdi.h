// The main window: a multiple-document frame holding the front panel and every tool window,
// with the menu bar, the toolbar and the status bar. Every menu item and toolbar button turns
// into a command string, and dispatch_command maps the strings to actions.
#pragma once

#include "common/current_printer.h"
#include "core/folders.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace tallyrig {

class BPoint;
class Calculator;
class DataG;
class DesktopActions;
class IOPort;
class Keyboard;
class Machine;
class ModalSeam;
class ProjectFiles;
class QtUserInterface;
class System_clock;
class Terminal;
class Workbench_1;
class WorkbenchDevices;
class find_add;
class frmAbout;
class mDisplay;
class message;
class rdisplay;
struct ButtonDefinitions;
struct CharRomPaths;
struct ProjectStatus;
struct DeviceTables;
struct TextTerminal;

inline constexpr const char* kMainWindowTitle = "Tallyrig";

class MDI : public QMainWindow {
    Q_OBJECT
public:
    MDI(Machine& machine, ButtonDefinitions& buttons, const Folders& folders, QtUserInterface& ui,
        ModalSeam& modal, DesktopActions& desktop, DeviceTables& devices,
        TextTerminal& text_terminal, CharRomPaths& char_rom, WorkbenchDevices& workbench,
        ProjectStatus& project, QWidget* parent = nullptr);
    ~MDI() override;

    // Performs one command; strings compare exactly.
    void dispatch_command(const QString& command);

    // The command a toolbar key sends; none for a key not in the mapping.
    static std::optional<QString> toolbar_command(const QString& key);
    void toolbar_button_click(const QString& key);

    // With false enables the Setup, Display, Memory and Tools menus; with true does nothing.
    void enable_menus(bool flag);

    void load_ram_file();

    // Opens the front panel (once; later calls show it again).
    void open_front_panel();
    // The front panel for the machine to write into, shown again if the user closed it: its
    // display and keys are the program's output and the only way to go on.
    Calculator* shown_front_panel();

    // Opens the text terminal alone (once), as the "Terminal" command and its driver do.
    void open_terminal();

    // Unloads every child window, last loaded first, yielding before each when asked.
    void unload_windows(bool yield_each = false);

    // The windows loaded, first loaded first: the frames in the workspace and the windows of
    // their own. A window's tag is the object name of what it shows.
    QList<QWidget*> loaded_windows() const;
    static QString window_tag(const QWidget* window);
    bool front_panel_loaded() const;

    // Opens the window a project names by its tag and returns it; null for a tag that opens
    // nothing.
    QWidget* open_window_by_tag(const QString& tag);

    // Lists the recent project files under the File menu's separator.
    void read_recent_files();
    void mnrecentfile_Click(int index);
    ProjectFiles& projects() { return *m_projects; }

    // The open windows; null while closed.
    Calculator* calculator() const;
    rdisplay* register_window() const;
    IOPort* ioport_window() const;
    message* message_window() const;
    frmAbout* about_window() const;
    System_clock* speed_dialog() const;
    DataG* data_gatherer() const;
    Workbench_1* workbench_window() const;
    mDisplay* memory_walker() const;
    BPoint* breakpoint_dialog() const;
    find_add* find_dialog() const;
    Terminal* terminal_window() const;
    Keyboard* keyboard_window() const;

    // Status bar panels "message" and "mode_status".
    void set_status_message(const QString& text);
    void set_mode_status(const QString& text);
    QString status_message() const;
    QString mode_status() const;

    QMdiArea* workspace() const { return m_workspace; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menus();
    void build_toolbar();
    void build_status_bar();
    // Adds a window to the workspace where it covers no other window, when there is room.
    QMdiSubWindow* add_window(QWidget* window, bool delete_on_close);
    static void fit_fixed_size(QMdiSubWindow* frame);
    QPoint free_place(const QSize& size, const QMdiSubWindow* placing) const;
    // Brings an open window to the front; false when it is not open.
    bool bring_forward(QWidget* open);
    QSize initial_size() const;

    void printer_setup();
    void exit_program();
    void purge_ram();
    void open_web_page();
    void open_help();
    void open_register_window();
    void open_ioport_window();
    void open_message_window();
    void open_about();
    void open_workbench();
    void open_memory_walker();
    void load_memory_walker(); // opens it when closed, leaves it where it is when open
    void open_breakpoint_dialog();
    void open_find_dialog();
    void open_speed_dialog();
    void open_data_gatherer();
    void raise_interrupt();
    void load_ram_command();
    void start_assembler();
    void start_editor();
    void open_help_page(const char* name);
    void save_buttons();
    void restore_buttons();

    void open_terminal_and_keyboard();
    void open_keyboard();

    Machine& m_machine;
    ButtonDefinitions& m_buttons;
    const Folders& m_folders;
    QtUserInterface& m_ui;
    ModalSeam& m_modal;
    CurrentPrinter m_printer{m_modal}; // the one Printer Setup chooses and Print uses
    DesktopActions& m_desktop;
    DeviceTables& m_devices;
    TextTerminal& m_text_terminal;
    const CharRomPaths& m_char_rom;
    WorkbenchDevices& m_workbench;

    QMdiArea* m_workspace = nullptr;
    QList<QMenu*> m_enabled_by_start_up;
    QLabel* m_message_panel = nullptr;
    QLabel* m_narrow_panel = nullptr;
    QLabel* m_mode_panel = nullptr;

    QPointer<Calculator> m_calculator;
    QPointer<QMdiSubWindow> m_calculator_frame;
    QPointer<rdisplay> m_rdisplay;
    QPointer<IOPort> m_ioport;
    QPointer<message> m_message;
    QPointer<frmAbout> m_about;
    QPointer<System_clock> m_system_clock;
    QPointer<DataG> m_data_g;
    QList<QAction*> m_recent_files; // the entries under mnrecentfile
    std::unique_ptr<ProjectFiles> m_projects;
    QPointer<mDisplay> m_walker;
    QPointer<BPoint> m_bpoint;
    QPointer<find_add> m_find_add;
    QPointer<Terminal> m_terminal;
    QPointer<Keyboard> m_keyboard;
    QPointer<QMdiSubWindow> m_keyboard_frame;
    // Every window in the order it was loaded; closing the main window unloads the last first.
    QList<QPointer<QWidget>> m_load_order;
};

} // namespace tallyrig

#include "shell/mdi.h"

#include "common/desktop_actions.h"
#include "common/frm_about.h"
#include "common/modal_seam.h"
#include "common/screen_units.h"
#include "core/machine.h"
#include "core/recent_files.h"
#include "core/text_helpers.h"
#include "panel/button_definitions.h"
#include "panel/calculator.h"
#include "panel/devices/device_tables.h"
#include "panel/devices/keyboard.h"
#include "panel/devices/terminal.h"
#include "panel/devices/workbench_1.h"
#include "panel/devices/workbench_devices.h"
#include "shell/files/load_ram.h"
#include "shell/files/project_files.h"
#include "shell/memory/bpoint.h"
#include "shell/memory/find_add.h"
#include "shell/memory/mdisplay.h"
#include "shell/pictures/toolbar_pictures.h"
#include "shell/qt_user_interface.h"
#include "shell/toolbar_table.h"
#include "shell/tools/data_g.h"
#include "shell/tools/system_clock.h"
#include "shell/views/io_port.h"
#include "shell/views/message.h"
#include "shell/views/rdisplay.h"
#include "shell/views/view_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>

namespace tallyrig {

namespace {

struct MenuItem {
    const char* menu;    // control name of the menu; null continues the menu above
    const char* title;   // caption of the menu
    const char* name;    // control name of the item
    const char* caption; // "-" makes a separator
    const char* command; // null sends nothing
};

constexpr MenuItem kMenuItems[] = {
    {"mnFile", "&File", "mnOpen_Project", "&Open Project...", nullptr},
    {nullptr, nullptr, "mnPrint_setup", "&Printer Setup...", "Printer Setup"},
    {nullptr, nullptr, "mnrecentfile", "-", nullptr},
    {nullptr, nullptr, "mnExit", "&Exit", "Exit"},
    {"mnSetup", "Set&up", "mnSystem_Clock", "System &Clock...", "System Clock"},
    {nullptr, nullptr, "mnSave_default", "Save New Buttons", "Save_Button"},
    {nullptr, nullptr, "mnDefault_Calculator_Buttons", "Restore Default Buttons",
     "Default_Buttons"},
    {"mnDisplay", "&Display", "mnDisplay_Mem_Map", "Memory &Walker...", "Display Memory Map"},
    {nullptr, nullptr, "mnDisplay_CPU_Reg", "&CPU Registers...", "Display CPU registers"},
    {nullptr, nullptr, "mnIOPorts", "&I/O Ports...", "IOPort"},
    {nullptr, nullptr, "mnDisplay_Message_Sys", "&Message System...", "Display Message System"},
    {"mnMemory", "&Memory", "mnLoad_RAM", "&Load RAM...", "Load RAM"},
    {nullptr, nullptr, "mnPurge_RAM", "&Purge RAM", "Purge RAM"},
    {"mnTools", "&Tools", "mnAssembler", "&Assembler...", "Assembler"},
    {nullptr, nullptr, "mnDataGatherer", "&Data Gatherer...", "DataG"},
    {nullptr, nullptr, "mnWEB", "&Tallyrig on the WEB...", "WEB Browser"},
    {nullptr, nullptr, "mnTerminal", "&Terminal", "Terminal"},
    {nullptr, nullptr, "mnWorkBench_1", "&Workbench #1...", "workbench1"},
    {"mnHelp", "&Help", "mn_Help", "&Contents...", "Help"},
    {nullptr, nullptr, "mnHelp_About", "&About...", "About"},
};

// Plain text editors a desktop may offer, in order of preference.
const QStringList kEditorPrograms = {
    QStringLiteral("gnome-text-editor"),
    QStringLiteral("gedit"),
    QStringLiteral("kate"),
    QStringLiteral("kwrite"),
    QStringLiteral("mousepad"),
    QStringLiteral("pluma"),
    QStringLiteral("xed"),
    QStringLiteral("featherpad"),
    QStringLiteral("leafpad"),
    QStringLiteral("xedit"),
};

// The find dialog opens this far below the walker's top edge, at its left edge.
constexpr int kFindDialogBelowWalker = 500; // twips

// The simulator's title and version in its About box.
constexpr int kVersionMajor = 4;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 9;

} // namespace

MDI::MDI(Machine& machine, ButtonDefinitions& buttons, const Folders& folders, QtUserInterface& ui,
         ModalSeam& modal, DesktopActions& desktop, DeviceTables& devices,
         TextTerminal& text_terminal, CharRomPaths& char_rom, WorkbenchDevices& workbench,
         ProjectStatus& project, QWidget* parent)
    : QMainWindow(parent), m_machine(machine), m_buttons(buttons), m_folders(folders), m_ui(ui),
      m_modal(modal), m_desktop(desktop), m_devices(devices), m_text_terminal(text_terminal),
      m_char_rom(char_rom), m_workbench(workbench),
      m_projects(
          std::make_unique<ProjectFiles>(*this, project, char_rom, folders, modal, desktop, ui)) {
    setObjectName(QStringLiteral("MDI"));
    setWindowTitle(QString::fromLatin1(kMainWindowTitle));
    m_workspace = new QMdiArea(this);
    m_workspace->setBackground(palette().brush(QPalette::Dark));
    setCentralWidget(m_workspace);
    build_menus();
    build_toolbar();
    build_status_bar();
    read_recent_files();
    resize(initial_size());
}

MDI::~MDI() = default;

QSize MDI::initial_size() const {
    // Room for the front panel and a few tool windows beside it, within the screen.
    const QSize wanted(1400, 940);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return wanted;
    }
    const QSize available = screen->availableGeometry().size() * 9 / 10;
    return wanted.boundedTo(available).expandedTo(QSize(1024, 720)).boundedTo(available);
}

Calculator* MDI::calculator() const {
    return m_calculator;
}

// A closed window may wait for its deletion until the run loop returns; its flag tells.
rdisplay* MDI::register_window() const {
    return m_machine.windows.register_display_open == 1 ? m_rdisplay.data() : nullptr;
}

IOPort* MDI::ioport_window() const {
    return m_machine.windows.ioport_window_open == kTrue ? m_ioport.data() : nullptr;
}

message* MDI::message_window() const {
    return m_machine.windows.message_window_open == kTrue ? m_message.data() : nullptr;
}

frmAbout* MDI::about_window() const {
    return m_about;
}

Workbench_1* MDI::workbench_window() const {
    return m_workbench.window();
}

mDisplay* MDI::memory_walker() const {
    return m_machine.walker_open() ? m_walker.data() : nullptr;
}

// A closed dialog may wait for its deletion; a hidden frame tells.
BPoint* MDI::breakpoint_dialog() const {
    return m_bpoint != nullptr && m_bpoint->isVisible() ? m_bpoint.data() : nullptr;
}

find_add* MDI::find_dialog() const {
    return m_find_add != nullptr && m_find_add->isVisible() ? m_find_add.data() : nullptr;
}

Terminal* MDI::terminal_window() const {
    return m_devices.output_devices[kTerminalDevice].installed == kPluggedIn ? m_terminal.data()
                                                                             : nullptr;
}

// The keyboard keeps its port plugged in when it closes; its frame tells whether it is open.
Keyboard* MDI::keyboard_window() const {
    return m_keyboard_frame != nullptr && !m_keyboard_frame->isHidden() ? m_keyboard.data()
                                                                        : nullptr;
}

System_clock* MDI::speed_dialog() const {
    return m_system_clock != nullptr && m_system_clock->isVisible() ? m_system_clock.data()
                                                                    : nullptr;
}

DataG* MDI::data_gatherer() const {
    return m_machine.windows.data_gatherer_open == kTrue ? m_data_g.data() : nullptr;
}

void MDI::build_menus() {
    QMenu* menu = nullptr;
    for (const MenuItem& item : kMenuItems) {
        if (item.menu != nullptr) {
            menu = menuBar()->addMenu(QString::fromLatin1(item.title));
            menu->setObjectName(QString::fromLatin1(item.menu));
            const QString name = menu->objectName();
            if (name == "mnSetup" || name == "mnDisplay" || name == "mnMemory" ||
                name == "mnTools") {
                m_enabled_by_start_up.append(menu);
            }
        }
        QAction* action = nullptr;
        if (QString::fromLatin1(item.caption) == "-") {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(QString::fromLatin1(item.caption));
        }
        action->setObjectName(QString::fromLatin1(item.name));
        if (item.command != nullptr) {
            const QString command = QString::fromLatin1(item.command);
            connect(action, &QAction::triggered, this,
                    [this, command] { dispatch_command(command); });
        }
    }
    if (auto* contents = findChild<QAction*>(QStringLiteral("mn_Help"))) {
        contents->setShortcut(QKeySequence(Qt::Key_F1));
    }
    // Not through the dispatcher, which knows no command for it.
    if (auto* open = findChild<QAction*>(QStringLiteral("mnOpen_Project"))) {
        connect(open, &QAction::triggered, this, [this] { m_projects->open_project(false); });
    }
}

void MDI::read_recent_files() {
    auto* file_menu = findChild<QMenu*>(QStringLiteral("mnFile"));
    auto* exit = findChild<QAction*>(QStringLiteral("mnExit"));
    for (QAction* entry : m_recent_files) {
        file_menu->removeAction(entry);
        // The entry clicked may be the one being replaced.
        entry->deleteLater();
    }
    m_recent_files.clear();
    const std::vector<std::string> entries = tallyrig::read_recent_files(m_folders.settings_file());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const QString path = qtext(entries[i]);
        auto* entry =
            new QAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")), file_menu);
        const int index = static_cast<int>(i) + 1;
        entry->setObjectName(QStringLiteral("mnrecentfile%1").arg(index));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, index] { mnrecentfile_Click(index); });
        file_menu->insertAction(exit, entry);
        m_recent_files.append(entry);
    }
}

void MDI::mnrecentfile_Click(int index) {
    if (index < 1 || index > m_recent_files.size()) {
        return;
    }
    m_projects->open_recent_entry(m_recent_files[index - 1]->data().toString());
    read_recent_files();
}

void MDI::build_toolbar() {
    auto* toolbar = addToolBar(QStringLiteral("Toolbar1"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar->setIconSize(QSize(kToolbarPictureSize, kToolbarPictureSize));
    for (const ToolbarButton& button : kToolbarButtons) {
        const QString key = QString::fromLatin1(button.key);
        QAction* action =
            toolbar->addAction(toolbar_picture(key), QString::fromLatin1(button.text));
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setToolTip(QString::fromLatin1(button.tooltip));
        action->setData(key);
        connect(action, &QAction::triggered, this, [this, key] { toolbar_button_click(key); });
    }
}

void MDI::build_status_bar() {
    // Sunken panels, each wide enough for its longest text, so all three show from the start.
    const auto make_panel = [this](const char* name, const QString& longest, const QString& text) {
        auto* panel = new QLabel(text, this);
        panel->setObjectName(QString::fromLatin1(name));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setMargin(2);
        panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(longest) + 16);
        return panel;
    };
    m_message_panel = make_panel("message", QStringLiteral("SERVICING INTERRUPT"), QString());
    m_narrow_panel = make_panel("", QStringLiteral("MM"), QString());
    // The machine starts with the power off.
    m_mode_panel =
        make_panel("mode_status", QStringLiteral("POWER_OFF"), QStringLiteral("POWER_OFF"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setContentsMargins(0, 0, 6, 0);
    statusBar()->addPermanentWidget(m_message_panel, 1);
    statusBar()->addPermanentWidget(m_narrow_panel);
    statusBar()->addPermanentWidget(m_mode_panel);
}

std::optional<QString> MDI::toolbar_command(const QString& key) {
    for (const KeyCommand& entry : kToolbarCommands) {
        if (key == QLatin1String(entry.key)) {
            return QString::fromLatin1(entry.command);
        }
    }
    return std::nullopt;
}

void MDI::toolbar_button_click(const QString& key) {
    if (const auto command = toolbar_command(key)) {
        dispatch_command(*command);
    }
}

void MDI::enable_menus(bool flag) {
    if (flag) {
        return;
    }
    for (QMenu* menu : m_enabled_by_start_up) {
        menu->setEnabled(true);
        menu->menuAction()->setEnabled(true);
    }
}

void MDI::dispatch_command(const QString& command) {
    using Action = void (MDI::*)();
    struct Entry {
        const char* command;
        Action action;
    };
    static const Entry kCommands[] = {
        {"Printer Setup", &MDI::printer_setup},
        {"Exit", &MDI::exit_program},
        {"MAIN_Calculator", &MDI::open_front_panel},
        {"Memory Map", &MDI::open_memory_walker},
        {"Messaging System", &MDI::open_message_window},
        {"System Clock", &MDI::open_speed_dialog},
        {"Save_Button", &MDI::save_buttons},
        {"Default_Buttons", &MDI::restore_buttons},
        {"Display Memory Map", &MDI::open_memory_walker},
        {"Display CPU registers", &MDI::open_register_window},
        {"Display Message System", &MDI::open_message_window},
        {"IOPort", &MDI::open_ioport_window},
        {"Load RAM", &MDI::load_ram_command},
        {"Purge RAM", &MDI::purge_ram},
        {"Assembler", &MDI::start_assembler},
        {"DataG", &MDI::open_data_gatherer},
        {"workbench1", &MDI::open_workbench},
        {"Terminal", &MDI::open_terminal_and_keyboard},
        {"Interrupt", &MDI::raise_interrupt},
        {"editor", &MDI::start_editor},
        {"WEB Browser", &MDI::open_web_page},
        {"Help", &MDI::open_help},
        {"About", &MDI::open_about},
    };
    for (const Entry& entry : kCommands) {
        if (command != QLatin1String(entry.command)) {
            continue;
        }
        (this->*entry.action)();
        return;
    }
    m_modal.message_box(this, QStringLiteral(" Unknown Command Selected"), QString(),
                        MessageIcon::None, MessageButtons::Ok);
}

QMdiSubWindow* MDI::add_window(QWidget* window, bool delete_on_close) {
    QMdiSubWindow* frame = m_workspace->addSubWindow(window);
    frame->setAttribute(Qt::WA_DeleteOnClose, delete_on_close);
    frame->setWindowTitle(window->windowTitle());
    frame->adjustSize();
    frame->move(free_place(frame->size(), frame));
    frame->show();
    m_load_order.append(frame);
    return frame;
}

// A window of fixed size gets a frame that fits it and offers no maximising.
void MDI::fit_fixed_size(QMdiSubWindow* frame) {
    frame->setWindowFlags(frame->windowFlags() & ~Qt::WindowMaximizeButtonHint);
    frame->adjustSize();
}

QPoint MDI::free_place(const QSize& size, const QMdiSubWindow* placing) const {
    struct Taken {
        QRect rect;
        qint64 weight;
    };
    // Covering the front panel costs far more than covering a tool window: its keys run the
    // machine.
    QList<Taken> taken;
    for (const QMdiSubWindow* other : m_workspace->subWindowList()) {
        if (other != placing && other->isVisible()) {
            taken.append({other->geometry(), other == m_calculator_frame ? 1000 : 1});
        }
    }
    const auto cost = [&taken](const QRect& place) {
        qint64 sum = 0;
        for (const Taken& other : taken) {
            const QRect overlap = other.rect.intersected(place);
            sum += other.weight * overlap.width() * overlap.height();
        }
        return sum;
    };
    // Row by row from the top left, the first place that covers nothing, else the one that
    // covers least.
    const QSize area = m_workspace->viewport()->size();
    constexpr int kStep = 8;
    QPoint best(0, 0);
    qint64 best_cost = -1;
    for (int y = 0; y + size.height() <= area.height(); y += kStep) {
        for (int x = 0; x + size.width() <= area.width(); x += kStep) {
            const qint64 c = cost(QRect(QPoint(x, y), size));
            if (c == 0) {
                return {x, y};
            }
            if (best_cost < 0 || c < best_cost) {
                best_cost = c;
                best = {x, y};
            }
        }
    }
    return best;
}

// A command for a window already open brings it to the front instead of opening a second.
bool MDI::bring_forward(QWidget* open) {
    if (open == nullptr) {
        return false;
    }
    if (auto* frame = qobject_cast<QMdiSubWindow*>(open->parentWidget())) {
        if (frame->isMinimized()) {
            frame->showNormal();
        }
        m_workspace->setActiveSubWindow(frame);
        frame->raise();
    } else {
        open->raise();
        open->activateWindow();
    }
    return true;
}

void MDI::open_front_panel() {
    if (m_calculator_frame != nullptr) {
        // Closing the front panel only hides it: its keys may be running the machine.
        m_calculator->show();
        m_calculator_frame->show();
        m_buttons.calculator_loaded = 1;
        bring_forward(m_calculator);
        return;
    }
    m_calculator =
        new Calculator(m_machine, m_buttons, m_folders, m_devices, m_text_terminal, m_workbench);
    connect(m_calculator, &Calculator::ioport_display_written, this,
            [this](const QString& value_text, const QString& character_text) {
                if (IOPort* window = ioport_window()) {
                    window->show_display_output(value_text, character_text);
                }
            });
    m_calculator_frame = add_window(m_calculator, false);
    fit_fixed_size(m_calculator_frame);
    // The panel is the computer itself: it can be set aside (minimised), not closed, since no
    // control would bring it back. Closing the main window still unloads it. (A sub-window's
    // title bar draws its close button for the system-menu hint, so that hint goes too.)
    m_calculator_frame->setWindowFlags((m_calculator_frame->windowFlags() &
                                        ~(Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)) |
                                       Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowMinimizeButtonHint);
    for (QAction* action : m_calculator_frame->systemMenu()->actions()) {
        if (action->shortcut() == QKeySequence(QKeySequence::Close)) {
            action->setEnabled(false);
            action->setVisible(false);
        }
    }
}

Calculator* MDI::shown_front_panel() {
    if (m_calculator_frame == nullptr || m_calculator_frame->isHidden() ||
        m_calculator->isHidden()) {
        open_front_panel();
    }
    return m_calculator;
}

void MDI::open_register_window() {
    if (bring_forward(register_window())) {
        return;
    }
    m_rdisplay = new rdisplay(m_machine);
    add_window(m_rdisplay, true);
    m_ui.yield();
}

void MDI::open_ioport_window() {
    if (bring_forward(ioport_window())) {
        return;
    }
    m_ioport = new IOPort(m_machine);
    add_window(m_ioport, true);
    m_ui.yield();
}

void MDI::open_speed_dialog() {
    if (bring_forward(speed_dialog())) {
        return;
    }
    const int32_t multiplier = System_clock::read_multiplier(m_folders);
    if (multiplier <= 0) {
        m_modal.message_box(
            this,
            QStringLiteral(" The processor speed cannot be set: the settings file %1 holds no "
                           "positive \"Speed\" in its section \"Processor_Speed\". The speed "
                           "stays as it is.")
                .arg(qtext(m_folders.settings_file().string())),
            QString::fromLatin1(kSystemClockTitle), MessageIcon::Exclamation, MessageButtons::Ok);
        return;
    }
    m_system_clock = new System_clock(m_machine, multiplier);
    fit_fixed_size(add_window(m_system_clock, true));
}

void MDI::open_data_gatherer() {
    if (bring_forward(data_gatherer())) {
        return;
    }
    m_data_g = new DataG(m_machine);
    fit_fixed_size(add_window(m_data_g, true));
}

void MDI::open_workbench() {
    if (bring_forward(workbench_window())) {
        return;
    }
    fit_fixed_size(add_window(m_workbench.open_window(), true));
    m_ui.yield();
}

void MDI::open_memory_walker() {
    if (bring_forward(memory_walker())) {
        return;
    }
    m_walker = new mDisplay(m_machine);
    connect(m_walker, &mDisplay::breakpoint_dialog_requested, this, &MDI::open_breakpoint_dialog);
    connect(m_walker, &mDisplay::find_dialog_requested, this, &MDI::open_find_dialog);
    // The walker takes its size as it is shown, so its place is found once it has it.
    QMdiSubWindow* frame = add_window(m_walker, true);
    frame->move(free_place(frame->size(), frame));
    m_ui.yield();
}

void MDI::load_memory_walker() {
    if (memory_walker() == nullptr) {
        open_memory_walker();
    }
}

void MDI::open_breakpoint_dialog() {
    if (bring_forward(breakpoint_dialog())) {
        return;
    }
    // The dialogs write the walker without asking whether it is open: a closed one loads again,
    // an open one stays behind the dialog the user is working in.
    m_bpoint = new BPoint(m_machine, m_modal, [this] { load_memory_walker(); });
    fit_fixed_size(add_window(m_bpoint, true));
}

void MDI::open_find_dialog() {
    if (bring_forward(find_dialog())) {
        return;
    }
    m_find_add = new find_add(m_machine, m_modal, [this] { load_memory_walker(); });
    QMdiSubWindow* frame = add_window(m_find_add, true);
    fit_fixed_size(frame);
    if (mDisplay* walker = memory_walker()) {
        const QWidget* walker_frame = walker->parentWidget();
        frame->move(walker_frame->x(), walker_frame->y() + twips_to_pixels(kFindDialogBelowWalker));
    }
}

void MDI::open_terminal_and_keyboard() {
    open_terminal();
    open_keyboard();
}

void MDI::open_terminal() {
    if (bring_forward(terminal_window())) {
        return;
    }
    m_terminal = new Terminal(m_machine, m_devices, m_text_terminal, m_char_rom);
    fit_fixed_size(add_window(m_terminal, true));
    m_terminal->load();
}

void MDI::open_keyboard() {
    if (bring_forward(keyboard_window())) {
        return;
    }
    m_keyboard = new Keyboard(m_machine, m_devices);
    m_keyboard_frame = add_window(m_keyboard, true);
    fit_fixed_size(m_keyboard_frame);
}

void MDI::open_message_window() {
    if (bring_forward(message_window())) {
        return;
    }
    m_message = new message(m_machine, m_modal, m_printer);
    QMdiSubWindow* frame = add_window(m_message, true);
    frame->resize(twips_to_pixels(kMessageWindowWidth), twips_to_pixels(kMessageWindowHeight));
    frame->move(free_place(frame->size(), frame));
    m_ui.yield();
}

void MDI::open_about() {
    if (bring_forward(m_about)) {
        return;
    }
    const AboutInfo info{.window_name = QStringLiteral("frmAbout"),
                         .title = QString::fromLatin1(kMainWindowTitle),
                         .major = kVersionMajor,
                         .minor = kVersionMinor,
                         .revision = kVersionRevision};
    m_about = new frmAbout(info, m_modal, m_desktop, this);
    m_about->show();
    m_load_order.append(m_about.data());
}

void MDI::printer_setup() {
    m_printer.set_up(this);
}

void MDI::raise_interrupt() {
    if (!m_machine.raise_interrupt()) {
        return;
    }
    set_status_message(QStringLiteral("INTERRUPT REQUESTED"));
}

void MDI::start_assembler() {
    if (!QDir::setCurrent(qtext(m_folders.data_folder.string()))) {
        return;
    }
    const std::string program = (m_folders.root_folder / "bin" / "assembler").string();
    if (file_exists(program) != kTrue) {
        return;
    }
    m_desktop.start_program(qtext(program), qtext(m_folders.data_folder.string()));
}

// A command that cannot start its program or open its page says so where notices go, and
// carries on: no box interrupts a program that may be running.
void MDI::start_editor() {
    const QString editor = m_desktop.find_program(kEditorPrograms);
    if (editor.isEmpty()) {
        set_status_message(QStringLiteral("Cannot start a text editor: none of %1 is installed")
                               .arg(kEditorPrograms.join(QStringLiteral(", "))));
        return;
    }
    if (const Launch started = m_desktop.start_program(editor, QDir::currentPath()); !started) {
        set_status_message(
            QStringLiteral("Cannot start the text editor %1: %2").arg(editor, started.why));
    }
}

void MDI::exit_program() {
    m_desktop.end_program();
}

void MDI::purge_ram() {
    m_machine.Initialize();
}

void MDI::open_web_page() {
    open_help_page("visit.html");
}

void MDI::open_help() {
    open_help_page("help.html");
}

void MDI::open_help_page(const char* name) {
    const QString page = qtext((m_folders.config_folder / "help" / "files" / name).string());
    if (const Launch opened = m_desktop.open_document(page); !opened) {
        set_status_message(QStringLiteral("Cannot open the page %1: %2").arg(page, opened.why));
    }
}

void MDI::save_buttons() {
    save_button_definitions(m_buttons, m_folders, m_ui);
}

void MDI::restore_buttons() {
    if (restore_default_buttons(m_buttons, m_folders, m_ui) && m_calculator != nullptr) {
        m_calculator->apply_button_definitions();
    }
}

void MDI::load_ram_command() {
    if (QDir::setCurrent(qtext(m_folders.data_folder.string()))) {
        load_ram_file();
    }
}

void MDI::load_ram_file() {
    if (!tallyrig::load_ram_file(this, m_machine, m_modal, m_folders)) {
        return;
    }
    if (DataG* gatherer = data_gatherer()) {
        gatherer->output_file_name()->setText(qtext(m_machine.files.pad_file_path));
    }
    m_ui.yield();
}

void MDI::set_status_message(const QString& text) {
    m_message_panel->setText(text);
}

void MDI::set_mode_status(const QString& text) {
    m_mode_panel->setText(text);
}

QString MDI::status_message() const {
    return m_message_panel->text();
}

QString MDI::mode_status() const {
    return m_mode_panel->text();
}

void MDI::unload_windows(bool yield_each) {
    // A hidden window is still loaded: its unload runs too. The list is copied, since a yield
    // may load another window.
    const QList<QPointer<QWidget>> windows = m_load_order;
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (yield_each) {
            m_ui.yield();
        }
        if (*it != nullptr) {
            (*it)->close();
        }
    }
    m_load_order.removeAll(nullptr);
}

QList<QWidget*> MDI::loaded_windows() const {
    QList<QWidget*> windows;
    for (const QPointer<QWidget>& window : m_load_order) {
        // The front panel outlives its unload, so its flag tells whether it is loaded.
        if (window == nullptr || (window == m_calculator_frame && !front_panel_loaded())) {
            continue;
        }
        windows.append(window);
    }
    return windows;
}

QString MDI::window_tag(const QWidget* window) {
    if (const auto* frame = qobject_cast<const QMdiSubWindow*>(window)) {
        return frame->widget() != nullptr ? frame->widget()->objectName() : QString();
    }
    return window->objectName();
}

bool MDI::front_panel_loaded() const {
    return m_calculator != nullptr && m_buttons.calculator_loaded == 1;
}

QWidget* MDI::open_window_by_tag(const QString& tag) {
    using Open = void (MDI::*)();
    struct Entry {
        const char* tag;
        Open open;
    };
    static const Entry kProjectWindows[] = {
        {"mDisplay", &MDI::open_memory_walker},
        {"message", &MDI::open_message_window},
    };
    for (const Entry& entry : kProjectWindows) {
        if (tag != QLatin1String(entry.tag)) {
            continue;
        }
        (this->*entry.open)();
        const QList<QWidget*> windows = loaded_windows();
        for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
            if (window_tag(*it) == tag) {
                return *it;
            }
        }
        return nullptr;
    }
    return nullptr;
}

void MDI::closeEvent(QCloseEvent* event) {
    if (m_machine.in_run_loop()) {
        // The run loop is on the stack below this handler: have it end first, then close.
        m_machine.end_run_loop();
        event->ignore();
        QTimer::singleShot(50, this, &QWidget::close);
        return;
    }
    unload_windows();
    event->accept();
}

} // namespace tallyrig
